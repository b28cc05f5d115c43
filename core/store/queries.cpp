#include "core/store/queries.h"

#include "core/nutrition/components.h"
#include "core/nutrition/nutrients.h"

#include <QStringList>

namespace Queries {

namespace {

QString key(qint64 value)
{
    return QString::number(value);
}

QString dishFilter(std::optional<qint64> dish, QStringView column)
{
    if (!dish)
        return QString();
    return QStringLiteral(" AND (") + column.toString() + QLatin1Char('=') + key(*dish) +
           QLatin1Char(')');
}

QString dishFilter(const DishKeys &dishes, QStringView column)
{
    if (!dishes)
        return QString();
    QString text = QStringLiteral(" AND (") + column.toString() + QStringLiteral(" IN (");
    for (size_t i = 0; i < dishes->size(); ++i) {
        if (i > 0)
            text += QLatin1Char(',');
        text += key((*dishes)[i]);
    }
    return text + QStringLiteral("))");
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

QString dishListTail()
{
    return QStringLiteral("SELECT mnu.* FROM mnu ORDER BY mnu.ID DESC LIMIT ?1");
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

QString foodUnits(qint64 food)
{
    if (food == 0)
        return units();
    const QString key = QString::number(food);
    return QStringLiteral("SELECT TNM, KAK FROM (SELECT 0 AS own, etn.rowid AS pos, etn.TNM,"
                          " etn.KAK FROM etn WHERE(etn.SID=") +
           key + QStringLiteral(") UNION ALL SELECT 1, tni.rowid, tni.TNM, CASE WHEN tni.TNM IN ") +
           volumeUnitList() +
           QStringLiteral(" THEN NULL ELSE tni.KAK END FROM tni WHERE"
                          " tni.TNM NOT IN (SELECT etn.TNM FROM etn WHERE(etn.SID=") +
           key + QStringLiteral("))) ORDER BY own, pos");
}

QString volumeUnitList()
{
    return QStringLiteral("('小さじ','大さじ','ｶｯﾌﾟ','合')");
}

QString dishLines(qint64 dish)
{
    // The grams of the line, and whether its unit's weight for the food is an
    // estimate (etn.USR 2), follow the fields of kou.
    return QStringLiteral("SELECT eys.SNM as 素材,kou.*,kou.数量2*100 AS 重量,"
                          "EXISTS(SELECT 1 FROM etn WHERE etn.SID=kou.食品コード AND"
                          " etn.TNM=kou.単位 AND etn.USR=2) AS 推定 FROM kou,eys ") +
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

QString standards()
{
    return QStringLiteral("SELECT kij.* FROM kij");
}

QString comparisonSums(qint64 dish)
{
    return QStringLiteral("SELECT ") + weightedSum(u"ENC", u"SENC") + QLatin1Char(',') +
           weightedSum(u"TAN", u"STAN") + QLatin1Char(',') + weightedSum(u"CA", u"SCA") +
           QLatin1Char(',') + weightedSum(u"FE", u"SFE") + QLatin1Char(',') +
           weightedSum(u"VAK", u"SVAK") + QStringLiteral(", ") + weightedSum(u"VB1", u"SVB1") +
           QStringLiteral(", ") + weightedSum(u"VB2", u"SVB2") + QStringLiteral(", ") +
           weightedSum(u"NAI", u"SNAI") + QStringLiteral(", ") + weightedSum(u"VC", u"SVC") +
           QStringLiteral(" FROM kou,eys ") +
           QStringLiteral("WHERE((kou.食品コード=eys.SID) AND (kou.アイテムCD=") + key(dish) +
           QStringLiteral("))");
}

QString dishComponents(qint64 dish)
{
    QString text = QStringLiteral("SELECT kou.数量2,eys.SNM");
    for (const Components::Component &c : Components::all)
        text +=
            c.inFoodRow() ? QStringLiteral(",eys.") + c.field : QStringLiteral(",sbn.") + c.code;
    return text +
           QStringLiteral(",sbn.MRK FROM kou JOIN eys ON eys.SID=kou.食品コード"
                          " LEFT JOIN sbn ON sbn.SID=eys.SID WHERE kou.アイテムCD=") +
           key(dish) + QStringLiteral(" ORDER BY kou.ID");
}

QString dishPortion(qint64 dish)
{
    return QStringLiteral("SELECT アイテム名,人分,出来上がり重量 FROM mnu WHERE ID=") + key(dish);
}

QString intakeRows()
{
    return QStringLiteral("SELECT AGF,AGT,SEX,STG,NUT,IND,VAL,EDN FROM kjz");
}

QString foodsByNutrient(QStringView field)
{
    const QString f = field.toString();
    return QStringLiteral("SELECT eys.SID,eys.SNM,eys.") + f +
           QStringLiteral(",bun.分類名 FROM eys,bun ") +
           QStringLiteral("WHERE(bun.分類№=eys.BID)") + QStringLiteral("ORDER BY eys.") + f +
           QStringLiteral(" DESC");
}

namespace {

// The blanks between the parts of a reading or a name do not count in a
// search: かつおこんぶだし finds ｶﾂｵ ｺﾝﾌﾞﾀﾞｼ.
QString readingWithoutBlanks()
{
    return QStringLiteral("replace(eys.SKN,' ','')");
}

QString nameWithoutBlanks()
{
    return QStringLiteral("replace(replace(eys.SNM,' ',''),'\u3000','')");
}

} // namespace

QString foodsByReading(const QStringList &readingPatterns, const QStringList &namePatterns)
{
    QString tests;
    const auto add = [&](const QString &column, const QStringList &patterns) {
        for (const QString &pattern : patterns)
            tests += QStringLiteral(" AND (") + column + QStringLiteral(" LIKE '%") + pattern +
                     QStringLiteral("%' ESCAPE '\\')");
    };
    add(readingWithoutBlanks(), readingPatterns);
    add(nameWithoutBlanks(), namePatterns);
    return QStringLiteral("SELECT eys.SID,eys.SNM,eys.SKN") +
           QStringLiteral(",bun.分類名 FROM eys,bun ") +
           QStringLiteral("WHERE((bun.分類№=eys.BID)") + tests +
           QStringLiteral(")ORDER BY eys.SKN DESC");
}

QString likeLiteral(const QString &word)
{
    QString literal;
    literal.reserve(word.size() + 8);
    for (QChar c : word) {
        switch (c.unicode()) {
        case u'\\':
        case u'%':
        case u'_':
            literal += QLatin1Char('\\');
            literal += c;
            break;
        case u'\'':
            literal += QLatin1String("''");
            break;
        case 0:
            break;
        default:
            literal += c;
        }
    }
    return literal;
}

namespace {

// The test one word must pass. Without ASCII letters, whose case LIKE
// ignores, "holds the text" is instr(), which compares bytes instead of
// matching a pattern character by character; the rows are the same.
QString holdsText(const QString &column, const QString &word)
{
    bool letters = false;
    for (QChar c : word)
        letters = letters || (c.unicode() < 0x80 && c.isLetter());
    if (letters)
        return QStringLiteral("(") + column + QStringLiteral(" LIKE '%") + likeLiteral(word) +
               QStringLiteral("%' ESCAPE '\\')");
    QString literal = word;
    literal.remove(QChar(0));
    literal.replace(QLatin1Char('\''), QLatin1String("''"));
    return QStringLiteral("(instr(") + column + QStringLiteral(",'") + literal +
           QStringLiteral("')>0)");
}

QString listedReadings(const QString &test, const QString &holds)
{
    return QStringLiteral("SELECT eys.SID,eys.SNM,eys.SKN,bun.分類名 FROM eys,bun WHERE ") + test +
           QStringLiteral("bun.分類№=eys.BID AND ") + holds +
           QStringLiteral(" ORDER BY eys.SKN DESC,eys.BID DESC,eys.SNM DESC,eys.SID DESC");
}

} // namespace

QString holdsWords(const QStringList &readingWords, const QStringList &nameWords)
{
    QStringList tests;
    for (const QString &word : readingWords)
        tests << holdsText(readingWithoutBlanks(), word);
    for (const QString &word : nameWords)
        tests << holdsText(nameWithoutBlanks(), word);
    return QStringLiteral("(") + tests.join(QLatin1String(" AND ")) + QStringLiteral(")");
}

QString phraseLiteral(const QStringList &words)
{
    // The index holds the readings with their blanks, a word is typed without
    // them. Three characters of the word, abc, stand in a reading that holds
    // the word as "abc", "a b" or "ab ", whatever blanks lie between its
    // characters: each such trigram of the word is required in one of those
    // forms. The index thus finds every reading that holds the word and a few
    // more, which the test of the words then leaves out.
    const auto quoted = [](QString phrase) {
        phrase.replace(QLatin1Char('"'), QLatin1String("\"\""));
        return QLatin1Char('"') + phrase + QLatin1Char('"');
    };
    QStringList groups;
    for (QString word : words) {
        word.remove(QChar(0));
        word.remove(QLatin1Char(' '));
        QStringList characters;
        for (qsizetype i = 0; i < word.size(); ++i) {
            const qsizetype width = word.at(i).isHighSurrogate() && i + 1 < word.size() ? 2 : 1;
            characters << word.mid(i, width);
            i += width - 1;
        }
        if (characters.size() < 3) {
            groups << quoted(word);
            continue;
        }
        for (qsizetype i = 0; i + 2 < characters.size(); ++i) {
            const QString &a = characters.at(i), &b = characters.at(i + 1),
                          &c = characters.at(i + 2);
            groups << QLatin1Char('(') + quoted(a + b + c) + QLatin1String(" OR ") +
                          quoted(a + QLatin1Char(' ') + b) + QLatin1String(" OR ") +
                          quoted(a + b + QLatin1Char(' ')) + QLatin1Char(')');
        }
    }
    QString expression = groups.join(QLatin1String(" AND "));
    expression.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + expression + QLatin1Char('\'');
}

QString readingsHolding(const QString &holds)
{
    return listedReadings(QString(), holds);
}

QString readingsMatching(const QString &holds, const QString &phrase)
{
    return listedReadings(QStringLiteral("eys.SID IN (SELECT rowid FROM eys_skn WHERE eys_skn "
                                         "MATCH ") +
                              phrase + QStringLiteral(") AND "),
                          holds);
}

QString readingsFrom(const QString &holds, const QByteArray &reading)
{
    return listedReadings(QStringLiteral("eys.SKN<=CAST(X'") +
                              QString::fromLatin1(reading.toHex()) +
                              QStringLiteral("' AS TEXT) AND "),
                          holds);
}

QString lastReadingsHolding(const QString &holds, int scanRows, int limit)
{
    return QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM (SELECT SKN,SNM FROM eys ORDER BY "
                          "SKN DESC LIMIT %1) AS eys WHERE ")
               .arg(scanRows) +
           holds + QStringLiteral(" LIMIT %1)").arg(limit);
}

QString readingIndexMatches(const QString &phrase)
{
    return QStringLiteral("SELECT rowid FROM eys_skn WHERE eys_skn MATCH ") + phrase;
}

QString readingIndexCount(const QString &phrase, int limit)
{
    return QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM eys_skn WHERE eys_skn MATCH ") +
           phrase + QStringLiteral(" LIMIT %1)").arg(limit);
}

QString readingOfFood()
{
    return QStringLiteral("SELECT SKN FROM eys WHERE SID=?1");
}

QString readingOrder()
{
    return QStringLiteral("SELECT SID FROM eys ORDER BY SKN DESC,BID DESC,SNM DESC,SID DESC");
}

QString readingIndexRow()
{
    return QStringLiteral("SELECT 1 FROM sqlite_schema WHERE type='table' AND name='eys_skn'");
}

QString dishOverview()
{
    return QStringLiteral("SELECT mnu.ID,mnu.アイテム名,") +
           QStringLiteral("Sum(eys.ENC*kou.数量2) AS SENC,") +
           QStringLiteral("Sum(kou.数量2*100) AS SSU,") +
           QStringLiteral("int(Sum(eys.NAT*kou.数量2)*100+0.5)/100 AS SNAT,") +
           QStringLiteral("mnu.人分 ") + QStringLiteral("FROM mnu,kou,eys ") +
           QStringLiteral("WHERE((mnu.ID = kou.アイテムCD) AND (kou.食品コード = eys.SID)) ") +
           QStringLiteral("GROUP BY mnu.ID,mnu.アイテム名");
}

QString foodRecord(qint64 food)
{
    return QStringLiteral("SELECT eys.* FROM eys WHERE(eys.SID=") + key(food) + QStringLiteral(")");
}

QString foods()
{
    return QStringLiteral("SELECT eys.* FROM eys");
}

QString foodsTail()
{
    // A plain scan of a table goes in key order: its tail is the keys from
    // the highest down.
    return QStringLiteral("SELECT eys.* FROM eys ORDER BY eys.SID DESC LIMIT ?1");
}

QString foodNames(qint64 food, bool fullNames)
{
    return (fullNames ? QStringLiteral("SELECT eys.FNM, eys.SNM FROM eys WHERE(eys.SID=")
                      : QStringLiteral("SELECT NULL, eys.SNM FROM eys WHERE(eys.SID=")) +
           key(food) + QStringLiteral(")");
}

QString foodValues(const QStringList &fields)
{
    return QStringLiteral("SELECT ") + fields.join(QLatin1Char(',')) +
           QStringLiteral(" FROM eys WHERE SID=?1");
}

QString foodComponents(const QStringList &columns)
{
    return QStringLiteral("SELECT ") + columns.join(QLatin1Char(',')) +
           QStringLiteral(" FROM sbn WHERE SID=?1");
}

QString setFoodValues(const QStringList &fields)
{
    QStringList sets;
    for (const QString &field : fields)
        sets << field + QStringLiteral("=?%1").arg(sets.size() + 2);
    return QStringLiteral("UPDATE eys SET ") + sets.join(QLatin1Char(',')) +
           QStringLiteral(" WHERE SID=?1");
}

QString dropFoodComponents()
{
    return QStringLiteral("DELETE FROM sbn WHERE SID=?1");
}

QString componentRow(const QStringList &columns, qint64 food)
{
    return QStringLiteral("SELECT ") + columns.join(QLatin1Char(',')) +
           QStringLiteral(",MRK FROM sbn WHERE SID=") + key(food);
}

QString storeComponentRow(const QStringList &columns)
{
    QStringList places;
    for (qsizetype i = 0; i < columns.size() + 2; ++i)
        places << QStringLiteral("?%1").arg(i + 1);
    return QStringLiteral("INSERT OR REPLACE INTO sbn(SID,") + columns.join(QLatin1Char(',')) +
           QStringLiteral(",MRK) VALUES (") + places.join(QLatin1Char(',')) + QLatin1Char(')');
}

QString ownMeasures(qint64 food)
{
    return QStringLiteral("SELECT etn.TNM, etn.KAK, etn.USR=2 FROM etn WHERE(etn.SID=") +
           key(food) + QStringLiteral(") ORDER BY etn.rowid");
}

QString generalUnits()
{
    return QStringLiteral("SELECT tni.TNM, tni.KAK FROM tni");
}

QString createKeptMeasures()
{
    return QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS etn_kept AS SELECT * FROM etn WHERE 0");
}

QString clearKeptMeasures()
{
    return QStringLiteral("DELETE FROM temp.etn_kept");
}

QString keepMeasures()
{
    return QStringLiteral("INSERT INTO temp.etn_kept SELECT * FROM etn WHERE SID = ?1");
}

QString dropMeasures()
{
    return QStringLiteral("DELETE FROM etn WHERE SID = ?1");
}

QString keptMeasure()
{
    return QStringLiteral("INSERT INTO etn(SID, TNM, KAK, USR) SELECT SID, TNM, KAK, USR FROM "
                          "temp.etn_kept WHERE SID = ?1 AND TNM = ?2");
}

QString newMeasure()
{
    return QStringLiteral("INSERT INTO etn(SID, TNM, KAK, USR) VALUES (?1, ?2, ?3, 1)");
}

QString insertDish(QStringView nameColumn)
{
    return QStringLiteral("INSERT INTO mnu(%1) VALUES (?1)").arg(nameColumn);
}

QString linesWithUnknown(const QStringList &fields, std::optional<qint64> dish)
{
    QStringList flags;
    for (const QString &f : fields)
        flags << QStringLiteral("(eys.%1 IS NULL)").arg(f);
    return QStringLiteral("SELECT kou.アイテムCD,eys.SNM,") + flags.join(u',') +
           QStringLiteral(" FROM kou,eys WHERE((kou.食品コード=eys.SID)") +
           dishFilter(dish, u"kou.アイテムCD") + QStringLiteral(" AND (") +
           flags.join(QStringLiteral(" OR ")) + QStringLiteral(")) ORDER BY kou.アイテムCD,kou.ID");
}

QString standardOf(int age, int sex)
{
    return QStringLiteral("SELECT kij.* FROM kij WHERE((kij.AGE=") + QString::number(age) +
           QStringLiteral(") AND (kij.SEX=") + QString::number(sex) + QStringLiteral("))");
}

QString pageCacheSize()
{
    return QStringLiteral("PRAGMA cache_size");
}

QString setPageCacheSize(qint64 cacheSize)
{
    return QStringLiteral("PRAGMA cache_size = ") + key(cacheSize);
}

QString exportDishes(const DishKeys &dishes)
{
    QString text = QStringLiteral("SELECT ID,アイテム名,人分,出来上がり重量 FROM mnu");
    if (dishes)
        text += QStringLiteral(" WHERE 1") + dishFilter(dishes, u"ID");
    return text;
}

QString exportFoods(const DishKeys &dishes)
{
    QString text = QStringLiteral("SELECT eys.SID,eys.SNM");
    for (const Nutrients::Nutrient &n : Nutrients::all)
        text += QStringLiteral(",eys.") + n.field;
    return text + QStringLiteral(" FROM eys WHERE eys.SID IN (SELECT 食品コード FROM kou WHERE 1") +
           dishFilter(dishes, u"アイテムCD") + QLatin1Char(')');
}

QString exportLines(const DishKeys &dishes)
{
    return QStringLiteral(
               "SELECT kou.アイテムCD,kou.食品コード,kou.数量,kou.単位,kou.数量2 FROM kou "
               "WHERE 1") +
           dishFilter(dishes, u"kou.アイテムCD") +
           QStringLiteral(" ORDER BY kou.アイテムCD,kou.ID");
}

QString exportWeights(const DishKeys &dishes)
{
    return QStringLiteral("SELECT アイテムCD,sum(数量2),count(*) FROM kou WHERE 1") +
           dishFilter(dishes, u"アイテムCD") + QStringLiteral(" GROUP BY アイテムCD");
}

QString exportSums(const DishKeys &dishes)
{
    // The dish list's three figures as its own query computes them, then the
    // sums as the totals and the comparison compute them.
    QString text = QStringLiteral("SELECT kou.アイテムCD,Sum(eys.ENC*kou.数量2),Sum(kou.数量2*100),"
                                  "int(Sum(eys.NAT*kou.数量2)*100+0.5)/100");
    for (const Nutrients::Nutrient &n : Nutrients::all) {
        const QString field = QString(n.field);
        text += QLatin1Char(',') + weightedSum(field, QStringLiteral("S") + field);
    }
    return text + QStringLiteral(" FROM kou,eys WHERE (kou.食品コード=eys.SID)") +
           dishFilter(dishes, u"kou.アイテムCD") + QStringLiteral(" GROUP BY kou.アイテムCD");
}

QString exportStandards()
{
    return QStringLiteral("SELECT AGE,SEX,TAL,WEI,CAL,TAN,CA,FE,VA,VB1,VB2,NAI,VC FROM kij");
}

QString hasLabelBases()
{
    return QStringLiteral("SELECT 1 FROM sqlite_schema WHERE type='table' AND name='hyj'");
}

QString hasComponents()
{
    return QStringLiteral("SELECT 1 FROM sqlite_schema WHERE type='table' AND name='sbn'");
}

QString exportComponents(const DishKeys &dishes)
{
    QString text = QStringLiteral("SELECT eys.SID");
    for (const Components::Component &c : Components::all) {
        if (!c.inFoodRow())
            text += QStringLiteral(",sbn.") + QString(c.code);
        else if (!Nutrients::byField(QString(c.field)))
            text += QStringLiteral(",eys.") + QString(c.field);
    }
    return text +
           QStringLiteral(" FROM eys LEFT JOIN sbn ON sbn.SID=eys.SID WHERE eys.SID IN"
                          " (SELECT 食品コード FROM kou WHERE 1") +
           dishFilter(dishes, u"アイテムCD") + QLatin1Char(')');
}

QString exportLabelBases(const DishKeys &dishes)
{
    return QStringLiteral("SELECT ID,KND,GRM FROM hyj WHERE 1") + dishFilter(dishes, u"ID");
}

QString labelBasis(qint64 dish)
{
    return QStringLiteral("SELECT KND,GRM FROM hyj WHERE ID=") + key(dish);
}

QString storeLabelBasis()
{
    return QStringLiteral("INSERT OR REPLACE INTO hyj(ID,KND,GRM) VALUES (?1,?2,?3)");
}

// ---- Menus

QString menuDays()
{
    return QStringLiteral("SELECT ID,DAT,KNM,AGE,SEX,PAL,STG FROM kon "
                          "ORDER BY DAT IS NULL OR DAT='',DAT,ID");
}

namespace {

// "?1,?2,…,?count": the bound keys of an IN list.
QString boundList(int count)
{
    // Plain marks are numbered in order; numbered ones cost the parser a
    // search of the marks so far each.
    QString marks;
    marks.reserve(2 * count);
    for (int i = 0; i < count; ++i)
        marks += i ? QStringLiteral(",?") : QStringLiteral("?");
    return marks;
}

} // namespace

QString menuEntries(int dayCount)
{
    QString text = QStringLiteral("SELECT ID,KID,MEAL,DISH,POR,ORD FROM kom");
    if (dayCount > 0)
        text += QStringLiteral(" WHERE KID IN (") + boundList(dayCount) + QLatin1Char(')');
    return text + QStringLiteral(" ORDER BY KID,MEAL,ORD,ID");
}

QString menuDishHeads(int count)
{
    return QStringLiteral("SELECT ID,アイテム名,人分 FROM mnu WHERE ID IN (") + boundList(count) +
           QLatin1Char(')');
}

QString menuDishLines(int count)
{
    return QStringLiteral("SELECT アイテムCD,食品コード,数量2 FROM kou WHERE アイテムCD IN (") +
           boundList(count) + QLatin1Char(')');
}

QString menuFoods(int count, bool valueFieldsOnly)
{
    QString text = QStringLiteral("SELECT eys.SID,eys.SNM");
    for (const Components::Component &c : Components::all)
        text += c.inFoodRow()     ? QStringLiteral(",eys.") + c.field
                : valueFieldsOnly ? QStringLiteral(",NULL")
                                  : QStringLiteral(",sbn.") + c.code;
    return text + QStringLiteral(" FROM eys") +
           (valueFieldsOnly ? QString() : QStringLiteral(" LEFT JOIN sbn ON sbn.SID=eys.SID")) +
           QStringLiteral(" WHERE eys.SID IN (") + boundList(count) +
           QStringLiteral(") ORDER BY eys.SID");
}

QString menuKeptFigures(int count)
{
    return QStringLiteral("SELECT ID,FIG FROM mns WHERE ID IN (") + boundList(count) +
           QLatin1Char(')');
}

QString menuKeepFigures()
{
    return QStringLiteral("INSERT OR REPLACE INTO mns(ID,FIG) VALUES (?1,?2)");
}

QString dataVersion()
{
    return QStringLiteral("PRAGMA data_version");
}

QString dishesUsingFood(qint64 food)
{
    return QStringLiteral("SELECT count(DISTINCT アイテムCD) FROM kou WHERE 食品コード=") +
           key(food);
}

QString menuDaysUsingDish()
{
    return QStringLiteral("SELECT count(DISTINCT KID) FROM kom WHERE DISH=?1");
}

QString menuDishesNamed()
{
    return QStringLiteral("SELECT ID,アイテム名 FROM mnu WHERE instr(アイテム名,?1)>0 "
                          "ORDER BY アイテム名<>?1,ID LIMIT ?2");
}

QString menuInsertDay()
{
    return QStringLiteral(
        "INSERT INTO kon(DAT,KNM,AGE,SEX,PAL,STG) VALUES (NULLIF(?1,''),?2,?3,?4,?5,?6)");
}

QString menuCopyEntries()
{
    return QStringLiteral("INSERT INTO kom(KID,MEAL,DISH,POR,ORD) "
                          "SELECT ?2,MEAL,DISH,POR,ORD FROM kom WHERE KID=?1 ORDER BY ID");
}

QString menuRenameDay()
{
    return QStringLiteral("UPDATE kon SET DAT=NULLIF(?2,''),KNM=?3 WHERE ID=?1");
}

QString menuSetPerson()
{
    return QStringLiteral("UPDATE kon SET AGE=?2,SEX=?3,PAL=?4,STG=?5 WHERE ID=?1");
}

QString menuDeleteDay()
{
    return QStringLiteral("DELETE FROM kon WHERE ID=?1");
}

QString menuInsertEntry()
{
    return QStringLiteral("INSERT INTO kom(KID,MEAL,DISH,POR,ORD) SELECT ?1,?2,?3,?4,"
                          "coalesce(max(ORD)+1,0) FROM kom WHERE KID=?1 AND MEAL=?2");
}

QString menuSetPortion()
{
    return QStringLiteral("UPDATE kom SET POR=?2 WHERE ID=?1");
}

QString menuMoveToMeal()
{
    return QStringLiteral("UPDATE kom SET MEAL=?2,ORD=(SELECT coalesce(max(o.ORD)+1,0) FROM kom o "
                          "WHERE o.KID=kom.KID AND o.MEAL=?2 AND o.ID<>kom.ID) WHERE ID=?1");
}

QString menuNeighbour(bool before)
{
    return QStringLiteral("SELECT n.ID FROM kom e JOIN kom n ON n.KID=e.KID AND n.MEAL=e.MEAL "
                          "AND n.ID<>e.ID WHERE e.ID=?1 AND ") +
           (before ? QStringLiteral("(n.ORD<e.ORD OR (n.ORD=e.ORD AND n.ID<e.ID)) "
                                    "ORDER BY n.ORD DESC,n.ID DESC LIMIT 1")
                   : QStringLiteral("(n.ORD>e.ORD OR (n.ORD=e.ORD AND n.ID>e.ID)) "
                                    "ORDER BY n.ORD,n.ID LIMIT 1"));
}

QString menuSetOrder()
{
    return QStringLiteral("UPDATE kom SET ORD=?2 WHERE ID=?1");
}

QString menuOrderOf()
{
    return QStringLiteral("SELECT ORD FROM kom WHERE ID=?1");
}

QString menuDeleteEntry()
{
    return QStringLiteral("DELETE FROM kom WHERE ID=?1");
}

} // namespace Queries
