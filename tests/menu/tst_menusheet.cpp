// A school-lunch week for a child of 10: the printed 献立表 read back from its
// PDF, the CSV of its days and period, and zento-export --menu.
#include "core/export/csvwriter.h"
#include "core/menu/menufiles.h"
#include "core/menu/menuplan.h"
#include "core/menu/menureport.h"
#include "paper/menusheet.h"
#include "tests/support/testsupport.h"

#include <QProcess>
#include <QtTest>

namespace {

const QString connection =
    QStringLiteral("Provider=Zento.SQLite.1;Data Source=zento.dll;Persist Security Info=False");

const QString fixture = QStringLiteral(
    "INSERT INTO bun VALUES (20, '登録食品');"
    "INSERT INTO eys(SID, SNM, SKN, BID, ENC, TAN, SST, TST, NAT) VALUES"
    " (1088, '米', 'ｺﾒ', 20, 156, 2.5, 0.3, 37.1, 0),"
    " (13003, '牛乳', 'ｷﾞｭｳﾆｭｳ', 20, 61, 3.3, 3.8, 4.8, 0.1),"
    " (11221, '鶏肉', 'ﾄﾘﾆｸ', 20, 200, 20, 14, 0, 0.2);"
    "INSERT INTO mnu(ID, アイテム名) VALUES (1, 'ごはん'), (2, '牛乳'), (3, '鶏の照り焼き');"
    "INSERT INTO kou(アイテムCD, 食品コード, 数量, 単位, 数量2) VALUES"
    " (1, 1088, 180, 'ｇ', 1.8), (2, 13003, 206, 'ｇ', 2.06), (3, 11221, 60, 'ｇ', 0.6);"
    "INSERT INTO kjz(AGF, AGT, SEX, STG, NUT, IND, VAL, EDN) VALUES"
    " (10, 11, 1, 0, 'protein_g', 'ear', 35, 2025), (10, 11, 1, 0, 'protein_g', 'rda', 45, 2025),"
    " (10, 11, 1, 0, 'salt_g', 'dg_max', 6.0, 2025),"
    " (10, 11, 1, 0, 'energy_kcal', 'eer', 2250, 2025);");

// Monday to Friday, 給食 for a boy of 10: ごはん and 牛乳 every day, 鶏の照り
//焼き but on Friday, one and a half of it on Wednesday.
bool makeWeek(TestFolder &folder)
{
    if (!folder.makeStore(fixture))
        return false;
    Menus::MenuStore store;
    QString error;
    if (!store.open(connection, &error))
        return false;
    for (int d = 0; d < 5; ++d) {
        const QString date = QDate(2026, 12, 7).addDays(d).toString(Qt::ISODate);
        const std::optional<qint64> day =
            store.createDay({0, date, QStringLiteral("給食"), {10, true, 2, 0}}, &error);
        if (!day || !store.addEntry(*day, 1, 1, 1, &error) ||
            !store.addEntry(*day, 1, 2, 1, &error) ||
            (d != 4 && !store.addEntry(*day, 1, 3, d == 2 ? 1.5 : 1, &error)))
            return false;
    }
    return true;
}

// The fields of a CSV file's records (no field of these holds a comma).
QList<QStringList> csvRows(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QStringList> rows;
    const QString text = QString::fromUtf8(file.readAll()).remove(QChar(0xFEFF));
    for (const QString &line : text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        rows << line.split(QLatin1Char(','));
    return rows;
}

// The text of a PDF file, its pages parted by form feeds.
QString pdfText(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

struct Tool
{
    int exitCode = -1;
    QString message;
};

Tool runTool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(ZENTO_EXPORT_TOOL),
                  QStringList{QStringLiteral("--store"), QStringLiteral("zento.dll")} + arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

class TestMenuSheet : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpTestApplication(); }

    void weekOfSchoolLunches()
    {
        TestFolder folder;
        QVERIFY(makeWeek(folder));
        QString error;
        Menus::Plan plan;
        QVERIFY2(
            Menus::readPlan(connection, QStringLiteral("2026-12-07..2026-12-13"), &plan, &error),
            qPrintable(error));
        QCOMPARE(plan.days.size(), size_t(5));
        const QString pdf = folder.filePath(QStringLiteral("week.pdf"));
        QVERIFY2(MenuSheet::writePdf(pdf, plan, &error), qPrintable(error));

        const QString text = pdfText(pdf);
        for (const QString &expected :
             {QStringLiteral("献立表"), QStringLiteral("12/7(月) 給食"),
              QStringLiteral("12/11(金) 給食"), QStringLiteral("10歳 男性 身体活動ふつう"),
              QStringLiteral("鶏の照り焼き ×1.5"), QStringLiteral("昼食"),
              QStringLiteral("1日平均（5日のうち献立のある5日）"), QStringLiteral("文部科学省")})
            QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral("\n") + text));
        // ごはん 280.8 + 牛乳 125.7 + 照り焼き 120: 526 kcal on Monday.
        QVERIFY2(text.contains(QStringLiteral("526")), qPrintable(text));
        if (qEnvironmentVariableIsSet("ZENTO_KEEP_PDF"))
            QFile::copy(pdf, qEnvironmentVariable("ZENTO_KEEP_PDF"));
    }

    // Days planned with no dish yet print no average, for the week or for
    // the whole period.
    void daysWithoutDishes()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(fixture));
        Menus::MenuStore store;
        QString error;
        QVERIFY(store.open(connection, &error));
        for (int d = 0; d < 8; ++d)
            QVERIFY(store.createDay(
                {0, QDate(2026, 12, 7).addDays(d).toString(Qt::ISODate), {}, {}}, &error));
        Menus::Plan plan;
        QVERIFY2(
            Menus::readPlan(connection, QStringLiteral("2026-12-07..2026-12-14"), &plan, &error),
            qPrintable(error));
        const QString pdf = folder.filePath(QStringLiteral("empty.pdf"));
        QVERIFY2(MenuSheet::writePdf(pdf, plan, &error), qPrintable(error));
        const QString text = pdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("1日平均（7日のうち献立のある0日）: －")),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("期間全体の1日平均（8日のうち献立のある0日）: －")),
                 qPrintable(text));
    }

    // The nutrient report of the week: a page per day and the period's, each
    // nutrient beside the boy's standard.
    void reportOfTheWeek()
    {
        TestFolder folder;
        QVERIFY(makeWeek(folder));
        Menus::Plan plan;
        QString error;
        QVERIFY2(Menus::readPlan(connection, QStringLiteral("給食"), &plan, &error),
                 qPrintable(error));
        const QString pdf = folder.filePath(QStringLiteral("report.pdf"));
        QVERIFY2(MenuSheet::writeReportPdf(pdf, plan, &error), qPrintable(error));
        const QStringList pages = pdfText(pdf).split(QLatin1Char('\f'));
        QCOMPARE(pages.size(), 5 + 1 + 1); // five days, the period, the end
        const auto has = [](const QString &page, const QStringList &words) {
            // The words in this order on one line of the page.
            for (const QString &line : page.split(QLatin1Char('\n'))) {
                qsizetype at = 0;
                for (const QString &word : words)
                    if (at >= 0 && (at = line.indexOf(word, at)) >= 0)
                        at += word.size();
                if (at >= 0)
                    return true;
            }
            return false;
        };
        // Monday: 4.5 + 6.8 + 12 g of protein, below the EAR of 35 g.
        QVERIFY2(has(pages[0], {"栄養量報告", "12/7(月) 給食"}), qPrintable(pages[0]));
        QVERIFY(has(pages[0], {"10歳 男性 身体活動ふつう"}));
        QVERIFY2(
            has(pages[0], {"たんぱく質", "g", "23.3", "推奨量 45.0", "52", "不足の可能性が高い"}),
            qPrintable(pages[0]));
        QVERIFY2(has(pages[0], {"食塩相当量", "g", "0.3", "目標量 6.0未満", "目標量の範囲内"}),
                 qPrintable(pages[0]));
        QVERIFY(has(pages[0], {"エネルギー産生栄養素バランス"}));
        // A component the standards say nothing of has no judgement.
        QVERIFY(has(pages[0], {"コレステロール", "mg"}));
        // The period: (23.3 × 3 + 29.3 + 11.3) ÷ 5.
        QVERIFY2(has(pages[5], {"期間 5日（献立のある日 5日）の1日平均"}), qPrintable(pages[5]));
        QVERIFY2(has(pages[5], {"たんぱく質", "22.1", "推奨量 45.0", "49", "不足の可能性が高い"}),
                 qPrintable(pages[5]));
        QVERIFY(has(pages[5], {"文部科学省"}));

        // The same as rows of a table, the period's last.
        const QString csv = folder.filePath(QStringLiteral("report.csv"));
        QVERIFY2(Menus::writeReportCsv(csv, plan, &error), qPrintable(error));
        QStringList protein;
        for (const QStringList &row : csvRows(csv))
            if (row[3] == QStringLiteral("たんぱく質"))
                protein << row.mid(5).join(QLatin1Char('|'));
        QCOMPARE(protein.size(), 6);
        QCOMPARE(protein.last(), QStringLiteral("22.1|推奨量 45.0|49|不足の可能性が高い"));
    }

    // Every row of the CSV: a dish's portion, a meal's, a day's and the
    // period's average, each with its own figures.
    void csvOfTheWeek_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("dish");
        QTest::addColumn<QString>("portion");
        QTest::addColumn<QString>("energy");
        QTest::newRow("rice") << "2026-12-07"
                              << "明細"
                              << "ごはん"
                              << "1"
                              << "280.8";
        QTest::newRow("one and a half") << "2026-12-09"
                                        << "明細"
                                        << "鶏の照り焼き"
                                        << "1.5"
                                        << "180";
        QTest::newRow("lunch") << "2026-12-07"
                               << "食事計"
                               << ""
                               << ""
                               << "526.5";
        QTest::newRow("Friday without chicken") << "2026-12-11"
                                                << "1日計"
                                                << ""
                                                << ""
                                                << "406.5";
        // (526.46 × 3 + 586.46 + 406.46) ÷ 5
        QTest::newRow("average of the week") << ""
                                             << "1日平均"
                                             << ""
                                             << ""
                                             << "514.5";
    }
    void csvOfTheWeek()
    {
        QFETCH(QString, date);
        QFETCH(QString, kind);
        QFETCH(QString, dish);
        QFETCH(QString, portion);
        QFETCH(QString, energy);
        TestFolder folder;
        QVERIFY(makeWeek(folder));
        Menus::Plan plan;
        QString error;
        QVERIFY2(Menus::readPlan(connection, QStringLiteral("給食"), &plan, &error),
                 qPrintable(error));
        const QString path = folder.filePath(QStringLiteral("week.csv"));
        QVERIFY2(Menus::writeCsv(path, plan, &error), qPrintable(error));
        const QList<QStringList> rows = csvRows(path);
        QCOMPARE(rows.front(), Menus::tableHeadings());
        // 5 days of 2 or 3 dishes, a lunch total and a day total each, and the average.
        QCOMPARE(rows.size(), 1 + 4 * 5 + 4 + 1);
        const int energyColumn =
            int(rows.front().indexOf(Export::componentHeading(Menus::componentOf("ENC"))));
        int found = 0;
        for (const QStringList &row : rows) {
            if (row[0] != date || row[5] != kind || row[3] != dish)
                continue;
            ++found;
            QCOMPARE(row[4], portion);
            QCOMPARE(row[energyColumn], energy);
        }
        QVERIFY(found > 0);
    }

    // zento-export --menu: which days, which format, and what it refuses.
    void exportCommand_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");
        QTest::newRow("a week as PDF")
            << QStringList{"--menu", "2026-12-07..2026-12-13", "--format", "pdf"} << 0 << "";
        QTest::newRow("the days of a name as CSV")
            << QStringList{"--menu", "給食", "--format", "csv"} << 0 << "";
        QTest::newRow("one date as a workbook")
            << QStringList{"--menu", "2026-12-09", "--format", "xlsx"} << 0 << "";
        QTest::newRow("no such day")
            << QStringList{"--menu", "夕食会", "--format", "csv"} << 1 << "見つかりません";
        QTest::newRow("a range without dates")
            << QStringList{"--menu", "2026-12-40..2026-12-41", "--format", "csv"} << 1
            << "見つかりません";
        QTest::newRow("the report of a week as a workbook")
            << QStringList{"--menu", "給食", "--format", "xlsx", "--report"} << 0 << "";
        QTest::newRow("the report as PDF")
            << QStringList{"--menu", "2026-12-07", "--format", "pdf", "--report"} << 0 << "";
        QTest::newRow("a report of no menu")
            << QStringList{"--all", "--format", "csv", "--report"} << 2 << "--menu";
        QTest::newRow("with --all")
            << QStringList{"--menu", "給食", "--all", "--format", "csv"} << 2 << "--all";
        QTest::newRow("as a label")
            << QStringList{"--menu", "給食", "--format", "label"} << 2 << "csv, xlsx, pdf";
    }
    void exportCommand()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        TestFolder folder;
        QVERIFY(makeWeek(folder));
        const Tool tool = runTool(arguments + QStringList{"--output", "out"});
        QCOMPARE(tool.exitCode, exitCode);
        QVERIFY2(tool.message.contains(said), qPrintable(tool.message));
        QFile out(folder.filePath(QStringLiteral("out")));
        QCOMPARE(out.exists(), exitCode == 0);
        if (exitCode == 0) {
            QVERIFY(out.open(QIODevice::ReadOnly));
            const QByteArray head = out.read(4);
            const QString format = arguments[arguments.indexOf(QStringLiteral("--format")) + 1];
            const QByteArray expected = format == QLatin1String("pdf")    ? "%PDF"
                                        : format == QLatin1String("xlsx") ? "PK\x03\x04"
                                                                          : "\xEF\xBB\xBF\xE6";
            QCOMPARE(head, expected);
        }
    }
};

QTEST_MAIN(TestMenuSheet)
#include "tst_menusheet.moc"
