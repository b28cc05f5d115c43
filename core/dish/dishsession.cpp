#include "core/dish/dishsession.h"

#include "core/app/nametext.h"
#include "core/dish/portion.h"
#include "core/foods/foodmeasures.h"
#include "core/store/database.h"
#include "core/store/datasource.h"
#include "core/store/menustore.h"
#include "core/store/numberreader.h"
#include "core/store/numbertext.h"
#include "core/store/queries.h"

#include <cmath>

namespace {

const QString dishId = QStringLiteral("ID");
const QString dishName = QStringLiteral("アイテム名");
const QString lineId = QStringLiteral("ID");
const QString lineDish = QStringLiteral("アイテムCD");
const QString lineFood = QStringLiteral("食品コード");
const QString lineQuantity = QStringLiteral("数量");
const QString lineFactor = QStringLiteral("数量2");
const QString lineUnit = QStringLiteral("単位");
const QString dishServings = QStringLiteral("人分");
const QString dishFinished = QStringLiteral("出来上がり重量");
const QString unitName = QStringLiteral("TNM");
const QString unitGrams = QStringLiteral("KAK");

std::optional<double> number(const QVariant &value)
{
    if (value.isNull())
        return std::nullopt;
    bool ok = false;
    const double d = value.toDouble(&ok);
    return ok ? std::optional<double>(d) : std::nullopt;
}

std::optional<double> finiteOrNothing(double value)
{
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

QString textOf(const std::optional<double> &value)
{
    return value ? NumberText::general(*value) : QString();
}

// Width and letter case folded away: "ｋｇ", "KG" and "kg" read alike.
QString foldedUnit(const QString &unit)
{
    return unit.normalized(QString::NormalizationForm_KC).toCaseFolded().trimmed();
}

} // namespace

// ---- Totals

DishTotals DishTotals::fromSums(std::optional<double> weightFactorSum,
                                const std::function<std::optional<double>(const char *)> &sumOf,
                                double servings, std::optional<double> finishedGrams)
{
    DishTotals t;
    t.weightFactorSum = weightFactorSum;
    t.energy = sumOf("ENC");
    t.water = sumOf("SUI");
    t.protein = sumOf("TAN");
    t.fat = sumOf("SST");
    t.sugar = sumOf("TST");
    t.fibre = sumOf("TSS");
    t.ash = sumOf("KBN");
    t.salt = sumOf("NAT");
    t.servings = servings;
    t.finishedGrams = finishedGrams;
    return t;
}

std::optional<double> DishTotals::grams() const
{
    return weightFactorSum ? finiteOrNothing(*weightFactorSum * 100) : std::nullopt;
}

std::optional<double> DishTotals::perHundredGrams(const std::optional<double> &sum) const
{
    const std::optional<double> hundreds =
        finishedGrams ? Portion::hundreds(0, finishedGrams) : weightFactorSum;
    if (!sum || !hundreds || *hundreds == 0)
        return std::nullopt;
    return finiteOrNothing(NumberText::roundHalfUp(*sum / *hundreds, 1));
}

std::optional<double> DishTotals::roundedSalt() const
{
    return salt ? finiteOrNothing(NumberText::roundHalfUp(*salt, 2)) : std::nullopt;
}

DishTotalsText totalsText(const DishTotals &t)
{
    DishTotalsText text;
    text.weight = textOf(t.grams());
    if (t.energy && std::isfinite(*t.energy))
        text.energy = NumberText::grouped(*t.energy, 0);
    text.salt = textOf(t.roundedSalt());
    text.water = textOf(t.perHundredGrams(t.water));
    text.protein = textOf(t.perHundredGrams(t.protein));
    text.fat = textOf(t.perHundredGrams(t.fat));
    text.sugar = textOf(t.perHundredGrams(t.sugar));
    text.fibre = textOf(t.perHundredGrams(t.fibre));
    text.ash = textOf(t.perHundredGrams(t.ash));
    return text;
}

// ---- Session

DishSession::DishSession(QObject *parent)
    : QObject(parent)
    , m_dishes(source("AdoMnu"))
    , m_lines(source("AdoKou"))
    , m_selection(source("AdoKou2"))
    , m_units(source("AdoTni"))
    , m_weightSum(source("AdoSumW"))
    , m_nutrients(source("AdoSumC"))
{
}

DishSession::~DishSession() = default;

DataSource *DishSession::source(const char *name)
{
    auto *ds = new DataSource(this);
    ds->setObjectName(QString::fromLatin1(name));
    return ds;
}

void DishSession::setConnectionString(const QString &text)
{
    m_connection = text;
    for (DataSource *ds : {m_dishes, m_lines, m_selection, m_units, m_weightSum, m_nutrients})
        ds->setConnectionString(text);
}

bool DishSession::store(DataSource *source, QString *error)
{
    if (source->submitPending())
        return true;
    if (error)
        *error = source->errorString();
    source->cancelUpdate();
    return false;
}

// ---- Dishes

bool DishSession::loadDishes()
{
    m_dishes->setConnectionString(m_connection);
    m_dishes->setRecordSource(Queries::dishList());
    m_dishes->setTailSource(Queries::dishListTail());
    m_dishes->refresh();
    return hasDish();
}

bool DishSession::hasDish() const
{
    return !m_dishes->bof() && !m_dishes->eof();
}

qint64 DishSession::currentDish() const
{
    // Keys start at 1: 0 names no dish, so that nothing of another dish is
    // shown when there is none.
    if (!hasDish())
        return 0;
    return NumberReader::key(m_dishes->text(dishId)).value_or(0);
}

QString DishSession::currentName() const
{
    return hasDish() ? m_dishes->text(dishName) : QString();
}

void DishSession::revertTypedName()
{
    m_dishes->cancelUpdate();
}

// A name with a control character is never stored.
static bool refusedName(const QString &name, QString *error)
{
    const QString problem = NameText::controlCharacterProblem(name, QStringLiteral("料理名"));
    if (problem.isEmpty())
        return false;
    if (error)
        *error = problem;
    return true;
}

bool DishSession::submitTypedName()
{
    if (!m_dishes->hasPendingChange())
        return true;
    const QString name = m_dishes->text(dishName);
    if (name.trimmed().isEmpty() || refusedName(name, nullptr)) {
        m_dishes->cancelUpdate();
        return false;
    }
    return store(m_dishes, nullptr);
}

bool DishSession::previous()
{
    m_dishes->movePrevious();
    if (!m_dishes->bof())
        return true;
    m_dishes->moveFirst();
    return false;
}

bool DishSession::next()
{
    m_dishes->moveNext();
    if (!m_dishes->eof())
        return true;
    m_dishes->moveLast();
    return false;
}

void DishSession::last()
{
    m_dishes->moveLast();
}

bool DishSession::show(qint64 dish)
{
    const int column = m_dishes->fieldIndex(dishId);
    const int count = column < 0 ? 0 : m_dishes->recordCount();
    for (int row = 0; row < count; ++row) {
        if (NumberReader::key(m_dishes->text(row, column)) == dish) {
            return m_dishes->moveTo(row); // a refused pending change keeps the pointer
        }
    }
    return false;
}

bool DishSession::createDish(const QString &name, QString *error)
{
    if (refusedName(name, error))
        return false;
    // Written to the store directly: appending it to the record set would
    // first read every dish.
    QString failure;
    const std::shared_ptr<Database> db = Database::open(m_connection, &failure);
    const bool written =
        db &&
        db->write([&](QString *e) { return db->run(Queries::insertDish(dishName), {name}, e); },
                  &failure);
    if (!written) {
        if (error)
            *error = failure;
        return false;
    }
    loadDishes();
    m_dishes->moveLast(); // dishes come in store order: the new one is last
    return true;
}

bool DishSession::renameDish(const QString &name, QString *error)
{
    if (!hasDish())
        return false;
    if (refusedName(name, error))
        return false;
    const qint64 dish = currentDish();
    const int row = m_dishes->position();
    m_dishes->setValue(dishName, name);
    if (!store(m_dishes, error))
        return false;
    loadDishes();
    // Renaming keeps the store order, so the dish is at the row it had; look
    // further only if it is not.
    if (!(m_dishes->moveTo(row) && currentDish() == dish))
        show(dish);
    return true;
}

int DishSession::daysUsingCurrentDish() const
{
    Menus::MenuStore menus;
    QString error;
    return hasDish() && menus.open(m_connection, &error) ? menus.daysUsingDish(currentDish()) : 0;
}

bool DishSession::deleteDish(QString *error)
{
    if (!hasDish())
        return false;
    if (!m_dishes->deleteCurrent()) {
        if (error)
            *error = m_dishes->errorString();
        return false;
    }
    m_dishes->moveFirst();
    return true;
}

double DishSession::servings() const
{
    if (!hasDish())
        return 1;
    const std::optional<double> n = number(m_dishes->value(dishServings));
    return n && *n > 0 ? *n : 1;
}

std::optional<double> DishSession::finishedWeight() const
{
    if (!hasDish())
        return std::nullopt;
    const std::optional<double> g = number(m_dishes->value(dishFinished));
    return g && *g > 0 ? g : std::nullopt;
}

bool DishSession::setPortion(double servings, std::optional<double> finishedGrams, QString *error)
{
    if (!hasDish())
        return false;
    m_dishes->setValue(dishServings, servings);
    m_dishes->setValue(dishFinished, finishedGrams ? QVariant(*finishedGrams) : QVariant());
    return store(m_dishes, error);
}

// ---- Lines

void DishSession::clearSelection()
{
    m_selectedLine.reset();
    m_selectedLineDish = 0;
}

void DishSession::loadLines()
{
    const qint64 dish = currentDish();
    // The selected line belongs to the dish it was chosen in.
    if (m_selectedLine && m_selectedLineDish != dish)
        clearSelection();
    m_lines->setConnectionString(m_connection);
    m_lines->setRecordSource(Queries::dishLines(dish));
    m_lines->refresh();
    // The grid's current row and the selected line are one: the selected
    // line where it still is, else the first line.
    const int row = m_selectedLine ? rowOfLine(*m_selectedLine) : -1;
    makeCurrent(row >= 0 ? row : 0);
}

int DishSession::rowOfLine(qint64 line) const
{
    const int id = m_lines->fieldIndex(lineId);
    const int count = m_lines->recordCount();
    for (int row = 0; row < count; ++row)
        if (NumberReader::key(m_lines->text(row, id)) == line)
            return row;
    return -1;
}

bool DishSession::makeCurrent(int row)
{
    if (row < 0 || row >= m_lines->recordCount() || !m_lines->moveTo(row)) {
        clearSelection();
        return false;
    }
    return selectLine(row);
}

bool DishSession::selectLine(int row)
{
    const auto line = NumberReader::key(m_lines->text(row, m_lines->fieldIndex(lineId)));
    if (row < 0 || !line)
        return false;
    m_selection->setConnectionString(m_connection);
    m_selection->setRecordSource(Queries::selectedLine(*line));
    m_selection->refresh();
    m_selectedLine = line;
    m_selectedLineDish =
        NumberReader::key(m_lines->text(row, m_lines->fieldIndex(lineDish))).value_or(0);
    return true;
}

std::variant<LineDraft, LineRefusal> DishSession::checkLine(const LineInput &input) const
{
    using Box = LineRefusal::Box;
    const std::optional<qint64> food = NumberReader::key(input.food);
    if (!food || *food == 0)
        return LineRefusal{Box::Food, QStringLiteral("上の「食品名」欄から食品を選んでください")};
    bool zeroDenominator = false;
    const std::optional<double> quantity = NumberReader::quantity(input.quantity, &zeroDenominator);
    if (zeroDenominator)
        return LineRefusal{Box::Quantity, QStringLiteral("「数量」欄の分数の分母が0です"
                                                         "（入力された値:「%1」）。")
                                              .arg(input.quantity)};
    if (!quantity)
        return LineRefusal{
            Box::Quantity,
            QStringLiteral("「数量」欄には数値か分数（1/2、1と1/2）を入力してください"
                           "（入力された値:「%1」）。")
                .arg(input.quantity)};
    if (*quantity < 0)
        return LineRefusal{Box::Quantity,
                           QStringLiteral("「数量」欄にはマイナスの数値を入力できません"
                                          "（入力された値:「%1」）。")
                               .arg(input.quantity)};
    const QString unit = listedUnit(input.unit);
    const std::optional<double> grams = gramsPerUnit(unit);
    // A spoon of this food that nobody weighed is not guessed.
    if (!unit.isEmpty() && !grams && FoodMeasures::isVolumeUnit(unit))
        return LineRefusal{Box::Unit, FoodMeasures::noWeightMessage(unit)};
    if (unit.isEmpty() || !grams)
        return LineRefusal{Box::Unit, QStringLiteral("「単位」欄の「%1」は単位の一覧にありません。"
                                                     "一覧から単位を選んでください。")
                                          .arg(input.unit)};
    const double factor = *grams * *quantity / 100;
    if (!std::isfinite(factor) || factor * 100 > maxLineGrams)
        return LineRefusal{Box::Quantity,
                           QStringLiteral("「数量」欄と「単位」欄の重さが100kgを超えます。"
                                          "1行の重さは100kgまでです。")};
    return LineDraft{*food, *quantity, unit, factor == 0 ? 0.0 : factor};
}

bool DishSession::addLine(const LineDraft &line, QString *error)
{
    if (!hasDish()) {
        if (error)
            *error = QStringLiteral("材料を加える料理がありません。");
        return false;
    }
    if (!m_lines->addNew()) {
        if (error)
            *error = m_lines->errorString();
        return false;
    }
    m_lines->setValue(lineDish, currentDish());
    m_lines->setValue(lineFood, line.food);
    m_lines->setValue(lineQuantity, line.quantity);
    m_lines->setValue(lineFactor, line.weightFactor);
    m_lines->setValue(lineUnit, line.unit);
    if (!store(m_lines, error))
        return false;
    loadLines();
    // The new line has the largest key of the dish's lines.
    const int id = m_lines->fieldIndex(lineId);
    int newest = -1;
    qint64 largest = 0;
    for (int row = 0; row < m_lines->recordCount(); ++row) {
        const qint64 key = NumberReader::key(m_lines->text(row, id)).value_or(0);
        if (newest < 0 || key > largest) {
            newest = row;
            largest = key;
        }
    }
    makeCurrent(newest);
    return true;
}

bool DishSession::updateLine(int row, const LineDraft &line, QString *error)
{
    if (!hasDish() || row < 0 || row >= m_lines->recordCount()) {
        if (error)
            *error = QStringLiteral("書き換える材料の行がありません。");
        return false;
    }
    if (!m_lines->moveTo(row)) {
        if (error)
            *error = m_lines->errorString();
        return false;
    }
    const std::optional<qint64> rewritten =
        NumberReader::key(m_lines->text(row, m_lines->fieldIndex(lineId)));
    m_lines->setValue(lineDish, currentDish());
    m_lines->setValue(lineFood, line.food);
    m_lines->setValue(lineQuantity, line.quantity);
    m_lines->setValue(lineFactor, line.weightFactor);
    m_lines->setValue(lineUnit, line.unit);
    if (!store(m_lines, error))
        return false;
    loadLines();
    makeCurrent(rewritten ? rowOfLine(*rewritten) : -1);
    return true;
}

bool DishSession::deleteSelectedLine()
{
    // Only a line of the current dish: a line selected in another dish was
    // cleared when the dish changed, and is never taken for this one.
    bool deleted = false;
    const int row =
        m_selectedLine && m_selectedLineDish == currentDish() ? rowOfLine(*m_selectedLine) : -1;
    if (row >= 0)
        deleted = m_selection->deleteCurrent();
    m_selection->refresh();
    loadLines();
    // The line that took its place is current; the last one when the
    // deleted line was last.
    makeCurrent(std::min(std::max(row, 0), m_lines->recordCount() - 1));
    return deleted;
}

// ---- Units

bool DishSession::loadUnits(qint64 food)
{
    m_units->setConnectionString(m_connection);
    m_units->setRecordSource(Queries::foodUnits(food));
    bool read = m_units->refresh();
    if (!read && food != 0) {
        m_units->setRecordSource(Queries::units());
        read = m_units->refresh();
    }
    m_units->fetchAll(); // a handful of rows, looked up on every keystroke
    return read;
}

QString DishSession::listedUnit(const QString &typed) const
{
    const int name = m_units->fieldIndex(unitName);
    if (name < 0)
        return QString();
    const int count = m_units->rowCount();
    for (int row = 0; row < count; ++row) {
        if (m_units->text(row, name) == typed)
            return typed;
    }
    const QString folded = foldedUnit(typed);
    if (folded.isEmpty())
        return QString();
    for (int row = 0; row < count; ++row) {
        const QString listed = m_units->text(row, name);
        if (foldedUnit(listed) == folded)
            return listed;
    }
    return QString();
}

std::optional<double> DishSession::gramsPerUnit(const QString &typed) const
{
    const QString unit = listedUnit(typed);
    const int name = m_units->fieldIndex(unitName);
    const int grams = m_units->fieldIndex(unitGrams);
    if (unit.isEmpty() || grams < 0)
        return std::nullopt;
    for (int row = 0; row < m_units->rowCount(); ++row) {
        if (m_units->text(row, name) == unit)
            return number(m_units->value(row, grams));
    }
    return std::nullopt;
}

std::optional<double> DishSession::weightFactor(const QString &quantity, const QString &unit) const
{
    const std::optional<double> grams = gramsPerUnit(unit);
    const std::optional<double> amount = NumberReader::quantity(quantity);
    if (!grams || !amount)
        return std::nullopt;
    return finiteOrNothing(*grams * *amount / 100);
}

// ---- Totals

DishTotals DishSession::totals()
{
    const qint64 dish = currentDish();
    std::optional<double> weight;
    m_weightSum->setConnectionString(m_connection);
    m_weightSum->setRecordSource(Queries::dishWeight(dish));
    if (m_weightSum->refresh() && !m_weightSum->eof())
        weight = number(m_weightSum->value(QStringLiteral("合計数")));

    m_nutrients->setConnectionString(m_connection);
    m_nutrients->setRecordSource(Queries::dishNutrients(dish));
    const bool summed = m_nutrients->refresh() && !m_nutrients->eof();
    // The sums' names in the query: カロリ for the energy, S and the field
    // for the others.
    auto sumOf = [&](const char *field) -> std::optional<double> {
        if (!summed)
            return std::nullopt;
        const QString name = qstrcmp(field, "ENC") == 0 ? QStringLiteral("カロリ")
                                                        : QLatin1Char('S') + QLatin1String(field);
        return number(m_nutrients->value(name));
    };
    return DishTotals::fromSums(weight, sumOf, servings(), finishedWeight());
}
