#include "core/foods/foodnames.h"

#include <QtTest>

// A long name loses what tells foods apart last: the group words first, then
// the leading words, then the beginning of what is left.
class TestFoodNames : public QObject
{
    Q_OBJECT

private slots:
    void elided_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("room"); // characters that fit
        QTest::addColumn<QString>("shown");
        const QString beef = QStringLiteral("うし　［和牛肉］　かた　皮下脂肪なし　生");
        QTest::newRow("fits") << beef << 99 << beef;
        QTest::newRow("group word first")
            << beef << 18 << QStringLiteral("うし…かた　皮下脂肪なし　生");
        QTest::newRow("then leading words") << beef << 10 << QStringLiteral("…皮下脂肪なし　生");
        QTest::newRow("last word kept") << beef << 3 << QStringLiteral("…生");
        QTest::newRow("then its beginning")
            << QStringLiteral("あいうえおかきくけこ") << 4 << QStringLiteral("…くけこ");
        QTest::newRow("leading group in brackets")
            << QStringLiteral("（かんきつ類）　うんしゅうみかん　果実飲料　濃縮還元ジュース") << 23
            << QStringLiteral("…うんしゅうみかん　果実飲料　濃縮還元ジュース");
        QTest::newRow("last word in brackets stays")
            << QStringLiteral("じゃがいも　塊茎　皮なし　フライドポテト　（生を揚げたもの）") << 22
            << QStringLiteral("…皮なし　フライドポテト　（生を揚げたもの）");
        QTest::newRow("half-width blanks")
            << QStringLiteral("my own soup base") << 6 << QStringLiteral("…base");
        QTest::newRow("nothing fits") << QStringLiteral("あいう") << 0 << QStringLiteral("…");
    }
    void elided()
    {
        QFETCH(QString, name);
        QFETCH(int, room);
        QFETCH(QString, shown);
        const QString text =
            FoodNames::elided(name, [room](const QString &s) { return s.size() <= room; });
        QCOMPARE(text, shown);
    }
};

QTEST_GUILESS_MAIN(TestFoodNames)
#include "tst_foodnames.moc"
