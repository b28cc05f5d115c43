#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>
#include <vector>

// Every query text the program runs, built in one place. Keys go into the
// text in plain decimal. Sorted by subsystem; add new texts to their section.
namespace Queries {

// ---- Shared pieces

// "Sum((kou.数量2) * (eys.F)) as A": the dish total of a food value, each
// line's per-100 g value weighted by the line's weight in hundreds of grams.
QString weightedSum(QStringView field, QStringView alias);

// ---- Lists of the main window

QString dishList(); // every dish, in store order
// The last ?1 dishes of dishList(), from the last backwards.
QString dishListTail();
QString categories();                   // every food category
QString categoryFoods(qint64 category); // the foods of one category
QString units();                        // every unit with its grams
// The units offered for a food, TNM and KAK: its own measures (etn) first, in
// the order entered, then every unit of tni it has none of; a volume unit
// (小さじ, 大さじ, ｶｯﾌﾟ, 合) it has no own weight of comes with no grams (null),
// since what a spoon of a food weighs is the food's. Food 0: units().
QString foodUnits(qint64 food);
// The volume units, as an SQL list: ('小さじ','大さじ','ｶｯﾌﾟ','合').
QString volumeUnitList();

// ---- Dish editing

// The recipe: the food's name as 素材, then every field of kou, then the
// line's grams (重量) and 推定, 1 when the weight of its unit for its food is an
// estimate, of one dish.
QString dishLines(qint64 dish);
// The one selected line, by its key.
QString selectedLine(qint64 line);
// A food's name and category, by its key.
QString foodChoice(qint64 food);

// ---- Dish totals

QString dishWeight(qint64 dish);    // 合計数: Σ 数量2 over all lines
QString dishNutrients(qint64 dish); // カロリ, SSUI … SNAT over lines with a food

// ---- Comparison with standards

QString standards();                 // every standards row, in table order
QString comparisonSums(qint64 dish); // SENC … SVC: the nine compared sums of one dish

// ---- Every component of a dish

// One row per line of the dish whose food exists, in key order: 数量2, the
// food's name, then every component in the component table's order (from eys
// or sbn; vitamin A as eys.VAK, in IU), then sbn.MRK.
QString dishComponents(qint64 dish);
// アイテム名, 人分 and 出来上がり重量 of one dish.
QString dishPortion(qint64 dish);
// Every row of kjz: AGF, AGT, SEX, STG, NUT, IND, VAL, EDN.
QString intakeRows();

// ---- Food search

// Every food that has a category, with its value of the field, largest first.
QString foodsByNutrient(QStringView field);
// Every food that has a category, whose reading contains every reading
// pattern and whose name contains every name pattern (insides of LIKE
// patterns, "\\" their escape character), by descending reading.
QString foodsByReading(const QStringList &readingPatterns, const QStringList &namePatterns);

// ---- Reading search (the texts ReadingSearch::query chooses among)

// A word as the inside of a quoted LIKE pattern: the escape character and
// the two wildcards escaped so that they match themselves, a quote doubled,
// NUL dropped.
QString likeLiteral(const QString &word);
// The condition that a food holds every word: reading words (in their stored
// form) in its reading, name words in its name.
QString holdsWords(const QStringList &readingWords, const QStringList &nameWords);
// The words as an FTS5 query inside an SQL string literal, each word a phrase
// that must be there.
QString phraseLiteral(const QStringList &words);
// SID, SNM, SKN, 分類名 of every food with a category that meets holds, in
// the search's order: descending reading, then category, name and key.
QString readingsHolding(const QString &holds);
// The same, of the foods the trigram index matches with phrase.
QString readingsMatching(const QString &holds, const QString &phrase);
// The same, of the foods whose reading is at most reading (its stored bytes).
QString readingsFrom(const QString &holds, const QByteArray &reading);
// How many of the last scanRows readings meet holds, counting to limit.
QString lastReadingsHolding(const QString &holds, int scanRows, int limit);
QString readingIndexMatches(const QString &phrase); // rowid of each match
// How many foods the index matches with phrase, counting to limit.
QString readingIndexCount(const QString &phrase, int limit);
QString readingOfFood();   // SKN of food ?1
QString readingOrder();    // SID of every food, in the search's order
QString readingIndexRow(); // a row when the store keeps the trigram index

// ---- Dish list

// Every dish with lines: ID, name, SENC, SSU and SNAT (salt rounded to 0.01).
QString dishOverview();

// ---- Foods

QString foodRecord(qint64 food); // one food with all its fields
QString foods();                 // every food with all its fields
// The last ?1 foods of foods(), from the last backwards.
QString foodsTail();
// FNM and SNM of one food; a store made before full names: NULL and SNM.
QString foodNames(qint64 food, bool fullNames);
// How many dishes have a line of the food.
QString dishesUsingFood(qint64 food);
// ---- A food against the installed table (?1 the food)
// The food's value fields named.
QString foodValues(const QStringList &fields);
// The food's component columns named.
QString foodComponents(const QStringList &columns);
// Sets the food's value fields named to ?2, ?3 ...
QString setFoodValues(const QStringList &fields);
// The food's row of the component table goes.
QString dropFoodComponents();

// The food's row of the component table: the columns named, then MRK.
QString componentRow(const QStringList &columns, qint64 food);
// Puts a food's row into the component table: ?1 the food, then one value per
// column named, then MRK.
QString storeComponentRow(const QStringList &columns);
// TNM, KAK of a food's own measures, in the order entered.
// TNM, KAK and whether it is estimated (USR 2) of a food's own measures, in
// the order entered.
QString ownMeasures(qint64 food);
QString generalUnits(); // TNM, KAK of every unit
// Rewriting one food's measures (?1 the food): keepMeasures() sets its rows
// aside, dropMeasures() deletes them, then each unit is written as kept
// (keptMeasure(): ?2 the unit) or anew (newMeasure(): ?2 unit, ?3 grams);
// clearKeptMeasures() empties the side table, which createKeptMeasures() makes.
QString createKeptMeasures();
QString clearKeptMeasures();
QString keepMeasures();
QString dropMeasures();
QString keptMeasure();
QString newMeasure();

// ---- Dishes

QString insertDish(QStringView nameColumn); // a dish named ?1
// Of the lines whose food lacks a value of any field: アイテムCD, the food's
// SNM, then per field 1 when the food lacks it; by dish and line, of one
// dish or of all.
QString linesWithUnknown(const QStringList &fields, std::optional<qint64> dish);
// The standards row of an age and sex.
QString standardOf(int age, int sex);

// ---- Store settings

QString pageCacheSize();                    // the reader's page cache, in pages or -KiB
QString setPageCacheSize(qint64 cacheSize); // as pageCacheSize() gave it

// ---- Export
// Each covers every dish (no keys), or the dishes whose keys are given. Lines
// and sums leave out lines whose food no longer exists, as the windows do.
using DishKeys = std::optional<std::vector<qint64>>;

// ID, アイテム名 of the dishes, in store order.
QString exportDishes(const DishKeys &dishes);
// SID, SNM, then the value fields in the nutrient table's order, of the foods
// the lines name.
QString exportFoods(const DishKeys &dishes);
// アイテムCD, 食品コード, 数量, 単位, 数量2 of every line; by dish, each dish's
// lines in key order.
QString exportLines(const DishKeys &dishes);
// アイテムCD, Σ 数量2 and the number of lines, over all lines.
QString exportWeights(const DishKeys &dishes);
// アイテムCD, the dish list's energy, weight and rounded salt, then for each
// food value field its weighted sum.
QString exportSums(const DishKeys &dishes);
// AGE, SEX and the eleven standard values of every kij row, in table order.
QString exportStandards();
// Whether the store keeps label bases (a row when it does).
QString hasLabelBases();
// Whether the store keeps the food table's other components (a row when it
// does).
QString hasComponents();
// SID, then every component (Components::all in order) that sbn keeps or
// that an eys field outside the nutrient table holds (the energy in kJ), of
// the foods the lines name; sbn's are null for a food without a row there.
QString exportComponents(const DishKeys &dishes);
// ID and serving grams of the dishes labelled per serving.
QString exportLabelBases(const DishKeys &dishes);

// ---- Nutrition label

// The serving grams of one dish's label; no row, or null: per 100 g.
QString labelBasis(qint64 dish);
// Stores a dish's label basis: ?1 the dish, ?2 the kind (0 per 100 g, 1 per
// serving), ?3 the serving grams.
QString storeLabelBasis();

// ---- Menus
// Parameters are bound (?1 ...), keys included.

QString menuDays();                 // ID, DAT, KNM, AGE, SEX, PAL, STG of every day
QString menuEntries(int dayCount);  // ID, KID, MEAL, DISH, POR, ORD; 0: every day
QString menuDaysUsingDish();        // count of the days with dish ?1
QString menuDishesNamed();          // ID, アイテム名 of dishes named with ?1 in it, at most ?2
QString menuInsertDay();            // DAT, KNM, AGE, SEX, PAL, STG
QString menuCopyEntries();          // the entries of day ?1 into day ?2
QString menuRenameDay();            // day ?1: DAT ?2, KNM ?3
QString menuSetPerson();            // day ?1: AGE ?2, SEX ?3, PAL ?4, STG ?5
QString menuDeleteDay();            // day ?1
QString menuInsertEntry();          // KID, MEAL, DISH, POR; last of its meal
QString menuSetPortion();           // entry ?1: POR ?2
QString menuMoveToMeal();           // entry ?1 to the end of meal ?2
QString menuNeighbour(bool before); // the entry next to ?1 in its meal, or null
QString menuOrderOf();              // ORD of entry ?1
QString menuSetOrder();             // entry ?1: ORD ?2
QString menuDeleteEntry();          // entry ?1
// ID, アイテム名, 人分 of the dishes ?1 .. ?count.
QString menuDishHeads(int count);
// The lines of the dishes ?1 .. ?count: アイテムCD, 食品コード, 数量2.
QString menuDishLines(int count);
// The figures kept of `count` dishes (mns), and keeping one.
QString menuKeptFigures(int count);
QString menuKeepFigures();
// A number that changes whenever another connection commits a change.
QString dataVersion();
// The foods ?1 .. ?count by number: SID, SNM, then every component
// (Components::all) as the store keeps it; with `valueFieldsOnly`, null
// for the components kept beside the food (sbn), which are not read.
QString menuFoods(int count, bool valueFieldsOnly);

} // namespace Queries
