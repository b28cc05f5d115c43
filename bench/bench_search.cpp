// The food search and the dish list on the heavy store (25,000 foods, 10,000
// dishes, 200,000 lines): one keystroke in the reading box, one ranking by a
// nutrient and opening the dish list, each with the grid painted.
// The store is as the schema builds it, with its reading and ranking indexes
// and fixed planner statistics.
#include "app/program.h"
#include "bench/support/benchsupport.h"
#include "app/bindings.h"
#include "core/store/datasource.h"
#include "search/frmschf.h"
#include "search/frmschm.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <sqlite3.h>
#include <vector>

namespace {

void settle()
{
    QApplication::processEvents();
}

// Times single steps, wall clock and this thread's processor time, and
// reports their medians and 90th percentiles as counters: the targets are
// per step, and the machine is shared, so processor time is the steadier.
class StepTimes
{
public:
    void start()
    {
        m_wall = std::chrono::steady_clock::now();
        m_cpu = cpuNow();
    }
    void stop()
    {
        m_walls.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - m_wall)
                .count());
        m_cpus.push_back(cpuNow() - m_cpu);
    }
    void report(benchmark::State &state)
    {
        state.counters["wall_p50_ms"] = quantile(m_walls, 0.5);
        state.counters["wall_p90_ms"] = quantile(m_walls, 0.9);
        state.counters["cpu_p50_ms"] = quantile(m_cpus, 0.5);
        state.counters["cpu_p90_ms"] = quantile(m_cpus, 0.9);
    }

private:
    static double cpuNow()
    {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
    }
    static double quantile(std::vector<double> values, double q)
    {
        if (values.empty())
            return 0;
        const size_t at = std::min(values.size() - 1, size_t(q * double(values.size())));
        std::nth_element(values.begin(), values.begin() + long(at), values.end());
        return values[at];
    }

    std::chrono::steady_clock::time_point m_wall;
    double m_cpu = 0;
    std::vector<double> m_walls;
    std::vector<double> m_cpus;
};

void prepare(benchmark::State &)
{
}

FrmSchF *openFoodSearch(Program &program)
{
    program.showFoodSearch();
    FrmSchF *window = program.foodSearch();
    settle();
    return window;
}

// Typing readings one character at a time and taking them back again; every
// step is one keystroke and runs one query.
const QStringList typing{
    QStringLiteral("ﾀ"),        QStringLiteral("ﾀﾞ"),         QStringLiteral("ﾀﾞｲ"),
    QStringLiteral("ﾀﾞｲｺ"),     QStringLiteral("ﾀﾞｲｺﾝ"),      QStringLiteral("ﾀﾞｲｺ"),
    QStringLiteral("ﾀﾞｲ"),      QStringLiteral("ﾀﾞ"),         QStringLiteral("ﾀ"),
    QStringLiteral("ぎ"),       QStringLiteral("ぎゅ"),       QStringLiteral("ぎゅう"),
    QStringLiteral("ぎゅうに"), QStringLiteral("ぎゅうにゅ"), QStringLiteral("ぎゅうにゅう"),
    QStringLiteral("ﾅﾏ"),       QStringLiteral("1"),          QStringLiteral("12"),
    QStringLiteral("123"),      QStringLiteral("ｿﾊﾞ"),
};

void BM_ReadingKeystroke(benchmark::State &state)
{
    BenchFolder folder(BenchStore::Heavy);
    prepare(state);
    BenchProgram run;
    FrmSchF *window = openFoodSearch(*run.program);
    qsizetype next = 0;
    StepTimes steps;
    for (auto _ : state) {
        steps.start();
        window->Text1->setText(typing[next++ % typing.size()]);
        settle();
        steps.stop();
    }
    steps.report(state);
}
BENCHMARK(BM_ReadingKeystroke)
    ->Unit(benchmark::kMillisecond)
    ->Arg(0)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// The reading box emptied: every food, in descending order of reading.
void BM_ReadingCleared(benchmark::State &state)
{
    BenchFolder folder(BenchStore::Heavy);
    prepare(state);
    BenchProgram run;
    FrmSchF *window = openFoodSearch(*run.program);
    for (auto _ : state) {
        state.PauseTiming();
        window->Text1->setText(QStringLiteral("ｺ"));
        settle();
        state.ResumeTiming();
        window->Text1->clear();
        settle();
    }
}
BENCHMARK(BM_ReadingCleared)
    ->Unit(benchmark::kMillisecond)
    ->Arg(0)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// Choosing each of the 22 nutrients in turn.
void BM_RankByNutrient(benchmark::State &state)
{
    BenchFolder folder(BenchStore::Heavy);
    prepare(state);
    BenchProgram run;
    FrmSchF *window = openFoodSearch(*run.program);
    int next = 0;
    StepTimes steps;
    for (auto _ : state) {
        steps.start();
        const int index = next++ % window->Combo1->count();
        window->Combo1->setCurrentIndex(index);
        emit window->Combo1->activated(index);
        settle();
        steps.stop();
    }
    steps.report(state);
}
BENCHMARK(BM_RankByNutrient)
    ->Unit(benchmark::kMillisecond)
    ->Arg(0)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

void BM_OpenDishList(benchmark::State &state)
{
    BenchFolder folder(BenchStore::Heavy);
    prepare(state);
    BenchProgram run;
    StepTimes steps;
    for (auto _ : state) {
        steps.start();
        run.program->showDishList();
        settle();
        steps.stop();
        state.PauseTiming();
        QPointer<FrmSchM> window = run.program->dishList();
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    steps.report(state);
}
BENCHMARK(BM_OpenDishList)
    ->Unit(benchmark::kMillisecond)
    ->Arg(0)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// OK on a dish of the list: the main window's dishes are searched for its
// key and the dish is made current; the composition and totals that follow
// belong to the main window.
void BM_OpenChosenDish(benchmark::State &state)
{
    BenchFolder folder(BenchStore::Heavy);
    prepare(state);
    BenchProgram run;
    run.program->showDishList();
    FrmSchM *window = run.program->dishList();
    settle();
    int next = 0;
    for (auto _ : state) {
        state.PauseTiming();
        window->AdoMnu->moveTo(100 + (next++ * 37) % 400);
        state.ResumeTiming();
        window->OpenChosenDish();
    }
}
BENCHMARK(BM_OpenChosenDish)->Unit(benchmark::kMillisecond)->Arg(0);

} // namespace

ZENTO_BENCHMARK_MAIN()
