#include "core/store/database.h"

#include "core/store/datasource.h"
#include "core/store/numbertext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QTimer>
#include <cmath>
#include <sqlite3.h>

namespace {

// int(x): the largest integer not above x, as a floating value, so that
// int(x)/100 divides as real numbers. x is taken at 15 significant digits, as
// the program rounds everywhere, so the dish list and the main window show
// the same salt.
void sqlInt(sqlite3_context *context, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    sqlite3_result_double(context, NumberText::floor15(sqlite3_value_double(argv[0])));
}

QHash<QString, std::weak_ptr<Database>> &openStores()
{
    static QHash<QString, std::weak_ptr<Database>> stores;
    return stores;
}

QString messageFor(sqlite3 *db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

} // namespace

Database::Database(sqlite3 *db, const QString &fileName, bool wal)
    : m_db(db)
    , m_fileName(fileName)
    , m_wal(wal)
{
}

Database::~Database()
{
    m_checkpoint.reset();
    for (sqlite3 *reader : m_idleReaders)
        sqlite3_close_v2(reader);
    sqlite3_close_v2(m_db);
}

static void prepareConnection(sqlite3 *db)
{
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, 2000);
    sqlite3_create_function(db, "int", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, sqlInt,
                            nullptr, nullptr);
}

sqlite3 *Database::acquireReader()
{
    if (!m_wal)
        return m_db;
    if (!m_idleReaders.empty()) {
        sqlite3 *reader = m_idleReaders.back();
        m_idleReaders.pop_back();
        return reader;
    }
    sqlite3 *reader = nullptr;
    const QByteArray path = QFile::encodeName(QFileInfo(m_fileName).absoluteFilePath());
    if (sqlite3_open_v2(path.constData(), &reader, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(reader);
        return m_db; // share the writing connection instead
    }
    prepareConnection(reader);
    return reader;
}

void Database::releaseReader(sqlite3 *reader)
{
    if (!reader || reader == m_db)
        return;
    // A few idle connections are kept; each query would otherwise open one.
    if (m_idleReaders.size() < 4)
        m_idleReaders.push_back(reader);
    else
        sqlite3_close_v2(reader);
}

QString Database::dataSourceOf(const QString &connectionString)
{
    const QStringList parts = connectionString.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const int eq = part.indexOf(QLatin1Char('='));
        if (eq > 0 && part.left(eq).trimmed().compare(QLatin1String("Data Source"),
                                                       Qt::CaseInsensitive) == 0)
            return part.mid(eq + 1).trimmed();
    }
    return QString();
}

namespace {
int fileOpens = 0;
} // namespace

int Database::fileOpenCount()
{
    return fileOpens;
}

std::shared_ptr<Database> Database::open(const QString &connectionString, QString *error)
{
    const QString name = dataSourceOf(connectionString);
    if (name.isEmpty()) {
        if (error)
            *error = QStringLiteral("接続文字列にデータベースファイルの指定がありません。");
        return nullptr;
    }
    const QFileInfo info(name);
    const QString key = info.absoluteFilePath();
    auto &stores = openStores();
    if (auto existing = stores.value(key).lock()) {
        if (info.exists())
            return existing;
        stores.remove(key); // the file went away under us
    }
    if (!info.exists()) {
        if (error)
            *error = QStringLiteral("データベースファイル「%1」が見つかりません（%2）。")
                         .arg(name, QDir::toNativeSeparators(key));
        return nullptr;
    }
    ++fileOpens;
    sqlite3 *db = nullptr;
    const QByteArray path = QFile::encodeName(key);
    const int rc = sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        if (error)
            *error = QStringLiteral("データベースファイル「%1」を開けません: %2")
                         .arg(name, db ? messageFor(db) : QString::fromUtf8(sqlite3_errstr(rc)));
        sqlite3_close_v2(db);
        return nullptr;
    }
    prepareConnection(db);
    // Reading the schema proves the file is a database.
    char *message = nullptr;
    if (sqlite3_exec(db,
                     // A write-ahead log makes each commit one sync of the log
                     // instead of three of journal and file, and FULL makes
                     // every commit durable before it returns.
                     "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA foreign_keys=OFF;"
                     "SELECT count(*) FROM sqlite_master;",
                     nullptr, nullptr, &message)
        != SQLITE_OK) {
        if (error)
            *error = QStringLiteral("データベースファイル「%1」を読めません: %2")
                         .arg(name, QString::fromUtf8(message ? message : "?"));
        sqlite3_free(message);
        sqlite3_close_v2(db);
        return nullptr;
    }
    bool wal = false;
    sqlite3_stmt *mode = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &mode, nullptr) == SQLITE_OK
        && sqlite3_step(mode) == SQLITE_ROW)
        wal = qstricmp(reinterpret_cast<const char *>(sqlite3_column_text(mode, 0)), "wal") == 0;
    sqlite3_finalize(mode);
    std::shared_ptr<Database> store(new Database(db, name, wal));
    stores.insert(key, store);
    return store;
}

