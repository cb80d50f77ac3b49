#include "statistics/logic/YearStatistics.h"

#include <QDate>
#include <QHash>
#include <QSqlQuery>
#include <QThread>
#include <algorithm>
#include <exception>
#include <functional>
#include <memory>
#include <numeric>

#include "core/logic/Conversions.h"
#include "core/logic/Database.h"
#include "core/logic/Dialect.h"
#include "core/logic/Sql.h"
#include "core/logic/StoreError.h"

qint64 YearStatistics::loans() const
{
    return std::accumulate(months.begin(), months.end(), qint64(0));
}

namespace YearStatisticsReader {

namespace {

const QString kAction = QStringLiteral("统计借阅");
const QString kInYear = QStringLiteral("借书日期 >= :from AND 借书日期 < :to");

using Tally = YearStatistics::Tally;

// Loans by day, summed by month here: the lend date's index holds the days
// in order, so the engine counts them without a sort (by the month, a
// substring, it would sort the year's loans first). Both engines keep dates
// as ISO text: the month is the date's sixth and seventh characters.
QString monthsStatement()
{
    return QStringLiteral("SELECT 借书日期, count(*) FROM lentInfo WHERE ") + kInYear
           + QStringLiteral(" GROUP BY 借书日期");
}

// The year's loans as read to count them by the book's or the reader's
// number (see Dialect::loansCountedBy).
QString loansCountedBy(const QString& column)
{
    return Database::dialect().loansCountedBy(column) + QStringLiteral(" WHERE ") + kInYear;
}

// Loans per book lent, with the book's title and category code: counted by
// book number (the year's loans are many, the books they touch fewer), then
// joined to the books. The titles and categories are summed here, in one
// pass over the rows: grouping them in the engine would sort every book lent.
// The categories' names are read apart: there are a few dozen.
QString booksStatement()
{
    return QStringLiteral("SELECT bookInfo.书籍名称, bookInfo.类别代码, lent.n"
                          " FROM (SELECT 书籍编号, count(*) AS n FROM ")
           + loansCountedBy(QStringLiteral("书籍编号"))
           + QStringLiteral(" GROUP BY 书籍编号) lent LEFT JOIN bookInfo ON ")
           + Sql::sameText(QStringLiteral("bookInfo.书籍编号"), QStringLiteral("lent.书籍编号"));
}

// Loans by the loan's reader number, with what the reader row says.
QString readersStatement()
{
    return QStringLiteral("SELECT lent.读者编号, readerInfo.读者姓名, readerInfo.所在部门, lent.n"
                          " FROM (SELECT 读者编号, count(*) AS n FROM ")
           + loansCountedBy(QStringLiteral("读者编号"))
           + QStringLiteral(" GROUP BY 读者编号) lent LEFT JOIN readerInfo ON ")
           + Sql::sameText(QStringLiteral("readerInfo.读者编号"), QStringLiteral("lent.读者编号"));
}

// The year's returns, however long ago they were lent.
QString returnsStatement()
{
    return QStringLiteral("SELECT count(*), sum(CASE WHEN 超出天数 > 0 THEN 1 ELSE 0 END), sum(罚款金额)"
                          " FROM lentInfo WHERE 还书日期 >= :from AND 还书日期 < :to");
}

QString text(const QVariant& value)
{
    return value.isNull() ? QString() : value.toString();
}

// Adds `loans` to the tally of `key` (A-Z folded); the first spelling met is shown.
void add(QHash<QString, Tally>& tallies, const QString& key, const QString& name, qint64 loans)
{
    Tally& tally = tallies[Conversions::foldedAZ(key)];
    if (tally.loans == 0) {
        tally.key = key;
        tally.name = name;
    }
    tally.loans += loans;
}

// Most loans first, then by key; the unknown ("") last when `unknownLast`.
// Only the first `keep` are kept (all when negative).
QList<Tally> ordered(const QHash<QString, Tally>& tallies, bool unknownLast, int keep)
{
    QList<Tally> list = tallies.values();
    const auto before = [unknownLast](const Tally& a, const Tally& b) {
        if (unknownLast && a.key.isEmpty() != b.key.isEmpty())
            return b.key.isEmpty();
        if (a.loans != b.loans)
            return a.loans > b.loans;
        return a.key < b.key;
    };
    const qsizetype kept = keep < 0 ? list.size() : std::min<qsizetype>(keep, list.size());
    std::partial_sort(list.begin(), list.begin() + kept, list.end(), before);
    list.resize(kept);
    return list;
}

QSqlQuery runForYear(const QString& statement, int year)
{
    return Sql::run(statement,
                    {{QStringLiteral("from"), Sql::dateValue(QDate(year, 1, 1))},
                     {QStringLiteral("to"), Sql::dateValue(QDate(year + 1, 1, 1))}},
                    kAction);
}

void readMonths(YearStatistics& stats)
{
    QSqlQuery query = runForYear(monthsStatement(), stats.year);
    while (query.next()) {
        const int month = query.value(0).toString().mid(5, 2).toInt();
        if (month >= 1 && month <= 12)
            stats.months[month - 1] += query.value(1).toLongLong();
    }
}

// Each category's name by its code, A-Z folded as the store matches codes.
QHash<QString, QString> categoryNames()
{
    QHash<QString, QString> names;
    QSqlQuery query = Sql::run(QStringLiteral("SELECT 类别代码, 书籍类别 FROM bookType"), {}, kAction);
    while (query.next())
        names.insert(Conversions::foldedAZ(text(query.value(0))), text(query.value(1)));
    return names;
}

void readBooks(YearStatistics& stats)
{
    QHash<QString, Tally> titles;
    // Loans by the category code as stored, in the order met; a book gone
    // (or its code null) apart. There are a few dozen codes for many rows:
    // their names are looked up once each, after.
    QHash<QString, qsizetype> codeAt;
    QList<std::pair<QString, qint64>> codes;
    qint64 noCode = 0;
    QSqlQuery query = runForYear(booksStatement(), stats.year);
    while (query.next()) {
        const QString title = text(query.value(0));
        const qint64 loans = query.value(2).toLongLong();
        if (!title.isEmpty())
            add(titles, title, QString(), loans);
        const QVariant code = query.value(1);
        if (code.isNull()) {
            noCode += loans;
            continue;
        }
        const auto at = codeAt.constFind(code.toString());
        if (at != codeAt.cend()) {
            codes[*at].second += loans;
        } else {
            codeAt.insert(code.toString(), codes.size());
            codes.append({code.toString(), loans});
        }
    }
    const QHash<QString, QString> names = categoryNames();
    QHash<QString, Tally> categories;
    // A book gone, or its category gone: the category is not known.
    if (noCode > 0)
        add(categories, QString(), QString(), noCode);
    for (const auto& [code, loans] : codes) {
        const auto name = names.constFind(Conversions::foldedAZ(code));
        const bool known = name != names.cend();
        add(categories, known ? code : QString(), known ? *name : QString(), loans);
    }
    stats.titles = ordered(titles, false, kRanked);
    stats.categories = ordered(categories, true, -1);
}

void readReaders(YearStatistics& stats)
{
    QHash<QString, Tally> readers;
    QHash<QString, Tally> departments;
    QSqlQuery query = runForYear(readersStatement(), stats.year);
    while (query.next()) {
        const qint64 loans = query.value(3).toLongLong();
        add(readers, text(query.value(0)), text(query.value(1)), loans);
        add(departments, text(query.value(2)), QString(), loans);
    }
    stats.readers = ordered(readers, false, kRanked);
    stats.departments = ordered(departments, true, -1);
}

void readReturns(YearStatistics& stats)
{
    QSqlQuery query = runForYear(returnsStatement(), stats.year);
    if (!query.next())
        return;
    stats.returned = query.value(0).toLongLong();
    stats.returnedLate = query.value(1).toLongLong();
    stats.fines = Conversions::moneySum(query.value(2).toDouble());
}

// Runs `aside` on a thread of its own, over a connection of its own, while
// this thread runs `here`; returns when both have ended, throwing what either
// threw (this thread's first).
void alongside(const std::function<void()>& aside, const std::function<void()>& here)
{
    std::exception_ptr failure;
    std::unique_ptr<QThread> thread(QThread::create([&] {
        QString error;
        if (!Database::openOnThisThread(&error)) {
            failure = std::make_exception_ptr(StoreError(kAction, error));
            return;
        }
        try {
            aside();
        } catch (...) {
            failure = std::current_exception();
        }
        Database::closeOnThisThread();
    }));
    thread->start();
    try {
        here();
    } catch (...) {
        thread->wait();
        throw;
    }
    thread->wait();
    if (failure)
        std::rethrow_exception(failure);
}

}  // namespace

QStringList statements()
{
    return {monthsStatement(), booksStatement(), readersStatement(), returnsStatement()};
}

YearStatistics read(int year)
{
    YearStatistics stats;
    stats.year = year;
    // The books' figures take the longest (a look-up for every book lent):
    // they are read beside the rest.
    YearStatistics books = stats;
    alongside([&books] { readBooks(books); },
              [&stats] {
                  readMonths(stats);
                  readReaders(stats);
                  readReturns(stats);
              });
    stats.titles = books.titles;
    stats.categories = books.categories;
    return stats;
}

}  // namespace YearStatisticsReader
