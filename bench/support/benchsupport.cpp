#include "bench/support/benchsupport.h"

#include "app/appsetup.h"
#include "app/fmain.h"
#include "app/program.h"
#include "core/store/database.h"
#include "core/store/datasource.h"
#include "core/store/schema.h"
#include "core/store/schemacheck.h"
#include "core/store/storecheck.h"
#include "tools/storebuilder.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sqlite3.h>

BenchStore benchStoreOf(long arg)
{
    return arg == 1 ? BenchStore::Heavy10 : BenchStore::Heavy;
}

const char *benchStoreName(BenchStore kind)
{
    switch (kind) {
    case BenchStore::TableSized:
        return "table";
    case BenchStore::Heavy:
        return "heavy";
    case BenchStore::Heavy10:
        return "heavy10";
    }
    return "";
}

namespace {

// A store kept from an earlier build is brought up to date in place, as the
// program would at its first start: otherwise every run would pay that
// work, and leave a long write-ahead log behind for the runs after it.
void bringUpToDate(const QString &path)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        return;
    }
    SchemaCheck::trustIfOwn(db);
    if (!StoreCheck::missingParts(db).isEmpty()) {
        std::fprintf(stderr, "bringing the cached store %s up to date ...\n", qPrintable(path));
        QString error;
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        const bool ok = Schema::bringUpToDate(db, &error);
        sqlite3_exec(db, ok ? "COMMIT" : "ROLLBACK", nullptr, nullptr, nullptr);
        if (!ok)
            std::fprintf(stderr, "cannot bring it up to date: %s\n", qPrintable(error));
    }
    sqlite3_close(db);
}

} // namespace

QString benchStorePath(BenchStore kind)
{
    return benchStorePath(kind, QStringLiteral(ZENTO_BENCH_CACHE));
}

QString benchStoreCache()
{
    return QStringLiteral(ZENTO_BENCH_CACHE);
}

QString benchStorePath(BenchStore kind, const QString &dir)
{
    if (!QDir().mkpath(dir))
        return QString();
    const QString path =
        dir + QLatin1Char('/') + QLatin1String(benchStoreName(kind)) + QStringLiteral(".dll");
    if (QFileInfo::exists(path)) {
        bringUpToDate(path);
        return path;
    }
    std::fprintf(stderr, "building the %s store (%s) ...\n", benchStoreName(kind),
                 qPrintable(path));
    QElapsedTimer took;
    took.start();
    QString error;
    const bool ok = StoreBuilder::build(
        path,
        [&](sqlite3 *db, QString *err) {
            if (!StoreBuilder::fillReference(db, QStringLiteral(ZENTO_REFERENCE_DATA), err))
                return false;
            switch (kind) {
            case BenchStore::Heavy:
                return StoreBuilder::fillHeavy(db, 25000, 10000, 200000, err);
            case BenchStore::Heavy10:
                return StoreBuilder::fillHeavy(db, 250000, 100000, 2000000, err);
            case BenchStore::TableSized:
                break;
            }
            return StoreBuilder::fillHeavy(db, 0, 5, 60, err);
        },
        &error);
    if (!ok) {
        std::fprintf(stderr, "cannot build the benchmark store: %s\n", qPrintable(error));
        std::exit(1);
    }
    std::fprintf(stderr, "built the %s store in %.1f s\n", benchStoreName(kind),
                 double(took.elapsed()) / 1000.0);
    return path;
}

void benchStoreArgs(benchmark::internal::Benchmark *bench)
{
    bench->ArgName("store")->Arg(0)->Arg(1);
}

StepTimes::StepTimes(benchmark::State &state)
    : m_state(state)
{
}

namespace {

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double quantile(std::vector<double> values, double q)
{
    const size_t at = std::min(values.size() - 1, size_t(q * double(values.size())));
    std::nth_element(values.begin(), values.begin() + long(at), values.end());
    return values[at];
}

} // namespace

StepTimes::~StepTimes()
{
    if (m_samples.empty())
        return;
    m_state.counters["p50_ms"] = quantile(m_samples, 0.5) * 1e3;
    m_state.counters["p90_ms"] = quantile(m_samples, 0.9) * 1e3;
    m_state.counters["cpu_p50_ms"] = quantile(m_cpuSamples, 0.5);
    m_state.counters["cpu_p90_ms"] = quantile(m_cpuSamples, 0.9);
}

void StepTimes::start()
{
    m_start = std::chrono::steady_clock::now();
    m_cpuStart = threadCpuMs();
}

void StepTimes::stop()
{
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - m_start;
    m_cpuSamples.push_back(threadCpuMs() - m_cpuStart);
    m_state.SetIterationTime(took.count());
    m_samples.push_back(took.count());
}

namespace {

double percentile(const std::vector<double> &values, double q)
{
    if (values.empty())
        return 0;
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    const double at = q * double(sorted.size() - 1);
    const size_t low = size_t(at);
    const size_t high = std::min(low + 1, sorted.size() - 1);
    return sorted[low] + (sorted[high] - sorted[low]) * (at - double(low));
}

} // namespace

void addPercentileStatistics(benchmark::internal::Benchmark *bench)
{
    bench->ComputeStatistics("p50", [](const std::vector<double> &v) { return percentile(v, 0.5); })
        ->ComputeStatistics("p90", [](const std::vector<double> &v) { return percentile(v, 0.9); });
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
    // A user's actions come after what the start-up does once the window is
    // up (the day's copy of the store among them).
    program->finishStartUp();
    // The check of the store and its day's copy run once, beside the window,
    // for seconds on the heavy stores; a benchmark pinned to one processor
    // would time them with every step.
    program->waitForStoreCheck();
}

BenchProgram::~BenchProgram()
{
    program.reset();
}

bool PaintWatch::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::Paint)
        painted = true;
    return false;
}

bool waitForPaint(PaintWatch &watch)
{
    for (int round = 0; round < 1000 && !watch.painted; ++round)
        QCoreApplication::processEvents();
    return watch.painted;
}

bool makeLargestDishCurrent(Fmain &fmain)
{
    DataSource largest;
    largest.setConnectionString(fmain.program().DbConnectionString);
    largest.setRecordSource(
        QStringLiteral("SELECT kou.アイテムCD FROM kou, mnu WHERE kou.アイテムCD = mnu.ID "
                       "GROUP BY kou.アイテムCD ORDER BY count(*) DESC"));
    if (!largest.refresh() || largest.eof())
        return false;
    return fmain.showDish(largest.value(0, 0).toLongLong());
}

LargestDishProgram::LargestDishProgram(benchmark::State &state)
    : folder(benchStoreOf(state.range(0)))
{
    ready = makeLargestDishCurrent(*run.program->fmain());
    if (!ready)
        state.SkipWithError("no dish with lines in the store");
}
