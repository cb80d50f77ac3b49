#include "ReportTool.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

#include "core/logic/AppInfo.h"
#include "core/logic/Database.h"
#include "core/logic/LibrarySchema.h"
#include "core/logic/ServerSettings.h"
#include "core/logic/StoreError.h"
#include "reports/logic/OverdueCsv.h"
#include "reports/logic/OverdueList.h"
#include "reports/ui/ReminderLetters.h"

namespace ReportTool {

namespace {

const char* const kUsage =
    "用法: shelfmark-db upgrade 程序目录 [--server \"host=… dbname=… user=…\"]   (补上新版本需要的数据表)\n"
    "      shelfmark-db overdue 程序目录 [--server \"…\"] [--as-of YYYY-MM-DD] [--csv 文件] [--pdf 文件] [--no-titles]\n";

struct Options {
    QString dir;
    QString server;
    QString asOf;
    QString csv;
    QString pdf;
    bool noTitles = false;
};

// False on anything it does not know.
bool readOptions(const QStringList& args, bool overdue, Options* options)
{
    if (args.size() < 3)
        return false;
    options->dir = args[2];
    for (int i = 3; i < args.size(); ++i) {
        const QString& name = args[i];
        QString* value = name == QLatin1String("--server")            ? &options->server
                         : overdue && name == QLatin1String("--as-of") ? &options->asOf
                         : overdue && name == QLatin1String("--csv")   ? &options->csv
                         : overdue && name == QLatin1String("--pdf")   ? &options->pdf
                                                                       : nullptr;
        if (overdue && name == QLatin1String("--no-titles")) {
            options->noTitles = true;
            continue;
        }
        if (!value || i + 1 >= args.size())
            return false;
        *value = args[++i];
    }
    return true;
}

int overdue(const Options& options, QTextStream& out, QTextStream& err)
{
    const QDate today = options.asOf.isEmpty() ? QDate::currentDate()
                                               : QDate::fromString(options.asOf, Qt::ISODate);
    if (!today.isValid()) {
        err << "--as-of 的日期应写成 YYYY-MM-DD\n";
        return 2;
    }
    const QList<OverdueLoan> loans = OverdueList::read(today);
    QString error;
    if (!options.csv.isEmpty() && !OverdueCsv::write(options.csv, loans, &error)) {
        err << error << '\n';
        return 1;
    }
    if (!options.pdf.isEmpty()
        && !ReminderLetters::writePdf(options.pdf, ReminderLetters::letters(loans), {options.noTitles, today},
                                      &error)) {
        err << error << '\n';
        return 1;
    }
    const OverdueList::Totals totals = OverdueList::totals(loans);
    out << QStringLiteral("超期借阅 %1 条 (读者 %2 人, 图书 %3 册)").arg(loans.size()).arg(totals.readers).arg(totals.books)
        << '\n';
    return 0;
}

}  // namespace

bool openLibrary(const QString& dir, const QString& serverWords, QString* error)
{
    const QString ini = QDir(dir).filePath(QStringLiteral("dat/library.ini"));
    std::optional<ServerSettings> server;
    if (!serverWords.isEmpty())
        server = ServerSettings::fromWords(serverWords, error);
    else if (QFileInfo::exists(ini))
        server = ServerSettings::fromIni(ini, error);
    else
        return Database::open(QDir(dir).filePath(AppInfo::kDatabaseFile), error);
    return server && Database::openServer(*server, error);
}

bool handles(int argc, char** argv)
{
    return argc >= 2 && (qstrcmp(argv[1], "overdue") == 0 || qstrcmp(argv[1], "upgrade") == 0);
}

int run(int argc, char** argv)
{
    // The letters are drawn with the toolkit's fonts, without a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    const bool isOverdue = args[1] == QLatin1String("overdue");
    Options options;
    if (!readOptions(args, isOverdue, &options)) {
        err << kUsage;
        return 2;
    }
    QString error;
    if (!openLibrary(options.dir, options.server, &error)) {
        err << error << '\n';
        return 1;
    }
    try {
        if (!isOverdue) {
            LibrarySchema::upgrade();
            out << "图书馆已是本版本需要的样子。\n";
            Database::close();
            return 0;
        }
        const int code = overdue(options, out, err);
        Database::close();
        return code;
    } catch (const StoreError& e) {
        err << e.message() << '\n';
        Database::close();
        return 1;
    }
}

}  // namespace ReportTool
