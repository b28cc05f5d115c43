#include "core/export/csvwriter.h"

#include "core/export/nutritionlabel.h"
#include "core/export/targetfile.h"
#include "core/store/numbertext.h"

#include <QFile>
#include <charconv>
#include <cmath>
#include <cstring>
#include <unordered_map>

namespace Export {

namespace {

QString general(const std::optional<double> &value)
{
    return value ? QString::fromLatin1(csvNumber(*value)) : QString();
}

void appendField(QByteArray &out, const QString &text)
{
    const QByteArray field = text.toUtf8();
    if (field.contains(',') || field.contains('"') || field.contains('\n') ||
        field.contains('\r')) {
        QByteArray quoted = field;
        quoted.replace("\"", "\"\"");
        out += '"' + quoted + '"';
    } else {
        out += field;
    }
}

// Writes the general decimal form straight into a buffer; false where that
// form is not the shortest of 15 significant digits (see csvNumber).
bool plainNumber(double value, char (&buffer)[32], qsizetype *length)
{
    const double size = std::fabs(value);
    if (value == 0 || size < 1e-4 || size >= 1e15)
        return false;
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    if (result.ec != std::errc() || std::memchr(buffer, 'e', result.ptr - buffer))
        return false;
    *length = result.ptr - buffer;
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

void appendDish(QByteArray &out, const Dish &dish, std::optional<double> servingGrams,
                NameBytes &names)
{
    const QString key = QString::number(dish.key);
    // The lines are most of the file: written straight as bytes.
    QByteArray head = key.toUtf8() + ',';
    appendField(head, dish.name);
    head += ",明細,";
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
        out += "\r\n";
    }

    // The total row: the panel's weight, energy and salt as it shows them,
    // every other sum as the store adds it up.
    const PanelTexts panel = panelTexts(dish.totals);
    QStringList total{key,       dish.name,   QStringLiteral("合計"),
                      QString(), QString(),   QString(),
                      QString(), panel.weight};
    QStringList perHundred{key,       dish.name, QStringLiteral("100g当たり"),
                           QString(), QString(), QString(),
                           QString(), QString()};
    for (int i = 0; i < nutrientCount; ++i) {
        static const int energy = nutrientIndex("ENC");
        static const int salt = nutrientIndex("NAT");
        if (i == energy)
            total << panel.energy;
        else if (i == salt)
            total << panel.salt;
        else
            total << general(dish.totals.sums[i]);
        perHundred << general(perHundredGrams(dish.totals, i));
    }
    out += csvRecord(total);
    out += csvRecord(perHundred);

    const NutritionLabel label = nutritionLabel(dish.totals, servingGrams);
    QStringList labelRow{key, dish.name, labelTitle(), label.basis};
    for (const LabelRow &row : label.rows)
        labelRow << row.name.toString() + QLatin1Char(' ') + row.figure + row.unit.toString();
    labelRow << label.note;
    out += csvRecord(labelRow);
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
    return NumberText::general(value).toLatin1();
}

namespace {

// The document is written out a part at a time, so that a large one is never
// held whole.
constexpr qsizetype partBytes = 1 << 20;

bool writeDocument(QFileDevice &file, const std::vector<Dish> &dishes,
                   std::optional<double> servingGrams)
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
    out += csvRecord(QStringList{QStringLiteral("料理番号"), QStringLiteral("料理名"),
                                 QStringLiteral("区分"), QStringLiteral("食品番号"),
                                 QStringLiteral("食品名"), QStringLiteral("数量"),
                                 QStringLiteral("単位"), QStringLiteral("重量(g)")} +
                     nutrientHeadings());
    NameBytes names;
    for (const Dish &dish : dishes) {
        appendDish(out, dish, servingGrams, names);
        if (!flushed(true))
            return false;
    }

    // The overview: the dish list's energy, weight and salt, then every sum.
    out += "\r\n";
    out += csvRecord(QStringList{QStringLiteral("料理番号"), QStringLiteral("料理名"),
                                 QStringLiteral("ｴﾈﾙｷﾞｰ(kcal)"), QStringLiteral("合計重量(g)"),
                                 QStringLiteral("食塩量(g)")} +
                     nutrientHeadings());
    for (const Dish &dish : dishes) {
        const ListTexts list = listTexts(dish.totals);
        QStringList fields{QString::number(dish.key), dish.name, list.energy, list.weight,
                           list.salt};
        for (const std::optional<double> &sum : dish.totals.sums)
            fields << general(sum);
        out += csvRecord(fields);
        if (!flushed(true))
            return false;
    }
    return flushed(false);
}

} // namespace

bool writeCsv(const QString &path, const std::vector<Dish> &dishes,
              std::optional<double> servingGrams, QString *error)
{
    TargetFile target(path);
    if (!target.open(error))
        return false;
    QFile file(target.temporaryPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = target.failure(file.errorString());
        return false;
    }
    if (!writeDocument(file, dishes, servingGrams) || !file.flush()) {
        *error = target.failure(file.errorString());
        return false;
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        *error = target.failure(file.errorString());
        return false;
    }
    return target.commit(error);
}

} // namespace Export
