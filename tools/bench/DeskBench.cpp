// Measures the desk's operations on a large library: a temporary database
// with many books, readers and years of loans, then every look-up and one
// lend-return cycle timed over many runs. Prints figures; asserts nothing.
//
// usage: shelfmark-bench [BOOKS [READERS [LOANS]]]   (run it where the disk is the real one)

#include <sys/resource.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <functional>
#include <vector>

#include "circulation/logic/BookLookup.h"
#include "circulation/logic/BorrowedList.h"
#include "circulation/logic/Lending.h"
#include "circulation/logic/LoanClosing.h"
#include "circulation/logic/LoanLookup.h"
#include "circulation/logic/ReaderLookup.h"
#include "core/logic/Database.h"
#include "core/logic/LibrarySchema.h"
#include "core/logic/Sql.h"
#include "core/logic/Transaction.h"

namespace {

QTextStream out(stdout);

QString bookNumber(int i) { return QStringLiteral("B%1").arg(i, 6, 10, QLatin1Char('0')); }
QString readerNumber(int i) { return QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0')); }

// Fills the library: every 50th loan of the history is still outstanding.
void fill(int books, int readers, int loans, const QDate& today)
{
    const QString action = QStringLiteral("生成测试数据");
    Transaction transaction(action);
    QSqlQuery category = Sql::prepare("INSERT INTO bookType VALUES (:c, :n, :d)", action);
    for (int c = 0; c < 10; ++c) {
        category.bindValue(":c", QString(QChar('A' + c)));
        category.bindValue(":n", QStringLiteral("类别%1").arg(c));
        category.bindValue(":d", 14 + 7 * c);
        Sql::exec(category, action);
    }
    QSqlQuery book = Sql::prepare(
        "INSERT INTO bookInfo VALUES (:b, :t, '36.00', '人民文学出版社', '320', :c, '不详', '2020-01-01', 0)",
        action);
    for (int b = 0; b < books; ++b) {
        book.bindValue(":b", bookNumber(b));
        book.bindValue(":t", QStringLiteral("图书%1").arg(b));
        book.bindValue(":c", QString(QChar('A' + b % 10)));
        Sql::exec(book, action);
    }
    QSqlQuery reader = Sql::prepare("INSERT INTO readerInfo VALUES (:r, :n, '男', '12345678', '办公室')", action);
    for (int r = 0; r < readers; ++r) {
        reader.bindValue(":r", readerNumber(r));
        reader.bindValue(":n", QStringLiteral("读者%1").arg(r));
        Sql::exec(reader, action);
    }
    QSqlQuery loan = Sql::prepare("INSERT INTO lentInfo VALUES (:r, :b, :d, :x, :o, :f)", action);
    QSqlQuery lent = Sql::prepare("UPDATE bookInfo SET 是否借出 = 1 WHERE 书籍编号 = :b", action);
    for (int l = 0; l < loans; ++l) {
        const bool outstanding = l % 50 == 0;
        const int b = outstanding ? l / 50 : l % books;  // each outstanding loan has its own book
        const QDate lendDate = today.addDays(-(l % 700) - 1);
        loan.bindValue(":r", readerNumber(l % readers));
        loan.bindValue(":b", bookNumber(b));
        loan.bindValue(":d", Sql::dateValue(lendDate));
        loan.bindValue(":x", outstanding ? QVariant(QMetaType::fromType<QString>())
                                         : Sql::dateValue(lendDate.addDays(10)));
        loan.bindValue(":o", outstanding ? QVariant(QMetaType::fromType<int>()) : QVariant(0));
        loan.bindValue(":f", outstanding ? QVariant(QMetaType::fromType<double>()) : QVariant(0.0));
        Sql::exec(loan, action);
        if (outstanding) {
            lent.bindValue(":b", bookNumber(b));
            Sql::exec(lent, action);
        }
    }
    transaction.commit();
}

// Runs op `runs` times and prints the median, the 99th percentile and the worst, in microseconds.
void measure(const char* name, int runs, const std::function<void(int)>& op)
{
    std::vector<double> micros;
    micros.reserve(runs);
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        timer.start();
        op(i);
        micros.push_back(timer.nsecsElapsed() / 1000.0);
    }
    std::sort(micros.begin(), micros.end());
    out << QStringLiteral("%1  runs %2  median %3 µs  p99 %4 µs  worst %5 µs\n")
               .arg(QString::fromUtf8(name), -34)
               .arg(runs, 5)
               .arg(micros[runs / 2], 9, 'f', 1)
               .arg(micros[std::min(runs - 1, runs * 99 / 100)], 9, 'f', 1)
               .arg(micros.back(), 9, 'f', 1);
    out.flush();
}

long peakRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int books = args.size() > 1 ? args[1].toInt() : 100000;
    const int readers = args.size() > 2 ? args[2].toInt() : 10000;
    const int loans = args.size() > 3 ? args[3].toInt() : 500000;
    const QDate today = QDate::currentDate();

