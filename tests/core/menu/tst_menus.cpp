// Menus: the totals of a day and a period, the portions refused, and the
// menus kept through a dish's deletion, undo, backup and restore.
#include "core/menu/menuplan.h"
#include "core/menu/menutotals.h"
#include "core/nutrition/components.h"
#include "core/store/backup.h"
#include "core/store/database.h"
#include "core/store/undojournal.h"
#include "tests/support/testsupport.h"

#include <QtTest>
#include <sqlite3.h>

namespace {

const QString connection =
    QStringLiteral("Provider=Zento.SQLite.1;Data Source=zento.dll;Persist Security Info=False");

// 親子丼: 150 g of rice (01088) and 80 g of chicken (11221) whose salt is not
// known; 塩むすび: 100 g of rice and 1 g of salt (17012).
const QString fixture = QStringLiteral(
    "INSERT INTO bun VALUES (20, '登録食品');"
    "INSERT INTO eys(SID, SNM, SKN, BID, ENC, TAN, NAT) VALUES (1088, '米', 'ｺﾒ', 20, 156, 2.5, 0),"
    " (11221, '鶏肉', 'ﾄﾘﾆｸ', 20, 200, 20, NULL), (17012, '塩', 'ｼｵ', 20, 0, 0, 99.5);"
    "INSERT INTO mnu(ID, アイテム名) VALUES (1, '親子丼'), (2, '塩むすび');"
    "INSERT INTO kou(アイテムCD, 食品コード, 数量, 単位, 数量2) VALUES"
    " (1, 1088, 150, 'ｇ', 1.5), (1, 11221, 80, 'ｇ', 0.8), (2, 1088, 100, 'ｇ', 1),"
    " (2, 17012, 1, 'ｇ', 0.01);");

} // namespace

