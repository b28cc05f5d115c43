#include "app/appsetup.h"

#include "app/widgets.h"

#include <QApplication>
#include <QFont>
#include <QIconEngine>
#include <QLibraryInfo>
#include <QLocale>
#include <QPaintEngine>
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

// Qt's raster painter hands a fill of 96 spans or more (the rows of a
// gradient, the pixels of a translucent line) to a pool of worker threads and
// waits for them. For the few pixels of a scroll bar or a header section the
// threads cost more than the fill: starting and waiting for them was a
// seventeenth of the start-up. Such parts are painted in pieces that each
// stay under that size, which gives the same pixels.
constexpr int pieceSize = 64;

// The platform's style, painted without worker threads; the menu bar's
// overflow button gets its icon only when it is first shown: every menu bar
// is made with that button hidden, and loading its images was a thirtieth of
// the start-up.
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

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                            QPainter *painter, const QWidget *widget) const override
    {
        QPaintEngine *engine = painter->paintEngine();
        const QRect area = option->rect;
        // Pieces are cut from the surface a widget is painted on: the style
        // itself sets the painter's clip anew while it paints a scroll bar,
        // which would undo a clip set on the painter here. The surface is
        // in the painter's pixels only when nothing scales them.
        if (control != CC_ScrollBar || !engine || engine->systemClip().isEmpty() ||
            !painter->worldTransform().isIdentity() ||
            painter->deviceTransform().type() > QTransform::TxTranslate ||
            (area.width() < pieceSize && area.height() < pieceSize)) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        const QRegion surface = engine->systemClip();
        const QTransform toSurface = painter->deviceTransform();
        for (int y = area.top(); y <= area.bottom(); y += pieceSize) {
            for (int x = area.left(); x <= area.right(); x += pieceSize) {
                const QRect piece(x, y, pieceSize, pieceSize);
                engine->setSystemClip(surface & toSurface.mapRect(piece));
                painter->save();
                painter->setClipRect(piece, Qt::IntersectClip);
                QProxyStyle::drawComplexControl(control, option, painter, widget);
                painter->restore();
            }
        }
        engine->setSystemClip(surface);
    }

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        const auto *header = qstyleoption_cast<const QStyleOptionHeader *>(option);
        if (element != CE_HeaderSection || !header || header->orientation != Qt::Horizontal ||
            painter->deviceTransform().type() > QTransform::TxTranslate ||
            option->rect.width() < pieceSize || option->rect.height() >= pieceSize) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        // A section is painted into a picture of its own size, which no clip
        // reaches: a wide one is painted as narrower sections side by side.
        // Its shading runs top to bottom, so the pieces join seamlessly where
        // a pixel is a pixel of the screen; only the last keeps the divider
        // at the section's right edge.
        QStyleOptionHeaderV2 piece;
        if (const auto *v2 = qstyleoption_cast<const QStyleOptionHeaderV2 *>(option))
            piece = *v2;
        else
            static_cast<QStyleOptionHeader &>(piece) = *header;
        const QRect whole = option->rect;
        for (int x = whole.left(); x <= whole.right(); x += pieceSize) {
            const bool last = x + pieceSize > whole.right();
            piece.rect =
                QRect(x, whole.top(), last ? whole.right() - x + 1 : pieceSize, whole.height());
            piece.position = last ? header->position : QStyleOptionHeader::End;
            QProxyStyle::drawControl(element, &piece, painter, widget);
        }
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
    // The IPA fonts cover every character the program shows (kana of both
    // widths, kanji, Latin, Greek µ, №, †), so no fallback fonts are merged
    // in: looking them up costs a fifth of the start-up.
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

    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    auto *translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_ja"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(translator);
    app.setApplicationName(QStringLiteral("ゼント"));
    app.setQuitOnLastWindowClosed(false);
}
