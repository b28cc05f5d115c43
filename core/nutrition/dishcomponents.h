#pragma once

#include "core/nutrition/components.h"
#include "core/nutrition/intakes.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// Every component of one dish: its lines with each food's values per 100 g,
// and the dish totals, each leaving out the lines whose food has no value
// (and naming those foods), as the main window's totals do.
namespace DishComponents {

struct Line
{
    double weightFactor = 0; // 数量2: hundreds of grams
    QString food;
    std::array<Components::Value, Components::count> values; // per 100 g of food
};

struct Totals
{
    double grams = 0;                                          // the lines with a food
    std::array<std::optional<double>, Components::count> sums; // nothing: no line has it
    std::array<QStringList, Components::count> unknownFoods;   // foods a sum leaves out
    // Protein and fat as the food table counts energy: amino-acid protein
    // and fatty-acid triacylglycerols, each food's たんぱく質 and 脂質 where
    // those were not determined.
    std::optional<double> energyProtein, energyFat;
};

Totals total(const QList<Line> &lines);
// Adds one line to the totals: the single step total() takes for each line.
void addLine(Totals &totals, const Line &line);
// Adds `factor` times other totals (a dish's portion, a meal, a day) to
// `totals`, keeping which foods each sum leaves out (the first ten, then
// 「ほか」): dishes, days and periods are all counted so.
void add(Totals &totals, const Totals &other, double factor = 1);

// The lines of a dish from the store; false with *error when it cannot be
// read.
bool load(const QString &connection, qint64 dish, QList<Line> *lines, QString *error);

// A dish's name, servings (1 when none is stored) and finished weight
// (nothing when none is stored).
struct Portion
{
    QString name;
    double servings = 1;
    std::optional<double> finishedGrams;
};
// False with *error when the dish cannot be read or does not exist.
bool loadPortion(const QString &connection, qint64 dish, Portion *portion, QString *error);

// The rows of the intake standards; false with *error when they cannot be
// read (a store without them gives no row and true).
bool loadIntakes(const QString &connection, QList<Intakes::Row> *rows, QString *error);

// The energy-producing nutrient balance of the totals.
Intakes::Balance balance(const Totals &totals);

} // namespace DishComponents
