#include "core/store/numberreader.h"

#include "core/store/numbertext.h"

#include <QByteArray>
#include <QString>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace NumberReader {

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

QString folded(QStringView text)
{
    return NumberText::foldWidth(text.toString()).trimmed();
}

} // namespace

std::optional<double> number(QStringView text)
{
    const QString t = folded(text);
    const qsizetype n = t.size();
    qsizetype i = 0;
    QByteArray digits;
    if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        digits += t[i++].toLatin1();

    // The whole part: plain digits, or groups of three after a first group of
    // one to three digits.
    int run = 0;          // digits since the start or the last comma
    bool grouped = false; // a comma was seen
    bool whole = false;
    for (; i < n; ++i) {
        const QChar c = t[i];
        if (isAsciiDigit(c)) {
            digits += c.toLatin1();
            ++run;
            whole = true;
        } else if (c == QLatin1Char(',')) {
            if (run == 0 || (grouped ? run != 3 : run > 3))
                return std::nullopt;
            grouped = true;
            run = 0;
        } else {
            break;
        }
    }
    if (grouped && run != 3)
        return std::nullopt;

    bool fraction = false;
    if (i < n && t[i] == QLatin1Char('.')) {
        digits += '.';
        for (++i; i < n && isAsciiDigit(t[i]); ++i) {
            digits += t[i].toLatin1();
            fraction = true;
        }
    }
    if (i != n || (!whole && !fraction))
        return std::nullopt;
    errno = 0;
    const double value = std::strtod(digits.constData(), nullptr);
    if (!std::isfinite(value))
        return std::nullopt;
    return value == 0 ? 0.0 : value; // no "-0"
}

std::optional<double> quantity(QStringView text, bool *zeroDenominator)
{
    if (zeroDenominator)
        *zeroDenominator = false;
    QString t = folded(text);
    t.replace(QChar(0xFF0F), QLatin1Char('/')); // full-width solidus
    const qsizetype slash = t.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return number(t);

    const auto digitsOnly = [](QStringView part) {
        if (part.isEmpty() || part.size() > 15)
            return false;
        for (QChar c : part) {
            if (!isAsciiDigit(c))
                return false;
        }
        return true;
    };
    QStringView whole;
    QStringView numerator = QStringView(t).left(slash).trimmed();
    const qsizetype to = numerator.indexOf(QChar(0x3068)); // と
    if (to >= 0) {
        whole = numerator.left(to).trimmed();
        numerator = numerator.mid(to + 1).trimmed();
        if (!digitsOnly(whole))
            return std::nullopt;
    }
    const QStringView denominator = QStringView(t).mid(slash + 1).trimmed();
    if (!digitsOnly(numerator) || !digitsOnly(denominator))
        return std::nullopt;
    const double d = denominator.toDouble();
    if (d == 0) {
        if (zeroDenominator)
            *zeroDenominator = true;
        return std::nullopt;
    }
    const double value = (whole.isEmpty() ? 0.0 : whole.toDouble()) + numerator.toDouble() / d;
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

std::optional<qint64> key(QStringView text)
{
    const QString t = folded(text);
    qsizetype i = 0;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        ++i;
    if (i == t.size())
        return std::nullopt;
    for (qsizetype j = i; j < t.size(); ++j) {
        if (!isAsciiDigit(t[j]))
            return std::nullopt;
    }
    bool ok = false;
    const qint64 value = t.toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

} // namespace NumberReader
