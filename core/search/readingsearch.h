#pragma once

#include <QString>

struct sqlite3;

// The food search by reading: every food with a category whose reading holds
// the typed text, in descending order of reading. The LIKE query of
// FoodSearch::readingQuery() is what the search means; query() gives one with
// the same rows in the same order that is quick on a large table, and
// FoodSearch::byReading() runs it.
namespace ReadingSearch {

// The typed text as the inside of a quoted LIKE pattern: folded to the form
// readings are stored in, the escape character and the two wildcards
// escaped so that they match themselves, a quote doubled, NUL dropped.
QString likeLiteral(const QString &typed);

// Whether the store keeps the trigram index of the readings (older stores
// do not; the search then scans the readings).
bool hasReadingIndex(sqlite3 *db);

// A query with the rows of FoodSearch::readingQuery(typed), in the same order, chosen
// for speed. Shorter text than three characters, text that the last
// readings in order hold often enough to fill the first screen, text that
// many readings hold and stores without the trigram index: the readings are
// scanned in order. Other text is looked up in the trigram index and the
// few readings found are sorted. Ties of reading come in descending order
// of category, name and key, as the reading index gives them.
QString query(sqlite3 *db, const QString &typed);

// How many of the last readings the scan may look at for its first rows
// before the index is asked, and how many rows make the first screen.
constexpr int scanProbeRows = 4000;
constexpr int firstRows = 64;
// Above this many readings holding the text the ordered scan is used.
constexpr int indexedMatchLimit = 2500;

} // namespace ReadingSearch
