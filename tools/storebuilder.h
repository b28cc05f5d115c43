#pragma once

#include <QString>
#include <functional>

struct sqlite3;

// Builds a new store file: the schema, then whatever fill adds. The store is
// built in a temporary file beside the target and renamed over it only when
// complete, so a failure never leaves a half-built database behind.
namespace StoreBuilder {

using Fill = std::function<bool(sqlite3 *db, QString *error)>;

bool build(const QString &path, const Fill &fill, QString *error);

// Runs statements with parameters; for the fills.
bool exec(sqlite3 *db, const char *sql, QString *error);

// The small demonstration data set: categories, a few foods, units and a
// standards row for every age 1 to 80 and each sex. Used where the official
// reference data is not at hand.
bool fillDemo(sqlite3 *db, QString *error);

// The official reference data (foods with readings, categories, units,
// standards) read from dataDir, the folder that holds food-table/ and
// standards/. Where dataDir lacks them, says so on stderr and fills the
// demonstration set instead.
bool fillReference(sqlite3 *db, const QString &dataDir, QString *error);

// Adds synthetic foods, dishes and lines until the store holds `foods` foods,
// `dishes` dishes and `lines` lines: the heavy store of the benchmarks.
bool fillHeavy(sqlite3 *db, int foods, int dishes, int lines, QString *error);

} // namespace StoreBuilder
