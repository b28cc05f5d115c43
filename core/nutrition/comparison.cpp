#include "core/nutrition/comparison.h"

#include "core/nutrition/nutrients.h"
#include "core/store/datasource.h"
#include "core/store/numberreader.h"
#include "core/store/numbertext.h"
#include "core/store/queries.h"

#include <cmath>

namespace Comparison {

// clang-format off
const std::array<Row, rowCount> rows{{
    {"TAL", nullptr}, {"WEI", nullptr},
    {"CAL", "SENC"}, {"TAN", "STAN"}, {"CA", "SCA"}, {"FE", "SFE"}, {"VA", "SVAK"},
    {"VB1", "SVB1"}, {"VB2", "SVB2"}, {"NAI", "SNAI"}, {"VC", "SVC"},
}};
// clang-format on

QString caption(int row)
{
    if (row == 0)
        return QStringLiteral("基準身長");
    if (row == 1)
        return QStringLiteral("基準体重");
    if (row >= firstSumRow && row < rowCount)
        return Nutrients::charted()[row - firstSumRow]->rankingName.toString();
    return QString();
}

namespace {

constexpr int fourDecimalRow = 8; // vitamin B2

std::optional<double> numberOf(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return std::nullopt;
    bool isNumber = false;
    const double number = value.toDouble(&isNumber);
    if (!isNumber || !std::isfinite(number))
        return std::nullopt;
    return number;
}

} // namespace

QString standardsQuery()
{
    return Queries::standards();
}

QString sumsQuery(qint64 dish)
{
    return Queries::comparisonSums(dish);
}

QString holderText(int row, std::optional<double> sum)
{
    if (!sum)
        return QString();
    return row == fourDecimalRow ? NumberText::fixed(*sum, 4) : NumberText::general(*sum);
}

std::optional<double> calculatedValue(int row, std::optional<double> sum)
{
    if (!sum)
        return std::nullopt;
    const std::optional<double> held = NumberReader::number(holderText(row, sum));
    if (!held)
        return std::nullopt;
    return NumberText::roundHalfUp(*held, 2);
}

std::optional<double> standardShown(std::optional<double> standard)
{
    return standard ? std::optional<double>(NumberText::roundHalfUp(*standard, 2)) : std::nullopt;
}

QString standardText(std::optional<double> standard)
{
    const std::optional<double> shown = standardShown(standard);
    return shown ? NumberText::general(*shown) : QString();
}

int ageOf(const QString &text)
{
    const std::optional<double> number = NumberReader::number(text);
    if (!number)
        return 0;
    const double whole = std::nearbyint(*number); // the default rounding: halves to even
    if (!(whole >= -2147483648.0 && whole <= 2147483647.0))
        return 0;
    return int(whole);
}

Session::Session(const QString &connectionString)
    : m_connectionString(connectionString)
    , m_standards(std::make_unique<DataSource>())
    , m_sums(std::make_unique<DataSource>())
{
}

Session::~Session() = default;

bool Session::loadStandards()
{
    m_standards->setConnectionString(m_connectionString);
    m_standards->setRecordSource(standardsQuery());
    if (!m_standards->refresh()) {
        m_error = m_standards->errorString();
        return false;
    }
    return true;
}

bool Session::loadSums(qint64 dish)
{
    m_sumValues = {};
    m_sums->setConnectionString(m_connectionString);
    m_sums->setRecordSource(sumsQuery(dish));
    if (!m_sums->refresh()) {
        m_error = m_sums->errorString();
        return false;
    }
    if (m_sums->bof() || m_sums->eof())
        return true; // an aggregate always has its row; without it every sum is empty
    for (int row = firstSumRow; row < rowCount; ++row)
        m_sumValues[row] = numberOf(m_sums->value(QLatin1String(rows[row].sumColumn)));
    return true;
}

Values Session::calculated() const
{
    Values values{};
    for (int row = firstSumRow; row < rowCount; ++row)
        values[row] = calculatedValue(row, m_sumValues[row]);
    return values;
}

bool Session::findStandard(int age, int sex)
{
    // The rows are read where they lie and the pointer moves once, to the
    // match; without one it comes to rest past the last row, never beyond.
    DataSource &table = *m_standards;
    const int ageColumn = table.fieldIndex(QStringLiteral("AGE"));
    const int sexColumn = table.fieldIndex(QStringLiteral("SEX"));
    const int count = ageColumn < 0 || sexColumn < 0 ? 0 : table.recordCount();
    auto matches = [](const QVariant &value, int wanted) {
        const std::optional<double> number = numberOf(value);
        return number && *number == wanted;
    };
    for (int row = 0; row < count; ++row) {
        if (matches(table.value(row, ageColumn), age) && matches(table.value(row, sexColumn), sex))
            return table.moveTo(row);
    }
    if (!table.eof() && table.moveLast())
        table.moveNext();
    return false;
}

bool Session::hasStandard() const
{
    DataSource &table = *m_standards;
    return !table.bof() && !table.eof();
}

Values Session::standard() const
{
    Values values{};
    if (!hasStandard())
        return values;
    for (int row = 0; row < rowCount; ++row)
        values[row] = numberOf(m_standards->value(QLatin1String(rows[row].standardColumn)));
    return values;
}

} // namespace Comparison
