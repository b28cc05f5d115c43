#pragma once

#include "core/export/dishreport.h"

#include <QByteArray>
#include <QStringList>
#include <optional>
#include <vector>

// The dishes as one CSV file for a spreadsheet: UTF-8 with a byte order mark,
// CR LF line ends, fields quoted when they hold a comma, a quote or a line
// break. First every dish's lines, its total row, its row per 100 g and its
// nutrition label row; then, after a blank line, the overview of all dishes.
// Figures the windows show are written as the windows show them.
namespace Export {

// One record: fields joined by commas, quoted as needed, ending in CR LF.
QByteArray csvRecord(const QStringList &fields);

// A number as the general decimal form writes it (NumberText::general).
QByteArray csvNumber(double value);

// Writes the document to `path` through a temporary file, a part at a time.
bool writeCsv(const QString &path, const std::vector<Dish> &dishes, QString *error);

} // namespace Export
