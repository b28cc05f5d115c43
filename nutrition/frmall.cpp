#include "nutrition/frmall.h"

#include "app/fmain.h"
#include "app/growth.h"
#include "app/program.h"
#include "app/prompts.h"
#include "app/twips.h"
#include "app/widgets.h"
#include "core/dish/portion.h"
#include "core/nutrition/components.h"
#include "core/nutrition/nutrientsheet.h"
#include "core/nutrition/unknownvalues.h"
#include "core/store/numbertext.h"
#include "nutrition/pfcbar.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QTableWidget>

namespace {

// The bar of the energy shares: protein, fat and carbohydrate side by side,
// each as wide as its share, with the goals of the person as marks below.
class PfcBarWidget : public QWidget
{
public:
    explicit PfcBarWidget(QWidget *parent)
        : QWidget(parent)
    {
    }
    void setBalance(const NutrientSheet::Balance &balance)
    {
        m_balance = balance;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        PfcBar::paint(p, QRectF(rect().adjusted(0, 0, -1, 0)), m_balance,
                      palette().color(QPalette::Base), palette().color(QPalette::WindowText));
    }

private:
    NutrientSheet::Balance m_balance;
};

} // namespace

FrmAll::FrmAll(Program &program, QWidget *parent)
    : QWidget(parent, Widgets::fixedDialog & ~Qt::MSWindowsFixedSizeDialogHint)
    , m_program(program)
{
    setObjectName(QStringLiteral("FrmAll"));
    setWindowTitle(QStringLiteral("栄養成分一覧"));
    buildLayout();
    Twips::resizeClient(this, 11400, 8400);
    // The window may be enlarged: the grid takes the room, the balance
    // stays under it, the basis at the right edge.
    auto *growth = new Growth(this);
    growth->add(m_dishName, Growth::Wider);
    for (const char *name : {"LabelBasis", "AllBasis"})
        if (auto *control = findChild<QWidget *>(QLatin1String(name)))
            growth->add(control, Growth::FollowRight);
    growth->add(AllGrid, Growth::Wider | Growth::Taller);
    growth->growColumn(AllGrid, 5); // the standard, the longest text
    if (auto *caption = findChild<QWidget *>(QStringLiteral("LabelPfc")))
        growth->add(caption, Growth::FollowBottom);
    growth->add(m_pfcText, Growth::Wider | Growth::FollowBottom);
    growth->add(PfcBar, Growth::Wider | Growth::FollowBottom);
    QString error;
    QList<Intakes::Row> rows;
    if (DishComponents::loadIntakes(program.DbConnectionString, &rows, &error))
        m_table = Intakes::Table(rows);
    m_lastAgeText = AllAge->currentText();
    updateStages();
    reload();
    connect(AllAge, &QComboBox::activated, this, &FrmAll::showPerson);
    connect(AllAge->lineEdit(), &QLineEdit::editingFinished, this, &FrmAll::showPerson);
    for (QComboBox *box : {AllSex, AllPal, AllStage, AllBasis})
        connect(box, &QComboBox::currentIndexChanged, this, &FrmAll::showPerson);
    if (Fmain *main = program.fmain())
        connect(main, &Fmain::dishShown, this, &FrmAll::reload);
}

FrmAll::~FrmAll()
{
    // The base destructor closes the window, and the focus leaving the age
    // box would judge the person again with this window's members gone.
    AllAge->lineEdit()->disconnect(this);
}

