// The settings window as the start-up routine and the user meet it: what it
// reads from zento.ini, what OK writes back, and what the start-up makes of it.
#include "app/fmain.h"
#include "app/program.h"
#include "app/twips.h"
#include "settings/frmconfig.h"
#include "tests/support/controls.h"
#include "tests/support/testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

static const QString iniName = QStringLiteral("zento.ini");

static void putBytes(const QByteArray &bytes)
{
    QFile file(iniName);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

static void putText(const QString &text)
{
    putBytes(text.toUtf8());
}

static QByteArray fileBytes()
{
    QFile file(iniName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Records which windows are shown, in order.
class ShowRecorder : public QObject
{
public:
    QStringList shown;
    ShowRecorder() { qApp->installEventFilter(this); }
    ~ShowRecorder() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() == QEvent::Show && object->isWidgetType() &&
            static_cast<QWidget *>(object)->isWindow())
            shown << object->objectName();
        return false;
    }
};

class TestFrmConfig : public QObject
{
    Q_OBJECT

    // The main window's colour after a start with the given settings text
    // (nothing: no file at all).
    QColor startColour(const std::optional<QString> &settings)
    {
        TestFolder folder;
        if (!folder.makeStore(minimalReferenceSql()))
            return QColor();
        if (settings)
            putText(*settings);
        StartedProgram started;
        started.start();
        return started.program->fmain()->backColor();
    }

private slots:
    void initTestCase() { setUpTestApplication(); }

    void layoutAndNames()
    {
        TestFolder folder;
        StartedProgram started;
        FrmConfig *config = started.program->config();
        QCOMPARE(config->objectName(), QStringLiteral("frmConfig"));
        QCOMPARE(config->windowTitle(), QStringLiteral("栄養価計算の設定"));
        QVERIFY(!(config->windowFlags() & Qt::WindowMinMaxButtonsHint));
        QCOMPARE(config->size(), QSize(Twips::toPixels(4755), Twips::toPixels(3315)));
        QCOMPARE(config->minimumSize(), config->maximumSize());
        QCOMPARE(ctl<QGroupBox>(*config, "Frame1")->title(), QStringLiteral("起動時の設定"));
        QCOMPARE(ctl<QCheckBox>(*config, "Check1")->text(), QStringLiteral("表紙の表示"));
        QCOMPARE(ctl<QPushButton>(*config, "Command1")->text(), QStringLiteral("OK"));
        QCOMPARE(ctl<QPushButton>(*config, "Command4")->text(), QStringLiteral("ｷｬﾝｾﾙ"));
        // Window positions, whatever parent the control sits in.
        const auto at = [config](QWidget *w) {
            return QRect(w->mapTo(config, QPoint(0, 0)), w->size());
        };
        const auto twips = [](int l, int t, int w, int h) {
            return QRect(Twips::toPixels(l), Twips::toPixels(t), Twips::toPixels(w),
                         Twips::toPixels(h));
        };
        QCOMPARE(at(ctl<QGroupBox>(*config, "Frame1")), twips(120, 360, 2415, 1575));
        QCOMPARE(at(ctl<QCheckBox>(*config, "Check1")), twips(480, 840, 1455, 255));
        QCOMPARE(at(ctl<QComboBox>(*config, "Combo1")), twips(480, 1320, 1215, 300));
        QCOMPARE(at(ctl<QPushButton>(*config, "Command1")), twips(720, 2880, 975, 375));
        QCOMPARE(at(ctl<QPushButton>(*config, "Command4")), twips(1800, 2880, 975, 375));
        for (QWidget *hidden : {static_cast<QWidget *>(ctl<QLineEdit>(*config, "Text1")),
                                static_cast<QWidget *>(ctl<QLineEdit>(*config, "Text4")),
                                static_cast<QWidget *>(ctl<QLineEdit>(*config, "Text3"))})
            QVERIFY(hidden->isHidden());
        QVERIFY(ctl<QComboBox>(*config, "Combo1")->isEditable());
        QCOMPARE(ctl<QComboBox>(*config, "Combo1")->count(), 3);
        // Each name says its colour.
        QCOMPARE(ctl<QComboBox>(*config, "Combo1")->itemText(0),
                 QStringLiteral("背景色１（うすいオレンジ）"));
        QCOMPARE(ctl<QComboBox>(*config, "Combo1")->itemText(1),
                 QStringLiteral("背景色２（標準の色）"));
        QCOMPARE(ctl<QComboBox>(*config, "Combo1")->itemText(2),
                 QStringLiteral("背景色３（うすい青）"));
    }

    void loadingReadsEveryValue()
    {
        TestFolder folder;
        putText(
            QStringLiteral("[FLM]=7\r\n[PIC]=1\r\n; mine\r\n[BACK]=背景色３\r\n[SPEED]=12abc\r\n"));
        StartedProgram started;
        FrmConfig *config = started.program->config();
        QCOMPARE(ctl<QLineEdit>(*config, "Text4")->text(), QStringLiteral("12abc"));
        QCOMPARE(ctl<QLineEdit>(*config, "Text3")->text(), QStringLiteral("7"));
        QCOMPARE(ctl<QComboBox>(*config, "Combo1")->currentText(),
                 QStringLiteral("背景色３（うすい青）"));
        QCOMPARE(ctl<QCheckBox>(*config, "Check1")->checkState(), Qt::Checked);
        // Text1 holds the file's text exactly, line ends included.
        QCOMPARE(
            ctl<QLineEdit>(*config, "Text1")->text(),
            QStringLiteral("[FLM]=7\r\n[PIC]=1\r\n; mine\r\n[BACK]=背景色３\r\n[SPEED]=12abc\r\n"));
        QVERIFY(started.prompts.asked.isEmpty());
    }

    void aLargeHandGrownFileIsReadWhole()
    {
        TestFolder folder;
        QString text;
        while (text.size() < 60000) // under the 64 KiB a settings file may hold
            text += QStringLiteral("; a long note kept in the file by hand\r\n");
        text += QStringLiteral("[BACK]=背景色３\r\n[PIC]=1\r\n");
        putText(text);
        StartedProgram started;
        FrmConfig *config = started.program->config();
        QCOMPARE(ctl<QLineEdit>(*config, "Text1")->text(), text);
        QCOMPARE(ctl<QComboBox>(*config, "Combo1")->currentText(),
                 QStringLiteral("背景色３（うすい青）"));
        QCOMPARE(ctl<QCheckBox>(*config, "Check1")->checkState(), Qt::Checked);
    }

    void coverValue_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("state");
        QTest::newRow("on") << "[PIC]=1" << int(Qt::Checked);
        QTest::newRow("off") << "[PIC]=0" << int(Qt::Unchecked);
        QTest::newRow("greyed") << "[PIC]=2" << int(Qt::PartiallyChecked);
        QTest::newRow("text before =") << "[PIC] x=1" << int(Qt::Checked);
        QTest::newRow("lower-case key") << "[pic]=1" << int(Qt::Unchecked);
        QTest::newRow("not a number") << "[PIC]=on" << int(Qt::Unchecked);
        QTest::newRow("other number") << "[PIC]=5" << int(Qt::Unchecked);
        QTest::newRow("empty") << "[PIC]=" << int(Qt::Unchecked);
    }
    void coverValue()
    {
        QFETCH(QString, line);
        QFETCH(int, state);
        TestFolder folder;
        putText(QStringLiteral("[SPEED]=0\r\n") + line + QStringLiteral("\r\n"));
        StartedProgram started;
        QCOMPARE(int(ctl<QCheckBox>(*started.program->config(), "Check1")->checkState()), state);
        QVERIFY(started.prompts.asked.isEmpty());
    }

    void coverWindowFollowsTheOption()
    {
        for (const QString &pic : {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("0")}) {
            TestFolder folder;
            QVERIFY(folder.makeStore(minimalReferenceSql()));
            putText(QStringLiteral("[PIC]=") + pic + QStringLiteral("\r\n"));
            ShowRecorder recorder;
            StartedProgram started;
            started.start();
            const QStringList windows = recorder.shown;
            if (pic == QStringLiteral("1")) {
                QVERIFY2(windows.indexOf(QStringLiteral("frmSplash")) >= 0,
                         qPrintable(windows.join(',')));
                QVERIFY(windows.indexOf(QStringLiteral("frmSplash")) <
                        windows.indexOf(QStringLiteral("Fmain")));
            } else {
                // A greyed box counts as no cover.
                QVERIFY2(!windows.contains(QStringLiteral("frmSplash")), qPrintable(pic));
            }
            QVERIFY(windows.contains(QStringLiteral("Fmain")));
            QVERIFY(!windows.contains(QStringLiteral("frmConfig")));
        }
    }

    void firstStartCreatesAnEmptyFile()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(minimalReferenceSql()));
        ShowRecorder recorder;
        StartedProgram started;
        started.start();
        const QFileInfo info(folder.filePath(iniName));
        QVERIFY(info.exists());
        QCOMPARE(info.size(), 0);
        QVERIFY(!recorder.shown.contains(QStringLiteral("frmSplash")));
        QVERIFY(started.program->isConfigLoaded()); // loaded again, hidden
        QVERIFY(started.program->config()->isHidden());
        QCOMPARE(ctl<QComboBox>(*started.program->config(), "Combo1")->currentText(), QString());
        QVERIFY(started.prompts.asked.isEmpty());
    }

    void backgroundNames()
    {
        const QColor none = startColour(std::nullopt);
        QVERIFY(none.isValid());
        QCOMPARE(startColour(QString()), none);
        QCOMPARE(startColour(QStringLiteral("[BACK]=背景色１\r\n")), QColor(255, 224, 192));
        QCOMPARE(startColour(QStringLiteral("[BACK]=背景色３\r\n")), QColor(128, 128, 255));
        // The second name is the system colour, the same as no setting.
        QCOMPARE(startColour(QStringLiteral("[BACK]=背景色２\r\n")), none);
        // Names match exactly: half-width digit, blanks, other text.
        QCOMPARE(startColour(QStringLiteral("[BACK]=背景色1\r\n")), none);
        QCOMPARE(startColour(QStringLiteral("[BACK]=背景色３ \r\n")), none);
        QCOMPARE(startColour(QStringLiteral("[BACK]=Color3\r\n")), none);
        // Found wherever the line stands.
        QCOMPARE(startColour(QStringLiteral("[PIC]=0\r\nx\r\n[BACK]=背景色３\r\n[SPEED]=0\r\n")),
                 QColor(128, 128, 255));
    }

    void shiftJisFileFromWindows()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(minimalReferenceSql()));
        // [SPEED]=0 [FLM]=0 [BACK]=背景色３ [PIC]=0 in code page 932.
        putBytes(QByteArray("[SPEED]=0\r\n[FLM]=0\r\n[BACK]=\x94\x77\x8C\x69\x90\x46\x82\x52\r\n"
                            "[PIC]=0\r\n"));
        StartedProgram started;
        started.start();
        QCOMPARE(started.program->fmain()->backColor(), QColor(128, 128, 255));
        FrmConfig *config = started.program->config();
        QCOMPARE(ctl<QComboBox>(*config, "Combo1")->currentText(),
                 QStringLiteral("背景色３（うすい青）"));
        // Saved back as UTF-8.
        ctl<QPushButton>(*config, "Command1")->click();
        QCOMPARE(fileBytes(),
                 QStringLiteral("[SPEED]=0\r\n[FLM]=0\r\n[BACK]=背景色３\r\n[PIC]=0\r\n").toUtf8());
    }

    void okWritesTheControlsAndUnloads()
    {
        TestFolder folder;
        putText(QStringLiteral("[SPEED]=12abc\r\n[FLM]=3.50\r\n[BACK]=背景色１\r\n[PIC]=0\r\n"));
        StartedProgram started;
        started.program->showConfig();
        FrmConfig *config = started.program->config();
        QVERIFY(config->isVisible());
        ctl<QCheckBox>(*config, "Check1")->click();
        ctl<QComboBox>(*config, "Combo1")->setCurrentIndex(2);
        ctl<QPushButton>(*config, "Command1")->click();
        QCOMPARE(
            fileBytes(),
            QStringLiteral("[SPEED]=12\r\n[FLM]=3.5\r\n[BACK]=背景色３\r\n[PIC]=1\r\n").toUtf8());
        QVERIFY(started.prompts.asked.isEmpty());
        QTRY_VERIFY(!started.program->isConfigLoaded());
    }

    // Only a colour the window offers is saved: a typed name, or one with a
    // line break that would add a setting, is refused and the file kept.
    void typedNameIsRefusedAndTheFileKept()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(minimalReferenceSql()));
        StartedProgram started;
        started.start();
        FrmConfig *config = started.program->config();
        for (const QString &typed :
             {QStringLiteral("Midori"), QStringLiteral("背景色１\r\n[PIC]=1")}) {
            started.prompts.clear();
            const QByteArray before = fileBytes();
            ctl<QComboBox>(*config, "Combo1")->setEditText(typed);
            ctl<QPushButton>(*config, "Command1")->click();
            QCOMPARE(fileBytes(), before);
            QCOMPARE(started.prompts.asked.size(), 1);
            QVERIFY2(started.prompts.asked[0].prompt.contains(QStringLiteral("前のまま")),
                     qPrintable(started.prompts.asked[0].prompt));
        }
    }

    void greyedOptionIsSavedBackAsTwo()
    {
        TestFolder folder;
        putText(QStringLiteral("[PIC]=2\r\n[BACK]=背景色２\r\n"));
        StartedProgram started;
        FrmConfig *config = started.program->config();
        QCOMPARE(ctl<QCheckBox>(*config, "Check1")->checkState(), Qt::PartiallyChecked);
        ctl<QPushButton>(*config, "Command1")->click();
        QVERIFY(fileBytes().endsWith("[PIC]=2\r\n"));
    }

    void aClickOnlyTurnsTheCoverOnOrOff()
    {
        TestFolder folder;
        putText(QStringLiteral("[PIC]=2\r\n"));
        StartedProgram started;
        FrmConfig *config = started.program->config();
        ctl<QCheckBox>(*config, "Check1")->click();
        QCOMPARE(ctl<QCheckBox>(*config, "Check1")->checkState(), Qt::Checked);
        ctl<QCheckBox>(*config, "Check1")->click();
        QCOMPARE(ctl<QCheckBox>(*config, "Check1")->checkState(), Qt::Unchecked);
        ctl<QCheckBox>(*config, "Check1")->click();
        QCOMPARE(ctl<QCheckBox>(*config, "Check1")->checkState(), Qt::Checked);
    }

    void savingAfterALongerHandEditedFileLeavesNothingBehind()
    {
        TestFolder folder;
        QByteArray old = "[SPEED]=0\r\n[FLM]=0\r\n[BACK]=背景色１\r\n[PIC]=1\r\n";
        for (int i = 0; i < 40; ++i)
            old += "; kept by hand " + QByteArray::number(i) + " [PIC]=0\r\n";
        putBytes(old);
        StartedProgram started;
        FrmConfig *config = started.program->config();
        ctl<QComboBox>(*config, "Combo1")->setEditText(QString());
        ctl<QPushButton>(*config, "Command1")->click();
        QCOMPARE(fileBytes(), QByteArray("[SPEED]=0\r\n[FLM]=0\r\n[BACK]=\r\n[PIC]=1\r\n"));
        QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden), QStringList{iniName});
    }

    void cancelAndCloseBoxLeaveTheFileAlone()
    {
        TestFolder folder;
        const QByteArray before = "[PIC]=1\r\n[BACK]=背景色３\r\n; note";
        putBytes(before);
        const QDateTime stamp = QFileInfo(iniName).lastModified();
        StartedProgram started;
        started.program->showConfig();
        FrmConfig *config = started.program->config();
        ctl<QCheckBox>(*config, "Check1")->click();
        ctl<QComboBox>(*config, "Combo1")->setCurrentIndex(0);
        ctl<QPushButton>(*config, "Command4")->click();
        QTRY_VERIFY(!started.program->isConfigLoaded());

        started.program->showConfig(); // loads afresh, reads the file again
        config = started.program->config();
        QCOMPARE(ctl<QCheckBox>(*config, "Check1")->checkState(), Qt::Checked);
        QCOMPARE(ctl<QComboBox>(*config, "Combo1")->currentText(),
                 QStringLiteral("背景色３（うすい青）"));
        ctl<QCheckBox>(*config, "Check1")->click();
        QVERIFY(config->close()); // the close box
        QTRY_VERIFY(!started.program->isConfigLoaded());
        QCOMPARE(fileBytes(), before);
        QCOMPARE(QFileInfo(iniName).lastModified(), stamp);
    }

    void openingAfterStartShowsWhatStartRead()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(minimalReferenceSql()));
        putText(QStringLiteral("[BACK]=背景色１\r\n[PIC]=0\r\n"));
        StartedProgram started;
        started.start();
        putText(QStringLiteral("[BACK]=背景色３\r\n[PIC]=1\r\n"));
        FrmConfig *loaded = started.program->config();
        started.program->showConfig();
        QCOMPARE(started.program->config(), loaded);
        QVERIFY(loaded->isVisible());
        QCOMPARE(ctl<QComboBox>(*loaded, "Combo1")->currentText(),
                 QStringLiteral("背景色１（うすいオレンジ）"));
        QCOMPARE(ctl<QCheckBox>(*loaded, "Check1")->checkState(), Qt::Unchecked);
    }

    void unreadableFileKeepsTheInitialControls()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(minimalReferenceSql()));
        QVERIFY(QDir().mkdir(iniName)); // neither readable nor creatable as a file
        ShowRecorder recorder;
        StartedProgram started;
        started.start();
        FrmConfig *config = started.program->config();
        QCOMPARE(ctl<QComboBox>(*config, "Combo1")->currentText(), QStringLiteral("Combo1"));
        QCOMPARE(ctl<QCheckBox>(*config, "Check1")->checkState(), Qt::Unchecked);
        QCOMPARE(ctl<QLineEdit>(*config, "Text4")->text(), QString());
        QVERIFY(!recorder.shown.contains(QStringLiteral("frmSplash")));
        QVERIFY(started.prompts.asked.isEmpty()); // no message at start-up
        const QColor colour = started.program->fmain()->backColor();
        QCOMPARE(colour, startColour(std::nullopt));
    }

    void failedSaveIsReportedAndKeepsTheWindow()
    {
        TestFolder folder;
        putText(QStringLiteral("[PIC]=0\r\n"));
        StartedProgram started;
        started.program->showConfig();
        FrmConfig *config = started.program->config();
        ctl<QCheckBox>(*config, "Check1")->click();
        // The file turns into something that cannot be written.
        QVERIFY(QFile::remove(iniName));
        QVERIFY(QDir().mkdir(iniName));
        ctl<QPushButton>(*config, "Command1")->click();
        QCOMPARE(started.prompts.asked.size(), 1);
        const AskedPrompt asked = started.prompts.asked.first();
        QCOMPARE(asked.kind, AskedPrompt::Message);
        QVERIFY2(asked.prompt.contains(iniName), qPrintable(asked.prompt));
        QVERIFY(asked.prompt.contains(QStringLiteral("保存できませんでした")));
        QCOMPARE(asked.icon, Prompts::Icon::Exclamation);
        QCOMPARE(asked.buttons, Prompts::Buttons::Ok);
        // Nothing chosen is lost: the window stays, and a second try works.
        QTest::qWait(20);
        QVERIFY(started.program->isConfigLoaded());
        QVERIFY(config->isVisible());
        QCOMPARE(ctl<QCheckBox>(*config, "Check1")->checkState(), Qt::Checked);
        QVERIFY(QDir().rmdir(iniName));
        ctl<QPushButton>(*config, "Command1")->click();
        QCOMPARE(started.prompts.asked.size(), 1);
        QCOMPARE(fileBytes(), QByteArray("[SPEED]=0\r\n[FLM]=0\r\n[BACK]=\r\n[PIC]=1\r\n"));
        QTRY_VERIFY(!started.program->isConfigLoaded());
    }
};

QTEST_MAIN(TestFrmConfig)
#include "tst_frmconfig.moc"
