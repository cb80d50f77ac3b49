#include <gtest/gtest.h>

#include <QHeaderView>
#include <QSqlQuery>

#include "Probes.h"
#include "QtPrinters.h"
#include "TempLibrary.h"
#include "catalogue/logic/BookListModel.h"
#include "catalogue/logic/Books.h"
#include "catalogue/logic/Categories.h"
#include "catalogue/logic/Publishers.h"
#include "core/logic/Database.h"
#include "core/logic/OffThreadWork.h"
#include "core/logic/StoreError.h"

namespace {

using Categories::Outcome;

class Catalogue : public ::testing::Test {
protected:
    // Every row of a table as "a|b|c", in table order, rows joined by ",".
    static QString rows(const QString& table, const QString& columns)
    {
        return storeRows(QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid").arg(columns, table));
    }
    QString categories() { return rows("bookType", "类别代码, 书籍类别, 借出天数"); }
    QString publishers() { return rows("bookconcernList", "出版社"); }
    QString books() { return rows("bookInfo", "书籍编号, 书籍名称, 类别代码, 是否借出"); }

    static Books::BookDetails book(const QString& number, const QString& publisher = "人民文学出版社")
    {
        return {number, "红楼梦", "A", publisher, "曹雪芹", "25.5", "320", QDate(2026, 3, 1)};
    }

    TempLibrary library;
};

TEST(CategoryCode, IsTheItemsFirstCharacter)
{
    const struct { const char* item; const char* code; } cases[] = {
        {"A-文学", "A"}, {"AB-长代码", "A"}, {"", ""}, {"-无代码", "-"}, {"文-文学", "文"},
        {"\xF0\xA0\x80\x80-扩展", "\xF0\xA0\x80\x80"},  // one character in two UTF-16 units
    };
    for (const auto& c : cases)
        EXPECT_EQ(Categories::CategoryCodeOf(QString::fromUtf8(c.item)), QString::fromUtf8(c.code)) << c.item;
}

// Loan days are a 16-bit whole number, halves to the even neighbour; a text
// that is no such number is refused with nothing written.
TEST_F(Catalogue, LoanDaysAreRoundedHalfToEvenOrRefused)
{
    const struct { const char* typed; QVariant stored; } cases[] = {
        {"15", 15},         {"7.5", 8},         {"6.5", 6},        {" 30 ", 30},  {"0.5", 0},
        {"-2.5", -2},       {"32767", 32767},   {"-32768", -32768},
        {"", {}},           {"abc", {}},        {"7天", {}},       {"32768", {}}, {"-32769", {}},
        {"32767.5", {}},
    };
    int code = 0;
    for (const auto& c : cases) {
        const QString letter(QChar('A' + code++));
        const Outcome added = Categories::AddCategory(letter, "类", QString::fromUtf8(c.typed));
        EXPECT_EQ(added, c.stored.isValid() ? Outcome::Saved : Outcome::BadLoanDays) << c.typed;
        EXPECT_EQ(library.scalar("SELECT 借出天数 FROM bookType WHERE 类别代码 = :c", {{"c", letter}}), c.stored)
            << c.typed;
    }
    library.addCategory("Z", "其他", 10);
    EXPECT_EQ(Categories::UpdateCategory("Z", "改名", "abc"), Outcome::BadLoanDays);
    EXPECT_EQ(Categories::UpdateCategory("Z", "改名", "9.5"), Outcome::Saved);
    EXPECT_EQ(library.scalar("SELECT 书籍类别 || 借出天数 FROM bookType WHERE 类别代码 = 'Z'"), "改名10");
}

TEST_F(Catalogue, CategoryRefusalsWriteNothingAndSayWhy)
{
    library.addCategory("A", "文学", 14);
    const struct { Outcome outcome; const char* code; const char* message; } cases[] = {
        // The other refusals of an added category: CatalogueWindows.CategoryRefusalsAndDelete.
        {Categories::AddCategory("a", "大小写", "7"), "a", "类别代码为a的类别已经存在,请换一个类别代码!"},
        {Categories::UpdateCategory("Q", "无此类", "7"), "Q", "类别代码为Q的类别已不存在!"},
        {Categories::DeleteCategory("Q"), "Q", "类别代码为Q的类别已不存在!"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Categories::message(c.outcome, c.code), QString::fromUtf8(c.message));
    EXPECT_EQ(categories(), "A|文学|14");
}

// Change and delete touch the first row with the code only; books of a
// deleted category keep their code and leave the book list.
TEST_F(Catalogue, ChangeAndDeleteTouchOnlyTheirCategory)
{
    library.addCategory("A", "文学", 14);
    library.addCategory("B", "历史", 30);
    library.addCategory("C", "科技", 7);
    library.addBook("B001", "史记", "B");
    EXPECT_EQ(Categories::UpdateCategory("B", "史地", "21"), Outcome::Saved);
    EXPECT_EQ(Categories::DeleteCategory("C"), Outcome::Deleted);
    EXPECT_EQ(categories(), "A|文学|14,B|史地|21");
    EXPECT_EQ(Categories::DeleteCategory("B"), Outcome::Deleted);
    EXPECT_EQ(books(), "B001|史记|B|0");
    BookListModel list;
    list.load();
    EXPECT_EQ(list.rowCount(), 0);
}

// Items in table order; a code is found as the books' join finds it (A-Z
// either case), and only its own category, whatever the names.
TEST_F(Catalogue, CategoryItemsAndACategoryByItsCode)
{
    EXPECT_EQ(Categories::LoadCategoryItems(), QStringList());
    library.addCategory("T", "文学", 14);
    library.addCategory("B", "历史", 30);
    library.addCategory("A", "文学", 7);
    EXPECT_EQ(Categories::LoadCategoryItems(), QStringList({"T-文学", "B-历史", "A-文学"}));
    const std::optional<Categories::Category> a = Categories::find("a");
    ASSERT_TRUE(a);
    EXPECT_EQ(Categories::itemOf(*a), "A-文学");
    EXPECT_EQ(a->loanDays.toInt(), 7);
    EXPECT_FALSE(Categories::find("Z"));
    EXPECT_FALSE(Categories::find(""));
}

// The publisher is remembered trimmed and once (the book row keeps it as
// typed: CatalogueWindows.NewBookKeepsTypedSpacesRefusesItsNumberTwiceAndClears).
TEST_F(Catalogue, PublishersAreRememberedTrimmedAndOnce)
{
    const struct { const char* typed; const char* listAfter; } steps[] = {
        {"  中华书局  ", "中华书局"},
        {"中华书局", "中华书局"},
        {"中华书局 ", "中华书局"},
        {"Oxford Press", "中华书局,Oxford Press"},
        {"oxford press", "中华书局,Oxford Press"},
        {"   ", "中华书局,Oxford Press"},
        {"", "中华书局,Oxford Press"},
        {"O'Reilly", "中华书局,Oxford Press,O'Reilly"},
    };
    for (const auto& step : steps) {
        Publishers::RememberPublisher(QString::fromUtf8(step.typed));
        EXPECT_EQ(publishers(), QString::fromUtf8(step.listAfter)) << step.typed;
    }
}

// Whatever the clerk types is matched as itself: quotes, wildcards and the
// escape character too; blanks around the text do not count.
TEST_F(Catalogue, SuggestionsContainTheTypedTextLiterally)
{
    for (const char* name : {"人民文学出版社", "人民出版社", "100%出版", "A_B Press", "AxB Press",
                             "O'Reilly", "C:\\书局", "中华书局"})
        Publishers::RememberPublisher(QString::fromUtf8(name));
    const struct { const char* typed; const char* found; } cases[] = {
        {"出版", "人民文学出版社,人民出版社,100%出版"},
        {"  人民  ", "人民文学出版社,人民出版社"},
        {"%", "100%出版"},
        {"_", "A_B Press"},
        {"a_b", "A_B Press"},
        {"'", "O'Reilly"},
        {"\\", "C:\\书局"},
        {"press", "A_B Press,AxB Press"},
        {"商务", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Publishers::SuggestPublishers(QString::fromUtf8(c.typed)).join(','), QString::fromUtf8(c.found))
            << c.typed;
}

TEST_F(Catalogue, RegisteredBookIsWrittenAsTypedAndNotLent)
{
    library.addCategory("A", "文学", 14);
    Books::BookDetails typed{" B001 ", "红楼梦 ", "A", "不详", "不详", "25.5", "不详", QDate(2026, 3, 1)};
    ASSERT_EQ(Books::saveNewBook(typed), Books::Outcome::Done);
    EXPECT_EQ(rows("bookInfo", "书籍编号, 书籍名称, 类别代码, 出版社, 作者姓名, 书籍价格, 书籍页码, 登记日期, 是否借出"),
              " B001 |红楼梦 |A|不详|不详|25.5|不详|2026-03-01|0");
    EXPECT_EQ(publishers(), "不详");
}

// A number already in the catalogue, and a store refusal half way through a
// save, leave the book and the publisher list as they were.
TEST_F(Catalogue, RefusedSavesWriteNothing)
{
    library.addCategory("A", "文学", 14);
    library.addBook("B001", "边城", "A", true);
    EXPECT_EQ(Books::saveNewBook(book("b001", "新出版社")), Books::Outcome::DuplicateNumber);
    EXPECT_EQ(Books::refusal(Books::Outcome::DuplicateNumber, "b001"), "编号为b001的书籍已经存在,请换一个书籍编号!");
    EXPECT_EQ(Books::saveChanges("B404", book("B404", "新出版社")), Books::Outcome::NoSuchBook);
    EXPECT_EQ(Books::refusal(Books::Outcome::NoSuchBook, "B404"), "编号为B404的书籍已不存在!");

    library.refuse("bookconcernList", "INSERT");
    EXPECT_THROW(Books::saveNewBook(book("B002", "新出版社")), StoreError);
    EXPECT_THROW(Books::saveChanges("B001", book("B001", "新出版社")), StoreError);
    EXPECT_EQ(rows("bookInfo", "书籍编号, 书籍名称, 出版社, 是否借出"), "B001|边城|人民文学出版社|1");
    EXPECT_EQ(publishers(), "");
}

// Delete-all is one transaction: a failure part way, after the list was told
// of a batch, leaves every book. The indexes it sets aside while deleting are
// there again afterwards, either way.
TEST_F(Catalogue, DeleteAllFailingPartWayLeavesEveryBook)
{
    library.addCategory("A", "文学", 14);
    for (int i = 1; i <= 5; ++i)
        library.addBook(QStringLiteral("B%1").arg(i), "书", "A");
    const QString before = library.indexesOf("bookInfo");
    EXPECT_TRUE(before.contains("bookInfo_书籍名称", Qt::CaseInsensitive)) << before.toStdString();
    library.refuse("bookInfo", "DELETE", "old.书籍编号 = 'B4'");
    QStringList seen;
    EXPECT_THROW(Books::DeleteAllBooks([&](int done) { seen << QString::number(done); }, 2), StoreError);
    EXPECT_EQ(seen.join(' '), "2");
    EXPECT_EQ(Books::count(), 5);
    EXPECT_EQ(library.indexesOf("bookInfo"), before);
    library.allow("bookInfo");
    {
        // A grid part way through the books: the indexes stay put, the books go all the same.
        QSqlQuery reading(Database::connection());
        ASSERT_TRUE(reading.exec("SELECT * FROM bookInfo") && reading.next());
        EXPECT_EQ(Books::DeleteAllBooks({}, 2), 5);
        EXPECT_EQ(Books::count(), 0);
        EXPECT_EQ(library.indexesOf("bookInfo"), before);
    }
    for (int i = 1; i <= 5; ++i)
        library.addBook(QStringLiteral("B%1").arg(i), "书", "A");
    {
        // As the book window runs it: off the windows' thread, over a connection
        // of its own, while a grid on the shared one is part way through the books.
        library.exec("DELETE FROM bookInfo WHERE 书籍编号 = 'B2'");  // a gap in the rowids
        QSqlQuery reading(Database::connection());
        ASSERT_TRUE(reading.exec("SELECT * FROM bookInfo") && reading.next());
        OffThreadWork work;
        QStringList reports;
        QObject::connect(&work, &OffThreadWork::progressed, [&](int done) { reports << QString::number(done); });
        work.run("删除所有书籍", [](const OffThreadWork::Report& report) { Books::DeleteAllBooks(report, 2); });
        EXPECT_EQ(reports.join(' '), "2 4");
        if (!TempLibrary::onServer())  // the server's driver has read the grid's rows whole
            EXPECT_EQ(Books::count(), 4) << "the grid's reading still sees the books it started with";
    }
    EXPECT_EQ(Books::count(), 0);
    EXPECT_EQ(library.indexesOf("bookInfo"), before);
}

// The list: books with a category only, in registration order, the category
// by name, dates short, the lent flag in words.
TEST_F(Catalogue, BookListShowsNineColumnsOfBooksWithACategory)
{
    library.addCategory("A", "文学", 14);
    library.addBook("B002", "围城", "A", true);
    library.addBook("B009", "无类之书", "X");
    library.addBook("B001", "边城", "A");
    library.exec("UPDATE bookInfo SET 登记日期 = NULL WHERE 书籍编号 = 'B001'");
    BookListModel list;
    list.load();
    QStringList headers;
    for (int column = 0; column < list.columnCount(); ++column)
        headers << list.headerData(column, Qt::Horizontal).toString();
    EXPECT_EQ(headers.join(' '), "书籍编号 书籍名称 书籍类别 出版社 作者姓名 书籍价格 书籍页码 登记日期 是否借出");
    QStringList shown;
    for (int row = 0; row < list.rowCount(); ++row) {
        const BookListRow r = *list.rowAt(row);
        shown << QStringList{r.number, r.title, r.category, r.publisher, r.author, r.price, r.pages,
                             r.registered, r.lent}.join('|');
    }
    EXPECT_EQ(shown.join('\n'), "B002|围城|文学|人民文学出版社|不详|25.00|320|2026/1/5|是\n"
                                "B001|边城|文学|人民文学出版社|不详|25.00|320||否");
    EXPECT_FALSE(list.rowAt(2));
    EXPECT_FALSE(list.rowAt(-1));
}

}  // namespace
