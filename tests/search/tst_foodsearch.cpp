#include "app/bindings.h"
#include "app/fmain.h"
#include "app/program.h"
#include "app/twips.h"
#include "core/nutrition/nutrients.h"
#include "core/store/datasource.h"
#include "search/frmschf.h"
#include "tests/core/search/foodsearchstore.h"
#include "tests/support/controls.h"
#include "tests/support/testsupport.h"

#include <QComboBox>
#include <QFrame>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

namespace {

QList<qint64> listedFoods(FrmSchF *window)
{
    QList<qint64> ids;
    DataSource *result = ctl<DataSource>(*window, "AdoEys");
    const int count = result->recordCount();
    for (int row = 0; row < count; ++row)
        ids << result->value(row, 0).toLongLong();
    return ids;
}

QStringList column(FrmSchF *window, int c)
{
    QStringList texts;
    DataSource *result = ctl<DataSource>(*window, "AdoEys");
    const int count = result->recordCount();
    for (int row = 0; row < count; ++row)
        texts << result->text(row, c);
    return texts;
}

void typeInto(QLineEdit *box, const QString &text)
{
    // Text arrives as an input method commits it.
    box->setFocus();
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(box, &event);
}

struct Session
{
    TestFolder folder;
    StartedProgram started;
    QPointer<FrmSchF> window;

    Session()
    {
        if (!folder.makeStore(foodSearchStoreSql()))
            qFatal("store");
        started.start();
        started.program->showFoodSearch();
        window = started.program->foodSearch();
    }
    Fmain *main() const { return started.program->fmain(); }
    bool closed()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return window.isNull();
    }
};

} // namespace

