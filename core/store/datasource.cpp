#include "core/store/datasource.h"

#include "core/store/database.h"
#include "core/store/numberreader.h"
#include "core/store/numbertext.h"
#include "core/store/statement.h"

#include <cmath>
#include <sqlite3.h>

namespace {

constexpr int firstBatch = 64;
constexpr int laterBatch = 512;

QString quoted(const QString &identifier)
{
    QString text = identifier;
    text.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

bool sameText(const QVariant &a, const QVariant &b)
{
    return a.isNull() == b.isNull() && DataSource::textOf(a) == DataSource::textOf(b);
}

} // namespace

DataSource::DataSource(QObject *parent)
    : QAbstractTableModel(parent)
{
}

DataSource::~DataSource()
{
    closeCursor();
}

QString DataSource::textOf(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return NumberText::general(value.toDouble());
    case QMetaType::LongLong:
    case QMetaType::Int:
        return QString::number(value.toLongLong());
    default:
        return value.toString();
    }
}

void DataSource::setError(const QString &message)
{
    m_error = message;
}

void DataSource::closeCursor()
{
    if (m_cursor.isValid()) {
        m_cursor.finalize();
        if (m_db)
            m_db->removeCursor(this);
    }
    if (m_reader && m_db)
        m_db->releaseReader(m_reader);
    m_reader = nullptr;
    m_tail.closeQuery();
}

bool DataSource::ensureOpen()
{
    return m_open ? true : refresh();
}

bool DataSource::refresh()
{
    forgetPending();

    beginResetModel();
    m_resetting = true;
    closeCursor();
    m_columns.clear();
    m_columnByName.clear();
    m_rows.reset(0);
    m_tail.drop();
    m_modelRows = 0;
    m_dirty.clear();
    m_newRow = false;
    m_pos = 0;
    m_open = true;
    m_error.clear();

    bool ok = false;
    QString error;
    m_db = Database::open(m_connectionString, &error);
    if (m_db) {
        sqlite3 *handle = m_reader = m_db->acquireReader();
        if (m_cursor.prepare(handle, m_recordSource)) {
            const int count = sqlite3_column_count(m_cursor.handle());
            m_columns.reserve(count);
            for (int i = 0; i < count; ++i) {
                Column column;
                column.name = QString::fromUtf8(sqlite3_column_name(m_cursor.handle(), i));
                const char *table = sqlite3_column_table_name(m_cursor.handle(), i);
                const char *origin = sqlite3_column_origin_name(m_cursor.handle(), i);
                if (table && origin) {
                    column.table = QString::fromUtf8(table);
                    column.origin = QString::fromUtf8(origin);
                    const char *declared = nullptr;
                    if (sqlite3_table_column_metadata(handle, nullptr, table, origin, &declared,
                                                      nullptr, nullptr, nullptr,
                                                      nullptr) == SQLITE_OK &&
                        declared) {
                        const QString type = QString::fromUtf8(declared).toUpper();
                        column.integer = type.contains(QLatin1String("INT"));
                        column.numeric = column.integer || type.contains(QLatin1String("REAL")) ||
                                         type.contains(QLatin1String("NUM")) ||
                                         type.contains(QLatin1String("FLOA")) ||
                                         type.contains(QLatin1String("DOUB"));
                    }
                }
                m_columnByName.insert(column.name.toLower(), i);
                m_columns.push_back(column);
            }
            m_rows.reset(count);
            // The first name wins when two columns share one.
            for (int i = count - 1; i >= 0; --i)
                m_columnByName.insert(m_columns[i].name.toLower(), i);
            m_tail.open(handle, m_recordSource, count);
            m_db->addCursor(this, handle);
            ok = fetchRows(firstBatch);
            if (!ok)
                error = m_error;
        } else {
            error = m_cursor.error();
            closeCursor();
        }
    }
    if (!ok) {
        closeCursor();
        m_columns.clear();
        m_columnByName.clear();
        m_rows.reset(0);
    }
    m_modelRows = m_rows.size();
    m_resetting = false;
    endResetModel();
    m_error = error;
    emit refreshed();
    emit currentChanged();
    return ok;
}

