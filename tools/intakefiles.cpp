#include "tools/intakefiles.h"

#include "tools/textlines.h"

#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>

namespace IntakeFiles {

namespace {

struct Csv
{
    QString name;
    QStringList header;
    QList<QPair<int, QStringList>> rows; // line, cells
};

bool readCsv(const QString &path, Csv *csv, QString *error)
{
    csv->name = QFileInfo(path).fileName();
    QStringList lines;
    if (!readTextLines(path, &lines, error))
        return false;
    for (int i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (line.trimmed().isEmpty())
            continue;
        // No cell of these files is quoted except the notes, which are read
        // up to their first comma only (they are not used).
        const QStringList cells = line.split(QLatin1Char(','));
        if (csv->header.isEmpty()) {
            csv->header = cells;
            for (QString &h : csv->header)
                h = h.trimmed();
            continue;
        }
        if (cells.size() < csv->header.size()) {
            *error = QStringLiteral("%1 行 %2: 列が %3 個しかありません（見出しは %4 個）。")
                         .arg(csv->name)
                         .arg(i + 1)
                         .arg(cells.size())
                         .arg(csv->header.size());
            return false;
        }
        csv->rows.append({i + 1, cells});
    }
    if (csv->header.isEmpty()) {
        *error = QStringLiteral("%1: 見出しの行がありません。").arg(csv->name);
        return false;
    }
    return true;
}

int column(const Csv &csv, const QString &name, QString *error)
{
    const int c = int(csv.header.indexOf(name));
    if (c < 0)
        *error = QStringLiteral("%1: 見出し「%2」の列がありません。").arg(csv.name, name);
    return c;
}

// An empty cell is nothing; a cell that is not a plain decimal number is a
// fault.
bool cellValue(const Csv &csv, int line, int c, const QString &text, std::optional<double> *value,
               QString *error)
{
    static const QRegularExpression number(QStringLiteral("^[0-9]+(\\.[0-9]+)?$"));
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        value->reset();
        return true;
    }
    if (!number.match(t).hasMatch()) {
        *error = QStringLiteral("%1 行 %2 列 %3（%4）: 「%5」は数値ではありません。")
                     .arg(csv.name)
                     .arg(line)
                     .arg(c + 1)
                     .arg(csv.header.value(c), t);
        return false;
    }
    *value = t.toDouble();
    return true;
}

bool ageGroup(const Csv &csv, int line, const QStringList &cells, int fromColumn, int toColumn,
              int sexColumn, Row *row, QString *error)
{
    bool fromOk = false, toOk = true, sexOk = false;
    row->from = cells[fromColumn].trimmed().toInt(&fromOk);
    const QString to = cells[toColumn].trimmed();
    row->to = to.isEmpty() ? std::optional<int>() : std::optional<int>(to.toInt(&toOk));
    row->sex = sexColumn < 0 ? 0 : cells[sexColumn].trimmed().toInt(&sexOk);
    if (!fromOk || !toOk || (sexColumn >= 0 && (!sexOk || (row->sex != 0 && row->sex != 1))) ||
        (row->to && *row->to < *row->from)) {
        *error = QStringLiteral("%1 行 %2: 年齢区分か性別が読めません。").arg(csv.name).arg(line);
        return false;
    }
    return true;
}

// The unit of the pregnancy table as the full table spells it in its names.
QString unitKey(const QString &unit)
{
    static const QHash<QString, QString> keys = {
        {QStringLiteral("%E"), QStringLiteral("pct")},
        {QStringLiteral("ugRAE"), QStringLiteral("ugrae")},
        {QStringLiteral("mgNE"), QStringLiteral("mgne")},
    };
    return keys.value(unit, unit.toLower());
}

} // namespace

std::pair<QString, QString> columnMeaning(const QString &name)
{
    for (const char *suffix :
         {"_dg_min", "_dg_max", "_eer_low", "_eer_high", "_rda", "_ai", "_ul"}) {
        const QLatin1StringView s(suffix);
        if (name.endsWith(s))
            return {name.chopped(s.size()), QString(s.mid(1))};
    }
    if (name == QLatin1String("iron_menstruating_mg"))
        return {QStringLiteral("iron_mg"), QStringLiteral("rda_menstruating")};
    if (name == QLatin1String("energy_kcal"))
        return {name, QStringLiteral("eer")};
    if (name == QLatin1String("height_cm") || name == QLatin1String("weight_kg"))
        return {name, QStringLiteral("value")};
    return {name, QStringLiteral("rda")};
}

