// The importer of the official reference data: the food table workbook, the
// readings, the standards, a new store made from them and the refresh of an
// existing store.
#include "core/nutrition/nutrients.h"
#include "core/store/schema.h"
#include "tests/support/testsupport.h"
#include "tools/foodtable.h"
#include "tools/readings.h"
#include "tools/referencedata.h"
#include "tools/standards.h"
#include "tools/storebuilder.h"
#include "tools/xlsxreader.h"

#include <QDir>
#include <QFile>
#include <QtTest>
#include <quazip.h>
#include <quazipfile.h>
#include <sqlite3.h>

namespace {

const QString shared = QStringLiteral(ZENTO_REFERENCE_DATA);

QString sharedFile(const QString &name)
{
    return shared + QLatin1Char('/') + name;
}

// RFC 4180: quoted fields may hold commas, quotes ("") and line breaks.
QList<QStringList> readCsv(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(file.readAll());
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            row << field;
            field.clear();
        } else if (c == QLatin1Char('\n')) {
            rows << (row << field);
            row.clear();
            field.clear();
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty())
        rows << (row << field);
    return rows;
}

// A workbook written by the test: the sheet 表全体 with a header and the rows
// given, one per-group sheet, and one number format "\(0.0\)" (style 1).
struct Workbook
{
    QString mainSheetName = QStringLiteral("表全体");
    QStringList tags;        // the tag row from column E on
    QList<QStringList> rows; // data rows from column A on; "#n:" marks a number with style 1

    Workbook()
    {
        for (const char *tag : FoodTable::tags)
            tags << QString::fromLatin1(tag);
    }

    static QString cell(int column, int row, const QString &text)
    {
        const QString ref = XlsxReader::columnName(column) + QString::number(row);
        if (text.startsWith(QLatin1String("#n:")))
            return QStringLiteral("<c r=\"%1\" s=\"1\"><v>%2</v></c>").arg(ref, text.mid(3));
        return QStringLiteral("<c r=\"%1\" t=\"inlineStr\"><is><t>%2</t></is></c>")
            .arg(ref, text.toHtmlEscaped());
    }

    QByteArray sheet() const
    {
        QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet "
                                     "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/"
                                     "main\"><sheetData>");
        xml += QStringLiteral("<row r=\"1\">") + cell(0, 1, QStringLiteral("食　品　群")) +
               cell(1, 1, QStringLiteral("食品番号")) + cell(3, 1, QStringLiteral("食品名")) +
               QStringLiteral("</row><row r=\"2\">") + cell(3, 2, QStringLiteral("成分識別子"));
        for (int i = 0; i < tags.size(); ++i)
            xml += cell(4 + i, 2, tags[i]);
        xml += QStringLiteral("</row>");
        for (int r = 0; r < rows.size(); ++r) {
            xml += QStringLiteral("<row r=\"%1\">").arg(r + 3);
            for (int c = 0; c < rows[r].size(); ++c)
                xml += cell(c, r + 3, rows[r][c]);
            xml += QStringLiteral("</row>");
        }
        return (xml + QStringLiteral("</sheetData></worksheet>")).toUtf8();
    }

    bool write(const QString &path) const
    {
        const QString ns = QStringLiteral(
            "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
            "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"");
        const QList<QPair<QString, QByteArray>> parts = {
            {QStringLiteral("xl/workbook.xml"),
             QStringLiteral(
                 "<workbook %1><sheets><sheet name=\"%2\" sheetId=\"1\" r:id=\"rId1\"/>"
                 "<sheet name=\"1穀類\" sheetId=\"2\" r:id=\"rId2\"/></sheets></workbook>")
                 .arg(ns, mainSheetName)
                 .toUtf8()},
            {QStringLiteral("xl/_rels/workbook.xml.rels"),
             "<Relationships "
             "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
             "<Relationship Id=\"rId1\" Type=\"x/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
             "<Relationship Id=\"rId2\" Type=\"x/worksheet\" Target=\"worksheets/sheet2.xml\"/>"
             "</Relationships>"},
            {QStringLiteral("xl/styles.xml"),
             QStringLiteral("<styleSheet %1><numFmts count=\"1\"><numFmt numFmtId=\"178\" "
                            "formatCode=\"\\(0.0\\)\"/></numFmts><cellXfs count=\"2\"><xf "
                            "numFmtId=\"0\"/><xf numFmtId=\"178\"/></cellXfs></styleSheet>")
                 .arg(ns)
                 .toUtf8()},
            {QStringLiteral("xl/worksheets/sheet1.xml"), sheet()},
            {QStringLiteral("xl/worksheets/sheet2.xml"),
             QStringLiteral("<worksheet %1><sheetData/></worksheet>").arg(ns).toUtf8()},
        };
        QuaZip zip(path);
        if (!zip.open(QuaZip::mdCreate))
            return false;
        for (const auto &[name, data] : parts) {
            QuaZipFile file(&zip);
            if (!file.open(QIODevice::WriteOnly, QuaZipNewInfo(name)))
                return false;
            file.write(data);
            file.close();
        }
        zip.close();
        return zip.getZipError() == 0;
    }
};

// One food row for the test workbook: every value 1, the ones named set.
QStringList foodRow(const QString &number, const QMap<QString, QString> &values = {})
{
    QStringList row = {number.left(2), number, QString(), QStringLiteral("試験食品　生")};
    for (const char *tag : FoodTable::tags)
        row << values.value(QString::fromLatin1(tag), QStringLiteral("1"));
    return row;
}

// A data folder: the workbook given and copies of the two standards tables.
bool makeDataDir(const QString &dir, const Workbook &book)
{
    QDir().mkpath(dir + QStringLiteral("/food-table"));
    QDir().mkpath(dir + QStringLiteral("/standards"));
    return book.write(dir + QStringLiteral("/food-table/table.xlsx")) &&
           QFile::copy(sharedFile(QStringLiteral("standards/dri-2025.csv")),
                       dir + QStringLiteral("/standards/dri-2025.csv")) &&
           QFile::copy(sharedFile(QStringLiteral("standards/dri-2020.csv")),
                       dir + QStringLiteral("/standards/dri-2020.csv"));
}

bool writeText(const QString &path, const QString &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0;
}

} // namespace

class TestImporter : public QObject
{
    Q_OBJECT

    ReferenceData::Data m_data;          // the official data, read once
    std::unique_ptr<TestFolder> m_store; // a store made from it, for the tests that only read

    QVariant query(const QString &sql) { return m_store->scalar(sql); }

    // A new store in the folder's zento.dll from the official data.
    bool buildStore(TestFolder &folder)
    {
        QString error;
        const bool ok = StoreBuilder::build(
            folder.filePath(QStringLiteral("zento.dll")),
            [&](sqlite3 *db, QString *err) { return ReferenceData::write(db, m_data, err); },
            &error);
        if (!ok)
            qWarning("%s", qPrintable(error));
        return ok;
    }

