#include "core/store/storecheck.h"

#include "core/app/filecause.h"
#include "core/nutrition/components.h"
#include "core/store/schema.h"
#include "core/store/schemacheck.h"
#include "core/store/statement.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace StoreCheck {

bool isUnused(const QString &column)
{
    return column.startsWith(QStringLiteral("予備")) || column == QLatin1String("ENJ");
}

FileReport inspectFile(const QString &path)
{
    const QFileInfo info(path);
    const QString shown = QDir::toNativeSeparators(info.absoluteFilePath());
    if (!info.exists())
        return {FileState::Missing,
                QStringLiteral("データベースファイル「%1」が見つかりません（%2）。")
                    .arg(info.fileName(), shown)};
    if (info.isDir())
        return {FileState::Folder,
                QStringLiteral("「%1」はフォルダーで、データベースファイルではありません。")
                    .arg(shown)};
    // A pipe would hold the program waiting for a writer, and a device has
    // no size: neither is opened.
    const QString notAFile = notAFileReason(path);
    if (!notAFile.isEmpty())
        return {FileState::NotDatabase,
                QStringLiteral("%1データベースファイルとしては開きません。").arg(notAFile)};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {FileState::Unreadable, QStringLiteral("データベースファイル「%1」を読めません: %2")
                                           .arg(shown, file.errorString())};
    if (file.size() == 0)
        return {
            FileState::Empty,
            QStringLiteral("データベースファイル「%1」は空（0 バイト）です。"
                           "壊れたファイルとみなし、開きません。ファイルには手を加えていません。")
                .arg(shown)};
    const QByteArray header = file.read(100);
    static const QByteArray magic("SQLite format 3\0", 16);
    if (header.size() < 100 || !header.startsWith(magic))
        return {FileState::NotDatabase,
                QStringLiteral("「%1」はデータベースファイルではありません。"
                               "開かずに、ファイルには手を加えていません。")
                    .arg(shown)};
    return {};
}

// The file's header (its bytes 18 and 19 are 2 in a file kept with a log)
// says whether it keeps one.
bool hasForeignLog(const QString &path)
{
    const QFileInfo logInfo(path + QStringLiteral("-wal"));
    if (!logInfo.isFile() || logInfo.size() == 0)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(20);
    return header.size() == 20 && (header.at(18) != 2 || header.at(19) != 2);
}

QString setAsideForeignLog(const QString &path, bool *stuck)
{
    *stuck = false;
    if (!hasForeignLog(path))
        return QString();
    const QString log = path + QStringLiteral("-wal");
    const QFileInfo logInfo(log);
    const QString aside = log + QStringLiteral(".not-this-store-") +
                          QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString name = QFileInfo(path).fileName();
    if (std::rename(QFile::encodeName(log).constData(), QFile::encodeName(aside).constData()) !=
        0) {
        *stuck = true;
        return QStringLiteral("データベース「%1」のそばに、このデータベースのものではないログ"
                              "「%2」があります。移せなかった（%3）ので、ログを使わずに"
                              "読み取り専用で開きました。")
            .arg(name, logInfo.fileName(), FileCause::of(errno));
    }
    return QStringLiteral("データベース「%1」のそばに、このデータベースのものではないログ"
                          "「%2」がありました。データベースには取り込まず、「%3」に移しました。")
        .arg(name, logInfo.fileName(), QFileInfo(aside).fileName());
}

bool sameFile(const QString &a, const QString &b)
{
    struct stat first, second;
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

QString notAFileReason(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || S_ISREG(info.st_mode))
        return QString();
    const QString shown = QDir::toNativeSeparators(path);
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("「%1」はフォルダーです。").arg(shown);
    if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode))
        return QStringLiteral("「%1」はパイプ（FIFO）かソケットで、ファイルではありません。")
            .arg(shown);
    return QStringLiteral("「%1」は装置（デバイス）で、ファイルではありません。").arg(shown);
}

bool isWritable(const QString &path)
{
    const QFileInfo info(path);
    const QByteArray file = QFile::encodeName(info.absoluteFilePath());
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    return ::access(file.constData(), W_OK) == 0 && ::access(folder.constData(), W_OK) == 0;
}

namespace {

QStringList componentColumns()
{
    QStringList columns{QStringLiteral("SID")};
    for (const Components::Component &c : Components::all)
        if (!c.inFoodRow())
            columns << QString(c.code);
    return columns << QStringLiteral("MRK");
}

} // namespace

