#include "search/frmschm.h"

#include "app/bindings.h"
#include "app/fmain.h"
#include "app/growth.h"
#include "app/program.h"
#include "app/prompts.h"
#include "app/twips.h"
#include "app/widgets.h"
#include "core/dish/portion.h"
#include "core/store/datasource.h"
#include "core/store/numbertext.h"

#include <QBrush>
#include <QFrame>
#include <QPushButton>

FrmSchM::FrmSchM(Program &program, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_program(program)
    , m_list(program.DbConnectionString)
{
    setObjectName(QStringLiteral("frmSchM"));
    setWindowTitle(QStringLiteral("ﾒﾆｭｰ一覧"));
    Twips::resizeClient(this, 6420, 5595);

    const QColor panel(192, 192, 255);
    Shape1 = Widgets::filledRect(this, QStringLiteral("Shape1"), panel, 0, 120, 3255, 855);
    Shape2 = Widgets::filledRect(this, QStringLiteral("Shape2"), panel, 3360, 120, 3015, 855);

    DataGrid1 = new DataGrid(this);
    DataGrid1->setObjectName(QStringLiteral("DataGrid1"));
    Twips::place(DataGrid1, 0, 1080, 6375, 3975);

    AdoMnu = m_list.rows();
    AdoMnu->setObjectName(QStringLiteral("AdoMnu"));
    AdoMnu->setParent(this); // found among the window's objects; the session deletes it first

    Command1 = Widgets::button(this, QStringLiteral("Command1"), QStringLiteral("OK"), 4320, 5160,
                               975, 375);
    Command2 = Widgets::button(this, QStringLiteral("Command2"), QStringLiteral("ｷｬﾝｾﾙ"), 5400,
                               5160, 975, 375);

    auto *growth = new Growth(this);
    growth->add(DataGrid1, Growth::Wider | Growth::Taller);
    DataGrid1->setGrowingColumn(1); // the dish's name
    growth->add(Command1, Growth::FollowRight | Growth::FollowBottom);
    growth->add(Command2, Growth::FollowRight | Growth::FollowBottom);
    // Energy and salt that pass over foods whose value is unknown are tinted,
    // their tooltip names the foods.
    DataGrid1->setDecoration([this](int row, int column, int role) -> QVariant {
        const QString field = column == 2   ? QStringLiteral("ENC")
                              : column == 4 ? QStringLiteral("NAT")
                                            : QString();
        const QStringList foods =
            field.isEmpty() ? QStringList()
                            : m_unknown.value(AdoMnu->value(row, 0).toLongLong()).value(field);
        if (foods.isEmpty())
            return {};
        return role == Qt::ToolTipRole ? QVariant(UnknownValues::note(foods))
                                       : QVariant(QBrush(Widgets::unknownTint));
    });

    connect(Command1, &QPushButton::clicked, this, &FrmSchM::openDish);
    connect(Command2, &QPushButton::clicked, this, &FrmSchM::cancel);

    LoadDishOverview();
}

QString FrmSchM::overviewQuery()
{
    return DishList::overviewQuery();
}

void FrmSchM::LoadDishOverview()
{
    if (!m_list.load()) {
        m_program.prompts().message(QStringLiteral("料理の一覧を読み込めませんでした。\n") +
                                        m_list.errorString(),
                                    Prompts::Buttons::Ok, Prompts::Icon::Critical);
        return;
    }
    m_unknown = UnknownValues::ofAllDishes(m_program.DbConnectionString,
                                           {QStringLiteral("ENC"), QStringLiteral("NAT")});
    DataGrid1->setDataSource(AdoMnu);
    DataGrid1->setColumnWidthTwips(0, 0);
    for (int column = 1; column <= 4; ++column)
        DataGrid1->setColumnWidthTwips(column, 1000);
    for (int column = 2; column <= 4; ++column)
        DataGrid1->setColumnAlignment(column, Qt::AlignRight);
    DataGrid1->setColumnCaption(1, QStringLiteral("ﾒﾆｭｰ名"));
    DataGrid1->setColumnCaption(2, QStringLiteral("ｴﾈﾙｷﾞｰ"));
    DataGrid1->setColumnCaption(3, QStringLiteral("合計重量"));
    DataGrid1->setColumnCaption(4, QStringLiteral("食塩量"));
    // 人分 at the right of the columns the list always had.
    DataGrid1->setColumnWidthTwips(5, 600);
    DataGrid1->setColumnAlignment(5, Qt::AlignRight);
    DataGrid1->setColumnCaption(5, QStringLiteral("人分"));
    DataGrid1->setColumnFormat(
        5, [](const QVariant &value) { return Portion::servingsText(value.toDouble()); });
    // Energy and weight come unrounded from the query; they are shown with
    // one decimal. The salt is shown as the query rounded it.
    const ValueFormat oneDecimal = [](const QVariant &value) {
        return NumberText::grouped(value.toDouble(), 1);
    };
    DataGrid1->setColumnFormat(2, oneDecimal);
    DataGrid1->setColumnFormat(3, oneDecimal);
    DataGrid1->viewport()->update();
}

void FrmSchM::OpenChosenDish()
{
    Fmain *main = m_program.fmain();
    if (!main)
        return;
    // The dish key of the grid's current row, kept whole: keys are not
    // limited to 16 bits.
    const std::optional<qint64> key = m_list.keyAt(DataGrid1->currentRecord());
    if (!key)
        return; // no row: nothing to open
    // A dish deleted since the list was made is no longer there; the current
    // dish stays as it was.
    if (!main->showDish(*key))
        m_program.prompts().message(
            QStringLiteral("選んだ料理が見つかりません。ほかの操作で削除された可能性があります。"),
            Prompts::Buttons::Ok, Prompts::Icon::Information);
}

void FrmSchM::openDish()
{
    OpenChosenDish();
    close();
}

void FrmSchM::cancel()
{
    close();
}
