#include "ExportTool.h"

#include <QCoreApplication>
#include <QHash>
#include <QTextStream>

#include "LibraryRun.h"
#include "export/logic/ExportError.h"
#include "export/logic/StatementRows.h"
#include "export/logic/TableExport.h"
#include "export/logic/TableStatement.h"
#include "queries/logic/QueryBuilder.h"

namespace ExportTool {

namespace {

const char* const kUsage =
    "用法: shelfmark-db export 程序目录 [--server \"host=… dbname=… user=…\"]\n"
    "      (--table 表名 | --query book [图书条件] | --query loan [借阅条件]) (--csv 文件 [--gb18030] | --xlsx 文件)\n"
    "  表名: bookType bookInfo lentInfo readerInfo basicSet bookconcernList overdueReminders\n"
    "  图书条件: --number 书籍编号 --title 书籍名称 --category 类别代码 --publisher 出版社 --registered YYYY-MM-DD\n"
    "  借阅条件: --reader 读者编号 --name 读者姓名 --book 书籍编号 --title 书籍名称\n"
    "  --fuzzy: 模糊查询 (包含即可), 不写则须完全相同; CSV 默认 UTF-8 (带 BOM), --gb18030 改用 GB18030\n";

struct Options {
    QString dir;
    QString server;
    QString table;
    QString query;  // "book" or "loan"
    QHash<QString, QString> criteria;
    bool fuzzy = false;
    ExportTarget target;
    bool targetGiven = false;
};

// False on anything it does not know, or a command that names not exactly
// one table or query and one file.
bool readOptions(const QStringList& args, Options* options)
{
    static const QStringList bookCriteria = {"--number", "--title", "--category", "--publisher", "--registered"};
    static const QStringList loanCriteria = {"--reader", "--name", "--book", "--title"};
    if (args.size() < 3)
        return false;
    options->dir = args[2];
    bool gb18030 = false;
    for (int i = 3; i < args.size(); ++i) {
        const QString& name = args[i];
        if (name == QLatin1String("--fuzzy") || name == QLatin1String("--gb18030")) {
            (name == QLatin1String("--fuzzy") ? options->fuzzy : gb18030) = true;
            continue;
        }
        if (i + 1 >= args.size())
            return false;
        const QString value = args[++i];
        if (name == QLatin1String("--server")) {
            options->server = value;
        } else if (name == QLatin1String("--table") || name == QLatin1String("--query")) {
            if (!options->table.isEmpty() || !options->query.isEmpty())
                return false;
            (name == QLatin1String("--table") ? options->table : options->query) = value;
        } else if (name == QLatin1String("--csv") || name == QLatin1String("--xlsx")) {
            if (options->targetGiven)
                return false;
            options->targetGiven = true;
            options->target.path = value;
            options->target.format = name == QLatin1String("--csv") ? ExportFormat::Csv : ExportFormat::Xlsx;
        } else if (bookCriteria.contains(name) || loanCriteria.contains(name)) {
            options->criteria.insert(name, value);
        } else {
            return false;
        }
    }
    const QStringList& allowed = options->query == QLatin1String("book") ? bookCriteria : loanCriteria;
    for (auto it = options->criteria.cbegin(); it != options->criteria.cend(); ++it)
        if (!options->table.isEmpty() || !allowed.contains(it.key()))
            return false;
    if (gb18030 && options->target.format != ExportFormat::Csv)
        return false;
    options->target.encoding = gb18030 ? CsvEncoding::Gb18030 : CsvEncoding::Utf8WithBom;
    const bool queryKnown = options->query == QLatin1String("book") || options->query == QLatin1String("loan");
    return options->targetGiven && (!options->table.isEmpty() || queryKnown);
}

// The statement the options name; nullopt, with *error, when they name none.
std::optional<KeyedStatement> statementOf(const Options& options, QString* error)
{
    const QHash<QString, QString>& c = options.criteria;
    if (!options.table.isEmpty()) {
        std::optional<KeyedStatement> statement = TableStatement::of(options.table);
        if (!statement)
            *error = QStringLiteral("没有数据表 %1; 可导出的表: %2")
                         .arg(options.table, TableStatement::tables().join(QLatin1Char(' ')));
        return statement;
    }
    if (options.query == QLatin1String("loan"))
        return BuildLendQuery({c.value("--book"), c.value("--title"), c.value("--reader"), c.value("--name")},
                              options.fuzzy);
    BookCriteria criteria{c.value("--number"), c.value("--title"), c.value("--category"), c.value("--publisher"),
                          std::nullopt};
    if (c.contains("--registered")) {
        const QDate day = QDate::fromString(c.value("--registered"), Qt::ISODate);
        if (!day.isValid()) {
            *error = QStringLiteral("--registered 的日期应写成 YYYY-MM-DD");
            return std::nullopt;
        }
        criteria.registered = day;
    }
    return BuildBookQuery(criteria, options.fuzzy);
}

int exportRows(Options options, QTextStream& out, QTextStream& err)
{
    QString error;
    const std::optional<KeyedStatement> statement = statementOf(options, &error);
    if (!statement) {
        err << error << '\n';
        return 2;
    }
    options.target.sheetName = !options.table.isEmpty()                 ? options.table
                               : options.query == QLatin1String("book") ? QStringLiteral("书库查询")
                                                                        : QStringLiteral("借阅查询");
    // A query comes out with its window's columns, a table whole.
    const QStringList shown = options.table.isEmpty()
                                  ? (options.query == QLatin1String("book") ? BookQueryColumns() : LendQueryColumns())
                                  : QStringList();
    StatementRows rows(*statement, shown, QStringLiteral("导出"));
    qint64 written = 0;
    TableExport::write(rows, options.target, [&](qint64 done) { written = done; });
    out << QStringLiteral("已导出 %1 行到 %2").arg(written).arg(options.target.path) << '\n';
    return 0;
}

}  // namespace

bool handles(int argc, char** argv)
{
    return argc >= 2 && qstrcmp(argv[1], "export") == 0;
}

int run(int argc, char** argv)
{
    return LibraryRun::command<Options>(argc, argv, kUsage, readOptions,
                                        [](const Options& options, QTextStream& out, QTextStream& err) {
                                            try {
                                                return exportRows(options, out, err);
                                            } catch (const ExportError& e) {
                                                err << e.message() << '\n';
                                                return 1;
                                            }
                                        });
}

}  // namespace ExportTool
