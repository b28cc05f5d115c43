// Totals of the current dish: weight, energy, salt and composition per 100 g.
#include "app/fmain.h"

void Fmain::CalcDishWeight() {}
void Fmain::CalcDishNutrients() {}
