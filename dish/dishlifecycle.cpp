// Creating, renaming and deleting dishes.
#include "app/fmain.h"

void Fmain::newDish() {}
void Fmain::deleteDish() {}
void Fmain::storeDishName() {}
