#include "tools/referencedata.h"
#include "tools/storebuilder.h"

#include <cstdio>

namespace StoreBuilder {

bool fillReference(sqlite3 *db, const QString &dataDir, QString *error)
{
    const ReferenceData::Sources sources = ReferenceData::locate(dataDir);
    if (!sources.complete()) {
        std::fprintf(stderr, "%s  いまはデモ用の小さなデータで作ります。\n",
                     qPrintable(sources.howToGetMissing()));
        return fillDemo(db, error);
    }
    ReferenceData::Data data;
    return ReferenceData::load(sources, &data, error) && ReferenceData::write(db, data, error);
}

} // namespace StoreBuilder
