#pragma once

#include <QLockFile>
#include <QString>

// Keeps a second program off a store: a lock file beside it
// ("<store>.lock") held while the program runs and removed when it ends.
// The lock of a program that died (its process no longer runs) is taken
// over; a live program's lock is never taken, however old.
class StoreLock
{
public:
    explicit StoreLock(const QString &storePath);

    enum class Outcome {
        Held,      // this program holds the store
        Elsewhere, // another running program holds it
        Unneeded,  // the folder cannot be written: nothing can change the store here
    };
    Outcome acquire();
    // The process holding the lock elsewhere (0 when unknown).
    qint64 holder() const { return m_holder; }

    // The question put to the user when the store is held elsewhere.
    static QString heldQuestion(const QString &fileName, qint64 holder);

private:
    QLockFile m_lock;
    qint64 m_holder = 0;
};
