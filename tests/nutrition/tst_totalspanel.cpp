// The totals panel of the main window shows what the dish session counts.
#include "tests/dish/dishwindow.h"
#include "tests/support/controls.h"

namespace {

struct Panel
{
    QString weight, energy, salt, water, protein, fat, sugar, fibre, ash;
    bool operator==(const Panel &) const = default;
};

Panel panel(const Fmain &w)
{
    return {ctl<QLineEdit>(w, "TexSumW100")->text(), ctl<QLineEdit>(w, "TexSumC")->text(),
            ctl<QLineEdit>(w, "TexNa")->text(),      ctl<QLineEdit>(w, "Text5")->text(),
            ctl<QLineEdit>(w, "Text6")->text(),      ctl<QLineEdit>(w, "Text7")->text(),
            ctl<QLineEdit>(w, "Text8")->text(),      ctl<QLineEdit>(w, "Text10")->text(),
            ctl<QLineEdit>(w, "Text9")->text()};
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

class TestTotalsPanel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpTestApplication(); }

    // The panel shows the session's totals; the hidden holders keep the raw
    // sums unrounded. The rules of the figures are tested on the session.
    void panelAndHolders()
    {
        DishWindow s(totalsSql());
        Fmain &w = s.w();
        // The last dish, shown at start-up.
        QCOMPARE(s.dish(), QStringLiteral("大きな鍵"));
        QCOMPARE(panel(w), (Panel{"50", "50", "0.25", "80", "0", "0", "0", "0", "0"}));

        QVERIFY(s.goToDish(QStringLiteral("端数")));
        QCOMPARE(panel(w), (Panel{"100", "1,235", "0.13", "12.3", "12.2", "5", "0.1", "0", "100"}));
        QCOMPARE(ctl<QLineEdit>(w, "TexSumW")->text(), QStringLiteral("1"));
        QCOMPARE(ctl<QLineEdit>(w, "TexSUI")->text(), QStringLiteral("12.25"));
        QCOMPARE(ctl<QLineEdit>(w, "TexTAN")->text(), QStringLiteral("12.24"));
        QCOMPARE(ctl<QLineEdit>(w, "TexSumNa")->text(), QStringLiteral("0.125"));

        // Sums beyond any number show nothing, in the holders too.
        QVERIFY(s.goToDish(QStringLiteral("桁外れ")));
        QCOMPARE(panel(w), (Panel{"", "", "", "", "0", "0", "0", "0", "0"}));
        for (QLineEdit *holder : {ctl<QLineEdit>(w, "TexSumC"), ctl<QLineEdit>(w, "TexSUI"),
                                  ctl<QLineEdit>(w, "TexSumNa")})
            QVERIFY2(holder->text().isEmpty(), qPrintable(holder->objectName()));

        // A dish without lines empties every holder.
        QVERIFY(s.goToDish(QStringLiteral("区別")));
        QVERIFY(s.goToDish(QStringLiteral("空")));
        QCOMPARE(panel(w), Panel{});
        for (QLineEdit *holder : {ctl<QLineEdit>(w, "TexSumW"), ctl<QLineEdit>(w, "TexSUI"),
                                  ctl<QLineEdit>(w, "TexTAN"), ctl<QLineEdit>(w, "TexSST"),
                                  ctl<QLineEdit>(w, "TexTST"), ctl<QLineEdit>(w, "TexTSS"),
                                  ctl<QLineEdit>(w, "TexKBN"), ctl<QLineEdit>(w, "TexSumNa")})
            QVERIFY2(holder->text().isEmpty(), qPrintable(holder->objectName()));
    }

    // A total that passes over an unknown value shows what it counted, marked,
    // with the foods named in its tooltip; the other totals are unmarked.
    void unknownValuesAreMarked()
    {
        DishWindow s(totalsSql() +
                     QStringLiteral("UPDATE eys SET TSS = NULL, NAT = NULL WHERE SID = 5;"
                                    "INSERT INTO kou(アイテムCD,食品コード,数量,単位,数量2)"
                                    " VALUES (1,5,100,'ｇ',1);"));
        Fmain &w = s.w();
        QVERIFY(s.goToDish(QStringLiteral("例")));
        QCOMPARE(panel(w), (Panel{"250", "150", "0.75", "88", "0", "0", "0", "0", "0"}));
        QCOMPARE(ctl<QLineEdit>(w, "Text10")->toolTip(), QStringLiteral("未測定を含む: 水"));
        QCOMPARE(ctl<QLineEdit>(w, "TexNa")->toolTip(), QStringLiteral("未測定を含む: 水"));
        QVERIFY(ctl<QLineEdit>(w, "Text10")->palette().color(QPalette::Base) !=
                ctl<QLineEdit>(w, "Text5")->palette().color(QPalette::Base));
        QVERIFY(ctl<QLineEdit>(w, "Text5")->toolTip().isEmpty());
        QVERIFY(ctl<QLineEdit>(w, "TexSumC")->toolTip().isEmpty());
        // Another dish takes the marks away.
        QVERIFY(s.goToDish(QStringLiteral("区別")));
        QVERIFY(ctl<QLineEdit>(w, "Text10")->toolTip().isEmpty());
        QCOMPARE(ctl<QLineEdit>(w, "Text10")->palette().color(QPalette::Base),
                 ctl<QLineEdit>(w, "Text5")->palette().color(QPalette::Base));
    }
};

QTEST_MAIN(TestTotalsPanel)
#include "tst_totalspanel.moc"
