#include "core/dish/portion.h"

#include <QTest>

// Servings and finished weight: what the two boxes accept, and the figures
// per serving and per 100 g of the finished dish.
class TestPortion : public QObject
{
    Q_OBJECT

private slots:
    void boxes_data()
    {
        QTest::addColumn<QString>("box"); // servings or finished
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("lineGrams");
        QTest::addColumn<QVariant>("accepted"); // null: refused; empty string: no weight
        QTest::newRow("one serving") << "servings"
                                     << "1" << 0.0 << QVariant(1.0);
        QTest::newRow("four, full width") << "servings"
                                          << "４" << 0.0 << QVariant(4.0);
        QTest::newRow("half a serving") << "servings"
                                        << "0.5" << 0.0 << QVariant(0.5);
        QTest::newRow("half, as a fraction") << "servings"
                                             << "1/2" << 0.0 << QVariant(0.5);
        QTest::newRow("one and a half") << "servings"
                                        << "1と1/2" << 0.0 << QVariant(1.5);
        QTest::newRow("a thousand") << "servings"
                                    << "1,000" << 0.0 << QVariant(1000.0);
        QTest::newRow("above a thousand") << "servings"
                                          << "1000.5" << 0.0 << QVariant();
        QTest::newRow("zero servings") << "servings"
                                       << "0" << 0.0 << QVariant();
        QTest::newRow("negative servings") << "servings"
                                           << "-2" << 0.0 << QVariant();
        QTest::newRow("servings not a number") << "servings"
                                               << "4人" << 0.0 << QVariant();
        QTest::newRow("servings empty") << "servings"
                                        << "" << 0.0 << QVariant();
        QTest::newRow("no finished weight") << "finished"
                                            << " " << 958.0 << QVariant(QString());
        QTest::newRow("boiled down") << "finished"
                                     << "800" << 958.0 << QVariant(800.0);
        QTest::newRow("at 1 %") << "finished"
                                << "9.58" << 958.0 << QVariant(9.58);
        QTest::newRow("below 1 %") << "finished"
                                   << "9.5" << 958.0 << QVariant();
        QTest::newRow("at ten times") << "finished"
                                      << "9580" << 958.0 << QVariant(9580.0);
        QTest::newRow("above ten times") << "finished"
                                         << "9581" << 958.0 << QVariant();
        QTest::newRow("negative weight") << "finished"
                                         << "-800" << 958.0 << QVariant();
        QTest::newRow("weight not a number") << "finished"
                                             << "800g" << 958.0 << QVariant();
        QTest::newRow("dish without lines") << "finished"
                                            << "100" << 0.0 << QVariant();
    }
    void boxes()
    {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(double, lineGrams);
        QFETCH(QVariant, accepted);
        QString message;
        QVariant got;
        if (box == QLatin1String("servings")) {
            const auto r = Portion::readServings(text);
            if (const double *n = std::get_if<double>(&r))
                got = *n;
            else
                message = std::get<Portion::Refusal>(r).message;
        } else {
            const auto r = Portion::readFinishedWeight(text, lineGrams);
            if (const auto *g = std::get_if<std::optional<double>>(&r))
                got = *g ? QVariant(**g) : QVariant(QString());
            else
                message = std::get<Portion::Refusal>(r).message;
        }
        QCOMPARE(got, accepted);
        if (accepted.isNull()) // a refusal names its box
            QVERIFY(message.contains(box == QLatin1String("servings") ? "「人分」"
                                                                      : "「出来上がり重量」"));
    }

    void perServing() { QCOMPARE(Portion::perServing(992, 4), 248.0); }
};

QTEST_APPLESS_MAIN(TestPortion)
#include "tst_portion.moc"
