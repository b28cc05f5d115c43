#include "core/store/officialtable.h"

#include "core/foods/foodrecord.h"
#include "core/nutrition/components.h"
#include "core/store/database.h"
#include "core/store/queries.h"
#include "core/store/statement.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <sqlite3.h>

namespace {

QStringList valueFields()
{
    QStringList fields;
    for (int i = 0; i < FoodRecord::valueCount; ++i)
        fields << FoodRecord::valueField(i);
    return fields;
}

QStringList componentColumns()
{
    QStringList columns;
    for (const Components::Component &c : Components::all)
        if (!c.inFoodRow())
            columns << QString(c.code);
    columns << QStringLiteral("MRK");
    return columns;
}

} // namespace

OfficialTable::OfficialTable(const QString &installedStore)
{
    if (installedStore.isEmpty() || !QFileInfo(installedStore).isFile())
        return;
    const QByteArray name = QFile::encodeName(installedStore);
    if (sqlite3_open_v2(name.constData(), &m_db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(m_db);
        m_db = nullptr;
    }
}

OfficialTable::~OfficialTable()
{
    sqlite3_close(m_db);
}

std::optional<QVariantList> OfficialTable::valuesOf(sqlite3 *db, qint64 food)
{
    Statement row(db, Queries::foodValues(valueFields()));
    row.bind(1, food);
    if (!row.next())
        return std::nullopt;
    QVariantList values;
    for (int i = 0; i < FoodRecord::valueCount; ++i)
        values << row.value(i);
    const QStringList columns = componentColumns();
    Statement parts(
        db, QStringLiteral("SELECT %1 FROM sbn WHERE SID=?1").arg(columns.join(QLatin1Char(','))));
    parts.bind(1, food);
    const bool held = parts.isValid() && parts.next();
    for (int i = 0; i < columns.size(); ++i)
        values << (held ? parts.value(i) : QVariant());
    return values;
}

bool OfficialTable::sameValues(const QVariantList &a, const QVariantList &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const QVariant &x = a.at(i), &y = b.at(i);
        if (x.isNull() != y.isNull())
            return false;
        if (x.isNull())
            continue;
        // Numbers compare as numbers (a REAL 12 and an INTEGER 12 agree).
        const bool numbers = x.typeId() != QMetaType::QString && y.typeId() != QMetaType::QString;
        if (numbers ? x.toDouble() != y.toDouble() : x.toString() != y.toString())
            return false;
    }
    return true;
}

std::optional<bool> OfficialTable::differs(sqlite3 *store, qint64 food) const
{
    if (!m_db)
        return std::nullopt;
    const std::optional<QVariantList> official = valuesOf(m_db, food);
    const std::optional<QVariantList> own = valuesOf(store, food);
    if (!official || !own)
        return std::nullopt;
    return !sameValues(*official, *own);
}

bool OfficialTable::putValues(sqlite3 *db, qint64 food, const QVariantList &values, QString *error)
{
    const QStringList fields = valueFields();
    const QStringList columns = componentColumns();
    const QVariantList sbnValues = values.mid(fields.size());
    bool hasComponents = false;
    for (const QVariant &v : sbnValues)
        hasComponents = hasComponents || !v.isNull();
    auto run = [&](const QString &sql, const QVariantList &params) {
        Statement statement;
        if (!statement.prepare(db, sql)) {
            if (error)
                *error = statement.error();
            return false;
        }
        for (int i = 0; i < params.size(); ++i)
            statement.bind(i + 1, params.at(i));
        if (statement.exec())
            return true;
        if (error)
            *error = statement.error();
        return false;
    };
    if (!run(Queries::setFoodValues(fields), QVariantList{food} + values.mid(0, fields.size())))
        return false;
    if (!hasComponents)
        return run(Queries::dropFoodComponents(), {food});
    // The component columns and MRK, as the food editor writes them.
    return run(Queries::storeComponentRow(columns.mid(0, columns.size() - 1)),
               QVariantList{food} + sbnValues);
}

bool OfficialTable::restore(Database &store, qint64 food, QString *error) const
{
    const std::optional<QVariantList> official = m_db ? valuesOf(m_db, food) : std::nullopt;
    if (!official) {
        if (error)
            *error = QStringLiteral("食品成分表にこの食品がありません。");
        return false;
    }
    return store.write([&](QString *e) { return putValues(store.handle(), food, *official, e); },
                       error);
}
