#include "core/app/nametext.h"

namespace NameText {

QString controlCharacterProblem(const QString &name, const QString &what)
{
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u >= 0x20 && u != 0x7f && !(u >= 0x80 && u < 0xa0) && u != 0x2028 && u != 0x2029)
            continue;
        QString shown;
        switch (u) {
        case u'\r':
            shown = QStringLiteral("改行（CR）");
            break;
        case u'\n':
        case 0x2028:
        case 0x2029:
            shown = QStringLiteral("改行");
            break;
        case u'\t':
            shown = QStringLiteral("タブ");
            break;
        case 0:
            shown = QStringLiteral("NUL");
            break;
        case 0x1b:
            shown = QStringLiteral("ESC");
            break;
        default:
            shown = QStringLiteral("U+%1").arg(int(u), 4, 16, QLatin1Char('0')).toUpper();
        }
        return QStringLiteral("%1に制御文字（%2）は使えません。取り除いてから入力してください。")
            .arg(what, shown);
    }
    return QString();
}

} // namespace NameText
