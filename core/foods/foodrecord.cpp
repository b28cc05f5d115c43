#include "core/foods/foodrecord.h"

#include "core/search/kana.h"
#include "core/store/datasource.h"
#include "core/store/numbertext.h"
#include "core/store/schema.h"

#include <cmath>

namespace FoodRecord {

namespace {

// The value rows' captions, in box order; the row under 炭水化物 has none of
// its own.
const char16_t *const captions[valueCount] = {
    u"ｴﾈﾙｷﾞｰ",        u"水分",          u"ﾀﾝﾊﾟｸ質",     u"脂質",        u"炭水化物：糖質",
    u"炭水化物：繊維", u"灰分",          u"ｶﾙｼｳﾑ",       u"ﾘﾝ",          u"鉄",
    u"ﾅﾄﾘｳﾑ",         u"ｶﾘｳﾑ",          u"ﾋﾞﾀﾐﾝA：ﾚﾁﾉｰﾙ", u"ﾋﾞﾀﾐﾝA：ｶﾛﾃﾝ", u"ﾋﾞﾀﾐﾝA効力",
    u"ﾋﾞﾀﾐﾝE効力",    u"ﾋﾞﾀﾐﾝB1",       u"ﾋﾞﾀﾐﾝB2",     u"ﾅｲｱｼﾝ",       u"ﾋﾞﾀﾐﾝC",
    u"食物繊維",      u"ｺﾚｽﾃﾛｰﾙ",       u"食塩相当量"};

std::optional<double> numberOf(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return std::nullopt;
    bool isNumber = false;
    const double number = value.toDouble(&isNumber);
    return isNumber ? std::optional<double>(number) : std::nullopt;
}

} // namespace

QString newFoodValueText()
{
    return QStringLiteral("0");
}

QString valueField(int index)
{
    return index >= 0 && index < valueCount ? QString::fromLatin1(Schema::foodValueFields[index])
                                            : QString();
}

QString valueCaption(int index)
{
    return index >= 0 && index < valueCount ? QString::fromUtf16(captions[index]) : QString();
}

std::optional<Food> read(const QString &connectionString, qint64 id, QString *error)
{
    DataSource source;
    source.setConnectionString(connectionString);
    source.setRecordSource(
        QStringLiteral("SELECT eys.*,bun.分類名 FROM eys LEFT JOIN bun ON bun.分類№=eys.BID "
                       "WHERE(eys.SID=") +
        QString::number(id) + QStringLiteral(")"));
    if (!source.refresh()) {
        if (error)
            *error = source.errorString();
        return std::nullopt;
    }
    if (source.eof())
        return std::nullopt;
    Food food;
    food.id = id;
    food.name = source.text(QStringLiteral("SNM"));
    food.reading = source.text(QStringLiteral("SKN"));
    if (const std::optional<double> category = numberOf(source.value(QStringLiteral("BID"))))
        food.category = qint64(*category);
    food.categoryName = source.text(QStringLiteral("分類名"));
    for (int i = 0; i < valueCount; ++i)
        food.values[i] = numberOf(source.value(valueField(i)));
    return food;
}

std::optional<Problem> check(const QString &name, const std::array<QString, valueCount> &values)
{
    if (name.isEmpty())
        return Problem{-1, QStringLiteral("食品名を入力してください")};
    for (int i = 0; i < valueCount; ++i) {
        const QString &text = values[i];
        if (text.trimmed().isEmpty())
            continue; // no value
        const std::optional<double> number = NumberText::strict(text);
        if (number && std::isfinite(*number) && *number >= 0)
            continue;
        const QString what = number && std::isfinite(*number) ? QStringLiteral("0以上の数値")
                                                              : QStringLiteral("数値");
        return Problem{i, QStringLiteral("「%1」には%2を入力してください（入力された値:「%3」）。")
                              .arg(valueCaption(i), what, text)};
    }
    return std::nullopt;
}

std::optional<double> valueOf(const QString &text)
{
    if (text.trimmed().isEmpty())
        return std::nullopt;
    return NumberText::strict(text);
}

QString readingToStore(const QString &typed)
{
    return Kana::toHalfWidth(typed);
}

} // namespace FoodRecord
