#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Controls placed at twip positions, as the window layouts give them.
namespace Widgets {

QLabel *label(QWidget *parent, const QString &name, const QString &caption, int left, int top,
              int width = 0, int height = 0);
// A label given the room up to the next control, its text at the top left
// as a label sized to its text shows it: sized so, it needs no measuring of
// its text before the first paint.
QLabel *caption(QWidget *parent, const QString &name, const QString &text, int left, int top,
                int width, int height = 240);
QLineEdit *textBox(QWidget *parent, const QString &name, const QString &text, int left, int top,
                   int width, int height);
QLineEdit *hiddenBox(QWidget *parent, const QString &name, const QString &text);
QPushButton *button(QWidget *parent, const QString &name, const QString &caption, int left, int top,
                    int width, int height);
QFrame *filledRect(QWidget *parent, const QString &name, const QColor &color, int left, int top,
                   int width, int height);
QFont font(const QString &family, int points, bool bold = false);

// The tint of a total that leaves unknown values out.
inline constexpr QColor unknownTint{255, 214, 150};
// The ground of a food of the official table whose values the user changed.
inline constexpr QColor changedOfficialTint{255, 210, 225};
inline const QString changedOfficialNote = QStringLiteral("食品成分表の値から変えてあります");
// The tint of a weight that is an estimate, not a published figure.
inline constexpr QColor estimateTint{205, 228, 255};

// Marks a total box or label that leaves out the unknown values of the foods
// named: tinted, with the tooltip 「未測定を含む: …」. An empty list takes the
// mark away again. The text is left as computed.
void markUnknown(QWidget *total, const QStringList &foods);

// A fixed-size dialog frame with a close button and no minimise or maximise.
inline constexpr Qt::WindowFlags fixedDialog =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;

} // namespace Widgets
