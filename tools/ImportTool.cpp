#include "ImportTool.h"

#include <QCoreApplication>
#include <QTextStream>

#include "LibraryRun.h"
#include "core/logic/Clock.h"
#include "core/logic/Csv.h"
#include "import/logic/ImportPlan.h"
#include "import/logic/ImportRun.h"

namespace ImportTool {

namespace {

const char* const kUsage =
    "用法: shelfmark-db import 程序目录 [--server \"host=… dbname=… user=…\"] --books|--readers 文件.csv\n"
    "      [--skipped 文件.csv] [--dry-run]\n"
    "      (按列标题导入图书或读者; 有问题的行跳过, --skipped 把它们连同问题存成 CSV, --dry-run 只检查不写入)\n";

struct Options {
    QString dir;
    QString server;
    QString file;
    QString skipped;
    ImportKind::Kind kind = ImportKind::Kind::Books;
    bool kindGiven = false;
    bool dryRun = false;
};

// False on anything it does not know.
bool readOptions(const QStringList& args, Options* options)
{
    if (args.size() < 3)
        return false;
    options->dir = args[2];
    for (int i = 3; i < args.size(); ++i) {
        const QString& name = args[i];
        if (name == QLatin1String("--dry-run")) {
            options->dryRun = true;
            continue;
        }
        const bool books = name == QLatin1String("--books");
        QString* value = books || name == QLatin1String("--readers") ? &options->file
                         : name == QLatin1String("--server")         ? &options->server
                         : name == QLatin1String("--skipped")        ? &options->skipped
                                                                     : nullptr;
        if (!value || i + 1 >= args.size())
            return false;
        if (value == &options->file) {
            if (options->kindGiven)
                return false;
            options->kindGiven = true;
            options->kind = books ? ImportKind::Kind::Books : ImportKind::Kind::Readers;
        }
        *value = args[++i];
    }
    return options->kindGiven;
}

void report(const ImportPlan& plan, QTextStream& out)
{
    out << QStringLiteral("文件编码: %1, 数据 %2 行").arg(Csv::encodingName(plan.encoding())).arg(plan.rows().size())
        << '\n';
    QStringList unused;
    for (int i = 0; i < plan.headings().size(); ++i)
        if (plan.mapping()[i].isEmpty())
            unused << plan.headings()[i];
    if (!unused.isEmpty())
        out << QStringLiteral("未导入的列: ") << unused.join(QStringLiteral("、")) << '\n';
    for (const ImportRow& row : plan.rows())
        if (!row.good())
            out << QStringLiteral("第 %1 行 %2: %3").arg(row.line).arg(ImportPlan::verdict(row),
                                                          row.problems.join(QStringLiteral("; ")))
                << '\n';
}

int import(const Options& options, QTextStream& out, QTextStream& err)
{
    Csv::Table table;
    QString error;
    if (!Csv::read(options.file, &table, &error)) {
        err << error << '\n';
        return 1;
    }
    ImportPlan plan(options.kind, table, SystemClock().today());
    plan.check();
    ImportRun::Result result;
    if (!options.dryRun)
        result = ImportRun::run(plan, {});
    report(plan, out);
    const int skipped = int(plan.rows().size()) - plan.goodCount();
    if (skipped > 0 && !options.skipped.isEmpty() && !Csv::write(options.skipped, plan.skippedRecords(), &error)) {
        err << error << '\n';
        return 1;
    }
    out << (options.dryRun ? QStringLiteral("可导入%1 %2 行, 跳过 %3 行 (试运行, 未写入)")
                                 .arg(ImportKind::noun(options.kind))
                                 .arg(plan.goodCount())
                                 .arg(skipped)
                           : QStringLiteral("已导入%1 %2 行, 跳过 %3 行")
                                 .arg(ImportKind::noun(options.kind))
                                 .arg(result.imported)
                                 .arg(skipped))
        << '\n';
    return 0;
}

}  // namespace

bool handles(int argc, char** argv)
{
    return argc >= 2 && qstrcmp(argv[1], "import") == 0;
}

int run(int argc, char** argv)
{
    return LibraryRun::command<Options>(argc, argv, kUsage, readOptions, import);
}

}  // namespace ImportTool
