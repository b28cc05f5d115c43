#include "core/search/readingsearch.h"

#include "core/search/kana.h"

#include <QStringList>
#include <algorithm>
#include <optional>
#include <sqlite3.h>

namespace ReadingSearch {

namespace {

const QString selectPart =
    QStringLiteral("SELECT eys.SID,eys.SNM,eys.SKN,bun.分類名 FROM eys,bun ");
const QString tieOrder = QStringLiteral(",eys.BID DESC,eys.SNM DESC,eys.SID DESC");

QString withoutNul(const QString &text)
{
    QString clean = text;
    clean.remove(QChar(0));
    return clean;
}

// The words of the reading as an FTS5 query inside an SQL string literal,
// every word a phrase that must be there: double quotes doubled for the
// phrase, single quotes doubled for the literal.
QString phraseLiteral(const QStringList &words)
{
    QStringList phrases;
    for (QString phrase : words) {
        phrase.replace(QLatin1Char('"'), QLatin1String("\"\""));
        phrases << QLatin1Char('"') + phrase + QLatin1Char('"');
    }
    QString expression = phrases.join(QLatin1String(" AND "));
    expression.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + expression + QLatin1Char('\'');
}

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
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    int count = -1;
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        count = sqlite3_column_int(stmt, 0);
    sqlite3_finalize(stmt);
    return count;
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
    const QByteArray sql =
        (QStringLiteral("SELECT rowid FROM eys_skn WHERE eys_skn MATCH ") + phrase).toUtf8();
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return std::nullopt;
    }
    std::vector<std::pair<quint32, qint64>> found;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const qint64 key = sqlite3_column_int64(stmt, 0);
        const quint32 rank = ranks.of(key);
        if (rank == Ranks::unknown)
            break;
        found.emplace_back(rank, key);
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
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

// The reading of a food as a text literal of the same bytes.
QString readingLiteralOf(sqlite3 *db, qint64 key)
{
    sqlite3_stmt *stmt = nullptr;
    QString literal;
    if (sqlite3_prepare_v2(db, "SELECT SKN FROM eys WHERE SID=?", -1, &stmt, nullptr) ==
            SQLITE_OK &&
        sqlite3_bind_int64(stmt, 1, key) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW &&
        sqlite3_column_type(stmt, 0) == SQLITE_TEXT) {
        const QByteArray bytes(static_cast<const char *>(sqlite3_column_blob(stmt, 0)),
                               sqlite3_column_bytes(stmt, 0));
        literal = QStringLiteral("CAST(X'") + QString::fromLatin1(bytes.toHex()) +
                  QStringLiteral("' AS TEXT)");
    }
    sqlite3_finalize(stmt);
    return literal;
}

} // namespace

bool Ranks::read(sqlite3 *db)
{
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT SID FROM eys ORDER BY SKN DESC,BID DESC,SNM DESC,SID DESC",
                           -1, &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return false;
    }
    std::vector<qint64> keys;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
        keys.push_back(sqlite3_column_int64(stmt, 0));
    sqlite3_finalize(stmt);
    m_byKey.clear();
    m_spread.clear();
    if (rc != SQLITE_DONE)
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

QString likeLiteral(const QString &word)
{
    QString literal;
    literal.reserve(word.size() + 8);
    for (QChar c : word) {
        switch (c.unicode()) {
        case u'\\':
        case u'%':
        case u'_':
            literal += QLatin1Char('\\');
            literal += c;
            break;
        case u'\'':
            literal += QLatin1String("''");
            break;
        case 0:
            break;
        default:
            literal += c;
        }
    }
    return literal;
}

Words words(const QString &typed)
{
    Words w;
    QString blanks = withoutNul(typed);
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
    sqlite3_stmt *stmt = nullptr;
    bool found = false;
    if (sqlite3_prepare_v2(db, "SELECT 1 FROM sqlite_schema WHERE type='table' AND name='eys_skn'",
                           -1, &stmt, nullptr) == SQLITE_OK)
        found = sqlite3_step(stmt) == SQLITE_ROW;
    sqlite3_finalize(stmt);
    return found;
}

// The test one reading word must pass. Without ASCII letters, whose case
// LIKE ignores, "holds the text" is instr(), which compares bytes instead of
// matching a pattern character by character; the rows are the same.
static QString holdsText(const QString &column, const QString &folded)
{
    bool letters = false;
    for (QChar c : folded)
        letters = letters || (c.unicode() < 0x80 && c.isLetter());
    if (letters)
        return QStringLiteral("(") + column + QStringLiteral(" LIKE '%") + likeLiteral(folded) +
               QStringLiteral("%' ESCAPE '\\')");
    QString literal = folded;
    literal.replace(QLatin1Char('\''), QLatin1String("''"));
    return QStringLiteral("(instr(") + column + QStringLiteral(",'") + literal +
           QStringLiteral("')>0)");
}

// Every word there: reading words in the reading, name words in the name.
static QString holdsWords(const Words &w)
{
    QStringList tests;
    for (const QString &word : w.reading)
        tests << holdsText(QStringLiteral("eys.SKN"), word);
    for (const QString &word : w.name)
        tests << holdsText(QStringLiteral("eys.SNM"), word);
    return QStringLiteral("(") + tests.join(QLatin1String(" AND ")) + QStringLiteral(")");
}

QString query(sqlite3 *db, const QString &typed, const std::function<const Ranks *()> &ranks)
{
    const Words w = words(typed);
    const QString like = holdsWords(w);
    // The rows that pass a further test, in the search's order.
    auto listed = [&](const QString &test) {
        return selectPart + QStringLiteral("WHERE ") + test +
               QStringLiteral("bun.分類№=eys.BID AND ") + like +
               QStringLiteral(" ORDER BY eys.SKN DESC") + tieOrder;
    };
    // In descending reading order the reading index gives the rows one by
    // one, so the first rows come as soon as they are found: quick when the
    // text is common among the last readings, slow when it is rare there.
    const QString scan = listed(QString());
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
    const int early = countOf(db, QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM (SELECT "
                                                 "SKN,SNM FROM eys ORDER BY SKN DESC LIMIT %1) AS "
                                                 "eys WHERE ")
                                          .arg(scanProbeRows) +
                                      like + QStringLiteral(" LIMIT %1)").arg(firstRows));
    if (early >= firstRows)
        return scan;
    // No: the index finds the readings that hold the text, and when they are
    // few they are sorted. The test of the text stays in the query, so the
    // index only narrows the rows it looks at.
    const QString phrase = phraseLiteral(indexedWords);
    const QString indexed =
        listed(QStringLiteral("eys.SID IN (SELECT rowid FROM eys_skn WHERE eys_skn MATCH ") +
               phrase + QStringLiteral(") AND "));
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
            const QString from = readingLiteralOf(db, placed->firstKey);
            if (!from.isEmpty())
                return listed(QStringLiteral("eys.SKN<=") + from + QStringLiteral(" AND "));
        }
    }
    const int matches =
        countOf(db, QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM eys_skn "
                                   "WHERE eys_skn MATCH ") +
                        phrase + QStringLiteral(" LIMIT %1)").arg(indexedMatchLimit + 1));
    if (matches < 0 || matches > indexedMatchLimit)
        return scan;
    return indexed;
}

} // namespace ReadingSearch
