// The workbook writer proper, built as a module of its own that the program
// loads when it first writes a workbook: libxlsxwriter and the libraries it
// needs (zip, crypto) are then not loaded at every start.
#include "core/app/filecause.h"
#include "core/app/threads.h"
#include "core/export/nutritionlabel.h"
#include "core/export/sheettable.h"
#include "core/export/targetfile.h"
#include "core/export/workbook/zipparts.h"
#include "core/export/workbookwriter.h"
#include "core/nutrition/comparison.h"
#include "core/store/numberreader.h"
#include "core/store/numbertext.h"

#include <QFile>
#include <QSet>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <functional>
#include <latch>
#include <xlsxwriter.h>

namespace Export {

namespace {

// The formats of one workbook.
struct Formats
{
    lxw_format *title = nullptr;
    lxw_format *heading = nullptr;
    lxw_format *energy = nullptr;     // "#,##0", as the panel shows the energy
    lxw_format *oneDecimal = nullptr; // "#,##0.0", as the dish list shows energy and weight
    lxw_format *boxTitle = nullptr;
    lxw_format *boxText = nullptr;
    lxw_format *boxFigure[3] = {}; // 0, 1 and 2 decimals
    // A figure given to one significant figure (0.005, 0.0008): as many
    // decimals as it has.
    lxw_format *boxSmallFigure = nullptr;
    lxw_format *note = nullptr;
    lxw_format *places[3] = {}; // a nutrient's figure at 0, 1 and 2 decimals

    Formats() = default; // none: for a sheet that only gathers texts

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
        boxSmallFigure = workbook_add_format(book);
        format_set_num_format(boxSmallFigure, "0.0#########");
        format_set_align(boxSmallFigure, LXW_ALIGN_RIGHT);
        format_set_left(boxSmallFigure, LXW_BORDER_MEDIUM);
        format_set_right(boxSmallFigure, LXW_BORDER_MEDIUM);
        format_set_bottom(boxSmallFigure, LXW_BORDER_HAIR);
        note = workbook_add_format(book);
        format_set_italic(note);
        format_set_font_color(note, 0x606060);
        for (int i = 0; i < 3; ++i) {
            places[i] = workbook_add_format(book);
            format_set_num_format(places[i], patterns[i]);
        }

        // Style numbers are given in this order, not in the order the cells
        // are written, so that every part of a workbook numbers them alike.
        for (lxw_format *format :
             {title, heading, energy, oneDecimal, boxTitle, boxText, boxFigure[0], boxFigure[1],
              boxFigure[2], boxSmallFigure, note, places[0], places[1], places[2]})
            lxw_format_get_xf_index(format);
    }
};

// The texts of a workbook's cells, each once, in the order first written.
class Strings
{
public:
    void add(const QString &text)
    {
        if (!text.isEmpty() && !m_seen.contains(text)) {
            m_seen.insert(text);
            m_order.push_back(text.toUtf8());
        }
    }
    const std::vector<QByteArray> &order() const { return m_order; }

private:
    QSet<QString> m_seen;
    std::vector<QByteArray> m_order;
};

// Writes cells of one sheet; every failure is kept, the first one reported.
// A sheet that only gathers the texts its cells would hold writes nothing.
class Sheet
{
public:
    Sheet(lxw_worksheet *sheet, lxw_error *status)
        : m_sheet(sheet)
        , m_status(status)
    {
    }
    explicit Sheet(Strings *gather)
        : m_gather(gather)
    {
    }

