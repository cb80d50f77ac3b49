#include "ImportSection.h"

#include <sqlite3.h>

#include <QDate>
#include <QFile>
#include <QTemporaryDir>

#include "RawStatement.h"
#include "SideBySide.h"
#include "catalogue/logic/Categories.h"
#include "core/logic/Csv.h"
#include "core/logic/Sql.h"
#include "core/logic/TextFile.h"
#include "import/logic/ImportPlan.h"
#include "import/logic/ImportRun.h"

namespace ImportSection {

namespace {

// The numbers of run `run` on `side` ("ours" or "raw") start with this.
QString prefix(const QString& side, int run)
{
    return QStringLiteral("导入测试%1%2-").arg(side).arg(run);
}

// A spreadsheet of kRows books, as a Chinese spreadsheet saves it (GB18030),
// a hundred publishers among them.
QList<QStringList> rowsOf(const QString& numbers, const QString& category)
{
    QList<QStringList> records{{QStringLiteral("书籍编号"), QStringLiteral("书籍名称"), QStringLiteral("类别代码"),
                                QStringLiteral("出版社"), QStringLiteral("作者姓名"), QStringLiteral("书籍价格"),
                                QStringLiteral("书籍页码"), QStringLiteral("登记日期")}};
    for (int i = 0; i < kRows; ++i)
        records << QStringList{numbers + QString::number(i), QStringLiteral("导入的书第%1册").arg(i), category,
                               QStringLiteral("导入测试出版社%1").arg(i % 100), QStringLiteral("作者%1").arg(i % 700),
                               QStringLiteral("%1.50").arg(10 + i % 90), QString::number(100 + i % 400),
                               QStringLiteral("2025/%1/%2").arg(1 + i % 12).arg(1 + i % 28)};
    return records;
}

void exec(sqlite3* raw, const char* sql)
{
    RawStatement statement(raw, sql);
    statement.step();
}

}  // namespace

void run(SideBySide& bench, sqlite3* raw, int runs)
{
    bench.section(QStringLiteral("import"));
    const QList<Categories::Category> categories = Categories::all();
    const QString category = categories.isEmpty() ? QStringLiteral("A") : categories.first().code;
    QTemporaryDir scratch;
    QList<QString> files;
    QList<QList<QStringList>> rawRows;
    for (int i = 0; i < runs; ++i) {
        QByteArray bytes;
        for (const QStringList& record : rowsOf(prefix(QStringLiteral("ours"), i), category))
            bytes += Csv::line(record);
        const QString file = scratch.filePath(QStringLiteral("books%1.csv").arg(i));
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(TextFile::encode(QString::fromUtf8(bytes))) < 0)
            throw std::runtime_error("cannot write the spreadsheet to import");
        files << file;
        rawRows << rowsOf(prefix(QStringLiteral("raw"), i), category).mid(1);
    }
    int imported = 0;
    bench.compare(
        QStringLiteral("import %1 books from CSV (read, check, write, commit)").arg(kRows), runs, {2.0, {}},
        [&](int i) {
            Csv::Table table;
            QString error;
            if (!Csv::read(files[i], &table, &error))
                throw std::runtime_error(error.toStdString());
            ImportPlan plan(ImportKind::Kind::Books, table, QDate::currentDate());
            plan.check();
            imported = ImportRun::run(plan, {}).imported;
        },
        [&](int i) {
            RawStatement exists(raw, "SELECT 1 FROM bookInfo WHERE 书籍编号 = ?1 LIMIT 1");
            RawStatement category(raw, "SELECT 1 FROM bookType WHERE 类别代码 = ?1");
            RawStatement insert(raw, "INSERT INTO bookInfo (书籍编号, 书籍名称, 类别代码, 出版社, 作者姓名, 书籍价格,"
                                     " 书籍页码, 登记日期, 是否借出) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, 0)");
            RawStatement known(raw, "SELECT 1 FROM bookconcernList WHERE 出版社 = ?1");
            RawStatement remember(raw, "INSERT INTO bookconcernList (出版社) VALUES (?1)");
            exec(raw, "BEGIN IMMEDIATE");
            for (const QStringList& row : rawRows[i]) {
                exists.text(1, row[0]);
                const bool taken = exists.step();
                exists.reset();
                category.text(1, row[2]);
                category.step();
                category.reset();
                if (taken)
                    continue;
                for (int c = 0; c < 8; ++c)
                    insert.text(c + 1, c == 7 ? QDate::fromString(row[7], QStringLiteral("yyyy/M/d"))
                                                    .toString(Qt::ISODate)
                                              : row[c]);
                insert.step();
                insert.reset();
                known.text(1, row[3]);
                const bool isKnown = known.step();
                known.reset();
                if (!isKnown) {
                    remember.text(1, row[3]);
                    remember.step();
                    remember.reset();
                }
            }
            exec(raw, "COMMIT");
        });
    bench.note(QStringLiteral("  %1 books imported per run; the rows added are removed again").arg(imported));
    Sql::execute(QStringLiteral("DELETE FROM bookInfo WHERE 书籍编号 LIKE '导入测试%'"), QStringLiteral("bench"));
    Sql::execute(QStringLiteral("DELETE FROM bookconcernList WHERE 出版社 LIKE '导入测试出版社%'"),
                 QStringLiteral("bench"));
}

}  // namespace ImportSection
