#include "core/store/rowstore.h"

#include <QString>
#include <cstring>
#include <sqlite3.h>

namespace {

// Cell encoding: one type byte, then 8 bytes for an integer or a real, or a
// 4-byte length and the bytes for a text or a blob.
enum : char { Null = 0, Integer = 1, Real = 2, Text = 3, Blob = 4 };

int cellSize(const char *cell)
{
    switch (cell[0]) {
    case Integer:
    case Real:
        return 9;
    case Text:
    case Blob: {
        quint32 length;
        std::memcpy(&length, cell + 1, 4);
        return 5 + int(length);
    }
    default:
        return 1;
    }
}

} // namespace

void RowStore::reset(int columns)
{
    m_columns = columns;
    m_arena.clear();
    m_rows.clear();
}

void RowStore::appendFrom(sqlite3_stmt *stmt)
{
    Row row;
    row.offset = quint32(m_arena.size());
    for (int c = 0; c < m_columns; ++c) {
        const int type = sqlite3_column_type(stmt, c);
        switch (type) {
        case SQLITE_INTEGER:
        case SQLITE_FLOAT: {
            char bytes[9];
            if (type == SQLITE_INTEGER) {
                const qint64 v = sqlite3_column_int64(stmt, c);
                bytes[0] = Integer;
                std::memcpy(bytes + 1, &v, 8);
            } else {
                const double v = sqlite3_column_double(stmt, c);
                bytes[0] = Real;
                std::memcpy(bytes + 1, &v, 8);
            }
            m_arena.insert(m_arena.end(), bytes, bytes + 9);
            break;
        }
        case SQLITE_TEXT:
        case SQLITE_BLOB: {
            const char *data = type == SQLITE_TEXT
                                   ? reinterpret_cast<const char *>(sqlite3_column_text(stmt, c))
                                   : static_cast<const char *>(sqlite3_column_blob(stmt, c));
            const quint32 length = quint32(sqlite3_column_bytes(stmt, c));
            const size_t at = m_arena.size();
            m_arena.resize(at + 5 + length);
            m_arena[at] = type == SQLITE_TEXT ? Text : Blob;
            std::memcpy(m_arena.data() + at + 1, &length, 4);
            if (length)
                std::memcpy(m_arena.data() + at + 5, data, length);
            break;
        }
        default:
            m_arena.push_back(Null);
        }
    }
    m_rows.push_back(std::move(row));
}

void RowStore::appendEmpty()
{
    Row row;
    row.values = std::make_unique<std::vector<QVariant>>(m_columns);
    m_rows.push_back(std::move(row));
}

void RowStore::erase(int row)
{
    m_rows.erase(m_rows.begin() + row);
}

const char *RowStore::cell(quint32 offset, int column) const
{
    const char *p = m_arena.data() + offset;
    for (int c = 0; c < column; ++c)
        p += cellSize(p);
    return p;
}

QVariant RowStore::value(int row, int column) const
{
    const Row &r = m_rows[row];
    if (r.values)
        return (*r.values)[column];
    const char *p = cell(r.offset, column);
    switch (p[0]) {
    case Integer: {
        qint64 v;
        std::memcpy(&v, p + 1, 8);
        return QVariant(qlonglong(v));
    }
    case Real: {
        double v;
        std::memcpy(&v, p + 1, 8);
        return QVariant(v);
    }
    case Text:
    case Blob: {
        quint32 length;
        std::memcpy(&length, p + 1, 4);
        return p[0] == Text ? QVariant(QString::fromUtf8(p + 5, length))
                            : QVariant(QByteArray(p + 5, length));
    }
    default:
        return QVariant();
    }
}

std::vector<QVariant> RowStore::row(int row) const
{
    if (m_rows[row].values)
        return *m_rows[row].values;
    std::vector<QVariant> values(m_columns);
    for (int c = 0; c < m_columns; ++c)
        values[c] = value(row, c);
    return values;
}

std::vector<QVariant> &RowStore::materialize(int row)
{
    Row &r = m_rows[row];
    if (!r.values)
        r.values = std::make_unique<std::vector<QVariant>>(this->row(row));
    return *r.values;
}

void RowStore::setRow(int row, std::vector<QVariant> values)
{
    materialize(row) = std::move(values);
}

void RowStore::setValue(int row, int column, const QVariant &value)
{
    materialize(row)[column] = value;
}
