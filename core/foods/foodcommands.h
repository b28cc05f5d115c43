#pragma once

#include <QString>

// Commands on the food table that the main window runs for the chosen food.
namespace FoodCommands {

// Deletes the food of that key in one transaction. False, with the reason in
// *error, when the store refuses; deleting a food that does not exist changes
// nothing and succeeds.
bool remove(const QString &connectionString, qint64 id, QString *error = nullptr);

} // namespace FoodCommands
