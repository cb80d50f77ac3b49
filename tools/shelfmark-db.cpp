#include <sqlite3.h>

#include <QCoreApplication>
#include <QTextStream>

#include "DbTool.h"

namespace {

// Reads "--books N --readers N --loans N" (each optional, in any order) after
// DIR; a missing one keeps the size of the large library. False on anything else.
bool readSize(const QStringList& options, LargeLibrary::Size* size)
{
    for (int i = 0; i < options.size(); i += 2) {
        qint64* target = options[i] == QLatin1String("--books")     ? &size->books
                         : options[i] == QLatin1String("--readers") ? &size->readers
                         : options[i] == QLatin1String("--loans")   ? &size->loans
                                                                    : nullptr;
        bool ok = false;
        const qint64 value = i + 1 < options.size() ? options[i + 1].toLongLong(&ok) : 0;
        if (!target || !ok)
            return false;
        *target = value;
    }
    return true;
}

}  // namespace

// shelfmark-db create DIR | shelfmark-db demo DIR [--books N] [--readers N] [--loans N]
// | shelfmark-db reindex DIR
int main(int argc, char** argv)
{
    // The engine counts every allocation under one lock that all connections
    // share; nothing here reads those counts, and with the large library's
    // threads writing at once the lock cost seconds. Set before any connection.
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    QTextStream out(stdout);
    LargeLibrary::Size size;
    const bool create = args.size() == 3 && args[1] == QLatin1String("create");
    const bool reindex = args.size() == 3 && args[1] == QLatin1String("reindex");
    const bool demo = args.size() >= 3 && args[1] == QLatin1String("demo") && readSize(args.mid(3), &size);
    if (!create && !demo && !reindex) {
        err << "用法: shelfmark-db create 程序目录\n"
               "      shelfmark-db demo 程序目录 [--books 图书册数] [--readers 读者人数] [--loans 借阅记录数]\n"
               "      (给出任一数目时生成该规模的图书馆, 未给出的数目为 1000000 册、100000 人、5000000 条)\n"
               "      shelfmark-db reindex 程序目录   (重建书籍检索索引, 例如在 VACUUM 之后)\n";
        return 2;
    }
    QString message;
    const int code = create             ? DbTool::create(args[2], &message)
                     : reindex          ? DbTool::reindex(args[2], &message)
                     : args.size() == 3 ? DbTool::demo(args[2], &message)
                                        : DbTool::demo(args[2], size, &message);
    (code == 0 ? out : err) << message << '\n';
    return code;
}
