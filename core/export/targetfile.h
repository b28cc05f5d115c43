#pragma once

#include <QString>
#include <functional>

class QFile;

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

    // The whole round: opens the target, lets `fill` write the opened
    // temporary file (false with the reason when it cannot), checks that
    // every byte reached the disk, then renames it into place. False with
    // a message naming the file on any failure.
    static bool write(const QString &path,
                      const std::function<bool(QFile &file, QString *reason)> &fill,
                      QString *error);

private:
    QString m_path;
    QString m_temporary;
    bool m_committed = false;
};
