// The main window's store commands and the edit switch, as the user meets
// them: a damaged or read-only store at start-up, undo and redo, backup and
// restore through the file picker.
#include "app/fmain.h"
#include "app/program.h"
#include "core/store/database.h"
#include "core/store/datasource.h"
#include "foods/seibn.h"
#include "search/frmschf.h"
#include "tests/support/testsupport.h"

#include <QAction>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QtTest>
#include <sqlite3.h>

namespace {

template <typename T> T *child(QObject *window, const char *name)
{
    T *found = window->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no %s", name);
    return found;
}

QPushButton *button(QObject *window, const char *name)
{
    return child<QPushButton>(window, name);
}

QAction *action(QObject *window, const char *name)
{
    return child<QAction>(window, name);
}

QString text(QObject *window, const char *name)
{
    return child<QLineEdit>(window, name)->text();
}

QList<QPushButton *> editButtons(Fmain *f)
{
    QList<QPushButton *> buttons;
    for (const char *name : {"Command8", "Command9", "Command2", "Command6", "Command11"})
        buttons << button(f, name);
    return buttons;
}

} // namespace

class TestStoreCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpTestApplication(); }

    void damagedOrReadOnlyStoreStartsWithEditsOff_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("said");
        QTest::newRow("no lines table") << "DROP TABLE kou" << QStringLiteral("表「kou」");
        QTest::newRow("no units table") << "DROP TABLE tni" << QStringLiteral("表「tni」");
        QTest::newRow("read-only folder") << "chattr" << QStringLiteral("読み取り専用");
        // The dishes' kept figures are not missed where they cannot be made.
        QTest::newRow("read-only, made before the kept figures")
            << "DROP TABLE mns;chattr" << QStringLiteral("読み取り専用");
    }

    void damagedOrReadOnlyStoreStartsWithEditsOff()
    {
        QFETCH(QString, damage);
        QFETCH(QString, said);
        TestFolder folder;
        QVERIFY(folder.makeDemoStore());
        QFile settings(folder.filePath(QStringLiteral("zento.ini")));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.close();
        // Undone before the folder is removed, whatever the outcome.
        struct Unchangeable
        {
            QString path;
            bool on = false;
            ~Unchangeable()
            {
                if (on)
                    QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path});
            }
        } guard{folder.path()};
        if (damage.endsWith(QLatin1String("chattr"))) {
            if (damage != QLatin1String("chattr"))
                QVERIFY(folder.exec(damage.section(QLatin1Char(';'), 0, 0)));
            guard.on = QProcess::execute(QStringLiteral("chattr"),
                                         {QStringLiteral("+i"), folder.path()}) == 0;
            if (!guard.on)
                QSKIP("this file system cannot make a folder unchangeable");
        } else {
            QVERIFY(folder.exec(damage));
        }
        {
            StartedProgram p;
            p.start();
            Fmain *f = p.program->fmain();
            QCOMPARE(p.prompts.asked.size(), 1);
            QVERIFY2(p.prompts.asked[0].prompt.contains(said),
                     qPrintable(p.prompts.asked[0].prompt));
            QVERIFY2(!p.prompts.asked[0].prompt.contains(QStringLiteral("mns")),
                     qPrintable(p.prompts.asked[0].prompt));
            QVERIFY(!p.program->isEditable());
            for (QPushButton *button : editButtons(f))
                QVERIFY2(!button->isEnabled(), qPrintable(button->objectName()));
            QVERIFY(child<QLineEdit>(f, "TexTitle")->isReadOnly());
            QVERIFY(!action(f, "Me_data_addnew")->isEnabled());
            QVERIFY(!action(f, "Me_data_del")->isEnabled());
            QVERIFY(!action(f, "Me_data_undo")->isEnabled());
            QVERIFY(!button(p.program->seibn(), "Command2")->isEnabled());
            // Looking around still works.
            QVERIFY(button(f, "Command7")->isEnabled());
            QVERIFY(action(f, "Me_file_backup")->isEnabled());
        }
    }

    void undoBringsBackADeletedDishAndRedoDeletesItAgain()
    {
        TestFolder folder;
        QVERIFY(folder.makeDemoStore());
        StartedProgram p;
        p.start();
        Fmain *f = p.program->fmain();
        const QString id = text(f, "TexID");
        const QString name = text(f, "TexTitle");
        const QString energy = text(f, "TexSumC");
        const int lines = child<DataSource>(f, "AdoKou")->recordCount();
        QVERIFY(lines > 0);
        const qint64 dishes = folder.count(QStringLiteral("mnu"));

        button(f, "Command9")->click(); // confirmed by the scripted OK
        QCOMPARE(folder.count(QStringLiteral("mnu")), dishes - 1);
        QVERIFY(text(f, "TexID") != id);

        action(f, "Me_data_undo")->trigger();
        QCOMPARE(folder.count(QStringLiteral("mnu")), dishes);
        QCOMPARE(text(f, "TexID"), id);
        QCOMPARE(text(f, "TexTitle"), name);
        QCOMPARE(child<DataSource>(f, "AdoKou")->recordCount(), lines);
        QCOMPARE(text(f, "TexSumC"), energy);

        action(f, "Me_data_redo")->trigger();
        QCOMPARE(folder.count(QStringLiteral("mnu")), dishes - 1);
        QVERIFY(text(f, "TexID") != id);
        QCOMPARE(folder.scalar(QStringLiteral("SELECT count(*) FROM kou WHERE アイテムCD = ") + id)
                     .toInt(),
                 0);
    }

    // The day's copy is made once the main window is up, not before its
    // first paint, and in any case before the first change: it holds the
    // store as the day began.
    void dailyCopyWaitsForTheWindowButNotForAChange_data()
    {
        QTest::addColumn<bool>("changeAtOnce");
        QTest::newRow("a change at once") << true;
        QTest::newRow("no change") << false;
    }
    void dailyCopyWaitsForTheWindowButNotForAChange()
    {
        QFETCH(bool, changeAtOnce);
        TestFolder folder;
        QVERIFY(folder.makeDemoStore());
        const QString copy =
            folder.filePath(QStringLiteral("backups/zento-%1.dll")
                                .arg(QDate::currentDate().toString(QStringLiteral("yyyyMMdd"))));
        const qint64 dishes = folder.count(QStringLiteral("mnu"));
        StartedProgram p;
        p.start();
        QVERIFY(!QFileInfo::exists(copy));
        if (changeAtOnce)
            button(p.program->fmain(), "Command9")->click(); // deletes a dish
        // The copy is written beside the window; the change does not wait.
        QTRY_VERIFY(QFileInfo::exists(copy));
        sqlite3 *db = nullptr;
        QVERIFY(sqlite3_open_v2(QFile::encodeName(copy).constData(), &db, SQLITE_OPEN_READONLY,
                                nullptr) == SQLITE_OK);
        sqlite3_stmt *stmt = nullptr;
        QVERIFY(sqlite3_prepare_v2(db, "SELECT count(*) FROM mnu", -1, &stmt, nullptr) ==
                    SQLITE_OK &&
                sqlite3_step(stmt) == SQLITE_ROW);
        QCOMPARE(sqlite3_column_int64(stmt, 0), dishes);
        sqlite3_finalize(stmt);
        sqlite3_close(db);
    }

    // The food search shows the store as the undo left it.
    void undoReloadsTheFoodSearch()
    {
        TestFolder folder;
        QVERIFY(folder.makeDemoStore());
        const qint64 food =
            folder
                .scalar(QStringLiteral("SELECT SID FROM eys, bun WHERE bun.分類№=eys.BID LIMIT 1"))
                .toLongLong();
        const QString reading =
            folder.scalar(QStringLiteral("SELECT SKN FROM eys WHERE SID=%1").arg(food)).toString();
        StartedProgram p;
        p.start();
        p.program->showFoodSearch();
        FrmSchF *search = p.program->foodSearch();
        DataSource *found = child<DataSource>(search, "AdoEys");
        auto shownName = [&] {
            for (int row = 0; row < found->recordCount(); ++row)
                if (found->value(row, 0).toLongLong() == food)
                    return found->text(row, 1);
            return QString();
        };
        child<QLineEdit>(search, "Text1")->setText(reading);
        const QString name = shownName();
        QVERIFY(!name.isEmpty());

        const auto store = p.program->store();
        QString error;
        QVERIFY2(store->write(
                     [&](QString *e) {
                         return store->run(
                             QStringLiteral("UPDATE eys SET SNM='変更済み' WHERE SID=?1"), {food},
                             e);
                     },
                     &error),
                 qPrintable(error));
        search->SearchFoodsByReading();
        QCOMPARE(shownName(), QStringLiteral("変更済み"));
        p.program->undo();
        QCOMPARE(shownName(), name);
    }

    void backupThenRestoreThroughTheMenu()
    {
        TestFolder folder;
        QVERIFY(folder.makeDemoStore());
        StartedProgram p;
        p.start();
        Fmain *f = p.program->fmain();
        const qint64 dishes = folder.count(QStringLiteral("mnu"));
        const QString copy = folder.filePath(QStringLiteral("mine.dll"));

        p.prompts.files << copy;
        action(f, "Me_file_backup")->trigger();
        QCOMPARE(p.prompts.asked.first().kind, AskedPrompt::File);
        QVERIFY2(p.prompts.asked.first().prompt.contains(
                     QRegularExpression(QStringLiteral("zento-\\d{8}-\\d{4}\\.dll$"))),
                 qPrintable(p.prompts.asked.first().prompt));
        QVERIFY(QFile::exists(copy));

        button(f, "Command9")->click();
        QCOMPARE(folder.count(QStringLiteral("mnu")), dishes - 1);
        const QString current = text(f, "TexID");

        p.prompts.clear();
        p.prompts.files << copy;
        action(f, "Me_file_restore")->trigger();
        QCOMPARE(folder.count(QStringLiteral("mnu")), dishes);
        QVERIFY(QFile::exists(folder.filePath(QStringLiteral("zento.dll.bak"))));
        QCOMPARE(child<DataSource>(f, "AdoMnu")->recordCount(), int(dishes));
        QCOMPARE(text(f, "TexID"), current); // the dish shown stays
        QCOMPARE(
            child<DataSource>(f, "AdoKou")->recordCount(),
            folder.scalar(QStringLiteral("SELECT count(*) FROM kou WHERE アイテムCD = ") + current)
                .toInt());

        // A second restore says that the copy the first one kept gives way.
        p.prompts.clear();
        p.prompts.files << copy;
        action(f, "Me_file_restore")->trigger();
        const auto asked =
            std::find_if(p.prompts.asked.begin(), p.prompts.asked.end(), [](const AskedPrompt &a) {
                return a.prompt.contains(QStringLiteral("よろしいですか"));
            });
        QVERIFY(asked != p.prompts.asked.end());
        QVERIFY2(asked->prompt.contains(QStringLiteral("いまある「zento.dll.bak」は")),
                 qPrintable(asked->prompt));
    }

    void restoreOfAWholeCopyTurnsEditsBackOn()
    {
        TestFolder folder;
        QVERIFY(folder.makeDemoStore());
        const QString good = folder.filePath(QStringLiteral("good.dll"));
        QVERIFY(QFile::copy(folder.filePath(QStringLiteral("zento.dll")), good));
        QVERIFY(folder.exec(QStringLiteral("DROP TABLE kou")));
        StartedProgram p;
        p.start();
        Fmain *f = p.program->fmain();
        QVERIFY(!p.program->isEditable());
        p.prompts.clear();
        p.prompts.files << good;
        action(f, "Me_file_restore")->trigger();
        QVERIFY(p.program->isEditable());
        QVERIFY(p.program->store()->hasWriteAheadLog()); // whole now: kept with a log
        QVERIFY(button(f, "Command2")->isEnabled());
        QVERIFY(child<DataSource>(f, "AdoKou")->recordCount() > 0);
        QVERIFY(text(f, "TexSumC") != QString());
    }

    void searchOnAMissingStoreTellsItOnce()
    {
        TestFolder folder;
        StartedProgram p;
        p.start();
        QCOMPARE(p.prompts.asked.size(), 1); // at start-up
        p.program->showFoodSearch();
        FrmSchF *search = p.program->foodSearch();
        QVERIFY(search);
        for (const char *typed : {"ｱ", "ｱｼﾞ", "ｱｼﾞﾉ", "ｲ"})
            child<QLineEdit>(search, "Text1")->setText(QString::fromUtf8(typed));
        QCOMPARE(p.prompts.asked.size(), 2);
        QVERIFY(p.prompts.asked[1].prompt.contains(QStringLiteral("zento.dll")));
    }
};

QTEST_MAIN(TestStoreCommands)
#include "tst_storecommands.moc"
