#pragma once

#include <QString>
#include <QVariantList>
#include <optional>

struct sqlite3;
class Database;

// The food table as installed with the program (the ready store), read-only:
// what an official food's values were before the user changed them.
class OfficialTable
{
public:
    // installedStore: the ready store's file; empty or missing: no table.
    explicit OfficialTable(const QString &installedStore);
    ~OfficialTable();
    OfficialTable(const OfficialTable &) = delete;
    OfficialTable &operator=(const OfficialTable &) = delete;

    bool isAvailable() const { return m_db != nullptr; }

    // The values the comparison covers: the food's value fields (eys) and its
    // components (sbn), as db holds them; nothing for a food db lacks.
    static std::optional<QVariantList> valuesOf(sqlite3 *db, qint64 food);

    // Whether two lists of valuesOf() hold the same values (numbers compared
    // as numbers).
    static bool sameValues(const QVariantList &a, const QVariantList &b);
    // Writes values (a list of valuesOf()) as the food's values in db; no
    // component row is written when values hold no component at all. For use
    // inside a transaction. False with *error when db refuses.
    static bool putValues(sqlite3 *db, qint64 food, const QVariantList &values, QString *error);

    // Whether store's food differs from the installed table's in a value or
    // a component. Nothing for a food the installed table lacks (the user's
    // own, a later addition) or when there is no installed table.
    std::optional<bool> differs(sqlite3 *store, qint64 food) const;

    // Puts the installed table's values of the food back into store, in one
    // write (one undo step). False with *error when the table lacks the food
    // or the store refuses.
    bool restore(Database &store, qint64 food, QString *error) const;

private:
    sqlite3 *m_db = nullptr;
};