    void text(int row, int col, const QString &value, lxw_format *format = nullptr)
    {
        if (value.isEmpty() && !format)
            return;
        if (m_gather)
            m_gather->add(value);
        else
            keep(worksheet_write_string(m_sheet, row, col, value.toUtf8().constData(), format));
    }
    void number(int row, int col, const std::optional<double> &value, lxw_format *format = nullptr)
    {
        if (value && !m_gather)
            keep(worksheet_write_number(m_sheet, row, col, *value, format));
    }
    void merge(int row, int first, int last, const QString &value, lxw_format *format)
    {
        if (m_gather)
            m_gather->add(value);
        else
            keep(worksheet_merge_range(m_sheet, row, first, row, last, value.toUtf8().constData(),
                                       format));
    }
    void columns(int first, int last, double width)
    {
        if (!m_gather)
            keep(worksheet_set_column(m_sheet, first, last, width, nullptr));
    }

private:
    void keep(lxw_error error)
    {
        if (error != LXW_NO_ERROR && *m_status == LXW_NO_ERROR)
            *m_status = error;
    }
    lxw_worksheet *m_sheet = nullptr;
    lxw_error *m_status = nullptr;
    Strings *m_gather = nullptr;
};

// A heading row of five captions, then every nutrient's, then (on a dish's
// sheet) every other component's.
void writeHeadings(Sheet &s, const Formats &f, int row, const QStringList &first,
                   bool components = false)
{
    for (int c = 0; c < first.size(); ++c)
        s.text(row, c, first[c], f.heading);
    for (int i = 0; i < nutrientCount; ++i)
        s.text(row, int(first.size()) + i, nutrientHeading(i), f.heading);
    if (!components)
        return;
    int column = int(first.size()) + nutrientCount;
    for (int c : extraComponents())
        s.text(row, column++, componentHeading(c), f.heading);
}

// The other components of a row of a dish's sheet, after the nutrients.
template <typename Value> void writeComponents(Sheet &s, const Formats &f, int row, Value value)
{
    int column = 5 + nutrientCount;
    for (int c : extraComponents())
        s.number(row, column++, shown(value(c)),
                 f.places[qBound(0, Components::all[c].decimals, 2)]);
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
            s.number(row, 1, figure,
                     decimals > 2 ? f.boxSmallFigure : f.boxFigure[qBound(0, decimals, 2)]);
        } else {
            s.text(row, 1, r.figure, f.boxFigure[0]);
        }
        s.text(row, 2, r.unit.toString(), f.boxText);
        ++row;
    }
    s.merge(row++, 0, 2, labelStatement(), f.boxText);
    if (!label.note.isEmpty())
        s.text(row++, 0, label.note, f.note);
    return row;
}

// The 栄養成分一覧 of the dish for the chosen person; returns the row after it.
int writeSheet(Sheet &s, const Formats &f, int row, const Dish &dish, const SheetChoice &choice)
{
    const NutrientSheetPage page = nutrientSheet(dish, choice);
    s.text(row++, 0,
           QStringLiteral("栄養成分一覧（%1、%2比較）")
               .arg(personText(choice), NutrientSheet::basisText(choice.basis)),
           f.heading);
    const QStringList headings{QStringLiteral("成分"),       QStringLiteral("単位"),
                               QStringLiteral("全体"),       QStringLiteral("1人分"),
                               QStringLiteral("100g当たり"), QStringLiteral("基準 (1日)"),
                               QStringLiteral("充足率 (%)"), QStringLiteral("判定")};
    for (int c = 0; c < headings.size(); ++c)
        s.text(row, c, headings[c], f.heading);
    ++row;
    for (const NutrientSheet::Row &r : page.rows) {
        const Components::Component &c = Components::all[r.component];
        lxw_format *places = f.places[qBound(0, c.decimals, 2)];
        s.text(row, 0, c.name.toString());
        s.text(row, 1, c.unit.toString());
        s.number(row, 2, shown(r.total), places);
        s.number(row, 3, shown(r.serving), places);
        s.number(row, 4, shown(r.perHundredGrams), places);
        if (!Intakes::nutrientOf(r.component).isEmpty())
            s.text(row, 5, Intakes::standardText(r.standard, c.decimals));
        if (r.ratio)
            s.number(row, 6, NumberText::roundHalfUp(*r.ratio, 0));
        s.text(row, 7, Intakes::verdictText(r.verdict));
        ++row;
    }
    s.text(row++, 0, QStringLiteral("エネルギー産生栄養素バランス"), f.heading);
    for (const QString &text : NutrientSheet::shareTexts(page.balance))
        s.text(row++, 0, text);
    return row;
}

