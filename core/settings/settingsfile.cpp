#include "core/settings/settingsfile.h"

#include "core/app/filecause.h"
#include "core/store/numberreader.h"
#include "core/store/numbertext.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace SettingsFile {

static const QString lineEnd = QStringLiteral("\r\n");

QString fileName()
{
    return QStringLiteral("zento.ini");
}

QString speedKey()
{
    return QStringLiteral("[SPEED]");
}

QString flmKey()
{
    return QStringLiteral("[FLM]");
}

QString backKey()
{
    return QStringLiteral("[BACK]");
}

QString columnsKey()
{
    return QStringLiteral("[COLS]");
}

QString picKey()
{
    return QStringLiteral("[PIC]");
}

QString GetSettingValue(const QString &text, const QString &key)
{
    if (key.isEmpty())
        return QString();
    // A line break in front, so that a key on the first line also follows one.
    const QString t = lineEnd + text;
    const qsizetype found = t.indexOf(lineEnd + key, 0, Qt::CaseSensitive);
    if (found < 0)
        return QString(); // no line begins with the key
    const qsizetype keyStart = found + lineEnd.size();
    const qsizetype equals = t.indexOf(QLatin1Char('='), keyStart);
    const qsizetype end = t.indexOf(lineEnd, keyStart);
    // No "=" at all, no line end after the key, or the first "=" lies on a
    // later line than the key's: the key has no value.
    if (equals < 0 || end < 0 || end < equals + 1)
        return QString();
    return t.mid(equals + 1, end - equals - 1);
}

QString leadingNumber(const QString &text)
{
    const double value = NumberText::leading(text);
    return NumberText::general(std::isfinite(value) ? value : 0.0);
}

std::optional<int> checkValue(const QString &value)
{
    const std::optional<double> number = NumberReader::number(value);
    if (!number)
        return std::nullopt;
    if (*number == 0.0)
        return 0;
    if (*number == 1.0)
        return 1;
    if (*number == 2.0)
        return 2;
    return std::nullopt;
}

QString compose(const QString &speed, const QString &flm, const QString &back, int pic,
                const QString &columns)
{
    QString text = speedKey() + QLatin1Char('=') + leadingNumber(speed) + lineEnd + flmKey() +
                   QLatin1Char('=') + leadingNumber(flm) + lineEnd + backKey() + QLatin1Char('=') +
                   back + lineEnd + picKey() + QLatin1Char('=') + QString::number(pic) + lineEnd;
    if (!columns.isEmpty())
        text += columnsKey() + QLatin1Char('=') + columns + lineEnd;
    return text;
}

QString withColumns(const QString &text, const QString &columns)
{
    const QString back = GetSettingValue(text, backKey());
    return compose(GetSettingValue(text, speedKey()), GetSettingValue(text, flmKey()),
                   colourNames().contains(back) ? back : QString(),
                   checkValue(GetSettingValue(text, picKey())).value_or(0), columns);
}

QString decode(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    // Code page 932 as Windows writes it (the Microsoft variant of Shift-JIS).
    QStringDecoder shiftJis("windows-31j", QStringConverter::Flag::Stateless);
    if (!shiftJis.isValid())
        shiftJis = QStringDecoder("Shift_JIS", QStringConverter::Flag::Stateless);
    if (!shiftJis.isValid())
        return text; // no converter on this system: UTF-8 with replacement marks
    return shiftJis.decode(bytes);
}

QByteArray encode(const QString &text)
{
    return text.toUtf8();
}

static void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

Reading readOnce(const QString &path)
{
    Reading reading;
    reading.text = read(path, &reading.error);
    return reading;
}

bool showsCover(const QString &text)
{
    return checkValue(GetSettingValue(text, picKey())) == 1;
}

std::optional<QString> read(const QString &path, QString *error)
{
    const QFileInfo info(path);
    QFile file(path);
    if (info.isDir()) {
        setError(error, QStringLiteral("「%1」はフォルダーです").arg(info.absoluteFilePath()));
        return std::nullopt;
    }
    if (!info.exists()) {
        // The first start: an empty file, every setting empty.
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            setError(error, QStringLiteral("「%1」を作れません: %2")
                                .arg(info.absoluteFilePath(), file.errorString()));
            return std::nullopt;
        }
        file.close();
        return QString();
    }
    // A FIFO or a device would hold up the start, or never end.
    if (!info.isFile()) {
        setError(error, QStringLiteral("「%1」は通常のファイルではないので、読みません。"
                                       "既定の設定で起動します。")
                            .arg(info.absoluteFilePath()));
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("「%1」を開けません: %2")
                            .arg(info.absoluteFilePath(), file.errorString()));
        return std::nullopt;
    }
    // The file holds four short lines; one far larger is not a settings file
    // (a copy gone wrong, a disk error), and reading it whole would only cost
    // the start-up time and memory.
    const QByteArray bytes = file.read(maxBytes + 1);
    if (bytes.size() > maxBytes) {
        setError(error,
                 QStringLiteral("「%1」は %2 KiB を超えていて、設定ファイルとして読めません。"
                                "既定の設定で起動します。ファイルはそのままです。")
                     .arg(info.absoluteFilePath())
                     .arg(maxBytes / 1024));
        return std::nullopt;
    }
    if (file.error() != QFileDevice::NoError) {
        setError(error, QStringLiteral("「%1」を読めません: %2")
                            .arg(info.absoluteFilePath(), file.errorString()));
        return std::nullopt;
    }
    return decode(bytes);
}

