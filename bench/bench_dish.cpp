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
#include "tests/support/controls.h"

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
        ctl<QPushButton>(w, "Command7")->click();
    while (ctl<DataSource>(w, "AdoKou")->rowCount() == 0 && !ctl<DataSource>(w, "AdoMnu")->bof() &&
           ctl<DataSource>(w, "AdoMnu")->position() > 0);
}

// The first food of the category list's first category, 100 g of it.
void chooseSomeFood(Fmain &w)
{
    ctl<DataList>(w, "DataList2")->clickRow(0);
    ctl<DataList>(w, "DataList3")->clickRow(0);
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
        ctl<QLineEdit>(w, "Text2")->setText(QStringLiteral("120"));
        QPushButton *button = ctl<QPushButton>(w, "Command2");
        watch.time([&] { button->click(); });
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
        ctl<DataGrid>(w, "DataGrid1")->clickRow(0);
        ctl<QLineEdit>(w, "Text2")->setText(QString::number(50 + n++ % 100));
        QPushButton *button = ctl<QPushButton>(w, "Command11");
        watch.time([&] { button->click(); });
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
        ctl<DataGrid>(w, "DataGrid1")->clickRow(0);
        QPushButton *button = ctl<QPushButton>(w, "Command6");
        watch.time([&] { button->click(); });
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
        if (ctl<DataSource>(w, "AdoMnu")->position() == 0)
            ctl<QPushButton>(w, "Command4")->click();
        QPushButton *button = ctl<QPushButton>(w, "Command7");
        watch.time([&] { button->click(); });
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
        if (ctl<DataSource>(w, "AdoMnu")->position() >=
            ctl<DataSource>(w, "AdoMnu")->recordCount() - 1) {
            ctl<DataSource>(w, "AdoMnu")->moveFirst();
            w.refreshDish();
        }
        QPushButton *button = ctl<QPushButton>(w, "Command3");
        watch.time([&] { button->click(); });
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
        ctl<DataSource>(w, "AdoMnu")->moveFirst();
        QPushButton *button = ctl<QPushButton>(w, "Command4");
        watch.time([&] { button->click(); });
    }
}
ZENTO_STEP_BENCHMARK(BM_LastDish);

void BM_CreateDish(benchmark::State &state)
{
    BenchFolder folder(benchStoreOf(state.range(0)));
    BenchProgram run;
    Fmain &w = *run.program->fmain();
    QPushButton *button = ctl<QPushButton>(w, "Command8");
    StepTimes watch(state);
    for (auto _ : state)
        watch.time([&] { button->click(); });
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
        ctl<DataSource>(w, "AdoMnu")->moveTo(ctl<DataSource>(w, "AdoMnu")->recordCount() / 2);
        w.refreshDish();
    }
    StepTimes watch(state);
    int n = 0;
    for (auto _ : state) {
        ctl<QLineEdit>(w, "TexTitle")->setText(QStringLiteral("改名した料理%1").arg(++n));
        watch.time([&] {
            QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
            QCoreApplication::sendEvent(ctl<QLineEdit>(w, "TexTitle"), &out);
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
    QPushButton *button = ctl<QPushButton>(w, "Command9");
    StepTimes watch(state);
    for (auto _ : state)
        watch.time([&] { button->click(); });
}
ZENTO_STEP_BENCHMARK(BM_DeleteDish);

} // namespace

ZENTO_BENCHMARK_MAIN();
