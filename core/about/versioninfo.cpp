#include "core/about/versioninfo.h"

namespace VersionInfo {

QString programTitle()
{
    return QStringLiteral("ゼント");
}

int versionMajor()
{
    return ZENTO_VERSION_MAJOR;
}

int versionMinor()
{
    return ZENTO_VERSION_MINOR;
}

int versionRelease()
{
    return ZENTO_VERSION_RELEASE;
}

QString versionText(int majorNumber, int minorNumber, int releaseNumber)
{
    return QStringLiteral("ﾊﾞｰｼﾞｮﾝ %1.%2.%3")
        .arg(QString::number(majorNumber), QString::number(minorNumber),
             QString::number(releaseNumber));
}

QString versionText()
{
    return versionText(versionMajor(), versionMinor(), versionRelease());
}

QString caption(const QString &title)
{
    return title + QStringLiteral("のﾊﾞｰｼﾞｮﾝ情報");
}

QString sourceLine()
{
    return QStringLiteral(
        "出典：「日本食品標準成分表（八訂）\n増補2023年」（文部科学省）を加工して作成");
}

QString attribution()
{
    return QStringLiteral(
        "食品成分: 「日本食品標準成分表（八訂）増補2023年」（文部科学省）を加工して作成\n"
        "食事摂取基準: 「日本人の食事摂取基準（2025年版）」（厚生労働省）を加工して作成"
        "（一部の値は2020年版による）");
}

} // namespace VersionInfo
