// Measures the catalogue's operations on a large library: the book list, the
// publisher suggestions, registering a book, and deleting every book in
// batches of several sizes (total time and the longest batch), beside the
// row-by-row deletion it replaces.
// Prints figures; asserts nothing.
//
// usage: shelfmark-catalogue-bench [BOOKS [PUBLISHERS]]   (run it where the disk is the real one)

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <functional>
#include <vector>

#include "catalogue/logic/BookListModel.h"
#include "catalogue/logic/Books.h"
#include "catalogue/logic/Publishers.h"
#include "core/logic/Database.h"
#include "core/logic/LibrarySchema.h"
#include "core/logic/Sql.h"
#include "core/logic/Transaction.h"

namespace {

QTextStream out(stdout);

void fillBooks(int books)
{
    const QString action = QStringLiteral("生成测试数据");
    Transaction transaction(action);
    Sql::run("INSERT OR IGNORE INTO bookType VALUES ('A', '文学', 14)", {}, action);
    QSqlQuery book = Sql::prepare(
        "INSERT INTO bookInfo VALUES (:b, :t, '36.00', '人民文学出版社', '320', 'A', '不详', '2020-01-01', 0)",
        action);
    for (int b = 0; b < books; ++b) {
        book.bindValue(":b", QStringLiteral("B%1").arg(b, 6, 10, QLatin1Char('0')));
        book.bindValue(":t", QStringLiteral("图书%1").arg(b));
        Sql::exec(book, action);
    }
    transaction.commit();
}

void fillPublishers(int publishers)
{
    const QString action = QStringLiteral("生成测试数据");
    Transaction transaction(action);
    QSqlQuery publisher = Sql::prepare("INSERT INTO bookconcernList VALUES (:p)", action);
    for (int p = 0; p < publishers; ++p) {
        publisher.bindValue(":p", QStringLiteral("第%1出版社").arg(p));
        Sql::exec(publisher, action);
    }
    transaction.commit();
}

// Runs op `runs` times and prints the median and the worst, in microseconds.
void measure(const char* name, int runs, const std::function<void(int)>& op)
{
    std::vector<double> micros;
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        timer.start();
        op(i);
        micros.push_back(timer.nsecsElapsed() / 1000.0);
    }
    std::sort(micros.begin(), micros.end());
    out << QStringLiteral("%1  runs %2  median %3 µs  worst %4 µs\n")
               .arg(QString::fromUtf8(name), -40)
               .arg(runs, 5)
               .arg(micros[runs / 2], 9, 'f', 1)
               .arg(micros.back(), 9, 'f', 1);
    out.flush();
}

// Delete-all in batches of `batch`, timing the longest batch.
void deleteAll(int books, int batch)
{
    fillBooks(books);
    QElapsedTimer total, sinceLast;
    double longest = 0;
    int batches = 0;
    total.start();
    sinceLast.start();
    Books::DeleteAllBooks(
        [&](int) {
            ++batches;
            longest = std::max(longest, sinceLast.nsecsElapsed() / 1e6);
            sinceLast.start();
        },
        batch);
    out << QStringLiteral("delete all %1 books, batches of %2: %3 batches, %4 s in all, longest batch %5 ms\n")
               .arg(books).arg(batch, 5).arg(batches).arg(total.elapsed() / 1000.0, 0, 'f', 2)
               .arg(longest, 0, 'f', 1);
    out.flush();
}

// The row-by-row deletion delete-all replaces: one row per statement, the
// list's query again after each row; timed for `rows` rows of a full table.
void rowByRow(int books, int rows, BookListModel& list)
{
    fillBooks(books);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rows; ++i) {
        Sql::run("DELETE FROM bookInfo WHERE rowid = (SELECT rowid FROM bookInfo ORDER BY rowid LIMIT 1)", {},
                 "bench");
        Sql::run("SELECT count(*) FROM bookInfo", {}, "bench").next();  // the reopened record set's count
        list.load();
    }
    const double perRow = timer.nsecsElapsed() / 1e6 / rows;
    out << QStringLiteral("row by row, first %1 of %2 books: %3 ms a row, so %4 s for all of them\n")
               .arg(rows).arg(books).arg(perRow, 0, 'f', 2).arg(perRow * books / 1000.0, 0, 'f', 0);
    Sql::run("DELETE FROM bookInfo", {}, "bench");
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int books = args.size() > 1 ? args[1].toInt() : 100000;
    const int publishers = args.size() > 2 ? args[2].toInt() : 2000;

    QTemporaryDir dir(QDir::current().filePath(QStringLiteral("shelfmark-bench-XXXXXX")));
    QDir(dir.path()).mkpath("mdb");
    const QString file = QDir(dir.path()).filePath("mdb/Shelfmark.mdb");
    QString error;
    if (!Database::create(file, &error)) {
        out << error << '\n';
        return 1;
    }
    LibrarySchema::create();
    Database::close();
    if (!Database::open(file, &error)) {  // as the program opens it (WAL, synchronous=FULL)
        out << error << '\n';
        return 1;
    }
    fillBooks(books);
    fillPublishers(publishers);
    out << QStringLiteral("library: %1 books, %2 publishers\n").arg(books).arg(publishers);

    BookListModel list;
    measure("book list: query and first page", 50, [&](int) { list.load(); });
    measure("publisher suggestions, one keystroke", 500,
            [&](int i) { Publishers::SuggestPublishers(QStringLiteral("%1出版").arg(i % 1000)); });
    measure("register a book with its publisher", 100, [&](int i) {
        Books::saveNewBook({QStringLiteral("N%1").arg(i), "新书", "A", "人民出版社", "不详", "1", "不详",
                            QDate(2026, 1, 1)});
    });
    Sql::run("DELETE FROM bookInfo", {}, "bench");

    rowByRow(books, 1000, list);
    for (int batch : {2000, Books::kDeleteBatch, 100000})
        deleteAll(books, batch);
    return 0;
}
