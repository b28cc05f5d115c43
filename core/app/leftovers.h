#pragma once

#include <QString>
#include <QStringList>

// What a copy, backup, export or settings write leaves when it is killed
// midway: its file under a temporary name beside the one it was to take.
// Such files are removed the next time the program starts or the same file
// is written again.
namespace Leftovers {

// How long a temporary file must have gone unchanged to be a leftover: a
// writer still at work changes its file all the time.
inline constexpr int quietSeconds = 600;

// Removes the regular files of folder whose names match one of patterns
// (wildcards) and that have not changed for quietSeconds. Returns how many
// were removed.
int remove(const QString &folder, const QStringList &patterns);

// Those beside a store (the store folder and its backups/ folder): copies
// ("*.part") and the settings file's temporaries ("zento.ini.XXXXXX").
int removeBesideStore(const QString &storePath);

} // namespace Leftovers
