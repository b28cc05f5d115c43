#include "core/store/database.h"

#include "core/app/filecause.h"
#include "core/store/datasource.h"
#include "core/store/numbertext.h"
#include "core/store/schemacheck.h"
#include "core/store/statement.h"
#include "core/store/storecheck.h"
#include "core/store/undojournal.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// int(x): the largest integer not above x, as a floating value, so that
// int(x)/100 divides as real numbers. x is taken at 15 significant digits, as
// the program rounds everywhere, so the dish list and the main window show
// the same salt.
void sqlInt(sqlite3_context *context, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    sqlite3_result_double(context, NumberText::floor15(sqlite3_value_double(argv[0])));
}

QHash<QString, std::weak_ptr<Database>> &openStores()
{
    static QHash<QString, std::weak_ptr<Database>> stores;
    return stores;
}

QString messageFor(sqlite3 *db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

} // namespace

namespace {
quint64 lastSerial = 0;
} // namespace

Database::Database(sqlite3 *db, const QString &fileName, bool wal)
    : m_db(db)
    , m_fileName(fileName)
    , m_wal(wal)
    , m_serial(++lastSerial)
{
    sqlite3_update_hook(m_db, &Database::noteRowWrite, this);
}

void Database::noteRowWrite(void *store, int, const char *database, const char *table, long long)
{
    if (std::strcmp(database, "main") != 0)
        return;
    auto &writes = static_cast<Database *>(store)->m_rowWrites;
    for (auto &[name, count] : writes) {
        if (name == table) {
            ++count;
            return;
        }
    }
    writes.emplace_back(table, 1);
}

Database::TableMark Database::markOf(const char *table) const
{
    TableMark mark;
    mark.store = m_serial;
    for (const auto &[name, count] : m_rowWrites)
        if (name == table)
            mark.rowWrites = count;
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, "PRAGMA data_version", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        mark.fileVersion = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return mark;
}

void Database::replaced()
{
    m_serial = ++lastSerial;
}

Database::~Database()
{
    m_checkpoint.reset();
    m_undo.reset();
    for (sqlite3 *reader : m_idleReaders)
        sqlite3_close_v2(reader);
    // The file leaves as it came: a store that was kept with a write-ahead
    // log gets it back, once every change is in the file.
    if (!m_readOnly && !m_startMode.isEmpty() &&
        m_startMode.compare(journalMode(), Qt::CaseInsensitive) != 0) {
        const QByteArray sql = "PRAGMA journal_mode=" + m_startMode.toLatin1();
        sqlite3_exec(m_db, sql.constData(), nullptr, nullptr, nullptr);
    }
    sqlite3_close_v2(m_db);
}

QString Database::journalMode() const
{
    return scalarOf(m_db, QStringLiteral("PRAGMA journal_mode")).toString().toLower();
}

QString Database::editsRefused() const
{
    if (m_readOnly)
        return StoreCheck::readOnlyMessage(QFileInfo(m_fileName).fileName());
    return m_refusal;
}

void Database::setUndoJournal(std::unique_ptr<UndoJournal> journal)
{
    m_undo = std::move(journal);
}

void Database::drainCursors(bool everyConnection)
{
    // Copy: draining lets each cursor unregister itself.
    const auto cursors = m_cursors;
    for (const auto &[cursor, connection] : cursors)
        if (everyConnection || connection == m_db)
            cursor->fetchAll();
}

bool Database::foldLog()
{
    if (!m_wal || m_readOnly)
        return !m_wal;
    if (m_logHeld) {
        m_foldDue = true;
        return false;
    }
    // A reader in the middle of its rows keeps the state it started from;
    // the log could not be emptied past it.
    drainCursors(true);
    int logged = 0, moved = 0;
    const int rc =
        sqlite3_wal_checkpoint_v2(m_db, nullptr, SQLITE_CHECKPOINT_TRUNCATE, &logged, &moved);
    return rc == SQLITE_OK && logged == moved;
}

void Database::holdLog(bool held)
{
    m_logHeld = held;
    if (!held && std::exchange(m_foldDue, false))
        scheduleCheckpoint();
}