void Database::closeUnused()
{
    auto &stores = openStores();
    for (auto it = stores.begin(); it != stores.end();) {
        if (it->expired())
            it = stores.erase(it);
        else
            ++it;
    }
}

bool Database::write(const std::function<bool(QString *)> &fn, QString *error)
{
    // Copy: draining may let a cursor unregister itself.
    const std::vector<DataSource *> cursors = m_cursors;
    for (DataSource *cursor : cursors)
        cursor->fetchAll();

    if (sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        if (error)
            *error = QStringLiteral("データベースに書き込めません: %1").arg(messageFor(m_db));
        return false;
    }
    QString failure;
    if (!fn(&failure)) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        if (error)
            *error = failure;
        return false;
    }
    if (sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        const QString message = messageFor(m_db);
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        if (error)
            *error = QStringLiteral("データベースに書き込めません: %1").arg(message);
        return false;
    }
    scheduleCheckpoint();
    return true;
}

void Database::scheduleCheckpoint()
{
    // Once the user pauses, the log is folded back into the file, so that a
    // copy of zento.dll taken while the program runs holds every change.
    if (!m_wal || !QCoreApplication::instance())
        return;
    if (!m_checkpoint) {
        m_checkpoint = std::make_unique<QTimer>();
        m_checkpoint->setSingleShot(true);
        m_checkpoint->setInterval(checkpointDelayMs);
        QObject::connect(m_checkpoint.get(), &QTimer::timeout, [db = m_db] {
            sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
        });
    }
    m_checkpoint->start();
}

bool Database::run(const QString &sql, const QVariantList &params, QString *error, int *changes)
{
    sqlite3_stmt *stmt = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &stmt, nullptr)
        != SQLITE_OK) {
        if (error)
            *error = messageFor(m_db);
        return false;
    }
    for (int i = 0; i < params.size(); ++i)
        bindValue(stmt, i + 1, params[i]);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    const bool ok = rc == SQLITE_DONE;
    if (!ok && error)
        *error = messageFor(m_db);
    if (changes)
        *changes = sqlite3_changes(m_db);
    sqlite3_finalize(stmt);
    return ok;
}

qint64 Database::lastInsertId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

QString Database::lastError() const
{
    return messageFor(m_db);
}

void Database::addCursor(DataSource *source)
{
    m_cursors.push_back(source);
}

void Database::removeCursor(DataSource *source)
{
    std::erase(m_cursors, source);
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
        return QVariant(QString::fromUtf8(
            reinterpret_cast<const char *>(sqlite3_column_text(stmt, column)),
            sqlite3_column_bytes(stmt, column)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char *>(sqlite3_column_blob(stmt, column)),
                                   sqlite3_column_bytes(stmt, column)));
    default:
        return QVariant();
    }
}
