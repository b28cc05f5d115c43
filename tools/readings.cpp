#include "tools/readings.h"

#include "core/search/kana.h"

#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <mecab.h>

namespace {

struct Correction
{
    const char *word;
    const char *reading; // full-width katakana, made half-width when used
};

// Words of the food table that the dictionary reads wrongly (or not at all),
// matched in a name part before it is analysed, longest first.
const Correction phraseCorrections[] = {
    // Dairy: 乳 is ニュウ in the table's words, not チチ.
    {"乳飲料", "ニュウインリョウ"},
    {"乳成分", "ニュウセイブン"},
    {"乳用", "ニュウヨウ"},
    {"乳脂肪", "ニュウシボウ"},
    {"人乳", "ジンニュウ"},
    {"加工乳", "カコウニュウ"},
    {"発酵乳", "ハッコウニュウ"},
    {"脱脂乳", "ダッシニュウ"},
    {"液状乳類", "エキジョウニュウルイ"},
    {"やぎ乳", "ヤギニュウ"},
    {"豆乳", "トウニュウ"},
    {"全卵型", "ゼンランガタ"},
    {"全卵", "ゼンラン"},
    {"全脂", "ゼンシ"},
    // Grains and rice.
    {"全粒粉", "ゼンリュウフン"},
    {"全粒", "ゼンリュウ"},
    {"精白粒", "セイハクリュウ"},
    {"穀粒", "コクリュウ"},
    {"陸稲", "リクトウ"},
    {"でん粉", "デンプン"},
    {"玄米粉", "ゲンマイコ"},
    {"玄米", "ゲンマイ"},
    {"米でん粉", "コメデンプン"},
    {"米みそ", "コメミソ"},
    {"米粉", "コメコ"},
    {"米酢", "コメズ"},
    {"米粒麦", "ベイリュウバク"},
    {"米菓", "ベイカ"},
    {"純米酒", "ジュンマイシュ"},
    {"純米", "ジュンマイ"},
    {"七分つき米", "シチブツキマイ"},
    {"七分つき", "シチブツキ"},
    {"五分かゆ", "ゴブガユ"},
    {"全かゆ", "ゼンガユ"},
    {"上新粉", "ジョウシンコ"},
    {"冷めん", "レイメン"},
    {"手延", "テノベ"},
    // 生 (raw, fresh) and dried foods.
    {"生あん", "ナマアン"},
    {"生しいたけ", "ナマシイタケ"},
    {"乾しいたけ", "ホシシイタケ"},
    {"半生", "ハンナマ"},
    {"和半生菓子", "ワハンナマガシ"},
    {"和生菓子", "ワナマガシ"},
    {"和干菓子", "ワヒガシ"},
    {"和三盆", "ワサンボン"},
    {"和種", "ワシュ"},
    {"丸干し", "マルボシ"},
    {"煮干し", "ニボシ"},
    {"切干し", "キリボシ"},
    {"素干し", "スボシ"},
    {"素揚げ", "スアゲ"},
    {"荒節", "アラブシ"},
    // Salt, oil, vinegar, seasoning.
    {"有塩", "ユウエン"},
    {"無塩", "ムエン"},
    {"減塩", "ゲンエン"},
    {"低塩", "テイエン"},
    {"精製塩", "セイセイエン"},
    {"大豆油", "ダイズユ"},
    {"あまに油", "アマニユ"},
    {"えごま油", "エゴマユ"},
    {"なたね油", "ナタネユ"},
    {"やし油", "ヤシユ"},
    {"油漬", "アブラヅケ"},
    {"甘酢漬", "アマズヅケ"},
    {"酢漬", "スヅケ"},
    {"黒酢", "クロズ"},
    {"しょうゆ味", "ショウユアジ"},
    {"みそ味", "ミソアジ"},
    {"魚醤油", "ギョショウユ"},
    {"中濃", "チュウノウ"},
    {"三温糖", "サンオントウ"},
    {"粉糖", "フントウ"},
    {"氷糖みつ", "ヒョウトウミツ"},
    {"甘煮", "アマニ"},
    {"甘味種", "カンミシュ"},
    {"松前漬け", "マツマエヅケ"},
    {"びん詰", "ビンヅメ"},
    // Dishes and confectionery.
    {"木綿豆腐", "モメンドウフ"},
    {"麻婆豆腐", "マーボードウフ"},
    {"八宝菜", "ハッポウサイ"},
    {"八つ橋", "ヤツハシ"},
    {"今川焼", "イマガワヤキ"},
    {"親子丼", "オヤコドン"},
    {"牛飯", "ギュウメシ"},
    {"角寒天", "カクカンテン"},
    {"鶏がら", "トリガラ"},
    {"豚足", "トンソク"},
    // Plant and animal parts, growing and harvest.
    {"結球葉", "ケッキュウヨウ"},
    {"りん茎葉", "リンケイヨウ"},
    {"りん茎", "リンケイ"},
    {"胞子茎", "ホウシケイ"},
    {"幼雌穂", "ヨウシスイ"},
    {"花らい", "カライ"},
    {"砂じょう", "サジョウ"},
    {"全果", "ゼンカ"},
    {"果粒", "カリュウ"},
    {"原藻", "ゲンソウ"},
    {"斧足", "フソク"},
    {"水管", "スイカン"},
    {"毛がに", "ケガニ"},
    {"ブラウン種", "ブラウンシュ"},
    {"日本", "ニホン"},
    {"入り", "イリ"},
    {"菌床", "キンショウ"},
    {"水耕", "スイコウ"},
    {"春獲り", "ハルドリ"},
    {"秋獲り", "アキドリ"},
    {"夏採り", "ナツドリ"},
    {"冬採り", "フユドリ"},
    {"次亜塩素酸", "ジアエンソサン"},
};

// Single words as the analyser cuts them that it reads wrongly or not at all.
const Correction tokenCorrections[] = {
    {"生", "ナマ"},       {"乾", "カン"},       {"漬", "ヅケ"}, {"等", "トウ"},
    {"含蜜", "ガンミツ"}, {"含水", "ガンスイ"}, {"軟", "ナン"}, {"軟白", "ナンパク"},
    {"畜肉", "チクニク"}, {"菓", "カ"},
};

bool isKanji(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0x3400 && u <= 0x4DBF) ||
           (u >= 0xF900 && u <= 0xFAFF) || u == 0x3005 || u == 0x3006;
}

