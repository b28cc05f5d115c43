#include "tools/xlsxreader.h"

#include "core/store/numbertext.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <cmath>
#include <quazip.h>
#include <quazipfile.h>

namespace XlsxFormat {
namespace {

// Number formats every workbook knows without declaring them. Formats not
// listed here (dates, fractions, exponents) are refused.
QString builtInFormat(int id)
{
    switch (id) {
    case 0:
        return QStringLiteral("General");
    case 1:
        return QStringLiteral("0");
    case 2:
        return QStringLiteral("0.00");
    case 3:
        return QStringLiteral("#,##0");
    case 4:
        return QStringLiteral("#,##0.00");
    case 9:
        return QStringLiteral("0%");
    case 10:
        return QStringLiteral("0.00%");
    case 37:
        return QStringLiteral("#,##0 ;(#,##0)");
    case 38:
        return QStringLiteral("#,##0 ;[Red](#,##0)");
    case 39:
        return QStringLiteral("#,##0.00;(#,##0.00)");
    case 40:
        return QStringLiteral("#,##0.00;[Red](#,##0.00)");
    case 49:
        return QStringLiteral("@");
    default:
        return QString();
    }
}

// Splits a format code into its sections at ";" outside quotes and escapes.
QStringList formatSections(const QString &code)
{
    QStringList sections;
    QString current;
    bool quoted = false;
    for (int i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('\\') && i + 1 < code.size()) {
            current += c;
            current += code[++i];
            continue;
        }
        if (!quoted && c == QLatin1Char(';')) {
            sections << current;
            current.clear();
            continue;
        }
        current += c;
    }
    sections << current;
    return sections;
}

// Excel's General form as a cell shows it: at most 10 significant digits, no
// trailing zeros.
QString generalText(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    const int integerDigits = int(std::floor(std::log10(std::fabs(value)))) + 1;
    const int decimals = qBound(0, 10 - integerDigits, 30);
    QString text = NumberText::fixed(value, decimals);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text;
}

// One section of a format code, taken apart: the literal text around one
// placeholder (General, a digit pattern or "@").
struct Section
{
    enum Placeholder { None, General, Digits, Text } placeholder = None;
    QString before, after;
    int minDecimals = 0, maxDecimals = 0;
    bool point = false, grouping = false, percent = false;
    bool supported = true;
};

Section parseSection(const QString &code)
{
    Section s;
    QString *literal = &s.before;
    for (int i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        const ushort u = c.unicode();
        if (u == '\\' && i + 1 < code.size()) {
            *literal += code[++i];
        } else if (u == '"') {
            const int end = code.indexOf(QLatin1Char('"'), i + 1);
            if (end < 0) {
                s.supported = false;
                break;
            }
            *literal += code.mid(i + 1, end - i - 1);
            i = end;
        } else if (u == '_' || u == '*') {
            ++i; // padding to a character's width, or fill: nothing in a text
        } else if (u == '[') {
            const int end = code.indexOf(QLatin1Char(']'), i + 1);
            if (end < 0) {
                s.supported = false;
                break;
            }
            i = end; // colour, condition or locale
        } else if (code.mid(i, 7).compare(QLatin1String("General"), Qt::CaseInsensitive) == 0) {
            if (s.placeholder != Section::None)
                s.supported = false;
            s.placeholder = Section::General;
            literal = &s.after;
            i += 6;
        } else if (u == '@') {
            if (s.placeholder != Section::None)
                s.supported = false;
            s.placeholder = Section::Text;
            literal = &s.after;
        } else if (u == '0' || u == '#' || u == '?' || u == '.') {
            if (s.placeholder != Section::None)
                s.supported = false;
            s.placeholder = Section::Digits;
            literal = &s.after;
            bool afterPoint = false;
            for (; i < code.size(); ++i) {
                const ushort d = code[i].unicode();
                if (d == '.' && !afterPoint) {
                    afterPoint = true;
                    s.point = true;
                } else if (d == ',' && !afterPoint && i + 1 < code.size() &&
                           QStringLiteral("0#?").contains(code[i + 1])) {
                    s.grouping = true;
                } else if (d == '0' || d == '#' || d == '?') {
                    if (afterPoint) {
                        ++s.maxDecimals;
                        if (d == '0')
                            s.minDecimals = s.maxDecimals;
                    }
                } else {
                    break;
                }
            }
            --i;
        } else if (u == '%') {
            s.percent = true;
            *literal += c;
        } else if (QStringLiteral("EeyYmMdDhHsSbBgG/,").contains(c)) {
            s.supported = false; // exponents, dates, times, fractions, scaling
        } else {
            *literal += c;
        }
    }
    return s;
}

QString digitsText(double value, const Section &s)
{
    QString text = s.grouping ? NumberText::grouped(value, s.maxDecimals)
                              : NumberText::fixed(value, s.maxDecimals);
    if (s.maxDecimals > s.minDecimals) {
        int keep = s.maxDecimals;
        while (keep > s.minDecimals && text.endsWith(QLatin1Char('0'))) {
            text.chop(1);
            --keep;
        }
    }
    if (s.point && s.maxDecimals == 0)
        text += QLatin1Char('.');
    return text;
}

} // namespace

