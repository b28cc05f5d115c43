// Start-up and the shared list loaders, in process. The start-up as a user
// sees it (process start to the painted window) is timed from outside by
// tools/measure-startup.py with zento-startprobe.
#include "app/bindings.h"
#include "app/fmain.h"
#include "app/program.h"
#include "bench/support/benchsupport.h"
#include "core/dish/dishsession.h"
#include "core/store/database.h"
#include "dish/lineeditor.h"
#include "tests/support/controls.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

void startUp(benchmark::State &state, BenchStore store)
{
    BenchFolder folder(store);
    for (auto _ : state) {
        SilentPrompts prompts;
        Program program(prompts);
        program.start();
        QApplication::processEvents(); // the first paint
        benchmark::DoNotOptimize(program.fmain());
        state.PauseTiming();
        program.end();
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}

void BM_StartUpTableSized(benchmark::State &state)
{
    startUp(state, BenchStore::TableSized);
}
BENCHMARK(BM_StartUpTableSized)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_StartUpHeavy(benchmark::State &state)
{
    startUp(state, BenchStore::Heavy);
}
BENCHMARK(BM_StartUpHeavy)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_StartUpHeavy10(benchmark::State &state)
{
    startUp(state, BenchStore::Heavy10);
}
BENCHMARK(BM_StartUpHeavy10)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Each loader on the heavy stores, as start-up and the commands run it.
template <typename Loader> void loader(benchmark::State &state, Loader load)
{
    BenchFolder folder(benchStoreOf(state.range(0)));
    BenchProgram p;
    Fmain *f = p.program->fmain();
    StepTimes steps(state);
    for (auto _ : state)
        steps.time([&] { load(f); });
}

void BM_LoadDishList(benchmark::State &state)
{
    loader(state, [](Fmain *f) {
        f->findChild<DishSession *>()->loadDishes();
        ctl<DataSource>(*f, "AdoMnu")->moveLast();
    });
}
ZENTO_STEP_BENCHMARK(BM_LoadDishList);

void BM_LoadCategoryList(benchmark::State &state)
{
    loader(state, [](Fmain *f) { f->findChild<LineEditor *>()->LoadCategoryList(); });
}
ZENTO_STEP_BENCHMARK(BM_LoadCategoryList);

void BM_LoadCategoryFoods(benchmark::State &state)
{
    loader(state, [](Fmain *f) {
        ctl<DataList>(*f, "DataList2")->setBoundText(QStringLiteral("6")); // the largest group
        f->findChild<LineEditor *>()->LoadCategoryFoods();
    });
}
ZENTO_STEP_BENCHMARK(BM_LoadCategoryFoods);

void BM_LoadUnitList(benchmark::State &state)
{
    loader(state, [](Fmain *f) { f->findChild<LineEditor *>()->LoadUnitList(); });
}
ZENTO_STEP_BENCHMARK(BM_LoadUnitList);

} // namespace

ZENTO_BENCHMARK_MAIN()
