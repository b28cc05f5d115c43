#pragma once

#include <QString>

// A file written under a temporary name beside its final name and renamed
// into place only when it is whole: a failed export leaves any older file of
// that name as it was and no partial file behind.
class TargetFile
{
public:
    explicit TargetFile(const QString &path);
    ~TargetFile(); // removes the temporary file unless committed
    TargetFile(const TargetFile &) = delete;
    TargetFile &operator=(const TargetFile &) = delete;

    // Checks the target and creates the temporary file. On failure returns
    // false with a message naming the file.
    bool open(QString *error);
    // Where the writer writes until commit().
    QString temporaryPath() const { return m_temporary; }
    // Renames the temporary file to the final name.
    bool commit(QString *error);
    // A message for a writer's failure, naming the target.
    QString failure(const QString &reason) const;

private:
    QString m_path;
    QString m_temporary;
    bool m_committed = false;
};
