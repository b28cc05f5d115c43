#include "app/fmain.h"

#include "app/bindings.h"
#include "app/growth.h"
#include "app/program.h"
#include "app/twips.h"
#include "app/widgets.h"
#include "core/dish/dishsession.h"
#include "core/foods/foodnames.h"
#include "core/settings/settingsfile.h"
#include "core/store/datasource.h"
#include "core/store/numberreader.h"
#include "core/store/queries.h"

#include <QAction>
#include <QApplication>
#include <QBrush>
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
    load();
}

Fmain::~Fmain() = default;

void Fmain::buildLayout()
{
    using namespace Widgets;
    QWidget *w = m_client;
    // Labels get the room up to the next control, their text at its top as
    // a label sized to its text shows it: sized so, they need no measuring
    // of their text before the first paint.
    const auto caption = [w](const QString &name, const QString &text, int left, int top, int width,
                             int height = 240) {
        QLabel *label = Widgets::label(w, name, text, left, top, width, height);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    };

    // Totals panel background first, so that everything else lies above it.
    filledRect(w, QStringLiteral("Shape1"), QColor(255, 255, 192), 5880, 960, 2895, 1935);
    filledRect(w, QStringLiteral("Shape2"), QColor(255, 255, 192), 5880, 2880, 2895, 3375);

    // Dish row
    caption(QStringLiteral("Label1"), QStringLiteral("料理名"), 120, 120, 1200);
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

    // Food choice
    caption(QStringLiteral("Label2"), QStringLiteral("食品区分"), 120, 720, 1200);
    categoryList = new DataList(w);
    categoryList->setObjectName(QStringLiteral("DataList2"));
    Twips::place(categoryList, 120, 960, 2535, 1500);
    caption(QStringLiteral("Label3"), QStringLiteral("食品名"), 2880, 720, 1200);
    foodList = new DataList(w);
    foodList->setObjectName(QStringLiteral("DataList3"));
    Twips::place(foodList, 2760, 960, 2535, 1500);
    foodButton =
        button(w, QStringLiteral("Command1"), QStringLiteral("食材"), 5040, 2760, 735, 540);

    // Line editor
    caption(QStringLiteral("Label4"), QStringLiteral("食品名"), 120, 2640, 1200);
    caption(QStringLiteral("Label5"), QStringLiteral("数量"), 2760, 2640, 960);
    caption(QStringLiteral("Label6"), QStringLiteral("単位"), 3840, 2640, 1080);
    foodNameBox =
        textBox(w, QStringLiteral("Text1"), QStringLiteral("食品名"), 120, 2880, 2535, 270);
    foodIdBox = hiddenBox(w, QStringLiteral("Text4"), QStringLiteral("SID"));
    quantityBox = textBox(w, QStringLiteral("Text2"), QStringLiteral("数量"), 2760, 2880, 975, 270);
    unitCombo = new DataCombo(w);
    unitCombo->setObjectName(QStringLiteral("DataCombo1"));
    Twips::place(unitCombo, 3840, 2880, 1095, 300);
    weightFactorBox = hiddenBox(w, QStringLiteral("Text3"), QStringLiteral("グラム数"));
    addLineButton =
        button(w, QStringLiteral("Command2"), QStringLiteral("追加"), 1200, 3240, 975, 375);
    deleteLineButton =
        button(w, QStringLiteral("Command6"), QStringLiteral("削除"), 2280, 3240, 975, 375);
    updateLineButton =
        button(w, QStringLiteral("Command11"), QStringLiteral("更新"), 3360, 3240, 975, 375);

    // Recipe
    QLabel *recipe = caption(QStringLiteral("Label7"), QStringLiteral("レシピ"), 120, 3480, 960);
    recipe->setFont(Widgets::font(QStringLiteral("ＭＳ Ｐゴシック"), 9, true));
    recipeGrid = new DataGrid(w);
    recipeGrid->setObjectName(QStringLiteral("DataGrid1"));
    Twips::place(recipeGrid, 120, 3720, 5655, 2535);
    TexKouID = hiddenBox(w, QStringLiteral("TexKouID"), QString());

    // Totals panel
    QLabel *heading =
        caption(QStringLiteral("Label8"), QStringLiteral("栄養成分値"), 6000, 1080, 2640, 360);
    heading->setFont(Widgets::font(QStringLiteral("ＭＳ Ｐ明朝"), 12, true));
    struct Row
    {
        const char *label;
        QLineEdit **box;
        const char *name;
        int y;
        int width;
        const char *unit;
        int unitX;
    };
    const Row rows[] = {
        {"合計重量", &TexSumW100, "TexSumW100", 1560, 975, "g", 8040},
        {"総カロリー", &TexSumC, "TexSumC", 1920, 975, "kcal", 8040},
        {"食塩量", &TexNa, "TexNa", 2400, 975, "g", 8040},
        {"水分", &waterBox, "Text5", 3120, 735, "g", 7800},
        {"タンパク質", &proteinBox, "Text6", 3480, 735, "g", 7800},
        {"脂質", &fatBox, "Text7", 3840, 735, "g", 7800},
        {"糖質", &sugarBox, "Text8", 4200, 735, "g", 7800},
        {"繊維", &fibreBox, "Text10", 4560, 735, "g", 7800},
        {"灰分", &ashBox, "Text9", 4920, 735, "g(100g中)", 7800},
    };
    int n = 10;
    for (const Row &row : rows) {
        // "糖質" and "繊維" stand right of the narrow "炭水化物" label.
        const bool carbohydrate = row.y == 4200 || row.y == 4560;
        const int left = carbohydrate ? 6510 : 6120;
        caption(QStringLiteral("Label%1").arg(n++), QString::fromUtf8(row.label), left, row.y,
                6960 - left);
        *row.box =
            textBox(w, QString::fromLatin1(row.name), QString(), 6960, row.y, row.width, 270);
        // Units reach to the panel's right edge.
        caption(QStringLiteral("Label%1").arg(n++), QString::fromUtf8(row.unit), row.unitX, row.y,
                8775 - row.unitX);
    }
    // The narrow "炭水化物" label spans the sugar and fibre rows.
    label(w, QStringLiteral("Label%1").arg(n++), QStringLiteral("炭水\n化物"), 6120, 4260, 375,
          555);
    comparisonButton =
        button(w, QStringLiteral("Command10"), QStringLiteral("基準値"), 6720, 5520, 1215, 375);

    TexSumW = hiddenBox(w, QStringLiteral("TexSumW"), QString());
    TexSumNa = hiddenBox(w, QStringLiteral("TexSumNa"), QString());
    TexSUI = hiddenBox(w, QStringLiteral("TexSUI"), QString());
    TexTAN = hiddenBox(w, QStringLiteral("TexTAN"), QString());
    TexSST = hiddenBox(w, QStringLiteral("TexSST"), QString());
    TexTST = hiddenBox(w, QStringLiteral("TexTST"), QString());
    TexTSS = hiddenBox(w, QStringLiteral("TexTSS"), QString());
    TexKBN = hiddenBox(w, QStringLiteral("TexKBN"), QString());

    auto source = [this](const char *name) {
        auto *ds = new DataSource(this);
        ds->setObjectName(QString::fromLatin1(name));
        return ds;
    };
    AdoEys1 = source("AdoEys1");
    AdoEys2 = source("AdoEys2");
    // The dish's sources are the session's; the window shows them.
    AdoMnu = m_dish->dishes();
    AdoTni = m_dish->units();
    AdoKou = m_dish->lines();
    AdoKou2 = m_dish->selection();
    AdoSumW = m_dish->weightSum();
    AdoSumC = m_dish->nutrientSums();
    auto *help = new QObject(this);
    help->setObjectName(QStringLiteral("CommonDialog1"));

    // The window may be enlarged: the food list and the recipe grid take the
    // extra room, the totals panel keeps to the right edge.
    auto *growth = new Growth(w, QSize(Twips::toPixels(8820), Twips::toPixels(6315)));
    const int panelLeft = Twips::toPixels(5880);
    const int panelTop = Twips::toPixels(960);
    for (QWidget *child : w->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (child == recipeGrid)
            growth->add(child, Growth::Wider | Growth::Taller);
        else if (child == foodList)
            growth->add(child, Growth::Wider);
        else if (child == foodButton || (child->x() >= panelLeft && child->y() >= panelTop))
            growth->add(child, Growth::FollowRight);
    }
    // A food's full official name is the tooltip of its entry and its cell.
    // An official food whose values were changed is tinted and says so.
    foodList->setDecoration([this](int row, int, int role) -> QVariant {
        const qint64 food =
            AdoEys2->value(row, AdoEys2->fieldIndex(QStringLiteral("SID"))).toLongLong();
        const bool changed = program().differsFromOfficial(food).value_or(false);
        if (role == Qt::BackgroundRole)
            return changed ? QVariant(QBrush(Widgets::changedOfficialTint)) : QVariant();
        const QString name = FoodNames::fullName(program().DbConnectionString, food);
        return changed ? name + QStringLiteral("\n") + Widgets::changedOfficialNote : name;
    });
    recipeGrid->setGrowingColumn(0); // the food's name (素材)
    recipeGrid->setDecoration([this](int row, int column, int role) -> QVariant {
        if (role != Qt::ToolTipRole || column != 0)
            return {};
        return FoodNames::fullName(
            program().DbConnectionString,
            AdoKou->value(row, AdoKou->fieldIndex(QStringLiteral("食品コード"))).toLongLong());
    });
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
    connect(categoryList, &DataList::itemClicked, this, &Fmain::chooseCategory);
    connect(foodList, &DataList::itemClicked, this, &Fmain::chooseFood);
    connect(foodButton, &QPushButton::clicked, this, &Fmain::showFood);
    connect(quantityBox, &QLineEdit::textChanged, this, &Fmain::recalcWeight);
    connect(unitCombo, &DataCombo::changed, this, &Fmain::recalcWeight);
    connect(foodIdBox, &QLineEdit::textChanged, this, &Fmain::LoadFoodUnits);
    connect(addLineButton, &QPushButton::clicked, this, &Fmain::addLine);
    connect(deleteLineButton, &QPushButton::clicked, this, &Fmain::deleteLine);
    connect(updateLineButton, &QPushButton::clicked, this, &Fmain::updateLine);
    connect(recipeGrid, &DataGrid::rowClicked, this, &Fmain::selectLine);
    // A row reached by the keyboard is the current line as a clicked one is.
    connect(recipeGrid, &DataGrid::rowChosen, this, &Fmain::selectLine);
    connect(quantityBox, &QLineEdit::returnPressed, this, &Fmain::quantityEntered);
    connect(comparisonButton, &QPushButton::clicked, this, &Fmain::openComparison);
    TexTitle->installEventFilter(this);
}

