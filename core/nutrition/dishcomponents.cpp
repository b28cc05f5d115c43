#include "core/nutrition/dishcomponents.h"

#include "core/store/datasource.h"
#include "core/store/queries.h"

#include <cmath>

namespace DishComponents {

namespace {

std::optional<double> number(const QVariant &v)
{
    if (v.isNull())
        return std::nullopt;
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok && std::isfinite(d) ? std::optional<double>(d) : std::nullopt;
}

const int protein = Components::indexOf(u"PROT");
const int aminoProtein = Components::indexOf(u"PROTCAA");
const int fat = Components::indexOf(u"FAT");
const int triacylglycerols = Components::indexOf(u"FATNLEA");
const int energy = Components::indexOf(u"ENERC_KCAL");

// Notes a food whose value a sum leaves out, each once: the first ten are
// named, the rest said to be there (「ほか」), so that a month of menus, or a
// dish of many foods of the user's own, keeps a short list. False once the
// list is full.
bool noteUnknown(QStringList &foods, const QString &food)
{
    constexpr int named = 10;
    if (foods.size() >= named) {
        const QString others = QStringLiteral("ほか");
        if (foods.last() != others)
            foods << others;
        return false;
    }
    if (!foods.contains(food))
        foods << food;
    return true;
}

} // namespace

void addLine(Totals &t, const Line &line)
{
    t.grams += line.weightFactor * 100;
    for (int i = 0; i < Components::count; ++i) {
        if (!Components::isAmount(i))
            continue;
        const Components::Value &v = line.values[i];
        if (v.known())
            t.sums[i] = t.sums[i].value_or(0) + line.weightFactor * *v.number;
        else
            noteUnknown(t.unknownFoods[i], line.food);
    }
    const auto either = [&](int first, int second, std::optional<double> *sum) {
        const Components::Value &a = line.values[first];
        const Components::Value &b = line.values[second];
        const Components::Value &v = a.known() ? a : b;
        if (v.known())
            *sum = sum->value_or(0) + line.weightFactor * *v.number;
    };
    either(aminoProtein, protein, &t.energyProtein);
    either(triacylglycerols, fat, &t.energyFat);
}

Totals total(const QList<Line> &lines)
{
    Totals t;
    for (const Line &line : lines)
        addLine(t, line);
    return t;
}

void add(Totals &t, const Totals &other, double factor)
{
    const auto addTo = [factor](std::optional<double> &sum, const std::optional<double> &value) {
        if (value)
            sum = sum.value_or(0) + *value * factor;
    };
    t.grams += other.grams * factor;
    for (int i = 0; i < Components::count; ++i) {
        addTo(t.sums[i], other.sums[i]);
        for (const QString &food : other.unknownFoods[i])
            if (!noteUnknown(t.unknownFoods[i], food))
                break;
    }
    addTo(t.energyProtein, other.energyProtein);
    addTo(t.energyFat, other.energyFat);
}

Intakes::Balance balance(const Totals &t)
{
    return Intakes::balance(t.sums[energy], t.energyProtein, t.energyFat);
}

bool load(const QString &connection, qint64 dish, QList<Line> *lines, QString *error)
{
    DataSource source;
    source.setConnectionString(connection);
    source.setRecordSource(Queries::dishComponents(dish));
    if (!source.refresh()) {
        if (error)
            *error = source.errorString();
        return false;
    }
    lines->clear();
    const int rows = source.recordCount();
    const int markers = 2 + Components::count;
    for (int row = 0; row < rows; ++row) {
        Line line;
        line.weightFactor = number(source.value(row, 0)).value_or(0);
        line.food = source.value(row, 1).toString();
        const QString marks = source.value(row, markers).toString();
        for (int i = 0; i < Components::count; ++i) {
            Components::Value &v = line.values[i];
            v.number = number(source.value(row, 2 + i));
            if (v.number && Components::all[i].inFoodRow())
                v.number = Components::fromField(i, *v.number);
            v.marker = Components::markerAt(marks, i);
            if (v.number && v.marker == Components::Marker::Unknown)
                v.marker = Components::Marker::Plain; // a value typed without a marker
            if (!v.number && v.marker != Components::Marker::SeeRemarks)
                v.marker = Components::Marker::Unknown;
        }
        lines->append(line);
    }
    return true;
}

bool loadPortion(const QString &connection, qint64 dish, Portion *portion, QString *error)
{
    DataSource source;
    source.setConnectionString(connection);
    source.setRecordSource(Queries::dishPortion(dish));
    if (!source.refresh() || source.recordCount() == 0) {
        if (error)
            *error = source.errorString();
        return false;
    }
    portion->name = source.value(0, 0).toString();
    const std::optional<double> servings = number(source.value(0, 1));
    portion->servings = servings && *servings > 0 ? *servings : 1;
    const std::optional<double> finished = number(source.value(0, 2));
    portion->finishedGrams = finished && *finished > 0 ? finished : std::nullopt;
    return true;
}

bool loadIntakes(const QString &connection, QList<Intakes::Row> *rows, QString *error)
{
    DataSource source;
    source.setConnectionString(connection);
    source.setRecordSource(Queries::intakeRows());
    if (!source.refresh()) {
        if (error)
            *error = source.errorString();
        return false;
    }
    rows->clear();
    const int count = source.recordCount();
    rows->reserve(count);
    for (int row = 0; row < count; ++row) {
        Intakes::Row r;
        const auto whole = [&](int column) -> std::optional<int> {
            const QVariant v = source.value(row, column);
            return v.isNull() ? std::nullopt : std::optional<int>(v.toInt());
        };
        r.from = whole(0);
        r.to = whole(1);
        r.sex = source.value(row, 2).toInt();
        r.stage = source.value(row, 3).toInt();
        r.nutrient = source.value(row, 4).toString();
        r.indicator = source.value(row, 5).toString();
        r.value = source.value(row, 6).toDouble();
        r.edition = source.value(row, 7).toInt();
        rows->append(r);
    }
    return true;
}

} // namespace DishComponents