bool DataSource::fetchRows(int upTo)
{
    if (!m_cursor.isValid())
        return true;
    settleAhead();
    return readInOrder(upTo);
}

bool DataSource::readInOrder(int upTo)
{
    if (!m_cursor.isValid())
        return true;
    const int first = m_rows.size();
    bool ok = true;
    while (m_rows.size() < upTo) {
        if (m_cursor.next()) {
            const int row = m_rows.size();
            const bool ahead = isAhead(row);
            m_rows.appendFrom(m_cursor.handle());
            // A row held ahead is the one to keep: it may have been changed.
            if (ahead) {
                m_rows.setRow(row, m_tail.row(row));
                if (row + 1 == m_tail.end())
                    m_tail.drop();
            }
        } else {
            if (m_cursor.failed()) {
                setError(m_cursor.error());
                ok = false;
            }
            closeCursor();
            // The records added after the last row follow it.
            for (int row = m_rows.size(); isAhead(row); ++row) {
                m_rows.appendEmpty();
                m_rows.setRow(row, m_tail.row(row));
            }
            if (!m_tail.unplaced())
                m_tail.drop();
            break;
        }
    }
    // The model announces the rows read only now; until then views count
    // the rows they were told of.
    if (m_rows.size() == first || m_resetting)
        return ok;
    beginInsertRows(QModelIndex(), first, m_rows.size() - 1);
    m_modelRows = m_rows.size();
    endInsertRows();
    return ok;
}

void DataSource::settleAhead()
{
    if (!m_tail.unplaced())
        return;
    int total = m_tail.count();
    // Without a count the rows are read in order to their end, which counts
    // them; nothing merges on the way, as the rows held stand beyond reach.
    if (total < 0) {
        while (m_cursor.isValid())
            readInOrder(m_rows.size() + laterBatch);
        total = m_rows.size();
    }
    const int first = std::max(0, total - m_tail.size());
    if (m_pos >= TailReader::unplacedFirst)
        m_pos += first - TailReader::unplacedFirst;
    m_tail.place(first);
    if (first >= m_rows.size())
        return;
    // Read again in order: the rows held, which may have been changed since,
    // take their places.
    const int last = std::min(total, int(m_rows.size())) - 1;
    for (int row = first; row <= last; ++row)
        m_rows.setRow(row, m_tail.row(row));
    m_tail.drop();
    if (last >= first && last < m_modelRows)
        emit dataChanged(index(first, 0), index(last, std::max(0, columnCount() - 1)));
}

int DataSource::position() const
{
    // Placing the rows read backwards changes no row and no value.
    const_cast<DataSource *>(this)->settleAhead();
    return m_pos;
}

std::vector<QVariant> DataSource::rowAt(int row) const
{
    return isAhead(row) ? m_tail.row(row) : m_rows.row(row);
}

void DataSource::setRowAt(int row, std::vector<QVariant> values)
{
    if (isAhead(row))
        m_tail.setRow(row, std::move(values));
    else
        m_rows.setRow(row, std::move(values));
}

bool DataSource::readAhead(int first, int count)
{
    settleAhead();
    // Rows changed or added ahead are never read again from the snapshot,
    // which holds them as they were (or not at all): the rows up to them are
    // read in order first.
    if (m_tail.changed())
        fetchRows(m_tail.end());
    if (!m_cursor.isValid() || first < m_rows.size())
        return false;
    return m_tail.readAt(first, count);
}

bool DataSource::readLastBackwards()
{
    if (m_tail.tailSource().isEmpty())
        return false;
    if (m_tail.changed())
        fetchRows(m_tail.end());
    // The last rows are kept only when as many again as were read in order,
    // and a later batch, lie before them: then they are not among those
    // rows, and reading in order up to them would cost more.
    if (!m_cursor.isValid() || m_rows.size() > laterBatch)
        return false;
    return m_tail.readLast(firstBatch, m_rows.size() + laterBatch);
}

bool DataSource::standAhead(int row)
{
    // The rows before it come with it, for the moves back that follow.
    const int first = std::max(int(m_rows.size()), row - firstBatch + 1);
    if (!isAhead(row) && !(readAhead(first, row - first + 1) && isAhead(row)))
        return false;
    m_pos = row;
    emit currentChanged();
    return true;
}

