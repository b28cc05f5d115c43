#pragma once

#include <QString>

// Names the user types (dishes, foods) are stored as typed, but never with a
// control character: a line break, a tab, NUL or ESC would break the lists,
// the exports and any program that reads them. Such a name is refused with
// a message saying which character it holds; nothing is removed silently.
namespace NameText {

// The message for the first control character in name, which is named
// (what: 料理名, 食品名 …); empty when it has none.
QString controlCharacterProblem(const QString &name, const QString &what);

} // namespace NameText