    void refreshWays()
    {
        QTest::addColumn<bool>("fromStore");
        QTest::newRow("from the data") << false;
        QTest::newRow("from a ready store") << true;
    }

    bool refresh(bool fromStore, const QString &store, ReferenceData::RefreshResult *result,
                 QString *error)
    {
        if (!fromStore)
            return ReferenceData::refresh(store, m_data, result, error);
        return ReferenceData::refreshFrom(store, m_store->filePath(QStringLiteral("zento.dll")),
                                          result, error);
    }

private slots:
    void initTestCase()
    {
        const ReferenceData::Sources sources = ReferenceData::locate(shared);
        QVERIFY2(sources.complete(), qPrintable(sources.howToGetMissing()));
        QString error;
        QVERIFY2(ReferenceData::load(sources, &m_data, &error), qPrintable(error));
        m_store = std::make_unique<TestFolder>();
        QVERIFY(buildStore(*m_store));
    }

    void cleanupTestCase() { m_store.reset(); }

    // --- cells and markers ---------------------------------------------------

    void markers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("known");
        QTest::addColumn<double>("number");
        QTest::newRow("number") << "12.3" << true << true << 12.3;
        QTest::newRow("estimated") << "(12.3)" << true << true << 12.3;
        QTest::newRow("estimated none") << "(0)" << true << true << 0.0;
        QTest::newRow("trace") << "Tr" << true << true << 0.0;
        QTest::newRow("estimated trace") << "(Tr)" << true << true << 0.0;
        QTest::newRow("not determined") << "-" << true << false << 0.0;
        QTest::newRow("see remarks") << "*" << true << false << 0.0;
        QTest::newRow("dagger") << "14.0†" << true << true << 14.0;
        QTest::newRow("full-width parentheses") << "（0.1）" << true << true << 0.1;
        QTest::newRow("empty") << "" << false << false << 0.0;
        QTest::newRow("word") << "abc" << false << false << 0.0;
        QTest::newRow("negative") << "-1.5" << false << false << 0.0;
        QTest::newRow("two points") << "1.2.3" << false << false << 0.0;
        QTest::newRow("comma") << "1,200" << false << false << 0.0;
        QTest::newRow("open parenthesis") << "(12" << false << false << 0.0;
        QTest::newRow("dagger alone") << "†" << false << false << 0.0;
        QTest::newRow("dash in parentheses") << "(-)" << false << false << 0.0;
    }
    void markers()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QFETCH(bool, known);
        QFETCH(double, number);
        const std::optional<FoodTable::Value> v = FoodTable::parseCell(text);
        QCOMPARE(v.has_value(), accepted);
        if (v) {
            QCOMPARE(v->known, known);
            QCOMPARE(v->number, number);
        }
    }

    // Every component the store keeps, 炭水化物 among them, is the table's own
    // value, and sbn.MRK says how the table wrote it: "-" stays unknown.
    void componentsAsTheTableGivesThem()
    {
        using namespace Components;
        int unknown = 0;
        for (const FoodTable::Food &food : std::as_const(m_data.foods.foods)) {
            const QString markers =
                query(QStringLiteral("SELECT MRK FROM sbn WHERE SID=%1").arg(food.number))
                    .toString();
            for (const char *code : {"CHOCDF", "MG", "ZN", "VITD", "FOL", "REFUSE"}) {
                const int i = indexOf(QString::fromLatin1(code));
                const FoodTable::Value v = FoodTable::componentValue(food, i);
                const QVariant stored = query(QStringLiteral("SELECT %1 FROM sbn WHERE SID=%2")
                                                  .arg(QLatin1StringView(code))
                                                  .arg(food.number));
                QCOMPARE(stored.isNull(), !v.known);
                if (v.known)
                    QCOMPARE(stored.toDouble(), v.number);
                QCOMPARE(markerAt(markers, i), v.marker);
                unknown += v.marker == Marker::Unknown;
            }
        }
        QVERIFY(unknown > 0); // the table does leave some of these undetermined
    }

    void derivedFields_data()
    {
        QTest::addColumn<QString>("carbohydrate");
        QTest::addColumn<QString>("fibre");
        QTest::addColumn<QString>("retinolActivity");
        QTest::addColumn<QVariant>("sugar"); // null: no value
        QTest::addColumn<QVariant>("units");
        QTest::newRow("difference") << "64.9"
                                    << "7.4"
                                    << "2" << QVariant(57.5) << QVariant(20.0 / 3);
        QTest::newRow("never below 0") << "0.4"
                                       << "1.3"
                                       << "Tr" << QVariant(0.0) << QVariant(0.0);
        QTest::newRow("fibre unknown") << "34.4"
                                       << "-"
                                       << "(0)" << QVariant(34.4) << QVariant(0.0);
        QTest::newRow("fibre trace") << "7.9"
                                     << "(Tr)"
                                     << "210" << QVariant(7.9) << QVariant(700.0);
        QTest::newRow("carbohydrate unknown") << "-"
                                              << "1.0"
                                              << "-" << QVariant() << QVariant();
        QTest::newRow("estimated") << "(5.7)"
                                   << "(2.7)"
                                   << "(140)" << QVariant(3.0) << QVariant(1400.0 / 3);
    }
    void derivedFields()
    {
        QFETCH(QString, carbohydrate);
        QFETCH(QString, fibre);
        QFETCH(QString, retinolActivity);
        QFETCH(QVariant, sugar);
        QFETCH(QVariant, units);
        FoodTable::Food food;
        food.values[FoodTable::tagIndex(QStringLiteral("CHOCDF-"))] =
            *FoodTable::parseCell(carbohydrate);
        food.values[FoodTable::tagIndex(QStringLiteral("FIB-"))] = *FoodTable::parseCell(fibre);
        food.values[FoodTable::tagIndex(QStringLiteral("VITA_RAE"))] =
            *FoodTable::parseCell(retinolActivity);
        auto field = [&](const char *name) {
            for (const FoodTable::FieldMapping &m : FoodTable::fieldMappings)
                if (qstrcmp(m.field, name) == 0)
                    return FoodTable::fieldValue(food, m);
            return FoodTable::Value::none();
        };
        const FoodTable::Value tst = field("TST"), vak = field("VAK");
        QCOMPARE(tst.known, !sugar.isNull());
        QCOMPARE(vak.known, !units.isNull());
        if (tst.known)
            QCOMPARE(tst.number, sugar.toDouble()); // exact: no floating-point remainder
        if (vak.known)
            QCOMPARE(vak.number, units.toDouble());
        // Fibre is copied as it is into both fibre fields.
        QCOMPARE(field("TSS").known, fibre != QLatin1String("-"));
        QCOMPARE(field("FIB").number, field("TSS").number);
    }

    void mappingCoversTheStoreFields()
    {
        // Every value field of eys is filled from the table, and nothing else.
        QStringList mapped, store = {QStringLiteral("ENJ")};
        for (const FoodTable::FieldMapping &m : FoodTable::fieldMappings) {
            mapped << QString::fromLatin1(m.field);
            QVERIFY2(FoodTable::tagIndex(QString::fromLatin1(m.tag)) >= 0, m.tag);
        }
        for (const Nutrients::Nutrient &n : Nutrients::all)
            store << QString(n.field);
        mapped.sort();
        store.sort();
        QCOMPARE(mapped, store);
    }

    // --- number formats --------------------------------------------------------

    void numberFormats_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("shown");
        QTest::newRow("general noise") << 64.900000000000006 << "General"
                                       << "64.9";
        QTest::newRow("general small") << 7.0000000000000007E-2 << "General"
                                       << "0.07";
        QTest::newRow("general 10 digits") << 1.23456789012 << "General"
                                           << "1.23456789";
        QTest::newRow("parenthesised general") << 0.0 << "\\(General\\)"
                                               << "(0)";
        QTest::newRow("parenthesised fixed") << 84.4 << "\\(0.0\\)"
                                             << "(84.4)";
        QTest::newRow("half up") << 2.25 << "\\(0.0\\)"
                                 << "(2.3)";
        QTest::newRow("decimal half up") << 2.675 << "0.00"
                                         << "2.68";
        QTest::newRow("padding") << 9.0 << "0.0_ "
                                 << "9.0";
        QTest::newRow("negative section") << -1.25 << "0.0_);\\(0.0\\)"
                                          << "(1.3)";
        QTest::newRow("no section for negatives") << -1.5 << "0.0"
                                                  << "-1.5";
        QTest::newRow("quoted text") << 3.0 << "0\" g\""
                                     << "3 g";
        QTest::newRow("grouping") << 12345.0 << "#,##0"
                                  << "12,345";
        QTest::newRow("optional decimals") << 1.5 << "0.0#"
                                           << "1.5";
        QTest::newRow("percent") << 0.25 << "0%"
                                 << "25%";
    }
    void numberFormats()
    {
        QFETCH(double, value);
        QFETCH(QString, format);
        QFETCH(QString, shown);
        QString text;
        QVERIFY(XlsxReader::renderNumber(value, format, &text));
        QCOMPARE(text, shown);
    }

    void unknownFormatsAreRefused()
    {
        QString text = QStringLiteral("untouched");
        for (const char *format : {"yyyy-mm-dd", "0.00E+00", "# ?/?", "h:mm"})
            QVERIFY2(!XlsxReader::renderNumber(45000, QString::fromLatin1(format), &text), format);
        QCOMPARE(text, QStringLiteral("untouched"));
        QCOMPARE(XlsxReader::renderText(QStringLiteral("4.2"), QStringLiteral("\\(@\\)")),
                 QStringLiteral("(4.2)"));
        QCOMPARE(XlsxReader::renderText(QStringLiteral("Tr"), QStringLiteral("\\(0.0\\)")),
                 QStringLiteral("Tr"));
    }

    // --- the official workbook -------------------------------------------------

    void workbookEqualsTheCsvCellForCell()
    {
        // The CSV shows every cell of 表全体 as Excel does; columns.csv says
        // which sheet column each CSV column comes from.
        const QList<QStringList> csv =
            readCsv(sharedFile(QStringLiteral("food-table/mext-2023-table1.csv")));
        const QList<QStringList> columns =
            readCsv(sharedFile(QStringLiteral("food-table/columns.csv")));
        QCOMPARE(csv.size(), 2539);
        QCOMPARE(columns.size(), csv[0].size() + 1);
        QList<int> sheetColumn;
        for (int i = 1; i < columns.size(); ++i) {
            QCOMPARE(columns[i][0], csv[0][i - 1]);
            int c = -1;
            for (int k = 0; k < 100 && c < 0; ++k)
                if (XlsxReader::columnName(k) == columns[i][1])
                    c = k;
            sheetColumn << c;
        }

        XlsxReader book;
        QString error;
        QVERIFY2(book.open(sharedFile(QStringLiteral(
                               "food-table/20230428-mxt_kagsei-mext_00001_012.xlsx")),
                           &error),
                 qPrintable(error));
        int compared = 0;
        QStringList differences;
        const bool ok = book.readSheet(
            QStringLiteral("表全体"),
            [&](int row, const QStringList &cells, QString *) {
                if (row < 13 || row - 12 >= csv.size())
                    return true;
                const QStringList &expected = csv[row - 12];
                for (int i = 0; i < expected.size(); ++i) {
                    const QString shown = cells.value(sheetColumn[i]);
                    if (shown != expected[i] && differences.size() < 10)
                        differences << QStringLiteral("row %1 %2: %3 / %4")
                                           .arg(row)
                                           .arg(csv[0][i], shown, expected[i]);
                    ++compared;
                }
                return true;
            },
            &error);
        QVERIFY2(ok, qPrintable(error));
        QVERIFY2(differences.isEmpty(), qPrintable(differences.join(QLatin1Char('\n'))));
        QCOMPARE(compared, 2538 * csv[0].size());
    }

    void officialTableCounts()
    {
        QCOMPARE(m_data.foods.foods.size(), 2538);
        QCOMPARE(m_data.foods.groups.size(), 18);
        QCOMPARE(m_data.foods.groups.value(1), QStringLiteral("穀類"));
        QCOMPARE(m_data.foods.groups.value(16), QStringLiteral("し好飲料類"));
        QCOMPARE(m_data.foods.groups.value(18), QStringLiteral("調理済み流通食品類"));
        QCOMPARE(m_data.readings.size(), 2538);
    }

    // --- a new store -------------------------------------------------------------

    void newStore()
    {
        TestFolder folder;
        QVERIFY(buildStore(folder));
        QCOMPARE(folder.count(QStringLiteral("eys")), 2538);
        // Keys are the food numbers: 01001 is 1001.
        QCOMPARE(folder.scalar(QStringLiteral("SELECT SNM FROM eys WHERE SID=1001")).toString(),
                 QStringLiteral("アマランサス　玄穀"));
        QVERIFY(folder.scalar(QStringLiteral("SELECT max(SID) FROM eys")).toInt() <
                Schema::firstUserFoodId);
        QCOMPARE(folder.count(QStringLiteral("bun")), 19);
        QCOMPARE(folder.scalar(QStringLiteral("SELECT 分類名 FROM bun WHERE 分類№=20")).toString(),
                 QStringLiteral("登録食品"));
        QCOMPARE(folder
                     .scalar(QStringLiteral("SELECT count(*) FROM eys WHERE BID NOT IN"
                                            " (SELECT 分類№ FROM bun WHERE 分類№<=18)"))
                     .toInt(),
                 0);
        QCOMPARE(folder.scalar(QStringLiteral("SELECT group_concat(TNM||'='||KAK, ' ') FROM tni"))
                     .toString(),
                 QStringLiteral("ｇ=1.0 kg=1000.0 小さじ=5.0 大さじ=15.0 ｶｯﾌﾟ=200.0 合=150.0"));

        // A food the user registers next gets a key above every food number.
        QVERIFY(folder.exec(QStringLiteral("INSERT INTO eys(SNM, BID) VALUES ('自家製', 20)")));
        QCOMPARE(folder.scalar(QStringLiteral("SELECT SID FROM eys WHERE SNM='自家製'")).toInt(),
                 100000);
    }

    void storedValues_data()
    {
        QTest::addColumn<int>("sid");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value"); // null: stored as NULL
        QTest::newRow("energy") << 1083 << "ENC" << QVariant(342.0);
        QTest::newRow("kilojoules") << 1083 << "ENJ" << QVariant(1455.0);
        QTest::newRow("sugar") << 1083 << "TST" << QVariant(77.1);
        QTest::newRow("sugar never below 0") << 4040 << "TST" << QVariant(0.0);
        QTest::newRow("sugar without fibre") << 1177 << "TST" << QVariant(34.4);
        QTest::newRow("fibre not determined") << 1177 << "TSS" << QVariant();
        QTest::newRow("fibre with dagger") << 3032 << "FIB" << QVariant(14.0);
        QTest::newRow("retinol not determined") << 3032 << "VAR" << QVariant();
        QTest::newRow("vitamin A units") << 12004 << "VAK" << QVariant(700.0);
        QTest::newRow("niacin equivalents") << 12004 << "NAI" << QVariant(3.2);
        QTest::newRow("trace") << 17007 << "TSS" << QVariant(0.0);
        QTest::newRow("estimated none") << 13003 << "FIB" << QVariant(0.0);
        QTest::newRow("two decimals") << 13003 << "FE" << QVariant(0.02);
        QTest::newRow("salt") << 17007 << "NAT" << QVariant(14.5);
        QTest::newRow("category") << 17007 << "BID" << QVariant(17.0);
    }
    void storedValues()
    {
        QFETCH(int, sid);
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        const QVariant stored =
            query(QStringLiteral("SELECT %1 FROM eys WHERE SID=%2").arg(field).arg(sid));
        QCOMPARE(stored.isNull(), value.isNull());
        if (!value.isNull())
            QCOMPARE(stored.toDouble(), value.toDouble());
    }

    void readingsAreHalfWidthKatakana()
    {
        static const QRegularExpression halfWidth(QStringLiteral("^[\\x{FF66}-\\x{FF9F}0-9% ]+$"));
        for (int i = 0; i < m_data.readings.size(); ++i)
            QVERIFY2(
                halfWidth.match(m_data.readings[i]).hasMatch(),
                qPrintable(m_data.foods.foods[i].name + QLatin1Char(' ') + m_data.readings[i]));
    }

    void readingSearchFindsCommonFoods_data()
    {
        // What a user types for the food, and the reading checked by hand.
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("sid");
        QTest::addColumn<QString>("reading");
        QTest::newRow("牛乳") << "ｷﾞｭｳﾆｭｳ" << 13003 << "ｷﾞｭｳﾆｭｳｵﾖﾋﾞﾆｭｳｾｲﾋﾝ ｴｷｼﾞｮｳﾆｭｳﾙｲ ﾌﾂｳｷﾞｭｳﾆｭｳ";
        QTest::newRow("鶏卵") << "ｹｲﾗﾝ" << 12004 << "ｹｲﾗﾝ ｾﾞﾝﾗﾝ ﾅﾏ";
        QTest::newRow("だいこん") << "ﾀﾞｲｺﾝ" << 6132 << "ﾀﾞｲｺﾝﾙｲ ﾀﾞｲｺﾝ ﾈ ｶﾜﾂｷ ﾅﾏ";
        QTest::newRow("白米") << "ﾊｸﾏｲ" << 1083 << "ｺﾒ ｽｲﾄｳｺｸﾘｭｳ ｾｲﾊｸﾏｲ ｳﾙﾁﾏｲ";
        QTest::newRow("豆腐") << "ﾄｳﾌ" << 4032 << "ﾀﾞｲｽﾞ ﾄｳﾌ ｱﾌﾞﾗｱｹﾞﾙｲ ﾓﾒﾝﾄﾞｳﾌ";
        QTest::newRow("しょうゆ") << "ｼｮｳﾕ" << 17007 << "ﾁｮｳﾐﾘｮｳﾙｲ ｼｮｳﾕﾙｲ ｺｲｸﾁｼｮｳﾕ";
        // Words the dictionary reads wrongly without the correction list.
        QTest::newRow("生 is ﾅﾏ") << "ﾂﾌﾞｼﾅﾏｱﾝ" << 4111 << "ｱｽﾞｷ ｱﾝ ﾂﾌﾞｼﾅﾏｱﾝ";
        QTest::newRow("乾 is ｶﾝ") << "ｵｵﾑｷﾞﾒﾝ ｶﾝ" << 1008 << "ｵｵﾑｷﾞ ｵｵﾑｷﾞﾒﾝ ｶﾝ";
        QTest::newRow("1等") << "1ﾄｳ" << 1015 << "ｺﾑｷﾞ ｺﾑｷﾞｺ ﾊｸﾘｷｺ 1ﾄｳ";
        // The group the listed name drops still finds the food.
        QTest::newRow("畜肉類") << "ﾁｸﾆｸ" << 11001 << "ﾁｸﾆｸﾙｲ ｲﾉｼｼ ﾆｸ ｱﾌﾞﾗﾐﾂｷ ﾅﾏ";
    }
    void readingSearchFindsCommonFoods()
    {
        QFETCH(QString, typed);
        QFETCH(int, sid);
        QFETCH(QString, reading);
        // The food search's own query text.
        const QString found =
            query(QStringLiteral(
                      "SELECT group_concat(SID, ',') FROM (SELECT eys.SID,eys.SNM,eys.SKN,"
                      "bun.分類名 FROM eys,bun WHERE((bun.分類№=eys.BID) AND (eys.SKN LIKE "
                      "'%%1%'))ORDER BY eys.SKN DESC)")
                      .arg(typed))
                .toString();
        QVERIFY2(found.split(QLatin1Char(',')).contains(QString::number(sid)), qPrintable(found));
        QCOMPARE(query(QStringLiteral("SELECT SKN FROM eys WHERE SID=%1").arg(sid)).toString(),
                 reading);
    }

    // --- standards -------------------------------------------------------------------

    void standardsEveryAgeAndSexOnce()
    {
        QCOMPARE(m_store->count(QStringLiteral("kij")), 160);
        QCOMPARE(query(QStringLiteral("SELECT count(*) FROM (SELECT AGE, SEX FROM kij"
                                      " GROUP BY AGE, SEX HAVING count(*)=1)"))
                     .toInt(),
                 160);
        QCOMPARE(query(QStringLiteral("SELECT min(AGE)||'-'||max(AGE) FROM kij")).toString(),
                 QStringLiteral("1-80"));
        auto kij = [&](int age, int sex, const char *field) {
            return query(QStringLiteral("SELECT %1 FROM kij WHERE AGE=%2 AND SEX=%3")
                             .arg(QString::fromLatin1(field))
                             .arg(age)
                             .arg(sex))
                .toDouble();
        };
        QCOMPARE(kij(20, 1, "CAL"), 2600.0);        // 2025
        QCOMPARE(kij(20, 1, "VB1"), 1.1);           // 2025
        QCOMPARE(kij(20, 1, "VA"), 850.0 * 10 / 3); // µg RAE in IU
        QCOMPARE(kij(7, 1, "TAL"), 119.5);          // 2020: no 2025 child height
        QCOMPARE(kij(16, 0, "VB1"), 1.2);           // 2020
        QCOMPARE(kij(16, 0, "NAI"), 13.0);          // 2020
        QCOMPARE(kij(16, 0, "CAL"), 2300.0);        // 2025
        QCOMPARE(kij(16, 0, "FE"), 11.0);           // with menstruation
        QCOMPARE(kij(70, 0, "FE"), 6.0);            // none at that age
        QCOMPARE(kij(16, 1, "FE"), 9.0);
        QCOMPARE(kij(80, 0, "WEI"), 49.3); // 75以上 covers 80
        QCOMPARE(kij(75, 1, "CAL"), 2250.0);
    }

    void standardsTakenFromThePreviousEdition()
    {
        // Exactly the cells the current edition lacks: child heights 6-17 and
        // vitamins B1, B2 and niacin of 1-11 and 15-17, for both sexes.
        QStringList expected;
        const QStringList groups = {QStringLiteral("1-2"),   QStringLiteral("3-5"),
                                    QStringLiteral("6-7"),   QStringLiteral("8-9"),
                                    QStringLiteral("10-11"), QStringLiteral("12-14"),
                                    QStringLiteral("15-17")};
        for (const QString &sex : {QStringLiteral("男性"), QStringLiteral("女性")}) {
            for (const QString &g : groups) {
                if (g != QLatin1String("1-2") && g != QLatin1String("3-5"))
                    expected << QStringLiteral("height_cm %1歳 %2").arg(g, sex);
                if (g != QLatin1String("12-14"))
                    for (const char *v : {"vitamin_b1_mg", "vitamin_b2_mg", "niacin_mgne"})
                        expected
                            << QStringLiteral("%1 %2歳 %3").arg(QString::fromLatin1(v), g, sex);
            }
        }
        QStringList taken = m_data.standards.fromPrevious;
        taken.sort();
        expected.sort();
        QCOMPARE(taken, expected);
    }

    void brokenStandardsAreRejected_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown header") << "vitamin_c_mg"
                                        << "vitamin_d_ug"
                                        << "列 15";
        QTest::newRow("not a number") << "1,2,1,85.8,11.5,950"
                                      << "1,2,1,85.8,11.5,九五〇"
                                      << "行 2 列 6";
        QTest::newRow("weight missing") << "1,2,1,85.8,11.5,"
                                        << "1,2,1,85.8,,"
                                        << "weight_kg の値がありません";
        QTest::newRow("age not covered") << "\n3,5,1,"
                                         << "\n4,5,1,"
                                         << "3 歳男性の行がありません";
    }
    void brokenStandardsAreRejected()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QFile current(sharedFile(QStringLiteral("standards/dri-2025.csv")));
        QVERIFY(current.open(QIODevice::ReadOnly));
        QString text = QString::fromUtf8(current.readAll());
        QVERIFY(text.contains(from));
        text.replace(text.indexOf(from), from.size(), to);
        QVERIFY(writeText(dir.filePath(QStringLiteral("dri-2025.csv")), text));
        Standards::Table table;
        QString error;
        QVERIFY(!Standards::read(dir.filePath(QStringLiteral("dri-2025.csv")),
                                 sharedFile(QStringLiteral("standards/dri-2020.csv")), &table,
                                 &error));
        QVERIFY2(error.contains(QStringLiteral("dri-2025.csv")) && error.contains(message),
                 qPrintable(error));
    }

    // --- a broken workbook ---------------------------------------------------------

    void testWorkbookImports()
    {
        // The test's own workbook is sound: a number formatted "\(0.0\)"
        // comes in as the estimated value it shows.
        QTemporaryDir dir;
        Workbook book;
        book.rows << foodRow(QStringLiteral("01001"),
                             {{QStringLiteral("WATER"), QStringLiteral("#n:84.4")},
                              {QStringLiteral("FIB-"), QStringLiteral("-")}});
        QVERIFY(makeDataDir(dir.path(), book));
        ReferenceData::Data data;
        QString error;
        QVERIFY2(ReferenceData::load(ReferenceData::locate(dir.path()), &data, &error),
                 qPrintable(error));
        QCOMPARE(data.foods.foods.size(), 1);
        QCOMPARE(data.foods.groups.value(1), QStringLiteral("穀類"));
        const FoodTable::Food &food = data.foods.foods[0];
        QCOMPARE(food.values[FoodTable::tagIndex(QStringLiteral("WATER"))].number, 84.4);
        QVERIFY(!food.values[FoodTable::tagIndex(QStringLiteral("FIB-"))].known);
        QCOMPARE(data.readings[0], QStringLiteral("ｼｹﾝｼｮｸﾋﾝ ﾅﾏ"));
    }

    void brokenWorkbookIsRejected_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QStringList>("message");
        QTest::newRow("missing sheet")
            << "sheet" << QStringList{QStringLiteral("シート「表全体」がありません")};
        QTest::newRow("unknown header")
            << "header"
            << QStringList{QStringLiteral("表全体"), QStringLiteral("行 2 列 H"),
                           QStringLiteral("WATERX")};
        QTest::newRow("bad value")
            << "value"
            << QStringList{QStringLiteral("表全体"), QStringLiteral("行 4 列 J"),
                           QStringLiteral("PROT-"), QStringLiteral("「12..3」")};
        QTest::newRow("blank value")
            << "blank"
            << QStringList{QStringLiteral("表全体"), QStringLiteral("行 3 列 Q"),
                           QStringLiteral("FIB-")};
        QTest::newRow("food number")
            << "number"
            << QStringList{QStringLiteral("表全体"), QStringLiteral("行 4 列 B"),
                           QStringLiteral("1002")};
        QTest::newRow("repeated food")
            << "repeated" << QStringList{QStringLiteral("行 4 列 B"), QStringLiteral("二度")};
        QTest::newRow("group sheet missing")
            << "group" << QStringList{QStringLiteral("食品群 2 のシート")};
    }
    void brokenWorkbookIsRejected()
    {
        QFETCH(QString, fault);
        QFETCH(QStringList, message);
        TestFolder folder;
        Workbook book;
        book.rows << foodRow(QStringLiteral("01001")) << foodRow(QStringLiteral("01002"));
        if (fault == QLatin1String("sheet"))
            book.mainSheetName = QStringLiteral("全体");
        else if (fault == QLatin1String("header"))
            book.tags[3] = QStringLiteral("WATERX");
        else if (fault == QLatin1String("value"))
            book.rows[1][4 + FoodTable::tagIndex(QStringLiteral("PROT-"))] =
                QStringLiteral("12..3");
        else if (fault == QLatin1String("blank"))
            book.rows[0][4 + FoodTable::tagIndex(QStringLiteral("FIB-"))].clear();
        else if (fault == QLatin1String("number"))
            book.rows[1][1] = QStringLiteral("1002");
        else if (fault == QLatin1String("repeated"))
            book.rows[1][1] = QStringLiteral("01001");
        else if (fault == QLatin1String("group"))
            book.rows << foodRow(QStringLiteral("02001"));
        const QString dataDir = folder.filePath(QStringLiteral("data"));
        QVERIFY(makeDataDir(dataDir, book));

        // Through the database tool's path: nothing is left behind.
        QString error;
        QVERIFY(!StoreBuilder::build(
            folder.filePath(QStringLiteral("zento.dll")),
            [&](sqlite3 *db, QString *err) {
                return StoreBuilder::fillReference(db, dataDir, err);
            },
            &error));
        for (const QString &part : message)
            QVERIFY2(error.contains(part), qPrintable(error));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void missingDataFallsBackToTheDemonstrationSet()
    {
        TestFolder folder;
        QString error;
        QVERIFY(StoreBuilder::build(
            folder.filePath(QStringLiteral("zento.dll")),
            [&](sqlite3 *db, QString *err) {
                return StoreBuilder::fillReference(db, folder.filePath(QStringLiteral("nothing")),
                                                   err);
            },
            &error));
        QVERIFY(folder.count(QStringLiteral("eys")) > 0);
        QCOMPARE(folder.count(QStringLiteral("kij")), 160);
    }

    // --- listed names ------------------------------------------------------------

    void listedNames_data()
    {
        QTest::addColumn<QStringList>("published");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("group dropped")
            << QStringList{QStringLiteral("＜畜肉類＞　うし　［和牛肉］　かた　生")}
            << QStringList{QStringLiteral("うし　［和牛肉］　かた　生")};
        QTest::newRow("no group") << QStringList{QStringLiteral("（砂糖類）　車糖　上白糖")}
                                  << QStringList{QStringLiteral("（砂糖類）　車糖　上白糖")};
        QTest::newRow("only a group")
            << QStringList{QStringLiteral("＜魚類＞")} << QStringList{QStringLiteral("＜魚類＞")};
        QTest::newRow("two groups alike")
            << QStringList{QStringLiteral("＜獣鳥類＞　レバー"),
                           QStringLiteral("＜畜肉類＞　レバー"), QStringLiteral("＜畜肉類＞　タン")}
            << QStringList{QStringLiteral("＜獣鳥類＞　レバー"),
                           QStringLiteral("＜畜肉類＞　レバー"), QStringLiteral("タン")};
        QTest::newRow("alike with a name that has no group")
            << QStringList{QStringLiteral("こんにゃく"), QStringLiteral("＜いも類＞　こんにゃく")}
            << QStringList{QStringLiteral("こんにゃく"), QStringLiteral("＜いも類＞　こんにゃく")};
    }
    void listedNames()
    {
        QFETCH(QStringList, published);
        QFETCH(QStringList, listed);
        QList<FoodTable::Food> foods;
        for (const QString &name : published) {
            FoodTable::Food food;
            food.name = name;
            foods << food;
        }
        QCOMPARE(FoodTable::listedNames(foods), listed);
    }

    void officialNamesStayDistinct()
    {
        const QStringList &names = m_data.names;
        QCOMPARE(names.size(), m_data.foods.foods.size());
        QCOMPARE(QSet<QString>(names.cbegin(), names.cend()).size(), names.size());
        int grouped = 0;
        for (int i = 0; i < names.size(); ++i) {
            const QString &published = m_data.foods.foods[i].name;
            grouped += published.startsWith(QStringLiteral("＜"));
            QVERIFY2(!names[i].startsWith(QStringLiteral("＜")), qPrintable(names[i]));
            QVERIFY2(published.endsWith(names[i]), qPrintable(published));
        }
        QVERIFY(grouped > 1000);
        // The store lists the short name and keeps the published one.
        QCOMPARE(query(QStringLiteral("SELECT SNM||'|'||FNM FROM eys WHERE SID=2017")).toString(),
                 QStringLiteral(
                     "じゃがいも　塊茎　皮なし　生|＜いも類＞　じゃがいも　塊茎　皮なし　生"));
    }

    // --- household measures ----------------------------------------------------------

    // The weight of a unit of a food as imported: its published weight (USR
    // 0), a liquid's spoon or cup by the table's density (USR 2), or none.
    void officialMeasures_data()
    {
        QTest::addColumn<int>("sid");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("stored"); // KAK/USR; empty: no row
        QTest::newRow("sugar") << 3003 << "大さじ"
                               << "9.0/0";
        QTest::newRow("salt") << 17012 << "小さじ"
                              << "6.0/0";
        QTest::newRow("cup of milk: published, not 206.4") << 13003 << "ｶｯﾌﾟ"
                                                           << "210.0/0";
        QTest::newRow("an egg") << 12004 << "個"
                                << "50.0/0";
        QTest::newRow("合 of sake") << 16001 << "合"
                                    << "180.0/0";
        QTest::newRow("cup of rice, corrected") << 1083 << "ｶｯﾌﾟ"
                                                << "160.0/0";
        QTest::newRow("a pack of natto") << 4046 << "パック"
                                         << "50.0/0";
        QTest::newRow("soy sauce: published, not 17.7") << 17007 << "大さじ"
                                                        << "18.0/0";
        QTest::newRow("めんつゆ by density 116") << 17030 << "大さじ"
                                                 << "17.4/2";
        QTest::newRow("ナンプラー by density 122.1") << 17107 << "小さじ"
                                                     << "6.1/2";
        QTest::newRow("本直し cup by density 103.1") << 16026 << "ｶｯﾌﾟ"
                                                     << "206.2/2";
        QTest::newRow("no 合 of soy sauce") << 17007 << "合"
                                            << "";
        QTest::newRow("a powder is not estimated") << 17028 << "大さじ"
                                                   << "";
        QTest::newRow("きな粉: density 34, not a liquid") << 4029 << "大さじ"
                                                          << "";
        QTest::newRow("玄米: density 83, 合 only") << 1080 << "ｶｯﾌﾟ"
                                                   << "";
        QTest::newRow("a liquid without a density") << 17141 << "大さじ"
                                                    << "";
    }
    void officialMeasures()
    {
        QFETCH(int, sid);
        QFETCH(QString, unit);
        QFETCH(QString, stored);
        int published = 0;
        for (const ReferenceData::Measure &m : std::as_const(m_data.measures))
            published += m.estimated ? 0 : 1;
        QCOMPARE(published, 393); // the extended file
        QCOMPARE(query(QStringLiteral("SELECT KAK||'/'||USR FROM etn WHERE SID=%1 AND TNM='%2'")
                           .arg(sid)
                           .arg(unit))
                     .toString(),
                 stored);
    }

    void brokenMeasuresAreRejected_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("message");
        QTest::newRow("food not in the table") << "99999,x,大さじ,9"
                                               << "99999 は食品成分表にありません";
        QTest::newRow("unit not in the unit table") << "03003,x,さじ,9"
                                                    << "「さじ」は単位の表にありません";
        QTest::newRow("no weight") << "03003,x,大さじ,"
                                   << "正の数ではありません";
        QTest::newRow("weight 0") << "03003,x,大さじ,0"
                                  << "正の数ではありません";
        QTest::newRow("short number") << "3003,x,大さじ,9"
                                      << "5桁の数字ではありません";
        QTest::newRow("twice") << "03003,x,小さじ,3"
                               << "二度あります";
        QTest::newRow("five cells") << "03003,x,y,大さじ,9"
                                    << "欄が4つではありません";
    }
    void brokenMeasuresAreRejected()
    {
        QFETCH(QString, line);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("household-measures.csv"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("食品番号,食品名,単位,重量g\n03003,上白糖,小さじ,3\n%1\n")
                       .arg(line)
                       .toUtf8());
        file.close();
        QList<ReferenceData::Measure> measures{{1, QStringLiteral("kept"), 1}};
        QString error;
        QVERIFY(!ReferenceData::readMeasures(path, {3003}, &measures, &error));
        QVERIFY2(error.contains(message) && error.contains(QStringLiteral("3 行目")),
                 qPrintable(error));
        QCOMPARE(measures.size(), 1);
    }

    void refreshBringsAnOlderStoreUpToDate()
    {
        TestFolder folder;
        QVERIFY(buildStore(folder));
        // A store made before full names and measures: no FNM, no etn.
        QVERIFY(folder.exec(QStringLiteral("DROP TRIGGER eys_delete_measures; DROP TABLE etn;"
                                           "ALTER TABLE eys DROP COLUMN FNM;")));
        ReferenceData::RefreshResult result;
        QString error;
        QVERIFY2(ReferenceData::refresh(folder.filePath(QStringLiteral("zento.dll")), m_data,
                                        &result, &error),
                 qPrintable(error));
        QCOMPARE(folder.scalar(QStringLiteral("SELECT FNM FROM eys WHERE SID=11001")).toString(),
                 QStringLiteral("＜畜肉類＞　いのしし　肉　脂身つき　生"));
        // The published measures and the liquids' estimated spoons and cups.
        const int imported = int(m_data.measures.size());
        QCOMPARE(folder.count(QStringLiteral("etn")), imported);
        // Deleting a food takes its measures with it.
        QVERIFY(folder.exec(QStringLiteral("DELETE FROM eys WHERE SID=3003")));
        QCOMPARE(folder.count(QStringLiteral("etn")), imported - 3);
    }

    // --- refreshing an existing store ------------------------------------------------

    // Both ways of refreshing: from the data folder's files, and from a ready
    // store made from them (the one installed with the program).
    void refreshKeepsTheUsersFoodsAndDishes_data() { refreshWays(); }
    void refreshKeepsTheUsersFoodsAndDishes()
    {
        QFETCH(bool, fromStore);
        TestFolder folder;
        QVERIFY(buildStore(folder));
        // The user's own food, a dish using it and an official food, and a
        // store whose reference tables are those of an older edition.
        QVERIFY(folder.exec(QStringLiteral(
            "INSERT INTO eys(SNM, SKN, BID, ENC, TAN) VALUES ('自家製みそ', 'ｼﾞｶｾｲﾐｿ', 20, 190, "
            "12);"
            "INSERT INTO mnu(アイテム名) VALUES ('みそ汁');"
            "INSERT INTO kou(アイテムCD, 食品コード, 数量, 単位, 数量2) VALUES"
            " (1, 100000, 1, '大さじ', 0.15), (1, 4032, 50, 'ｇ', 0.5);"
            "UPDATE eys SET ENC = 999, SNM = '旧名', SKN = 'ｷｭｳﾒｲ' WHERE SID = 4032;"
            "UPDATE sbn SET MG = 1 WHERE SID = 1001;"
            "DELETE FROM eys WHERE SID = 18039;"
            "INSERT INTO eys(SID, SNM, BID, ENC) VALUES (19001, '旧版だけの食品', 18, 10);"
            "DELETE FROM bun WHERE 分類№ = 5; INSERT INTO tni VALUES ('升', 1500);"
            "UPDATE kij SET CAL = 1 WHERE AGE = 30;"
            // The user's own measures, one over an imported figure; an
            // imported figure changed behind the importer's back.
            "INSERT INTO etn(SID, TNM, KAK) VALUES (100000, '個', 50);"
            "UPDATE etn SET KAK = 10, USR = 1 WHERE SID = 3003 AND TNM = '大さじ';"
            "UPDATE etn SET KAK = 99 WHERE SID = 17012 AND TNM = '小さじ';"
            // A store made before the search had its indexes.
            "DROP INDEX eys_reading; DROP INDEX eys_rank_NAT;")));
        ReferenceData::RefreshResult result;
        QString error;
        QVERIFY2(refresh(fromStore, folder.filePath(QStringLiteral("zento.dll")), &result, &error),
                 qPrintable(error));
        QCOMPARE(folder
                     .scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='index'"
                                            " AND name IN ('eys_reading', 'eys_rank_NAT')"))
                     .toInt(),
                 2);
        QCOMPARE(result.updated, 2537);
        QCOMPARE(result.added, 1);
        QCOMPARE(result.kept, 1);

        QCOMPARE(folder.scalar(QStringLiteral("SELECT SNM||ENC||SKN FROM eys WHERE SID=100000"))
                     .toString(),
                 QStringLiteral("自家製みそ190.0ｼﾞｶｾｲﾐｿ"));
        QCOMPARE(folder
                     .scalar(QStringLiteral("SELECT group_concat(食品コード||':'||数量2) FROM kou"
                                            " WHERE アイテムCD=1"))
                     .toString(),
                 QStringLiteral("100000:0.15,4032:0.5"));
        QCOMPARE(folder.count(QStringLiteral("mnu")), 1);
        // The official food whose value differs from the table's (changed by
        // the user) keeps its value, takes the table's names and is told.
        QCOMPARE(folder.scalar(QStringLiteral("SELECT ENC FROM eys WHERE SID=4032")).toDouble(),
                 999.0);
        QCOMPARE(folder.scalar(QStringLiteral("SELECT MG FROM sbn WHERE SID=1001")).toDouble(),
                 1.0);
        QCOMPARE(result.differing.size(), 2);
        QVERIFY(result.differing.at(0).startsWith(QStringLiteral("01001 ")));
        QCOMPARE(
            result.differing.at(1),
            QStringLiteral("04032 ") +
                folder.scalar(QStringLiteral("SELECT SNM FROM eys WHERE SID=4032")).toString());
        QCOMPARE(folder.scalar(QStringLiteral("SELECT SKN FROM eys WHERE SID=4032")).toString(),
                 QStringLiteral("ﾀﾞｲｽﾞ ﾄｳﾌ ｱﾌﾞﾗｱｹﾞﾙｲ ﾓﾒﾝﾄﾞｳﾌ"));
        QCOMPARE(
            folder.scalar(QStringLiteral("SELECT count(*) FROM eys WHERE SID IN (18039, 19001)"))
                .toInt(),
            2);
        QCOMPARE(folder.count(QStringLiteral("eys")), 2538 + 2);
        QCOMPARE(folder.count(QStringLiteral("bun")), 19);
        QCOMPARE(folder.count(QStringLiteral("tni")), 6);
        QCOMPARE(
            folder.scalar(QStringLiteral("SELECT CAL FROM kij WHERE AGE=30 AND SEX=1")).toDouble(),
            2750.0);
        QCOMPARE(folder.count(QStringLiteral("kij")), 160);
        QCOMPARE(folder
                     .scalar(QStringLiteral("SELECT group_concat(x, ' ') FROM (SELECT"
                                            " SID||TNM||KAK AS x FROM etn WHERE"
                                            " (SID=3003 AND TNM='大さじ') OR SID=100000 OR"
                                            " (SID=17012 AND TNM='小さじ') ORDER BY SID)"))
                     .toString(),
                 QStringLiteral("3003大さじ10.0 17012小さじ6.0 100000個50.0"));
        QCOMPARE(folder.count(QStringLiteral("etn")), int(m_data.measures.size()) + 1);
        // The next food the user registers still gets a new key.
        QVERIFY(folder.exec(QStringLiteral("INSERT INTO eys(SNM, BID) VALUES ('次', 20)")));
        QCOMPARE(folder.scalar(QStringLiteral("SELECT SID FROM eys WHERE SNM='次'")).toInt(),
                 100001);
    }

    void refreshFailingHalfWayChangesNothing_data() { refreshWays(); }
    void refreshFailingHalfWayChangesNothing()
    {
        QFETCH(bool, fromStore);
        TestFolder folder;
        QVERIFY(buildStore(folder));
        QVERIFY(folder.exec(QStringLiteral(
            "UPDATE eys SET SNM = '旧名' WHERE SID = 4032; DELETE FROM bun WHERE 分類№ = 5;"
            "ALTER TABLE kij RENAME COLUMN VC TO refused;")));
        ReferenceData::RefreshResult result;
        QString error;
        QVERIFY(!refresh(fromStore, folder.filePath(QStringLiteral("zento.dll")), &result, &error));
        QVERIFY2(error.contains(QStringLiteral("VC")) || error.contains(QStringLiteral("refused")),
                 qPrintable(error));
        // The foods and categories written before the failure were rolled back.
        QCOMPARE(folder.scalar(QStringLiteral("SELECT SNM FROM eys WHERE SID=4032")).toString(),
                 QStringLiteral("旧名"));
        QCOMPARE(folder.count(QStringLiteral("bun")), 18);
        QCOMPARE(folder.count(QStringLiteral("kij")), 160);
        QCOMPARE(folder.count(QStringLiteral("tni")), 6);
    }

    void refreshRefusesWhatIsNotAStore_data() { refreshWays(); }
    void refreshRefusesWhatIsNotAStore()
    {
        QFETCH(bool, fromStore);
        TestFolder folder;
        QString error;
        ReferenceData::RefreshResult result;
        const QString missing = folder.filePath(QStringLiteral("none.dll"));
        QVERIFY(!refresh(fromStore, missing, &result, &error));
        QVERIFY(!QFile::exists(missing));

        const QString other = folder.filePath(QStringLiteral("other.dll"));
        sqlite3 *db = nullptr;
        QVERIFY(sqlite3_open(QFile::encodeName(other).constData(), &db) == SQLITE_OK);
        QVERIFY(
            StoreBuilder::exec(db, "CREATE TABLE eys(SID INTEGER PRIMARY KEY, x TEXT)", &error));
        sqlite3_close(db);
        QVERIFY(!refresh(fromStore, other, &result, &error));
        QVERIFY2(error.contains(QStringLiteral("ゼントのデータベースではありません")),
                 qPrintable(error));
    }

    // What the store is refreshed from must be a store of this program with
    // foods in it, and not the store itself; the store is left as it was.
    void refreshFromRefusesABadReadyStore_data()
    {
        QTest::addColumn<QString>(
            "readySql"); // run on a fresh store; "-" no file, "=" the store itself
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << "-"
                                 << "がありません";
        QTest::newRow("the store itself") << "="
                                          << "自分自身";
        QTest::newRow("no foods") << "DELETE FROM eys"
                                  << "食品がありません";
        QTest::newRow("not a store") << "DROP TABLE kij"
                                     << "ゼントのデータベースではありません";
        QTest::newRow("an older layout")
            << "DROP INDEX IF EXISTS eys_rank_NAT; ALTER TABLE eys DROP COLUMN NAT"
            << "NAT";
    }

    void refreshFromRefusesABadReadyStore()
    {
        QFETCH(QString, readySql);
        QFETCH(QString, message);
        TestFolder folder, ready;
        QVERIFY(buildStore(folder));
        QVERIFY(folder.exec(QStringLiteral("UPDATE eys SET ENC = 999 WHERE SID = 4032")));
        QString readyPath = ready.filePath(QStringLiteral("zento.dll"));
        if (readySql == QLatin1String("="))
            readyPath = folder.filePath(QStringLiteral("zento.dll"));
        else if (readySql != QLatin1String("-"))
            QVERIFY(buildStore(ready) && ready.exec(readySql));
        ReferenceData::RefreshResult result;
        QString error;
        QVERIFY(!ReferenceData::refreshFrom(folder.filePath(QStringLiteral("zento.dll")), readyPath,
                                            &result, &error));
        QVERIFY2(error.contains(message), qPrintable(error));
        QCOMPARE(folder.scalar(QStringLiteral("SELECT ENC FROM eys WHERE SID=4032")).toDouble(),
                 999.0);
        QCOMPARE(folder.count(QStringLiteral("eys")), 2538);
    }
};

QTEST_MAIN(TestImporter)
#include "tst_importer.moc"
