#include "core/store/numberreader.h"
#include "core/store/numbertext.h"

#include <QtTest>
#include <cmath>
#include <limits>

class TestNumberText : public QObject
{
    Q_OBJECT

private slots:
    void general_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 150.0 << "150";
        QTest::newRow("fraction") << 0.75 << "0.75";
        QTest::newRow("sum noise") << 0.1 + 0.2 << "0.3";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("large") << 123456789012.0 << "123456789012";
        // Never an exponent, never "inf" or "nan".
        QTest::newRow("huge") << 1e20 << "100000000000000000000";
        QTest::newRow("huge, 15 digits") << 1.23456789012345678e21 << "1234567890123460000000";
        QTest::newRow("tiny") << 1.5e-7 << "0.00000015";
        QTest::newRow("negative tiny") << -2e-10 << "-0.0000000002";
        QTest::newRow("rounds up a digit") << 9.9999999999999999 << "10";
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << "";
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << "";
    }
    void general()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(NumberText::general(value), text);
    }

    void leading_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("letters") << "abc" << 0.0;
        QTest::newRow("trailing letters") << "12abc" << 12.0;
        QTest::newRow("decimal") << "3.50" << 3.5;
        QTest::newRow("blanks inside") << " 1 2.5" << 12.5;
        QTest::newRow("sign") << "-4x" << -4.0;
        QTest::newRow("full width") << "１．５" << 1.5;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
        QTest::newRow("exponent") << "1e3" << 1000.0;
        QTest::newRow("bare exponent") << "2e" << 2.0;
    }
    void leading()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(NumberText::leading(text), value);
    }

    // The reader of typed numbers: the whole text is one number or nothing.
    void typedNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("value");
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("blank") << " 　 " << false << 0.0;
        QTest::newRow("number in blanks") << " 2.5 " << true << 2.5;
        QTest::newRow("grouped") << "1,000" << true << 1000.0;
        QTest::newRow("grouped, full width") << "１，５００" << true << 1500.0;
        QTest::newRow("grouped millions") << "12,345,678.5" << true << 12345678.5;
        QTest::newRow("short group") << "1,00" << false << 0.0;
        QTest::newRow("long first group") << "1234,567" << false << 0.0;
        QTest::newRow("comma first") << ",100" << false << 0.0;
        QTest::newRow("trailing text") << "12abc" << false << 0.0;
        QTest::newRow("counter word") << "2個" << false << 0.0;
        QTest::newRow("fraction") << "1/2" << false << 0.0;
        QTest::newRow("letters") << "abc" << false << 0.0;
        QTest::newRow("full width") << "１００" << true << 100.0;
        QTest::newRow("full width point") << "１．５" << true << 1.5;
        QTest::newRow("full-width minus") << "－３" << true << -3.0;
        QTest::newRow("plus") << "+4" << true << 4.0;
        QTest::newRow("sign only") << "-" << false << 0.0;
        QTest::newRow("leading point") << ".5" << true << 0.5;
        QTest::newRow("trailing point") << "5." << true << 5.0;
        QTest::newRow("point only") << "." << false << 0.0;
        QTest::newRow("two points") << "1.2.3" << false << 0.0;
        QTest::newRow("blank inside") << "1 000" << false << 0.0;
        QTest::newRow("exponent") << "1e3" << false << 0.0;
        QTest::newRow("too large") << QString(400, QLatin1Char('9')) << false << 0.0;
        QTest::newRow("minus zero") << "-0" << true << 0.0;
    }
    void typedNumber()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(double, value);
        const auto result = NumberReader::number(text);
        QCOMPARE(result.has_value(), ok);
        if (ok) {
            QCOMPARE(*result, value);
            QVERIFY(!std::signbit(*result) || *result != 0);
        }
    }

    // A zero denominator is told apart from text that is no quantity.
    void quantity_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("zero");
        QTest::newRow("plain") << "1.5" << true << 1.5 << false;
        QTest::newRow("half") << "1/2" << true << 0.5 << false;
        QTest::newRow("mixed") << "1と1/2" << true << 1.5 << false;
        QTest::newRow("full width") << "１／２" << true << 0.5 << false;
        QTest::newRow("full width mixed") << " ２と３／４ " << true << 2.75 << false;
        QTest::newRow("blanks round slash") << "1 / 3" << true << 1.0 / 3 << false;
        QTest::newRow("zero denominator") << "1/0" << false << 0.0 << true;
        QTest::newRow("mixed zero denominator") << "2と1/０" << false << 0.0 << true;
        QTest::newRow("no numerator") << "/2" << false << 0.0 << false;
        QTest::newRow("no denominator") << "1/" << false << 0.0 << false;
        QTest::newRow("two slashes") << "1/2/3" << false << 0.0 << false;
        QTest::newRow("decimal numerator") << "1.5/2" << false << 0.0 << false;
        QTest::newRow("signed fraction") << "-1/2" << false << 0.0 << false;
        QTest::newRow("と without fraction") << "1と2" << false << 0.0 << false;
        QTest::newRow("no whole before と") << "と1/2" << false << 0.0 << false;
        QTest::newRow("unit inside") << "1/2個" << false << 0.0 << false;
    }
    void quantity()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(double, value);
        QFETCH(bool, zero);
        bool zeroDenominator = !zero;
        const auto result = NumberReader::quantity(text, &zeroDenominator);
        QCOMPARE(result.has_value(), ok);
        QCOMPARE(zeroDenominator, zero);
        if (ok)
            QCOMPARE(*result, value);
    }

    void key_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<qint64>("key");
        QTest::newRow("key") << "42" << true << qint64(42);
        QTest::newRow("blanks") << " 7 " << true << qint64(7);
        QTest::newRow("full width") << "１２" << true << qint64(12);
        QTest::newRow("beyond 16 bits") << "40000" << true << qint64(40000);
        QTest::newRow("negative") << "-3" << true << qint64(-3);
        QTest::newRow("empty") << "" << false << qint64(0);
        QTest::newRow("decimal") << "1.0" << false << qint64(0);
        QTest::newRow("grouped") << "1,000" << false << qint64(0);
        QTest::newRow("text") << "SID" << false << qint64(0);
        QTest::newRow("too long") << "99999999999999999999" << false << qint64(0);
    }
    void key()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(qint64, key);
        const auto result = NumberReader::key(text);
        QCOMPARE(result.has_value(), ok);
        if (ok)
            QCOMPARE(*result, key);
    }

    void rounding()
    {
        QCOMPARE(NumberText::roundHalfUp(12.25, 1), 12.3);
        QCOMPARE(NumberText::roundHalfUp(12.24, 1), 12.2);
        QCOMPARE(NumberText::roundHalfUp(0.125, 2), 0.13);
        QCOMPARE(NumberText::roundHalfUp(0.004999, 2), 0.0);
        // Halves that a double holds a hair below the half still round up.
        QCOMPARE(NumberText::roundHalfUp(0.285, 2), 0.29);
        QCOMPARE(NumberText::roundHalfUp(0.145, 2), 0.15);
        QCOMPARE(NumberText::roundHalfUp(1.005, 2), 1.01);
        QCOMPARE(NumberText::roundHalfUp(0.575, 2), 0.58);
        QCOMPARE(NumberText::roundHalfUp(0.28499, 2), 0.28);
        QCOMPARE(NumberText::grouped(1234.5, 0), QStringLiteral("1,235"));
        QCOMPARE(NumberText::grouped(999.4, 0), QStringLiteral("999"));
        QCOMPARE(NumberText::grouped(1234567.25, 1), QStringLiteral("1,234,567.3"));
        QCOMPARE(NumberText::grouped(-2.5, 0), QStringLiteral("-3"));
        QCOMPARE(NumberText::grouped(-0.4, 0), QStringLiteral("0"));
        QCOMPARE(NumberText::fixed(0.004999, 4), QStringLiteral("0.0050"));
        QCOMPARE(NumberText::fixed(2.675, 2), QStringLiteral("2.68"));
        QCOMPARE(NumberText::fixed(9.99995, 4), QStringLiteral("10.0000"));
    }
};

QTEST_APPLESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
