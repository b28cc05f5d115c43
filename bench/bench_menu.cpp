// 献立 on the heavy stores with a year of menus (365 days of four meals of
// three dishes, 4,380 entries, dishes spread over the whole store): opening
// the window, choosing a day, scrolling the list of days, adding an entry,
// editing a portion, the average of a month and of a year chosen in the list
// (each on a window that has read no dish yet, so the dishes' figures kept
// with the store are read), and a month's 献立表 as PDF read from the store
// as the command-line tool reads it. Goals: open 50 ms; a day, an entry, a
// portion 5 ms (p90); a month's average 20 ms, a year's 200 ms; the month's
// PDF 1 s.
#include "app/program.h"
#include "bench/support/benchsupport.h"
#include "core/menu/menuplan.h"
#include "core/menu/menutotals.h"
#include "menu/frmkon.h"
#include "paper/menusheet.h"
#include "tests/support/controls.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

const QString connection = QStringLiteral("Provider=Zento.SQLite.1;Data Source=zento.dll;");

// A year of school-lunch-like days from 2026-01-01: each meal three dishes
// taken across the whole store; the dishes used go to *dishes.
bool addYearOfMenus(std::vector<qint64> *dishes, QString *error)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open("zento.dll", &db) != SQLITE_OK) {
        *error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        return false;
    }
    sqlite3_stmt *range = nullptr;
    sqlite3_prepare_v2(db, "SELECT min(ID),max(ID) FROM mnu", -1, &range, nullptr);
    sqlite3_step(range);
    const qint64 first = sqlite3_column_int64(range, 0);
    const qint64 span = sqlite3_column_int64(range, 1) - first + 1;
    sqlite3_finalize(range);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *day = nullptr;
    sqlite3_stmt *entry = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO kon(DAT,KNM,AGE,SEX,PAL,STG) VALUES (?1,'給食',10,1,2,0)",
                       -1, &day, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO kom(KID,MEAL,DISH,POR,ORD) VALUES (?1,?2,?3,?4,?5)", -1,
                       &entry, nullptr);
    qint64 n = 0;
    for (int d = 0; d < 365; ++d) {
        const QByteArray date = QDate(2026, 1, 1).addDays(d).toString(Qt::ISODate).toLatin1();
        sqlite3_bind_text(day, 1, date.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_step(day);
        sqlite3_reset(day);
        const qint64 id = sqlite3_last_insert_rowid(db);
        for (int meal = 0; meal < 4; ++meal)
            for (int k = 0; k < 3; ++k) {
                sqlite3_bind_int64(entry, 1, id);
                sqlite3_bind_int(entry, 2, meal);
                dishes->push_back(first + (++n * 7919) % span);
                sqlite3_bind_int64(entry, 3, dishes->back());
                sqlite3_bind_double(entry, 4, k == 2 ? 0.5 : 1);
                sqlite3_bind_int(entry, 5, k);
                sqlite3_step(entry);
                sqlite3_reset(entry);
            }
    }
    sqlite3_finalize(day);
    sqlite3_finalize(entry);
    const bool ok = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!ok)
        *error = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_close(db);
    return ok;
}

// The heavy store of the benchmark's range with a year of menus, and the
// program on it.
struct MenuBench
{
    BenchFolder folder;
    std::unique_ptr<BenchProgram> run;
    QString error;
    explicit MenuBench(benchmark::State &state)
        : folder(benchStoreOf(state.range(0)))
    {
        std::vector<qint64> dishes;
        if (!addYearOfMenus(&dishes, &error)) {
            state.SkipWithError(error.toUtf8().constData());
            return;
        }
        run = std::make_unique<BenchProgram>();
        // A dish added to a day in the window is counted then, and its
        // figures kept with the store; the year written above by SQL gets
        // them the same way, once, before anything is timed.
        Menus::DishBook counted;
        if (!counted.need(connection, dishes, &error)) {
            state.SkipWithError(error.toUtf8().constData());
            run.reset();
        }
    }
    Program &program() { return *run->program; }
};

FrmKon *openMenus(Program &program)
{
    auto *kon = new FrmKon(program);
    kon->show();
    QCoreApplication::processEvents();
    return kon;
}

void closeMenus(FrmKon *kon)
{
    delete kon;
    QCoreApplication::processEvents();
}

void BM_MenuOpen(benchmark::State &state)
{
    MenuBench bench(state);
    if (!bench.run)
        return;
    StepTimes steps(state);
    for (auto _ : state) {
        FrmKon *kon = nullptr;
        steps.time([&] { kon = openMenus(bench.program()); });
        if (ctl<QTableWidget>(*kon, "KonDays")->rowCount() != 365 ||
            ctl<QTableWidget>(*kon, "KonGrid")->rowCount() == 0 ||
            ctl<QTableWidget>(*kon, "KonDays")->item(0, 2)->text().isEmpty())
            state.SkipWithError("the window did not show the year and its first day");
        closeMenus(kon);
    }
}
ZENTO_STEP_BENCHMARK(BM_MenuOpen)->Iterations(20);

