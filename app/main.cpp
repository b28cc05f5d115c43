#include "app/appsetup.h"
#include "app/program.h"
#include "app/prompts.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpApplication(app);
    DialogPrompts prompts;
    Program program(prompts);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &program, &Program::end);
    program.start();
    return app.exec();
}
