#include "tools/storebuilder.h"

#include <cstdio>

namespace StoreBuilder {

bool fillReference(sqlite3 *db, const QString &dataDir, QString *error)
{
    std::fprintf(stderr, "reference data in %s is not read yet; using the demonstration set\n",
                 qPrintable(dataDir));
    return fillDemo(db, error);
}

} // namespace StoreBuilder
