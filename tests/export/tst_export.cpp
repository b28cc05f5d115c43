// What leaves the program: the report model, the CSV and Excel files, the
// nutrition label and the handling of targets that cannot be written.
#include "core/export/csvwriter.h"
#include "core/export/dishreport.h"
#include "core/export/nutritionlabel.h"
#include "core/export/workbookwriter.h"
#include "core/nutrition/chartscale.h"
#include "core/nutrition/radarchart.h"
#include "core/store/backup.h"
#include "core/store/numberreader.h"
#include "core/store/numbertext.h"
#include "export/exportcommands.h"
#include "nutrition/frmkij.h"
#include "search/frmschm.h"
#include "tests/dish/dishwindow.h"
#include "tests/support/controls.h"
#include "tools/xlsxreader.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <quazip.h>
#include <quazipfile.h>

namespace {

// One dish per rounding case of the totals, the dish list and the comparison:
// halves of the per-100 g place (12.25, 0.05), of the salt (0.125, 0.005) and
// of the energy (1234.5); vitamin B2 rounded through its four-decimal holder;
// a line whose food is gone; an empty dish; a name that needs CSV quoting.
QString reportSql()
{
    return minimalReferenceSql() +
           QStringLiteral(
               "INSERT INTO eys(SID,SNM,BID,ENC,SUI,TAN,SST,TST,TSS,KBN,CA,VB1,VB2,NAT) VALUES"
               " (1,'例の食品',20,100,80,0,0,0,0,0,0,0,0,0.5),"
               " (3,'端数の食品',20,1234.5,12.25,12.24,5,0.05,0.04,100,0.125,0.004999,"
               "0.004999,0.125),"
               " (6,'塩少々',20,0.44,0,0,0,0,0,0,0,0,0,0.005),"
               " (7,'未知の食品',20,NULL,50,NULL,1,NULL,NULL,1,NULL,NULL,NULL,NULL);"
               "INSERT INTO mnu(ID,アイテム名) VALUES (1,'例'),(2,'端数'),(3,'消えた食品'),"
               " (4,'空'),(5,'塩'),(6,'カレー, \"特製\"'),(7,'未知');"
               "INSERT INTO kou(アイテムCD,食品コード,数量,単位,数量2) VALUES"
               " (1,1,150,'ｇ',1.5),(2,3,100,'ｇ',1),(3,1,100,'ｇ',1),(3,999,100,'ｇ',1),"
               " (5,6,100,'ｇ',1),(6,1,1,'ｇ',0.01),(7,7,100,'ｇ',1),(7,1,100,'ｇ',1);");
}

QStringList panelOf(const Fmain &w)
{
    QStringList texts;
    for (const char *box :
         {"TexSumW100", "TexSumC", "TexNa", "Text5", "Text6", "Text7", "Text8", "Text10", "Text9"})
        texts << ctl<QLineEdit>(w, box)->text();
    return texts;
}

QString data(QWidget *kij, int e)
{
    return ctl<QLabel>(*kij, QStringLiteral("Data_%1").arg(e).toLatin1().constData())->text();
}

QString kdata(QWidget *kij, int e)
{
    return ctl<QLineEdit>(*kij, QStringLiteral("Kdata_%1").arg(e).toLatin1().constData())->text();
}

QStringList panelOf(const Export::PanelTexts &p)
{
    return {p.weight, p.energy, p.salt, p.water, p.protein, p.fat, p.sugar, p.fibre, p.ash};
}

// Splits a CSV document into records of fields (quotes undone).
QList<QStringList> parseCsv(const QString &text)
{
    QList<QStringList> records;
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text[i + 1] == QLatin1Char('"'))
                field += c, ++i;
            else if (c == QLatin1Char('"'))
                quoted = false;
            else
                field += c;
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            fields << field;
            field.clear();
        } else if (c == QLatin1Char('\r') && i + 1 < text.size() &&
                   text[i + 1] == QLatin1Char('\n')) {
            fields << field;
            records << fields;
            fields.clear();
            field.clear();
            ++i;
        } else {
            field += c;
        }
    }
    return records;
}

// The rows of one sheet as displayed texts.
QList<QStringList> sheetRows(const QString &path, const QString &sheet)
{
    XlsxReader reader;
    QString error;
    QList<QStringList> rows;
    if (!reader.open(path, &error))
        qWarning() << error;
    reader.readSheet(
        sheet,
        [&](int row, const QStringList &cells, QString *) {
            while (rows.size() < row - 1)
                rows << QStringList();
            rows << cells;
            return true;
        },
        &error);
    return rows;
}

QStringList rowStartingWith(const QList<QStringList> &rows, const QString &first)
{
    for (const QStringList &row : rows) {
        if (!row.isEmpty() && row.first() == first)
            return row;
    }
    return {};
}

struct Tool
{
    int exitCode = -1;
    QString message; // stderr
};

// Runs zento-export on the current folder's store.
Tool runTool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(ZENTO_EXPORT_TOOL),
                  QStringList{QStringLiteral("--store"), QStringLiteral("zento.dll")} + arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardError())};
}

