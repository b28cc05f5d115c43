#pragma once

#include "app/prompts.h"

#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <vector>

class Fmain;
class Program;

// Which store a benchmark works on.
enum class BenchStore {
    TableSized, // the reference data (or the demonstration set) and a few dishes
    Heavy,      // 25,000 foods, 10,000 dishes, 200,000 lines
    Heavy10,    // ten times that: 250,000 foods, 100,000 dishes, 2,000,000 lines
};

// The store a benchmark runs on, from its range: 0 the heavy store, 1 the
// ten times heavier one. Benchmarks registered with benchStoreArgs() run on
// both.
BenchStore benchStoreOf(long arg);
const char *benchStoreName(BenchStore kind);

// Path of a cached store of that kind, built on first use in the build tree.
QString benchStorePath(BenchStore kind);
// The same in another folder (made when missing); empty when the folder
// cannot be made.
QString benchStorePath(BenchStore kind, const QString &dir);
// The build tree's folder of cached stores.
QString benchStoreCache();

// A temporary working folder, made the working directory, with a fresh copy
// of the chosen store as zento.dll.
class BenchFolder
{
public:
    explicit BenchFolder(BenchStore kind);
    ~BenchFolder();
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// Answers every prompt with OK (or the input text set here) without showing it.
class SilentPrompts : public Prompts
{
public:
    QString inputText = QStringLiteral("ベンチマーク料理");
    Answer message(const QString &, Buttons, Icon, const QString &) override { return Answer::Ok; }
    std::optional<QString> input(const QString &, const QString &, const QString &) override
    {
        return inputText;
    }
};

// Creates the QApplication (offscreen unless a platform is set) and sets it up
// as main() does. Call first in main().
void initBenchApplication(int &argc, char **argv);

// A started program on the current folder's store.
struct BenchProgram
{
    SilentPrompts prompts;
    std::unique_ptr<Program> program;
    BenchProgram();
    ~BenchProgram();
};

// Registers the two heavy stores as the arguments of a benchmark, named
// "store:heavy" and "store:heavy10" in the report.
void benchStoreArgs(benchmark::internal::Benchmark *bench);

// Times single steps of a benchmark by hand, so that preparing a step stays
// out, and reports the median and the 90th percentile of the steps' wall
// time as the counters p50_ms and p90_ms, and of this thread's processor
// time as cpu_p50_ms and cpu_p90_ms (steadier on a shared machine); each
// iteration's time is the step's wall time (use with UseManualTime()).
class StepTimes
{
public:
    explicit StepTimes(benchmark::State &state);
    ~StepTimes();
    template <typename Step> void time(Step step)
    {
        start();
        step();
        stop();
    }
    void start();
    void stop();

private:
    benchmark::State &m_state;
    std::chrono::steady_clock::time_point m_start;
    double m_cpuStart = 0;
    std::vector<double> m_samples;    // seconds
    std::vector<double> m_cpuSamples; // milliseconds
};

// Statistics added to every repeated benchmark: the median and the 90th
// percentile over the repetitions.
void addPercentileStatistics(benchmark::internal::Benchmark *bench);

// A benchmark of single steps on both heavy stores, timed by StepTimes.
#define ZENTO_STEP_BENCHMARK(fn)                                                                   \
    BENCHMARK(fn)                                                                                  \
        ->Apply(benchStoreArgs)                                                                    \
        ->Apply(addPercentileStatistics)                                                           \
        ->UseManualTime()                                                                          \
        ->Unit(benchmark::kMillisecond)

#define ZENTO_BENCHMARK_MAIN()                                                                     \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        initBenchApplication(argc, argv);                                                          \
        benchmark::Initialize(&argc, argv);                                                        \
        benchmark::RunSpecifiedBenchmarks();                                                       \
        benchmark::Shutdown();                                                                     \
        return 0;                                                                                  \
    }

// Notes when the widget it watches paints.
class PaintWatch : public QObject
{
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override;
};

// Runs the event loop until the watched widget has painted.
bool waitForPaint(PaintWatch &watch);

// Makes the dish with the most lines current in the main window.
bool makeLargestDishCurrent(Fmain &fmain);

// A started program on a copy of the benchmark's store (its first
// argument), with the dish of the most lines current. When the store has no
// dish with lines, ready is false and the benchmark is told why.
struct LargestDishProgram
{
    explicit LargestDishProgram(benchmark::State &state);
    Program &program() { return *run.program; }

    BenchFolder folder;
    BenchProgram run;
    bool ready = false;
};
