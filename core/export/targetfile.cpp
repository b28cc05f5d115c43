#include "core/export/targetfile.h"

#include "core/app/filecause.h"
#include "core/app/leftovers.h"
#include "core/store/storecheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

TargetFile::TargetFile(const QString &path)
    : m_path(path)
{
}

TargetFile::~TargetFile()
{
    if (!m_committed && !m_temporary.isEmpty())
        QFile::remove(m_temporary);
}

QString TargetFile::failure(const QString &reason) const
{
    return QStringLiteral("「%1」に書き込めません: %2")
        .arg(QDir::toNativeSeparators(m_path), reason);
}

bool TargetFile::open(QString *error)
{
    const QFileInfo target(m_path);
    if (m_path.trimmed().isEmpty() || target.fileName().isEmpty()) {
        *error = failure(QStringLiteral("ファイル名がありません。"));
        return false;
    }
    if (target.isDir()) {
        *error = failure(QStringLiteral("同じ名前のフォルダがあります。"));
        return false;
    }
    // A device or a FIFO would be replaced by a plain file, not written.
    const QString notAFile = StoreCheck::notAFileReason(m_path);
    if (!notAFile.isEmpty()) {
        *error = failure(notAFile);
        return false;
    }
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir()) {
        *error = failure(QStringLiteral("フォルダ「%1」がありません。")
                             .arg(QDir::toNativeSeparators(folder.filePath())));
        return false;
    }
    if (target.exists() && !target.isWritable()) {
        *error = failure(QStringLiteral("ファイルが書き込み禁止です。"));
        return false;
    }
    // One a killed export of the same file left is removed.
    Leftovers::remove(folder.filePath(),
                      {QStringLiteral(".") + target.fileName() + QStringLiteral(".??????")});
    // The temporary file lies in the same folder, so the rename never copies.
    QTemporaryFile file(folder.filePath() + QStringLiteral("/.") + target.fileName() +
                        QStringLiteral(".XXXXXX"));
    file.setAutoRemove(false);
    if (!file.open()) {
        *error = failure(FileCause::ofFile(file));
        return false;
    }
    m_temporary = file.fileName();
    // A temporary file is private to its owner; the export is an ordinary file.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                        QFileDevice::ReadOther);
    file.close();
    return true;
}

bool TargetFile::commit(QString *error)
{
    const QByteArray from = QFile::encodeName(m_temporary);
    const QByteArray to = QFile::encodeName(QFileInfo(m_path).absoluteFilePath());
    // rename(2) replaces an older file of that name in one step.
    if (std::rename(from.constData(), to.constData()) != 0) {
        *error = failure(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    m_committed = true;
    return true;
}

bool TargetFile::write(const QString &path,
                       const std::function<bool(QFile &file, QString *reason)> &fill,
                       QString *error)
{
    TargetFile target(path);
    if (!target.open(error))
        return false;
    QFile file(target.temporaryPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = target.failure(FileCause::ofFile(file));
        return false;
    }
    QString reason;
    if (!fill(file, &reason)) {
        // A write the file refused (a full disk ...) is the cause of what the
        // writer could not go on with.
        const bool refused = file.error() != QFileDevice::NoError;
        *error = target.failure(reason.isEmpty() || refused ? FileCause::ofFile(file) : reason);
        return false;
    }
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        *error = target.failure(FileCause::ofFile(file));
        return false;
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        *error = target.failure(FileCause::ofFile(file));
        return false;
    }
    return target.commit(error);
}