void FrmAll::buildLayout()
{
    using namespace Widgets;
    m_dishName = label(this, QStringLiteral("AllDish"), QString(), 120, 120, 11160, 300);
    QFont bold = m_dishName->font();
    bold.setBold(true);
    m_dishName->setFont(bold);

    label(this, QStringLiteral("LabelAge"), QStringLiteral("年齢"), 120, 540, 480, 255);
    AllAge = new QComboBox(this);
    AllAge->setObjectName(QStringLiteral("AllAge"));
    AllAge->setEditable(true);
    AllAge->setInsertPolicy(QComboBox::NoInsert);
    AllAge->setCompleter(nullptr);
    for (int age = Intakes::youngestAge; age <= Intakes::oldestAge; ++age)
        AllAge->addItem(QString::number(age));
    AllAge->setCurrentIndex(m_person.age);
    Twips::place(AllAge, 600, 510, 780, 300);
    m_group = label(this, QStringLiteral("AllGroup"), QString(), 1440, 540, 1200, 255);

    label(this, QStringLiteral("LabelSex"), QStringLiteral("性別"), 2700, 540, 480, 255);
    AllSex = new QComboBox(this);
    AllSex->setObjectName(QStringLiteral("AllSex"));
    AllSex->addItems({QStringLiteral("女性"), QStringLiteral("男性")}); // index = sex code
    AllSex->setCurrentIndex(m_person.sex);
    Twips::place(AllSex, 3180, 510, 900, 300);

    label(this, QStringLiteral("LabelPal"), QStringLiteral("身体活動"), 4200, 540, 840, 255);
    AllPal = new QComboBox(this);
    AllPal->setObjectName(QStringLiteral("AllPal"));
    for (auto a : {Intakes::Activity::Low, Intakes::Activity::Moderate, Intakes::Activity::High})
        AllPal->addItem(Intakes::activityText(a));
    AllPal->setCurrentIndex(int(m_person.activity));
    Twips::place(AllPal, 5040, 510, 900, 300);

    label(this, QStringLiteral("LabelStage"), QStringLiteral("妊娠・授乳"), 6060, 540, 960, 255);
    AllStage = new QComboBox(this);
    AllStage->setObjectName(QStringLiteral("AllStage"));
    for (int s = 0; s <= int(Intakes::Stage::Lactation); ++s)
        AllStage->addItem(Intakes::stageText(Intakes::Stage(s)));
    Twips::place(AllStage, 7020, 510, 1200, 300);

    label(this, QStringLiteral("LabelBasis"), QStringLiteral("判定"), 8340, 540, 480, 255);
    AllBasis = new QComboBox(this);
    AllBasis->setObjectName(QStringLiteral("AllBasis"));
    for (auto b :
         {NutrientSheet::Basis::Serving, NutrientSheet::Basis::Dish, NutrientSheet::Basis::Hundred})
        AllBasis->addItem(NutrientSheet::basisText(b));
    Twips::place(AllBasis, 8820, 510, 2460, 300);

    AllGrid = new QTableWidget(Components::count, 8, this);
    AllGrid->setObjectName(QStringLiteral("AllGrid"));
    AllGrid->setHorizontalHeaderLabels({QStringLiteral("成分"), QStringLiteral("単位"),
                                        QStringLiteral("全体"), QStringLiteral("1人分"),
                                        QStringLiteral("100g当たり"), QStringLiteral("基準 (1日)"),
                                        QStringLiteral("充足率 (%)"), QStringLiteral("判定")});
    AllGrid->verticalHeader()->setVisible(false);
    AllGrid->verticalHeader()->setDefaultSectionSize(Twips::toPixels(270));
    AllGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    AllGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    const int widths[] = {3000, 600,  900,  900,
                          1000, 2000, 1000, 1500}; // 判定 in sight beside the scroll bar
    for (int c = 0; c < 8; ++c)
        AllGrid->setColumnWidth(c, Twips::toPixels(widths[c]));
    Twips::place(AllGrid, 120, 930, 11160, 6300);
    for (int i = 0; i < Components::count; ++i) {
        const Components::Component &c = Components::all[i];
        AllGrid->setItem(i, 0, new QTableWidgetItem(c.name.toString()));
        AllGrid->setItem(i, 1, new QTableWidgetItem(c.unit.toString()));
        for (int col = 2; col < 8; ++col) {
            auto *item = new QTableWidgetItem;
            if (col != 5 && col != 7)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            AllGrid->setItem(i, col, item);
        }
    }

    label(this, QStringLiteral("LabelPfc"), QStringLiteral("エネルギー産生栄養素バランス"), 120,
          7320, 3600, 255);
    m_pfcText = label(this, QStringLiteral("AllPfc"), QString(), 120, 7590, 11160, 255);
    PfcBar = new PfcBarWidget(this);
    PfcBar->setObjectName(QStringLiteral("PfcBar"));
    Twips::place(PfcBar, 120, 7860, 11160, 450);
}

