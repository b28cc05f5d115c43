#pragma once

#include "core/export/dishreport.h"
#include "core/export/nutritionlabel.h"

#include <QRectF>
#include <optional>
#include <vector>

class QPagedPaintDevice;
class QPainter;

// The printed report of dishes: one A4 page per dish with its name, the recipe
// lines with their grams, the figures of the totals panel, the comparison
// table for the chosen age and sex beside the radar chart (the comparison
// window's own geometry), the nutrition label as a box and the attribution
// of the reference data at the foot; for a dish given a person's 栄養成分一覧
// (Export::Dish::sheet), a second page with it: every component of the dish
// beside that person's standards and the energy balance with its bar. The
// same painting serves the printer, the print preview and PDF files.
namespace ReportPage {

struct Options
{
    bool labelOnly = false; // a page holds the dish's label alone
};

// Paints the pages of every dish on a paged device (a printer or a PDF writer) set
// to A4. Returns false with a message when the device cannot be painted on.
bool paint(QPagedPaintDevice *device, const std::vector<Export::Dish> &dishes,
           const Options &options, QString *error);

// The label box within `box` (device units).
void paintLabel(QPainter &painter, const QRectF &box, const Export::NutritionLabel &label);

// Writes the pages as a PDF file, with its fonts embedded, through a
// temporary file.
bool writePdf(const QString &path, const std::vector<Export::Dish> &dishes, const Options &options,
              QString *error);

} // namespace ReportPage
