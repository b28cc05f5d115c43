#include "core/app/leftovers.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace Leftovers {

int remove(const QString &folder, const QStringList &patterns)
{
    const QDateTime quietSince = QDateTime::currentDateTime().addSecs(-quietSeconds);
    int removed = 0;
    const QFileInfoList files =
        QDir(folder).entryInfoList(patterns, QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo &file : files)
        if (file.lastModified() < quietSince && QFile::remove(file.filePath()))
            ++removed;
    return removed;
}

int removeBesideStore(const QString &storePath)
{
    const QDir folder = QFileInfo(storePath).absoluteDir();
    return remove(folder.path(), {QStringLiteral("*.part"), QStringLiteral("zento.ini.??????")}) +
           remove(folder.filePath(QStringLiteral("backups")), {QStringLiteral("*.part")});
}

} // namespace Leftovers
