#include "core/foods/foodcomponents.h"

#include "core/store/database.h"
#include "core/store/datasource.h"
#include "core/store/queries.h"

#include <cmath>

namespace FoodComponents {

namespace {

QStringList storedColumns()
{
    QStringList columns;
    for (int index : stored())
        columns << QString(Components::all[index].code);
    return columns;
}

} // namespace

const QList<int> &stored()
{
    static const QList<int> indexes = [] {
        QList<int> list;
        for (int i = 0; i < Components::count; ++i)
            if (!Components::all[i].inFoodRow())
                list << i;
        return list;
    }();
    return indexes;
}

std::optional<QList<Components::Value>> read(const QString &connection, qint64 food, QString *error)
{
    DataSource row;
    row.setConnectionString(connection);
    row.setRecordSource(Queries::componentRow(storedColumns(), food));
    if (!row.refresh()) {
        if (error)
            *error = row.errorString();
        return std::nullopt;
    }
    QList<Components::Value> values;
    const bool held = !row.eof();
    const QString markers = held ? row.text(QStringLiteral("MRK")) : QString();
    for (qsizetype i = 0; i < stored().size(); ++i) {
        const int index = stored().at(i);
        const QVariant number = held ? row.value(0, int(i)) : QVariant();
        Components::Value value;
        if (!number.isNull() && number.isValid())
            value.number = number.toDouble();
        value.marker = Components::markerAt(markers, index);
        // A marker that says "no value" over a number, or a number without
        // one, reads as the number.
        if (value.known() && (value.marker == Components::Marker::Unknown ||
                              value.marker == Components::Marker::SeeRemarks))
            value.marker = Components::Marker::Plain;
        if (!value.known() && value.marker != Components::Marker::SeeRemarks)
            value.marker = Components::Marker::Unknown;
        values << value;
    }
    return values;
}

bool write(const QString &connection, qint64 food, const QList<Components::Value> &values,
           QString *error)
{
    if (values.size() != stored().size()) {
        if (error)
            *error = QStringLiteral("成分の数が合いません。");
        return false;
    }
    for (const Components::Value &v : values) {
        if (v.known() && (!std::isfinite(*v.number) || *v.number < 0)) {
            if (error)
                *error = QStringLiteral("成分の値は0以上の数にしてください。");
            return false;
        }
    }
    const std::shared_ptr<Database> db = Database::open(connection, error);
    if (!db)
        return false;
    // The markers of the value fields' components stay as they are.
    DataSource old;
    old.setConnectionString(connection);
    old.setRecordSource(Queries::componentRow(storedColumns(), food));
    if (!old.refresh()) {
        if (error)
            *error = old.errorString();
        return false;
    }
    const QString oldMarkers = old.eof() ? QString() : old.text(QStringLiteral("MRK"));
    std::array<Components::Marker, Components::count> markers;
    for (int i = 0; i < Components::count; ++i)
        markers[i] = Components::markerAt(oldMarkers, i);
    QVariantList params{food};
    for (qsizetype i = 0; i < values.size(); ++i) {
        markers[stored().at(i)] = values.at(i).marker;
        params << (values.at(i).known() ? QVariant(*values.at(i).number) : QVariant());
    }
    params << Components::markerText(markers);
    return db->write(
        [&](QString *e) { return db->run(Queries::storeComponentRow(storedColumns()), params, e); },
        error);
}

} // namespace FoodComponents
