#include "paper/reportpage.h"

#include "core/nutrition/comparison.h"
#include "core/nutrition/radarchart.h"
#include "core/store/numbertext.h"
#include "paper/chartpaint.h"
#include "paper/pfcbar.h"
#include "paper/printpage.h"

#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

namespace ReportPage {

namespace {

constexpr double pageWidthMm = 210;
constexpr double pageHeightMm = 297;
constexpr double marginMm = 15;
// The chart is drawn as the comparison window draws it on a 96 dpi screen,
// scaled to its place on the page, so its pens keep their weight.
constexpr double screenDpi = 96;

// The axis captions and the legend inside the chart, in the chart's twips.
struct ChartCaption
{
    QStringView text;
    int x, y;
};
constexpr ChartCaption chartCaptions[] = {
    {u"ｴﾈﾙｷﾞｰ", 2400, 240},  {u"ﾀﾝﾊﾟｸ質", 4080, 720}, {u"ｶﾙｼｳﾑ", 4800, 1920},
    {u"鉄", 4560, 3480},     {u"ﾋﾞﾀﾐﾝA", 3360, 4320}, {u"ﾋﾞﾀﾐﾝB1", 1440, 4200},
    {u"ﾋﾞﾀﾐﾝB2", 480, 3480}, {u"ﾅｲｱｼﾝ", 240, 1920},   {u"ﾋﾞﾀﾐﾝC", 840, 600},
    {u"基準値", 4920, 4080}, {u"計算値", 4920, 4440},
};

using PrintPage::font;
using PrintPage::Page;

void paintChart(Page &page, QPagedPaintDevice *device, double x, double y, double width,
                const Export::Comparison &c)
{
    RadarChart::Values values;
    for (int i = 0; i < RadarChart::axisCount; ++i) {
        const int element = RadarChart::ChartAxis[i].element;
        values.calculated[i] = c.calculated[element - 2];
        values.standard[i] = ::Comparison::standardShown(c.standard[element]);
    }
    values.scales = c.chartScales;
    QPainter &p = page.painter();
    const double scale = device->logicalDpiX() / screenDpi;
    const double pixelsPerTwip = page.mm(width) / scale / RadarChart::surfaceWidth;
    const double height = width * RadarChart::surfaceHeight / RadarChart::surfaceWidth;

    p.save();
    p.setClipRect(page.rect(x, y, width, height));
    p.translate(page.mm(x), page.mm(y));
    p.scale(scale, scale);
    ChartPaint::render(p, RadarChart::figure(values), pixelsPerTwip, Qt::white, Qt::black);
    p.setFont(font(7 / scale)); // points, under the chart's scale
    p.setPen(Qt::black);
    const double toDevice = page.mm(width) / RadarChart::surfaceWidth / scale;
    for (const ChartCaption &caption : chartCaptions)
        p.drawText(QPointF(caption.x * toDevice, (caption.y + 200) * toDevice),
                   caption.text.toString());
    // The legend's strokes beside their captions.
    p.setPen(QPen(ChartPaint::colourOf(RadarChart::standardColour), 2));
    p.drawLine(QPointF(4440 * toDevice, 4200 * toDevice),
               QPointF(4800 * toDevice, 4200 * toDevice));
    p.setPen(QPen(ChartPaint::colourOf(RadarChart::calculatedColour), 2));
    p.drawLine(QPointF(4440 * toDevice, 4560 * toDevice),
               QPointF(4800 * toDevice, 4560 * toDevice));
    p.restore();
    p.save();
    p.setPen(QPen(Qt::gray, 0));
    p.drawRect(page.rect(x, y, width, height));
    p.restore();
}

void paintDish(Page &page, QPagedPaintDevice *device, const Export::Dish &dish,
               const Options &options)
{
    using namespace Export;
    const double contentWidth = pageWidthMm - 2 * marginMm;
    const double contentHeight = pageHeightMm - 2 * marginMm;
    const QFont small = font(8);
    const QFont body = font(9);
    const QFont bold = font(9, true);
    QPainter &p = page.painter();

    // The chart first: it clears its own area.
    const double chartTop = 160;
    paintChart(page, device, 84, chartTop, contentWidth - 84, dish.comparison);

    page.text(0, 0, contentWidth, 9, dish.name, font(15, true));
    page.text(0, 9, contentWidth, 5,
              QStringLiteral("料理番号 %1　%2").arg(dish.key).arg(portionText(dish)), small);

    // The recipe lines, as many as the column holds.
    double y = 17;
    const double rowHeight = 5;
    page.text(0, y, 60, rowHeight, QStringLiteral("食品名"), bold);
    page.text(60, y, 15, rowHeight, QStringLiteral("数量"), bold,
              Qt::AlignRight | Qt::AlignVCenter);
    page.text(77, y, 13, rowHeight, QStringLiteral("単位"), bold);
    page.text(90, y, 18, rowHeight, QStringLiteral("重量(g)"), bold,
              Qt::AlignRight | Qt::AlignVCenter);
    page.line(0, y + rowHeight, 108, y + rowHeight);
    y += rowHeight + 0.5;
    // A long food name wraps within its column; the lines take the rows
    // their names need, down to the room above the comparison.
    const double bottom = chartTop - 8;
    auto general = [](const std::optional<double> &v) {
        return v ? NumberText::general(*v) : QString();
    };
    int shown = 0;
    for (; shown < int(dish.lines.size()); ++shown) {
        const Line &line = dish.lines[shown];
        const double height = page.wrappedHeight(60, line.foodName, body, rowHeight);
        const bool last = shown + 1 == int(dish.lines.size());
        if (y + height + (last ? 0 : rowHeight) > bottom)
            break;
        page.wrappedAnywhere(0, y, 60, height, line.foodName, body);
        page.text(60, y, 15, height, general(line.quantity), body,
                  Qt::AlignRight | Qt::AlignVCenter);
        page.text(77, y, 13, height, line.unit, body);
        page.text(90, y, 18, height, general(line.grams), body, Qt::AlignRight | Qt::AlignVCenter);
        y += height;
    }
    if (shown < int(dish.lines.size()))
        page.text(0, y, 108, rowHeight, QStringLiteral("ほか %1 行").arg(dish.lines.size() - shown),
                  small);
    if (dish.lines.empty())
        page.text(0, y, 108, rowHeight, QStringLiteral("（材料がありません）"), small);

    // The totals panel's figures.
    const PanelTexts panel = panelTexts(dish.totals, dish.finishedGrams);
    const double px = 116;
    double py = 17;
    page.text(px, py, 64, 6, QStringLiteral("栄養成分値"), font(11, true));
    py += 7;
    const std::pair<QString, std::pair<QString, QString>> rows[] = {
        {QStringLiteral("合計重量"), {panel.weight, QStringLiteral("g")}},
        {QStringLiteral("総カロリー"), {panel.energy, QStringLiteral("kcal")}},
        {QStringLiteral("食塩量"), {panel.salt, QStringLiteral("g")}},
        {QStringLiteral("水分"), {panel.water, QStringLiteral("g")}},
        {QStringLiteral("タンパク質"), {panel.protein, QStringLiteral("g")}},
        {QStringLiteral("脂質"), {panel.fat, QStringLiteral("g")}},
        {QStringLiteral("糖質"), {panel.sugar, QStringLiteral("g")}},
        {QStringLiteral("繊維"), {panel.fibre, QStringLiteral("g")}},
        {QStringLiteral("灰分"), {panel.ash, QStringLiteral("g(100g中)")}},
    };
    int n = 0;
    for (const auto &[caption, figure] : rows) {
        if (n++ == 3)
            page.text(px, py, 64, 5, QStringLiteral("100g当たり"), small);
        if (n == 4)
            py += 5;
        page.text(px, py, 24, 5, caption, body);
        page.text(px + 24, py, 20, 5, figure.first, body, Qt::AlignRight | Qt::AlignVCenter);
        page.text(px + 46, py, 18, 5, figure.second, body);
        py += 5;
    }

    // The nutrition label.
    paintLabel(p, page.rect(px, py + 6, 64, 50), nutritionLabel(dish));

    // The comparison table.
    const Export::Comparison &c = dish.comparison;
    double cy = chartTop;
    page.text(0, cy, 80, 6,
              QStringLiteral("基準値との比較（%1歳・%2）")
                  .arg(c.age)
                  .arg(c.male ? QStringLiteral("男性") : QStringLiteral("女性")),
              font(10, true));
    cy += 7;
    page.text(0, cy, 20, 5, QStringLiteral("項目"), bold);
    page.text(20, cy, 22, 5, QStringLiteral("計算値"), bold, Qt::AlignRight | Qt::AlignVCenter);
    page.text(43, cy, 27, 5, QStringLiteral("基準値"), bold, Qt::AlignRight | Qt::AlignVCenter);
    page.text(71, cy, 10, 5, QStringLiteral("単位"), bold);
    page.line(0, cy + 5, 80, cy + 5);
    cy += 5.5;
    for (int e = 0; e < 11; ++e) {
        page.text(0, cy, 20, 5, ::Comparison::caption(e), body);
        page.text(20, cy, 22, 5, calculatedText(c, e), body, Qt::AlignRight | Qt::AlignVCenter);
        page.text(43, cy, 27, 5, standardText(c, e), body, Qt::AlignRight | Qt::AlignVCenter);
        page.text(71, cy, 10, 5, comparisonUnits[e].toString(), small);
        cy += 5;
    }
    if (!c.standardFound)
        page.text(0, cy, 80, 5, QStringLiteral("※ この年齢と性別の基準値はありません。"), small);

    // The attribution at the foot.
    page.line(0, contentHeight - 10, contentWidth, contentHeight - 10);
    page.wrapped(0, contentHeight - 9, contentWidth, 9, attribution(), font(7));
}

// The 栄養成分一覧 of the dish for the chosen person: every component in the
// table's order with its whole, serving and 100 g figures, the day's
// standard, the share of it and the judgement, then the energy balance as
// numbers and a bar.
void paintSheet(Page &page, const Export::Dish &dish, const Export::SheetChoice &choice)
{
    using namespace Export;
    const double contentWidth = pageWidthMm - 2 * marginMm;
    const double contentHeight = pageHeightMm - 2 * marginMm;
    const NutrientSheetPage sheet = nutrientSheet(dish, choice);
    page.text(0, 0, contentWidth, 8, QStringLiteral("栄養成分一覧　") + dish.name, font(13, true));
    page.text(0, 8, contentWidth, 5, portionText(dish), font(8));
    page.text(0, 12.5, contentWidth, 5,
              personText(choice) + QStringLiteral("　判定：") +
                  NutrientSheet::basisText(choice.basis) + QStringLiteral("比較"),
              font(8));

    // The grid: name, unit, 全体, 1人分, 100g当たり, 基準 (1日), 充足率, 判定.
    using PrintPage::alignLeft, PrintPage::alignRight;
    const std::vector<PrintPage::Column> columns = {
        {0, 44, alignLeft},   {44, 9, alignLeft},   {53, 16, alignRight},  {69, 15, alignRight},
        {84, 16, alignRight}, {102, 44, alignLeft}, {146, 12, alignRight}, {160, 20, alignLeft}};
    const QStringList headings{QStringLiteral("成分"),       QStringLiteral("単位"),
                               QStringLiteral("全体"),       QStringLiteral("1人分"),
                               QStringLiteral("100g当たり"), QStringLiteral("基準 (1日)"),
                               QStringLiteral("充足率(%)"),  QStringLiteral("判定")};
    const QFont body = font(6.5);
    const QFont bold = font(6.5, true);
    const double rowHeight = 3.7;
    double y = 19;
    page.row(columns, y, rowHeight, headings, bold);
    page.line(0, y + rowHeight, contentWidth, y + rowHeight);
    y += rowHeight + 0.3;
    bool leftOut = false;
    for (const NutrientSheet::Row &r : sheet.rows) {
        const Components::Component &c = Components::all[r.component];
        // A sum that leaves foods out is marked, as the window tints it.
        const QString mark = r.unknownFoods.isEmpty() ? QString() : QStringLiteral("*");
        leftOut = leftOut || !mark.isEmpty();
        const auto figure = [&](const std::optional<double> &v) {
            return v ? NutrientSheet::figure(r.component, v) + mark : QString();
        };
        const QStringList texts = {
            c.name.toString(),
            c.unit.toString(),
            figure(r.total),
            figure(r.serving),
            figure(r.perHundredGrams),
            Intakes::nutrientOf(r.component).isEmpty()
                ? QString()
                : Intakes::standardText(r.standard, c.decimals),
            r.ratio ? NumberText::grouped(NumberText::roundHalfUp(*r.ratio, 0), 0) : QString(),
            Intakes::verdictText(r.verdict)};
        page.row(columns, y, rowHeight, texts, body);
        y += rowHeight;
    }
    page.line(0, y + 0.3, contentWidth, y + 0.3);
    y += 1;
    if (leftOut) {
        page.text(0, y, contentWidth, rowHeight,
                  QStringLiteral("* 値が未知（-）の食品を含まない値です。"), font(6.5));
        y += rowHeight;
    }

    // The energy balance.
    y += 1.5;
    page.text(0, y, contentWidth, 5, QStringLiteral("エネルギー産生栄養素バランス"), font(9, true));
    y += 5;
    const QStringList shares = NutrientSheet::shareTexts(sheet.balance);
    page.text(0, y, contentWidth, 4.5, shares.join(QStringLiteral("　")), font(7.5));
    y += 5;
    page.painter().setFont(font(7.5));
    PfcBar::paint(page.painter(), page.rect(0, y, contentWidth, 9), sheet.balance, Qt::white,
                  Qt::black);

    page.line(0, contentHeight - 10, contentWidth, contentHeight - 10);
    page.wrapped(0, contentHeight - 9, contentWidth, 9, attribution(), font(7));
}

void paintLabelPage(Page &page, const Export::Dish &dish, const Options &options)
{
    const double contentWidth = pageWidthMm - 2 * marginMm;
    const double contentHeight = pageHeightMm - 2 * marginMm;
    page.text(0, 0, contentWidth, 9, dish.name, font(15, true));
    paintLabel(page.painter(), page.rect(0, 14, 80, 52), Export::nutritionLabel(dish));
    page.line(0, contentHeight - 10, contentWidth, contentHeight - 10);
    page.wrapped(0, contentHeight - 9, contentWidth, 9, Export::attribution(), font(7));
}

} // namespace

void paintLabel(QPainter &painter, const QRectF &box, const Export::NutritionLabel &label)
{
    painter.save();
    const double unit = box.width() / 64; // one millimetre of a 64 mm box
    const double row = 5.5 * unit;
    const QFont body = font(9);
    double y = box.top();
    auto rect = [&](double x, double w) { return QRectF(box.left() + x * unit, y, w * unit, row); };
    const double height = row * (3 + Export::labelItemCount) + 2 * unit;
    painter.setPen(QPen(Qt::black, 0.4 * unit));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(box.left(), box.top(), box.width(), height));

