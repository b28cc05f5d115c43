#include "tools/referencedata.h"

#include "core/foods/foodrecord.h"
#include "core/store/officialtable.h"
#include "core/store/schema.h"
#include "core/store/schemacheck.h"
#include "core/store/statement.h"
#include "tools/readings.h"
#include "tools/storebuilder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <sqlite3.h>
#include <vector>

namespace ReferenceData {

const QList<Unit> &units()
{
    // Spelled as the program's captions spell them.
    static const QList<Unit> list = {
        {QStringLiteral("ｇ"), 1},     {QStringLiteral("kg"), 1000},
        {QStringLiteral("小さじ"), 5}, {QStringLiteral("大さじ"), 15},
        {QStringLiteral("ｶｯﾌﾟ"), 200}, {QStringLiteral("合"), 150},
    };
    return list;
}

const QStringList &pieceUnits()
{
    static const QStringList list = {
        QStringLiteral("個"), QStringLiteral("本"),     QStringLiteral("枚"),  QStringLiteral("丁"),
        QStringLiteral("杯"), QStringLiteral("パック"), QStringLiteral("切れ")};
    return list;
}

Sources locate(const QString &dataDir)
{
    Sources s;
    s.dataDir = dataDir;
    const QDir dir(dataDir);
    // MEXT names its files by publication date, so the last name is the newest.
    const QStringList books = QDir(dir.filePath(QStringLiteral("food-table")))
                                  .entryList({QStringLiteral("*.xlsx")}, QDir::Files, QDir::Name);
    if (books.isEmpty())
        s.missing << QStringLiteral("food-table/*.xlsx");
    else
        s.foodTable = dir.filePath(QStringLiteral("food-table/") + books.last());
    const QStringList editions =
        QDir(dir.filePath(QStringLiteral("standards")))
            .entryList({QStringLiteral("dri-*.csv")}, QDir::Files, QDir::Name);
    if (editions.size() < 2) {
        s.missing << QStringLiteral("standards/dri-<年>.csv（最新版とその前の版）");
    } else {
        s.standards = dir.filePath(QStringLiteral("standards/") + editions.last());
        s.previousStandards =
            dir.filePath(QStringLiteral("standards/") + editions[editions.size() - 2]);
    }
    // The extended measures (more foods, 目安量 by the piece) take the place
    // of the first file when both are there.
    for (const char *file :
         {"measures-extended/household-measures.csv", "measures/household-measures.csv"}) {
        const QString measures = dir.filePath(QString::fromLatin1(file));
        if (QFileInfo(measures).isFile()) {
            s.measures = measures;
            break;
        }
    }
    const QString full = dir.filePath(QStringLiteral("standards-2025-full/dri-2025-full.csv"));
    const QString pregnancy =
        dir.filePath(QStringLiteral("standards-2025-full/pregnancy-lactation-2025.csv"));
    const QString school = dir.filePath(QStringLiteral("standards-2025-full/school-lunch.csv"));
    if (QFileInfo(full).isFile()) {
        s.fullStandards = full;
        if (QFileInfo(pregnancy).isFile())
            s.pregnancy = pregnancy;
        else
            s.missing << QStringLiteral("standards-2025-full/pregnancy-lactation-2025.csv");
        if (QFileInfo(school).isFile())
            s.schoolLunch = school;
    }
    const QString liquids = dir.filePath(QStringLiteral("liquids/liquids.csv"));
    if (QFileInfo(liquids).isFile())
        s.liquids = liquids;
    return s;
}

QString Sources::howToGetMissing() const
{
    QString text = QStringLiteral("%1 に公式の参照データがありません（%2）。\n")
                       .arg(dataDir, missing.join(QStringLiteral("、")));
    if (foodTable.isEmpty())
        text +=
            QStringLiteral(
                "  食品成分表: 文部科学省「日本食品標準成分表（八訂）増補2023年」の Excel ファイル"
                "（第2章 本表, 20230428-mxt_kagsei-mext_00001_012.xlsx）を\n"
                "  https://www.mext.go.jp/a_menu/syokuhinseibun/mext_00001.html から入手し、"
                "%1/food-table/ に置いてください。\n")
                .arg(dataDir);
    if (standards.isEmpty())
        text += QStringLiteral(
                    "  食事摂取基準: 厚生労働省「日本人の食事摂取基準（2025年版）」"
                    "（https://www.mhlw.go.jp/stf/newpage_44138.html）と2020年版の値を\n"
                    "  dri-2025.csv, dri-2020.csv（age_from,age_to,sex,height_cm,… の表）として "
                    "%1/standards/ に置いてください。\n")
                    .arg(dataDir);
    return text;
}

bool load(const Sources &sources, Data *data, QString *error)
{
    if (!sources.complete()) {
        if (error)
            *error = sources.howToGetMissing();
        return false;
    }
    if (!FoodTable::read(sources.foodTable, &data->foods, error))
        return false;
    if (!Standards::read(sources.standards, sources.previousStandards, &data->standards, error))
        return false;
    data->intakes = {};
    if (!sources.fullStandards.isEmpty() &&
        !IntakeFiles::read(sources.fullStandards, sources.previousStandards, sources.pregnancy,
                           sources.schoolLunch, &data->intakes, error))
        return false;
    data->names = FoodTable::listedNames(data->foods.foods);
    data->measures.clear();
    if (!sources.measures.isEmpty()) {
        QSet<int> known;
        for (const FoodTable::Food &food : std::as_const(data->foods.foods))
            known.insert(food.number);
        if (!readMeasures(sources.measures, known, &data->measures, error))
            return false;
    }
    if (!sources.liquids.isEmpty()) {
        QSet<int> known, liquids;
        for (const FoodTable::Food &food : std::as_const(data->foods.foods))
            known.insert(food.number);
        if (!readLiquids(sources.liquids, known, &liquids, error))
            return false;
        data->measures += estimatedMeasures(data->foods.foods, liquids, data->measures);
    }
    Readings readings;
    if (!readings.open(error))
        return false;
    data->readings.clear();
    data->readings.reserve(data->foods.foods.size());
    QStringList unread;
    for (const FoodTable::Food &food : std::as_const(data->foods.foods)) {
        QStringList left;
        data->readings << readings.reading(food.name, &left);
        if (!left.isEmpty())
            unread << QStringLiteral("%1 %2（%3）")
                          .arg(food.number, 5, 10, QLatin1Char('0'))
                          .arg(food.name, left.join(QLatin1Char(' ')));
    }
    if (!unread.isEmpty())
        std::fprintf(stderr, "読みの分からない語があります（読みに漢字のまま入ります）:\n  %s\n",
                     qPrintable(unread.join(QStringLiteral("\n  "))));
    return true;
}

namespace {

// The lines of a UTF-8 text file; false with a message naming it when it
// cannot be read.
bool readTextLines(const QString &path, QStringList *lines, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (error)
            *error = QStringLiteral("%1 を読めません: %2").arg(path, file.errorString());
        return false;
    }
    *lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    return true;
}

} // namespace

