#include "BackupTool.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include "LibraryRun.h"
#include "backup/logic/Backups.h"
#include "backup/logic/LibraryCheck.h"
#include "core/logic/AppInfo.h"
#include "core/logic/Database.h"

namespace BackupTool {

namespace {

const char* const kUsage =
    "用法: shelfmark-db backup 程序目录 [--to 文件夹 | 文件]   (备份图书馆到 程序目录/backup, 或另存到文件夹或新文件)\n"
    "      shelfmark-db restore 程序目录 备份文件      (先备份当前的图书馆, 再用备份文件替换它)\n"
    "      shelfmark-db check 程序目录 [--server \"host=… dbname=… user=…\"]   (检查图书馆)\n"
    "      check 的退出码: 0 通过; 1 无法打开; 2 用法有误; 其余为下列各项之和:\n"
    "      4 完整性, 8 检索索引与图书不符, 16 标为借出却没有恰好一条未还记录, 32 未还记录的书没有标为借出\n";

QDateTime now()
{
    return QDateTime::currentDateTime();
}

// Into DIR/backup with neither `folder` nor `file`.
int backup(const QString& dir, const QString& folder, const QString& file, QTextStream& out, QTextStream& err)
{
    const Backups::Outcome outcome = !folder.isEmpty() ? Backups::saveElsewhere(dir, folder, now())
                                     : !file.isEmpty() ? Backups::saveAs(dir, file, now())
                                                       : Backups::takeSnapshot(dir, now());
    if (!outcome.ok()) {
        err << outcome.error << '\n';
        return 1;
    }
    out << "已备份到 " << QDir::toNativeSeparators(outcome.path) << '\n' << Backups::describe(outcome.counts) << '\n';
    return 0;
}

int restore(const QString& dir, const QString& file, QTextStream& out, QTextStream& err)
{
    const Backups::Candidate candidate = Backups::prepareRestore(dir, file);
    if (!candidate.ok()) {
        err << candidate.error << '\n';
        return 1;
    }
    out << "当前的图书馆: " << Backups::describe(candidate.current) << '\n'
        << "用来恢复的备份: " << Backups::describe(candidate.counts) << '\n';
    const Backups::Outcome outcome = Backups::restore(dir, candidate, now());
    if (!outcome.ok()) {
        err << outcome.error << '\n';
        return 1;
    }
    out << "已恢复。恢复前的图书馆已备份到 " << QDir::toNativeSeparators(outcome.path) << '\n';
    return 0;
}

int check(const QString& dir, const QString& serverWords, QTextStream& out, QTextStream& err)
{
    return LibraryRun::run(dir, serverWords, err, [&] {
        const QString file = Database::server() ? QString() : QDir(dir).filePath(AppInfo::kDatabaseFile);
        const QList<LibraryCheck::Finding> findings = LibraryCheck::run(file);
        for (const LibraryCheck::Finding& finding : findings)
            out << finding.text << '\n';
        if (findings.isEmpty())
            out << "图书馆检查通过。\n";
        return LibraryCheck::status(findings);
    });
}

}  // namespace

bool handles(int argc, char** argv)
{
    return argc >= 2 && (qstrcmp(argv[1], "backup") == 0 || qstrcmp(argv[1], "restore") == 0 || qstrcmp(argv[1], "check") == 0);
}

int run(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args[1] == QLatin1String("check")) {
        const bool withServer = args.size() == 5 && args[3] == QLatin1String("--server");
        if (args.size() != 3 && !withServer) {
            err << kUsage;
            return 2;
        }
        return check(args[2], withServer ? args[4] : QString(), out, err);
    }
    const bool isBackup = args[1] == QLatin1String("backup");
    const bool toFolder = args.size() == 5 && args[3] == QLatin1String("--to");
    const bool toFile = args.size() == 4 && !args[3].startsWith(QLatin1String("--"));
    const bool usable = isBackup ? args.size() == 3 || toFolder || toFile
                                 : args.size() == 4;
    if (!usable) {
        err << kUsage;
        return 2;
    }
    const QString dir = args[2];
    const QString server = Backups::serverNotice(dir);
    if (!server.isEmpty()) {
        err << server << '\n';
        return 1;
    }
    return isBackup ? backup(dir, toFolder ? args[4] : QString(), toFile ? args[3] : QString(), out, err) : restore(dir, args[3], out, err);
}

}  // namespace BackupTool
