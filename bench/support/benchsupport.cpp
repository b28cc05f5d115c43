#include "bench/support/benchsupport.h"

#include "app/appsetup.h"
#include "app/program.h"
#include "core/store/database.h"
#include "tools/storebuilder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

QString benchStorePath(BenchStore kind)
{
    const QString dir = QStringLiteral(ZENTO_BENCH_CACHE);
    QDir().mkpath(dir);
    const QString path = dir
                         + (kind == BenchStore::Heavy ? QStringLiteral("/heavy.dll")
                                                      : QStringLiteral("/table.dll"));
    if (QFileInfo::exists(path))
        return path;
    QString error;
    const bool ok = StoreBuilder::build(
        path,
        [&](sqlite3 *db, QString *err) {
            if (!StoreBuilder::fillReference(db, QStringLiteral(ZENTO_SHARED_DATA), err))
                return false;
            return kind == BenchStore::Heavy
                       ? StoreBuilder::fillHeavy(db, 25000, 10000, 200000, err)
                       : StoreBuilder::fillHeavy(db, 0, 5, 60, err);
        },
        &error);
    if (!ok) {
        std::fprintf(stderr, "cannot build the benchmark store: %s\n", qPrintable(error));
        std::exit(1);
    }
    return path;
}

BenchFolder::BenchFolder(BenchStore kind)
    : m_previous(QDir::currentPath())
{
    QFile::copy(benchStorePath(kind), m_dir.filePath(QStringLiteral("zento.dll")));
    QDir::setCurrent(m_dir.path());
}

BenchFolder::~BenchFolder()
{
    QDir::setCurrent(m_previous);
    Database::closeUnused();
}

void initBenchApplication(int &argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    auto *app = new QApplication(argc, argv);
    setUpApplication(*app);
}

BenchProgram::BenchProgram()
    : program(std::make_unique<Program>(prompts))
{
    program->start();
}

BenchProgram::~BenchProgram()
{
    program.reset();
}
