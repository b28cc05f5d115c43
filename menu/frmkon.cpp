#include "menu/frmkon.h"

#include "app/fmain.h"
#include "app/growth.h"
#include "app/program.h"
#include "app/prompts.h"
#include "app/twips.h"
#include "app/widgets.h"
#include "core/menu/menufiles.h"
#include "core/menu/menureport.h"
#include "core/nutrition/unknownvalues.h"
#include "core/store/numbertext.h"
#include "paper/menusheet.h"

#include <QComboBox>
#include <QCompleter>
#include <QDate>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableWidget>

namespace {

constexpr int entryRole = Qt::UserRole;
constexpr int portionColumn = 2;

QTableWidgetItem *cell(const QString &text, bool number = false)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QString portionText(double portion)
{
    return NumberText::general(portion);
}

QComboBox *chooser(QWidget *parent, const char *name, const QStringList &items, int left, int top,
                   int width)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->addItems(items);
    Twips::place(box, left, top, width, 330);
    return box;
}

} // namespace

FrmKon::FrmKon(Program &program, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_program(program)
{
    setObjectName(QStringLiteral("FrmKon"));
    setWindowTitle(QStringLiteral("献立"));
    build();
    QString error;
    if (!m_store.open(m_program.DbConnectionString, &error)) {
        m_program.prompts().message(error, Prompts::Buttons::Ok, Prompts::Icon::Critical);
        setEnabled(false);
        return;
    }
    QList<Intakes::Row> rows;
    if (DishComponents::loadIntakes(m_program.DbConnectionString, &rows, &error))
        m_standards = Intakes::Table(rows);
    reload();
    // A dish changed in the main window shows its new figures here at once.
    if (Fmain *main = m_program.fmain())
        connect(main, &Fmain::dishShown, this, &FrmKon::followStore);
}

FrmKon::~FrmKon() = default;

void FrmKon::build()
{
    Twips::resizeClient(this, 14400, 12960);
    KonDays = new QTableWidget(0, 4, this);
    KonDays->setObjectName(QStringLiteral("KonDays"));
    KonDays->setHorizontalHeaderLabels({QStringLiteral("日付"), QStringLiteral("名前"),
                                        QStringLiteral("ｴﾈﾙｷﾞｰ"), QStringLiteral("食塩")});
    KonDays->setSelectionBehavior(QAbstractItemView::SelectRows);
    KonDays->setSelectionMode(QAbstractItemView::ExtendedSelection);
    KonDays->verticalHeader()->hide();
    // The figures keep their widths and the name takes what is left, so
    // energy and salt are never cut at the list's edge.
    KonDays->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    KonDays->setColumnWidth(2, Twips::toPixels(900));
    KonDays->setColumnWidth(3, Twips::toPixels(750));
    KonDays->setToolTip(QStringLiteral("Shift や Ctrl で何日かを選ぶと、その期間の1日平均を表示"));
    Twips::place(KonDays, 120, 120, 4560, 5400);
    KonNew = Widgets::button(this, QStringLiteral("KonNew"), QStringLiteral("新規"), 120, 5640,
                             1080, 375);
    KonCopy = Widgets::button(this, QStringLiteral("KonCopy"), QStringLiteral("複写"), 1280, 5640,
                              1080, 375);
    KonRename = Widgets::button(this, QStringLiteral("KonRename"), QStringLiteral("名前変更"), 2440,
                                5640, 1080, 375);
    KonDelete = Widgets::button(this, QStringLiteral("KonDelete"), QStringLiteral("削除"), 3600,
                                5640, 1080, 375);
    KonPeriod = Widgets::label(this, QStringLiteral("KonPeriod"), QString(), 120, 6120, 4560, 1680);
    KonPeriod->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    KonPeriod->setWordWrap(true);

    Widgets::label(this, QStringLiteral("KonAgeLabel"), QStringLiteral("年齢"), 4920, 180);
    KonAge = new QSpinBox(this);
    KonAge->setObjectName(QStringLiteral("KonAge"));
    KonAge->setRange(0, 100);
    KonAge->setSuffix(QStringLiteral("歳"));
    Twips::place(KonAge, 5520, 120, 900, 330);
    KonSex =
        chooser(this, "KonSex", {QStringLiteral("男性"), QStringLiteral("女性")}, 6540, 120, 900);
    Widgets::label(this, QStringLiteral("KonPalLabel"), QStringLiteral("身体活動"), 7560, 180);
    KonPal = chooser(this, "KonPal",
                     {QStringLiteral("低い"), QStringLiteral("ふつう"), QStringLiteral("高い")},
                     8400, 120, 960);
    KonStage =
        chooser(this, "KonStage",
                {QStringLiteral("－"), QStringLiteral("妊娠初期"), QStringLiteral("妊娠中期"),
                 QStringLiteral("妊娠後期"), QStringLiteral("授乳中")},
                9480, 120, 1200);

    KonGrid = new QTableWidget(0, 3 + int(Menus::mainFigures.size()), this);
    KonGrid->setObjectName(QStringLiteral("KonGrid"));
    QStringList headings = {QStringLiteral("食事"), QStringLiteral("料理"),
                            QStringLiteral("分量(人分)")};
    for (const Menus::Figure &figure : Menus::mainFigures)
        headings << QStringLiteral("%1(%2)").arg(figure.caption, figure.unit);
    KonGrid->setHorizontalHeaderLabels(headings);
    KonGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    KonGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    KonGrid->verticalHeader()->hide();
    KonGrid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    Twips::place(KonGrid, 4920, 600, 9360, 5040);
    KonGrid->setColumnWidth(0, Twips::toPixels(700));
    KonGrid->setColumnWidth(1, Twips::toPixels(2600));

    KonMeal = chooser(this, "KonMeal", {}, 4920, 5760, 900);
    for (int meal = 0; meal < Menus::mealCount; ++meal)
        KonMeal->addItem(Menus::mealName(meal).toString());
    KonDish = new QComboBox(this);
    KonDish->setObjectName(QStringLiteral("KonDish"));
    KonDish->setEditable(true);
    KonDish->setInsertPolicy(QComboBox::NoInsert);
    KonDish->completer()->setFilterMode(Qt::MatchContains);
    KonDish->completer()->setCompletionMode(QCompleter::PopupCompletion);
    KonDish->setToolTip(
        QStringLiteral("料理名の一部を入れて選ぶ。空のまま追加すると、主画面の料理"));
    connect(KonDish->lineEdit(), &QLineEdit::textEdited, this, &FrmKon::offerDishes);
    Twips::place(KonDish, 5940, 5760, 3000, 330);
    KonAdd = Widgets::button(this, QStringLiteral("KonAdd"), QStringLiteral("追加"), 9060, 5740,
                             840, 375);
    KonRemove = Widgets::button(this, QStringLiteral("KonRemove"), QStringLiteral("除く"), 10020,
                                5740, 840, 375);
    KonUp =
        Widgets::button(this, QStringLiteral("KonUp"), QStringLiteral("↑"), 10980, 5740, 480, 375);
    KonDown = Widgets::button(this, QStringLiteral("KonDown"), QStringLiteral("↓"), 11520, 5740,
                              480, 375);
    KonToMeal = Widgets::button(this, QStringLiteral("KonToMeal"), QStringLiteral("食事を移す"),
                                12120, 5740, 1320, 375);
    KonToMeal->setToolTip(QStringLiteral("選んだ料理を、左の一覧の食事へ移す"));
    KonShares =
        Widgets::label(this, QStringLiteral("KonShares"), QString(), 4920, 6240, 7440, 1560);
    KonShares->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    KonShares->setWordWrap(true);
    KonPrint = Widgets::button(this, QStringLiteral("KonPrint"), QStringLiteral("献立表の印刷"),
                               12480, 6240, 1800, 375);
    KonPdf = Widgets::button(this, QStringLiteral("KonPdf"), QStringLiteral("献立表のPDF"), 12480,
                             6720, 1800, 375);
    KonExport = Widgets::button(this, QStringLiteral("KonExport"), QStringLiteral("CSV・Excel"),
                                12480, 7200, 1800, 375);
    KonExport->setToolTip(QStringLiteral(
        "選んだ日の献立、または日ごとと期間の栄養量報告を書き出す（CSV、Excel、PDF）"));

    // The judgement of the day and of the period, nutrient by nutrient, as
    // 栄養成分一覧 shows a dish's.
    KonJudge = new QTableWidget(0, 9, this);
    KonJudge->setObjectName(QStringLiteral("KonJudge"));
    KonJudge->setHorizontalHeaderLabels(
        {QStringLiteral("成分"), QStringLiteral("単位"), QStringLiteral("基準 (1日)"),
         QStringLiteral("1日"), QStringLiteral("充足率 (%)"), QStringLiteral("判定"),
         QStringLiteral("期間の1日平均"), QStringLiteral("充足率 (%)"), QStringLiteral("判定")});
    KonJudge->verticalHeader()->hide();
    KonJudge->setEditTriggers(QAbstractItemView::NoEditTriggers);
    KonJudge->setSelectionBehavior(QAbstractItemView::SelectRows);
    KonJudge->setWordWrap(false);
    KonJudge->verticalHeader()->setDefaultSectionSize(KonJudge->fontMetrics().height() + 6);
    Twips::place(KonJudge, 120, 7920, 14160, 4200);
    for (int i = 0; i < Components::count; ++i)
        if (!Intakes::nutrientOf(i).isEmpty())
            m_judged.push_back(i);
    KonJudge->setRowCount(int(m_judged.size()));
    for (int row = 0; row < int(m_judged.size()); ++row) {
        const Components::Component &c = Components::all[m_judged[row]];
        KonJudge->setItem(row, 0, cell(c.name.toString()));
        KonJudge->setItem(row, 1, cell(c.unit.toString()));
        for (int col = 2; col < KonJudge->columnCount(); ++col)
            KonJudge->setItem(row, col, cell(QString(), col != 2 && col != 5 && col != 8));
    }
    const int widths[] = {2300, 750, 3000, 1000, 900, 1750, 1250, 900, 1750};
    for (int col = 0; col < KonJudge->columnCount(); ++col)
        KonJudge->setColumnWidth(col, Twips::toPixels(widths[col]));
    KonPfc = Widgets::label(this, QStringLiteral("KonPfc"), QString(), 120, 12180, 14160, 660);
    KonPfc->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    KonPfc->setWordWrap(true);
    // The window may be enlarged: the two tables take the room, the controls
    // under them keep below them, the print buttons to the right edge.
    auto *growth = new Growth(this);
    growth->add(KonDays, Growth::Taller);
    for (QWidget *control : {KonNew, KonCopy, KonRename, KonDelete})
        growth->add(control, Growth::FollowBottom);
    growth->add(KonPeriod, Growth::FollowBottom);
    growth->add(KonGrid, Growth::Wider | Growth::Taller);
    growth->growColumn(KonGrid, 1); // the dish's name
    growth->add(KonMeal, Growth::FollowBottom);
    growth->add(KonDish, Growth::FollowBottom);
    for (QWidget *control : {KonAdd, KonRemove, KonUp, KonDown, KonToMeal})
        growth->add(control, Growth::FollowBottom);
    growth->add(KonShares, Growth::Wider | Growth::FollowBottom);
    for (QWidget *control : {KonPrint, KonPdf, KonExport})
        growth->add(control, Growth::FollowRight | Growth::FollowBottom);
    growth->add(KonJudge, Growth::Wider | Growth::FollowBottom);
    growth->add(KonPfc, Growth::Wider | Growth::FollowBottom);

    connect(KonDays, &QTableWidget::itemSelectionChanged, this, [this] {
        if (!m_filling)
            dayChosen();
    });
    connect(KonDays->verticalScrollBar(), &QScrollBar::valueChanged, this,
            qOverload<>(&FrmKon::showDayFigures));
    connect(KonNew, &QPushButton::clicked, this, &FrmKon::newDay);
    connect(KonCopy, &QPushButton::clicked, this, &FrmKon::copyDay);
    connect(KonRename, &QPushButton::clicked, this, &FrmKon::renameDay);
    connect(KonDelete, &QPushButton::clicked, this, &FrmKon::deleteDay);
    connect(KonAge, &QSpinBox::valueChanged, this, &FrmKon::personChanged);
    for (QComboBox *box : {KonSex, KonPal, KonStage})
        connect(box, &QComboBox::currentIndexChanged, this, &FrmKon::personChanged);
    connect(KonGrid, &QTableWidget::cellChanged, this, &FrmKon::portionEdited);
    connect(KonAdd, &QPushButton::clicked, this, &FrmKon::addEntry);
    connect(KonRemove, &QPushButton::clicked, this, &FrmKon::removeEntry);
    connect(KonUp, &QPushButton::clicked, this, [this] { moveEntry(-1); });
    connect(KonDown, &QPushButton::clicked, this, [this] { moveEntry(1); });
    connect(KonToMeal, &QPushButton::clicked, this, &FrmKon::moveToMeal);
    connect(KonPrint, &QPushButton::clicked, this, &FrmKon::printSheet);
    connect(KonPdf, &QPushButton::clicked, this, &FrmKon::writePdf);
    connect(KonExport, &QPushButton::clicked, this, &FrmKon::writeFile);
}

void FrmKon::offerDishes()
{
    const QString typed = KonDish->lineEdit()->text();
    const int cursor = KonDish->lineEdit()->cursorPosition();
    std::vector<std::pair<qint64, QString>> found;
    QString error;
    if (!typed.trimmed().isEmpty() && !m_store.dishesNamed(typed.trimmed(), 50, &found, &error))
        m_program.prompts().message(error, Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
    {
        const QSignalBlocker block(KonDish);
        KonDish->clear();
        for (const auto &[key, name] : found)
            KonDish->addItem(name, key);
        KonDish->setCurrentIndex(-1);
        KonDish->lineEdit()->setText(typed);
        KonDish->lineEdit()->setCursorPosition(cursor);
    }
    if (!found.empty() && KonDish->lineEdit()->hasFocus()) {
        KonDish->completer()->setCompletionPrefix(typed.trimmed());
        KonDish->completer()->complete();
    }
}

void FrmKon::reload()
{
    if (!m_store.database())
        return;
    m_dishes.clear();
    fillDays(currentDay());
}

qint64 FrmKon::currentDay() const
{
    const int row = KonDays->currentRow();
    return row >= 0 && row < int(m_days.size()) ? m_days[row].id : 0;
}

bool FrmKon::showDay(qint64 day)
{
    for (int row = 0; row < int(m_days.size()); ++row) {
        if (m_days[row].id == day) {
            KonDays->selectRow(row);
            return true;
        }
    }
    return false;
}

void FrmKon::fillDays(qint64 keep, const std::vector<qint64> &alsoSelected)
{
    QString error;
    std::vector<Menus::Entry> entries;
    if (!m_store.days(&m_days, &error) || !m_store.entries({}, &entries, &error))
        m_program.prompts().message(error, Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
    m_entries.clear();
    for (Menus::Entry &entry : entries)
        m_entries[entry.day].push_back(std::move(entry));
    m_filling = true;
    KonDays->setRowCount(int(m_days.size()));
    m_figuresShown.assign(m_days.size(), false);
    int keepRow = m_days.empty() ? -1 : 0;
    for (int row = 0; row < int(m_days.size()); ++row) {
        const Menus::Day &day = m_days[row];
        if (day.id == keep)
            keepRow = row;
        KonDays->setItem(row, 0, cell(day.date));
        KonDays->setItem(row, 1, cell(day.name));
        KonDays->setItem(row, 2, cell(QString(), true));
        KonDays->setItem(row, 3, cell(QString(), true));
    }
    KonDays->resizeColumnToContents(0);
    if (keepRow >= 0)
        KonDays->selectRow(keepRow);
    for (int row = 0; row < int(m_days.size()); ++row)
        if (row != keepRow && std::find(alsoSelected.begin(), alsoSelected.end(), m_days[row].id) !=
                                  alsoSelected.end())
            KonDays->selectionModel()->select(KonDays->model()->index(row, 0),
                                              QItemSelectionModel::Select |
                                                  QItemSelectionModel::Rows);
    m_filling = false;
    m_seen = m_store.mark();
    showDayFigures();
    dayChosen();
}

void FrmKon::followStore()
{
    if (!m_store.database() || m_filling || m_store.mark() == m_seen)
        return;
    std::vector<qint64> selected;
    for (const Menus::Day &day : selectedDays())
        selected.push_back(day.id);
    m_dishes.clear();
    fillDays(currentDay(), selected);
}

bool FrmKon::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::WindowActivate)
        followStore();
    return handled;
}

void FrmKon::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    showDayFigures();
}

