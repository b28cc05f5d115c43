// zento-schemaref FILE: writes the program's own schema, as SQLite keeps it
// once the schema's statements have run, as a C++ source file of rows
// (SchemaReference::Made) for the core to compile in. Run by the build.
#include "core/store/schemareference.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <cstdio>

namespace {

// A C string literal of the text's UTF-8 bytes: anything but plain printable
// ASCII is written as an octal escape.
QByteArray literal(const QString &text)
{
    QByteArray out = "\"";
    for (const char ch : text.toUtf8()) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte == '"' || byte == '\\' || byte == '?')
            out += '\\' + QByteArray(1, ch);
        else if (byte >= 0x20 && byte < 0x7f)
            out += ch;
        else
            out += QByteArray("\\") + QByteArray::number(byte, 8).rightJustified(3, '0');
    }
    return out + '"';
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: zento-schemaref FILE\n");
        return 2;
    }
    const SchemaReference::Reference made = SchemaReference::make();
    if (made.objects.empty()) {
        std::fprintf(stderr, "zento-schemaref: the schema's statements failed in memory\n");
        return 1;
    }
    QByteArray text = "// Made by zento-schemaref from the schema's own statements.\n"
                      "#include \"core/store/schemareference.h\"\n\n"
                      "namespace SchemaReference::Made {\n\n"
                      "namespace {\n\n"
                      "constexpr ObjectRow objectRows[] = {\n";
    for (const SchemaReference::Object &o : made.objects)
        text += "    {" + literal(o.type) + ", " + literal(o.name) + ", " + literal(o.table) +
                ", " + literal(o.sql) + ", " + (o.isVirtual ? "true" : "false") + ", " +
                (o.isShadow ? "true" : "false") + "},\n";
    text += "};\n\nconstexpr ColumnRow columnRows[] = {\n";
    // In the order of their names, so that the same schema gives the same file.
    QStringList tables = made.columns.keys();
    tables.sort();
    for (const QString &table : tables) {
        const SchemaReference::Columns &columns = made.columns[table];
        QStringList names = columns.keys();
        names.sort();
        for (const QString &name : names)
            text += "    {" + literal(table) + ", " + literal(name) + ", " +
                    literal(columns[name]) + "},\n";
    }
    text += "};\n\n} // namespace\n\n"
            "const std::span<const ObjectRow> objects(objectRows);\n"
            "const std::span<const ColumnRow> columns(columnRows);\n\n"
            "} // namespace SchemaReference::Made\n";
    // Written only when it changed, so that the core is not compiled again
    // for nothing.
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (file.open(QIODevice::ReadOnly) && file.readAll() == text)
        return 0;
    file.close();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size()) {
        std::fprintf(stderr, "zento-schemaref: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
