#pragma once

#include <QDateTime>
#include <QString>
#include <functional>
#include <thread>

class Database;
struct sqlite3;

// Copies of the store and their way back, made with SQLite's online backup
// while the program runs: the copy is one consistent state of the store, and
// a file being written is never the file the user named until it is whole.
namespace Backup {

// The name a copy made now is offered under: zento-YYYYMMDD-HHMM.dll.
QString defaultName(const QDateTime &when);

// Copies the open database db into the file target, replacing it only once
// the copy is complete and synced. False with *error when it cannot.
bool copy(sqlite3 *db, const QString &target, QString *error);
// The same for a store file that is not open: the tool's --backup.
bool copyFile(const QString &store, const QString &target, QString *error);

// Replaces the content of the open store by that of source: source is checked
// first (a database, every table and column, its pages whole), the store as
// it was is kept beside it as "<store>.bak", and the copy back is one
// transaction. The undo journal is emptied. False with *error, and the store
// unchanged, when any step fails.
bool restore(Database &store, const QString &source, QString *error);
// The same for a store file that is not open: the tool's --restore.
bool restoreFile(const QString &store, const QString &source, QString *error);

// The copy made on the first start of a day: backups/zento-YYYYMMDD.dll
// beside the store, keeping the newest `keep` such copies. Returns the path
// written, empty when today's copy already exists; *error is set on failure.
QString daily(sqlite3 *db, const QString &storePath, const QDate &today, QString *error,
              int keep = 7);

// The day's copy written by a thread of its own, from a connection of its
// own whose state of the store is fixed before start() returns: a change
// made after start() is not in the copy, and does not wait for it. For a
// store kept with a write-ahead log, whose writers never wait for readers.
class DailyCopy
{
public:
    // Told on the copying thread: the path written (empty when today's copy
    // was already there) or why the copy could not be made.
    using Done = std::function<void(const QString &path, const QString &error)>;

    DailyCopy() = default;
    ~DailyCopy() = default; // waits: the thread joins
    DailyCopy(const DailyCopy &) = delete;
    DailyCopy &operator=(const DailyCopy &) = delete;

    // False with *error when the store's state cannot be fixed; nothing is
    // started then.
    bool start(const QString &storePath, const QDate &today, Done done, QString *error);
    // Returns once the copy is written, at once when none is being written.
    void wait();

private:
    std::jthread m_thread;
};

} // namespace Backup