bool readMeasures(const QString &csvPath, const QSet<int> &knownFoods, QList<Measure> *measures,
                  QString *error)
{
    QStringList lines;
    if (!readTextLines(csvPath, &lines, error))
        return false;
    const QString name = QFileInfo(csvPath).fileName();
    const auto fail = [&](int line, const QString &what) {
        if (error)
            *error = QStringLiteral("%1 %2 行目: %3").arg(name).arg(line).arg(what);
        return false;
    };
    QSet<QString> unitNames;
    for (const Unit &u : units())
        unitNames.insert(u.name);
    for (const QString &piece : pieceUnits())
        unitNames.insert(piece);
    static const QRegularExpression foodNumber(QStringLiteral("^[0-9]{5}$"));
    QList<Measure> read;
    QSet<QPair<int, QString>> seen;
    bool header = true;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        const QStringList cells = line.split(QLatin1Char(','));
        if (header) {
            if (cells.size() != 4 || cells[0] != QStringLiteral("食品番号") ||
                cells[2] != QStringLiteral("単位") || cells[3] != QStringLiteral("重量g"))
                return fail(i + 1,
                            QStringLiteral("見出しは「食品番号,食品名,単位,重量g」のはずです。"));
            header = false;
            continue;
        }
        if (cells.size() != 4)
            return fail(i + 1, QStringLiteral("欄が4つではありません。"));
        if (!foodNumber.match(cells[0]).hasMatch())
            return fail(i + 1,
                        QStringLiteral("食品番号「%1」は5桁の数字ではありません。").arg(cells[0]));
        Measure m;
        m.food = cells[0].toInt();
        if (!knownFoods.contains(m.food))
            return fail(i + 1,
                        QStringLiteral("食品番号 %1 は食品成分表にありません。").arg(cells[0]));
        m.unit = cells[2].trimmed();
        if (!unitNames.contains(m.unit))
            return fail(i + 1, QStringLiteral("単位「%1」は単位の表にありません。").arg(m.unit));
        bool ok = false;
        m.grams = cells[3].trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(m.grams) || m.grams <= 0)
            return fail(i + 1, QStringLiteral("重量「%1」は正の数ではありません。").arg(cells[3]));
        if (seen.contains({m.food, m.unit}))
            return fail(i + 1,
                        QStringLiteral("食品番号 %1 の%2が二度あります。").arg(cells[0], m.unit));
        seen.insert({m.food, m.unit});
        read << m;
    }
    if (header)
        return fail(1, QStringLiteral("見出しの行がありません。"));
    *measures = read;
    return true;
}

