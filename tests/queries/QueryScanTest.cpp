#include <QHash>

#include "Probes.h"
#include "QtPrinters.h"
#include "TempLibrary.h"
#include "catalogue/logic/BookListModel.h"
#include "core/logic/KeyedResultModel.h"
#include "core/logic/SearchText.h"
#include "queries/logic/QueryBuilder.h"

// Both queries compared with a plain scan written out in C++ over a small
// library whose texts hold quotes, percent signs, underscores, backslashes,
// control characters and line breaks: whatever the clerk types, the rows found are exactly those the
// conditions describe. Texts compare as the store does, ignoring the case of
// Latin letters only.
namespace {

const QStringList kTexts = {
    "O'Brien", "100%纯", "100X纯", "a_b", "a%b", "aXb", "AB", "back\\slash", "''", "%", "_", "张_三", "张三",
    "红楼梦", "数据结构与算法", "Python编程", "C++程序设计", "中国历史（第2版）", "B0012", "Ëlan",
    // Pasted with control characters and line breaks.
    "a\tb\x01" "c\x1b" "d\x7f", "上\r\n下\n",
    // A text pasted at length, its words far from either end.
    QString(1501, QChar(0x53F2)) + "红楼梦" + QString(1600, QChar(0x4E66)) + "书终𠀀",
};
// Texts the search indexes must find in every position and length: one,
// two and four Chinese characters, Latin letters in either case, numbers,
// punctuation alone and with words.
const QStringList kProbes = {
    "'", "%", "_", "\\", "a_b", "a%b", "100%", "O'B", "ab", "b", "''", "张_", "张",
    "x'; DROP TABLE bookInfo; --", "红", "楼梦", "梦", "数据结构", "构与算", "python", "PYTHON编", "程序", "++",
    "C++", "（第", "（", "史（第2", "0012", "B00", "012", "ë", "Ë", "elan", "史红楼", "书终𠀀",
    "\t", "b\x01", "\x1b" "d\x7f", "\x7f", "\r\n", "上\r\n下", "\n",
};

// Each probe alone in each field (`shortField` takes its first character),
// then in two fields at once, exact and fuzzy: the query finds exactly the
// rows a scan finds. Returns how many single-field probes found some.
template <class Criteria, class Query, class Scan>
int compareWithScan(std::initializer_list<QString Criteria::*> fields, QString Criteria::*shortField,
            QString Criteria::*pairField, QString Criteria::*pairShortField, Query query, Scan scan)
{
    int nonEmpty = 0;
    for (bool fuzzy : {false, true}) {
        for (const QString& probe : kProbes + kTexts) {
            int field = 0;
            for (QString Criteria::*member : fields) {
                Criteria c;
                c.*member = member == shortField ? probe.left(1) : probe;
                SCOPED_TRACE(QString("%1 in field %2%3").arg(probe).arg(field++).arg(fuzzy ? " fuzzy" : "").toStdString());
                const QStringList expected = scan(c, fuzzy);
                EXPECT_EQ(query(c, fuzzy), expected);
                nonEmpty += !expected.isEmpty();
            }
        }
        for (const QString& probe : kProbes) {
            Criteria c;
            c.*pairField = probe;
            c.*pairShortField = probe.left(1);
            EXPECT_EQ(query(c, fuzzy), scan(c, fuzzy)) << probe.toStdString();
        }
    }
    return nonEmpty;
}

struct Book { QString number, title, category, publisher; };
struct Loan { QString reader, book; };

struct QueryScan : ::testing::Test {
    void SetUp() override
    {
        library.addCategory("A", "文学", 14);
        library.addCategory("%", "百分", 14);
        for (int i = 0; i < kTexts.size(); ++i) {
            // Numbers, titles and publishers each take the texts in another order.
            Book book{kTexts[i], kTexts[(i + 3) % kTexts.size()], i % 4 ? "A" : "%", kTexts[(i + 7) % kTexts.size()]};
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

    static QStringList found(const KeyedStatement& statement, const QStringList& columns)
    {
        KeyedResultModel model("查询");
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
            if (matchesCriterion(book.number, c.bookId, fuzzy) && matchesCriterion(book.title, c.bookName, fuzzy)
                && matchesCriterion(book.category, c.categoryCode, fuzzy) && matchesCriterion(book.publisher, c.publisher, fuzzy))
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
            if (joined && matchesCriterion(loan.book, c.bookId, fuzzy) && matchesCriterion(book->title, c.bookName, fuzzy)
                && matchesCriterion(loan.reader, c.readerId, fuzzy) && matchesCriterion(readerNames[loan.reader], c.readerName, fuzzy))
                rows << loan.reader + "|" + loan.book;
        }
        rows.sort();
        return rows;
    }

    int compareBooks()
    {
        return compareWithScan<BookCriteria>(
            {&BookCriteria::bookId, &BookCriteria::bookName, &BookCriteria::categoryCode, &BookCriteria::publisher},
            &BookCriteria::categoryCode, &BookCriteria::bookName, &BookCriteria::publisher,
            [](const BookCriteria& c, bool fuzzy) { return found(BuildBookQuery(c, fuzzy), {"书籍编号"}); },
            [this](const BookCriteria& c, bool fuzzy) { return scannedBooks(c, fuzzy); });
    }

    TempLibrary library;
    QList<Book> books;
    QList<Loan> loans;
    QHash<QString, QString> readerNames;
};

// Books changed, deleted and added leave old words in the search index;
// a library made before the index has none. All find what a scan finds.
TEST_F(QueryScan, BookQueryFindsWhatAScanFindsAfterChangesAndWithoutTheIndex)
{
    EXPECT_GT(compareBooks(), 100);  // the probes do find things
    library.exec("UPDATE bookInfo SET 书籍名称 = '三国演义', 出版社 = '中华书局' WHERE 书籍编号 = '红楼梦'");
    books[13].title = "三国演义";
    books[13].publisher = "中华书局";
    library.exec("DELETE FROM bookInfo WHERE rowid = (SELECT max(rowid) FROM bookInfo)");
    books.removeLast();
    // On a file the new book takes the deleted one's row id, and the old words with it.
    library.exec("INSERT INTO bookInfo (书籍编号, 书籍名称, 类别代码, 出版社) VALUES ('N1', '新书', 'A', '新社')");
    books << Book{"N1", "新书", "A", "新社"};
    if (!TempLibrary::onServer())
        ASSERT_EQ(library.scalar("SELECT count(*) FROM bookInfo WHERE 书籍编号 = 'N1' AND rowid = :r",
                                 {{"r", kTexts.size()}}).toInt(), 1);
    EXPECT_GT(compareBooks(), 100);
    if (TempLibrary::onServer()) {
        // The server's index lies on bookInfo itself: without it, every book is read.
        for (const char* index : {"bookInfo_书籍编号_words", "bookInfo_书籍名称_words", "bookInfo_出版社_words"})
            library.exec(QStringLiteral("DROP INDEX %1").arg(index));
        EXPECT_FALSE(SearchText::indexed());
        EXPECT_GT(compareBooks(), 100);
        return;
    }
    // An index of an earlier version, which held no marks as words.
    library.exec("DROP TABLE bookSearch");
    library.exec("CREATE VIRTUAL TABLE bookSearch USING fts5(number, title, publisher, numberPairs, titlePairs,"
                 " publisherPairs, content='', columnsize=0, tokenize='unicode61 remove_diacritics 0')");
    library.exec("UPDATE bookInfo SET 书籍名称 = 书籍名称");
    EXPECT_FALSE(SearchText::marksIndexed());
    EXPECT_GT(compareBooks(), 100);
    for (const char* statement : {"DROP TRIGGER bookInfo_search_insert", "DROP TRIGGER bookInfo_search_update",
                                  "DROP TABLE bookSearch"})
        library.exec(statement);
    EXPECT_GT(compareBooks(), 100);
}

TEST_F(QueryScan, LendQueryFindsExactlyWhatAScanFinds)
{
    EXPECT_GT(compareWithScan<LendCriteria>(
                  {&LendCriteria::bookId, &LendCriteria::bookName, &LendCriteria::readerId, &LendCriteria::readerName},
                  nullptr, &LendCriteria::readerName, &LendCriteria::bookName,
                  [](const LendCriteria& c, bool fuzzy) { return found(BuildLendQuery(c, fuzzy), {"读者编号", "书籍编号"}); },
                  [this](const LendCriteria& c, bool fuzzy) { return scannedLoans(c, fuzzy); }), 60);
    EXPECT_EQ(found(BuildLendQuery({}, false), {"读者编号", "书籍编号"}), scannedLoans({}, false));
}

// The first step of the store's plan for the statement as the grid runs it.
QString firstPlanStep(const KeyedStatement& statement)
{
    QSqlQuery plan(Database::connection());
    EXPECT_TRUE(plan.prepare("EXPLAIN QUERY PLAN " + KeyedText(statement)));
    for (int i = 0; i < statement.values.size(); ++i)
        plan.bindValue(i, statement.values[i]);
    EXPECT_TRUE(plan.exec());
    return plan.next() ? plan.value(3).toString() : QString();
}

// The first step of each search as the grid runs it. Left to itself the
// store starts a reader-name search from the five million loans (seconds at
// a large library); a name is found among the readers, a title or book number
// text in the search indexes, or among the books when it has no character the
// index holds. A category code found anywhere in the code is looked for among
// the codes the books have, then their books through the index, never by
// reading every book; a loan read again by its key starts from that loan.
TEST_F(QueryScan, EachSearchStartsFromTheSideItsCriteriaName)
{
    if (TempLibrary::onServer())
        GTEST_SKIP() << "the plan of a file's engine; the server's is measured by the benchmark at size";
    const QString category = "SEARCH bookInfo USING INDEX bookInfo_类别代码";
    const struct { const char* what; KeyedStatement statement; QString first; } cases[] = {
        {"category", BuildBookQuery({.categoryCode = "a"}, true), category},
        {"category of a mark", BuildBookQuery({.categoryCode = "%"}, true), category},
        {"reader name", BuildLendQuery({.readerName = "张三"}, false), "SEARCH readerInfo"},
        {"reader name fuzzy", BuildLendQuery({.readerName = "张"}, true), "SCAN readerInfo"},
        {"reader name and title fuzzy", BuildLendQuery({.bookName = "红", .readerName = "张"}, true), "SCAN readerInfo"},
        {"title fuzzy", BuildLendQuery({.bookName = "红"}, true), "SCAN bookSearch"},
        {"book number fuzzy", BuildLendQuery({.bookId = "B00"}, true), "SCAN bookSearch"},
        {"reader number fuzzy", BuildLendQuery({.readerId = "1"}, true), "SCAN readerInfo"},
        {"title of marks only", BuildLendQuery({.bookName = "（！"}, true), "SCAN bookSearch"},
        {"title of blanks only", BuildLendQuery({.bookName = "　"}, true), "SCAN bookInfo"},
        {"book number of blanks only", BuildLendQuery({.bookId = " "}, true), "SCAN bookInfo"},
        {"a loan by its key", {BuildLendQuery({}, false).rowByKey, {1}, "lentInfo.rowid"},
         "SEARCH lentInfo USING INTEGER PRIMARY KEY"},
    };
    for (const auto& c : cases) {
        const QString step = firstPlanStep(c.statement);
        EXPECT_TRUE(step.startsWith(c.first)) << c.what << ": " << step.toStdString();
    }
}

// The cell as the grid shows it, from the plain statement's value: the few
// dates and flags the library below holds, in the short form and in words.
QString shown(const QString& column, const QVariant& value)
{
    static const QHash<QString, QString> kShown = {
        {"2026-01-05", "2026/1/5"}, {"2026-12-31", "2026/12/31"}, {"2026-03-01", "2026/3/1"},
        {"2026-03-05", "2026/3/5"}, {"0", "否"}, {"1", "是"}};
    if (!value.isNull() && (column.endsWith("日期") || column == "是否借出"))
        return kShown.value(value.toString(), "(not in the library)");
    return value.toString();
}

// The column names, then every row of the plain statement as the grid shows
// it, read all at once.
QList<QStringList> plainRows(const KeyedStatement& statement)
{
    QSqlQuery query;
    EXPECT_TRUE(query.prepare(statement.text));
    for (const QVariant& value : statement.values)
        query.addBindValue(value);
    EXPECT_TRUE(query.exec());
    QList<QStringList> rows = {{}};
    for (int c = 0; c < query.record().count(); ++c)
        rows[0] << query.record().fieldName(c);
    while (query.next()) {
        QStringList cells;
        for (int c = 0; c < query.record().count(); ++c)
            cells << shown(query.record().fieldName(c), query.value(c));
        rows << cells;
    }
    return rows;
}

QStringList modelRow(const KeyedResultModel& model, int row)
{
    QStringList cells;
    for (int c = 0; c < model.columnCount(); ++c)
        cells << model.index(row, c).data().toString();
    return cells;
}

// More rows than the model keeps pages of, so that scrolling back reads rows again by key.
TEST(KeyedResultModel, ShowsThePlainStatementsRowsScrolledToTheEndAndBack)
{
    TempLibrary library;
    library.addCategory("A", "文学", 14);
    const int books = KeyedResultModel::kPageRows * (KeyedResultModel::kPagesKept + 2) + 17;
    library.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1)"
                                " INSERT INTO bookInfo (书籍编号, 书籍名称, 出版社, 类别代码, 登记日期, 是否借出)"
                                " SELECT 'B' || substr(CAST(100000 + i AS text), 2), '书' || i, '出版社' || (i % 7), 'A',"
                                " CASE WHEN i % 5 = 0 THEN NULL WHEN i % 3 <> 0 THEN '2026-01-05' ELSE '2026-12-31' END,"
                                " i % 2 FROM n").arg(books));
    library.addReader("001", "张三");
    library.exec("INSERT INTO lentInfo (读者编号, 书籍编号, 借书日期, 还书日期, 超出天数, 罚款金额)"
                 " SELECT '001', 书籍编号, '2026-03-01', CASE WHEN rowid % 3 <> 0 THEN '2026-03-05' END, rowid % 4,"
                 " 0.5 * (rowid % 4) FROM bookInfo ORDER BY rowid");
    const struct { const char* name; KeyedStatement statement; } cases[] = {
        {"every book", BuildBookQuery({}, false)}, {"title found by the index", BuildBookQuery({.bookName = "书1"}, true)},
        {"publisher scanned", BuildBookQuery({.publisher = "出版社3"}, true)}, {"every loan", BuildLendQuery({}, false)},
        {"loans by reader name", BuildLendQuery({.readerName = "张"}, true)},
        {"the book list of 书库管理", BookListModel::statement()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QList<QStringList> expected = plainRows(c.statement);
        const QStringList names = expected.takeFirst();
        KeyedResultModel model("查询");
        model.run(c.statement);
        EXPECT_EQ(model.rowCount(), std::min<int>(expected.size(), KeyedResultModel::kPageRows));
        for (int row = 0; row < expected.size(); ++row) {
            while (row >= model.rowCount() && model.canFetchMore())
                model.fetchMore();
            ASSERT_EQ(modelRow(model, row), expected[row]) << "forwards, row " << row;
        }
        EXPECT_FALSE(model.canFetchMore());
        EXPECT_EQ(model.rowCount(), expected.size());
        for (int row = int(expected.size()) - 1; row >= 0; row -= 97)
            ASSERT_EQ(modelRow(model, row), expected[row]) << "backwards, row " << row;
        QStringList headings;
        for (int column = 0; column < model.columnCount(); ++column)
            headings << model.headerData(column, Qt::Horizontal).toString();
        EXPECT_EQ(headings, names);
    }
}

}  // namespace
