// The main window's store commands: backup, restore, undo and redo, and the
// switch that turns the edit commands off.
#include "app/fmain.h"
#include "app/program.h"
#include "core/dish/dishsession.h"
#include "core/store/datasource.h"
#include "dish/lineeditor.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

void Fmain::buildStoreMenu(QMenu *file, QMenu *data, QAction *before)
{
    auto item = [this](const char *name, const QString &caption) {
        auto *action = new QAction(caption, this);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    Me_file_backup = item("Me_file_backup", QStringLiteral("バックアップ"));
    Me_file_restore = item("Me_file_restore", QStringLiteral("復元"));
    file->insertAction(before, Me_file_backup);
    file->insertAction(before, Me_file_restore);
    file->insertSeparator(before);
    Me_data_undo = item("Me_data_undo", QStringLiteral("元に戻す"));
    Me_data_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    Me_data_redo = item("Me_data_redo", QStringLiteral("やり直し"));
    Me_data_redo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    data->addSeparator();
    data->addAction(Me_data_undo);
    data->addAction(Me_data_redo);
    connect(Me_file_backup, &QAction::triggered, this, [this] { m_program.backupStore(); });
    connect(Me_file_restore, &QAction::triggered, this, [this] { m_program.restoreStore(); });
    connect(Me_data_undo, &QAction::triggered, this, [this] {
        storeDishName(); // a rename still in the box is the last change
        m_program.undo();
    });
    connect(Me_data_redo, &QAction::triggered, this, [this] { m_program.redo(); });
}

void Fmain::setEditable(bool editable)
{
    m_editable = editable;
    const bool hasDish = m_dish->hasDish();
    newDishButton->setEnabled(editable);
    m_lineEditor->enableLineButtons(editable && hasDish);
    deleteDishButton->setEnabled(editable && hasDish);
    TexTitle->setReadOnly(!editable);
    for (QAction *action : {Me_data_addnew, Me_data_del, Me_data_undo, Me_data_redo})
        action->setEnabled(editable);
}

void Fmain::reloadFromStore(qint64 preferredDish)
{
    // A name typed but not stored belongs to the state that was replaced:
    // the reload forgets it.
    const qint64 current = currentDish();
    LoadDishList();
    if (!(preferredDish > 0 && showDish(preferredDish)) && !(current > 0 && showDish(current))) {
        m_dish->last();
        refreshDish();
    }
    const bool hasDish = m_dish->hasDish();
    for (QPushButton *button : {previousDishButton, nextDishButton, lastDishButton})
        button->setEnabled(hasDish);
    setEditable(m_editable);
    reloadFoodLists();
}