void FrmAll::reload()
{
    m_totals = {};
    m_servings = 1;
    m_finished.reset();
    QString name;
    const Fmain *main = m_program.fmain();
    const qint64 dish = main ? main->currentDish() : 0;
    if (dish != 0) {
        DishComponents::Portion portion;
        QList<DishComponents::Line> lines;
        QString error;
        if (DishComponents::loadPortion(m_program.DbConnectionString, dish, &portion, &error)) {
            name = portion.name;
            m_servings = portion.servings;
            m_finished = portion.finishedGrams;
        }
        if (DishComponents::load(m_program.DbConnectionString, dish, &lines, &error))
            m_totals = DishComponents::total(lines);
    }
    QString title =
        dish == 0 ? QStringLiteral("（料理がありません）")
                  : QStringLiteral("%1（%2人分）").arg(name, Portion::servingsText(m_servings));
    if (m_finished)
        title += QStringLiteral("　出来上がり %1 g").arg(Portion::finishedWeightText(m_finished));
    m_dishName->setText(title);
    showPerson();
}

void FrmAll::updateStages()
{
    const auto *model = qobject_cast<const QStandardItemModel *>(AllStage->model());
    for (int s = 1; s <= int(Intakes::Stage::Lactation); ++s) {
        Intakes::Person p = m_person;
        const bool allowed = m_table.stageAllowed(p, Intakes::Stage(s));
        if (model)
            model->item(s)->setEnabled(allowed);
    }
    if (!m_table.stageAllowed(m_person, m_person.stage)) {
        m_person.stage = Intakes::Stage::None;
        const QSignalBlocker block(AllStage);
        AllStage->setCurrentIndex(0);
    }
    AllStage->setEnabled(m_table.stageAllowed(m_person, Intakes::Stage::Lactation));
}

void FrmAll::showPerson()
{
    const QString ageText = AllAge->currentText();
    const auto age = Intakes::readAge(ageText);
    if (const QString *refusal = std::get_if<QString>(&age)) {
        m_program.prompts().message(*refusal, Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        const QSignalBlocker block(AllAge);
        AllAge->setEditText(m_lastAgeText);
        return;
    }
    m_lastAgeText = ageText;
    m_person.age = std::get<int>(age);
    m_person.sex = AllSex->currentIndex();
    m_person.activity = Intakes::Activity(AllPal->currentIndex());
    m_person.stage = Intakes::Stage(AllStage->currentIndex());
    updateStages();
    const QString group = m_table.groupName(m_person.age);
    m_group->setText(group.isEmpty() ? QStringLiteral("（基準なし）") : group);

    const auto basis = NutrientSheet::Basis(AllBasis->currentIndex());
    const QList<NutrientSheet::Row> rows =
        NutrientSheet::rows(m_totals, m_servings, m_finished, m_table, m_person, basis);
    for (const NutrientSheet::Row &row : rows) {
        const int i = row.component;
        const int decimals = Components::all[i].decimals;
        AllGrid->item(i, 2)->setText(NutrientSheet::figure(i, row.total));
        AllGrid->item(i, 3)->setText(NutrientSheet::figure(i, row.serving));
        AllGrid->item(i, 4)->setText(NutrientSheet::figure(i, row.perHundredGrams));
        const bool judged = !Intakes::nutrientOf(i).isEmpty();
        AllGrid->item(i, 5)->setText(judged ? Intakes::standardText(row.standard, decimals)
                                            : QString());
        AllGrid->item(i, 6)->setText(
            row.ratio ? NumberText::grouped(NumberText::roundHalfUp(*row.ratio, 0), 0) : QString());
        AllGrid->item(i, 7)->setText(Intakes::verdictText(row.verdict));
        // A total that leaves foods out says so, as in the main window.
        const QString note =
            row.unknownFoods.isEmpty() ? QString() : UnknownValues::note(row.unknownFoods);
        for (int col = 2; col <= 4; ++col) {
            QTableWidgetItem *item = AllGrid->item(i, col);
            item->setToolTip(note);
            item->setBackground(note.isEmpty() ? QBrush() : QBrush(Widgets::unknownTint));
        }
    }

    const NutrientSheet::Balance balance =
        NutrientSheet::balance(m_totals, m_servings, m_table, m_person);
    QStringList parts = NutrientSheet::shareTexts(balance);
    if (balance.energyDish)
        parts << QStringLiteral("全体 %1 kcal、1人分 %2 kcal")
                     .arg(NumberText::grouped(NumberText::roundHalfUp(*balance.energyDish, 0), 0),
                          NumberText::grouped(
                              NumberText::roundHalfUp(balance.energyServing.value_or(0), 0), 0));
    m_pfcText->setText(parts.join(QStringLiteral("　")));
    static_cast<PfcBarWidget *>(PfcBar)->setBalance(balance);
}