void DataSource::fetchAll()
{
    while (m_cursor.isValid())
        fetchRows(m_rows.size() + laterBatch);
}

int DataSource::recordCount()
{
    fetchAll();
    return m_rows.size();
}

bool DataSource::bof() const
{
    return m_pos < 0 || (m_rows.empty() && !m_cursor.isValid());
}

bool DataSource::eof()
{
    if (isAhead(m_pos))
        return false;
    settleAhead();
    if (m_pos >= m_rows.size())
        fetchRows(m_pos + 1);
    return m_pos >= m_rows.size();
}

bool DataSource::movePointer(int row)
{
    if (row == m_pos)
        return true;
    if (hasPendingChange()) {
        // A new record forgotten leaves the rows after it where they were.
        const bool wasNew = m_newRow;
        const int newAt = m_pos;
        forgetPending();
        if (wasNew && row >= newAt) {
            row = newAt - 1;
            // The last row, when the new record stood after rows not read.
            if (row >= m_rows.size() && !isAhead(row))
                return moveTo(row);
        }
        if (row == m_pos)
            return true;
    }
    m_pos = row;
    emit currentChanged();
    return true;
}

bool DataSource::moveFirst()
{
    fetchRows(1);
    if (m_rows.empty()) {
        setError(QStringLiteral("レコードがありません。"));
        return false;
    }
    return movePointer(0);
}

bool DataSource::moveLast()
{
    // A new record is the last row.
    if (m_newRow && isAhead(m_pos))
        return true;
    // A record set not read to its end counts its rows and reads the last
    // ones alone.
    if (m_cursor.isValid() && !m_newRow) {
        forgetPending();
        settleAhead();
        // The rows held ahead end with the last row (an added record, or the
        // last rows read before).
        if (m_tail.endsTheSet() && standAhead(m_tail.end() - 1))
            return true;
        if (readLastBackwards() && standAhead(m_tail.end() - 1))
            return true;
        const int rows = m_tail.count();
        if (rows > m_rows.size() + laterBatch && standAhead(rows - 1))
            return true;
    }
    fetchAll();
    if (m_rows.empty()) {
        setError(QStringLiteral("レコードがありません。"));
        return false;
    }
    return movePointer(m_rows.size() - 1);
}

bool DataSource::moveNext()
{
    if (!isAhead(m_pos + 1))
        settleAhead();
    // After a row read ahead, the rows up to it are read in order.
    if (isAhead(m_pos) && !isAhead(m_pos + 1))
        fetchRows(m_pos + 2);
    if (eof()) {
        setError(QStringLiteral("現在のレコードは最後のレコードの後ろです。"));
        return false;
    }
    if (isAhead(m_pos + 1))
        return movePointer(m_pos + 1);
    fetchRows(m_pos + 2);
    return movePointer(std::min(m_pos + 1, m_rows.size()));
}

bool DataSource::movePrevious()
{
    if (m_pos < 0) {
        setError(QStringLiteral("現在のレコードは最初のレコードの前です。"));
        return false;
    }
    if (!isAhead(m_pos - 1))
        settleAhead();
    // Back from the first of the rows read ahead: the row before is read too.
    if (m_pos - 1 >= m_rows.size() && !isAhead(m_pos - 1))
        return moveTo(m_pos - 1);
    return movePointer(m_pos - 1);
}

bool DataSource::moveTo(int row)
{
    settleAhead();
    if (isAhead(row))
        return movePointer(row);
    // A row far beyond the rows read is read alone, with the rows before it.
    if (row >= m_rows.size() + laterBatch && m_cursor.isValid()) {
        // A new record (the last row) forgotten leaves the rows before it.
        const int newAt = m_newRow ? m_pos : -1;
        forgetPending();
        if (newAt >= 0 && row >= newAt)
            row = newAt - 1;
        if (standAhead(row))
            return true;
    }
    fetchRows(row + 1);
    if (row < 0 || row >= m_rows.size()) {
        setError(QStringLiteral("レコードがありません。"));
        return false;
    }
    return movePointer(row);
}