bool read(const QString &fullCsv, const QString &previousCsv, const QString &pregnancyCsv,
          const QString &schoolCsv, Tables *tables, QString *error)
{
    Csv full;
    if (!readCsv(fullCsv, &full, error))
        return false;
    const int from = column(full, QStringLiteral("age_from"), error);
    const int to = from < 0 ? -1 : column(full, QStringLiteral("age_to"), error);
    const int sex = to < 0 ? -1 : column(full, QStringLiteral("sex"), error);
    if (sex < 0)
        return false;

    // The previous edition, by group and column.
    QHash<QString, double> previous;
    const QStringList fromPrevious = {QStringLiteral("height_cm"), QStringLiteral("vitamin_b1_mg"),
                                      QStringLiteral("vitamin_b2_mg"),
                                      QStringLiteral("niacin_mgne")};
    const auto groupKey = [](const Row &r, const QString &name) {
        return QStringLiteral("%1-%2-%3-%4")
            .arg(r.from.value_or(-1))
            .arg(r.to.value_or(-1))
            .arg(r.sex)
            .arg(name);
    };
    if (!previousCsv.isEmpty()) {
        Csv old;
        if (!readCsv(previousCsv, &old, error))
            return false;
        const int oldFrom = column(old, QStringLiteral("age_from"), error);
        const int oldTo = oldFrom < 0 ? -1 : column(old, QStringLiteral("age_to"), error);
        const int oldSex = oldTo < 0 ? -1 : column(old, QStringLiteral("sex"), error);
        if (oldSex < 0)
            return false;
        for (const auto &[line, cells] : std::as_const(old.rows)) {
            Row r;
            if (!ageGroup(old, line, cells, oldFrom, oldTo, oldSex, &r, error))
                return false;
            for (const QString &name : fromPrevious) {
                const int c = int(old.header.indexOf(name));
                std::optional<double> v;
                if (c >= 0 && !cellValue(old, line, c, cells[c], &v, error))
                    return false;
                if (v)
                    previous.insert(groupKey(r, name), *v);
            }
        }
    }

    for (const auto &[line, cells] : std::as_const(full.rows)) {
        Row group;
        if (!ageGroup(full, line, cells, from, to, sex, &group, error))
            return false;
        for (int c = 0; c < full.header.size(); ++c) {
            if (c == from || c == to || c == sex)
                continue;
            std::optional<double> v;
            if (!cellValue(full, line, c, cells[c], &v, error))
                return false;
            Row r = group;
            if (!v && fromPrevious.contains(full.header[c]) &&
                previous.contains(groupKey(group, full.header[c]))) {
                v = previous.value(groupKey(group, full.header[c]));
                r.edition = 2020;
            }
            if (!v)
                continue;
            std::tie(r.nutrient, r.indicator) = columnMeaning(full.header[c]);
            r.value = *v;
            tables->rows.append(r);
        }
    }

    Csv pregnancy;
    if (!readCsv(pregnancyCsv, &pregnancy, error))
        return false;
    const int nutrient = column(pregnancy, QStringLiteral("nutrient"), error);
    const int unit = nutrient < 0 ? -1 : column(pregnancy, QStringLiteral("unit"), error);
    const int indicator = unit < 0 ? -1 : column(pregnancy, QStringLiteral("indicator"), error);
    if (indicator < 0)
        return false;
    const QStringList stages = {QStringLiteral("pregnancy_early"), QStringLiteral("pregnancy_mid"),
                                QStringLiteral("pregnancy_late"), QStringLiteral("lactation")};
    QList<int> stageColumns;
    for (const QString &s : stages) {
        stageColumns << column(pregnancy, s, error);
        if (stageColumns.back() < 0)
            return false;
    }
    for (const auto &[line, cells] : std::as_const(pregnancy.rows)) {
        for (int s = 0; s < stageColumns.size(); ++s) {
            std::optional<double> v;
            if (!cellValue(pregnancy, line, stageColumns[s], cells[stageColumns[s]], &v, error))
                return false;
            if (!v)
                continue;
            Row r;
            r.stage = s + 1;
            r.nutrient =
                cells[nutrient].trimmed() + QLatin1Char('_') + unitKey(cells[unit].trimmed());
            r.indicator = cells[indicator].trimmed();
            r.value = *v;
            tables->rows.append(r);
        }
    }

    if (schoolCsv.isEmpty())
        return true;
    Csv school;
    if (!readCsv(schoolCsv, &school, error))
        return false;
    const int id = column(school, QStringLiteral("group_id"), error);
    const int name = id < 0 ? -1 : column(school, QStringLiteral("group_ja"), error);
    const int schoolFrom = name < 0 ? -1 : column(school, QStringLiteral("age_from"), error);
    const int schoolTo = schoolFrom < 0 ? -1 : column(school, QStringLiteral("age_to"), error);
    if (schoolTo < 0)
        return false;
    for (const auto &[line, cells] : std::as_const(school.rows)) {
        Row group;
        if (!ageGroup(school, line, cells, schoolFrom, schoolTo, -1, &group, error))
            return false;
        for (int c = 0; c < school.header.size(); ++c) {
            if (c == id || c == name || c == schoolFrom || c == schoolTo)
                continue;
            std::optional<double> v;
            if (!cellValue(school, line, c, cells[c], &v, error))
                return false;
            if (v)
                tables->school.append({cells[id].trimmed(), cells[name].trimmed(), *group.from,
                                       group.to.value_or(*group.from), school.header[c], *v});
        }
    }
    return true;
}

} // namespace IntakeFiles
