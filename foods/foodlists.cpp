#include "foods/foodlists.h"

#include "app/fmain.h"
#include "app/bindings.h"

namespace FoodLists {

void reload(Fmain &fmain)
{
    // Re-running the category query resets the list's selection.
    const QString category = fmain.categoryList->boundText();
    fmain.LoadCategoryList();
    if (!category.isEmpty() && fmain.categoryList->boundText() != category)
        fmain.categoryList->setBoundText(category);
    fmain.LoadCategoryFoods();
}

} // namespace FoodLists