bool readLiquids(const QString &csvPath, const QSet<int> &knownFoods, QSet<int> *liquids,
                 QString *error)
{
    QStringList lines;
    if (!readTextLines(csvPath, &lines, error))
        return false;
    const QString name = QFileInfo(csvPath).fileName();
    static const QRegularExpression foodNumber(QStringLiteral("^[0-9]{5}$"));
    QSet<int> read;
    bool header = true;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        const QString number = line.section(QLatin1Char(','), 0, 0);
        QString fault;
        if (header) {
            header = false;
            if (number == QStringLiteral("食品番号"))
                continue;
            fault = QStringLiteral("見出しは「食品番号,食品名」のはずです。");
        } else if (!foodNumber.match(number).hasMatch()) {
            fault = QStringLiteral("食品番号「%1」は5桁の数字ではありません。").arg(number);
        } else if (!knownFoods.contains(number.toInt())) {
            fault = QStringLiteral("食品番号 %1 は食品成分表にありません。").arg(number);
        }
        if (!fault.isEmpty()) {
            if (error)
                *error = QStringLiteral("%1 %2 行目: %3").arg(name).arg(i + 1).arg(fault);
            return false;
        }
        read.insert(number.toInt());
    }
    *liquids = read;
    return true;
}

QList<Measure> estimatedMeasures(const QList<FoodTable::Food> &foods, const QSet<int> &liquids,
                                 const QList<Measure> &published)
{
    QSet<QPair<int, QString>> known;
    for (const Measure &m : published)
        known.insert({m.food, m.unit});
    static const std::array<std::pair<const char16_t *, double>, 3> volumes{
        {{u"小さじ", 5}, {u"大さじ", 15}, {u"ｶｯﾌﾟ", 200}}};
    QList<Measure> estimated;
    for (const FoodTable::Food &food : foods) {
        if (!liquids.contains(food.number))
            continue;
        const std::optional<double> perHundredMl = FoodTable::density(food);
        if (!perHundredMl)
            continue;
        for (const auto &[unit, millilitres] : volumes) {
            const QString name = QString::fromUtf16(unit);
            if (known.contains({food.number, name}))
                continue;
            const double grams = std::round(*perHundredMl * millilitres / 100 * 10) / 10;
            estimated << Measure{food.number, name, grams, true};
        }
    }
    return estimated;
}

