#pragma once

#include <QString>

// Tells a failure once while its cause lasts: when each keystroke runs a query
// on a store that cannot be read, the user hears about it the first time, not
// at every key. A success, or a different failure, is told again.
class RepeatedFailure
{
public:
    // Whether message is to be shown now.
    bool shouldTell(const QString &message)
    {
        if (message == m_last)
            return false;
        m_last = message;
        return true;
    }
    void succeeded() { m_last.clear(); }

private:
    QString m_last;
};
