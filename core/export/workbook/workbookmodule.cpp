// The workbook writer proper, built as a module of its own that the program
// loads when it first writes a workbook: libxlsxwriter and the libraries it
// needs (zip, crypto) are then not loaded at every start.
#include "core/export/nutritionlabel.h"
#include "core/export/targetfile.h"
#include "core/export/workbookwriter.h"
#include "core/nutrition/comparison.h"
#include "core/store/numberreader.h"
#include "core/store/numbertext.h"

#include <QFile>
#include <xlsxwriter.h>

namespace Export {

namespace {

// The formats of one workbook.
struct Formats
{
    lxw_format *title;
    lxw_format *heading;
    lxw_format *energy;     // "#,##0", as the panel shows the energy
    lxw_format *oneDecimal; // "#,##0.0", as the dish list shows energy and weight
    lxw_format *boxTitle;
    lxw_format *boxText;
    lxw_format *boxFigure[3]; // 0, 1 and 2 decimals
    lxw_format *note;

    explicit Formats(lxw_workbook *book)
    {
        title = workbook_add_format(book);
        format_set_bold(title);
        format_set_font_size(title, 14);
        heading = workbook_add_format(book);
        format_set_bold(heading);
        format_set_bottom(heading, LXW_BORDER_THIN);
        format_set_bg_color(heading, 0xE8E8FF);
        energy = workbook_add_format(book);
        format_set_num_format(energy, "#,##0");
        oneDecimal = workbook_add_format(book);
        format_set_num_format(oneDecimal, "#,##0.0");
        boxTitle = workbook_add_format(book);
        format_set_bold(boxTitle);
        format_set_border(boxTitle, LXW_BORDER_MEDIUM);
        format_set_align(boxTitle, LXW_ALIGN_CENTER);
        boxText = workbook_add_format(book);
        format_set_left(boxText, LXW_BORDER_MEDIUM);
        format_set_right(boxText, LXW_BORDER_MEDIUM);
        format_set_bottom(boxText, LXW_BORDER_HAIR);
        const char *patterns[3] = {"0", "0.0", "0.00"};
        for (int i = 0; i < 3; ++i) {
            boxFigure[i] = workbook_add_format(book);
            format_set_num_format(boxFigure[i], patterns[i]);
            format_set_align(boxFigure[i], LXW_ALIGN_RIGHT);
            format_set_left(boxFigure[i], LXW_BORDER_MEDIUM);
            format_set_right(boxFigure[i], LXW_BORDER_MEDIUM);
            format_set_bottom(boxFigure[i], LXW_BORDER_HAIR);
        }
        note = workbook_add_format(book);
        format_set_italic(note);
        format_set_font_color(note, 0x606060);
    }
};

// Writes cells of one sheet; every failure is kept, the first one reported.
class Sheet
{
public:
    Sheet(lxw_worksheet *sheet, lxw_error *status)
        : m_sheet(sheet)
        , m_status(status)
    {
    }