class TestFoodSearch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpTestApplication(); }

    void opensEmpty()
    {
        Session s;
        QVERIFY(s.window);
        QCOMPARE(s.window->objectName(), QStringLiteral("frmSchF"));
        QCOMPARE(s.window->windowTitle(), QStringLiteral("食品素材の検索"));
        QVERIFY(ctl<QLineEdit>(*s.window, "Text1")->text().isEmpty());
        QVERIFY(ctl<QComboBox>(*s.window, "Combo1")->currentText().isEmpty());
        QVERIFY(ctl<QLabel>(*s.window, "Label3")->text().isEmpty());
        QCOMPARE(ctl<DataSource>(*s.window, "AdoEys")->rowCount(), 0);
        // The client area and the controls at their twips.
        auto at = [](QWidget *w, int l, int t, int wd, int h) {
            return w->geometry() == QRect(Twips::toPixels(l), Twips::toPixels(t),
                                          Twips::toPixels(wd), Twips::toPixels(h));
        };
        QCOMPARE(s.window->size(), QSize(Twips::toPixels(5700), Twips::toPixels(5235)));
        QVERIFY(at(ctl<QLineEdit>(*s.window, "Text1"), 120, 480, 2535, 270));
        QVERIFY(at(ctl<QComboBox>(*s.window, "Combo1"), 3000, 480, 2175, 300));
        QVERIFY(at(ctl<DataGrid>(*s.window, "DataGrid1"), 0, 1080, 5655, 3615));
        QVERIFY(at(ctl<QPushButton>(*s.window, "Command1"), 3480, 4800, 975, 375));
        QVERIFY(at(ctl<QPushButton>(*s.window, "Command2"), 4560, 4800, 975, 375));
        QVERIFY(at(ctl<QFrame>(*s.window, "Shape2"), 2880, 120, 2775, 855));
        QCOMPARE(ctl<QLabel>(*s.window, "Label1")->text(), QStringLiteral("多いもので探す"));
        QCOMPARE(ctl<QLabel>(*s.window, "Label2")->text(), QStringLiteral("ﾖﾐｶﾞﾅで探す"));
        QCOMPARE(ctl<QPushButton>(*s.window, "Command2")->text(), QStringLiteral("ｷｬﾝｾﾙ"));
        QCOMPARE(ctl<QComboBox>(*s.window, "Combo1")->count(), 22);
        for (int i = 0; i < 22; ++i)
            QCOMPARE(ctl<QComboBox>(*s.window, "Combo1")->itemText(i),
                     Nutrients::ranked()[i]->rankingName.toString());
    }

    void kanaFormsFindTheSameFoods()
    {
        Session s;
        const QList<qint64> expected{14, 2, 3}; // descending reading; 4 has no category
        for (const QString &typed : {QStringLiteral("ぎゅうにゅう"), QStringLiteral("ギュウニュウ"),
                                     QStringLiteral("ｷﾞｭｳﾆｭｳ")}) {
            ctl<QLineEdit>(*s.window, "Text1")->clear();
            typeInto(ctl<QLineEdit>(*s.window, "Text1"), typed);
            QCOMPARE(ctl<QLineEdit>(*s.window, "Text1")->text(),
                     typed); // the box keeps what was typed
            QCOMPARE(listedFoods(s.window), expected);
        }
    }

    void gridLayoutIsTheSameForBothSearches()
    {
        Session s;
        for (int pass = 0; pass < 2; ++pass) {
            if (pass == 0)
                ctl<QLineEdit>(*s.window, "Text1")->setText(QStringLiteral("ｺﾒ"));
            else
                typeInto(ctl<QComboBox>(*s.window, "Combo1")->lineEdit(), QStringLiteral("ｴﾈﾙｷﾞｰ"));
            DataGrid *grid = ctl<DataGrid>(*s.window, "DataGrid1");
            QVERIFY(grid->isColumnHidden(0));
            QCOMPARE(grid->columnCaption(1), QStringLiteral("食品名"));
            QCOMPARE(grid->columnCaption(2), QStringLiteral("値"));
            QCOMPARE(grid->columnCaption(3), QStringLiteral("分類名"));
            QVERIFY(grid->columnAlignment(2) & Qt::AlignRight);
            QVERIFY(grid->columnWidth(1) > grid->columnWidth(2));
        }
    }

    void choosingANutrientRanksHighestFirst()
    {
        Session s;
        const int vitaminA =
            ctl<QComboBox>(*s.window, "Combo1")->findText(QStringLiteral("ﾋﾞﾀﾐﾝA"));
        ctl<QComboBox>(*s.window, "Combo1")->setCurrentIndex(vitaminA);
        emit ctl<QComboBox>(*s.window, "Combo1")->activated(vitaminA);
        QCOMPARE(ctl<QLabel>(*s.window, "Label3")->text(), QStringLiteral("VAK"));
        QCOMPARE(listedFoods(s.window).mid(0, 3),
                 (QList<qint64>{13, 11, 12})); // 2 and 14 tie after them
        QVERIFY(!listedFoods(s.window).contains(4));
        const QStringList values = column(s.window, 2);
        for (int i = 1; i < values.size(); ++i)
            QVERIFY(values[i - 1].toDouble() >= values[i].toDouble());

        const int salt =
            ctl<QComboBox>(*s.window, "Combo1")->findText(QStringLiteral("食塩相当量"));
        ctl<QComboBox>(*s.window, "Combo1")->setCurrentIndex(salt);
        emit ctl<QComboBox>(*s.window, "Combo1")->activated(salt);
        QCOMPARE(ctl<QLabel>(*s.window, "Label3")->text(), QStringLiteral("NAT"));
        QCOMPARE(listedFoods(s.window).first(), 10);
    }

    void typingANameIsChoosingIt()
    {
        Session chosen;
        const int index =
            ctl<QComboBox>(*chosen.window, "Combo1")->findText(QStringLiteral("ﾚﾁﾉｰﾙ"));
        ctl<QComboBox>(*chosen.window, "Combo1")->setCurrentIndex(index);
        emit ctl<QComboBox>(*chosen.window, "Combo1")->activated(index);
        const QList<qint64> byChoice = listedFoods(chosen.window);

        Session typed;
        typeInto(ctl<QComboBox>(*typed.window, "Combo1")->lineEdit(), QStringLiteral("ﾚﾁﾉｰﾙ"));
        QCOMPARE(ctl<QLabel>(*typed.window, "Label3")->text(), QStringLiteral("VAR"));
        QCOMPARE(listedFoods(typed.window), byChoice);
        QCOMPARE(byChoice.first(), 12);
    }

    void unknownNutrientTextLeavesTheGrid()
    {
        Session s;
        typeInto(ctl<QComboBox>(*s.window, "Combo1")->lineEdit(), QStringLiteral("ｴﾈﾙｷﾞｰ"));
        const QString query = ctl<DataSource>(*s.window, "AdoEys")->recordSource();
        const QList<qint64> before = listedFoods(s.window);
        QCOMPARE(before.first(), 1);

        typeInto(ctl<QComboBox>(*s.window, "Combo1")->lineEdit(), QStringLiteral("x")); // "ｴﾈﾙｷﾞｰx"
        QVERIFY(ctl<QLabel>(*s.window, "Label3")->text().isEmpty());
        QCOMPARE(ctl<DataSource>(*s.window, "AdoEys")->recordSource(), query);
        QCOMPARE(listedFoods(s.window), before);
        QVERIFY(s.started.prompts.asked.isEmpty());

        // Before any search, unknown text runs nothing at all.
        Session fresh;
        typeInto(ctl<QComboBox>(*fresh.window, "Combo1")->lineEdit(), QStringLiteral("鉄分"));
        QVERIFY(ctl<DataSource>(*fresh.window, "AdoEys")->recordSource().isEmpty());
        QCOMPARE(ctl<DataSource>(*fresh.window, "AdoEys")->rowCount(), 0);
    }

    void okFillsTheLineEditor()
    {
        Session s;
        Fmain *main = s.main();
        ctl<QLineEdit>(*s.window, "Text1")->setText(QStringLiteral("ｷﾞｭｳﾆｭｳ"));
        ctl<DataGrid>(*s.window, "DataGrid1")->clickRow(2); // 低脂肪牛乳
        ctl<QPushButton>(*s.window, "Command1")->click();

        QCOMPARE(ctl<QLineEdit>(*main, "Text1")->text(), QStringLiteral("低脂肪牛乳"));
        QCOMPARE(ctl<QLineEdit>(*main, "Text4")->text(), QStringLiteral("3"));
        QCOMPARE(ctl<QLineEdit>(*main, "Text2")->text(), QStringLiteral("100"));
        QCOMPARE(ctl<DataCombo>(*main, "DataCombo1")->text(), QStringLiteral("ｇ"));
        QCOMPARE(ctl<DataList>(*main, "DataList2")->text(), QStringLiteral("乳類"));
        QCOMPARE(ctl<DataList>(*main, "DataList2")->boundText(), QStringLiteral("13"));
        QCOMPARE(ctl<DataList>(*main, "DataList3")->rowSource()->recordCount(),
                 3); // the milk category
        QCOMPARE(ctl<DataList>(*main, "DataList3")->text(), QStringLiteral("低脂肪牛乳"));
        QCOMPARE(ctl<DataList>(*main, "DataList3")->boundText(), QStringLiteral("3"));
        QVERIFY(s.closed());
    }

    void okWithoutAMoveTakesTheFirstRow()
    {
        Session s;
        typeInto(ctl<QComboBox>(*s.window, "Combo1")->lineEdit(), QStringLiteral("ｴﾈﾙｷﾞｰ"));
        ctl<QPushButton>(*s.window, "Command1")->click();
        QCOMPARE(ctl<QLineEdit>(*s.main(), "Text4")->text(), QStringLiteral("1"));
        QCOMPARE(ctl<DataList>(*s.main(), "DataList2")->text(), QStringLiteral("穀類"));
    }

    void okSelectsTheVeryFoodWhenNamesRepeat()
    {
        Session s;
        ctl<QLineEdit>(*s.window, "Text1")->setText(QStringLiteral("ﾌﾂｳ"));
        QCOMPARE(listedFoods(s.window), (QList<qint64>{14, 2}));
        ctl<DataGrid>(*s.window, "DataGrid1")->clickRow(1); // the second food of that name
        ctl<QPushButton>(*s.window, "Command1")->click();
        QCOMPARE(ctl<QLineEdit>(*s.main(), "Text4")->text(), QStringLiteral("2"));
        QCOMPARE(ctl<DataList>(*s.main(), "DataList3")->boundText(), QStringLiteral("2"));
    }

    // OK without a food to take says so in the window and keeps it open;
    // neither it nor ｷｬﾝｾﾙ changes the line editor.
    void okWithoutARowOrCancelChangesNothing_data()
    {
        QTest::addColumn<QString>("typed"); // "-": no search
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("told"); // what the window then says; "-": closed
        QTest::newRow("no search") << "-" << false << "食品が選ばれていません";
        QTest::newRow("empty result") << "ﾅｲﾓﾉ" << false << "見つかりません";
        QTest::newRow("cancel") << "ｺﾒ" << true << "-";
    }
    void okWithoutARowOrCancelChangesNothing()
    {
        QFETCH(QString, typed);
        QFETCH(bool, cancel);
        QFETCH(QString, told);
        Session s;
        Fmain *main = s.main();
        const QString name = ctl<QLineEdit>(*main, "Text1")->text();
        const QString id = ctl<QLineEdit>(*main, "Text4")->text();
        const QString quantity = ctl<QLineEdit>(*main, "Text2")->text();
        const QString category = ctl<DataList>(*main, "DataList2")->text();
        if (typed != QLatin1String("-"))
            ctl<QLineEdit>(*s.window, "Text1")->setText(typed);
        if (typed == QLatin1String("ﾅｲﾓﾉ"))
            QCOMPARE(ctl<QLabel>(*s.window, "Label4")->text(), QStringLiteral("見つかりません"));
        (cancel ? ctl<QPushButton>(*s.window, "Command2") : ctl<QPushButton>(*s.window, "Command1"))
            ->click();
        QCOMPARE(ctl<QLineEdit>(*main, "Text1")->text(), name);
        QCOMPARE(ctl<QLineEdit>(*main, "Text4")->text(), id);
        QCOMPARE(ctl<QLineEdit>(*main, "Text2")->text(), quantity);
        QCOMPARE(ctl<DataList>(*main, "DataList2")->text(), category);
        if (told == QLatin1String("-")) {
            QVERIFY(s.closed());
        } else {
            QVERIFY(!s.closed());
            QVERIFY2(ctl<QLabel>(*s.window, "Label4")->text().startsWith(told),
                     qPrintable(ctl<QLabel>(*s.window, "Label4")->text()));
        }
    }
};

QTEST_MAIN(TestFoodSearch)
#include "tst_foodsearch.moc"
