#include "core/menu/menureport.h"

#include "core/export/dishreport.h"
#include "core/store/numbertext.h"

namespace Menus {

QString personText(const Person &person)
{
    static const QStringView pal[] = {u"低い", u"ふつう", u"高い"};
    static const QStringView stage[] = {u"", u"・妊娠初期", u"・妊娠中期", u"・妊娠後期",
                                        u"・授乳中"};
    return QStringLiteral("%1歳 %2 身体活動%3%4")
        .arg(person.age)
        .arg(person.male ? QStringLiteral("男性") : QStringLiteral("女性"))
        .arg(pal[qBound(1, person.pal, 3) - 1])
        .arg(stage[person.male ? 0 : qBound(0, person.stage, 4)]);
}

namespace {

ReportSection section(const Totals &totals, const Judgement &judgement)
{
    ReportSection s;
    s.planned = !judgement.isEmpty();
    for (const NutrientSheet::Row &row : judgement.rows) {
        if (!Components::isAmount(row.component))
            continue;
        ReportLine line;
        line.component = row.component;
        line.figure = NutrientSheet::figure(row.component, row.total);
        if (totals.isPartial(row.component))
            line.figure += QLatin1Char('*');
        if (!Intakes::nutrientOf(row.component).isEmpty())
            line.standard =
                Intakes::standardText(row.standard, Components::all[row.component].decimals);
        if (row.ratio)
            line.ratio = NumberText::grouped(NumberText::roundHalfUp(*row.ratio, 0), 0);
        line.verdict = Intakes::verdictText(row.verdict);
        s.lines.push_back(line);
    }
    if (s.planned) {
        const NutrientSheet::Balance &b = judgement.balance;
        const auto share = [&](const char *code, std::optional<double> value,
                               const Intakes::Standard &goal, Intakes::Verdict verdict) {
            ReportLine line;
            line.component = componentOf(code);
            if (value)
                line.figure = NumberText::grouped(NumberText::roundHalfUp(*value, 1), 1);
            line.standard = Intakes::standardText(goal, 0);
            line.verdict = Intakes::verdictText(verdict);
            s.balance.push_back(line);
        };
        share("PROT", b.shares.protein, b.goals.protein, b.protein);
        share("FAT", b.shares.fat, b.goals.fat, b.fat);
        share("CHOCDF", b.shares.carbohydrate, b.goals.carbohydrate, b.carbohydrate);
        s.balanceText = NutrientSheet::balanceText(b);
    }
    if (totals.missing > 0)
        s.note = QStringLiteral("* 削除された料理 %1 件を含まない値です。").arg(totals.missing);
    else if (s.planned)
        s.note = QStringLiteral("* は未測定の値を含まない合計です。");
    return s;
}

} // namespace

QString balanceName(int component)
{
    return Components::all[component].name.toString() + QStringLiteral("のエネルギー比");
}

std::vector<ReportSection> reportSections(const Plan &plan)
{
    std::vector<ReportSection> sections;
    for (const PlanDay &day : plan.days) {
        ReportSection &s = sections.emplace_back(section(day.totals.day, plan.dayJudgement(day)));
        s.title = dayCaption(day.day);
        s.person = personText(day.day.person);
        s.date = day.day.date;
        s.name = day.day.name;
    }
    ReportSection &period =
        sections.emplace_back(section(plan.period.average, plan.periodJudgement()));
    period.title = QStringLiteral("期間 %1日（献立のある日 %2日）の1日平均")
                       .arg(plan.period.days)
                       .arg(plan.period.plannedDays);
    period.person = personText(plan.days.empty() ? Person() : plan.days.front().day.person);
    return sections;
}

std::vector<Export::SheetTable> reportTables(const Plan &plan)
{
    const auto text = [](const QString &value) {
        return Export::TableCell{value, std::nullopt, 0};
    };
    std::vector<Export::SheetTable> tables;
    const std::vector<ReportSection> sections = reportSections(plan);
    for (size_t i = 0; i < sections.size(); ++i) {
        const ReportSection &s = sections[i];
        const bool isPeriod = i + 1 == sections.size();
        Export::SheetTable &table = tables.emplace_back();
        table.name = isPeriod ? QStringLiteral("期間") : s.date.isEmpty() ? s.name : s.date;
        table.title = QStringLiteral("栄養量報告 %1（%2）").arg(s.title, s.person);
        table.headings = QStringList{
            QStringLiteral("日付"),       QStringLiteral("献立名"),     QStringLiteral("区分"),
            QStringLiteral("成分"),       QStringLiteral("単位"),       QStringLiteral("摂取量"),
            QStringLiteral("基準 (1日)"), QStringLiteral("充足率 (%)"), QStringLiteral("判定")};
        const QString kind = isPeriod ? QStringLiteral("1日平均") : QStringLiteral("1日計");
        for (const ReportLine &line : s.lines) {
            const Components::Component &c = Components::all[line.component];
            table.rows.push_back({text(s.date), text(s.name), text(kind), text(c.name.toString()),
                                  text(c.unit.toString()), text(line.figure), text(line.standard),
                                  text(line.ratio), text(line.verdict)});
        }
        for (const ReportLine &line : s.balance)
            table.rows.push_back({text(s.date), text(s.name), text(kind),
                                  text(balanceName(line.component)),
                                  text(QStringLiteral("%エネルギー")), text(line.figure),
                                  text(line.standard), text(QString()), text(line.verdict)});
        if (!s.planned)
            table.notes << QStringLiteral("献立がないので判定しません。");
        if (!s.note.isEmpty())
            table.notes << s.note;
        table.notes << Export::attribution();
    }
    return tables;
}

bool writeReportCsv(const QString &path, const Plan &plan, QString *error)
{
    return Export::writeTablesCsv(path, reportTables(plan), error);
}

bool writeReportWorkbook(const QString &path, const Plan &plan, QString *error)
{
    return Export::writeTablesWorkbook(path, reportTables(plan), error);
}

} // namespace Menus
