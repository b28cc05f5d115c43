#include "app/appsetup.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void setUpApplication(QApplication &app)
{
    // The layouts name the fonts of a Japanese desktop; the IPA P-fonts have
    // the same proportional metrics and cover half-width katakana.
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"),
                               {QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック")});
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐ明朝"),
                               {QStringLiteral("IPAPMincho"), QStringLiteral("IPA P明朝")});
    QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"), {QStringLiteral("IPAGothic")});
    // The IPA fonts cover every character the program shows (kana of both
    // widths, kanji, Latin, Greek µ, №, †), so no fallback fonts are merged
    // in: looking them up costs a fifth of the start-up.
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"), 9);
    font.setStyleStrategy(QFont::NoFontMerging);
    // The IPA fonts carry no hinting of their own: hinting them means
    // running FreeType's auto-hinter over every glyph, a sixth of the
    // start-up. Antialiased unhinted text reads as well at these sizes.
    font.setHintingPreference(QFont::PreferNoHinting);
    app.setFont(font);

    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    auto *translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_ja"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(translator);
    app.setApplicationName(QStringLiteral("ゼント"));
    app.setQuitOnLastWindowClosed(false);
}