namespace {

// Every connection of the process, the tools' and the checks' too, keeps a
// file's schema from running code: no writing of the schema or of a virtual
// table's own tables by SQL, and nothing a trigger or view of the file calls
// but harmless functions.
int guard(sqlite3 *db, const char **, const struct sqlite3_api_routines *)
{
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    return SQLITE_OK;
}

[[maybe_unused]] const bool connectionsGuarded = Database::guardConnections();

} // namespace

bool Database::guardConnections()
{
    static const bool registered =
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(&guard)) == SQLITE_OK;
    return registered;
}

// How a connection that writes the store writes: FULL makes every commit
// durable before it returns; the log is folded back and cut down often.
static void setWriting(sqlite3 *db)
{
    sqlite3_exec(db,
                 "PRAGMA synchronous=FULL; PRAGMA wal_autocheckpoint=256;"
                 "PRAGMA journal_size_limit=1048576;",
                 nullptr, nullptr, nullptr);
}

static void prepareConnection(sqlite3 *db)
{
    guard(db, nullptr, nullptr);
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, 2000);
    sqlite3_create_function(db, "int", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, sqlInt,
                            nullptr, nullptr);
}

sqlite3 *Database::acquireReader()
{
    if (!m_wal)
        return m_db;
    if (!m_idleReaders.empty()) {
        sqlite3 *reader = m_idleReaders.back();
        m_idleReaders.pop_back();
        return reader;
    }
    sqlite3 *reader = nullptr;
    const char *path = sqlite3_db_filename(m_db, "main");
    if (!path || !*path ||
        sqlite3_open_v2(path, &reader, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) !=
            SQLITE_OK) {
        sqlite3_close_v2(reader);
        return m_db; // share the writing connection instead
    }
    prepareConnection(reader);
    // A query on a large store reads the same index pages keystroke after
    // keystroke; more of them stay at hand than the 2 MiB SQLite keeps by
    // default. A small store never fills it.
    sqlite3_exec(reader, "PRAGMA cache_size=-16384", nullptr, nullptr, nullptr);
    return reader;
}

void Database::releaseReader(sqlite3 *reader)
{
    if (!reader || reader == m_db)
        return;
    // A few idle connections are kept; each query would otherwise open one.
    if (m_idleReaders.size() < 4)
        m_idleReaders.push_back(reader);
    else
        sqlite3_close_v2(reader);
}

namespace {
int fileOpens = 0;

// The value of one part of a connection text ("Mode=Read"), empty when absent.
QString connectionPart(const QString &connectionString, const char *key)
{
    const QStringList parts = connectionString.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const int eq = part.indexOf(QLatin1Char('='));
        if (eq > 0 && part.left(eq).trimmed().compare(QLatin1String(key), Qt::CaseInsensitive) == 0)
            return part.mid(eq + 1).trimmed();
    }
    return QString();
}

// A private copy of the store and its log, in a folder of its own; nothing
// when the store has no log or the copy cannot be made.
std::unique_ptr<QTemporaryDir> copyWithLog(const QString &store)
{
    const QString log = store + QStringLiteral("-wal");
    if (QFileInfo(log).size() == 0)
        return nullptr;
    auto folder = std::make_unique<QTemporaryDir>();
    const QString name = QFileInfo(store).fileName();
    if (!folder->isValid() || !QFile::copy(store, folder->filePath(name)) ||
        !QFile::copy(log, folder->filePath(name + QStringLiteral("-wal"))))
        return nullptr;
    // Copies keep the originals' read-only permissions.
    for (const QString &file : {name, name + QStringLiteral("-wal")})
        QFile::setPermissions(folder->filePath(file),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return folder;
}

} // namespace

int Database::fileOpenCount()
{
    return fileOpens;
}

QString Database::dataSourceOf(const QString &connectionString)
{
    return connectionPart(connectionString, "Data Source");
}

