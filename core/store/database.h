#pragma once

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

class DataSource;
class QTimer;

// One open store file. Data sources given the same connection text share one
// Database, so that a write made through one data source is seen by the next
// refresh of every other. Every write is its own transaction, durable when it
// returns.
class Database
{
public:
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // The store named by a connection text ("...;Data Source=zento.dll;...").
    // A missing file is never created: it is an error, as is a file that is
    // not a database. The name resolves against the working directory.
    static std::shared_ptr<Database> open(const QString &connectionString, QString *error);

    // Forgets the stores that no data source holds any more.
    static void closeUnused();
    // How many times a store file was opened in this process (each open() that
    // did not find the store already open).
    static int fileOpenCount();

    // The file name given by the connection text's "Data Source" part.
    static QString dataSourceOf(const QString &connectionString);

    sqlite3 *handle() const { return m_db; }
    QString fileName() const { return m_fileName; }

    // Runs fn inside BEGIN IMMEDIATE ... COMMIT; rolls back when fn returns
    // false or the commit fails. Before writing, every cursor still reading
    // from this store is read to its end, so that record sets keep the rows
    // their query found.
    bool write(const std::function<bool(QString *error)> &fn, QString *error);

    // Runs one statement with positional parameters (?1, ?2, ...); for use
    // inside write(). Sets *changes to the number of rows it changed.
    bool run(const QString &sql, const QVariantList &params, QString *error,
             int *changes = nullptr);

    qint64 lastInsertId() const;
    QString lastError() const;

    // Connections for queries. With a write-ahead log a query that is still
    // being read holds a connection of its own: its rows stay those of the
    // moment it ran while writes go on, and nothing waits for it. Without one,
    // queries share the writing connection and write() first reads every
    // open cursor to its end (addCursor/removeCursor).
    sqlite3 *acquireReader();
    void releaseReader(sqlite3 *reader);
    bool hasWriteAheadLog() const { return m_wal; }
    void addCursor(DataSource *source);
    void removeCursor(DataSource *source);

    // How long after the last write the log is folded back into the file.
    static constexpr int checkpointDelayMs = 1500;

private:
    explicit Database(sqlite3 *db, const QString &fileName, bool wal);
    void scheduleCheckpoint();

    sqlite3 *m_db = nullptr;
    QString m_fileName;
    bool m_wal = false;
    std::vector<DataSource *> m_cursors;
    std::vector<sqlite3 *> m_idleReaders;
    std::unique_ptr<QTimer> m_checkpoint;
};

// Binds a Qt value to a statement parameter (1-based).
void bindValue(sqlite3_stmt *stmt, int index, const QVariant &value);
// Reads a result column as a Qt value (null, integer, real, text or blob).
QVariant columnValue(sqlite3_stmt *stmt, int column);
