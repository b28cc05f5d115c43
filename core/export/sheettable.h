#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// A plain table to hand on as a CSV file or a workbook sheet: a title, one
// heading row, rows of cells (a number or a text) and notes under it. The
// menus' files are made of these.
namespace Export {

struct TableCell
{
    QString text;                 // shown when there is no number
    std::optional<double> number; // written as a number
    int decimals = 1;             // the places a workbook shows the number with (0-2)
};

struct SheetTable
{
    QString name; // the sheet's name in a workbook (made acceptable by sheetName)
    QString title;
    QStringList headings;
    std::vector<std::vector<TableCell>> rows;
    QStringList notes; // under the table, one a row
};

// Writes the rows of the tables as one CSV document (the first table's
// headings, then every table's rows; no titles or notes) through a
// temporary file, as writeCsv writes the dishes.
bool writeTablesCsv(const QString &path, const std::vector<SheetTable> &tables, QString *error);

// Writes the tables as a workbook, a sheet each, through a temporary file.
bool writeTablesWorkbook(const QString &path, const std::vector<SheetTable> &tables,
                         QString *error);

} // namespace Export