std::shared_ptr<Database> Database::open(const QString &connectionString, QString *error)
{
    const QString name = dataSourceOf(connectionString);
    if (name.isEmpty()) {
        if (error)
            *error = QStringLiteral("接続文字列にデータベースファイルの指定がありません。");
        return nullptr;
    }
    const QFileInfo info(name);
    const QString key = info.absoluteFilePath();
    auto &stores = openStores();
    if (auto existing = stores.value(key).lock()) {
        if (info.exists())
            return existing;
        stores.remove(key); // the file went away under us
    }
    const StoreCheck::FileReport report = StoreCheck::inspectFile(name);
    if (report.state != StoreCheck::FileState::Ok) {
        if (error)
            *error = report.message;
        return nullptr;
    }
    guardConnections();
    // A log that is not the store's own is never folded in.
    bool logStuck = false;
    const QString notice = StoreCheck::setAsideForeignLog(key, &logStuck);
    const bool readOnly = logStuck || !StoreCheck::isWritable(name) ||
                          connectionPart(connectionString, "Mode")
                                  .compare(QLatin1String("Read"), Qt::CaseInsensitive) == 0;
    ++fileOpens;
    sqlite3 *db = nullptr;
    const QByteArray path = QFile::encodeName(key);
    std::unique_ptr<QTemporaryDir> privateCopy;
    const int flags =
        (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(path.constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        if (error)
            *error = QStringLiteral("データベースファイル「%1」を開けません: %2")
                         .arg(name, db ? messageFor(db) : QString::fromUtf8(sqlite3_errstr(rc)));
        sqlite3_close_v2(db);
        return nullptr;
    }
    prepareConnection(db);
    // Reading the schema proves the file is a database.
    const QString startMode =
        scalarOf(db, QStringLiteral("PRAGMA journal_mode")).toString().toLower();
    char *message = nullptr;
    if (readOnly && (logStuck || sqlite3_exec(db, "SELECT count(*) FROM sqlite_master;", nullptr,
                                              nullptr, nullptr) != SQLITE_OK)) {
        // A store kept with a write-ahead log needs a shared-memory file
        // beside it even to be read; in a folder that cannot be written the
        // file is read as it stands, which is all of it once the log was
        // folded back when the program that wrote it ended. A log still
        // there holds acknowledged changes: the store and its log are read
        // from a private copy of both.
        sqlite3_close_v2(db);
        db = nullptr;
        if (!logStuck)
            privateCopy = copyWithLog(key);
        QByteArray uri;
        int uriFlags = SQLITE_OPEN_READONLY | SQLITE_OPEN_URI;
        if (privateCopy) {
            uri = QFile::encodeName(privateCopy->filePath(info.fileName()));
            uriFlags = SQLITE_OPEN_READWRITE;
        } else {
            uri = "file:" + QUrl::fromLocalFile(key).path(QUrl::FullyEncoded).toUtf8() +
                  "?immutable=1";
        }
        if (sqlite3_open_v2(uri.constData(), &db, uriFlags | SQLITE_OPEN_NOMUTEX, nullptr) !=
            SQLITE_OK) {
            if (error)
                *error = QStringLiteral("データベースファイル「%1」を開けません: %2")
                             .arg(name, QString::fromUtf8(db ? sqlite3_errmsg(db) : "?"));
            sqlite3_close_v2(db);
            return nullptr;
        }
        prepareConnection(db);
    }
    if (sqlite3_exec(db, "SELECT count(*) FROM sqlite_master;", nullptr, nullptr, &message) !=
        SQLITE_OK) {
        if (error)
            *error = QStringLiteral("データベースファイル「%1」を読めません: %2")
                         .arg(name, QString::fromUtf8(message ? message : "?"));
        sqlite3_free(message);
        sqlite3_close_v2(db);
        return nullptr;
    }
    // Nothing is written before the schema is known to be our own.
    const QStringList foreign = SchemaCheck::foreignParts(db);
    if (!foreign.isEmpty()) {
        if (error)
            *error = SchemaCheck::foreignMessage(info.fileName(), foreign);
        sqlite3_close_v2(db);
        return nullptr;
    }
    // Proved our own just now: its schema is trusted without a second check.
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 1, nullptr);
    if (!readOnly) {
        setWriting(db);
        // A store that lacks parts keeps its own journal mode: nothing is
        // written to it before the program has brought it up to date or
        // refused its edits (useWriteAheadLog).
        if (StoreCheck::missingParts(db).isEmpty())
            sqlite3_exec(db, "PRAGMA journal_mode=WAL;", nullptr, nullptr, nullptr);
    }
    sqlite3_exec(db, "PRAGMA foreign_keys=OFF;", nullptr, nullptr, nullptr);
    // Another program holding the store open keeps its log; then reads go
    // through connections of their own.
    const bool wal = scalarOf(db, QStringLiteral("PRAGMA journal_mode")).toString().toLower() ==
                     QLatin1String("wal");
    std::shared_ptr<Database> store(new Database(db, name, wal));
    struct stat opened;
    if (::stat(path.constData(), &opened) == 0) {
        store->m_device = opened.st_dev;
        store->m_inode = opened.st_ino;
    }
    store->m_readOnly = readOnly;
    store->m_startMode = startMode;
    store->m_notice = notice;
    store->m_privateCopy = std::move(privateCopy);
    stores.insert(key, store);
    return store;
}