void writeDish(Sheet &s, const Formats &f, const Dish &dish)
{
    s.columns(0, 0, 12);
    s.columns(1, 1, 30);
    s.columns(2, 4 + nutrientCount + int(extraComponents().size()), 10);

    int row = 0;
    s.text(row++, 0, dish.name, f.title);
    s.text(row, 0, QStringLiteral("料理番号"));
    s.number(row, 1, double(dish.key));
    s.text(row, 2, QStringLiteral("人分"));
    s.number(row, 3, dish.servings);
    s.text(row, 4, QStringLiteral("出来上がり重量(g)"));
    s.number(row, 5, dish.finishedGrams);
    row += 2;

    // The lines.
    writeHeadings(s, f, row++,
                  {QStringLiteral("食品番号"), QStringLiteral("食品名"), QStringLiteral("数量"),
                   QStringLiteral("単位"), QStringLiteral("重量(g)")},
                  true);
    for (const Line &line : dish.lines) {
        s.number(row, 0, double(line.foodId));
        s.text(row, 1, line.foodName);
        s.number(row, 2, shown(line.quantity));
        s.text(row, 3, line.unit);
        s.number(row, 4, shown(line.grams));
        for (int i = 0; i < nutrientCount; ++i)
            s.number(row, 5 + i, shown(line.amounts[i]), f.places[nutrientPlaces(i)]);
        writeComponents(s, f, row, [&](int c) { return lineComponent(line, c); });
        ++row;
    }

    // Totals and per 100 g, as the panel rounds the figures it shows.
    const Totals &t = dish.totals;
    const DishTotals panel = dishTotals(t, dish.finishedGrams);
    const int energy = nutrientIndex("ENC");
    const int salt = nutrientIndex("NAT");
    s.text(row, 0, QStringLiteral("合計"), f.heading);
    s.number(row, 4, shown(panel.grams()));
    for (int i = 0; i < nutrientCount; ++i) {
        if (i == energy)
            s.number(row, 5 + i, shown(t.sums[i]), f.energy);
        else if (i == salt)
            s.number(row, 5 + i, panel.roundedSalt());
        else
            s.number(row, 5 + i, shown(t.sums[i]), f.places[nutrientPlaces(i)]);
    }
    writeComponents(s, f, row, [&](int c) { return t.components[c]; });
    ++row;
    // Per 100 g of the finished dish when it has a finished weight.
    s.text(row, 0, QStringLiteral("100g当たり"), f.heading);
    for (int i = 0; i < nutrientCount; ++i)
        s.number(row, 5 + i, perHundredAtPlaces(t, i, dish.finishedGrams),
                 f.places[nutrientPlaces(i)]);
    writeComponents(s, f, row,
                    [&](int c) { return componentPerHundred(t, c, dish.finishedGrams); });
    ++row;
    s.text(row, 0, QStringLiteral("1人分"), f.heading);
    if (const std::optional<double> grams = panel.grams())
        s.number(row, 4,
                 NumberText::roundHalfUp(dish.finishedGrams.value_or(*grams) / dish.servings, 1));
    for (int i = 0; i < nutrientCount; ++i)
        s.number(row, 5 + i, perServingAtPlaces(dish, i), f.places[nutrientPlaces(i)]);
    writeComponents(s, f, row, [&](int c) { return componentPerServing(dish, c); });
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
        {QStringLiteral("合計重量"), shown(panel.grams()), nullptr, QStringLiteral("g")},
        {QStringLiteral("総カロリー"), shown(t.sums[energy]), f.energy, QStringLiteral("kcal")},
        {QStringLiteral("食塩量"), panel.roundedSalt(), nullptr, QStringLiteral("g")},
        {QStringLiteral("水分"), perHundredGrams(t, nutrientIndex("SUI"), dish.finishedGrams),
         nullptr, QStringLiteral("g")},
        {QStringLiteral("タンパク質"), perHundredGrams(t, nutrientIndex("TAN"), dish.finishedGrams),
         nullptr, QStringLiteral("g")},
        {QStringLiteral("脂質"), perHundredGrams(t, nutrientIndex("SST"), dish.finishedGrams),
         nullptr, QStringLiteral("g")},
        {QStringLiteral("糖質"), perHundredGrams(t, nutrientIndex("TST"), dish.finishedGrams),
         nullptr, QStringLiteral("g")},
        {QStringLiteral("繊維"), perHundredGrams(t, nutrientIndex("TSS"), dish.finishedGrams),
         nullptr, QStringLiteral("g")},
        {QStringLiteral("灰分"), perHundredGrams(t, nutrientIndex("KBN"), dish.finishedGrams),
         nullptr, QStringLiteral("g(100g中)")},
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
        s.number(row, 2, NumberReader::number(::Comparison::standardText(c.standard[e])));
        s.text(row, 3, comparisonUnits[e].toString());
        ++row;
    }
    if (!c.standardFound)
        s.text(row++, 0, QStringLiteral("※ この年齢と性別の基準値はありません。"), f.note);
    ++row;

    row = writeLabel(s, f, row, nutritionLabel(dish));
    ++row;
    if (dish.sheet)
        row = writeSheet(s, f, row, dish, *dish.sheet) + 1;
    s.text(row, 0, attribution(), f.note);
}

