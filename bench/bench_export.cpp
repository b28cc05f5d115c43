// Export on the heavy store (10,000 dishes, 200,000 lines): every dish as CSV
// (read from the store and written), every dish as an Excel workbook (the
// command-line tool end to end: a benchmark process links the importer's zip
// library, whose symbols clash with the workbook library's), and one dish's
// printed page as PDF. Goals: CSV 2 s, workbook 10 s, one PDF page 200 ms.
#include "bench/support/benchsupport.h"
#include "core/export/csvwriter.h"
#include "core/export/dishreport.h"
#include "core/store/datasource.h"
#include "paper/reportpage.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <benchmark/benchmark.h>

namespace {

QString connection()
{
    return QStringLiteral("Provider=Zento.SQLite.1;Data Source=zento.dll;");
}

void BM_CsvAllDishes(benchmark::State &state)
{
    BenchFolder folder(BenchStore::Heavy);
    size_t lines = 0;
    for (auto _ : state) {
        std::vector<Export::Dish> dishes;
        QString error;
        if (!Export::readDishes(connection(), {}, 20, true, &dishes, &error) ||
            !Export::writeCsv(QStringLiteral("all.csv"), dishes, &error)) {
            state.SkipWithError(error.toUtf8().constData());
            return;
        }
        lines = 0;
        for (const Export::Dish &dish : dishes)
            lines += dish.lines.size();
    }
    state.counters["lines"] = double(lines);
    state.counters["MiB"] = QFile(QStringLiteral("all.csv")).size() / 1048576.0;
}
BENCHMARK(BM_CsvAllDishes)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WorkbookAllDishes(benchmark::State &state)
{
    BenchFolder folder(BenchStore::Heavy);
    for (auto _ : state) {
        QProcess tool;
        tool.start(QStringLiteral(ZENTO_EXPORT_TOOL),
                   {"--store", "zento.dll", "--format", "xlsx", "--all", "--output", "all.xlsx"});
        if (!tool.waitForFinished(600000) || tool.exitCode() != 0) {
            state.SkipWithError(tool.readAllStandardError().constData());
            return;
        }
    }
    state.counters["MiB"] = QFile(QStringLiteral("all.xlsx")).size() / 1048576.0;
}
BENCHMARK(BM_WorkbookAllDishes)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_PdfOneDish(benchmark::State &state)
{
    BenchFolder folder(BenchStore::Heavy);
    QString error;
    const std::optional<qint64> key =
        Export::findDish(connection(), QStringLiteral("5000"), &error);
    if (!key) {
        state.SkipWithError(error.toUtf8().constData());
        return;
    }
    for (auto _ : state) {
        std::vector<Export::Dish> dishes;
        ReportPage::Options options;
        if (!Export::readDishes(connection(), {false, *key}, 20, true, &dishes, &error) ||
            !ReportPage::writePdf(QStringLiteral("one.pdf"), dishes, options, &error)) {
            state.SkipWithError(error.toUtf8().constData());
            return;
        }
    }
}
BENCHMARK(BM_PdfOneDish)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

ZENTO_BENCHMARK_MAIN();
