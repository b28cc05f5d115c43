#include "core/foods/foodcommands.h"

#include "core/store/database.h"

namespace FoodCommands {

bool remove(const QString &connectionString, qint64 id, QString *error)
{
    const std::shared_ptr<Database> db = Database::open(connectionString, error);
    if (!db)
        return false;
    return db->write(
        [&](QString *err) {
            return db->run(QStringLiteral("DELETE FROM eys WHERE SID=?1"), {id}, err);
        },
        error);
}

} // namespace FoodCommands
