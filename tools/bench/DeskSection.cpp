#include "DeskSection.h"

#include <sqlite3.h>

#include <QList>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <algorithm>
#include <functional>

#include "RawStatement.h"
#include "SideBySide.h"
#include "circulation/logic/BookLookup.h"
#include "circulation/logic/BorrowedList.h"
#include "circulation/logic/BorrowedListModel.h"
#include "circulation/logic/DeskStatements.h"
#include "circulation/logic/Lending.h"
#include "circulation/logic/LoanClosing.h"
#include "circulation/logic/LoanLookup.h"
#include "circulation/logic/ReaderLookup.h"
#include "circulation/logic/Renewal.h"
#include "core/logic/Sql.h"

namespace DeskSection {

namespace {

QByteArray utf8(const QString& text) { return text.toUtf8(); }

// The desk's statements prepared once on the engine's own connection, run
// in the order our operations run them.
class RawDesk {
public:
    explicit RawDesk(sqlite3* db)
        : m_db(db),
          m_book(db, utf8(DeskStatements::bookLookup())),
          m_reader(db, utf8(DeskStatements::readerName())),
          m_list(db, utf8(DeskStatements::borrowedList())),
          m_count(db, utf8(DeskStatements::borrowedCount())),
          m_rules(db, utf8(DeskStatements::rules())),
          m_insert(db, utf8(DeskStatements::lendInsert())),
          m_mark(db, utf8(DeskStatements::lendMark())),
          m_loan(db, utf8(DeskStatements::loanLookup())),
          m_closeBook(db, utf8(DeskStatements::closeBook())),
          m_closeLoan(db, utf8(DeskStatements::closeLoan())),
          m_renew(db, utf8(DeskStatements::renew()))
    {
    }

    bool findBook(const QByteArray& book) { return readAll(m_book.text(m_book.at(":book"), book)) > 0; }
    bool findReader(const QByteArray& reader) { return readAll(m_reader.text(m_reader.at(":reader"), reader)) > 0; }
    // The list with every cell read and the rules: what the desk shows on Enter
    // (the count is the list's rows).
    int borrowed(const QByteArray& reader)
    {
        const int rows = readAll(m_list.text(m_list.at(":reader"), reader));
        readAll(m_rules);
        return rows;
    }
    void lend(const QByteArray& reader, const QByteArray& book, const QByteArray& date)
    {
        rawExec(m_db, "BEGIN IMMEDIATE");
        findReader(reader);
        count(reader);
        readAll(m_rules);
        findBook(book);
        m_insert.text(m_insert.at(":reader"), reader).text(m_insert.at(":book"), book);
        m_insert.text(m_insert.at(":date"), date).run();
        m_mark.text(m_mark.at(":book"), book).run();
        rawExec(m_db, "COMMIT");
    }
    // The return desk's look-up, then closing the loan it found.
    void takeBack(const QByteArray& book, const QByteArray& date)
    {
        m_loan.text(m_loan.at(":book"), book);
        const qint64 loan = m_loan.step() ? m_loan.integerAt(6) : 0;
        m_loan.reset();
        readAll(m_rules);
        rawExec(m_db, "BEGIN IMMEDIATE");
        m_closeBook.integer(m_closeBook.at(":loan"), loan).run();
        m_closeLoan.text(m_closeLoan.at(":returned"), date).integer(m_closeLoan.at(":overdue"), 0);
        m_closeLoan.real(m_closeLoan.at(":fine"), 0).integer(m_closeLoan.at(":loan"), loan).run();
        rawExec(m_db, "COMMIT");
    }
    void renew(qint64 loan, const QByteArray& date)
    {
        rawExec(m_db, "BEGIN IMMEDIATE");
        m_renew.text(m_renew.at(":date"), date).integer(m_renew.at(":loan"), loan).run();
        rawExec(m_db, "COMMIT");
    }

private:
    int count(const QByteArray& reader) { return readAll(m_count.text(m_count.at(":reader"), reader)); }
    // Steps through every row reading every cell as text, as a grid would.
    static int readAll(RawStatement& statement)
    {
        int rows = 0;
        while (statement.step()) {
            for (int c = 0; c < statement.columns(); ++c)
                statement.textAt(c);
            ++rows;
        }
        statement.reset();
        return rows;
    }

