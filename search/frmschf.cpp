#include "search/frmschf.h"

#include "app/bindings.h"
#include "app/fmain.h"
#include "app/growth.h"
#include "app/program.h"
#include "app/prompts.h"
#include "app/twips.h"
#include "app/widgets.h"
#include "core/foods/foodnames.h"
#include "core/store/datasource.h"

#include <QApplication>
#include <QBrush>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

FrmSchF::FrmSchF(Program &program, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_program(program)
    , m_search(program.DbConnectionString)
{
    setObjectName(QStringLiteral("frmSchF"));
    setWindowTitle(QStringLiteral("食品素材の検索"));
    Twips::resizeClient(this, 5700, 5235);

    // The coloured panels go first so that the headings and inputs lie on them.
    const QColor panel(255, 192, 192);
    Shape1 = Widgets::filledRect(this, QStringLiteral("Shape1"), panel, 0, 120, 2775, 855);
    Shape2 = Widgets::filledRect(this, QStringLiteral("Shape2"), panel, 2880, 120, 2775, 855);

    Label2 = Widgets::label(this, QStringLiteral("Label2"), QStringLiteral("ﾖﾐｶﾞﾅで探す"), 240, 240,
                            1095, 255);
    Text1 = Widgets::textBox(this, QStringLiteral("Text1"), QString(), 120, 480, 2535, 270);
    Label1 = Widgets::label(this, QStringLiteral("Label1"), QStringLiteral("多いもので探す"), 3120,
                            240, 1335, 255);

    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    // A name counts only when it is typed whole: no completion behind the
    // user's back.
    Combo1->setCompleter(nullptr);
    Twips::place(Combo1, 3000, 480, 2175, 300);

    // Holds the ranking field; never shown.
    Label3 = new QLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setVisible(false);

    AdoEys = m_search.results();
    AdoEys->setObjectName(QStringLiteral("AdoEys"));
    AdoEys->setParent(this); // found among the window's objects; the session deletes it first

    DataGrid1 = new DataGrid(this);
    DataGrid1->setObjectName(QStringLiteral("DataGrid1"));
    Twips::place(DataGrid1, 0, 1080, 5655, 3615);

    Command1 = Widgets::button(this, QStringLiteral("Command1"), QStringLiteral("OK"), 3480, 4800,
                               975, 375);
    Command2 = Widgets::button(this, QStringLiteral("Command2"), QStringLiteral("ｷｬﾝｾﾙ"), 4560,
                               4800, 975, 375);
    // What the search found, told in the window: 「見つかりません」 for no
    // food, or why OK took nothing.
    Label4 = Widgets::label(this, QStringLiteral("Label4"), QString(), 120, 4860, 3240, 255);

    // The window may be enlarged: the grid takes the room, the buttons keep to
    // the bottom right corner.
    auto *growth = new Growth(this);
    growth->add(DataGrid1, Growth::Wider | Growth::Taller);
    DataGrid1->setGrowingColumn(1); // the name
    growth->add(Command1, Growth::FollowRight | Growth::FollowBottom);
    growth->add(Command2, Growth::FollowRight | Growth::FollowBottom);
    growth->add(Label4, Growth::Wider | Growth::FollowBottom);
    // A food's full official name is the tooltip of its row.
    // An official food whose values were changed is tinted and says so.
    DataGrid1->setDecoration([this](int row, int, int role) -> QVariant {
        if (!AdoEys || (role != Qt::ToolTipRole && role != Qt::BackgroundRole))
            return {};
        const qint64 food = AdoEys->value(row, 0).toLongLong();
        const bool changed = m_program.differsFromOfficial(food).value_or(false);
        if (role == Qt::BackgroundRole)
            return changed ? QVariant(QBrush(Widgets::changedOfficialTint)) : QVariant();
        const QString name = FoodNames::fullName(m_program.DbConnectionString, food);
        return changed ? name + QStringLiteral("\n") + Widgets::changedOfficialNote : name;
    });

    FillNutrientChoices();

    connect(Combo1, &QComboBox::activated, this, &FrmSchF::nutrientChosen);
    connect(Combo1->lineEdit(), &QLineEdit::textEdited, this, &FrmSchF::nutrientTyped);
    connect(Text1, &QLineEdit::textChanged, this, &FrmSchF::readingChanged);
    connect(Command1, &QPushButton::clicked, this, &FrmSchF::takeFood);
    connect(Command2, &QPushButton::clicked, this, &FrmSchF::cancel);
}

void FrmSchF::FillNutrientChoices()
{
    Combo1->addItems(FoodSearch::rankingNames());
    // Adding to an empty list makes the first entry current; the box starts
    // empty, with no nutrient chosen.
    Combo1->setCurrentIndex(-1);
    Combo1->setEditText(QString());
}

void FrmSchF::SetRankingField()
{
    Label3->setText(FoodSearch::rankingFieldFor(Combo1->currentText()));
}

void FrmSchF::RankFoodsByNutrient()
{
    // Text that names no nutrient gives no field: nothing to rank by, and the
    // grid keeps what it shows.
    if (Label3->text().isEmpty())
        return;
    showResult(m_search.byRanking(Label3->text()));
}

void FrmSchF::SearchFoodsByReading()
{
    showResult(m_search.byReading(Text1->text()));
}

void FrmSchF::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Once the window is up, what a search of a large store needs is read
    // ahead, before the first keystroke comes.
    QTimer::singleShot(0, this, [this] { m_search.prepareReadingSearch(); });
}

