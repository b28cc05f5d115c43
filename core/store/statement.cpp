#include "core/store/statement.h"

#include <sqlite3.h>
#include <utility>

Statement::Statement(sqlite3 *db, const QString &sql)
{
    prepare(db, sql);
}

Statement::~Statement()
{
    finalize();
}

Statement::Statement(Statement &&other) noexcept
    : m_db(std::exchange(other.m_db, nullptr))
    , m_stmt(std::exchange(other.m_stmt, nullptr))
    , m_error(std::move(other.m_error))
    , m_failed(other.m_failed)
{
}

Statement &Statement::operator=(Statement &&other) noexcept
{
    if (this != &other) {
        finalize();
        m_db = std::exchange(other.m_db, nullptr);
        m_stmt = std::exchange(other.m_stmt, nullptr);
        m_error = std::move(other.m_error);
        m_failed = other.m_failed;
    }
    return *this;
}

bool Statement::prepare(sqlite3 *db, const QString &sql)
{
    finalize();
    m_db = db;
    m_failed = false;
    m_error.clear();
    if (!db) {
        m_error = QStringLiteral("データベースが開かれていません。");
        m_failed = true;
        return false;
    }
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_stmt, nullptr) != SQLITE_OK) {
        m_error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        m_failed = true;
        return false;
    }
    if (!m_stmt) {
        m_error = QStringLiteral("実行する文がありません。");
        m_failed = true;
        return false;
    }
    return true;
}

void Statement::bind(int index, const QVariant &value)
{
    if (m_stmt)
        bindValue(m_stmt, index, value);
}

bool Statement::next()
{
    if (!m_stmt)
        return false;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE) {
        m_failed = true;
        m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
    }
    return false;
}

bool Statement::exec()
{
    while (next()) {
    }
    return m_stmt && !m_failed;
}

QVariant Statement::value(int column) const
{
    return m_stmt ? columnValue(m_stmt, column) : QVariant();
}

Statement::Type Statement::type(int column) const
{
    return m_stmt ? Type(sqlite3_column_type(m_stmt, column)) : Type::Null;
}

qint64 Statement::integer(int column) const
{
    return m_stmt ? sqlite3_column_int64(m_stmt, column) : 0;
}

double Statement::real(int column) const
{
    return m_stmt ? sqlite3_column_double(m_stmt, column) : 0;
}

QString Statement::text(int column) const
{
    if (!m_stmt)
        return QString();
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, column));
}

QByteArray Statement::bytes(int column) const
{
    if (!m_stmt)
        return QByteArray();
    const auto *data = static_cast<const char *>(sqlite3_column_blob(m_stmt, column));
    return QByteArray(data, sqlite3_column_bytes(m_stmt, column));
}

void Statement::reset()
{
    if (m_stmt) {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    m_failed = false;
}

void Statement::finalize()
{
    if (m_stmt)
        sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
}

sqlite3_stmt *Statement::release()
{
    return std::exchange(m_stmt, nullptr);
}

QVariant scalarOf(sqlite3 *db, const QString &sql, const QVariantList &params)
{
    Statement stmt;
    if (!stmt.prepare(db, sql))
        return QVariant();
    for (int i = 0; i < params.size(); ++i)
        stmt.bind(i + 1, params[i]);
    return stmt.next() ? stmt.value(0) : QVariant();
}

void bindValue(sqlite3_stmt *stmt, int index, const QVariant &value)
{
    if (!value.isValid() || value.isNull()) {
        sqlite3_bind_null(stmt, index);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        sqlite3_bind_int64(stmt, index, value.toLongLong());
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(stmt, index, value.toDouble());
        break;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        sqlite3_bind_blob(stmt, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        break;
    }
    default: {
        const QByteArray text = value.toString().toUtf8();
        sqlite3_bind_text(stmt, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        break;
    }
    }
}

QVariant columnValue(sqlite3_stmt *stmt, int column)
{
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, column));
    case SQLITE_TEXT:
        return QVariant(
            QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, column)),
                              sqlite3_column_bytes(stmt, column)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char *>(sqlite3_column_blob(stmt, column)),
                                   sqlite3_column_bytes(stmt, column)));
    default:
        return QVariant();
    }
}