bool Database::useWriteAheadLog()
{
    if (m_readOnly || m_wal)
        return m_wal;
    // Only before any reader has a connection of its own.
    if (!m_cursors.empty() || !m_idleReaders.empty())
        return false;
    m_wal = scalarOf(m_db, QStringLiteral("PRAGMA journal_mode=WAL")).toString().toLower() ==
            QLatin1String("wal");
    return m_wal;
}

void Database::closeUnused()
{
    auto &stores = openStores();
    for (auto it = stores.begin(); it != stores.end();) {
        if (it->expired())
            it = stores.erase(it);
        else
            ++it;
    }
}

bool Database::isStillTheFile() const
{
    struct stat now;
    return ::stat(QFile::encodeName(QFileInfo(m_fileName).absoluteFilePath()).constData(), &now) ==
               0 &&
           now.st_dev == m_device && now.st_ino == m_inode;
}

bool Database::replaceFile(const QString &replacement, QString *error)
{
    auto fail = [&](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    const QString shown = QFileInfo(m_fileName).fileName();
    if (m_readOnly || m_privateCopy)
        return fail(StoreCheck::readOnlyMessage(shown));
    // No reader of the old file is left: each would hold its state.
    drainCursors(true);
    for (sqlite3 *reader : m_idleReaders)
        sqlite3_close_v2(reader);
    m_idleReaders.clear();
    if (m_checkpoint)
        m_checkpoint->stop();
    m_foldDue = false;
    // The log goes into the old file and away: a log beside the new file
    // would be folded into it. Another program reading the store keeps it.
    const bool hadLog = m_wal;
    if (hadLog &&
        scalarOf(m_db, QStringLiteral("PRAGMA journal_mode=DELETE")).toString().toLower() !=
            QLatin1String("delete"))
        return fail(QStringLiteral("データベース「%1」をほかのプログラムが読んでいるので、"
                                   "入れ替えられません。")
                        .arg(shown));
    auto keepLog = [&] {
        if (hadLog)
            sqlite3_exec(m_db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    };
    const QString target = QFileInfo(m_fileName).absoluteFilePath();
    const QByteArray path = QFile::encodeName(target);
    if (std::rename(QFile::encodeName(replacement).constData(), path.constData()) != 0) {
        const int cause = errno;
        keepLog();
        return fail(QStringLiteral("「%1」を「%2」に置き換えられません: %3")
                        .arg(QFileInfo(replacement).fileName(), shown, FileCause::of(cause)));
    }
    // The rename itself is on the disk before the program goes on.
    const int folder = ::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK ||
        sqlite3_exec(db, "SELECT count(*) FROM sqlite_master;", nullptr, nullptr, nullptr) !=
            SQLITE_OK) {
        const QString why = QString::fromUtf8(db ? sqlite3_errmsg(db) : "?");
        sqlite3_close_v2(db);
        // The file was replaced, yet this connection still reads the old
        // one: nothing more is written until the program starts again.
        m_refusal = QStringLiteral("データベース「%1」は入れ替えましたが、開けません（%2）。"
                                   "ゼントを起動し直してください。")
                        .arg(shown, why);
        return fail(m_refusal);
    }
    prepareConnection(db);
    SchemaCheck::trustIfOwn(db);
    setWriting(db);
    // As at opening: a whole store is kept with a log (no reader is left).
    if (StoreCheck::missingParts(db).isEmpty())
        sqlite3_exec(db, "PRAGMA journal_mode=WAL;", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA foreign_keys=OFF;", nullptr, nullptr, nullptr);
    if (m_undo)
        m_undo->connectionClosing();
    sqlite3_close_v2(m_db);
    m_db = db;
    sqlite3_update_hook(m_db, &Database::noteRowWrite, this);
    m_wal = journalMode() == QLatin1String("wal");
    struct stat now;
    if (::stat(path.constData(), &now) == 0) {
        m_device = now.st_dev;
        m_inode = now.st_ino;
    }
    replaced();
    return true;
}

bool Database::write(const std::function<bool(QString *)> &fn, QString *error)
{
    // A store renamed over or removed while it is open: a change would go
    // into a file the user no longer has. Edits stay off from then on.
    if (m_refusal.isEmpty() && !isStillTheFile())
        m_refusal =
            QStringLiteral("データベース「%1」は、開いたあとで別のファイルに置き換えられたか、"
                           "消されました。変更は書き込みません（今の変更も書き込んで"
                           "いません）。ゼントを起動し直してください。")
                .arg(QFileInfo(m_fileName).fileName());
    const QString refusal = editsRefused();
    if (!refusal.isEmpty()) {
        if (error)
            *error = refusal;
        return false;
    }
    if (m_beforeFirstWrite)
        std::exchange(m_beforeFirstWrite, nullptr)();
    drainCursors();
    // A journal set but not yet installed makes its triggers now, before the
    // first change; one the store refuses is dropped and changes go on
    // without undo, as when it could not be made at all.
    if (m_undo && !m_undo->isInstalled()) {
        QString ignored;
        if (!m_undo->install(&ignored))
            m_undo.reset();
    }

    if (sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        if (error)
            *error = QStringLiteral("データベースに書き込めません: %1").arg(messageFor(m_db));
        return false;
    }
    QString failure;
    if (m_undo && !m_undo->writeStarting(&failure)) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        if (error)
            *error = failure;
        return false;
    }
    if (!fn(&failure)) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        if (error)
            *error = failure;
        return false;
    }
    if (sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        const QString message = messageFor(m_db);
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        if (error)
            *error = QStringLiteral("データベースに書き込めません: %1").arg(message);
        return false;
    }
    if (m_undo)
        m_undo->writeCommitted();
    scheduleCheckpoint();
    return true;
}

