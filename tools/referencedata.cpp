#include "tools/referencedata.h"

#include "core/store/schema.h"
#include "tools/readings.h"
#include "tools/storebuilder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <cstdio>
#include <sqlite3.h>

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

class Statement
{
public:
    Statement(sqlite3 *db, const QString &sql, QString *error)
        : m_db(db)
    {
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_stmt, nullptr) !=
            SQLITE_OK)
            fail(error);
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    bool ok() const { return m_stmt != nullptr; }
    void bind(int i, const QString &text)
    {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(m_stmt, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    void bind(int i, double value) { sqlite3_bind_double(m_stmt, i, value); }
    void bind(int i, int value) { sqlite3_bind_int(m_stmt, i, value); }
    void bindNull(int i) { sqlite3_bind_null(m_stmt, i); }
    bool run(QString *error)
    {
        const int rc = sqlite3_step(m_stmt);
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
        if (rc == SQLITE_DONE || rc == SQLITE_ROW)
            return true;
        fail(error);
        return false;
    }
    sqlite3_stmt *get() const { return m_stmt; }

private:
    void fail(QString *error)
    {
        if (error)
            *error = QString::fromUtf8(sqlite3_errmsg(m_db));
    }
    sqlite3 *m_db;
    sqlite3_stmt *m_stmt = nullptr;
};

using StoreBuilder::exec;

bool writeCategories(sqlite3 *db, const Data &data, QString *error)
{
    Statement insert(db, QStringLiteral("INSERT INTO bun(分類№, 分類名) VALUES (?1, ?2)"), error);
    if (!insert.ok())
        return false;
    for (auto it = data.foods.groups.cbegin(); it != data.foods.groups.cend(); ++it) {
        insert.bind(1, it.key());
        insert.bind(2, it.value());
        if (!insert.run(error))
            return false;
    }
    insert.bind(1, userCategory);
    insert.bind(2, userCategoryName);
    return insert.run(error);
}

bool writeUnits(sqlite3 *db, QString *error)
{
    Statement insert(db, QStringLiteral("INSERT INTO tni(TNM, KAK) VALUES (?1, ?2)"), error);
    if (!insert.ok())
        return false;
    for (const Unit &u : units()) {
        insert.bind(1, u.name);
        insert.bind(2, u.grams);
        if (!insert.run(error))
            return false;
    }
    return true;
}

bool writeStandards(sqlite3 *db, const Data &data, QString *error)
{
    Statement insert(
        db,
        QStringLiteral("INSERT INTO kij(AGE,SEX,TAL,WEI,CAL,TAN,CA,FE,VA,VB1,VB2,NAI,VC)"
                       " VALUES (?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11,?12,?13)"),
        error);
    if (!insert.ok())
        return false;
    for (const Standards::Row &r : data.standards.rows) {
        insert.bind(1, r.age);
        insert.bind(2, r.sex);
        const double values[] = {r.tal, r.wei, r.cal, r.tan, r.ca, r.fe,
                                 r.va,  r.vb1, r.vb2, r.nai, r.vc};
        for (int i = 0; i < 11; ++i)
            insert.bind(3 + i, values[i]);
        if (!insert.run(error))
            return false;
    }
    return true;
}

// Inserts each official food, or rewrites the row of its number.
bool writeFoods(sqlite3 *db, const Data &data, QSet<int> *existing, RefreshResult *result,
                QString *error)
{
    QString fields = QStringLiteral("SID,SNM,SKN,BID");
    QString places = QStringLiteral("?1,?2,?3,?4");
    QString updates = QStringLiteral("SNM=excluded.SNM,SKN=excluded.SKN,BID=excluded.BID");
    for (int i = 0; i < FoodTable::fieldCount; ++i) {
        const QString f = QString::fromLatin1(FoodTable::fieldMappings[i].field);
        fields += QLatin1Char(',') + f;
        places += QStringLiteral(",?%1").arg(5 + i);
        updates += QStringLiteral(",%1=excluded.%1").arg(f);
    }
    Statement upsert(
        db,
        QStringLiteral("INSERT INTO eys(%1) VALUES (%2) ON CONFLICT(SID) DO UPDATE SET %3")
            .arg(fields, places, updates),
        error);
    if (!upsert.ok())
        return false;
    const QList<FoodTable::Food> &foods = data.foods.foods;
    for (int n = 0; n < foods.size(); ++n) {
        const FoodTable::Food &food = foods[n];
        upsert.bind(1, food.number);
        upsert.bind(2, food.name);
        upsert.bind(3, data.readings.value(n));
        upsert.bind(4, food.group);
        for (int i = 0; i < FoodTable::fieldCount; ++i) {
            const FoodTable::Value v = FoodTable::fieldValue(food, FoodTable::fieldMappings[i]);
            if (v.known)
                upsert.bind(5 + i, v.number);
            else
                upsert.bindNull(5 + i);
        }
        if (!upsert.run(error))
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

} // namespace

bool write(sqlite3 *db, const Data &data, QString *error)
{
    QSet<int> none;
    return writeCategories(db, data, error) && writeFoods(db, data, &none, nullptr, error) &&
           writeUnits(db, error) && writeStandards(db, data, error);
}

bool refresh(const QString &storePath, const Data &data, RefreshResult *result, QString *error)
{
    if (!QFileInfo(storePath).isFile()) {
        if (error)
            *error = QStringLiteral("%1 がありません。更新するデータベースを指定してください。")
                         .arg(storePath);
        return false;
    }
    sqlite3 *db = nullptr;
    const QByteArray name = QFile::encodeName(storePath);
    if (sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        if (error)
            *error = QStringLiteral("%1 を開けません: %2")
                         .arg(storePath, QString::fromUtf8(sqlite3_errmsg(db)));
        sqlite3_close(db);
        return false;
    }
    sqlite3_busy_timeout(db, 5000);
    bool ok = true;
    {
        // Only a store of this program is refreshed.
        Statement tables(db,
                         QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' AND"
                                        " name IN ('eys','bun','mnu','kou','tni','kij')"),
                         error);
        ok = tables.ok() && sqlite3_step(tables.get()) == SQLITE_ROW &&
             sqlite3_column_int(tables.get(), 0) == 6;
        if (!ok && error)
            *error = QStringLiteral("%1 はゼントのデータベースではありません。").arg(storePath);
    }
    RefreshResult counts;
    ok = ok && exec(db, "BEGIN IMMEDIATE", error);
    if (ok) {
        QSet<int> existing;
        {
            Statement official(
                db,
                QStringLiteral("SELECT SID FROM eys WHERE SID < %1").arg(Schema::firstUserFoodId),
                error);
            ok = official.ok();
            while (ok && sqlite3_step(official.get()) == SQLITE_ROW)
                existing.insert(sqlite3_column_int(official.get(), 0));
        }
        ok = ok && exec(db, "DELETE FROM bun; DELETE FROM tni; DELETE FROM kij;", error) &&
             writeCategories(db, data, error) && writeFoods(db, data, &existing, &counts, error) &&
             writeUnits(db, error) && writeStandards(db, data, error) &&
             exec(db, Schema::searchIndexStatements().toUtf8().constData(), error) &&
             Schema::addReadingIndex(db, error) &&
             exec(db, "COMMIT", error);
        if (!ok)
            exec(db, "ROLLBACK", nullptr);
    }
    sqlite3_close(db);
    if (ok && result)
        *result = counts;
    return ok;
}

} // namespace ReferenceData
