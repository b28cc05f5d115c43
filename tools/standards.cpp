#include "tools/standards.h"

#include "tools/textlines.h"

#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <optional>

namespace Standards {

namespace {

const QStringList columns = {QStringLiteral("age_from"),
                             QStringLiteral("age_to"),
                             QStringLiteral("sex"),
                             QStringLiteral("height_cm"),
                             QStringLiteral("weight_kg"),
                             QStringLiteral("energy_kcal"),
                             QStringLiteral("protein_g"),
                             QStringLiteral("calcium_mg"),
                             QStringLiteral("iron_mg"),
                             QStringLiteral("iron_menstruating_mg"),
                             QStringLiteral("vitamin_a_ugrae"),
                             QStringLiteral("vitamin_b1_mg"),
                             QStringLiteral("vitamin_b2_mg"),
                             QStringLiteral("niacin_mgne"),
                             QStringLiteral("vitamin_c_mg")};

// Cells the current edition may lack and the previous edition may fill.
const QStringList fromPreviousAllowed = {
    QStringLiteral("height_cm"), QStringLiteral("vitamin_b1_mg"), QStringLiteral("vitamin_b2_mg"),
    QStringLiteral("niacin_mgne")};

struct Group
{
    int row = 0; // line in the file
    int from = 0, to = 0, sex = 0;
    QHash<QString, std::optional<double>> values;
};

struct Edition
{
    QString file;
    QList<Group> groups;

    const Group *find(int age, int sex, QString *error) const
    {
        const Group *found = nullptr;
        for (const Group &g : groups) {
            if (g.sex != sex || age < g.from || age > g.to)
                continue;
            if (found) {
                *error = QStringLiteral("%1 行 %2 と行 %3: %4 歳の年齢区分が重なっています。")
                             .arg(file)
                             .arg(found->row)
                             .arg(g.row)
                             .arg(age);
                return nullptr;
            }
            found = &g;
        }
        if (!found)
            *error = QStringLiteral("%1: %2 歳%3の行がありません。")
                         .arg(file)
                         .arg(age)
                         .arg(sex == 1 ? QStringLiteral("男性") : QStringLiteral("女性"));
        return found;
    }

