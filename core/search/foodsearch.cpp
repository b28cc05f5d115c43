#include "core/search/foodsearch.h"

#include "core/search/kana.h"
#include "core/store/datasource.h"

#include <QStringList>

namespace {

struct Ranked
{
    const char16_t *name;
    const char *field;
};

const Ranked ranked[22] = {
    {u"ｴﾈﾙｷﾞｰ", "ENC"},     {u"水分", "SUI"},           {u"ﾀﾝﾊﾟｸ質", "TAN"},
    {u"脂質", "SST"},       {u"炭水化物：糖質", "TST"}, {u"炭水化物：繊維", "TSS"},
    {u"灰分", "KBN"},       {u"ｺﾚｽﾃﾛｰﾙ", "COL"},        {u"ｶﾙｼｳﾑ", "CA"},
    {u"ﾘﾝ", "P"},           {u"鉄", "FE"},              {u"ﾅﾄﾘｳﾑ", "NA"},
    {u"ｶﾘｳﾑ", "K"},         {u"ﾚﾁﾉｰﾙ", "VAR"},          {u"ｶﾛﾁﾝ", "VAC"},
    {u"ﾋﾞﾀﾐﾝA", "VAK"},     {u"ﾋﾞﾀﾐﾝE", "VE"},          {u"ﾋﾞﾀﾐﾝB1", "VB1"},
    {u"ﾋﾞﾀﾐﾝB2", "VB2"},    {u"ﾅｲｱｼﾝ", "NAI"},          {u"ﾋﾞﾀﾐﾝC", "VC"},
    {u"食塩相当量", "NAT"},
};

} // namespace

FoodSearch::FoodSearch(const QString &connectionString)
    : m_connectionString(connectionString)
    , m_results(std::make_unique<DataSource>())
{
}

FoodSearch::~FoodSearch() = default;

QStringList FoodSearch::rankingNames()
{
    QStringList names;
    for (const Ranked &r : ranked)
        names << QString::fromUtf16(r.name);
    return names;
}

QString FoodSearch::rankingFieldFor(const QString &name)
{
    for (const Ranked &r : ranked)
        if (name == QStringView(r.name))
            return QString::fromLatin1(r.field);
    return QString();
}

QString FoodSearch::rankingQuery(const QString &field)
{
    return QStringLiteral("SELECT eys.SID,eys.SNM,eys.") + field +
           QStringLiteral(",bun.分類名 FROM eys,bun ") +
           QStringLiteral("WHERE(bun.分類№=eys.BID)") + QStringLiteral("ORDER BY eys.") + field +
           QStringLiteral(" DESC");
}

QString FoodSearch::readingQuery(const QString &reading)
{
    // The text becomes the inside of a quoted LIKE pattern: the escape
    // character and the two wildcards are escaped so that they match
    // themselves, a quote is doubled, and a NUL (which would end the query
    // text) is dropped.
    const QString folded = Kana::toHalfWidth(reading);
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
    return QStringLiteral("SELECT eys.SID,eys.SNM,eys.SKN") +
           QStringLiteral(",bun.分類名 FROM eys,bun ") +
           QStringLiteral("WHERE((bun.分類№=eys.BID) AND (eys.SKN LIKE '%") + literal +
           QStringLiteral("%' ESCAPE '\\'))") + QStringLiteral("ORDER BY eys.SKN DESC");
}

bool FoodSearch::byReading(const QString &reading)
{
    return run(readingQuery(reading));
}

bool FoodSearch::byRanking(const QString &field)
{
    // Text that names no nutrient gives no field: nothing to rank by.
    if (field.isEmpty())
        return true;
    return run(rankingQuery(field));
}

bool FoodSearch::run(const QString &sql)
{
    m_results->setConnectionString(m_connectionString);
    m_results->setRecordSource(sql);
    if (!m_results->refresh()) {
        m_error = m_results->errorString();
        return false;
    }
    return true;
}

std::optional<FoodSearch::Found> FoodSearch::foodAt(int row) const
{
    DataSource &rows = *m_results;
    if (row < 0 || rows.columnCount() < 4 || row >= rows.rowCount())
        return std::nullopt;
    bool isKey = false;
    const qint64 id = rows.value(row, 0).toLongLong(&isKey);
    if (!isKey)
        return std::nullopt;
    return Found{id, rows.text(row, 1), rows.text(row, 3)};
}
