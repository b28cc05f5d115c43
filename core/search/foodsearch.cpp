#include "core/search/foodsearch.h"

#include "core/search/kana.h"

#include <sqlite3.h>

namespace FoodSearch {

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

// The folded text as an FTS5 phrase inside an SQL string literal: double
// quotes doubled for the phrase, single quotes doubled for the literal.
QString phraseLiteral(const QString &folded)
{
    QString phrase = folded;
    phrase.replace(QLatin1Char('"'), QLatin1String("\"\""));
    phrase = QLatin1Char('"') + phrase + QLatin1Char('"');
    phrase.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + phrase + QLatin1Char('\'');
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

// How many readings the index finds for the phrase, counted up to limit + 1;
// -1 when the index cannot be asked.
int indexedMatches(sqlite3 *db, const QString &phrase, int limit)
{
    const QByteArray sql = (QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM eys_skn WHERE "
                                           "eys_skn MATCH ") +
                            phrase + QStringLiteral(" LIMIT %1)").arg(limit + 1))
                               .toUtf8();
    sqlite3_stmt *stmt = nullptr;
    int count = -1;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        count = sqlite3_column_int(stmt, 0);
    sqlite3_finalize(stmt);
    return count;
}

} // namespace

QString likeLiteral(const QString &typed)
{
    const QString folded = Kana::toHalfWidth(typed);
    QString literal;
    literal.reserve(folded.size() + 8);
    for (QChar c : folded) {
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

QString readingQuery(const QString &typed)
{
    return QStringLiteral("SELECT eys.SID,eys.SNM,eys.SKN") +
           QStringLiteral(",bun.分類名 FROM eys,bun ") +
           QStringLiteral("WHERE((bun.分類№=eys.BID) AND (eys.SKN LIKE '%") + likeLiteral(typed) +
           QStringLiteral("%' ESCAPE '\\'))") + QStringLiteral("ORDER BY eys.SKN DESC");
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

QString byReading(sqlite3 *db, const QString &typed)
{
    const QString like =
        QStringLiteral("(eys.SKN LIKE '%") + likeLiteral(typed) + QStringLiteral("%' ESCAPE '\\')");
    const QString folded = withoutNul(Kana::toHalfWidth(typed));
    // The trigram index answers text of three characters or more; the LIKE
    // stays in the query, so the index only narrows the rows it looks at.
    if (db && characterCount(folded) >= 3 && hasReadingIndex(db)) {
        const QString phrase = phraseLiteral(folded);
        const int matches = indexedMatches(db, phrase, indexedMatchLimit);
        if (matches >= 0 && matches <= indexedMatchLimit)
            return selectPart +
                   QStringLiteral("WHERE eys.SID IN (SELECT rowid FROM eys_skn WHERE eys_skn "
                                  "MATCH ") +
                   phrase + QStringLiteral(") AND bun.分類№=eys.BID AND ") + like +
                   QStringLiteral(" ORDER BY eys.SKN DESC") + tieOrder;
    }
    // In descending reading order the reading index gives the rows one by
    // one, so the first rows come as soon as they are found.
    return selectPart + QStringLiteral("WHERE bun.分類№=eys.BID AND ") + like +
           QStringLiteral(" ORDER BY eys.SKN DESC") + tieOrder;
}

} // namespace FoodSearch