const std::vector<TableColumns> &usedParts()
{
    static const std::vector<TableColumns> parts = {
        {QStringLiteral("bun"), {QStringLiteral("分類№"), QStringLiteral("分類名")}},
        {QStringLiteral("eys"),
         {QStringLiteral("SID"), QStringLiteral("SNM"), QStringLiteral("SKN"),
          QStringLiteral("BID"), QStringLiteral("ENC"), QStringLiteral("SUI"),
          QStringLiteral("TAN"), QStringLiteral("SST"), QStringLiteral("TST"),
          QStringLiteral("TSS"), QStringLiteral("KBN"), QStringLiteral("CA"),
          QStringLiteral("P"),   QStringLiteral("FE"),  QStringLiteral("NA"),
          QStringLiteral("K"),   QStringLiteral("VAR"), QStringLiteral("VAC"),
          QStringLiteral("VAK"), QStringLiteral("VE"),  QStringLiteral("VB1"),
          QStringLiteral("VB2"), QStringLiteral("NAI"), QStringLiteral("VC"),
          QStringLiteral("FIB"), QStringLiteral("COL"), QStringLiteral("NAT"),
          QStringLiteral("FNM")}},
        {QStringLiteral("etn"),
         {QStringLiteral("SID"), QStringLiteral("TNM"), QStringLiteral("KAK"),
          QStringLiteral("USR")}},
        {QStringLiteral("sbn"), componentColumns()},
        {QStringLiteral("mnu"),
         {QStringLiteral("ID"), QStringLiteral("アイテム名"), QStringLiteral("人分"),
          QStringLiteral("出来上がり重量")}},
        {QStringLiteral("kou"),
         {QStringLiteral("ID"), QStringLiteral("アイテムCD"), QStringLiteral("食品コード"),
          QStringLiteral("数量"), QStringLiteral("単位"), QStringLiteral("数量2")}},
        {QStringLiteral("tni"), {QStringLiteral("TNM"), QStringLiteral("KAK")}},
        {QStringLiteral("kij"),
         {QStringLiteral("AGE"), QStringLiteral("SEX"), QStringLiteral("TAL"),
          QStringLiteral("WEI"), QStringLiteral("CAL"), QStringLiteral("TAN"), QStringLiteral("CA"),
          QStringLiteral("FE"), QStringLiteral("VA"), QStringLiteral("VB1"), QStringLiteral("VB2"),
          QStringLiteral("NAI"), QStringLiteral("VC")}},
        {QStringLiteral("kjz"),
         {QStringLiteral("AGF"), QStringLiteral("AGT"), QStringLiteral("SEX"),
          QStringLiteral("STG"), QStringLiteral("NUT"), QStringLiteral("IND"),
          QStringLiteral("VAL"), QStringLiteral("EDN")}},
        {QStringLiteral("kjg"),
         {QStringLiteral("GRP"), QStringLiteral("GNM"), QStringLiteral("AGF"),
          QStringLiteral("AGT"), QStringLiteral("NUT"), QStringLiteral("VAL")}},
        {QStringLiteral("eys_skn"), {QStringLiteral("SKN")}},
        {QStringLiteral("eys_skn_data"), {QStringLiteral("id"), QStringLiteral("block")}},
        {QStringLiteral("eys_skn_idx"),
         {QStringLiteral("segid"), QStringLiteral("term"), QStringLiteral("pgno")}},
        {QStringLiteral("eys_skn_docsize"), {QStringLiteral("id"), QStringLiteral("sz")}},
        {QStringLiteral("eys_skn_config"), {QStringLiteral("k"), QStringLiteral("v")}},
        {QStringLiteral("hyj"),
         {QStringLiteral("ID"), QStringLiteral("KND"), QStringLiteral("GRM")}},
        {QStringLiteral("kon"),
         {QStringLiteral("ID"), QStringLiteral("DAT"), QStringLiteral("KNM"), QStringLiteral("AGE"),
          QStringLiteral("SEX"), QStringLiteral("PAL"), QStringLiteral("STG")}},
        {QStringLiteral("kom"),
         {QStringLiteral("ID"), QStringLiteral("KID"), QStringLiteral("MEAL"),
          QStringLiteral("DISH"), QStringLiteral("POR"), QStringLiteral("ORD")}},
        {QStringLiteral("mns"), {QStringLiteral("ID"), QStringLiteral("FIG")}},
    };
    return parts;
}

namespace {

// The columns of a table as its own pragma reads them, which opens the table:
// a virtual table (the reading index) knows its columns only once opened.
QStringList openedColumns(sqlite3 *db, const QString &table)
{
    QStringList columns;
    Statement pragma;
    if (pragma.prepare(db, QStringLiteral("SELECT name FROM pragma_table_info(?)"))) {
        pragma.bind(1, table);
        while (pragma.next())
            columns << pragma.value(0).toString();
    }
    return columns;
}

} // namespace

