// The dish session on a store: dishes, lines, the line check and the totals,
// without a window.
#include "core/dish/dishsession.h"
#include "core/store/datasource.h"
#include "core/store/numbertext.h"
#include "tests/core/dish/kitchen.h"

#include <QtTest>

namespace {

struct Kitchen
{
    TestFolder folder;
    DishSession dish;

    explicit Kitchen(const QString &sql = kitchenSql())
    {
        if (!folder.makeStore(sql))
            qFatal("the test store could not be made");
        dish.setConnectionString(testStore());
        dish.loadDishes();
        dish.loadUnits();
        dish.loadLines();
    }
    bool goTo(qint64 key)
    {
        if (!dish.show(key))
            return false;
        dish.loadLines();
        return true;
    }
    qint64 count(const char *table) { return folder.count(QString::fromLatin1(table)); }
    QString lastLine()
    {
        return folder
            .scalar(QStringLiteral("SELECT 食品コード || ' ' || 数量 || ' ' || 数量2 || ' ' || "
                                   "単位 FROM kou ORDER BY ID DESC LIMIT 1"))
            .toString();
    }
    QStringList foods()
    {
        QStringList names;
        for (int row = 0; row < dish.lines()->recordCount(); ++row)
            names << dish.lines()->text(row, 0);
        return names;
    }
};

using Box = LineRefusal::Box;

} // namespace

