#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "app/prompts.h"

class Program;

// Which store a benchmark works on.
enum class BenchStore {
    TableSized, // the reference data (or the demonstration set) and a few dishes
    Heavy,      // 25,000 foods, 10,000 dishes, 200,000 lines
};

// Path of a cached store of that kind, built on first use in the build tree.
QString benchStorePath(BenchStore kind);

// A temporary working folder, made the working directory, with a fresh copy
// of the chosen store as zento.dll.
class BenchFolder
{
public:
    explicit BenchFolder(BenchStore kind);
    ~BenchFolder();
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// Answers every prompt with OK (or the input text set here) without showing it.
class SilentPrompts : public Prompts
{
public:
    QString inputText = QStringLiteral("ベンチマーク料理");
    Answer message(const QString &, Buttons, Icon, const QString &) override { return Answer::Ok; }
    std::optional<QString> input(const QString &, const QString &, const QString &) override
    {
        return inputText;
    }
};

// Creates the QApplication (offscreen unless a platform is set) and sets it up
// as main() does. Call first in main().
void initBenchApplication(int &argc, char **argv);

// A started program on the current folder's store.
struct BenchProgram
{
    SilentPrompts prompts;
    std::unique_ptr<Program> program;
    BenchProgram();
    ~BenchProgram();
};

#define ZENTO_BENCHMARK_MAIN()                                                                     \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        initBenchApplication(argc, argv);                                                          \
        benchmark::Initialize(&argc, argv);                                                        \
        benchmark::RunSpecifiedBenchmarks();                                                       \
        benchmark::Shutdown();                                                                     \
        return 0;                                                                                  \
    }