QStringList missingParts(sqlite3 *db)
{
    // Each column is looked up in the schema SQLite has read already: no
    // statement is compiled and no table is opened, unless a column is not
    // found that way.
    const auto has = [db](const QByteArray &table, const char *column) {
        return sqlite3_table_column_metadata(db, "main", table.constData(), column, nullptr,
                                             nullptr, nullptr, nullptr, nullptr) == SQLITE_OK;
    };
    QStringList missing;
    for (const TableColumns &table : usedParts()) {
        const QByteArray name = table.table.toUtf8();
        if (!has(name, nullptr)) {
            missing << QStringLiteral("表「%1」").arg(table.table);
            continue;
        }
        std::optional<QStringList> opened;
        for (const QString &column : table.columns) {
            if (has(name, column.toUtf8().constData()))
                continue;
            if (!opened)
                opened = openedColumns(db, table.table);
            if (!opened->contains(column, Qt::CaseInsensitive))
                missing << QStringLiteral("表「%1」の項目「%2」").arg(table.table, column);
        }
    }
    return missing;
}

QString missingMessage(const QString &fileName, const QStringList &missing)
{
    return QStringLiteral("データベース「%1」に%2がありません。\n"
                          "データベースが壊れているため、編集の機能を止めて起動します。"
                          "「ﾌｧｲﾙ」の「復元」でバックアップから戻せます。")
        .arg(fileName, missing.join(QStringLiteral("、")));
}

QString readOnlyMessage(const QString &fileName)
{
    return QStringLiteral("データベース「%1」またはそのフォルダーに書き込めないため、"
                          "読み取り専用で開きました。編集の機能は使えません。")
        .arg(fileName);
}

QString damageOf(sqlite3 *db, const QString &fileName, const std::atomic_bool *stop)
{
    // integrity_check reads every page and compares every index with its
    // table, which quick_check does not.
    Statement check;
    if (!check.prepare(db, QStringLiteral("PRAGMA integrity_check(20)")))
        return QStringLiteral("「%1」を読めません: %2").arg(fileName, check.error());
    if (stop)
        sqlite3_progress_handler(
            db, 1000,
            [](void *flag) { return static_cast<const std::atomic_bool *>(flag)->load() ? 1 : 0; },
            const_cast<std::atomic_bool *>(stop));
    QStringList faults;
    while (check.next())
        faults << check.value(0).toString();
    const bool failed = check.failed();
    const QString why = check.error();
    check.finalize();
    if (stop)
        sqlite3_progress_handler(db, 0, nullptr, nullptr);
    if (stop && stop->load())
        return QString();
    if (failed)
        return QStringLiteral("「%1」は壊れています: %2").arg(fileName, why);
    if (faults == QStringList{QStringLiteral("ok")})
        return QString();
    return QStringLiteral("「%1」は壊れています: %2")
        .arg(fileName, faults.mid(0, 3).join(QStringLiteral(" / ")));
}

QString foreignOrDamage(sqlite3 *db, const QString &shown)
{
    // The schema first: nothing of a file that brings code of its own is run.
    const QStringList foreign = SchemaCheck::foreignParts(db);
    if (!foreign.isEmpty())
        return QStringLiteral("「%1」には、このプログラムが作らない%2があります。")
            .arg(shown, foreign.join(QStringLiteral("、")));
    return damageOf(db, shown);
}

QString problemOf(sqlite3 *db, const QString &shown)
{
    QString problem = foreignOrDamage(db, shown);
    if (problem.isEmpty()) {
        // A copy made before the menus (or their kept figures) existed is
        // whole: the restore adds their empty tables.
        QStringList missing = missingParts(db);
        missing.removeIf([](const QString &part) {
            return part == QStringLiteral("表「kon」") || part == QStringLiteral("表「kom」") ||
                   part == QStringLiteral("表「mns」");
        });
        if (!missing.isEmpty())
            problem = QStringLiteral("「%1」に%2がありません。")
                          .arg(shown, missing.join(QStringLiteral("、")));
    }
    return problem;
}

bool checkFile(const QString &path, QString *error, const QString &shownAs)
{
    auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    const FileReport report = inspectFile(path);
    if (report.state != FileState::Ok)
        return fail(report.message);
    // Opening would fold in a log that is not the file's own.
    if (hasForeignLog(path))
        return fail(
            QStringLiteral("「%1」のそばに、このファイルのものではないログ「%2」があります。"
                           "ログを除いてから選んでください。")
                .arg(QFileInfo(path).fileName(),
                     QFileInfo(path).fileName() + QStringLiteral("-wal")));
    sqlite3 *db = nullptr;
    const QByteArray name = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    if (sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        const QString message = QString::fromUtf8(db ? sqlite3_errmsg(db) : "?");
        sqlite3_close_v2(db);
        return fail(QStringLiteral("「%1」を開けません: %2").arg(path, message));
    }
    const QString problem = problemOf(db, shownAs.isEmpty() ? QFileInfo(path).fileName() : shownAs);
    const bool ok = problem.isEmpty();
    sqlite3_close_v2(db);
    return ok ? true : fail(problem);
}

} // namespace StoreCheck
