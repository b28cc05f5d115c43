#include "app/appsetup.h"
#include "app/startfonts.h"
#include "app/widgets.h"

#include <QApplication>
#include <QGlyphRun>
#include <QLabel>
#include <QLineEdit>
#include <QRawFont>
#include <QTemporaryDir>
#include <QTextLayout>
#include <QtTest>
#include <fontconfig/fontconfig.h>

// The program's own font configuration must draw every face the program uses
// exactly as the desktop's whole configuration does: the same file, and the
// same rendering settings that Qt reads from the match.
class TestStartFonts : public QObject
{
    Q_OBJECT

public:
    explicit TestStartFonts(bool programFonts)
        : m_programFonts(programFonts)
    {
    }

private:
    bool m_programFonts;

    struct Match
    {
        QByteArray file;
        int index = -1, antialias = -1, rgba = -1, lcdFilter = -1, autohint = -1, hintStyle = -1,
            embolden = -1;
        bool operator==(const Match &) const = default;
    };

    static Match matchIn(FcConfig *config, const char *family, double pixels, bool bold)
    {
        FcPattern *pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(family));
        FcPatternAddDouble(pattern, FC_PIXEL_SIZE, pixels);
        if (bold)
            FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_BOLD);
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result;
        FcPattern *found = FcFontMatch(config, pattern, &result);
        Match match;
        if (found) {
            FcChar8 *file = nullptr;
            // The same face may be reached through a link of another name.
            if (FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch)
                match.file = QFileInfo(QFile::decodeName(reinterpret_cast<const char *>(file)))
                                 .canonicalFilePath()
                                 .toUtf8();
            FcPatternGetInteger(found, FC_INDEX, 0, &match.index);
            FcPatternGetBool(found, FC_ANTIALIAS, 0, &match.antialias);
            FcPatternGetInteger(found, FC_RGBA, 0, &match.rgba);
            FcPatternGetInteger(found, FC_LCD_FILTER, 0, &match.lcdFilter);
            FcPatternGetBool(found, FC_AUTOHINT, 0, &match.autohint);
            FcPatternGetInteger(found, FC_HINT_STYLE, 0, &match.hintStyle);
            FcPatternGetBool(found, FC_EMBOLDEN, 0, &match.embolden);
            FcPatternDestroy(found);
        }
        FcPatternDestroy(pattern);
        return match;
    }

    // Whether some font the desktop knows covers every character of text.
    static bool desktopHasGlyphs(const QString &text)
    {
        FcConfig *desktop = FcInitLoadConfigAndFonts();
        bool all = true;
        for (char32_t c : text.toUcs4()) {
            FcCharSet *set = FcCharSetCreate();
            FcCharSetAddChar(set, c);
            FcPattern *pattern = FcPatternCreate();
            FcPatternAddCharSet(pattern, FC_CHARSET, set);
            FcObjectSet *objects = FcObjectSetBuild(FC_FILE, nullptr);
            FcFontSet *found = FcFontList(desktop, pattern, objects);
            all = all && found && found->nfont > 0;
            if (found)
                FcFontSetDestroy(found);
            FcObjectSetDestroy(objects);
            FcPatternDestroy(pattern);
            FcCharSetDestroy(set);
        }
        FcConfigDestroy(desktop);
        return all;
    }

