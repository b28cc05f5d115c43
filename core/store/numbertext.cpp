#include "core/store/numbertext.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>

namespace NumberText {

QString general(double value)
{
    if (!std::isfinite(value))
        return QString();
    if (value == 0)
        return QStringLiteral("0"); // also for -0
    // The 15 significant digits and the power of ten of the first one.
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
    QByteArray mantissa(buffer, 16); // d.dddddddddddddd
    mantissa.remove(1, 1);
    const int exponent = std::atoi(buffer + 17);
    while (mantissa.size() > 1 && mantissa.endsWith('0'))
        mantissa.chop(1);
    QByteArray text;
    if (exponent < 0) {
        text = "0." + QByteArray(-exponent - 1, '0') + mantissa;
    } else if (exponent + 1 >= mantissa.size()) {
        text = mantissa + QByteArray(exponent + 1 - mantissa.size(), '0');
    } else {
        text = mantissa.left(exponent + 1) + '.' + mantissa.mid(exponent + 1);
    }
    if (value < 0)
        text.prepend('-');
    return QString::fromLatin1(text);
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

double significant15(double value)
{
    if (!std::isfinite(value) || value == 0)
        return value;
    // The shortest round trip through 15 significant digits; to_chars and
    // from_chars round exactly as printf and strtod do, without the locale.
    char buffer[40];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    double read = value;
    std::from_chars(buffer, written.ptr, read);
    return read;
}

double floor15(double value)
{
    return std::floor(significant15(value));
}

double roundHalfUp(double value, int decimals)
{
    // 0.285 is 0.28499999999999998 as a double: taken at its 15 digits it is
    // the half it was written as, and rounds up. The scales are exact either
    // way; the table spares the start-up a call into the maths library.
    static constexpr double powersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const double scale = decimals >= 0 && decimals < int(std::size(powersOfTen))
                             ? powersOfTen[decimals]
                             : std::pow(10.0, decimals);
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
