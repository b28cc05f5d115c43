#pragma once

#include "core/menu/menuplan.h"

#include <QString>

class QPagedPaintDevice;

// The printed 献立表: a week per A4 landscape page, the days across and the
// meals down, each dish with its portion, each day's energy, protein, fat,
// carbohydrate and salt under it, the average per day at the foot and the
// attribution of the reference data. The printer, the preview and PDF files
// share the painting.
namespace MenuSheet {

inline constexpr int daysPerPage = 7;

bool paint(QPagedPaintDevice *device, const Menus::Plan &plan, QString *error);
// Writes the pages as a PDF file through a temporary file.
bool writePdf(const QString &path, const Menus::Plan &plan, QString *error);

// The nutrient report (栄養量報告): an A4 portrait page per day and one for
// the period's average per day, every component of the food table beside
// the person's standard, the 充足率 and the 判定, then the energy balance.
bool paintReport(QPagedPaintDevice *device, const Menus::Plan &plan, QString *error);
bool writeReportPdf(const QString &path, const Menus::Plan &plan, QString *error);

} // namespace MenuSheet
