#pragma once

#include "core/export/dishreport.h"

#include <QByteArray>
#include <QStringList>
#include <optional>
#include <vector>

// The dishes as one CSV file for a spreadsheet: UTF-8 with a byte order mark,
// CR LF line ends, fields quoted when they hold a comma or a quote (a line
// break is never written: see csvText). First every dish's lines, its total row, its row per 100 g
// and its nutrition label row; then, after a blank line, the overview of all dishes. Figures the
// windows show are written as the windows show them.
namespace Export {

// A text as every CSV field writes it: without control characters other
// than TAB, and read by a spreadsheet as text, never as a formula (a field
// that begins with "=", "+", "-", "@", TAB or CR gets a leading apostrophe;
// a number, "-1.5" too, stays as it is).
QString csvText(const QString &text);

// One record: fields joined by commas, quoted as needed, ending in CR LF.
QByteArray csvRecord(const QStringList &fields);

// A number as the general decimal form writes it (NumberText::general).
QByteArray csvNumber(double value);

// Writes the document to `path` through a temporary file, a part at a time.
bool writeCsv(const QString &path, const std::vector<Dish> &dishes, QString *error);

} // namespace Export
