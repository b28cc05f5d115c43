#pragma once

#include "app/fmain.h"
#include "app/program.h"
#include "foods/seibn.h"
#include "tests/support/testsupport.h"

#include <QtTest>
#include <memory>

// A store made from the given rows, the program started on it, and the main
// window and the food editor at hand; made afresh for every test function.
class FoodSession
{
protected:
    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<StartedProgram> run;
    Fmain *fmain = nullptr;
    Seibn *editor = nullptr;

    void startOn(const QString &sql)
    {
        folder = std::make_unique<TestFolder>();
        QVERIFY(folder->makeStore(sql));
        run = std::make_unique<StartedProgram>();
        run->start();
        fmain = run->program->fmain();
        editor = run->program->seibn();
        QVERIFY(fmain && editor);
        run->prompts.clear();
    }

    void stop()
    {
        run.reset();
        folder.reset();
    }
};
