#include "core/store/queries.h"

namespace Queries {

namespace {

QString key(qint64 value)
{
    return QString::number(value);
}

} // namespace

QString weightedSum(QStringView field, QStringView alias)
{
    QString text = QStringLiteral("Sum((kou.数量2) * (eys.");
    text.append(field).append(QStringLiteral(")) as ")).append(alias);
    return text;
}

QString dishList()
{
    return QStringLiteral("SELECT mnu.* FROM mnu");
}

QString categories()
{
    return QStringLiteral("SELECT bun.* FROM bun");
}

QString categoryFoods(qint64 category)
{
    return QStringLiteral("SELECT eys.* FROM eys WHERE(eys.BID =") + key(category) +
           QStringLiteral(")");
}

QString units()
{
    return QStringLiteral("SELECT tni.* FROM tni");
}

QString dishLines(qint64 dish)
{
    return QStringLiteral("SELECT eys.SNM as 素材,kou.* FROM kou,eys ") +
           QStringLiteral("WHERE((kou.食品コード=eys.SID) AND (kou.アイテムCD=") + key(dish) +
           QStringLiteral("))");
}

QString selectedLine(qint64 line)
{
    return QStringLiteral("SELECT kou.ID FROM kou ") + QStringLiteral("WHERE(kou.ID = ") +
           key(line) + QStringLiteral(")");
}

QString foodChoice(qint64 food)
{
    return QStringLiteral("SELECT eys.SID,eys.SNM,eys.BID FROM eys WHERE(eys.SID=") + key(food) +
           QStringLiteral(")");
}

QString dishWeight(qint64 dish)
{
    return QStringLiteral("SELECT sum(kou.数量2) as 合計数 FROM kou ") +
           QStringLiteral("WHERE(kou.アイテムCD=") + key(dish) + QStringLiteral(")");
}

QString dishNutrients(qint64 dish)
{
    // The first sum is written "sum(", the others "Sum(": the text is kept
    // as the program has always sent it.
    QString energy = weightedSum(u"ENC", u"カロリ");
    energy[0] = QLatin1Char('s');
    return QStringLiteral("SELECT ") + energy + QLatin1Char(',') + weightedSum(u"SUI", u"SSUI") +
           QLatin1Char(',') + weightedSum(u"TAN", u"STAN") + QLatin1Char(',') +
           weightedSum(u"SST", u"SSST") + QLatin1Char(',') + weightedSum(u"TST", u"STST") +
           QLatin1Char(',') + weightedSum(u"TSS", u"STSS") + QLatin1Char(',') +
           weightedSum(u"KBN", u"SKBN") + QLatin1Char(',') + weightedSum(u"NAT", u"SNAT") +
           QStringLiteral(" FROM kou,eys ") +
           QStringLiteral("WHERE((kou.食品コード=eys.SID) AND (kou.アイテムCD=") + key(dish) +
           QStringLiteral("))");
}

QString foodRecord(qint64 food)
{
    return QStringLiteral("SELECT eys.* FROM eys WHERE(eys.SID=") + key(food) + QStringLiteral(")");
}

} // namespace Queries
