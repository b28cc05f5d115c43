#include "app/startfonts.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <fontconfig/fontconfig.h>

namespace {

bool programFonts = false;
FcConfig *desktopConfig = nullptr; // the desktop's, made current again later

QStringList listed(FcStrList *list)
{
    QStringList names;
    if (!list)
        return names;
    while (const FcChar8 *name = FcStrListNext(list))
        names << QFile::decodeName(reinterpret_cast<const char *>(name));
    FcStrListDone(list);
    return names;
}

// A rule file that sets how glyphs are drawn rather than which family
// stands for which: by fontconfig's numbering 00-29 (rendering) and 90-99
// (synthesis); an unnumbered file (local.conf, the user's fonts.conf) may
// set anything and is read as the desktop reads it.
bool concernsRendering(const QString &path, const QString &mainFile)
{
    if (path == mainFile || !QFileInfo(path).isFile())
        return false;
    static const QRegularExpression numbered(QStringLiteral("^([0-9])[0-9]-"));
    const QRegularExpressionMatch m = numbered.match(QFileInfo(path).fileName());
    if (!m.hasMatch())
        return true;
    const QChar tens = m.captured(1).at(0);
    return tens <= u'2' || tens == u'9';
}

bool knowsIpaFaces(FcConfig *config)
{
    FcPattern *pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>("IPAPGothic"));
    FcObjectSet *objects = FcObjectSetBuild(FC_FILE, nullptr);
    FcFontSet *found = FcFontList(config, pattern, objects);
    const bool known = found && found->nfont > 0;
    if (found)
        FcFontSetDestroy(found);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return known;
}

} // namespace

StartFonts::Sources StartFonts::sourcesOf(FcConfig *desktop)
{
    Sources sources;
    sources.fontFolders = listed(FcConfigGetFontDirs(desktop));
    sources.cacheFolders = listed(FcConfigGetCacheDirs(desktop));
    FcChar8 *main = FcConfigFilename(nullptr);
    const QString mainFile =
        main ? QFile::decodeName(reinterpret_cast<const char *>(main)) : QString();
    FcStrFree(main);
    for (const QString &file : listed(FcConfigGetConfigFiles(desktop)))
        if (concernsRendering(file, mainFile))
            sources.ruleFiles << file;
    return sources;
}

QByteArray StartFonts::programConfigText(const Sources &sources)
{
    QString text = QStringLiteral("<?xml version=\"1.0\"?>\n<fontconfig>\n");
    for (const QString &folder : sources.fontFolders)
        text += QStringLiteral("<dir>%1</dir>\n").arg(folder.toHtmlEscaped());
    // The desktop's caches: the folders' fonts are read from them, not from
    // the font files.
    for (const QString &folder : sources.cacheFolders)
        text += QStringLiteral("<cachedir>%1</cachedir>\n").arg(folder.toHtmlEscaped());
    for (const QString &file : sources.ruleFiles)
        text += QStringLiteral("<include ignore_missing=\"yes\">%1</include>\n")
                    .arg(file.toHtmlEscaped());
    text += QStringLiteral("</fontconfig>\n");
    return text.toUtf8();
}

bool StartFonts::useProgramFonts()
{
    if (qEnvironmentVariableIsSet("FONTCONFIG_FILE") ||
        qEnvironmentVariableIsSet("FONTCONFIG_PATH"))
        return false;
    // The desktop's configuration, read once: where the fonts and caches are
    // and which rule files there are. It is current while the program's own
    // is parsed (fontconfig reads the current configuration while parsing,
    // and would otherwise read the desktop's whole configuration a second
    // time), and it is kept for useDesktopFonts().
    FcConfig *desktop = FcInitLoadConfig();
    if (!desktop)
        return false;
    if (!FcConfigSetCurrent(desktop)) {
        FcConfigDestroy(desktop);
        return false;
    }
    const QByteArray text = programConfigText(sourcesOf(desktop));

    FcConfig *config = FcConfigCreate();
    bool ok = config &&
              FcConfigParseAndLoadFromMemory(
                  config, reinterpret_cast<const FcChar8 *>(text.constData()), FcFalse) &&
              FcConfigBuildFonts(config) && knowsIpaFaces(config);
    // The current configuration holds a reference of its own.
    ok = ok && FcConfigSetCurrent(config);
    if (config)
        FcConfigDestroy(config);
    if (ok)
        desktopConfig = desktop;
    else
        FcConfigDestroy(desktop); // it stays current, as fontconfig's own would be
    programFonts = ok;
    return ok;
}

void StartFonts::useDesktopFonts()
{
    if (!programFonts)
        return;
    programFonts = false;
    FcConfigSetCurrent(desktopConfig);
    FcConfigDestroy(desktopConfig); // the current configuration holds it
    desktopConfig = nullptr;
}
