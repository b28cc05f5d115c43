#include "core/foods/foodcomponents.h"

#include "core/foods/foodrecord.h"
#include "core/store/database.h"
#include "core/store/datasource.h"
#include "core/store/queries.h"

#include <cmath>
#include <limits>
#include <utility>

using namespace Qt::StringLiterals;

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

double largest(int index)
{
    // Ten times the largest value of the official table (2023 edition).
    static constexpr std::pair<QLatin1StringView, double> tenfold[] = {
        {"MG"_L1, 32000},    {"ZN"_L1, 250},       {"CU"_L1, 120},       {"MN"_L1, 930},
        {"ID"_L1, 2300000},  {"SE"_L1, 3200},      {"CR"_L1, 1600},      {"MO"_L1, 8000},
        {"CARTA"_L1, 88000}, {"CARTB"_L1, 380000}, {"CRYPXB"_L1, 74000}, {"VITD"_L1, 1300},
        {"TOCPHB"_L1, 680},  {"TOCPHG"_L1, 810},   {"TOCPHD"_L1, 210},   {"VITK"_L1, 40000},
        {"NIA"_L1, 640},     {"VITB6A"_L1, 38.1},  {"VITB12"_L1, 3300},  {"FOL"_L1, 38000},
        {"PANTAC"_L1, 100},  {"BIOT"_L1, 3100},
    };
    const Components::Component &c = Components::all[index];
    if (c.code == "CHOAVLM"_L1)
        return 111;
    if (c.unit == u"g" || c.unit == u"%")
        return 100;
    for (const auto &[code, limit] : tenfold)
        if (code == c.code)
            return limit;
    return std::numeric_limits<double>::infinity();
}

QString boundProblem(const QList<Components::Value> &values, int *row, const QStringList &typed)
{
    for (qsizetype i = 0; i < values.size() && i < stored().size(); ++i) {
        const int index = stored().at(i);
        const double limit = largest(index);
        if (!values.at(i).known() || *values.at(i).number <= limit)
            continue;
        if (row)
            *row = int(i);
        const Components::Component &c = Components::all[index];
        const QString shown =
            i < typed.size() ? typed.at(i).trimmed() : Components::text(values.at(i), index);
        return FoodRecord::tooLargeMessage(c.name.toString(), shown, limit, c.unit.toString());
    }
    return QString();
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
    const QString tooLarge = boundProblem(values);
    if (!tooLarge.isEmpty()) {
        if (error)
            *error = tooLarge;
        return false;
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
