#include <QCoreApplication>
#include <QTextStream>

#include "DbTool.h"

// shelfmark-db create DIR | shelfmark-db demo DIR
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    QTextStream out(stdout);
    if (args.size() != 3 || (args[1] != QLatin1String("create") && args[1] != QLatin1String("demo"))) {
        err << "用法: shelfmark-db create 程序目录\n"
               "      shelfmark-db demo 程序目录\n";
        return 2;
    }
    QString message;
    const int code = args[1] == QLatin1String("create") ? DbTool::create(args[2], &message)
                                                        : DbTool::demo(args[2], &message);
    (code == 0 ? out : err) << message << '\n';
    return code;
}
