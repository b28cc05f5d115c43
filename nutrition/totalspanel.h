#pragma once

#include <QObject>

class DishSession;
class Growth;
class Program;
class QLineEdit;
class QWidget;
struct DishTotals;

// The totals panel of the main window: weight, energy, salt and composition
// per 100 g of the current dish, as the dish session counts them, and the
// "基準値" button that opens the comparison. The hidden holders (TexSumW,
// TexSUI …) show the raw sums. Its controls lie on the main window's client
// area, its background under every other control.
class TotalsPanel : public QObject
{
    Q_OBJECT

public:
    TotalsPanel(QWidget *client, Program &program, DishSession &dish);

    // The panel keeps to the right edge of an enlarged window.
    void grow(Growth &growth);

    // A field without a value is empty, so a dish without lines shows
    // nothing and a dish weighing 0 g shows no per-100 g values, whatever the
    // previous dish showed.
    void showTotals(const DishTotals &totals);

private:
    Program &m_program;
    DishSession &m_dish;
    QList<QWidget *> m_shown;
    QLineEdit *TexSumW100;
    QLineEdit *TexSumC;
    QLineEdit *TexNa;
    QLineEdit *waterBox;   // Text5
    QLineEdit *proteinBox; // Text6
    QLineEdit *fatBox;     // Text7
    QLineEdit *sugarBox;   // Text8
    QLineEdit *fibreBox;   // Text10
    QLineEdit *ashBox;     // Text9
    QLineEdit *TexSumW;
    QLineEdit *TexSumNa;
    QLineEdit *TexSUI;
    QLineEdit *TexTAN;
    QLineEdit *TexSST;
    QLineEdit *TexTST;
    QLineEdit *TexTSS;
    QLineEdit *TexKBN;
};
