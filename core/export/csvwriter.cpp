#include "core/export/csvwriter.h"

#include "core/dish/portion.h"
#include "core/export/nutritionlabel.h"
#include "core/export/sheettable.h"
#include "core/export/targetfile.h"
#include "core/store/numberreader.h"
#include "core/store/numbertext.h"

#include <QFile>
#include <charconv>
#include <cmath>
#include <cstring>
#include <unordered_map>

namespace Export {

namespace {

// Whether text reads as a number: such a field stays a number for the
// spreadsheet (a negative figure begins with "-" and is no formula).
bool isNumberText(const QString &text)
{
    qsizetype i = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    bool digit = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isDigit() && c.unicode() < 128)
            digit = true;
        else if (c != QLatin1Char('.') && c != QLatin1Char(','))
            return false;
    }
    return digit;
}

} // namespace

QString csvText(const QString &text)
{
    // Control characters (a line break, NUL, ESC) have no place in a name and
    // are not written; TAB is, as it is no harm inside a field.
    QString clean;
    clean.reserve(text.size() + 1);
    for (const QChar c : text)
        if (c == QLatin1Char('\t') || (c.category() != QChar::Other_Control && c != QChar(0x7F)))
            clean += c;
    // A spreadsheet takes a field beginning with one of these for a formula;
    // a leading apostrophe makes it read the field as text.
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (!clean.isEmpty() && formulaStarts.contains(clean.front()) && !isNumberText(clean))
        clean.prepend(QLatin1Char('\''));
    return clean;
}

