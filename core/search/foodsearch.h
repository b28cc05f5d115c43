#pragma once

#include "core/search/readingsearch.h"
#include "core/store/database.h"

#include <QString>
#include <memory>
#include <optional>

class DataSource;

// The food search: foods whose reading contains a text, or every food ranked
// by its content of one nutrient, largest first. Both searches fill one record
// set of four columns: key, name, the value searched by, category name.
class FoodSearch
{
public:
    explicit FoodSearch(const QString &connectionString);
    ~FoodSearch();
    FoodSearch(const FoodSearch &) = delete;
    FoodSearch &operator=(const FoodSearch &) = delete;

    // The names the ranking offers, in list order.
    static QStringList rankingNames();
    // The food field a ranking name ranks by; empty when the text is not
    // exactly one of the names.
    static QString rankingFieldFor(const QString &name);

    static QString rankingQuery(const QString &field);
    // The typed words (ReadingSearch::words) folded to half-width katakana
    // and matched as literal text: quotes are doubled, and "%", "_" and the
    // escape character stand for themselves.
    static QString readingQuery(const QString &reading);

    // Runs a search; false, with the reason in errorString(), when the store
    // refuses it. A ranking by an empty field runs nothing and keeps the rows.
    bool byReading(const QString &reading);
    // Reads ahead what a search by reading of a large store may need (the
    // order of every food), so that the first keystroke does not wait for it.
    void prepareReadingSearch();
    bool byRanking(const QString &field);

    // The record set the results are in (the window's grid shows it).
    DataSource *results() const { return m_results.get(); }

    struct Found
    {
        qint64 id;
        QString name;
        QString category;
    };
    // The food of a result row; nothing for a row that is not there.
    std::optional<Found> foodAt(int row) const;

    QString errorString() const { return m_error; }

private:
    bool run(const QString &sql);
    const ReadingSearch::Ranks *ranksOf(Database &store);

    QString m_connectionString;
    std::unique_ptr<DataSource> m_results;
    QString m_error;
    // The order of the foods, as read when the foods table had this mark.
    ReadingSearch::Ranks m_ranks;
    Database::TableMark m_ranksMark;
    bool m_ranksRead = false;
};
