#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

typedef struct _FcConfig FcConfig;

// The fonts the first window is painted with, found without running every
// font match through the desktop's whole font configuration.
//
// Every text the program shows is set in the four IPA faces (the layouts
// name the Japanese desktop's fonts; the IPA P-fonts stand for them). Each
// font match under the desktop's configuration runs through some sixty rule
// files, most of them aliases and preferences among families the program
// never names; that took a fifth of the start-up. useProgramFonts() has
// fontconfig know the desktop's font folders and caches (so a character the
// IPA faces lack, ☕ in a dish name, is drawn from another installed font as
// before) with only the desktop's rule files that set how glyphs are
// rendered and synthesised: fontconfig numbers those 00 to 29 (hinting,
// antialiasing, subpixel order, LCD filter, unhinting) and 90 to 99
// (synthetic bold and oblique), the system's and the user's alike, plus the
// unnumbered local and user files. useDesktopFonts() loads the desktop's
// whole configuration once the window is up, before any dialog of the
// desktop's own can open.
namespace StartFonts {

// What the program's configuration is made of, as read from a loaded
// configuration: its font and cache folders and, in the order the desktop
// reads them, the rule files that concern rendering and synthesis.
struct Sources
{
    QStringList fontFolders, cacheFolders, ruleFiles;
};
Sources sourcesOf(FcConfig *desktop);

// The program's configuration text for those sources.
QByteArray programConfigText(const Sources &sources);

// First thing in main(), before the application object or anything else
// uses fontconfig. Does nothing, and says so, when FONTCONFIG_FILE or
// FONTCONFIG_PATH names a configuration of the user's choosing, when the
// desktop's configuration cannot be read or knows no IPA face, or when the
// configuration cannot be made.
bool useProgramFonts();

// Once the first window has been painted, and before any dialog of the
// desktop's own opens (a file dialog opened earlier would keep the
// program's fonts for good); safe to call more than once, and does nothing
// unless useProgramFonts() took effect.
void useDesktopFonts();

} // namespace StartFonts
