// The main window's commands on the food table.
#include "app/fmain.h"

void Fmain::showFood() {}
void Fmain::newFood() {}
void Fmain::deleteFood() {}
