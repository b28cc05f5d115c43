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
    // Wrong arguments are told where they were typed; a folder that cannot be
    // made or filled also in a message box, for a start from the menu.
    const DataFolder::Choice choice =
        DataFolder::choose(DataFolder::Situation::current(app.arguments()));
    if (!choice.error.isEmpty()) {
        std::fprintf(stderr, "zento: %s\n", qPrintable(choice.error));
        return 2;
    }
    QString error;
    if (!DataFolder::enter(choice, DataFolder::readyFolder(QCoreApplication::applicationDirPath()),
                           &error)) {
        std::fprintf(stderr, "zento: %s\n", qPrintable(error));
        prompts.message(error, Prompts::Buttons::Ok, Prompts::Icon::Critical, QString());
        return 1;
    }
    Program program(prompts);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &program, &Program::end);
    if (!program.start())
        return 0; // the user chose not to share the store with another program
    return app.exec();
}
