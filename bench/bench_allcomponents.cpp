// 栄養成分一覧 on the heavy store's largest dish: opening it (every component
// of the dish, the standards and the first paint of the grid) and one change
// of the person (age, sex or activity) with the repaint it causes, on both
// heavy stores.
#include "app/fmain.h"
#include "app/program.h"
#include "bench/support/benchsupport.h"
#include "core/store/datasource.h"
#include "nutrition/frmall.h"
#include "tests/support/controls.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>
#include <benchmark/benchmark.h>

namespace {

void BM_OpenAllComponents(benchmark::State &state)
{
    LargestDishProgram run(state);
    if (!run.ready)
        return;
    Program &program = run.program();
    StepTimes steps(state);
    for (auto _ : state) {
        PaintWatch watch;
        FrmAll *all = nullptr;
        bool painted = false;
        steps.time([&] {
            program.showAll();
            all = program.allComponents();
            ctl<QTableWidget>(*all, "AllGrid")->viewport()->installEventFilter(&watch);
            painted = waitForPaint(watch);
        });
        if (!painted || ctl<QTableWidget>(*all, "AllGrid")->item(2, 2)->text().isEmpty())
            state.SkipWithError("the window did not show the dish");
        all->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}
ZENTO_STEP_BENCHMARK(BM_OpenAllComponents)->Iterations(60);

void BM_ChangePerson(benchmark::State &state)
{
    LargestDishProgram run(state);
    if (!run.ready)
        return;
    Program &program = run.program();
    program.showAll();
    FrmAll *all = program.allComponents();
    auto *grid = ctl<QTableWidget>(*all, "AllGrid");
    PaintWatch watch;
    grid->viewport()->installEventFilter(&watch);
    waitForPaint(watch);
    // A change that leaves every figure of the grid as it was (an activity
    // level without standards of its own for that age) repaints only the
    // balance bar, which every change repaints; the grid's repaint, when it
    // has one, comes in the same pass.
    ctl<QWidget>(*all, "PfcBar")->installEventFilter(&watch);
    QComboBox *age = ctl<QComboBox>(*all, "AllAge");
    QComboBox *sex = ctl<QComboBox>(*all, "AllSex");
    QComboBox *pal = ctl<QComboBox>(*all, "AllPal");
    StepTimes steps(state);
    int next = 0;
    for (auto _ : state) {
        watch.painted = false;
        const int step = next++;
        steps.start();
        // Age, sex and activity in turn, as a user goes through the boxes.
        if (step % 3 == 0) {
            age->setEditText(QString::number(1 + (step * 7) % 100));
            emit age->lineEdit()->editingFinished();
        } else if (step % 3 == 1) {
            sex->setCurrentIndex(1 - sex->currentIndex());
        } else {
            pal->setCurrentIndex((pal->currentIndex() + 1) % 3);
        }
        const bool painted = waitForPaint(watch);
        steps.stop();
        if (!painted)
            state.SkipWithError("the change did not repaint the window");
    }
}
ZENTO_STEP_BENCHMARK(BM_ChangePerson)->Iterations(300);

} // namespace

ZENTO_BENCHMARK_MAIN();
