#include "app/appsetup.h"
#include "app/startfonts.h"
#include "app/widgets.h"

#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
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
        int index = -1, antialias = -1, rgba = -1, lcdFilter = -1, autohint = -1, hintStyle = -1;
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
            FcPatternDestroy(found);
        }
        FcPatternDestroy(pattern);
        return match;
    }

private slots:
    void sameFacesAsTheDesktop_data()
    {
        QTest::addColumn<QByteArray>("userRules");
        QTest::newRow("the desktop's settings") << QByteArray();
        QTest::newRow("the user's subpixel order and filter")
            << QByteArray("<match target=\"pattern\"><edit name=\"rgba\" mode=\"assign\">"
                          "<const>rgb</const></edit></match>"
                          "<match target=\"pattern\"><edit name=\"lcdfilter\" mode=\"assign\">"
                          "<const>lcdlight</const></edit></match>");
        QTest::newRow("the user's antialiasing off")
            << QByteArray("<match target=\"font\"><edit name=\"antialias\" mode=\"assign\">"
                          "<bool>false</bool></edit></match>");
    }

    void sameFacesAsTheDesktop()
    {
        QFETCH(QByteArray, userRules);
        if (!QFileInfo::exists(QString::fromUtf8(StartFonts::gothicFolder)))
            QSKIP("the IPA fonts are not installed");
        QTemporaryDir home;
        QVERIFY(home.isValid());
        QVERIFY(QDir(home.path()).mkpath(QStringLiteral("fontconfig")));
        QFile user(home.filePath(QStringLiteral("fontconfig/fonts.conf")));
        QVERIFY(user.open(QIODevice::WriteOnly));
        user.write("<?xml version=\"1.0\"?><fontconfig>" + userRules + "</fontconfig>");
        user.close();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));

        FcConfig *desktop = FcInitLoadConfigAndFonts();
        FcConfig *program = FcConfigCreate();
        const QByteArray text = StartFonts::programConfigText(QStringLiteral("/etc/fonts"));
        QVERIFY(FcConfigParseAndLoadFromMemory(
            program, reinterpret_cast<const FcChar8 *>(text.constData()), FcTrue));
        QVERIFY(FcConfigBuildFonts(program));
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