void writeOverview(Sheet &s, const Formats &f, const std::vector<Dish> &dishes)
{
    s.columns(0, 0, 10);
    s.columns(1, 1, 30);
    s.columns(2, 4 + nutrientCount, 11);
    int row = 0;
    s.text(row, 0, QStringLiteral("料理一覧"), f.title);
    row += 2;
    writeHeadings(s, f, row++,
                  {QStringLiteral("料理番号"), QStringLiteral("料理名"),
                   QStringLiteral("ｴﾈﾙｷﾞｰ(kcal)"), QStringLiteral("合計重量(g)"),
                   QStringLiteral("食塩量(g)")});
    s.text(row - 1, 5 + nutrientCount, QStringLiteral("人分"), f.heading);
    s.text(row - 1, 6 + nutrientCount, QStringLiteral("出来上がり重量(g)"), f.heading);
    for (const Dish &dish : dishes) {
        s.number(row, 0, double(dish.key));
        s.text(row, 1, dish.name);
        s.number(row, 2, dish.totals.listEnergy, f.oneDecimal);
        s.number(row, 3, dish.totals.listWeight, f.oneDecimal);
        s.number(row, 4, dish.totals.listSalt);
        for (int i = 0; i < nutrientCount; ++i)
            s.number(row, 5 + i, shown(dish.totals.sums[i]), f.places[nutrientPlaces(i)]);
        s.number(row, 5 + nutrientCount, dish.servings);
        s.number(row, 6 + nutrientCount, dish.finishedGrams);
        ++row;
    }
    ++row;
    s.text(row, 0, attribution(), f.note);
}

// What the parts of one workbook share.
struct Plan
{
    const std::vector<Dish> *dishes = nullptr;
    QByteArray overviewName;
    std::vector<QByteArray> sheetNames; // a dish's sheet
    QByteArray spareName;               // the first sheet of a part beyond the first
    std::vector<QByteArray> strings;    // every text of the workbook, in the first part's order
};

// A part of a workbook, written by a thread of its own. The first part is
// the workbook as it will be: the overview and a sheet for every dish, of
// which it fills its own range; the sheets of a later part's range are
// filled from that part. A later part starts with a spare sheet, which is
// the one shown on opening, so that its dish sheets are written exactly as
// in the first part. Every part knows the workbook's texts in the same order
// before it writes a cell, so that a text has the same number in every part.
struct Part
{
    size_t first = 0, last = 0; // the dishes filled
    bool whole = false;         // the first part
    QByteArray file;
    lxw_error status = LXW_NO_ERROR;
    int cause = 0;            // the error number of a failed write, when known
    uint32_t references = 0;  // text cells written
    bool unknownText = false; // a text outside the plan's, which the parts cannot share
};