    // On the working directory's disk, so that writes wait for a real flush.
    QTemporaryDir dir(QDir::current().filePath(QStringLiteral("shelfmark-bench-XXXXXX")));
    QDir(dir.path()).mkpath("mdb");
    const QString file = QDir(dir.path()).filePath("mdb/Shelfmark.mdb");
    QString error;
    if (!Database::create(file, &error)) {
        out << error << '\n';
        return 1;
    }
    LibrarySchema::create();
    QElapsedTimer timer;
    timer.start();
    fill(books, readers, loans, today);
    out << QStringLiteral("library: %1 books, %2 readers, %3 loans (%4 outstanding), filled in %5 s, file %6 MiB\n")
               .arg(books).arg(readers).arg(loans).arg((loans + 49) / 50)
               .arg(timer.elapsed() / 1000.0, 0, 'f', 1)
               .arg(QFileInfo(file).size() / 1048576.0, 0, 'f', 1);
    // The desk opens the file as the program does.
    Database::close();
    if (!Database::open(file, &error)) {
        out << error << '\n';
        return 1;
    }

    QRandomGenerator random(147);
    const int runs = 2000;
    measure("book look-up (书籍编号 + Enter)", runs,
            [&](int) { BookLookup::find(bookNumber(random.bounded(books))); });
    measure("reader look-up (读者编号 + Enter)", runs,
            [&](int) { ReaderLookup::findName(readerNumber(random.bounded(readers))); });
    measure("borrowed list, read to the end", runs, [&](int) {
        QSqlQuery list = BorrowedList::query(readerNumber(random.bounded(readers)));
        while (list.next()) {
        }
    });
    measure("borrowed count and quota", runs,
            [&](int) { BorrowedList::summary(readerNumber(random.bounded(readers))); });
    measure("loan look-up with fine (还书)", runs, [&](int) {
        LoanLookup::find(bookNumber(random.bounded((loans + 49) / 50)), today);
    });
    // Writes wait for the disk (synchronous=FULL): fewer runs.
    const int cycles = 200;
    const QString cycleReader = readerNumber(readers - 1);
    Sql::run("UPDATE basicSet SET 借出册数 = :quota", {{"quota", cycles + 100}}, "bench");
    int lent = 0;
    int closed = 0;
    measure("lend (one transaction)", cycles, [&](int i) {
        lent += Lending::lend(cycleReader, bookNumber(books - 1 - i), today) == Lending::Outcome::Lent;
    });
    measure("return: look-up and close loan", cycles, [&](int i) {
        const LoanOnDesk loan = LoanLookup::find(bookNumber(books - 1 - i), today);
        closed += LoanClosing::close(loan.loanId, loan.returnDate, loan.overdueDays, loan.fine)
                  == LoanClosing::Outcome::Closed;
    });
    out << QStringLiteral("lent %1 of %2, closed %3 of %2\n").arg(lent).arg(cycles).arg(closed);
    out << QStringLiteral("peak memory: %1 MiB\n").arg(peakRssKiB() / 1024.0, 0, 'f', 1);
    Database::close();
    return 0;
}
