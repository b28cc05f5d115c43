#pragma once

#include "core/store/rowstore.h"

#include <QString>
#include <QVariant>
#include <vector>

struct sqlite3;

// The rows of a record set that stand beyond the rows it has read in order.
//
// A record set reads its query's rows one batch after another. Going to the
// last of a hundred thousand dishes, or to a row far ahead, should not read
// all the rows before it: the tail reader reads those rows alone (the row
// asked for and the rows just before it) and holds them at their places
// until the reading in order reaches them. It also holds a record added
// after the last row while rows before it are still unread.
//
// Every row comes from the record set's own query, read through the
// connection its cursor reads through, so all rows belong to one snapshot.
// Where the owner declared the record source's tail (setTailSource: the same
// rows from the last backwards, ?1 of them), the last rows are read by that
// query and wait at a stand-in place (unplacedFirst on) until something needs
// their place; count() then says where they stand. Other record sources are
// read by an offset into their rows.
//
// The record set takes a row back when its reading in order reaches it; a row
// changed or added here is the one it keeps, as the snapshot holds the row as
// it was (or not at all).
class TailReader
{
public:
    // Where the last rows read backwards stand until they are placed: beyond
    // any row the reading in order reaches first.
    static constexpr int unplacedFirst = 1 << 30;

    // The query giving the record source's rows from the last backwards;
    // empty: the last rows are read by their count and offset.
    void setTailSource(const QString &sql) { m_tailSource = sql; }
    QString tailSource() const { return m_tailSource; }

    // The record source whose cursor is open on connection, with its columns.
    // Forgets the rows held and what was counted.
    void open(sqlite3 *connection, const QString &source, int columns);
    // The cursor reached its end or closed: nothing more is read or counted.
    // The rows held stay until the record set has taken them.
    void closeQuery();
    // Forgets the rows held.
    void drop();

    bool empty() const { return m_rows.empty(); }
    int first() const { return m_first; }
    int end() const { return m_first + m_rows.size(); }
    int size() const { return m_rows.size(); }
    bool holds(int row) const { return m_first >= 0 && row >= m_first && row < end(); }
    // A row held was changed or added: reading it again would lose that.
    bool changed() const { return m_changed; }
    // The last rows read backwards, not yet placed.
    bool unplaced() const { return m_unplaced; }

    QVariant value(int row, int column) const { return m_rows.value(row - m_first, column); }
    std::vector<QVariant> row(int row) const { return m_rows.row(row - m_first); }
    void setValue(int row, int column, const QVariant &value);
    void setRow(int row, std::vector<QVariant> values);

    // The rows of the record set: those of the snapshot, less the rows it
    // deleted, with the records it added. -1 when they cannot be counted
    // (no query open, or the count failed).
    int count();
    // The rows held end with the last row of the record set (known only once
    // counted).
    bool endsTheSet() const;
    // Reads count rows from first on in place of the rows held.
    bool readAt(int first, int count);
    // Reads the last count rows by the declared tail query, when at least
    // rowsBefore rows stand before them; they wait unplaced.
    bool readLast(int count, int rowsBefore);
    // Puts the unplaced rows at their place; firstPlace is where the first
    // of them stands.
    void place(int firstPlace);

    // The record set deleted a row before the rows held (read in order).
    void rowRemoved();
    // Adds an empty row after the last row of the record set, when the rows
    // held end there or hold nothing changed; its place, or -1 when unknown.
    int appendNew();
    // Forgets the row appendNew() added (the last held).
    void removeNew();

private:
    QString m_tailSource;
    QString m_source;
    sqlite3 *m_connection = nullptr;
    int m_columns = 0;
    RowStore m_rows;
    int m_first = -1;
    bool m_changed = false;
    bool m_unplaced = false;
    int m_snapshotRows = -1; // counted once, in the cursor's snapshot
    int m_removed = 0;       // rows of the snapshot the record set deleted
    int m_added = 0;         // records added after the snapshot's last row
};