bool Fmain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == TexTitle && event->type() == QEvent::FocusOut)
        storeDishName();
    return QMainWindow::eventFilter(watched, event);
}

QList<QPushButton *> Fmain::dishButtons() const
{
    return {addLineButton,  deleteLineButton, updateLineButton, previousDishButton,
            nextDishButton, lastDishButton,   deleteDishButton};
}

// Runs when the window is loaded, before the lists are bound.
void Fmain::load()
{
    foodIdBox->setText(QStringLiteral("0"));
    // No dish is current yet: the totals are computed once the start-up has
    // made the last dish current, before the window is first shown.
    for (QLineEdit *box : {TexSumC, TexSumW100, TexSST, TexSUI, TexTAN, TexTST, TexKBN, waterBox,
                           proteinBox, fatBox, sugarBox, ashBox, fibreBox, TexNa})
        box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
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
    DataSource food;
    food.setConnectionString(program().DbConnectionString);
    food.setRecordSource(Queries::foodChoice(foodId));
    if (!food.refresh() || food.eof())
        return false;
    const QString id = food.text(QStringLiteral("SID"));
    const QString name = food.text(QStringLiteral("SNM"));
    foodNameBox->setText(name);
    foodIdBox->setText(id);
    quantityBox->setText(QStringLiteral("100"));
    unitCombo->setText(QStringLiteral("ｇ"));
    // A category that is not in the list selects nothing; the food list then
    // shows no category's foods.
    categoryList->setBoundText(food.text(QStringLiteral("BID")));
    LoadCategoryFoods();
    foodList->setBoundText(id);
    return true;
}

bool Fmain::showDish(qint64 dishKey)
{
    if (!m_dish->show(dishKey))
        return false;
    LoadDishComposition();
    UpdateDishTotals();
    return true;
}

void Fmain::reloadFoodLists()
{
    // Re-running the category query resets the list's selection.
    const QString category = categoryList->boundText();
    LoadCategoryList();
    if (!category.isEmpty() && categoryList->boundText() != category)
        categoryList->setBoundText(category);
    LoadCategoryFoods();
}

std::optional<qint64> Fmain::selectedFood() const
{
    const std::optional<qint64> food = NumberReader::key(foodList->boundText());
    return food && *food != 0 ? food : std::nullopt;
}

std::optional<qint64> Fmain::chosenFood() const
{
    if (const std::optional<qint64> listed = selectedFood())
        return listed;
    const std::optional<qint64> food = NumberReader::key(foodIdBox->text());
    return food && *food != 0 ? food : std::nullopt;
}

qint64 Fmain::currentDish() const
{
    return m_dish->currentDish();
}

QString Fmain::currentDishName() const
{
    return TexTitle->text();
}
