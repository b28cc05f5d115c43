#pragma once

#include "core/export/dishreport.h"

#include <QByteArray>
#include <QStringList>
#include <optional>
#include <vector>

// The dishes as one CSV table for a spreadsheet: UTF-8 with a byte order
// mark, CR LF line ends, fields quoted when they hold a comma or a quote (a
// line break is never written: see csvText). One heading row, then for every dish its lines, its
// total row, its row per 100 g, its row per serving (1人分) and its nutrition label row, every
// row with the same columns: the dish, the kind of row (区分: 明細, 合計, 100g当たり, 1人分,
// 栄養成分表示), the food, quantity, unit and grams of a line, the 23 nutrients (units in the
// headings), then the label's basis, its five figures and its statement, then the food table's
// other 32 components in its order (the waste ratio the line's food's own; units in the
// headings), then the dish's 人分 and finished weight. Every figure is a number; the totals'
// weight, energy and salt are rounded as the panel rounds them, the rows per 100 g (of the
// finished dish when it has a finished weight) and per serving to each nutrient's and
// component's places.
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
