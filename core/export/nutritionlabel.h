#pragma once

#include "core/export/dishreport.h"

#include <QString>
#include <QStringView>
#include <array>
#include <optional>

// The nutrition label of packaged food for a dish: energy, protein, fat,
// carbohydrate and salt equivalent, in that order, per 100 g of dish or per
// serving of a given weight, as the food labelling standard (食品表示基準,
// 平成27年内閣府令第10号) and the consumer agency's guideline for nutrition
// labels (消費者庁「食品表示法に基づく栄養成分表示のためのガイドライン」) ask:
// - salt equivalent is sodium x 2.54 / 1000 (g from mg); a food that gives
//   its salt equivalent but no sodium (a user's food typed from a package's
//   label) counts the sodium of that salt;
// - a content per 100 g below the item's threshold (別表第九: energy 5 kcal,
//   protein, fat and carbohydrate 0.5 g, sodium 5 mg) reads "0";
// - each figure is rounded half up to its place: energy whole kcal, the rest
//   one decimal, salt below 0.1 g two decimals;
// - a figure that would round to nothing while the content per 100 g is at or
//   above the threshold (a small serving) is given to one significant figure;
// - energy is counted by the labelling method (修正アトウォーター法, as
//   「食品表示基準について」（平成27年消食表第139号）別添 栄養成分等の分析方法等
//   gives it): protein 4, fat 9 and carbohydrate 4 kcal/g, and alcohol, which
//   the food table keeps out of its 炭水化物, 7 kcal/g where the table gives
//   it; organic acids count as the table counts them, inside its 炭水化物
//   (the acetic acid of vinegars, which the table keeps out, is not counted);
// - carbohydrate is the table's own 炭水化物 (for a user's food without one,
//   its 糖質 plus fibre);
// - values computed from a food table are said to be estimates.
namespace Export {

// kcal per gram of each part the label's energy is counted from.
struct EnergyFactors
{
    double protein, fat, carbohydrate, alcohol;
};
inline constexpr EnergyFactors energyFactors{4, 9, 4, 7};

enum class LabelItem { Energy, Protein, Fat, Carbohydrate, Salt };
inline constexpr int labelItemCount = 5;

struct LabelRow
{
    LabelItem item;
    QStringView name;     // 熱量, たんぱく質 ...
    QStringView unit;     // kcal, g
    QString figure;       // "123", "0", "2.5"; "-" when it cannot be given
    bool unknown = false; // a food of the dish has no value for it
};

// The weight a dish is divided by for its per-100 g figures: the finished
// weight where one is given, else the weight of its lines; nothing when that
// is not above 0.
std::optional<double> dishGrams(const Totals &totals, std::optional<double> finishedGrams);

// The grams of one label's basis for a dish of that weight and servings:
// 100, the 1食 weight, or the dish's weight / 人分; nothing when it cannot be
// given (1人分 of a dish without weight).
std::optional<double> basisGrams(const LabelBasis &basis, std::optional<double> dishWeight,
                                 double servings);

struct NutritionLabel
{
    QString basis; // "100g当たり", "1食（250g）当たり" or "1人分（240g）当たり"
    std::array<LabelRow, labelItemCount> rows;
    // Says which figures leave out foods without a value, or why the label
    // has no figures; empty when every figure is whole.
    QString note;
};

inline QString labelTitle()
{
    return QStringLiteral("栄養成分表示");
}

// The statement every label carries: its values are computed, not analysed.
inline QString labelStatement()
{
    return QStringLiteral("この表示値は、目安です。");
}

// The figure of one item: `amount` is the content per basis in the label's
// unit (g of salt for salt), `perHundred` the content per 100 g of dish in the
// unit of the item's "0" threshold (mg of sodium for salt).
QString labelFigure(LabelItem item, double amount, double perHundred);

// The label of a dish of raw weight (no finished weight, one serving);
// servingGrams empty or not above 0 labels per 100 g.
NutritionLabel nutritionLabel(const Totals &totals, std::optional<double> servingGrams);
// The label of a dish written for `servings` people, with its finished
// weight where one is given, on the basis given.
NutritionLabel nutritionLabel(const Totals &totals, const LabelBasis &basis, double servings,
                              std::optional<double> finishedGrams);
// The label of a dish on the basis stored with it.
NutritionLabel nutritionLabel(const Dish &dish);

// The basis text: "100g当たり", "1食（250g）当たり", "1人分（240g）当たり";
// grams is the basis's weight (basisGrams).
QString labelBasis(const LabelBasis &basis, std::optional<double> grams);
// The text of a serving weight ("1食（250g）当たり") or per 100 g.
QString labelBasis(std::optional<double> servingGrams);

// The label basis stored with a dish: per 100 g also for a dish never
// labelled, or a store made before bases were kept.
LabelBasis storedBasis(const QString &connection, qint64 dish);
// Stores the basis with the dish; false with a message when it cannot.
bool storeBasis(const QString &connection, qint64 dish, const LabelBasis &basis, QString *error);

} // namespace Export
