#pragma once

#include "core/export/dishreport.h"

#include <QString>
#include <QStringView>
#include <array>
#include <optional>

// The nutrition label of packaged food for a dish: energy, protein, fat,
// carbohydrate and salt equivalent, in that order, per 100 g of dish or per
// serving of a given weight. Each figure is rounded half up to its place, and
// a content below the item's threshold per 100 g reads "0". Thresholds are
// those of the food labelling standard (食品表示基準, 別表第九: energy 5 kcal,
// protein, fat and carbohydrate 0.5 g, sodium 5 mg, that is 0.0127 g of salt
// at 2.54 g of salt per g of sodium); the places are those of the consumer
// agency's label examples (energy whole kcal, the rest one decimal), with
// salt below 0.1 g given to two decimals so that a small amount does not read
// as nothing.
namespace Export {

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

struct NutritionLabel
{
    QString basis; // "100g当たり" or "1食（250g）当たり"
    std::array<LabelRow, labelItemCount> rows;
    // Says which figures leave out foods without a value, or why the label
    // has no figures; empty when every figure is whole.
    QString note;
};

inline QString labelTitle()
{
    return QStringLiteral("栄養成分表示");
}

// The figure of one item: `amount` is the content per basis, `perHundred`
// the content per 100 g of dish (which decides "0").
QString labelFigure(LabelItem item, double amount, double perHundred);

// The label of a dish; servingGrams empty or not above 0 labels per 100 g.
NutritionLabel nutritionLabel(const Totals &totals, std::optional<double> servingGrams);

// The basis text for a serving weight ("1食（250g）当たり") or per 100 g.
QString labelBasis(std::optional<double> servingGrams);

} // namespace Export
