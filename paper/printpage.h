#pragma once

#include <QFont>
#include <QPageLayout>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QPagedPaintDevice;
class QPainter;

// What every printed page of the program is made with: its fonts, a painter
// that places texts and lines in millimetres of the page's content area, the
// run of pages on a printer or PDF writer, and PDF files written whole or not
// at all.
namespace PrintPage {

// The printed pages' Japanese font at a size in points.
QFont font(double points, bool bold = false);

// A column of a printed table: its left edge and width (mm) and how its
// texts are aligned.
struct Column
{
    double x, width;
    int align;
};
inline constexpr int alignLeft = Qt::AlignLeft | Qt::AlignVCenter;
inline constexpr int alignRight = Qt::AlignRight | Qt::AlignVCenter;

// Millimetres of the content area (inside the margins) to device units.
class Page
{
public:
    Page(QPainter &painter, QPagedPaintDevice *device, double contentWidthMm);
    double mm(double v) const { return v * m_perMm; }
    QRectF rect(double x, double y, double w, double h) const
    {
        return QRectF(mm(x), mm(y), mm(w), mm(h));
    }
    // One line of text in its box, cut with "…" when it is longer.
    void text(double x, double y, double w, double h, const QString &s, const QFont &f,
              int flags = Qt::AlignLeft | Qt::AlignVCenter);
    // Text wrapped at blanks within its box.
    void wrapped(double x, double y, double w, double h, const QString &s, const QFont &f);
    // The height (mm) a text takes wrapped to a width, broken anywhere (a
    // Japanese name has no blanks), at least `least`.
    double wrappedHeight(double w, const QString &s, const QFont &f, double least) const;
    // A text wrapped to its width, broken anywhere, nothing cut.
    void wrappedAnywhere(double x, double y, double w, double h, const QString &s, const QFont &f);
    void line(double x1, double y1, double x2, double y2);
    // One row of a table at y, each text in its column's box.
    void row(const std::vector<Column> &columns, double y, double h, const QStringList &texts,
             const QFont &f);
    QPainter &painter() { return m_painter; }

private:
    QPainter &m_painter;
    double m_perMm;
};

// Paints `pages` A4 pages in the orientation with even margins: the device
// is set up, then paintPage(page, i) draws page i, a new page begun before
// each but the first. False with a message when the device refuses.
bool paintPages(QPagedPaintDevice *device, QPageLayout::Orientation orientation, double marginMm,
                int pages, const std::function<void(Page &, int)> &paintPage, QString *error);

// Writes a PDF file (600 dpi, fonts embedded) through a temporary file:
// `paint` draws on the writer and says why it could not. A failure leaves
// any older file of that name as it was.
bool writePdf(const QString &path, const QString &title,
              const std::function<bool(QPagedPaintDevice *, QString *)> &paint, QString *error);

} // namespace PrintPage
