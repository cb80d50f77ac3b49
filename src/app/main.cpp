#include <QApplication>

#include "app/Startup.h"
#include "core/logic/Clock.h"
#include "core/logic/Database.h"
#include "core/logic/ProgramFolders.h"
#include "core/ui/MessageBoxPrompter.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Startup::setUpApplication(app);

    MessageBoxPrompter prompter;
    SystemClock clock;
    Startup startup(prompter, clock, ProgramFolders::current());
    QObject::connect(&startup, &Startup::finished, &app, &QCoreApplication::exit);
    startup.start();
    const int code = app.exec();
    Database::close();
    return code;
}