void BM_MenuChooseDay(benchmark::State &state)
{
    MenuBench bench(state);
    if (!bench.run)
        return;
    FrmKon *kon = openMenus(bench.program());
    StepTimes steps(state);
    int row = 0;
    QTableWidget *days = ctl<QTableWidget>(*kon, "KonDays");
    for (auto _ : state) {
        // Days far apart, as the user brings them into sight and clicks one:
        // the scrolling fills the figures of the rows that come into sight,
        // the click shows the day.
        row = (row + 37) % 365;
        days->scrollTo(days->model()->index(row, 0));
        QCoreApplication::processEvents();
        steps.time([&] { days->selectRow(row); });
        if (ctl<QTableWidget>(*kon, "KonGrid")->rowCount() == 0)
            state.SkipWithError("the day's meals are not shown");
    }
    closeMenus(kon);
}
ZENTO_STEP_BENCHMARK(BM_MenuChooseDay)->Iterations(100);

void BM_MenuScrollDays(benchmark::State &state)
{
    MenuBench bench(state);
    if (!bench.run)
        return;
    FrmKon *kon = openMenus(bench.program());
    QTableWidget *days = ctl<QTableWidget>(*kon, "KonDays");
    StepTimes steps(state);
    int row = 0;
    for (auto _ : state) {
        row = (row + 37) % 365; // a screenful of days not in sight before
        steps.time([&] {
            days->scrollTo(days->model()->index(row, 0));
            QCoreApplication::processEvents();
        });
        if (days->item(row, 2)->text().isEmpty())
            state.SkipWithError("the days in sight show no energy");
    }
    closeMenus(kon);
}
ZENTO_STEP_BENCHMARK(BM_MenuScrollDays)->Iterations(100);

void BM_MenuAddEntry(benchmark::State &state)
{
    MenuBench bench(state);
    if (!bench.run)
        return;
    FrmKon *kon = openMenus(bench.program());
    ctl<QTableWidget>(*kon, "KonDays")->selectRow(100);
    // A dish chosen from the offered names, as a user picks it.
    ctl<QComboBox>(*kon, "KonDish")
        ->addItem(QStringLiteral("ベンチマークで選ぶ料理"), qint64(5000));
    StepTimes steps(state);
    for (auto _ : state) {
        ctl<QComboBox>(*kon, "KonDish")->setCurrentIndex(0);
        const int before = ctl<QTableWidget>(*kon, "KonGrid")->rowCount();
        steps.time([&] { ctl<QPushButton>(*kon, "KonAdd")->click(); });
        if (ctl<QTableWidget>(*kon, "KonGrid")->rowCount() <= before)
            state.SkipWithError("the entry was not added");
    }
    closeMenus(kon);
}
ZENTO_STEP_BENCHMARK(BM_MenuAddEntry)->Iterations(100);

void BM_MenuEditPortion(benchmark::State &state)
{
    MenuBench bench(state);
    if (!bench.run)
        return;
    FrmKon *kon = openMenus(bench.program());
    ctl<QTableWidget>(*kon, "KonDays")->selectRow(200);
    StepTimes steps(state);
    int n = 0;
    for (auto _ : state) {
        const QString portion = QString::number(1 + (++n % 4) * 0.5);
        steps.time([&] { ctl<QTableWidget>(*kon, "KonGrid")->item(0, 2)->setText(portion); });
        if (ctl<QTableWidget>(*kon, "KonGrid")->item(0, 2)->text() != portion)
            state.SkipWithError("the portion was not kept");
    }
    closeMenus(kon);
}
ZENTO_STEP_BENCHMARK(BM_MenuEditPortion)->Iterations(100);

// Chooses rows first..last of the list together, as Shift+click does.
void choosePeriod(FrmKon *kon, int first, int last)
{
    QTableWidget *days = ctl<QTableWidget>(*kon, "KonDays");
    const QItemSelection range(days->model()->index(first, 0),
                               days->model()->index(last, days->columnCount() - 1));
    days->selectionModel()->select(range, QItemSelectionModel::ClearAndSelect);
}

void periodBenchmark(benchmark::State &state, int days)
{
    MenuBench bench(state);
    if (!bench.run)
        return;
    StepTimes steps(state);
    int first = 0;
    for (auto _ : state) {
        FrmKon *kon = openMenus(bench.program());
        first = days >= 365 ? 0 : (first + 31) % (365 - days);
        steps.time([&] { choosePeriod(kon, first, first + days - 1); });
        if (!ctl<QLabel>(*kon, "KonPeriod")->text().contains(QStringLiteral("%1日").arg(days)))
            state.SkipWithError(ctl<QLabel>(*kon, "KonPeriod")->text().toUtf8().constData());
        closeMenus(kon);
    }
}

void BM_MenuMonthAverage(benchmark::State &state)
{
    periodBenchmark(state, 30);
}
ZENTO_STEP_BENCHMARK(BM_MenuMonthAverage)->Iterations(10);

void BM_MenuYearAverage(benchmark::State &state)
{
    periodBenchmark(state, 365);
}
ZENTO_STEP_BENCHMARK(BM_MenuYearAverage)->Iterations(5);

void BM_MenuMonthPdf(benchmark::State &state)
{
    MenuBench bench(state);
    if (!bench.run)
        return;
    StepTimes steps(state);
    for (auto _ : state) {
        QString error;
        bool ok = false;
        steps.time([&] {
            Menus::Plan plan;
            ok = Menus::readPlan(connection, QStringLiteral("2026-03-01..2026-03-31"), &plan,
                                 &error) &&
                 MenuSheet::writePdf(QStringLiteral("month.pdf"), plan, &error);
        });
        if (!ok)
            state.SkipWithError(error.toUtf8().constData());
    }
}
ZENTO_STEP_BENCHMARK(BM_MenuMonthPdf)->Iterations(5);

} // namespace

ZENTO_BENCHMARK_MAIN();
