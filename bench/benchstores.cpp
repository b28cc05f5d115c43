// zento-benchstores: builds the stores of the benchmarks that are not there
// yet (the table-sized one, the heavy one and the ten times heavier one) in
// a folder, by default the build tree's cache the benchmarks read, and
// prints where they are.
#include "bench/support/benchsupport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zento-benchstores"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Builds the benchmark stores that are missing (about 350 MB in all) and "
                       "prints where they are."));
    parser.addHelpOption();
    const QCommandLineOption only(
        QStringLiteral("store"),
        QStringLiteral("Builds only this store: table, heavy or heavy10 (may be given again)."),
        QStringLiteral("name"));
    parser.addOption(only);
    parser.addPositionalArgument(
        QStringLiteral("folder"),
        QStringLiteral("Where the stores go (default: %1).").arg(benchStoreCache()),
        QStringLiteral("[folder]"));
    parser.process(app); // --help, and unknown options refused, end here

    const QStringList folders = parser.positionalArguments();
    if (folders.size() > 1) {
        std::fprintf(stderr, "zento-benchstores: one folder at most, %lld given\n",
                     qint64(folders.size()));
        return 2;
    }
    const QString folder = folders.isEmpty() ? benchStoreCache() : folders.first();

    QList<BenchStore> kinds;
    const BenchStore all[] = {BenchStore::TableSized, BenchStore::Heavy, BenchStore::Heavy10};
    for (const QString &name : parser.values(only)) {
        bool known = false;
        for (BenchStore kind : all) {
            if (name == QLatin1String(benchStoreName(kind))) {
                kinds << kind;
                known = true;
            }
        }
        if (!known) {
            std::fprintf(stderr, "zento-benchstores: no store named %s\n", qPrintable(name));
            return 2;
        }
    }
    if (kinds.isEmpty())
        kinds = {std::begin(all), std::end(all)};

    for (BenchStore kind : kinds) {
        const QString path = benchStorePath(kind, folder);
        if (path.isEmpty()) {
            std::fprintf(stderr, "zento-benchstores: cannot make the folder %s\n",
                         qPrintable(folder));
            return 1;
        }
        std::printf("%s store: %s\n", benchStoreName(kind), qPrintable(path));
    }
    return 0;
}
