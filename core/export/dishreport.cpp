#include "core/export/dishreport.h"

#include "core/store/datasource.h"
#include "core/store/numbertext.h"

#include <QHash>
#include <cstring>
#include <functional>

namespace Export {

// clang-format off
const std::array<NutrientColumn, nutrientCount> nutrientColumns{{
    {"ENC", u"ｴﾈﾙｷﾞｰ", u"kcal"},   {"SUI", u"水分", u"g"},
    {"TAN", u"ﾀﾝﾊﾟｸ質", u"g"},     {"SST", u"脂質", u"g"},
    {"TST", u"糖質", u"g"},         {"TSS", u"繊維", u"g"},
    {"KBN", u"灰分", u"g"},         {"CA", u"ｶﾙｼｳﾑ", u"mg"},
    {"P", u"ﾘﾝ", u"mg"},            {"FE", u"鉄", u"mg"},
    {"NA", u"ﾅﾄﾘｳﾑ", u"mg"},        {"K", u"ｶﾘｳﾑ", u"mg"},
    {"VAR", u"ﾚﾁﾉｰﾙ", u"μg"},      {"VAC", u"ｶﾛﾁﾝ", u"μg"},
    {"VAK", u"ﾋﾞﾀﾐﾝA効力", u"IU"},  {"VE", u"ﾋﾞﾀﾐﾝE効力", u"mg"},
    {"VB1", u"ﾋﾞﾀﾐﾝB1", u"mg"},     {"VB2", u"ﾋﾞﾀﾐﾝB2", u"mg"},
    {"NAI", u"ﾅｲｱｼﾝ", u"mg"},       {"VC", u"ﾋﾞﾀﾐﾝC", u"mg"},
    {"FIB", u"食物繊維", u"g"},     {"COL", u"ｺﾚｽﾃﾛｰﾙ", u"mg"},
    {"NAT", u"食塩相当量", u"g"},
}};

const std::array<QStringView, 11> comparisonCaptions{
    u"基準身長", u"基準体重", u"ｴﾈﾙｷﾞｰ", u"ﾀﾝﾊﾟｸ質", u"ｶﾙｼｳﾑ", u"鉄",
    u"ﾋﾞﾀﾐﾝA", u"ﾋﾞﾀﾐﾝB1", u"ﾋﾞﾀﾐﾝB2", u"ﾅｲｱｼﾝ", u"ﾋﾞﾀﾐﾝC"};
const std::array<QStringView, 11> comparisonUnits{
    u"cm", u"kg", u"kcal", u"g", u"mg", u"mg", u"IU", u"mg", u"mg", u"mg", u"mg"};
// clang-format on

namespace {

// The compared food values (rows 2-10) and the standards' columns (rows 0-10).
constexpr const char *comparedFields[9] = {"ENC", "TAN", "CA",  "FE", "VAK",
                                           "VB1", "VB2", "NAI", "VC"};
constexpr const char *standardFields[11] = {"TAL", "WEI", "CAL", "TAN", "CA", "FE",
                                            "VA",  "VB1", "VB2", "NAI", "VC"};

std::optional<double> number(const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        return std::nullopt;
    bool ok = false;
    const double v = value.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return v;
}

// A store's sum as its holder box shows it: the 15-digit decimal form.
std::optional<double> held(const std::optional<double> &sum)
{
    if (!sum)
        return std::nullopt;
    return NumberText::significant15(*sum);
}

QString textOr(const std::optional<double> &value, const std::function<QString(double)> &form)
{
    return value ? form(*value) : QString();
}

bool run(DataSource &source, const QString &connection, const QString &sql, QString *error)
{
    source.setConnectionString(connection);
    source.setRecordSource(sql);
    if (!source.refresh()) {
        *error = source.errorString();
        return false;
    }
    source.fetchAll();
    if (!source.errorString().isEmpty()) {
        *error = source.errorString();
        return false;
    }
    return true;
}

QString dishFilter(const Selection &which, const char *column)
{
    if (which.all)
        return QString();
    return QStringLiteral(" AND (%1=%2)")
        .arg(QString::fromUtf8(column), QString::number(which.key));
}

} // namespace

int nutrientIndex(const char *field)
{
    for (int i = 0; i < nutrientCount; ++i) {
        if (std::strcmp(nutrientColumns[i].field, field) == 0)
            return i;
    }
    return -1;
}

QString attribution()
{
    return QStringLiteral(
        "出典：「日本食品標準成分表（八訂）増補2023年」（文部科学省）を加工して作成／"
        "「日本人の食事摂取基準（2025年版）」（厚生労働省）を加工して作成"
        "（一部の値は2020年版による）");
}

std::optional<double> perHundredGrams(const Totals &totals, int nutrient)
{
    const std::optional<double> weight = held(totals.lineWeight);
    const std::optional<double> sum = held(totals.sums[nutrient]);
    if (!weight || !sum || *weight == 0)
        return std::nullopt;
    return NumberText::roundHalfUp(*sum / *weight, 1);
}

PanelTexts panelTexts(const Totals &t)
{
    auto general = [](double v) { return NumberText::general(v); };
    auto per100 = [&](const char *field) {
        return textOr(perHundredGrams(t, nutrientIndex(field)), general);
    };
    PanelTexts p;
    p.weight = textOr(held(t.lineWeight), [](double w) { return NumberText::general(w * 100); });
    p.energy = textOr(held(t.sums[nutrientIndex("ENC")]),
                      [](double v) { return NumberText::grouped(v, 0); });
    p.salt = textOr(held(t.sums[nutrientIndex("NAT")]),
                    [](double v) { return NumberText::general(NumberText::roundHalfUp(v, 2)); });
    p.water = per100("SUI");
    p.protein = per100("TAN");
    p.fat = per100("SST");
    p.sugar = per100("TST");
    p.fibre = per100("TSS");
    p.ash = per100("KBN");
    return p;
}

ListTexts listTexts(const Totals &t)
{
    auto oneDecimal = [](double v) { return NumberText::grouped(v, 1); };
    return {textOr(t.listEnergy, oneDecimal), textOr(t.listWeight, oneDecimal),
            textOr(t.listSalt, [](double v) { return NumberText::general(v); })};
}

QString calculatedText(const Comparison &c, int element)
{
    if (element < 2 || element > 10)
        return QString();
    return textOr(c.calculated[element - 2], [](double v) { return NumberText::general(v); });
}

QString standardText(const Comparison &c, int element)
{
    if (element < 0 || element > 10)
        return QString();
    return textOr(c.standard[element], [](double v) { return NumberText::general(v); });
}

std::optional<qint64> findDish(const QString &connection, const QString &keyOrName, QString *error)
{
    DataSource dishes;
    if (!run(dishes, connection, QStringLiteral("SELECT ID, アイテム名 FROM mnu"), error))
        return std::nullopt;
    bool isKey = false;
    const qint64 key = keyOrName.trimmed().toLongLong(&isKey);
    const int rows = dishes.recordCount();
    if (isKey) {
        for (int row = 0; row < rows; ++row) {
            if (dishes.value(row, 0).toLongLong() == key)
                return key;
        }
    }
    for (int row = 0; row < rows; ++row) {
        if (dishes.value(row, 1).toString() == keyOrName)
            return dishes.value(row, 0).toLongLong();
    }
    *error = QStringLiteral("料理「%1」は見つかりません。").arg(keyOrName);
    return std::nullopt;
}

bool readDishes(const QString &connection, const Selection &which, int age, bool male,
                std::vector<Dish> *out, QString *error)
{
    out->clear();
    QString message;
    auto fail = [&] {
        out->clear();
        *error = message;
        return false;
    };

    // The dishes, in store order.
    DataSource dishes;
    QString dishSql = QStringLiteral("SELECT ID, アイテム名 FROM mnu");
    if (!which.all)
        dishSql += QStringLiteral(" WHERE ID=") + QString::number(which.key);
    if (!run(dishes, connection, dishSql, &message))
        return fail();
    QHash<qint64, int> indexOf;
    out->reserve(dishes.recordCount());
    for (int row = 0; row < dishes.recordCount(); ++row) {
        Dish dish;
        dish.key = dishes.value(row, 0).toLongLong();
        dish.name = dishes.value(row, 1).toString();
        dish.comparison.age = age;
        dish.comparison.male = male;
        indexOf.insert(dish.key, int(out->size()));
        out->push_back(std::move(dish));
    }

    // The lines whose food exists, in the order the recipe grid lists them.
    QString fields;
    for (const NutrientColumn &n : nutrientColumns)
        fields += QStringLiteral(",eys.") + QLatin1String(n.field);
    DataSource lines;
    if (!run(lines, connection,
             QStringLiteral(
                 "SELECT kou.アイテムCD,kou.食品コード,eys.SNM,kou.数量,kou.単位,kou.数量2") +
                 fields + QStringLiteral(" FROM kou,eys WHERE (kou.食品コード=eys.SID)") +
                 dishFilter(which, "kou.アイテムCD") +
                 QStringLiteral(" ORDER BY kou.アイテムCD,kou.ID"),
             &message))
        return fail();
    for (int row = 0; row < lines.recordCount(); ++row) {
        const auto at = indexOf.constFind(lines.value(row, 0).toLongLong());
        if (at == indexOf.constEnd())
            continue;
        Line line;
        line.foodId = lines.value(row, 1).toLongLong();
        line.foodName = lines.value(row, 2).toString();
        line.quantity = number(lines.value(row, 3));
        line.unit = lines.value(row, 4).toString();
        const std::optional<double> factor = number(lines.value(row, 5));
        if (factor)
            line.grams = *factor * 100;
        for (int i = 0; i < nutrientCount; ++i) {
            const std::optional<double> value = number(lines.value(row, 6 + i));
            if (factor && value)
                line.amounts[i] = *factor * *value;
        }
        (*out)[*at].lines.push_back(std::move(line));
    }

    // The weight of every line, whether or not its food exists.
    DataSource weights;
    if (!run(weights, connection,
             QStringLiteral("SELECT アイテムCD,sum(数量2) FROM kou WHERE 1") +
                 dishFilter(which, "アイテムCD") + QStringLiteral(" GROUP BY アイテムCD"),
             &message))
        return fail();
    for (int row = 0; row < weights.recordCount(); ++row) {
        const auto at = indexOf.constFind(weights.value(row, 0).toLongLong());
        if (at != indexOf.constEnd())
            (*out)[*at].totals.lineWeight = number(weights.value(row, 1));
    }

    // The sums, summed by the store as the windows' own queries sum them, and
    // the dish list's three figures.
    QString sums;
    for (const NutrientColumn &n : nutrientColumns) {
        sums += QStringLiteral(",Sum((kou.数量2) * (eys.%1)),sum(eys.%1 IS NULL)")
                    .arg(QLatin1String(n.field));
    }
    DataSource totals;
    if (!run(totals, connection,
             QStringLiteral("SELECT kou.アイテムCD,Sum(eys.ENC*kou.数量2),Sum(kou.数量2*100),"
                            "int(Sum(eys.NAT*kou.数量2)*100+0.5)/100") +
                 sums + QStringLiteral(" FROM kou,eys WHERE (kou.食品コード=eys.SID)") +
                 dishFilter(which, "kou.アイテムCD") + QStringLiteral(" GROUP BY kou.アイテムCD"),
             &message))
        return fail();
    for (int row = 0; row < totals.recordCount(); ++row) {
        const auto at = indexOf.constFind(totals.value(row, 0).toLongLong());
        if (at == indexOf.constEnd())
            continue;
        Totals &t = (*out)[*at].totals;
        t.listEnergy = number(totals.value(row, 1));
        t.listWeight = number(totals.value(row, 2));
        t.listSalt = number(totals.value(row, 3));
        for (int i = 0; i < nutrientCount; ++i) {
            t.sums[i] = number(totals.value(row, 4 + 2 * i));
            t.unknown[i] = totals.value(row, 5 + 2 * i).toLongLong() > 0;
        }
    }

    // The comparison: the nine sums rounded as the comparison window rounds
    // them (vitamin B2 first to the four decimals its holder shows).
    for (Dish &dish : *out) {
        for (int i = 0; i < 9; ++i) {
            std::optional<double> sum = held(dish.totals.sums[nutrientIndex(comparedFields[i])]);
            if (sum && i == 6)
                sum = NumberText::strict(NumberText::fixed(*sum, 4));
            if (sum)
                dish.comparison.calculated[i] = NumberText::roundHalfUp(*sum, 2);
        }
    }

    // The standard of the age and sex: the first row in table order.
    DataSource standards;
    QString columns;
    for (const char *field : standardFields)
        columns += QLatin1Char(',') + QLatin1String(field);
    if (!run(standards, connection,
             QStringLiteral("SELECT AGE,SEX") + columns + QStringLiteral(" FROM kij"), &message))
        return fail();
    for (int row = 0; row < standards.recordCount(); ++row) {
        const std::optional<double> a = number(standards.value(row, 0));
        const std::optional<double> s = number(standards.value(row, 1));
        if (!a || !s || *a != age || *s != (male ? 1 : 0))
            continue;
        std::array<std::optional<double>, 11> values;
        for (int i = 0; i < 11; ++i)
            values[i] = number(standards.value(row, 2 + i));
        for (Dish &dish : *out) {
            dish.comparison.standard = values;
            dish.comparison.standardFound = true;
        }
        break;
    }
    return true;
}

} // namespace Export
