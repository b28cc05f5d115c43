#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <span>
#include <vector>

struct sqlite3;

// The program's own schema as SQLite keeps it (each object's statement, and
// each table's columns as the table info tells them), against which a
// store's schema is checked. It is made by running the schema's own
// statements in an empty database in memory; the build does that once
// (zento-schemaref) and compiles the result in, so that no start of the
// program has to.
namespace SchemaReference {

struct Object
{
    QString type; // table, index, trigger, view
    QString name;
    QString table; // the table an index or trigger belongs to
    QString sql;
    bool isVirtual = false;
    bool isShadow = false; // a table SQLite keeps for a virtual table
};

// A table's columns by lower-cased name: "TYPE|notnull|default|pk|hidden".
using Columns = QHash<QString, QString>;

struct Reference
{
    std::vector<Object> objects;     // in the order the schema makes them
    QHash<QString, Columns> columns; // by lower-cased table name
};

// A statement's text as tokens: a quoted name or text is one token, a word
// is one (upper-cased unless keepCase), every other character stands alone;
// blanks and line breaks go. Two statements that differ only in spacing or
// in the case of their keywords give the same tokens.
QStringList tokensOf(const QString &sql, bool keepCase = false);

// The schema's objects in their order; false when it cannot be read. Only
// sqlite_schema is read: nothing is opened (a virtual table of a module this
// program lacks would not open).
bool objectsOf(sqlite3 *db, std::vector<Object> *objects);

// What the table info tells of a table's columns.
Columns columnsOf(sqlite3 *db, const QString &table);

// Runs the schema's statements in memory and reads back what they made.
Reference make();

// The reference the build made, compiled in.
const Reference &builtIn();

// What builtIn() is read from: the rows zento-schemaref writes into a source
// file of its own, which the build compiles into the core.
namespace Made {

struct ObjectRow
{
    const char *type;
    const char *name;
    const char *table;
    const char *sql;
    bool isVirtual;
    bool isShadow;
};

struct ColumnRow
{
    const char *table;
    const char *name;
    const char *info;
};

extern const std::span<const ObjectRow> objects;
extern const std::span<const ColumnRow> columns;

} // namespace Made

} // namespace SchemaReference
