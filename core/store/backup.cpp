#include "core/store/backup.h"

#include "core/app/datafolder.h"
#include "core/app/filecause.h"
#include "core/app/threads.h"
#include "core/store/database.h"
#include "core/store/schema.h"
#include "core/store/storecheck.h"
#include "core/store/storelock.h"
#include "core/store/undojournal.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sqlite3.h>
#include <unistd.h>

namespace Backup {

namespace {

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

// Why a write into db failed with rc, in the user's words where the cause is
// known (a full disk ...), else in SQLite's: said, or rc's own text.
QString causeOf(sqlite3 *db, int rc, const char *said = nullptr)
{
    if (const int cause = sqlite3_system_errno(db))
        return FileCause::of(cause);
    if ((rc & 0xff) == SQLITE_FULL)
        return FileCause::of(ENOSPC);
    return QString::fromUtf8(said ? said : sqlite3_errstr(rc));
}

// Copies every page of from into to, in one pass.
bool transfer(sqlite3 *from, sqlite3 *to, QString *error)
{
    sqlite3_backup *backup = sqlite3_backup_init(to, "main", from, "main");
    if (!backup)
        return fail(error, QString::fromUtf8(sqlite3_errmsg(to)));
    int rc;
    int waits = 0;
    while ((rc = sqlite3_backup_step(backup, -1)) == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        if (++waits > 40)
            break;
        sqlite3_sleep(50);
    }
    const int finish = sqlite3_backup_finish(backup);
    // Pages that cannot be read are the damage of the file copied from.
    if ((rc & 0xff) == SQLITE_CORRUPT || (rc & 0xff) == SQLITE_NOTADB)
        return fail(error, QStringLiteral("写し元のデータベースが壊れています（%1）")
                               .arg(QString::fromUtf8(sqlite3_errstr(rc))));
    // A failed write is told by its cause (a full disk ...), in words.
    if (rc != SQLITE_DONE)
        return fail(error, causeOf(to, rc));
    if (finish != SQLITE_OK)
        return fail(error, causeOf(to, finish, sqlite3_errmsg(to)));
    return true;
}

sqlite3 *openFile(const QString &path, int flags, QString *error)
{
    sqlite3 *db = nullptr;
    const QByteArray name = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    if (sqlite3_open_v2(name.constData(), &db, flags, nullptr) != SQLITE_OK) {
        // A file that cannot be made is told by its cause (no such folder ...).
        const int cause = db && (flags & SQLITE_OPEN_CREATE) ? sqlite3_system_errno(db) : 0;
        fail(error, QStringLiteral("「%1」を開けません: %2")
                        .arg(QDir::toNativeSeparators(path),
                             cause ? FileCause::of(cause)
                                   : QString::fromUtf8(db ? sqlite3_errmsg(db) : "?")));
        sqlite3_close_v2(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, 2000);
    return db;
}

// A file to copy from, read-only. On a medium that cannot be written (a
// read-only disk, a disc), a file without a log beside it is read as it
// lies: SQLite could not make the shared-memory file a file kept with a log
// needs even to be read.
sqlite3 *openSource(const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (QFileInfo(info.absolutePath()).isWritable() ||
        QFileInfo::exists(info.absoluteFilePath() + QStringLiteral("-wal")))
        return openFile(path, SQLITE_OPEN_READONLY, error);
    const QByteArray uri = QUrl::fromLocalFile(info.absoluteFilePath()).toEncoded() +
                           QByteArrayLiteral("?immutable=1");
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(uri.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) !=
        SQLITE_OK) {
        fail(error, QStringLiteral("「%1」を開けません: %2")
                        .arg(QDir::toNativeSeparators(path),
                             QString::fromUtf8(db ? sqlite3_errmsg(db) : "?")));
        sqlite3_close_v2(db);
        return nullptr;
    }
    return db;
}

// The damage found in a copy just written; empty when it is whole.
QString checkedCopy(const QString &path, const std::atomic_bool *stop)
{
    QString why;
    sqlite3 *db = openFile(path, SQLITE_OPEN_READONLY, &why);
    if (!db)
        return why;
    const QString damage = StoreCheck::damageOf(db, QFileInfo(path).fileName(), stop);
    sqlite3_close_v2(db);
    return damage;
}

} // namespace

QString defaultName(const QDateTime &when)
{
    return QStringLiteral("zento-%1.dll").arg(when.toString(QStringLiteral("yyyyMMdd-HHmm")));
}

bool copy(sqlite3 *db, const QString &target, QString *error)
{
    const QFileInfo info(target);
    const QString notAFile = StoreCheck::notAFileReason(target);
    if (!notAFile.isEmpty())
        return fail(error, QStringLiteral("バックアップを作れません: %1").arg(notAFile));
    const char *storeFile = sqlite3_db_filename(db, "main");
    if (storeFile && *storeFile && StoreCheck::sameFile(QFile::decodeName(storeFile), target))
        return fail(error, QStringLiteral("バックアップ先「%1」は、写すデータベースそのものです。")
                               .arg(QDir::toNativeSeparators(target)));
    // The files that go with the store (its log, its lock) are its own: a
    // copy written over one would be lost with it, or lose its changes.
    if (storeFile && *storeFile) {
        const QString store = QFileInfo(QFile::decodeName(storeFile)).absoluteFilePath();
        for (const char *companion : {"-wal", "-shm", "-journal", ".lock"})
            if (info.absoluteFilePath() == store + QLatin1String(companion) ||
                StoreCheck::sameFile(store + QLatin1String(companion), target))
                return fail(error, QStringLiteral("バックアップ先「%1」は、データベースが使う"
                                                  "ファイルです。別の名前を選んでください。")
                                       .arg(QDir::toNativeSeparators(target)));
    }
    // The copy is made beside the target and takes its name only when whole.
    const QString part = info.absoluteFilePath() + QStringLiteral(".part");
    QFile::remove(part);
    QString why;
    sqlite3 *out = openFile(part, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, &why);
    if (!out)
        return fail(error, QStringLiteral("バックアップ「%1」を作れません: %2").arg(target, why));
    bool ok = transfer(db, out, &why);
    // A copy keeps a rollback journal whatever the store uses, so that the
    // one file is all of it.
    if (ok &&
        sqlite3_exec(out, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr) != SQLITE_OK)
        ok = fail(&why, causeOf(out, sqlite3_extended_errcode(out), sqlite3_errmsg(out)));
    if (sqlite3_close(out) != SQLITE_OK && ok)
        ok = fail(&why, QStringLiteral("ファイルを閉じられません"));
    if (ok) {
        QFile written(part);
        if (!written.open(QIODevice::ReadWrite) || ::fsync(written.handle()) != 0)
            ok = fail(&why, QStringLiteral("ディスクに書き切れません"));
    }
    if (ok && std::rename(QFile::encodeName(part).constData(),
                          QFile::encodeName(info.absoluteFilePath()).constData()) != 0)
        ok = fail(&why, QString::fromLocal8Bit(std::strerror(errno)));
    if (!ok) {
        QFile::remove(part);
        return fail(error, QStringLiteral("バックアップ「%1」を作れませんでした: %2")
                               .arg(QDir::toNativeSeparators(target), why));
    }
    return true;
}

bool copyFile(const QString &store, const QString &target, QString *error)
{
    const StoreCheck::FileReport report = StoreCheck::inspectFile(store);
    if (report.state != StoreCheck::FileState::Ok)
        return fail(error, report.message);
    sqlite3 *db = openFile(store, SQLITE_OPEN_READONLY, error);
    if (!db)
        return false;
    const bool ok = copy(db, target, error);
    sqlite3_close_v2(db);
    return ok;
}

namespace {

// The store installed with the program, whose official foods' components
// and intake tables an earlier version's store is given.
QString installedStore()
{
    if (!QCoreApplication::instance())
        return QString();
    return QDir(DataFolder::readyFolder(QCoreApplication::applicationDirPath()))
        .filePath(DataFolder::storeName());
}

// Where a restore writes the content it is given before that content takes
// the store's name: a hidden file beside the store, so that the rename
// stays within one folder; a killed restore leaves it to the leftovers
// removed at the next start (its name ends in .part).
QString replacementPath(const QString &storePath)
{
    const QFileInfo store(storePath);
    return store.absoluteDir().filePath(QStringLiteral(".%1.restoring.part").arg(store.fileName()));
}

// Writes source's content into the replacement file beside storePath and
// checks it as a store (a schema of our own, every page and index whole,
// every table and column; an earlier version's brought up to date) before
// anything else is done. Returns the
// replacement's path, or an empty string with *error naming what is wrong;
// nothing is left behind then. The store is never written: its log does not
// grow by the size of the copy.
QString writeReplacement(const QString &storePath, const QString &source, QString *error)
{
    const QString shown = QDir::toNativeSeparators(source);
    auto refuse = [&](const QString &why) {
        fail(error, QStringLiteral("「%1」からは復元できません。\n%2").arg(shown, why));
        return QString();
    };
    const StoreCheck::FileReport report = StoreCheck::inspectFile(source);
    if (report.state != StoreCheck::FileState::Ok)
        return refuse(report.message);
    if (StoreCheck::sameFile(source, storePath)) {
        fail(error, QStringLiteral("復元するファイルが、使っているデータベースそのものです。"));
        return QString();
    }
    // Opening would fold in a log that is not the file's own.
    if (StoreCheck::hasForeignLog(source))
        return refuse(QStringLiteral("そばに、このファイルのものではないログ「%1-wal」があります。"
                                     "ログを除いてから選んでください。")
                          .arg(QFileInfo(source).fileName()));
    const QString part = replacementPath(storePath);
    QFile::remove(part);
    QString why;
    sqlite3 *from = openSource(source, &why);
    if (!from)
        return refuse(why);
    sqlite3 *out = openFile(part, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, &why);
    bool ok = out && transfer(from, out, &why);
    sqlite3_close_v2(from);
    // The copy is checked as it came, before anything is run on it: a
    // foreign or damaged file is refused for what it is.
    const QString named = QFileInfo(source).fileName();
    if (ok) {
        const QString problem = StoreCheck::foreignOrDamage(out, named);
        if (!problem.isEmpty())
            ok = fail(&why, problem);
    }
    // A copy made by an earlier version is brought up to date as the program
    // does at its start (the menus' empty tables, the dish's servings ...),
    // in one transaction; one that then still lacks a part is refused.
    if (ok) {
        const QStringList missing = StoreCheck::missingParts(out);
        if (!missing.isEmpty()) {
            QString upgradeError;
            const bool upgraded =
                sqlite3_exec(out, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK &&
                Schema::bringUpToDate(out, &upgradeError, installedStore()) &&
                StoreCheck::missingParts(out).isEmpty() &&
                sqlite3_exec(out, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
            if (!upgraded) {
                const int rc = sqlite3_extended_errcode(out);
                sqlite3_exec(out, "ROLLBACK", nullptr, nullptr, nullptr);
                ok = fail(&why, (rc & 0xff) == SQLITE_FULL
                                    ? causeOf(out, rc)
                                    : QStringLiteral("「%1」に%2がありません。")
                                          .arg(named, missing.join(QStringLiteral("、"))));
            }
        }
    }
    // The file keeps a rollback journal, so that the one file is all of it.
    if (ok &&
        sqlite3_exec(out, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr) != SQLITE_OK)
        ok = fail(&why, causeOf(out, sqlite3_extended_errcode(out), sqlite3_errmsg(out)));
    if (out && sqlite3_close(out) != SQLITE_OK && ok)
        ok = fail(&why, QStringLiteral("ファイルを閉じられません"));
    if (ok) {
        QFile written(part);
        if (!written.open(QIODevice::ReadWrite) || ::fsync(written.handle()) != 0)
            ok = fail(&why, QStringLiteral("ディスクに書き切れません"));
    }
    if (!ok) {
        QFile::remove(part);
        return refuse(why);
    }
    return part;
}

bool keepAsBak(sqlite3 *live, const QString &storePath, const QString &part, QString *error)
{
    QString why;
    if (copy(live, storePath + QStringLiteral(".bak"), &why))
        return true;
    QFile::remove(part);
    return fail(
        error, QStringLiteral("今のデータベースを残せないので、復元しませんでした。\n%1").arg(why));
}

bool notRestored(QString *error, const QString &why)
{
    return fail(error,
                QStringLiteral("復元できませんでした: %1\nデータベースは前のままです。").arg(why));
}

} // namespace

bool restore(Database &store, const QString &source, QString *error)
{
    if (store.isReadOnly())
        return fail(error, store.editsRefused());
    if (!store.isStillTheFile())
        return fail(error, QStringLiteral("データベース「%1」は、開いたあとで別のファイルに"
                                          "置き換えられたか、消されました。ゼントを起動し直して"
                                          "ください。")
                               .arg(QFileInfo(store.fileName()).fileName()));
    const QString part = writeReplacement(store.fileName(), source, error);
    if (part.isEmpty())
        return false;
    // The store as it is now stays beside it.
    store.drainCursors(true);
    if (!keepAsBak(store.handle(), store.fileName(), part, error))
        return false;
    QString why;
    if (!store.replaceFile(part, &why)) {
        QFile::remove(part);
        return notRestored(error, why);
    }
    return true;
}

bool restoreFile(const QString &storePath, const QString &source, QString *error)
{
    const StoreCheck::FileReport report = StoreCheck::inspectFile(storePath);
    if (report.state != StoreCheck::FileState::Ok)
        return fail(error, report.message);
    if (!StoreCheck::isWritable(storePath))
        return fail(error, StoreCheck::readOnlyMessage(storePath));
    // A store a running program holds is not replaced under it.
    StoreLock lock(storePath);
    if (lock.acquire() == StoreLock::Outcome::Elsewhere)
        return fail(error, QStringLiteral("データベース「%1」は、ほかのゼント（プロセス番号 %2）"
                                          "が開いているので、復元しません。")
                               .arg(storePath)
                               .arg(lock.holder()));
    const QString part = writeReplacement(storePath, source, error);
    if (part.isEmpty())
        return false;
    sqlite3 *db = openFile(storePath, SQLITE_OPEN_READWRITE, error);
    if (!db) {
        QFile::remove(part);
        return false;
    }
    if (!keepAsBak(db, storePath, part, error)) {
        sqlite3_close_v2(db);
        return false;
    }
    // A log of the store goes into it and away before the file is replaced:
    // it would be folded into the new one.
    QString why;
    sqlite3_stmt *mode = nullptr;
    bool ok =
        sqlite3_prepare_v2(db, "PRAGMA journal_mode=DELETE", -1, &mode, nullptr) == SQLITE_OK &&
        sqlite3_step(mode) == SQLITE_ROW &&
        qstricmp(reinterpret_cast<const char *>(sqlite3_column_text(mode, 0)), "delete") == 0;
    sqlite3_finalize(mode);
    if (!ok)
        why = QStringLiteral("ほかのプログラムが「%1」を読んでいます").arg(storePath);
    sqlite3_close_v2(db);
    if (ok &&
        std::rename(QFile::encodeName(part).constData(),
                    QFile::encodeName(QFileInfo(storePath).absoluteFilePath()).constData()) != 0)
        ok = fail(&why, FileCause::of(errno));
    if (!ok) {
        QFile::remove(part);
        return notRestored(error, why);
    }
    return true;
}

QString daily(sqlite3 *db, const QString &storePath, const QDate &today, QString *error, int keep,
              const std::atomic_bool *stop)
{
    const QDir folder(QFileInfo(storePath).absoluteDir().filePath(QStringLiteral("backups")));
    const QString name =
        QStringLiteral("zento-%1.dll").arg(today.toString(QStringLiteral("yyyyMMdd")));
    if (folder.exists(name))
        return QString();
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        fail(error, QStringLiteral("フォルダー「%1」を作れません。")
                        .arg(QDir::toNativeSeparators(folder.path())));
        return QString();
    }
    const QString target = folder.filePath(name);
    if (!copy(db, target, error))
        return QString();
    // A copy that is not whole is no copy; one not yet checked when the
    // program ends is made again at the next start.
    QString damage = checkedCopy(target, stop);
    if (!damage.isEmpty() || (stop && stop->load())) {
        QFile::remove(target);
        if (!damage.isEmpty())
            fail(error, damage);
        return QString();
    }
    // Only the daily copies are counted and pruned; files the user puts here
    // under other names are left alone.
    static const QRegularExpression dailyName(QStringLiteral("^zento-\\d{8}\\.dll$"));
    QStringList copies;
    for (const QString &file :
         folder.entryList({QStringLiteral("zento-*.dll")}, QDir::Files, QDir::Name))
        if (dailyName.match(file).hasMatch())
            copies << file;
    while (copies.size() > keep)
        QFile::remove(folder.filePath(copies.takeFirst()));
    return target;
}

CheckReport checkThenCopy(sqlite3 *db, const QString &storePath, const QDate &today, bool copyDue,
                          const std::atomic_bool *stop)
{
    CheckReport report;
    report.damage = StoreCheck::damageOf(db, QFileInfo(storePath).fileName(), stop);
    if (stop && stop->load()) {
        report.stopped = true;
        return report;
    }
    if (!report.damage.isEmpty()) {
        report.goodCopy = newestGoodCopy(storePath, stop);
        report.stopped = stop && stop->load();
        return report;
    }
    if (copyDue)
        report.written = daily(db, storePath, today, &report.error, 7, stop);
    report.stopped = stop && stop->load();
    return report;
}

QString newestGoodCopy(const QString &storePath, const std::atomic_bool *stop)
{
    const QDir folder(QFileInfo(storePath).absoluteDir().filePath(QStringLiteral("backups")));
    const QFileInfoList copies = folder.entryInfoList(QDir::Files, QDir::Time);
    for (const QFileInfo &candidate : copies) {
        if (stop && stop->load())
            break;
        QString ignored;
        if (candidate.suffix() != QLatin1String("dll") ||
            StoreCheck::sameFile(candidate.filePath(), storePath))
            continue;
        if (StoreCheck::checkFile(candidate.filePath(), &ignored))
            return candidate.filePath();
    }
    return QString();
}

bool StartCheck::start(const QString &storePath, const QDate &today, bool copyDue, Done done,
                       QString *error)
{
    wait();
    sqlite3 *db = openFile(storePath, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, error);
    if (!db)
        return false;
    // A read transaction holds the state of the store as it is now until
    // the check and the copy end, whatever is written meanwhile.
    if (sqlite3_exec(db, "BEGIN; SELECT count(*) FROM sqlite_schema;", nullptr, nullptr, nullptr) !=
        SQLITE_OK) {
        fail(error, QString::fromUtf8(sqlite3_errmsg(db)));
        sqlite3_close_v2(db);
        return false;
    }
    m_stop = false;
    m_running = true;
    auto work = [this, db, storePath, today, copyDue, done = std::move(done)] {
        const CheckReport report = checkThenCopy(db, storePath, today, copyDue, &m_stop);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close_v2(db);
        m_running = false;
        done(report);
    };
    m_thread = besideOrHere(work);
    return true;
}

void StartCheck::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

void StartCheck::stop()
{
    m_stop = true;
    wait();
}

} // namespace Backup
