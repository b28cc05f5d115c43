#pragma once

#include <QString>
#include <QStringList>

struct sqlite3;

// The store's schema compared with the one the program makes itself (its
// statements as SQLite keeps them, SchemaReference): a file brings data, never
// code. A trigger, view, index or virtual table the program does not make, a
// column that computes or checks anything of its own, or a table whose keys
// or column types differ from ours is foreign. A store made by an earlier
// version, which merely lacks what a later one adds, has nothing foreign.
namespace SchemaCheck {

// The foreign parts of the store, each named as the user reads it
// (トリガー「x」, 表「mnu」の項目「ID」 ...), in the store's order; empty
// when the schema is our own. Reads the schema only.
QStringList foreignParts(sqlite3 *db);

// Every connection starts with the schema untrusted (Database::
// guardConnections): a trigger may then use no virtual table, so the reading
// index's own triggers could not keep it in step. A connection whose schema
// is proved our own trusts it: true then, false (and untrusted) otherwise.
bool trustIfOwn(sqlite3 *db);

// The one message for a store with foreign parts.
QString foreignMessage(const QString &fileName, const QStringList &parts);

} // namespace SchemaCheck
