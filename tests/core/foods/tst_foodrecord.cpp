#include "core/foods/foodrecord.h"
#include "tests/support/testsupport.h"

#include <QtTest>

class TestFoodRecord : public QObject
{
    Q_OBJECT

private slots:
    void check_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("box"); // the value box given the text
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("problem");     // box named by the problem; -2: none
        QTest::addColumn<QString>("message"); // part of the message
        QTest::addColumn<QString>("stored");  // the value stored; "-": none
        QTest::newRow("plain") << "米" << 0 << "356" << -2 << ""
                               << "356";
        QTest::newRow("blank box: no value") << "米" << 3 << "  " << -2 << ""
                                             << "-";
        QTest::newRow("full-width") << "米" << 22 << "０．２" << -2 << ""
                                    << "0.2";
        QTest::newRow("grouped thousands") << "米" << 14 << "1,500" << -2 << ""
                                           << "1500";
        QTest::newRow("zero") << "米" << 1 << "0" << -2 << ""
                              << "0";
        QTest::newRow("name of blanks is a name") << "  " << 0 << "1" << -2 << ""
                                                  << "1";
        QTest::newRow("empty name") << "" << 0 << "1" << -1 << "食品名を入力してください"
                                    << "1";
        QTest::newRow("unit typed after") << "米" << 2 << "3.3g" << 2 << "「ﾀﾝﾊﾟｸ質」には数値"
                                          << "-";
        QTest::newRow("negative") << "米" << 2 << "-1" << 2 << "0以上の数値"
                                  << "-";
        QTest::newRow("letters") << "米" << 5 << "abc" << 5 << "「炭水化物：繊維」"
                                 << "-";
        QTest::newRow("fraction") << "米" << 9 << "1/2" << 9 << "「鉄」には数値"
                                  << "-";
        QTest::newRow("exponent") << "米" << 0 << "1e308" << 0 << "「ｴﾈﾙｷﾞｰ」"
                                  << "-";
        QTest::newRow("all fat: 900 kcal") << "油" << 0 << "900" << -2 << ""
                                           << "900";
        QTest::newRow("more than fat holds") << "油" << 0 << "901" << 0 << "900 Kcal まで"
                                             << "-";
        QTest::newRow("salt above 100 g") << "塩" << 22 << "100.1" << 22 << "「食塩相当量」"
                                          << "-";
        QTest::newRow("vitamin A far above any food")
            << "肝" << 14 << "4600000000" << 14 << "大きすぎます"
            << "-";
        QTest::newRow("iron ten times the table's largest") << "米" << 9 << "1200" << -2 << ""
                                                            << "1200";
        QTest::newRow("name with a line break") << "米\r\n"
                                                << 0 << "1" << -1 << "改行（CR）"
                                                << "1";
        QTest::newRow("name with ESC") << "米\x1b[31m" << 0 << "1" << -1 << "ESC"
                                       << "1";
        QTest::newRow("bad grouping") << "米" << 0 << "1,00" << 0 << "（入力された値:「1,00」）"
                                      << "-";
    }

    void check()
    {
        QFETCH(QString, name);
        QFETCH(int, box);
        QFETCH(QString, text);
        QFETCH(int, problem);
        QFETCH(QString, message);
        QFETCH(QString, stored);
        std::array<QString, FoodRecord::valueCount> values;
        values.fill(FoodRecord::newFoodValueText());
        values[box] = text;
        const std::optional<FoodRecord::Problem> found = FoodRecord::check(name, values);
        QCOMPARE(found ? found->box : -2, problem);
        if (found)
            QVERIFY2(found->message.contains(message), qPrintable(found->message));
        if (problem == -2) {
            // What passed the check is the number that is stored.
            const std::optional<double> value = FoodRecord::valueOf(text);
            QCOMPARE(value ? QString::number(*value) : QStringLiteral("-"), stored);
        }
    }

    void captionsNameEveryBox()
    {
        // Every box has a field and a caption of its own, so a message always
        // says which box is wrong.
        QSet<QString> fields, captions;
        for (int i = 0; i < FoodRecord::valueCount; ++i) {
            fields.insert(FoodRecord::valueField(i));
            captions.insert(FoodRecord::valueCaption(i));
        }
        QCOMPARE(fields.size(), FoodRecord::valueCount);
        QCOMPARE(captions.size(), FoodRecord::valueCount);
        QVERIFY(!captions.contains(QString()));
        QCOMPARE(FoodRecord::valueField(22), QStringLiteral("NAT"));
    }

    void readingsAreStoredHalfWidth()
    {
        QCOMPARE(FoodRecord::readingToStore(QStringLiteral("ぎゅうにゅう")),
                 QStringLiteral("ｷﾞｭｳﾆｭｳ"));
        QCOMPARE(FoodRecord::readingToStore(QStringLiteral("パン")), QStringLiteral("ﾊﾟﾝ"));
        QCOMPARE(FoodRecord::readingToStore(QStringLiteral("ｺﾒ")), QStringLiteral("ｺﾒ"));
    }

    // The question before a food is deleted counts the dishes that lose its
    // lines: each dish once, however many lines it has of the food.
    void deletionCountsTheDishesUsingTheFood_data()
    {
        QTest::addColumn<QString>("lines"); // dish:food of each line
        QTest::addColumn<int>("dishes");
        QTest::newRow("unused") << "1:2" << 0;
        QTest::newRow("one dish") << "1:1 1:2" << 1;
        QTest::newRow("two lines of one dish") << "1:1 1:1" << 1;
        QTest::newRow("two dishes") << "1:1 2:1 2:2" << 2;
    }
    void deletionCountsTheDishesUsingTheFood()
    {
        QFETCH(QString, lines);
        QFETCH(int, dishes);
        TestFolder folder;
        QString sql = QStringLiteral("INSERT INTO mnu(ID, アイテム名) VALUES (1, 'a'), (2, 'b');");
        for (const QString &line : lines.split(QLatin1Char(' '))) {
            const QStringList parts = line.split(QLatin1Char(':'));
            sql += QStringLiteral("INSERT INTO kou(アイテムCD, 食品コード, 数量, 単位, 数量2) "
                                  "VALUES (%1, %2, 10, 'ｇ', 0.1);")
                       .arg(parts[0], parts[1]);
        }
        QVERIFY(folder.makeStore(sql));
        const QString connection = QStringLiteral("Provider=Zento.SQLite.1;Data Source=zento.dll");
        QCOMPARE(FoodRecord::dishesUsing(connection, 1), dishes);
        const QString question = FoodRecord::deletionQuestion(QStringLiteral("米"), dishes);
        QVERIFY(question.startsWith(QStringLiteral("米を削除します")));
        QCOMPARE(question.contains(QStringLiteral("料理 %1 品").arg(dishes)), dishes > 0);
    }
};

QTEST_MAIN(TestFoodRecord)
#include "tst_foodrecord.moc"
