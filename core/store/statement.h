#pragma once

#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

// One prepared statement, finalized when it goes out of scope. prepare()
// reports a failure instead of leaving a null statement behind.
class Statement
{
public:
    Statement() = default;
    Statement(sqlite3 *db, const QString &sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    Statement(Statement &&other) noexcept;
    Statement &operator=(Statement &&other) noexcept;

    // Prepares sql on db, finalizing what was held. False when the text does
    // not compile or holds no statement; error() then says why.
    bool prepare(sqlite3 *db, const QString &sql);
    bool isValid() const { return m_stmt != nullptr; }
    QString error() const { return m_error; }

    void bind(int index, const QVariant &value); // 1-based
    // One step: true on a row; false when done or failed (see failed()).
    bool next();
    bool failed() const { return m_failed; }
    // Runs to the end; false on failure.
    bool exec();
    QVariant value(int column) const;
    // The column of the current row as the store holds it, read without a
    // QVariant: for loops over many rows.
    enum class Type { Integer = 1, Real, Text, Blob, Null };
    Type type(int column) const;
    qint64 integer(int column) const;
    double real(int column) const;
    QString text(int column) const;
    QByteArray bytes(int column) const; // the text or blob as stored
    void reset();
    void finalize();

    sqlite3_stmt *handle() const { return m_stmt; }
    // Hands the statement over to the caller, who then finalizes it.
    sqlite3_stmt *release();

private:
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    QString m_error;
    bool m_failed = false;
};

// The first column of the first row of sql, null when there is none or the
// query fails.
QVariant scalarOf(sqlite3 *db, const QString &sql, const QVariantList &params = {});

// Binds a Qt value to a statement parameter (1-based).
void bindValue(sqlite3_stmt *stmt, int index, const QVariant &value);
// Reads a result column as a Qt value (null, integer, real, text or blob).
QVariant columnValue(sqlite3_stmt *stmt, int column);