class TestDishSession : public QObject
{
    Q_OBJECT

private slots:
    // What "追加" takes from the line editor: a line whose stored quantity
    // and counted weight agree, or a refusal naming the box to mend, with
    // nothing stored. The weight recomputation reads the same way.
    void lineCheck_data()
    {
        QTest::addColumn<QString>("food");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("refusedBox"); // -1: stored
        QTest::addColumn<double>("stored");  // 数量
        QTest::addColumn<QString>("storedUnit");
        QTest::addColumn<double>("factor"); // 数量2

        const int ok = -1;
        const int food = int(Box::Food), quantity = int(Box::Quantity), unit = int(Box::Unit);
        QTest::newRow("grams") << "2"
                               << "100"
                               << "ｇ" << ok << 100.0 << "ｇ" << 1.0;
        QTest::newRow("spoons") << "3"
                                << "2"
                                << "大さじ" << ok << 2.0 << "大さじ" << 0.3;
        QTest::newRow("thousands") << "2"
                                   << "1,000"
                                   << "ｇ" << ok << 1000.0 << "ｇ" << 10.0;
        QTest::newRow("full width") << "2"
                                    << "１，５００"
                                    << "ｇ" << ok << 1500.0 << "ｇ" << 15.0;
        QTest::newRow("decimal") << "2"
                                 << " 1.5 "
                                 << "個" << ok << 1.5 << "個" << 0.75;
        QTest::newRow("zero") << "2"
                              << "0"
                              << "ｇ" << ok << 0.0 << "ｇ" << 0.0;
        QTest::newRow("KG") << "2"
                            << "1"
                            << "KG" << ok << 1.0 << "ｋｇ" << 10.0;
        QTest::newRow("kg") << "2"
                            << "1"
                            << "kg" << ok << 1.0 << "ｋｇ" << 10.0;
        QTest::newRow("ｋｇ") << "2"
                              << "1"
                              << "ｋｇ" << ok << 1.0 << "ｋｇ" << 10.0;
        QTest::newRow("half-width g") << "2"
                                      << "5"
                                      << "g" << ok << 5.0 << "ｇ" << 0.05;
        QTest::newRow("100 kg") << "2"
                                << "100,000"
                                << "ｇ" << ok << 100000.0 << "ｇ" << 1000.0;

        QTest::newRow("no food") << "0"
                                 << "100"
                                 << "ｇ" << food << 0.0 << "" << 0.0;
        QTest::newRow("food not a key") << "SID"
                                        << "100"
                                        << "ｇ" << food << 0.0 << "" << 0.0;
        QTest::newRow("counter word") << "2"
                                      << "2個"
                                      << "ｇ" << quantity << 0.0 << "" << 0.0;
        QTest::newRow("mixed fraction") << "2"
                                        << "1と1/2"
                                        << "kg" << ok << 1.5 << "ｋｇ" << 15.0;
        QTest::newRow("zero denominator") << "2"
                                          << "1/0"
                                          << "ｇ" << quantity << 0.0 << "" << 0.0;
        QTest::newRow("letters") << "2"
                                 << "abc"
                                 << "ｇ" << quantity << 0.0 << "" << 0.0;
        QTest::newRow("empty") << "2"
                               << ""
                               << "ｇ" << quantity << 0.0 << "" << 0.0;
        QTest::newRow("negative") << "2"
                                  << "-5"
                                  << "ｇ" << quantity << 0.0 << "" << 0.0;
        QTest::newRow("exponent") << "2"
                                  << "1e308"
                                  << "ｇ" << quantity << 0.0 << "" << 0.0;
        QTest::newRow("over 100 kg") << "2"
                                     << "100001"
                                     << "ｇ" << quantity << 0.0 << "" << 0.0;
        QTest::newRow("over 100 kg in kg") << "2"
                                           << "101"
                                           << "kg" << quantity << 0.0 << "" << 0.0;
        QTest::newRow("endless") << "2" << QString(310, QLatin1Char('9')) << "ｇ" << quantity << 0.0
                                 << "" << 0.0;
        QTest::newRow("unlisted unit") << "2"
                                       << "1"
                                       << "カップ" << unit << 0.0 << "" << 0.0;
        QTest::newRow("no unit") << "2"
                                 << "1"
                                 << "" << unit << 0.0 << "" << 0.0;
    }
    void lineCheck()
    {
        QFETCH(QString, food);
        QFETCH(QString, quantity);
        QFETCH(QString, unit);
        QFETCH(int, refusedBox);
        QFETCH(double, stored);
        QFETCH(QString, storedUnit);
        QFETCH(double, factor);

        Kitchen k(kitchenSql() + QStringLiteral("INSERT INTO tni VALUES ('ｋｇ', 1000);"));
        QVERIFY(k.goTo(2));
        const QString weightBefore = totalsText(k.dish.totals()).weight;
        const auto checked = k.dish.checkLine({food, quantity, unit});

        if (refusedBox >= 0) {
            const auto *refusal = std::get_if<LineRefusal>(&checked);
            QVERIFY(refusal);
            QCOMPARE(int(refusal->box), refusedBox);
            const QString named = refusal->box == Box::Unit       ? QStringLiteral("「単位」")
                                  : refusal->box == Box::Quantity ? QStringLiteral("「数量」")
                                                                  : QStringLiteral("「食品名」");
            QVERIFY2(refusal->message.contains(named), qPrintable(refusal->message));
            QCOMPARE(k.count("kou"), 5);
            return;
        }

        const auto *line = std::get_if<LineDraft>(&checked);
        QVERIFY(line);
        QCOMPARE(line->quantity, stored);
        QCOMPARE(line->unit, storedUnit);
        QCOMPARE(line->weightFactor, factor);
        QCOMPARE(k.dish.weightFactor(quantity, unit), std::optional<double>(factor));

        QString error;
        QVERIFY2(k.dish.addLine(*line, &error), qPrintable(error));
        QCOMPARE(k.count("kou"), 6);
        QCOMPARE(
            k.folder.scalar(QStringLiteral("SELECT 数量 FROM kou ORDER BY ID DESC")).toDouble(),
            stored);
        QCOMPARE(
            k.folder.scalar(QStringLiteral("SELECT 数量2 FROM kou ORDER BY ID DESC")).toDouble(),
            factor);
        QCOMPARE(
            k.folder.scalar(QStringLiteral("SELECT 単位 FROM kou ORDER BY ID DESC")).toString(),
            storedUnit);
        // What is counted is what is stored: the dish weighs 265 g more the line.
        QCOMPARE(weightBefore, QStringLiteral("265"));
        QCOMPARE(totalsText(k.dish.totals()).weight, NumberText::general(265 + factor * 100));
        QCOMPARE(k.foods().size(), 4);
    }