// A number format code taken apart once, for all the cells that use it.
struct Format
{
    explicit Format(const QString &formatCode);
    bool number(double value, QString *text) const;
    QString text(const QString &value) const;

    QString code;
    QList<Section> sections;
    int textSection = -1;
};

namespace {

bool hasNonZeroDigit(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() >= '1' && c.unicode() <= '9')
            return true;
    return false;
}

} // namespace

Format::Format(const QString &formatCode)
    : code(formatCode)
{
    const QStringList parts = formatSections(formatCode);
    for (const QString &part : parts)
        sections.append(parseSection(part));
    if (parts.size() >= 4)
        textSection = 3;
    else if (parts.size() == 1 && sections[0].placeholder == Section::Text)
        textSection = 0;
}

bool Format::number(double value, QString *text) const
{
    int index = 0;
    bool sign = value < 0;
    if (value < 0 && sections.size() > 1) {
        index = 1;
        sign = false; // the negative section shows its own marks
    } else if (value == 0 && sections.size() > 2) {
        index = 2;
    }
    const Section &s = sections[index];
    if (!s.supported || s.placeholder == Section::Text)
        return false;
    double shown = std::fabs(value);
    if (s.percent)
        shown *= 100;
    QString number;
    if (s.placeholder == Section::General)
        number = generalText(shown);
    else if (s.placeholder == Section::Digits)
        number = digitsText(shown, s);
    *text = (sign && hasNonZeroDigit(number) ? QStringLiteral("-") : QString()) + s.before +
            number + s.after;
    return true;
}

QString Format::text(const QString &value) const
{
    if (textSection < 0)
        return value;
    const Section &s = sections[textSection];
    if (!s.supported || s.placeholder != Section::Text)
        return value;
    return s.before + value + s.after;
}

} // namespace XlsxFormat

namespace {

int columnIndex(QStringView reference, int *row)
{
    int column = 0;
    int i = 0;
    for (; i < reference.size(); ++i) {
        const ushort u = reference[i].unicode();
        if (u >= 'A' && u <= 'Z')
            column = column * 26 + (u - 'A' + 1);
        else
            break;
    }
    if (row)
        *row = reference.mid(i).toInt();
    return column - 1;
}

QString attribute(const QXmlStreamReader &xml, QLatin1StringView name)
{
    return xml.attributes().value(name).toString();
}

QString xmlError(const QString &part, const QXmlStreamReader &xml)
{
    return QStringLiteral("%1 を読めません（%2 行目: %3）")
        .arg(part)
        .arg(xml.lineNumber())
        .arg(xml.errorString());
}

// The text of a shared or inline string: its runs, without the phonetic
// guide (rPh) that Japanese workbooks store beside the text.
QString stringItem(QXmlStreamReader &xml)
{
    QString text;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("t"))
            text += xml.readElementText();
        else if (xml.name() == QLatin1String("r"))
            text += stringItem(xml);
        else
            xml.skipCurrentElement();
    }
    return text;
}

} // namespace

XlsxReader::XlsxReader() = default;

XlsxReader::~XlsxReader()
{
    if (m_zip)
        m_zip->close();
    delete m_zip;
}

QString XlsxReader::columnName(int column)
{
    QString name;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        name.prepend(QChar('A' + (n - 1) % 26));
    return name;
}

bool XlsxReader::renderNumber(double value, const QString &formatCode, QString *text)
{
    return XlsxFormat::Format(formatCode).number(value, text);
}

QString XlsxReader::renderText(const QString &value, const QString &formatCode)
{
    return XlsxFormat::Format(formatCode).text(value);
}

bool XlsxReader::readPart(const QString &name, QByteArray *data, QString *error)
{
    if (!m_zip->setCurrentFile(name)) {
        if (error)
            *error = QStringLiteral("%1 に %2 がありません。").arg(m_path, name);
        return false;
    }
    QuaZipFile file(m_zip);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1 の %2 を開けません。").arg(m_path, name);
        return false;
    }
    *data = file.readAll();
    file.close();
    if (file.getZipError() != UNZ_OK) {
        if (error)
            *error = QStringLiteral("%1 の %2 が壊れています。").arg(m_path, name);
        return false;
    }
    return true;
}

