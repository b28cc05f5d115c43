#include "paper/printpage.h"

#include "core/export/targetfile.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

namespace PrintPage {

QFont font(double points, bool bold)
{
    QFont f(QStringLiteral("IPAPGothic"));
    f.setFamilies({QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

Page::Page(QPainter &painter, QPagedPaintDevice *device, double contentWidthMm)
    : m_painter(painter)
    , m_perMm(device->width() / contentWidthMm)
{
}

void Page::text(double x, double y, double w, double h, const QString &s, const QFont &f, int flags)
{
    m_painter.setFont(f);
    m_painter.drawText(rect(x, y, w, h), flags | Qt::TextSingleLine,
                       QFontMetricsF(f, m_painter.device()).elidedText(s, Qt::ElideRight, mm(w)));
}

void Page::wrapped(double x, double y, double w, double h, const QString &s, const QFont &f)
{
    m_painter.setFont(f);
    m_painter.drawText(rect(x, y, w, h), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, s);
}

double Page::wrappedHeight(double w, const QString &s, const QFont &f, double least) const
{
    const QRectF bounds =
        QFontMetricsF(f, m_painter.device())
            .boundingRect(QRectF(0, 0, mm(w), 1e9), Qt::AlignLeft | Qt::TextWrapAnywhere, s);
    return std::max(least, bounds.height() / m_perMm + 0.8);
}

void Page::wrappedAnywhere(double x, double y, double w, double h, const QString &s, const QFont &f)
{
    m_painter.setFont(f);
    m_painter.drawText(rect(x, y, w, h), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWrapAnywhere,
                       s);
}

void Page::row(const std::vector<Column> &columns, double y, double h, const QStringList &texts,
               const QFont &f)
{
    for (size_t c = 0; c < columns.size() && c < size_t(texts.size()); ++c)
        text(columns[c].x, y, columns[c].width, h, texts[c], f, columns[c].align);
}

void Page::line(double x1, double y1, double x2, double y2)
{
    m_painter.drawLine(QPointF(mm(x1), mm(y1)), QPointF(mm(x2), mm(y2)));
}

bool paintPages(QPagedPaintDevice *device, QPageLayout::Orientation orientation, double marginMm,
                int pages, const std::function<void(Page &, int)> &paintPage, QString *error)
{
    const QPageLayout layout(QPageSize(QPageSize::A4), orientation,
                             QMarginsF(marginMm, marginMm, marginMm, marginMm),
                             QPageLayout::Millimeter);
    device->setPageLayout(layout);
    QPainter painter;
    if (!painter.begin(device)) {
        *error = QStringLiteral("印刷を始められません。");
        return false;
    }
    Page page(painter, device, layout.paintRect(QPageLayout::Millimeter).width());
    for (int i = 0; i < pages; ++i) {
        if (i > 0 && !device->newPage()) {
            *error = QStringLiteral("次のページを始められません。");
            painter.end();
            return false;
        }
        paintPage(page, i);
    }
    if (!painter.end()) {
        *error = QStringLiteral("ページを書き終えられません。");
        return false;
    }
    return true;
}

bool writePdf(const QString &path, const QString &title,
              const std::function<bool(QPagedPaintDevice *, QString *)> &paint, QString *error)
{
    return TargetFile::write(
        path,
        [&](QFile &file, QString *reason) {
            QPdfWriter writer(&file);
            writer.setResolution(600);
            writer.setCreator(QStringLiteral("ゼント"));
            writer.setTitle(title);
            return paint(&writer, reason);
        },
        error);
}

} // namespace PrintPage
