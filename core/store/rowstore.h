#pragma once

#include <QByteArray>
#include <QVariant>
#include <memory>
#include <vector>

struct sqlite3_stmt;

// The rows of a record set. Rows read from the store are kept encoded, one
// after another in one buffer, and turned into values only when read: a list
// of ten thousand dishes costs one allocation instead of twenty thousand.
// A row that is changed or added is held as values of its own.
class RowStore
{
public:
    void reset(int columns);
    int size() const { return int(m_rows.size()); }
    bool empty() const { return m_rows.empty(); }

    // Appends the row a statement stands on.
    void appendFrom(sqlite3_stmt *stmt);
    void appendEmpty();
    void erase(int row);

    QVariant value(int row, int column) const;
    std::vector<QVariant> row(int row) const;
    void setRow(int row, std::vector<QVariant> values);
    void setValue(int row, int column, const QVariant &value);

private:
    struct Row
    {
        quint32 offset = 0;
        std::unique_ptr<std::vector<QVariant>> values; // set once changed
    };
    const char *cell(quint32 offset, int column) const;
    std::vector<QVariant> &materialize(int row);

    int m_columns = 0;
    std::vector<char> m_arena;
    std::vector<Row> m_rows;
};
