// The version window: its texts built from the version numbers, its layout
// and the source line of the food data.
#include "about/frmabout.h"
#include "app/program.h"
#include "app/twips.h"
#include "core/about/versioninfo.h"
#include "tests/support/controls.h"
#include "tests/support/testsupport.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

class TestAbout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpTestApplication(); }

    void versionText_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("release");
        QTest::addColumn<QString>("text");
        QTest::newRow("this version") << 1 << 2 << 6 << "ﾊﾞｰｼﾞｮﾝ 1.2.6";
        QTest::newRow("release zero") << 1 << 2 << 0 << "ﾊﾞｰｼﾞｮﾝ 1.2.0";
        QTest::newRow("no padding") << 10 << 0 << 1006 << "ﾊﾞｰｼﾞｮﾝ 10.0.1006";
        QTest::newRow("largest") << 32767 << 32767 << 32767 << "ﾊﾞｰｼﾞｮﾝ 32767.32767.32767";
    }
    void versionText()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, release);
        QFETCH(QString, text);
        QCOMPARE(VersionInfo::versionText(major, minor, release), text);
    }

    void buildVersionIsOneTwoSix()
    {
        QCOMPARE(VersionInfo::versionText(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ 1.2.6"));
        QCOMPARE(VersionInfo::caption(QStringLiteral("ゼント")),
                 QStringLiteral("ゼントのﾊﾞｰｼﾞｮﾝ情報"));
    }

    void windowTextsAndLayout()
    {
        TestFolder folder;
        StartedProgram started;
        started.program->showAbout();
        FrmAbout *about = started.program->about();
        QVERIFY(about);
        QCOMPARE(about->objectName(), QStringLiteral("frmAbout"));
        QCOMPARE(about->windowTitle(), QStringLiteral("ゼントのﾊﾞｰｼﾞｮﾝ情報"));
        QCOMPARE(ctl<QLabel>(*about, "lblTitle")->text(), QStringLiteral("ゼント"));
        QCOMPARE(ctl<QLabel>(*about, "lblVersion")->text(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ 1.2.6"));
        QCOMPARE(ctl<QLabel>(*about, "lblDescription")->text(),
                 QStringLiteral("料理の栄養成分を簡単に計算します。"));
        QCOMPARE(ctl<QPushButton>(*about, "cmdOK")->text(), QStringLiteral("OK"));
        QCOMPARE(about->size(), QSize(Twips::toPixels(5730), Twips::toPixels(2235)));
        const auto twips = [](int l, int t, int w, int h) {
            return QRect(Twips::toPixels(l), Twips::toPixels(t), Twips::toPixels(w),
                         Twips::toPixels(h));
        };
        QCOMPARE(ctl<QLabel>(*about, "picIcon")->geometry(), twips(240, 240, 540, 540));
        QCOMPARE(ctl<QLabel>(*about, "lblTitle")->geometry(), twips(1050, 240, 3885, 480));
        QCOMPARE(ctl<QLabel>(*about, "lblVersion")->geometry(), twips(1050, 780, 3885, 225));
        QCOMPARE(ctl<QLabel>(*about, "lblDescription")->geometry(), twips(1050, 1125, 3885, 210));
        QCOMPARE(ctl<QLabel>(*about, "Label1")->geometry(), twips(1080, 1560, 3015, 510));
        QCOMPARE(ctl<QPushButton>(*about, "cmdOK")->geometry(), twips(4245, 1800, 1380, 345));
        for (const char *name : {"picIcon", "lblTitle", "lblVersion", "lblDescription", "Label1"})
            QVERIFY2(about->findChild<QLabel *>(QLatin1String(name)), name);
        QCOMPARE(ctl<QLabel>(*about, "picIcon")->pixmap().size(), QSize(32, 32));
        QVERIFY(!ctl<QLabel>(*about, "picIcon")->pixmap().toImage().allGray()); // drawn, in colour
    }

    void sourceLineIsLegible()
    {
        TestFolder folder;
        StartedProgram started;
        started.program->showAbout();
        QLabel *line = ctl<QLabel>(*started.program->about(), "Label1");
        QVERIFY(line->autoFillBackground());
        QCOMPARE(line->palette().color(QPalette::Window), QColor(192, 255, 192));
        // The source as its publisher asks, and that it was converted.
        QCOMPARE(line->text().remove(QLatin1Char('\n')),
                 QStringLiteral(
                     "出典：「日本食品標準成分表（八訂）増補2023年」（文部科学省）を加工して作成"));
        // Lines that fit the label, in a font that can still be read.
        const QFontMetrics metrics(line->font());
        for (const QString &part : line->text().split(QLatin1Char('\n')))
            QVERIFY2(metrics.horizontalAdvance(part) <= line->width(),
                     qPrintable(QString::number(metrics.horizontalAdvance(part))));
        QVERIFY(2 * metrics.height() <= line->height());
        QVERIFY(line->font().pointSizeF() >= 7.0);
        QVERIFY(line->toolTip().contains(QStringLiteral(
            "「日本食品標準成分表（八訂）増補2023年」（文部科学省）を加工して作成")));
        QVERIFY(line->toolTip().contains(QStringLiteral("日本人の食事摂取基準（2025年版）")));
    }

    void okClosesAndEveryOpeningStartsAfresh()
    {
        TestFolder folder;
        StartedProgram started;
        started.program->showAbout();
        QPointer<FrmAbout> first = started.program->about();
        ctl<QLabel>(*first, "lblVersion")->setText(QStringLiteral("x"));
        ctl<QPushButton>(*first, "cmdOK")->click();
        QTRY_VERIFY(first.isNull());
        QVERIFY(!started.program->about());
        started.program->showAbout();
        QCOMPARE(ctl<QLabel>(*started.program->about(), "lblVersion")->text(),
                 QStringLiteral("ﾊﾞｰｼﾞｮﾝ 1.2.6"));
        QVERIFY(started.program->about()->close()); // the close box
        QTRY_VERIFY(!started.program->about());
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
