#include "app/frmsplash.h"

#include "app/twips.h"
#include "app/widgets.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

FrmSplash::FrmSplash(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    Twips::resizeClient(this, 4740, 3945);
    setFixedSize(size());
    m_title =
        Widgets::label(this, QStringLiteral("Label1"), QStringLiteral("ゼント"), 0, 0, 2415, 495);
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setFont(Widgets::font(QStringLiteral("ＭＳ Ｐ明朝"), 24, true));
    m_title->setAutoFillBackground(true);
    QPalette palette = m_title->palette();
    palette.setColor(QPalette::Window, QColor(192, 255, 192));
    m_title->setPalette(palette);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QImage FrmSplash::picture()
{
    // A bowl of vegetables on a warm background.
    QImage image(320, 267, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 267);
    sky.setColorAt(0, QColor(255, 248, 225));
    sky.setColorAt(1, QColor(255, 214, 170));
    p.fillRect(image.rect(), sky);
    // Leaves
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(96, 170, 80));
    for (int i = 0; i < 5; ++i) {
        p.save();
        p.translate(160, 150);
        p.rotate(-60 + i * 30);
        p.drawEllipse(QRectF(-14, -95, 28, 70));
        p.restore();
    }
    // Tomato and carrot
    p.setBrush(QColor(220, 60, 50));
    p.drawEllipse(QRectF(92, 112, 62, 56));
    p.setBrush(QColor(245, 150, 40));
    QPainterPath carrot;
    carrot.moveTo(190, 110);
    carrot.lineTo(236, 122);
    carrot.lineTo(176, 160);
    carrot.closeSubpath();
    p.drawPath(carrot);
    p.setBrush(QColor(250, 240, 200));
    p.drawEllipse(QRectF(146, 118, 40, 40)); // an egg
    // The bowl
    QPainterPath bowl;
    bowl.moveTo(60, 160);
    bowl.cubicTo(70, 250, 250, 250, 260, 160);
    bowl.closeSubpath();
    QLinearGradient glaze(60, 160, 260, 240);
    glaze.setColorAt(0, QColor(40, 70, 140));
    glaze.setColorAt(1, QColor(20, 40, 90));
    p.setBrush(glaze);
    p.drawPath(bowl);
    p.setPen(QPen(QColor(255, 255, 255, 170), 3));
    p.drawLine(QPointF(80, 172), QPointF(240, 172));
    return image;
}

void FrmSplash::paintEvent(QPaintEvent *)
{
    static const QImage image = picture();
    QPainter painter(this);
    painter.drawImage(rect(), image);
}
