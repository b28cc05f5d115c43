#include "app/appsetup.h"

#include "app/widgets.h"

#include <QApplication>
#include <QFont>
#include <QIconEngine>
#include <QLibraryInfo>
#include <QLocale>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>
#include <QTranslator>

namespace {

// The style's own icon, made when it is first drawn or measured.
class LaterIconEngine : public QIconEngine
{
public:
    LaterIconEngine(const QStyle *style, QStyle::StandardPixmap which)
        : m_style(style)
        , m_which(which)
    {
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    QIconEngine *clone() const override { return new LaterIconEngine(m_style, m_which); }

private:
    const QIcon &icon()
    {
        if (m_icon.isNull())
            m_icon = m_style->standardIcon(m_which);
        return m_icon;
    }

    const QStyle *m_style;
    QStyle::StandardPixmap m_which;
    QIcon m_icon;
};

// The platform's style; the menu bar's overflow button gets its icon only
// when it is first shown: every menu bar is made with that button hidden,
// and loading its images was a thirtieth of the start-up.
class StartUpStyle : public QProxyStyle
{
public:
    QIcon standardIcon(StandardPixmap which, const QStyleOption *option,
                       const QWidget *widget) const override
    {
        if (which == SP_ToolBarHorizontalExtensionButton ||
            which == SP_ToolBarVerticalExtensionButton)
            return QIcon(new LaterIconEngine(baseStyle(), which));
        return QProxyStyle::standardIcon(which, option, widget);
    }
};

} // namespace

void setUpApplication(QApplication &app)
{
    app.setStyle(new StartUpStyle);
    // The layouts name the fonts of a Japanese desktop; the IPA P-fonts have
    // the same proportional metrics and cover half-width katakana.
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"),
                               {QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック")});
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐ明朝"),
                               {QStringLiteral("IPAPMincho"), QStringLiteral("IPA P明朝")});
    QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"), {QStringLiteral("IPAGothic")});
    // The IPA fonts cover every character the program itself shows (kana of
    // both widths, kanji, Latin, Greek µ, №, †), so its captions and labels
    // merge no fallback fonts in: looking them up costs a fifth of the
    // start-up. What a user types (boxes, lists and grid cells) may hold
    // characters the IPA faces lack (☕ in a dish name); those draw them
    // from the desktop's other fonts.
    QFont font = Widgets::font(QStringLiteral("ＭＳ Ｐゴシック"), 9);
    // Japanese text needs no shaping rules to be legible, and the IPA fonts
    // carry their proportional widths in their metrics: text is laid out
    // without reading the fonts' shaping tables, which would otherwise be a
    // tenth of the start-up's memory.
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::PreferNoShaping));
    // The IPA fonts carry no hinting of their own: hinting them means
    // running FreeType's auto-hinter over every glyph, a sixth of the
    // start-up. Antialiased unhinted text reads as well at these sizes.
    font.setHintingPreference(QFont::PreferNoHinting);
    app.setFont(font);
    QFont typed = font;
    typed.setStyleStrategy(QFont::PreferNoShaping);
    for (const char *typedInto : {"QLineEdit", "QComboBox", "QAbstractSpinBox", "QAbstractItemView",
                                  "QTextEdit", "QPlainTextEdit"})
        QApplication::setFont(typed, typedInto);

    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    auto *translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_ja"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(translator);
    app.setApplicationName(QStringLiteral("ゼント"));
    app.setQuitOnLastWindowClosed(false);
}
