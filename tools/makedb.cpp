// zento-makedb: makes a new store file.
//   zento-makedb [--data DIR] [--demo] [--heavy] FILE
// With --data (the folder holding food-table/ and standards/) the official
// reference data is imported; without it, or with --demo, the small
// demonstration set is used. --heavy then adds the benchmark load.
#include "tools/storebuilder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString dataDir;
    bool demo = false, heavy = false, force = false;
    QString target;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--data") && i + 1 < args.size())
            dataDir = args[++i];
        else if (args[i] == QLatin1String("--demo"))
            demo = true;
        else if (args[i] == QLatin1String("--heavy"))
            heavy = true;
        else if (args[i] == QLatin1String("--force"))
            force = true;
        else
            target = args[i];
    }
    if (target.isEmpty()) {
        std::fprintf(stderr, "usage: zento-makedb [--data DIR] [--demo] [--heavy] [--force] FILE\n");
        return 2;
    }
    if (QFileInfo::exists(target) && !force) {
        std::fprintf(stderr, "%s already exists; it is left as it is.\n", qPrintable(target));
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
