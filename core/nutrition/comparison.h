#pragma once

#include <QString>
#include <QStringView>
#include <array>
#include <memory>
#include <optional>

class DataSource;

// The comparison of one dish with the recommended daily intakes of a person
// of a chosen age and sex. The table has eleven rows: the reference height and
// weight, then the nine compared nutrients; the dish's sums exist for rows 2
// to 10 only.
namespace Comparison {

inline constexpr int rowCount = 11;
inline constexpr int firstSumRow = 2;

struct Row
{
    const char *standardColumn; // column of kij
    const char *sumColumn;      // result column of the sums query; none for rows 0-1
};

extern const std::array<Row, rowCount> rows;

// The caption of a row: the reference height and weight, then the compared
// nutrients as the food search names them, in the chart's axis order.
QString caption(int row);

// One value per row; nothing where there is no value (a null sum, no matching
// standards row, the height and weight rows of the sums).
using Values = std::array<std::optional<double>, rowCount>;

QString standardsQuery();
QString sumsQuery(qint64 dish);

// What the hidden holder of a row's sum shows: the general decimal form, the
// vitamin B2 row with exactly four decimals; empty for no sum.
QString holderText(int row, std::optional<double> sum);
// The calculated value shown for a row: the holder's text rounded half up to
// two decimals, so vitamin B2 is rounded twice (to four, then two decimals).
std::optional<double> calculatedValue(int row, std::optional<double> sum);

// The text a standard is shown with: rounded half up to two decimals, as the
// calculated column, so that a value converted on import (vitamin A, µgRAE x
// 10 / 3 in IU) shows 2833.33, not its binary remainder; empty for none.
QString standardText(std::optional<double> standard);
// The standard as that text shows it (and the chart plots it).
std::optional<double> standardShown(std::optional<double> standard);

// The age a text of the age box stands for: the whole text as one number,
// rounded to a whole number with halves to the even one; 0 when it is no
// number (no row has age 0).
int ageOf(const QString &text);

inline constexpr int male = 1;
inline constexpr int female = 0;

// The store side of the comparison window: the standards table, read once,
// the current standards row chosen by age and sex, and the sums of one dish,
// taken once. The two record sets are the window's data sources.
class Session
{
public:
    explicit Session(const QString &connectionString);
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    DataSource *standardsSource() const { return m_standards.get(); }
    DataSource *sumsSource() const { return m_sums.get(); }

    // Opens the standards table; false when it cannot be read.
    bool loadStandards();
    // Sums the compared nutrients of the dish; false when the query fails
    // (the sums then stay empty).
    bool loadSums(qint64 dish);
    const Values &sums() const { return m_sumValues; }
    // The calculated value of every row (rows 0 and 1 have none).
    Values calculated() const;

    // Moves to the first standards row, in table order, of that age and sex
    // code; a null age or sex never matches. Without one the standards are
    // empty. Returns whether a row was found.
    bool findStandard(int age, int sex);
    bool hasStandard() const;
    // The values of the current standards row; all empty without one.
    Values standard() const;

    QString errorString() const { return m_error; }

private:
    QString m_connectionString;
    std::unique_ptr<DataSource> m_standards;
    std::unique_ptr<DataSource> m_sums;
    Values m_sumValues{};
    QString m_error;
};

} // namespace Comparison
