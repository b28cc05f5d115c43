#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <sys/types.h>

// The settings file "zento.ini" in the working folder: one setting a line,
// the key (brackets included), "=", the value; lines end with CR LF. As the
// settings window writes it:
//
//   [SPEED]=0
//   [FLM]=0
//   [BACK]=背景色３
//   [PIC]=1
//
// These are the file's rules without any window, so that they can be checked
// on their own.
namespace SettingsFile {

QString fileName(); // "zento.ini"

// The keys, in the order the file is written.
QString speedKey(); // "[SPEED]"
QString flmKey();   // "[FLM]"
QString backKey();  // "[BACK]"
QString picKey();   // "[PIC]"
// The widths the user gave grid columns (the windows' own text), written
// after the four settings when there are any.
QString columnsKey(); // "[COLS]"

// The value of key in text: the first line that begins with key (compared
// exactly: case, width and leading blanks count) gives the rest of that line
// after its first "=", up to the CR LF that ends it. Empty when no line
// begins with key, when the key's line has no "=" (even if a later line has
// one), or when no CR LF follows the key (a last line without a line end).
QString GetSettingValue(const QString &text, const QString &key);

// The leading number of text written back in shortest form: "12abc" gives
// "12", "3.50" gives "3.5", text without a leading number gives "0".
QString leadingNumber(const QString &text);

// The cover option's value as a check box value: 0 (off), 1 (on) or 2
// (greyed, which counts as off). Nothing for an empty, non-numeric or other
// value, which leaves the box as it was.
std::optional<int> checkValue(const QString &value);

// The file's text for the four settings, each line ended by CR LF. speed and
// flm are written as their leading numbers. Column widths, when given, follow
// on a line of their own.
QString compose(const QString &speed, const QString &flm, const QString &back, int pic,
                const QString &columns = QString());

// The text with its column widths replaced by columns: the four settings as
// the text gives them (composed as the settings window composes them), then
// the widths.
QString withColumns(const QString &text, const QString &columns);

// Bytes of the file as text: UTF-8 when the bytes are valid UTF-8 (a byte
// order mark is dropped), otherwise Shift-JIS (code page 932), as a file
// written on a Japanese Windows system is.
QString decode(const QByteArray &bytes);
// Text as the file's bytes: UTF-8, no byte order mark.
QByteArray encode(const QString &text);

// The largest settings file read; a larger one counts as damaged.
constexpr qint64 maxBytes = 64 * 1024;

// Reads the whole file at path. A missing file is created empty and reads as
// the empty text. Nothing when the file can neither be read nor created, or
// is larger than maxBytes (it is then left as it is); *error says why.
std::optional<QString> read(const QString &path, QString *error = nullptr);

// Replaces the file's content by text. The new content is written to a
// temporary file beside it that then takes the file's place, so the file is
// always either the old one or the new one, whole, and nothing of a longer
// old content stays behind: every write is checked, the file synced before
// it takes the name. Text with a refused value (see refusedValue) is not
// written. False, with *error naming the file and the cause, otherwise.
bool write(const QString &path, const QString &text, QString *error = nullptr);

// The same, the bytes written through writeBytes (for a failing disk).
bool writeThrough(const QString &path, const QString &text, QString *error,
                  ssize_t (*writeBytes)(int, const void *, size_t));

// Why text may not be written as settings (a control character in a value,
// a colour the window does not offer); empty when it may.
QString refusedValue(const QString &text);
// The background colours the settings window offers.
QStringList colourNames();
// How a colour is offered: its name and the colour it gives
// ("背景色１（うすいオレンジ）"); other text as it is.
QString colourCaption(const QString &name);
// The name a colour's caption (or its name) stands for; other text as it is.
QString colourNameOf(const QString &shown);

// One reading of the file: its text, or nothing with the reason.
struct Reading
{
    std::optional<QString> text;
    QString error;
};
Reading readOnce(const QString &path);

// Whether the text asks for the cover window at start-up: its cover option
// reads 1 (2, greyed, counts as off).
bool showsCover(const QString &text);

} // namespace SettingsFile