namespace {

QStringList colourCaptions()
{
    return {QStringLiteral("背景色１（うすいオレンジ）"), QStringLiteral("背景色２（標準の色）"),
            QStringLiteral("背景色３（うすい青）")};
}

} // namespace

QString refusedValue(const QString &text)
{
    // Every line ends with CR LF and holds no other control character: a
    // line break typed into a box would add a setting of its own.
    QStringList lines = text.split(lineEnd);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QStringList keys{speedKey(), flmKey(), backKey(), picKey()};
    if (lines.size() == keys.size() + 1)
        keys << columnsKey();
    bool asComposed = lines.size() == keys.size();
    for (qsizetype i = 0; asComposed && i < keys.size(); ++i)
        asComposed = lines[i].startsWith(keys[i] + QLatin1Char('='));
    if (!asComposed)
        return QStringLiteral("設定の値に改行などの制御文字は使えません。");
    for (const QString &line : lines)
        for (const QChar c : line)
            if (c.category() == QChar::Other_Control)
                return QStringLiteral("設定の値に改行などの制御文字は使えません。");
    const QString back = GetSettingValue(text, backKey());
    if (!back.isEmpty() && !colourNames().contains(back))
        return QStringLiteral("背景色は「%1」のどれかを選んでください（「%2」は選べません）。")
            .arg(colourCaptions().join(QStringLiteral("」「")), back);
    return QString();
}

QStringList colourNames()
{
    return {QStringLiteral("背景色１"), QStringLiteral("背景色２"), QStringLiteral("背景色３")};
}

QString colourCaption(const QString &name)
{
    const qsizetype i = colourNames().indexOf(name);
    return i < 0 ? name : colourCaptions().at(i);
}

QString colourNameOf(const QString &shown)
{
    const qsizetype i = colourCaptions().indexOf(shown);
    return i < 0 ? shown : colourNames().at(i);
}

bool write(const QString &path, const QString &text, QString *error)
{
    return writeThrough(path, text, error, &::write);
}

bool writeThrough(const QString &path, const QString &text, QString *error,
                  ssize_t (*writeBytes)(int, const void *, size_t))
{
    const QFileInfo info(path);
    const QString shown = info.absoluteFilePath();
    const QString refused = refusedValue(text);
    if (!refused.isEmpty()) {
        setError(error, refused);
        return false;
    }
    if (info.isDir() || (info.exists() && !info.isFile())) {
        setError(error, QStringLiteral("「%1」は通常のファイルではありません").arg(shown));
        return false;
    }
    // The new content goes to a temporary file beside the old one, every
    // write checked, flushed to the disk, and only then takes its name: a
    // full disk or any failure leaves the old file whole.
    QByteArray temporary = QFile::encodeName(shown + QStringLiteral(".XXXXXX"));
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        setError(error,
                 QStringLiteral("「%1」に書き込めません: %2").arg(shown, FileCause::of(errno)));
        return false;
    }
    const QByteArray bytes = encode(text);
    qsizetype done = 0;
    int failure = 0;
    while (done < bytes.size()) {
        const ssize_t n = writeBytes(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            failure = n < 0 ? errno : ENOSPC;
            break;
        }
        done += n;
    }
    if (!failure && ::fchmod(fd, 0644) != 0)
        failure = errno;
    if (!failure && ::fsync(fd) != 0)
        failure = errno;
    if (::close(fd) != 0 && !failure)
        failure = errno;
    if (!failure && std::rename(temporary.constData(), QFile::encodeName(shown).constData()) != 0)
        failure = errno;
    if (failure) {
        ::unlink(temporary.constData());
        setError(error, QStringLiteral("「%1」に書き込めません: %2。設定ファイルは前のままです。")
                            .arg(shown, FileCause::of(failure)));
        return false;
    }
    return true;
}

} // namespace SettingsFile
