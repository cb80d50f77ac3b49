#include <sqlite3.h>

#include <QCoreApplication>
#include <QTextStream>

#include "BackupTool.h"
#include "DbTool.h"
#include "ExportTool.h"
#include "ImportTool.h"
#include "ReportTool.h"
#include "ServerTool.h"

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

// Takes "--server WORDS" out of the options; nullopt when absent, and *bad
// (with *error) when the words cannot be read.
std::optional<ServerSettings> takeServer(QStringList* options, bool* bad, QString* error)
{
    const qsizetype at = options->indexOf(QStringLiteral("--server"));
    if (at < 0)
        return std::nullopt;
    if (at + 1 >= options->size()) {
        *bad = true;
        return std::nullopt;
    }
    std::optional<ServerSettings> server = ServerSettings::fromWords(options->at(at + 1), error);
    *bad = !server;
    options->remove(at, 2);
    return server;
}

}  // namespace

// shelfmark-db create DIR [--server WORDS] | shelfmark-db demo DIR [--server WORDS] [--books N] [--readers N]
// [--loans N] | shelfmark-db reindex DIR | shelfmark-db copy DIR --server WORDS | shelfmark-db copy DIR --to-file
int main(int argc, char** argv)
{
    // The engine counts every allocation under one lock that all connections
    // share; nothing here reads those counts, and with the large library's
    // threads writing at once the lock cost seconds. Set before any connection.
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    if (ReportTool::handles(argc, argv))
        return ReportTool::run(argc, argv);
    if (ImportTool::handles(argc, argv))
        return ImportTool::run(argc, argv);
    if (BackupTool::handles(argc, argv))
        return BackupTool::run(argc, argv);
    if (ExportTool::handles(argc, argv))
        return ExportTool::run(argc, argv);
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    QTextStream out(stdout);
    LargeLibrary::Size size;
    QStringList options = args.mid(3);
    bool badServer = false;
    QString serverError;
    const std::optional<ServerSettings> server = takeServer(&options, &badServer, &serverError);
    if (badServer) {
        err << (serverError.isEmpty() ? QStringLiteral("--server 之后应写明服务器, 例如 \"host=db1 dbname=library user=desk\"")
                                      : serverError)
            << '\n';
        return 2;
    }
    if (args.size() >= 3 && args[1] == QLatin1String("copy")) {
        QString message;
        const bool toFile = options == QStringList{QStringLiteral("--to-file")};
        if (!toFile && !(server && options.isEmpty())) {
            err << "用法: shelfmark-db copy 程序目录 --server \"host=… dbname=… user=…\"   (把文件图书馆复制到服务器)\n"
                   "      shelfmark-db copy 程序目录 --to-file   (把服务器上的图书馆复制回文件)\n";
            return 2;
        }
        const int code = toFile ? ServerTool::copyToFile(args[2], &message)
                                : ServerTool::copyToServer(args[2], *server, &message);
        (code == 0 ? out : err) << message << '\n';
        return code;
    }
    if (server && args.size() >= 3 && (args[1] == QLatin1String("create") || args[1] == QLatin1String("demo"))) {
        const bool sized = !options.isEmpty();
        if (args[1] == QLatin1String("create") ? sized : !readSize(options, &size)) {
            err << "用法: shelfmark-db create 程序目录 --server \"host=… dbname=… user=…\"\n"
                   "      shelfmark-db demo 程序目录 --server \"…\" [--books 图书册数] [--readers 读者人数] [--loans 借阅记录数]\n";
            return 2;
        }
        QString message;
        const int code = args[1] == QLatin1String("create") ? ServerTool::create(args[2], *server, &message)
                         : sized                            ? ServerTool::demo(args[2], *server, size, &message)
                                                            : ServerTool::demo(args[2], *server, &message);
        (code == 0 ? out : err) << message << '\n';
        return code;
    }
    const bool create = args.size() == 3 && args[1] == QLatin1String("create");
    const bool reindex = args.size() == 3 && args[1] == QLatin1String("reindex");
    const bool demo = args.size() >= 3 && args[1] == QLatin1String("demo") && readSize(args.mid(3), &size);
    if (!create && !demo && !reindex) {
        err << "用法: shelfmark-db create 程序目录\n"
               "      shelfmark-db demo 程序目录 [--books 图书册数] [--readers 读者人数] [--loans 借阅记录数]\n"
               "      (给出任一数目时生成该规模的图书馆, 未给出的数目为 1000000 册、100000 人、5000000 条)\n"
               "      shelfmark-db reindex 程序目录   (重建书籍检索索引, 例如在 VACUUM 之后)\n"
               "      shelfmark-db create|demo 程序目录 --server \"host=… port=… dbname=… user=… sslmode=…\"\n"
               "      (图书馆放在 PostgreSQL 服务器上, 并写入 程序目录/dat/library.ini)\n"
               "      shelfmark-db copy 程序目录 --server \"…\" | --to-file   (文件与服务器之间复制图书馆)\n"
               "      shelfmark-db import 程序目录 [--server \"…\"] --books|--readers 文件.csv [--skipped 文件.csv] [--dry-run]\n"
               "      shelfmark-db backup 程序目录 [--to 文件夹 | 文件]   (备份图书馆, 或另存到文件夹或新文件)\n"
               "      shelfmark-db restore 程序目录 备份文件   (先备份当前的图书馆, 再用备份文件替换它)\n"
               "      shelfmark-db check 程序目录 [--server \"…\"]   (检查图书馆; 不带参数运行 check 可看退出码)\n"
               "      shelfmark-db export 程序目录 [--server \"…\"] (--table 表名 | --query book|loan [条件])\n"
               "                  (--csv 文件 [--gb18030] | --xlsx 文件)   (不带参数运行 export 可看条件)\n";
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