int DataSource::fieldIndex(const QString &name) const
{
    return m_columnByName.value(name.toLower(), -1);
}

QString DataSource::fieldName(int column) const
{
    return column >= 0 && column < int(m_columns.size()) ? m_columns[column].name : QString();
}

QVariant DataSource::value(int row, int column) const
{
    if (!held(row) || column < 0 || column >= int(m_columns.size()))
        return QVariant();
    if (isAhead(row))
        return m_tail.value(row, column);
    return m_rows.value(row, column);
}

QVariant DataSource::value(const QString &field) const
{
    return value(m_pos, fieldIndex(field));
}

QString DataSource::text(int row, int column) const
{
    return textOf(value(row, column));
}

QString DataSource::text(const QString &field) const
{
    return textOf(value(field));
}

bool DataSource::setValue(const QString &field, const QVariant &value)
{
    const int column = fieldIndex(field);
    if (column < 0) {
        setError(QStringLiteral("項目「%1」は結果にありません。").arg(field));
        return false;
    }
    if (!held(m_pos)) {
        setError(QStringLiteral("現在のレコードがありません。"));
        return false;
    }
    const QVariant old = this->value(m_pos, column);
    if (sameText(old, value) && old.typeId() == value.typeId())
        return true;
    if (!m_newRow && m_dirty.isEmpty())
        m_original = rowAt(m_pos);
    if (isAhead(m_pos))
        m_tail.setValue(m_pos, column, value);
    else
        m_rows.setValue(m_pos, column, value);
    m_dirty.insert(column);
    if (m_pos < m_modelRows)
        emit dataChanged(index(m_pos, column), index(m_pos, column));
    emit fieldChanged(column);
    return true;
}

bool DataSource::addNew()
{
    settleAhead();
    forgetPending();
    if (m_columns.empty()) {
        setError(QStringLiteral("レコードを追加できません: 結果に項目がありません。"));
        return false;
    }
    m_posBeforeNew = m_pos;
    // Rows not read yet: the new record stands after the last row, which the
    // tail reader places by the count of rows, and joins the rows in order
    // when the reading reaches it.
    int row = m_cursor.isValid() ? m_tail.appendNew() : -1;
    if (row < 0) {
        fetchAll();
        row = m_rows.size();
        beginInsertRows(QModelIndex(), row, row);
        m_rows.appendEmpty();
        m_modelRows = m_rows.size();
        endInsertRows();
    }
    m_newRow = true;
    m_dirty.clear();
    m_pos = row;
    emit currentChanged();
    return true;
}

void DataSource::cancelUpdate()
{
    if (m_newRow) {
        if (isAhead(m_pos)) {
            m_tail.removeNew();
        } else {
            const int row = m_rows.size() - 1;
            beginRemoveRows(QModelIndex(), row, row);
            m_rows.erase(row);
            m_modelRows = m_rows.size();
            endRemoveRows();
        }
        m_newRow = false;
        m_dirty.clear();
        // Back on the record that was current before the new one was started
        // (read again when the new record took the place of the rows ahead).
        const int back = m_posBeforeNew;
        if (!held(back) && back >= m_rows.size() && m_cursor.isValid() && standAhead(back))
            return;
        m_pos = held(back) ? back : m_rows.empty() ? 0 : qBound(-1, back, m_rows.size());
        emit currentChanged();
        return;
    }
    if (!m_dirty.isEmpty() && held(m_pos)) {
        setRowAt(m_pos, m_original);
        m_dirty.clear();
        if (m_pos < m_modelRows)
            emit dataChanged(index(m_pos, 0), index(m_pos, int(m_columns.size()) - 1));
        emit currentChanged();
    }
}

QString DataSource::primaryKeyOf(const QString &table) const
{
    if (!m_db)
        return QString();
    return scalarOf(m_db->handle(),
                    QStringLiteral("SELECT name FROM pragma_table_info(?1) WHERE pk = 1"), {table})
        .toString();
}