    const Group *same(const Group &g) const
    {
        for (const Group &other : groups)
            if (other.from == g.from && other.to == g.to && other.sex == g.sex)
                return &other;
        return nullptr;
    }
};

bool readEdition(const QString &path, Edition *edition, QString *error)
{
    edition->file = QFileInfo(path).fileName();
    QStringList lines;
    if (!readTextLines(path, &lines, error))
        return false;
    QStringList header;
    QHash<QString, int> at;
    static const QRegularExpression number(QStringLiteral("^[0-9]+(\\.[0-9]+)?$"));
    for (int i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (line.trimmed().isEmpty())
            continue;
        const QStringList fields = line.split(QLatin1Char(','));
        const int row = i + 1;
        if (header.isEmpty()) {
            header = fields;
            for (int c = 0; c < header.size(); ++c) {
                const QString name = header[c].trimmed();
                if (!columns.contains(name) || at.contains(name)) {
                    *error = QStringLiteral("%1 行 %2 列 %3: 知らない見出し「%4」です。")
                                 .arg(edition->file)
                                 .arg(row)
                                 .arg(c + 1)
                                 .arg(name);
                    return false;
                }
                at.insert(name, c);
            }
            for (const QString &name : columns) {
                if (!at.contains(name)) {
                    *error = QStringLiteral("%1 行 %2: 見出し「%3」の列がありません。")
                                 .arg(edition->file)
                                 .arg(row)
                                 .arg(name);
                    return false;
                }
            }
            continue;
        }
        if (fields.size() != header.size()) {
            *error = QStringLiteral("%1 行 %2: 列が %3 個あります（見出しは %4 個）。")
                         .arg(edition->file)
                         .arg(row)
                         .arg(fields.size())
                         .arg(header.size());
            return false;
        }
        Group g;
        g.row = row;
        for (const QString &name : columns) {
            const int c = at.value(name);
            const QString text = fields[c].trimmed();
            if (text.isEmpty()) {
                g.values.insert(name, std::nullopt);
            } else if (number.match(text).hasMatch()) {
                g.values.insert(name, text.toDouble());
            } else {
                *error = QStringLiteral("%1 行 %2 列 %3（%4）: 「%5」は数値ではありません。")
                             .arg(edition->file)
                             .arg(row)
                             .arg(c + 1)
                             .arg(name, text);
                return false;
            }
        }
        const auto from = g.values.value(QStringLiteral("age_from"));
        const auto to = g.values.value(QStringLiteral("age_to"));
        const auto sex = g.values.value(QStringLiteral("sex"));
        if (!from || !sex || (*sex != 0 && *sex != 1) || (to && *to < *from)) {
            *error = QStringLiteral("%1 行 %2: 年齢区分か性別が読めません。")
                         .arg(edition->file)
                         .arg(row);
            return false;
        }
        g.from = int(*from);
        g.to = to ? int(*to) : oldestAge; // the open oldest group
        g.sex = int(*sex);
        edition->groups.append(g);
    }
    if (header.isEmpty()) {
        *error = QStringLiteral("%1 は空です。").arg(edition->file);
        return false;
    }
    return true;
}

QString groupText(const Group &g)
{
    return QStringLiteral("%1-%2歳 %3")
        .arg(g.from)
        .arg(g.to)
        .arg(g.sex == 1 ? QStringLiteral("男性") : QStringLiteral("女性"));
}

} // namespace

bool read(const QString &currentCsv, const QString &previousCsv, Table *table, QString *error)
{
    Edition current, previous;
    QString message;
    if (!readEdition(currentCsv, &current, &message) ||
        !readEdition(previousCsv, &previous, &message)) {
        if (error)
            *error = message;
        return false;
    }
    for (int age = youngestAge; age <= oldestAge; ++age) {
        for (int sex : {1, 0}) {
            const Group *g = current.find(age, sex, &message);
            if (!g) {
                if (error)
                    *error = message;
                return false;
            }
            bool ok = true;
            auto value = [&](const QString &name) -> double {
                if (!ok)
                    return 0;
                if (const auto v = g->values.value(name))
                    return *v;
                const Group *old = fromPreviousAllowed.contains(name) ? previous.same(*g) : nullptr;
                if (old) {
                    if (const auto v = old->values.value(name)) {
                        table->fromPrevious.append(name + QLatin1Char(' ') + groupText(*g));
                        return *v;
                    }
                }
                ok = false;
                message = QStringLiteral("%1 行 %2（%3）: %4 の値がありません%5。")
                              .arg(current.file)
                              .arg(g->row)
                              .arg(groupText(*g), name)
                              .arg(fromPreviousAllowed.contains(name)
                                       ? QStringLiteral("（%1 にもありません）").arg(previous.file)
                                       : QString());
                return 0;
            };
            Row r;
            r.age = age;
            r.sex = sex;
            r.tal = value(QStringLiteral("height_cm"));
            r.wei = value(QStringLiteral("weight_kg"));
            r.cal = value(QStringLiteral("energy_kcal"));
            r.tan = value(QStringLiteral("protein_g"));
            r.ca = value(QStringLiteral("calcium_mg"));
            // Women of the ages with menstruation: the value with menstruation.
            const auto menstruating = g->values.value(QStringLiteral("iron_menstruating_mg"));
            r.fe = sex == 0 && menstruating ? *menstruating : value(QStringLiteral("iron_mg"));
            r.va = value(QStringLiteral("vitamin_a_ugrae")) * 10 / 3;
            r.vb1 = value(QStringLiteral("vitamin_b1_mg"));
            r.vb2 = value(QStringLiteral("vitamin_b2_mg"));
            r.nai = value(QStringLiteral("niacin_mgne"));
            r.vc = value(QStringLiteral("vitamin_c_mg"));
            if (!ok) {
                if (error)
                    *error = message;
                return false;
            }
            table->rows.append(r);
        }
    }
    table->fromPrevious.removeDuplicates();
    return true;
}

} // namespace Standards
