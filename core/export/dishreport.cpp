#include "core/export/dishreport.h"

#include "core/app/threads.h"
#include "core/dish/portion.h"
#include "core/nutrition/chartscale.h"
#include "core/nutrition/comparison.h"
#include "core/nutrition/radarchart.h"
#include "core/store/database.h"
#include "core/store/datasource.h"
#include "core/store/numberreader.h"
#include "core/store/numbertext.h"
#include "core/store/queries.h"
#include "core/store/statement.h"

#include <QHash>
#include <cmath>
#include <cstring>
#include <functional>
#include <future>
#include <iterator>

namespace Export {

// clang-format off
const std::array<QStringView, 11> comparisonUnits{
    u"cm", u"kg", u"kcal", u"g", u"mg", u"mg", u"IU", u"mg", u"mg", u"mg", u"mg"};
// clang-format on

namespace {

// The compared food values (rows 2-10) and the standards' columns (rows 0-10).
constexpr const char *comparedFields[9] = {"ENC", "TAN", "CA",  "FE", "VAK",
                                           "VB1", "VB2", "NAI", "VC"};

std::optional<double> number(const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        return std::nullopt;
    bool ok = false;
    const double v = value.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return v;
}

QString textOr(const std::optional<double> &value, const std::function<QString(double)> &form)
{
    return value ? form(*value) : QString();
}

bool run(DataSource &source, const QString &connection, const QString &sql, QString *error)
{
    source.setConnectionString(connection);
    source.setRecordSource(sql);
    if (!source.refresh()) {
        *error = source.errorString();
        return false;
    }
    source.fetchAll();
    if (!source.errorString().isEmpty()) {
        *error = source.errorString();
        return false;
    }
    return true;
}

// A reader of the store for an export, with a page cache that holds the
// foods: the lines look their foods up one by one, all over the foods table,
// and the cache keeps those reads off the disk. It is given back to its
// usual size with the reader.
class ExportReader
{
public:
    ExportReader(std::shared_ptr<Database> db)
        : m_db(std::move(db))
        , m_reader(m_db->acquireReader())
    {
        m_cacheSize = scalarOf(m_reader, Queries::pageCacheSize()).toLongLong();
        Statement(m_reader, Queries::setPageCacheSize(-65536)).exec();
    }
    ~ExportReader()
    {
        if (m_cacheSize)
            Statement(m_reader, Queries::setPageCacheSize(m_cacheSize)).exec();
        m_db->releaseReader(m_reader);
    }
    ExportReader(const ExportReader &) = delete;
    ExportReader &operator=(const ExportReader &) = delete;
    sqlite3 *handle() const { return m_reader; }

private:
    std::shared_ptr<Database> m_db;
    sqlite3 *m_reader;
    qint64 m_cacheSize = 0;
};

// The rows of one query, read straight from the store: an export reads every
// dish and line once, in order, and keeps nothing of the rows themselves.
class Rows
{
public:
    bool open(sqlite3 *reader, const QString &sql, QString *error)
    {
        if (!m_stmt.prepare(reader, sql)) {
            *error = m_stmt.error();
            return false;
        }
        return true;
    }
    // The next row; false at the end or on failure (then *error says why).
    bool next(QString *error)
    {
        if (m_stmt.next())
            return true;
        if (m_stmt.failed())
            *error = m_stmt.error();
        return false;
    }
    qint64 key(int column) const { return m_stmt.integer(column); }
    bool isNull(int column) const { return m_stmt.type(column) == Statement::Type::Null; }
    // A key as the store compares it with an integer key: an integer, or a
    // real with no fraction; nothing for text or null.
    std::optional<qint64> exactKey(int column) const
    {
        switch (m_stmt.type(column)) {
        case Statement::Type::Integer:
            return m_stmt.integer(column);
        case Statement::Type::Real: {
            const double v = m_stmt.real(column);
            if (v == std::floor(v) && std::fabs(v) < 9e15)
                return qint64(v);
            return std::nullopt;
        }
        default:
            return std::nullopt;
        }
    }
    QString text(int column) const { return m_stmt.text(column); }
    // As number(value(column)) would give it.
    std::optional<double> number(int column) const
    {
        switch (m_stmt.type(column)) {
        case Statement::Type::Null:
            return std::nullopt;
        case Statement::Type::Integer:
        case Statement::Type::Real:
            return m_stmt.real(column);
        default:
            return Export::number(QVariant(text(column)));
        }
    }

private:
    Statement m_stmt;
};

// Hands every row of the query to fn; false with *message when the store fails.
template <typename Fn>
bool eachRow(const ExportReader &reader, const QString &sql, QString *message, Fn fn)
{
    Rows rows;
    if (!rows.open(reader.handle(), sql, message))
        return false;
    while (rows.next(message))
        fn(rows);
    return message->isEmpty();
}

Queries::DishKeys only(const Selection &which)
{
    if (which.all)
        return std::nullopt;
    return which.keys.empty() ? std::vector<qint64>{which.key} : which.keys;
}

} // namespace

int nutrientIndex(const char *field)
{
    const QLatin1StringView name(field);
    for (int i = 0; i < nutrientCount; ++i) {
        if (Nutrients::all[i].field == name)
            return i;
    }
    return -1;
}

QString nutrientHeading(int nutrient)
{
    const Nutrients::Nutrient &n = Nutrients::all[nutrient];
    // The food editor leaves the fibre row's caption to the row above; the
    // food search names every ranked value in full.
    const QStringView name = n.rankingName.isEmpty() ? n.label : n.rankingName;
    return name.toString() + QLatin1Char('(') + n.unit.toString() + QLatin1Char(')');
}

QString attribution()
{
    return QStringLiteral(
        "出典：「日本食品標準成分表（八訂）増補2023年」（文部科学省）を加工して作成／"
        "「日本人の食事摂取基準（2025年版）」（厚生労働省）を加工して作成"
        "（一部の値は2020年版による）");
}

DishTotals dishTotals(const Totals &t, std::optional<double> finishedGrams)
{
    return DishTotals::fromSums(
        t.lineWeight, [&](const char *field) { return t.sums[nutrientIndex(field)]; }, 1,
        finishedGrams);
}

std::optional<double> perHundredGrams(const Totals &totals, int nutrient,
                                      std::optional<double> finishedGrams)
{
    return dishTotals(totals, finishedGrams).perHundredGrams(totals.sums[nutrient]);
}

int nutrientPlaces(int nutrient)
{
    using namespace Qt::StringLiterals;
    static const std::array<int, nutrientCount> places = [] {
        std::array<int, nutrientCount> p{};
        for (int i = 0; i < nutrientCount; ++i) {
            const QLatin1StringView f = Nutrients::all[i].field;
            if (f == "VB1"_L1 || f == "VB2"_L1)
                p[i] = 2;
            else if (Nutrients::all[i].unit == u"g" || f == "FE"_L1 || f == "VE"_L1 ||
                     f == "NAI"_L1)
                p[i] = 1;
        }
        return p;
    }();
    return places[nutrient];
}

namespace {

// The hundreds of grams a dish's figures per 100 g divide by: its finished
// weight's, else its lines'; nothing when that is 0.
std::optional<double> hundredsOf(const Totals &totals, std::optional<double> finishedGrams)
{
    if (finishedGrams)
        return Portion::hundreds(0, finishedGrams);
    if (!totals.lineWeight || NumberText::significant15(*totals.lineWeight) == 0)
        return std::nullopt;
    return totals.lineWeight;
}

std::optional<double> atPlaces(const std::optional<double> &sum, std::optional<double> divisor,
                               int places)
{
    if (!sum || !divisor)
        return std::nullopt;
    return NumberText::roundHalfUp(*sum / *divisor, places);
}

} // namespace

std::optional<double> perHundredAtPlaces(const Totals &totals, int nutrient,
                                         std::optional<double> finishedGrams)
{
    return atPlaces(totals.sums[nutrient], hundredsOf(totals, finishedGrams),
                    nutrientPlaces(nutrient));
}

std::optional<double> perServingAtPlaces(const Dish &dish, int nutrient)
{
    return atPlaces(dish.totals.sums[nutrient], dish.servings, nutrientPlaces(nutrient));
}

const std::vector<int> &extraComponents()
{
    static const std::vector<int> list = [] {
        std::vector<int> l;
        for (int c = 0; c < Components::count; ++c) {
            if (!Components::all[c].inFoodRow())
                l.push_back(c);
        }
        return l;
    }();
    return list;
}

QString componentHeading(int component)
{
    const Components::Component &c = Components::all[component];
    return QStringLiteral("%1(%2)").arg(c.name, c.unit);
}

std::optional<double> lineComponent(const Line &line, int component)
{
    if (Components::isAmount(component))
        return line.component(component);
    return line.per100 ? (*line.per100)[component] : std::nullopt;
}

std::optional<double> componentPerHundred(const Totals &totals, int component,
                                          std::optional<double> finishedGrams)
{
    return atPlaces(totals.components[component], hundredsOf(totals, finishedGrams),
                    Components::all[component].decimals);
}

std::optional<double> componentPerServing(const Dish &dish, int component)
{
    if (!Components::isAmount(component))
        return std::nullopt;
    return atPlaces(dish.totals.components[component], dish.servings,
                    Components::all[component].decimals);
}

std::optional<double> shown(const std::optional<double> &value)
{
    return value ? std::optional<double>(NumberText::significant15(*value)) : std::nullopt;
}

PanelTexts panelTexts(const Totals &t, std::optional<double> finishedGrams)
{
    return totalsText(dishTotals(t, finishedGrams));
}

NutrientSheetPage nutrientSheet(const Dish &dish, const SheetChoice &choice)
{
    // The lines as the window reads them: each food's components per 100 g.
    QList<DishComponents::Line> lines;
    lines.reserve(qsizetype(dish.lines.size()));
    for (const Line &line : dish.lines) {
        DishComponents::Line &l = lines.emplace_back();
        l.weightFactor = line.grams.value_or(0) / 100;
        l.food = line.foodName;
        if (!line.per100)
            continue;
        for (int c = 0; c < Components::count; ++c)
            l.values[c].number = (*line.per100)[c];
    }
    const DishComponents::Totals totals = DishComponents::total(lines);
    NutrientSheetPage page;
    page.group = choice.table.groupName(choice.person.age);
    page.rows = NutrientSheet::rows(totals, dish.servings, dish.finishedGrams, choice.table,
                                    choice.person, choice.basis);
    page.balance = NutrientSheet::balance(totals, dish.servings, choice.table, choice.person);
    return page;
}

bool attachSheets(const QString &connection, const Intakes::Person &person,
                  NutrientSheet::Basis basis, std::vector<Dish> *dishes, QString *error)
{
    QList<Intakes::Row> rows;
    if (!DishComponents::loadIntakes(connection, &rows, error))
        return false;
    auto choice = std::make_shared<SheetChoice>();
    choice->person = person;
    choice->basis = basis;
    choice->table = Intakes::Table(rows);
    for (Dish &dish : *dishes)
        dish.sheet = choice;
    return true;
}

QString personText(const SheetChoice &choice)
{
    const Intakes::Person &p = choice.person;
    const QString group = choice.table.groupName(p.age);
    QString text = QStringLiteral("%1歳（%2）・%3・身体活動 %4")
                       .arg(p.age)
                       .arg(group.isEmpty() ? QStringLiteral("基準なし") : group,
                            p.sex == 1 ? QStringLiteral("男性") : QStringLiteral("女性"),
                            Intakes::activityText(p.activity));
    if (p.stage != Intakes::Stage::None && choice.table.stageAllowed(p, p.stage))
        text += QStringLiteral("・") + Intakes::stageText(p.stage);
    return text;
}

QString portionText(const Dish &dish)
{
    QString text = QStringLiteral("%1人分").arg(Portion::servingsText(dish.servings));
    if (dish.finishedGrams)
        text += QStringLiteral("・出来上がり %1 g")
                    .arg(NumberText::grouped(
                        *dish.finishedGrams,
                        *dish.finishedGrams == std::floor(*dish.finishedGrams) ? 0 : 1));
    return text;
}

ListTexts listTexts(const Totals &t)
{
    auto oneDecimal = [](double v) { return NumberText::grouped(v, 1); };
    return {textOr(t.listEnergy, oneDecimal), textOr(t.listWeight, oneDecimal),
            textOr(t.listSalt, [](double v) { return NumberText::general(v); })};
}

QString calculatedText(const Comparison &c, int element)
{
    if (element < 2 || element > 10)
        return QString();
    return textOr(c.calculated[element - 2], [](double v) { return NumberText::general(v); });
}

QString standardText(const Comparison &c, int element)
{
    if (element < 0 || element > 10)
        return QString();
    return ::Comparison::standardText(c.standard[element]);
}

std::optional<qint64> findDish(const QString &connection, const QString &keyOrName, QString *error)
{
    DataSource dishes;
    if (!run(dishes, connection, Queries::exportDishes(std::nullopt), error))
        return std::nullopt;
    bool isKey = false;
    const qint64 key = keyOrName.trimmed().toLongLong(&isKey);
    const int rows = dishes.recordCount();
    if (isKey) {
        for (int row = 0; row < rows; ++row) {
            if (dishes.value(row, 0).toLongLong() == key)
                return key;
        }
    }
    for (int row = 0; row < rows; ++row) {
        if (dishes.value(row, 1).toString() == keyOrName)
            return dishes.value(row, 0).toLongLong();
    }
    *error = QStringLiteral("料理「%1」は見つかりません。").arg(keyOrName);
    return std::nullopt;
}

LabelBasis labelBasisOf(std::optional<double> kind, std::optional<double> grams)
{
    if (kind == int(LabelBasis::Kind::Person))
        return LabelBasis::person();
    if (kind == int(LabelBasis::Kind::Meal) && grams && std::isfinite(*grams) && *grams > 0)
        return LabelBasis::meal(*grams);
    return {};
}

std::optional<double> Line::component(int c) const
{
    if (!per100 || !grams || !Components::isAmount(c) || !(*per100)[c])
        return std::nullopt;
    return *grams / 100 * *(*per100)[c];
}

namespace {

// The value field of each component kept in eys; -1 for those in sbn.
const std::array<int, Components::count> &fieldOfComponent()
{
    static const std::array<int, Components::count> fields = [] {
        std::array<int, Components::count> a{};
        for (int c = 0; c < Components::count; ++c) {
            const Components::Component &component = Components::all[c];
            a[c] = component.inFoodRow() ? nutrientIndex(component.field.data()) : -1;
        }
        return a;
    }();
    return fields;
}

// Every food's components per 100 g: from its value fields, and the others
// from sbn where the store keeps them (a user's own food, or a store made
// before they were kept, has them unknown).
template <typename Foods>
bool readComponents(const ExportReader &reader, const Selection &which, Foods *foods,
                    QString *error)
{
    const std::array<int, Components::count> &fields = fieldOfComponent();
    for (auto it = foods->begin(); it != foods->end(); ++it) {
        auto values = std::make_shared<ComponentValues>();
        for (int c = 0; c < Components::count; ++c) {
            if (fields[c] >= 0 && it->values[fields[c]])
                (*values)[c] = Components::fromField(c, *it->values[fields[c]]);
        }
        it->components = std::move(values);
    }
    bool keeps = false;
    if (!eachRow(reader, Queries::hasComponents(), error, [&](const Rows &) { keeps = true; }))
        return false;
    if (!keeps)
        return true;
    return eachRow(reader, Queries::exportComponents(only(which)), error, [&](const Rows &row) {
        const auto food = foods->find(row.key(0));
        if (food == foods->end())
            return;
        int column = 1;
        for (int c = 0; c < Components::count; ++c) {
            if (fields[c] < 0)
                (*food->components)[c] = row.number(column++);
        }
    });
}

// Adds a line's components that the value fields do not hold to its dish's
// sums, and its carbohydrate and sodium to the label's.
void addComponents(const Line &line, const Amounts &foodValues, Totals *totals)
{
    const std::array<int, Components::count> &fields = fieldOfComponent();
    for (int c = 0; c < Components::count; ++c) {
        if (fields[c] >= 0 || !Components::isAmount(c))
            continue;
        const std::optional<double> amount = line.component(c);
        if (amount)
            totals->components[c] = totals->components[c].value_or(0) + *amount;
        else if (!(*line.per100)[c])
            totals->componentUnknown[c] = true;
    }
    static const int carbohydrate = Components::indexOf(u"CHOCDF");
    static const int sugar = nutrientIndex("TST");
    static const int fibre = nutrientIndex("TSS");
    std::optional<double> carb = line.component(carbohydrate);
    if (!(*line.per100)[carbohydrate]) {
        // Sugar is what is left of the carbohydrate once fibre is taken out;
        // without a fibre value it is the whole carbohydrate.
        if (foodValues[sugar] && line.grams)
            carb = line.grams.value() / 100 * (*foodValues[sugar] + foodValues[fibre].value_or(0));
        else if (!foodValues[sugar])
            totals->labelCarbohydrateUnknown = true;
    }
    if (carb)
        totals->labelCarbohydrate = totals->labelCarbohydrate.value_or(0) + *carb;

    static const int sodium = nutrientIndex("NA");
    static const int salt = nutrientIndex("NAT");
    std::optional<double> na = foodValues[sodium];
    // Salt equivalent is sodium x 2.54 / 1000: a salt with no sodium beside
    // it stands for the sodium it is made of.
    if ((!na || *na == 0) && foodValues[salt] && *foodValues[salt] > 0)
        na = *foodValues[salt] * 1000 / 2.54;
    if (!na)
        totals->labelSodiumUnknown = true;
    else if (line.grams)
        totals->labelSodium = totals->labelSodium.value_or(0) + line.grams.value() / 100 * *na;
}

// The components the value fields hold are the dish's sums of those fields.
void takeFieldComponents(Totals *totals)
{
    const std::array<int, Components::count> &fields = fieldOfComponent();
    for (int c = 0; c < Components::count; ++c) {
        if (fields[c] < 0)
            continue;
        const std::optional<double> &sum = totals->sums[fields[c]];
        totals->components[c] =
            sum ? std::optional<double>(Components::fromField(c, *sum)) : std::nullopt;
        totals->componentUnknown[c] = totals->unknown[fields[c]];
    }
}

} // namespace

bool readDishes(const QString &connection, const Selection &which, int age, bool male,
                std::vector<Dish> *out, QString *error)
{
    out->clear();
    QString message;

    auto fail = [&](const QString &why) {
        out->clear();
        *error = why;
        return false;
    };
    const std::shared_ptr<Database> db = Database::open(connection, &message);
    if (!db)
        return fail(message);

    // The foods and the sums are read by a second reader in a thread of its
    // own, beside the dishes and the lines; a store that has one connection
    // only reads them in turn.
    const ExportReader reader(db);
    const ExportReader sideReader(db);
    struct Food
    {
        QString name;
        std::array<std::optional<double>, nutrientCount> values;
        std::array<bool, nutrientCount> null{}; // the store holds no value
        std::shared_ptr<ComponentValues> components;
    };
    QHash<qint64, Food> foods;
    struct SumRow
    {
        qint64 key;
        std::optional<double> listEnergy, listWeight, listSalt;
        std::array<std::optional<double>, nutrientCount> sums;
    };
    std::vector<SumRow> sums;
    QString sideMessage;
    std::promise<bool> foodsRead;
    bool sumsRead = false;
    auto readSide = [&] {
        // The foods the lines name, each read once.
        const bool haveFoods = eachRow(sideReader, Queries::exportFoods(only(which)), &sideMessage,
                                       [&](const Rows &row) {
                                           Food &food = foods[row.key(0)];
                                           food.name = row.text(1);
                                           for (int i = 0; i < nutrientCount; ++i) {
                                               food.values[i] = row.number(2 + i);
                                               food.null[i] = row.isNull(2 + i);
                                           }
                                       });
        foodsRead.set_value(haveFoods);
        // The sums, summed by the store as the windows' own queries sum
        // them, and the dish list's three figures.
        sumsRead = haveFoods && eachRow(sideReader, Queries::exportSums(only(which)), &sideMessage,
                                        [&](const Rows &row) {
                                            SumRow &r = sums.emplace_back();
                                            r.key = row.key(0);
                                            r.listEnergy = row.number(1);
                                            r.listWeight = row.number(2);
                                            r.listSalt = row.number(3);
                                            for (int i = 0; i < nutrientCount; ++i)
                                                r.sums[i] = row.number(4 + i);
                                        });
    };
    std::future<bool> foodsReady = foodsRead.get_future();
    std::jthread side;
    if (sideReader.handle() != reader.handle())
        side = besideOrHere(readSide);
    else
        readSide();
    auto sideDone = [&] {
        if (side.joinable())
            side.join();
    };

    // The dishes, in store order.
    QHash<qint64, int> indexOf;
    if (!eachRow(reader, Queries::exportDishes(only(which)), &message, [&](const Rows &row) {
            Dish dish;
            dish.key = row.key(0);
            dish.name = row.text(1);
            if (const std::optional<double> servings = row.number(2); servings && *servings > 0)
                dish.servings = *servings;
            if (const std::optional<double> finished = row.number(3);
                finished && std::isfinite(*finished) && *finished > 0)
                dish.finishedGrams = finished;
            dish.comparison.age = age;
            dish.comparison.male = male;
            indexOf.insert(dish.key, int(out->size()));
            out->push_back(std::move(dish));
        }))
        return fail(message);

    // The weight of every line, whether or not its food exists, and the
    // number of lines, which makes each dish's list once.
    if (!eachRow(reader, Queries::exportWeights(only(which)), &message, [&](const Rows &row) {
            const auto at = indexOf.constFind(row.key(0));
            if (at == indexOf.constEnd())
                return;
            (*out)[*at].totals.lineWeight = row.number(1);
            (*out)[*at].lines.reserve(row.key(2));
        }))
        return fail(message);

    // The lines whose food exists, in the order the recipe grid lists them.
    if (!foodsReady.get()) {
        sideDone();
        return fail(sideMessage);
    }
    if (!readComponents(reader, which, &foods, &message)) {
        sideDone();
        return fail(message);
    }
    if (!eachRow(reader, Queries::exportLines(only(which)), &message, [&](const Rows &lines) {
            const auto at = indexOf.constFind(lines.key(0));
            const std::optional<qint64> foodId = lines.exactKey(1);
            const auto food = foodId ? foods.constFind(*foodId) : foods.constEnd();
            if (at == indexOf.constEnd())
                return;
            if (food == foods.constEnd()) {
                ++(*out)[*at].totals.linesWithoutFood;
                return;
            }
            Line &line = (*out)[*at].lines.emplace_back();
            line.foodId = *foodId;
            line.foodName = food->name;
            line.quantity = lines.number(2);
            line.unit = lines.text(3);
            const std::optional<double> factor = lines.number(4);
            if (factor)
                line.grams = *factor * 100;
            Totals &totals = (*out)[*at].totals;
            for (int i = 0; i < nutrientCount; ++i) {
                const std::optional<double> &value = food->values[i];
                if (factor && value)
                    line.amounts[i] = *factor * *value;
                // A sum leaves out a line whose food lacks the value.
                totals.unknown[i] = totals.unknown[i] || food->null[i];
            }
            line.per100 = food->components;
            addComponents(line, food->values, &totals);
        }))
        return fail(message);

    sideDone();
    if (!sumsRead)
        return fail(sideMessage);
    for (const SumRow &r : sums) {
        const auto at = indexOf.constFind(r.key);
        if (at == indexOf.constEnd())
            continue;
        Totals &t = (*out)[*at].totals;
        t.listEnergy = r.listEnergy;
        t.listWeight = r.listWeight;
        t.listSalt = r.listSalt;
        t.sums = r.sums;
    }
    for (Dish &dish : *out)
        takeFieldComponents(&dish.totals);

    // The label bases stored with the dishes, where the store keeps them.
    bool keepsBases = false;
    if (!eachRow(reader, Queries::hasLabelBases(), &message,
                 [&](const Rows &) { keepsBases = true; }) ||
        (keepsBases &&
         !eachRow(reader, Queries::exportLabelBases(only(which)), &message, [&](const Rows &row) {
             const auto at = indexOf.constFind(row.key(0));
             if (at != indexOf.constEnd())
                 (*out)[*at].labelBasis = labelBasisOf(row.number(1), row.number(2));
         })))
        return fail(message);

    // The comparison: the nine sums rounded as the comparison window rounds
    // them.
    for (Dish &dish : *out) {
        for (int i = 0; i < 9; ++i) {
            const int row = ::Comparison::firstSumRow + i;
            dish.comparison.calculated[i] = ::Comparison::calculatedValue(
                row, dish.totals.sums[nutrientIndex(comparedFields[i])]);
        }
    }

    // The standard of the age and sex: the first row in table order.
    DataSource standards;
    if (!run(standards, connection, Queries::exportStandards(), &message))
        return fail(message);
    // The chart's scales, as the comparison window takes them: from the
    // first row of the person it opens on.
    ChartScale::Scales scales = RadarChart::fixedScales();
    for (int row = 0; row < standards.recordCount(); ++row) {
        const std::optional<double> a = number(standards.value(row, 0));
        const std::optional<double> s = number(standards.value(row, 1));
        if (!a || !s || *a != ChartScale::referenceAge || *s != ChartScale::referenceSex)
            continue;
        ChartScale::Standards reference;
        for (int i = 0; i < ChartScale::axisCount; ++i)
            reference[i] = number(standards.value(row, 4 + i));
        scales = ChartScale::fromStandards(reference, scales);
        break;
    }
    for (Dish &dish : *out)
        dish.comparison.chartScales = scales;
    for (int row = 0; row < standards.recordCount(); ++row) {
        const std::optional<double> a = number(standards.value(row, 0));
        const std::optional<double> s = number(standards.value(row, 1));
        if (!a || !s || *a != age || *s != (male ? 1 : 0))
            continue;
        std::array<std::optional<double>, 11> values;
        for (int i = 0; i < 11; ++i)
            values[i] = number(standards.value(row, 2 + i));
        for (Dish &dish : *out) {
            dish.comparison.standard = values;
            dish.comparison.standardFound = true;
        }
        break;
    }
    return true;
}

} // namespace Export
