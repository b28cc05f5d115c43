// The food editor: its layout and bindings, its two modes, storing a shown
// or a new food, and the checks a row must pass before it is stored.
#include "app/bindings.h"
#include "app/fmain.h"
#include "app/program.h"
#include "app/twips.h"
#include "core/store/datasource.h"
#include "foods/recordnavigator.h"
#include "foods/seibn.h"
#include "tests/foods/foodsession.h"
#include "tests/support/controls.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

namespace {

QString storeSql()
{
    return minimalReferenceSql() +
           QStringLiteral(
               "INSERT INTO bun VALUES (1,'穀類'),(13,'乳類');"
               "INSERT INTO eys(SID,SNM,SKN,BID,ENC,SUI,TAN,SST,TST,TSS,KBN,CA,P,FE,NA,K,VAR,VAC,"
               "VAK,VE,VB1,VB2,NAI,VC,FIB,COL,NAT) VALUES"
               " (1001,'米','ｺﾒ',1,356,15.5,6.1,0.9,77.1,0.5,0.4,5,94,0.8,1,88,0,0,0,0.2,0.08,"
               "0.02,1.2,0,0.5,0,0),"
               " (13001,'牛乳','ｷﾞｭｳﾆｭｳ',13,67,87.4,3.3,3.8,4.8,0,0.7,110,93,0.02,41,150,38,6,"
               "110,0.1,0.04,0.15,0.1,1,0,12,0.1),"
               " (40000,'豆腐','ﾄｳﾌ',1,72,86.8,6.6,4.2,1.6,0.4,0.8,120,110,0.9,13,140,0,0,0,0.6,"
               "0.07,0.03,0.1,0,0.4,0,0);"
               "INSERT INTO mnu(アイテム名) VALUES ('ごはん'),('ミルク粥');"
               "INSERT INTO kou(アイテムCD,食品コード,数量,単位,数量2) VALUES"
               " (2,13001,200,'ｇ',2),(2,1001,50,'ｇ',0.5);");
}

} // namespace

class TestSeibn : public QObject, FoodSession
{
    Q_OBJECT

    QVariant stored(const QString &sql) { return folder->scalar(sql); }

    void showFood(const QString &id)
    {
        QVERIFY(fmain->takeFood(id.toLongLong()));
        ctl<QPushButton>(*fmain, "Command1")->click();
    }

private slots:
    void initTestCase() { setUpTestApplication(); }

    void init() { startOn(storeSql()); }

    void cleanup() { stop(); }

    void layoutAndBindings()
    {
        QCOMPARE(editor->windowTitle(), QStringLiteral("栄養成分"));
        QVERIFY(editor->isHidden()); // loaded hidden at start-up
        auto at = [](QWidget *w, int l, int t, int width, int h) {
            return w->geometry() == QRect(Twips::toPixels(l), Twips::toPixels(t),
                                          Twips::toPixels(width), Twips::toPixels(h));
        };
        QVERIFY(at(editor->findChild<QWidget *>(QStringLiteral("Text1")), 720, 120, 2535, 270));
        QVERIFY(
            at(editor->findChild<QWidget *>(QStringLiteral("DataCombo1")), 3360, 120, 1815, 300));
        QVERIFY(at(editor->findChild<QWidget *>(QStringLiteral("data_11")), 1080, 4920, 855, 270));
        QVERIFY(at(editor->findChild<QWidget *>(QStringLiteral("data_20")), 3840, 3960, 855, 270));
        QVERIFY(at(editor->findChild<RecordNavigator *>(QStringLiteral("Adodc1")), 240, 5400, 1200,
                   360));
        QVERIFY(at(ctl<QPushButton>(*editor, "Command1"), 4200, 5520, 975, 375));

        // Each box shows its own field of the food shown.
        showFood(QStringLiteral("13001"));
        const QStringList expected = {"67",   "87.4", "3.3", "3.8", "4.8", "0",  "0.7", "110",
                                      "93",   "0.02", "41",  "150", "38",  "6",  "110", "0.1",
                                      "0.04", "0.15", "0.1", "1",   "0",   "12", "0.1"};
        for (int i = 0; i < 23; ++i)
            QCOMPARE(editor->findChild<QLineEdit *>(QStringLiteral("data_%1").arg(i))->text(),
                     expected[i]);
        QCOMPARE(ctl<QLineEdit>(*editor, "Text1")->text(), QStringLiteral("牛乳"));
        QCOMPARE(ctl<QLineEdit>(*editor, "Text2")->text(), QStringLiteral("ｷﾞｭｳﾆｭｳ"));
        QCOMPARE(ctl<DataCombo>(*editor, "DataCombo1")->text(), QStringLiteral("乳類"));
    }

