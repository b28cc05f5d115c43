#include "core/menu/menufiles.h"

#include "core/export/dishreport.h"
#include "core/store/numbertext.h"

namespace Menus {

namespace {

Export::TableCell text(const QString &value)
{
    return {value, std::nullopt, 0};
}

// What a row's figures leave out: the components some dish has no value of,
// and the dishes no longer there.
QString noteOf(const Totals &totals)
{
    QStringList notes;
    QStringList unknown;
    for (int i = 0; i < Components::count; ++i)
        if (Components::isAmount(i) && !totals.amounts.unknownFoods[i].isEmpty())
            unknown << Components::all[i].name.toString();
    if (!unknown.isEmpty())
        notes << QStringLiteral("未測定の値を含まない: ") + unknown.join(QStringLiteral("、"));
    if (totals.missing > 0)
        notes << QStringLiteral("削除された料理 %1 件を含まない").arg(totals.missing);
    return notes.join(QStringLiteral("。"));
}

std::vector<Export::TableCell> row(const Day &day, const QString &meal, const QString &dish,
                                   std::optional<double> portion, const QString &kind,
                                   const Totals &totals)
{
    std::vector<Export::TableCell> cells{text(day.date), text(day.name), text(meal), text(dish)};
    cells.push_back({QString(), portion, 2});
    cells.push_back(text(kind));
    for (int i = 0; i < Components::count; ++i) {
        if (!Components::isAmount(i))
            continue;
        const int places = Components::all[i].decimals;
        std::optional<double> value = totals.amounts.sums[i];
        if (value)
            value = NumberText::roundHalfUp(*value, places + 1);
        cells.push_back({QString(), totals.isEmpty() ? std::nullopt : value, qMin(places, 2)});
    }
    cells.push_back(text(noteOf(totals)));
    return cells;
}

} // namespace

QStringList tableHeadings()
{
    QStringList headings{QStringLiteral("日付"),       QStringLiteral("献立名"),
                         QStringLiteral("食事"),       QStringLiteral("料理"),
                         QStringLiteral("分量(人分)"), QStringLiteral("区分")};
    for (int i = 0; i < Components::count; ++i)
        if (Components::isAmount(i))
            headings << Export::componentHeading(i);
    headings << QStringLiteral("注記");
    return headings;
}

std::vector<Export::SheetTable> planTables(const Plan &plan)
{
    std::vector<Export::SheetTable> tables;
    const QString attribution = Export::attribution();
    for (const PlanDay &day : plan.days) {
        Export::SheetTable &table = tables.emplace_back();
        table.name = day.day.date.isEmpty() ? day.day.name : day.day.date;
        table.title = QStringLiteral("献立 ") + dayCaption(day.day);
        table.headings = tableHeadings();
        for (int meal = 0; meal < mealCount; ++meal) {
            const QString name = mealName(meal).toString();
            for (const PlanEntry &entry : day.meals[meal])
                table.rows.push_back(
                    row(day.day, name,
                        entry.missing ? QStringLiteral("（削除された料理）") : entry.dishName,
                        entry.entry.portion, QStringLiteral("明細"), entry.totals));
            if (!day.meals[meal].empty())
                table.rows.push_back(row(day.day, name, QString(), std::nullopt,
                                         QStringLiteral("食事計"), day.totals.meals[meal]));
        }
        table.rows.push_back(row(day.day, QString(), QString(), std::nullopt,
                                 QStringLiteral("1日計"), day.totals.day));
        table.notes << attribution;
    }
    Export::SheetTable period;
    period.name = QStringLiteral("期間");
    period.title = QStringLiteral("期間 %1日（献立のある日 %2日）の1日平均")
                       .arg(plan.period.days)
                       .arg(plan.period.plannedDays);
    period.headings = tableHeadings();
    for (const PlanDay &day : plan.days)
        period.rows.push_back(row(day.day, QString(), QString(), std::nullopt,
                                  QStringLiteral("1日計"), day.totals.day));
    Day whole;
    whole.name = QStringLiteral("期間");
    period.rows.push_back(row(whole, QString(), QString(), std::nullopt, QStringLiteral("1日平均"),
                              plan.period.average));
    period.notes << attribution;
    tables.push_back(std::move(period));
    return tables;
}

bool writeCsv(const QString &path, const Plan &plan, QString *error)
{
    // The days' rows, then the period's average (its day rows repeat the
    // days' own totals).
    std::vector<Export::SheetTable> tables = planTables(plan);
    Export::SheetTable &period = tables.back();
    period.rows.erase(period.rows.begin(), period.rows.end() - 1);
    return Export::writeTablesCsv(path, tables, error);
}

bool writeWorkbook(const QString &path, const Plan &plan, QString *error)
{
    return Export::writeTablesWorkbook(path, planTables(plan), error);
}

} // namespace Menus
