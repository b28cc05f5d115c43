#pragma once

#include <QByteArray>
#include <QString>

// The fonts the first window is painted with, found without reading the
// desktop's whole font configuration.
//
// Every text the program shows is set in the four IPA faces (the layouts
// name the Japanese desktop's fonts; the IPA P-fonts stand for them, and no
// other font is merged in). Reading the desktop's font configuration (some
// sixty rule files, every installed font, each match run through every
// rule) took a fifth of the start-up. useProgramFonts() has fontconfig know
// just the IPA faces, with the desktop's rendering settings (antialiasing,
// subpixel order, LCD filter: the rule files numbered 10 to 19, the local
// and the user's own configuration), so the first window is drawn exactly
// as before. useDesktopFonts() loads the desktop's whole configuration once
// the window is up, before any dialog of the desktop's own can open.
namespace StartFonts {

// Where the IPA faces lie (Debian's fonts-ipafont-gothic and -mincho).
inline constexpr const char *gothicFolder = "/usr/share/fonts/opentype/ipafont-gothic";
inline constexpr const char *minchoFolder = "/usr/share/fonts/opentype/ipafont-mincho";

// The program's font configuration: the IPA folders, the desktop's caches,
// and of the desktop's configuration in configFolder (/etc/fonts) only what
// sets how glyphs are rendered.
QByteArray programConfigText(const QString &configFolder);

// First thing in main(), before the application object or anything else
// uses fontconfig. Does nothing, and says so, when FONTCONFIG_FILE or
// FONTCONFIG_PATH names a configuration of the user's choosing, when an IPA
// folder is missing, or when the configuration cannot be made.
bool useProgramFonts();

// Once the first window has been painted, and before any dialog of the
// desktop's own opens (a file dialog opened earlier would keep the
// program's fonts for good); safe to call more than once, and does nothing
// unless useProgramFonts() took effect.
void useDesktopFonts();

} // namespace StartFonts
