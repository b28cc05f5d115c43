// The totals panel of the main window: weight, energy, salt and composition
// per 100 g of the current dish, as the dish session counts them. The hidden
// holders show the raw sums; a field without a value is empty, so a dish
// without lines shows nothing and a dish weighing 0 g shows no per-100 g
// values, whatever the previous dish showed.
#include "app/bindings.h"
#include "app/fmain.h"
#include "app/program.h"
#include "app/widgets.h"
#include "core/dish/dishsession.h"
#include "core/nutrition/unknownvalues.h"
#include "core/store/datasource.h"
#include "core/store/numbertext.h"
#include "nutrition/frmkij.h"

#include <QLineEdit>
#include <cmath>

void Fmain::UpdateDishTotals()
{
    takeDishKey();
    showTotals(m_dish->totals());
    // An open comparison shows the dish the window shows.
    if (FrmKij *comparison = program().comparison())
        comparison->followDish();
}

void Fmain::showTotals(const DishTotals &totals)
{
    FieldBinding::bind(TexSumW, AdoSumW, QStringLiteral("合計数"));
    FieldBinding::bind(TexSumC, AdoSumC, QStringLiteral("カロリ"), [](const QVariant &v) {
        const double energy = v.toDouble();
        return std::isfinite(energy) ? NumberText::grouped(energy, 0) : QString();
    });
    FieldBinding::bind(TexSUI, AdoSumC, QStringLiteral("SSUI"));
    FieldBinding::bind(TexTAN, AdoSumC, QStringLiteral("STAN"));
    FieldBinding::bind(TexSST, AdoSumC, QStringLiteral("SSST"));
    FieldBinding::bind(TexTST, AdoSumC, QStringLiteral("STST"));
    FieldBinding::bind(TexTSS, AdoSumC, QStringLiteral("STSS"));
    FieldBinding::bind(TexKBN, AdoSumC, QStringLiteral("SKBN"));
    FieldBinding::bind(TexSumNa, AdoSumC, QStringLiteral("SNAT"));

    const DishTotalsText text = totalsText(totals);
    TexSumW100->setText(text.weight);
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
        UnknownValues::ofDish(program().DbConnectionString, m_dish->currentDish(), fields);
    for (const auto &[box, field] : marked)
        Widgets::markUnknown(box, box->text().isEmpty() ? QStringList() : unknown.value(field));
}
