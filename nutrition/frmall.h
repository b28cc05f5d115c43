#pragma once

#include "core/nutrition/dishcomponents.h"
#include "core/nutrition/intakes.h"

#include <QWidget>

class Program;
class QComboBox;
class QLabel;
class QTableWidget;

// 栄養成分一覧: every component of the main window's current dish in the food
// table's order, for the whole dish, one serving and 100 g, beside the day's
// standards of a chosen person, the share of the standard and the judgement;
// below, the energy balance of protein, fat and carbohydrate as numbers and a
// bar. The dish is read when the window opens and again whenever the main
// window shows its totals anew; a change of the person only looks the
// standards up again.
class FrmAll : public QWidget
{
    Q_OBJECT

public:
    explicit FrmAll(Program &program, QWidget *parent = nullptr);
    ~FrmAll() override;

    // Reads the main window's current dish again and shows it.
    void reload();
    // Shows the rows for the person the boxes choose; an age outside 0-100
    // is refused with a message and the rows stay as they were.
    void showPerson();

    Intakes::Person person() const { return m_person; }

private:
    void buildLayout();
    // The stage box offers the stages only where the person may have one.
    void updateStages();

    Program &m_program;
    QLabel *m_dishName;
    QLabel *m_group;
    QComboBox *AllAge;
    QComboBox *AllSex;
    QComboBox *AllPal;
    QComboBox *AllStage;
    QComboBox *AllBasis;
    QTableWidget *AllGrid;
    QWidget *PfcBar;
    QLabel *m_pfcText;

    Intakes::Table m_table;
    DishComponents::Totals m_totals;
    double m_servings = 1;
    std::optional<double> m_finished;
    Intakes::Person m_person{30, 0, Intakes::Activity::Moderate, Intakes::Stage::None};
    QString m_lastAgeText;
};
