#include "core/store/schemacheck.h"

#include "core/store/schemareference.h"

#include <QHash>
#include <QSet>
#include <sqlite3.h>
#include <vector>

namespace SchemaCheck {

namespace {

using SchemaReference::columnsOf;
using SchemaReference::Object;
using SchemaReference::objectsOf;
using SchemaReference::tokensOf;

QString unquoted(const QString &token)
{
    if (token.size() >= 2 && QStringLiteral("\"'`[").contains(token.front()))
        return token.mid(1, token.size() - 2);
    return token;
}

// A table's statement split into its definitions (columns and table
// constraints, each as tokens) and what follows the closing parenthesis.
struct TableText
{
    std::vector<QStringList> definitions;
    QStringList names; // each definition's first token, as written
    QStringList options;
};

TableText tableTextOf(const QString &sql)
{
    const QStringList tokens = tokensOf(sql);
    const QStringList written = tokensOf(sql, true);
    TableText table;
    qsizetype i = tokens.indexOf(QStringLiteral("("));
    if (i < 0)
        return table;
    int depth = 0;
    QStringList current;
    for (++i; i < tokens.size(); ++i) {
        const QString &t = tokens[i];
        if (depth == 0 && (t == QLatin1String(",") || t == QLatin1String(")"))) {
            table.names << (current.isEmpty() ? QString() : written[i - current.size()]);
            table.definitions.push_back(current);
            current.clear();
            if (t == QLatin1String(")"))
                break;
            continue;
        }
        if (t == QLatin1String("("))
            ++depth;
        else if (t == QLatin1String(")"))
            --depth;
        current << t;
    }
    table.options = tokens.mid(i + 1);
    return table;
}

// A definition that begins with one of these is a table constraint.
bool isTableConstraint(const QStringList &definition)
{
    static const QSet<QString> starts = {QStringLiteral("PRIMARY"), QStringLiteral("UNIQUE"),
                                         QStringLiteral("CHECK"), QStringLiteral("FOREIGN"),
                                         QStringLiteral("CONSTRAINT")};
    return !definition.isEmpty() && starts.contains(definition.front());
}

// The words of a column's definition after its name.
QSet<QString> wordsAfterName(const QStringList &definition)
{
    QSet<QString> words;
    for (qsizetype i = 1; i < definition.size(); ++i)
        if (definition[i].front().isLetter())
            words << definition[i];
    return words;
}

// The program's own schema, by lower-cased name.
struct Reference
{
    QHash<QString, Object> objects;
    const QHash<QString, SchemaReference::Columns> &columns;
};

const Reference &reference()
{
    static const Reference made = [] {
        const SchemaReference::Reference &builtIn = SchemaReference::builtIn();
        Reference ours{{}, builtIn.columns};
        for (const Object &object : builtIn.objects)
            ours.objects.insert(object.name.toLower(), object);
        return ours;
    }();
    return made;
}

QString kindOf(const Object &object)
{
    if (object.type == QLatin1String("trigger"))
        return QStringLiteral("トリガー");
    if (object.type == QLatin1String("view"))
        return QStringLiteral("ビュー");
    if (object.type == QLatin1String("index"))
        return QStringLiteral("索引");
    if (object.isVirtual)
        return QStringLiteral("仮想表");
    return QStringLiteral("表");
}

// The foreign parts of one ordinary table: its columns against ours (or,
// for a table we do not make, columns that hold data and nothing more).
void checkTable(sqlite3 *db, const Object &object, const Object *ours, const Reference &ref,
                QStringList *foreign)
{
    const TableText text = tableTextOf(object.sql);
    const TableText ourText = ours ? tableTextOf(ours->sql) : TableText{};
    const QHash<QString, QString> columns = columnsOf(db, object.name);
    const QHash<QString, QString> ourColumns =
        ours ? ref.columns.value(ours->name.toLower()) : QHash<QString, QString>{};
    QHash<QString, QStringList> ourDefinitions;
    for (const QStringList &definition : ourText.definitions)
        if (!definition.isEmpty())
            ourDefinitions.insert(isTableConstraint(definition)
                                      ? definition.join(QLatin1Char(' '))
                                      : unquoted(definition.front()).toLower(),
                                  definition);
    static const QSet<QString> computing = {
        QStringLiteral("CHECK"),   QStringLiteral("REFERENCES"), QStringLiteral("GENERATED"),
        QStringLiteral("AS"),      QStringLiteral("COLLATE"),    QStringLiteral("DEFAULT"),
        QStringLiteral("PRIMARY"), QStringLiteral("UNIQUE"),     QStringLiteral("CONSTRAINT"),
        QStringLiteral("ON"),      QStringLiteral("NOT"),        QStringLiteral("NULL")};
    const QString tableName = QStringLiteral("表「%1」").arg(object.name);
    for (size_t d = 0; d < text.definitions.size(); ++d) {
        const QStringList &definition = text.definitions[d];
        if (definition.isEmpty())
            continue;
        if (isTableConstraint(definition)) {
            if (!ourDefinitions.contains(definition.join(QLatin1Char(' '))))
                *foreign << tableName + QStringLiteral("の制約「%1」")
                                            .arg(definition.join(QLatin1Char(' ')));
            continue;
        }
        const QString column = unquoted(text.names[qsizetype(d)]);
        const QString key = column.toLower();
        const auto ourDefinition = ourDefinitions.constFind(key);
        bool fits;
        if (ourDefinition != ourDefinitions.constEnd())
            fits = *ourDefinition == definition ||
                   (columns.value(key) == ourColumns.value(key) &&
                    wordsAfterName(*ourDefinition).contains(wordsAfterName(definition)));
        else
            fits = !wordsAfterName(definition).intersects(computing) &&
                   columns.value(key).endsWith(QLatin1String("|0|0"));
        if (!fits)
            *foreign << tableName + QStringLiteral("の項目「%1」").arg(column);
    }
    if (text.options != ourText.options)
        *foreign << tableName + QStringLiteral("の形式「%1」").arg(text.options.join(' '));
}

} // namespace

QStringList foreignParts(sqlite3 *db)
{
    const Reference &ref = reference();
    QStringList foreign;
    std::vector<Object> objects;
    if (!objectsOf(db, &objects))
        return {QStringLiteral("読めない定義")};
    for (Object &object : objects) {
        const QString key = object.name.toLower();
        const auto found = ref.objects.constFind(key);
        // A table of ours that SQLite keeps for the reading index is its shadow.
        object.isShadow = found != ref.objects.constEnd() && found->isShadow;
        const Object *ours = found != ref.objects.constEnd() && found->type == object.type &&
                                     found->isVirtual == object.isVirtual &&
                                     found->table.compare(object.table, Qt::CaseInsensitive) == 0
                                 ? &*found
                                 : nullptr;
        // A statement word for word our own makes what ours makes (the same
        // columns, keys and options): nothing of it is read further.
        if (ours && object.sql == ours->sql)
            continue;
        const QString named = QStringLiteral("%1「%2」").arg(kindOf(object), object.name);
        if (object.type == QLatin1String("table") && !object.isVirtual) {
            // SQLite's own tables (key sequences, planner statistics) and a
            // reading index's shadow tables are written by SQLite alone.
            if (key.startsWith(QLatin1String("sqlite_")) && !ours)
                foreign << named;
            else if (!object.isShadow || !ours)
                checkTable(db, object, ours, ref, &foreign);
            else if (columnsOf(db, object.name) != ref.columns.value(key) ||
                     tableTextOf(object.sql).options != tableTextOf(ours->sql).options)
                foreign << named;
            continue;
        }
        // An automatic index has no statement of its own.
        if (object.type == QLatin1String("index") && object.sql.isEmpty() && ours)
            continue;
        if (!ours || tokensOf(object.sql) != tokensOf(ours->sql))
            foreign << named;
    }
    return foreign;
}

bool trustIfOwn(sqlite3 *db)
{
    const bool own = foreignParts(db).isEmpty();
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, own ? 1 : 0, nullptr);
    return own;
}

QString foreignMessage(const QString &fileName, const QStringList &parts)
{
    return QStringLiteral("データベース「%1」には、このプログラムが作らない%2があります。\n"
                          "安全のため、このファイルは開きません（ファイルには手を加えていません）。"
                          "「ﾌｧｲﾙ」の「復元」でバックアップから戻せます。")
        .arg(fileName, parts.join(QStringLiteral("、")));
}

} // namespace SchemaCheck