    void modesAcrossRegisterAndCancel()
    {
        QCOMPARE(ctl<QPushButton>(*editor, "Command1")->text(), QStringLiteral("OK"));
        QVERIFY(ctl<QPushButton>(*editor, "Command2")->isHidden());

        ctl<QAction>(*fmain, "Me_data_addnew")->trigger();
        QVERIFY(editor->isVisible());
        QCOMPARE(ctl<QPushButton>(*editor, "Command1")->text(), QStringLiteral("ｷｬﾝｾﾙ"));
        QVERIFY(!ctl<QPushButton>(*editor, "Command2")->isHidden());
        QCOMPARE(ctl<QPushButton>(*editor, "Command2")->text(), QStringLiteral("登録"));
        for (int i = 0; i < 23; ++i)
            QCOMPARE(ctl<QLineEdit>(*editor, "data", i)->text(), QStringLiteral("0"));
        QCOMPARE(ctl<DataCombo>(*editor, "DataCombo1")->text(), QStringLiteral("登録食品"));

        // "登録" hides the editor but keeps add mode for the next opening.
        ctl<QLineEdit>(*editor, "Text1")->setText(QStringLiteral("豆乳"));
        ctl<QPushButton>(*editor, "Command2")->click();
        QVERIFY(editor->isHidden());
        showFood(QStringLiteral("1001"));
        QVERIFY(editor->isVisible());
        QCOMPARE(ctl<QPushButton>(*editor, "Command1")->text(), QStringLiteral("ｷｬﾝｾﾙ"));
        QVERIFY(!ctl<QPushButton>(*editor, "Command2")->isHidden());

        // "ｷｬﾝｾﾙ" returns to view mode; so does the close box, which only hides.
        ctl<QPushButton>(*editor, "Command1")->click();
        QVERIFY(editor->isHidden());
        QCOMPARE(ctl<QPushButton>(*editor, "Command1")->text(), QStringLiteral("OK"));
        QVERIFY(ctl<QPushButton>(*editor, "Command2")->isHidden());
        ctl<QAction>(*fmain, "Me_data_addnew")->trigger();
        editor->close();
        QVERIFY(editor->isHidden());
        QCOMPARE(run->program->seibn(), editor);
        QCOMPARE(ctl<QPushButton>(*editor, "Command1")->text(), QStringLiteral("OK"));
        QCOMPARE(folder->count(QStringLiteral("eys")), 4); // only 豆乳 was added
        QVERIFY(run->prompts.asked.isEmpty());
    }

