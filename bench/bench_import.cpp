// The import of the official reference data: a whole new store from the food
// table workbook and the standards, readings included (goal: 3 s at most),
// and its two large parts on their own.
#include "bench/support/benchsupport.h"
#include "tools/foodtable.h"
#include "tools/readings.h"
#include "tools/referencedata.h"
#include "tools/storebuilder.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const QString dataDir = QStringLiteral(ZENTO_REFERENCE_DATA);

void BM_FullImport(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zento.dll"));
    for (auto _ : state) {
        QString error;
        const bool ok = StoreBuilder::build(
            path,
            [&](sqlite3 *db, QString *err) {
                return StoreBuilder::fillReference(db, dataDir, err);
            },
            &error);
        if (!ok) {
            state.SkipWithError(qPrintable(error));
            break;
        }
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FullImport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_ReadWorkbook(benchmark::State &state)
{
    const ReferenceData::Sources sources = ReferenceData::locate(dataDir);
    for (auto _ : state) {
        FoodTable::Table table;
        QString error;
        if (!FoodTable::read(sources.foodTable, &table, &error)) {
            state.SkipWithError(qPrintable(error));
            break;
        }
        benchmark::DoNotOptimize(table.foods.size());
    }
}
BENCHMARK(BM_ReadWorkbook)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_ReadingsOfAllFoods(benchmark::State &state)
{
    FoodTable::Table table;
    QString error;
    if (!FoodTable::read(ReferenceData::locate(dataDir).foodTable, &table, &error)) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    for (auto _ : state) {
        Readings readings; // the dictionary is loaded each time, as an import does
        if (!readings.open(&error)) {
            state.SkipWithError(qPrintable(error));
            break;
        }
        for (const FoodTable::Food &food : std::as_const(table.foods))
            benchmark::DoNotOptimize(readings.reading(food.name));
    }
}
BENCHMARK(BM_ReadingsOfAllFoods)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

ZENTO_BENCHMARK_MAIN();
