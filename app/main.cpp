#include "app/appsetup.h"
#include "app/program.h"
#include "app/prompts.h"
#include "core/app/datafolder.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpApplication(app);
    app.setDesktopFileName(QStringLiteral(ZENTO_APP_ID)); // the menu entry and icon it belongs to
    DialogPrompts prompts;
    // The three files are opened by relative name: move into the folder that
    // holds them (and fill it on the first start) before anything opens one.
    QString error;
    if (!DataFolder::enter(DataFolder::Situation::current(app.arguments()),
                           DataFolder::readyFolder(QCoreApplication::applicationDirPath()),
                           &error)) {
        std::fprintf(stderr, "zento: %s\n", qPrintable(error));
        prompts.message(error, Prompts::Buttons::Ok, Prompts::Icon::Critical, QString());
        return 1;
    }
    Program program(prompts);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &program, &Program::end);
    program.start();
    return app.exec();
}
