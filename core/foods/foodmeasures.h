#pragma once

#include <QList>
#include <QString>
#include <optional>

// Household measures of one food: how many grams one 大さじ of sugar or one 個
// of egg weighs. A food's own measure takes the place of the unit table's
// general weight (tni.KAK) for that food; units the food has no measure of
// keep the general weight. The measures live in etn, keyed by food and unit.
namespace FoodMeasures {

struct Measure
{
    QString unit;
    double grams = 0;
    // Not a published weight: a spoon or cup of a liquid, weighed by its
    // volume times the density the food table gives.
    bool estimated = false;
};

// How an estimated weight was reached, for its tooltip.
QString estimateNote();

// The food's own measures, in the order they were entered. A store without
// etn (made before measures existed) gives none.
QList<Measure> ownMeasures(const QString &connection, qint64 food);

// The unit table (tni), in store order.
QList<Measure> generalUnits(const QString &connection);

// The units offered for a food (Queries::foodUnits): its own measures first.
QList<Measure> unitList(const QString &connection, qint64 food);

// The units measured by volume (小さじ, 大さじ, ｶｯﾌﾟ, 合): their general weight
// is water's (or, for 合, rice's) and never counts for another food.
bool isVolumeUnit(const QString &unit);

// Grams of one unit for a food: its own measure of that unit where it has
// one, otherwise the general weight given for a unit that is not a volume
// (nothing when there is neither: the food has no weight of that spoon).
std::optional<double> gramsPerUnit(const QList<Measure> &own, const QString &unit,
                                   std::optional<double> general);

// The message for a volume unit a food has no weight of.
QString noWeightMessage(const QString &unit);

// The units with a weight for a food: its own measures first, then every
// general unit it has no own measure of and that is not a volume, each once,
// with the grams that count.
QList<Measure> unitChoices(const QList<Measure> &own, const QList<Measure> &general);

// Checks one measure the user typed: a unit name, not a unit of weight (ｇ,
// kg), and a positive number of grams (read strictly). Returns the measure, or sets *error to a
// message.
std::optional<Measure> parse(const QString &unit, const QString &grams, QString *error);

// Replaces the food's own measures with the list given, in one transaction.
// A measure left as it was keeps its origin (imported or the user's); a new
// or changed one becomes the user's, which a refresh of the reference data
// keeps. Fails, changing nothing, on a unit named twice or a weight that is
// not a positive number.
bool save(const QString &connection, qint64 food, const QList<Measure> &measures, QString *error);

} // namespace FoodMeasures
