#include "foods/foodlists.h"

#include "app/fmain.h"

namespace FoodLists {

void reload(Fmain &fmain)
{
    fmain.reloadFoodLists();
}

} // namespace FoodLists