bool hasKanji(const QString &text)
{
    for (QChar c : text)
        if (isKanji(c))
            return true;
    return false;
}

QHash<QString, QString> table(const Correction *begin, const Correction *end)
{
    QHash<QString, QString> h;
    for (const Correction *c = begin; c != end; ++c)
        h.insert(QString::fromUtf8(c->word), QString::fromUtf8(c->reading));
    return h;
}

const QHash<QString, QString> &phrases()
{
    static const QHash<QString, QString> h =
        table(std::begin(phraseCorrections), std::end(phraseCorrections));
    return h;
}

int longestPhrase()
{
    static const int longest = [] {
        int n = 0;
        for (auto it = phrases().cbegin(); it != phrases().cend(); ++it)
            n = qMax(n, int(it.key().size()));
        return n;
    }();
    return longest;
}

const QHash<QString, QString> &tokens()
{
    static const QHash<QString, QString> h =
        table(std::begin(tokenCorrections), std::end(tokenCorrections));
    return h;
}

} // namespace

Readings::Readings() = default;

Readings::~Readings()
{
    if (m_mecab)
        mecab_destroy(m_mecab);
}

bool Readings::open(QString *error)
{
    if (m_mecab)
        return true;
    m_mecab = mecab_new2("");
    if (!m_mecab) {
        if (error)
            *error = QStringLiteral("MeCab と辞書を読み込めません（Debian のパッケージ mecab、"
                                    "mecab-ipadic-utf8 が要ります）: %1")
                         .arg(QString::fromUtf8(mecab_strerror(nullptr)));
        return false;
    }
    return true;
}

QString Readings::analyse(const QString &text, QStringList *unread) const
{
    if (text.isEmpty())
        return {};
    QString out;
    const QByteArray utf8 = text.toUtf8();
    for (const mecab_node_t *node = mecab_sparse_tonode2(m_mecab, utf8.constData(), utf8.size());
         node; node = node->next) {
        if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE)
            continue;
        const QString surface = QString::fromUtf8(node->surface, node->length);
        if (!hasKanji(surface)) {
            out += surface; // kana, digits and signs read as written
            continue;
        }
        const auto corrected = tokens().constFind(surface);
        if (corrected != tokens().cend()) {
            out += *corrected;
            continue;
        }
        const QStringList feature = QString::fromUtf8(node->feature).split(QLatin1Char(','));
        if (feature.size() > 7 && feature[7] != QLatin1String("*")) {
            out += feature[7];
        } else {
            out += surface;
            if (unread)
                unread->append(surface);
        }
    }
    return out;
}

QString Readings::readPart(const QString &part, QStringList *unread) const
{
    QString out, pending;
    for (int i = 0; i < part.size();) {
        int length = qMin(longestPhrase(), int(part.size()) - i);
        for (; length > 0; --length) {
            const auto found = phrases().constFind(part.mid(i, length));
            if (found != phrases().cend()) {
                out += analyse(pending, unread) + *found;
                pending.clear();
                break;
            }
        }
        if (length > 0) {
            i += length;
        } else {
            pending += part[i];
            ++i;
        }
    }
    if (!pending.isEmpty())
        out += analyse(pending, unread);
    return out;
}

QString Readings::reading(const QString &name, QStringList *unread) const
{
    // The table separates the parts of a name with full-width blanks and marks
    // categories with brackets: ＜…＞ ［…］ （…）; a dot joins alternatives.
    static const QRegularExpression separators(
        QStringLiteral("[\\s\\x{3000}＜＞［］（）()\\[\\]<>〈〉【】：:・･、,]+"));
    QStringList read;
    for (const QString &part : name.split(separators, Qt::SkipEmptyParts))
        read << readPart(part, unread);
    // The one folding the reading search applies to what is typed.
    return Kana::toHalfWidth(read.join(QLatin1Char(' ')));
}
