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

std::optional<bool> OfficialTable::differs(sqlite3 *store, qint64 food) const
{
    if (!m_db)
        return std::nullopt;
    const std::optional<QVariantList> official = valuesOf(m_db, food);
    const std::optional<QVariantList> own = valuesOf(store, food);
    if (!official || !own)
        return std::nullopt;
    for (qsizetype i = 0; i < official->size(); ++i) {
        const QVariant &a = official->at(i), &b = own->at(i);
        if (a.isNull() != b.isNull())
            return true;
        if (a.isNull())
            continue;
        // Numbers compare as numbers (a REAL 12 and an INTEGER 12 agree).
        const bool numbers = a.typeId() != QMetaType::QString && b.typeId() != QMetaType::QString;
        if (numbers ? a.toDouble() != b.toDouble() : a.toString() != b.toString())
            return true;
    }
    return false;
}

bool OfficialTable::restore(Database &store, qint64 food, QString *error) const
{
    const std::optional<QVariantList> official = m_db ? valuesOf(m_db, food) : std::nullopt;
    if (!official) {
        if (error)
            *error = QStringLiteral("食品成分表にこの食品がありません。");
        return false;
    }
    const QStringList fields = valueFields();
    const QStringList columns = componentColumns();
    const QVariantList eysValues = official->mid(0, fields.size());
    const QVariantList sbnValues = official->mid(fields.size());
    bool hasComponents = false;
    for (const QVariant &v : sbnValues)
        hasComponents = hasComponents || !v.isNull();
    return store.write(
        [&](QString *e) {
            if (!store.run(Queries::setFoodValues(fields), QVariantList{food} + eysValues, e))
                return false;
            if (!hasComponents)
                return store.run(Queries::dropFoodComponents(), {food}, e);
            // The component columns and MRK, as the food editor writes them.
            return store.run(Queries::storeComponentRow(columns.mid(0, columns.size() - 1)),
                             QVariantList{food} + sbnValues, e);
        },
        error);
}
