#include "core/nutrition/components.h"

#include "core/store/numberreader.h"
#include "core/store/numbertext.h"

#include <cmath>

namespace Components {

int indexOf(QStringView code)
{
    for (int i = 0; i < count; ++i) {
        if (QString(all[i].code).compare(code, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

double fromField(int index, double fieldValue)
{
    return index == retinolActivity ? fieldValue * 3 / 10 : fieldValue;
}

double toField(int index, double value)
{
    return index == retinolActivity ? value * 10 / 3 : value;
}

Marker markerAt(const QString &markers, int index)
{
    if (index < 0 || index >= markers.size())
        return Marker::Unknown;
    switch (markers[index].toLatin1()) {
    case ' ':
        return Marker::Plain;
    case '(':
        return Marker::Estimated;
    case 'T':
        return Marker::Trace;
    case 't':
        return Marker::EstimatedTrace;
    case '*':
        return Marker::SeeRemarks;
    case '+':
        return Marker::Prescribed;
    default:
        return Marker::Unknown;
    }
}

QString markerText(const std::array<Marker, count> &markers)
{
    QString text(count, QLatin1Char(' '));
    for (int i = 0; i < count; ++i)
        text[i] = QLatin1Char(char(markers[i]));
    return text;
}

QString text(const Value &value, int index)
{
    if (!value.known())
        return value.marker == Marker::SeeRemarks ? QStringLiteral("*") : QStringLiteral("-");
    const int decimals = index >= 0 && index < count ? all[index].decimals : 1;
    switch (value.marker) {
    case Marker::Trace:
        return QStringLiteral("Tr");
    case Marker::EstimatedTrace:
        return QStringLiteral("(Tr)");
    case Marker::Estimated:
        return QLatin1Char('(') + NumberText::fixed(*value.number, decimals) + QLatin1Char(')');
    case Marker::Prescribed:
        return NumberText::fixed(*value.number, decimals) + QChar(0x2020);
    default:
        return NumberText::fixed(*value.number, decimals);
    }
}

std::optional<Value> parse(const QString &typed)
{
    QString t = NumberText::foldWidth(typed).trimmed();
    if (t.isEmpty() || t == QLatin1String("-") || t == QStringLiteral("－"))
        return Value{std::nullopt, Marker::Unknown};
    bool parenthesised = false;
    if (t.size() >= 2 && ((t.front() == QLatin1Char('(') && t.back() == QLatin1Char(')')) ||
                          (t.front() == QChar(0xFF08) && t.back() == QChar(0xFF09)))) {
        t = t.mid(1, t.size() - 2).trimmed();
        parenthesised = true;
    }
    if (t.compare(QLatin1String("Tr"), Qt::CaseInsensitive) == 0)
        return Value{0.0, parenthesised ? Marker::EstimatedTrace : Marker::Trace};
    const std::optional<double> number = NumberReader::number(t);
    if (!number || *number < 0 || !std::isfinite(*number))
        return std::nullopt;
    return Value{*number == 0 ? 0.0 : *number, parenthesised ? Marker::Estimated : Marker::Plain};
}

} // namespace Components