namespace {

// A prepared statement of the core's store layer, checked.
bool prepared(const Statement &statement, QString *error)
{
    if (!statement.isValid() && error)
        *error = statement.error();
    return statement.isValid();
}

// Runs a bound statement once, then makes it ready for the next row.
bool runRow(Statement &statement, QString *error)
{
    const bool ok = statement.exec();
    if (!ok && error)
        *error = statement.error();
    statement.reset();
    return ok;
}

using StoreBuilder::exec;

bool writeCategories(sqlite3 *db, const Data &data, QString *error)
{
    Statement insert(db, QStringLiteral("INSERT INTO bun(分類№, 分類名) VALUES (?1, ?2)"));
    if (!prepared(insert, error))
        return false;
    for (auto it = data.foods.groups.cbegin(); it != data.foods.groups.cend(); ++it) {
        insert.bind(1, it.key());
        insert.bind(2, it.value());
        if (!runRow(insert, error))
            return false;
    }
    insert.bind(1, userCategory);
    insert.bind(2, userCategoryName);
    return runRow(insert, error);
}

bool writeUnits(sqlite3 *db, QString *error)
{
    Statement insert(db, QStringLiteral("INSERT INTO tni(TNM, KAK) VALUES (?1, ?2)"));
    if (!prepared(insert, error))
        return false;
    for (const Unit &u : units()) {
        insert.bind(1, u.name);
        insert.bind(2, u.grams);
        if (!runRow(insert, error))
            return false;
    }
    return true;
}

bool writeStandards(sqlite3 *db, const Data &data, QString *error)
{
    Statement insert(
        db, QStringLiteral("INSERT INTO kij(AGE,SEX,TAL,WEI,CAL,TAN,CA,FE,VA,VB1,VB2,NAI,VC)"
                           " VALUES (?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11,?12,?13)"));
    if (!prepared(insert, error))
        return false;
    for (const Standards::Row &r : data.standards.rows) {
        insert.bind(1, r.age);
        insert.bind(2, r.sex);
        const double values[] = {r.tal, r.wei, r.cal, r.tan, r.ca, r.fe,
                                 r.va,  r.vb1, r.vb2, r.nai, r.vc};
        for (int i = 0; i < 11; ++i)
            insert.bind(3 + i, values[i]);
        if (!runRow(insert, error))
            return false;
    }
    return true;
}

bool writeIntakes(sqlite3 *db, const Data &data, QString *error)
{
    Statement insert(db, QStringLiteral("INSERT INTO kjz(AGF,AGT,SEX,STG,NUT,IND,VAL,EDN)"
                                        " VALUES (?1,?2,?3,?4,?5,?6,?7,?8)"));
    Statement school(db, QStringLiteral("INSERT INTO kjg(GRP,GNM,AGF,AGT,NUT,VAL)"
                                        " VALUES (?1,?2,?3,?4,?5,?6)"));
    if (!prepared(insert, error) || !prepared(school, error))
        return false;
    for (const IntakeFiles::Row &r : data.intakes.rows) {
        insert.bind(1, r.from ? QVariant(*r.from) : QVariant());
        insert.bind(2, r.to ? QVariant(*r.to) : QVariant());
        insert.bind(3, r.sex);
        insert.bind(4, r.stage);
        insert.bind(5, r.nutrient);
        insert.bind(6, r.indicator);
        insert.bind(7, r.value);
        insert.bind(8, r.edition);
        if (!runRow(insert, error))
            return false;
    }
    for (const IntakeFiles::SchoolRow &r : data.intakes.school) {
        school.bind(1, r.group);
        school.bind(2, r.name);
        school.bind(3, r.from);
        school.bind(4, r.to);
        school.bind(5, r.nutrient);
        school.bind(6, r.value);
        if (!runRow(school, error))
            return false;
    }
    return true;
}

// Inserts each official food, or rewrites the row of its number.
bool writeFoods(sqlite3 *db, const Data &data, QSet<int> *existing, RefreshResult *result,
                QString *error)
{
    QString fields = QStringLiteral("SID,SNM,SKN,BID,FNM");
    QString places = QStringLiteral("?1,?2,?3,?4,?5");
    QString updates =
        QStringLiteral("SNM=excluded.SNM,SKN=excluded.SKN,BID=excluded.BID,FNM=excluded.FNM");
    for (int i = 0; i < FoodTable::fieldCount; ++i) {
        const QString f = QString::fromLatin1(FoodTable::fieldMappings[i].field);
        fields += QLatin1Char(',') + f;
        places += QStringLiteral(",?%1").arg(6 + i);
        updates += QStringLiteral(",%1=excluded.%1").arg(f);
    }
    Statement upsert(
        db, QStringLiteral("INSERT INTO eys(%1) VALUES (%2) ON CONFLICT(SID) DO UPDATE SET %3")
                .arg(fields, places, updates));
    if (!prepared(upsert, error))
        return false;
    // The components eys does not hold, and how the table wrote every one.
    QStringList componentColumns{QStringLiteral("SID")};
    QList<int> componentIndexes;
    for (int i = 0; i < Components::count; ++i) {
        if (!Components::all[i].inFoodRow()) {
            componentColumns << QString(Components::all[i].code);
            componentIndexes << i;
        }
    }
    componentColumns << QStringLiteral("MRK");
    QStringList componentPlaces;
    for (int i = 1; i <= componentColumns.size(); ++i)
        componentPlaces << QStringLiteral("?%1").arg(i);
    Statement components(db, QStringLiteral("INSERT OR REPLACE INTO sbn(%1) VALUES (%2)")
                                 .arg(componentColumns.join(QLatin1Char(',')),
                                      componentPlaces.join(QLatin1Char(','))));
    if (!prepared(components, error))
        return false;
    const QList<FoodTable::Food> &foods = data.foods.foods;
    for (int n = 0; n < foods.size(); ++n) {
        const FoodTable::Food &food = foods[n];
        upsert.bind(1, food.number);
        // The reading is that of the published name, so the dropped group
        // still finds the food.
        upsert.bind(2, data.names.value(n, food.name));
        upsert.bind(3, data.readings.value(n));
        upsert.bind(4, food.group);
        upsert.bind(5, food.name);
        for (int i = 0; i < FoodTable::fieldCount; ++i) {
            const FoodTable::Value v = FoodTable::fieldValue(food, FoodTable::fieldMappings[i]);
            if (v.known)
                upsert.bind(6 + i, v.number);
            else
                upsert.bind(6 + i, QVariant());
        }
        if (!runRow(upsert, error))
            return false;
        components.bind(1, food.number);
        for (int c = 0; c < componentIndexes.size(); ++c) {
            const FoodTable::Value v = FoodTable::componentValue(food, componentIndexes[c]);
            components.bind(2 + c, v.known ? QVariant(v.number) : QVariant());
        }
        std::array<Components::Marker, Components::count> markers{};
        for (int i = 0; i < Components::count; ++i)
            markers[i] = FoodTable::componentValue(food, i).marker;
        components.bind(2 + int(componentIndexes.size()), Components::markerText(markers));
        if (!runRow(components, error))
            return false;
        if (result) {
            if (existing->remove(food.number))
                ++result->updated;
            else
                ++result->added;
        }
    }
    if (result)
        result->kept = int(existing->size());
    return true;
}

// The imported measures; a row the user entered for the same food and unit
// stays as it is.
bool writeMeasures(sqlite3 *db, const Data &data, QString *error)
{
    Statement insert(db, QStringLiteral("INSERT OR IGNORE INTO etn(SID, TNM, KAK, USR)"
                                        " VALUES (?1, ?2, ?3, ?4)"));
    if (!prepared(insert, error))
        return false;
    for (const Measure &m : data.measures) {
        insert.bind(1, m.food);
        insert.bind(2, m.unit);
        insert.bind(3, m.grams);
        insert.bind(4, m.estimated ? estimatedMeasure : importedMeasure);
        if (!runRow(insert, error))
            return false;
    }
    return true;
}

} // namespace

