#include "core/store/schemareference.h"

#include "core/store/schema.h"
#include "core/store/statement.h"

#include <QSet>
#include <sqlite3.h>

namespace SchemaReference {

QStringList tokensOf(const QString &sql, bool keepCase)
{
    QStringList tokens;
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = sql[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'') || c == QLatin1Char('`') ||
            c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            qsizetype j = i + 1;
            while (j < n &&
                   !(sql[j] == close && !(j + 1 < n && sql[j + 1] == close && close != ']')))
                j += sql[j] == close ? 2 : 1;
            tokens << sql.mid(i, j + 1 - i);
            i = j + 1;
            continue;
        }
        if (c.isLetterOrNumber() || c == QLatin1Char('_') || c.unicode() > 127) {
            qsizetype j = i;
            while (
                j < n && !sql[j].isSpace() &&
                (sql[j].isLetterOrNumber() || sql[j] == QLatin1Char('_') || sql[j].unicode() > 127))
                ++j;
            tokens << (keepCase ? sql.mid(i, j - i) : sql.mid(i, j - i).toUpper());
            i = j;
            continue;
        }
        tokens << QString(c);
        ++i;
    }
    return tokens;
}

Columns columnsOf(sqlite3 *db, const QString &table)
{
    Columns columns;
    Statement info;
    if (!info.prepare(db, QStringLiteral("SELECT name, upper(type), \"notnull\", dflt_value, pk, "
                                         "hidden FROM pragma_table_xinfo(?1, 'main')")))
        return columns;
    info.bind(1, table);
    while (info.next())
        columns.insert(info.value(0).toString().toLower(),
                       QStringLiteral("%1|%2|%3|%4|%5")
                           .arg(info.value(1).toString(), info.value(2).toString(),
                                info.value(3).toString(), info.value(4).toString(),
                                info.value(5).toString()));
    return columns;
}

bool objectsOf(sqlite3 *db, std::vector<Object> *objects)
{
    Statement list;
    if (!list.prepare(db, QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_schema "
                                         "ORDER BY rowid")))
        return false;
    while (list.next()) {
        Object object;
        object.type = list.value(0).toString();
        object.name = list.value(1).toString();
        object.table = list.value(2).toString();
        object.sql = list.value(3).toString();
        const QStringList head = tokensOf(object.sql.left(40));
        object.isVirtual = head.size() > 1 && head[1] == QLatin1String("VIRTUAL");
        objects->push_back(object);
    }
    return !list.failed();
}

Reference make()
{
    Reference made;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_MEMORY, nullptr) ==
            SQLITE_OK &&
        Schema::create(db, nullptr) && Schema::bringUpToDate(db, nullptr)) {
        objectsOf(db, &made.objects);
        // The virtual table's shadow tables, which SQLite makes for it.
        QSet<QString> shadows;
        Statement list;
        if (list.prepare(db, QStringLiteral("SELECT lower(name) FROM pragma_table_list "
                                            "WHERE schema = 'main' AND type = 'shadow'")))
            while (list.next())
                shadows << list.value(0).toString();
        for (Object &object : made.objects) {
            object.isShadow = shadows.contains(object.name.toLower());
            if (object.type == QLatin1String("table"))
                made.columns.insert(object.name.toLower(), columnsOf(db, object.name));
        }
    }
    sqlite3_close_v2(db);
    return made;
}

} // namespace SchemaReference