QString pdfText(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

const Export::Dish *dishNamed(const std::vector<Export::Dish> &dishes, const QString &name)
{
    for (const Export::Dish &dish : dishes) {
        if (dish.name == name)
            return &dish;
    }
    return nullptr;
}

Export::Totals totalsOf(double grams, std::initializer_list<std::pair<const char *, double>> sums)
{
    Export::Totals t;
    t.lineWeight = grams / 100;
    for (const auto &[field, value] : sums)
        t.sums[Export::nutrientIndex(field)] = value;
    return t;
}

} // namespace

class TestExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpTestApplication(); }

    // Every figure written is the figure a window shows for that dish.
    void figuresEqualTheWindows()
    {
        DishWindow s(reportSql());
        const QString connection = s.started.program->DbConnectionString;
        std::vector<Export::Dish> dishes;
        QString error;
        QVERIFY2(Export::readDishes(connection, {}, 20, true, &dishes, &error), qPrintable(error));
        QCOMPARE(dishes.size(), size_t(7));

        // The totals panel, dish by dish.
        for (const Export::Dish &dish : dishes) {
            QVERIFY(s.goToDish(dish.name));
            QCOMPARE(panelOf(Export::panelTexts(dish.totals)), panelOf(s.w()));
        }
        const Export::Dish *halves = dishNamed(dishes, QStringLiteral("端数"));
        QCOMPARE(panelOf(Export::panelTexts(halves->totals)),
                 (QStringList{"100", "1,235", "0.13", "12.3", "12.2", "5", "0.1", "0", "100"}));

        // The dish list: every listed dish, by key.
        s.started.program->showDishList();
        QAbstractItemModel *list =
            ctl<DataGrid>(*s.started.program->dishList(), "DataGrid1")->model();
        QCOMPARE(list->rowCount(), 6); // not the empty dish
        for (int row = 0; row < list->rowCount(); ++row) {
            const qint64 key = list->index(row, 0).data().toLongLong();
            const auto found = std::find_if(dishes.begin(), dishes.end(),
                                            [&](const Export::Dish &d) { return d.key == key; });
            QVERIFY(found != dishes.end());
            const Export::ListTexts texts = Export::listTexts(found->totals);
            QCOMPARE((QStringList{texts.energy, texts.weight, texts.salt}),
                     (QStringList{list->index(row, 2).data().toString(),
                                  list->index(row, 3).data().toString(),
                                  list->index(row, 4).data().toString()}));
        }

        // The comparison window on the dish of halves.
        QVERIFY(s.goToDish(QStringLiteral("端数")));
        s.started.program->showComparison();
        FrmKij *kij = s.started.program->comparison();
        for (int e = 0; e <= 10; ++e) {
            if (e >= 2)
                QCOMPARE(Export::calculatedText(halves->comparison, e), data(kij, e));
            QCOMPARE(Export::standardText(halves->comparison, e), kdata(kij, e));
        }
        QCOMPARE(data(kij, 8), QStringLiteral("0.01")); // B2 through "0.0050"
        // The printed chart's scales are the window's.
        QCOMPARE(halves->comparison.chartScales,
                 ChartScale::fromStandards(ChartScale::referenceStandards(connection),
                                           RadarChart::fixedScales()));
        QCOMPARE(data(kij, 7), QStringLiteral("0"));

        const QString csvPath = s.folder.filePath(QStringLiteral("all.csv"));
        QVERIFY2(Export::writeCsv(csvPath, dishes, &error), qPrintable(error));
        QFile csv(csvPath);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QByteArray bytes = csv.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QVERIFY(!bytes.contains("\n") || bytes.count("\n") == bytes.count("\r\n"));
        // One table: every record has the heading's fields; every figure
        // is a number; the total rows hold the panel's figures.
        const QList<QStringList> records = parseCsv(QString::fromUtf8(bytes.mid(3)));
        const QStringList heading = records.first();
        QCOMPARE(QSet<QString>(heading.begin(), heading.end()).size(), heading.size());
        const int energyColumn = int(heading.indexOf(QStringLiteral("ｴﾈﾙｷﾞｰ(Kcal)")));
        const int saltColumn = int(heading.indexOf(QStringLiteral("食塩相当量(g)")));
        const int labelEnergy = int(heading.indexOf(QStringLiteral("表示 熱量(kcal)")));
        const int note = int(heading.indexOf(QStringLiteral("表示の注記")));
        // Every component of the table follows the label's columns.
        QCOMPARE(heading.mid(note + 1).size(), qsizetype(Export::extraComponents().size()) + 2);
        QCOMPARE(heading.mid(heading.size() - 2),
                 (QStringList{QStringLiteral("人分"), QStringLiteral("出来上がり重量(g)")}));
        QCOMPARE(heading.value(note + 1), QStringLiteral("廃棄率(%)"));
        QVERIFY(energyColumn > 0 && saltColumn > 0 && labelEnergy > 0);
        QMap<QString, int> kinds;
        for (const QStringList &r : records.mid(1)) {
            QCOMPARE(r.size(), heading.size());
            ++kinds[r[2]];
            const int basis = labelEnergy - 1;
            for (int c : {3, 5}) {
                if (!r[c].isEmpty())
                    QVERIFY2(NumberReader::number(r[c]), qPrintable(r[c]));
            }
            for (int c = 7; c < heading.size(); ++c) {
                if (c != basis && c != note && !r[c].isEmpty())
                    QVERIFY2(NumberReader::number(r[c]), qPrintable(r[c]));
            }
            const Export::Dish *dish = dishNamed(dishes, r[1]);
            QVERIFY(dish);
            if (r[2] == QStringLiteral("合計")) {
                const DishTotals p = Export::dishTotals(dish->totals);
                QCOMPARE(r[7], p.grams() ? NumberText::general(*p.grams()) : QString());
                QCOMPARE(r[saltColumn],
                         p.roundedSalt() ? NumberText::general(*p.roundedSalt()) : QString());
                QCOMPARE(r[energyColumn], Export::panelTexts(dish->totals).energy.remove(','));
            } else if (r[2] == QStringLiteral("栄養成分表示")) {
                QCOMPARE(r[note].left(12), Export::labelStatement());
            }
        }
        QCOMPARE(kinds.value(QStringLiteral("合計")), 7);
        QCOMPARE(kinds.value(QStringLiteral("栄養成分表示")), 7);
        QCOMPARE(kinds.value(QStringLiteral("明細")), 7); // not the line whose food is gone
        QVERIFY(bytes.contains("\"カレー, \"\"特製\"\"\""));

        // The workbook's cells, read back as the spreadsheet shows them.
        const QString xlsxPath = s.folder.filePath(QStringLiteral("all.xlsx"));
        const Tool xlsx =
            runTool({"--format", "xlsx", "--all", "--serving", "250", "--output", xlsxPath});
        QVERIFY2(xlsx.exitCode == 0, qPrintable(xlsx.message));
        XlsxReader reader;
        QVERIFY2(reader.open(xlsxPath, &error), qPrintable(error));
        QCOMPARE(reader.sheetNames().first(), Export::overviewSheetName());
        QCOMPARE(reader.sheetNames().size(), 8);
        const QList<QStringList> sheet = sheetRows(xlsxPath, QStringLiteral("端数"));
        const QStringList captions{"合計重量", "総カロリー", "食塩量", "水分", "タンパク質",
                                   "脂質",     "糖質",       "繊維",   "灰分"};
        const QStringList panel = panelOf(Export::panelTexts(halves->totals));
        for (int i = 0; i < captions.size(); ++i)
            QCOMPARE(rowStartingWith(sheet, captions[i]).value(1), panel[i]);
        QCOMPARE(rowStartingWith(sheet, QStringLiteral("ﾋﾞﾀﾐﾝB2")).value(1),
                 QStringLiteral("0.01"));
        QCOMPARE(rowStartingWith(sheet, QStringLiteral("熱量")).value(1),
                 QStringLiteral("236")); // 4 x 12.24 + 9 x 5 + 4 x 0.09 per 100 g, 250 g
        QCOMPARE(rowStartingWith(sheet, QStringLiteral("1食（250g）当たり")).size() > 0, true);
        // A figure of one significant figure shows all of its decimals.
        QVERIFY(runTool({"--format", "xlsx", "--dish", "端数", "--serving", "0.01", "--output",
                         "small.xlsx"})
                    .exitCode == 0);
        const QList<QStringList> small = sheetRows(QStringLiteral("small.xlsx"), "端数");
        const QString salt = rowStartingWith(small, QStringLiteral("食塩相当量")).value(1);
        QVERIFY2(salt.startsWith(QStringLiteral("0.0")) && salt.toDouble() > 0, qPrintable(salt));
        QVERIFY(sheet.last().first().startsWith(QStringLiteral("出典：")));
        const QList<QStringList> all = sheetRows(xlsxPath, Export::overviewSheetName());
        const QStringList row = rowStartingWith(all, QString::number(halves->key));
        QCOMPARE(row.mid(1, 4), (QStringList{"端数", "1,234.5", "100.0", "0.13"}));
        QVERIFY(all.last().first().startsWith(QStringLiteral("出典：")));
    }

    // The command-line tool: the files it writes and its one-line failures.
    void commandLine()
    {
        DishWindow s(reportSql());
        const Tool pdf = runTool({"--format", "pdf", "--dish", "端数", "--output", "one.pdf"});
        QVERIFY2(pdf.exitCode == 0, qPrintable(pdf.message));
        const QString text = pdfText(QStringLiteral("one.pdf"));
        for (const char *shown :
             {"端数", "端数の食品", "1,235", "0.13", "12.3", "栄養成分表示", "出典："})
            QVERIFY2(text.contains(QString::fromUtf8(shown)), shown);
        // The second page: the 栄養成分一覧 of the person asked for, by the
        // store's standards (the iron of a woman of 30-49, who may be
        // nursing).
        QVERIFY(s.folder.exec(QStringLiteral(
            "INSERT INTO kjz VALUES (30,49,0,0,'iron_mg','rda_menstruating',10.5,2025),"
            "(NULL,NULL,0,4,'iron_mg','rda',2.5,2025);")));
        const Tool sheet =
            runTool({"--format", "pdf", "--dish", "端数", "--age", "30", "--sex", "female", "--pal",
                     "high", "--stage", "lactation", "--per", "dish", "--output", "sheet.pdf"});
        QVERIFY2(sheet.exitCode == 0, qPrintable(sheet.message));
        const QString sheetText = pdfText(QStringLiteral("sheet.pdf"));
        for (const char *shown :
             {"栄養成分一覧", "30歳（30", "49歳）・女性・身体活動 高い・授乳中",
              "料理全体を1日分として比較", "エネルギー産生栄養素バランス", "1人分"})
            QVERIFY2(sheetText.contains(QString::fromUtf8(shown)), shown);

        const Tool label = runTool(
            {"--format", "label", "--dish", "2", "--serving", "250", "--output", "label.pdf"});
        QVERIFY2(label.exitCode == 0, qPrintable(label.message));
        const QString labelText = pdfText(QStringLiteral("label.pdf"));
        QVERIFY(labelText.contains(QStringLiteral("1食（250g）当たり")));
        QVERIFY(labelText.contains(QStringLiteral("236kcal")));

        const Tool csv =
            runTool({"--format", "csv", "--dish", "カレー, \"特製\"", "--output", "one.csv"});
        QCOMPARE(csv.exitCode, 0);
        QFile file(QStringLiteral("one.csv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("例の食品"));

        // Failures: one line, non-zero, nothing written.
        QFile broken(QStringLiteral("broken.dll"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write(QByteArray(4096, 'x'));
        broken.close();
        struct Case
        {
            QStringList arguments;
            const char *message;
        };
        const Case failures[] = {
            {{"--format", "csv", "--dish", "ない料理", "--output", "x.csv"}, "見つかりません"},
            {{"--format", "csv", "--all", "--output", "none/x.csv"}, "がありません"},
            {{"--format", "xlsx", "--all", "--output", "."}, "フォルダ"},
            {{"--format", "pdf", "--all", "--age", "101", "--output", "x.pdf"}, "--age"},
            {{"--format", "pdf", "--all", "--pal", "ふつう", "--output", "x.pdf"}, "--pal"},
            {{"--format", "pdf", "--all", "--per", "meal", "--output", "x.pdf"}, "--per"},
            {{"--format", "pdf", "--all", "--stage", "2", "--output", "x.pdf"}, "--stage"},
            {{"--format", "pdf", "--all", "--sex", "female", "--age", "70", "--stage", "late",
              "--output", "x.pdf"},
             "10～64歳"},
            {{"--format", "doc", "--all", "--output", "x.doc"}, "--format"},
        };
        for (const Case &c : failures) {
            const Tool t = runTool(c.arguments);
            QVERIFY2(t.exitCode != 0, qPrintable(c.arguments.join(' ')));
            QVERIFY2(t.message.contains(QString::fromUtf8(c.message)), qPrintable(t.message));
            QCOMPARE(t.message.count(QLatin1Char('\n')), 1);
        }
        QVERIFY(!QFile::exists(QStringLiteral("x.csv")));
        QVERIFY(!QFile::exists(QStringLiteral("x.pdf")));
        for (const char *store : {"missing.dll", "broken.dll"}) {
            QProcess process;
            process.start(QStringLiteral(ZENTO_EXPORT_TOOL),
                          {"--store", store, "--format", "csv", "--all", "--output", "x.csv"});
            process.waitForFinished(60000);
            QCOMPARE(process.exitCode(), 1);
            QCOMPARE(process.readAllStandardError().count('\n'), 1);
            QVERIFY(!QFile::exists(QStringLiteral("x.csv")));
        }
    }

    // A workbook large enough to be written in parts by several threads
    // reads, sheet by sheet, as each dish written alone; only its overview
    // is the sheet shown on opening.
    void workbookInPartsReadsAsWhole()
    {
        QString sql = reportSql() + QStringLiteral("INSERT INTO mnu(ID,アイテム名) VALUES ");
        QString lines =
            QStringLiteral("INSERT INTO kou(アイテムCD,食品コード,数量,単位,数量2) VALUES ");
        const int foods[] = {1, 3, 6, 7, 999};
        for (int d = 0; d < 30; ++d) {
            sql += QStringLiteral("%1(%2,'料理%3')").arg(d ? "," : "").arg(100 + d).arg(d);
            for (int l = 0; l < 40; ++l)
                lines += QStringLiteral("%1(%2,%3,%4,'ｇ',%5)")
                             .arg(d || l ? "," : "")
                             .arg(100 + d)
                             .arg(foods[(d + l) % 5])
                             .arg(l * 7 + d)
                             .arg((l * 7 + d) / 100.0);
        }
        TestFolder folder;
        QVERIFY(folder.makeStore(sql + QStringLiteral(";") + lines + QStringLiteral(";")));
        const Tool all = runTool({"--format", "xlsx", "--all", "--output", "all.xlsx"});
        QVERIFY2(all.exitCode == 0, qPrintable(all.message));
        XlsxReader reader;
        QString error;
        QVERIFY2(reader.open(QStringLiteral("all.xlsx"), &error), qPrintable(error));
        QCOMPARE(reader.sheetNames().size(), 38);
        for (int d = 0; d < 30; ++d) {
            const QString name = QStringLiteral("料理%1").arg(d);
            const Tool one = runTool(
                {"--format", "xlsx", "--dish", QString::number(100 + d), "--output", "one.xlsx"});
            QVERIFY2(one.exitCode == 0, qPrintable(one.message));
            QCOMPARE(sheetRows(QStringLiteral("all.xlsx"), name),
                     sheetRows(QStringLiteral("one.xlsx"), name));
        }
        QuaZip zip(QStringLiteral("all.xlsx"));
        QVERIFY(zip.open(QuaZip::mdUnzip));
        QStringList shown;
        for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
            QuaZipFile entry(&zip);
            QVERIFY(entry.open(QIODevice::ReadOnly));
            if (entry.readAll().contains("tabSelected=\"1\""))
                shown << zip.getCurrentFileName();
        }
        QCOMPARE(shown, QStringList{"xl/worksheets/sheet1.xml"});

        // More dishes than a workbook can hold sheets: refused, not wrapped.
        QVERIFY(folder.exec(QStringLiteral(
            "INSERT INTO mnu(ID,アイテム名) WITH RECURSIVE n(i) AS (SELECT 1000 UNION ALL "
            "SELECT i + 1 FROM n WHERE i < 67000) SELECT i, '多' || i FROM n")));
        const Tool many = runTool({"--format", "xlsx", "--all", "--output", "many.xlsx"});
        QVERIFY(many.exitCode != 0);
        QVERIFY2(many.message.contains(QStringLiteral("65,534")), qPrintable(many.message));
        QVERIFY(!QFile::exists(QStringLiteral("many.xlsx")));
    }

    // The ﾌｧｲﾙ menu's commands ask through the prompts and write or show.
    void menuCommands()
    {
        DishWindow s(reportSql());
        ScriptedPrompts &p = s.prompts();
        QVERIFY(s.w().findChild<ExportCommands *>());
        QStringList captions;
        for (QAction *action : s.w().findChild<QMenu *>(QStringLiteral("Me_file_menu"))->actions())
            captions << action->text();
        const qsizetype end = captions.indexOf(QStringLiteral("終了"));
        QVERIFY(end >= 4);
        QCOMPARE(captions.mid(end - 4, 5),
                 (QStringList{"エクスポート", "印刷", "PDF出力", "栄養成分表示", "終了"}));

        // The current dish as CSV.
        QVERIFY(s.goToDish(QStringLiteral("端数")));
        p.clear();
        p.choices = {0, 0};
        p.saveNames = {s.folder.filePath(QStringLiteral("dish.csv"))};
        ctl<QAction>(s.w(), "Me_file_export")->trigger();
        QFile csv(s.folder.filePath(QStringLiteral("dish.csv")));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QByteArray bytes = csv.readAll();
        QVERIFY(bytes.contains("端数の食品") && !bytes.contains("例の食品"));
        QCOMPARE(p.asked.last().icon, Prompts::Icon::Information);

        // A refused target: the message, and no file.
        p.clear();
        p.choices = {1, 0};
        p.saveNames = {s.folder.filePath(QStringLiteral("none/all.csv"))};
        ctl<QAction>(s.w(), "Me_file_export")->trigger();
        QCOMPARE(p.asked.last().icon, Prompts::Icon::Critical);
        QVERIFY(p.asked.last().prompt.contains(QStringLiteral("none")));

        // Printing all dishes paints the preview; an age out of range stops.
        p.clear();
        p.choices = {1, 1};
        p.inputs = {QStringLiteral("35")};
        ctl<QAction>(s.w(), "Me_file_print")->trigger();
        QCOMPARE(p.previews, 1);
        p.clear();
        p.inputs = {QStringLiteral("101")};
        ctl<QAction>(s.w(), "Me_file_pdf")->trigger();
        QCOMPARE(p.asked.last().icon, Prompts::Icon::Exclamation);

        // The label: a serving typed in full-width digits is read; a text
        // that is no weight is refused.
        p.clear();
        p.choices = {1};
        p.inputs = {QStringLiteral("２５０")};
        ctl<QAction>(s.w(), "Me_file_label")->trigger();
        QCOMPARE(p.previews, 1);
        QCOMPARE(Export::storedBasis(s.started.program->DbConnectionString, s.w().currentDish()),
                 Export::LabelBasis::meal(250));
        p.clear();
        p.choices = {2};
        ctl<QAction>(s.w(), "Me_file_label")->trigger();
        QCOMPARE(p.previews, 1);
        QCOMPARE(Export::storedBasis(s.started.program->DbConnectionString, s.w().currentDish()),
                 Export::LabelBasis::person());
        p.clear();
        p.choices = {1};
        p.inputs = {QStringLiteral("-5")};
        ctl<QAction>(s.w(), "Me_file_label")->trigger();
        QCOMPARE(p.previews, 0);
        QCOMPARE(p.asked.last().icon, Prompts::Icon::Exclamation);
    }

    // One row per edge of the label rules. Salt is given by its sodium per
    // 100 g (mg), as the "0" rule tests it; real foods where named.
    void labelFigures_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<double>("perHundred"); // kcal, g; sodium mg for salt
        QTest::addColumn<double>("serving");    // 0: per 100 g
        QTest::addColumn<QString>("figure");
        const int energy = int(Export::LabelItem::Energy);
        const int protein = int(Export::LabelItem::Protein);
        const int salt = int(Export::LabelItem::Salt);
        // Energy: whole kcal, "0" below 5 kcal per 100 g.
        QTest::newRow("energy 4.99 is 0") << energy << 4.99 << 0.0 << "0";
        QTest::newRow("energy 5 stays") << energy << 5.0 << 0.0 << "5";
        QTest::newRow("energy 5.5 up") << energy << 5.5 << 0.0 << "6";
        QTest::newRow("energy 5.49 down") << energy << 5.49 << 0.0 << "5";
        QTest::newRow("energy 4/100 g in 250 g") << energy << 4.0 << 250.0 << "0";
        QTest::newRow("energy 250 g") << energy << 123.0 << 250.0 << "308";
        QTest::newRow("energy 5/100 g in 5 g") << energy << 5.0 << 5.0 << "0.3";
        // Protein, fat, carbohydrate: one decimal, "0" below 0.5 g.
        QTest::newRow("protein 0.49 is 0") << protein << 0.49 << 0.0 << "0";
        QTest::newRow("protein 0.5 stays") << protein << 0.5 << 0.0 << "0.5";
        QTest::newRow("protein 2.25 up") << protein << 2.25 << 0.0 << "2.3";
        QTest::newRow("protein 2.24 down") << protein << 2.24 << 0.0 << "2.2";
        QTest::newRow("protein whole keeps .0") << protein << 21.0 << 0.0 << "21.0";
        QTest::newRow("protein 0.4/100 g in 250 g") << protein << 0.4 << 250.0 << "0";
        QTest::newRow("protein 0.5/100 g in 5 g") << protein << 0.5 << 5.0 << "0.03";
        // Salt = sodium x 2.54 / 1000: "0" below 5 mg of sodium, two decimals
        // below 0.1 g.
        QTest::newRow("sodium 4.9 is 0") << salt << 4.9 << 0.0 << "0";
        QTest::newRow("sodium 5.0 (キャベツ)") << salt << 5.0 << 0.0 << "0.01";
        QTest::newRow("sodium 15 (こまつな)") << salt << 15.0 << 0.0 << "0.04";
        QTest::newRow("sodium 37.4 is 0.094") << salt << 37.4 << 0.0 << "0.09";
        QTest::newRow("sodium 37.5 to one place") << salt << 37.5 << 0.0 << "0.1";
        QTest::newRow("salt 1.25 up") << salt << 1250 / 2.54 << 0.0 << "1.3";
        QTest::newRow("salt 1.24 down") << salt << 1240 / 2.54 << 0.0 << "1.2";
        QTest::newRow("salt 0.15/100 g in 3 g") << salt << 150 / 2.54 << 3.0 << "0.005";
        QTest::newRow("sodium 4.9 in 250 g") << salt << 4.9 << 250.0 << "0";
    }

    void labelFigures()
    {
        QFETCH(int, item);
        QFETCH(double, perHundred);
        QFETCH(double, serving);
        QFETCH(QString, figure);
        double amount = serving > 0 ? perHundred * serving / 100 : perHundred;
        if (Export::LabelItem(item) == Export::LabelItem::Salt)
            amount *= 2.54 / 1000;
        QCOMPARE(Export::labelFigure(Export::LabelItem(item), amount, perHundred), figure);
    }

    void labelOfDish()
    {
        // 200 g: per 100 g half of each sum. Carbohydrate 0.49 per 100 g is
        // below 0.5; energy 4 x 5 + 9 x 1 + 4 x 0.98 = 32.92 for the dish.
        Export::Totals t = totalsOf(200, {{"ENC", 250}, {"TAN", 5}, {"SST", 1.0}, {"NA", 600}});
        t.labelCarbohydrate = 0.98;
        t.labelSodium = 600;
        Export::NutritionLabel label = Export::nutritionLabel(t, std::nullopt);
        QCOMPARE(label.basis, QStringLiteral("100g当たり"));
        QStringList shown;
        for (const Export::LabelRow &r : label.rows)
            shown << r.name.toString() + r.figure + r.unit.toString();
        QCOMPARE(shown, (QStringList{"熱量16kcal", "たんぱく質2.5g", "脂質0.5g", "炭水化物0g",
                                     "食塩相当量0.8g"}));
        QVERIFY(label.note.isEmpty());

        label = Export::nutritionLabel(t, 250);
        QCOMPARE(label.basis, QStringLiteral("1食（250g）当たり"));
        QCOMPARE(label.rows[0].figure, QStringLiteral("41"));

        // A food without a protein value: energy and protein leave it out,
        // and the note says so.
        t.unknown[Export::nutrientIndex("TAN")] = true;
        label = Export::nutritionLabel(t, std::nullopt);
        QCOMPARE(label.note,
                 QStringLiteral("※ 熱量・たんぱく質は、値が未知（-）の食品を含まない値です。"));
        t.labelCarbohydrateUnknown = true;
        QVERIFY(
            Export::nutritionLabel(t, std::nullopt).note.contains(QStringLiteral("・炭水化物")));

        // No weight: no figures.
        label = Export::nutritionLabel(Export::Totals{}, std::nullopt);
        QCOMPARE(label.rows[0].figure, QStringLiteral("-"));
        QVERIFY(!label.note.isEmpty());
    }

    void csvQuoting_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QByteArray>("record");
        QTest::newRow("plain") << QStringList{"a", "米", ""} << QByteArray("a,米,\r\n");
        QTest::newRow("comma") << QStringList{"a,b"} << QByteArray("\"a,b\"\r\n");
        QTest::newRow("quote") << QStringList{"5\""} << QByteArray("\"5\"\"\"\r\n");
        // No field carries a live formula or a control character.
        QTest::newRow("line break, NUL, ESC")
            << QStringList{"a\nb", "c\r", QString::fromUtf8("d\0e\x1b[2Jf", 9)}
            << QByteArray("ab,c,de[2Jf\r\n");
        QTest::newRow("formula starts")
            << QStringList{"=1+2", "+SUM(A1)", "-2+3", "@A1", "\tx", "\r=x"}
            << QByteArray("'=1+2,'+SUM(A1),'-2+3,'@A1,'\tx,'=x\r\n");
        QTest::newRow("hyperlink and command")
            << QStringList{"=HYPERLINK(\"http://x\",\"click\")", "=cmd|' /C calc'!A0"}
            << QByteArray(
                   "\"'=HYPERLINK(\"\"http://x\"\",\"\"click\"\")\",'=cmd|' /C calc'!A0\r\n");
        QTest::newRow("numbers stay numbers") << QStringList{"-1.5", "1,810", "a=b", "米 -"}
                                              << QByteArray("-1.5,\"1,810\",a=b,米 -\r\n");
    }

    void csvQuoting()
    {
        QFETCH(QStringList, fields);
        QFETCH(QByteArray, record);
        QCOMPARE(Export::csvRecord(fields), record);
    }

    // The CSV's fast number form is the boxes' general decimal form.
    void csvNumbers_data()
    {
        QTest::addColumn<double>("value");
        for (double v : {0.0,
                         -0.0,
                         1.0,
                         150.0,
                         0.75,
                         12.25,
                         0.1 + 0.2,
                         1.5 * 123.456,
                         2.0 / 3,
                         -4.5,
                         1e-4,
                         0.000099999999999999999,
                         9.9e-5,
                         123456789012345.0,
                         999999999999999.9,
                         1e15,
                         1e16,
                         1e-20,
                         0.285 * 100,
                         5850.0 * 0.15})
            QTest::newRow(qPrintable(QString::number(v, 'g', 17))) << v;
    }

    void csvNumbers()
    {
        QFETCH(double, value);
        QCOMPARE(QString::fromLatin1(Export::csvNumber(value)), NumberText::general(value));
    }

    // The same over many values: products of quantities and table values as
    // the lines hold them, every magnitude, and decimals of 16 digits ending
    // in 5 (the half-way case).
    void csvNumbersSweep()
    {
        QRandomGenerator random(20261207);
        int checked = 0;
        for (int i = 0; i < 100000; ++i) {
            const double quantity = random.bounded(100000) / 100.0;
            const double table = random.bounded(100000) / 10.0;
            const double magnitude = std::pow(10.0, random.bounded(-6, 17));
            const QString tie =
                QStringLiteral("%1.%2%3")
                    .arg(1 + random.bounded(9))
                    .arg(random.bounded(1'000'000'000) * 100'000LL + random.bounded(100'000), 14,
                         10, QLatin1Char('0'))
                    .arg(5);
            for (double value : {quantity * table / 100, random.generateDouble() * magnitude,
                                 -random.generateDouble() * magnitude, tie.toDouble()}) {
                const QString general = NumberText::general(value);
                if (QString::fromLatin1(Export::csvNumber(value)) != general)
                    QFAIL(qPrintable(QStringLiteral("%1: %2, not %3")
                                         .arg(QString::number(value, 'g', 17),
                                              QString::fromLatin1(Export::csvNumber(value)),
                                              general)));
                ++checked;
            }
        }
        QCOMPARE(checked, 400000);
    }

    void sheetNames_data()
    {
        QTest::addColumn<QStringList>("dishes");
        QTest::addColumn<QStringList>("sheets");
        QTest::newRow("forbidden characters")
            << QStringList{"a/b[c]:d*e?f\\g"} << QStringList{"a_b_c__d_e_f_g"};
        QTest::newRow("31 characters")
            << QStringList{QString(40, QChar(u'あ'))} << QStringList{QString(31, QChar(u'あ'))};
        QTest::newRow("same names, any case")
            << QStringList{"Soup", "soup", "SOUP"} << QStringList{"Soup", "soup(2)", "SOUP(3)"};
        QTest::newRow("long duplicates stay short")
            << QStringList{QString(35, QChar(u'x')), QString(35, QChar(u'x'))}
            << QStringList{QString(31, QChar(u'x')), QString(28, QChar(u'x')) + "(2)"};
        QTest::newRow("apostrophes, empty, reserved")
            << QStringList{"'引用'", "", "history", "一覧"}
            << QStringList{"引用", "料理7", "料理7(2)", "一覧(2)"};
    }

    void sheetNames()
    {
        QFETCH(QStringList, dishes);
        QFETCH(QStringList, sheets);
        QSet<QString> used;
        Export::sheetName(Export::overviewSheetName(), 0, &used);
        QStringList names;
        for (const QString &dish : dishes)
            names << Export::sheetName(dish, 7, &used);
        QCOMPARE(names, sheets);
    }

    // A target that cannot be written gives a message and leaves nothing
    // under the final name; an older file of that name stays whole.
    void badTargets_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing folder") << "nowhere/out.csv"
                                        << "がありません";
        QTest::newRow("a folder's name") << "folder"
                                         << "同じ名前のフォルダ";
        QTest::newRow("no name") << ""
                                 << "ファイル名がありません";
    }

    void badTargets()
    {
        QFETCH(QString, target);
        QFETCH(QString, message);
        TestFolder folder;
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("folder")));
        const std::vector<Export::Dish> dishes(1);
        for (int kind = 0; kind < 2; ++kind) {
            QString error;
            const bool written = kind == 0 ? Export::writeCsv(target, dishes, &error)
                                           : Export::writeWorkbook(target, dishes, &error);
            QVERIFY(!written);
            QVERIFY2(error.contains(message), qPrintable(error));
            QVERIFY(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
        }
    }

    void replacesOlderFileWhole()
    {
        TestFolder folder;
        QFile old(folder.filePath(QStringLiteral("out.csv")));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();
        std::vector<Export::Dish> dishes(1);
        dishes[0].name = QStringLiteral("新しい");
        QString error;
        QVERIFY(Export::writeCsv(folder.filePath(QStringLiteral("out.csv")), dishes, &error));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QVERIFY(old.readAll().contains("新しい"));
        // No temporary file is left beside it.
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("out.csv")});
    }

    // An output that is the store itself, a device, a FIFO or a folder is
    // refused with one line; none is replaced, the store stays whole.
    void outputTargetsAreRefused_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("said");
        QTest::newRow("the store by another name") << "./link.dll"
                                                   << "データベースそのもの";
        QTest::newRow("device") << "/dev/null"
                                << "装置";
        QTest::newRow("FIFO") << "pipe"
                              << "FIFO";
        QTest::newRow("folder") << "folder"
                                << "フォルダ";
    }

    void outputTargetsAreRefused()
    {
        QFETCH(QString, target);
        QFETCH(QString, said);
        TestFolder folder;
        QVERIFY(folder.makeDemoStore());
        QVERIFY(QFile::link(folder.filePath(QStringLiteral("zento.dll")),
                            folder.filePath(QStringLiteral("link.dll"))));
        QVERIFY(QProcess::execute(QStringLiteral("mkfifo"), {folder.filePath("pipe")}) == 0);
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("folder")));
        const QByteArray store = [&] {
            QFile file(folder.filePath(QStringLiteral("zento.dll")));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        const QFileInfo before(target);
        for (const char *format : {"csv", "xlsx"}) {
            const Tool tool = runTool({"--format", format, "--all", "--output", target});
            QCOMPARE(tool.exitCode, 1);
            QVERIFY2(tool.message.contains(said), qPrintable(tool.message));
            QCOMPARE(tool.message.count(QLatin1Char('\n')), 1);
        }
        QString error;
        QVERIFY(!Backup::copyFile(QStringLiteral("zento.dll"), target, &error));
        QVERIFY2(error.contains(said) || error.contains(QStringLiteral("そのもの")),
                 qPrintable(error));
        const QFileInfo after(target);
        QCOMPARE(after.isFile(), before.isFile());
        QCOMPARE(after.isDir(), before.isDir());
        QFile file(folder.filePath(QStringLiteral("zento.dll")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), store);
    }
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
