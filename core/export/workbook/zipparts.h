#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

// One zip archive made of the entries of others, copied as they are stored
// (still compressed): a workbook written in parts by several threads becomes
// one file without compressing anything twice.
namespace ZipParts {

// Where an entry of the archive being copied comes from instead: another
// archive and the name the entry has there.
struct Source
{
    int archive = 0;
    QByteArray name;
};

// Writes `target` with the entries of archives[0] in their order, under their
// names; the content of an entry for which `replace` gives a source is taken
// from that entry instead. On failure returns false with a reason.
bool merge(const std::vector<QByteArray> &archives, const QByteArray &target,
           const std::function<std::optional<Source>(const QByteArray &name)> &replace,
           QString *reason);

} // namespace ZipParts
