#include "foods/seibn.h"

#include "app/bindings.h"
#include "app/fmain.h"
#include "app/growth.h"
#include "app/program.h"
#include "app/prompts.h"
#include "app/twips.h"
#include "app/widgets.h"
#include "core/foods/foodcomponents.h"
#include "core/foods/foodrecord.h"
#include "core/nutrition/nutrients.h"
#include "core/store/database.h"
#include "core/store/datasource.h"
#include "core/store/numberreader.h"
#include "core/store/numbertext.h"
#include "core/store/queries.h"
#include "core/store/schema.h"
#include "core/store/undojournal.h"
#include "foods/recordnavigator.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTableWidget>
#include <cmath>

namespace {

// The top of each nutrient's row, in the order of the nutrient table. Rows
// 0-11 form the left column, 12-22 the right one.
const int valueRowTop[Nutrients::count] = {960,  1320, 1680, 2040, 2400, 2760, 3120, 3480,
                                           3840, 4200, 4560, 4920, 960,  1320, 1680, 2040,
                                           2400, 2760, 3120, 3480, 3960, 4320, 4680};

const QString okCaption = QStringLiteral("OK");
const QString cancelCaption = QStringLiteral("ｷｬﾝｾﾙ");

} // namespace

Seibn::Seibn(Program &program, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_program(program)
{
    setObjectName(QStringLiteral("Seibn"));
    setWindowTitle(QStringLiteral("栄養成分"));
    Adodc1 = new DataSource(this);
    Adodc1->setObjectName(QStringLiteral("Adodc1"));
    Adodc2 = new DataSource(this);
    Adodc2->setObjectName(QStringLiteral("Adodc2"));
    buildLayout();
    // The values fill 5955 twips; the full name and the measures lie below,
    // the other components to the right.
    Twips::resizeClient(this, 9720, 7680);
    // The window may be enlarged: the other components take the room.
    auto *growth = new Growth(this);
    if (auto *caption = findChild<QWidget *>(QStringLiteral("Label8")))
        growth->add(caption, Growth::Wider);
    growth->add(GridComponents, Growth::Wider | Growth::Taller);
    growth->add(LabelOfficial, Growth::FollowBottom);
    growth->add(Command5, Growth::FollowRight | Growth::FollowBottom);

    connect(Command1, &QPushButton::clicked, this, &Seibn::leave);
    connect(Command2, &QPushButton::clicked, this, &Seibn::registerFood);
    connect(Adodc1, &DataSource::currentChanged, this, &Seibn::showAvailability);
    connect(Adodc1, &DataSource::currentChanged, this, &Seibn::showFoodExtras);
    connect(Command3, &QPushButton::clicked, this, &Seibn::addMeasureRow);
    connect(Command4, &QPushButton::clicked, this, &Seibn::deleteMeasureRow);
    connect(Command5, &QPushButton::clicked, this, &Seibn::restoreOfficial);
    connect(GridMeasure, &QTableWidget::itemChanged, this, [this] {
        if (!m_showingMeasures)
            m_measuresChanged = true;
    });
    connect(GridComponents, &QTableWidget::itemChanged, this, [this] {
        if (!m_showingMeasures)
            m_componentsChanged = true;
    });
    navigator->setDataSource(Adodc1);
    navigator->setLeaveCheck([this] { return storePending(); });
    showAvailability();
}

Seibn::~Seibn()
{
    // The program is ending. A change that could not pass the checks, or a
    // new row nobody filled in, is not left for the data source to store.
    if (Adodc1->hasPendingChange() && (isUntouchedNewRow() || !rowIsStorable(true)))
        Adodc1->cancelUpdate();
}

void Seibn::buildLayout()
{
    using namespace Widgets;
    QWidget *w = this;

    // The coloured backgrounds first, so that everything else lies above them.
    filledRect(w, QStringLiteral("Shape1"), QColor(255, 255, 128), 120, 840, 2295, 4455);
    filledRect(w, QStringLiteral("Shape2"), QColor(192, 192, 255), 2520, 840, 2655, 3015);
    filledRect(w, QStringLiteral("Shape3"), QColor(255, 192, 255), 2520, 3840, 2655, 1215);

    // Labels get the room up to the next control: sized so, they need no
    // measuring of their text while the editor is loaded hidden.
    label(w, QStringLiteral("Label1"), QStringLiteral("食品名"), 120, 150, 600, 240);
    Text1 = textBox(w, QStringLiteral("Text1"), QString(), 720, 120, 2535, 270);
    label(w, QStringLiteral("Label2"), QStringLiteral("ﾖﾐｶﾞﾅ"), 120, 510, 600, 240);
    Text2 = textBox(w, QStringLiteral("Text2"), QString(), 720, 480, 2535, 270);
    DataCombo1 = new DataCombo(w);
    DataCombo1->setObjectName(QStringLiteral("DataCombo1"));
    // A food's category is one of the listed ones: it is chosen, not typed.
    DataCombo1->setEditable(false);
    Twips::place(DataCombo1, 3360, 120, 1815, 300);

    for (int i = 0; i < 23; ++i) {
        const Nutrients::Nutrient &nutrient = Nutrients::all[i];
        const int top = valueRowTop[i];
        const bool left = i < 12;
        const QString index = QString::number(i);
        if (!nutrient.label.isEmpty())
            label(w, QStringLiteral("Label3_") + index, nutrient.label.toString(),
                  left ? 240 : 2640, top + 30, left ? 840 : 1200, 240);
        data[i] = textBox(w, QStringLiteral("data_") + index, QString(), left ? 1080 : 3840, top,
                          855, 270);
        label(w, QStringLiteral("Label4_") + index, nutrient.unit.toString(), left ? 2040 : 4800,
              top + 30, 480, 240);
    }
    label(w, QStringLiteral("Label5"), QStringLiteral("食品　１００ｇ中"), 3960, 5160, 1320, 240);

    navigator = new RecordNavigator(w);
    navigator->setObjectName(QStringLiteral("Adodc1"));
    navigator->setCaption(QStringLiteral("Adodc1"));
    Twips::place(navigator, 240, 5400, 1200, 360);

    Command2 = button(w, QStringLiteral("Command2"), QStringLiteral("登録"), 3120, 5520, 975, 375);
    Command2->hide();
    Command1 = button(w, QStringLiteral("Command1"), okCaption, 4200, 5520, 975, 375);

    label(w, QStringLiteral("Label6"), QStringLiteral("正式名"), 120, 6030, 600, 240);
    TextFull = textBox(w, QStringLiteral("TextFull"), QString(), 720, 6000, 4455, 270);
    TextFull->setReadOnly(true);
    label(w, QStringLiteral("Label7"), QStringLiteral("目安量"), 120, 6390, 600, 240);
    GridMeasure = new QTableWidget(0, 2, w);
    GridMeasure->setObjectName(QStringLiteral("GridMeasure"));
    GridMeasure->setHorizontalHeaderLabels({QStringLiteral("単位"), QStringLiteral("ｇ")});
    GridMeasure->verticalHeader()->hide();
    GridMeasure->horizontalHeader()->setStretchLastSection(true);
    GridMeasure->setColumnWidth(0, Twips::toPixels(1500));
    GridMeasure->setSelectionBehavior(QAbstractItemView::SelectRows);
    Twips::place(GridMeasure, 720, 6360, 3375, 1200);
    Command3 =
        button(w, QStringLiteral("Command3"), QStringLiteral("行を追加"), 4200, 6360, 975, 375);
    Command4 =
        button(w, QStringLiteral("Command4"), QStringLiteral("行を削除"), 4200, 6780, 975, 375);

    label(w, QStringLiteral("Label8"), QStringLiteral("そのほかの成分（食品　１００ｇ中）"), 5400,
          150, 4200, 240);
    const QList<int> &stored = FoodComponents::stored();
    GridComponents = new QTableWidget(int(stored.size()), 3, w);
    GridComponents->setObjectName(QStringLiteral("GridComponents"));
    GridComponents->setHorizontalHeaderLabels(
        {QStringLiteral("成分"), QStringLiteral("値"), QStringLiteral("単位")});
    GridComponents->verticalHeader()->hide();
    GridComponents->verticalHeader()->setDefaultSectionSize(Twips::toPixels(255));
    GridComponents->setColumnWidth(0, Twips::toPixels(2280));
    GridComponents->setColumnWidth(1, Twips::toPixels(840));
    GridComponents->horizontalHeader()->setStretchLastSection(true);
    GridComponents->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int row = 0; row < stored.size(); ++row) {
        const Components::Component &c = Components::all[stored.at(row)];
        auto *name = new QTableWidgetItem(c.name.toString());
        name->setFlags(Qt::ItemIsEnabled);
        name->setToolTip(c.name.toString());
        GridComponents->setItem(row, 0, name);
        auto *value = new QTableWidgetItem(QStringLiteral("-"));
        value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        GridComponents->setItem(row, 1, value);
        auto *unit = new QTableWidgetItem(c.unit.toString());
        unit->setFlags(Qt::ItemIsEnabled);
        GridComponents->setItem(row, 2, unit);
    }
    Twips::place(GridComponents, 5400, 480, 4200, 6600);
    LabelOfficial = label(w, QStringLiteral("LabelOfficial"), Widgets::changedOfficialNote, 5400,
                          7200, 2760, 240);
    LabelOfficial->setStyleSheet(QStringLiteral("color: #c00000;"));
    LabelOfficial->hide();
    Command5 = button(w, QStringLiteral("Command5"), QStringLiteral("公式値に戻す"), 8280, 7140,
                      1320, 375);
    Command5->hide();
}

