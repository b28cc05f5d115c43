#include "core/nutrition/nutrients.h"

#include <QString>

namespace Nutrients {

const std::array<const Nutrient *, rankedCount> &ranked()
{
    static const auto list = [] {
        std::array<const Nutrient *, rankedCount> out{};
        for (const Nutrient &n : all) {
            if (n.rank >= 0)
                out[n.rank] = &n;
        }
        return out;
    }();
    return list;
}

const std::array<const Nutrient *, chartAxisCount> &charted()
{
    static const auto list = [] {
        std::array<const Nutrient *, chartAxisCount> out{};
        for (const Nutrient &n : all) {
            if (n.chartAxis >= 0)
                out[n.chartAxis] = &n;
        }
        return out;
    }();
    return list;
}

const Nutrient *byField(QStringView field)
{
    for (const Nutrient &n : all) {
        if (QString(n.field).compare(field, Qt::CaseInsensitive) == 0)
            return &n;
    }
    return nullptr;
}

const Nutrient *byRankingName(QStringView name)
{
    for (const Nutrient *n : ranked()) {
        if (n->rankingName == name)
            return n;
    }
    return nullptr;
}

} // namespace Nutrients
