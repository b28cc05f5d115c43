#include "core/foods/foodrecord.h"

#include "core/app/nametext.h"
#include "core/nutrition/nutrients.h"
#include "core/search/kana.h"
#include "core/store/datasource.h"
#include "core/store/numberreader.h"
#include "core/store/queries.h"

#include <cmath>

namespace FoodRecord {

QString newFoodValueText()
{
    return QStringLiteral("0");
}

QString valueField(int index)
{
    return index >= 0 && index < valueCount ? QString(Nutrients::all[index].field) : QString();
}

QString valueCaption(int index)
{
    if (index < 0 || index >= valueCount)
        return QString();
    // The two carbohydrate rows share one label; the search's names tell
    // them apart.
    const Nutrients::Nutrient &nutrient = Nutrients::all[index];
    return (index == 4 || index == 5 ? nutrient.rankingName : nutrient.label).toString();
}

namespace {

// The largest value a box may hold per 100 g: 100 g of any gram component,
// 900 kcal (all fat), and for the minerals, vitamins and cholesterol ten
// times the largest value of the official table (2023 edition).
constexpr std::array<double, valueCount> largest{
    900,     // ENC kcal
    100,     // SUI g
    100,     // TAN g
    100,     // SST g
    100,     // TST g
    100,     // TSS g
    100,     // KBN g
    71000,   // CA mg
    37000,   // P mg
    1200,    // FE mg
    390000,  // NA mg
    250000,  // K mg
    370000,  // VAR μg
    430000,  // VAC μg
    1233340, // VAK IU
    650,     // VE mg
    88.1,    // VB1 mg
    63.8,    // VB2 mg
    690,     // NAI mg
    17000,   // VC mg
    100,     // FIB g
    23000,   // COL mg
    100,     // NAT g
};
// The boxes of what is solid in 100 g (protein, fat, carbohydrate, fibre,
// ash), which together weigh no more than 100 g.
constexpr std::array<int, 5> solids{2, 3, 4, 5, 6};

} // namespace

std::optional<Problem> check(const QString &name, const std::array<QString, valueCount> &values)
{
    if (name.isEmpty())
        return Problem{-1, QStringLiteral("食品名を入力してください")};
    const QString control = NameText::controlCharacterProblem(name, QStringLiteral("食品名"));
    if (!control.isEmpty())
        return Problem{-1, control};
    for (int i = 0; i < valueCount; ++i) {
        const QString &text = values[i];
        if (text.trimmed().isEmpty())
            continue; // no value
        const std::optional<double> number = NumberReader::number(text);
        if (number && std::isfinite(*number) && *number >= 0)
            continue;
        const QString what = number && std::isfinite(*number) ? QStringLiteral("0以上の数値")
                                                              : QStringLiteral("数値");
        return Problem{i, QStringLiteral("「%1」には%2を入力してください（入力された値:「%3」）。")
                              .arg(valueCaption(i), what, text)};
    }
    for (int i = 0; i < valueCount; ++i) {
        const std::optional<double> value = valueOf(values[i]);
        if (value && *value > largest[i])
            return Problem{i, tooLargeMessage(valueCaption(i), values[i].trimmed(), largest[i],
                                              Nutrients::all[i].unit.toString())};
    }
    double solid = 0;
    for (const int i : solids)
        solid += valueOf(values[i]).value_or(0);
    // A little over 100 g is the rounding of the parts.
    if (solid > 100.05)
        return Problem{solids.front(),
                       QStringLiteral("ﾀﾝﾊﾟｸ質・脂質・炭水化物・灰分の合計が %1 g で、100 g "
                                      "あたりとして 100 g を超えています。")
                           .arg(QString::number(solid))};
    return std::nullopt;
}

QString tooLargeMessage(const QString &what, const QString &typed, double limit,
                        const QString &unit)
{
    return QStringLiteral("「%1」の値%2は、100 g あたりとして大きすぎます（%3 %4 まで）。")
        .arg(what, typed, QString::number(limit), unit);
}

std::optional<double> valueOf(const QString &text)
{
    if (text.trimmed().isEmpty())
        return std::nullopt;
    return NumberReader::number(text);
}

int dishesUsing(const QString &connection, qint64 food)
{
    DataSource source;
    source.setConnectionString(connection);
    source.setRecordSource(Queries::dishesUsingFood(food));
    return source.refresh() && !source.eof() ? source.value(0, 0).toInt() : 0;
}

QString deletionQuestion(const QString &name, int dishes)
{
    const QString question = name + QStringLiteral("を削除します");
    if (dishes <= 0)
        return question;
    return question + QStringLiteral("\nこの食品は料理 %1 品で使われています。削除すると、"
                                     "その料理の行は表示されず、栄養量にも数えられなくなります。")
                          .arg(dishes);
}

QString readingToStore(const QString &typed)
{
    return Kana::toHalfWidth(typed);
}

} // namespace FoodRecord
