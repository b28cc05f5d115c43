#include "core/store/numbertext.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace NumberText {

QString general(double value)
{
    if (value == 0)
        return QStringLiteral("0"); // also for -0
    QString text = QString::number(value, 'g', 15);
    // Qt writes exponents as "e+20"; keep the plain form the boxes use
    // ("1E+20") for the rare very large or very small value.
    if (text.contains(QLatin1Char('e')))
        text = text.toUpper();
    return text;
}

QString foldWidth(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const ushort u = c.unicode();
        if (u >= 0xFF10 && u <= 0xFF19)
            out += QChar(u - 0xFF10 + '0');
        else if (u == 0xFF0E)
            out += QLatin1Char('.');
        else if (u == 0xFF0C)
            out += QLatin1Char(',');
        else if (u == 0xFF0D || u == 0x2212 || u == 0x30FC)
            out += u == 0x30FC ? c : QChar(QLatin1Char('-'));
        else if (u == 0xFF0B)
            out += QLatin1Char('+');
        else if (u == 0xFF25 || u == 0xFF45)
            out += QLatin1Char('E');
        else if (u == 0x3000)
            out += QLatin1Char(' ');
        else
            out += c;
    }
    return out;
}

static bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
           c == QLatin1Char('\r');
}

double leading(const QString &text)
{
    // Collect the longest prefix that forms a number, skipping blanks anywhere.
    const QString folded = foldWidth(text);
    QByteArray number;
    bool digits = false, point = false, exponent = false, expDigits = false;
    for (QChar c : folded) {
        if (isBlank(c))
            continue;
        const char a = c.toLatin1();
        if (a >= '0' && a <= '9') {
            number += a;
            if (exponent)
                expDigits = true;
            else
                digits = true;
        } else if ((a == '+' || a == '-') &&
                   (number.isEmpty() ||
                    (exponent && !expDigits && (number.endsWith('E') || number.endsWith('e'))))) {
            number += a;
        } else if (a == '.' && !point && !exponent) {
            number += a;
            point = true;
        } else if ((a == 'E' || a == 'e' || a == 'D' || a == 'd') && digits && !exponent) {
            number += 'E';
            exponent = true;
        } else {
            break;
        }
    }
    if (!digits)
        return 0;
    // A trailing exponent marker without digits does not belong to the number.
    while (exponent && !expDigits && !number.isEmpty() &&
           (number.endsWith('E') || number.endsWith('+') || number.endsWith('-'))) {
        number.chop(1);
        if (number.endsWith('E')) {
            number.chop(1);
            break;
        }
    }
    return std::strtod(number.constData(), nullptr);
}

std::optional<double> strict(const QString &text)
{
    const QString folded = foldWidth(text).trimmed();
    if (folded.isEmpty())
        return std::nullopt;
    QByteArray number;
    int i = 0;
    const int n = folded.size();
    if (folded[i] == QLatin1Char('+') || folded[i] == QLatin1Char('-'))
        number += folded[i++].toLatin1();
    bool digits = false;
    int groupDigits = -1; // digits since the last grouping comma, -1 before any
    for (; i < n; ++i) {
        const QChar c = folded[i];
        if (c.isDigit() && c.unicode() < 128) {
            number += c.toLatin1();
            digits = true;
            if (groupDigits >= 0)
                ++groupDigits;
        } else if (c == QLatin1Char(',') && digits) {
            if (groupDigits >= 0 && groupDigits != 3)
                return std::nullopt;
            groupDigits = 0;
        } else {
            break;
        }
    }
    if (groupDigits >= 0 && groupDigits != 3)
        return std::nullopt;
    if (i < n && folded[i] == QLatin1Char('.')) {
        number += '.';
        for (++i; i < n && folded[i].unicode() < 128 && folded[i].isDigit(); ++i) {
            number += folded[i].toLatin1();
            digits = true;
        }
    }
    if (!digits)
        return std::nullopt;
    if (i < n && (folded[i] == QLatin1Char('E') || folded[i] == QLatin1Char('e'))) {
        QByteArray exp = "E";
        int j = i + 1;
        if (j < n && (folded[j] == QLatin1Char('+') || folded[j] == QLatin1Char('-')))
            exp += folded[j++].toLatin1();
        bool expDigits = false;
        for (; j < n && folded[j].unicode() < 128 && folded[j].isDigit(); ++j) {
            exp += folded[j].toLatin1();
            expDigits = true;
        }
        if (!expDigits)
            return std::nullopt;
        number += exp;
        i = j;
    }
    if (i != n)
        return std::nullopt;
    const double value = std::strtod(number.constData(), nullptr);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

double significant15(double value)
{
    if (!std::isfinite(value) || value == 0)
        return value;
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return std::strtod(buffer, nullptr);
}

double floor15(double value)
{
    return std::floor(significant15(value));
}

double roundHalfUp(double value, int decimals)
{
    // 0.285 is 0.28499999999999998 as a double: taken at its 15 digits it is
    // the half it was written as, and rounds up.
    const double scale = std::pow(10.0, decimals);
    return floor15(value * scale + 0.5) / scale;
}

// Rounds the 15-digit decimal form of value to `decimals` places, halves away
// from zero, and returns the digits with a sign and a decimal point.
static QString roundedDecimal(double value, int decimals, bool group)
{
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.15g", std::fabs(value));
    QByteArray text(buffer);
    if (text.contains('e')) {
        std::snprintf(buffer, sizeof buffer, "%.*f", decimals + 1, std::strtod(buffer, nullptr));
        text = buffer;
    }
    const int pointAt = text.indexOf('.');
    const QByteArray intPart = pointAt < 0 ? text : text.left(pointAt);
    QByteArray frac = pointAt < 0 ? QByteArray() : text.mid(pointAt + 1);
    bool roundUp = frac.size() > decimals && frac[decimals] >= '5';
    frac = frac.left(decimals);
    while (frac.size() < decimals)
        frac += '0';
    QByteArray all = intPart + frac;
    if (roundUp) {
        int k = all.size() - 1;
        while (k >= 0) {
            if (all[k] == '9') {
                all[k] = '0';
                --k;
            } else {
                all[k] = char(all[k] + 1);
                break;
            }
        }
        if (k < 0)
            all.prepend('1');
    }
    QByteArray whole = all.left(all.size() - decimals);
    const QByteArray places = all.right(decimals);
    if (whole.isEmpty())
        whole = "0";
    // Strip leading zeros but keep one.
    while (whole.size() > 1 && whole[0] == '0')
        whole.remove(0, 1);
    if (group) {
        QByteArray out;
        for (int k = 0; k < whole.size(); ++k) {
            if (k > 0 && (whole.size() - k) % 3 == 0)
                out += ',';
            out += whole[k];
        }
        whole = out;
    }
    QString result = QString::fromLatin1(whole);
    if (decimals > 0)
        result += QLatin1Char('.') + QString::fromLatin1(places);
    const bool zero = !all.contains('1') && !all.contains('2') && !all.contains('3') &&
                      !all.contains('4') && !all.contains('5') && !all.contains('6') &&
                      !all.contains('7') && !all.contains('8') && !all.contains('9');
    if (value < 0 && !zero)
        result.prepend(QLatin1Char('-'));
    return result;
}

QString grouped(double value, int decimals)
{
    return roundedDecimal(value, decimals, true);
}

QString fixed(double value, int decimals)
{
    return roundedDecimal(value, decimals, false);
}

} // namespace NumberText
