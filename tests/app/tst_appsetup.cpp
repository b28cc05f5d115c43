#include "app/appsetup.h"
#include "app/widgets.h"

#include <QApplication>
#include <QComboBox>
#include <QGlyphRun>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTextLayout>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

// A dish name with symbols the IPA faces have no glyph for.
const QString symbolName = QStringLiteral("☕コーヒーゼリー ❤ ☺");

// Whether every character of text gets a glyph of some font when laid out
// in font (glyph 0 is the empty box).
bool drawsEveryCharacter(const QString &text, const QFont &font)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    for (const QGlyphRun &run : layout.glyphRuns())
        for (quint32 glyph : run.glyphIndexes())
            if (glyph == 0)
                return false;
    return true;
}

} // namespace

// The fonts every window is drawn with: the IPA faces for the program's own
// texts, and the desktop's other fonts for what a user types that the IPA
// faces lack.
class TestAppSetup : public QObject
{
    Q_OBJECT

private slots:
    void fontOfEachKindOfControl_data()
    {
        using Make = std::function<QWidget *()>;
        QTest::addColumn<Make>("make");
        QTest::addColumn<bool>("typedInto");
        QTest::newRow("label") << Make([] { return new QLabel(symbolName); }) << false;
        QTest::newRow("button") << Make([] { return new QPushButton(symbolName); }) << false;
        QTest::newRow("box") << Make([] { return new QLineEdit(symbolName); }) << true;
        QTest::newRow("list") << Make([] { return new QComboBox; }) << true;
        QTest::newRow("number box") << Make([] { return new QSpinBox; }) << true;
        QTest::newRow("text") << Make([] { return new QPlainTextEdit; }) << true;
        // The recipe grid sets a bold face of its own.
        QTest::newRow("grid with a font of its own") << Make([] {
            auto *grid = new QTableWidget(1, 1);
            grid->setFont(Widgets::font(QStringLiteral("ＭＳ Ｐゴシック"), 9, true));
            return grid;
        }) << true;
    }

    void fontOfEachKindOfControl()
    {
        QFETCH(std::function<QWidget *()>, make);
        QFETCH(bool, typedInto);
        const std::unique_ptr<QWidget> control(make());
        control->ensurePolished();
        const QFont font = control->font();
        QVERIFY2(QFontInfo(font).family().startsWith(QStringLiteral("IPA")),
                 qPrintable(QFontInfo(font).family()));
        QCOMPARE(!(font.styleStrategy() & QFont::NoFontMerging), typedInto);
        if (!typedInto)
            return;
        QFont merging;
        merging.setStyleStrategy(QFont::PreferDefault);
        if (!drawsEveryCharacter(symbolName, merging))
            QSKIP("no installed font has these symbols");
        QVERIFY(drawsEveryCharacter(symbolName, font));
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpApplication(app);
    TestAppSetup test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_appsetup.moc"