bool write(sqlite3 *db, const Data &data, QString *error)
{
    QSet<int> none;
    return writeCategories(db, data, error) && writeFoods(db, data, &none, nullptr, error) &&
           writeUnits(db, error) && writeStandards(db, data, error) &&
           writeIntakes(db, data, error) && writeMeasures(db, data, error);
}

namespace {

// Opens an existing store of this program for a refresh.
sqlite3 *openStore(const QString &storePath, QString *error)
{
    if (!QFileInfo(storePath).isFile()) {
        if (error)
            *error = QStringLiteral("%1 がありません。更新するデータベースを指定してください。")
                         .arg(storePath);
        return nullptr;
    }
    sqlite3 *db = nullptr;
    const QByteArray name = QFile::encodeName(storePath);
    if (sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI, nullptr) !=
        SQLITE_OK) {
        if (error)
            *error = QStringLiteral("%1 を開けません: %2")
                         .arg(storePath, QString::fromUtf8(sqlite3_errmsg(db)));
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, 5000);
    const QStringList foreign = SchemaCheck::foreignParts(db);
    if (!foreign.isEmpty() || !SchemaCheck::trustIfOwn(db)) {
        if (error)
            *error = SchemaCheck::foreignMessage(storePath, foreign);
        sqlite3_close(db);
        return nullptr;
    }
    return db;
}

