#pragma once

#include <QString>
#include <memory>
#include <optional>

class DataSource;

// Every dish that has lines, with its energy, total weight and salt, computed
// by one aggregate query. Rows: key, name, energy (kcal), weight (g), salt (g,
// rounded half up to two decimals by the query), 人分 (the servings the
// recipe is written for).
class DishList
{
public:
    explicit DishList(const QString &connectionString);
    ~DishList();
    DishList(const DishList &) = delete;
    DishList &operator=(const DishList &) = delete;

    static QString overviewQuery();

    // Runs the query; false, with the reason in errorString(), when the store
    // refuses it.
    bool load();
    DataSource *rows() const { return m_rows.get(); }
    // The dish key of a row; nothing for a row that is not there.
    std::optional<qint64> keyAt(int row) const;

    QString errorString() const { return m_error; }

private:
    QString m_connectionString;
    std::unique_ptr<DataSource> m_rows;
    QString m_error;
};