    // The unit list follows the chosen food: its own weight of a unit counts
    // in the factor and in the line checked for "追加" and "更新".
    void foodsOwnUnits_data()
    {
        QTest::addColumn<qint64>("food");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<double>("factor"); // of quantity 2
        QTest::newRow("soy sauce's own big spoon") << qint64(3) << "大さじ" << 0.36;
        QTest::newRow("soy sauce's own unit") << qint64(3) << "滴" << 0.0001;
        QTest::newRow("rice has no big spoon: refused") << qint64(1) << "大さじ" << -1.0;
        QTest::newRow("no food chosen") << qint64(0) << "大さじ" << 0.3;
    }
    void foodsOwnUnits()
    {
        QFETCH(qint64, food);
        QFETCH(QString, unit);
        QFETCH(double, factor);
        Kitchen k(kitchenSql() +
                  QStringLiteral("INSERT OR REPLACE INTO etn(SID,TNM,KAK) VALUES (3,'大さじ',18),"
                                 " (3,'滴',0.005);"));
        QVERIFY(k.dish.loadUnits(food));
        QCOMPARE(k.dish.weightFactor(QStringLiteral("2"), unit).value_or(-1), factor);
        const auto checked = k.dish.checkLine({QString::number(food ? food : 3), "2", unit});
        if (food != 0 && factor < 0)
            QCOMPARE(std::get<LineRefusal>(checked).message,
                     QStringLiteral("大さじの重さがこの食品にはありません。グラムで入力するか、"
                                    "食材編集の目安量に登録してください"));
        else if (food != 0)
            QCOMPARE(std::get<LineDraft>(checked).weightFactor, factor);
        // Its own units come first.
        QCOMPARE(k.dish.units()->text(0, 0),
                 food == 3 ? QStringLiteral("大さじ") : QStringLiteral("ｇ"));
    }

    // The totals panel's texts, dish by dish: rounding, grouping, empty
    // fields, and never "inf", "nan" or an exponent.
    void totals_data()
    {
        QTest::addColumn<qint64>("dish");
        QTest::addColumn<QStringList>(
            "panel"); // weight energy salt water protein fat sugar fibre ash
        auto row = [](const char *name, qint64 dish, const char *texts) {
            QTest::newRow(name) << dish << QString::fromUtf8(texts).split(QLatin1Char('|'));
        };
        // 150 g of a food with 100 kcal, 80 g water and 0.5 g salt per 100 g.
        row("one line", 1, "150|150|0.75|80|0|0|0|0|0");
        // Each sum lands in its own field; energy grouped by thousands.
        row("every field", 2, "100|1,234,567|0|10|20|30|40|50|60");
        // Halves up to one decimal (12.25, 12.24, 0.05, 0.04), whole values
        // without a point, salt to two decimals (0.125), energy away from zero.
        row("rounding", 3, "100|1,235|0.13|12.3|12.2|5|0.1|0|100");
        row("energy down", 4, "100|999|0|0|0|0|0|0|0");
        // A line whose food is gone weighs in but adds nothing.
        row("food gone", 5, "200|0|0|50|0|0|0|0|0");
        row("weightless", 6, "0|0|0||||||");
        row("no lines", 7, "||||||||");
        // Sums too large for a number show nothing; the others still count.
        row("beyond any number", 8, "||||0|0|0|0|0");
        row("key above 16 bits", 40000, "50|50|0.25|80|0|0|0|0|0");
    }
    void totals()
    {
        QFETCH(qint64, dish);
        QFETCH(QStringList, panel);
        Kitchen k(totalsSql());
        k.goTo(2); // another dish first: nothing of it may stay behind
        k.dish.totals();
        QVERIFY(k.goTo(dish));
        const DishTotalsText t = totalsText(k.dish.totals());
        const QStringList shown{t.weight, t.energy, t.salt,  t.water, t.protein,
                                t.fat,    t.sugar,  t.fibre, t.ash};
        QCOMPARE(shown, panel);
    }

