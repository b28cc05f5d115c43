#include "app/fmain.h"
#include "app/program.h"
#include "app/twips.h"
#include "core/nutrition/radarchart.h"
#include "core/store/datasource.h"
#include "nutrition/chartsurface.h"
#include "nutrition/frmkij.h"
#include "tests/support/controls.h"
#include "tests/support/testsupport.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>
#include <cmath>

namespace {

// Standards that differ in every column by age and sex: CAL is age * 100 +
// sex, the other columns scale with it. A row with a null age comes first, and
// a second row for age 20 / male comes last (it must never be shown).
QString referenceSql()
{
    QString sql = QStringLiteral("INSERT INTO bun VALUES (20, '登録食品');"
                                 "INSERT INTO tni VALUES ('ｇ', 1);"
                                 "INSERT INTO kij(AGE,SEX,CAL) VALUES (NULL, 1, 5555);");
    for (int age = 1; age <= 80; ++age)
        for (int sex : {1, 0}) {
            const double f = sex ? 1.0 : 0.8;
            sql += QStringLiteral("INSERT INTO kij(AGE,SEX,TAL,WEI,CAL,TAN,CA,FE,VA,VB1,VB2,NAI,VC)"
                                  " VALUES (%1,%2,%3,%4,%5,%6,%7,%8,%9,%10,%11,%12,%13);")
                       .arg(age)
                       .arg(sex)
                       .arg(100 + age)
                       .arg(age * f)
                       .arg(age * 100 + sex)
                       .arg(age * 3 * f)
                       .arg(age * 30 * f)
                       .arg(age * 0.4 * f)
                       .arg(age * 60 * f)
                       .arg(age * 0.04 * f)
                       .arg(age * 0.05 * f)
                       .arg(age * 0.6 * f)
                       .arg(age * 2 * f);
        }
    sql += QStringLiteral("INSERT INTO kij(AGE,SEX,CAL) VALUES (20, 1, 9999);");
    return sql;
}

QString standardEnergy(int age, int sex)
{
    return QString::number(age * 100 + sex);
}

QString foodSql(int id, const QString &assignments)
{
    // assignments: "ENC=1, TAN=2"; everything else is null.
    QStringList names{QStringLiteral("SID"), QStringLiteral("SNM"), QStringLiteral("BID")};
    QStringList values{QString::number(id), QStringLiteral("'食品%1'").arg(id),
                       QStringLiteral("20")};
    for (const QString &pair : assignments.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        names << pair.section(QLatin1Char('='), 0, 0).trimmed();
        values << pair.section(QLatin1Char('='), 1).trimmed();
    }
    return QStringLiteral("INSERT INTO eys(%1) VALUES (%2);")
        .arg(names.join(QLatin1Char(',')), values.join(QLatin1Char(',')));
}

QString lineSql(int dish, int food, double hundreds)
{
    return QStringLiteral("INSERT INTO kou(アイテムCD,食品コード,数量,単位,数量2)"
                          " VALUES (%1,%2,%3,'ｇ',%4);")
        .arg(dish)
        .arg(food)
        .arg(hundreds * 100)
        .arg(hundreds);
}

// Makes the dish current in the main window and opens the comparison.
FrmKij *openFor(Program &program, qint64 dish)
{
    DataSource *dishes = ctl<DataSource>(*program.fmain(), "AdoMnu");
    for (int row = 0; row < dishes->recordCount(); ++row)
        if (dishes->value(row, dishes->fieldIndex(QStringLiteral("ID"))).toLongLong() == dish)
            dishes->moveTo(row);
    program.showComparison();
    FrmKij *kij = program.comparison();
    if (kij && !QTest::qWaitForWindowExposed(kij))
        return nullptr;
    return kij;
}

// The reference rows and one dish, the program started and the comparison
// window open on that dish.
struct OneDish
{
    TestFolder folder;
    StartedProgram p;
    FrmKij *kij = nullptr;
    OneDish()
    {
        if (folder.makeStore(referenceSql() +
                             QStringLiteral("INSERT INTO mnu(ID, アイテム名) VALUES (1,'a');"))) {
            p.start();
            kij = openFor(*p.program, 1);
        }
    }
};

QString dataText(FrmKij *kij, int i)
{
    return ctl<QLabel>(*kij, "Data", i)->text();
}

QImage chartImage(FrmKij *kij)
{
    return ctl<ChartSurface>(*kij, "Picture1")
        ->grab()
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

bool isGreen(QRgb c)
{
    return qGreen(c) > 150 && qRed(c) < 130 && qBlue(c) < 130;
}

bool isRed(QRgb c)
{
    return qRed(c) > 150 && qGreen(c) < 130 && qBlue(c) < 130;
}

QPoint toPixel(QPointF twips)
{
    const double scale = Twips::toPixelsF(1);
    return {int(std::floor(twips.x() * scale)), int(std::floor(twips.y() * scale))};
}

template <typename Kind> bool near(const QImage &image, QPointF twips, Kind kind)
{
    const QPoint p = toPixel(twips);
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (image.valid(p.x() + dx, p.y() + dy) && kind(image.pixel(p.x() + dx, p.y() + dy)))
                return true;
    return false;
}

// Distance in pixels from a pixel's centre to a polyline given in twips.
double pixelDistance(QPoint pixel, const RadarChart::Polyline &twips)
{
    const double scale = Twips::toPixelsF(1);
    const QPointF p(pixel.x() + 0.5, pixel.y() + 0.5);
    double best = 1e9;
    for (size_t i = 0; i + 1 < twips.size(); ++i) {
        const QPointF a = twips[i] * scale, b = twips[i + 1] * scale;
        const QPointF ab = b - a;
        const double len2 = QPointF::dotProduct(ab, ab);
        const double t =
            len2 > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / len2, 0.0, 1.0) : 0.0;
        const QPointF q = a + t * ab;
        best = std::min(best, std::hypot(p.x() - q.x(), p.y() - q.y()));
    }
    return best;
}

} // namespace

