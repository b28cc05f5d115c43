#pragma once

#include <QDateTime>
#include <QString>
#include <atomic>
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
// beside the store, keeping the newest `keep` such copies. The copy is itself
// checked (every page and index) before it takes the place of the oldest: one
// found damaged, or whose check was stopped, is removed again. Returns the
// path written, empty when today's copy already exists; *error is set on
// failure.
QString daily(sqlite3 *db, const QString &storePath, const QDate &today, QString *error,
              int keep = 7, const std::atomic_bool *stop = nullptr);

// What the check of the store found, and the day's copy made after it.
struct CheckReport
{
    bool stopped = false; // the program ended first: nothing was concluded
    QString damage;       // the fault found, as one message naming the file
    QString goodCopy;     // when damaged: the newest whole copy in backups/
    QString written;      // the day's copy written; empty when none was made
    QString error;        // why the day's copy could not be made
};

// Reads every page of the store db holds open and compares every index with
// its table; when it is whole and copyDue, makes the day's copy (daily) of
// that same state. When it is damaged, looks for the newest copy in the
// store's backups/ folder that passes the whole check. stop, when set while
// it runs, ends it with nothing concluded.
CheckReport checkThenCopy(sqlite3 *db, const QString &storePath, const QDate &today, bool copyDue,
                          const std::atomic_bool *stop = nullptr);

// The newest file in the store's backups/ folder (by the time it was
// written) that StoreCheck::checkFile accepts; empty when there is none.
QString newestGoodCopy(const QString &storePath, const std::atomic_bool *stop = nullptr);

// checkThenCopy run by a thread of its own, from a connection of its own
// whose state of the store is fixed before start() returns: a change made
// after start() is neither checked nor copied, and does not wait. For a
// store kept with a write-ahead log, whose writers never wait for readers,
// or one that cannot be written.
class StartCheck
{
public:
    // Told on the checking thread.
    using Done = std::function<void(const CheckReport &report)>;

    StartCheck() = default;
    ~StartCheck() { stop(); }
    StartCheck(const StartCheck &) = delete;
    StartCheck &operator=(const StartCheck &) = delete;

    // False with *error when the store's state cannot be fixed; nothing is
    // started then.
    bool start(const QString &storePath, const QDate &today, bool copyDue, Done done,
               QString *error);
    bool isRunning() const { return m_running; }
    // Returns once the check (and the copy) is done, at once when none runs.
    void wait();
    // Ends a check that is running as soon as it can, then waits for it.
    void stop();

private:
    std::atomic_bool m_stop = false;
    std::atomic_bool m_running = false;
    std::jthread m_thread;
};

} // namespace Backup