    void newFoodWithOnlyItsName()
    {
        // The main window shows category 20, where the new food will be.
        ctl<DataList>(*fmain, "DataList2")->setBoundText(QStringLiteral("20"));
        ctl<DataList>(*fmain, "DataList2")
            ->clickRow(ctl<DataList>(*fmain, "DataList2")->selectedRow());
        ctl<QAction>(*fmain, "Me_data_addnew")->trigger();
        ctl<QLineEdit>(*editor, "Text1")->setText(QStringLiteral("手作り味噌"));
        QVERIFY(editor->registerFood());
        QCOMPARE(folder->count(QStringLiteral("eys")), 4);
        const QString row = QStringLiteral("FROM eys WHERE SNM='手作り味噌'");
        QVERIFY(stored("SELECT SID " + row).toLongLong() >= 100000);
        QCOMPARE(stored("SELECT BID " + row).toInt(), 20);
        QCOMPARE(stored("SELECT coalesce(SKN,'') " + row).toString(), QString());
        QCOMPARE(stored("SELECT count(*) " + row +
                        " AND ENC=0 AND SUI=0 AND TAN=0 AND SST=0"
                        " AND TST=0 AND TSS=0 AND KBN=0 AND CA=0 AND P=0 AND FE=0 AND NA=0"
                        " AND K=0 AND VAR=0 AND VAC=0 AND VAK=0 AND VE=0 AND VB1=0 AND VB2=0"
                        " AND NAI=0 AND VC=0 AND FIB=0 AND COL=0 AND NAT=0")
                     .toInt(),
                 1);
        // The main window's lists were read again and still show category 20.
        QCOMPARE(ctl<DataList>(*fmain, "DataList2")->boundText(), QStringLiteral("20"));
        QCOMPARE(ctl<DataSource>(*fmain, "AdoEys2")->recordCount(), 1);
        QCOMPARE(
            ctl<DataSource>(*fmain, "AdoEys2")
                ->text(0, ctl<DataSource>(*fmain, "AdoEys2")->fieldIndex(QStringLiteral("SNM"))),
            QStringLiteral("手作り味噌"));

        // A reading typed in hiragana is stored as the search matches it.
        ctl<QAction>(*fmain, "Me_data_addnew")->trigger();
        ctl<QLineEdit>(*editor, "Text1")->setText(QStringLiteral("自家製牛乳"));
        ctl<QLineEdit>(*editor, "Text2")->setText(QStringLiteral("じかせいぎゅうにゅう"));
        QVERIFY(editor->registerFood());
        QCOMPARE(stored("SELECT SKN FROM eys WHERE SNM='自家製牛乳'").toString(),
                 QStringLiteral("ｼﾞｶｾｲｷﾞｭｳﾆｭｳ"));

        // A second new food gets its own key; a name of blanks is a name.
        ctl<QAction>(*fmain, "Me_data_addnew")->trigger();
        ctl<QLineEdit>(*editor, "Text1")->setText(QStringLiteral("  "));
        QVERIFY(editor->registerFood());
        QCOMPARE(stored("SELECT count(*) FROM eys WHERE SNM='  ' AND SID > 100000").toInt(), 1);
        QVERIFY(run->prompts.asked.isEmpty());
    }

    void emptyNameRefused()
    {
        ctl<QAction>(*fmain, "Me_data_addnew")->trigger();
        QVERIFY(!editor->registerFood());
        QCOMPARE(run->prompts.asked.size(), 1);
        const AskedPrompt &asked = run->prompts.asked.first();
        QCOMPARE(asked.prompt, QStringLiteral("食品名を入力してください"));
        QVERIFY(asked.title.isEmpty()); // the program title
        QCOMPARE(asked.buttons, Prompts::Buttons::Ok);
        QCOMPARE(asked.icon, Prompts::Icon::None);
        QVERIFY(editor->isVisible());
        QCOMPARE(ctl<QPushButton>(*editor, "Command1")->text(), QStringLiteral("ｷｬﾝｾﾙ"));
        QCOMPARE(folder->count(QStringLiteral("eys")), 3);

        // The same check guards a shown food whose name was cleared.
        showFood(QStringLiteral("1001"));
        ctl<QPushButton>(*editor, "Command1")->click(); // "ｷｬﾝｾﾙ": back to view mode
        showFood(QStringLiteral("1001"));
        ctl<QLineEdit>(*editor, "Text1")->clear();
        QVERIFY(!editor->leave());
        QCOMPARE(stored("SELECT SNM FROM eys WHERE SID=1001").toString(), QStringLiteral("米"));
    }

    void editsStoredOnOkAndTotalsFollow()
    {
        // The current dish is ミルク粥: 200 g of milk and 50 g of rice.
        QCOMPARE(ctl<QLineEdit>(*fmain, "TexID")->text(), QStringLiteral("2"));
        showFood(QStringLiteral("13001"));
        ctl<QLineEdit>(*editor, "data_0")->setText(QStringLiteral("100"));
        ctl<QLineEdit>(*editor, "data_22")
            ->setText(QStringLiteral("０．２"));    // full-width digits are digits
        ctl<QLineEdit>(*editor, "data_3")->clear(); // no value
        const int cereals = ctl<DataCombo>(*editor, "DataCombo1")->findText(QStringLiteral("穀類"));
        ctl<DataCombo>(*editor, "DataCombo1")->setCurrentIndex(cereals);
        emit ctl<DataCombo>(*editor, "DataCombo1")->activated(cereals);
        QVERIFY(editor->leave());
        QVERIFY(editor->isHidden());
        QCOMPARE(stored("SELECT ENC FROM eys WHERE SID=13001").toDouble(), 100.0);
        QCOMPARE(stored("SELECT NAT FROM eys WHERE SID=13001").toDouble(), 0.2);
        QVERIFY(stored("SELECT SST FROM eys WHERE SID=13001").isNull());
        QCOMPARE(stored("SELECT BID FROM eys WHERE SID=13001").toInt(), 1);
        // 2 x 100 + 0.5 x 356
        QCOMPARE(ctl<QLineEdit>(*fmain, "TexSumC")->text(), QStringLiteral("378"));
    }