bool XlsxReader::open(const QString &path, QString *error)
{
    m_path = path;
    if (!QFileInfo(path).isFile()) {
        if (error)
            *error = QStringLiteral("%1 がありません。").arg(path);
        return false;
    }
    m_zip = new QuaZip(path);
    if (!m_zip->open(QuaZip::mdUnzip)) {
        if (error)
            *error = QStringLiteral("%1 は Excel ブック（xlsx）ではありません。").arg(path);
        return false;
    }
    return readWorkbook(error) && readSharedStrings(error) && readStyles(error);
}

bool XlsxReader::readWorkbook(QString *error)
{
    // The package's own relations name the workbook part.
    QString workbook = QStringLiteral("xl/workbook.xml");
    QByteArray data;
    if (readPart(QStringLiteral("_rels/.rels"), &data, nullptr)) {
        QXmlStreamReader xml(data);
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("Relationship")) {
                if (attribute(xml, QLatin1StringView("Type"))
                        .endsWith(QLatin1String("/officeDocument")))
                    workbook = attribute(xml, QLatin1StringView("Target"))
                                   .remove(QRegularExpression(QStringLiteral("^/")));
                xml.skipCurrentElement();
            } else if (xml.name() != QLatin1String("Relationships")) {
                xml.skipCurrentElement();
            }
        }
    }
    const int slash = workbook.lastIndexOf(QLatin1Char('/'));
    const QString folder = workbook.left(slash + 1);
    const QString relsPart =
        folder + QStringLiteral("_rels/") + workbook.mid(slash + 1) + QStringLiteral(".rels");

    QHash<QString, QString> targets;
    if (!readPart(relsPart, &data, error))
        return false;
    {
        QXmlStreamReader xml(data);
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement &&
                xml.name() == QLatin1String("Relationship")) {
                QString target = attribute(xml, QLatin1StringView("Target"));
                target = target.startsWith(QLatin1Char('/')) ? target.mid(1) : folder + target;
                targets.insert(attribute(xml, QLatin1StringView("Id")), target);
            }
        }
        if (xml.hasError()) {
            if (error)
                *error = xmlError(relsPart, xml);
            return false;
        }
    }

    if (!readPart(workbook, &data, error))
        return false;
    QXmlStreamReader xml(data);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement &&
            xml.name() == QLatin1String("sheet")) {
            const QString name = attribute(xml, QLatin1StringView("name"));
            QString id;
            for (const QXmlStreamAttribute &a : xml.attributes())
                if (a.name() == QLatin1String("id"))
                    id = a.value().toString();
            m_sheetNames << name;
            m_sheetParts.insert(name, targets.value(id));
        }
    }
    if (xml.hasError()) {
        if (error)
            *error = xmlError(workbook, xml);
        return false;
    }
    return true;
}

bool XlsxReader::readSharedStrings(QString *error)
{
    QByteArray data;
    if (!readPart(QStringLiteral("xl/sharedStrings.xml"), &data, nullptr))
        return true; // a workbook without any text
    QXmlStreamReader xml(data);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("si"))
            m_sharedStrings << stringItem(xml);
    }
    if (xml.hasError()) {
        if (error)
            *error = xmlError(QStringLiteral("xl/sharedStrings.xml"), xml);
        return false;
    }
    return true;
}

bool XlsxReader::readStyles(QString *error)
{
    QByteArray data;
    if (!readPart(QStringLiteral("xl/styles.xml"), &data, nullptr))
        return true; // every cell is General
    QXmlStreamReader xml(data);
    bool inCellFormats = false;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == QLatin1String("numFmt"))
                m_formatCodes.insert(attribute(xml, QLatin1StringView("numFmtId")).toInt(),
                                     attribute(xml, QLatin1StringView("formatCode")));
            else if (xml.name() == QLatin1String("cellXfs"))
                inCellFormats = true;
            else if (inCellFormats && xml.name() == QLatin1String("xf"))
                m_styleFormats << attribute(xml, QLatin1StringView("numFmtId")).toInt();
        } else if (token == QXmlStreamReader::EndElement &&
                   xml.name() == QLatin1String("cellXfs")) {
            inCellFormats = false;
        }
    }
    if (xml.hasError()) {
        if (error)
            *error = xmlError(QStringLiteral("xl/styles.xml"), xml);
        return false;
    }
    return true;
}

