#include "core/search/readingsearch.h"

#include "core/search/kana.h"
#include "core/store/queries.h"
#include "core/store/statement.h"

#include <QStringList>
#include <algorithm>
#include <optional>

namespace ReadingSearch {

namespace {

qsizetype characterCount(const QString &text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        ++count;
    }
    return count;
}

// The first number of a one-value query; -1 when it cannot run.
int countOf(sqlite3 *db, const QString &sql)
{
    Statement count(db, sql);
    return count.next() ? int(count.integer(0)) : -1;
}

// The index's matches of a phrase placed by their ranks: how many there are,
// the key of the first in the search's order and how many readings lie
// between it and the one that fills the first screen. Nothing when a match
// has no rank (the ranks are older than the foods).
struct Placed
{
    qsizetype matches = 0;
    qint64 firstKey = 0;
    quint32 screenSpan = 0;
};

std::optional<Placed> place(sqlite3 *db, const Ranks &ranks, const QString &phrase)
{
    Statement matches(db, Queries::readingIndexMatches(phrase));
    if (!matches.isValid())
        return std::nullopt;
    std::vector<std::pair<quint32, qint64>> found;
    bool complete = false;
    while (true) {
        if (!matches.next()) {
            complete = !matches.failed();
            break;
        }
        const qint64 key = matches.integer(0);
        const quint32 rank = ranks.of(key);
        if (rank == Ranks::unknown)
            break;
        found.emplace_back(rank, key);
    }
    if (!complete)
        return std::nullopt;
    Placed placed;
    placed.matches = qsizetype(found.size());
    if (found.empty())
        return placed;
    const auto screen = found.begin() + (std::min<qsizetype>(firstRows, placed.matches) - 1);
    std::nth_element(found.begin(), screen, found.end());
    const auto first = std::min_element(found.begin(), screen + 1);
    placed.firstKey = first->second;
    placed.screenSpan = screen->first - first->first;
    return placed;
}

// The stored bytes of a food's reading; nothing when it has no text reading.
std::optional<QByteArray> readingOf(sqlite3 *db, qint64 key)
{
    Statement reading(db, Queries::readingOfFood());
    reading.bind(1, key);
    if (!reading.next() || reading.type(0) != Statement::Type::Text)
        return std::nullopt;
    return reading.bytes(0);
}

} // namespace

bool Ranks::read(sqlite3 *db)
{
    Statement order(db, Queries::readingOrder());
    if (!order.isValid())
        return false;
    std::vector<qint64> keys;
    while (order.next())
        keys.push_back(order.integer(0));
    m_byKey.clear();
    m_spread.clear();
    if (order.failed())
        return false;
    if (keys.empty())
        return true;
    const auto [low, high] = std::minmax_element(keys.begin(), keys.end());
    m_firstSid = *low;
    // A table by key while the keys are dense enough, else a hash.
    const quint64 range = quint64(*high) - quint64(*low) + 1;
    if (range <= 4 * keys.size() + 65536) {
        m_byKey.assign(range, unknown);
        for (size_t rank = 0; rank < keys.size(); ++rank)
            m_byKey[keys[rank] - m_firstSid] = quint32(rank);
    } else {
        m_spread.reserve(qsizetype(keys.size()));
        for (size_t rank = 0; rank < keys.size(); ++rank)
            m_spread.insert(keys[rank], quint32(rank));
    }
    return true;
}

quint32 Ranks::of(qint64 sid) const
{
    if (!m_byKey.empty()) {
        const quint64 index = quint64(sid) - quint64(m_firstSid);
        return index < m_byKey.size() ? m_byKey[index] : unknown;
    }
    return m_spread.value(sid, unknown);
}

Words words(const QString &typed)
{
    Words w;
    QString blanks = typed;
    blanks.remove(QChar(0));
    blanks.replace(QChar(0x3000), QLatin1Char(' '));
    const QStringList parts = blanks.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        bool ideograph = false;
        for (qsizetype i = 0; i < part.size() && !ideograph; ++i) {
            const char32_t u = part.at(i).isHighSurrogate() && i + 1 < part.size()
                                   ? QChar::surrogateToUcs4(part.at(i), part.at(i + 1))
                                   : char32_t(part.at(i).unicode());
            ideograph = QChar::script(u) == QChar::Script_Han;
        }
        // A name is searched as it is written; a reading in its stored form.
        if (ideograph)
            w.name << part;
        else
            w.reading << Kana::toHalfWidth(part);
    }
    // No word at all lists every reading, as the empty text always did.
    if (w.reading.isEmpty() && w.name.isEmpty())
        w.reading << QString();
    return w;
}

bool hasReadingIndex(sqlite3 *db)
{
    Statement index(db, Queries::readingIndexRow());
    return index.next();
}

QString query(sqlite3 *db, const QString &typed, const std::function<const Ranks *()> &ranks)
{
    const Words w = words(typed);
    const QString holds = Queries::holdsWords(w.reading, w.name);
    // In descending reading order the reading index gives the rows one by
    // one, so the first rows come as soon as they are found: quick when the
    // text is common among the last readings, slow when it is rare there.
    const QString scan = Queries::readingsHolding(holds);
    // The trigram index answers reading words of three characters or more;
    // shorter words and name words are tested on the rows it finds.
    QStringList indexedWords;
    for (const QString &word : w.reading) {
        if (characterCount(word) >= 3)
            indexedWords << word;
    }
    if (!db || indexedWords.isEmpty() || !hasReadingIndex(db))
        return scan;
    // Does the scan find a screenful among the last readings?
    if (countOf(db, Queries::lastReadingsHolding(holds, scanProbeRows, firstRows)) >= firstRows)
        return scan;
    // No: the index finds the readings that hold the text, and when they are
    // few they are sorted. The test of the text stays in the query, so the
    // index only narrows the rows it looks at.
    const QString phrase = Queries::phraseLiteral(indexedWords);
    const QString indexed = Queries::readingsMatching(holds, phrase);
    // Where the ranks place the matches, the scan can start at the first of
    // them: no reading before it holds the text. It then reads every reading
    // up to the match that fills the first screen. A reading scanned costs
    // about a sixteenth of a match fetched and sorted, so the scan is taken
    // unless it would read more than sixteen readings per match.
    if (const Ranks *known = ranks ? ranks() : nullptr) {
        if (const std::optional<Placed> placed = place(db, *known, phrase)) {
            if (placed->matches <= firstRows || (placed->matches <= indexedMatchLimit &&
                                                 qint64(placed->screenSpan) > 16 * placed->matches))
                return indexed;
            if (const std::optional<QByteArray> from = readingOf(db, placed->firstKey))
                return Queries::readingsFrom(holds, *from);
        }
    }
    const int matches = countOf(db, Queries::readingIndexCount(phrase, indexedMatchLimit + 1));
    if (matches < 0 || matches > indexedMatchLimit)
        return scan;
    return indexed;
}

} // namespace ReadingSearch