class TestComparison : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpTestApplication(); }

    void windowLayout()
    {
        OneDish setup;
        StartedProgram &p = setup.p;
        FrmKij *kij = setup.kij;
        QVERIFY(kij);
        QCOMPARE(kij->objectName(), QStringLiteral("frmKij"));
        // The title names the dish compared.
        QCOMPARE(kij->windowTitle(), QStringLiteral("基準値との比較：a"));
        QVERIFY(kij->testAttribute(Qt::WA_DeleteOnClose));
        // A fixed frame around a client area of 8490 x 5475 twips.
        QCOMPARE(kij->size(), QSize(Twips::toPixels(8490), Twips::toPixels(5475)));
        QCOMPARE(kij->minimumSize(), kij->maximumSize());

        auto at = [](QWidget *w, int l, int t, int wd, int h) {
            return w->geometry() == QRect(Twips::toPixels(l), Twips::toPixels(t),
                                          Twips::toPixels(wd), Twips::toPixels(h));
        };
        QVERIFY(at(kij->findChild<QWidget *>(QStringLiteral("Picture1")), 2760, 120, 5655, 4815));
        QVERIFY(at(kij->findChild<QWidget *>(QStringLiteral("Command1")), 7200, 5040, 975, 375));
        QVERIFY(at(kij->findChild<QWidget *>(QStringLiteral("OpWom")), 2040, 480, 855, 255));
        QVERIFY(at(kij->findChild<QWidget *>(QStringLiteral("Kdata_10")), 1920, 4680, 735, 270));
        QVERIFY(at(kij->findChild<QWidget *>(QStringLiteral("Data_3")), 1080, 2160, 735, 255));
        QVERIFY(at(kij->findChild<QWidget *>(QStringLiteral("Label1_9")), 120, 4320, 615, 255));
        QVERIFY(at(kij->findChild<QWidget *>(QStringLiteral("Label1_7")), 120, 3600, 735, 255));
        QCOMPARE(ctl<QLabel>(*kij, "Label1_0")->text(), QStringLiteral("基準身長"));
        QCOMPARE(ctl<QLabel>(*kij, "Label1_10")->text(), QStringLiteral("ﾋﾞﾀﾐﾝC"));
        QCOMPARE(ctl<QLabel>(*kij, "Label3")->text(), QStringLiteral("基準値"));
        QCOMPARE(ctl<QPushButton>(*kij, "Command1")->text(), QStringLiteral("OK"));

        // The axis captions and the legend lie inside the chart.
        for (int i = 11; i <= 19; ++i)
            QCOMPARE(ctl<QLabel>(*kij, "Label1", i)->parentWidget(),
                     ctl<ChartSurface>(*kij, "Picture1"));
        QCOMPARE(ctl<QLabel>(*kij, "Label1_11")->text(), QStringLiteral("ｴﾈﾙｷﾞｰ"));
        QCOMPARE(ctl<QLabel>(*kij, "Label1_11")->pos(),
                 QPoint(Twips::toPixels(2400), Twips::toPixels(240)));
        QCOMPARE(ctl<QLabel>(*kij, "Label4")->text(), QStringLiteral("基準値"));
        QCOMPARE(ctl<QLabel>(*kij, "Label5")->text(), QStringLiteral("計算値"));
        QCOMPARE(ctl<LineShape>(*kij, "Line1")->colour(), QColor(0, 255, 0));
        QCOMPARE(ctl<LineShape>(*kij, "Line2")->line(), QLineF(4440, 4200, 4800, 4200));
        const QImage chart = chartImage(kij);
        QVERIFY(near(chart, QPointF(4620, 4560), isGreen));
        QVERIFY(near(chart, QPointF(4620, 4200), isRed));

        // Age and sex at start; Data 0 and 1 hidden; holders hidden.
        QCOMPARE(ctl<QComboBox>(*kij, "Combo1")->count(), 80);
        QCOMPARE(ctl<QComboBox>(*kij, "Combo1")->itemText(0), QStringLiteral("1"));
        QCOMPARE(ctl<QComboBox>(*kij, "Combo1")->itemText(79), QStringLiteral("80"));
        QCOMPARE(ctl<QComboBox>(*kij, "Combo1")->currentText(), QStringLiteral("20"));
        QVERIFY(ctl<QComboBox>(*kij, "Combo1")->isEditable());
        QVERIFY(ctl<QRadioButton>(*kij, "OpMan")->isChecked() &&
                !ctl<QRadioButton>(*kij, "OpWom")->isChecked());
        QVERIFY(ctl<QLabel>(*kij, "Data_0")->isHidden() &&
                ctl<QLabel>(*kij, "Data_1")->isHidden() &&
                ctl<QLabel>(*kij, "Data_2")->isVisible());
        QCOMPARE(ctl<QLabel>(*kij, "Data_2")->frameShape(), QFrame::Box);
        QVERIFY(ctl<QLabel>(*kij, "Data_2")->alignment() & Qt::AlignRight);
        QVERIFY(ctl<QLineEdit>(*kij, "Kdata_2")->alignment() & Qt::AlignRight);
        for (int i = 0; i < 11; ++i)
            QVERIFY(ctl<QLineEdit>(*kij, "Udata", i)->isHidden());

        // "OK" unloads the window.
        QPointer<FrmKij> window = kij;
        ctl<QPushButton>(*kij, "Command1")->click();
        QTRY_VERIFY(!window);
        QVERIFY(!p.program->comparison());
    }

    void tableShowsTheSums()
    {
        // The rounding rules are the core's; the window shows its holders
        // and values for the dish current in the main window.
        TestFolder folder;
        QVERIFY(folder.makeStore(
            referenceSql() + QStringLiteral("INSERT INTO mnu(ID, アイテム名) VALUES (7,'煮物');") +
            foodSql(1, QStringLiteral("ENC=123.456")) +
            foodSql(2, QStringLiteral("VB1=0.004999, VB2=0.004999")) + lineSql(7, 1, 2) +
            lineSql(7, 2, 1) + lineSql(8, 1, 5)));
        StartedProgram p;
        p.start();
        FrmKij *kij = openFor(*p.program, 7);
        QVERIFY(kij);
        QCOMPARE(dataText(kij, 2), QStringLiteral("246.91"));
        QCOMPARE(ctl<QLineEdit>(*kij, "Udata_8")->text(), QStringLiteral("0.0050"));
        QCOMPARE(dataText(kij, 8), QStringLiteral("0.01"));
        QCOMPARE(ctl<QLineEdit>(*kij, "Udata_7")->text(), QStringLiteral("0.004999"));
        QCOMPARE(dataText(kij, 7), QStringLiteral("0"));
        QCOMPARE(dataText(kij, 5), QString()); // no iron: a null sum
        QVERIFY(ctl<QLineEdit>(*kij, "Udata_0")->text().isEmpty() &&
                ctl<QLineEdit>(*kij, "Udata_1")->text().isEmpty());
        // The standards lookup ran all the same.
        QCOMPARE(ctl<QLineEdit>(*kij, "Kdata_2")->text(), standardEnergy(20, 1));
    }

    void dishWithoutLinesOpensEmpty()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(
            referenceSql() + foodSql(1, QStringLiteral("ENC=100")) + lineSql(2, 1, 1) +
            QStringLiteral("INSERT INTO mnu(ID, アイテム名) VALUES (1,'空');")));
        StartedProgram p;
        p.start();
        FrmKij *kij = openFor(*p.program, 1);
        QVERIFY(kij);
        for (int i = 2; i <= 10; ++i) {
            QCOMPARE(dataText(kij, i), QString());
            QCOMPARE(ctl<QLineEdit>(*kij, "Udata", i)->text(), QString());
        }
        QCOMPARE(ctl<QLineEdit>(*kij, "Kdata_2")->text(), standardEnergy(20, 1));
        QCOMPARE(ctl<QLineEdit>(*kij, "Kdata_0")->text(), QStringLiteral("120"));

        // The green polygon has shrunk to the centre: no green anywhere else
        // (the legend's green stroke aside).
        const QImage chart = chartImage(kij);
        const QRect legend(toPixel(QPointF(4300, 4400)), toPixel(QPointF(4900, 4700)));
        const QPoint centre = toPixel(RadarChart::centre());
        for (int y = 0; y < chart.height(); ++y)
            for (int x = 0; x < chart.width(); ++x)
                if (isGreen(chart.pixel(x, y)) && !legend.contains(x, y))
                    QVERIFY2(std::abs(x - centre.x()) <= 3 && std::abs(y - centre.y()) <= 3,
                             qPrintable(QStringLiteral("green at %1,%2").arg(x).arg(y)));
    }

    void lookupFollowsAgeAndSex()
    {
        OneDish setup;
        FrmKij *kij = setup.kij;
        QVERIFY(kij);
        // Of the two rows for 20 / male, the first in table order.
        QCOMPARE(ctl<QLineEdit>(*kij, "Kdata_2")->text(), standardEnergy(20, 1));
        QCOMPARE(ctl<QLineEdit>(*kij, "Kdata_0")->text(), QStringLiteral("120"));
        QCOMPARE(ctl<QLineEdit>(*kij, "Kdata_7")->text(), QStringLiteral("0.8"));

        QSignalSpy lookups(kij, &FrmKij::standardLookedUp);
        QSignalSpy redraws(kij, &FrmKij::chartRedrawn);
        ctl<QRadioButton>(*kij, "OpWom")->click();
        QVERIFY(ctl<QRadioButton>(*kij, "OpWom")->isChecked() &&
                !ctl<QRadioButton>(*kij, "OpMan")->isChecked());
        QCOMPARE(ctl<QLineEdit>(*kij, "Kdata_2")->text(), standardEnergy(20, 0));
        ctl<QRadioButton>(*kij, "OpMan")->click();
        QCOMPARE(ctl<QLineEdit>(*kij, "Kdata_2")->text(), standardEnergy(20, 1));
        QCOMPARE(lookups.count(), 2);
        QCOMPARE(redraws.count(), 2);

        // Retyping the age: "3" then "35", one lookup per keystroke.
        lookups.clear();
        QLineEdit *ageBox = ctl<QComboBox>(*kij, "Combo1")->lineEdit();
        ageBox->selectAll();
        QTest::keyClick(ageBox, Qt::Key_3);
        QTest::keyClick(ageBox, Qt::Key_5);
        QCOMPARE(lookups.count(), 2);
        QCOMPARE(lookups[0], (QList<QVariant>{3, 1}));
        QCOMPARE(lookups[1], (QList<QVariant>{35, 1}));
        QCOMPARE(ctl<QLineEdit>(*kij, "Kdata_2")->text(), standardEnergy(35, 1));

        // Picking from the list looks up once.
        lookups.clear();
        ctl<QComboBox>(*kij, "Combo1")->setCurrentIndex(79);
        QCOMPARE(lookups.count(), 1);
        QCOMPARE(ctl<QLineEdit>(*kij, "Kdata_2")->text(), standardEnergy(80, 1));
    }

    void ageTextWithoutARow()
    {
        // Which texts find a row is the core's rule; the window empties the
        // column and the red polygon sits at the centre.
        OneDish setup;
        FrmKij *kij = setup.kij;
        QVERIFY(kij);
        ctl<QComboBox>(*kij, "Combo1")->setEditText(QStringLiteral("abc"));
        for (int i = 0; i < 11; ++i)
            QCOMPARE(ctl<QLineEdit>(*kij, "Kdata", i)->text(), QString());
        const QImage chart = chartImage(kij);
        QVERIFY(near(chart, RadarChart::centre(), isRed));
        QVERIFY(!near(chart, QPointF(2800, 900), isRed));
        // A valid age afterwards finds its row again.
        ctl<QComboBox>(*kij, "Combo1")->setEditText(QStringLiteral("30"));
        QCOMPARE(ctl<QLineEdit>(*kij, "Kdata_2")->text(), standardEnergy(30, 1));
    }

    void standardsAreNeverWrittenBack()
    {
        OneDish setup;
        TestFolder &folder = setup.folder;
        StartedProgram &p = setup.p;
        FrmKij *kij = setup.kij;
        QVERIFY(kij);
        QVERIFY(ctl<QLineEdit>(*kij, "Kdata_2")->isReadOnly());
        QTest::keyClicks(ctl<QLineEdit>(*kij, "Kdata_2"), QStringLiteral("999"));
        ctl<QRadioButton>(*kij, "OpWom")->click();
        ctl<QPushButton>(*kij, "Command1")->click();
        QTRY_VERIFY(!p.program->comparison());
        QCOMPARE(folder.scalar(QStringLiteral("SELECT CAL FROM kij WHERE AGE=20 AND SEX=1 LIMIT 1"))
                     .toString(),
                 standardEnergy(20, 1));
    }

    void chartPlotsTheTable()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(referenceSql() +
                                 QStringLiteral("INSERT INTO mnu(ID, アイテム名) VALUES (1,'a');") +
                                 foodSql(1, QStringLiteral("ENC=1755")) + lineSql(1, 1, 1) +
                                 QStringLiteral("UPDATE kij SET CAL=2700 WHERE AGE=20;")));
        StartedProgram p;
        p.start();
        FrmKij *kij = openFor(*p.program, 1);
        QVERIFY(kij);
        QCOMPARE(dataText(kij, 2), QStringLiteral("1755"));

        const QImage before = chartImage(kij);
        QVERIFY(near(before, QPointF(2800, 1425), isGreen));
        QVERIFY(!near(before, QPointF(2800, 1100), isGreen));
        QVERIFY(near(before, QPointF(2800, 900), isRed));
        // Protein: nothing calculated (centre), 60 standard for 20 / male,
        // whose standards set the scales: his polygon lies on the outer ring,
        // each vertex at 1 / 1.3 of the way to its end point.
        const double proteinScale = 1.3 * 60;
        QCOMPARE(kij->chartValues().scales[1], proteinScale);
        QVERIFY(
            near(before, RadarChart::vertex(RadarChart::ChartAxis[1], 60, proteinScale), isRed));
        const RadarChart::Polyline man = RadarChart::figure(kij->chartValues()).standard;
        for (int i = 0; i < RadarChart::axisCount; ++i) {
            const RadarChart::Axis &axis = RadarChart::ChartAxis[i];
            const QLineF toEnd(RadarChart::centre(), QPointF(axis.endX, axis.endY));
            QVERIFY(qAbs(QLineF(RadarChart::centre(), man[i]).length() - toEnd.length() / 1.3) <
                    0.01);
        }

        // Changing the sex changes the red polygon only.
        const RadarChart::Figure oldFigure = RadarChart::figure(kij->chartValues());
        ctl<QRadioButton>(*kij, "OpWom")->click();
        const RadarChart::Figure newFigure = RadarChart::figure(kij->chartValues());
        QVERIFY(oldFigure.calculated == newFigure.calculated);
        QVERIFY(oldFigure.standard != newFigure.standard);
        const QImage after = chartImage(kij);
        QCOMPARE(after.size(), before.size());
        int changed = 0;
        for (int y = 0; y < after.height(); ++y)
            for (int x = 0; x < after.width(); ++x)
                if (after.pixel(x, y) != before.pixel(x, y)) {
                    ++changed;
                    const double d = std::min(pixelDistance({x, y}, oldFigure.standard),
                                              pixelDistance({x, y}, newFigure.standard));
                    QVERIFY2(d <= 2.5, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
                }
        QVERIFY(changed > 0);
        QVERIFY(near(after, QPointF(2800, 1425), isGreen));
        QVERIFY(near(after, RadarChart::vertex(RadarChart::ChartAxis[1], 48, proteinScale), isRed));

        // The chart plots the comparison's numbers, not the labels' texts.
        ctl<QLabel>(*kij, "Data_2")->setText(QStringLiteral("3510"));
        kij->DrawChartGrid();
        QVERIFY(near(chartImage(kij), QPointF(2800, 1425), isGreen));
        QVERIFY(!near(chartImage(kij), QPointF(2800, 450), isGreen));
    }

    void reopeningRedrawsButKeepsTheSums()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(referenceSql() +
                                 QStringLiteral("INSERT INTO mnu(ID, アイテム名) VALUES (1,'a');") +
                                 foodSql(1, QStringLiteral("ENC=100")) + lineSql(1, 1, 1)));
        StartedProgram p;
        p.start();
        FrmKij *kij = openFor(*p.program, 1);
        QVERIFY(kij);
        QCOMPARE(dataText(kij, 2), QStringLiteral("100"));
        ctl<QRadioButton>(*kij, "OpWom")->click();

        QVERIFY(folder.exec(lineSql(1, 1, 2)));
        Fmain *main = p.program->fmain();
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main));
        QSignalSpy redraws(kij, &FrmKij::chartRedrawn);
        QSignalSpy lookups(kij, &FrmKij::standardLookedUp);
        p.program->showComparison();
        QCOMPARE(p.program->comparison(), kij);
        QTRY_VERIFY(redraws.count() >= 1);
        QCOMPARE(lookups.count(), 0);
        QCOMPARE(dataText(kij, 2), QStringLiteral("100"));
        QVERIFY(ctl<QRadioButton>(*kij, "OpWom")->isChecked());

        // Unloaded and opened again: fresh sums, age 20 and male again.
        ctl<QPushButton>(*kij, "Command1")->click();
        QTRY_VERIFY(!p.program->comparison());
        kij = openFor(*p.program, 1);
        QVERIFY(kij);
        QCOMPARE(dataText(kij, 2), QStringLiteral("300"));
        QVERIFY(ctl<QRadioButton>(*kij, "OpMan")->isChecked());
        QCOMPARE(ctl<QComboBox>(*kij, "Combo1")->currentText(), QStringLiteral("20"));
    }
};

QTEST_MAIN(TestComparison)
#include "tst_comparison.moc"
