// The check of the store's pages and indexes that runs beside the main
// window once it is up: how long it takes on the heavy store and the ten
// times heavier one, and how long the window's actions take while it runs.
#include "app/fmain.h"
#include "app/program.h"
#include "bench/support/benchsupport.h"
#include "core/store/backup.h"
#include "core/store/database.h"
#include "core/store/datasource.h"
#include "tests/support/controls.h"

#include <QDate>
#include <QPushButton>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

// The whole check of the store, as the thread beside the window runs it
// (no day's copy).
void BM_StoreCheck(benchmark::State &state)
{
    BenchFolder folder(benchStoreOf(state.range(0)));
    auto store =
        Database::open(QStringLiteral("Provider=Zento.SQLite.1;Data Source=zento.dll;"), nullptr);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const Backup::CheckReport report =
            Backup::checkThenCopy(store->handle(), store->fileName(), QDate::currentDate(), false);
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (!report.damage.isEmpty())
            state.SkipWithError(qPrintable(report.damage));
    }
}
BENCHMARK(BM_StoreCheck)
    ->Apply(benchStoreArgs)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

// Going to the next dish (its recipe and totals) while a check runs beside:
// a new one starts whenever the last one ends.
void BM_NextDishWhileChecking(benchmark::State &state)
{
    BenchFolder folder(benchStoreOf(state.range(0)));
    BenchProgram run;
    Fmain &w = *run.program->fmain();
    Backup::StartCheck check;
    int checks = 0;
    StepTimes watch(state);
    for (auto _ : state) {
        if (!check.isRunning()) {
            QString error;
            check.start(
                QStringLiteral("zento.dll"), QDate::currentDate(), false,
                [](const Backup::CheckReport &) {}, &error);
            ++checks;
        }
        if (ctl<DataSource>(w, "AdoMnu")->position() >=
            ctl<DataSource>(w, "AdoMnu")->recordCount() - 1) {
            ctl<DataSource>(w, "AdoMnu")->moveFirst();
            w.refreshDish();
        }
        QPushButton *button = ctl<QPushButton>(w, "Command3");
        watch.time([&] { button->click(); });
    }
    check.stop();
    state.counters["checks"] = checks;
}
ZENTO_STEP_BENCHMARK(BM_NextDishWhileChecking);

} // namespace

ZENTO_BENCHMARK_MAIN();