void FrmSchF::reloadResults()
{
    if (AdoEys->isOpen())
        showResult(AdoEys->requery());
}

bool FrmSchF::showResult(bool ran)
{
    if (!ran) {
        // One message while the cause lasts, not one per keystroke.
        const QString message =
            QStringLiteral("食品を検索できませんでした。\n") + m_search.errorString();
        if (m_searchFailure.shouldTell(message))
            m_program.prompts().message(message, Prompts::Buttons::Ok, Prompts::Icon::Critical);
        return false;
    }
    m_searchFailure.succeeded();
    DataGrid1->setDataSource(AdoEys);
    DataGrid1->setColumnWidthTwips(0, 0);
    DataGrid1->setColumnWidthTwips(1, 2000);
    DataGrid1->setColumnCaption(1, QStringLiteral("食品名"));
    DataGrid1->setColumnWidthTwips(2, 1000);
    DataGrid1->setColumnCaption(2, QStringLiteral("値"));
    DataGrid1->setColumnWidthTwips(3, 1800);
    DataGrid1->setColumnAlignment(2, Qt::AlignRight);
    DataGrid1->viewport()->update();
    Label4->setText(AdoEys->rowCount() == 0 && !AdoEys->canFetchMore({})
                        ? QStringLiteral("見つかりません")
                        : QString());
    return true;
}

void FrmSchF::nutrientChosen()
{
    SetRankingField();
    RankFoodsByNutrient();
}

void FrmSchF::nutrientTyped()
{
    SetRankingField();
    RankFoodsByNutrient();
}

void FrmSchF::readingChanged()
{
    SearchFoodsByReading();
}

void FrmSchF::takeFood()
{
    // The steps need a food: without one (no search yet, an empty result, no
    // row chosen) the window says so and stays open, and the main window is
    // left as it is.
    const std::optional<FoodSearch::Found> food = m_search.foodAt(DataGrid1->currentRecord());
    if (!food) {
        Label4->setText(AdoEys->isOpen() && AdoEys->rowCount() == 0
                            ? QStringLiteral("見つかりません。食品を検索してください")
                            : QStringLiteral("食品が選ばれていません。一覧から選んでください"));
        QApplication::beep();
        return;
    }
    if (Fmain *main = m_program.fmain())
        main->takeFood(food->id);
    close();
}

void FrmSchF::cancel()
{
    close();
}
