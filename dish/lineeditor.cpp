// The line editor: choosing a food, the weight factor, adding, updating and
// deleting ingredient lines.
#include "app/fmain.h"

void Fmain::chooseCategory()
{
    LoadCategoryFoods();
}
void Fmain::chooseFood() {}
void Fmain::recalcWeight() {}
void Fmain::addLine() {}
void Fmain::updateLine() {}
void Fmain::deleteLine() {}
void Fmain::DeleteSelectedLine() {}
