// The totals panel of the main window.
#include "nutrition/totalspanel.h"

#include "app/growth.h"
#include "app/program.h"
#include "app/widgets.h"
#include "core/dish/dishsession.h"
#include "core/nutrition/unknownvalues.h"
#include "core/store/numbertext.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TotalsPanel::TotalsPanel(QWidget *client, Program &program, DishSession &dish)
    : QObject(client)
    , m_program(program)
    , m_dish(dish)
{
    using namespace Widgets;
    QWidget *w = client;
    setObjectName(QStringLiteral("TotalsPanel"));

    QFrame *upper =
        filledRect(w, QStringLiteral("Shape1"), QColor(255, 255, 192), 5880, 960, 2895, 1935);
    QFrame *lower =
        filledRect(w, QStringLiteral("Shape2"), QColor(255, 255, 192), 5880, 2880, 2895, 3375);
    m_shown << upper << lower;
    QLabel *heading =
        caption(w, QStringLiteral("Label8"), QStringLiteral("栄養成分値"), 6000, 1080, 2640, 360);
    heading->setFont(Widgets::font(QStringLiteral("ＭＳ Ｐ明朝"), 12, true));
    m_shown << heading;
    struct Row
    {
        const char *label;
        QLineEdit **box;
        const char *name;
        int y;
        int width;
        const char *unit;
        int unitX;
    };
    const Row rows[] = {
        {"合計重量", &TexSumW100, "TexSumW100", 1560, 975, "g", 8040},
        {"総カロリー", &TexSumC, "TexSumC", 1920, 975, "kcal", 8040},
        {"食塩量", &TexNa, "TexNa", 2400, 975, "g", 8040},
        {"水分", &waterBox, "Text5", 3120, 735, "g", 7800},
        {"タンパク質", &proteinBox, "Text6", 3480, 735, "g", 7800},
        {"脂質", &fatBox, "Text7", 3840, 735, "g", 7800},
        {"糖質", &sugarBox, "Text8", 4200, 735, "g", 7800},
        {"繊維", &fibreBox, "Text10", 4560, 735, "g", 7800},
        {"灰分", &ashBox, "Text9", 4920, 735, "g(100g中)", 7800},
    };
    int n = 10;
    for (const Row &row : rows) {
        // "糖質" and "繊維" stand right of the narrow "炭水化物" label.
        const bool carbohydrate = row.y == 4200 || row.y == 4560;
        const int left = carbohydrate ? 6510 : 6120;
        m_shown << caption(w, QStringLiteral("Label%1").arg(n++), QString::fromUtf8(row.label),
                           left, row.y, 6960 - left);
        *row.box =
            textBox(w, QString::fromLatin1(row.name), QString(), 6960, row.y, row.width, 270);
        m_shown << *row.box;
        // Units reach to the panel's right edge.
        m_shown << caption(w, QStringLiteral("Label%1").arg(n++), QString::fromUtf8(row.unit),
                           row.unitX, row.y, 8775 - row.unitX);
    }
    // The narrow "炭水化物" label spans the sugar and fibre rows.
    m_shown << label(w, QStringLiteral("Label%1").arg(n++), QStringLiteral("炭水\n化物"), 6120,
                     4260, 375, 555);
    QPushButton *comparison =
        button(w, QStringLiteral("Command10"), QStringLiteral("基準値"), 6720, 5520, 1215, 375);
    m_shown << comparison;

    TexSumW = hiddenBox(w, QStringLiteral("TexSumW"), QString());
    TexSumNa = hiddenBox(w, QStringLiteral("TexSumNa"), QString());
    TexSUI = hiddenBox(w, QStringLiteral("TexSUI"), QString());
    TexTAN = hiddenBox(w, QStringLiteral("TexTAN"), QString());
    TexSST = hiddenBox(w, QStringLiteral("TexSST"), QString());
    TexTST = hiddenBox(w, QStringLiteral("TexTST"), QString());
    TexTSS = hiddenBox(w, QStringLiteral("TexTSS"), QString());
    TexKBN = hiddenBox(w, QStringLiteral("TexKBN"), QString());
    for (QLineEdit *box : {TexSumC, TexSumW100, TexSST, TexSUI, TexTAN, TexTST, TexKBN, waterBox,
                           proteinBox, fatBox, sugarBox, ashBox, fibreBox, TexNa})
        box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // The panel's background lies under every other control of the window.
    lower->lower();
    upper->lower();

    connect(comparison, &QPushButton::clicked, this, [this] { m_program.showComparison(); });
}

void TotalsPanel::grow(Growth &growth)
{
    for (QWidget *control : m_shown)
        growth.add(control, Growth::FollowRight);
}

void TotalsPanel::showTotals(const DishTotals &totals)
{
    // The hidden holders show the raw sums, the boxes what is derived from
    // them; each is written here and read by nothing.
    const auto raw = [](const std::optional<double> &sum) {
        return sum ? NumberText::general(*sum) : QString();
    };
    const std::pair<QLineEdit *, std::optional<double>> holders[] = {
        {TexSumW, totals.weightFactorSum},
        {TexSUI, totals.water},
        {TexTAN, totals.protein},
        {TexSST, totals.fat},
        {TexTST, totals.sugar},
        {TexTSS, totals.fibre},
        {TexKBN, totals.ash},
        {TexSumNa, totals.salt},
    };
    for (const auto &[box, sum] : holders)
        box->setText(raw(sum));

    const DishTotalsText text = totalsText(totals);
    TexSumW100->setText(text.weight);
    TexSumC->setText(text.energy);
    TexSumC->setCursorPosition(0); // a long value shows its beginning
    waterBox->setText(text.water);
    proteinBox->setText(text.protein);
    fatBox->setText(text.fat);
    sugarBox->setText(text.sugar);
    ashBox->setText(text.ash);
    fibreBox->setText(text.fibre);
    TexNa->setText(text.salt);

    // Totals that pass over foods whose value is unknown are marked.
    const std::pair<QLineEdit *, QString> marked[] = {
        {TexSumC, QStringLiteral("ENC")},  {TexNa, QStringLiteral("NAT")},
        {waterBox, QStringLiteral("SUI")}, {proteinBox, QStringLiteral("TAN")},
        {fatBox, QStringLiteral("SST")},   {sugarBox, QStringLiteral("TST")},
        {fibreBox, QStringLiteral("TSS")}, {ashBox, QStringLiteral("KBN")},
    };
    QStringList fields;
    for (const auto &[box, field] : marked)
        fields << field;
    const UnknownValues::ByField unknown =
        UnknownValues::ofDish(m_program.DbConnectionString, m_dish.currentDish(), fields);
    for (const auto &[box, field] : marked)
        Widgets::markUnknown(box, box->text().isEmpty() ? QStringList() : unknown.value(field));
}
