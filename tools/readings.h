#pragma once

#include <QString>
#include <QStringList>

struct mecab_t;

// Readings of food names (eys.SKN) in half-width katakana, as a user types
// them into the reading search. Names are read by MeCab with its dictionary;
// a correction list mends the words the dictionary reads wrongly in the food
// table (生 is ﾅﾏ, not ｾｲ; 乾 is ｶﾝ; 木綿豆腐 is ﾓﾒﾝﾄﾞｳﾌ …). The parts of a name
// (separated by blanks, brackets and dots in the table) are read one by one
// and joined by a blank: "＜畜肉類＞　うし　［和牛肉］" is "ﾁｸﾆｸﾙｲ ｳｼ ﾜｷﾞｭｳﾆｸ".
class Readings
{
public:
    Readings();
    ~Readings();
    Readings(const Readings &) = delete;
    Readings &operator=(const Readings &) = delete;

    // Loads MeCab and its dictionary. Fails with a message saying which
    // package to install.
    bool open(QString *error);

    // The reading of a name. Characters that neither MeCab nor the correction
    // list can read stay as they are and are added to *unread.
    QString reading(const QString &name, QStringList *unread = nullptr) const;

private:
    QString readPart(const QString &part, QStringList *unread) const;
    QString analyse(const QString &text, QStringList *unread) const;

    mecab_t *m_mecab = nullptr;
};
