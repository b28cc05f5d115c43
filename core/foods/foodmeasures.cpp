#include "core/foods/foodmeasures.h"

#include "core/store/database.h"
#include "core/store/datasource.h"
#include "core/store/numberreader.h"
#include "core/store/queries.h"
#include "core/store/schema.h"

#include <QSet>
#include <cmath>

namespace FoodMeasures {

namespace {

QList<Measure> read(const QString &connection, const QString &sql)
{
    DataSource source;
    source.setConnectionString(connection);
    source.setRecordSource(sql);
    QList<Measure> list;
    if (!source.refresh())
        return list;
    const int rows = source.recordCount();
    for (int row = 0; row < rows; ++row) {
        const QVariant grams = source.value(row, 1);
        if (!grams.isNull())
            list.append({source.value(row, 0).toString(), grams.toDouble(),
                         source.value(row, 2).toInt() == 1});
    }
    return list;
}

bool validGrams(double grams)
{
    return std::isfinite(grams) && grams > 0;
}

} // namespace

QList<Measure> ownMeasures(const QString &connection, qint64 food)
{
    return read(connection, Queries::ownMeasures(food));
}

QList<Measure> generalUnits(const QString &connection)
{
    return read(connection, Queries::generalUnits());
}

QList<Measure> unitList(const QString &connection, qint64 food)
{
    return read(connection, Queries::foodUnits(food));
}

bool isVolumeUnit(const QString &unit)
{
    return unit == u"小さじ" || unit == u"大さじ" || unit == u"ｶｯﾌﾟ" || unit == u"合";
}

QString estimateNote()
{
    return QStringLiteral("推定値: 食品成分表の備考にある密度（100 mLの重さ）× 容量"
                          "（小さじ 5 mL、大さじ 15 mL、ｶｯﾌﾟ 200 mL）");
}

QString noWeightMessage(const QString &unit)
{
    return QStringLiteral("%1の重さがこの食品にはありません。グラムで入力するか、"
                          "食材編集の目安量に登録してください")
        .arg(unit);
}

std::optional<double> gramsPerUnit(const QList<Measure> &own, const QString &unit,
                                   std::optional<double> general)
{
    for (const Measure &m : own) {
        if (m.unit == unit)
            return m.grams;
    }
    if (isVolumeUnit(unit))
        return std::nullopt;
    return general;
}

QList<Measure> unitChoices(const QList<Measure> &own, const QList<Measure> &general)
{
    QList<Measure> choices;
    QSet<QString> named;
    for (const QList<Measure> *list : {&own, &general}) {
        for (const Measure &m : *list) {
            if (list == &general && isVolumeUnit(m.unit))
                continue;
            if (!named.contains(m.unit)) {
                named.insert(m.unit);
                choices.append(m);
            }
        }
    }
    return choices;
}

std::optional<Measure> parse(const QString &unit, const QString &grams, QString *error)
{
    const QString name = unit.trimmed();
    if (name.isEmpty()) {
        if (error)
            *error = QStringLiteral("単位の名前を入力してください。");
        return std::nullopt;
    }
    // A gram is a gram for every food: a measure of that name would count
    // every line of the food in grams by its weight instead.
    const QString folded = name.normalized(QString::NormalizationForm_KC).toLower();
    if (folded == QLatin1String("g") || folded == QLatin1String("kg")) {
        if (error)
            *error = QStringLiteral("「%1」は重さの単位なので、目安量にはできません。"
                                    "小さじ・個などの単位とその重さ（g）を入力してください。")
                         .arg(name);
        return std::nullopt;
    }
    const std::optional<double> value = NumberReader::quantity(grams);
    if (!value || !validGrams(*value)) {
        if (error)
            *error = QStringLiteral(
                         "「%1」の重さ「%2」は正の数ではありません。グラム数を入力してください。")
                         .arg(name, grams);
        return std::nullopt;
    }
    return Measure{name, *value};
}

bool save(const QString &connection, qint64 food, const QList<Measure> &measures, QString *error)
{
    QSet<QString> named;
    for (const Measure &m : measures) {
        if (m.unit.trimmed().isEmpty() || named.contains(m.unit) || !validGrams(m.grams)) {
            if (error)
                *error = m.unit.trimmed().isEmpty() ? QStringLiteral("単位の名前がありません。")
                         : named.contains(m.unit)
                             ? QStringLiteral("単位「%1」が二度あります。").arg(m.unit)
                             : QStringLiteral("「%1」の重さが正の数ではありません。").arg(m.unit);
            return false;
        }
        named.insert(m.unit);
    }
    const std::shared_ptr<Database> db = Database::open(connection, error);
    if (!db)
        return false;
    const QList<Measure> before = ownMeasures(connection, food);
    return db->write(
        [&](QString *e) {
            // A store made before measures existed gets the table here.
            if (!db->run(Schema::measureTableStatement(), {}, e))
                return false;
            // Removed units go; the rest are written in the order given, so the
            // unit list offers them in that order.
            if (!db->run(Queries::createKeptMeasures(), {}, e) ||
                !db->run(Queries::clearKeptMeasures(), {}, e) ||
                !db->run(Queries::keepMeasures(), {food}, e) ||
                !db->run(Queries::dropMeasures(), {food}, e))
                return false;
            for (const Measure &m : measures) {
                bool unchanged = false;
                for (const Measure &old : before)
                    unchanged = unchanged || (old.unit == m.unit && old.grams == m.grams);
                const QString sql = unchanged ? Queries::keptMeasure() : Queries::newMeasure();
                const QVariantList params =
                    unchanged ? QVariantList{food, m.unit} : QVariantList{food, m.unit, m.grams};
                if (!db->run(sql, params, e))
                    return false;
            }
            return db->run(Queries::clearKeptMeasures(), {}, e);
        },
        error);
}

} // namespace FoodMeasures