int DataSource::resultColumnOf(const QString &table, const QString &column) const
{
    for (int i = 0; i < int(m_columns.size()); ++i)
        if (m_columns[i].table == table &&
            m_columns[i].origin.compare(column, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool DataSource::convertForStore(const Column &column, QVariant &value, QString *error) const
{
    if (!column.numeric || value.isNull() || !value.isValid())
        return true;
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::LongLong ||
        value.typeId() == QMetaType::Int) {
        if (column.integer && value.typeId() == QMetaType::Double) {
            const double d = value.toDouble();
            if (d != std::floor(d)) {
                *error = QStringLiteral("「%1」には整数を入力してください（%2）。")
                             .arg(column.name, textOf(value));
                return false;
            }
            value = QVariant(qlonglong(d));
        }
        return true;
    }
    const QString text = value.toString();
    if (text.trimmed().isEmpty()) {
        value = QVariant();
        return true;
    }
    const auto number = NumberReader::number(text);
    if (!number) {
        *error = QStringLiteral("「%1」には数値を入力してください（入力された値:「%2」）。")
                     .arg(column.name, text);
        return false;
    }
    if (column.integer) {
        if (*number != std::floor(*number)) {
            *error = QStringLiteral("「%1」には整数を入力してください（入力された値:「%2」）。")
                         .arg(column.name, text);
            return false;
        }
        value = QVariant(qlonglong(*number));
    } else {
        value = QVariant(*number);
    }
    return true;
}

bool DataSource::submitPending()
{
    return commitPending();
}

void DataSource::forgetPending()
{
    if (!hasPendingChange())
        return;
    cancelUpdate();
    m_dirty.clear(); // a change to a row no longer held
}

bool DataSource::commitPending()
{
    if (!hasPendingChange())
        return true;
    if (!held(m_pos)) {
        m_dirty.clear();
        m_newRow = false;
        return true;
    }
    if (m_newRow && m_dirty.isEmpty()) {
        // Nothing was entered in the new record: there is nothing to store.
        cancelUpdate();
        return true;
    }
    if (!m_db) {
        setError(QStringLiteral("データベースが開かれていません。"));
        return false;
    }

    std::vector<QVariant> row = rowAt(m_pos);
    std::vector<QVariant> converted = row;
    QHash<QString, QList<int>> byTable;
    QStringList tables;
    for (int column : std::as_const(m_dirty)) {
        const Column &info = m_columns[column];
        if (info.table.isEmpty()) {
            setError(QStringLiteral("項目「%1」は計算結果なので書き込めません。").arg(info.name));
            return false;
        }
        QString error;
        if (!convertForStore(info, converted[column], &error)) {
            setError(error);
            return false;
        }
        if (!byTable.contains(info.table))
            tables << info.table;
        byTable[info.table] << column;
    }
    for (auto &columns : byTable)
        std::sort(columns.begin(), columns.end());

    qint64 newId = -1;
    QString keyColumnOfNew;
    const bool inserting = m_newRow;
    if (inserting && tables.size() != 1) {
        setError(QStringLiteral("新しいレコードは一つの表にしか書き込めません（%1）。")
                     .arg(tables.join(QStringLiteral("、"))));
        return false;
    }

    QString error;
    const bool ok = m_db->write(
        [&](QString *failure) {
            for (const QString &table : std::as_const(tables)) {
                const QList<int> &columns = byTable[table];
                QStringList names;
                QVariantList params;
                for (int column : columns) {
                    names << quoted(m_columns[column].origin);
                    params << converted[column];
                }
                if (inserting) {
                    QStringList marks;
                    for (int i = 0; i < names.size(); ++i)
                        marks << QStringLiteral("?%1").arg(i + 1);
                    const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                            .arg(quoted(table), names.join(QLatin1Char(',')),
                                                 marks.join(QLatin1Char(',')));
                    if (!m_db->run(sql, params, failure))
                        return false;
                    newId = m_db->lastInsertId();
                    keyColumnOfNew = primaryKeyOf(table);
                    continue;
                }
                const QString key = primaryKeyOf(table);
                const int keyColumn = key.isEmpty() ? -1 : resultColumnOf(table, key);
                if (keyColumn < 0) {
                    *failure =
                        QStringLiteral(
                            "表「%1」の行を特定するキーが結果にないので、変更を書き込めません。")
                            .arg(table);
                    return false;
                }
                QStringList sets;
                for (int i = 0; i < names.size(); ++i)
                    sets << QStringLiteral("%1=?%2").arg(names[i]).arg(i + 1);
                params << (m_newRow
                               ? QVariant()
                               : (m_original.empty() ? row[keyColumn] : m_original[keyColumn]));
                const QString sql =
                    QStringLiteral("UPDATE %1 SET %2 WHERE %3=?%4")
                        .arg(quoted(table), sets.join(QLatin1Char(',')), quoted(key))
                        .arg(params.size());
                int changes = 0;
                if (!m_db->run(sql, params, failure, &changes))
                    return false;
                if (changes != 1) {
                    *failure = QStringLiteral("変更する行が見つかりません（表「%"
                                              "1」）。ほかの操作で削除された可能性があります。")
                                   .arg(table);
                    return false;
                }
            }
            return true;
        },
        &error);
    if (!ok) {
        setError(error);
        return false;
    }
    if (inserting && !keyColumnOfNew.isEmpty()) {
        const int keyColumn = resultColumnOf(tables.first(), keyColumnOfNew);
        if (keyColumn >= 0)
            converted[keyColumn] = QVariant(newId);
    }
    // The write may have read the rows ahead into the rows in order.
    setRowAt(m_pos, std::move(converted));
    m_dirty.clear();
    m_newRow = false;
    m_original.clear();
    if (m_pos < m_modelRows)
        emit dataChanged(index(m_pos, 0), index(m_pos, int(m_columns.size()) - 1));
    return true;
}

bool DataSource::deleteCurrent()
{
    settleAhead();
    if (m_newRow && held(m_pos)) {
        cancelUpdate();
        return true;
    }
    // A row read ahead is deleted from the rows read in order.
    if (isAhead(m_pos))
        fetchRows(m_pos + 1);
    if (m_pos < 0 || m_pos >= m_rows.size()) {
        setError(QStringLiteral("削除するレコードがありません。"));
        return false;
    }
    QString table = m_uniqueTable;
    if (table.isEmpty()) {
        QSet<QString> tables;
        for (const Column &column : m_columns)
            if (!column.table.isEmpty())
                tables.insert(column.table);
        if (tables.size() != 1) {
            setError(QStringLiteral("削除する表が決まりません。"));
            return false;
        }
        table = *tables.begin();
    }
    const QString key = primaryKeyOf(table);
    const int keyColumn = key.isEmpty() ? -1 : resultColumnOf(table, key);
    if (keyColumn < 0) {
        setError(QStringLiteral("表「%1」の行を特定するキーが結果にないので、削除できません。")
                     .arg(table));
        return false;
    }
    const QVariant keyValue =
        m_dirty.isEmpty() ? m_rows.value(m_pos, keyColumn) : m_original[keyColumn];
    QString error;
    const bool ok = m_db->write(
        [&](QString *failure) {
            return m_db->run(
                QStringLiteral("DELETE FROM %1 WHERE %2=?1").arg(quoted(table), quoted(key)),
                {keyValue}, failure);
        },
        &error);
    if (!ok) {
        setError(error);
        return false;
    }
    m_dirty.clear();
    m_original.clear();
    beginRemoveRows(QModelIndex(), m_pos, m_pos);
    m_rows.erase(m_pos);
    m_modelRows = m_rows.size();
    endRemoveRows();
    m_tail.rowRemoved();
    // The row that takes its place is read, if it is not yet.
    fetchRows(m_pos + 1);
    emit currentChanged();
    return true;
}

int DataSource::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_modelRows;
}

int DataSource::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant DataSource::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    if (role == Qt::DisplayRole)
        return text(index.row(), index.column());
    if (role == Qt::EditRole)
        return value(index.row(), index.column());
    return QVariant();
}

QVariant DataSource::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return fieldName(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool DataSource::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_cursor.isValid();
}

void DataSource::fetchMore(const QModelIndex &parent)
{
    if (!parent.isValid())
        fetchRows(m_rows.size() + laterBatch);
}
