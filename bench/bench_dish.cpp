// Dish editing on the heavy store (25,000 foods, 10,000 dishes, 200,000
// lines) and the ten times heavier one, each operation driven through the
// main window's buttons and timed with every reload and the totals that
// follow it. Preparing an operation (going to a dish, clicking a line,
// typing) is not timed.
#include "app/bindings.h"
#include "app/fmain.h"
#include "app/program.h"
#include "bench/support/benchsupport.h"
#include "core/store/datasource.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <vector>

namespace {

// A dish with lines, reached with "＜" from where the window stands.
void previousDishWithLines(Fmain &w)
{
    do
        w.previousDishButton->click();
    while (w.AdoKou->rowCount() == 0 && !w.AdoMnu->bof() && w.AdoMnu->position() > 0);
}

// The first food of the category list's first category, 100 g of it.
void chooseSomeFood(Fmain &w)
{
    w.categoryList->clickRow(0);
    w.foodList->clickRow(0);
}

void BM_AddLine(benchmark::State &state)
{
    BenchFolder folder(benchStoreOf(state.range(0)));
    BenchProgram run;
    Fmain &w = *run.program->fmain();
    chooseSomeFood(w);
    StepTimes watch(state);
    for (auto _ : state) {
        previousDishWithLines(w); // a dish of ordinary size each time
        w.quantityBox->setText(QStringLiteral("120"));
        watch.time([&] { w.addLineButton->click(); });
    }
}
ZENTO_STEP_BENCHMARK(BM_AddLine);

void BM_UpdateLine(benchmark::State &state)
{
    BenchFolder folder(benchStoreOf(state.range(0)));
    BenchProgram run;
    Fmain &w = *run.program->fmain();
    StepTimes watch(state);
    int n = 0;
    for (auto _ : state) {
        previousDishWithLines(w);
        w.recipeGrid->clickRow(0);
        w.quantityBox->setText(QString::number(50 + n++ % 100));
        watch.time([&] { w.updateLineButton->click(); });
    }
}
ZENTO_STEP_BENCHMARK(BM_UpdateLine);

void BM_DeleteLine(benchmark::State &state)
{
    BenchFolder folder(benchStoreOf(state.range(0)));
    BenchProgram run;
    Fmain &w = *run.program->fmain();
    StepTimes watch(state);
    for (auto _ : state) {
        previousDishWithLines(w);
        w.recipeGrid->clickRow(0);
        watch.time([&] { w.deleteLineButton->click(); });
    }
}
ZENTO_STEP_BENCHMARK(BM_DeleteLine);

void BM_PreviousDish(benchmark::State &state)
{
    BenchFolder folder(benchStoreOf(state.range(0)));
    BenchProgram run;
    Fmain &w = *run.program->fmain();
    StepTimes watch(state);
    for (auto _ : state) {
        if (w.AdoMnu->position() == 0)
            w.lastDishButton->click();
        watch.time([&] { w.previousDishButton->click(); });
    }
}
ZENTO_STEP_BENCHMARK(BM_PreviousDish);

void BM_NextDish(benchmark::State &state)
{
    BenchFolder folder(benchStoreOf(state.range(0)));
    BenchProgram run;
    Fmain &w = *run.program->fmain();
    StepTimes watch(state);
    for (auto _ : state) {
        if (w.AdoMnu->position() >= w.AdoMnu->recordCount() - 1) {
            w.AdoMnu->moveFirst();
            w.LoadDishComposition();
        }
        watch.time([&] { w.nextDishButton->click(); });
    }
}
ZENTO_STEP_BENCHMARK(BM_NextDish);

void BM_LastDish(benchmark::State &state)
{
    BenchFolder folder(benchStoreOf(state.range(0)));
    BenchProgram run;
    Fmain &w = *run.program->fmain();
    StepTimes watch(state);
    for (auto _ : state) {
        w.AdoMnu->moveFirst();
        watch.time([&] { w.lastDishButton->click(); });
    }
}
ZENTO_STEP_BENCHMARK(BM_LastDish);

void BM_CreateDish(benchmark::State &state)
{
    BenchFolder folder(benchStoreOf(state.range(0)));
    BenchProgram run;
    Fmain &w = *run.program->fmain();
    StepTimes watch(state);
    for (auto _ : state)
        watch.time([&] { w.newDishButton->click(); });
}
ZENTO_STEP_BENCHMARK(BM_CreateDish);

// The name box is left after a new name was typed: the rename is stored and
// the dish list read again. middle 0: the last dish (the whole list is read to
// get back to it); middle 1: a dish in the middle of the list.
void BM_RenameDish(benchmark::State &state)
{
    BenchFolder folder(benchStoreOf(state.range(0)));
    BenchProgram run;
    Fmain &w = *run.program->fmain();
    if (state.range(1) == 1) {
        w.AdoMnu->moveTo(w.AdoMnu->recordCount() / 2);
        w.LoadDishComposition();
        w.UpdateDishTotals();
    }
    StepTimes watch(state);
    int n = 0;
    for (auto _ : state) {
        w.TexTitle->setText(QStringLiteral("改名した料理%1").arg(++n));
        watch.time([&] {
            QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
            QCoreApplication::sendEvent(w.TexTitle, &out);
        });
    }
}
BENCHMARK(BM_RenameDish)
    ->ArgNames({"store", "middle"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Apply(addPercentileStatistics)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Deletes the current dish (confirmed) with its lines; the first dish is
// current afterwards and is the next one deleted.
void BM_DeleteDish(benchmark::State &state)
{
    BenchFolder folder(benchStoreOf(state.range(0)));
    BenchProgram run;
    Fmain &w = *run.program->fmain();
    StepTimes watch(state);
    for (auto _ : state)
        watch.time([&] { w.deleteDishButton->click(); });
}
ZENTO_STEP_BENCHMARK(BM_DeleteDish);

} // namespace

ZENTO_BENCHMARK_MAIN();
