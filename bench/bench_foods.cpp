// The food commands on the heavy stores: showing a food in the food editor,
// registering a new food (with the reload of the main window's lists) and
// deleting a food (with every reload that follows).
#include "app/bindings.h"
#include "app/fmain.h"
#include "app/program.h"
#include "bench/support/benchsupport.h"
#include "core/store/datasource.h"
#include "dish/lineeditor.h"
#include "foods/seibn.h"
#include "tests/support/controls.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

// Keys of foods of the store, read once per benchmark.
std::vector<qint64> foodKeys(const Program &program, const QString &where = QString())
{
    DataSource keys;
    keys.setConnectionString(program.DbConnectionString);
    keys.setRecordSource(QStringLiteral("SELECT eys.SID FROM eys ") + where);
    keys.refresh();
    std::vector<qint64> result;
    const int count = keys.recordCount();
    result.reserve(count);
    for (int row = 0; row < count; ++row)
        result.push_back(keys.value(row, 0).toLongLong());
    return result;
}

// With range(1) 1 the main window's food list shows the largest category
// (thousands of foods, read lazily); with 0 it is as start-up leaves it, with
// no category chosen. Every store write first reads to their end the lists
// still being read, so the first is the worst case of the heavy store.
void chooseBusyCategory(Fmain &fmain, const benchmark::State &state)
{
    if (state.range(1) == 0)
        return;
    DataSource busiest;
    busiest.setConnectionString(fmain.program().DbConnectionString);
    busiest.setRecordSource(
        QStringLiteral("SELECT eys.BID FROM eys GROUP BY eys.BID ORDER BY count(*) DESC"));
    busiest.refresh();
    ctl<DataList>(fmain, "DataList2")->setBoundText(busiest.text(QStringLiteral("BID")));
    fmain.findChild<LineEditor *>()->LoadCategoryFoods();
}

void BM_ShowFood(benchmark::State &state)
{
    BenchFolder folder(benchStoreOf(state.range(0)));
    BenchProgram run;
    Fmain *fmain = run.program->fmain();
    const std::vector<qint64> keys = foodKeys(*run.program);
    size_t next = 0;
    StepTimes steps(state);
    for (auto _ : state) {
        ctl<QLineEdit>(*fmain, "Text4")
            ->setText(QString::number(keys[next++ * 7919 % keys.size()]));
        steps.time([&] { ctl<QPushButton>(*fmain, "Command1")->click(); });
    }
}
ZENTO_STEP_BENCHMARK(BM_ShowFood);

void BM_RegisterNewFood(benchmark::State &state)
{
    BenchFolder folder(benchStoreOf(state.range(0)));
    BenchProgram run;
    Fmain *fmain = run.program->fmain();
    Seibn *editor = run.program->seibn();
    chooseBusyCategory(*fmain, state);
    int n = 0;
    StepTimes steps(state);
    for (auto _ : state) {
        ctl<QAction>(*fmain, "Me_data_addnew")->trigger();
        ctl<QLineEdit>(*editor, "Text1")->setText(QStringLiteral("ベンチ食品%1").arg(++n));
        bool stored = false;
        steps.time([&] { stored = editor->registerFood(); });
        if (!stored)
            state.SkipWithError("the new food was not stored");
    }
}
BENCHMARK(BM_RegisterNewFood)
    ->ArgNames({"store", "busy"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Apply(addPercentileStatistics)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_NewFoodThroughRegister(benchmark::State &state)
{
    BenchFolder folder(benchStoreOf(state.range(0)));
    BenchProgram run;
    Fmain *fmain = run.program->fmain();
    Seibn *editor = run.program->seibn();
    chooseBusyCategory(*fmain, state);
    int n = 0;
    StepTimes steps(state);
    for (auto _ : state) {
        bool stored = false;
        steps.time([&] {
            ctl<QAction>(*fmain, "Me_data_addnew")->trigger();
            ctl<QLineEdit>(*editor, "Text1")->setText(QStringLiteral("ベンチ食品%1").arg(++n));
            stored = editor->registerFood();
        });
        if (!stored)
            state.SkipWithError("the new food was not stored");
    }
}
BENCHMARK(BM_NewFoodThroughRegister)
    ->ArgNames({"store", "busy"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Apply(addPercentileStatistics)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_DeleteFood(benchmark::State &state)
{
    BenchFolder folder(benchStoreOf(state.range(0)));
    BenchProgram run;
    Fmain *fmain = run.program->fmain();
    chooseBusyCategory(*fmain, state);
    // Foods of the shown category, so that the food list loses one each time.
    const QString category = ctl<DataList>(*fmain, "DataList2")->boundText();
    const std::vector<qint64> keys = foodKeys(
        *run.program, category.isEmpty() ? QString() : QStringLiteral("WHERE eys.BID=") + category);
    size_t next = 0;
    StepTimes steps(state);
    for (auto _ : state) {
        if (next == keys.size()) {
            state.SkipWithError("ran out of foods to delete");
            break;
        }
        fmain->takeFood(keys[next++]);
        steps.time([&] { ctl<QAction>(*fmain, "Me_data_del")->trigger(); });
    }
}
BENCHMARK(BM_DeleteFood)
    ->ArgNames({"store", "busy"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Apply(addPercentileStatistics)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// A deletion as the first write after start-up, which leaves the dish list
// read to its end (the last dish is made current). Back to back, each
// deletion's reload of the dish list leaves 10,000 dishes for the next write
// to read first.
void BM_DeleteFoodAfterStartUp(benchmark::State &state)
{
    BenchFolder folder(benchStoreOf(state.range(0)));
    BenchProgram run;
    Fmain *fmain = run.program->fmain();
    const std::vector<qint64> keys = foodKeys(*run.program);
    size_t next = 0;
    StepTimes steps(state);
    for (auto _ : state) {
        ctl<DataSource>(*fmain, "AdoMnu")->moveLast();
        fmain->takeFood(keys[next++ % keys.size()]);
        steps.time([&] { ctl<QAction>(*fmain, "Me_data_del")->trigger(); });
    }
}
ZENTO_STEP_BENCHMARK(BM_DeleteFoodAfterStartUp);

} // namespace

ZENTO_BENCHMARK_MAIN();
