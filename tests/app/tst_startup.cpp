#include "app/bindings.h"
#include "app/fmain.h"
#include "app/frmsplash.h"
#include "app/helpwindow.h"
#include "app/program.h"
#include "app/twips.h"
#include "core/store/database.h"
#include "core/store/datasource.h"
#include "core/store/storelock.h"
#include "foods/seibn.h"
#include "tests/dish/dishwindow.h"
#include "tests/support/controls.h"
#include "tests/support/testsupport.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QtTest>
#include <cmath>

namespace {

// Records, in order, which top-level windows were shown and destroyed.
class WindowLog : public QObject
{
public:
    QStringList events;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow() &&
            !watched->objectName().isEmpty()) {
            if (event->type() == QEvent::Show)
                events << QStringLiteral("show ") + watched->objectName();
            else if (event->type() == QEvent::Hide)
                events << QStringLiteral("hide ") + watched->objectName();
        }
        return false;
    }
};

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeSettings(const QString &text)
{
    QFile file(QStringLiteral("zento.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpTestApplication(); }

    // Start-up opens the store file once; every list shares it.
    void opensTheStoreOnce()
    {
        TestFolder folder;
        QVERIFY(
            folder.makeStore(minimalReferenceSql() +
                             QStringLiteral("INSERT INTO mnu(ID,アイテム名) VALUES (1,'汁');")));
        const int before = Database::fileOpenCount();
        StartedProgram p;
        p.start();
        QCOMPARE(ctl<QLineEdit>(*p.program->fmain(), "TexTitle")->text(), QStringLiteral("汁"));
        QCOMPARE(Database::fileOpenCount() - before, 1);
    }

    void opensOnTheLastDishWithEveryListBound()
    {
        TestFolder folder;
        QVERIFY(folder.makeDemoStore());
        StartedProgram p;
        p.start();
        Fmain *f = p.program->fmain();
        QVERIFY(f && f->isVisible());
        QCOMPARE(f->windowTitle(), QStringLiteral("ゼント"));
        const qint64 last = folder.scalar(QStringLiteral("SELECT max(ID) FROM mnu")).toLongLong();
        QCOMPARE(ctl<QLineEdit>(*f, "TexID")->text(), QString::number(last));
        QCOMPARE(ctl<QLineEdit>(*f, "TexTitle")->text(),
                 folder.scalar(QStringLiteral("SELECT アイテム名 FROM mnu WHERE ID=%1").arg(last))
                     .toString());
        QCOMPARE(ctl<DataList>(*f, "DataList2")->model()->rowCount(),
                 int(folder.count(QStringLiteral("bun"))));
        QCOMPARE(ctl<DataCombo>(*f, "DataCombo1")->text(), QStringLiteral("ｇ"));
        QCOMPARE(ctl<DataCombo>(*f, "DataCombo1")->boundText(), QStringLiteral("1"));
        QCOMPARE(ctl<QLineEdit>(*f, "Text4")->text(), QStringLiteral("0"));
        for (QPushButton *button : DishWindow::dishButtons(*f))
            QVERIFY(button->isEnabled());
        QVERIFY(!p.program->splash());
        QVERIFY(p.prompts.asked.isEmpty());
        // The food editor is loaded, hidden.
        QVERIFY(p.program->seibn() && !p.program->seibn()->isVisible());
    }

    void coverWindowComesFirstAndGoesAfterTheMainWindow()
    {
        TestFolder folder;
        QVERIFY(folder.makeDemoStore());
        writeSettings(QStringLiteral("[SPEED]=0\r\n[FLM]=0\r\n[BACK]=\r\n[PIC]=1\r\n"));
        WindowLog log;
        qApp->installEventFilter(&log);
        StartedProgram p;
        p.start();
        qApp->removeEventFilter(&log);
        const int cover = log.events.indexOf(QStringLiteral("show frmSplash"));
        const int main = log.events.indexOf(QStringLiteral("show Fmain"));
        const int coverGone = log.events.indexOf(QStringLiteral("hide frmSplash"));
        QVERIFY2(cover >= 0 && main > cover && coverGone > main, qPrintable(log.events.join(", ")));
        QVERIFY(!p.program->splash());
    }

    void withoutTheCoverNothingShowsBeforeTheMainWindow()
    {
        TestFolder folder;
        QVERIFY(folder.makeDemoStore());
        WindowLog log;
        qApp->installEventFilter(&log);
        StartedProgram p;
        p.start();
        qApp->removeEventFilter(&log);
        QVERIFY2(!log.events.isEmpty() && log.events.first() == QStringLiteral("show Fmain"),
                 qPrintable(log.events.join(", ")));
    }

    void emptyDishTableDisablesTheDishButtons()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(minimalReferenceSql()));
        StartedProgram p;
        p.start();
        Fmain *f = p.program->fmain();
        for (QPushButton *button : DishWindow::dishButtons(*f))
            QVERIFY2(!button->isEnabled(), qPrintable(button->objectName()));
        QVERIFY(ctl<QPushButton>(*f, "Command8")->isEnabled());
        QCOMPARE(ctl<QLineEdit>(*f, "TexTitle")->text(), QString());
        QCOMPARE(ctl<QLineEdit>(*f, "TexID")->text(), QString());
        QVERIFY(p.prompts.asked.isEmpty());
    }

    void missingStoreIsReportedAndStartUpCompletes()
    {
        TestFolder folder;
        StartedProgram p;
        p.start();
        Fmain *f = p.program->fmain();
        QVERIFY(f->isVisible());
        QCOMPARE(ctl<DataList>(*f, "DataList2")->model()->rowCount(), 0);
        QCOMPARE(p.prompts.asked.size(), 1);
        QVERIFY(p.prompts.asked[0].prompt.contains(QStringLiteral("zento.dll")));
        QCOMPARE(p.prompts.asked[0].icon, Prompts::Icon::Critical);
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("zento.dll"))));
    }

    void unreadableStoreIsReported()
    {
        TestFolder folder;
        QFile junk(folder.filePath(QStringLiteral("zento.dll")));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(2048, '\x7f'));
        junk.close();
        StartedProgram p;
        p.start();
        QCOMPARE(p.prompts.asked.size(), 1);
        QVERIFY(p.prompts.asked[0].prompt.contains(QStringLiteral("zento.dll")));
        QCOMPARE(junk.size(), 2048); // left as it was
    }

    // A store from an earlier version (no full names, no household measures,
    // no reading index) opens for editing, brought up to date, its dish kept.
    void earlierStoreIsBroughtUpToDate()
    {
        TestFolder folder;
        QVERIFY(
            folder.makeStore(minimalReferenceSql() +
                             QStringLiteral("INSERT INTO mnu(ID,アイテム名) VALUES (1,'汁');")));
        for (const char *sql :
             {"DROP TRIGGER eys_delete_measures", "DROP TRIGGER eys_skn_insert",
              "DROP TRIGGER eys_skn_delete", "DROP TRIGGER eys_skn_update", "DROP TABLE etn",
              "DROP TABLE eys_skn", "ALTER TABLE eys DROP COLUMN FNM"})
            QVERIFY2(folder.exec(QString::fromUtf8(sql)), sql);
        StartedProgram p;
        p.start();
        QVERIFY(p.prompts.asked.isEmpty());
        QVERIFY(ctl<QPushButton>(*p.program->fmain(), "Command8")->isEnabled());
        QCOMPARE(ctl<QLineEdit>(*p.program->fmain(), "TexTitle")->text(), QStringLiteral("汁"));
        QVERIFY(folder.exec(QStringLiteral("SELECT FNM FROM eys; SELECT * FROM etn;"
                                           " SELECT * FROM eys_skn;")));
    }

    // What start-up finds wrong with the store, once the window is up or
    // before it opens the store: one message each, answered as the user
    // chooses, and the store kept from harm.
    void storeFoundWrongAtStart_data()
    {
        QTest::addColumn<QString>("harm");
        QTest::addColumn<bool>("ok"); // the answer to the one message
        QTest::addColumn<QString>("said");
        QTest::addColumn<bool>("editable");
        QTest::newRow("damaged, restored from the newest whole copy")
            << "damaged" << true << QStringLiteral("壊れています") << true;
        QTest::newRow("damaged, left as it is")
            << "damaged" << false << QStringLiteral("壊れています") << false;
        QTest::newRow("held by another program, opened read-only")
            << "held" << true << QStringLiteral("ほかのゼント") << false;
        QTest::newRow("held by another program, not opened")
            << "held" << false << QStringLiteral("ほかのゼント") << false;
        QTest::newRow("a log of another database")
            << "log" << true << QStringLiteral("ログ「zento.dll-wal」") << true;
        QTest::newRow("a column renamed")
            << "renamed" << true << QStringLiteral("「mnu」") << false;
    }
    void storeFoundWrongAtStart()
    {
        QFETCH(QString, harm);
        QFETCH(bool, ok);
        QFETCH(QString, said);
        QFETCH(bool, editable);
        TestFolder folder;
        const QString lines = minimalReferenceSql() + dishesWithLines(300);
        QVERIFY(folder.makeStore(lines));
        const QString store = folder.filePath(QStringLiteral("zento.dll"));
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("backups")));
        const QString good = folder.filePath(QStringLiteral("backups/zento-20250101.dll"));
        QVERIFY(QFile::copy(store, good));
        if (harm == QLatin1String("damaged"))
            QVERIFY(flipIndexPage(store));
        if (harm == QLatin1String("log"))
            QVERIFY(putForeignLog(store));
        if (harm == QLatin1String("renamed"))
            QVERIFY(
                folder.exec(QStringLiteral("ALTER TABLE mnu RENAME COLUMN アイテム名 TO 名前")));
        const QByteArray before = harm == QLatin1String("renamed") ? bytesOf(store) : QByteArray();
        StoreLock other(store);
        if (harm == QLatin1String("held"))
            QCOMPARE(other.acquire(), StoreLock::Outcome::Held);

        StartedProgram p;
        p.prompts.answers = {ok ? Prompts::Answer::Ok : Prompts::Answer::Cancel};
        const bool started = p.program->start();
        QCOMPARE(started, harm != QLatin1String("held") || ok);
        if (started)
            p.program->finishStartUp();
        QTRY_VERIFY(!p.prompts.asked.isEmpty());
        QCoreApplication::processEvents();
        QVERIFY2(p.prompts.asked[0].prompt.contains(said), qPrintable(p.prompts.asked[0].prompt));
        QCOMPARE(p.program->isEditable(), editable);
        const bool restored = harm == QLatin1String("damaged") && ok;
        // Restored, the store is said to be; otherwise nothing more is said.
        QCOMPARE(p.prompts.asked.size(), restored ? 2 : 1);
        QCOMPARE(QFile::exists(store + QStringLiteral(".bak")), restored);
        // No day's copy is made of a damaged store.
        const QString today =
            folder.filePath(QStringLiteral("backups/zento-%1.dll")
                                .arg(QDate::currentDate().toString(QStringLiteral("yyyyMMdd"))));
        QCOMPARE(QFile::exists(today), harm == QLatin1String("log"));
        if (harm == QLatin1String("log"))
            QCOMPARE(folder.count(QStringLiteral("mnu")), 300);
        if (harm == QLatin1String("renamed"))
            QCOMPARE(bytesOf(store), before); // refused, never written
    }

    void dishKeysAbove16Bits()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(
            minimalReferenceSql() +
            QStringLiteral("INSERT INTO mnu(ID, アイテム名) VALUES (70000, '大鍋');")));
        StartedProgram p;
        p.start();
        QCOMPARE(ctl<QLineEdit>(*p.program->fmain(), "TexID")->text(), QStringLiteral("70000"));
        QCOMPARE(ctl<QLineEdit>(*p.program->fmain(), "TexTitle")->text(), QStringLiteral("大鍋"));
    }

    // Pixels are rounded in place of lround, halves away from zero.
    void twipsRoundAsLround()
    {
        for (int twips = -3000; twips <= 3000; ++twips)
            QCOMPARE(Twips::toPixels(twips), int(std::lround(Twips::toPixelsF(twips))));
    }

    void layoutInTwips()
    {
        TestFolder folder;
        QVERIFY(folder.makeDemoStore());
        StartedProgram p;
        p.start();
        Fmain *f = p.program->fmain();
        // 15 twips to the pixel at 96 dpi.
        QCOMPARE(f->findChild<QPushButton *>(QStringLiteral("Command8"))->geometry(),
                 QRect(264, 24, 65, 25));
        QCOMPARE(f->findChild<QWidget *>(QStringLiteral("DataGrid1"))->geometry(),
                 QRect(8, 248, 377, 169));
        QCOMPARE(f->centralWidget()->size(), QSize(588, 421));
        for (const char *name : {"TexID", "Text4", "Text3", "TexKouID", "TexSumW", "TexSumNa",
                                 "TexSUI", "TexTAN", "TexSST", "TexTST", "TexTSS", "TexKBN"})
            QVERIFY2(f->findChild<QLineEdit *>(QString::fromLatin1(name))->isHidden(), name);
        for (const char *name :
             {"Me_file_config", "Me_file_end", "Me_data_menusearch", "Me_data_foodsearch",
              "Me_data_addnew", "Me_data_del", "Me_visible_back1", "Me_visible_back2",
              "Me_visible_back3", "Me_help_Visible", "Me_Ver"})
            QVERIFY2(f->findChild<QAction *>(QString::fromLatin1(name)), name);
        for (const char *name :
             {"AdoMnu", "AdoEys1", "AdoEys2", "AdoTni", "AdoKou", "AdoKou2", "AdoSumW", "AdoSumC"})
            QVERIFY2(f->findChild<DataSource *>(QString::fromLatin1(name)), name);
        QCOMPARE(ctl<QLineEdit>(*f, "TexSumC")->alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignRight);
    }

    void menuColoursApplyAtOnceButAreNotSaved()
    {
        TestFolder folder;
        QVERIFY(folder.makeDemoStore());
        writeSettings(QStringLiteral("[BACK]=背景色１\r\n"));
        {
            StartedProgram p;
            p.start();
            QCOMPARE(p.program->fmain()->backColor(), QColor(255, 224, 192));
            ctl<QAction>(*p.program->fmain(), "Me_visible_back3")->trigger();
            QCOMPARE(p.program->fmain()->backColor(), QColor(128, 128, 255));
            ctl<QAction>(*p.program->fmain(), "Me_visible_back2")->trigger();
            QCOMPARE(p.program->fmain()->backColor(), qApp->palette().color(QPalette::Button));
            ctl<QAction>(*p.program->fmain(), "Me_visible_back3")->trigger();
        }
        StartedProgram again;
        again.start();
        QCOMPARE(again.program->fmain()->backColor(), QColor(255, 224, 192));
    }

    void helpOpensAtItsContents()
    {
        TestFolder folder;
        QVERIFY(folder.makeDemoStore());
        StartedProgram p;
        p.start();
        ctl<QAction>(*p.program->fmain(), "Me_help_Visible")->trigger();
        QVERIFY(p.program->help() && p.program->help()->isVisible());
        QVERIFY(ctl<QTextBrowser>(*p.program->help(), "helpBrowser")
                    ->toPlainText()
                    .contains(QStringLiteral("zento.hlp")));

        QFile help(QStringLiteral("zento.hlp"));
        QVERIFY(help.open(QIODevice::WriteOnly));
        help.write("<html><body><h1 id=\"contents\">目次</h1><p>使い方</p></body></html>");
        help.close();
        ctl<QAction>(*p.program->fmain(), "Me_help_Visible")->trigger();
        QVERIFY(ctl<QTextBrowser>(*p.program->help(), "helpBrowser")
                    ->toPlainText()
                    .startsWith(QStringLiteral("目次")));
    }

    void exitEndsTheProgram()
    {
        TestFolder folder;
        QVERIFY(folder.makeDemoStore());
        StartedProgram p;
        p.start();
        p.program->showAbout();
        ctl<QAction>(*p.program->fmain(), "Me_file_end")->trigger();
        QVERIFY(p.program->hasEnded());
        QVERIFY(!p.program->about());
        // Once the program is gone the store is one file again: nothing is
        // left in a log beside it.
        p.program.reset();
        QVERIFY(QFile::exists(QStringLiteral("zento.dll")));
        QVERIFY(!QFile::exists(QStringLiteral("zento.dll-wal")));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
