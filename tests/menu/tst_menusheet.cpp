// The printed 献立表 of a school-lunch week for a child of 10, read back from
// its PDF.
#include "core/menu/menuplan.h"
#include "menu/menusheet.h"
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
    " (1, 1088, 180, 'ｇ', 1.8), (2, 13003, 206, 'ｇ', 2.06), (3, 11221, 60, 'ｇ', 0.6);");

} // namespace

class TestMenuSheet : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpTestApplication(); }

    void weekOfSchoolLunches()
    {
        TestFolder folder;
        QVERIFY(folder.makeStore(fixture));
        Menus::MenuStore store;
        QString error;
        QVERIFY(store.open(connection, &error));
        for (int d = 0; d < 5; ++d) {
            const QString date = QDate(2026, 12, 7).addDays(d).toString(Qt::ISODate);
            const qint64 day =
                *store.createDay({0, date, QStringLiteral("給食"), {10, true, 2, 0}}, &error);
            QVERIFY(store.addEntry(day, 1, 1, 1, &error));
            QVERIFY(store.addEntry(day, 1, 2, 1, &error));
            if (d != 4)
                QVERIFY(store.addEntry(day, 1, 3, d == 2 ? 1.5 : 1, &error));
        }
        Menus::Plan plan;
        QVERIFY2(
            Menus::readPlan(connection, QStringLiteral("2026-12-07..2026-12-13"), &plan, &error),
            qPrintable(error));
        QCOMPARE(plan.days.size(), size_t(5));
        const QString pdf = folder.filePath(QStringLiteral("week.pdf"));
        QVERIFY2(MenuSheet::writePdf(pdf, plan, &error), qPrintable(error));

        QProcess process;
        process.start(QStringLiteral("pdftotext"),
                      {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(process.waitForFinished(60000));
        const QString text = QString::fromUtf8(process.readAllStandardOutput());
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
};

QTEST_MAIN(TestMenuSheet)
#include "tst_menusheet.moc"
