#include "app/widgets.h"

#include "app/twips.h"
#include "core/nutrition/unknownvalues.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QVariant>

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

QLabel *caption(QWidget *parent, const QString &name, const QString &text, int left, int top,
                int width, int height)
{
    QLabel *caption = label(parent, name, text, left, top, width, height);
    caption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return caption;
}

QLineEdit *hiddenBox(QWidget *parent, const QString &name, const QString &text)
{
    auto *box = new QLineEdit(text, parent);
    box->setObjectName(name);
    box->setVisible(false);
    return box;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &caption, int left, int top,
                    int width, int height)
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
    // The installed font that stands for the named one is asked for first:
    // a name no installed font has sends the font database through every
    // fallback font before it tries the substitutes.
    font.setFamilies(QFont::substitutes(family) << family);
    font.setBold(bold);
    return font;
}

void markUnknown(QWidget *total, const QStringList &foods)
{
    // The widget's own palette is kept aside the first time, so that taking
    // the mark away restores exactly what the window gave it.
    static const char *const ownPalette = "zentoOwnPalette";
    const QVariant kept = total->property(ownPalette);
    if (foods.isEmpty()) {
        if (kept.isValid()) {
            total->setPalette(kept.value<QPalette>());
            total->setProperty(ownPalette, QVariant());
        }
        total->setToolTip(QString());
        return;
    }
    if (!kept.isValid())
        total->setProperty(ownPalette, QVariant::fromValue(total->palette()));
    QPalette tinted = kept.isValid() ? kept.value<QPalette>() : total->palette();
    tinted.setColor(QPalette::Base, unknownTint);
    tinted.setColor(QPalette::Window, unknownTint);
    total->setPalette(tinted);
    total->setToolTip(UnknownValues::note(foods));
}

} // namespace Widgets
