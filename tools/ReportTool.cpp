#include "ReportTool.h"

#include "LibraryRun.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

#include "core/logic/LibrarySchema.h"
#include "export/logic/ExportError.h"
#include "reports/logic/OverdueCsv.h"
#include "reports/logic/OverdueList.h"
#include "reports/ui/ReminderLetters.h"
#include "statistics/logic/StatisticsTables.h"
#include "statistics/logic/YearStatistics.h"

namespace ReportTool {

namespace {

const char* const kUsage =
    "用法: shelfmark-db upgrade 程序目录 [--server \"host=… dbname=… user=…\"]   (补上新版本需要的数据表)\n"
    "      shelfmark-db overdue 程序目录 [--server \"…\"] [--as-of YYYY-MM-DD] [--csv 文件] [--pdf 文件] [--no-titles]\n"
    "      shelfmark-db stats 程序目录 [--server \"…\"] --year YYYY [--csv 文件夹]   (一年的借阅统计)\n";

enum class Command { Upgrade, Overdue, Stats };

struct Options {
    QString dir;
    QString server;
    QString asOf;
    QString csv;
    QString pdf;
    QString year;
    bool noTitles = false;
};

// False on anything it does not know.
bool readOptions(const QStringList& args, Command command, Options* options)
{
    if (args.size() < 3)
        return false;
    options->dir = args[2];
    const bool overdue = command == Command::Overdue;
    const bool stats = command == Command::Stats;
    for (int i = 3; i < args.size(); ++i) {
        const QString& name = args[i];
        QString* value = name == QLatin1String("--server")                       ? &options->server
                         : overdue && name == QLatin1String("--as-of")            ? &options->asOf
                         : (overdue || stats) && name == QLatin1String("--csv")   ? &options->csv
                         : overdue && name == QLatin1String("--pdf")              ? &options->pdf
                         : stats && name == QLatin1String("--year")               ? &options->year
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

// The year's statistics, as text or one CSV file per table.
int stats(const Options& options, QTextStream& out, QTextStream& err)
{
    bool isYear = false;
    const int year = options.year.toInt(&isYear);
    if (!isYear || options.year.size() != 4 || year < 1000) {
        err << "--year 应写成四位数的年份, 例如 --year 2025\n";
        return 2;
    }
    const QList<StatisticsTable> tables = StatisticsTables::all(YearStatisticsReader::read(year));
    if (options.csv.isEmpty()) {
        out << QStringLiteral("%1 年借阅统计\n\n").arg(year) << StatisticsTables::asText(tables);
        return 0;
    }
    try {
        StatisticsTables::writeCsv(options.csv, tables, year);
    } catch (const ExportError& error) {
        err << error.message() << '\n';
        return 1;
    }
    out << QStringLiteral("%1 年借阅统计已写入 %2 (%3 个表格)\n")
               .arg(year)
               .arg(QDir::toNativeSeparators(options.csv))
               .arg(tables.size());
    return 0;
}

Command commandOf(const QString& name)
{
    return name == QLatin1String("overdue") ? Command::Overdue
           : name == QLatin1String("stats") ? Command::Stats
                                            : Command::Upgrade;
}

}  // namespace

bool handles(int argc, char** argv)
{
    return argc >= 2
           && (qstrcmp(argv[1], "overdue") == 0 || qstrcmp(argv[1], "upgrade") == 0 || qstrcmp(argv[1], "stats") == 0);
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
    const Command command = commandOf(args[1]);
    Options options;
    if (!readOptions(args, command, &options) || (command == Command::Stats && options.year.isEmpty())) {
        err << kUsage;
        return 2;
    }
    return LibraryRun::run(options.dir, options.server, err, [&] {
        if (command == Command::Upgrade) {
            LibrarySchema::upgrade();
            out << "图书馆已是本版本需要的样子。\n";
            return 0;
        }
        return command == Command::Overdue ? overdue(options, out, err) : stats(options, out, err);
    });
}

}  // namespace ReportTool
