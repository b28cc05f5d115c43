// Recipe view of the current dish and navigation between dishes.
#include "app/fmain.h"
#include "app/program.h"

void Fmain::LoadDishComposition() {}
void Fmain::BindSelectedLine() {}
void Fmain::UpdateDishTotals()
{
    CalcDishWeight();
    CalcDishNutrients();
}
void Fmain::selectLine() {}
void Fmain::previousDish() {}
void Fmain::nextDish() {}
void Fmain::lastDish() {}
void Fmain::openComparison()
{
    program().showComparison();
}
