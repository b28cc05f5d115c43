#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <optional>
#include <variant>

// The dietary reference intakes (日本人の食事摂取基準) of one person, looked
// up in the rows of the intake table (kjz), and the judgement of an intake
// against them as the intakes define it. Pure functions on values: the store
// hands the rows over once, each look-up is done in memory.
namespace Intakes {

inline constexpr int youngestAge = 0;
inline constexpr int oldestAge = 100;

enum class Activity { Low = 0, Moderate = 1, High = 2 }; // 身体活動レベル 低い/ふつう/高い

// A pregnancy stage or lactation adds to the woman's own values or replaces
// them (the numbers are those of kon.STG and kjz.STG).
enum class Stage {
    None = 0,
    PregnancyEarly = 1,
    PregnancyMid = 2,
    PregnancyLate = 3,
    Lactation = 4
};

// The texts of the stage box, "なし" first, then 妊娠初期, 妊娠中期, 妊娠後期,
// 授乳中, in the order of Stage.
QString stageText(Stage stage);
// The texts of the activity box: 低い, ふつう, 高い.
QString activityText(Activity activity);

struct Person
{
    int age = 20;
    int sex = 1; // 1 male, 0 female
    Activity activity = Activity::Moderate;
    Stage stage = Stage::None;
};

// One row of kjz.
struct Row
{
    std::optional<int> from, to; // age group (to empty: and older); none for a stage row
    int sex = 0;
    int stage = 0;
    QString nutrient; // "calcium_mg"
    QString indicator;
    double value = 0;
    int edition = 2025;
};

// One nutrient's standards for a person; each empty where the intakes set
// none (or none was found).
struct Standard
{
    std::optional<double> ear;    // 推定平均必要量
    std::optional<double> rda;    // 推奨量
    std::optional<double> ai;     // 目安量
    std::optional<double> dgMin;  // 目標量, lower bound (以上)
    std::optional<double> dgMax;  // 目標量, upper bound
    bool dgMaxBelow = false;      // the upper bound is 「未満」: strictly below
    std::optional<double> ul;     // 耐容上限量
    std::optional<double> eer;    // 推定エネルギー必要量 (energy only)
    bool previousEdition = false; // a value is the previous edition's (2020)

    bool isEmpty() const { return !ear && !rda && !ai && !dgMin && !dgMax && !ul && !eer; }
    // The figure the 充足率 is taken against: the RDA, else the AI, the EER,
    // the lower or the upper bound of the goal.
    std::optional<double> reference() const;
};

// The age box's text as an age: a whole number from 0 to 100; otherwise the
// message to show, naming the box.
std::variant<int, QString> readAge(const QString &text);

class Table
{
public:
    Table() = default;
    explicit Table(const QList<Row> &rows);

    bool isEmpty() const { return m_rows.isEmpty(); }

    // The group the standards give an age: "15～17歳", "75歳以上"; empty when no
    // group covers it (the tables start at one year).
    QString groupName(int age) const;
    // Whether the stage can be chosen for the person's sex and age: only for a
    // woman of an age group that has a value for menstruating women (10 to
    // 64 years). A woman of those ages is judged by the iron value with
    // menstruation unless she is pregnant or nursing.
    bool stageAllowed(const Person &person, Stage stage) const;

    // The standards of a nutrient ("calcium_mg") for the person; a stage the
    // person's sex or age does not allow is not applied.
    Standard of(const QString &nutrient, const Person &person) const;
    // Whether the value of a nutrient and indicator ("vitamin_b1_mg", "rda")
    // for the person's age group and sex is the previous edition's.
    bool fromPreviousEdition(const QString &nutrient, const QString &indicator,
                             const Person &person) const;
    // A plain value of the person's group (height_cm, weight_kg).
    std::optional<double> value(const QString &nutrient, const Person &person) const;

private:
    struct Cell
    {
        double value;
        int edition;
    };
    std::optional<Cell> group(const QString &nutrient, const QString &indicator,
                              const Person &person) const;
    std::optional<double> stageValue(const QString &nutrient, const QString &indicator,
                                     Stage stage) const;

    QList<Row> m_rows;
    QHash<QString, QList<int>> m_byKey; // nutrient|indicator -> rows of no stage
};

// The nutrient and indicator of the intakes a column of the comparison's
// standards (kij: "TAL", "CA", "VB1") holds; empty for another name.
std::pair<QString, QString> comparisonIntake(QLatin1StringView kijColumn);

// The tooltip of a standard from the previous edition: "2020年版の値（…）".
QString previousEditionNote();

// The intakes' nutrient a component of the food table (Components::all) is
// judged by ("calcium_mg"); empty for a component the intakes set nothing for.
QString nutrientOf(int component);

// ---- Judgement

enum class Verdict {
    None,              // no standard to judge by
    Deficient,         // 不足の可能性が高い
    PossiblyDeficient, // 不足の可能性あり
    Adequate,          // 充足
    CannotJudge,       // 判定できない
    BelowGoal,         // 目標量を下回る
    WithinGoal,        // 目標量の範囲内
    AboveGoal,         // 目標量を超える
    Excess,            // 過剰のおそれ
};

QString verdictText(Verdict verdict);

// The intakes' own method: above the UL, the risk of excess; below the EAR,
// deficiency likely; between the EAR and the RDA (or below the RDA where no
// EAR is given), possible; at or above the RDA or the AI, adequate; below
// the AI, no judgement; outside a goal's range, below or above it (a goal
// overrides adequacy and "no judgement", which say less).
Verdict judge(double intake, const Standard &standard);

// The 基準 (1日) column's text: "推奨量 800", "目安量 9.0", "目標量 7.5未満",
// "目標量 18以上", "目標量 20～30", the UL after it ("上限 2,500"); "(2020年版)"
// after a previous edition's value; "基準なし" without a standard.
QString standardText(const Standard &standard, int decimals);

// ---- Energy-producing nutrient balance

struct Balance
{
    std::optional<double> protein, fat, carbohydrate; // % of energy
};

// The shares of energy: protein × 4 and fat × 9 kcal per gram of the energy,
// carbohydrate (alcohol included) the rest, as the intakes count the balance.
// Nothing without energy.
Balance balance(std::optional<double> energyKcal, std::optional<double> proteinG,
                std::optional<double> fatG);

struct BalanceGoals
{
    Standard protein, fat, carbohydrate; // dg_min and dg_max, % of energy
};
BalanceGoals balanceGoals(const Table &table, const Person &person);

} // namespace Intakes
