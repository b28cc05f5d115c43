// zento-benchstores: builds the cached stores of the benchmarks that are not
// there yet (the table-sized one, the heavy one and the ten times heavier
// one) and prints where they are.
#include "bench/support/benchsupport.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    for (BenchStore kind : {BenchStore::TableSized, BenchStore::Heavy, BenchStore::Heavy10})
        std::printf("%s store: %s\n", benchStoreName(kind), qPrintable(benchStorePath(kind)));
    return 0;
}
