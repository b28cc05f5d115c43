// The parts built as modules load and give their functions; a module that is
// not there is named in the message.
#include "core/app/modules.h"

#include <QtTest>

class TestModules : public QObject
{
    Q_OBJECT

private slots:
    void modulesLoad_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("symbol");
        QTest::newRow("workbook") << QStringLiteral("zento_workbook")
                                  << QByteArray("zentoWriteWorkbook");
        QTest::newRow("print preview")
            << QStringLiteral("zento_print") << QByteArray("zentoPrintPreview");
    }

    void modulesLoad()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, symbol);
        QString error;
        QVERIFY2(Modules::resolve(name, symbol.constData(), &error), qPrintable(error));
    }

    void missingModuleIsNamed()
    {
        QString error;
        QVERIFY(!Modules::resolve(QStringLiteral("zento_nothing"), "f", &error));
        QVERIFY2(error.contains(QStringLiteral("zento_nothing")), qPrintable(error));
    }
};

QTEST_MAIN(TestModules)
#include "tst_modules.moc"
