#include "tools/foodtable.h"

#include "core/store/numbertext.h"
#include "tools/xlsxreader.h"

#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace FoodTable {

const char *const tags[tagCount] = {
    "REFUSE", "ENERC",   "ENERC_KCAL", "WATER",     "PROTCAA", "PROT-",  "FATNLEA", "CHOLE",
    "FAT-",   "CHOAVLM", "CHOAVL",     "CHOAVLDF-", "FIB-",    "POLYL",  "CHOCDF-", "OA",
    "ASH",    "NA",      "K",          "CA",        "MG",      "P",      "FE",      "ZN",
    "CU",     "MN",      "ID",         "SE",        "CR",      "MO",     "RETOL",   "CARTA",
    "CARTB",  "CRYPXB",  "CARTBEQ",    "VITA_RAE",  "VITD",    "TOCPHA", "TOCPHB",  "TOCPHG",
    "TOCPHD", "VITK",    "THIA",       "RIBF",      "NIA",     "NE",     "VITB6A",  "VITB12",
    "FOL",    "PANTAC",  "BIOT",       "VITC",      "ALC",     "NACL_EQ"};

// The field mapping of the store. The store keeps an older, smaller field set
// than the table; README.md shows this table to users.
const FieldMapping fieldMappings[fieldCount] = {
    {"ENC", "ENERC_KCAL", Rule::Copy},               // energy, kcal
    {"ENJ", "ENERC", Rule::Copy},                    // energy, kJ
    {"SUI", "WATER", Rule::Copy},                    // water
    {"TAN", "PROT-", Rule::Copy},                    // protein
    {"SST", "FAT-", Rule::Copy},                     // fat
    {"TST", "CHOCDF-", Rule::CarbohydrateLessFibre}, // carbohydrate: sugar (糖質)
    {"TSS", "FIB-", Rule::Copy},                     // carbohydrate: fibre
    {"KBN", "ASH", Rule::Copy},                      // ash
    {"CA", "CA", Rule::Copy},                        // calcium
    {"P", "P", Rule::Copy},                          // phosphorus
    {"FE", "FE", Rule::Copy},                        // iron
    {"NA", "NA", Rule::Copy},                        // sodium
    {"K", "K", Rule::Copy},                          // potassium
    {"VAR", "RETOL", Rule::Copy},                    // retinol, µg
    {"VAC", "CARTBEQ", Rule::Copy},                  // β-carotene equivalents, µg
    {"VAK", "VITA_RAE", Rule::RetinolActivityToIu},  // vitamin A, IU
    {"VE", "TOCPHA", Rule::Copy},                    // α-tocopherol
    {"VB1", "THIA", Rule::Copy},                     // vitamin B1
    {"VB2", "RIBF", Rule::Copy},                     // vitamin B2
    {"NAI", "NE", Rule::Copy},      // niacin equivalents, as the standards count niacin
    {"VC", "VITC", Rule::Copy},     // vitamin C
    {"FIB", "FIB-", Rule::Copy},    // dietary fibre
    {"COL", "CHOLE", Rule::Copy},   // cholesterol
    {"NAT", "NACL_EQ", Rule::Copy}, // salt equivalent
};

int tagIndex(const QString &tag)
{
    static const QHash<QString, int> index = [] {
        QHash<QString, int> h;
        for (int i = 0; i < tagCount; ++i)
            h.insert(QString::fromLatin1(tags[i]), i);
        return h;
    }();
    return index.value(tag, -1);
}

