#pragma once

#include "tools/foodtable.h"
#include "tools/intakefiles.h"
#include "tools/standards.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

struct sqlite3;

// The reference tables of a store (eys, bun, tni, kij) made from the official
// data: the food table's Excel workbook and the two editions of the dietary
// reference intakes, found in a data folder laid out as
//   <dir>/food-table/<the MEXT workbook>.xlsx
//   <dir>/standards/dri-<year>.csv   (the newest two years are used)
//   <dir>/measures-extended/household-measures.csv, or else
//   <dir>/measures/household-measures.csv (optional: foods' own spoon, cup
//   and piece weights)
namespace ReferenceData {

// Category of the foods a user registers.
constexpr int userCategory = 20;
inline const QString userCategoryName = QStringLiteral("登録食品");

struct Unit
{
    QString name;
    double grams;
};
// The kitchen units, "ｇ" first.
const QList<Unit> &units();
// The units of one piece (個, 本, 枚, 丁, 杯, パック, 切れ): they have no general
// weight, only a food's own (etn), so the unit table does not hold them.
const QStringList &pieceUnits();

struct Sources
{
    QString dataDir;
    QString foodTable;         // the workbook
    QString standards;         // the current edition
    QString previousStandards; // the edition before it
    QString measures;          // household measures; empty when the folder has none
    QString fullStandards;     // dri-2025-full.csv; empty when the folder has none
    QString pregnancy;         // pregnancy-lactation-2025.csv, beside it
    QString schoolLunch;       // school-lunch.csv, beside it (optional)
    QString liquids;           // the foods that pour; empty when the folder has none
    QStringList missing;       // what the folder lacks, as relative paths

    bool complete() const { return missing.isEmpty(); }
    // Where to get what is missing, for the person who runs the tool.
    QString howToGetMissing() const;
};

Sources locate(const QString &dataDir);

// Grams of one unit of one food (a row of etn).
struct Measure
{
    int food = 0;
    QString unit;
    double grams = 0;
    // Not published: the volume times the food's density (etn.USR 2).
    bool estimated = false;
};

// The etn.USR of an imported measure, of an estimated one; the user's own
// measures are 1.
inline constexpr int importedMeasure = 0;
inline constexpr int estimatedMeasure = 2;

// Reads the household measures: a CSV with the header 食品番号,食品名,単位,重量g.
// Every food number must be one of knownFoods, every unit one of units() or
// pieceUnits() and
// every weight a positive number; a food and unit given twice is a fault. A
// fault stops the reading with a message naming the file and line.
bool readMeasures(const QString &csvPath, const QSet<int> &knownFoods, QList<Measure> *measures,
                  QString *error);

// Reads the list of the foods that pour (食品番号,食品名; see
// liquids/SOURCE.md): their food numbers. Every number must be one of
// knownFoods; a fault stops the reading with a message naming file and line.
bool readLiquids(const QString &csvPath, const QSet<int> &knownFoods, QSet<int> *liquids,
                 QString *error);

// The estimated spoons and cups of the liquids: for each of them whose table
// remarks give its density, 小さじ, 大さじ and ｶｯﾌﾟ that `published` lacks,
// weighing their volume times that density (to 0.1 g).
QList<Measure> estimatedMeasures(const QList<FoodTable::Food> &foods, const QSet<int> &liquids,
                                 const QList<Measure> &published);

struct Data
{
    FoodTable::Table foods;
    QStringList readings; // SKN of each food, in the order of foods.foods
    QStringList names;    // SNM of each food (the listed name), in the same order
    QList<Measure> measures;
    Standards::Table standards;
    IntakeFiles::Tables intakes; // empty without the full standards
};

// Reads and checks everything; touches no store.
bool load(const Sources &sources, Data *data, QString *error);

// Fills the reference tables of a new, empty store.
bool write(sqlite3 *db, const Data &data, QString *error);

struct RefreshResult
{
    int updated = 0; // official foods whose rows were rewritten
    int added = 0;   // official foods new in this edition
    int kept = 0;    // official foods of the store that this edition lacks (left as they were)
    // Official foods whose values in the store differ from the new table's
    // (the user changed them): their values were kept. Each as
    // "<5-digit food number> <name>", in number order.
    QStringList differing;
};

// Refreshes the reference tables of an existing store in one transaction:
// official foods are updated or added by their number (their keys do not
// change), foods the user registered, dishes and lines are left alone, and
// the categories, units and standards are replaced; the imported household
// measures are replaced, the user's own measures kept (where the user gave a
// weight for the same food and unit, the user's stays). An official food whose
// values (value fields and components) differ from the new table's keeps its
// values, and is listed in result->differing. Nothing is changed when
// anything fails.
bool refresh(const QString &storePath, const Data &data, RefreshResult *result, QString *error);

// The same refresh taken from a ready store, one made by this tool from a
// newer table (the one installed with the program): its official foods,
// categories, units and standards replace those of the store at storePath.
bool refreshFrom(const QString &storePath, const QString &readyPath, RefreshResult *result,
                 QString *error);

} // namespace ReferenceData
