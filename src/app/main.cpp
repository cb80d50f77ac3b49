#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "core/logic/AppInfo.h"
#include "core/logic/Clock.h"
#include "core/logic/Database.h"
#include "core/ui/MessageBoxPrompter.h"
#include "app/Startup.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setApplicationName(AppInfo::kAppTitle);
    // Calendars and the toolkit's own texts in Chinese, whatever the machine's locale.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTranslator);

    MessageBoxPrompter prompter;
    SystemClock clock;
    Startup startup(prompter, clock, AppInfo::programDir());
    QObject::connect(&startup, &Startup::finished, &app, &QCoreApplication::exit);
    startup.start();
    const int code = app.exec();
    Database::close();
    return code;
}
