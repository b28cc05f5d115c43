#include "core/store/schema.h"

#include "core/nutrition/components.h"
#include "core/nutrition/nutrients.h"
#include "core/store/statement.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>
#include <vector>

namespace Schema {

QString searchIndexStatements()
{
    // The reading index also carries what the reading search lists, so a
    // search reads the index alone. The food search ranks all foods by one
    // of the ranked fields, largest first; an index per field lets the
    // ranking come in order instead of sorted.
    QString sql = QStringLiteral("CREATE INDEX IF NOT EXISTS eys_reading ON eys(SKN, BID, SNM);\n");
    for (const Nutrients::Nutrient *nutrient : Nutrients::ranked())
        sql += QStringLiteral("CREATE INDEX IF NOT EXISTS eys_rank_%1 ON eys(%1);\n")
                   .arg(nutrient->field);
    return sql;
}

QString readingIndexStatements()
{
    // The index keeps no copy of the readings: its content is eys itself, so
    // the triggers hand it every reading that comes and goes.
    return QStringLiteral(R"SQL(
CREATE VIRTUAL TABLE IF NOT EXISTS eys_skn USING fts5(
  SKN, content='eys', content_rowid='SID', tokenize='trigram');
CREATE TRIGGER IF NOT EXISTS eys_skn_insert AFTER INSERT ON eys
BEGIN
  INSERT INTO eys_skn(rowid, SKN) VALUES (new.SID, new.SKN);
END;
CREATE TRIGGER IF NOT EXISTS eys_skn_delete AFTER DELETE ON eys
BEGIN
  INSERT INTO eys_skn(eys_skn, rowid, SKN) VALUES ('delete', old.SID, old.SKN);
END;
CREATE TRIGGER IF NOT EXISTS eys_skn_update AFTER UPDATE OF SID, SKN ON eys
BEGIN
  INSERT INTO eys_skn(eys_skn, rowid, SKN) VALUES ('delete', old.SID, old.SKN);
  INSERT INTO eys_skn(rowid, SKN) VALUES (new.SID, new.SKN);
END;
)SQL");
}

namespace {

// A dish's label basis goes with the dish.
QString labelTriggerStatement()
{
    return QStringLiteral("CREATE TRIGGER IF NOT EXISTS mnu_delete_label AFTER DELETE ON mnu\n"
                          "BEGIN\n  DELETE FROM hyj WHERE ID = old.ID;\nEND;\n");
}

bool execAll(sqlite3 *db, const QString &sql, QString *error)
{
    char *message = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_exec(db, text.constData(), nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    if (error)
        *error = QString::fromUtf8(message ? message : sqlite3_errmsg(db));
    sqlite3_free(message);
    return false;
}

} // namespace

bool addReadingIndex(sqlite3 *db, QString *error)
{
    sqlite3_stmt *stmt = nullptr;
    bool present = false;
    if (sqlite3_prepare_v2(db, "SELECT 1 FROM sqlite_schema WHERE name='eys_skn'", -1, &stmt,
                           nullptr) == SQLITE_OK)
        present = sqlite3_step(stmt) == SQLITE_ROW;
    sqlite3_finalize(stmt);
    if (present)
        return execAll(db, readingIndexStatements(), error);
    return execAll(db,
                   readingIndexStatements() +
                       QStringLiteral("INSERT INTO eys_skn(eys_skn) VALUES ('rebuild');"),
                   error);
}

QString createStatements()
{
    // Keys are AUTOINCREMENT so that a deleted dish's, line's or food's key is
    // never handed to a new row: old lines can never attach to a new dish.
    // kou keeps its eight fields in this order; the grid reads them by position.
    // The planner statistics are fixed at the shape of a store in long use
    // (many dishes of about ten lines each), so the dish list walks the dishes
    // in key order through kou_dish instead of sorting every line, however
    // few dishes the store holds when it is made.
    return QStringLiteral(R"SQL(
CREATE TABLE bun (
  分類№ INTEGER PRIMARY KEY,
  分類名 TEXT
);
CREATE TABLE eys (
  SID INTEGER PRIMARY KEY AUTOINCREMENT,
  SNM TEXT, SKN TEXT, BID INTEGER,
  ENC REAL, ENJ REAL, SUI REAL, TAN REAL, SST REAL, TST REAL, TSS REAL, KBN REAL,
  CA REAL, P REAL, FE REAL, NA REAL, K REAL,
  VAR REAL, VAC REAL, VAK REAL, VE REAL, VB1 REAL, VB2 REAL, NAI REAL, VC REAL,
  FIB REAL, COL REAL, NAT REAL,
  FNM TEXT
);
%MEASURES%
%COMPONENTS%
CREATE TABLE mnu (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  アイテム名 TEXT,
  人分 REAL NOT NULL DEFAULT 1,
  出来上がり重量 REAL
);
CREATE TABLE kou (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  アイテムCD INTEGER,
  食品コード INTEGER,
  予備1 TEXT,
  数量 REAL,
  予備2 TEXT,
  単位 TEXT,
  数量2 REAL
);
CREATE TABLE tni (
  TNM TEXT,
  KAK REAL
);
CREATE TABLE kij (
  AGE INTEGER, SEX INTEGER,
  TAL REAL, WEI REAL, CAL REAL, TAN REAL, CA REAL, FE REAL,
  VA REAL, VB1 REAL, VB2 REAL, NAI REAL, VC REAL
);
%INTAKES%
CREATE INDEX kou_dish ON kou(アイテムCD);
CREATE INDEX kou_food ON kou(食品コード);
CREATE INDEX eys_category ON eys(BID);
%SEARCH%
CREATE TRIGGER eys_delete_measures AFTER DELETE ON eys
BEGIN
  DELETE FROM etn WHERE SID = old.SID;
END;
%READING%
CREATE TRIGGER mnu_delete_lines AFTER DELETE ON mnu
BEGIN
  DELETE FROM kou WHERE アイテムCD = old.ID;
END;
%LABEL%
%MENUS%
%FIGURES%
INSERT INTO sqlite_sequence(name, seq) VALUES ('eys', 99999);
ANALYZE sqlite_schema;
INSERT INTO sqlite_stat1(tbl, idx, stat) VALUES
  ('mnu', NULL, '1000'),
  ('kou', 'kou_dish', '20000 10'),
  ('kou', 'kou_food', '20000 10'),
  ('eys', 'eys_category', '2500 150'),
  ('eys', 'eys_reading', '2500 1 1 1');
PRAGMA user_version = 1;
)SQL")
        .replace(QStringLiteral("%SEARCH%"), searchIndexStatements())
        .replace(QStringLiteral("%READING%"), readingIndexStatements())
        .replace(QStringLiteral("%MEASURES%"), measureTableStatement())
        .replace(QStringLiteral("%COMPONENTS%"), componentTableStatements())
        .replace(QStringLiteral("%LABEL%"), labelTableStatement() + labelTriggerStatement())
        .replace(QStringLiteral("%MENUS%"), menuTableStatements())
        .replace(QStringLiteral("%FIGURES%"), figureTableStatements())
        .replace(QStringLiteral("%INTAKES%"), intakeTableStatements());
}

QString intakeTableStatements()
{
    // The dietary reference intakes, one value a row: the age group (AGT
    // empty for the open oldest group), the sex (1 male, 0 female), the stage
    // (0 none; 1-3 pregnancy early, mid, late, 4 lactation: rows of a stage
    // have no age group and add to or replace the woman's own), the nutrient
    // and unit as the published tables name them (calcium_mg), the indicator
    // (rda, ai, dg_min, dg_max, ul, eer, eer_low, eer_high, rda_menstruating,
    // value; ear, ai, dg_min, dg_max or *_addition for a stage), the value and
    // the edition it comes from. A standard without a row is no standard.
    // kjg holds the school-lunch standards per child and meal.
    return QStringLiteral(
        "CREATE TABLE IF NOT EXISTS kjz (\n"
        "  AGF INTEGER, AGT INTEGER, SEX INTEGER, STG INTEGER NOT NULL DEFAULT 0,\n"
        "  NUT TEXT NOT NULL, IND TEXT NOT NULL, VAL REAL NOT NULL, EDN INTEGER NOT NULL\n"
        ");\n"
        "CREATE TABLE IF NOT EXISTS kjg (\n"
        "  GRP TEXT NOT NULL, GNM TEXT, AGF INTEGER, AGT INTEGER,\n"
        "  NUT TEXT NOT NULL, VAL REAL NOT NULL\n"
        ");\n");
}

QString menuTableStatements()
{
    // kon: one day of meals. DAT is the day as yyyy-MM-dd, or null for a day
    // planned without a date; the person it is planned for: AGE in years,
    // SEX 1 for a man and 0 for a woman (as kij), PAL the activity level
    // 1 低い, 2 ふつう, 3 高い, STG 0 or 1-4 for 妊娠初期, 中期, 後期, 授乳中.
    // kom: the day's dishes: MEAL 0-3 for 朝食, 昼食, 夕食, 間食, POR the
    // portion in servings of the dish, ORD the order within the meal. A day
    // takes its entries with it, and so does a dish.
    return QStringLiteral(R"SQL(
CREATE TABLE IF NOT EXISTS kon (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  DAT TEXT, KNM TEXT NOT NULL DEFAULT '',
  AGE INTEGER NOT NULL DEFAULT 30, SEX INTEGER NOT NULL DEFAULT 0,
  PAL INTEGER NOT NULL DEFAULT 2, STG INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE IF NOT EXISTS kom (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  KID INTEGER NOT NULL, MEAL INTEGER NOT NULL, DISH INTEGER NOT NULL,
  POR REAL NOT NULL DEFAULT 1, ORD INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX IF NOT EXISTS kon_date ON kon(DAT);
CREATE INDEX IF NOT EXISTS kom_day ON kom(KID, MEAL, ORD);
CREATE INDEX IF NOT EXISTS kom_dish ON kom(DISH);
CREATE TRIGGER IF NOT EXISTS kon_delete_entries AFTER DELETE ON kon
BEGIN
  DELETE FROM kom WHERE KID = old.ID;
END;
CREATE TRIGGER IF NOT EXISTS mnu_delete_menu_entries AFTER DELETE ON mnu
BEGIN
  DELETE FROM kom WHERE DISH = old.ID;
END;
)SQL");
}

namespace {

// The triggers that drop a dish's kept figures: the table and event, and
// which dishes' rows go.
struct FigureTrigger
{
    const char *table;
    const char *event;
    QString drop;
};

std::vector<FigureTrigger> figureTriggerList()
{
    const QString usedBy =
        QStringLiteral("ID IN (SELECT アイテムCD FROM kou WHERE 食品コード IN (%1))");
    std::vector<FigureTrigger> list = {
        {"mnu", "UPDATE", QStringLiteral("ID IN (old.ID, new.ID)")},
        {"mnu", "DELETE", QStringLiteral("ID = old.ID")},
        {"kou", "INSERT", QStringLiteral("ID = new.アイテムCD")},
        {"kou", "UPDATE", QStringLiteral("ID IN (old.アイテムCD, new.アイテムCD)")},
        {"kou", "DELETE", QStringLiteral("ID = old.アイテムCD")}};
    for (const char *table : {"eys", "sbn"}) {
        list.push_back({table, "INSERT", usedBy.arg(QStringLiteral("new.SID"))});
        list.push_back({table, "UPDATE", usedBy.arg(QStringLiteral("old.SID, new.SID"))});
        list.push_back({table, "DELETE", usedBy.arg(QStringLiteral("old.SID"))});
    }
    return list;
}

QString triggerName(const FigureTrigger &trigger)
{
    return QStringLiteral("%1_%2_figures")
        .arg(QLatin1String(trigger.table), QString::fromLatin1(trigger.event).toLower());
}

} // namespace

QStringList figureTriggers()
{
    QStringList names;
    for (const FigureTrigger &trigger : figureTriggerList())
        names << triggerName(trigger);
    return names;
}

QString figureTableStatements()
{
    // mns keeps each dish's counted figures (its name and servings, every
    // component's sum and the foods it leaves out, the grams per food group)
    // sealed by the program that counted them, so that a menu of many days
    // need not read every dish, line and food again. Any change to a dish,
    // its lines, a food they use or its components drops the dish's row; the
    // next reading counts it anew.
    QString sql = QStringLiteral(
        "CREATE TABLE IF NOT EXISTS mns (ID INTEGER PRIMARY KEY, FIG BLOB NOT NULL);\n");
    for (const FigureTrigger &trigger : figureTriggerList())
        sql += QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1 AFTER %2 ON %3\n"
                              "BEGIN\n  DELETE FROM mns WHERE %4;\nEND;\n")
                   .arg(triggerName(trigger), QLatin1String(trigger.event),
                        QLatin1String(trigger.table), trigger.drop);
    return sql;
}

QString componentTableStatements()
{
    // One row per food that has any of these components; a food without a
    // row has them all unknown. The row goes with its food.
    QString sql = QStringLiteral("CREATE TABLE IF NOT EXISTS sbn (\n  SID INTEGER PRIMARY KEY");
    for (const Components::Component &c : Components::all)
        if (!c.inFoodRow())
            sql += QStringLiteral(", ") + c.code + QStringLiteral(" REAL");
    return sql + QStringLiteral(", MRK TEXT\n);\n"
                                "CREATE TRIGGER IF NOT EXISTS eys_delete_components AFTER DELETE"
                                " ON eys\nBEGIN\n  DELETE FROM sbn WHERE SID = old.SID;\nEND;\n");
}

QString measureTableStatement()
{
    // USR is 1 for a row the user entered; the importer writes 0 for a
    // published weight and 2 for one it estimates from a liquid's density,
    // and, when it refreshes the reference data, replaces only those rows.
    return QStringLiteral("CREATE TABLE IF NOT EXISTS etn (\n"
                          "  SID INTEGER NOT NULL, TNM TEXT NOT NULL, KAK REAL NOT NULL,\n"
                          "  USR INTEGER NOT NULL DEFAULT 1,\n"
                          "  PRIMARY KEY (SID, TNM)\n"
                          ");\n");
}

QString labelTableStatement()
{
    // KND 0: per 100 g; 1: per serving of GRM grams; 2: per one of the
    // dish's servings (人分).
    return QStringLiteral("CREATE TABLE IF NOT EXISTS hyj (\n"
                          "  ID INTEGER PRIMARY KEY, KND INTEGER NOT NULL DEFAULT 0, GRM REAL\n"
                          ");\n");
}

namespace {

bool hasColumn(sqlite3 *db, const char *table, const char *column)
{
    sqlite3_stmt *stmt = nullptr;
    bool found = false;
    if (sqlite3_prepare_v2(db, "SELECT 1 FROM pragma_table_info(?1) WHERE name = ?2", -1, &stmt,
                           nullptr) == SQLITE_OK) {
        sqlite3_bind_text(stmt, 1, table, -1, SQLITE_STATIC);
        sqlite3_bind_text(stmt, 2, column, -1, SQLITE_STATIC);
        found = sqlite3_step(stmt) == SQLITE_ROW;
    }
    sqlite3_finalize(stmt);
    return found;
}

} // namespace

bool upgrade(sqlite3 *db, QString *error)
{
    if (!hasColumn(db, "eys", "FNM") &&
        !execAll(db, QStringLiteral("ALTER TABLE eys ADD COLUMN FNM TEXT"), error))
        return false;
    if (!hasColumn(db, "mnu", "人分") &&
        !execAll(db, QStringLiteral("ALTER TABLE mnu ADD COLUMN 人分 REAL NOT NULL DEFAULT 1"),
                 error))
        return false;
    if (!hasColumn(db, "mnu", "出来上がり重量") &&
        !execAll(db, QStringLiteral("ALTER TABLE mnu ADD COLUMN 出来上がり重量 REAL"), error))
        return false;
    if (!execAll(db, componentTableStatements() + intakeTableStatements(), error))
        return false;
    return execAll(db, measureTableStatement(), error) &&
           execAll(db,
                   QStringLiteral(
                       "CREATE TRIGGER IF NOT EXISTS eys_delete_measures AFTER DELETE ON eys\n"
                       "BEGIN\n  DELETE FROM etn WHERE SID = old.SID;\nEND;\n"),
                   error) &&
           execAll(db, labelTableStatement() + labelTriggerStatement(), error) &&
           execAll(db, searchIndexStatements(), error) &&
           execAll(db, menuTableStatements(), error) && makeFigureTable(db, error);
}

bool figureTableReady(sqlite3 *db)
{
    int present = 0;
    sqlite3_stmt *stmt = nullptr;
    const QStringList names = figureTriggers();
    if (sqlite3_prepare_v2(
            db,
            "SELECT count(*) FROM sqlite_schema WHERE (type = 'trigger' AND name IN "
            "(SELECT value FROM json_each(?1))) OR (type = 'table' AND name = 'mns')",
            -1, &stmt, nullptr) == SQLITE_OK) {
        const QByteArray list = "[\"" + names.join(QStringLiteral("\",\"")).toUtf8() + "\"]";
        sqlite3_bind_text(stmt, 1, list.constData(), int(list.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(stmt) == SQLITE_ROW)
            present = sqlite3_column_int(stmt, 0);
    }
    sqlite3_finalize(stmt);
    return present == names.size() + 1;
}

bool makeFigureTable(sqlite3 *db, QString *error)
{
    // Figures kept while a trigger that drops them was missing may be stale:
    // they all go before the triggers are made again.
    return figureTableReady(db) ||
           execAll(db, figureTableStatements() + QStringLiteral("DELETE FROM mns;\n"), error);
}

namespace {

// Copies every row of table (its columns named) from the installed store into
// the store, through a read-only connection of its own: the store is inside a
// transaction and cannot attach another file.
bool copyRows(sqlite3 *from, sqlite3 *to, const QString &table, const QStringList &columns,
              const QString &condition, QString *error)
{
    QStringList places;
    for (int i = 1; i <= columns.size(); ++i)
        places << QStringLiteral("?%1").arg(i);
    const QString list = columns.join(QLatin1Char(','));
    Statement read(from, QStringLiteral("SELECT %1 FROM %2 %3").arg(list, table, condition));
    Statement write(to, QStringLiteral("INSERT OR IGNORE INTO %1(%2) VALUES (%3)")
                            .arg(table, list, places.join(QLatin1Char(','))));
    if (!read.isValid() || !write.isValid()) {
        if (error)
            *error = read.isValid() ? write.error() : read.error();
        return false;
    }
    while (read.next()) {
        for (int c = 0; c < columns.size(); ++c)
            write.bind(c + 1, read.value(c));
        if (!write.exec()) {
            if (error)
                *error = write.error();
            return false;
        }
        write.reset();
    }
    if (read.failed() && error)
        *error = read.error();
    return !read.failed();
}

QStringList columnsOf(sqlite3 *db, const QString &table)
{
    QStringList names;
    Statement info(db, QStringLiteral("SELECT name FROM pragma_table_info(?1)"));
    info.bind(1, table);
    while (info.next())
        names << info.value(0).toString();
    return names;
}

} // namespace

bool addComponentsFrom(sqlite3 *db, const QString &installedStore, QString *error)
{
    if (installedStore.isEmpty() || !QFileInfo(installedStore).isFile())
        return true;
    const bool needComponents =
        !scalarOf(db, QStringLiteral("SELECT 1 FROM sbn LIMIT 1")).isValid();
    const bool needIntakes = !scalarOf(db, QStringLiteral("SELECT 1 FROM kjz LIMIT 1")).isValid();
    if (!needComponents && !needIntakes)
        return true;
    sqlite3 *from = nullptr;
    const QByteArray name = QFile::encodeName(installedStore);
    if (sqlite3_open_v2(name.constData(), &from, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(from);
        return true; // the store stays usable; the components stay unknown
    }
    const QStringList components = columnsOf(from, QStringLiteral("sbn"));
    const QStringList own = columnsOf(db, QStringLiteral("sbn"));
    bool ok = true;
    if (needComponents && !components.isEmpty()) {
        QStringList shared;
        for (const QString &c : components)
            if (own.contains(c))
                shared << c;
        // The store's official foods only, by their number: a number the
        // store does not know is no food of its own.
        QStringList known;
        Statement official(
            db, QStringLiteral("SELECT SID FROM eys WHERE SID < %1").arg(firstUserFoodId));
        while (official.next())
            known << official.value(0).toString();
        ok = known.isEmpty() ||
             copyRows(from, db, QStringLiteral("sbn"), shared,
                      QStringLiteral("WHERE SID IN (%1)").arg(known.join(QLatin1Char(','))), error);
    }
    if (ok && needIntakes) {
        for (const QString &table : {QStringLiteral("kjz"), QStringLiteral("kjg")}) {
            const QStringList columns = columnsOf(from, table);
            if (ok && !columns.isEmpty())
                ok = copyRows(from, db, table, columns, QString(), error);
        }
    }
    sqlite3_close(from);
    return ok;
}

bool bringUpToDate(sqlite3 *db, QString *error, const QString &installedStore)
{
    return upgrade(db, error) && addReadingIndex(db, error) &&
           addComponentsFrom(db, installedStore, error);
}

bool create(sqlite3 *db, QString *error)
{
    return execAll(db, createStatements(), error);
}

} // namespace Schema
