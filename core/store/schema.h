#pragma once

#include <QString>

struct sqlite3;

// The store's tables, defined once: the six the program has always had, with
// eys.FNM (a food's full official name, after the value fields), and etn (a
// food's own household measures: grams of one unit of that food). The database tool, the importer
// and every test fixture create a store from these statements.
namespace Schema {

// Statements that create an empty store: tables, indexes, the trigger that
// removes a dish's lines with the dish, and the key sequences.
QString createStatements();

// The indexes of the food search (the reading, and one per ranked nutrient); "IF NOT EXISTS", so
// that a refresh of an older store can add them.
QString searchIndexStatements();

// The statement that creates etn when it does not exist.
QString measureTableStatement();

// The component table sbn (the food table's components that eys does not
// hold, with every component's marker) and its trigger ("IF NOT EXISTS").
QString componentTableStatements();

// The intake standards kjz and the school-lunch standards kjg ("IF NOT
// EXISTS").
QString intakeTableStatements();

// Gives the official foods of a store that has no components yet those of the
// store installed with the program, matched by food number; the user's own
// foods keep them unknown. A store with components, or an installed store
// without them, is left as it is; so are the standards, which are copied
// likewise when the store has none. Part of the caller's transaction.
bool addComponentsFrom(sqlite3 *db, const QString &installedStore, QString *error);

// The statement that creates hyj, the label basis of each dish, when it does
// not exist (one statement).
QString labelTableStatement();

// The menus: days (kon) and their dishes (kom), with their indexes and the
// triggers that remove a day's or a dish's entries with it ("IF NOT EXISTS").
QString menuTableStatements();

// mns, the counted figures of each dish, and the triggers that drop a
// dish's row when its lines, a food they use or its components change ("IF
// NOT EXISTS"); the triggers' names.
QString figureTableStatements();
QStringList figureTriggers();
// Whether the store has mns and every one of those triggers.
bool figureTableReady(sqlite3 *db);
// Makes what figureTableReady() lacks, dropping every figure kept meanwhile;
// part of the caller's transaction.
bool makeFigureTable(sqlite3 *db, QString *error);

// Brings the tables of an older store up to date: eys.FNM, etn, hyj, the
// dish's servings and finished weight, the component and intake tables, the search indexes and the
// menus. Safe to run on a current store.
bool upgrade(sqlite3 *db, QString *error);

// The trigram index of the readings that the food search looks text up in,
// with the triggers that keep it in step with eys ("IF NOT EXISTS").
QString readingIndexStatements();

// Gives a store made before the reading index existed its index, filled from
// eys; a store that has it is left as it is. Part of the caller's
// transaction, if any.
bool addReadingIndex(sqlite3 *db, QString *error);

// Brings a store made by an earlier version up to date, as the program does
// at its start: upgrade, then the reading index. Part of the caller's
// transaction.
// installedStore, when given, is the store installed with the program: the
// official foods' components come from it
// (addComponentsFrom).
bool bringUpToDate(sqlite3 *db, QString *error, const QString &installedStore = QString());

// Creates the tables in an open, empty database. Returns false and sets
// *error when a statement fails.
bool create(sqlite3 *db, QString *error);

// Keys of foods the user registers start above every official food number.
constexpr qint64 firstUserFoodId = 100000;

} // namespace Schema