    // Moving between dishes stops at both ends; the last dish is the newest.
    void navigation()
    {
        Kitchen k;
        QCOMPARE(k.dish.currentName(), QStringLiteral("ごはん"));
        QVERIFY(!k.dish.previous());
        QCOMPARE(k.dish.currentDish(), 1);
        QVERIFY(k.dish.next());
        QVERIFY(k.dish.next());
        QCOMPARE(k.dish.currentDish(), 3);
        QVERIFY(!k.dish.next());
        QCOMPARE(k.dish.currentDish(), 3);
        k.dish.last();
        QCOMPARE(k.dish.currentName(), QStringLiteral("空の料理"));
        QVERIFY(!k.dish.show(99));
        QCOMPARE(k.dish.currentDish(), 3);
    }

    void createRenameDelete()
    {
        Kitchen k;
        QString error;
        QVERIFY(k.dish.createDish(QStringLiteral("ごはん"), &error)); // names may repeat
        QCOMPARE(k.dish.currentName(), QStringLiteral("ごはん"));
        const qint64 created = k.dish.currentDish();
        QVERIFY(created > 3);
        QVERIFY(!k.dish.next()); // the new dish is the last

        QVERIFY(k.goTo(2));
        QVERIFY(k.dish.renameDish(QStringLiteral("牛乳がゆ"), &error));
        QCOMPARE(k.dish.currentDish(), 2); // the renamed dish stays current
        QCOMPARE(
            k.folder.scalar(QStringLiteral("SELECT アイテム名 FROM mnu WHERE ID=2")).toString(),
            QStringLiteral("牛乳がゆ"));

        QVERIFY(k.dish.deleteDish(&error));
        QCOMPARE(k.dish.currentDish(), 1); // the first dish afterwards
        QCOMPARE(k.count("mnu"), 3);
        QCOMPARE(
            k.folder.scalar(QStringLiteral("SELECT count(*) FROM kou WHERE アイテムCD=2")).toInt(),
            0);
    }

    // An insert the store refuses leaves the record pointer on the record
    // that was current before, and stores nothing.
    void refusedInsertKeepsTheCurrentRecord()
    {
        Kitchen k;
        QVERIFY(k.folder.exec(QStringLiteral(
            "CREATE TRIGGER no_dish BEFORE INSERT ON mnu BEGIN SELECT RAISE(ABORT, '満杯'); END;"
            "CREATE TRIGGER no_line BEFORE INSERT ON kou BEGIN SELECT RAISE(ABORT, '満杯'); "
            "END;")));
        QVERIFY(k.goTo(2));
        QVERIFY(k.dish.lines()->moveTo(1));
        QString error;
        QVERIFY(!k.dish.createDish(QStringLiteral("新しい料理"), &error));
        QVERIFY(error.contains(QStringLiteral("満杯")));
        QCOMPARE(k.dish.currentDish(), 2);
        QCOMPARE(k.dish.dishes()->recordCount(), 3);

        const auto line = std::get<LineDraft>(k.dish.checkLine({"1", "100", "ｇ"}));
        error.clear();
        QVERIFY(!k.dish.addLine(line, &error));
        QVERIFY(error.contains(QStringLiteral("満杯")));
        QCOMPARE(k.dish.lines()->position(), 1);
        QCOMPARE(k.dish.lines()->recordCount(), 3);
        QCOMPARE(k.count("kou"), 5);
        QCOMPARE(k.count("mnu"), 3);
    }

