#include "core/export/dishreport.h"

#include "core/nutrition/comparison.h"
#include "core/store/datasource.h"
#include "core/store/numberreader.h"
#include "core/store/numbertext.h"
#include "core/store/queries.h"

#include <QHash>
#include <cstring>
#include <functional>

namespace Export {

// clang-format off
const std::array<QStringView, 11> comparisonUnits{
    u"cm", u"kg", u"kcal", u"g", u"mg", u"mg", u"IU", u"mg", u"mg", u"mg", u"mg"};
// clang-format on

namespace {

// The compared food values (rows 2-10) and the standards' columns (rows 0-10).
constexpr const char *comparedFields[9] = {"ENC", "TAN", "CA",  "FE", "VAK",
                                           "VB1", "VB2", "NAI", "VC"};

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

std::optional<qint64> only(const Selection &which)
{
    return which.all ? std::nullopt : std::optional<qint64>(which.key);
}

} // namespace

int nutrientIndex(const char *field)
{
    const QLatin1StringView name(field);
    for (int i = 0; i < nutrientCount; ++i) {
        if (Nutrients::all[i].field == name)
            return i;
    }
    return -1;
}

QString nutrientHeading(int nutrient)
{
    const Nutrients::Nutrient &n = Nutrients::all[nutrient];
    // The food editor leaves the fibre row's caption to the row above; the
    // food search names every ranked value in full.
    const QStringView name = n.rankingName.isEmpty() ? n.label : n.rankingName;
    return name.toString() + QLatin1Char('(') + n.unit.toString() + QLatin1Char(')');
}

QString attribution()
{
    return QStringLiteral(
        "出典：「日本食品標準成分表（八訂）増補2023年」（文部科学省）を加工して作成／"
        "「日本人の食事摂取基準（2025年版）」（厚生労働省）を加工して作成"
        "（一部の値は2020年版による）");
}

DishTotals dishTotals(const Totals &t)
{
    auto sum = [&](const char *field) { return t.sums[nutrientIndex(field)]; };
    DishTotals d;
    d.weightFactorSum = t.lineWeight;
    d.energy = sum("ENC");
    d.water = sum("SUI");
    d.protein = sum("TAN");
    d.fat = sum("SST");
    d.sugar = sum("TST");
    d.fibre = sum("TSS");
    d.ash = sum("KBN");
    d.salt = sum("NAT");
    return d;
}

std::optional<double> perHundredGrams(const Totals &totals, int nutrient)
{
    return dishTotals(totals).perHundredGrams(totals.sums[nutrient]);
}

PanelTexts panelTexts(const Totals &t)
{
    return totalsText(dishTotals(t));
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
    if (!run(dishes, connection, Queries::exportDishes(std::nullopt), error))
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
    if (!run(dishes, connection, Queries::exportDishes(only(which)), &message))
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
    DataSource lines;
    if (!run(lines, connection, Queries::exportLines(only(which)), &message))
        return fail();
    // Each dish's lines are counted first, so that its list is made once.
    std::vector<int> lineCounts(out->size());
    for (int row = 0; row < lines.recordCount(); ++row) {
        const auto at = indexOf.constFind(lines.value(row, 0).toLongLong());
        if (at != indexOf.constEnd())
            ++lineCounts[*at];
    }
    for (size_t i = 0; i < out->size(); ++i)
        (*out)[i].lines.reserve(lineCounts[i]);
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
    if (!run(weights, connection, Queries::exportWeights(only(which)), &message))
        return fail();
    for (int row = 0; row < weights.recordCount(); ++row) {
        const auto at = indexOf.constFind(weights.value(row, 0).toLongLong());
        if (at != indexOf.constEnd())
            (*out)[*at].totals.lineWeight = number(weights.value(row, 1));
    }

    // The sums, summed by the store as the windows' own queries sum them, and
    // the dish list's three figures.
    DataSource totals;
    if (!run(totals, connection, Queries::exportSums(only(which)), &message))
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
    // them.
    for (Dish &dish : *out) {
        for (int i = 0; i < 9; ++i) {
            const int row = ::Comparison::firstSumRow + i;
            dish.comparison.calculated[i] = ::Comparison::calculatedValue(
                row, dish.totals.sums[nutrientIndex(comparedFields[i])]);
        }
    }

    // The standard of the age and sex: the first row in table order.
    DataSource standards;
    if (!run(standards, connection, Queries::exportStandards(), &message))
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
