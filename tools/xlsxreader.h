#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QuaZip;
namespace XlsxFormat {
struct Format;
}

// Reads the cells of an Excel workbook (.xlsx: a zip of XML parts) as Excel
// shows them: shared and inline strings as written, numbers rendered through
// their cell's number format (General, fixed decimals, literal text such as
// the parentheses of "\(0.0\)"). Formulas are read by their stored result.
class XlsxReader
{
public:
    XlsxReader();
    ~XlsxReader();
    XlsxReader(const XlsxReader &) = delete;
    XlsxReader &operator=(const XlsxReader &) = delete;

    // Opens the workbook and reads its sheet list, shared strings and styles.
    bool open(const QString &path, QString *error);

    // Sheet names in workbook order.
    QStringList sheetNames() const { return m_sheetNames; }

    // One row of a sheet: its number (1-based, as Excel numbers rows) and the
    // displayed text of each cell, indexed by column (0 is column A); missing
    // cells are empty texts. Returning false stops the reading.
    using RowHandler = std::function<bool(int row, const QStringList &cells, QString *error)>;

    // Calls onRow for every row the sheet stores, in order. Fails with a
    // message naming the sheet when the sheet does not exist or its XML is
    // broken, or with the handler's message.
    bool readSheet(const QString &sheet, const RowHandler &onRow, QString *error);

    // "A" for 0, "AG" for 32.
    static QString columnName(int column);

    // A number as a cell with this number format code shows it. Returns false
    // (and leaves *text alone) for format codes it does not know how to show.
    static bool renderNumber(double value, const QString &formatCode, QString *text);

    // A text cell as this number format code shows it (only a text section
    // with "@" changes it).
    static QString renderText(const QString &value, const QString &formatCode);

private:
    bool readPart(const QString &name, QByteArray *data, QString *error);
    bool readWorkbook(QString *error);
    bool readSharedStrings(QString *error);
    bool readStyles(QString *error);
    const XlsxFormat::Format &formatOfStyle(int style) const;

    QString m_path;
    QuaZip *m_zip = nullptr;
    QStringList m_sheetNames;
    QHash<QString, QString> m_sheetParts; // sheet name -> part path in the zip
    QStringList m_sharedStrings;
    QList<int> m_styleFormats;         // cell style index -> number format id
    QHash<int, QString> m_formatCodes; // custom number formats by id
    mutable std::vector<std::unique_ptr<XlsxFormat::Format>> m_formatCache; // by style + 1
};