    // The full name is shown; the food's own measures are shown, edited with
    // the food and offered first by the line editor; a bad row stores nothing.
    void fullNameAndMeasures()
    {
        QVERIFY(folder->exec(
            QStringLiteral("UPDATE eys SET FNM='＜牛乳及び乳製品＞　牛乳' WHERE SID=13001;"
                           "INSERT INTO etn(SID,TNM,KAK,USR) VALUES (13001,'ｶｯﾌﾟ',210,0);")));
        showFood(QStringLiteral("13001"));
        QCOMPARE(ctl<QLineEdit>(*editor, "TextFull")->text(),
                 QStringLiteral("＜牛乳及び乳製品＞　牛乳"));
        QCOMPARE(ctl<QTableWidget>(*editor, "GridMeasure")->rowCount(), 1);
        QCOMPARE(ctl<QTableWidget>(*editor, "GridMeasure")->item(0, 1)->text(),
                 QStringLiteral("210"));

        ctl<QPushButton>(*editor, "Command3")->click();
        ctl<QTableWidget>(*editor, "GridMeasure")->item(1, 0)->setText(QStringLiteral("本"));
        ctl<QTableWidget>(*editor, "GridMeasure")->item(1, 1)->setText(QStringLiteral("0"));
        QVERIFY(!editor->leave());
        QVERIFY(run->prompts.asked.last().prompt.contains(QStringLiteral("正の数ではありません")));
        QCOMPARE(folder->count(QStringLiteral("etn")), 1);

        ctl<QTableWidget>(*editor, "GridMeasure")->item(1, 1)->setText(QStringLiteral("２００"));
        QVERIFY(editor->leave());
        QCOMPARE(stored("SELECT group_concat(TNM||KAK||'/'||USR, ' ') FROM etn").toString(),
                 QStringLiteral("ｶｯﾌﾟ210.0/0 本200.0/1"));
        QCOMPARE(fmain->findChild<QComboBox *>(QStringLiteral("DataCombo1"))->itemText(0),
                 QStringLiteral("ｶｯﾌﾟ"));
        QCOMPARE(fmain->findChild<QComboBox *>(QStringLiteral("DataCombo1"))->itemText(1),
                 QStringLiteral("本"));

        // A food of the user's own shows its name as the full name.
        showFood(QStringLiteral("40000"));
        QCOMPARE(ctl<QLineEdit>(*editor, "TextFull")->text(), QStringLiteral("豆腐"));
        QCOMPARE(ctl<QTableWidget>(*editor, "GridMeasure")->rowCount(), 0);
    }

    // A save stores the food, its measures and its components by writes of
    // their own; one undo takes all of them back, one redo stores them again.
    void oneSaveIsOneUndoStep()
    {
        showFood(QStringLiteral("13001"));
        ctl<QLineEdit>(*editor, "data_0")->setText(QStringLiteral("100"));
        ctl<QPushButton>(*editor, "Command3")->click();
        ctl<QTableWidget>(*editor, "GridMeasure")->item(0, 0)->setText(QStringLiteral("本"));
        ctl<QTableWidget>(*editor, "GridMeasure")->item(0, 1)->setText(QStringLiteral("200"));
        QVERIFY(editor->leave());
        const QString food = QStringLiteral("SELECT ENC || '/' || (SELECT count(*) FROM etn) FROM "
                                            "eys WHERE SID=13001");
        QCOMPARE(stored(food).toString(), QStringLiteral("100.0/1"));
        run->program->undo();
        QCOMPARE(stored(food).toString(), QStringLiteral("67.0/0"));
        run->program->redo();
        QCOMPARE(stored(food).toString(), QStringLiteral("100.0/1"));
    }

