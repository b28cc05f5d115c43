#include "core/export/csvwriter.h"

#include "core/export/nutritionlabel.h"
#include "core/export/targetfile.h"
#include "core/store/numbertext.h"

#include <QFile>
#include <charconv>
#include <cmath>
#include <cstring>

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

void appendNumber(QByteArray &out, const std::optional<double> &value)
{
    if (value)
        out += csvNumber(*value);
}

QStringList nutrientHeadings()
{
    QStringList headings;
    for (int i = 0; i < nutrientCount; ++i)
        headings << nutrientHeading(i);
    return headings;
}

void appendDish(QByteArray &out, const Dish &dish, std::optional<double> servingGrams)
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
        appendField(out, line.foodName);
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
        if (i == nutrientIndex("ENC"))
            total << panel.energy;
        else if (i == nutrientIndex("NAT"))
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
    const double size = std::fabs(value);
    if (value != 0 && size >= 1e-4 && size < 1e15) {
        char buffer[32];
        const auto result =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
        if (result.ec == std::errc() && !std::memchr(buffer, 'e', result.ptr - buffer))
            return QByteArray(buffer, result.ptr - buffer);
    }
    return NumberText::general(value).toLatin1();
}

QByteArray csvDocument(const std::vector<Dish> &dishes, std::optional<double> servingGrams)
{
    QByteArray out("\xEF\xBB\xBF");
    size_t lines = 0;
    for (const Dish &dish : dishes)
        lines += dish.lines.size();
    out.reserve(qsizetype(lines * 200 + dishes.size() * 1000));
    out += csvRecord(QStringList{QStringLiteral("料理番号"), QStringLiteral("料理名"),
                                 QStringLiteral("区分"), QStringLiteral("食品番号"),
                                 QStringLiteral("食品名"), QStringLiteral("数量"),
                                 QStringLiteral("単位"), QStringLiteral("重量(g)")} +
                     nutrientHeadings());
    for (const Dish &dish : dishes)
        appendDish(out, dish, servingGrams);

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
    }
    return out;
}

bool writeCsv(const QString &path, const std::vector<Dish> &dishes,
              std::optional<double> servingGrams, QString *error)
{
    TargetFile target(path);
    if (!target.open(error))
        return false;
    const QByteArray document = csvDocument(dishes, servingGrams);
    QFile file(target.temporaryPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = target.failure(file.errorString());
        return false;
    }
    if (file.write(document) != document.size() || !file.flush()) {
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
