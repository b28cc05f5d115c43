#pragma once

#include "core/nutrition/comparison.h"
#include "core/nutrition/intakes.h"
#include "core/nutrition/radarchart.h"

#include <QWidget>
#include <array>

class ChartSurface;
class DataSource;
class LineShape;
class Program;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// Comparison of the current dish with the recommended intakes of one person:
// an eleven-row table (reference height and weight, then nine nutrients) with
// the dish's calculated values and the standards of the chosen age and sex,
// and a nine-axis radar chart of both.
//
// The sums are those of the main window's current dish, taken again whenever
// it changes; the title names the dish. The standards row is looked up again
// on every age or sex change. Controls keep the names the
// program knows them by as their objectName; element i of an array is
// "<name>_<i>" (Kdata_3).
class FrmKij : public QWidget
{
    Q_OBJECT

public:
    explicit FrmKij(Program &program, QWidget *parent = nullptr);
    ~FrmKij() override;

    Program &program() const { return m_program; }

    // Binds the standard column (Kdata) to every row of kij.
    void BindStandards();
    // Sums the compared nutrients of the main window's current dish into the
    // hidden holders (Udata) and the calculated column (Data), rounded to two
    // decimals.
    void CalcComparisonTotals();
    // The main window's current dish changed (another dish, a changed line):
    // the calculated column, the title and the chart follow it.
    void followDish();
    // Moves AdoKij to the first row of the chosen age and sex, or past the
    // last row when there is none (the standard column is then empty).
    void FindStandard();
    // Redraws the chart: background, rings and spokes, then the polygons.
    void DrawChartGrid();
    void DrawChartPolygons();

    // The values the chart plots: the calculated and standard values of the
    // rows 2 to 10, as the Data and Kdata columns show them.
    RadarChart::Values chartValues() const;

private:
    // The controls; other code and the tests reach them by objectName.
    QLabel *Label2;
    QComboBox *Combo1;
    QRadioButton *OpMan;
    QRadioButton *OpWom;
    QLabel *Label3;
    std::array<QLabel *, 20> Label1{};   // 0-10 row captions, 11-19 axis captions
    std::array<QLabel *, 11> Data{};     // calculated values
    std::array<QLineEdit *, 11> Kdata{}; // standard values
    std::array<QLineEdit *, 11> Udata{}; // hidden holders of the raw sums
    ChartSurface *Picture1;
    LineShape *Line1;
    LineShape *Line2;
    QLabel *Label4;
    QLabel *Label5;
    QPushButton *Command1;
    QPushButton *Command2; // 栄養成分一覧
    DataSource *AdoKij;
    DataSource *AdoSumCA;

signals:
    // FindStandard ran for this age and sex code.
    void standardLookedUp(int age, int sex);
    // DrawChartGrid asked the surface for a new picture.
    void chartRedrawn();

protected:
    bool event(QEvent *event) override;

private:
    void buildLayout();
    void connectHandlers();
    void load();
    void ageChanged();
    void sexClicked();

    Program &m_program;
    Comparison::Session m_session;
    // The chart's full scales, from the store's standards when the window loads.
    RadarChart::Scales m_scales = RadarChart::fixedScales();
    // The full standards, to say which shown standard is the previous edition's.
    Intakes::Table m_intakes;
};
