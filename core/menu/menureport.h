#pragma once

#include "core/export/sheettable.h"
#include "core/menu/menuplan.h"

#include <QString>
#include <QStringList>
#include <vector>

// The nutrient report of menus: for each day and for the period's average
// per day, every component of the food table with the person's standard,
// the 充足率 and the 判定, then the energy balance. Its paper, CSV and
// workbook show these texts as they are.
namespace Menus {

struct ReportLine
{
    int component = 0;
    QString figure;   // with "*" when it leaves something out
    QString standard; // empty for a component the intakes set nothing for
    QString ratio;    // % of the standard, whole
    QString verdict;
};

struct ReportSection
{
    QString title;  // "12/7(月) 給食", "期間 5日（献立のある日 5日）の1日平均"
    QString person; // "10歳 男性 身体活動ふつう"
    QString date, name;   // of a day; empty for the period
    bool planned = false; // false: no entries, nothing judged
    std::vector<ReportLine> lines;
    // The energy balance: たんぱく質, 脂質, 炭水化物 as % of the energy (the
    // component of each line is that of the nutrient), with the goal as
    // standard; and the same as one text.
    std::vector<ReportLine> balance;
    QString balanceText;
    QString note; // what the figures leave out
};

// Whom a day is planned for, as the papers name the person.
QString personText(const Person &person);

// "たんぱく質のエネルギー比": a line of the energy balance.
QString balanceName(int component);

// A section per day of the plan, then the period's.
std::vector<ReportSection> reportSections(const Plan &plan);

// The report as tables: a sheet per day and the period's, each row a
// component (日付, 献立名, 区分, 成分, 単位, 摂取量, 基準 (1日), 充足率 (%),
// 判定), the energy balance's three rows under them.
std::vector<Export::SheetTable> reportTables(const Plan &plan);
bool writeReportCsv(const QString &path, const Plan &plan, QString *error);
bool writeReportWorkbook(const QString &path, const Plan &plan, QString *error);

} // namespace Menus
