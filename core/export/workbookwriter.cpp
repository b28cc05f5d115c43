#include "core/export/workbookwriter.h"

#include "core/app/modules.h"
#include "core/export/sheettable.h"

namespace Export {

namespace {

constexpr int maxSheetName = 31;

using WriteWorkbook = bool (*)(const QString &, const std::vector<Dish> &, QString *);

// The module that writes workbooks, loaded on the first one.
WriteWorkbook workbookWriter(QString *error)
{
    static WriteWorkbook writer = nullptr;
    if (!writer)
        writer = reinterpret_cast<WriteWorkbook>(
            Modules::resolve(QStringLiteral("zento_workbook"), "zentoWriteWorkbook", error));
    if (!writer)
        *error = QStringLiteral("Excel ブックを書けません。") + *error;
    return writer;
}

using WriteTables = bool (*)(const QString &, const std::vector<SheetTable> &, QString *);

WriteTables tablesWriter(QString *error)
{
    static WriteTables writer = nullptr;
    if (!writer)
        writer = reinterpret_cast<WriteTables>(
            Modules::resolve(QStringLiteral("zento_workbook"), "zentoWriteTables", error));
    if (!writer)
        *error = QStringLiteral("Excel ブックを書けません。") + *error;
    return writer;
}

} // namespace

bool writeTablesWorkbook(const QString &path, const std::vector<SheetTable> &tables, QString *error)
{
    const WriteTables writer = tablesWriter(error);
    return writer && writer(path, tables, error);
}

QString overviewSheetName()
{
    return QStringLiteral("一覧");
}

QString sheetName(const QString &dishName, qint64 key, QSet<QString> *used)
{
    static const QString forbidden = QStringLiteral("[]:*?/\\");
    QString base;
    for (QChar c : dishName) {
        if (forbidden.contains(c) || c.unicode() < 0x20)
            base += QLatin1Char('_');
        else
            base += c;
    }
    while (base.startsWith(QLatin1Char('\'')))
        base.remove(0, 1);
    while (base.endsWith(QLatin1Char('\'')))
        base.chop(1);
    base = base.trimmed();
    // The workbook program keeps this name for itself.
    if (base.isEmpty() || base.compare(QLatin1String("History"), Qt::CaseInsensitive) == 0)
        base = QStringLiteral("料理%1").arg(key);

    // Cut to a length, never between the halves of a surrogate pair.
    auto cut = [](const QString &text, int length) {
        if (text.size() <= length)
            return text;
        QString out = text.left(length);
        if (out.back().isHighSurrogate())
            out.chop(1);
        while (out.endsWith(QLatin1Char('\'')))
            out.chop(1);
        return out;
    };
    QString name = cut(base, maxSheetName);
    for (int n = 2; used->contains(name.toCaseFolded()); ++n) {
        const QString suffix = QStringLiteral("(%1)").arg(n);
        name = cut(base, maxSheetName - int(suffix.size())) + suffix;
    }
    used->insert(name.toCaseFolded());
    return name;
}

bool writeWorkbook(const QString &path, const std::vector<Dish> &dishes, QString *error)
{
    const WriteWorkbook writer = workbookWriter(error);
    return writer && writer(path, dishes, error);
}

} // namespace Export
