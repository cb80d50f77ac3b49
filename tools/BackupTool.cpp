#include "BackupTool.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include "backup/logic/Backups.h"

namespace BackupTool {

namespace {

const char* const kUsage =
    "用法: shelfmark-db backup 程序目录 [--to 文件夹]   (备份图书馆到 程序目录/backup, 或另存到文件夹)\n"
    "      shelfmark-db restore 程序目录 备份文件      (先备份当前的图书馆, 再用备份文件替换它)\n";

QDateTime now()
{
    return QDateTime::currentDateTime();
}

int backup(const QString& dir, const QString& folder, QTextStream& out, QTextStream& err)
{
    const Backups::Outcome outcome =
        folder.isEmpty() ? Backups::takeSnapshot(dir, now()) : Backups::saveElsewhere(dir, folder, now());
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

}  // namespace

bool handles(int argc, char** argv)
{
    return argc >= 2 && (qstrcmp(argv[1], "backup") == 0 || qstrcmp(argv[1], "restore") == 0);
}

int run(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    const bool isBackup = args[1] == QLatin1String("backup");
    const bool usable = isBackup ? args.size() == 3 || (args.size() == 5 && args[3] == QLatin1String("--to"))
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
    return isBackup ? backup(dir, args.value(4), out, err) : restore(dir, args[3], out, err);
}

}  // namespace BackupTool
