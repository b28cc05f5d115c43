#pragma once

#include "core/nutrition/dishcomponents.h"
#include "core/nutrition/intakes.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// 栄養成分一覧: every component of a dish in the table's order, for the whole
// dish, one serving and 100 g (of the finished dish when it has a finished
// weight), beside the day's standard of a person, the share of it and the
// judgement. The window and the paper show these rows as they are.
namespace NutrientSheet {

// What is judged against a day's standard: one serving, the whole dish as
// a day's intake (1日分), or 100 g of the dish (of the finished dish when it
// has a finished weight).
enum class Basis { Serving = 0, Dish = 1, Hundred = 2 };
// The texts of the choice, in the order of Basis: "1人分を1日の基準と", ...
QString basisText(Basis basis);

struct Row
{
    int component = 0;
    std::optional<double> total, serving, perHundredGrams;
    QStringList unknownFoods; // foods whose value the total leaves out
    Intakes::Standard standard;
    std::optional<double> ratio; // % of the standard's reference figure
    Intakes::Verdict verdict = Intakes::Verdict::None;
};

// One row per component (Components::all).
QList<Row> rows(const DishComponents::Totals &totals, double servings,
                std::optional<double> finishedGrams, const Intakes::Table &table,
                const Intakes::Person &person, Basis basis);

// A figure with the component's decimals ("1,234", "0.12"); empty for none.
QString figure(int component, std::optional<double> value);

// The energy-producing nutrient balance of the dish beside the person's goals.
struct Balance
{
    Intakes::Balance shares;                         // the same for the dish and any part of it
    std::optional<double> energyDish, energyServing; // kcal
    Intakes::BalanceGoals goals;
    Intakes::Verdict protein = Intakes::Verdict::None, fat = Intakes::Verdict::None,
                     carbohydrate = Intakes::Verdict::None;
};

Balance balance(const DishComponents::Totals &totals, double servings, const Intakes::Table &table,
                const Intakes::Person &person);

// "P 17.2 % (目標量 13～20)": a share and its goal; "-" for an unknown share.
QString shareText(const QString &letter, std::optional<double> share,
                  const Intakes::Standard &goal);
// The three shares P, F and C, each with its goal and its judgement.
QStringList shareTexts(const Balance &balance);

// The three shares with their goals and judgements:
// "P 17.2 %（目標量 13～20） 目標量の範囲内　F …　C …".
QString balanceText(const Balance &balance);

} // namespace NutrientSheet
