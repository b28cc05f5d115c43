#pragma once

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

class DataSource;
class QTemporaryDir;
class QTimer;
class UndoJournal;

// One open store file. Data sources given the same connection text share one
// Database, so that a write made through one data source is seen by the next
// refresh of every other. Every write is its own transaction, durable when it
// returns. A whole store writes a log (one sync per commit) and folds it back into
// the file once the user pauses: every query still being read is first read
// to its end, so no reader holds an old state, and the log is emptied. From
// then on zento.dll alone holds every change. The file's own journal mode is
// put back when the store closes.
class Database
{
public:
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // The store named by a connection text ("...;Data Source=zento.dll;...";
    // "Mode=Read" opens it read-only).
    // A missing file is never created: it is an error, as is an empty file,
    // one that is not a database or one whose schema is not our own (see
    // SchemaCheck); none is ever written. A file that
    // cannot be changed (itself or its folder read-only) opens read-only.
    // The name resolves against the working directory.
    static std::shared_ptr<Database> open(const QString &connectionString, QString *error);

    // Makes every SQLite connection the process opens from now on refuse
    // to run a file's code (defensive, schema not trusted). Done once, before
    // main; true when in force.
    static bool guardConnections();

    // Forgets the stores that no data source holds any more.
    static void closeUnused();
    // How many times a store file was opened in this process (each open() that
    // did not find the store already open).
    static int fileOpenCount();

    // The file name given by the connection text's "Data Source" part.
    static QString dataSourceOf(const QString &connectionString);

    sqlite3 *handle() const { return m_db; }
    QString fileName() const { return m_fileName; }

    // What the user is told about how the store was opened (a log that was
    // not its own, moved aside); empty when nothing.
    QString notice() const { return m_notice; }

    // Opened read-only: every write is refused.
    bool isReadOnly() const { return m_readOnly; }
    // Whether the store's name still names the file this store holds open
    // (same device and inode): false once it was renamed over or removed.
    // Checked before every write.
    bool isStillTheFile() const;
    // Refuses every later write with reason (a store that lacks parts);
    // an empty reason allows writes again.
    void refuseEdits(const QString &reason) { m_refusal = reason; }
    QString editsRefused() const;

    // The journal mode the file had when it was opened ("wal", "delete" ...)
    // and the one in use.
    QString startJournalMode() const { return m_startMode; }
    QString journalMode() const;

    // The undo journal that records every change made through this store,
    // when one is kept (see UndoJournal). A journal set before it is
    // installed is installed by the first write.
    UndoJournal *undoJournal() const { return m_undo.get(); }
    void setUndoJournal(std::unique_ptr<UndoJournal> journal);

    // Reads every cursor still open on the writing connection to its end, so
    // that the connection holds no statement (before a write or a backup).
    void drainCursors(bool everyConnection = false);

    // Runs fn inside BEGIN IMMEDIATE ... COMMIT; rolls back when fn returns
    // false or the commit fails. Before writing, every cursor still reading
    // from this store is read to its end, so that record sets keep the rows
    // their query found.
    bool write(const std::function<bool(QString *error)> &fn, QString *error);
    // Writes what the store keeps only to spare counting again (figures
    // derived from its data): no undo step, and not synced at once, since a
    // crash loses no more than figures that are counted again when next
    // needed. Nothing is written to a store that refuses edits. False when
    // nothing was written.
    bool writeDerived(const std::function<bool()> &fn);

    // Runs one statement with positional parameters (?1, ?2, ...); for use
    // inside write(). Sets *changes to the number of rows it changed.
    bool run(const QString &sql, const QVariantList &params, QString *error,
             int *changes = nullptr);

    qint64 lastInsertId() const;
    QString lastError() const;

    // A mark of what one table holds: it changes whenever the table's rows
    // may have changed, through this store (every row written counts, a
    // rolled-back one too), by another program (the file's data version) or
    // by a restore (replaced()). Two equal marks mean the rows are as they were.
    struct TableMark
    {
        quint64 store = 0;
        quint64 rowWrites = 0;
        qint64 fileVersion = -1;
        bool operator==(const TableMark &) const = default;
    };
    TableMark markOf(const char *table) const;
    // The file's content was replaced through this connection (a restore).
    void replaced();

    // Puts the file replacement (a whole store that was checked, in the same
    // folder) in the place of the store's file with one rename, and from then
    // on reads and writes it: the log is first folded into the old file and
    // removed, so that nothing of it meets the new one; the readers and the
    // undo journal's steps of the old file are let go (the journal records
    // again from the next write); the file identity checked before each
    // write becomes the new file's. False with *error, the store as it was,
    // when another program reads the store or the rename fails.
    bool replaceFile(const QString &replacement, QString *error);

    // Runs fn once, just before the first write through this store (before
    // its transaction begins); an empty fn forgets the one set.
    void setBeforeFirstWrite(std::function<void()> fn) { m_beforeFirstWrite = std::move(fn); }

    // Connections for queries. With a write-ahead log a query that is still
    // being read holds a connection of its own: its rows stay those of the
    // moment it ran while writes go on, and nothing waits for it. Without one,
    // queries share the writing connection and write() first reads every
    // cursor open on it to its end. Every open cursor is registered
    // (addCursor/removeCursor) with the connection it reads through.
    sqlite3 *acquireReader();
    void releaseReader(sqlite3 *reader);
    bool hasWriteAheadLog() const { return m_wal; }
    // Keeps the store with a write-ahead log from now on (one that lacked
    // parts opens in its own journal mode); before any query runs. True when
    // the store has one.
    bool useWriteAheadLog();
    void addCursor(DataSource *source, sqlite3 *connection);
    void removeCursor(DataSource *source);

    // How long after the last write the log is folded back into the file.
    static constexpr int checkpointDelayMs = 1500;
    // Folds the log back into the file now: reads every open cursor to its
    // end, then moves every logged page into the file and empties the log.
    // True when the file alone holds every change.
    bool foldLog();
    // While held, the log is not folded back: folding waits for every reader
    // of an older state of the store, such as the day's copy being written.
    // Released, a fold that was due is scheduled again.
    void holdLog(bool held);

private:
    explicit Database(sqlite3 *db, const QString &fileName, bool wal);
    void scheduleCheckpoint();
    static void noteRowWrite(void *store, int operation, const char *database, const char *table,
                             long long rowid);

    sqlite3 *m_db = nullptr;
    QString m_fileName;
    bool m_wal = false;
    bool m_readOnly = false;
    unsigned long long m_device = 0, m_inode = 0;
    bool m_logHeld = false;
    bool m_foldDue = false;
    QString m_refusal;
    QString m_startMode;
    QString m_notice;
    std::unique_ptr<QTemporaryDir> m_privateCopy; // a read-only store read with its log
    std::unique_ptr<UndoJournal> m_undo;
    std::vector<std::pair<DataSource *, sqlite3 *>> m_cursors;
    std::vector<sqlite3 *> m_idleReaders;
    std::unique_ptr<QTimer> m_checkpoint;
    quint64 m_serial = 0;
    std::function<void()> m_beforeFirstWrite;
    std::vector<std::pair<std::string, quint64>> m_rowWrites;
};
