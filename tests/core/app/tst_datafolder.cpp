// Which folder the program works in, and the first start that fills the
// user's data folder without ever replacing the user's store.
#include "core/app/datafolder.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

} // namespace

class TestDataFolder : public QObject
{
    Q_OBJECT

private slots:
    void choose_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("holdsStore");
        QTest::addColumn<QString>("xdgDataHome");
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("fill");
        QTest::addColumn<QString>("error"); // a part of the message

        const QString none;
        QTest::newRow("first start: the default data folder")
            << QStringList() << false << none << "/home/u"
            << "/home/u/.local/share/zento" << true << none;
        QTest::newRow("XDG_DATA_HOME names the data home") << QStringList() << false << "/srv/data/"
                                                           << "/home/u"
                                                           << "/srv/data/zento" << true << none;
        QTest::newRow("a relative XDG_DATA_HOME is ignored")
            << QStringList() << false << "data"
            << "/home/u"
            << "/home/u/.local/share/zento" << true << none;
        QTest::newRow("started where a store lies: that folder, untouched")
            << QStringList() << true << "/srv/data"
            << "/home/u"
            << "/srv/run" << false << none;
        QTest::newRow("--data-dir wins over a store in the working folder")
            << QStringList{"--data-dir", "/tmp/z"} << true << none << "/home/u"
            << "/tmp/z" << true << none;
        QTest::newRow("--data-dir relative to the working folder")
            << QStringList{"--data-dir", "../mine/./z"} << false << none << "/home/u"
            << "/srv/mine/z" << true << none;
        QTest::newRow("--data-dir=DIR") << QStringList{"--data-dir=/tmp/z"} << false << none << none
                                        << "/tmp/z" << true << none;
        QTest::newRow("--data-dir without its folder")
            << QStringList{"--data-dir"} << false << none << "/home/u" << none << false
            << "--data-dir のあとにフォルダーを指定してください。";
        QTest::newRow("--data-dir= with an empty name")
            << QStringList{"--data-dir="} << false << none << "/home/u" << none << false
            << "フォルダー名が空です";
        QTest::newRow("--data-dir twice")
            << QStringList{"--data-dir", "/a", "--data-dir", "/b"} << false << none << "/home/u"
            << none << false << "一度だけ";
        QTest::newRow("an unknown option")
            << QStringList{"--datadir", "/a"} << false << none << "/home/u" << none << false
            << "「--datadir」は使えない引数です。";
        QTest::newRow("a stray argument") << QStringList{"zento.dll"} << true << none << "/home/u"
                                          << none << false << "「zento.dll」は使えない引数です。";
        QTest::newRow("no home and no data home")
            << QStringList() << false << none << none << none << false << "HOME";
    }

    void choose()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, holdsStore);
        QFETCH(QString, xdgDataHome);
        QFETCH(QString, home);
        QFETCH(QString, folder);
        QFETCH(bool, fill);
        QFETCH(QString, error);

        DataFolder::Situation situation;
        situation.arguments = QStringList{QStringLiteral("zento")} + arguments;
        situation.workingFolder = QStringLiteral("/srv/run");
        situation.workingFolderHoldsStore = holdsStore;
        situation.xdgDataHome = xdgDataHome;
        situation.home = home;
        const DataFolder::Choice choice = DataFolder::choose(situation);
        QCOMPARE(choice.folder, folder);
        QCOMPARE(choice.fill, fill);
        if (error.isEmpty())
            QCOMPARE(choice.error, QString());
        else
            QVERIFY2(choice.error.contains(error), qPrintable(choice.error));
        if (!error.isEmpty()) // every refusal says how to call the program
            QVERIFY(choice.error.contains(QStringLiteral("使い方: zento")));
    }

    void readyFolderBesideTheProgram()
    {
        QCOMPARE(DataFolder::readyFolder(QStringLiteral("/usr/bin")),
                 QStringLiteral("/usr/share/zento"));
        QCOMPARE(DataFolder::readyFolder(QStringLiteral("/opt/z/build/app/")),
                 QStringLiteral("/opt/z/build/share/zento"));
    }

    // What the data folder holds after fill, from what it and the ready
    // folder held before. "-" is no file.
    void fill_data()
    {
        QTest::addColumn<QString>("storeBefore");
        QTest::addColumn<QString>("helpBefore");
        QTest::addColumn<QString>("readyStore");
        QTest::addColumn<QString>("readyHelp");
        QTest::addColumn<QString>("storeAfter");
        QTest::addColumn<QString>("helpAfter");

        QTest::newRow("first start") << "-"
                                     << "-"
                                     << "ready"
                                     << "help 2"
                                     << "ready"
                                     << "help 2";
        QTest::newRow("the user's store is kept") << "mine"
                                                  << "help 2"
                                                  << "ready"
                                                  << "help 2"
                                                  << "mine"
                                                  << "help 2";
        QTest::newRow("an older help is brought up to date") << "mine"
                                                             << "help 1"
                                                             << "ready"
                                                             << "help 2"
                                                             << "mine"
                                                             << "help 2";
        QTest::newRow("a lost help comes back") << "mine"
                                                << "-"
                                                << "ready"
                                                << "help 2"
                                                << "mine"
                                                << "help 2";
        QTest::newRow("an empty store file is the user's, too") << ""
                                                                << "-"
                                                                << "ready"
                                                                << "help 2"
                                                                << ""
                                                                << "help 2";
        QTest::newRow("nothing installed: nothing copied") << "-"
                                                           << "help 1"
                                                           << "-"
                                                           << "-"
                                                           << "-"
                                                           << "help 1";
    }

    void fill()
    {
        QFETCH(QString, storeBefore);
        QFETCH(QString, helpBefore);
        QFETCH(QString, readyStore);
        QFETCH(QString, readyHelp);
        QFETCH(QString, storeAfter);
        QFETCH(QString, helpAfter);

        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString ready = root.filePath(QStringLiteral("share/zento"));
        const QString folder = root.filePath(QStringLiteral("home/.local/share/zento"));
        QVERIFY(QDir().mkpath(ready));
        const auto put = [](const QString &path, const QString &contents) {
            return contents == QLatin1String("-") || writeFile(path, contents.toUtf8());
        };
        QVERIFY(put(ready + QStringLiteral("/zento.dll"), readyStore));
        QVERIFY(put(ready + QStringLiteral("/zento.hlp"), readyHelp));
        if (storeBefore != QLatin1String("-") || helpBefore != QLatin1String("-"))
            QVERIFY(QDir().mkpath(folder));
        QVERIFY(put(folder + QStringLiteral("/zento.dll"), storeBefore));
        QVERIFY(put(folder + QStringLiteral("/zento.hlp"), helpBefore));

        QString error;
        QVERIFY2(DataFolder::fill(folder, ready, &error), qPrintable(error));
        const auto contents = [&](const QString &name) {
            const QString path = folder + QLatin1Char('/') + name;
            return QFileInfo::exists(path) ? QString::fromUtf8(readFile(path))
                                           : QStringLiteral("-");
        };
        QCOMPARE(contents(QStringLiteral("zento.dll")), storeAfter);
        QCOMPARE(contents(QStringLiteral("zento.hlp")), helpAfter);
        // Nothing but the two files is left behind (no half-written copies).
        QStringList expected;
        if (storeAfter != QLatin1String("-"))
            expected << QStringLiteral("zento.dll");
        if (helpAfter != QLatin1String("-"))
            expected << QStringLiteral("zento.hlp");
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), expected);
    }

    void fillRefusesWhatIsNoFolder()
    {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString file = root.filePath(QStringLiteral("zento"));
        QVERIFY(writeFile(file, "not a folder"));
        QString error;
        QVERIFY(!DataFolder::fill(file, root.path(), &error));
        QVERIFY2(error.contains(QStringLiteral("フォルダーではありません")), qPrintable(error));
        error.clear();
        QVERIFY(!DataFolder::fill(file + QStringLiteral("/inside"), root.path(), &error));
        QVERIFY2(error.contains(QStringLiteral("を作れません")), qPrintable(error));
        QCOMPARE(readFile(file), QByteArray("not a folder"));
    }

    void fillReportsACopyThatFails()
    {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString ready = root.filePath(QStringLiteral("ready"));
        QVERIFY(QDir().mkpath(ready));
        // A folder where the ready store should be cannot be read as a file,
        // and one in the data folder's help place cannot be replaced.
        QVERIFY(writeFile(ready + QStringLiteral("/zento.hlp"), "help"));
        const QString folder = root.filePath(QStringLiteral("data"));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/zento.hlp")));
        QString error;
        QVERIFY(!DataFolder::fill(folder, ready, &error));
        QVERIFY2(error.contains(QStringLiteral("zento.hlp")), qPrintable(error));
        QVERIFY(QFileInfo(folder + QStringLiteral("/zento.hlp")).isDir());
    }

    void enterMovesIntoTheFilledFolder()
    {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString ready = root.filePath(QStringLiteral("ready"));
        QVERIFY(QDir().mkpath(ready));
        QVERIFY(writeFile(ready + QStringLiteral("/zento.dll"), "store"));
        const QString before = QDir::currentPath();
        DataFolder::Situation situation;
        situation.arguments = QStringList{QStringLiteral("zento")};
        situation.workingFolder = root.path();
        situation.home = root.filePath(QStringLiteral("home"));
        QString error;
        const bool entered = DataFolder::enter(DataFolder::choose(situation), ready, &error);
        const QString now = QDir::currentPath();
        QDir::setCurrent(before);
        QVERIFY2(entered, qPrintable(error));
        QCOMPARE(QFileInfo(now).canonicalFilePath(),
                 QFileInfo(root.filePath(QStringLiteral("home/.local/share/zento")))
                     .canonicalFilePath());
        QCOMPARE(readFile(now + QStringLiteral("/zento.dll")), QByteArray("store"));

        // A folder that cannot be made leaves the program where it was.
        DataFolder::Choice blocked;
        blocked.folder = ready + QStringLiteral("/zento.dll/data");
        blocked.fill = true;
        QVERIFY(!DataFolder::enter(blocked, ready, &error));
        QVERIFY2(error.contains(QStringLiteral("を作れません")), qPrintable(error));
        QCOMPARE(QDir::currentPath(), before);
    }
};

QTEST_GUILESS_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
