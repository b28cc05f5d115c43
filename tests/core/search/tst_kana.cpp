#include "core/search/kana.h"

#include <QtTest>

// The reading box folds what is typed to the half-width katakana the stored
// readings are written in.
class TestKana : public QObject
{
    Q_OBJECT

private slots:
    void foldsToHalfWidth_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("folded");

        const QString milk = QStringLiteral("ｷﾞｭｳﾆｭｳ");
        QTest::newRow("hiragana") << QStringLiteral("ぎゅうにゅう") << milk;
        QTest::newRow("full-width katakana") << QStringLiteral("ギュウニュウ") << milk;
        QTest::newRow("already half-width") << milk << milk;
        QTest::newRow("decomposed voiced mark") << QStringLiteral("キ\u3099ュウニュウ") << milk;
        QTest::newRow("spacing voiced mark")
            << QStringLiteral("キ゛ュウ") << QStringLiteral("ｷﾞｭｳ");
        QTest::newRow("semi-voiced") << QStringLiteral("ぱん　パン") << QStringLiteral("ﾊﾟﾝ ﾊﾟﾝ");
        QTest::newRow("vu") << QStringLiteral("ゔぁヴァ") << QStringLiteral("ｳﾞｧｳﾞｧ");
        QTest::newRow("small letters and long mark")
            << QStringLiteral("ちゃっきーヶ") << QStringLiteral("ﾁｬｯｷｰｹ");
        QTest::newRow("letters without a half-width form")
            << QStringLiteral("ヰヱヮヷ") << QStringLiteral("ｲｴﾜﾜﾞ");
        QTest::newRow("punctuation") << QStringLiteral("「あ・い」。") << QStringLiteral("｢ｱ･ｲ｣｡");
        QTest::newRow("full-width ascii")
            << QStringLiteral("ＡＢｃ１２３％＿＇＼") << QStringLiteral("ABc123%_'\\");
        QTest::newRow("kanji and latin kept")
            << QStringLiteral("牛乳 milk é") << QStringLiteral("牛乳 milk é");
        QTest::newRow("iteration marks")
            << QStringLiteral("ゝゞヽヾ") << QStringLiteral("ヽヾヽヾ");
        QTest::newRow("voiced wa to vo")
            << QStringLiteral("ヷヸヹヺ") << QStringLiteral("ﾜﾞｲﾞｴﾞｦﾞ");
        QTest::newRow("read by the importer")
            << QStringLiteral("ぱん・ヴァー シークヮーサー") << QStringLiteral("ﾊﾟﾝ･ｳﾞｧｰ ｼｰｸﾜｰｻｰ");
        QTest::newRow("full-width blank and signs")
            << QStringLiteral("１０％　Ａ") << QStringLiteral("10% A");
        QTest::newRow("empty") << QString() << QString();
    }

    void foldsToHalfWidth()
    {
        QFETCH(QString, typed);
        QFETCH(QString, folded);
        QCOMPARE(Kana::toHalfWidth(typed), folded);
    }

    void everyKatakanaSyllableFoldsLikeItsHiragana()
    {
        // ァ (U+30A1) to ヶ (U+30F6) and their hiragana: the same folding, and
        // never a full-width katakana left over.
        for (char16_t k = 0x30A1; k <= 0x30F6; ++k) {
            const QString katakana(QChar{k});
            const QString folded = Kana::toHalfWidth(katakana);
            for (QChar c : folded)
                QVERIFY2(c.unicode() >= 0xFF61 && c.unicode() <= 0xFF9F,
                         qPrintable(katakana + QStringLiteral(" -> ") + folded));
            const QString hiragana(QChar{char16_t(k - 0x60)});
            QCOMPARE(Kana::toHalfWidth(hiragana), folded);
        }
    }
};

QTEST_MAIN(TestKana)
#include "tst_kana.moc"
