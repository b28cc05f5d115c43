#pragma once

#include <QString>

// The program's identity as the build fixes it: title, version numbers and
// the texts the version window shows.
namespace VersionInfo {

QString programTitle(); // "ゼント"

// The version numbers of this build (major, minor, release).
int versionMajor();
int versionMinor();
int versionRelease();

// "ﾊﾞｰｼﾞｮﾝ " and the three numbers in decimal without leading zeros, joined
// by ".": 1, 2, 6 give "ﾊﾞｰｼﾞｮﾝ 1.2.6".
QString versionText(int majorNumber, int minorNumber, int releaseNumber);
// The version text of this build.
QString versionText();

// The window caption: the title followed by "のﾊﾞｰｼﾞｮﾝ情報".
QString caption(const QString &title);

// The short source line the version window shows, and the full attribution
// of the reference data behind it.
QString sourceLine();
QString attribution();

} // namespace VersionInfo
