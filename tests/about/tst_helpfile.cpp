// The help file: present in the source tree, UTF-8 HTML, a contents list whose
// links all lead somewhere, the data attribution, and the help window that
// shows it.
#include "app/helpwindow.h"
#include "app/program.h"
#include "tests/support/controls.h"
#include "tests/support/testsupport.h"

#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextBrowser>
#include <QtTest>
#include <sys/stat.h>

static QString sourcePath()
{
    return QStringLiteral(ZENTO_SOURCE_DIR "/app/zento.hlp");
}

class TestHelpFile : public QObject
{
    Q_OBJECT

    QString m_text;

private slots:
    void initTestCase()
    {
        setUpTestApplication();
        QFile file(sourcePath());
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(sourcePath()));
        const QByteArray bytes = file.readAll();
        QStringDecoder utf8(QStringConverter::Utf8);
        m_text = utf8.decode(bytes);
        QVERIFY2(!utf8.hasError(), "zento.hlp is not valid UTF-8");
        QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
    }

    void isJapaneseHtml()
    {
        QVERIFY(m_text.startsWith(QStringLiteral("<!DOCTYPE html>")));
        QVERIFY(m_text.contains(QStringLiteral("<meta charset=\"utf-8\">")));
        QVERIFY(m_text.contains(QStringLiteral("<html lang=\"ja\">")));
        QVERIFY(m_text.trimmed().endsWith(QStringLiteral("</html>")));
        QVERIFY(m_text.size() > 8000); // a real help, not a placeholder
    }

    void contentsLinksLeadToAnchors()
    {
        const qsizetype contents = m_text.indexOf(QStringLiteral("<h2>目次</h2>"));
        QVERIFY(contents > 0);
        const qsizetype contentsEnd = m_text.indexOf(QStringLiteral("</ol>"), contents);
        const QString list = m_text.mid(contents, contentsEnd - contents);
        QSet<QString> anchors;
        for (const auto &m :
             QRegularExpression(QStringLiteral("<a name=\"([^\"]+)\">")).globalMatch(m_text))
            anchors.insert(m.captured(1));
        QStringList targets;
        for (const auto &m :
             QRegularExpression(QStringLiteral("href=\"#([^\"]+)\"")).globalMatch(list))
            targets << m.captured(1);
        for (const char *topic : {"overview", "main", "dish-row", "food-choice", "line-editor",
                                  "recipe", "totals", "dishes", "food-search", "dish-list",
                                  "comparison", "food-editor", "settings", "files", "sources"})
            QVERIFY2(targets.contains(QLatin1String(topic)), topic);
        for (const QString &target : targets)
            QVERIFY2(anchors.contains(target), qPrintable(target));
        // Every link in the whole file leads somewhere too.
        for (const auto &m :
             QRegularExpression(QStringLiteral("href=\"#([^\"]+)\"")).globalMatch(m_text))
            QVERIFY2(anchors.contains(m.captured(1)), qPrintable(m.captured(1)));
    }

    void namesTheSourcesOfItsData()
    {
        QVERIFY(m_text.contains(QStringLiteral(
            "「日本食品標準成分表（八訂）増補2023年」（文部科学省）を加工して作成")));
        QVERIFY(m_text.contains(QStringLiteral("データの出典")));
        QVERIFY(m_text.contains(QStringLiteral("日本人の食事摂取基準（2025年版）")));
        QVERIFY(m_text.contains(QStringLiteral("日本人の食事摂取基準（2020年版）")));
        QVERIFY(m_text.contains(QStringLiteral("IU ＝ μgRAE × 10 ÷ 3")));
        QVERIFY(m_text.contains(QStringLiteral("zento.dll")));
        QVERIFY(m_text.contains(QStringLiteral("zento.ini")));
    }

    void helpWindowOpensAtTheContents()
    {
        TestFolder folder;
        QVERIFY(QFile::copy(sourcePath(), folder.filePath(QStringLiteral("zento.hlp"))));
        StartedProgram started;
        started.program->showHelp();
        HelpWindow *help = started.program->help();
        QVERIFY(help);
        help->resize(700, 500);
        QTextBrowser *browser = ctl<QTextBrowser>(*help, "helpBrowser");
        QCOMPARE(browser->documentTitle(), QStringLiteral("ゼント ヘルプ"));
        QVERIFY(browser->toPlainText().contains(QStringLiteral("目次")));
        QCOMPARE(browser->verticalScrollBar()->value(), 0);
        // A contents link moves down to its section; "目次" comes back.
        browser->setSource(QUrl(QStringLiteral("#sources")));
        QTRY_VERIFY(browser->verticalScrollBar()->value() > 0);
        ctl<QPushButton>(*help, "helpContents")->click();
        QTRY_COMPARE(browser->verticalScrollBar()->value(), 0);
        // Opening it again starts at the contents.
        browser->setSource(QUrl(QStringLiteral("#settings")));
        QTRY_VERIFY(browser->verticalScrollBar()->value() > 0);
        started.program->showHelp();
        QTRY_COMPARE(browser->verticalScrollBar()->value(), 0);
    }

    void everyCharacterHasItsGlyph()
    {
        // No font is merged in for a missing character: each run of the help
        // must be set in a face that has every character of it, examples in
        // fixed-width type included.
        TestFolder folder;
        QVERIFY(QFile::copy(sourcePath(), folder.filePath(QStringLiteral("zento.hlp"))));
        StartedProgram started;
        started.program->showHelp();
        const QTextDocument *document =
            ctl<QTextBrowser>(*started.program->help(), "helpBrowser")->document();
        QStringList missing;
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                const QFontMetrics metrics(fragment.charFormat().font());
                for (const char32_t c : fragment.text().toUcs4())
                    if (!QChar::isSpace(c) && c != QChar::ObjectReplacementCharacter &&
                        !metrics.inFontUcs4(c))
                        missing << fragment.text();
            }
        }
        missing.removeDuplicates();
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(" | "))));
    }

    void missingHelpFileIsSaidInTheViewer()
    {
        TestFolder folder;
        StartedProgram started;
        started.program->showHelp();
        const QString shown =
            ctl<QTextBrowser>(*started.program->help(), "helpBrowser")->toPlainText();
        QVERIFY2(shown.contains(QStringLiteral("zento.hlp")), qPrintable(shown));
        QVERIFY(shown.contains(QStringLiteral("見つかりません")));
        QVERIFY(started.prompts.asked.isEmpty());
    }

    // The help reads what it names only from regular files beside it: a
    // FIFO named as an image would never end, a file elsewhere is not its
    // own; a help far larger than ours is not laid out at all.
    void helpReadsOnlyItsOwnFiles_data()
    {
        QTest::addColumn<QString>("image");
        QTest::addColumn<bool>("huge");
        QTest::addColumn<QString>("shown");
        QTest::newRow("a FIFO as an image") << "pipe.png" << false << "目次";
        QTest::newRow("a file elsewhere") << "/etc/hostname" << false << "目次";
        QTest::newRow("a huge help") << "" << true << "大きすぎます";
    }
    void helpReadsOnlyItsOwnFiles()
    {
        QFETCH(QString, image);
        QFETCH(bool, huge);
        QFETCH(QString, shown);
        TestFolder folder;
        QVERIFY(::mkfifo(QFile::encodeName(folder.filePath(QStringLiteral("pipe.png"))), 0644) ==
                0);
        QFile help(folder.filePath(QStringLiteral("zento.hlp")));
        QVERIFY(help.open(QIODevice::WriteOnly));
        help.write(QStringLiteral("<html><body><h1>目次</h1><img src=\"%1\">").arg(image).toUtf8());
        if (huge)
            help.write(QByteArray(2 * 1024 * 1024, 'x'));
        help.write("</body></html>");
        help.close();
        HelpWindow window;
        window.show();
        window.openFile(QStringLiteral("zento.hlp"));
        QCoreApplication::processEvents(); // lays the page out, images and all
        QVERIFY2(ctl<QTextBrowser>(window, "helpBrowser")->toPlainText().contains(shown),
                 qPrintable(ctl<QTextBrowser>(window, "helpBrowser")->toPlainText().left(200)));
    }
};

QTEST_MAIN(TestHelpFile)
#include "tst_helpfile.moc"
