#pragma once

#include "core/nutrition/components.h"
#include "core/store/database.h"

#include <QString>
#include <QStringView>
#include <QVariant>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

// The menus kept in the store: days of meals, each entry a dish in a meal
// with its portion. Every change is one write, and so one undo step.
namespace Menus {

// The meals of a day, in the order a day is shown.
inline constexpr int mealCount = 4;
QStringView mealName(int meal); // 朝食, 昼食, 夕食, 間食

// Whom a day is planned for.
struct Person
{
    int age = 30;
    bool male = false;
    int pal = 2;   // 1 低い, 2 ふつう, 3 高い
    int stage = 0; // 0, or 1-4: 妊娠初期, 中期, 後期, 授乳中
    bool operator==(const Person &) const = default;
};

struct Day
{
    qint64 id = 0;
    QString date; // yyyy-MM-dd, or empty for a day without a date
    QString name;
    Person person;
};

struct Entry
{
    qint64 id = 0;
    qint64 day = 0;
    int meal = 0;
    qint64 dish = 0;
    double portion = 1; // in servings of the dish
    int order = 0;
};

// A dish as menus read it: its name and 人分 (1 when none is stored).
struct DishHead
{
    qint64 id = 0;
    QString name;
    double servings = 1;
};

// One line of a dish: its food and quantity.
struct DishLine
{
    qint64 dish = 0;
    qint64 food = 0;
    double weightFactor = 0; // 数量2: hundreds of grams
};

// A food's values per 100 g, every component in the order of
// Components::all as the store keeps it (the value fields in their own
// units); nothing where the store has no value.
struct FoodValues
{
    qint64 food = 0;
    QString name;
    std::array<std::optional<double>, Components::count> stored;
};

class MenuStore
{
public:
    // The store named by the connection text; false with *error when it
    // cannot be opened.
    bool open(const QString &connectionString, QString *error);
    std::shared_ptr<Database> database() const { return m_db; }

    // Every day: dated days by date, then the days without a date, each in
    // the order they were made.
    bool days(std::vector<Day> *out, QString *error) const;
    // The entries of the days given (all days when empty), by day, meal and
    // the user's order.
    bool entries(const std::vector<qint64> &days, std::vector<Entry> *out, QString *error) const;
    // Dishes whose name holds `part` (every dish when empty), those named
    // exactly so first, then in store order; at most `limit`.
    bool dishesNamed(const QString &part, int limit, std::vector<std::pair<qint64, QString>> *out,
                     QString *error) const;
    // The dishes of those keys that exist and their lines: a few queries
    // for any number of dishes.
    bool readDishes(const std::vector<qint64> &dishes, std::vector<DishHead> *heads,
                    std::vector<DishLine> *lines, QString *error) const;
    // The values of the foods of those numbers (ascending, each once) that
    // exist, handed to `food` one by one in that order: each food is read
    // once however many lines use it. With `valueFieldsOnly` the components
    // kept beside the food's value fields are not read (nothing).
    bool readFoods(const std::vector<qint64> &foods, bool valueFieldsOnly,
                   const std::function<void(const FoodValues &)> &food, QString *error) const;
    // The figures of those dishes counted earlier and kept with the store
    // (sealed, as counted), and the store's data version they were read at;
    // none when the store keeps none.
    bool keptFigures(const std::vector<qint64> &dishes,
                     std::vector<std::pair<qint64, QByteArray>> *out, qint64 *version,
                     QString *error) const;
    // Keeps the dishes' figures, unless another connection changed the store
    // since `version` or the store cannot be written; no undo step.
    bool keepFigures(const std::vector<std::pair<qint64, QByteArray>> &figures, qint64 version);
    // How many days have the dish in one of their meals.
    int daysUsingDish(qint64 dish) const;
    // A mark of what the menus count: the days, their entries, the dishes,
    // their lines and the foods' values. It changes whenever any of them may
    // have changed, whoever wrote (another window, an undo, another
    // program); the figures kept beside them do not count. Equal marks mean
    // that what was read before is still true.
    using Mark = std::vector<Database::TableMark>;
    Mark mark() const;

    std::optional<qint64> createDay(const Day &day, QString *error);
    // A new day with the entries and person of another; one write.
    std::optional<qint64> copyDay(qint64 from, const QString &date, const QString &name,
                                  QString *error);
    bool renameDay(qint64 day, const QString &date, const QString &name, QString *error);
    bool setPerson(qint64 day, const Person &person, QString *error);
    bool deleteDay(qint64 day, QString *error); // its entries go with it

    // A new last entry of the meal.
    std::optional<qint64> addEntry(qint64 day, int meal, qint64 dish, double portion,
                                   QString *error);
    bool setPortion(qint64 entry, double portion, QString *error);
    // To the end of another meal of its day.
    bool moveToMeal(qint64 entry, int meal, QString *error);
    // One place up (-1) or down (+1) within its meal; false when it is at
    // that end already.
    bool moveWithinMeal(qint64 entry, int step, QString *error);
    bool removeEntry(qint64 entry, QString *error);

private:
    bool write(const QString &sql, const QVariantList &params, QString *error);
    std::shared_ptr<Database> m_db;
    mutable std::optional<bool> m_figuresReady;
};

} // namespace Menus