    painter.setFont(font(10, true));
    painter.drawText(rect(3, 58), Qt::AlignLeft | Qt::AlignVCenter, Export::labelTitle());
    y += row;
    painter.setFont(body);
    painter.drawText(rect(3, 58), Qt::AlignLeft | Qt::AlignVCenter, label.basis);
    y += row;
    painter.setPen(QPen(Qt::black, 0.2 * unit));
    painter.drawLine(QPointF(box.left(), y), QPointF(box.right(), y));
    y += unit;
    for (const Export::LabelRow &r : label.rows) {
        painter.drawText(rect(3, 30), Qt::AlignLeft | Qt::AlignVCenter, r.name.toString());
        painter.drawText(rect(33, 28), Qt::AlignRight | Qt::AlignVCenter,
                         r.figure + r.unit.toString());
        y += row;
    }
    painter.setFont(font(8));
    painter.drawText(rect(3, 58), Qt::AlignLeft | Qt::AlignVCenter, Export::labelStatement());
    y += row;
    if (!label.note.isEmpty()) {
        y += 2 * unit;
        painter.setFont(font(7));
        painter.drawText(QRectF(box.left(), y, box.width(), 3 * row),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, label.note);
    }
    painter.restore();
}

bool paint(QPagedPaintDevice *device, const std::vector<Export::Dish> &dishes,
           const Options &options, QString *error)
{
    // A dish with a 栄養成分一覧 takes a second page for it.
    std::vector<std::pair<size_t, bool>> pages; // the dish, its 栄養成分一覧
    for (size_t i = 0; i < dishes.size(); ++i) {
        pages.emplace_back(i, false);
        if (!options.labelOnly && dishes[i].sheet)
            pages.emplace_back(i, true);
    }
    return PrintPage::paintPages(
        device, QPageLayout::Portrait, marginMm, int(pages.size()),
        [&](Page &page, int i) {
            const auto [d, sheet] = pages[size_t(i)];
            if (options.labelOnly)
                paintLabelPage(page, dishes[d], options);
            else if (sheet)
                paintSheet(page, dishes[d], *dishes[d].sheet);
            else
                paintDish(page, device, dishes[d], options);
        },
        error);
}

bool writePdf(const QString &path, const std::vector<Export::Dish> &dishes, const Options &options,
              QString *error)
{
    return PrintPage::writePdf(
        path, dishes.size() == 1 ? dishes.front().name : QStringLiteral("料理"),
        [&](QPagedPaintDevice *device, QString *reason) {
            return paint(device, dishes, options, reason);
        },
        error);
}

} // namespace ReportPage