bool Database::writeDerived(const std::function<bool()> &fn)
{
    if (m_readOnly || !editsRefused().isEmpty() || !isStillTheFile())
        return false;
    drainCursors();
    // The connection's own setting is put back afterwards, whatever it was.
    const QByteArray synchronous =
        "PRAGMA synchronous=" +
        QByteArray::number(scalarOf(m_db, QStringLiteral("PRAGMA synchronous")).toInt());
    bool ok = sqlite3_exec(m_db, "PRAGMA synchronous=NORMAL; BEGIN IMMEDIATE", nullptr, nullptr,
                           nullptr) == SQLITE_OK;
    if (ok) {
        ok = fn() && sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
        if (!ok)
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    sqlite3_exec(m_db, synchronous.constData(), nullptr, nullptr, nullptr);
    if (ok)
        scheduleCheckpoint();
    return ok;
}

void Database::scheduleCheckpoint()
{
    // Once the user pauses, the log is folded back into the file, so that a
    // copy of zento.dll taken while the program runs holds every change.
    if (!m_wal || !QCoreApplication::instance())
        return;
    if (!m_checkpoint) {
        m_checkpoint = std::make_unique<QTimer>();
        m_checkpoint->setSingleShot(true);
        m_checkpoint->setInterval(checkpointDelayMs);
        QObject::connect(m_checkpoint.get(), &QTimer::timeout, [this] { foldLog(); });
    }
    m_checkpoint->start();
}

bool Database::run(const QString &sql, const QVariantList &params, QString *error, int *changes)
{
    Statement stmt;
    if (!stmt.prepare(m_db, sql)) {
        if (error)
            *error = stmt.error();
        return false;
    }
    for (int i = 0; i < params.size(); ++i)
        stmt.bind(i + 1, params[i]);
    const bool ok = stmt.exec();
    if (!ok && error)
        *error = stmt.error();
    if (changes)
        *changes = sqlite3_changes(m_db);
    return ok;
}

qint64 Database::lastInsertId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

QString Database::lastError() const
{
    return messageFor(m_db);
}

void Database::addCursor(DataSource *source, sqlite3 *connection)
{
    m_cursors.emplace_back(source, connection);
}

void Database::removeCursor(DataSource *source)
{
    std::erase_if(m_cursors, [source](const auto &cursor) { return cursor.first == source; });
}
