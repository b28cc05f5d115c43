#include "app/fmain.h"

#include "app/bindings.h"
#include "app/growth.h"
#include "app/program.h"
#include "app/twips.h"
#include "app/widgets.h"
#include "core/dish/dishsession.h"
#include "core/settings/settingsfile.h"
#include "dish/lineeditor.h"
#include "dish/recipeview.h"
#include "nutrition/totalspanel.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>

Fmain::Fmain(Program &program)
    : m_program(program)
    , m_client(new QWidget(this))
    , m_dish(new DishSession(this))
{
    m_dish->setConnectionString(program.DbConnectionString);
    setObjectName(QStringLiteral("Fmain"));
    setWindowTitle(QStringLiteral("ゼント"));
    m_client->setObjectName(QStringLiteral("Fmain_client"));
    m_client->setAutoFillBackground(true);
    setCentralWidget(m_client);
    buildLayout();
    buildMenu();
    connectHandlers();
    Twips::resizeClient(m_client, 8820, 6315);
    resize(m_client->width(), m_client->height() + menuBar()->sizeHint().height());
    setBackColor(QApplication::palette().color(QPalette::Button));
}

Fmain::~Fmain() = default;

void Fmain::buildLayout()
{
    using namespace Widgets;
    QWidget *w = m_client;

    // Dish row
    caption(w, QStringLiteral("Label1"), QStringLiteral("料理名"), 120, 120, 1200);
    TexTitle =
        textBox(w, QStringLiteral("TexTitle"), QStringLiteral("料理名"), 120, 360, 3735, 270);
    TexID = hiddenBox(w, QStringLiteral("TexID"), QStringLiteral("1"));
    newDishButton =
        button(w, QStringLiteral("Command8"), QStringLiteral("新規追加"), 3960, 360, 975, 375);
    previousDishButton =
        button(w, QStringLiteral("Command7"), QStringLiteral("＜"), 5040, 360, 495, 375);
    nextDishButton =
        button(w, QStringLiteral("Command3"), QStringLiteral("＞"), 5640, 360, 495, 375);
    lastDishButton =
        button(w, QStringLiteral("Command4"), QStringLiteral("＞|"), 6240, 360, 495, 375);
    deleteDishButton =
        button(w, QStringLiteral("Command9"), QStringLiteral("削除"), 6840, 360, 975, 375);
    previousDishButton->setToolTip(QStringLiteral("前の料理"));
    nextDishButton->setToolTip(QStringLiteral("次の料理"));
    lastDishButton->setToolTip(QStringLiteral("最後の料理"));

    // The parts, in the tab order: food choice and line editor, recipe,
    // totals.
    m_lineEditor = new LineEditor(w, m_program, *m_dish);
    m_recipe = new RecipeView(w, m_program, *m_dish);
    m_lineEditor->attach(*m_recipe);
    m_totals = new TotalsPanel(w, m_program, *m_dish);

    auto *help = new QObject(this);
    help->setObjectName(QStringLiteral("CommonDialog1"));

    // The window may be enlarged: the food list and the recipe grid take the
    // extra room, the totals panel keeps to the right edge.
    auto *growth = new Growth(w, QSize(Twips::toPixels(8820), Twips::toPixels(6315)));
    m_lineEditor->grow(*growth);
    m_recipe->grow(*growth);
    m_totals->grow(*growth);
}

