#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <vector>

struct sqlite3;

// What the program checks before it trusts a store file: that the file is a
// database at all (without writing a byte to it), whether it may be changed,
// and that every table and column the program reads is there.
namespace StoreCheck {

enum class FileState { Ok, Missing, Folder, Unreadable, Empty, NotDatabase };

struct FileReport
{
    FileState state = FileState::Ok;
    QString message; // empty when the file is fine
};

// Looks at the file's first bytes only; never creates, opens for writing or
// changes the file.
FileReport inspectFile(const QString &path);

// A log ("<store>-wal") beside a store whose header says it keeps none is
// not the store's own (left by another database, or a copy made without its
// log), yet opening would fold it in: it is moved aside as
// "<store>-wal.not-this-store-YYYYMMDD-HHMMSS" first. Returns the message
// telling so, empty when there was no such log; *stuck is set when it could
// not be moved (the store is then opened without any log).
QString setAsideForeignLog(const QString &path, bool *stuck);

// Whether both the file and its folder can be written: a change needs the
// folder too, for the journal that makes it safe.
bool isWritable(const QString &path);

// Every table and column the program uses, in the schema's order: what the
// schema makes less the columns the program never reads (the two spare fields
// of a line, the energy in kJ). The store's check compares against this list,
// so that it need not make a store from the schema at every start.
struct TableColumns
{
    QString table;
    QStringList columns;
};
const std::vector<TableColumns> &usedParts();
// Whether the program never reads or writes the column (a store may lack it).
bool isUnused(const QString &column);

// Tables and columns the program uses that the store lacks, as
// 表「kou」 or 表「eys」の項目「NAT」, in the schema's order.
QStringList missingParts(sqlite3 *db);

// Whether the two paths name one file (device and inode), whatever the
// names; false when either does not exist.
bool sameFile(const QString &a, const QString &b);
// Why an existing path cannot be replaced by a file written there (a folder,
// a device, a FIFO, a socket); empty for a regular file or no file at all.
QString notAFileReason(const QString &path);

// The one message for a store that lacks parts.
QString missingMessage(const QString &fileName, const QStringList &missing);
// The one message for a store that opens read-only.
QString readOnlyMessage(const QString &fileName);

// The damage integrity_check finds in the open store (every page read, every
// index compared with its table), as one message naming fileName; empty when
// it is whole, or when stop was set while it ran.
QString damageOf(sqlite3 *db, const QString &fileName, const std::atomic_bool *stop = nullptr);

// A schema not of our own in the open database db, or a damaged page or
// index, as one message naming shown; empty when there is neither.
QString foreignOrDamage(sqlite3 *db, const QString &shown);

// What makes the open database db unfit to become the store, as one message
// naming shown: a schema not of our own, a damaged page or index, a table or
// column the program uses that it lacks (the menus' tables aside, which a
// restore adds); empty when it is fit.
QString problemOf(sqlite3 *db, const QString &shown);

// The whole check of a file that is to become the store (a backup being
// restored): a database, a schema of our own, every page and index whole
// and every table and column there. The
// file is opened read-only. False with *error naming what is wrong; the
// messages name the file shownAs when given (the file the content came from).
bool checkFile(const QString &path, QString *error, const QString &shownAs = QString());

// Whether a log beside the file path is not its own: the file's header says
// it keeps none.
bool hasForeignLog(const QString &path);

} // namespace StoreCheck
