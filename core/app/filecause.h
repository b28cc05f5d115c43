#pragma once

#include <QString>

// Why a file could not be written, in the user's words: the cause behind an
// error number (ディスクの空きがありません, 書き込みが許可されていません …).
namespace FileCause {

QString of(int errorNumber);

} // namespace FileCause