private slots:
    void sameFacesAsTheDesktop_data()
    {
        QTest::addColumn<QString>("userFile");
        QTest::addColumn<QByteArray>("userRules");
        QTest::newRow("the desktop's settings") << QStringLiteral("fonts.conf") << QByteArray();
        QTest::newRow("the user's subpixel order and filter")
            << QStringLiteral("fonts.conf")
            << QByteArray("<match target=\"pattern\"><edit name=\"rgba\" mode=\"assign\">"
                          "<const>rgb</const></edit></match>"
                          "<match target=\"pattern\"><edit name=\"lcdfilter\" mode=\"assign\">"
                          "<const>lcdlight</const></edit></match>");
        QTest::newRow("the user's antialiasing off")
            << QStringLiteral("fonts.conf")
            << QByteArray("<match target=\"font\"><edit name=\"antialias\" mode=\"assign\">"
                          "<bool>false</bool></edit></match>");
        QTest::newRow("a user's rule numbered 2x: no hinting")
            << QStringLiteral("conf.d/25-unhint.conf")
            << QByteArray("<match target=\"font\"><edit name=\"hintstyle\" mode=\"assign\">"
                          "<const>hintnone</const></edit></match>");
        QTest::newRow("a user's rule numbered 9x: synthetic bold")
            << QStringLiteral("conf.d/95-embolden.conf")
            << QByteArray("<match target=\"font\"><edit name=\"embolden\" mode=\"assign\">"
                          "<bool>true</bool></edit></match>");
    }

    void sameFacesAsTheDesktop()
    {
        QFETCH(QString, userFile);
        QFETCH(QByteArray, userRules);
        QTemporaryDir home;
        QVERIFY(home.isValid());
        const QString path = home.filePath(QStringLiteral("fontconfig/") + userFile);
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile user(path);
        QVERIFY(user.open(QIODevice::WriteOnly));
        user.write("<?xml version=\"1.0\"?><fontconfig>" + userRules + "</fontconfig>");
        user.close();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));

        FcConfig *desktop = FcInitLoadConfigAndFonts();
        FcConfig *program = FcConfigCreate();
        const QByteArray text = StartFonts::programConfigText(StartFonts::sourcesOf(desktop));
        QVERIFY(FcConfigParseAndLoadFromMemory(
            program, reinterpret_cast<const FcChar8 *>(text.constData()), FcTrue));
        QVERIFY(FcConfigBuildFonts(program));
        if (matchIn(desktop, "IPAPGothic", 12, false).file.isEmpty())
            QSKIP("the IPA fonts are not installed");
        struct Face
        {
            const char *family;
            double pixels;
            bool bold;
        };
        // The faces and sizes the windows, the help and the pages use.
        for (const Face &face : {Face{"IPAPGothic", 12, false}, Face{"IPAPGothic", 12, true},
                                 Face{"IPAPMincho", 16, true}, Face{"IPAGothic", 12, false},
                                 Face{"IPA Pゴシック", 16, false}}) {
            const Match ours = matchIn(program, face.family, face.pixels, face.bold);
            QVERIFY2(!ours.file.isEmpty(), face.family);
            QVERIFY2(ours == matchIn(desktop, face.family, face.pixels, face.bold), face.family);
        }
        FcConfigDestroy(program);
        FcConfigDestroy(desktop);
        qunsetenv("XDG_CONFIG_HOME");
    }

    void typedTextDrawsWhatTheIpaFacesLack()
    {
        if (!m_programFonts)
            QSKIP("the program's own font configuration is not in use here");
        // A dish name with symbols the IPA faces have no glyph for: each is
        // drawn from another installed font, not as the empty box.
        const QString name = QStringLiteral("☕コーヒーゼリー ❤ ☺");
        if (!desktopHasGlyphs(name))
            QSKIP("no installed font has these symbols");
        QLineEdit box(name);
        box.ensurePolished();
        QTextLayout layout(name, box.font());
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        for (const QGlyphRun &run : layout.glyphRuns()) {
            const QString family = run.rawFont().familyName();
            for (quint32 glyph : run.glyphIndexes())
                QVERIFY2(glyph != 0, qPrintable(family));
        }
    }
    void textIsDrawnBeforeAndAfterTheDesktopFontsLoad()
    {
        if (!m_programFonts)
            QSKIP("the program's own font configuration is not in use here");
        // Text drawn with the program's fonts stays as it was once the
        // desktop's configuration has replaced them, and a face first
        // needed afterwards is found in the desktop's.
        const auto drawn = [](const QFont &font) {
            QLabel label(QStringLiteral("栄養成分値 ｶﾛﾘｰ 3,017 kcal μg"));
            label.setFont(font);
            label.adjustSize();
            return label.grab().toImage();
        };
        const QFont gothic = Widgets::font(QStringLiteral("ＭＳ Ｐゴシック"), 9);
        const QImage before = drawn(gothic);
        StartFonts::useDesktopFonts();
        QCOMPARE(drawn(gothic), before);
        const QImage mincho = drawn(Widgets::font(QStringLiteral("ＭＳ Ｐ明朝"), 20, true));
        QVERIFY(mincho.width() > before.width());
        QVERIFY(QFontInfo(Widgets::font(QStringLiteral("ＭＳ Ｐ明朝"), 20, true))
                    .family()
                    .contains(QStringLiteral("Mincho")));
        StartFonts::useDesktopFonts(); // once is enough
    }

    void aConfigurationOfTheUsersChoosingIsKept()
    {
        qputenv("FONTCONFIG_FILE", "/etc/fonts/fonts.conf");
        QVERIFY(!StartFonts::useProgramFonts());
        qunsetenv("FONTCONFIG_FILE");
    }
};

int main(int argc, char *argv[])
{
    // As the program starts: its own fonts first, then the application.
    const bool programFonts = StartFonts::useProgramFonts();
    QApplication app(argc, argv);
    setUpApplication(app);
    TestStartFonts test(programFonts);
    return QTest::qExec(&test, argc, argv);
}
#include "tst_startfonts.moc"