const XlsxFormat::Format &XlsxReader::formatOfStyle(int style) const
{
    if (style < 0 || style >= int(m_styleFormats.size()))
        style = -1;
    const size_t slot = size_t(style + 1);
    if (m_formatCache.size() <= slot)
        m_formatCache.resize(slot + 1);
    if (!m_formatCache[slot]) {
        const int id = style >= 0 ? m_styleFormats[style] : 0;
        const auto custom = m_formatCodes.constFind(id);
        m_formatCache[slot] = std::make_unique<XlsxFormat::Format>(
            custom != m_formatCodes.cend() ? *custom : XlsxFormat::builtInFormat(id));
    }
    return *m_formatCache[slot];
}

bool XlsxReader::readSheet(const QString &sheet, const RowHandler &onRow, QString *error)
{
    if (!m_sheetParts.contains(sheet)) {
        if (error)
            *error = QStringLiteral("%1 にシート「%2」がありません。")
                         .arg(QFileInfo(m_path).fileName(), sheet);
        return false;
    }
    const QString part = m_sheetParts.value(sheet);
    QByteArray data;
    if (!readPart(part, &data, error))
        return false;

    QXmlStreamReader xml(data);
    QStringList cells;
    int rowNumber = 0;
    QString failure;
    auto fail = [&](const QString &message) {
        failure = message;
        xml.raiseError(message);
    };
    while (!xml.atEnd() && !xml.hasError()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == QLatin1String("row")) {
                const QString r = attribute(xml, QLatin1StringView("r"));
                rowNumber = r.isEmpty() ? rowNumber + 1 : r.toInt();
                cells.clear();
            } else if (xml.name() == QLatin1String("c")) {
                const QXmlStreamAttributes attributes = xml.attributes();
                const QStringView reference = attributes.value(QLatin1StringView("r"));
                const int column =
                    reference.isEmpty() ? int(cells.size()) : columnIndex(reference, nullptr);
                const QStringView type = attributes.value(QLatin1StringView("t"));
                const int style = attributes.value(QLatin1StringView("s")).toInt();
                const QString typeText = type.toString();
                const QString referenceText = reference.toString();
                QString raw;
                bool hasValue = false;
                while (xml.readNextStartElement()) {
                    if (xml.name() == QLatin1String("v")) {
                        raw = xml.readElementText();
                        hasValue = true;
                    } else if (xml.name() == QLatin1String("is")) {
                        raw = stringItem(xml);
                        hasValue = true;
                    } else {
                        xml.skipCurrentElement();
                    }
                }
                auto where = [&] {
                    return QStringLiteral("シート「%1」 セル %2%3")
                        .arg(sheet, columnName(column))
                        .arg(rowNumber);
                };
                if (column < 0) {
                    fail(where() +
                         QStringLiteral(": セル番地「%1」を読めません。").arg(referenceText));
                    break;
                }
                QString shown;
                if (!hasValue) {
                    shown.clear();
                } else if (typeText == QLatin1String("s")) {
                    bool ok = false;
                    const int index = raw.toInt(&ok);
                    if (!ok || index < 0 || index >= m_sharedStrings.size()) {
                        fail(where() + QStringLiteral(": 共有文字列 %1 がありません。").arg(raw));
                        break;
                    }
                    shown = formatOfStyle(style).text(m_sharedStrings[index]);
                } else if (typeText == QLatin1String("str") ||
                           typeText == QLatin1String("inlineStr")) {
                    shown = formatOfStyle(style).text(raw);
                } else if (typeText == QLatin1String("b")) {
                    shown = raw == QLatin1String("1") ? QStringLiteral("TRUE")
                                                      : QStringLiteral("FALSE");
                } else if (typeText == QLatin1String("e")) {
                    shown = raw; // an error value such as #N/A, shown as stored
                } else {
                    bool ok = false;
                    const double value = raw.toDouble(&ok);
                    if (!ok) {
                        fail(where() + QStringLiteral(": 数値「%1」を読めません。").arg(raw));
                        break;
                    }
                    const XlsxFormat::Format &format = formatOfStyle(style);
                    if (!format.number(value, &shown)) {
                        fail(where() + QStringLiteral(": 表示形式「%1」には対応していません。")
                                           .arg(format.code));
                        break;
                    }
                }
                while (cells.size() <= column)
                    cells << QString();
                cells[column] = shown;
            }
        } else if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("row")) {
            QString message;
            if (!onRow(rowNumber, cells, &message)) {
                fail(message);
                break;
            }
        }
    }
    if (xml.hasError()) {
        if (error)
            *error = failure.isEmpty() ? xmlError(part, xml) : failure;
        return false;
    }
    return true;
}