void Seibn::showFoodExtras()
{
    const bool hasRow = !Adodc1->bof() && !Adodc1->eof();
    const QString full = hasRow ? Adodc1->text(QStringLiteral("FNM")) : QString();
    TextFull->setText(full.isEmpty() && hasRow ? Adodc1->text(QStringLiteral("SNM")) : full);
    TextFull->setCursorPosition(0);
    TextFull->setToolTip(TextFull->text());
    m_showingMeasures = true;
    GridMeasure->setRowCount(0);
    const std::optional<qint64> food = hasRow && !Adodc1->isNewRecord()
                                           ? NumberReader::key(Adodc1->text(QStringLiteral("SID")))
                                           : std::nullopt;
    if (food) {
        for (const FoodMeasures::Measure &m :
             FoodMeasures::ownMeasures(program().DbConnectionString, *food)) {
            const int row = GridMeasure->rowCount();
            GridMeasure->insertRow(row);
            GridMeasure->setItem(row, 0, new QTableWidgetItem(m.unit));
            auto *grams = new QTableWidgetItem(NumberText::general(m.grams));
            grams->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (m.estimated) {
                grams->setBackground(Widgets::estimateTint);
                grams->setToolTip(FoodMeasures::estimateNote());
            }
            GridMeasure->setItem(row, 1, grams);
        }
    }
    // The other components: unknown ("-") for a new food and a food without
    // them, never 0.
    m_components.clear();
    if (food) {
        if (const std::optional<QList<Components::Value>> read =
                FoodComponents::read(program().DbConnectionString, *food))
            m_components = *read;
    }
    if (m_components.isEmpty())
        m_components.resize(FoodComponents::stored().size());
    for (int row = 0; row < GridComponents->rowCount(); ++row) {
        QTableWidgetItem *value = GridComponents->item(row, 1);
        value->setText(Components::text(m_components.at(row), FoodComponents::stored().at(row)));
        value->setFlags(hasRow && m_editable
                            ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable
                            : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
    m_showingMeasures = false;
    m_measuresChanged = false;
    m_componentsChanged = false;
    showOfficialState();
    GridMeasure->setEnabled(hasRow && m_editable);
    Command3->setEnabled(hasRow && m_editable);
    Command4->setEnabled(hasRow && m_editable);
}

void Seibn::addMeasureRow()
{
    const int row = GridMeasure->rowCount();
    GridMeasure->insertRow(row);
    GridMeasure->setItem(row, 0, new QTableWidgetItem(QString()));
    auto *grams = new QTableWidgetItem(QString());
    grams->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    GridMeasure->setItem(row, 1, grams);
    m_measuresChanged = true;
    GridMeasure->setCurrentCell(row, 0);
    GridMeasure->editItem(GridMeasure->item(row, 0));
}

void Seibn::deleteMeasureRow()
{
    const int row = GridMeasure->currentRow();
    if (row < 0)
        return;
    GridMeasure->removeRow(row);
    m_measuresChanged = true;
}

std::optional<QList<FoodMeasures::Measure>> Seibn::measuresInGrid(QString *error) const
{
    QList<FoodMeasures::Measure> list;
    QSet<QString> named;
    for (int row = 0; row < GridMeasure->rowCount(); ++row) {
        const QString unit =
            GridMeasure->item(row, 0) ? GridMeasure->item(row, 0)->text() : QString();
        const QString grams =
            GridMeasure->item(row, 1) ? GridMeasure->item(row, 1)->text() : QString();
        if (unit.trimmed().isEmpty() && grams.trimmed().isEmpty())
            continue; // a row left blank
        const std::optional<FoodMeasures::Measure> m = FoodMeasures::parse(unit, grams, error);
        if (!m)
            return std::nullopt;
        if (named.contains(m->unit)) {
            *error = QStringLiteral("単位「%1」が二度あります。").arg(m->unit);
            return std::nullopt;
        }
        named.insert(m->unit);
        list << *m;
    }
    return list;
}

bool Seibn::storeMeasures(const std::optional<QList<FoodMeasures::Measure>> &checked)
{
    if (!m_measuresChanged)
        return true;
    QString error;
    const std::optional<QList<FoodMeasures::Measure>> measures =
        checked ? checked : measuresInGrid(&error);
    const std::optional<qint64> food = NumberReader::key(Adodc1->text(QStringLiteral("SID")));
    if (measures && food &&
        FoodMeasures::save(program().DbConnectionString, *food, *measures, &error)) {
        m_measuresChanged = false;
        if (Fmain *fmain = program().fmain())
            fmain->LoadFoodUnits();
        return true;
    }
    program().prompts().message(QStringLiteral("目安量を保存できませんでした。\n") + error,
                                Prompts::Buttons::Ok, Prompts::Icon::Critical);
    return false;
}

std::optional<QList<Components::Value>> Seibn::componentsInGrid(QString *error, int *row) const
{
    QList<Components::Value> values = m_components;
    for (int r = 0; r < GridComponents->rowCount() && r < values.size(); ++r) {
        const int index = FoodComponents::stored().at(r);
        const QString typed = GridComponents->item(r, 1)->text();
        if (typed == Components::text(values.at(r), index))
            continue; // left as shown
        const std::optional<Components::Value> value = Components::parse(typed);
        if (!value) {
            if (!error || !row)
                return std::nullopt;
            *error = QStringLiteral("「%1」には0以上の数値、Tr、(数値) または - "
                                    "（未測定）を入力してください（入力された値:「%2」）。")
                         .arg(Components::all[index].name.toString(), typed);
            *row = r;
            return std::nullopt;
        }
        values[r] = *value;
    }
    QStringList typed;
    for (int r = 0; r < GridComponents->rowCount(); ++r)
        typed << GridComponents->item(r, 1)->text();
    int over = -1;
    const QString tooLarge = FoodComponents::boundProblem(values, &over, typed);
    if (!tooLarge.isEmpty()) {
        if (error)
            *error = tooLarge;
        if (row)
            *row = over;
        return std::nullopt;
    }
    return values;
}

bool Seibn::storeComponents(const std::optional<QList<Components::Value>> &checked)
{
    if (!m_componentsChanged)
        return true;
    QString error;
    int row = -1;
    const std::optional<QList<Components::Value>> values =
        checked ? checked : componentsInGrid(&error, &row);
    const std::optional<qint64> food = NumberReader::key(Adodc1->text(QStringLiteral("SID")));
    if (values && food &&
        FoodComponents::write(program().DbConnectionString, *food, *values, &error)) {
        m_components = *values;
        m_componentsChanged = false;
        program().forgetOfficialChanges();
        showOfficialState();
        return true;
    }
    program().prompts().message(QStringLiteral("成分を保存できませんでした。\n") + error,
                                Prompts::Buttons::Ok, Prompts::Icon::Critical);
    if (row >= 0)
        GridComponents->setCurrentCell(row, 1);
    return false;
}

QString Seibn::valueCaption(int index)
{
    return FoodRecord::valueCaption(index);
}

// Boxes take typing only while there is a row to hold it.
void Seibn::showAvailability()
{
    const bool hasRow = !Adodc1->bof() && !Adodc1->eof() && m_editable;
    Text1->setReadOnly(!hasRow);
    Text2->setReadOnly(!hasRow);
    for (QLineEdit *box : data)
        box->setReadOnly(!hasRow);
    DataCombo1->setEnabled(hasRow);
}

void Seibn::setEditable(bool editable)
{
    m_editable = editable;
    Command2->setEnabled(editable);
    showAvailability();
}

void Seibn::BindFoodEditor()
{
    Adodc1->setConnectionString(program().DbConnectionString);
    Adodc1->setRecordSource(Queries::foods());
    Adodc1->setTailSource(Queries::foodsTail());
    Adodc2->setConnectionString(program().DbConnectionString);
    Adodc2->setRecordSource(Queries::categories());
    // Binding the first box opens Adodc1 on the first food.
    FieldBinding::bind(Text1, Adodc1, QStringLiteral("SNM"));
    FieldBinding::bind(Text2, Adodc1, QStringLiteral("SKN"));
    for (int i = 0; i < 23; ++i)
        FieldBinding::bind(data[i], Adodc1, FoodRecord::valueField(i));
    DataCombo1->bindField(Adodc1, QStringLiteral("BID"));
    DataCombo1->setRowSource(Adodc2, QStringLiteral("分類名"), QStringLiteral("分類№"));
    showAvailability();
}

bool Seibn::LoadFoodRecord(qint64 food)
{
    Fmain *fmain = program().fmain();
    if (!fmain)
        return false;
    // Without a chosen food the editor is narrowed to key 0, which no food
    // has: it shows none and takes no typing.
    if (!settleBeforeReload())
        return false;
    Adodc1->setConnectionString(program().DbConnectionString);
    Adodc1->setRecordSource(Queries::foodRecord(food));
    const bool opened = Adodc1->refresh();
    if (m_newFoodStored || m_foodChanged)
        publishChanges(false);
    return opened;
}

std::optional<QString> Seibn::loadedFoodName(qint64 food) const
{
    if (Adodc1->bof() || Adodc1->eof() ||
        NumberReader::key(Adodc1->text(QStringLiteral("SID"))) != food)
        return std::nullopt;
    return Adodc1->text(QStringLiteral("SNM"));
}

bool Seibn::deleteLoadedFood(QString *error)
{
    if (!Adodc1->deleteCurrent()) {
        *error = Adodc1->errorString();
        return false;
    }
    Adodc1->moveFirst(); // the one-food query has no row left: stays at its end
    return true;
}

bool Seibn::BeginNewFood(qint64 food)
{
    if (!settleBeforeReload())
        return false;
    // The rows of this query play no part: it opens an updatable record set
    // over the food table, to which the new row is added.
    Adodc1->setConnectionString(program().DbConnectionString);
    Adodc1->setRecordSource(Queries::foodRecord(food));
    Adodc1->refresh();
    if (!Adodc1->addNew())
        return false;
    for (QLineEdit *box : data)
        box->setText(FoodRecord::newFoodValueText());
    DataCombo1->setBoundText(QString::number(FoodRecord::newFoodCategory));
    if (m_newFoodStored || m_foodChanged)
        publishChanges(false);
    return true;
}

void Seibn::enterAddMode()
{
    Command1->setText(cancelCaption);
    Command2->show();
}

bool Seibn::isAddMode() const
{
    return Command1->text() == cancelCaption;
}

bool Seibn::rowIsStorable(bool quiet)
{
    std::array<QString, FoodRecord::valueCount> values;
    for (int i = 0; i < FoodRecord::valueCount; ++i)
        values[i] = data[i]->text();
    const std::optional<FoodRecord::Problem> problem = FoodRecord::check(Text1->text(), values);
    if (!problem)
        return true;
    if (!quiet) {
        if (problem->box < 0) {
            program().prompts().message(problem->message);
            Text1->setFocus();
        } else {
            program().prompts().message(problem->message, Prompts::Buttons::Ok,
                                        Prompts::Icon::Exclamation);
            data[problem->box]->setFocus();
            data[problem->box]->selectAll();
        }
    }
    return false;
}

void Seibn::showOfficialState()
{
    const bool hasRow = !Adodc1->bof() && !Adodc1->eof() && !Adodc1->isNewRecord();
    const std::optional<qint64> food =
        hasRow ? NumberReader::key(Adodc1->text(QStringLiteral("SID"))) : std::nullopt;
    const bool changed = food && program().differsFromOfficial(*food).value_or(false);
    LabelOfficial->setVisible(changed);
    Command5->setVisible(changed);
    Command5->setEnabled(changed && m_editable);
}

void Seibn::restoreOfficial()
{
    const std::optional<qint64> food = NumberReader::key(Adodc1->text(QStringLiteral("SID")));
    if (!food)
        return;
    const QString title = QStringLiteral("公式値に戻す");
    Prompts &prompts = program().prompts();
    if (prompts.message(
            QStringLiteral("「%1」の成分値を、インストールされている食品成分表の値に"
                           "戻します。変えた値はなくなります（元に戻すで取り消せます）。")
                .arg(Adodc1->text(QStringLiteral("SNM"))),
            Prompts::Buttons::OkCancel, Prompts::Icon::Exclamation, title) != Prompts::Answer::Ok)
        return;
    // What was typed and not stored goes: the installed values replace it.
    Adodc1->cancelUpdate();
    QString error;
    if (!program().restoreOfficial(*food, &error)) {
        prompts.message(QStringLiteral("食品成分表の値に戻せませんでした。\n") + error,
                        Prompts::Buttons::Ok, Prompts::Icon::Critical, title);
        return;
    }
    Adodc1->refresh();
    m_foodChanged = true;
    publishChanges(true);
}

bool Seibn::confirmOfficialChange()
{
    if (Adodc1->isNewRecord() || (!Adodc1->hasPendingChange() && !m_componentsChanged))
        return true;
    const std::optional<qint64> food = NumberReader::key(Adodc1->text(QStringLiteral("SID")));
    if (!food || *food >= Schema::firstUserFoodId || m_confirmedOfficial.contains(*food))
        return true;
    const QString name = Adodc1->text(QStringLiteral("SNM"));
    if (program().prompts().message(
            QStringLiteral("「%1」は食品成分表の食品です。表の値を変えると、この食品を使う料理は"
                           "変えた値で計算されます。変更しますか？")
                .arg(name),
            Prompts::Buttons::OkCancel, Prompts::Icon::Exclamation,
            QStringLiteral("食品成分表の食品の変更")) == Prompts::Answer::Ok) {
        m_confirmedOfficial.insert(*food);
        return true;
    }
    // Not changed after all: the food shows its stored values again.
    Adodc1->cancelUpdate();
    showFoodExtras();
    return false;
}

bool Seibn::storePending()
{
    // The food, its measures and its components are stored by writes of
    // their own; undo takes a save back whole.
    const std::shared_ptr<Database> store = program().store();
    const UndoJournal::Step step(store ? store->undoJournal() : nullptr);
    // A food of the official table is changed only once the user has said
    // so, once per food, after the change passed its checks.
    if (!Adodc1->hasPendingChange()) {
        if (m_componentsChanged && !componentsInGrid(nullptr, nullptr))
            return storeComponents(); // tells what is wrong
        if (!confirmOfficialChange())
            return false;
        return storeMeasures() && storeComponents();
    }
    if (!rowIsStorable())
        return false;
    // The components are checked before the food is stored, and kept aside
    // as the measures are.
    std::optional<QList<Components::Value>> components;
    const bool componentsChanged = m_componentsChanged;
    if (componentsChanged) {
        QString error;
        int row = -1;
        components = componentsInGrid(&error, &row);
        if (!components) {
            program().prompts().message(error, Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
            GridComponents->setFocus();
            GridComponents->setCurrentCell(row, 1);
            return false;
        }
    }
    // The measures are checked before the food is stored, and kept aside:
    // storing the food shows its row again.
    std::optional<QList<FoodMeasures::Measure>> measures;
    const bool measuresChanged = m_measuresChanged;
    if (measuresChanged) {
        QString error;
        measures = measuresInGrid(&error);
        if (!measures) {
            program().prompts().message(error, Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
            GridMeasure->setFocus();
            return false;
        }
    }
    if (!confirmOfficialChange())
        return false;
    // The food search matches readings in half-width katakana; a reading
    // typed in hiragana or full-width katakana is stored in that form.
    const QString reading = FoodRecord::readingToStore(Text2->text());
    if (reading != Text2->text())
        Text2->setText(reading);
    const bool isNew = Adodc1->isNewRecord();
    if (!Adodc1->submitPending()) {
        program().prompts().message(QStringLiteral("食品を保存できませんでした。\n") +
                                        Adodc1->errorString(),
                                    Prompts::Buttons::Ok, Prompts::Icon::Critical);
        return false;
    }
    (isNew ? m_newFoodStored : m_foodChanged) = true;
    program().forgetOfficialChanges();
    showOfficialState();
    m_measuresChanged = measuresChanged;
    m_componentsChanged = componentsChanged;
    return storeMeasures(measures) && storeComponents(components);
}

bool Seibn::isUntouchedNewRow() const
{
    if (!Adodc1->isNewRecord())
        return false;
    if (!Text1->text().isEmpty() || !Text2->text().isEmpty())
        return false;
    for (QLineEdit *box : data)
        if (box->text() != FoodRecord::newFoodValueText())
            return false;
    return Adodc1->text(QStringLiteral("BID")) == QString::number(FoodRecord::newFoodCategory);
}

bool Seibn::settleBeforeReload()
{
    if (isUntouchedNewRow()) {
        Adodc1->cancelUpdate();
        return true;
    }
    return storePending();
}

void Seibn::hideToViewMode()
{
    hide();
    Command1->setText(okCaption);
    Command2->hide();
}

bool Seibn::leave()
{
    if (isAddMode()) {
        // "ｷｬﾝｾﾙ": what was not registered is dropped, a new row included.
        Adodc1->cancelUpdate();
    } else if (!storePending()) {
        show();
        return false;
    }
    hideToViewMode();
    publishChanges(false);
    return true;
}

bool Seibn::registerFood()
{
    if (!rowIsStorable() || !storePending())
        return false;
    Adodc1->movePrevious();
    hide();
    publishChanges(true);
    return true;
}

void Seibn::publishChanges(bool reloadLists)
{
    if (m_foodChanged)
        program().forgetOfficialChanges();
    Fmain *fmain = program().fmain();
    const bool changed = m_foodChanged;
    reloadLists = reloadLists || m_newFoodStored || m_foodChanged;
    m_newFoodStored = m_foodChanged = false;
    if (!fmain)
        return;
    if (reloadLists)
        fmain->reloadFoodLists();
    if (changed) {
        // A changed food may be in the current recipe: its name in the grid,
        // its values in the totals.
        fmain->refreshDish();
    }
}

void Seibn::closeEvent(QCloseEvent *event)
{
    // The editor is never unloaded: the close box does what Command1 does.
    event->ignore();
    leave();
}
