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

QString ofFile(const QFileDevice &file)
{
    switch (file.error()) {
    case QFileDevice::ResourceError: // what a full disk is told as
        return of(ENOSPC);
    case QFileDevice::PermissionsError:
        return of(EACCES);
    case QFileDevice::WriteError:
        // The cause of the failed write, when it is still known.
        if (errno != 0)
            return of(errno);
        break;
    default:
        break;
    }
    return file.errorString();
}

} // namespace FileCause