    void badValuesRefused()
    {
        showFood(QStringLiteral("13001"));
        ctl<QLineEdit>(*editor, "data_2")->setText(QStringLiteral("3.3g"));
        QVERIFY(!editor->leave());
        QVERIFY(editor->isVisible());
        QCOMPARE(run->prompts.asked.size(), 1);
        QVERIFY(run->prompts.asked.last().prompt.contains(QStringLiteral("「ﾀﾝﾊﾟｸ質」")));
        QVERIFY(run->prompts.asked.last().prompt.contains(QStringLiteral("3.3g")));

        ctl<QLineEdit>(*editor, "data_2")->setText(QStringLiteral("-1"));
        QVERIFY(!editor->leave());
        QVERIFY(run->prompts.asked.last().prompt.contains(QStringLiteral("0以上")));
        // Neither the navigation bar nor another food replaces the row.
        QVERIFY(!editor->LoadFoodRecord(1001));
        QCOMPARE(ctl<QLineEdit>(*editor, "Text1")->text(), QStringLiteral("牛乳"));
        QCOMPARE(stored("SELECT TAN FROM eys WHERE SID=13001").toDouble(), 3.3);

        ctl<QLineEdit>(*editor, "data_2")->setText(QStringLiteral("３"));
        QVERIFY(editor->leave());
        QCOMPARE(stored("SELECT TAN FROM eys WHERE SID=13001").toDouble(), 3.0);

        // A new food with a bad value is not stored at all.
        ctl<QAction>(*fmain, "Me_data_addnew")->trigger();
        ctl<QLineEdit>(*editor, "Text1")->setText(QStringLiteral("新食品"));
        ctl<QLineEdit>(*editor, "data_5")->setText(QStringLiteral("abc"));
        QVERIFY(!editor->registerFood());
        QVERIFY(run->prompts.asked.last().prompt.contains(QStringLiteral("炭水化物")));
        QCOMPARE(folder->count(QStringLiteral("eys")), 3);
    }

    void navigationStoresTheRowLeft()
    {
        // After start-up the editor holds every food, the first one current.
        RecordNavigator *bar = ctl<RecordNavigator>(*editor, "Adodc1");
        QCOMPARE(ctl<QLineEdit>(*editor, "Text1")->text(), QStringLiteral("米"));
        ctl<QLineEdit>(*editor, "data_0")->setText(QStringLiteral("x"));
        bar->moveNext();
        QCOMPARE(ctl<DataSource>(*editor, "Adodc1")->position(), 0); // refused: stays
        ctl<QLineEdit>(*editor, "data_0")->setText(QStringLiteral("350"));
        bar->moveNext();
        QCOMPARE(ctl<QLineEdit>(*editor, "Text1")->text(), QStringLiteral("牛乳"));
        QCOMPARE(stored("SELECT ENC FROM eys WHERE SID=1001").toDouble(), 350.0);
        bar->moveLast();
        bar->moveNext(); // the bar never runs off the end
        QCOMPARE(ctl<QLineEdit>(*editor, "Text1")->text(), QStringLiteral("豆腐"));
        bar->movePrevious();
        bar->moveFirst();
        bar->movePrevious();
        QCOMPARE(ctl<QLineEdit>(*editor, "Text1")->text(), QStringLiteral("米"));
    }

    void keysAbove32767()
    {
        showFood(QStringLiteral("40000"));
        QCOMPARE(ctl<DataSource>(*editor, "Adodc1")->text(QStringLiteral("SID")),
                 QStringLiteral("40000"));
        QCOMPARE(ctl<QLineEdit>(*editor, "Text1")->text(), QStringLiteral("豆腐"));
        ctl<QLineEdit>(*editor, "Text2")->setText(QStringLiteral("ﾓﾒﾝﾄﾞｳﾌ"));
        QVERIFY(editor->leave());
        QCOMPARE(stored("SELECT SKN FROM eys WHERE SID=40000").toString(),
                 QStringLiteral("ﾓﾒﾝﾄﾞｳﾌ"));

        // With no food chosen the editor shows none and takes no typing.
        editor->LoadFoodRecord(0);
        QVERIFY(ctl<QLineEdit>(*editor, "Text1")->text().isEmpty());
        QVERIFY(ctl<QLineEdit>(*editor, "data_0")->isReadOnly());
    }
};

QTEST_MAIN(TestSeibn)
#include "tst_seibn.moc"
