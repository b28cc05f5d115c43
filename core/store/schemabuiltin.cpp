// The program's own schema as the build read it back from SQLite
// (zento-schemaref), so that checking a store needs no schema made in memory.
#include "core/store/schemareference.h"

namespace SchemaReference {

const Reference &builtIn()
{
    static const Reference reference = [] {
        Reference made;
        for (const Made::ObjectRow &o : Made::objects)
            made.objects.push_back({QString::fromUtf8(o.type), QString::fromUtf8(o.name),
                                    QString::fromUtf8(o.table), QString::fromUtf8(o.sql),
                                    o.isVirtual, o.isShadow});
        for (const Made::ColumnRow &c : Made::columns)
            made.columns[QString::fromUtf8(c.table)].insert(QString::fromUtf8(c.name),
                                                            QString::fromUtf8(c.info));
        return made;
    }();
    return reference;
}

} // namespace SchemaReference
