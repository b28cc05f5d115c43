#pragma once

#include <QString>

// The parts of the program built as modules of their own and loaded when
// first used (the Excel writer, the print preview), so that the libraries
// they need are not loaded at every start. A module lies in the program's
// library folder, named relative to the programs' folder; a program started
// from the build tree also finds the build tree's.
namespace Modules {

// The function `symbol` of the module `name` (e.g. "zento_workbook"), the
// module loaded on the first call; null with *error naming the module and
// why it could not be loaded.
void *resolve(const QString &name, const char *symbol, QString *error);

} // namespace Modules