void keep(lxw_error *status, lxw_error error)
{
    if (*status == LXW_NO_ERROR)
        *status = error;
}

// Writes a part's cells; the first part then waits for the others' counts of
// text cells, which the workbook's table of texts states.
void writePart(Part &part, std::vector<Part> &parts, const Plan &plan, std::latch &written)
{
    lxw_workbook_options options{};
    options.use_zip64 = LXW_TRUE;
    lxw_workbook *book = workbook_new_opt(part.file.constData(), &options);
    if (!book) {
        part.status = LXW_ERROR_CREATING_XLSX_FILE;
        written.count_down();
        return;
    }
    const Formats formats(book);
    for (const QByteArray &text : plan.strings)
        lxw_get_sst_index(book->sst, text.constData(), LXW_FALSE);
    const uint32_t planned = book->sst->string_count;

    auto addSheet = [&](const QByteArray &name) {
        lxw_worksheet *ws = workbook_add_worksheet(book, name.constData());
        if (!ws)
            keep(&part.status, LXW_ERROR_SHEETNAME_ALREADY_USED);
        return ws;
    };
    const std::vector<Dish> &dishes = *plan.dishes;
    if (part.whole) {
        if (lxw_worksheet *ws = addSheet(plan.overviewName)) {
            Sheet sheet(ws, &part.status);
            writeOverview(sheet, formats, dishes);
        }
    } else {
        addSheet(plan.spareName);
    }
    const size_t from = part.whole ? 0 : part.first;
    const size_t to = part.whole ? dishes.size() : part.last;
    for (size_t d = from; d < to && part.status == LXW_NO_ERROR; ++d) {
        lxw_worksheet *ws = addSheet(plan.sheetNames[d]);
        if (ws && d >= part.first && d < part.last) {
            Sheet sheet(ws, &part.status);
            writeDish(sheet, formats, dishes[d]);
        }
    }
    part.references = book->sst->string_count - planned;
    part.unknownText = !plan.strings.empty() && book->sst->unique_count != plan.strings.size();
    written.count_down();
    if (part.whole) {
        written.wait();
        uint32_t references = 0;
        for (const Part &p : parts)
            references += p.references;
        book->sst->string_count = references;
    }
    // Closing writes the file; it also frees the workbook when writing failed.
    errno = 0;
    const lxw_error closed = workbook_close(book);
    if (closed != LXW_NO_ERROR && part.status == LXW_NO_ERROR)
        part.cause = errno;
    keep(&part.status, closed);
}

// Runs work(0) .. work(count - 1), each beside the others but the first,
// which runs here (see besideOrHere).
void eachPart(size_t count, const std::function<void(size_t)> &work)
{
    std::vector<std::jthread> threads;
    for (size_t p = 1; p < count; ++p)
        threads.push_back(besideOrHere([&work, p] { work(p); }));
    work(0);
}

// A dish's share of the work, in cells.
size_t cellsOf(const Dish &dish)
{
    return (dish.lines.size() + 3) * (5 + nutrientCount + extraComponents().size()) + 80;
}

