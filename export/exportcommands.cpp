#include "export/exportcommands.h"

#include "app/fmain.h"
#include "app/program.h"
#include "app/prompts.h"
#include "core/export/csvwriter.h"
#include "core/export/nutritionlabel.h"
#include "core/export/workbookwriter.h"
#include "core/store/numberreader.h"
#include "core/store/numbertext.h"
#include "paper/reportpage.h"

#include <QAction>
#include <QDir>
#include <cmath>

ExportCommands::ExportCommands(Fmain &window)
    : QObject(&window)
    , m_window(window)
{
    setObjectName(QStringLiteral("ExportCommands"));
    Me_file_export = window.addFileCommand("Me_file_export", QStringLiteral("エクスポート"));
    Me_file_print = window.addFileCommand("Me_file_print", QStringLiteral("印刷"));
    Me_file_pdf = window.addFileCommand("Me_file_pdf", QStringLiteral("PDF出力"));
    Me_file_label = window.addFileCommand("Me_file_label", QStringLiteral("栄養成分表示"));
    connect(Me_file_export, &QAction::triggered, this, &ExportCommands::exportDishes);
    connect(Me_file_print, &QAction::triggered, this, &ExportCommands::printDishes);
    connect(Me_file_pdf, &QAction::triggered, this, &ExportCommands::writePdf);
    connect(Me_file_label, &QAction::triggered, this, &ExportCommands::showLabel);
}

void ExportCommands::tell(const QString &error)
{
    m_window.program().prompts().message(error, Prompts::Buttons::Ok, Prompts::Icon::Critical);
}

std::optional<Export::Selection> ExportCommands::askDishes(const QString &title)
{
    Prompts &prompts = m_window.program().prompts();
    const std::optional<int> choice =
        prompts.choose(QStringLiteral("どの料理を出力しますか。"), title,
                       {QStringLiteral("表示中の料理"), QStringLiteral("すべての料理")});
    if (!choice)
        return std::nullopt;
    Export::Selection which;
    which.all = *choice == 1;
    if (!which.all) {
        which.key = m_window.currentDish();
        if (which.key == 0) {
            prompts.message(QStringLiteral("表示中の料理がありません。"), Prompts::Buttons::Ok,
                            Prompts::Icon::Exclamation);
            return std::nullopt;
        }
    }
    return which;
}