void Fmain::buildMenu()
{
    QMenuBar *bar = menuBar();
    auto menu = [](QMenu *parent, QMenuBar *top, const char *name, const QString &caption) {
        QMenu *m = parent ? parent->addMenu(caption) : top->addMenu(caption);
        m->setObjectName(QString::fromLatin1(name) + QStringLiteral("_menu"));
        m->menuAction()->setObjectName(QString::fromLatin1(name));
        return m;
    };
    auto item = [this](QMenu *parent, const char *name, const QString &caption) {
        QAction *action = parent->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setParent(this);
        parent->addAction(action);
        return action;
    };
    QMenu *file = m_fileMenu = menu(nullptr, bar, "Me_file", QStringLiteral("ﾌｧｲﾙ"));
    Me_file_config = item(file, "Me_file_config", QStringLiteral("設定"));
    Me_file_end = item(file, "Me_file_end", QStringLiteral("終了"));
    QMenu *data = menu(nullptr, bar, "Me_data", QStringLiteral("ﾃﾞｰﾀ"));
    Me_data_menusearch = item(data, "Me_data_menusearch", QStringLiteral("ﾒﾆｭｰ一覧"));
    Me_data_foodsearch = item(data, "Me_data_foodsearch", QStringLiteral("食材検索"));
    QMenu *edit = menu(data, nullptr, "Me_data_edit", QStringLiteral("食材編集"));
    Me_data_addnew = item(edit, "Me_data_addnew", QStringLiteral("新規登録"));
    Me_data_del = item(edit, "Me_data_del", QStringLiteral("削除"));
    buildStoreMenu(file, data, Me_file_end);
    QMenu *visible = menu(nullptr, bar, "Me_visible", QStringLiteral("表示"));
    connect(item(visible, "Me_view_menu", QStringLiteral("献立")), &QAction::triggered, this,
            [this] { m_program.showMenus(); });
    connect(item(visible, "Me_view_all", QStringLiteral("栄養成分一覧")), &QAction::triggered, this,
            [this] { m_program.showAll(); });
    QMenu *back = menu(visible, nullptr, "Me_visible_back", QStringLiteral("背景色"));
    Me_visible_back1 = item(back, "Me_visible_back1",
                            SettingsFile::colourCaption(SettingsFile::colourNames().at(0)));
    Me_visible_back2 = item(back, "Me_visible_back2",
                            SettingsFile::colourCaption(SettingsFile::colourNames().at(1)));
    Me_visible_back3 = item(back, "Me_visible_back3",
                            SettingsFile::colourCaption(SettingsFile::colourNames().at(2)));
    QMenu *help = menu(nullptr, bar, "Me_help", QStringLiteral("ﾍﾙﾌﾟ"));
    Me_help_Visible = item(help, "Me_help_Visible", QStringLiteral("ﾍﾙﾌﾟの表示"));
    Me_Ver = item(help, "Me_Ver", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
}

QAction *Fmain::addFileCommand(const char *name, const QString &caption)
{
    auto *action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    m_fileMenu->insertAction(Me_file_end, action);
    return action;
}

void Fmain::connectHandlers()
{
    connect(Me_file_config, &QAction::triggered, this, [this] { m_program.showConfig(); });
    connect(Me_file_end, &QAction::triggered, this, &QWidget::close);
    connect(Me_data_menusearch, &QAction::triggered, this, [this] { m_program.showDishList(); });
    connect(Me_data_foodsearch, &QAction::triggered, this, [this] { m_program.showFoodSearch(); });
    connect(Me_data_addnew, &QAction::triggered, this, &Fmain::newFood);
    connect(Me_data_del, &QAction::triggered, this, &Fmain::deleteFood);
    connect(Me_visible_back1, &QAction::triggered, this, &Fmain::ApplyBackColor1);
    connect(Me_visible_back2, &QAction::triggered, this, &Fmain::ApplyBackColor2);
    connect(Me_visible_back3, &QAction::triggered, this, &Fmain::ApplyBackColor3);
    connect(Me_help_Visible, &QAction::triggered, this, [this] { m_program.showHelp(); });
    connect(Me_Ver, &QAction::triggered, this, [this] { m_program.showAbout(); });

    connect(newDishButton, &QPushButton::clicked, this, &Fmain::newDish);
    connect(previousDishButton, &QPushButton::clicked, this, &Fmain::previousDish);
    connect(nextDishButton, &QPushButton::clicked, this, &Fmain::nextDish);
    connect(lastDishButton, &QPushButton::clicked, this, &Fmain::lastDish);
    connect(deleteDishButton, &QPushButton::clicked, this, &Fmain::deleteDish);
    connect(m_lineEditor, &LineEditor::foodAsked, this, &Fmain::showFood);
    connect(m_lineEditor, &LineEditor::linesChanged, this, &Fmain::UpdateDishTotals);
    TexTitle->installEventFilter(this);
}

bool Fmain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == TexTitle && event->type() == QEvent::FocusOut)
        storeDishName();
    return QMainWindow::eventFilter(watched, event);
}

void Fmain::enableDishButtons(bool enabled)
{
    m_lineEditor->enableLineButtons(enabled);
    for (QPushButton *button :
         {previousDishButton, nextDishButton, lastDishButton, deleteDishButton})
        button->setEnabled(enabled);
}

void Fmain::loadLists()
{
    LoadDishList();
    m_dish->last();
    m_lineEditor->LoadCategoryList();
    m_lineEditor->LoadUnitList();
    LoadDishComposition();
    UpdateDishTotals();
}

void Fmain::setBackColor(const QColor &color)
{
    QPalette palette = m_client->palette();
    palette.setColor(QPalette::Window, color);
    m_client->setPalette(palette);
}

QColor Fmain::backColor() const
{
    return m_client->palette().color(QPalette::Window);
}

void Fmain::ApplyBackColor1()
{
    setBackColor(QColor(255, 224, 192));
}

void Fmain::ApplyBackColor2()
{
    setBackColor(QApplication::palette().color(QPalette::Button));
}

void Fmain::ApplyBackColor3()
{
    setBackColor(QColor(128, 128, 255));
}

void Fmain::closeEvent(QCloseEvent *event)
{
    // Closing the main window ends the program at once.
    event->accept();
    m_program.end();
}

bool Fmain::takeFood(qint64 foodId)
{
    return m_lineEditor->takeFood(foodId);
}

bool Fmain::showDish(qint64 dishKey)
{
    if (!m_dish->show(dishKey))
        return false;
    refreshDish();
    return true;
}

void Fmain::refreshDish()
{
    LoadDishComposition();
    UpdateDishTotals();
}

void Fmain::reloadFoodLists()
{
    m_lineEditor->reloadFoodLists();
}

void Fmain::LoadFoodUnits()
{
    m_lineEditor->LoadFoodUnits();
}

std::optional<qint64> Fmain::selectedFood() const
{
    return m_lineEditor->selectedFood();
}

std::optional<qint64> Fmain::chosenFood() const
{
    return m_lineEditor->chosenFood();
}

qint64 Fmain::currentDish() const
{
    return m_dish->currentDish();
}

QString Fmain::currentDishName() const
{
    return TexTitle->text();
}
