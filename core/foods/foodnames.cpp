#include "core/foods/foodnames.h"

#include "core/store/datasource.h"
#include "core/store/queries.h"

namespace FoodNames {

QString fullName(const QString &connection, qint64 food)
{
    DataSource source;
    source.setConnectionString(connection);
    source.setRecordSource(Queries::foodNames(food, true));
    if (!source.refresh()) {
        // A store made before full names.
        source.setRecordSource(Queries::foodNames(food, false));
        if (!source.refresh())
            return QString();
    }
    if (source.eof())
        return QString();
    const QString full = source.value(0, 0).toString();
    return full.isEmpty() ? source.value(0, 1).toString() : full;
}

namespace {

const QChar ellipsis(0x2026);

bool bracketed(const QString &word)
{
    static const QString opening = QStringLiteral("［（＜【(<["),
                         closing = QStringLiteral("］）＞】)>]");
    return word.size() >= 2 && opening.contains(word.front()) && closing.contains(word.back());
}

// The words joined by the blank of names; an elided word stands as one "…"
// without blanks around it.
QString joined(const QStringList &words)
{
    QString text;
    bool afterEllipsis = true;
    for (const QString &word : words) {
        if (word == ellipsis) {
            if (!text.endsWith(ellipsis))
                text += ellipsis;
            afterEllipsis = true;
            continue;
        }
        if (!afterEllipsis)
            text += QChar(0x3000);
        text += word;
        afterEllipsis = false;
    }
    return text;
}

} // namespace

QString elided(const QString &name, const std::function<bool(const QString &)> &fits)
{
    if (fits(name))
        return name;
    QString spaced = name;
    spaced.replace(QLatin1Char(' '), QChar(0x3000));
    QStringList words = spaced.split(QChar(0x3000), Qt::SkipEmptyParts);
    // The group words, then the leading words, from the left; the last word stays.
    for (const bool groupsOnly : {true, false}) {
        for (qsizetype i = 0; i + 1 < words.size(); ++i) {
            if (words.at(i) == ellipsis || (groupsOnly && !bracketed(words.at(i))))
                continue;
            words[i] = ellipsis;
            const QString text = joined(words);
            if (fits(text))
                return text;
        }
    }
    // Only the end is left to keep.
    QString tail = joined(words);
    if (tail.startsWith(ellipsis))
        tail.remove(0, 1);
    while (!tail.isEmpty()) {
        tail.remove(0, tail.size() > 1 && tail.at(0).isHighSurrogate() ? 2 : 1);
        const QString text = ellipsis + tail;
        if (fits(text))
            return text;
    }
    return QString(ellipsis);
}

} // namespace FoodNames
