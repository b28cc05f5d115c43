#include "app/startfonts.h"

#include <QDir>
#include <QFileInfo>
#include <fontconfig/fontconfig.h>

namespace {

bool programFonts = false;

} // namespace

QByteArray StartFonts::programConfigText(const QString &configFolder)
{
    QString text = QStringLiteral("<?xml version=\"1.0\"?>\n<fontconfig>\n");
    for (const char *folder : {gothicFolder, minchoFolder})
        text += QStringLiteral("<dir>%1</dir>\n").arg(QString::fromUtf8(folder).toHtmlEscaped());
    // The desktop's caches: the folders' fonts are read from them, not from
    // the font files.
    text += QStringLiteral("<cachedir>/var/cache/fontconfig</cachedir>\n"
                           "<cachedir prefix=\"xdg\">fontconfig</cachedir>\n");
    // Rule files 10 to 19 are the rendering options, by fontconfig's own
    // numbering; then, as the desktop reads them, the local and the user's
    // configuration, which may set them too.
    const QDir rules(configFolder + QStringLiteral("/conf.d"));
    const QStringList rendering = rules.entryList({QStringLiteral("1[0-9]-*.conf")},
                                                  QDir::Files | QDir::Readable, QDir::Name);
    for (const QString &name : rendering)
        text += QStringLiteral("<include ignore_missing=\"yes\">%1</include>\n")
                    .arg(rules.filePath(name).toHtmlEscaped());
    text += QStringLiteral("<include ignore_missing=\"yes\">%1</include>\n")
                .arg((configFolder + QStringLiteral("/local.conf")).toHtmlEscaped());
    text += QStringLiteral(
        "<include ignore_missing=\"yes\" prefix=\"xdg\">fontconfig/conf.d</include>\n"
        "<include ignore_missing=\"yes\" prefix=\"xdg\">fontconfig/fonts.conf</include>\n"
        "</fontconfig>\n");
    return text.toUtf8();
}

bool StartFonts::useProgramFonts()
{
    if (qEnvironmentVariableIsSet("FONTCONFIG_FILE") ||
        qEnvironmentVariableIsSet("FONTCONFIG_PATH"))
        return false;
    for (const char *folder : {gothicFolder, minchoFolder})
        if (!QFileInfo(QString::fromUtf8(folder)).isDir())
            return false;
    FcConfig *config = FcConfigCreate();
    if (!config)
        return false;
    const QByteArray text = programConfigText(QStringLiteral("/etc/fonts"));
    bool ok = FcConfigParseAndLoadFromMemory(
                  config, reinterpret_cast<const FcChar8 *>(text.constData()), FcFalse) &&
              FcConfigBuildFonts(config);
    if (ok) {
        FcFontSet *fonts = FcConfigGetFonts(config, FcSetSystem);
        ok = fonts && fonts->nfont > 0;
    }
    // The current configuration holds a reference of its own.
    ok = ok && FcConfigSetCurrent(config);
    FcConfigDestroy(config);
    programFonts = ok;
    return ok;
}

void StartFonts::useDesktopFonts()
{
    if (!programFonts)
        return;
    programFonts = false;
    FcConfig *desktop = FcInitLoadConfigAndFonts();
    if (!desktop)
        return;
    FcConfigSetCurrent(desktop);
    FcConfigDestroy(desktop);
}
