#include "core/store/tailreader.h"

#include "core/store/statement.h"

#include <sqlite3.h>

void TailReader::open(sqlite3 *connection, const QString &source, int columns)
{
    drop();
    m_connection = connection;
    m_source = source;
    m_columns = columns;
    m_snapshotRows = -1;
    m_removed = 0;
    m_added = 0;
}

void TailReader::closeQuery()
{
    m_connection = nullptr;
    m_snapshotRows = -1;
}

void TailReader::drop()
{
    m_rows.reset(0);
    m_first = -1;
    m_changed = false;
    m_unplaced = false;
}

void TailReader::setValue(int row, int column, const QVariant &value)
{
    m_rows.setValue(row - m_first, column, value);
    m_changed = true;
}

void TailReader::setRow(int row, std::vector<QVariant> values)
{
    m_rows.setRow(row - m_first, std::move(values));
    m_changed = true;
}

int TailReader::count()
{
    if (!m_connection)
        return -1;
    if (m_snapshotRows < 0) {
        // Counted in the cursor's snapshot, which every row held was read from.
        Statement rows;
        if (!rows.prepare(m_connection,
                          QStringLiteral("SELECT count(*) FROM (%1)").arg(m_source)) ||
            !rows.next())
            return -1;
        m_snapshotRows = int(rows.value(0).toLongLong());
    }
    return m_snapshotRows - m_removed + m_added;
}

bool TailReader::endsTheSet() const
{
    return !m_rows.empty() && !m_unplaced && m_connection && m_snapshotRows >= 0 &&
           end() == m_snapshotRows - m_removed + m_added;
}

bool TailReader::readAt(int first, int count)
{
    if (!m_connection || count <= 0)
        return false;
    Statement rows;
    if (!rows.prepare(m_connection,
                      QStringLiteral("SELECT * FROM (%1) LIMIT ?1 OFFSET ?2").arg(m_source)) ||
        sqlite3_column_count(rows.handle()) != m_columns)
        return false;
    // The rows the record set deleted stand before the rows asked for; the
    // snapshot still holds them.
    rows.bind(1, qint64(count));
    rows.bind(2, qint64(first + m_removed));
    RowStore read;
    read.reset(m_columns);
    while (rows.next())
        read.appendFrom(rows.handle());
    if (rows.failed() || read.empty())
        return false;
    m_rows = std::move(read);
    m_first = first;
    m_changed = false;
    m_unplaced = false;
    return true;
}

bool TailReader::readLast(int count, int rowsBefore)
{
    // Only where the owner declared the tail: its rows are exactly the
    // record source's rows in reverse.
    if (m_tailSource.isEmpty() || !m_connection || count <= 0)
        return false;
    const int wanted = count + rowsBefore;
    RowStore backwards;
    backwards.reset(m_columns);
    Statement rows;
    if (!rows.prepare(m_connection, m_tailSource) ||
        sqlite3_column_count(rows.handle()) != m_columns)
        return false;
    rows.bind(1, qint64(wanted));
    int seen = 0;
    while (rows.next()) {
        if (seen++ < count)
            backwards.appendFrom(rows.handle());
    }
    if (rows.failed() || seen != wanted)
        return false;
    m_rows.reset(m_columns);
    for (int i = count - 1; i >= 0; --i) {
        m_rows.appendEmpty();
        m_rows.setRow(m_rows.size() - 1, backwards.row(i));
    }
    m_first = unplacedFirst;
    m_changed = false;
    m_unplaced = true;
    return true;
}

void TailReader::place(int firstPlace)
{
    m_first = firstPlace;
    m_unplaced = false;
}

void TailReader::rowRemoved()
{
    ++m_removed;
    if (!m_unplaced && m_first > 0)
        --m_first;
}

int TailReader::appendNew()
{
    const int rows = m_unplaced ? -1 : count();
    if (rows < 0)
        return -1;
    if (!m_rows.empty() && end() != rows) {
        if (m_changed)
            return -1;
        drop();
    }
    if (m_rows.empty()) {
        m_rows.reset(m_columns);
        m_first = rows;
    }
    m_rows.appendEmpty();
    m_changed = true;
    ++m_added;
    return rows;
}

void TailReader::removeNew()
{
    m_rows.erase(m_rows.size() - 1);
    --m_added;
    if (m_rows.empty())
        drop();
}
