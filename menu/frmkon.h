#pragma once

#include "core/menu/menuplan.h"
#include "core/store/menustore.h"

#include <QHash>
#include <QWidget>
#include <vector>

class Program;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

// 献立: days of meals made of dishes. The list of days (KonDays) with their
// energy and salt; the chosen day's meals as a grid (KonGrid) of dishes with
// portions, per meal and day totals; whom the day is planned for (KonAge,
// KonSex, KonPal, KonStage); the average per day of the days selected
// together in the list (KonPeriod); and the day and the period judged
// against the person's standards nutrient by nutrient (KonJudge) with their
// energy balance (KonPfc). Every change is written at once and is one undo
// step.
class FrmKon : public QWidget
{
    Q_OBJECT

public:
    explicit FrmKon(Program &program, QWidget *parent = nullptr);
    ~FrmKon() override;

    // Reads the days, the dishes and the chosen day again (the store
    // changed under the window: an undo, a restore, a dish renamed).
    void reload();
    // The chosen day's key, 0 when there is none.
    qint64 currentDay() const;
    // Makes the day current; false when there is none of that key.
    bool showDay(qint64 day);

private:
    // The controls; other code and the tests reach them by objectName.
    QTableWidget *KonDays;
    QPushButton *KonNew;
    QPushButton *KonCopy;
    QPushButton *KonRename;
    QPushButton *KonDelete;
    QSpinBox *KonAge;
    QComboBox *KonSex;
    QComboBox *KonPal;
    QComboBox *KonStage;
    QTableWidget *KonGrid;
    QComboBox *KonMeal;
    QComboBox *KonDish;
    QPushButton *KonAdd;
    QPushButton *KonRemove;
    QPushButton *KonUp;
    QPushButton *KonDown;
    QPushButton *KonToMeal;
    QLabel *KonShares;
    QLabel *KonPeriod;
    QPushButton *KonPrint;
    QPushButton *KonPdf;
    QPushButton *KonExport;
    QTableWidget *KonJudge;
    QLabel *KonPfc;

protected:
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;

private:
    void build();
    // Offers the dishes whose name holds the typed text in KonDish.
    void offerDishes();
    // Reads the days and their entries again; `keep` becomes the current
    // day, and the days of `alsoSelected` are selected with it.
    void fillDays(qint64 keep, const std::vector<qint64> &alsoSelected = {});
    // Reads everything again when the store changed since the window last
    // read it (a dish edited, renamed or deleted in the main window, a food
    // changed), keeping the chosen days: no figure or name shown is stale.
    void followStore();
    // The energy and salt of the days the list shows (read on demand: a
    // year of menus reads only the dishes of the rows in sight).
    void showDayFigures();
    void showDayFigures(int row);
    // Reads one day's entries again after a change and shows it.
    void refreshDay(qint64 day);
    // Reads the figures of the dishes the days use (for the list: only the
    // energy and salt); false after telling why.
    bool needDishes(const std::vector<qint64> &days, Menus::Depth depth = Menus::Depth::Every);
    std::vector<Menus::Entry> entriesOf(const std::vector<Menus::Day> &days) const;
    void fillDay();
    void fillPeriod();
    // Shows a judgement in KonJudge from the column on (figure, 充足率,
    // 判定); the standards too when `standards` is set.
    void showJudgement(int column, const Menus::Totals &totals, const Menus::Judgement &judgement,
                       bool standards);
    void showBalance();
    void dayChosen();
    void personChanged();
    void portionEdited(int row, int column);
    void newDay();
    void copyDay();
    void renameDay();
    void deleteDay();
    void addEntry();
    void removeEntry();
    void moveEntry(int step);
    void moveToMeal();
    void printSheet();
    void writePdf();
    void writeFile();
    // The chosen days' plan, their dishes read; false when there is none.
    bool chosenPlan(Menus::Plan *plan);
    // The entry of the grid's current row; 0 for a total row or none.
    qint64 currentEntry() const;
    std::vector<Menus::Day> selectedDays() const;
    // Asks a date (empty allowed) and a name; false when cancelled.
    bool askDay(const QString &title, QString *date, QString *name);
    bool changed(bool ok, const QString &error);

    Program &m_program;
    Menus::MenuStore m_store;
    Menus::DishBook m_dishes;
    std::vector<Menus::Day> m_days;
    QHash<qint64, std::vector<Menus::Entry>> m_entries; // by day
    std::vector<bool> m_figuresShown;                   // by row of KonDays
    Intakes::Table m_standards;
    std::vector<int> m_judged; // the components of KonJudge's rows
    QString m_dayBalance, m_periodBalance;
    bool m_filling = false;
    Menus::MenuStore::Mark m_seen; // the store as the window last read it
};
