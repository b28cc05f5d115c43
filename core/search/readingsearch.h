#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

struct sqlite3;

// The food search by reading: every food with a category that holds every
// typed word (see words()), in descending order of reading. The LIKE query of
// FoodSearch::readingQuery() is what the search means; query() gives one with
// the same rows in the same order that is quick on a large table, and
// FoodSearch::byReading() runs it.
namespace ReadingSearch {

// The typed text as words, split at blanks (any number, any width). A word
// with a kanji is searched in the names as typed, any other in the readings,
// folded to their form; a food is found when it holds every word, in any
// order. Text without a word gives one empty reading word (every reading).
struct Words
{
    QStringList reading;
    QStringList name;
};
Words words(const QString &typed);

// Whether the store keeps the trigram index of the readings (older stores
// do not; the search then scans the readings).
bool hasReadingIndex(sqlite3 *db);

// Where each food stands in the order the search lists foods in (rank 0 is
// the first row when every reading is listed). With it the first of many
// readings the trigram index finds is known from their keys alone, without
// reading them from the table. It holds for the foods as they were read.
class Ranks
{
public:
    static constexpr quint32 unknown = 0xffffffffu;
    // Reads the order of every food (one pass over the reading index); false
    // when the store cannot be read.
    bool read(sqlite3 *db);
    quint32 of(qint64 sid) const;

private:
    qint64 m_firstSid = 0;
    std::vector<quint32> m_byKey;    // rank of key m_firstSid + i
    QHash<qint64, quint32> m_spread; // instead, for keys spread thin
};

// A query with the rows of FoodSearch::readingQuery(typed), in the same order, chosen
// for speed. Shorter text than three characters, text that the last
// readings in order hold often enough to fill the first screen and stores
// without the trigram index: the readings are scanned in order. Other text
// is looked up in the trigram index: the few readings found are sorted, and
// when there are many, the ranks (asked for only then; none, or ranks that
// do not know a food found, leave the scan) tell the first of them, where
// the scan then starts. Ties of reading come in descending order of
// category, name and key, as the reading index gives them.
QString query(sqlite3 *db, const QString &typed,
              const std::function<const Ranks *()> &ranks = nullptr);

// How many of the last readings the scan may look at for its first rows
// before the index is asked, and how many rows make the first screen.
constexpr int scanProbeRows = 1000;
constexpr int firstRows = 64;
// Above this many readings holding the text the ordered scan is used.
constexpr int indexedMatchLimit = 2500;

} // namespace ReadingSearch
