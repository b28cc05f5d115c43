#pragma once

#include "core/export/dishreport.h"

#include <QSet>
#include <QString>
#include <optional>
#include <vector>

// The dishes as an Excel workbook: an overview sheet of all dishes, then one
// sheet per dish with its lines, totals, the panel's figures, the comparison
// with the chosen standard and the nutrition label as a box. Numbers are
// stored as numbers, shown with the windows' display patterns; the
// attribution of the reference data stands at the foot of every sheet.
namespace Export {

// The overview sheet's name.
QString overviewSheetName();

// A sheet name for a dish that the workbook accepts: at most 31 characters,
// none of []:*?/\, no apostrophe at either end, not empty, and unlike every
// name in `used` (compared without case); the name is added to `used`.
QString sheetName(const QString &dishName, qint64 key, QSet<QString> *used);

bool writeWorkbook(const QString &path, const std::vector<Dish> &dishes, QString *error);

} // namespace Export
