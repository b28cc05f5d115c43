#include "core/app/filecause.h"

#include <cerrno>
#include <cstring>

namespace FileCause {

QString of(int errorNumber)
{
    switch (errorNumber) {
    case ENOSPC:
        return QStringLiteral("ディスクの空きがありません");
    case EDQUOT:
        return QStringLiteral("ディスクの使用量の上限に達しています");
    case EACCES:
    case EPERM:
        return QStringLiteral("書き込みが許可されていません");
    case EROFS:
        return QStringLiteral("読み取り専用のディスクです");
    case EIO:
        return QStringLiteral("ディスクの読み書きに失敗しました");
    case ENOENT:
        return QStringLiteral("フォルダーがありません");
    case EISDIR:
        return QStringLiteral("同じ名前のフォルダーがあります");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎます");
    default:
        return QStringLiteral("書き込めません（%1）")
            .arg(QString::fromLocal8Bit(std::strerror(errorNumber)));
    }
}

} // namespace FileCause
