#include "tools/storebuilder.h"

#include "core/store/schema.h"
#include "core/store/schemacheck.h"
#include "core/store/statement.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryFile>
#include <sqlite3.h>

namespace StoreBuilder {

bool exec(sqlite3 *db, const char *sql, QString *error)
{
    char *message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    if (error)
        *error = QString::fromUtf8(message ? message : sqlite3_errmsg(db));
    sqlite3_free(message);
    return false;
}

bool build(const QString &path, const Fill &fill, QString *error)
{
    const QFileInfo target(path);
    const QString temporary = target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                              QStringLiteral(".building");
    QFile::remove(temporary);
    sqlite3 *db = nullptr;
    const QByteArray name = QFile::encodeName(temporary);
    if (sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        if (error)
            *error = QStringLiteral("%1 を作れません: %2")
                         .arg(temporary, QString::fromUtf8(sqlite3_errmsg(db)));
        sqlite3_close(db);
        return false;
    }
    // Made here from the schema's own statements: its triggers are ours.
    SchemaCheck::trustIfOwn(db);
    bool ok = exec(db, "PRAGMA journal_mode=MEMORY; PRAGMA synchronous=OFF; BEGIN", error) &&
              Schema::create(db, error) && (!fill || fill(db, error)) && exec(db, "COMMIT", error);
    if (ok)
        ok = exec(db, "PRAGMA journal_mode=DELETE; VACUUM", error);
    sqlite3_close(db);
    if (ok) {
        QFile::remove(path);
        ok = QFile::rename(temporary, path);
        if (!ok && error)
            *error = QStringLiteral("%1 を %2 に置けません。").arg(temporary, path);
    }
    if (!ok)
        QFile::remove(temporary);
    return ok;
}

namespace {

struct DemoFood
{
    int sid;
    const char *name;
    const char *reading;
    int group;
    double enc, sui, tan, sst, tst, tss, kbn, ca, p, fe, na, k, var, vac, vak, ve, vb1, vb2, nai,
        vc, col, nat;
};

// A handful of everyday foods, for a store made without the official table.
// clang-format off
const DemoFood demoFoods[] = {
    {1083,
     "こめ　［水稲穀粒］　精白米　うるち米",
     "ｺﾒ ｽｲﾄｳｺｸﾘｭｳ ｾｲﾊｸﾏｲ ｳﾙﾁﾏｲ",
     1,
     342,
     14.9,
     6.1,
     0.9,
     77.1,
     0.5,
     0.4,
     5,
     95,
     0.8,
     1,
     89,
     0,
     0,
     0,
     0.1,
     0.08,
     0.02,
     2.6,
     0,
     0,
     0},
    {4032,
     "だいず　［豆腐・油揚げ類］　木綿豆腐",
     "ﾀﾞｲｽﾞ ﾄｳﾌ ｱﾌﾞﾗｱｹﾞﾙｲ ﾓﾒﾝﾄﾞｳﾌ",
     4,
     73,
     85.9,
     7.0,
     4.9,
     0.4,
     1.1,
     0.7,
     93,
     88,
     1.5,
     9,
     110,
     0,
     0,
     0,
     0.2,
     0.09,
     0.04,
     2.0,
     0,
     0,
     0},
    {6132,
     "だいこん　根　皮つき　生",
     "ﾀﾞｲｺﾝ ﾈ ｶﾜﾂｷ ﾅﾏ",
     6,
     15,
     94.6,
     0.5,
     0.1,
     2.7,
     1.4,
     0.6,
     24,
     18,
     0.2,
     19,
     230,
     0,
     0,
     0,
     0,
     0.02,
     0.01,
     0.4,
     12,
     0,
     0},
    {6061,
     "キャベツ　結球葉　生",
     "ｷｬﾍﾞﾂ ｹｯｷｭｳﾖｳ ﾅﾏ",
     6,
     21,
     92.7,
     1.3,
     0.2,
     3.4,
     1.8,
     0.5,
     43,
     27,
     0.3,
     5,
     200,
     0,
     50,
     13,
     0.1,
     0.04,
     0.03,
     0.4,
     41,
     0,
     0},
    {11123,
     "ぶた　［大型種肉］　ロース　脂身つき　生",
     "ﾌﾞﾀ ｵｵｶﾞﾀｼｭﾆｸ ﾛｰｽ ｱﾌﾞﾗﾐﾂｷ ﾅﾏ",
     11,
     248,
     60.4,
     19.3,
     19.2,
     0.2,
     0,
     0.9,
     4,
     180,
     0.3,
     42,
     310,
     6,
     0,
     20,
     0.3,
     0.69,
     0.15,
     11.0,
     1,
     61,
     0.1},
    {12004,
     "鶏卵　全卵　生",
     "ｹｲﾗﾝ ｾﾞﾝﾗﾝ ﾅﾏ",
     12,
     142,
     75.0,
     12.2,
     10.2,
     0.4,
     0,
     1.0,
     46,
     170,
     1.5,
     140,
     130,
     210,
     7,
     700,
     1.3,
     0.06,
     0.37,
     3.2,
     0,
     370,
     0.4},
    {13003,
     "＜牛乳及び乳製品＞　（液状乳類）　普通牛乳",
     "ｷﾞｭｳﾆｭｳ ｵﾖﾋﾞ ﾆｭｳｾｲﾋﾝ ｴｷｼﾞｮｳﾆｭｳﾙｲ ﾌﾂｳｷﾞｭｳﾆｭｳ",
     13,
     61,
     87.4,
     3.3,
     3.8,
     4.8,
     0,
     0.7,
     110,
     93,
     0.02,
     41,
     150,
     38,
     6,
     127,
     0.1,
     0.04,
     0.15,
     0.9,
     1,
     12,
     0.1},
    {17007,
     "＜調味料類＞　（しょうゆ類）　こいくちしょうゆ",
     "ﾁｮｳﾐﾘｮｳﾙｲ ｼｮｳﾕﾙｲ ｺｲｸﾁｼｮｳﾕ",
     17,
     77,
     67.1,
     7.7,
     0,
     7.9,
     0,
     15.1,
     29,
     160,
     1.7,
     5700,
     390,
     0,
     0,
     0,
     0,
     0.05,
     0.17,
     1.6,
     0,
     0,
     14.5},
    {17012,
     "＜調味料類＞　（食塩類）　食塩",
     "ﾁｮｳﾐﾘｮｳﾙｲ ｼｮｸｴﾝﾙｲ ｼｮｸｴﾝ",
     17,
     0,
     0.1,
     0,
     0,
     0,
     0,
     99.9,
     22,
     0,
     0,
     39000,
     100,
     0,
     0,
     0,
     0,
     0,
     0,
     0,
     0,
     0,
     99.5},
    {3003,
     "（砂糖類）　車糖　上白糖",
     "ｻﾄｳﾙｲ ｸﾙﾏﾄｳ ｼﾞｮｳﾊｸﾄｳ",
     3,
     391,
     0.7,
     0,
     0,
     99.3,
     0,
     0,
     1,
     0,
     0,
     1,
     2,
     0,
     0,
     0,
     0,
     0,
     0,
     0,
     0,
     0,
     0},
};

const char *const groupNames[18] = {"穀類",
                                    "いも及びでん粉類",
                                    "砂糖及び甘味類",
                                    "豆類",
                                    "種実類",
                                    "野菜類",
                                    "果実類",
                                    "きのこ類",
                                    "藻類",
                                    "魚介類",
                                    "肉類",
                                    "卵類",
                                    "乳類",
                                    "油脂類",
                                    "菓子類",
                                    "し好飲料類",
                                    "調味料及び香辛料類",
                                    "調理済み流通食品類"};
// clang-format on

// A statement of the core's store layer, checked when prepared.
bool prepared(const Statement &statement, QString *error)
{
    if (!statement.isValid() && error)
        *error = statement.error();
    return statement.isValid();
}

// Runs a bound statement once, then makes it ready for the next row.
bool step(Statement &statement, QString *error)
{
    const bool ok = statement.exec();
    if (!ok && error)
        *error = statement.error();
    statement.reset();
    return ok;
}

} // namespace

bool fillDemo(sqlite3 *db, QString *error)
{
    Statement category(db, QStringLiteral("INSERT INTO bun(分類№, 分類名) VALUES (?1, ?2)"));
    bool ok = prepared(category, error);
    for (int i = 0; ok && i < 18; ++i) {
        category.bind(1, i + 1);
        category.bind(2, QString::fromUtf8(groupNames[i]));
        ok = step(category, error);
    }
    category.bind(1, 20);
    category.bind(2, QStringLiteral("登録食品"));
    ok = ok && step(category, error);

    Statement food(
        db, QStringLiteral("INSERT INTO eys(SID,SNM,SKN,BID,ENC,SUI,TAN,SST,TST,TSS,KBN,CA,P,FE,NA,"
                           "K,VAR,VAC,VAK,VE,VB1,VB2,NAI,VC,FIB,COL,NAT) VALUES (?1,?2,?3,?4,?5,?6,"
                           "?7,?8,?9,?10,?11,?12,?13,?14,?15,?16,?17,?18,?19,?20,?21,?22,?23,?24,"
                           "?25,?26,?27)"));
    ok = ok && prepared(food, error);
    for (const DemoFood &f : demoFoods) {
        if (!ok)
            break;
        food.bind(1, f.sid);
        food.bind(2, QString::fromUtf8(f.name));
        food.bind(3, QString::fromUtf8(f.reading));
        food.bind(4, f.group);
        const double values[] = {f.enc, f.sui, f.tan, f.sst, f.tst, f.tss, f.kbn, f.ca,
                                 f.p,   f.fe,  f.na,  f.k,   f.var, f.vac, f.vak, f.ve,
                                 f.vb1, f.vb2, f.nai, f.vc,  f.tss, f.col, f.nat};
        for (int i = 0; i < 23; ++i)
            food.bind(5 + i, values[i]);
        ok = step(food, error);
    }

    ok = ok && exec(db,
                    "INSERT INTO tni(TNM, KAK) VALUES ('ｇ', 1), ('kg', 1000), ('小さじ', 5),"
                    " ('大さじ', 15), ('ｶｯﾌﾟ', 200), ('合', 150)",
                    error);

    // Demonstration standards, by broad age band; the official table replaces
    // them when the reference data is imported.
    struct Band
    {
        int from, to, sex;
        double tal, wei, cal, tan, ca, fe, va, vb1, vb2, nai, vc;
    };
    const Band bands[] = {
        {1, 5, 1, 95, 14, 1100, 23, 550, 4.5, 1500, 0.6, 0.7, 7, 40},
        {1, 5, 0, 94, 14, 1050, 23, 500, 4.5, 1500, 0.6, 0.6, 6, 40},
        {6, 11, 1, 130, 28, 1850, 40, 650, 7.5, 1800, 0.9, 1.1, 11, 60},
        {6, 11, 0, 129, 27, 1700, 40, 700, 7.5, 1800, 0.9, 1.0, 10, 60},
        {12, 17, 1, 165, 55, 2800, 65, 900, 10.5, 2700, 1.5, 1.7, 17, 100},
        {12, 17, 0, 156, 50, 2350, 55, 700, 10.5, 2300, 1.2, 1.4, 13, 100},
        {18, 64, 1, 171, 65, 2700, 65, 750, 7.5, 2800, 1.4, 1.6, 15, 100},
        {18, 64, 0, 158, 52, 2000, 50, 650, 10.5, 2300, 1.1, 1.2, 11, 100},
        {65, 80, 1, 162, 60, 2150, 60, 750, 7.0, 2800, 1.1, 1.4, 13, 100},
        {65, 80, 0, 149, 50, 1650, 50, 650, 6.0, 2300, 0.9, 1.1, 10, 100},
    };
    Statement standard(db, QStringLiteral("INSERT INTO kij(AGE,SEX,TAL,WEI,CAL,TAN,CA,FE,VA,VB1,"
                                          "VB2,NAI,VC) VALUES (?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,"
                                          "?11,?12,?13)"));
    ok = ok && prepared(standard, error);
    for (int age = 1; ok && age <= 80; ++age) {
        for (int sex : {1, 0}) {
            for (const Band &b : bands) {
                if (age < b.from || age > b.to || sex != b.sex)
                    continue;
                standard.bind(1, age);
                standard.bind(2, sex);
                const double v[] = {b.tal, b.wei, b.cal, b.tan, b.ca, b.fe,
                                    b.va,  b.vb1, b.vb2, b.nai, b.vc};
                for (int i = 0; i < 11; ++i)
                    standard.bind(3 + i, v[i]);
                ok = ok && step(standard, error);
            }
        }
    }

    ok = ok &&
         exec(db,
              "INSERT INTO mnu(アイテム名) VALUES ('ごはん'), ('冷奴');"
              "INSERT INTO kou(アイテムCD, 食品コード, 数量, 単位, 数量2) VALUES"
              " (1, 1083, 1, '合', 1.5), (2, 4032, 150, 'ｇ', 1.5), (2, 17007, 1, '小さじ', 0.05);",
              error);
    return ok;
}

bool fillHeavy(sqlite3 *db, int foods, int dishes, int lines, QString *error)
{
    // Synthetic foods copy the values of the store's own foods in turn, so the
    // figures stay plausible; their keys follow the user-food range. The seed
    // rows are numbered from 1 in key order, so each copy finds its model by
    // row number.
    bool ok = exec(db, "CREATE TEMP TABLE seed AS SELECT * FROM eys ORDER BY SID", error);
    const int have = scalarOf(db, QStringLiteral("SELECT count(*) FROM eys")).toInt();
    if (ok && have == 0) {
        if (error)
            *error = QStringLiteral("食品のない表からは重いデータを作れません。");
        return false;
    }
    Statement copy(
        db,
        QStringLiteral("INSERT INTO eys(SNM,SKN,BID,ENC,ENJ,SUI,TAN,SST,TST,TSS,KBN,CA,P,FE,NA,"
                       "K,VAR,VAC,VAK,VE,VB1,VB2,NAI,VC,FIB,COL,NAT) SELECT SNM || ' ' || ?2, "
                       "SKN || ' ' || ?2, BID, ENC,ENJ,SUI,TAN,SST,TST,TSS,KBN,CA,P,FE,NA,K,VAR,"
                       "VAC,VAK,VE,VB1,VB2,NAI,VC,FIB,COL,NAT FROM seed WHERE rowid = ?1 + 1"));
    ok = ok && prepared(copy, error);
    for (int i = have; ok && i < foods; ++i) {
        copy.bind(1, i % have);
        copy.bind(2, QString::number(i));
        ok = step(copy, error);
    }

    std::vector<qint64> foodIds;
    Statement ids(db, QStringLiteral("SELECT SID FROM eys"));
    ok = ok && prepared(ids, error);
    while (ok && ids.next())
        foodIds.push_back(ids.value(0).toLongLong());
    ok = ok && !ids.failed();

    Statement dish(db, QStringLiteral("INSERT INTO mnu(アイテム名) VALUES (?1)"));
    Statement line(db, QStringLiteral("INSERT INTO kou(アイテムCD, 食品コード, 数量, 単位, 数量2)"
                                      " VALUES (?1, ?2, ?3, 'ｇ', ?4)"));
    ok = ok && prepared(dish, error) && prepared(line, error);
    QRandomGenerator random(20261207);
    const int perDish = dishes > 0 ? lines / dishes : 0;
    for (int d = 0; ok && d < dishes; ++d) {
        dish.bind(1, QStringLiteral("料理%1").arg(d + 1));
        ok = step(dish, error);
        const qint64 dishId = sqlite3_last_insert_rowid(db);
        for (int l = 0; ok && l < perDish; ++l) {
            const int grams = 5 + int(random.bounded(300));
            line.bind(1, dishId);
            line.bind(2, foodIds[random.bounded(int(foodIds.size()))]);
            line.bind(3, double(grams));
            line.bind(4, grams / 100.0);
            ok = step(line, error);
        }
    }
    return ok && exec(db, "DROP TABLE seed", error);
}

} // namespace StoreBuilder
