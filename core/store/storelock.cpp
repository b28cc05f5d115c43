#include "core/store/storelock.h"

StoreLock::StoreLock(const QString &storePath)
    : m_lock(storePath + QStringLiteral(".lock"))
{
    // Only a holder that no longer runs makes a lock stale.
    m_lock.setStaleLockTime(0);
}

StoreLock::Outcome StoreLock::acquire()
{
    if (m_lock.tryLock(0))
        return Outcome::Held;
    if (m_lock.error() != QLockFile::LockFailedError)
        return Outcome::Unneeded;
    QString host, application;
    m_lock.getLockInfo(&m_holder, &host, &application);
    return Outcome::Elsewhere;
}

QString StoreLock::heldQuestion(const QString &fileName, qint64 holder)
{
    const QString who = holder > 0 ? QStringLiteral("ほかのゼント（プロセス番号 %1）").arg(holder)
                                   : QStringLiteral("ほかのゼント");
    return QStringLiteral("データベース「%1」は、%2が開いています。\n"
                          "二つで同時に変更すると、互いの変更を取り消してしまうことがあります。\n"
                          "「OK」で読み取り専用で開きます（編集の機能は使えません）。"
                          "「キャンセル」でゼントを終了します。")
        .arg(fileName, who);
}