    sqlite3* m_db;
    RawStatement m_book, m_reader, m_list, m_count, m_rules, m_insert, m_mark, m_loan, m_closeBook, m_closeLoan,
        m_renew;
};

// Keys picked at random from the library through the engine's connection.
struct Keys {
    QList<QByteArray> books, readers, shelfBooks;  // shelfBooks: not lent, for lending
    QList<QPair<qint64, QByteArray>> loans;        // outstanding loans with their lend date
};

Keys pickKeys(sqlite3* db, int count, int shelfCount)
{
    QRandomGenerator random(147);
    Keys keys;
    const auto sample = [&](const char* sql, int wanted, const std::function<void(RawStatement&)>& take) {
        RawStatement pick(db, sql);
        for (int i = 0, tries = 0; i < wanted && tries < wanted * 20; ++tries) {
            pick.integer(1, random.bounded(1 << 30));
            if (pick.step()) {
                take(pick);
                ++i;
            }
            pick.reset();
        }
    };
    const auto text = [](QList<QByteArray>& list) {
        return [&list](RawStatement& s) { list.append(QByteArray(s.textAt(0))); };
    };
    sample("SELECT 书籍编号 FROM bookInfo WHERE rowid >= ?1 % (SELECT max(rowid) FROM bookInfo) LIMIT 1", count,
           text(keys.books));
    sample("SELECT 读者编号 FROM readerInfo WHERE rowid >= ?1 % (SELECT max(rowid) FROM readerInfo) LIMIT 1", count,
           text(keys.readers));
    sample("SELECT 书籍编号 FROM bookInfo WHERE rowid >= ?1 % (SELECT max(rowid) FROM bookInfo) AND 是否借出 = 0"
           " LIMIT 1",
           shelfCount, text(keys.shelfBooks));
    // Outstanding loans through their index: those of readers picked at random.
    sample("SELECT rowid, 借书日期 FROM lentInfo WHERE 还书日期 IS NULL AND 读者编号 ="
           " (SELECT 读者编号 FROM readerInfo WHERE rowid >= ?1 % (SELECT max(rowid) FROM readerInfo) LIMIT 1)"
           " LIMIT 1",
           count, [&keys](RawStatement& s) { keys.loans.append({s.integerAt(0), QByteArray(s.textAt(1))}); });
    std::sort(keys.shelfBooks.begin(), keys.shelfBooks.end());
    keys.shelfBooks.erase(std::unique(keys.shelfBooks.begin(), keys.shelfBooks.end()), keys.shelfBooks.end());
    return keys;
}

void lookUps(SideBySide& bench, RawDesk& raw, const Keys& keys, int runs)
{
    const auto at = [](const QList<QByteArray>& list, int i) { return list.at(i % list.size()); };
    bench.compare(QStringLiteral("book look-up (书籍编号 + Enter)"), runs, {3.0, {}},
                  [&](int i) { BookLookup::find(QString::fromUtf8(at(keys.books, i))); },
                  [&](int i) { raw.findBook(at(keys.books, i + 1)); });
    bench.compare(QStringLiteral("reader look-up (读者编号 + Enter)"), runs, {3.0, {}},
                  [&](int i) { ReaderLookup::findName(QString::fromUtf8(at(keys.readers, i))); },
                  [&](int i) { raw.findReader(at(keys.readers, i + 1)); });
    BorrowedListModel model;
    bench.compare(
        QStringLiteral("borrowed list with count and quota"), runs, {3.0, {}},
        [&](int i) {
            const QString reader = QString::fromUtf8(at(keys.readers, i));
            model.load(reader);
            for (int row = 0; row < model.rowCount(); ++row)
                for (int column = 0; column < model.columnCount(); ++column)
                    model.data(model.index(row, column));
            BorrowedList::summaryOf(model.rowCount());
        },
        [&](int i) { raw.borrowed(at(keys.readers, i + 1)); });
}

void writes(SideBySide& bench, RawDesk& raw, const Keys& keys, int runs, const QDate& today)
{
    if (keys.shelfBooks.size() < 2 * runs || keys.loans.isEmpty() || keys.readers.isEmpty()) {
        bench.note(QStringLiteral("  (too few books on the shelf to time lending)"));
        return;
    }
    const QString reader = QString::fromUtf8(keys.readers.first());
    const QByteArray date = today.toString(Qt::ISODate).toUtf8();
    // Ours lends the even books, the engine the odd ones; then each takes its own back.
    const auto book = [&](int i, int side) { return keys.shelfBooks.at(2 * i + side); };
    int lent = 0, closed = 0;
    bench.compare(
        QStringLiteral("lend (one durable transaction)"), runs, {1.5, {}},
        [&](int i) {
            lent += Lending::lend(reader, QString::fromUtf8(book(i, 0)), today) == Lending::Outcome::Lent;
        },
        [&](int i) { raw.lend(keys.readers.first(), book(i, 1), date); });
    bench.compare(
        QStringLiteral("return: look-up and close (durable)"), runs, {1.5, {}},
        [&](int i) {
            const LoanOnDesk loan = LoanLookup::find(QString::fromUtf8(book(i, 0)), today);
            closed += LoanClosing::close(loan.loanId, loan.returnDate, loan.overdueDays, loan.fine)
                      == LoanClosing::Outcome::Closed;
        },
        [&](int i) { raw.takeBack(book(i, 1), date); });
    // Each loan renewed to the date it has, so the library stays as it was.
    const auto loan = [&](int i) { return keys.loans.at(i % keys.loans.size()); };
    bench.compare(
        QStringLiteral("renew (one durable transaction)"), runs, {1.5, {}},
        [&](int i) { Renewal::renew(loan(2 * i).first, Sql::toDate(QString::fromUtf8(loan(2 * i).second))); },
        [&](int i) { raw.renew(loan(2 * i + 1).first, loan(2 * i + 1).second); });
    bench.note(QStringLiteral("  (ours lent %1 and closed %2 of %3)").arg(lent).arg(closed).arg(runs));
}

}  // namespace

void run(SideBySide& bench, sqlite3* db, int runs, int writeRuns, const QDate& today)
{
    const Keys keys = pickKeys(db, 1000, 2 * writeRuns + 10);
    if (keys.books.isEmpty() || keys.readers.isEmpty()) {
        bench.note(QStringLiteral("  (the library has no books or no readers)"));
        return;
    }
    RawDesk raw(db);
    bench.section(QStringLiteral("Desk (targets: look-ups ≤ 3× raw; lend, return, renew ≤ 1.5× raw, WAL + FULL)"));
    lookUps(bench, raw, keys, runs);

    // The writes' reader may hold every book lent here; the rules and loans are put back after.
    RawStatement last(db, "SELECT coalesce(max(rowid), 0) FROM lentInfo");
    last.step();
    const qint64 lastLoan = last.integerAt(0);
    last.reset();
    RawStatement quota(db, "SELECT 借出册数 FROM basicSet");
    quota.step();
    const qint64 oldQuota = quota.integerAt(0);
    quota.reset();
    RawStatement setQuota(db, "UPDATE basicSet SET 借出册数 = ?");
    setQuota.integer(1, oldQuota + 2 * writeRuns + 10).run();
    writes(bench, raw, keys, writeRuns, today);
    RawStatement forget(db, "DELETE FROM lentInfo WHERE rowid > ?");
    forget.integer(1, lastLoan).run();
    setQuota.integer(1, oldQuota).run();
}

}  // namespace DeskSection