    void text(int row, int col, const QString &value, lxw_format *format = nullptr)
    {
        if (value.isEmpty() && !format)
            return;
        keep(worksheet_write_string(m_sheet, row, col, value.toUtf8().constData(), format));
    }
    void number(int row, int col, const std::optional<double> &value, lxw_format *format = nullptr)
    {
        if (value)
            keep(worksheet_write_number(m_sheet, row, col, *value, format));
    }
    void merge(int row, int first, int last, const QString &value, lxw_format *format)
    {
        keep(worksheet_merge_range(m_sheet, row, first, row, last, value.toUtf8().constData(),
                                   format));
    }
    lxw_worksheet *handle() const { return m_sheet; }

private:
    void keep(lxw_error error)
    {
        if (error != LXW_NO_ERROR && *m_status == LXW_NO_ERROR)
            *m_status = error;
    }
    lxw_worksheet *m_sheet;
    lxw_error *m_status;
};

// A heading row of five captions, then every nutrient's.
void writeHeadings(Sheet &s, const Formats &f, int row, const QStringList &first)
{
    for (int c = 0; c < first.size(); ++c)
        s.text(row, c, first[c], f.heading);
    for (int i = 0; i < nutrientCount; ++i)
        s.text(row, int(first.size()) + i, nutrientHeading(i), f.heading);
}

// The label as a bordered box of three columns; returns the row after it.
int writeLabel(Sheet &s, const Formats &f, int row, const NutritionLabel &label)
{
    s.merge(row++, 0, 2, labelTitle(), f.boxTitle);
    s.merge(row++, 0, 2, label.basis, f.boxText);
    for (const LabelRow &r : label.rows) {
        s.text(row, 0, r.name.toString(), f.boxText);
        const std::optional<double> figure = NumberReader::number(r.figure);
        if (figure) {
            const qsizetype point = r.figure.indexOf(QLatin1Char('.'));
            const int decimals = point < 0 ? 0 : int(r.figure.size() - point - 1);
            s.number(row, 1, figure, f.boxFigure[qBound(0, decimals, 2)]);
        } else {
            s.text(row, 1, r.figure, f.boxFigure[0]);
        }
        s.text(row, 2, r.unit.toString(), f.boxText);
        ++row;
    }
    if (!label.note.isEmpty())
        s.text(row++, 0, label.note, f.note);
    return row;
}

void writeDish(Sheet &s, const Formats &f, const Dish &dish, std::optional<double> servingGrams)
{
    worksheet_set_column(s.handle(), 0, 0, 12, nullptr);
    worksheet_set_column(s.handle(), 1, 1, 30, nullptr);
    worksheet_set_column(s.handle(), 2, 4 + nutrientCount, 10, nullptr);

    int row = 0;
    s.text(row++, 0, dish.name, f.title);
    s.text(row, 0, QStringLiteral("料理番号"));
    s.number(row, 1, double(dish.key));
    row += 2;

    // The lines.
    writeHeadings(s, f, row++,
                  {QStringLiteral("食品番号"), QStringLiteral("食品名"), QStringLiteral("数量"),
                   QStringLiteral("単位"), QStringLiteral("重量(g)")});
    for (const Line &line : dish.lines) {
        s.number(row, 0, double(line.foodId));
        s.text(row, 1, line.foodName);
        s.number(row, 2, line.quantity);
        s.text(row, 3, line.unit);
        s.number(row, 4, line.grams);
        for (int i = 0; i < nutrientCount; ++i)
            s.number(row, 5 + i, line.amounts[i]);
        ++row;
    }

    // Totals and per 100 g, as the panel rounds the figures it shows.
    const Totals &t = dish.totals;
    const DishTotals panel = dishTotals(t);
    const int energy = nutrientIndex("ENC");
    const int salt = nutrientIndex("NAT");
    s.text(row, 0, QStringLiteral("合計"), f.heading);
    s.number(row, 4, panel.grams());
    for (int i = 0; i < nutrientCount; ++i) {
        if (i == energy)
            s.number(row, 5 + i, t.sums[i], f.energy);
        else if (i == salt)
            s.number(row, 5 + i, panel.roundedSalt());
        else
            s.number(row, 5 + i, t.sums[i]);
    }
    ++row;
    s.text(row, 0, QStringLiteral("100g当たり"), f.heading);
    for (int i = 0; i < nutrientCount; ++i)
        s.number(row, 5 + i, perHundredGrams(t, i));
    row += 2;

    // The panel of the main window.
    s.text(row++, 0, QStringLiteral("栄養成分値"), f.heading);
    struct PanelRow
    {
        QString caption;
        std::optional<double> value;
        lxw_format *format;
        QString unit;
    };
    const PanelRow panelRows[] = {
        {QStringLiteral("合計重量"), panel.grams(), nullptr, QStringLiteral("g")},
        {QStringLiteral("総カロリー"), t.sums[energy], f.energy, QStringLiteral("kcal")},
        {QStringLiteral("食塩量"), panel.roundedSalt(), nullptr, QStringLiteral("g")},
        {QStringLiteral("水分"), perHundredGrams(t, nutrientIndex("SUI")), nullptr,
         QStringLiteral("g")},
        {QStringLiteral("タンパク質"), perHundredGrams(t, nutrientIndex("TAN")), nullptr,
         QStringLiteral("g")},
        {QStringLiteral("脂質"), perHundredGrams(t, nutrientIndex("SST")), nullptr,
         QStringLiteral("g")},
        {QStringLiteral("糖質"), perHundredGrams(t, nutrientIndex("TST")), nullptr,
         QStringLiteral("g")},
        {QStringLiteral("繊維"), perHundredGrams(t, nutrientIndex("TSS")), nullptr,
         QStringLiteral("g")},
        {QStringLiteral("灰分"), perHundredGrams(t, nutrientIndex("KBN")), nullptr,
         QStringLiteral("g(100g中)")},
    };
    for (const PanelRow &p : panelRows) {
        s.text(row, 0, p.caption);
        s.number(row, 1, p.value, p.format);
        s.text(row, 2, p.unit);
        ++row;
    }
    ++row;

    // The comparison with the chosen standard.
    const Comparison &c = dish.comparison;
    s.text(row++, 0,
           QStringLiteral("基準値との比較（%1歳・%2）")
               .arg(c.age)
               .arg(c.male ? QStringLiteral("男性") : QStringLiteral("女性")),
           f.heading);
    s.text(row, 0, QStringLiteral("項目"), f.heading);
    s.text(row, 1, QStringLiteral("計算値"), f.heading);
    s.text(row, 2, QStringLiteral("基準値"), f.heading);
    s.text(row, 3, QStringLiteral("単位"), f.heading);
    ++row;
    for (int e = 0; e < 11; ++e) {
        s.text(row, 0, ::Comparison::caption(e));
        if (e >= 2)
            s.number(row, 1, c.calculated[e - 2]);
        s.number(row, 2, c.standard[e]);
        s.text(row, 3, comparisonUnits[e].toString());
        ++row;
    }
    if (!c.standardFound)
        s.text(row++, 0, QStringLiteral("※ この年齢と性別の基準値はありません。"), f.note);
    ++row;

    row = writeLabel(s, f, row, nutritionLabel(t, servingGrams));
    ++row;
    s.text(row, 0, attribution(), f.note);
}

void writeOverview(Sheet &s, const Formats &f, const std::vector<Dish> &dishes)
{
    worksheet_set_column(s.handle(), 0, 0, 10, nullptr);
    worksheet_set_column(s.handle(), 1, 1, 30, nullptr);
    worksheet_set_column(s.handle(), 2, 4 + nutrientCount, 11, nullptr);
    int row = 0;
    s.text(row, 0, QStringLiteral("料理一覧"), f.title);
    row += 2;
    writeHeadings(s, f, row++,
                  {QStringLiteral("料理番号"), QStringLiteral("料理名"),
                   QStringLiteral("ｴﾈﾙｷﾞｰ(kcal)"), QStringLiteral("合計重量(g)"),
                   QStringLiteral("食塩量(g)")});
    for (const Dish &dish : dishes) {
        s.number(row, 0, double(dish.key));
        s.text(row, 1, dish.name);
        s.number(row, 2, dish.totals.listEnergy, f.oneDecimal);
        s.number(row, 3, dish.totals.listWeight, f.oneDecimal);
        s.number(row, 4, dish.totals.listSalt);
        for (int i = 0; i < nutrientCount; ++i)
            s.number(row, 5 + i, dish.totals.sums[i]);
        ++row;
    }
    ++row;
    s.text(row, 0, attribution(), f.note);
}

} // namespace

bool writeWorkbookNow(const QString &path, const std::vector<Dish> &dishes,
                      std::optional<double> servingGrams, QString *error)
{
    TargetFile target(path);
    if (!target.open(error))
        return false;
    const QByteArray file = QFile::encodeName(target.temporaryPath());
    lxw_workbook_options options{};
    options.use_zip64 = LXW_TRUE;
    lxw_workbook *book = workbook_new_opt(file.constData(), &options);
    if (!book) {
        *error = target.failure(QStringLiteral("ブックを作れません。"));
        return false;
    }
    lxw_error status = LXW_NO_ERROR;
    const Formats formats(book);
    QSet<QString> used;

    const QString overview = sheetName(overviewSheetName(), 0, &used);
    if (lxw_worksheet *ws = workbook_add_worksheet(book, overview.toUtf8().constData())) {
        Sheet sheet(ws, &status);
        writeOverview(sheet, formats, dishes);
    } else {
        status = LXW_ERROR_SHEETNAME_ALREADY_USED;
    }
    for (const Dish &dish : dishes) {
        if (status != LXW_NO_ERROR)
            break;
        const QString name = sheetName(dish.name, dish.key, &used);
        lxw_worksheet *ws = workbook_add_worksheet(book, name.toUtf8().constData());
        if (!ws) {
            status = LXW_ERROR_SHEETNAME_ALREADY_USED;
            break;
        }
        Sheet sheet(ws, &status);
        writeDish(sheet, formats, dish, servingGrams);
    }
    // Closing writes the file; it also frees the workbook when writing failed.
    const lxw_error closed = workbook_close(book);
    if (status == LXW_NO_ERROR)
        status = closed;
    if (status != LXW_NO_ERROR) {
        *error = target.failure(QString::fromUtf8(lxw_strerror(status)));
        return false;
    }
    return target.commit(error);
}

} // namespace Export

extern "C" Q_DECL_EXPORT bool zentoWriteWorkbook(const QString &path,
                                                 const std::vector<Export::Dish> &dishes,
                                                 std::optional<double> servingGrams, QString *error)
{
    return Export::writeWorkbookNow(path, dishes, servingGrams, error);
}