namespace {

void appendField(QByteArray &out, const QString &text)
{
    const QByteArray field = csvText(text).toUtf8();
    if (field.contains(',') || field.contains('"')) {
        QByteArray quoted = field;
        quoted.replace("\"", "\"\"");
        out += '"' + quoted + '"';
    } else {
        out += field;
    }
}

// Writes the general decimal form straight into a buffer; false where that
// form is not plain decimal digits (see csvNumber) or where only the exact
// value can tell. The digits are those of the shortest decimal that reads
// back as the value, rounded half up to 15 significant digits: that is the
// value rounded to 15 digits, except when the shortest decimal lies exactly
// half way (16 digits ending in 5), which is left to the exact rounding.
bool plainNumber(double value, char (&buffer)[32], qsizetype *length)
{
    const double size = std::fabs(value);
    if (value == 0 || !(size >= 1e-4 && size < 1e15))
        return false;
    char shortest[40];
    const auto written =
        std::to_chars(shortest, shortest + sizeof shortest, size, std::chars_format::scientific);
    if (written.ec != std::errc())
        return false;
    char digits[20];
    int count = 0;
    const char *p = shortest;
    for (; p < written.ptr && *p != 'e'; ++p)
        if (*p != '.' && count < 20)
            digits[count++] = *p;
    if (p == written.ptr || count > 17)
        return false;
    int exponent = 0;
    if (std::from_chars(p + (p[1] == '+' ? 2 : 1), written.ptr, exponent).ec != std::errc())
        return false;
    if (count > 15) {
        if (count == 16 && digits[15] == '5')
            return false;
        const bool up = digits[15] >= '5';
        count = 15;
        if (up) {
            int i = 14;
            while (i >= 0 && digits[i] == '9')
                digits[i--] = '0';
            if (i < 0) {
                digits[0] = '1';
                ++exponent;
            } else {
                ++digits[i];
            }
        }
    }
    while (count > 1 && digits[count - 1] == '0')
        --count;
    if (exponent < -4 || exponent >= 15)
        return false;
    char *out = buffer;
    if (value < 0)
        *out++ = '-';
    if (exponent < 0) {
        *out++ = '0';
        *out++ = '.';
        for (int zero = -1; zero > exponent; --zero)
            *out++ = '0';
        for (int i = 0; i < count; ++i)
            *out++ = digits[i];
    } else {
        const int whole = exponent + 1;
        for (int i = 0; i < whole; ++i)
            *out++ = i < count ? digits[i] : '0';
        if (count > whole) {
            *out++ = '.';
            for (int i = whole; i < count; ++i)
                *out++ = digits[i];
        }
    }
    *length = out - buffer;
    return true;
}

void appendNumber(QByteArray &out, const std::optional<double> &value)
{
    if (!value)
        return;
    // Most figures are written without a value made for them.
    char buffer[32];
    qsizetype length = 0;
    if (plainNumber(*value, buffer, &length))
        out.append(buffer, length);
    else
        out += csvNumber(*value);
}

QStringList nutrientHeadings()
{
    QStringList headings;
    for (int i = 0; i < nutrientCount; ++i)
        headings << nutrientHeading(i);
    return headings;
}

// A food's name as it is written, kept for the food's other lines: the lines
// of one food share the name's text.
class NameBytes
{
public:
    const QByteArray &of(const QString &name)
    {
        auto at = m_bytes.find(name.constData());
        if (at == m_bytes.end() || at->second.first != name)
            at = m_bytes.insert_or_assign(name.constData(), std::pair{name, field(name)}).first;
        return at->second.second;
    }

private:
    static QByteArray field(const QString &text)
    {
        QByteArray out;
        appendField(out, text);
        return out;
    }
    // Keyed by the text's storage; the name is kept so the storage stays.
    std::unordered_map<const QChar *, std::pair<QString, QByteArray>> m_bytes;
};

// The label's columns after the nutrients: its basis, its five figures, its
// statement and note.
constexpr int labelColumns = 2 + labelItemCount;
const QByteArray noLabel(labelColumns, ',');

template <typename Value> void appendComponents(QByteArray &out, Value value)
{
    for (int c : extraComponents()) {
        out += ',';
        appendNumber(out, value(c));
    }
}

void appendDish(QByteArray &out, const Dish &dish, NameBytes &names)
{
    // Every row of the dish ends with its 人分 and finished weight.
    QByteArray portion = ",";
    appendNumber(portion, dish.servings);
    portion += ',';
    appendNumber(portion, dish.finishedGrams);
    portion += "\r\n";
    const QString key = QString::number(dish.key);
    // Every row of the dish begins with its number and name.
    QByteArray dishFields = key.toUtf8() + ',';
    appendField(dishFields, dish.name);
    dishFields += ',';
    // The lines are most of the file: written straight as bytes.
    const QByteArray head = dishFields + "明細,";
    for (const Line &line : dish.lines) {
        out += head;
        out += QByteArray::number(line.foodId);
        out += ',';
        out += names.of(line.foodName);
        out += ',';
        appendNumber(out, line.quantity);
        out += ',';
        appendField(out, line.unit);
        out += ',';
        appendNumber(out, line.grams);
        for (const std::optional<double> &amount : line.amounts) {
            out += ',';
            appendNumber(out, amount);
        }
        out += noLabel;
        appendComponents(out, [&](int c) { return lineComponent(line, c); });
        out += portion;
    }

    // The total row: the panel's weight, energy (whole kcal) and salt as it
    // rounds them, every other sum as the store adds it up; then the row per
    // 100 g (of the finished dish when it has a finished weight) and the row
    // of one serving at each nutrient's places.
    static const int energy = nutrientIndex("ENC");
    static const int salt = nutrientIndex("NAT");
    const DishTotals panel = dishTotals(dish.totals, dish.finishedGrams);
    out += dishFields + "合計,,,,,";
    appendNumber(out, panel.grams());
    for (int i = 0; i < nutrientCount; ++i) {
        out += ',';
        if (i == energy)
            appendNumber(out, panel.energy
                                  ? std::optional<double>(
                                        NumberText::roundHalfUp(std::fabs(*panel.energy), 0) *
                                        (*panel.energy < 0 ? -1 : 1))
                                  : std::nullopt);
        else if (i == salt)
            appendNumber(out, panel.roundedSalt());
        else
            appendNumber(out, dish.totals.sums[i]);
    }
    out += noLabel;
    appendComponents(out, [&](int c) { return dish.totals.components[c]; });
    out += portion;
    out += dishFields + "100g当たり,,,,,";
    for (int i = 0; i < nutrientCount; ++i) {
        out += ',';
        appendNumber(out, perHundredAtPlaces(dish.totals, i, dish.finishedGrams));
    }
    out += noLabel;
    appendComponents(
        out, [&](int c) { return componentPerHundred(dish.totals, c, dish.finishedGrams); });
    out += portion;
    out += dishFields + "1人分,,,,,";
    const std::optional<double> hundreds =
        Portion::hundreds(panel.grams().value_or(0), dish.finishedGrams);
    appendNumber(out, hundreds ? std::optional<double>(
                                     NumberText::roundHalfUp(*hundreds * 100 / dish.servings, 1))
                               : std::nullopt);
    for (int i = 0; i < nutrientCount; ++i) {
        out += ',';
        appendNumber(out, perServingAtPlaces(dish, i));
    }
    out += noLabel;
    appendComponents(out, [&](int c) { return componentPerServing(dish, c); });
    out += portion;

    // The label: its figures as numbers in their own columns ("-", a figure
    // that cannot be given, is left empty).
    const NutritionLabel label = nutritionLabel(dish);
    out += dishFields;
    appendField(out, labelTitle());
    out += QByteArray(6 + nutrientCount, ',');
    appendField(out, label.basis);
    for (const LabelRow &row : label.rows) {
        out += ',';
        appendNumber(out, NumberReader::number(row.figure));
    }
    out += ',';
    appendField(out, label.note.isEmpty() ? labelStatement()
                                          : labelStatement() + QLatin1Char(' ') + label.note);
    out += QByteArray(qsizetype(extraComponents().size()), ',');
    out += portion;
}

} // namespace

