#include "core/nutrition/chartscale.h"

#include "core/store/datasource.h"
#include "core/store/queries.h"

#include <cmath>

namespace ChartScale {

const char *const standardFields[axisCount] = {"CAL", "TAN", "CA",  "FE", "VA",
                                               "VB1", "VB2", "NAI", "VC"};

Scales fromStandards(const Standards &standards, const Scales &fallback)
{
    Scales scales = fallback;
    for (int i = 0; i < axisCount; ++i) {
        const std::optional<double> &s = standards[i];
        if (s && std::isfinite(*s) && *s > 0)
            scales[i] = headroom * *s;
    }
    return scales;
}

Standards referenceStandards(const QString &connection)
{
    Standards standards;
    DataSource source;
    source.setConnectionString(connection);
    source.setRecordSource(Queries::standardOf(referenceAge, referenceSex));
    if (!source.refresh() || source.eof())
        return standards;
    for (int i = 0; i < axisCount; ++i) {
        const QVariant v = source.value(QString::fromLatin1(standardFields[i]));
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (!v.isNull() && ok)
            standards[i] = d;
    }
    return standards;
}

} // namespace ChartScale
