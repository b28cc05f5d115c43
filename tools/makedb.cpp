// zento-makedb: makes a new store file, or refreshes the reference tables of
// an existing one.
//   zento-makedb [--data DIR] [--demo] [--heavy] FILE
//   zento-makedb --refresh [--data DIR | --from STORE] FILE
//   zento-makedb --backup COPY FILE
//   zento-makedb --restore COPY FILE
// With --data (the folder holding food-table/ and standards/) the official
// reference data is imported; without it, or with --demo, the small
// demonstration set is used. --heavy then adds the benchmark load. A new
// store is never made over an existing file: --refresh updates the official
// foods, categories, units and standards of an existing store and leaves the
// user's own foods, dishes and lines as they are. It takes them from the data
// folder, from another store (--from), or by default from the ready store
// installed with the program, so that a user's store can follow an upgrade.
// --backup writes a copy of the store FILE into COPY; --restore checks COPY,
// keeps FILE as FILE.bak and puts COPY's content in its place.
#include "core/app/datafolder.h"
#include "core/store/backup.h"
#include "tools/referencedata.h"
#include "tools/storebuilder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: zento-makedb [--data DIR] [--demo] [--heavy] FILE\n"
                         "       zento-makedb --refresh [--data DIR | --from STORE] FILE\n"
                         "       zento-makedb --backup COPY FILE\n"
                         "       zento-makedb --restore COPY FILE\n");
    return 2;
}

int refreshed(const QString &target, const ReferenceData::RefreshResult &result)
{
    std::printf("%s: 参照データを更新しました（食品 %d 件を更新、%d 件を追加、この版にない %d 件は"
                "そのまま）。\n",
                qPrintable(target), result.updated, result.added, result.kept);
    if (!result.differing.isEmpty()) {
        std::printf("食品成分表と値の違う食品 %d 件は、今の値のまま残しました"
                    "（食材編集の「公式値に戻す」で表の値になります）:\n",
                    int(result.differing.size()));
        for (const QString &food : result.differing)
            std::printf("  %s\n", qPrintable(food));
    }
    return 0;
}

int refreshFrom(const QString &readyStore, const QString &target)
{
    ReferenceData::RefreshResult result;
    QString error;
    if (!ReferenceData::refreshFrom(target, readyStore, &result, &error)) {
        std::fprintf(stderr, "zento-makedb: %s\nzento-makedb: %s は変更していません。\n",
                     qPrintable(error), qPrintable(target));
        return 1;
    }
    return refreshed(target, result);
}

int refresh(const QString &dataDir, const QString &target)
{
    if (!QFileInfo(target).isFile()) {
        std::fprintf(
            stderr, "zento-makedb: %s がありません。--refresh は既存のデータベースを更新します。\n",
            qPrintable(target));
        return 1;
    }
    const ReferenceData::Sources sources = ReferenceData::locate(dataDir);
    if (!sources.complete()) {
        std::fprintf(stderr, "%s", qPrintable(sources.howToGetMissing()));
        std::fprintf(stderr, "zento-makedb: %s は変更していません。\n", qPrintable(target));
        return 1;
    }
    ReferenceData::Data data;
    ReferenceData::RefreshResult result;
    QString error;
    if (!ReferenceData::load(sources, &data, &error) ||
        !ReferenceData::refresh(target, data, &result, &error)) {
        std::fprintf(stderr, "zento-makedb: %s\nzento-makedb: %s は変更していません。\n",
                     qPrintable(error), qPrintable(target));
        return 1;
    }
    return refreshed(target, result);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    QString dataDir, from;
    bool demo = false, heavy = false, refreshing = false;
    QString target, backupTo, restoreFrom;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--data") && i + 1 < args.size())
            dataDir = args[++i];
        else if (args[i] == QLatin1String("--from") && i + 1 < args.size())
            from = args[++i];
        else if (args[i] == QLatin1String("--demo"))
            demo = true;
        else if (args[i] == QLatin1String("--heavy"))
            heavy = true;
        else if (args[i] == QLatin1String("--refresh"))
            refreshing = true;
        else if (args[i] == QLatin1String("--backup") && i + 1 < args.size())
            backupTo = args[++i];
        else if (args[i] == QLatin1String("--restore") && i + 1 < args.size())
            restoreFrom = args[++i];
        else if (args[i].startsWith(QLatin1String("--")) || !target.isEmpty())
            return usage();
        else
            target = args[i];
    }
    if (target.isEmpty())
        return usage();
    if (!backupTo.isEmpty() || !restoreFrom.isEmpty()) {
        if (refreshing || demo || heavy || !dataDir.isEmpty() || !from.isEmpty() ||
            (!backupTo.isEmpty() && !restoreFrom.isEmpty()))
            return usage();
        QString error;
        const bool ok = backupTo.isEmpty() ? Backup::restoreFile(target, restoreFrom, &error)
                                           : Backup::copyFile(target, backupTo, &error);
        if (!ok) {
            std::fprintf(stderr, "zento-makedb: %s\n", qPrintable(error));
            return 1;
        }
        if (backupTo.isEmpty())
            std::printf("%s: %s から復元しました（元の内容は %s.bak）。\n", qPrintable(target),
                        qPrintable(restoreFrom), qPrintable(target));
        else
            std::printf("%s: %s にバックアップしました。\n", qPrintable(target),
                        qPrintable(backupTo));
        return 0;
    }
    if (refreshing) {
        if ((!dataDir.isEmpty() && !from.isEmpty()) || demo || heavy)
            return usage();
        if (!dataDir.isEmpty())
            return refresh(dataDir, target);
        if (from.isEmpty()) {
            from = QDir(DataFolder::readyFolder(QCoreApplication::applicationDirPath()))
                       .filePath(DataFolder::storeName());
            if (!QFileInfo::exists(from)) {
                std::fprintf(stderr,
                             "zento-makedb: プログラムといっしょに入る %s がありません。"
                             "--data DIR か --from STORE で新しい参照データを指定してください。\n",
                             qPrintable(from));
                return 1;
            }
        }
        return refreshFrom(from, target);
    }
    if (!from.isEmpty())
        return usage();
    if (QFileInfo::exists(target)) {
        std::fprintf(stderr,
                     "%s already exists; it is left as it is (use --refresh --data DIR to update "
                     "its reference data).\n",
                     qPrintable(target));
        return 1;
    }
    QString error;
    const bool ok = StoreBuilder::build(
        target,
        [&](sqlite3 *db, QString *err) {
            const bool filled = demo || dataDir.isEmpty()
                                    ? StoreBuilder::fillDemo(db, err)
                                    : StoreBuilder::fillReference(db, dataDir, err);
            if (!filled)
                return false;
            return !heavy || StoreBuilder::fillHeavy(db, 25000, 10000, 200000, err);
        },
        &error);
    if (!ok) {
        std::fprintf(stderr, "zento-makedb: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s: created\n", qPrintable(target));
    return 0;
}
