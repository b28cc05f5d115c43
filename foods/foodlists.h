#pragma once

class Fmain;

namespace FoodLists {

// Reloads the main window's category list and the food list of the chosen
// category (LoadCategoryList, then LoadCategoryFoods) after foods were added,
// changed or deleted. The category chosen before stays chosen, so that the
// food list shows that category's foods as they now are.
void reload(Fmain &fmain);

} // namespace FoodLists
