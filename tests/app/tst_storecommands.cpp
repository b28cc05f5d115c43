// The main window's store commands and the edit switch, as the user meets
// them: a damaged or read-only store at start-up, undo and redo, backup and
// restore through the file picker.
#include "app/fmain.h"
#include "app/program.h"
#include "core/store/datasource.h"
#include "foods/seibn.h"
#include "search/frmschf.h"
#include "tests/support/testsupport.h"

#include <QAction>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

namespace {

QList<QPushButton *> editButtons(Fmain *f)
{
    return {f->newDishButton, f->deleteDishButton, f->addLineButton, f->deleteLineButton,
            f->updateLineButton};
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
        if (damage == QLatin1String("chattr")) {
            guard.on = QProcess::execute(QStringLiteral("chattr"),
                                         {QStringLiteral("+i"), folder.path()})
                       == 0;
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
            QVERIFY(!p.program->isEditable());
            for (QPushButton *button : editButtons(f))
                QVERIFY2(!button->isEnabled(), qPrintable(button->objectName()));
            QVERIFY(f->TexTitle->isReadOnly());
            QVERIFY(!f->Me_data_addnew->isEnabled());
            QVERIFY(!f->Me_data_del->isEnabled());
            QVERIFY(!f->Me_data_undo->isEnabled());
            QVERIFY(!p.program->seibn()->Command2->isEnabled());
            // Looking around still works.
            QVERIFY(f->previousDishButton->isEnabled());
            QVERIFY(f->Me_file_backup->isEnabled());
        }
    }

    void undoBringsBackADeletedDishAndRedoDeletesItAgain()
    {
        TestFolder folder;
        QVERIFY(folder.makeDemoStore());
        StartedProgram p;
        p.start();
        Fmain *f = p.program->fmain();
        const QString id = f->TexID->text();
        const QString name = f->TexTitle->text();
        const QString energy = f->TexSumC->text();
        const int lines = f->AdoKou->recordCount();
        QVERIFY(lines > 0);
        const qint64 dishes = folder.count(QStringLiteral("mnu"));

        f->deleteDishButton->click(); // confirmed by the scripted OK
        QCOMPARE(folder.count(QStringLiteral("mnu")), dishes - 1);
        QVERIFY(f->TexID->text() != id);

        f->Me_data_undo->trigger();
        QCOMPARE(folder.count(QStringLiteral("mnu")), dishes);
        QCOMPARE(f->TexID->text(), id);
        QCOMPARE(f->TexTitle->text(), name);
        QCOMPARE(f->AdoKou->recordCount(), lines);
        QCOMPARE(f->TexSumC->text(), energy);

        f->Me_data_redo->trigger();
        QCOMPARE(folder.count(QStringLiteral("mnu")), dishes - 1);
        QVERIFY(f->TexID->text() != id);
        QCOMPARE(folder.scalar(QStringLiteral("SELECT count(*) FROM kou WHERE アイテムCD = ") + id)
                     .toInt(),
                 0);
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
        f->Me_file_backup->trigger();
        QCOMPARE(p.prompts.asked.first().kind, AskedPrompt::File);
        QVERIFY2(p.prompts.asked.first().prompt.contains(
                     QRegularExpression(QStringLiteral("zento-\\d{8}-\\d{4}\\.dll$"))),
                 qPrintable(p.prompts.asked.first().prompt));
        QVERIFY(QFile::exists(copy));

        f->deleteDishButton->click();
        QCOMPARE(folder.count(QStringLiteral("mnu")), dishes - 1);
        const QString current = f->TexID->text();

        p.prompts.clear();
        p.prompts.files << copy;
        f->Me_file_restore->trigger();
        QCOMPARE(folder.count(QStringLiteral("mnu")), dishes);
        QVERIFY(QFile::exists(folder.filePath(QStringLiteral("zento.dll.bak"))));
        QCOMPARE(f->AdoMnu->recordCount(), int(dishes));
        QCOMPARE(f->TexID->text(), current); // the dish shown stays
        QCOMPARE(f->AdoKou->recordCount(),
                 folder.scalar(QStringLiteral("SELECT count(*) FROM kou WHERE アイテムCD = ") + current)
                     .toInt());
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
        f->Me_file_restore->trigger();
        QVERIFY(p.program->isEditable());
        QVERIFY(f->addLineButton->isEnabled());
        QVERIFY(f->AdoKou->recordCount() > 0);
        QVERIFY(f->TexSumC->text() != QString());
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
            search->Text1->setText(QString::fromUtf8(typed));
        QCOMPARE(p.prompts.asked.size(), 2);
        QVERIFY(p.prompts.asked[1].prompt.contains(QStringLiteral("zento.dll")));
    }
};

QTEST_MAIN(TestStoreCommands)
#include "tst_storecommands.moc"