QByteArray csvRecord(const QStringList &fields)
{
    QByteArray out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        appendField(out, fields[i]);
    }
    out += "\r\n";
    return out;
}

QByteArray csvNumber(double value)
{
    // Between 1e-4 and 1e15 the shortest form of 15 significant digits is
    // the general decimal form, found without the C library's printf.
    char buffer[32];
    qsizetype length = 0;
    if (plainNumber(value, buffer, &length))
        return QByteArray(buffer, length);
    // Zero is common in the sums: its form is made once.
    if (value == 0) {
        static const QByteArray zero = NumberText::general(0.0).toLatin1();
        static const QByteArray negativeZero = NumberText::general(-0.0).toLatin1();
        return std::signbit(value) ? negativeZero : zero;
    }
    return NumberText::general(value).toLatin1();
}

namespace {

// The document is written out a part at a time, so that a large one is never
// held whole.
constexpr qsizetype partBytes = 1 << 20;

bool writeDocument(QFileDevice &file, const std::vector<Dish> &dishes)
{
    QByteArray out("\xEF\xBB\xBF");
    out.reserve(partBytes + 64 * 1024);
    auto flushed = [&](bool whenFull) {
        if (whenFull && out.size() < partBytes)
            return true;
        const bool ok = file.write(out) == out.size();
        out.truncate(0);
        return ok;
    };
    QStringList headings{QStringLiteral("料理番号"), QStringLiteral("料理名"),
                         QStringLiteral("区分"),     QStringLiteral("食品番号"),
                         QStringLiteral("食品名"),   QStringLiteral("数量"),
                         QStringLiteral("単位"),     QStringLiteral("重量(g)")};
    headings << nutrientHeadings() << QStringLiteral("表示の基準");
    for (const LabelRow &row : nutritionLabel(Totals{}, std::nullopt).rows)
        headings << QStringLiteral("表示 %1(%2)").arg(row.name, row.unit);
    headings << QStringLiteral("表示の注記");
    for (int c : extraComponents())
        headings << componentHeading(c);
    headings << QStringLiteral("人分") << QStringLiteral("出来上がり重量(g)");
    out += csvRecord(headings);
    NameBytes names;
    for (const Dish &dish : dishes) {
        appendDish(out, dish, names);
        if (!flushed(true))
            return false;
    }
    return flushed(false);
}

} // namespace

bool writeCsv(const QString &path, const std::vector<Dish> &dishes, QString *error)
{
    return TargetFile::write(
        path, [&](QFile &file, QString *) { return writeDocument(file, dishes); }, error);
}

bool writeTablesCsv(const QString &path, const std::vector<SheetTable> &tables, QString *error)
{
    return TargetFile::write(
        path,
        [&](QFile &file, QString *) {
            QByteArray out("\xEF\xBB\xBF");
            if (!tables.empty())
                out += csvRecord(tables.front().headings);
            for (const SheetTable &table : tables) {
                for (const std::vector<TableCell> &row : table.rows) {
                    for (size_t i = 0; i < row.size(); ++i) {
                        if (i > 0)
                            out += ',';
                        if (row[i].number)
                            appendNumber(out, row[i].number);
                        else
                            appendField(out, row[i].text);
                    }
                    out += "\r\n";
                }
                if (out.size() > partBytes) {
                    if (file.write(out) != out.size())
                        return false;
                    out.truncate(0);
                }
            }
            return file.write(out) == out.size();
        },
        error);
}

} // namespace Export
