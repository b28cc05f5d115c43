#pragma once

#include <QFileDevice>
#include <QString>

// Why a file could not be written, in the user's words: the cause behind an
// error number (ディスクの空きがありません, 書き込みが許可されていません …).
namespace FileCause {

QString of(int errorNumber);
// The same for a file whose write failed, from what the file tells.
QString ofFile(const QFileDevice &file);

} // namespace FileCause
