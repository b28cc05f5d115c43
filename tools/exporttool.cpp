// zento-export: the export of the program's ﾌｧｲﾙ menu for scripts.
//
//   zento-export --store FILE --format csv|xlsx|pdf|label (--all | --dish KEY-OR-NAME)
//                [--age N] [--sex male|female] [--pal low|moderate|high]
//                [--stage none|early|mid|late|lactation] [--per serving|dish|100g]
//                [--serving GRAMS|person|100g] --output FILE
//   zento-export --store FILE --format csv|xlsx|pdf --menu NAME-OR-DATE[..DATE] [--report]
//                --output FILE
//
// --menu writes the menus of the days named (a day's name or date, or the
// dated days from one date to another): the 献立表 as PDF, or a table per
// day and the period's as a workbook or CSV; with --report, the nutrient
// report of those days and of the period instead (every component, the
// standard of each day's person, 充足率, 判定, the energy balance).
//
// The PDF gives every dish a second page, and the workbook every dish's sheet
// a table, with its 栄養成分一覧 for the person of --age, --sex, --pal and
// --stage, judging a serving (--per serving), the whole dish as a day's
// intake (dish) or 100 g of it (100g) against a day's standard.
//
// Exits 0 when the file is written, 1 with a one-line message on stderr when
// the store, the dish or the target fails, 2 for a wrong command line.
#include "core/export/csvwriter.h"
#include "core/export/dishreport.h"
#include "core/export/workbookwriter.h"
#include "core/menu/menufiles.h"
#include "core/menu/menureport.h"
#include "core/store/database.h"
#include "core/store/numberreader.h"
#include "core/store/numbertext.h"
#include "core/store/storecheck.h"
#include "paper/menusheet.h"
#include "paper/reportpage.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {

int fail(const QString &message, int code = 1)
{
    QString line = message;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    std::fprintf(stderr, "zento-export: %s\n", line.toUtf8().constData());
    return code;
}

bool hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// Only the tool's own one-line messages reach stderr: Qt's notes about the
// platform (a missing runtime folder, fonts) are not failures of the export.
void quietQt(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "zento-export: %s\n", message.toUtf8().constData());
}

} // namespace