void FrmKon::showDayFigures()
{
    if (m_days.empty())
        return;
    // The rows in sight.
    const int rowHeight = std::max(1, KonDays->verticalHeader()->defaultSectionSize());
    const int inSight = std::max(KonDays->viewport()->height(), KonDays->height()) / rowHeight + 1;
    const int first = std::max(0, KonDays->rowAt(0));
    const int last = std::min(int(m_days.size()) - 1, first + inSight);
    std::vector<qint64> days;
    for (int row = first; row <= last; ++row)
        if (!m_figuresShown[row])
            days.push_back(m_days[row].id);
    if (days.empty() || !needDishes(days, Menus::Depth::Listed))
        return;
    for (int row = first; row <= last; ++row)
        if (!m_figuresShown[row])
            showDayFigures(row);
}

void FrmKon::showDayFigures(int row)
{
    const qint64 day = m_days[row].id;
    const Menus::Totals totals = Menus::dayTotals(day, m_entries.value(day), m_dishes).day;
    KonDays->item(row, 2)->setText(Menus::figureText(totals, "ENC", 0));
    KonDays->item(row, 3)->setText(Menus::figureText(totals, "NAT", 1));
    m_figuresShown[row] = true;
}

bool FrmKon::needDishes(const std::vector<qint64> &days, Menus::Depth depth)
{
    std::vector<qint64> dishes;
    for (qint64 day : days)
        for (const Menus::Entry &entry : m_entries.value(day))
            dishes.push_back(entry.dish);
    QString error;
    if (m_dishes.need(m_program.DbConnectionString, dishes, &error, depth))
        return true;
    m_program.prompts().message(error, Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
    return false;
}

std::vector<Menus::Entry> FrmKon::entriesOf(const std::vector<Menus::Day> &days) const
{
    std::vector<Menus::Entry> entries;
    for (const Menus::Day &day : days) {
        const auto at = m_entries.constFind(day.id);
        if (at != m_entries.constEnd())
            entries.insert(entries.end(), at->begin(), at->end());
    }
    return entries;
}

void FrmKon::refreshDay(qint64 day)
{
    std::vector<Menus::Entry> entries;
    QString error;
    if (!m_store.entries({day}, &entries, &error)) {
        m_program.prompts().message(error, Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return;
    }
    m_entries.insert(day, std::move(entries));
    // The window's own change is read: only it changed the store since.
    m_seen = m_store.mark();
    needDishes({day});
    for (int row = 0; row < int(m_days.size()); ++row)
        if (m_days[row].id == day)
            showDayFigures(row);
    fillDay();
    fillPeriod();
}

std::vector<Menus::Day> FrmKon::selectedDays() const
{
    std::vector<Menus::Day> days;
    for (int row = 0; row < int(m_days.size()); ++row)
        if (KonDays->item(row, 0) && KonDays->item(row, 0)->isSelected())
            days.push_back(m_days[row]);
    return days;
}

void FrmKon::dayChosen()
{
    const bool hasDay = currentDay() != 0;
    for (QWidget *w : std::initializer_list<QWidget *>{
             KonCopy, KonRename, KonDelete, KonAge, KonSex, KonPal, KonStage, KonGrid, KonAdd,
             KonRemove, KonUp, KonDown, KonToMeal, KonPrint, KonPdf, KonExport})
        w->setEnabled(hasDay);
    if (hasDay)
        needDishes({currentDay()});
    fillDay();
    fillPeriod();
}

void FrmKon::fillDay()
{
    m_filling = true;
    const int keepRow = KonGrid->currentRow();
    KonGrid->setRowCount(0);
    KonShares->clear();
    const qint64 key = currentDay();
    const auto day = std::find_if(m_days.begin(), m_days.end(),
                                  [&](const Menus::Day &d) { return d.id == key; });
    if (day == m_days.end()) {
        m_filling = false;
        return;
    }
    KonAge->setValue(day->person.age);
    KonSex->setCurrentIndex(day->person.male ? 0 : 1);
    KonPal->setCurrentIndex(qBound(1, day->person.pal, 3) - 1);
    // Stages are offered to a woman of an age the standards give them for.
    KonStage->setCurrentIndex(Menus::judgedPerson(day->person, m_standards).stage);
    Menus::Person mother = day->person;
    mother.stage = 4;
    KonStage->setEnabled(Menus::judgedPerson(mother, m_standards).stage != 0);

    const Menus::Plan plan = Menus::buildPlan({*day}, m_entries.value(key), m_dishes, m_standards);
    const Menus::PlanDay &shown = plan.days.front();
    auto addRow = [&](const QString &meal, const QString &dish, const QString &portion,
                      const Menus::Totals &totals, qint64 entry) {
        const int row = KonGrid->rowCount();
        KonGrid->insertRow(row);
        QTableWidgetItem *first = cell(meal);
        first->setData(entryRole, entry);
        KonGrid->setItem(row, 0, first);
        KonGrid->setItem(row, 1, cell(dish));
        QTableWidgetItem *amount = cell(portion, true);
        if (entry)
            amount->setFlags(amount->flags() | Qt::ItemIsEditable);
        KonGrid->setItem(row, portionColumn, amount);
        for (int f = 0; f < int(Menus::mainFigures.size()); ++f) {
            const Menus::Figure &figure = Menus::mainFigures[f];
            KonGrid->setItem(row, 3 + f,
                             cell(Menus::figureText(totals, figure.field, figure.decimals), true));
        }
        if (!entry) {
            QFont bold = KonGrid->font();
            bold.setBold(true);
            for (int c = 0; c < KonGrid->columnCount(); ++c)
                KonGrid->item(row, c)->setFont(bold);
        }
    };
    for (int meal = 0; meal < Menus::mealCount; ++meal) {
        const QString name = Menus::mealName(meal).toString();
        for (const Menus::PlanEntry &entry : shown.meals[meal])
            addRow(name,
                   entry.missing ? QStringLiteral("（削除された料理 %1）").arg(entry.entry.dish)
                                 : entry.dishName,
                   portionText(entry.entry.portion), entry.totals, entry.entry.id);
        if (!shown.meals[meal].empty())
            addRow(name, QStringLiteral("%1 計").arg(name), QString(), shown.totals.meals[meal], 0);
    }
    if (!shown.totals.day.isEmpty())
        addRow(QStringLiteral("1日"), QStringLiteral("1日 計"), QString(), shown.totals.day, 0);
    if (keepRow >= 0 && keepRow < KonGrid->rowCount())
        KonGrid->selectRow(keepRow);

    // The energy of each meal and the food groups of the day.
    QString text;
    if (shown.totals.day.isEmpty()) {
        text = QStringLiteral("この日の献立はまだありません。");
    } else {
        QStringList shares;
        for (int meal = 0; meal < Menus::mealCount; ++meal)
            if (const std::optional<double> share = shown.totals.energyShare(meal))
                shares << QStringLiteral("%1 %2%").arg(Menus::mealName(meal),
                                                       NumberText::fixed(*share, 0));
        text = QStringLiteral("エネルギーの配分: ") +
               (shares.isEmpty() ? QStringLiteral("－") : shares.join(QStringLiteral("、")));
        QStringList groups;
        for (int g = 1; g <= Menus::foodGroupCount; ++g)
            if (shown.totals.day.groupGrams[g] > 0)
                groups << QStringLiteral("%1 %2g").arg(
                    Menus::foodGroupName(g), NumberText::fixed(shown.totals.day.groupGrams[g], 0));
        if (shown.totals.day.groupGrams[0] > 0)
            groups << QStringLiteral("%1 %2g").arg(
                Menus::foodGroupName(0), NumberText::fixed(shown.totals.day.groupGrams[0], 0));
        text += QStringLiteral("\n食品群別の重量: ") + groups.join(QStringLiteral("、"));
        if (shown.totals.day.missing > 0)
            text += QStringLiteral("\n* 削除された料理 %1 件を含まない値です。")
                        .arg(shown.totals.day.missing);
        else
            text += QStringLiteral("\n* は未測定の値を含まない合計です。");
    }
    KonShares->setText(text);
    const Menus::Judgement judgement = plan.dayJudgement(shown);
    showJudgement(2, shown.totals.day, judgement, true);
    m_dayBalance = judgement.isEmpty() ? QStringLiteral("1日: 献立がないので判定しません。")
                                       : QStringLiteral("1日 エネルギー産生栄養素バランス: ") +
                                             NutrientSheet::balanceText(judgement.balance);
    showBalance();
    m_filling = false;
}

void FrmKon::showJudgement(int column, const Menus::Totals &totals,
                           const Menus::Judgement &judgement, bool standards)
{
    // A day without entries is judged not at all: its cells stay empty.
    QString missing;
    if (totals.missing > 0)
        missing = QStringLiteral("削除された料理 %1 件を含まない").arg(totals.missing);
    for (int row = 0; row < int(m_judged.size()); ++row) {
        const int i = m_judged[row];
        const NutrientSheet::Row *judged = judgement.isEmpty() ? nullptr : &judgement.rows[i];
        if (standards)
            KonJudge->item(row, column)
                ->setText(judged
                              ? Intakes::standardText(judged->standard, Components::all[i].decimals)
                              : QString());
        const int first = standards ? column + 1 : column;
        QTableWidgetItem *figure = KonJudge->item(row, first);
        figure->setText(judged ? NutrientSheet::figure(i, judged->total) : QString());
        KonJudge->item(row, first + 1)
            ->setText(judged && judged->ratio
                          ? NumberText::grouped(NumberText::roundHalfUp(*judged->ratio, 0), 0)
                          : QString());
        KonJudge->item(row, first + 2)
            ->setText(judged ? Intakes::verdictText(judged->verdict) : QString());
        // A figure that leaves something out says so, as in the main window.
        QStringList notes;
        if (judged && !judged->unknownFoods.isEmpty())
            notes << UnknownValues::note(judged->unknownFoods);
        if (judged && !missing.isEmpty())
            notes << missing;
        figure->setToolTip(notes.join(QLatin1Char('\n')));
        figure->setBackground(notes.isEmpty() ? QBrush() : QBrush(Widgets::unknownTint));
    }
}

void FrmKon::showBalance()
{
    KonPfc->setText(m_periodBalance.isEmpty() ? m_dayBalance
                                              : m_dayBalance + QLatin1Char('\n') + m_periodBalance);
}

void FrmKon::fillPeriod()
{
    const std::vector<Menus::Day> days = selectedDays();
    if (days.size() < 2) {
        KonPeriod->setText(QStringLiteral("期間: 一覧で何日かを選ぶと、1日平均を表示します。"));
        showJudgement(6, Menus::Totals(), Menus::Judgement(), false);
        m_periodBalance.clear();
        showBalance();
        return;
    }
    std::vector<qint64> keys;
    for (const Menus::Day &day : days)
        keys.push_back(day.id);
    needDishes(keys);
    // The period's sums alone: no entry's own figures are needed here.
    const Menus::PeriodTotals period = Menus::periodTotals(keys, entriesOf(days), m_dishes);
    const Menus::Judgement judgement =
        Menus::judge(period.average, m_standards, Menus::intakePerson(days.front().person));
    showJudgement(6, period.average, judgement, false);
    m_periodBalance = judgement.isEmpty()
                          ? QString()
                          : QStringLiteral("期間の1日平均 エネルギー産生栄養素バランス: ") +
                                NutrientSheet::balanceText(judgement.balance);
    showBalance();
    QString text = QStringLiteral("期間 %1日（献立のある日 %2日）の1日平均")
                       .arg(period.days)
                       .arg(period.plannedDays);
    if (period.plannedDays == 0) {
        KonPeriod->setText(text + QStringLiteral(": 献立がありません。"));
        return;
    }
    for (const Menus::Figure &figure : Menus::mainFigures)
        text +=
            QStringLiteral("\n%1 %2 %3")
                .arg(figure.caption,
                     Menus::figureText(period.average, figure.field, figure.decimals), figure.unit);
    KonPeriod->setText(text);
}

bool FrmKon::changed(bool ok, const QString &error)
{
    if (!ok)
        m_program.prompts().message(error, Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
    return ok;
}

void FrmKon::personChanged()
{
    if (m_filling || !currentDay())
        return;
    Menus::Person person{KonAge->value(), KonSex->currentIndex() == 0, KonPal->currentIndex() + 1,
                         KonSex->currentIndex() == 0 ? 0 : KonStage->currentIndex()};
    person = Menus::judgedPerson(person, m_standards);
    QString error;
    if (!changed(m_store.setPerson(currentDay(), person, &error), error))
        return;
    for (Menus::Day &day : m_days)
        if (day.id == currentDay())
            day.person = person;
    m_seen = m_store.mark();
    fillDay();
    fillPeriod();
}

qint64 FrmKon::currentEntry() const
{
    const int row = KonGrid->currentRow();
    const QTableWidgetItem *first = row >= 0 ? KonGrid->item(row, 0) : nullptr;
    return first ? first->data(entryRole).toLongLong() : 0;
}

void FrmKon::portionEdited(int row, int column)
{
    if (m_filling || column != portionColumn)
        return;
    const qint64 entry = KonGrid->item(row, 0)->data(entryRole).toLongLong();
    if (!entry)
        return;
    // The cell's name: the meal and the line within it.
    int line = 1;
    for (int r = row - 1; r >= 0 && KonGrid->item(r, 0)->text() == KonGrid->item(row, 0)->text();
         --r)
        ++line;
    const QString name = QStringLiteral("%1 %2行目").arg(KonGrid->item(row, 0)->text()).arg(line);
    const auto portion = Menus::readPortion(KonGrid->item(row, column)->text(), name);
    QString error;
    if (const QString *why = std::get_if<QString>(&portion)) {
        m_program.prompts().message(*why, Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
    } else {
        changed(m_store.setPortion(entry, std::get<double>(portion), &error), error);
    }
    refreshDay(currentDay()); // the stored portion comes back into the cell
}

bool FrmKon::askDay(const QString &title, QString *date, QString *name)
{
    Prompts &prompts = m_program.prompts();
    for (;;) {
        const std::optional<QString> typed = prompts.input(
            QStringLiteral("日付を 2026-12-07 の形で入れてください（日付のない献立は空のまま）"),
            title, *date);
        if (!typed)
            return false;
        if (const std::optional<QString> read = Menus::readDate(*typed)) {
            *date = *read;
            break;
        }
        prompts.message(QStringLiteral("日付「%1」は読めません。2026-12-07 の形で入れてください。")
                            .arg(typed->trimmed()),
                        Prompts::Buttons::Ok, Prompts::Icon::Exclamation, title);
    }
    const std::optional<QString> typed =
        prompts.input(QStringLiteral("献立の名前（例 給食、朝食会）"), title, *name);
    if (!typed)
        return false;
    *name = typed->trimmed();
    return true;
}

void FrmKon::newDay()
{
    QString date = QDate::currentDate().toString(Qt::ISODate), name;
    if (!askDay(QStringLiteral("献立の新規"), &date, &name))
        return;
    Menus::Day day;
    day.date = date;
    day.name = name;
    // A new day is planned for the person of the chosen day.
    const qint64 current = currentDay();
    for (const Menus::Day &d : m_days)
        if (d.id == current)
            day.person = d.person;
    QString error;
    const std::optional<qint64> made = m_store.createDay(day, &error);
    if (changed(made.has_value(), error))
        fillDays(*made);
}

void FrmKon::copyDay()
{
    const qint64 from = currentDay();
    if (!from)
        return;
    QString date, name;
    for (const Menus::Day &d : m_days)
        if (d.id == from) {
            name = d.name;
            const QDate next = QDate::fromString(d.date, Qt::ISODate).addDays(1);
            date = next.isValid() ? next.toString(Qt::ISODate) : QString();
        }
    if (!askDay(QStringLiteral("献立の複写"), &date, &name))
        return;
    QString error;
    const std::optional<qint64> made = m_store.copyDay(from, date, name, &error);
    if (changed(made.has_value(), error))
        fillDays(*made);
}

void FrmKon::renameDay()
{
    const qint64 key = currentDay();
    QString date, name;
    for (const Menus::Day &d : m_days)
        if (d.id == key) {
            date = d.date;
            name = d.name;
        }
    if (!key || !askDay(QStringLiteral("献立の名前変更"), &date, &name))
        return;
    QString error;
    if (changed(m_store.renameDay(key, date, name, &error), error))
        fillDays(key);
}

void FrmKon::deleteDay()
{
    const qint64 key = currentDay();
    if (!key)
        return;
    const int row = KonDays->currentRow();
    const QString caption = Menus::dayCaption(m_days[row]);
    if (m_program.prompts().message(QStringLiteral("献立「%1」を削除します").arg(caption),
                                    Prompts::Buttons::OkCancel, Prompts::Icon::None,
                                    QStringLiteral("献立の削除")) != Prompts::Answer::Ok)
        return;
    QString error;
    if (changed(m_store.deleteDay(key, &error), error))
        fillDays(0);
}

void FrmKon::addEntry()
{
    const qint64 day = currentDay();
    if (!day)
        return;
    qint64 dish = 0;
    const QString typed = KonDish->currentText().trimmed();
    if (typed.isEmpty()) {
        dish = m_program.fmain() ? m_program.fmain()->currentDish() : 0;
    } else if (KonDish->currentIndex() >= 0 &&
               KonDish->itemText(KonDish->currentIndex()) == typed) {
        dish = KonDish->currentData().toLongLong(); // picked from the offered names
    } else {
        // The dish of that name, or else the first whose name holds the text.
        std::vector<std::pair<qint64, QString>> found;
        QString error;
        if (!m_store.dishesNamed(typed, 1, &found, &error)) {
            changed(false, error);
            return;
        }
        if (!found.empty())
            dish = found.front().first;
    }
    if (dish) {
        QString error;
        if (!m_dishes.need(m_program.DbConnectionString, {dish}, &error)) {
            changed(false, error);
            return;
        }
    }
    if (!dish || !m_dishes.find(dish)) {
        m_program.prompts().message(typed.isEmpty()
                                        ? QStringLiteral("加える料理を選んでください。")
                                        : QStringLiteral("料理「%1」は見つかりません。").arg(typed),
                                    Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return;
    }
    QString error;
    if (changed(m_store.addEntry(day, KonMeal->currentIndex(), dish, 1, &error).has_value(),
                error)) {
        KonDish->setCurrentIndex(-1);
        KonDish->setEditText(QString());
        refreshDay(day);
    }
}

void FrmKon::removeEntry()
{
    const qint64 entry = currentEntry();
    QString error;
    if (entry && changed(m_store.removeEntry(entry, &error), error))
        refreshDay(currentDay());
}

void FrmKon::moveEntry(int step)
{
    const qint64 entry = currentEntry();
    QString error;
    if (!entry || !m_store.moveWithinMeal(entry, step, &error)) {
        if (!error.isEmpty())
            changed(false, error);
        return;
    }
    refreshDay(currentDay());
    for (int row = 0; row < KonGrid->rowCount(); ++row)
        if (KonGrid->item(row, 0)->data(entryRole).toLongLong() == entry)
            KonGrid->selectRow(row);
}

void FrmKon::moveToMeal()
{
    const qint64 entry = currentEntry();
    QString error;
    if (entry && changed(m_store.moveToMeal(entry, KonMeal->currentIndex(), &error), error))
        refreshDay(currentDay());
}

bool FrmKon::chosenPlan(Menus::Plan *plan)
{
    const std::vector<Menus::Day> days = selectedDays();
    std::vector<qint64> keys;
    for (const Menus::Day &day : days)
        keys.push_back(day.id);
    if (days.empty() || !needDishes(keys))
        return false;
    *plan = Menus::buildPlan(days, entriesOf(days), m_dishes, m_standards);
    return true;
}

void FrmKon::printSheet()
{
    Menus::Plan plan;
    if (!chosenPlan(&plan))
        return;
    m_program.prompts().printPreview(QStringLiteral("献立表"), [&](QPagedPaintDevice *device) {
        QString error;
        if (!MenuSheet::paint(device, plan, &error))
            changed(false, error);
    });
}

void FrmKon::writePdf()
{
    Menus::Plan plan;
    if (!chosenPlan(&plan))
        return;
    const std::optional<QString> path = m_program.prompts().saveFileName(
        QStringLiteral("献立表のPDF"), QStringLiteral("献立表.pdf"), QStringLiteral("PDF (*.pdf)"));
    if (!path)
        return;
    QString error;
    if (changed(MenuSheet::writePdf(*path, plan, &error), error))
        m_program.prompts().message(QStringLiteral("「%1」に書き出しました。").arg(*path));
}

void FrmKon::writeFile()
{
    Menus::Plan plan;
    if (!chosenPlan(&plan))
        return;
    const QString title = QStringLiteral("献立の書き出し");
    Prompts &prompts = m_program.prompts();
    // The menus, or the nutrient report of the days and the period.
    const std::optional<int> format = prompts.choose(
        QStringLiteral("形式を選んでください。"), title,
        {QStringLiteral("献立の CSV（.csv）"), QStringLiteral("献立の Excel（.xlsx）"),
         QStringLiteral("栄養量報告の CSV（.csv）"), QStringLiteral("栄養量報告の Excel（.xlsx）"),
         QStringLiteral("栄養量報告の PDF（.pdf）")});
    if (!format)
        return;
    const bool report = *format >= 2;
    const QString base = report ? QStringLiteral("栄養量報告") : QStringLiteral("献立");
    const int kind = *format % 2 == 0 ? (*format == 4 ? 2 : 0) : 1; // 0 CSV, 1 xlsx, 2 PDF
    static const QString suffixes[] = {QStringLiteral(".csv"), QStringLiteral(".xlsx"),
                                       QStringLiteral(".pdf")};
    static const QString filters[] = {QStringLiteral("CSV (*.csv)"),
                                      QStringLiteral("Excel ブック (*.xlsx)"),
                                      QStringLiteral("PDF (*.pdf)")};
    const std::optional<QString> path =
        prompts.saveFileName(title, base + suffixes[kind], filters[kind]);
    if (!path)
        return;
    QString error;
    bool written = false;
    if (kind == 2)
        written = MenuSheet::writeReportPdf(*path, plan, &error);
    else if (kind == 1)
        written = report ? Menus::writeReportWorkbook(*path, plan, &error)
                         : Menus::writeWorkbook(*path, plan, &error);
    else
        written = report ? Menus::writeReportCsv(*path, plan, &error)
                         : Menus::writeCsv(*path, plan, &error);
    if (changed(written, error))
        prompts.message(QStringLiteral("「%1」に書き出しました。").arg(*path));
}
