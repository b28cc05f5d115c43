#pragma once

#include <QList>
#include <QString>
#include <optional>

// The full dietary reference intakes as published in the data folder's
// standards-2025-full/: every nutrient and indicator by age group and sex
// (dri-2025-full.csv), the additions and values for pregnancy and lactation
// (pregnancy-lactation-2025.csv) and the school-lunch standards
// (school-lunch.csv). They become the rows of kjz and kjg, one value a row; an
// empty cell is no row (no standard). Where the current edition leaves the
// reference height or vitamins B1, B2 and niacin empty, the previous
// edition's value of the same group is taken and its edition is recorded.
namespace IntakeFiles {

struct Row
{
    std::optional<int> from, to; // age group; to empty for the open group; both empty for a stage
    int sex = 0;                 // 1 male, 0 female
    int stage = 0;               // 0 none, 1-3 pregnancy early/mid/late, 4 lactation
    QString nutrient;            // "calcium_mg"
    QString indicator;           // "rda", "dg_max", "rda_addition" …
    double value = 0;
    int edition = 2025;
};

struct SchoolRow
{
    QString group, name;
    int from = 0, to = 0;
    QString nutrient;
    double value = 0;
};

struct Tables
{
    QList<Row> rows;
    QList<SchoolRow> school;
};

// The nutrient and indicator a column of dri-2025-full.csv stands for
// ("calcium_mg_ul" is calcium_mg, ul; "energy_kcal" is energy_kcal, eer).
std::pair<QString, QString> columnMeaning(const QString &column);

// Reads the files; previousCsv (the previous edition's short table) and
// schoolCsv may be empty. Stops at the first fault (a header it cannot read,
// a text that is not a number, a row of the wrong length) with a message
// naming file, line and column.
bool read(const QString &fullCsv, const QString &previousCsv, const QString &pregnancyCsv,
          const QString &schoolCsv, Tables *tables, QString *error);

} // namespace IntakeFiles