std::optional<Value> parseCell(const QString &text)
{
    using Marker = Components::Marker;
    QString t = text.trimmed();
    if (t == QLatin1String("-"))
        return Value::none();
    if (t == QLatin1String("*"))
        return Value::none(Marker::SeeRemarks);
    bool parenthesised = false;
    if (t.size() >= 2 && ((t.front() == QLatin1Char('(') && t.back() == QLatin1Char(')')) ||
                          (t.front() == QChar(0xFF08) && t.back() == QChar(0xFF09)))) {
        t = t.mid(1, t.size() - 2).trimmed();
        parenthesised = true;
    }
    if (t == QLatin1String("Tr"))
        return Value::of(0, 0, parenthesised ? Marker::EstimatedTrace : Marker::Trace);
    bool prescribed = false;
    if (!parenthesised && t.endsWith(QChar(0x2020))) { // †
        t.chop(1);
        prescribed = true;
    }
    // Digits, optionally a point and more digits.
    int digits = 0, decimals = -1;
    for (QChar c : std::as_const(t)) {
        if (c.unicode() >= '0' && c.unicode() <= '9') {
            ++digits;
            if (decimals >= 0)
                ++decimals;
        } else if (c == QLatin1Char('.') && decimals < 0 && digits > 0) {
            decimals = 0;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || decimals == 0)
        return std::nullopt;
    return Value::of(t.toDouble(), qMax(0, decimals),
                     parenthesised ? Marker::Estimated
                     : prescribed  ? Marker::Prescribed
                                   : Marker::Plain);
}

Value componentValue(const Food &food, int component)
{
    // The component codes are the tags without the trailing "-".
    static const std::array<int, Components::count> index = [] {
        std::array<int, Components::count> a{};
        for (int i = 0; i < Components::count; ++i) {
            const QString code = QString(Components::all[i].code);
            const int plain = tagIndex(code);
            a[i] = plain >= 0 ? plain : tagIndex(code + QLatin1Char('-'));
        }
        return a;
    }();
    return food.values[index[component]];
}

Value fieldValue(const Food &food, const FieldMapping &mapping)
{
    static const int fibre = tagIndex(QStringLiteral("FIB-"));
    static const std::array<int, fieldCount> mapped = [] {
        std::array<int, fieldCount> a{};
        for (int i = 0; i < fieldCount; ++i)
            a[i] = tagIndex(QString::fromLatin1(fieldMappings[i].tag));
        return a;
    }();
    const std::ptrdiff_t slot = &mapping - fieldMappings;
    const int index =
        slot >= 0 && slot < fieldCount ? mapped[slot] : tagIndex(QString::fromLatin1(mapping.tag));
    const Value v = food.values[index];
    if (!v.known)
        return v;
    switch (mapping.rule) {
    case Rule::Copy:
        return v;
    case Rule::CarbohydrateLessFibre: {
        const Value f = food.values[fibre];
        if (!f.known)
            return v;
        const int decimals = qMax(v.decimals, f.decimals);
        // Round the difference to the published decimals: 64.9 - 7.4 is 57.5.
        const double sugar = NumberText::fixed(v.number - f.number, decimals).toDouble();
        return Value::of(qMax(0.0, sugar), decimals);
    }
    case Rule::RetinolActivityToIu:
        return Value::of(v.number * 10 / 3, v.decimals);
    }
    return v;
}

namespace {

QString compact(const QString &text)
{
    QString out;
    for (QChar c : text)
        if (!c.isSpace())
            out += c;
    return out;
}

} // namespace

bool read(const QString &xlsxPath, Table *table, QString *error)
{
    XlsxReader book;
    if (!book.open(xlsxPath, error))
        return false;

    // Group names come from the per-group sheets, named like "1穀類".
    static const QRegularExpression groupSheet(QStringLiteral("^([0-9]{1,2})\\s*(\\S.*)$"));
    for (const QString &sheet : book.sheetNames()) {
        const QRegularExpressionMatch m = groupSheet.match(sheet);
        if (m.hasMatch())
            table->groups.insert(m.captured(1).toInt(), m.captured(2).trimmed());
    }

    int tagRow = 0;
    int groupColumn = -1, numberColumn = -1, nameColumn = -1, remarksColumn = -1;
    QList<QPair<int, int>> valueColumns; // sheet column -> tag index
    QSet<int> numbers;
    const QString &sheet = mainSheet;

    auto place = [&](int row, int column) {
        return QStringLiteral("シート「%1」 行 %2 列 %3")
            .arg(sheet)
            .arg(row)
            .arg(XlsxReader::columnName(column));
    };

    auto headerRow = [&](int row, const QStringList &cells, QString *message) {
        int tagCell = -1;
        for (int c = 0; c < cells.size(); ++c) {
            const QString h = compact(cells[c]);
            if (h == QStringLiteral("食品群"))
                groupColumn = c;
            else if (h == QStringLiteral("食品番号"))
                numberColumn = c;
            else if (h == QStringLiteral("食品名"))
                nameColumn = c;
            else if (h == QStringLiteral("成分識別子"))
                tagCell = c;
            else if (h == QStringLiteral("備考"))
                remarksColumn = c;
        }
        if (tagCell < 0)
            return true;
        tagRow = row;
        QSet<int> seen;
        for (int c = tagCell + 1; c < cells.size(); ++c) {
            const QString tag = cells[c].trimmed();
            if (tag.isEmpty())
                continue; // mark and spacer columns have no tag
            const int index = tagIndex(tag);
            if (index < 0 || seen.contains(index)) {
                *message =
                    place(row, c) + (index < 0 ? QStringLiteral(": 知らない見出し「%1」です。")
                                               : QStringLiteral(": 見出し「%1」が二度あります。"))
                                        .arg(tag);
                return false;
            }
            seen.insert(index);
            valueColumns.append({c, index});
        }
        for (const FieldMapping &m : fieldMappings) {
            if (!seen.contains(tagIndex(QString::fromLatin1(m.tag)))) {
                *message = QStringLiteral("シート「%1」 行 %2: 見出し「%3」の列がありません。")
                               .arg(sheet)
                               .arg(row)
                               .arg(QString::fromLatin1(m.tag));
                return false;
            }
        }
        const char *missing = groupColumn < 0    ? "食品群"
                              : numberColumn < 0 ? "食品番号"
                              : nameColumn < 0   ? "食品名"
                                                 : nullptr;
        if (missing) {
            *message = QStringLiteral("シート「%1」 行 1-%2: 見出し「%3」がありません。")
                           .arg(sheet)
                           .arg(row)
                           .arg(QString::fromUtf8(missing));
            return false;
        }
        return true;
    };

    static const QRegularExpression foodNumber(QStringLiteral("^[0-9]{5}$"));
    static const QRegularExpression groupNumber(QStringLiteral("^[0-9]{1,2}$"));

    auto dataRow = [&](int row, const QStringList &cells, QString *message) {
        auto cell = [&](int c) { return c < cells.size() ? cells[c].trimmed() : QString(); };
        const QString number = cell(numberColumn);
        const QString group = cell(groupColumn);
        const QString name = cell(nameColumn);
        if (number.isEmpty() && group.isEmpty() && name.isEmpty())
            return true; // a blank row below the table
        Food food;
        if (!foodNumber.match(number).hasMatch()) {
            *message = place(row, numberColumn) +
                       QStringLiteral(": 食品番号「%1」は5桁の数字ではありません。").arg(number);
            return false;
        }
        food.number = number.toInt();
        if (numbers.contains(food.number)) {
            *message = place(row, numberColumn) +
                       QStringLiteral(": 食品番号 %1 が二度あります。").arg(number);
            return false;
        }
        if (!groupNumber.match(group).hasMatch() || group.toInt() != food.number / 1000 ||
            group.toInt() < 1 || group.toInt() == 20) {
            *message =
                place(row, groupColumn) +
                QStringLiteral(": 食品群「%1」は食品番号 %2 に合いません。").arg(group, number);
            return false;
        }
        food.group = group.toInt();
        if (name.isEmpty()) {
            *message = place(row, nameColumn) + QStringLiteral(": 食品名がありません。");
            return false;
        }
        food.name = name;
        if (remarksColumn >= 0)
            food.remarks = cell(remarksColumn);
        for (const auto &[column, index] : valueColumns) {
            const QString text = cell(column);
            const std::optional<Value> v = parseCell(text);
            if (!v) {
                *message = place(row, column) +
                           QStringLiteral("（%1）: 「%2」は数値でも既知の記号でもありません。")
                               .arg(QString::fromLatin1(tags[index]), text);
                return false;
            }
            food.values[index] = *v;
        }
        numbers.insert(food.number);
        table->foods.append(food);
        return true;
    };

    const bool ok = book.readSheet(
        sheet,
        [&](int row, const QStringList &cells, QString *message) {
            return tagRow == 0 ? headerRow(row, cells, message) : dataRow(row, cells, message);
        },
        error);
    if (!ok)
        return false;
    if (tagRow == 0) {
        if (error)
            *error =
                QStringLiteral("シート「%1」: 見出しの行（成分識別子）がありません。").arg(sheet);
        return false;
    }
    if (table->foods.isEmpty()) {
        if (error)
            *error = QStringLiteral("シート「%1」: 食品の行がありません。").arg(sheet);
        return false;
    }
    for (const Food &food : std::as_const(table->foods)) {
        if (!table->groups.contains(food.group)) {
            if (error)
                *error = QStringLiteral("%1 に食品群 %2 のシート（「%2…」）がありません。")
                             .arg(QFileInfo(xlsxPath).fileName())
                             .arg(food.group);
            return false;
        }
    }
    return true;
}

std::optional<double> density(const Food &food)
{
    // 「(100 g：182 mL、100 mL：55 g)」, with or without blanks.
    static const QRegularExpression perVolume(
        QStringLiteral("100\\s*mL\\s*[：:]\\s*([0-9]+(?:\\.[0-9]+)?)\\s*g"));
    const QRegularExpressionMatch m = perVolume.match(food.remarks);
    if (!m.hasMatch())
        return std::nullopt;
    bool ok = false;
    const double grams = m.captured(1).toDouble(&ok);
    if (!ok || !(grams > 0))
        return std::nullopt;
    return grams;
}

QString listedName(const QString &publishedName)
{
    static const QRegularExpression group(
        QStringLiteral("^[\\s\\x{3000}]*＜[^＞]*＞[\\s\\x{3000}]*"));
    return QString(publishedName).remove(group);
}

QStringList listedNames(const QList<Food> &foods)
{
    QStringList names;
    names.reserve(foods.size());
    for (const Food &food : foods) {
        const QString listed = listedName(food.name);
        names << (listed.isEmpty() ? food.name : listed);
    }
    // Shortened names that meet another name go back to their published form;
    // that can only take names apart, so a few rounds settle it.
    for (bool changed = true; changed;) {
        changed = false;
        QHash<QString, int> uses;
        for (const QString &name : std::as_const(names))
            ++uses[name];
        for (int i = 0; i < names.size(); ++i) {
            if (uses.value(names[i]) > 1 && names[i] != foods[i].name) {
                names[i] = foods[i].name;
                changed = true;
            }
        }
    }
    return names;
}

} // namespace FoodTable
