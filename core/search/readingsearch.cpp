#include "core/search/readingsearch.h"

#include "core/search/kana.h"

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

// The test the rows must pass. Without ASCII letters, whose case LIKE
// ignores, "holds the text" is instr(), which compares bytes instead of
// matching a pattern character by character; the rows are the same.
static QString holdsText(const QString &typed, const QString &folded)
{
    bool letters = false;
    for (QChar c : folded)
        letters = letters || (c.unicode() < 0x80 && c.isLetter());
    if (letters)
        return QStringLiteral("(eys.SKN LIKE '%") + likeLiteral(typed) +
               QStringLiteral("%' ESCAPE '\\')");
    QString literal = folded;
    literal.replace(QLatin1Char('\''), QLatin1String("''"));
    return QStringLiteral("(instr(eys.SKN,'") + literal + QStringLiteral("')>0)");
}

QString query(sqlite3 *db, const QString &typed)
{
    const QString folded = withoutNul(Kana::toHalfWidth(typed));
    const QString like = holdsText(typed, folded);
    // In descending reading order the reading index gives the rows one by
    // one, so the first rows come as soon as they are found: quick when the
    // text is common among the last readings, slow when it is rare there.
    const QString scan = selectPart + QStringLiteral("WHERE bun.分類№=eys.BID AND ") + like +
                         QStringLiteral(" ORDER BY eys.SKN DESC") + tieOrder;
    // The trigram index answers text of three characters or more.
    if (!db || characterCount(folded) < 3 || !hasReadingIndex(db))
        return scan;
    // Does the scan find a screenful among the last readings?
    const int early = countOf(db, QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM (SELECT "
                                                 "SKN FROM eys ORDER BY SKN DESC LIMIT %1) AS "
                                                 "eys WHERE ")
                                          .arg(scanProbeRows) +
                                      like + QStringLiteral(" LIMIT %1)").arg(firstRows));
    if (early >= firstRows)
        return scan;
    // No: the index finds the readings that hold the text, and when they are
    // few they are sorted. The test of the text stays in the query, so the
    // index only narrows the rows it looks at.
    const QString phrase = phraseLiteral(folded);
    const int matches =
        countOf(db, QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM eys_skn "
                                   "WHERE eys_skn MATCH ") +
                        phrase + QStringLiteral(" LIMIT %1)").arg(indexedMatchLimit + 1));
    if (matches < 0 || matches > indexedMatchLimit)
        return scan;
    return selectPart +
           QStringLiteral("WHERE eys.SID IN (SELECT rowid FROM eys_skn WHERE eys_skn MATCH ") +
           phrase + QStringLiteral(") AND bun.分類№=eys.BID AND ") + like +
           QStringLiteral(" ORDER BY eys.SKN DESC") + tieOrder;
}

} // namespace ReadingSearch
