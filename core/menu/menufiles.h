#pragma once

#include "core/export/sheettable.h"
#include "core/menu/menuplan.h"

#include <QString>
#include <vector>

// The menus as files: a table per day (each entry, each meal's total and the
// day's total with every nutrient) and the period's table (each day's total
// and the average per day). A workbook holds them a sheet each; a CSV file is
// one table of the days' rows and the period's average.
namespace Menus {

// The columns every table shares: 日付, 献立名, 食事, 料理, 分量(人分), 区分,
// every component of the food table (廃棄率 aside), 注記.
QStringList tableHeadings();
std::vector<Export::SheetTable> planTables(const Plan &plan);

bool writeCsv(const QString &path, const Plan &plan, QString *error);
bool writeWorkbook(const QString &path, const Plan &plan, QString *error);

} // namespace Menus