    // One current line through 追加, 更新 and 削除: the lines' pointer (the
    // grid's ▶) and the selected line (what 削除 deletes) are always the same
    // line. Steps: "select ROW", "add FOOD QUANTITY", "update FOOD QUANTITY"
    // (the current row), "delete", "dish KEY".
    void currentLineThroughCommands_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("lines");  // the dish's lines: food quantity
        QTest::addColumn<qint64>("current"); // the selected line; 0: none
        QTest::addColumn<int>("stored");     // lines in the store
        QTest::newRow("a dish opens on its first line")
            << ""
            << "米 50,牛乳 200,しょうゆ 1" << qint64(3) << 5;
        QTest::newRow("the added line is current")
            << "add 2 80"
            << "米 50,牛乳 200,しょうゆ 1,牛乳 80" << qint64(6) << 6;
        QTest::newRow("update after add rewrites the added line")
            << "add 2 80|update 1 90"
            << "米 50,牛乳 200,しょうゆ 1,米 90" << qint64(6) << 6;
        QTest::newRow("delete after add deletes the added line")
            << "add 2 80|delete"
            << "米 50,牛乳 200,しょうゆ 1" << qint64(5) << 5;
        QTest::newRow("update keeps the line current")
            << "select 1|update 2 250|update 2 300"
            << "米 50,牛乳 300,しょうゆ 1" << qint64(4) << 5;
        QTest::newRow("the next line takes the deleted one's place")
            << "select 0|delete"
            << "牛乳 200,しょうゆ 1" << qint64(4) << 4;
        QTest::newRow("a second delete deletes that one") << "select 0|delete|delete"
                                                          << "しょうゆ 1" << qint64(5) << 3;
        QTest::newRow("the last line deleted: the one before")
            << "select 2|delete"
            << "米 50,牛乳 200" << qint64(4) << 4;
        QTest::newRow("every line deleted: none current") << "delete|delete|delete|delete"
                                                          << "" << qint64(0) << 2;
        QTest::newRow("another dish: its own first line") << "select 2|dish 1|delete"
                                                          << "" << qint64(0) << 4;
    }
    void currentLineThroughCommands()
    {
        QFETCH(QString, steps);
        QFETCH(QString, lines);
        QFETCH(qint64, current);
        QFETCH(int, stored);
        Kitchen k;
        QVERIFY(k.goTo(2));
        QString error;
        for (const QString &step : steps.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
            const QStringList w = step.split(QLatin1Char(' '));
            if (w[0] == QLatin1String("select")) {
                QVERIFY(k.dish.makeCurrent(w[1].toInt()));
            } else if (w[0] == QLatin1String("dish")) {
                QVERIFY(k.goTo(w[1].toLongLong()));
            } else if (w[0] == QLatin1String("delete")) {
                k.dish.deleteSelectedLine();
            } else {
                const auto line = std::get<LineDraft>(k.dish.checkLine({w[1], w[2], "ｇ"}));
                QVERIFY2(w[0] == QLatin1String("add")
                             ? k.dish.addLine(line, &error)
                             : k.dish.updateLine(k.dish.lines()->position(), line, &error),
                         qPrintable(error));
            }
        }
        QStringList shown;
        DataSource *rows = k.dish.lines();
        const int quantity = rows->fieldIndex(QStringLiteral("数量"));
        for (int row = 0; row < rows->recordCount(); ++row)
            shown << rows->text(row, 0) + QLatin1Char(' ') +
                         NumberText::general(rows->value(row, quantity).toDouble());
        QCOMPARE(shown.join(QLatin1Char(',')), lines);
        QCOMPARE(k.dish.selectedLine().value_or(0), current);
        if (current != 0)
            QCOMPARE(rows->position(), k.dish.rowOfLine(current));
        QCOMPARE(k.count("kou"), qint64(stored));
        // A row past the end is not rewritten.
        QVERIFY(
            !k.dish.updateLine(7, std::get<LineDraft>(k.dish.checkLine({"1", "1", "ｇ"})), &error));
        QCOMPARE(k.count("kou"), qint64(stored));
    }
};

QTEST_GUILESS_MAIN(TestDishSession)
#include "tst_dishsession.moc"
