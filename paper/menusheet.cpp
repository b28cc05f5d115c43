#include "paper/menusheet.h"

#include "core/export/dishreport.h"
#include "core/menu/menureport.h"
#include "core/store/numbertext.h"
#include "paper/printpage.h"

#include <QPagedPaintDevice>

namespace MenuSheet {

namespace {

constexpr double marginMm = 10;
constexpr double contentWidth = 297 - 2 * marginMm;
constexpr double contentHeight = 210 - 2 * marginMm;
constexpr double mealColumn = 18;
constexpr double lineMm = 4;
// The foot: the averages, the balance, the judged nutrients in columns of
// eight, the notes and the attribution.
constexpr int judgedColumns = 4;
constexpr double footHeight = 4.5 * 2 + 3.5 + 8 * 3 + 3.5 + 7 + 1;

using PrintPage::font;
using PrintPage::Page;

QString entryText(const Menus::PlanEntry &entry)
{
    QString name = entry.missing ? QStringLiteral("（削除された料理）") : entry.dishName;
    if (entry.entry.portion != 1)
        name += QStringLiteral(" ×%1").arg(NumberText::general(entry.entry.portion));
    return name;
}

QString averageText(const Menus::PeriodTotals &period)
{
    if (period.plannedDays == 0)
        return QStringLiteral("－");
    QStringList parts;
    for (const Menus::Figure &figure : Menus::mainFigures)
        parts << QStringLiteral("%1 %2%3").arg(
            figure.caption, Menus::figureText(period.average, figure.field, figure.decimals),
            figure.unit);
    return parts.join(QStringLiteral("　"));
}

void paintWeek(Page &sheet, const Menus::Plan &plan, size_t first, bool wholePeriodToo)
{
    const size_t count = std::min<size_t>(daysPerPage, plan.days.size() - first);
    const double column = (contentWidth - mealColumn) / daysPerPage;
    const QFont title = font(14, true);
    const QFont body = font(7.5);
    const QFont bold = font(7.5, true);
    const QFont small = font(6.5);
    const QFont tiny = font(5.5);

    const Menus::Day &firstDay = plan.days[first].day;
    const Menus::Day &lastDay = plan.days[first + count - 1].day;
    QString range = Menus::dayCaption(firstDay);
    if (count > 1)
        range += QStringLiteral(" ～ ") + Menus::dayCaption(lastDay);
    sheet.text(0, 0, 40, 8, QStringLiteral("献立表"), title);
    sheet.text(40, 0, 150, 8, range, font(10));
    sheet.text(190, 0, contentWidth - 190, 8, Menus::personText(firstDay.person), font(9),
               Qt::AlignRight | Qt::AlignVCenter);

    // How many lines each meal needs: its most dishes on a day of the week.
    std::array<int, Menus::mealCount> lines{};
    for (size_t d = first; d < first + count; ++d)
        for (int m = 0; m < Menus::mealCount; ++m)
            lines[m] = std::max<int>(lines[m], int(plan.days[d].meals[m].size()));
    int totalLines = 0;
    for (int &n : lines)
        totalLines += n = std::max(n, 1);
    const double footTop = contentHeight - footHeight;
    const double figuresHeight = double(Menus::mainFigures.size()) * lineMm;
    const double tableTop = 10;
    const double headerHeight = 6;
    const double mealSpace = footTop - 2 - figuresHeight - tableTop - headerHeight;
    const double perLine = std::min(lineMm * 1.5, mealSpace / totalLines);

    // The heading row: the days.
    double y = tableTop;
    sheet.line(0, y, contentWidth, y);
    for (size_t i = 0; i < count; ++i)
        sheet.text(mealColumn + i * column + 1, y, column - 2, headerHeight,
                   Menus::dayCaption(plan.days[first + i].day), bold, Qt::AlignCenter);
    y += headerHeight;
    sheet.line(0, y, contentWidth, y);
    for (int m = 0; m < Menus::mealCount; ++m) {
        const double height = lines[m] * perLine;
        sheet.text(1, y, mealColumn - 2, height, Menus::mealName(m).toString(), bold);
        for (size_t i = 0; i < count; ++i) {
            const auto &entries = plan.days[first + i].meals[m];
            for (size_t e = 0; e < entries.size(); ++e)
                sheet.text(mealColumn + i * column + 1, y + e * perLine, column - 2, perLine,
                           entryText(entries[e]), body);
        }
        y += height;
        sheet.line(0, y, contentWidth, y);
    }
    // Each day's five figures.
    for (const Menus::Figure &figure : Menus::mainFigures) {
        sheet.text(1, y, mealColumn - 2, lineMm,
                   QStringLiteral("%1(%2)").arg(figure.caption, figure.unit), small);
        for (size_t i = 0; i < count; ++i)
            sheet.text(
                mealColumn + i * column + 1, y, column - 3, lineMm,
                Menus::figureText(plan.days[first + i].totals.day, figure.field, figure.decimals),
                body, Qt::AlignRight | Qt::AlignVCenter);
        y += lineMm;
    }
    sheet.line(0, y, contentWidth, y);
    for (size_t i = 0; i <= daysPerPage; ++i)
        sheet.line(mealColumn + i * column, tableTop, mealColumn + i * column, y);
    sheet.line(0, tableTop, 0, y);

    // The foot: the average per day of the week (and of the whole period),
    // the week judged against the standards of the person of its first day.
    std::vector<const Menus::DayTotals *> week;
    for (size_t d = first; d < first + count; ++d)
        week.push_back(&plan.days[d].totals);
    const Menus::PeriodTotals weekly = Menus::periodTotals(week);
    double fy = footTop;
    sheet.text(0, fy, contentWidth, 4.5,
               QStringLiteral("1日平均（%1日のうち献立のある%2日）: ")
                       .arg(weekly.days)
                       .arg(weekly.plannedDays) +
                   averageText(weekly),
               bold);
    fy += 4.5;
    if (wholePeriodToo) {
        sheet.text(0, fy, contentWidth, 4.5,
                   QStringLiteral("期間全体の1日平均（%1日のうち献立のある%2日）: ")
                           .arg(plan.period.days)
                           .arg(plan.period.plannedDays) +
                       averageText(plan.period),
                   bold);
        fy += 4.5;
    }
    const Menus::Judgement judgement =
        Menus::judge(weekly.average, plan.standards, Menus::intakePerson(firstDay.person));
    if (!judgement.isEmpty()) {
        sheet.text(0, fy, contentWidth, 3.5,
                   QStringLiteral("1日平均の判定（%1、日本人の食事摂取基準）　")
                           .arg(Menus::personText(firstDay.person)) +
                       NutrientSheet::balanceText(judgement.balance),
                   small);
        fy += 3.5;
        // The judged nutrients in columns: name, figure, 充足率, 判定.
        std::vector<QString> cells;
        for (const NutrientSheet::Row &row : judgement.rows) {
            if (Intakes::nutrientOf(row.component).isEmpty())
                continue;
            const Components::Component &c = Components::all[row.component];
            QString cellText = c.name.toString().section(u'（', 0, 0) + QLatin1Char(' ') +
                               NutrientSheet::figure(row.component, row.total) + c.unit.toString();
            if (weekly.average.isPartial(row.component))
                cellText += QLatin1Char('*');
            if (row.ratio)
                cellText += QStringLiteral(" %1%").arg(
                    NumberText::grouped(NumberText::roundHalfUp(*row.ratio, 0), 0));
            if (row.standard.isEmpty())
                cellText += QStringLiteral(" 基準なし");
            else if (row.verdict != Intakes::Verdict::None)
                cellText += QLatin1Char(' ') + Intakes::verdictText(row.verdict);
            cells.push_back(cellText);
        }
        const int rows = int((cells.size() + judgedColumns - 1) / judgedColumns);
        const double cellWidth = contentWidth / judgedColumns;
        for (size_t i = 0; i < cells.size(); ++i)
            sheet.text(double(i / size_t(rows)) * cellWidth, fy + double(i % size_t(rows)) * 3,
                       cellWidth - 1, 3, cells[i], tiny);
        fy += rows * 3;
    }
    sheet.text(0, fy, contentWidth, 3.5,
               QStringLiteral("* は未測定の値、または削除された料理を含まない合計です。"
                              "×は人分の数（料理の全量 ÷ 人分 × 数）。"),
               small);
    sheet.wrapped(0, contentHeight - 7, contentWidth, 7, Export::attribution(), small);
}

} // namespace

bool paint(QPagedPaintDevice *device, const Menus::Plan &plan, QString *error)
{
    const bool severalPages = plan.days.size() > size_t(daysPerPage);
    const int pages = int((plan.days.size() + daysPerPage - 1) / daysPerPage);
    return PrintPage::paintPages(
        device, QPageLayout::Landscape, marginMm, pages,
        [&](Page &page, int i) { paintWeek(page, plan, size_t(i) * daysPerPage, severalPages); },
        error);
}

namespace {

void paintSection(Page &page, const Menus::ReportSection &section)
{
    constexpr double width = 210 - 2 * marginMm;
    constexpr double height = 297 - 2 * marginMm;
    page.text(0, 0, width, 8, QStringLiteral("栄養量報告　") + section.title, font(13, true));
    page.text(0, 8, width, 5,
              section.person +
                  QStringLiteral("　日本人の食事摂取基準（2025年版）の1日の値と比べて"),
              font(8));
    using PrintPage::alignLeft, PrintPage::alignRight;
    const std::vector<PrintPage::Column> columns = {{0, 56, alignLeft},    {56, 12, alignLeft},
                                                    {68, 20, alignRight},  {92, 52, alignLeft},
                                                    {144, 14, alignRight}, {160, 30, alignLeft}};
    const QStringList headings{QStringLiteral("成分"),      QStringLiteral("単位"),
                               QStringLiteral("摂取量"),    QStringLiteral("基準 (1日)"),
                               QStringLiteral("充足率(%)"), QStringLiteral("判定")};
    const QFont body = font(6.5);
    const QFont bold = font(6.5, true);
    constexpr double rowHeight = 3.9;
    double y = 15;
    page.row(columns, y, rowHeight, headings, bold);
    page.line(0, y + rowHeight, width, y + rowHeight);
    y += rowHeight + 0.3;
    if (!section.planned) {
        page.text(0, y, width, 5, QStringLiteral("献立がないので判定しません。"), font(8));
        y += 5;
    }
    const auto paintLine = [&](const QString &name, const QString &unit,
                               const Menus::ReportLine &line) {
        page.row(columns, y, rowHeight,
                 {name, unit, line.figure, line.standard, line.ratio, line.verdict}, body);
        y += rowHeight;
    };
    for (const Menus::ReportLine &line : section.lines) {
        const Components::Component &c = Components::all[line.component];
        paintLine(c.name.toString(), c.unit.toString(), line);
    }
    page.line(0, y + 0.3, width, y + 0.3);
    y += 1.5;
    if (!section.balance.empty()) {
        page.text(0, y, width, 5, QStringLiteral("エネルギー産生栄養素バランス"), font(8, true));
        y += 5;
        for (const Menus::ReportLine &line : section.balance)
            paintLine(Menus::balanceName(line.component), QStringLiteral("%"), line);
        y += 1;
    }
    if (!section.note.isEmpty())
        page.text(0, y, width, rowHeight, section.note, body);
    page.line(0, height - 10, width, height - 10);
    page.wrapped(0, height - 9, width, 9, Export::attribution(), font(7));
}

} // namespace

bool paintReport(QPagedPaintDevice *device, const Menus::Plan &plan, QString *error)
{
    const std::vector<Menus::ReportSection> sections = Menus::reportSections(plan);
    return PrintPage::paintPages(
        device, QPageLayout::Portrait, marginMm, int(sections.size()),
        [&](Page &page, int i) { paintSection(page, sections[size_t(i)]); }, error);
}

bool writeReportPdf(const QString &path, const Menus::Plan &plan, QString *error)
{
    if (plan.days.empty()) {
        *error = QStringLiteral("栄養量報告にする日がありません。");
        return false;
    }
    return PrintPage::writePdf(
        path, QStringLiteral("栄養量報告"),
        [&](QPagedPaintDevice *device, QString *reason) {
            return paintReport(device, plan, reason);
        },
        error);
}

bool writePdf(const QString &path, const Menus::Plan &plan, QString *error)
{
    if (plan.days.empty()) {
        *error = QStringLiteral("献立表にする日がありません。");
        return false;
    }
    return PrintPage::writePdf(
        path, QStringLiteral("献立表"),
        [&](QPagedPaintDevice *device, QString *reason) { return paint(device, plan, reason); },
        error);
}

} // namespace MenuSheet
