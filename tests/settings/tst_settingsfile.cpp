// The settings file's rules without any window: the lookup of a key, the
// numbers written back, the encodings, and reading and replacing the file.
#include "core/settings/settingsfile.h"
#include "tests/support/testsupport.h"

#include <QtTest>
#include <cerrno>
#include <unistd.h>
#include <utility>

using namespace SettingsFile;

static const QString written =
    QStringLiteral("[SPEED]=0\r\n[FLM]=0\r\n[BACK]=背景色３\r\n[PIC]=1\r\n");

static QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

static void putBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

class TestSettingsFile : public QObject
{
    Q_OBJECT

private slots:
    void lookup_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("first line") << written << "[SPEED]"
                                    << "0";
        QTest::newRow("middle line") << written << "[BACK]"
                                     << "背景色３";
        QTest::newRow("last line") << written << "[PIC]"
                                   << "1";
        QTest::newRow("other order") << "[PIC]=1\r\n[BACK]=背景色１\r\n[FLM]=3\r\n[SPEED]=5\r\n"
                                     << "[FLM]"
                                     << "3";
        QTest::newRow("other lines between") << "; mine\r\n[BACK]=背景色２\r\nx=y\r\n[PIC]=0\r\n"
                                             << "[PIC]"
                                             << "0";
        QTest::newRow("first of two lines counts") << "[PIC]=0\r\n[PIC]=1\r\n"
                                                   << "[PIC]"
                                                   << "0";
        QTest::newRow("lower-case key not found") << "[SPEED]=0\r\n[pic]=1\r\n"
                                                  << "[PIC]"
                                                  << "";
        QTest::newRow("blank before key not found") << "[SPEED]=0\r\n [PIC]=1\r\n"
                                                    << "[PIC]"
                                                    << "";
        QTest::newRow("full-width bracket not found") << "［PIC］=1\r\n"
                                                      << "[PIC]"
                                                      << "";
        QTest::newRow("text between key and equals") << "[SPEED]=0\r\n[PIC] x=1\r\n"
                                                     << "[PIC]"
                                                     << "1";
        QTest::newRow("value up to line end only") << "[BACK]=a=b c\r\n[PIC]=1\r\n"
                                                   << "[BACK]"
                                                   << "a=b c";
        QTest::newRow("blanks in value kept") << "[BACK]=背景色１ \r\n"
                                              << "[BACK]"
                                              << "背景色１ ";
        QTest::newRow("empty value") << "[BACK]=\r\n[PIC]=1\r\n"
                                     << "[BACK]"
                                     << "";
        // Left open by the file's rules; a missing key must never borrow the
        // value of another line (the first line's "1" would turn the cover on).
        QTest::newRow("missing key") << "[SPEED]=1\r\n[BACK]=背景色１\r\n"
                                     << "[PIC]"
                                     << "";
        QTest::newRow("missing key, first line without =") << "note\r\n[BACK]=x\r\n"
                                                           << "[PIC]"
                                                           << "";
        QTest::newRow("key line without =, later line with") << "[PIC]\r\n[BACK]=背景色１\r\n"
                                                             << "[PIC]"
                                                             << "";
        QTest::newRow("key line without =, none later") << "[BACK]=x\r\n[PIC]\r\n"
                                                        << "[PIC]"
                                                        << "";
        QTest::newRow("no line end after key") << "[SPEED]=0\r\n[PIC]=1"
                                               << "[PIC]"
                                               << "";
        QTest::newRow("lines ended by LF alone") << "[SPEED]=0\n[PIC]=1\n"
                                                 << "[PIC]"
                                                 << "";
        QTest::newRow("empty text") << ""
                                    << "[PIC]"
                                    << "";
        QTest::newRow("empty key") << written << ""
                                   << "";
    }
    void lookup()
    {
        QFETCH(QString, text);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QCOMPARE(GetSettingValue(text, key), value);
    }

    void leadingNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("number");
        QTest::newRow("letters after") << "12abc"
                                       << "12";
        QTest::newRow("trailing zero") << "3.50"
                                       << "3.5";
        QTest::newRow("empty") << ""
                               << "0";
        QTest::newRow("no number") << "abc"
                                   << "0";
        QTest::newRow("blanks") << " 7 "
                                << "7";
        QTest::newRow("negative") << "-2x"
                                  << "-2";
        QTest::newRow("overflow") << "1e999"
                                  << "0";
    }
    void leadingNumbers()
    {
        QFETCH(QString, text);
        QFETCH(QString, number);
        QCOMPARE(leadingNumber(text), number);
    }

    void coverValues_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("check"); // -1: leaves the box as it is
        QTest::newRow("off") << "0" << 0;
        QTest::newRow("on") << "1" << 1;
        QTest::newRow("greyed") << "2" << 2;
        QTest::newRow("blanks around") << " 1 " << 1;
        QTest::newRow("other number") << "3" << -1;
        QTest::newRow("fraction") << "1.5" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("text") << "yes" << -1;
    }
    void coverValues()
    {
        QFETCH(QString, value);
        QFETCH(int, check);
        QCOMPARE(checkValue(value).value_or(-1), check);
    }

    void composedTextIsTheFourLinesWithCrLf()
    {
        QCOMPARE(compose(QStringLiteral("0"), QString(), QStringLiteral("背景色３"), 1), written);
        // Hidden fields come back as their leading numbers.
        const QString text = compose(QStringLiteral("12abc"), QStringLiteral("3.50"), QString(), 2);
        QCOMPARE(text, QStringLiteral("[SPEED]=12\r\n[FLM]=3.5\r\n[BACK]=\r\n[PIC]=2\r\n"));
        // What is composed reads back the same.
        QCOMPARE(GetSettingValue(text, picKey()), QStringLiteral("2"));
        QCOMPARE(GetSettingValue(text, backKey()), QString());
    }

    // The column widths the user gave ride on a fifth line, which a write
    // accepts; any text is brought to the composed form around them.
    void columnWidthsKeptBesideTheSettings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("columns");
        QTest::addColumn<QString>("written");
        const QString four =
            QStringLiteral("[SPEED]=0\r\n[FLM]=0\r\n[BACK]=背景色３\r\n[PIC]=1\r\n");
        const QString widths = QStringLiteral("frmSchF.DataGrid1.1:3000");
        QTest::newRow("added") << four << widths << four + "[COLS]=" + widths + "\r\n";
        QTest::newRow("replaced") << four + "[COLS]=Fmain.DataGrid1.0:10\r\n"
                                  << widths << four + "[COLS]=" + widths + "\r\n";
        QTest::newRow("removed") << four + "[COLS]=Fmain.DataGrid1.0:10\r\n" << QString() << four;
        QTest::newRow("a hand-grown file")
            << QStringLiteral("; mine\r\n[PIC]=1\r\n[BACK]=背景色３\r\n") << widths
            << four + "[COLS]=" + widths + "\r\n";
        QTest::newRow("a colour not offered is dropped")
            << QStringLiteral("[BACK]=Midori\r\n") << widths
            << QStringLiteral("[SPEED]=0\r\n[FLM]=0\r\n[BACK]=\r\n[PIC]=0\r\n[COLS]=") + widths +
                   "\r\n";
    }
    void columnWidthsKeptBesideTheSettings()
    {
        QFETCH(QString, text);
        QFETCH(QString, columns);
        QFETCH(QString, written);
        const QString composed = withColumns(text, columns);
        QCOMPARE(composed, written);
        QVERIFY2(refusedValue(composed).isEmpty(), qPrintable(refusedValue(composed)));
        QCOMPARE(GetSettingValue(composed, columnsKey()), columns);
    }

    void decodesUtf8AndShiftJis()
    {
        QCOMPARE(decode(written.toUtf8()), written);
        // A byte order mark would hide the first key; it is dropped.
        QCOMPARE(decode(QByteArray("\xEF\xBB\xBF") + written.toUtf8()), written);
        // "[BACK]=背景色３" as a Japanese Windows system writes it.
        const QByteArray shiftJis("[BACK]=\x94\x77\x8C\x69\x90\x46\x82\x52\r\n[PIC]=1\r\n");
        const QString text = decode(shiftJis);
        QCOMPARE(GetSettingValue(text, backKey()), QStringLiteral("背景色３"));
        QCOMPARE(GetSettingValue(text, picKey()), QStringLiteral("1"));
        // Half-width katakana are single bytes in Shift-JIS.
        QCOMPARE(decode(QByteArray("\xB1\xB2\xB3")), QStringLiteral("ｱｲｳ"));
        QCOMPARE(encode(written), written.toUtf8());
    }

    void missingFileIsCreatedEmpty()
    {
        TestFolder folder;
        QString error;
        const std::optional<QString> text = read(fileName(), &error);
        QVERIFY(text.has_value());
        QVERIFY(text->isEmpty());
        QFileInfo info(folder.filePath(fileName()));
        QVERIFY(info.exists());
        QCOMPARE(info.size(), 0);
    }

    void unreadableFileIsReported()
    {
        TestFolder folder;
        QVERIFY(QDir(folder.path()).mkdir(fileName()));
        QString error;
        QVERIFY(!read(fileName(), &error).has_value());
        QVERIFY(error.contains(fileName()));
        QVERIFY(!write(fileName(), written, &error));
        QVERIFY(error.contains(fileName()));
        QVERIFY(QFileInfo(folder.filePath(fileName())).isDir());
    }

    void readsShiftJisFileFromDisk()
    {
        TestFolder folder;
        putBytes(fileName(),
                 QByteArray("[SPEED]=0\r\n[BACK]=\x94\x77\x8C\x69\x90\x46\x82\x50\r\n"));
        const std::optional<QString> text = read(fileName());
        QVERIFY(text.has_value());
        QCOMPARE(GetSettingValue(*text, backKey()), QStringLiteral("背景色１"));
    }

    void writingReplacesTheWholeFile()
    {
        TestFolder folder;
        // A file grown by hand, longer than what is written now.
        QByteArray old = written.toUtf8();
        for (int i = 0; i < 50; ++i)
            old += "; a note typed by hand, line " + QByteArray::number(i) + "\r\n";
        putBytes(fileName(), old);
        // A second name for the old file: the old content is never written
        // into, the new content takes the file's place whole.
        const QString second = folder.filePath(QStringLiteral("before.ini"));
        QCOMPARE(::link(QFile::encodeName(folder.filePath(fileName())).constData(),
                        QFile::encodeName(second).constData()),
                 0);

        const QString now =
            compose(QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("背景色１"), 0);
        QString error;
        QVERIFY2(write(fileName(), now, &error), qPrintable(error));
        QCOMPARE(fileBytes(fileName()), now.toUtf8()); // nothing stale behind it
        QVERIFY(fileBytes(fileName()).contains("\r\n[FLM]=0\r\n"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
        QCOMPARE(fileBytes(second), old);
    }

    // A failing disk: the old file stays whole, the message names the file
    // and the cause, no temporary file is left.
    void failedWriteKeepsTheOldFile_data()
    {
        using WriteFn = ssize_t (*)(int, const void *, size_t);
        QTest::addColumn<quintptr>("fn");
        QTest::addColumn<QString>("cause");
        const WriteFn full = [](int, const void *, size_t) -> ssize_t {
            errno = ENOSPC;
            return -1;
        };
        const WriteFn halfThenFull = [](int fd, const void *data, size_t size) -> ssize_t {
            static bool first = true;
            if (std::exchange(first, !first))
                return ::write(fd, data, size / 2);
            errno = ENOSPC;
            return -1;
        };
        const WriteFn broken = [](int, const void *, size_t) -> ssize_t {
            errno = EIO;
            return -1;
        };
        QTest::newRow("full disk")
            << quintptr(full) << QStringLiteral("ディスクの空きがありません");
        QTest::newRow("full half way")
            << quintptr(halfThenFull) << QStringLiteral("ディスクの空きがありません");
        QTest::newRow("disk error") << quintptr(broken) << QStringLiteral("読み書きに失敗");
    }

    void failedWriteKeepsTheOldFile()
    {
        QFETCH(quintptr, fn);
        QFETCH(QString, cause);
        TestFolder folder;
        putBytes(fileName(), written.toUtf8());
        const QString now =
            compose(QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("背景色２"), 1);
        QString error;
        QVERIFY(!writeThrough(fileName(), now, &error,
                              reinterpret_cast<ssize_t (*)(int, const void *, size_t)>(fn)));
        QVERIFY2(error.contains(cause) && error.contains(fileName()), qPrintable(error));
        QCOMPARE(fileBytes(fileName()), written.toUtf8());
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
        // The real thing: a file that cannot take a byte.
        if (QFileInfo::exists(QStringLiteral("/dev/full")))
            QVERIFY(!write(QStringLiteral("/dev/full"), now, &error));
    }

    void sizeLimit_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("read");
        QTest::newRow("at the limit") << maxBytes << true;
        QTest::newRow("one byte more") << maxBytes + 1 << false;
        QTest::newRow("100 MB") << qint64(100) * 1024 * 1024 << false;
    }

    void sizeLimit()
    {
        QFETCH(qint64, size);
        QFETCH(bool, read);
        TestFolder folder;
        QByteArray bytes = written.toUtf8();
        bytes += QByteArray(size - bytes.size(), ';');
        putBytes(fileName(), bytes);
        QString error;
        const std::optional<QString> text = SettingsFile::read(fileName(), &error);
        QCOMPARE(text.has_value(), read);
        if (read) {
            QCOMPARE(GetSettingValue(*text, picKey()), QStringLiteral("1"));
        } else {
            QVERIFY2(error.contains(QStringLiteral("64 KiB")), qPrintable(error));
            QCOMPARE(QFileInfo(fileName()).size(), size);
            QCOMPARE(fileBytes(fileName()).left(64), bytes.left(64));
        }
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
