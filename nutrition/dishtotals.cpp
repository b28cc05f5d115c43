// Totals of the current dish: weight, energy, salt and composition per 100 g.
//
// Both routines pass over a failing step and go on with the next. Every
// visible field is emptied before it is computed, so a dish without lines
// (every sum null) shows nothing, and a dish weighing 0 g shows no per-100 g
// values, whatever the previous dish showed.
#include "app/bindings.h"
#include "app/fmain.h"
#include "app/program.h"
#include "core/store/datasource.h"
#include "core/store/numberreader.h"
#include "core/store/numbertext.h"
#include "core/store/queries.h"

#include <QLineEdit>

namespace {

// A raw sum as its holder shows it; nothing when it is empty (null).
std::optional<double> sumIn(const QLineEdit *holder)
{
    return NumberReader::number(holder->text());
}

} // namespace

void Fmain::CalcDishWeight()
{
    takeDishKey();
    AdoSumW->setConnectionString(program().DbConnectionString);
    AdoSumW->setRecordSource(Queries::dishWeight(program().CurrentId));
    AdoSumW->refresh();
    FieldBinding::bind(TexSumW, AdoSumW, QStringLiteral("合計数"));

    // Every line counts, whether or not its food still exists.
    TexSumW100->clear();
    if (const auto weight = sumIn(TexSumW))
        TexSumW100->setText(NumberText::general(*weight * 100));
}

void Fmain::CalcDishNutrients()
{
    takeDishKey();
    AdoSumC->setConnectionString(program().DbConnectionString);
    AdoSumC->setRecordSource(Queries::dishNutrients(program().CurrentId));
    AdoSumC->refresh();
    FieldBinding::bind(TexSumC, AdoSumC, QStringLiteral("カロリ"),
                       [](const QVariant &v) { return NumberText::grouped(v.toDouble(), 0); });
    FieldBinding::bind(TexSUI, AdoSumC, QStringLiteral("SSUI"));
    FieldBinding::bind(TexTAN, AdoSumC, QStringLiteral("STAN"));
    FieldBinding::bind(TexSST, AdoSumC, QStringLiteral("SSST"));
    FieldBinding::bind(TexTST, AdoSumC, QStringLiteral("STST"));
    FieldBinding::bind(TexTSS, AdoSumC, QStringLiteral("STSS"));
    FieldBinding::bind(TexKBN, AdoSumC, QStringLiteral("SKBN"));
    FieldBinding::bind(TexSumNa, AdoSumC, QStringLiteral("SNAT"));

    // Grams per 100 g of dish: both sums carry the same weights 数量2.
    const std::optional<double> weight = sumIn(TexSumW);
    const std::pair<QLineEdit *, QLineEdit *> perHundredGrams[] = {
        {TexSUI, waterBox}, {TexTAN, proteinBox}, {TexSST, fatBox},
        {TexTST, sugarBox}, {TexKBN, ashBox},     {TexTSS, fibreBox},
    };
    for (const auto &[holder, box] : perHundredGrams) {
        box->clear();
        const std::optional<double> sum = sumIn(holder);
        if (sum && weight && *weight != 0)
            box->setText(NumberText::general(NumberText::roundHalfUp(*sum / *weight, 1)));
    }

    TexNa->clear();
    if (const auto salt = sumIn(TexSumNa))
        TexNa->setText(NumberText::general(NumberText::roundHalfUp(*salt, 2)));
}
