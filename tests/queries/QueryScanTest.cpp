#include <gtest/gtest.h>

#include <QHash>
#include <QSqlQuery>

#include "QtPrinters.h"
#include "TempLibrary.h"
#include "core/logic/Database.h"
#include "queries/logic/QueryBuilder.h"
#include "queries/logic/QueryResultModel.h"

// Both queries compared with a plain scan written out in C++ over a small
// library whose texts hold quotes, percent signs, underscores and
// backslashes: whatever the clerk types, the rows found are exactly those the
// conditions describe. Texts compare as the store does, ignoring the case of
// Latin letters only.
namespace {

QString folded(const QString& text)
{
    QString result = text;
    for (QChar& c : result)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + 32);
    return result;
}

bool matches(const QString& column, const QString& typed, bool fuzzy)
{
    if (typed.isEmpty())
        return true;
    return fuzzy ? folded(column).contains(folded(typed)) : folded(column) == folded(typed);
}

const QStringList kTexts = {
    "O'Brien", "100%纯", "100X纯", "a_b", "a%b", "aXb", "AB", "back\\slash", "''", "%", "_", "张_三", "张三",
};
const QStringList kProbes = {
    "'", "%", "_", "\\", "a_b", "a%b", "100%", "O'B", "ab", "b", "''", "张_", "张",
    "x'; DROP TABLE bookInfo; --",
};

struct Book {
    QString number, title, category, publisher;
};
struct Loan {
    QString reader, book;
};

class QueryScan : public ::testing::Test {
protected:
    void SetUp() override
    {
        library.addCategory("A", "文学", 14);
        library.addCategory("%", "百分", 14);
        for (int i = 0; i < kTexts.size(); ++i) {
            // Numbers, titles and publishers each take the texts in another order.
            Book book{kTexts[i], kTexts[(i + 3) % kTexts.size()], i % 4 ? "A" : "%",
                      kTexts[(i + 7) % kTexts.size()]};
            if (i == 5)
                book.category = "_";  // a category that does not exist
            library.exec("INSERT INTO bookInfo (书籍编号, 书籍名称, 类别代码, 出版社, 登记日期, 是否借出)"
                         " VALUES (:n, :t, :c, :p, '2026-01-05', 0)",
                         {{"n", book.number}, {"t", book.title}, {"c", book.category}, {"p", book.publisher}});
            books << book;
            const QString reader = kTexts[(i + 5) % kTexts.size()];
            if (i != 2)  // one reader missing
                library.addReader(QString::number(i), reader);
            readerNames[QString::number(i)] = reader;
            loans << Loan{QString::number(i), book.number} << Loan{QString::number((i * 7) % kTexts.size()), book.number};
        }
        for (const Loan& loan : loans)
            library.addLoan(loan.reader, loan.book, "2026-03-01");
    }

    static QStringList found(const QueryStatement& statement, const QStringList& columns)
    {
        QueryResultModel model;
        model.run(statement);
        while (model.canFetchMore())
            model.fetchMore();
        QStringList rows;
        for (int row = 0; row < model.rowCount(); ++row) {
            QStringList cells;
            for (const QString& column : columns)
                cells << model.index(row, model.columnOf(column)).data().toString();
            rows << cells.join(QLatin1Char('|'));
        }
        rows.sort();
        return rows;
    }

    QStringList scannedBooks(const BookCriteria& c, bool fuzzy) const
    {
        QStringList rows;
        for (const Book& book : books)
            if (matches(book.number, c.bookId, fuzzy) && matches(book.title, c.bookName, fuzzy)
                && matches(book.category, c.categoryCode, fuzzy) && matches(book.publisher, c.publisher, fuzzy))
                rows << book.number;
        rows.sort();
        return rows;
    }

    QStringList scannedLoans(const LendCriteria& c, bool fuzzy) const
    {
        QStringList rows;
        for (const Loan& loan : loans) {
            const auto book = std::find_if(books.begin(), books.end(),
                                           [&](const Book& b) { return folded(b.number) == folded(loan.book); });
            const bool joined = loan.reader != "2" && book != books.end() && book->category != "_";
            if (joined && matches(loan.book, c.bookId, fuzzy) && matches(book->title, c.bookName, fuzzy)
                && matches(loan.reader, c.readerId, fuzzy) && matches(readerNames[loan.reader], c.readerName, fuzzy))
                rows << loan.reader + "|" + loan.book;
        }
        rows.sort();
        return rows;
    }

    TempLibrary library;
    QList<Book> books;
    QList<Loan> loans;
    QHash<QString, QString> readerNames;
};

TEST_F(QueryScan, BookQueryFindsExactlyWhatAScanFinds)
{
    int nonEmpty = 0;
    for (bool fuzzy : {false, true}) {
        for (const QString& probe : kProbes + kTexts) {
            for (int field = 0; field < 4; ++field) {
                BookCriteria c;
                QString* fields[] = {&c.bookId, &c.bookName, &c.categoryCode, &c.publisher};
                *fields[field] = field == 2 ? probe.left(1) : probe;
                SCOPED_TRACE(QString("%1 in field %2%3").arg(probe).arg(field).arg(fuzzy ? " fuzzy" : "").toStdString());
                const QStringList expected = scannedBooks(c, fuzzy);
                ASSERT_EQ(found(BuildBookQuery(c, fuzzy), {"书籍编号"}), expected);
                nonEmpty += !expected.isEmpty();
            }
        }
        // Two criteria at once.
        for (const QString& probe : kProbes) {
            const BookCriteria c{.bookName = probe, .publisher = probe.left(1)};
            ASSERT_EQ(found(BuildBookQuery(c, fuzzy), {"书籍编号"}), scannedBooks(c, fuzzy)) << probe.toStdString();
        }
    }
    EXPECT_GT(nonEmpty, 100);  // the probes do find things
    EXPECT_EQ(library.scalar("SELECT count(*) FROM bookInfo").toInt(), kTexts.size());
}

TEST_F(QueryScan, LendQueryFindsExactlyWhatAScanFinds)
{
    int nonEmpty = 0;
    for (bool fuzzy : {false, true}) {
        for (const QString& probe : kProbes + kTexts) {
            for (int field = 0; field < 4; ++field) {
                LendCriteria c;
                QString* fields[] = {&c.bookId, &c.bookName, &c.readerId, &c.readerName};
                *fields[field] = probe;
                SCOPED_TRACE(QString("%1 in field %2%3").arg(probe).arg(field).arg(fuzzy ? " fuzzy" : "").toStdString());
                const QStringList expected = scannedLoans(c, fuzzy);
                ASSERT_EQ(found(BuildLendQuery(c, fuzzy), {"读者编号", "书籍编号"}), expected);
                nonEmpty += !expected.isEmpty();
            }
        }
        for (const QString& probe : kProbes) {
            const LendCriteria c{.bookName = probe.left(1), .readerName = probe};
            ASSERT_EQ(found(BuildLendQuery(c, fuzzy), {"读者编号", "书籍编号"}), scannedLoans(c, fuzzy))
                << probe.toStdString();
        }
    }
    EXPECT_GT(nonEmpty, 60);
    EXPECT_EQ(found(BuildLendQuery({}, false), {"读者编号", "书籍编号"}), scannedLoans({}, false));
}

}  // namespace