// Whether the schema of the store attached as schema holds the program's tables.
bool isStore(sqlite3 *db, const char *schema, const QString &storePath, QString *error)
{
    Statement tables(db,
                     QStringLiteral("SELECT count(*) FROM %1.sqlite_master WHERE type='table' AND"
                                    " name IN ('eys','bun','mnu','kou','tni','kij')")
                         .arg(QLatin1String(schema)));
    const bool ok = prepared(tables, error) && tables.next() && tables.value(0).toInt() == 6;
    if (!ok && error)
        *error = QStringLiteral("%1 はゼントのデータベースではありません。").arg(storePath);
    return ok;
}

// Runs body in one transaction on db, committing when it succeeds and leaving
// the store as it was when anything fails.
bool inTransaction(sqlite3 *db, const std::function<bool()> &body, QString *error)
{
    if (!exec(db, "BEGIN IMMEDIATE", error))
        return false;
    if (body() && exec(db, Schema::searchIndexStatements().toUtf8().constData(), error) &&
        Schema::addReadingIndex(db, error) && exec(db, "COMMIT", error))
        return true;
    exec(db, "ROLLBACK", nullptr);
    return false;
}

QSet<int> officialFoods(sqlite3 *db, const char *schema, bool *ok, QString *error)
{
    QSet<int> numbers;
    Statement official(db, QStringLiteral("SELECT SID FROM %1.eys WHERE SID < %2")
                               .arg(QLatin1String(schema))
                               .arg(Schema::firstUserFoodId));
    *ok = prepared(official, error);
    while (*ok && official.next())
        numbers.insert(official.value(0).toInt());
    *ok = *ok && !official.failed();
    if (!*ok && error && error->isEmpty())
        *error = official.error();
    return numbers;
}

QStringList columnsOf(sqlite3 *db, const QString &table, QString *error,
                      const char *schema = "main")
{
    QStringList names;
    Statement info(db,
                   QStringLiteral("PRAGMA %1.table_info(%2)").arg(QLatin1String(schema), table));
    if (!prepared(info, error))
        return names;
    while (info.next())
        names << info.value(1).toString();
    return names;
}

