#pragma once

#include "core/dish/dishsession.h"
#include "core/nutrition/components.h"
#include "core/nutrition/dishcomponents.h"
#include "core/nutrition/intakes.h"
#include "core/nutrition/nutrients.h"
#include "core/nutrition/nutrientsheet.h"

#include <QString>
#include <QStringView>
#include <array>
#include <memory>
#include <optional>
#include <vector>

// What leaves the program about a dish: its lines with every nutrient, the
// totals as the main window's panel shows them, the dish list's figures and
// the comparison with one person's standard. The CSV and Excel writers, the
// printed page and the command-line tool all read this model; it is read
// from the store once, so every output of one export shows the same figures.
namespace Export {

// The food values a line carries, in the nutrient table's order.
inline constexpr int nutrientCount = Nutrients::count;
// Index of a field in the nutrient table; -1 for another name.
int nutrientIndex(const char *field);
// A column heading: the nutrient's name and unit, "ﾀﾝﾊﾟｸ質(g)".
QString nutrientHeading(int nutrient);

using Amounts = std::array<std::optional<double>, nutrientCount>;
// Every component of the food table (Components::all), each in its own unit
// (vitamin A in µgRAE); an unknown value stays unknown.
using ComponentValues = std::array<std::optional<double>, Components::count>;

// One ingredient line: the food's amount in the dish (数量2 x value per
// 100 g); an unknown food value stays unknown.
struct Line
{
    qint64 foodId = 0;
    QString foodName;
    std::optional<double> quantity;
    QString unit;
    std::optional<double> grams; // 数量2 x 100
    Amounts amounts;
    // The food's every component per 100 g, shared by the lines of a food;
    // null only for a line made by hand.
    std::shared_ptr<const ComponentValues> per100;
    // The amount of component c in the line: nothing when the food lacks it
    // or the line has no weight (the waste ratio is no amount: nothing).
    std::optional<double> component(int c) const;
};

// The sums of a dish. `lineWeight` covers every line, as the panel's weight
// does; the nutrient sums and `unknown` cover the lines whose food exists.
struct Totals
{
    std::optional<double> lineWeight; // sum of 数量2 over all lines (100 g units)
    Amounts sums;                     // null when no line has a value
    // Per nutrient: some line's food has no value (its sum leaves it out).
    std::array<bool, nutrientCount> unknown{};
    // The dish list's row: only lines whose food exists; salt rounded.
    std::optional<double> listEnergy;
    std::optional<double> listWeight; // grams
    std::optional<double> listSalt;
    // Every component summed over the lines whose food exists (the waste
    // ratio is not summed); those the value fields hold are the sums above.
    ComponentValues components;
    std::array<bool, Components::count> componentUnknown{};
    // The label's carbohydrate, line by line: the table's 炭水化物, or for a
    // food without it (one of the user's own) its 糖質 plus fibre.
    std::optional<double> labelCarbohydrate;
    bool labelCarbohydrateUnknown = false;
    // The label's sodium (mg), line by line: the food's sodium, or for a
    // food that gives its salt equivalent but no sodium (one typed from a
    // package's label) the sodium of that salt.
    std::optional<double> labelSodium;
    bool labelSodiumUnknown = false;
    // Lines whose food was deleted: their weight counts in lineWeight, their
    // nutrients in no sum.
    int linesWithoutFood = 0;
};

// The nine compared nutrients and the standard of one age and sex.
struct Comparison
{
    int age = 20;
    bool male = true;
    // Sums of ENC, TAN, CA, FE, VAK, VB1, VB2, NAI, VC, rounded as the
    // comparison window shows them; null for a dish without such values.
    std::array<std::optional<double>, 9> calculated;
    // TAL, WEI, CAL, TAN, CA, FE, VA, VB1, VB2, NAI, VC of the first kij row
    // of that age and sex; all null when there is none.
    std::array<std::optional<double>, 11> standard;
    bool standardFound = false;
    // The full scales of the chart's nine axes, the comparison window's own.
    std::array<double, 9> chartScales{};
};

// The person and the basis the 栄養成分一覧 of an export judges by, and the
// intake standards it looks them up in; one for all the dishes of an export.
struct SheetChoice
{
    Intakes::Person person;
    NutrientSheet::Basis basis = NutrientSheet::Basis::Serving;
    Intakes::Table table;
};

// What a label's figures are given for, chosen per dish and stored with it:
// 100 g of dish (of the finished dish when it has a finished weight), one
// serving of a weight typed for the label (1食), or one of the servings the
// recipe is written for (1人分: the finished weight, or else the weight of
// the lines, divided by the dish's 人分).
struct LabelBasis
{
    enum class Kind { Hundred = 0, Meal = 1, Person = 2 };
    Kind kind = Kind::Hundred;
    std::optional<double> grams; // the 1食 weight (Kind::Meal only)
    static LabelBasis meal(double g) { return {Kind::Meal, g}; }
    static LabelBasis person() { return {Kind::Person, std::nullopt}; }
    bool operator==(const LabelBasis &) const = default;
};

// A label basis as the store keeps it (hyj.KND, hyj.GRM): per 100 g for a
// kind it does not know or a 1食 without a weight above 0.
LabelBasis labelBasisOf(std::optional<double> kind, std::optional<double> grams);

struct Dish
{
    qint64 key = 0;
    QString name;
    std::vector<Line> lines;
    Totals totals;
    Comparison comparison;
    // The basis its nutrition label is given for, as stored with the dish.
    LabelBasis labelBasis;
    // 人分: how many people the recipe is written for (1 when none is stored).
    double servings = 1;
    // 出来上がり重量 (g): the weight once cooked, when one is stored.
    std::optional<double> finishedGrams;
    // The person of the 栄養成分一覧 the print and the PDF give each dish
    // on a page of its own; none: no such page.
    std::shared_ptr<const SheetChoice> sheet;
};

// The 栄養成分一覧 of a dish: every component for the whole dish, a serving
// and 100 g, judged for the person of its choice, as the window shows them.
struct NutrientSheetPage
{
    QString group; // the standards' age group, "15～17歳"; empty: none
    QList<NutrientSheet::Row> rows;
    NutrientSheet::Balance balance;
};
NutrientSheetPage nutrientSheet(const Dish &dish, const SheetChoice &choice);

// Reads the intake standards and gives every dish the 栄養成分一覧 of that
// person and basis; false with *error when the standards cannot be read.
bool attachSheets(const QString &connectionString, const Intakes::Person &person,
                  NutrientSheet::Basis basis, std::vector<Dish> *dishes, QString *error);

// The person of a 栄養成分一覧: "15歳（15～17歳）・女性・身体活動 ふつう・妊娠中期".
QString personText(const SheetChoice &choice);
// 人分 and the finished weight: "4人分・出来上がり 1,200 g", "1人分".
QString portionText(const Dish &dish);

// The units of the comparison table's eleven rows (captions:
// Comparison::caption).
extern const std::array<QStringView, 11> comparisonUnits;

// The totals as the main window's panel counts and shows them.
// With a finished weight, the figures per 100 g are of the finished dish.
DishTotals dishTotals(const Totals &totals, std::optional<double> finishedGrams = std::nullopt);
using PanelTexts = DishTotalsText;
PanelTexts panelTexts(const Totals &totals, std::optional<double> finishedGrams = std::nullopt);

// Grams per 100 g of dish of nutrient i, rounded half up to one decimal as
// the panel rounds; nothing for a dish without weight or without the value.
std::optional<double> perHundredGrams(const Totals &totals, int nutrient,
                                      std::optional<double> finishedGrams = std::nullopt);

// The decimals the food table gives nutrient i per 100 g with: energy,
// minerals in mg, vitamin A and C and cholesterol whole; the gram fields, iron,
// vitamin E and niacin one place; vitamins B1 and B2 two.
int nutrientPlaces(int nutrient);
// The content of nutrient i per 100 g of dish at those places, rounded half
// up; nothing for a dish without weight or without the value.
std::optional<double> perHundredAtPlaces(const Totals &totals, int nutrient,
                                         std::optional<double> finishedGrams = std::nullopt);
// The content of nutrient i in one of the dish's servings at those places.
std::optional<double> perServingAtPlaces(const Dish &dish, int nutrient);
// The components the value fields do not hold (Components::all), in the
// table's order: the columns the exports give after the nutrients'.
const std::vector<int> &extraComponents();
// A column heading of a component: its name and unit, "亜鉛(mg)".
QString componentHeading(int component);
// A line's figure of a component in the exports: the food's own waste ratio,
// the amount in the line of any other component.
std::optional<double> lineComponent(const Line &line, int component);

// The content of component c per 100 g of dish at the decimals the food
// table gives it with, rounded half up; nothing without weight or value.
std::optional<double> componentPerHundred(const Totals &totals, int component,
                                          std::optional<double> finishedGrams = std::nullopt);
// The content of component c in one of the dish's servings at its places.
std::optional<double> componentPerServing(const Dish &dish, int component);
// A figure as its 15 significant digits, the form the windows' texts show:
// no binary remainder (957.9999999999998 is 958).
std::optional<double> shown(const std::optional<double> &value);

// The dish list's energy and weight texts ("#,##0.0") and salt text.
struct ListTexts
{
    QString energy, weight, salt;
};
ListTexts listTexts(const Totals &totals);

// The comparison window's Data captions (elements 2-10) and Kdata texts
// (elements 0-10), rounded as the window rounds them.
QString calculatedText(const Comparison &comparison, int element);
QString standardText(const Comparison &comparison, int element);

// Which dishes an export covers.
struct Selection
{
    bool all = true;
    qint64 key = 0;           // when not all
    std::vector<qint64> keys; // when not all and not empty: these dishes instead
};

// Reads the dishes of a store (in store order) with everything above.
// `connectionString` names the store; on failure returns false with a
// message in *error and leaves `out` empty.
bool readDishes(const QString &connectionString, const Selection &which, int age, bool male,
                std::vector<Dish> *out, QString *error);

// The key of the dish a command line names: its key in decimal, or else its
// exact name (the first dish of that name in store order). Nothing, with a
// message, when no dish matches.
std::optional<qint64> findDish(const QString &connectionString, const QString &keyOrName,
                               QString *error);

// The attribution line every exported page and sheet carries.
QString attribution();

} // namespace Export
