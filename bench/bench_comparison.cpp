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

// Makes the dish with the most lines current in the main window.
bool makeLargestDishCurrent(Fmain &fmain)
{
    DataSource largest;
    largest.setConnectionString(fmain.program().DbConnectionString);
    largest.setRecordSource(
        QStringLiteral("SELECT kou.アイテムCD FROM kou, mnu WHERE kou.アイテムCD = mnu.ID "
                       "GROUP BY kou.アイテムCD ORDER BY count(*) DESC"));
    if (!largest.refresh() || largest.eof())
        return false;
    const qint64 dish = largest.value(0, 0).toLongLong();
    DataSource *dishes = ctl<DataSource>(fmain, "AdoMnu");
    const int id = dishes->fieldIndex(QStringLiteral("ID"));
    for (int row = 0; row < dishes->recordCount(); ++row)
        if (dishes->value(row, id).toLongLong() == dish)
            return dishes->moveTo(row) &&
                   ctl<QLineEdit>(fmain, "TexID")->text() == QString::number(dish);
    return false;
}

// Notes when the chart surface paints.
class PaintWatch : public QObject
{
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

// Runs the event loop until the surface has painted.
bool waitForPaint(PaintWatch &watch)
{
    for (int round = 0; round < 1000 && !watch.painted; ++round)
        QCoreApplication::processEvents();
    return watch.painted;
}

void BM_OpenComparison(benchmark::State &state)
{
    BenchFolder folder(benchStoreOf(state.range(0)));
    BenchProgram run;
    Program &program = *run.program;
    if (!makeLargestDishCurrent(*program.fmain())) {
        state.SkipWithError("no dish with lines in the store");
        return;
    }
    StepTimes steps(state);
    for (auto _ : state) {
        PaintWatch watch;
        FrmKij *kij = nullptr;
        bool painted = false;
        steps.time([&] {
            program.showComparison();
            kij = program.comparison();
            kij->Picture1->installEventFilter(&watch);
            painted = waitForPaint(watch);
        });
        if (!painted || kij->Data[2]->text().isEmpty())
            state.SkipWithError("the window did not show the sums and the chart");
        kij->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}
ZENTO_STEP_BENCHMARK(BM_OpenComparison)->Iterations(60);

void BM_AgeKeystroke(benchmark::State &state)
{
    BenchFolder folder(benchStoreOf(state.range(0)));
    BenchProgram run;
    Program &program = *run.program;
    if (!makeLargestDishCurrent(*program.fmain())) {
        state.SkipWithError("no dish with lines in the store");
        return;
    }
    program.showComparison();
    FrmKij *kij = program.comparison();
    PaintWatch watch;
    kij->Picture1->installEventFilter(&watch);
    waitForPaint(watch);
    QLineEdit *ageBox = kij->Combo1->lineEdit();

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
        if (!painted || kij->Kdata[2]->text().isEmpty())
            state.SkipWithError("the keystroke did not look up a row and redraw");
    }
}
ZENTO_STEP_BENCHMARK(BM_AgeKeystroke)->Iterations(300);

} // namespace

ZENTO_BENCHMARK_MAIN();
