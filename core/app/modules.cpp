#include "core/app/modules.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QStringList>

namespace Modules {

void *resolve(const QString &name, const char *symbol, QString *error)
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    QStringList folders = {QDir::cleanPath(programFolder + QStringLiteral("/" ZENTO_MODULE_DIR))};
    // The build tree's folder only for a program started from the build tree:
    // an installed program never loads code from where it was built.
    const QString buildTree = QDir::cleanPath(QStringLiteral(ZENTO_BUILD_TREE));
    if (QDir::cleanPath(programFolder).startsWith(buildTree + QLatin1Char('/')))
        folders << QStringLiteral(ZENTO_BUILD_MODULE_DIR);
    folders.removeDuplicates();
    QStringList tried;
    for (const QString &folder : std::as_const(folders)) {
        // A loaded module stays loaded for the rest of the run.
        QLibrary module(QDir(folder).filePath(name));
        if (void *found = reinterpret_cast<void *>(module.resolve(symbol)))
            return found;
        tried << module.errorString();
    }
    *error = QStringLiteral("部品「%1」を読み込めません: %2")
                 .arg(name, tried.join(QStringLiteral("; ")));
    return nullptr;
}

} // namespace Modules