// Copies the reference rows of the store attached as "ready" into the main
// store: the official foods by their number, every category, unit and standard.
bool copyReference(sqlite3 *db, QString *error)
{
    // A ready store made before the components lacks sbn; the store's own
    // then stay as they are.
    const QString components =
        columnsOf(db, QStringLiteral("sbn"), error, "ready").join(QLatin1Char(','));
    if (!components.isEmpty() &&
        !exec(db,
              QStringLiteral("INSERT OR REPLACE INTO main.sbn(%1) SELECT %1 FROM ready.sbn"
                             " WHERE SID < %2;")
                  .arg(components)
                  .arg(Schema::firstUserFoodId)
                  .toUtf8()
                  .constData(),
              error))
        return false;
    // A ready store made before the full standards lacks kjz and kjg; the
    // store's own then stay as they are.
    for (const QString table : {QStringLiteral("kjz"), QStringLiteral("kjg")}) {
        const QString columns = columnsOf(db, table, error, "ready").join(QLatin1Char(','));
        if (!columns.isEmpty() &&
            !exec(db,
                  QStringLiteral("DELETE FROM main.%1; INSERT INTO main.%1(%2) SELECT %2 FROM "
                                 "ready.%1;")
                      .arg(table, columns)
                      .toUtf8()
                      .constData(),
                  error))
            return false;
    }
    for (const QString table :
         {QStringLiteral("bun"), QStringLiteral("tni"), QStringLiteral("kij")}) {
        const QString columns = columnsOf(db, table, error).join(QLatin1Char(','));
        if (columns.isEmpty() ||
            !exec(db,
                  QStringLiteral("DELETE FROM main.%1; INSERT INTO main.%1(%2) SELECT %2 FROM "
                                 "ready.%1;")
                      .arg(table, columns)
                      .toUtf8()
                      .constData(),
                  error))
            return false;
    }
    // A ready store made before full names lacks FNM, and the full names
    // then stay as they are; any other missing column is a fault.
    QStringList columns = columnsOf(db, QStringLiteral("eys"), error);
    const QStringList readyColumns = columnsOf(db, QStringLiteral("eys"), error, "ready");
    if (!readyColumns.contains(QStringLiteral("FNM")))
        columns.removeAll(QStringLiteral("FNM"));
    if (!readyColumns.isEmpty() &&
        columnsOf(db, QStringLiteral("etn"), error, "ready").size() > 0 &&
        !exec(db,
              "DELETE FROM main.etn WHERE USR <> 1;"
              " INSERT OR IGNORE INTO main.etn(SID, TNM, KAK, USR)"
              " SELECT SID, TNM, KAK, USR FROM ready.etn WHERE USR <> 1;",
              error))
        return false;
    QStringList updates;
    for (const QString &c : columns)
        if (c != QLatin1String("SID"))
            updates << QStringLiteral("%1=excluded.%1").arg(c);
    const QString list = columns.join(QLatin1Char(','));
    return !columns.isEmpty() &&
           exec(db,
                QStringLiteral("INSERT INTO main.eys(%1) SELECT %1 FROM ready.eys WHERE SID < %2"
                               " ON CONFLICT(SID) DO UPDATE SET %3;")
                    .arg(list)
                    .arg(Schema::firstUserFoodId)
                    .arg(updates.join(QLatin1Char(',')))
                    .toUtf8()
                    .constData(),
                error);
}

// Runs rewrite, which writes the new table's official foods, keeping the
// values of every official food whose values in the store differ from the
// new table's: those the user changed. A food that had no component row
// before (a store made before the components) takes the new components.
bool keepingChanges(sqlite3 *db, const std::function<bool()> &rewrite, QStringList *differing,
                    QString *error)
{
    bool read = false;
    const QSet<int> foods = officialFoods(db, "main", &read, error);
    if (!read)
        return false;
    std::vector<std::pair<int, QVariantList>> before;
    before.reserve(foods.size());
    for (const int food : foods)
        if (const std::optional<QVariantList> values = OfficialTable::valuesOf(db, food))
            before.emplace_back(food, *values);
    if (!rewrite())
        return false;
    std::sort(before.begin(), before.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    for (auto &[food, old] : before) {
        std::optional<QVariantList> now = OfficialTable::valuesOf(db, food);
        if (!now)
            continue;
        if (old.constLast().isNull()) { // no component row: the value fields only
            old = old.mid(0, FoodRecord::valueCount) +
                  now->mid(FoodRecord::valueCount); // the new components
        }
        if (OfficialTable::sameValues(old, *now))
            continue;
        if (!OfficialTable::putValues(db, food, old, error))
            return false;
        differing->append(
            QStringLiteral("%1 %2")
                .arg(food, 5, 10, QLatin1Char('0'))
                .arg(scalarOf(db, QStringLiteral("SELECT SNM FROM eys WHERE SID=?1"), {food})
                         .toString()));
    }
    return true;
}

} // namespace

