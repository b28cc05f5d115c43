// The totals panel of the main window: weight, energy, salt and the six
// values per 100 g of dish, for the dish current after each move.
#include "tests/dish/dishsession.h"

namespace {

// Each food has its own figure in every field, so that a field read into the
// wrong box shows.
QString totalsSql()
{
    return minimalReferenceSql() +
           QStringLiteral(
               "INSERT INTO eys(SID,SNM,BID,ENC,SUI,TAN,SST,TST,TSS,KBN,NAT) VALUES"
               " (1,'例の食品',20,100,80,0,0,0,0,0,0.5),"
               " (2,'区別の食品',20,1234567,10,20,30,40,50,60,0),"
               " (3,'端数の食品',20,1234.5,12.25,12.24,5,0.05,0.04,100,0.125),"
               " (4,'少し',20,999.4,0,0,0,0,0,0,0),"
               " (5,'水',20,0,100,0,0,0,0,0,0);"
               "INSERT INTO mnu(ID,アイテム名) VALUES (1,'例'),(2,'区別'),(3,'端数'),(4,'少し'),"
               " (5,'消えた食品'),(6,'重さ0'),(7,'空'),(40000,'大きな鍵');"
               "INSERT INTO kou(アイテムCD,食品コード,数量,単位,数量2) VALUES"
               " (1,1,150,'ｇ',1.5),"
               " (2,2,100,'ｇ',1),"
               " (3,3,100,'ｇ',1),"
               " (4,4,100,'ｇ',1),"
               " (5,5,100,'ｇ',1),(5,999,100,'ｇ',1),"
               " (6,1,0,'ｇ',0),"
               " (40000,1,50,'ｇ',0.5);");
}

struct Panel
{
    QString weight, energy, salt, water, protein, fat, sugar, fibre, ash;
    bool operator==(const Panel &) const = default;
};

Panel panel(const Fmain &w)
{
    return {w.TexSumW100->text(), w.TexSumC->text(),    w.TexNa->text(),
            w.waterBox->text(),   w.proteinBox->text(), w.fatBox->text(),
            w.sugarBox->text(),   w.fibreBox->text(),   w.ashBox->text()};
}

} // namespace

namespace QTest {
template <> char *toString(const Panel &p)
{
    const QStringList fields{p.weight, p.energy, p.salt,  p.water, p.protein,
                             p.fat,    p.sugar,  p.fibre, p.ash};
    return qstrdup(fields.join(QLatin1Char('|')).toUtf8().constData());
}
} // namespace QTest

class TestDishTotals : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpTestApplication(); }

    void panelOfEachDish()
    {
        DishSession s(totalsSql());
        Fmain &w = s.w();
        // The last dish, shown at start-up.
        QCOMPARE(s.dish(), QStringLiteral("大きな鍵"));
        QCOMPARE(panel(w), (Panel{"50", "50", "0.25", "80", "0", "0", "0", "0", "0"}));

        // 150 g of a food with 100 kcal, 80 g water and 0.5 g salt per 100 g.
        QVERIFY(s.goToDish(QStringLiteral("例")));
        QCOMPARE(panel(w), (Panel{"150", "150", "0.75", "80", "0", "0", "0", "0", "0"}));
        QCOMPARE(w.TexSumW->text(), QStringLiteral("1.5"));

        // Each sum lands in its own box; energy is grouped by thousands.
        QVERIFY(s.goToDish(QStringLiteral("区別")));
        QCOMPARE(panel(w), (Panel{"100", "1,234,567", "0", "10", "20", "30", "40", "50", "60"}));

        // Rounding: halves up to one decimal (12.25 → 12.3, 12.24 → 12.2,
        // 0.05 → 0.1, 0.04 → 0), whole values without a point, salt half up
        // to two decimals (0.125 → 0.13), energy away from zero (1234.5).
        QVERIFY(s.goToDish(QStringLiteral("端数")));
        QCOMPARE(panel(w), (Panel{"100", "1,235", "0.13", "12.3", "12.2", "5", "0.1", "0", "100"}));
        QCOMPARE(w.TexSumC->text(), QStringLiteral("1,235"));
        QCOMPARE(w.TexSUI->text(), QStringLiteral("12.25")); // the raw sums stay unrounded
        QCOMPARE(w.TexSumNa->text(), QStringLiteral("0.125"));

        QVERIFY(s.goToDish(QStringLiteral("少し")));
        QCOMPARE(w.TexSumC->text(), QStringLiteral("999"));
    }

    // A total that passes over an unknown value shows what it counted, marked,
    // with the foods named in its tooltip; the other totals are unmarked.
    void unknownValuesAreMarked()
    {
        DishSession s(totalsSql() +
                      QStringLiteral("UPDATE eys SET TSS = NULL, NAT = NULL WHERE SID = 5;"
                                     "INSERT INTO kou(アイテムCD,食品コード,数量,単位,数量2)"
                                     " VALUES (1,5,100,'ｇ',1);"));
        Fmain &w = s.w();
        QVERIFY(s.goToDish(QStringLiteral("例")));
        QCOMPARE(panel(w), (Panel{"250", "150", "0.75", "88", "0", "0", "0", "0", "0"}));
        QCOMPARE(w.fibreBox->toolTip(), QStringLiteral("未測定を含む: 水"));
        QCOMPARE(w.TexNa->toolTip(), QStringLiteral("未測定を含む: 水"));
        QVERIFY(w.fibreBox->palette().color(QPalette::Base) !=
                w.waterBox->palette().color(QPalette::Base));
        QVERIFY(w.waterBox->toolTip().isEmpty());
        QVERIFY(w.TexSumC->toolTip().isEmpty());
        // Another dish takes the marks away.
        QVERIFY(s.goToDish(QStringLiteral("区別")));
        QVERIFY(w.fibreBox->toolTip().isEmpty());
        QCOMPARE(w.fibreBox->palette().color(QPalette::Base),
                 w.waterBox->palette().color(QPalette::Base));
    }

    // A line whose food no longer exists weighs in but adds no nutrient.
    void lineOfADeletedFood()
    {
        DishSession s(totalsSql());
        QVERIFY(s.goToDish(QStringLiteral("消えた食品")));
        QCOMPARE(panel(s.w()), (Panel{"200", "0", "0", "50", "0", "0", "0", "0", "0"}));
    }

    // A dish without lines shows nothing at all, whatever the dish before
    // showed; a dish weighing 0 g shows 0 but no values per 100 g.
    void emptyAndWeightlessDishes()
    {
        DishSession s(totalsSql());
        Fmain &w = s.w();
        QVERIFY(s.goToDish(QStringLiteral("区別")));
        QVERIFY(s.goToDish(QStringLiteral("空")));
        QCOMPARE(panel(w), Panel{});
        for (QLineEdit *holder :
             {w.TexSumW, w.TexSUI, w.TexTAN, w.TexSST, w.TexTST, w.TexTSS, w.TexKBN, w.TexSumNa})
            QVERIFY2(holder->text().isEmpty(), qPrintable(holder->objectName()));

        QVERIFY(s.goToDish(QStringLiteral("区別")));
        QVERIFY(s.goToDish(QStringLiteral("重さ0")));
        QCOMPARE(panel(w), (Panel{"0", "0", "0", "", "", "", "", "", ""}));
    }
};

QTEST_MAIN(TestDishTotals)
#include "tst_dishtotals.moc"
