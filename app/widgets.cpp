#include "app/widgets.h"

#include "app/twips.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace Widgets {

QLabel *label(QWidget *parent, const QString &name, const QString &caption, int left, int top,
              int width, int height)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    if (width > 0 && height > 0) {
        Twips::place(label, left, top, width, height);
    } else {
        label->adjustSize();
        Twips::move(label, left, top);
    }
    return label;
}

QLineEdit *textBox(QWidget *parent, const QString &name, const QString &text, int left, int top,
                   int width, int height)
{
    auto *box = new QLineEdit(text, parent);
    box->setObjectName(name);
    Twips::place(box, left, top, width, height);
    return box;
}

QLineEdit *hiddenBox(QWidget *parent, const QString &name, const QString &text)
{
    auto *box = new QLineEdit(text, parent);
    box->setObjectName(name);
    box->setVisible(false);
    return box;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &caption, int left,
                    int top, int width, int height)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    Twips::place(button, left, top, width, height);
    return button;
}

QFrame *filledRect(QWidget *parent, const QString &name, const QColor &color, int left, int top,
                   int width, int height)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setAutoFillBackground(true);
    QPalette palette = frame->palette();
    palette.setColor(QPalette::Window, color);
    frame->setPalette(palette);
    Twips::place(frame, left, top, width, height);
    return frame;
}

QFont font(const QString &family, int points, bool bold)
{
    QFont font(family, points);
    font.setBold(bold);
    return font;
}

} // namespace Widgets