bool refresh(const QString &storePath, const Data &data, RefreshResult *result, QString *error)
{
    sqlite3 *db = openStore(storePath, error);
    if (!db)
        return false;
    RefreshResult counts;
    const auto rewrite = [&] {
        bool read = false;
        QSet<int> existing = officialFoods(db, "main", &read, error);
        // A store made before full names and measures gets them here.
        return read && Schema::upgrade(db, error) &&
               exec(db,
                    "DELETE FROM bun; DELETE FROM tni; DELETE FROM kij;"
                    " DELETE FROM kjz; DELETE FROM kjg; DELETE FROM etn WHERE USR <> 1;",
                    error) &&
               writeCategories(db, data, error) &&
               keepingChanges(
                   db, [&] { return writeFoods(db, data, &existing, &counts, error); },
                   &counts.differing, error) &&
               writeUnits(db, error) && writeStandards(db, data, error) &&
               writeIntakes(db, data, error) && writeMeasures(db, data, error);
    };
    const bool ok = isStore(db, "main", storePath, error) && inTransaction(db, rewrite, error);
    sqlite3_close(db);
    if (ok && result)
        *result = counts;
    return ok;
}

bool refreshFrom(const QString &storePath, const QString &readyPath, RefreshResult *result,
                 QString *error)
{
    if (!QFileInfo(readyPath).isFile()) {
        if (error)
            *error =
                QStringLiteral("新しい参照データのデータベース %1 がありません。").arg(readyPath);
        return false;
    }
    if (QFileInfo(readyPath).canonicalFilePath() == QFileInfo(storePath).canonicalFilePath()) {
        if (error)
            *error = QStringLiteral("%1 を自分自身で更新することはできません。").arg(storePath);
        return false;
    }
    sqlite3 *db = openStore(storePath, error);
    if (!db)
        return false;
    // The ready store is only read, and may lie where the user cannot write.
    const auto attach = [&] {
        Statement statement(db, QStringLiteral("ATTACH DATABASE ?1 AS ready"));
        if (!prepared(statement, error))
            return false;
        statement.bind(
            1, QString::fromUtf8(
                   QUrl::fromLocalFile(QFileInfo(readyPath).absoluteFilePath()).toEncoded() +
                   "?mode=ro&immutable=1"));
        return runRow(statement, error);
    };
    RefreshResult counts;
    const auto copy = [&] {
        bool read = false, readyRead = false;
        const QSet<int> existing = officialFoods(db, "main", &read, error);
        const QSet<int> incoming = officialFoods(db, "ready", &readyRead, error);
        if (!read || !readyRead)
            return false;
        if (incoming.isEmpty()) {
            if (error)
                *error = QStringLiteral("%1 には食品がありません。").arg(readyPath);
            return false;
        }
        counts.updated = int(QSet<int>(incoming).intersect(existing).size());
        counts.added = int(incoming.size()) - counts.updated;
        counts.kept = int(existing.size()) - counts.updated;
        return Schema::upgrade(db, error) &&
               keepingChanges(
                   db, [&] { return copyReference(db, error); }, &counts.differing, error);
    };
    const bool ok = isStore(db, "main", storePath, error) && attach() &&
                    isStore(db, "ready", readyPath, error) && inTransaction(db, copy, error);
    sqlite3_close(db);
    if (ok && result)
        *result = counts;
    return ok;
}

} // namespace ReferenceData
