// A desk in a process of its own, for the crash and two-desk tests. It works
// the library file through the same logic the program's windows call.
//
//   desk_worker crash DB SEED   lends, renews and returns, registers, edits and
//                               deletes books at random, for ever, writing
//                               "b OP..." before each operation and "d OP..."
//                               once the logic has reported it done
//   desk_worker serve DB        answers one line per command read from stdin:
//                               "lend READER BOOK DATE", "return LOAN",
//                               "renew LOAN DATE", "hold MS", "quit"
//
// Every line goes out with one write(2), so a kill never leaves half a line.
#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QThread>

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "circulation/logic/Lending.h"
#include "circulation/logic/LoanClosing.h"
#include "circulation/logic/Renewal.h"
#include "catalogue/logic/Books.h"
#include "core/logic/Database.h"
#include "core/logic/LibraryLocation.h"
#include "core/logic/Transaction.h"
#include "core/logic/StoreError.h"

namespace {

void say(const QString& line)
{
    const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
    if (::write(STDOUT_FILENO, bytes.constData(), static_cast<size_t>(bytes.size())) < 0)
        std::_Exit(3);
}

// The first column of a statement's rows, values bound in order.
QStringList column(const QString& statement, const QVariantList& values = {})
{
    QSqlQuery query(Database::connection());
    query.prepare(statement);
    for (const QVariant& value : values)
        query.addBindValue(value);
    query.exec();
    QStringList result;
    while (query.next())
        result << query.value(0).toString();
    return result;
}

QString isoDate(const QDate& date) { return date.toString(Qt::ISODate); }

// One random desk operation on one random book: lend it when it is in, else
// renew or take back its loan.
void deskOperation(QRandomGenerator& random, const QStringList& readers)
{
    const QStringList books = column("SELECT 书籍编号 FROM bookInfo");
    const QString book = books.at(random.bounded(books.size()));
    const QDate date = QDate(2026, 1, 1).addDays(random.bounded(78));
    const qint64 loan =
        column("SELECT rowid FROM lentInfo WHERE 书籍编号 = ? AND 还书日期 IS NULL", {book}).value(0).toLongLong();
    if (loan == 0) {
        const QString reader = readers.at(random.bounded(readers.size()));
        say(QStringLiteral("b L %1 %2 %3").arg(reader, book, isoDate(date)));
        if (Lending::lend(reader, book, date) != Lending::Outcome::Lent) {
            say(QStringLiteral("d X"));
            return;
        }
        say("d L " + column("SELECT max(rowid) FROM lentInfo").value(0));
    } else if (random.bounded(2) == 0) {
        say(QStringLiteral("b N %1 %2").arg(loan).arg(isoDate(date)));
        say(Renewal::renew(loan, date) == Renewal::Outcome::Renewed ? "d N" : "d X");
    } else {
        const int overdue = random.bounded(40);
        say(QStringLiteral("b R %1 %2").arg(loan).arg(overdue));
        const auto outcome = LoanClosing::close(loan, QStringLiteral("2026/3/20"), QString::number(overdue),
                                                QStringLiteral("0.5"));
        say(outcome == LoanClosing::Outcome::Closed ? "d R" : "d X");
    }
}

// One random catalogue operation: register a new book, change a book's title
// and publisher, or delete a book that is in.
void catalogueOperation(QRandomGenerator& random, const QString& tag)
{
    Books::BookDetails details{QStringLiteral("N") + tag, QStringLiteral("题") + tag, QStringLiteral("A"),
                               QStringLiteral("社") + tag, QStringLiteral("佚名"), QStringLiteral("12.5"),
                               QStringLiteral("100"), QDate(2026, 3, 1)};
    const int choice = random.bounded(3);
    Books::Outcome outcome = Books::Outcome::Done;
    if (choice == 0) {
        say(QStringLiteral("b A %1 %2 %3").arg(details.number, details.title, details.publisher));
        outcome = Books::saveNewBook(details);
    } else {
        const QStringList books = column(choice == 1 ? "SELECT 书籍编号 FROM bookInfo"
                                                     : "SELECT 书籍编号 FROM bookInfo WHERE 是否借出 = 0");
        if (books.isEmpty())
            return;
        const QString book = books.at(random.bounded(books.size()));
        say(QStringLiteral("b %1 %2 %3 %4").arg(choice == 1 ? "E" : "D", book, details.title, details.publisher));
        outcome = choice == 1 ? Books::saveChanges(book, details) : Books::DeleteBook(book);
    }
    say(outcome == Books::Outcome::Done ? "d C" : "d X");
}

int crash(quint32 seed)
{
    QRandomGenerator random(seed);
    const QStringList readers = column("SELECT 读者编号 FROM readerInfo");
    say(QStringLiteral("ready"));
    for (int step = 0;; ++step) {
        if (random.bounded(10) < 3)
            catalogueOperation(random, QStringLiteral("%1-%2").arg(seed).arg(step));
        else
            deskOperation(random, readers);
    }
}

qint64 nowNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<qint64>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Holds the library's write lock for a while, as another desk might.
QString hold(int milliseconds)
{
    Transaction holding(QStringLiteral("占用"));
    say(QStringLiteral("held"));
    QThread::msleep(static_cast<unsigned long>(milliseconds));
    return QStringLiteral("released");
}

QString command(const QStringList& words)
{
    const QString verb = words.value(0);
    const auto date = [&words](int i) { return QDate::fromString(words.value(i), Qt::ISODate); };
    if (verb == "lend") {
        const Lending::Outcome outcome = Lending::lend(words.value(1), words.value(2), date(3));
        return outcome == Lending::Outcome::Lent          ? QString("Lent")
               : outcome == Lending::Outcome::AlreadyLent ? QString("AlreadyLent")
                                                          : "Refused:" + Lending::message(outcome);
    }
    if (verb == "return")
        return LoanClosing::close(words.value(1).toLongLong(), "2026/3/20", "2", "0.2") == LoanClosing::Outcome::Closed
                   ? "Closed" : "NotOutstanding";
    if (verb == "renew")
        return Renewal::renew(words.value(1).toLongLong(), date(2)) == Renewal::Outcome::Renewed ? "Renewed"
                                                                                                  : "NotOutstanding";
    if (verb == "hold")
        return hold(words.value(1).toInt());
    return "error unknown command " + verb;
}

// Each answer carries the outcome, then when the operation started and ended
// (monotonic nanoseconds, comparable between processes), so the test can tell
// which rounds really overlapped.
int serve()
{
    say(QStringLiteral("ready"));
    std::string line;
    while (std::getline(std::cin, line)) {
        const QStringList words = QString::fromStdString(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.value(0) == QLatin1String("quit"))
            break;
        const qint64 started = nowNs();
        QString answer;
        try {
            answer = command(words);
        } catch (const StoreError& e) {
            answer = (e.cause() == StoreError::Cause::Busy ? QStringLiteral("busy ") : QStringLiteral("error "))
                     + e.message().replace(QLatin1Char('\n'), QLatin1Char(' '));
        }
        say(QStringLiteral("%1 %2 %3").arg(answer).arg(started).arg(nowNs()));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QString error;
    // A library file, or a program directory whose library may be on a server.
    const bool opened = args.size() >= 3
                        && (QFileInfo(args.at(2)).isDir() ? LibraryLocation::open(args.at(2), &error)
                                                          : Database::open(args.at(2), &error));
    if (!opened) {
        std::fprintf(stderr, "desk_worker: %s\n", qPrintable(error));
        return 2;
    }
    if (args.at(1) == QLatin1String("crash"))
        return crash(args.value(3).toUInt());
    return serve();
}