// Splits the dishes among the parts by their cells; the first part also
// writes the overview and every sheet's name.
std::vector<Part> planParts(const std::vector<Dish> &dishes, const QString &path)
{
    constexpr size_t leastToSplit = 30000;
    // The first part also writes a row of the overview and a sheet name for
    // every dish.
    constexpr size_t perDishOfFirst = 40 + 5 + nutrientCount;
    size_t cells = 0;
    for (const Dish &dish : dishes)
        cells += cellsOf(dish);
    const size_t wanted =
        cells < leastToSplit ? 1 : size_t(std::clamp(QThread::idealThreadCount(), 2, 4));
    const size_t count = std::max<size_t>(1, std::min(wanted, dishes.size()));
    const size_t share = (cells + perDishOfFirst * dishes.size()) / count;

    std::vector<Part> parts(count);
    size_t d = 0;
    for (size_t p = 0; p < count; ++p) {
        Part &part = parts[p];
        part.whole = p == 0;
        part.file = QFile::encodeName(
            p == 0 && count == 1 ? path : path + QStringLiteral(".part%1").arg(p));
        part.first = d;
        size_t taken = p == 0 ? perDishOfFirst * dishes.size() : 0;
        // A dish goes to this part while the part stays nearer its share
        // (the last part takes the rest), leaving a dish for each part after.
        while (d < dishes.size() && (p + 1 == count || taken + cellsOf(dishes[d]) / 2 < share) &&
               dishes.size() - d > count - p - 1) {
            taken += cellsOf(dishes[d]);
            ++d;
        }
        part.last = d;
    }
    return parts;
}

const QByteArray sheetEntryPrefix = QByteArrayLiteral("xl/worksheets/sheet");

// The number N of a sheet's entry "xl/worksheets/sheetN.xml", or 0.
size_t sheetNumber(const QByteArray &entry)
{
    if (!entry.startsWith(sheetEntryPrefix) || !entry.endsWith(".xml"))
        return 0;
    bool ok = false;
    const size_t n = entry.mid(sheetEntryPrefix.size(), entry.size() - sheetEntryPrefix.size() - 4)
                         .toULongLong(&ok);
    return ok ? n : 0;
}

QByteArray sheetEntry(size_t n)
{
    return sheetEntryPrefix + QByteArray::number(qulonglong(n)) + ".xml";
}

} // namespace

bool writeWorkbookNow(const QString &path, const std::vector<Dish> &dishes, QString *error)
{
    TargetFile target(path);
    // libxlsxwriter counts sheets in 16 bits: past that they would overwrite
    // one another.
    constexpr size_t mostDishes = 65534;
    if (dishes.size() > mostDishes) {
        *error = target.failure(
            QStringLiteral("Excel ブックに書ける料理は %L1 品までです（%L2 品あります）。"
                           "CSV で書き出すか、料理を一つ選んでください。")
                .arg(qulonglong(mostDishes))
                .arg(qulonglong(dishes.size())));
        return false;
    }
    if (!target.open(error))
        return false;

    Plan plan;
    plan.dishes = &dishes;
    QSet<QString> used;
    plan.overviewName = sheetName(overviewSheetName(), 0, &used).toUtf8();
    plan.sheetNames.reserve(dishes.size());
    for (const Dish &dish : dishes)
        plan.sheetNames.push_back(sheetName(dish.name, dish.key, &used).toUtf8());
    plan.spareName = sheetName(QStringLiteral("_"), 0, &used).toUtf8();

    std::vector<Part> parts = planParts(dishes, target.temporaryPath());
    struct Leftovers
    {
        std::vector<Part> *parts;
        ~Leftovers()
        {
            if (parts->size() > 1) {
                for (const Part &part : *parts)
                    QFile::remove(QFile::decodeName(part.file));
            }
        }
    } leftovers{&parts};
    if (parts.size() > 1) {
        // Each part gathers the texts of its own sheets (the first part's
        // include the overview); in the parts' order they are the texts in
        // the order the whole workbook first writes them.
        std::vector<Strings> gathered(parts.size());
        eachPart(parts.size(), [&](size_t p) {
            Sheet gather(&gathered[p]);
            const Formats none;
            if (p == 0)
                writeOverview(gather, none, dishes);
            for (size_t d = parts[p].first; d < parts[p].last; ++d)
                writeDish(gather, none, dishes[d]);
        });
        QSet<QByteArray> seen;
        for (const Strings &strings : gathered) {
            for (const QByteArray &text : strings.order()) {
                if (!seen.contains(text)) {
                    seen.insert(text);
                    plan.strings.push_back(text);
                }
            }
        }
    }

    std::latch written(std::ptrdiff_t(parts.size()));
    eachPart(parts.size(), [&](size_t p) { writePart(parts[p], parts, plan, written); });

    for (const Part &part : parts) {
        if (part.status != LXW_NO_ERROR) {
            // A full disk is told as such, not as the zip library's code.
            *error = target.failure(part.cause ? FileCause::of(part.cause)
                                               : QString::fromUtf8(lxw_strerror(part.status)));
            return false;
        }
        if (part.unknownText) {
            *error = target.failure(QStringLiteral("ブックの文字列を分けて書けません。"));
            return false;
        }
    }
    if (parts.size() > 1) {
        // The first part's sheet N holds dish N - 2; a later part's sheet
        // N holds its dish first + N - 2.
        std::vector<QByteArray> files;
        for (const Part &part : parts)
            files.push_back(part.file);
        QString reason;
        const bool merged = ZipParts::merge(
            files, QFile::encodeName(target.temporaryPath()),
            [&](const QByteArray &entry) -> std::optional<ZipParts::Source> {
                const size_t n = sheetNumber(entry);
                if (n < 2 || n - 2 < parts[0].last)
                    return std::nullopt;
                for (size_t p = 1; p < parts.size(); ++p) {
                    if (n - 2 < parts[p].last)
                        return ZipParts::Source{int(p), sheetEntry(n - 2 - parts[p].first + 2)};
                }
                return std::nullopt;
            },
            &reason);
        if (!merged) {
            *error = target.failure(reason);
            return false;
        }
    }
    return target.commit(error);
}

