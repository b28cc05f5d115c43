// The food search and the dish list on the heavy stores (25,000 foods, 10,000
// dishes, 200,000 lines, and ten times that): one keystroke in the reading box, one ranking by a
// nutrient and opening the dish list, each with the grid painted.
// The store is as the schema builds it, with its reading and ranking indexes
// and fixed planner statistics.
#include "app/bindings.h"
#include "app/program.h"
#include "bench/support/benchsupport.h"
#include "core/store/datasource.h"
#include "search/frmschf.h"
#include "search/frmschm.h"
#include "tests/support/controls.h"

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
    BenchFolder folder(benchStoreOf(state.range(0)));
    prepare(state);
    BenchProgram run;
    FrmSchF *window = openFoodSearch(*run.program);
    qsizetype next = 0;
    StepTimes steps(state);
    for (auto _ : state) {
        steps.start();
        ctl<QLineEdit>(*window, "Text1")->setText(typing[next++ % typing.size()]);
        settle();
        steps.stop();
    }
}
ZENTO_STEP_BENCHMARK(BM_ReadingKeystroke)->Iterations(3 * 20);

// Text that few readings hold, typed a character at a time: each query has
// to look at every reading unless an index finds them.
const QStringList rareTyping{
    QStringLiteral("ﾎﾟ"),     QStringLiteral("ﾎﾟﾀ"),     QStringLiteral("ﾎﾟﾀｰ"),
    QStringLiteral("ﾎﾟﾀｰｼﾞ"), QStringLiteral("ﾎﾟﾀｰｼﾞｭ"), QStringLiteral("ｱｲｽ"),
    QStringLiteral("ｱｲｽｸ"),   QStringLiteral("ｱｲｽｸﾘ"),   QStringLiteral("99"),
    QStringLiteral("999"),    QStringLiteral("9999"),    QStringLiteral("ﾜｻﾋﾞ"),
};

void BM_RareReadingKeystroke(benchmark::State &state)
{
    BenchFolder folder(benchStoreOf(state.range(0)));
    BenchProgram run;
    FrmSchF *window = openFoodSearch(*run.program);
    qsizetype next = 0;
    StepTimes steps(state);
    for (auto _ : state) {
        steps.start();
        ctl<QLineEdit>(*window, "Text1")->setText(rareTyping[next++ % rareTyping.size()]);
        settle();
        steps.stop();
    }
}
ZENTO_STEP_BENCHMARK(BM_RareReadingKeystroke)->Iterations(3 * 12);

// The reading box emptied: every food, in descending order of reading.
void BM_ReadingCleared(benchmark::State &state)
{
    BenchFolder folder(benchStoreOf(state.range(0)));
    prepare(state);
    BenchProgram run;
    FrmSchF *window = openFoodSearch(*run.program);
    StepTimes steps(state);
    for (auto _ : state) {
        ctl<QLineEdit>(*window, "Text1")->setText(QStringLiteral("ｺ"));
        settle();
        steps.time([&] {
            ctl<QLineEdit>(*window, "Text1")->clear();
            settle();
        });
    }
}
ZENTO_STEP_BENCHMARK(BM_ReadingCleared);

// Choosing each of the 22 nutrients in turn.
void BM_RankByNutrient(benchmark::State &state)
{
    BenchFolder folder(benchStoreOf(state.range(0)));
    prepare(state);
    BenchProgram run;
    FrmSchF *window = openFoodSearch(*run.program);
    int next = 0;
    StepTimes steps(state);
    for (auto _ : state) {
        steps.start();
        const int index = next++ % ctl<QComboBox>(*window, "Combo1")->count();
        ctl<QComboBox>(*window, "Combo1")->setCurrentIndex(index);
        emit ctl<QComboBox>(*window, "Combo1")->activated(index);
        settle();
        steps.stop();
    }
}
ZENTO_STEP_BENCHMARK(BM_RankByNutrient);

void BM_OpenDishList(benchmark::State &state)
{
    BenchFolder folder(benchStoreOf(state.range(0)));
    prepare(state);
    BenchProgram run;
    StepTimes steps(state);
    for (auto _ : state) {
        steps.start();
        run.program->showDishList();
        settle();
        steps.stop();
        QPointer<FrmSchM> window = run.program->dishList();
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
ZENTO_STEP_BENCHMARK(BM_OpenDishList);

// OK on a dish of the list: the main window's dishes are searched for its
// key and the dish is made current; the composition and totals that follow
// belong to the main window.
void BM_OpenChosenDish(benchmark::State &state)
{
    BenchFolder folder(benchStoreOf(state.range(0)));
    prepare(state);
    BenchProgram run;
    run.program->showDishList();
    FrmSchM *window = run.program->dishList();
    settle();
    int next = 0;
    StepTimes steps(state);
    for (auto _ : state) {
        ctl<DataSource>(*window, "AdoMnu")->moveTo(100 + (next++ * 37) % 400);
        steps.time([&] { window->OpenChosenDish(); });
    }
}
ZENTO_STEP_BENCHMARK(BM_OpenChosenDish);

} // namespace

ZENTO_BENCHMARK_MAIN()
