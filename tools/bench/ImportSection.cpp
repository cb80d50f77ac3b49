#include "ImportSection.h"

#include <sqlite3.h>

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "RawStatement.h"
#include "SideBySide.h"
#include "catalogue/logic/Books.h"
#include "catalogue/logic/Categories.h"
#include "core/logic/Csv.h"
#include "core/logic/Database.h"
#include "core/logic/Dialect.h"
#include "core/logic/SearchText.h"
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
QList<QStringList> rowsOf(const QString& numbers, const QString& category, int rows = kRows)
{
    QList<QStringList> records{{QStringLiteral("书籍编号"), QStringLiteral("书籍名称"), QStringLiteral("类别代码"),
                                QStringLiteral("出版社"), QStringLiteral("作者姓名"), QStringLiteral("书籍价格"),
                                QStringLiteral("书籍页码"), QStringLiteral("登记日期")}};
    for (int i = 0; i < rows; ++i)
        records << QStringList{numbers + QString::number(i), QStringLiteral("导入的书第%1册").arg(i), category,
                               QStringLiteral("导入测试出版社%1").arg(i % 100), QStringLiteral("作者%1").arg(i % 700),
                               QStringLiteral("%1.50").arg(10 + i % 90), QString::number(100 + i % 400),
                               QStringLiteral("2025/%1/%2").arg(1 + i % 12).arg(1 + i % 28)};
    return records;
}

// The spreadsheet of rowsOf() as a GB18030 file.
QString writeFile(const QString& path, const QList<QStringList>& records)
{
    QByteArray bytes;
    for (const QStringList& record : records)
        bytes += Csv::line(record);
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(TextFile::encode(QString::fromUtf8(bytes))) < 0)
        throw std::runtime_error("cannot write the spreadsheet to import");
    return path;
}

// Reads, checks and imports the file as the window does; the books imported.
int import(const QString& file)
{
    Csv::Table table;
    QString error;
    if (!Csv::read(file, &table, &error))
        throw std::runtime_error(error.toStdString());
    ImportPlan plan(ImportKind::Kind::Books, table, QDate::currentDate());
    plan.check();
    return ImportRun::run(plan, {}).imported;
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
        files << writeFile(scratch.filePath(QStringLiteral("books%1.csv").arg(i)),
                           rowsOf(prefix(QStringLiteral("ours"), i), category));
        rawRows << rowsOf(prefix(QStringLiteral("raw"), i), category).mid(1);
    }
    QList<QByteArray> pause;
    QList<QByteArray> resume;
    for (const QString& statement : Database::dialect().pauseSearchUpkeepStatements())
        pause << statement.toUtf8();
    for (const QString& statement : Database::dialect().resumeSearchUpkeepStatements())
        resume << statement.toUtf8();
    int imported = 0;
    bench.compare(
        QStringLiteral("import %1 books from CSV (read, check, write, commit)").arg(kRows), runs, {2.0, {}},
        [&](int i) { imported = import(files[i]); },
        [&](int i) {
            RawStatement exists(raw, "SELECT 1 FROM bookInfo WHERE 书籍编号 = ?1 LIMIT 1");
            RawStatement category(raw, "SELECT 1 FROM bookType WHERE 类别代码 = ?1");
            RawStatement insert(raw, "INSERT INTO bookInfo (书籍编号, 书籍名称, 类别代码, 出版社, 作者姓名, 书籍价格,"
                                     " 书籍页码, 登记日期, 是否借出) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, 0)");
            RawStatement known(raw, "SELECT 1 FROM bookconcernList WHERE 出版社 = ?1");
            RawStatement remember(raw, "INSERT INTO bookconcernList (出版社) VALUES (?1)");
            // As ours: the search words written after the rows, not by the trigger.
            exec(raw, "BEGIN IMMEDIATE");
            RawStatement last(raw, "SELECT max(rowid) FROM bookInfo");
            last.step();
            const qint64 lastRow = last.integerAt(0);
            last.reset();
            for (const QByteArray& statement : pause)
                exec(raw, statement.constData());
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
            RawStatement added(raw, "SELECT rowid, 书籍编号, 书籍名称, 出版社 FROM bookInfo WHERE rowid > ?1 ORDER BY rowid");
            added.integer(1, lastRow);
            std::vector<std::pair<qint64, QStringList>> books;
            while (added.step())
                books.push_back({added.integerAt(0), {QString::fromUtf8(added.textAt(1)), QString::fromUtf8(added.textAt(2)),
                                                       QString::fromUtf8(added.textAt(3))}});
            RawStatement words(raw, "INSERT INTO bookSearch (rowid, number, title, publisher, numberPairs, titlePairs,"
                                    " publisherPairs) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
            for (const auto& [row, texts] : books) {
                words.integer(1, row);
                for (int t = 0; t < 3; ++t) {
                    words.text(2 + t, SearchText::spaced(texts[t]));
                    words.text(5 + t, SearchText::pairs(texts[t]));
                }
                words.step();
                words.reset();
            }
            for (const QByteArray& statement : resume)
                exec(raw, statement.constData());
            exec(raw, "COMMIT");
        });
    bench.note(QStringLiteral("  %1 books imported per run; the rows added are removed again").arg(imported));
    // A whole library's spreadsheet, on a library large enough for it to mean something.
    if (Books::count() >= kLargeRows) {
        const QString file = writeFile(scratch.filePath(QStringLiteral("large.csv")),
                                       rowsOf(prefix(QStringLiteral("ours"), runs), category, kLargeRows));
        QElapsedTimer timer;
        timer.start();
        const int large = import(file);
        bench.figure(QStringLiteral("import %1 books from CSV (read, check, write, commit)").arg(large),
                     double(timer.elapsed()), 15000.0, QStringLiteral("ms"));
    }
    Sql::execute(QStringLiteral("DELETE FROM bookInfo WHERE 书籍编号 LIKE '导入测试%'"), QStringLiteral("bench"));
    Sql::execute(QStringLiteral("DELETE FROM bookconcernList WHERE 出版社 LIKE '导入测试出版社%'"),
                 QStringLiteral("bench"));
}

}  // namespace ImportSection