int main(int argc, char *argv[])
{
    // PDF pages need the font machinery of a GUI application; without a
    // display it runs on the offscreen platform.
    qInstallMessageHandler(quietQt);
    bool paged = false;
    for (int i = 1; i + 1 < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--format" &&
            (qstrcmp(argv[i + 1], "pdf") == 0 || qstrcmp(argv[i + 1], "label") == 0))
            paged = true;
    }
    if (paged && !hasDisplay() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app;
    if (paged)
        app = std::make_unique<QGuiApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zento-export"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("ゼントの料理を CSV, Excel, PDF に書き出します。"));
    const QCommandLineOption store(QStringLiteral("store"), QStringLiteral("料理のデータベース"),
                                   QStringLiteral("FILE"));
    const QCommandLineOption format(QStringLiteral("format"),
                                    QStringLiteral("csv, xlsx, pdf または label"),
                                    QStringLiteral("FORMAT"));
    const QCommandLineOption all(QStringLiteral("all"), QStringLiteral("すべての料理"));
    const QCommandLineOption dish(QStringLiteral("dish"), QStringLiteral("料理の番号または名前"),
                                  QStringLiteral("KEY-OR-NAME"));
    const QCommandLineOption age(QStringLiteral("age"),
                                 QStringLiteral("基準値の年齢 0～100（既定 20）"),
                                 QStringLiteral("N"), QStringLiteral("20"));
    const QCommandLineOption pal(
        QStringLiteral("pal"),
        QStringLiteral("栄養成分一覧の身体活動レベル low|moderate|high（低い・ふつう・高い、既定 "
                       "moderate）"),
        QStringLiteral("LEVEL"), QStringLiteral("moderate"));
    const QCommandLineOption stage(
        QStringLiteral("stage"),
        QStringLiteral("栄養成分一覧の妊娠・授乳 none|early|mid|late|lactation（なし・妊娠初期・"
                       "中期・後期・授乳中、既定 none。女性の10～64歳だけ）"),
        QStringLiteral("STAGE"), QStringLiteral("none"));
    const QCommandLineOption per(
        QStringLiteral("per"),
        QStringLiteral("栄養成分一覧で1日の基準と比べる量 serving|dish|100g（1人分・料理全体・"
                       "100g、既定 serving）"),
        QStringLiteral("BASIS"), QStringLiteral("serving"));
    const QCommandLineOption sex(QStringLiteral("sex"),
                                 QStringLiteral("基準値の性別 male|female（既定 male）"),
                                 QStringLiteral("SEX"), QStringLiteral("male"));
    const QCommandLineOption serving(
        QStringLiteral("serving"),
        QStringLiteral("栄養成分表示の基準: 1食の重さ（g）、person（1人分）または 100g。"
                       "料理ごとの表示の基準に代えて、この実行だけ使う"),
        QStringLiteral("GRAMS|person|100g"));
    const QCommandLineOption output(QStringLiteral("output"), QStringLiteral("書き出すファイル"),
                                    QStringLiteral("FILE"));
    const QCommandLineOption menu(
        QStringLiteral("menu"),
        QStringLiteral("献立: 日の名前か日付（2026-12-07）、または期間 2026-12-07..2026-12-11"),
        QStringLiteral("NAME-OR-DATE[..DATE]"));
    const QCommandLineOption report(
        QStringLiteral("report"),
        QStringLiteral("--menu と: 献立表に代えて、日ごとと期間の栄養量報告（すべての成分、基準、"
                       "充足率、判定、エネルギー産生栄養素バランス）を書き出す"));
    parser.addOptions(
        {store, format, all, dish, age, sex, pal, stage, per, serving, output, menu, report});
    parser.addHelpOption();
    if (!parser.parse(QCoreApplication::arguments()))
        return fail(parser.errorText(), 2);
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(parser.helpText().toUtf8().constData(), stdout);
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("余分な引数: %1").arg(parser.positionalArguments().join(' ')),
                    2);

    if (!parser.isSet(store))
        return fail(QStringLiteral("--store がありません。"), 2);
    if (!parser.isSet(output))
        return fail(QStringLiteral("--output がありません。"), 2);
    const QString kind = parser.value(format);
    if (kind != QLatin1String("csv") && kind != QLatin1String("xlsx") &&
        kind != QLatin1String("pdf") && kind != QLatin1String("label"))
        return fail(QStringLiteral("--format は csv, xlsx, pdf, label のどれかです。"), 2);
    const bool menus = parser.isSet(menu);
    if (menus && (parser.isSet(all) || parser.isSet(dish)))
        return fail(QStringLiteral("--menu は --all や --dish と一緒には使えません。"), 2);
    if (menus && kind == QLatin1String("label"))
        return fail(QStringLiteral("--menu の --format は csv, xlsx, pdf のどれかです。"), 2);
    const bool reported = parser.isSet(report);
    if (reported && !menus)
        return fail(QStringLiteral("--report は --menu と一緒に使います。"), 2);
    if (!menus && parser.isSet(all) == parser.isSet(dish))
        return fail(QStringLiteral("--all か --dish のどちらか一つを指定してください。"), 2);

    const std::optional<double> ageNumber = NumberReader::number(parser.value(age));
    if (!ageNumber || *ageNumber != std::floor(*ageNumber) || *ageNumber < Intakes::youngestAge ||
        *ageNumber > Intakes::oldestAge)
        return fail(QStringLiteral("--age は0から100までの整数です。"), 2);
    const QString sexText = parser.value(sex);
    if (sexText != QLatin1String("male") && sexText != QLatin1String("female"))
        return fail(QStringLiteral("--sex は male か female です。"), 2);
    Intakes::Person person;
    person.age = int(*ageNumber);
    person.sex = sexText == QLatin1String("male") ? 1 : 0;
    // An option that names one of its words: the word's place, or -1 (and
    // the message naming the words).
    QString wrongWord;
    const auto wordOf = [&](const QCommandLineOption &option, const QStringList &words) {
        const int at = int(words.indexOf(parser.value(option)));
        if (at < 0 && wrongWord.isEmpty())
            wrongWord = QStringLiteral("--%1 は %2 のどれかです。")
                            .arg(option.names().first(), words.join(QStringLiteral(", ")));
        return at;
    };
    person.activity = Intakes::Activity(wordOf(pal, {"low", "moderate", "high"}));
    person.stage = Intakes::Stage(wordOf(stage, {"none", "early", "mid", "late", "lactation"}));
    const auto sheetBasis = NutrientSheet::Basis(wordOf(per, {"serving", "dish", "100g"}));
    if (!wrongWord.isEmpty())
        return fail(wrongWord, 2);

    std::optional<Export::LabelBasis> labelBasis;
    if (parser.isSet(serving)) {
        const QString text = parser.value(serving);
        if (text == QLatin1String("person")) {
            labelBasis = Export::LabelBasis::person();
        } else if (text == QLatin1String("100g")) {
            labelBasis = Export::LabelBasis{};
        } else {
            const std::optional<double> grams = NumberReader::number(text);
            if (!grams || !std::isfinite(*grams) || *grams <= 0 || *grams > 1e6)
                return fail(
                    QStringLiteral("--serving は0より大きい重さ（g）、person か 100g です。"), 2);
            labelBasis = Export::LabelBasis::meal(*grams);
        }
    }

    // The store: it must exist and be a store of this program.
    const QString storePath = parser.value(store);
    if (!QFileInfo(storePath).isFile())
        return fail(QStringLiteral("データベース「%1」がありません。").arg(storePath));
    if (storePath.contains(QLatin1Char(';')))
        return fail(QStringLiteral("データベースのファイル名に「;」は使えません。"));
    // The output is looked at before the store is opened: a wrong one
    // leaves the store exactly as it was.
    if (StoreCheck::sameFile(storePath, parser.value(output)))
        return fail(QStringLiteral("--output「%1」はデータベースそのものです。書き出しません。")
                        .arg(parser.value(output)));
    const QString notAFile = StoreCheck::notAFileReason(parser.value(output));
    if (!notAFile.isEmpty())
        return fail(
            QStringLiteral("「%1」に書き込めません: %2").arg(parser.value(output), notAFile));
    const QString connection =
        QStringLiteral("Provider=Zento.SQLite.1;Data Source=") + storePath + QLatin1Char(';');
    QString error;
    if (!Database::open(connection, &error))
        return fail(QStringLiteral("データベース「%1」を開けません: %2").arg(storePath, error));

    const QString target = parser.value(output);
    if (menus) {
        Menus::Plan plan;
        if (!Menus::readPlan(connection, parser.value(menu), &plan, &error))
            return fail(
                error.startsWith(QStringLiteral("献立"))
                    ? error
                    : QStringLiteral("データベース「%1」を読めません: %2").arg(storePath, error));
        bool written = false;
        if (kind == QLatin1String("csv"))
            written = reported ? Menus::writeReportCsv(target, plan, &error)
                               : Menus::writeCsv(target, plan, &error);
        else if (kind == QLatin1String("xlsx"))
            written = reported ? Menus::writeReportWorkbook(target, plan, &error)
                               : Menus::writeWorkbook(target, plan, &error);
        else
            written = reported ? MenuSheet::writeReportPdf(target, plan, &error)
                               : MenuSheet::writePdf(target, plan, &error);
        return written ? 0 : fail(error);
    }

    Export::Selection which;
    which.all = parser.isSet(all);
    if (!which.all) {
        const std::optional<qint64> key = Export::findDish(connection, parser.value(dish), &error);
        if (!key)
            return fail(
                error.startsWith(QStringLiteral("料理"))
                    ? error
                    : QStringLiteral("データベース「%1」を読めません: %2").arg(storePath, error));
        which.key = *key;
    }
    std::vector<Export::Dish> dishes;
    if (!Export::readDishes(connection, which, int(*ageNumber), sexText == QLatin1String("male"),
                            &dishes, &error))
        return fail(QStringLiteral("データベース「%1」を読めません: %2").arg(storePath, error));
    if (dishes.empty())
        return fail(QStringLiteral("書き出す料理がありません。"));
    if ((kind == QLatin1String("pdf") || kind == QLatin1String("xlsx")) &&
        !Export::attachSheets(connection, person, sheetBasis, &dishes, &error))
        return fail(QStringLiteral("データベース「%1」を読めません: %2").arg(storePath, error));
    // A stage is for a woman of an age the standards give one (10 to 64).
    if (dishes.front().sheet && !dishes.front().sheet->table.stageAllowed(person, person.stage))
        return fail(QStringLiteral("--stage は女性の、妊娠・授乳の基準がある年齢（10～64歳）に"
                                   "だけ指定できます。"),
                    2);

    // --serving labels every dish on that basis, for this run only.
    if (labelBasis) {
        for (Export::Dish &d : dishes)
            d.labelBasis = *labelBasis;
    }

    bool written = false;
    if (kind == QLatin1String("csv")) {
        written = Export::writeCsv(target, dishes, &error);
    } else if (kind == QLatin1String("xlsx")) {
        written = Export::writeWorkbook(target, dishes, &error);
    } else {
        ReportPage::Options options;
        options.labelOnly = kind == QLatin1String("label");
        written = ReportPage::writePdf(target, dishes, options, &error);
    }
    if (!written)
        return fail(error);
    return 0;
}
