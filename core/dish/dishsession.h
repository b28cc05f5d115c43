#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <variant>

class DataSource;

// The totals of one dish: the raw sums the store gives (each empty when the
// dish has no line to sum) and what the totals panel derives from them.
struct DishTotals
{
    std::optional<double> weightFactorSum; // Σ 数量2: the weight in hundreds of grams
    std::optional<double> energy;          // kcal
    std::optional<double> water, protein, fat, sugar, fibre, ash; // g in the dish
    std::optional<double> salt;                                   // g in the dish
    double servings = 1;                                          // 人分
    std::optional<double> finishedGrams; // 出来上がり重量, when given

    // The one way totals are made: the weight, and each sum looked up by
    // the food table's field name (ENC, SUI, TAN, SST, TST, TSS, KBN, NAT).
    static DishTotals fromSums(std::optional<double> weightFactorSum,
                               const std::function<std::optional<double>(const char *field)> &sumOf,
                               double servings = 1,
                               std::optional<double> finishedGrams = std::nullopt);

    std::optional<double> grams() const;
    // Grams of a nutrient per 100 g of dish (of the finished dish when it has
    // a finished weight), rounded half up to one decimal; nothing without a
    // sum or a weight to divide by.
    std::optional<double> perHundredGrams(const std::optional<double> &sum) const;
    // The salt rounded half up to two decimals, as the dish list rounds it.
    std::optional<double> roundedSalt() const;
};

// The texts of the totals panel; an empty text where there is no value.
struct DishTotalsText
{
    QString weight, energy, salt, water, protein, fat, sugar, fibre, ash;
};
DishTotalsText totalsText(const DishTotals &totals);

// What the line editor holds when a line is added or rewritten.
struct LineInput
{
    QString food; // the food's key as the hidden box holds it
    QString quantity;
    QString unit;
};

// A line ready to be stored: the quantity, the listed unit and the weight
// factor counted from them, so that what is stored is what is counted.
struct LineDraft
{
    qint64 food = 0;
    double quantity = 0;
    QString unit;
    double weightFactor = 0; // quantity × grams per unit ÷ 100
};

// Why a line cannot be stored, naming the box to mend.
struct LineRefusal
{
    enum class Box { Food, Quantity, Unit } box;
    QString message;
};

// One dish and its recipe, on keys and numbers: the current dish among all
// dishes in store order, its lines, the selected line, the unit list, the
// changes of lines and dishes, and the totals. The data sources are the
// windows' to show (the main window binds its boxes, grid and lists to them);
// every change goes through the session.
class DishSession : public QObject
{
    Q_OBJECT

public:
    // A dish weighs at most this much (in grams) per line.
    static constexpr double maxLineGrams = 100'000;

    explicit DishSession(QObject *parent = nullptr);
    ~DishSession() override;

    void setConnectionString(const QString &text);

    DataSource *dishes() const { return m_dishes; }          // AdoMnu
    DataSource *lines() const { return m_lines; }            // AdoKou
    DataSource *selection() const { return m_selection; }    // AdoKou2
    DataSource *units() const { return m_units; }            // AdoTni
    DataSource *weightSum() const { return m_weightSum; }    // AdoSumW
    DataSource *nutrientSums() const { return m_nutrients; } // AdoSumC

    // ---- Dishes
    // Reads the dish list again; the first dish is current. False when the
    // store holds no dish (or could not be read).
    bool loadDishes();
    bool hasDish() const;
    // The current dish's key; 0 when there is none.
    qint64 currentDish() const;
    QString currentName() const;
    // Moves to the previous or next dish; false when there is none and the
    // current dish stays (the end dish).
    bool previous();
    bool next();
    void last();
    // Makes the dish with that key current; false when there is none.
    bool show(qint64 dish);
    // Creates a dish and makes it current (it comes last in store order).
    // On a refusal the current dish stays and *error says why.
    bool createDish(const QString &name, QString *error);
    // Stores a new name for the current dish, which stays current.
    bool renameDish(const QString &name, QString *error);
    // The name typed into the current dish's box and not yet stored:
    // revertTypedName() forgets it; submitTypedName() stores it as it stands
    // (an empty or refused name is forgotten instead), keeping the record
    // set where it is. Nothing else stores it: moving to another dish or
    // reloading forgets it.
    void revertTypedName();
    bool submitTypedName();
    // How many menu days have the current dish in a meal.
    int daysUsingCurrentDish() const;
    // Deletes the current dish (its lines and its menu entries go with it); the first dish is
    // current afterwards.
    bool deleteDish(QString *error);
    // The current dish's servings (1 when none is stored) and finished weight.
    double servings() const;
    std::optional<double> finishedWeight() const;
    // Stores both for the current dish, which stays current; the values are
    // those Portion::readServings and readFinishedWeight accepted.
    bool setPortion(double servings, std::optional<double> finishedGrams, QString *error);

    // ---- Lines of the current dish
    // Reads the current dish's lines (the recipe); a selection made in
    // another dish is cleared.
    void loadLines();
    // Makes a row of lines() the selected line; false when there is none.
    bool selectLine(int row);
    // Makes a row of lines() the current line: the lines' pointer and the
    // selected line both on it. Without such a row no line is selected.
    bool makeCurrent(int row);
    // The row of lines() that holds a line; -1 when none does.
    int rowOfLine(qint64 line) const;
    std::optional<qint64> selectedLine() const { return m_selectedLine; }
    void clearSelection();
    // Checks what the line editor holds: a chosen food, a quantity that is
    // wholly a number and not negative, a listed unit, a weight that is finite
    // and at most maxLineGrams.
    std::variant<LineDraft, LineRefusal> checkLine(const LineInput &input) const;
    // Stores the line as a new line of the current dish, or into the line at
    // a row of lines(); re-reads the lines. The line added or rewritten is
    // then the current line (makeCurrent). On a refusal nothing is stored,
    // the current row stays and *error says why.
    bool addLine(const LineDraft &line, QString *error);
    bool updateLine(int row, const LineDraft &line, QString *error);
    // Deletes the selected line if it is a line of the current dish, re-reads
    // the lines and makes current the line that took its place (the last
    // line when it was the last; none when no line is left).
    bool deleteSelectedLine();

    // ---- Units
    // The unit list for a food: its own measures first, at their own
    // weights, then the unit table (food 0: the unit table alone). A store
    // made before measures existed lists the unit table.
    bool loadUnits(qint64 food = 0);
    // The listed unit a typed unit names: the same after width and letter
    // case are folded ("KG", "ｋｇ" and "kg" are one unit). Empty when none.
    QString listedUnit(const QString &typed) const;
    std::optional<double> gramsPerUnit(const QString &typed) const;
    // quantity × grams per unit ÷ 100, from the texts of the two boxes;
    // nothing while either is not a number or the unit is not listed.
    std::optional<double> weightFactor(const QString &quantity, const QString &unit) const;

    // ---- Totals of the current dish
    // Runs the weight sum, then the nutrient sums.
    DishTotals totals();

private:
    DataSource *source(const char *name);
    bool storeNew(DataSource *source, QString *error);
    bool store(DataSource *source, QString *error);

    QString m_connection;
    DataSource *m_dishes;
    DataSource *m_lines;
    DataSource *m_selection;
    DataSource *m_units;
    DataSource *m_weightSum;
    DataSource *m_nutrients;
    std::optional<qint64> m_selectedLine;
    qint64 m_selectedLineDish = 0;
};