class TestMenus : public QObject
{
    Q_OBJECT

private slots:
    void totalsOfDayAndPeriod()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(fixture));
        Menus::MenuStore store;
        QString error;
        QVERIFY(store.open(connection, &error));
        const qint64 monday = *store.createDay({0, QStringLiteral("2026-12-07"), {}, {}}, &error);
        const qint64 tuesday = *store.createDay({0, QStringLiteral("2026-12-08"), {}, {}}, &error);
        const qint64 empty = *store.createDay({0, QStringLiteral("2026-12-09"), {}, {}}, &error);
        QVERIFY(store.addEntry(monday, 1, 1, 0.5, &error)); // half a 親子丼 at lunch
        QVERIFY(store.addEntry(monday, 3, 2, 2, &error));   // two 塩むすび as a snack
        QVERIFY(store.addEntry(tuesday, 0, 2, 1, &error));
        QVERIFY(store.addEntry(tuesday, 2, 99, 1, &error)); // a dish that is not there

        Menus::DishBook dishes;
        QVERIFY2(dishes.read(connection, &error), qPrintable(error));
        std::vector<Menus::Entry> entries;
        QVERIFY(store.entries({}, &entries, &error));

        const Menus::DayTotals mon = Menus::dayTotals(monday, entries, dishes);
        // ½ × (1.5 × 156 + 0.8 × 200) + 2 × 156 = 197 + 312
        QCOMPARE(*mon.day.value("ENC"), 509.0);
        QCOMPARE(*mon.day.value("NAT"), 2 * 0.995);
        const int salt = Menus::componentOf("NAT");
        QVERIFY(mon.day.isPartial(salt)); // the chicken's salt is not known
        QVERIFY(!mon.day.isPartial(Menus::componentOf("ENC")));
        QCOMPARE(Menus::figureText(mon.day, "NAT", 1), QStringLiteral("2.0*"));
        QCOMPARE(qRound(*mon.energyShare(1)), 39);
        QVERIFY(!mon.energyShare(0)); // no breakfast
        // Grams by food group: rice is 穀類 (1), chicken 肉類 (11), salt 調味料 (17).
        QCOMPARE(mon.day.groupGrams[1], 0.5 * 150 + 2 * 100);
        QCOMPARE(mon.day.groupGrams[11], 40.0);
        QCOMPARE(mon.day.groupGrams[17], 2.0);

        const Menus::DayTotals tue = Menus::dayTotals(tuesday, entries, dishes);
        QCOMPARE(tue.day.missing, 1);
        QVERIFY(tue.day.isPartial(Menus::componentOf("ENC")));
        QCOMPARE(Menus::figureText(tue.meals[2], "ENC", 0), QStringLiteral("*"));

        const Menus::DayTotals none = Menus::dayTotals(empty, entries, dishes);
        QVERIFY(none.day.isEmpty());
        QCOMPARE(Menus::figureText(none.day, "ENC", 0), QString());

        // The average is over the planned days; the empty day is counted apart.
        const Menus::PeriodTotals week =
            Menus::periodTotals({monday, tuesday, empty}, entries, dishes);
        QCOMPARE(week.days, 3);
        QCOMPARE(week.plannedDays, 2);
        QCOMPARE(*week.average.value("ENC"), (509.0 + 156) / 2);
        QCOMPARE(week.average.missing, 1);
        QVERIFY(Menus::periodTotals({empty}, entries, dishes).average.isEmpty());

        // The plan counts the same from its own days.
        std::vector<Menus::Day> days;
        QVERIFY(store.days(&days, &error));
        const Menus::Plan plan = Menus::buildPlan(days, entries, dishes);
        QCOMPARE(*plan.period.average.value("ENC"), *week.average.value("ENC"));
        QCOMPARE(plan.period.plannedDays, 2);
        QCOMPARE(*plan.days[0].totals.day.value("NAT"), 2 * 0.995);
        QCOMPARE(plan.period.energyShare[3], week.energyShare[3]);
    }

    // A day's total and a period's average judged as a day's intake against
    // the standards of a boy of 10, each figure as 栄養成分一覧 shows it.
    void judgementOfDayAndPeriod_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("component");
        QTest::addColumn<QString>("figure");
        QTest::addColumn<int>("ratio");
        QTest::addColumn<QString>("verdict");
        // Monday: ½ 親子丼 and 2 塩むすび; 14.9 g of protein below the EAR.
        QTest::newRow("protein of a day") << "monday"
                                          << "PROT"
                                          << "14.9" << 50 << "不足の可能性が高い";
        QTest::newRow("salt within its goal") << "monday"
                                              << "NACL_EQ"
                                              << "2.0" << 33 << "目標量の範囲内";
        // Energy has a need, no judgement.
        QTest::newRow("energy") << "monday"
                                << "ENERC_KCAL"
                                << "509" << 25 << "";
        // Tuesday's dinner dish is gone: the rest is judged.
        QTest::newRow("a day with a missing dish") << "tuesday"
                                                   << "NACL_EQ"
                                                   << "1.0" << 17 << "目標量の範囲内";
        // The period: (14.875 + 2.5) ÷ 2 days with entries.
        QTest::newRow("protein of the period") << "period"
                                               << "PROT"
                                               << "8.7" << 29 << "不足の可能性が高い";
        QTest::newRow("a component without a standard") << "period"
                                                        << "CHOLE"
                                                        << "" << -1 << "";
        QTest::newRow("an empty day is not judged") << "empty"
                                                    << "PROT"
                                                    << "" << -1 << "";
    }
    void judgementOfDayAndPeriod()
    {
        QFETCH(QString, what);
        QFETCH(QString, component);
        QFETCH(QString, figure);
        QFETCH(int, ratio);
        QFETCH(QString, verdict);
        TestFolder folder;
        QVERIFY(folder.makeStore(fixture));
        Menus::MenuStore store;
        QString error;
        QVERIFY(store.open(connection, &error));
        const Menus::Person boy{10, true, 2, 0};
        std::vector<Menus::Day> days;
        for (const char *date : {"2026-12-07", "2026-12-08", "2026-12-09"}) {
            Menus::Day day{0, QString::fromLatin1(date), QStringLiteral("給食"), boy};
            day.id = *store.createDay(day, &error);
            days.push_back(day);
        }
        QVERIFY(store.addEntry(days[0].id, 1, 1, 0.5, &error));
        QVERIFY(store.addEntry(days[0].id, 3, 2, 2, &error));
        QVERIFY(store.addEntry(days[1].id, 0, 2, 1, &error));
        QVERIFY(store.addEntry(days[1].id, 2, 99, 1, &error));
        std::vector<Menus::Entry> entries;
        QVERIFY(store.entries({}, &entries, &error));
        Menus::DishBook dishes;
        QVERIFY(dishes.read(connection, &error));
        const auto row = [](const char *nutrient, const char *indicator, double value) {
            Intakes::Row r;
            r.from = 10;
            r.to = 11;
            r.sex = 1;
            r.nutrient = QString::fromLatin1(nutrient);
            r.indicator = QString::fromLatin1(indicator);
            r.value = value;
            return r;
        };
        const Intakes::Table standards({row("protein_g", "ear", 25), row("protein_g", "rda", 30),
                                        row("salt_g", "dg_max", 6), row("energy_kcal", "eer", 2000),
                                        row("protein_pct", "dg_min", 13),
                                        row("protein_pct", "dg_max", 20)});
        const Menus::Plan plan = Menus::buildPlan(days, entries, dishes, standards);
        const Menus::Judgement judgement =
            what == QLatin1String("period")
                ? plan.periodJudgement()
                : plan.dayJudgement(plan.days[what == QLatin1String("monday")    ? 0
                                              : what == QLatin1String("tuesday") ? 1
                                                                                 : 2]);
        if (what == QLatin1String("empty")) {
            QVERIFY(judgement.isEmpty());
            return;
        }
        const NutrientSheet::Row &judged = judgement.rows[Components::indexOf(component)];
        QCOMPARE(NutrientSheet::figure(judged.component, judged.total), figure);
        QCOMPARE(judged.ratio ? qRound(*judged.ratio) : -1, ratio);
        QCOMPARE(Intakes::verdictText(judged.verdict), verdict);
        if (what == QLatin1String("monday")) {
            // 14.875 g × 4 kcal of 509 kcal: 11.7 %, below the 13-20 % goal.
            QCOMPARE(qRound(*judgement.balance.shares.protein * 10), 117);
            QCOMPARE(judgement.balance.protein, Intakes::Verdict::BelowGoal);
        }
    }

    // Only the dishes asked for are read; one the store lacks is missing
    // and asked again without harm.
    void dishesReadOnDemand()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(fixture));
        Menus::DishBook dishes;
        QString error;
        QVERIFY2(dishes.need(connection, {2, 99, 2}, &error), qPrintable(error));
        QCOMPARE(dishes.size(), 1);
        QVERIFY(dishes.find(2));
        QVERIFY(!dishes.find(1));
        QVERIFY(!dishes.find(99));
        QVERIFY(dishes.need(connection, {99, 1}, &error));
        QCOMPARE(dishes.size(), 2);
        QCOMPARE(dishes.find(1)->name, QStringLiteral("親子丼"));
        QCOMPARE(*dishes.find(1)->amounts.sums[Menus::componentOf("ENC")], 1.5 * 156 + 0.8 * 200);
        // A dish renamed shows its new name once the book is read again.
        QVERIFY(folder.exec(QStringLiteral("UPDATE mnu SET アイテム名='親子どんぶり' WHERE ID=1")));
        dishes.clear();
        QVERIFY(dishes.need(connection, {1}, &error));
        QCOMPARE(dishes.find(1)->name, QStringLiteral("親子どんぶり"));
        // A portion is a serving: two portions of a recipe for 4 are half of it.
        QVERIFY(folder.exec(QStringLiteral("UPDATE mnu SET 人分=4 WHERE ID=2")));
        dishes.clear();
        QVERIFY(dishes.need(connection, {2}, &error));
        QCOMPARE(*Menus::portionTotals(dishes.find(2), 2).value("ENC"), 156.0 / 2);
    }

    // A dish's figures are kept with the store once counted, and never
    // outlive a change to what they were counted from; figures altered or
    // brought by a file from elsewhere are counted anew.
    void keptFiguresFollowTheirDish_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<double>("energy"); // of 親子丼 afterwards
        QTest::addColumn<bool>("chicken");  // whose salt is unknown
        const double before = 1.5 * 156 + 0.8 * 200;
        QTest::newRow("nothing") << QString() << before << true;
        QTest::newRow("a food's value") << QStringLiteral("UPDATE eys SET ENC=100 WHERE SID=1088")
                                        << 1.5 * 100 + 0.8 * 200 << true;
        QTest::newRow("a line's quantity")
            << QStringLiteral("UPDATE kou SET 数量2=1 WHERE アイテムCD=1 AND 食品コード=11221")
            << 1.5 * 156 + 200.0 << true;
        QTest::newRow("a line deleted")
            << QStringLiteral("DELETE FROM kou WHERE アイテムCD=1 AND 食品コード=11221")
            << 1.5 * 156 << false;
        QTest::newRow("a line added")
            << QStringLiteral("INSERT INTO kou(アイテムCD,食品コード,数量,単位,数量2) "
                              "VALUES (1,1088,100,'ｇ',1)")
            << before + 156 << true;
        QTest::newRow("a food deleted")
            << QStringLiteral("DELETE FROM eys WHERE SID=11221") << 1.5 * 156 << false;
        QTest::newRow("figures altered")
            << QStringLiteral("UPDATE mns SET FIG=substr(FIG,1,20)||zeroblob(8)||substr(FIG,29)")
            << before << true;
        QTest::newRow("figures of another dish")
            << QStringLiteral("UPDATE mns SET FIG=(SELECT FIG FROM mns WHERE ID=2) WHERE ID=1")
            << before << true;
        QTest::newRow("figures without seal")
            << QStringLiteral("UPDATE mns SET FIG=substr(FIG,1,length(FIG)-32)") << before << true;
    }

    void keptFiguresFollowTheirDish()
    {
        QFETCH(QString, change);
        QFETCH(double, energy);
        QFETCH(bool, chicken);
        TestFolder folder;
        QVERIFY(folder.makeStore(fixture));
        QString error;
        // Keeping figures leaves the connection's own durability as it was.
        Menus::MenuStore held;
        QVERIFY(held.open(connection, &error));
        sqlite3 *db = held.database()->handle();
        QCOMPARE(sqlite3_exec(db, "PRAGMA synchronous=EXTRA", nullptr, nullptr, nullptr),
                 SQLITE_OK);
        Menus::DishBook counted;
        QVERIFY2(counted.need(connection, {1, 2}, &error), qPrintable(error));
        QCOMPARE(folder.scalar(QStringLiteral("SELECT count(*) FROM mns")).toInt(), 2);
        sqlite3_stmt *mode = nullptr;
        sqlite3_prepare_v2(db, "PRAGMA synchronous", -1, &mode, nullptr);
        QCOMPARE(sqlite3_step(mode), SQLITE_ROW);
        QCOMPARE(sqlite3_column_int(mode, 0), 3); // EXTRA
        sqlite3_finalize(mode);
        if (!change.isEmpty())
            QVERIFY(folder.exec(change));
        Menus::DishBook again;
        QVERIFY2(again.need(connection, {1, 2}, &error), qPrintable(error));
        const int enc = Menus::componentOf("ENC");
        const int salt = Menus::componentOf("NAT");
        QCOMPARE(*again.find(1)->amounts.sums[enc], energy);
        // The chicken's unknown salt is named whether counted or kept.
        QCOMPARE(again.find(1)->amounts.unknownFoods[salt].contains(QStringLiteral("鶏肉")),
                 chicken);
        QCOMPARE(*again.find(2)->amounts.sums[salt], 0.995);
        QCOMPARE(again.find(2)->groupGrams[17], 1.0);
    }

    // The menu window reads again when what it shows comes from changed,
    // through the program or another; figures kept are no change.
    void markFollowsWhatMenusCount_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("outside"); // written by another connection
        QTest::addColumn<bool>("changed");
        QTest::newRow("nothing, figures kept") << QString() << false << false;
        QTest::newRow("a line's quantity")
            << QStringLiteral("UPDATE kou SET 数量2=1 WHERE アイテムCD=1") << false << true;
        QTest::newRow("a dish renamed")
            << QStringLiteral("UPDATE mnu SET アイテム名='親子どんぶり' WHERE ID=1") << false
            << true;
        QTest::newRow("a dish deleted")
            << QStringLiteral("DELETE FROM mnu WHERE ID=2") << false << true;
        QTest::newRow("a day's person") << QStringLiteral("UPDATE kon SET AGE=12") << false << true;
        QTest::newRow("a food's value, by another program")
            << QStringLiteral("UPDATE eys SET ENC=100 WHERE SID=1088") << true << true;
    }

    void markFollowsWhatMenusCount()
    {
        QFETCH(QString, change);
        QFETCH(bool, outside);
        QFETCH(bool, changed);
        TestFolder folder;
        QVERIFY(folder.makeStore(fixture));
        Menus::MenuStore store;
        QString error;
        QVERIFY(store.open(connection, &error));
        const qint64 day = *store.createDay({0, QStringLiteral("2026-12-07"), {}, {}}, &error);
        QVERIFY(store.addEntry(day, 1, 2, 1, &error));
        const Menus::MenuStore::Mark before = store.mark();
        Menus::DishBook dishes;
        QVERIFY2(dishes.need(connection, {1, 2}, &error), qPrintable(error));
        QCOMPARE(folder.count(QStringLiteral("mns")), 2);
        const std::shared_ptr<Database> db = store.database();
        if (outside)
            QVERIFY(folder.exec(change));
        else if (!change.isEmpty())
            QVERIFY2(db->write([&](QString *e) { return db->run(change, {}, e); }, &error),
                     qPrintable(error));
        QCOMPARE(store.mark() != before, changed);
    }

    // The dish box offers the dishes whose name holds the text, the one
    // named exactly so first.
    void dishesNamed_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("part of a name") << "丼" << QStringList{"親子丼", "牛丼"};
        QTest::newRow("the exact name first")
            << "塩むすび" << QStringList{"塩むすび", "焼き塩むすび"};
        QTest::newRow("nothing") << "カレー" << QStringList{};
        QTest::newRow("a quote is text") << "'" << QStringList{};
    }
    void dishesNamed()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, names);
        TestFolder folder;
        QVERIFY(folder.makeStore(fixture + QStringLiteral("INSERT INTO mnu(ID, アイテム名) VALUES "
                                                          "(3, '焼き塩むすび'), (4, '牛丼');")));
        Menus::MenuStore store;
        QString error;
        QVERIFY(store.open(connection, &error));
        std::vector<std::pair<qint64, QString>> found;
        QVERIFY2(store.dishesNamed(text, 50, &found, &error), qPrintable(error));
        QStringList got;
        for (const auto &[key, name] : found)
            got << name;
        QCOMPARE(got, names);
    }

    void portionsRefused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("one") << "1" << true;
        QTest::newRow("half, full-width") << "０．５" << true;
        QTest::newRow("hundred") << "100" << true;
        QTest::newRow("fraction") << "1/2" << true;
        QTest::newRow("whole and fraction") << "1と1/2" << true;
        QTest::newRow("zero denominator") << "1/0" << false;
        QTest::newRow("zero") << "0" << false;
        QTest::newRow("negative") << "-1" << false;
        QTest::newRow("text") << "半分" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("too many") << "100.5" << false;
    }
    void portionsRefused()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        const auto read = Menus::readPortion(text, u"昼食 3行目");
        QCOMPARE(std::holds_alternative<double>(read), accepted);
        if (!accepted)
            QVERIFY(std::get<QString>(read).contains(QStringLiteral("昼食 3行目")));
    }

    // A day's date is kept as yyyy-MM-dd whichever way it was typed, so that
    // the list sorts by it and zento-export finds the day by it.
    void datesRead_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("kept"); // "refused" for none
        QTest::newRow("as kept") << "2026-12-07"
                                 << "2026-12-07";
        QTest::newRow("slashes, one digit") << " 2026/12/7 "
                                            << "2026-12-07";
        QTest::newRow("full-width") << "２０２６－１２－０７"
                                    << "2026-12-07";
        QTest::newRow("no date") << ""
                                 << "";
        QTest::newRow("dots") << "2026.12.07"
                              << "refused";
        QTest::newRow("text after") << "2026-12-07x"
                                    << "refused";
        QTest::newRow("no such day") << "2026-02-30"
                                     << "refused";
        QTest::newRow("no year") << "12/7"
                                 << "refused";
    }
    void datesRead()
    {
        QFETCH(QString, text);
        QFETCH(QString, kept);
        QCOMPARE(Menus::readDate(text).value_or(QStringLiteral("refused")), kept);
    }

    // A day claims only a stage its judgement applies: pregnancy and
    // lactation for a woman of an age the standards give them for.
    void stagesJudged_data()
    {
        QTest::addColumn<int>("age");
        QTest::addColumn<bool>("male");
        QTest::addColumn<int>("stage");
        QTest::addColumn<int>("judged");
        QTest::newRow("woman of 30") << 30 << false << 1 << 1;
        QTest::newRow("girl of 5") << 5 << false << 1 << 0;
        QTest::newRow("woman of 70") << 70 << false << 4 << 0;
        QTest::newRow("man") << 30 << true << 2 << 0;
        QTest::newRow("stage out of range") << 30 << false << 9 << 4;
    }
    void stagesJudged()
    {
        QFETCH(int, age);
        QFETCH(bool, male);
        QFETCH(int, stage);
        QFETCH(int, judged);
        const Intakes::Table standards(
            {{10, 64, 0, 0, QStringLiteral("iron_mg"), QStringLiteral("rda_menstruating"), 10.5}});
        const Menus::Person person{age, male, 2, stage};
        QCOMPARE(Menus::judgedPerson(person, standards).stage, judged);
        Menus::DishBook none;
        QCOMPARE(Menus::buildPlan({{1, {}, {}, person}}, {}, none, standards)
                     .days.front()
                     .day.person.stage,
                 judged);
    }

    void menusKeptThroughDeleteUndoAndRestore()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(fixture));
        Menus::MenuStore store;
        QString error;
        QVERIFY(store.open(connection, &error));
        std::shared_ptr<Database> db = store.database();
        db->setUndoJournal(std::make_unique<UndoJournal>(*db));
        const qint64 day =
            *store.createDay({0, {}, QStringLiteral("給食A"), {10, true, 2, 0}}, &error);
        QVERIFY(store.addEntry(day, 1, 1, 1, &error));
        QVERIFY(store.addEntry(day, 1, 2, 0.5, &error));
        const QString copy = folder.filePath(QStringLiteral("copy.dll"));
        QVERIFY(Backup::copy(db->handle(), copy, &error));

        // Deleting the dish takes its entry along, in one undo step.
        QCOMPARE(store.daysUsingDish(1), 1);
        QVERIFY(db->write([&](QString *e) { return db->run("DELETE FROM mnu WHERE ID=1", {}, e); },
                          &error));
        QCOMPARE(folder.count(QStringLiteral("kom")), 1);
        QVERIFY(db->undoJournal()->undo(&error));
        QCOMPARE(folder.count(QStringLiteral("kom")), 2);
        QCOMPARE(folder.count(QStringLiteral("mnu")), 2);

        // A deleted day comes back with the restore of the copy.
        QVERIFY(store.deleteDay(day, &error));
        QCOMPARE(folder.count(QStringLiteral("kom")), 0);
        QVERIFY2(Backup::restore(*db, copy, &error), qPrintable(error));
        std::vector<Menus::Day> days;
        QVERIFY(store.days(&days, &error));
        QCOMPARE(days.size(), size_t(1));
        QCOMPARE(days[0].name, QStringLiteral("給食A"));
        QCOMPARE(days[0].person, (Menus::Person{10, true, 2, 0}));

        // A copy made before there were menus restores, with empty menus.
        sqlite3 *old = nullptr;
        QVERIFY(sqlite3_open(copy.toUtf8().constData(), &old) == SQLITE_OK);
        QVERIFY(sqlite3_exec(
                    old, "DROP TRIGGER mnu_delete_menu_entries; DROP TABLE kom; DROP TABLE kon;",
                    nullptr, nullptr, nullptr) == SQLITE_OK);
        sqlite3_close(old);
        QVERIFY2(Backup::restore(*db, copy, &error), qPrintable(error));
        QVERIFY(store.days(&days, &error));
        QVERIFY(days.empty());
        QVERIFY(store.addEntry(1, 0, 1, 1, &error));
    }
};

QTEST_GUILESS_MAIN(TestMenus)
#include "tst_menus.moc"
