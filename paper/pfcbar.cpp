#include "paper/pfcbar.h"

#include "core/store/numbertext.h"

#include <QPainter>
#include <algorithm>

namespace PfcBar {

void paint(QPainter &p, const QRectF &area, const NutrientSheet::Balance &balance,
           const QColor &base, const QColor &frame)
{
    p.save();
    const QRectF bar(area.left(), area.top(), area.width(), area.height() * 2 / 3);
    const double markStep = area.height() / 3 / 4;
    p.fillRect(bar, base);
    const std::optional<double> shares[] = {balance.shares.protein, balance.shares.fat,
                                            balance.shares.carbohydrate};
    const Intakes::Standard *goals[] = {&balance.goals.protein, &balance.goals.fat,
                                        &balance.goals.carbohydrate};
    static const QColor colours[] = {QColor(214, 90, 80), QColor(230, 180, 60),
                                     QColor(90, 140, 200)};
    static const char *letters[] = {"P", "F", "C"};
    const auto x = [&](double percent) { return bar.left() + bar.width() * percent / 100; };
    double from = 0;
    for (int i = 0; i < 3; ++i) {
        if (!shares[i] || *shares[i] <= 0)
            continue;
        const double share = std::min(*shares[i], 100.0 - from);
        const QRectF part(x(from), bar.top(), x(from + share) - x(from), bar.height());
        p.fillRect(part, colours[i]);
        p.setPen(Qt::black);
        p.drawText(part, Qt::AlignCenter,
                   QStringLiteral("%1 %2%")
                       .arg(QLatin1String(letters[i]))
                       .arg(NumberText::grouped(NumberText::roundHalfUp(*shares[i], 0), 0)));
        // The goal's range of this share, under its part of the bar.
        if (goals[i]->dgMin && goals[i]->dgMax) {
            const double y = bar.bottom() + markStep * (i + 1);
            p.setPen(QPen(colours[i].darker(130), markStep * 0.75));
            p.drawLine(QPointF(x(from + *goals[i]->dgMin), y),
                       QPointF(x(from + *goals[i]->dgMax), y));
        }
        from += share;
    }
    p.setPen(QPen(frame, 0));
    p.drawRect(bar);
    p.restore();
}

} // namespace PfcBar