bool writeTablesNow(const QString &path, const std::vector<SheetTable> &tables, QString *error)
{
    TargetFile target(path);
    if (!target.open(error))
        return false;
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE; // rows are written in order
    const QByteArray file = QFile::encodeName(target.temporaryPath());
    lxw_workbook *book = workbook_new_opt(file.constData(), &options);
    if (!book) {
        *error = target.failure(QString::fromUtf8(lxw_strerror(LXW_ERROR_CREATING_XLSX_FILE)));
        return false;
    }
    const Formats f(book);
    lxw_error status = LXW_NO_ERROR;
    QSet<QString> used;
    for (const SheetTable &table : tables) {
        lxw_worksheet *ws =
            workbook_add_worksheet(book, sheetName(table.name, 0, &used).toUtf8().constData());
        if (!ws) {
            status = LXW_ERROR_SHEETNAME_ALREADY_USED;
            break;
        }
        Sheet s(ws, &status);
        s.columns(0, 1, 12);
        s.columns(2, 2, 6);
        s.columns(3, 3, 24);
        s.columns(4, int(table.headings.size()), 11);
        int row = 0;
        s.text(row, 0, table.title, f.title);
        row += 2;
        for (int c = 0; c < int(table.headings.size()); ++c)
            s.text(row, c, table.headings[c], f.heading);
        ++row;
        for (const std::vector<TableCell> &cells : table.rows) {
            for (int c = 0; c < int(cells.size()); ++c) {
                if (cells[c].number)
                    s.number(row, c, cells[c].number, f.places[qBound(0, cells[c].decimals, 2)]);
                else
                    s.text(row, c, cells[c].text);
            }
            ++row;
        }
        ++row;
        for (const QString &note : table.notes)
            s.text(row++, 0, note, f.note);
    }
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

extern "C" Q_DECL_EXPORT bool
zentoWriteTables(const QString &path, const std::vector<Export::SheetTable> &tables, QString *error)
{
    return Export::writeTablesNow(path, tables, error);
}

extern "C" Q_DECL_EXPORT bool
zentoWriteWorkbook(const QString &path, const std::vector<Export::Dish> &dishes, QString *error)
{
    return Export::writeWorkbookNow(path, dishes, error);
}