bool ExportCommands::askPerson(const QString &title, Person *person)
{
    Prompts &prompts = m_window.program().prompts();
    const std::optional<QString> text =
        prompts.input(QStringLiteral("比較する基準値の年齢（0～100）を入力してください。"), title,
                      QStringLiteral("20"));
    if (!text)
        return false;
    const std::variant<int, QString> age = Intakes::readAge(*text);
    if (const QString *refusal = std::get_if<QString>(&age)) {
        prompts.message(*refusal, Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return false;
    }
    const std::optional<int> sex = prompts.choose(QStringLiteral("性別を選んでください。"), title,
                                                  {QStringLiteral("男性"), QStringLiteral("女性")});
    if (!sex)
        return false;
    Intakes::Person &p = person->person;
    p.age = std::get<int>(age);
    p.sex = *sex == 0 ? 1 : 0;
    const std::optional<int> activity =
        prompts.choose(QStringLiteral("身体活動レベルを選んでください。"), title,
                       {Intakes::activityText(Intakes::Activity::Low),
                        Intakes::activityText(Intakes::Activity::Moderate),
                        Intakes::activityText(Intakes::Activity::High)},
                       int(Intakes::Activity::Moderate));
    if (!activity)
        return false;
    p.activity = Intakes::Activity(*activity);
    p.stage = Intakes::Stage::None;
    // A stage only where the standards give the woman's age one.
    QList<Intakes::Row> rows;
    QString error;
    DishComponents::loadIntakes(m_window.program().DbConnectionString, &rows, &error);
    const Intakes::Table table(rows);
    if (table.stageAllowed(p, Intakes::Stage::Lactation)) {
        QStringList stages;
        for (int s = 0; s <= int(Intakes::Stage::Lactation); ++s)
            stages << Intakes::stageText(Intakes::Stage(s));
        const std::optional<int> stage =
            prompts.choose(QStringLiteral("妊娠・授乳を選んでください。"), title, stages);
        if (!stage)
            return false;
        p.stage = Intakes::Stage(*stage);
    }
    const std::optional<int> basis = prompts.choose(
        QStringLiteral("栄養成分一覧の判定で、1日の基準と比べる量を選んでください。"), title,
        {NutrientSheet::basisText(NutrientSheet::Basis::Serving),
         NutrientSheet::basisText(NutrientSheet::Basis::Dish),
         NutrientSheet::basisText(NutrientSheet::Basis::Hundred)});
    if (!basis)
        return false;
    person->basis = NutrientSheet::Basis(*basis);
    return true;
}

bool ExportCommands::read(const Export::Selection &which, const Person *person,
                          std::vector<Export::Dish> *dishes)
{
    QString error;
    const int age = person ? person->person.age : 20;
    const bool male = person ? person->person.sex == 1 : true;
    if (!Export::readDishes(m_window.program().DbConnectionString, which, age, male, dishes,
                            &error) ||
        (person && !Export::attachSheets(m_window.program().DbConnectionString, person->person,
                                         person->basis, dishes, &error))) {
        tell(QStringLiteral("料理を読み込めませんでした。\n") + error);
        return false;
    }
    if (dishes->empty()) {
        m_window.program().prompts().message(QStringLiteral("出力する料理がありません。"),
                                             Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return false;
    }
    return true;
}

static QString suggestedName(const std::vector<Export::Dish> &dishes, const QString &suffix)
{
    QString base = dishes.size() == 1 ? dishes.front().name : QStringLiteral("料理一覧");
    for (QChar &c : base) {
        if (QStringLiteral("\\/:*?\"<>|").contains(c) || c.unicode() < 0x20)
            c = QLatin1Char('_');
    }
    if (base.trimmed().isEmpty())
        base = QStringLiteral("料理");
    return QDir::current().filePath(base + suffix);
}

bool ExportCommands::askPages(const QString &title, std::vector<Export::Dish> *dishes)
{
    const std::optional<Export::Selection> which = askDishes(title);
    Person person;
    return which && askPerson(title, &person) && read(*which, &person, dishes);
}

void ExportCommands::exportDishes()
{
    const QString title = QStringLiteral("エクスポート");
    Prompts &prompts = m_window.program().prompts();
    const std::optional<Export::Selection> which = askDishes(title);
    if (!which)
        return;
    const std::optional<int> format =
        prompts.choose(QStringLiteral("形式を選んでください。"), title,
                       {QStringLiteral("CSV（.csv）"), QStringLiteral("Excel（.xlsx）")});
    if (!format)
        return;
    const bool workbook = *format == 1;
    Person person;
    if (workbook && !askPerson(title, &person))
        return;
    std::vector<Export::Dish> dishes;
    if (!read(*which, workbook ? &person : nullptr, &dishes))
        return;
    const std::optional<QString> path = prompts.saveFileName(
        title, suggestedName(dishes, workbook ? QStringLiteral(".xlsx") : QStringLiteral(".csv")),
        workbook ? QStringLiteral("Excel ブック (*.xlsx)") : QStringLiteral("CSV (*.csv)"));
    if (!path)
        return;
    QString error;
    const bool written = workbook ? Export::writeWorkbook(*path, dishes, &error)
                                  : Export::writeCsv(*path, dishes, &error);
    if (!written) {
        tell(error);
        return;
    }
    prompts.message(QStringLiteral("「%1」に書き出しました。").arg(QDir::toNativeSeparators(*path)),
                    Prompts::Buttons::Ok, Prompts::Icon::Information);
}

void ExportCommands::printDishes()
{
    const QString title = QStringLiteral("印刷");
    std::vector<Export::Dish> dishes;
    if (!askPages(title, &dishes))
        return;
    const ReportPage::Options options;
    QString error;
    m_window.program().prompts().printPreview(title, [&](QPagedPaintDevice *device) {
        ReportPage::paint(device, dishes, options, &error);
    });
    if (!error.isEmpty())
        tell(error);
}

void ExportCommands::writePdf()
{
    const QString title = QStringLiteral("PDF出力");
    Prompts &prompts = m_window.program().prompts();
    std::vector<Export::Dish> dishes;
    if (!askPages(title, &dishes))
        return;
    const std::optional<QString> path = prompts.saveFileName(
        title, suggestedName(dishes, QStringLiteral(".pdf")), QStringLiteral("PDF (*.pdf)"));
    if (!path)
        return;
    const ReportPage::Options options;
    QString error;
    if (!ReportPage::writePdf(*path, dishes, options, &error)) {
        tell(error);
        return;
    }
    prompts.message(QStringLiteral("「%1」に書き出しました。").arg(QDir::toNativeSeparators(*path)),
                    Prompts::Buttons::Ok, Prompts::Icon::Information);
}

void ExportCommands::showLabel()
{
    const QString title = QStringLiteral("栄養成分表示");
    Prompts &prompts = m_window.program().prompts();
    const qint64 key = m_window.currentDish();
    if (key == 0) {
        prompts.message(QStringLiteral("表示中の料理がありません。"), Prompts::Buttons::Ok,
                        Prompts::Icon::Exclamation);
        return;
    }
    // The basis is the dish's own: what was chosen for it last time.
    const QString connection = m_window.program().DbConnectionString;
    const Export::LabelBasis stored = Export::storedBasis(connection, key);
    const std::optional<int> kind =
        prompts.choose(QStringLiteral("表示の基準を選んでください。"), title,
                       {QStringLiteral("100g当たり"), QStringLiteral("1食当たり（重さを入力）"),
                        QStringLiteral("1人分当たり（出来上がり重量または材料の重さ ÷ 人分）")},
                       int(stored.kind));
    if (!kind)
        return;
    Export::LabelBasis basis;
    basis.kind = Export::LabelBasis::Kind(*kind);
    if (basis.kind == Export::LabelBasis::Kind::Meal) {
        const std::optional<QString> text =
            prompts.input(QStringLiteral("1食の重さ（g）を入力してください。"), title,
                          stored.grams ? NumberText::general(*stored.grams) : QString());
        if (!text)
            return;
        basis.grams = NumberReader::quantity(*text);
        if (!basis.grams || !std::isfinite(*basis.grams) || *basis.grams <= 0 ||
            *basis.grams > 1e6) {
            prompts.message(QStringLiteral("1食の重さは0より大きい数（g）で入力してください。"),
                            Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
            return;
        }
    }
    QString error;
    if (basis != stored && !Export::storeBasis(connection, key, basis, &error)) {
        tell(QStringLiteral("表示の基準を料理に記録できませんでした。\n") + error);
        return;
    }
    std::vector<Export::Dish> dishes;
    if (!read(Export::Selection{false, key}, nullptr, &dishes))
        return;
    ReportPage::Options options;
    options.labelOnly = true;
    prompts.printPreview(title, [&](QPagedPaintDevice *device) {
        ReportPage::paint(device, dishes, options, &error);
    });
    if (!error.isEmpty())
        tell(error);
}
