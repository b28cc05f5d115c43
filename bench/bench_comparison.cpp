// The comparison window on the heavy store's largest dish: opening it (the
// sums, the standards lookup and the first paint of the chart) and one
// keystroke in the age box with the redraw it causes, on both heavy stores.
#include "app/fmain.h"
#include "app/program.h"
#include "bench/support/benchsupport.h"
#include "core/store/datasource.h"
#include "nutrition/chartsurface.h"
#include "nutrition/frmkij.h"
#include "tests/support/controls.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

void BM_OpenComparison(benchmark::State &state)
{
    LargestDishProgram run(state);
    if (!run.ready)
        return;
    Program &program = run.program();
    StepTimes steps(state);
    for (auto _ : state) {
        PaintWatch watch;
        FrmKij *kij = nullptr;
        bool painted = false;
        steps.time([&] {
            program.showComparison();
            kij = program.comparison();
            ctl<ChartSurface>(*kij, "Picture1")->installEventFilter(&watch);
            painted = waitForPaint(watch);
        });
        if (!painted || ctl<QLabel>(*kij, "Data_2")->text().isEmpty())
            state.SkipWithError("the window did not show the sums and the chart");
        kij->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}
ZENTO_STEP_BENCHMARK(BM_OpenComparison)->Iterations(60);

void BM_AgeKeystroke(benchmark::State &state)
{
    LargestDishProgram run(state);
    if (!run.ready)
        return;
    Program &program = run.program();
    program.showComparison();
    FrmKij *kij = program.comparison();
    PaintWatch watch;
    ctl<ChartSurface>(*kij, "Picture1")->installEventFilter(&watch);
    waitForPaint(watch);
    QLineEdit *ageBox = ctl<QComboBox>(*kij, "Combo1")->lineEdit();

    // Typed over the selected text in pairs: 8, 80, 7, 79, 3, 35 ... so the
    // lookups reach rows near both ends of the table.
    const QString keys = QStringLiteral("807935");
    StepTimes steps(state);
    int next = 0;
    for (auto _ : state) {
        const QChar digit = keys[next % keys.size()];
        if (next % 2 == 0)
            ageBox->selectAll();
        ++next;
        watch.painted = false;
        steps.start();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_0 + digit.digitValue(), Qt::NoModifier,
                        QString(digit));
        QCoreApplication::sendEvent(ageBox, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_0 + digit.digitValue(), Qt::NoModifier,
                          QString(digit));
        QCoreApplication::sendEvent(ageBox, &release);
        const bool painted = waitForPaint(watch);
        steps.stop();
        if (!painted || ctl<QLineEdit>(*kij, "Kdata_2")->text().isEmpty())
            state.SkipWithError("the keystroke did not look up a row and redraw");
    }
}
ZENTO_STEP_BENCHMARK(BM_AgeKeystroke)->Iterations(300);

} // namespace

ZENTO_BENCHMARK_MAIN();
