#include "about/frmabout.h"

#include "app/twips.h"
#include "app/widgets.h"
#include "core/about/versioninfo.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

// Shrinks the label's font, half a point at a time down to 7 points, until
// each of its lines fits the label's width.
static void fitText(QLabel *label)
{
    QFont font = label->font();
    const int room = label->width() - 2 * label->margin() - 2;
    auto widest = [&] {
        int width = 0;
        for (const QString &line : label->text().split(QLatin1Char('\n')))
            width = std::max(width, QFontMetrics(font).horizontalAdvance(line));
        return width;
    };
    while (widest() > room && font.pointSizeF() > 7.0)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    label->setFont(font);
}

FrmAbout::FrmAbout(Program &program, QWidget *parent)
    : QWidget(parent, Widgets::fixedDialog)
    , m_program(program)
{
    setObjectName(QStringLiteral("frmAbout"));
    Twips::resizeClient(this, 5730, 2235);
    setFixedSize(size());

    picIcon = Widgets::label(this, QStringLiteral("picIcon"), QString(), 240, 240, 540, 540);
    picIcon->setPixmap(programIcon());
    picIcon->setAlignment(Qt::AlignCenter);

    lblTitle = Widgets::label(this, QStringLiteral("lblTitle"), QString(), 1050, 240, 3885, 480);
    lblTitle->setFont(Widgets::font(QStringLiteral("ＭＳ Ｐゴシック"), 14, true));
    lblTitle->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    lblVersion =
        Widgets::label(this, QStringLiteral("lblVersion"), QString(), 1050, 780, 3885, 225);
    lblDescription =
        Widgets::label(this, QStringLiteral("lblDescription"),
                       QStringLiteral("料理の栄養成分を簡単に計算します。"), 1050, 1125, 3885, 210);

    // The copyright line names the food table as its publisher asks; two
    // lines of the label's width fit above the foot of the window.
    Label1 = Widgets::label(this, QStringLiteral("Label1"), VersionInfo::sourceLine(), 1080, 1560,
                            3015, 510);
    Label1->setAutoFillBackground(true);
    QPalette palette = Label1->palette();
    palette.setColor(QPalette::Window, QColor(192, 255, 192));
    Label1->setPalette(palette);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label1->setFont(Widgets::font(QStringLiteral("ＭＳ Ｐゴシック"), 8));
    Label1->setToolTip(VersionInfo::attribution());
    fitText(Label1);

    cmdOK =
        Widgets::button(this, QStringLiteral("cmdOK"), QStringLiteral("OK"), 4245, 1800, 1380, 345);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QWidget::close);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    load();
}

void FrmAbout::load()
{
    setWindowTitle(VersionInfo::caption(VersionInfo::programTitle()));
    lblVersion->setText(VersionInfo::versionText());
    lblTitle->setText(VersionInfo::programTitle());
}

QPixmap FrmAbout::programIcon()
{
    // A rice bowl with a green leaf, on a warm round plate.
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 224, 192));
    p.drawEllipse(QRectF(1, 1, 30, 30));
    // Rice heaped above the rim
    p.setBrush(QColor(252, 250, 240));
    p.drawEllipse(QRectF(7, 9, 18, 11));
    // A leaf on top
    QPainterPath leaf;
    leaf.moveTo(16, 12);
    leaf.cubicTo(17, 5, 23, 4, 26, 5);
    leaf.cubicTo(25, 9, 21, 13, 16, 12);
    p.setBrush(QColor(70, 160, 70));
    p.drawPath(leaf);
    // The bowl
    QPainterPath bowl;
    bowl.moveTo(5, 15);
    bowl.lineTo(27, 15);
    bowl.cubicTo(27, 23, 22, 27, 16, 27);
    bowl.cubicTo(10, 27, 5, 23, 5, 15);
    bowl.closeSubpath();
    p.setBrush(QColor(40, 70, 140));
    p.drawPath(bowl);
    p.setPen(QPen(QColor(255, 255, 255, 190), 1.2));
    p.drawLine(QPointF(8, 18), QPointF(24, 18));
    return pixmap;
}
