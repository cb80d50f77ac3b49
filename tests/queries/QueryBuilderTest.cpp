#include <gtest/gtest.h>

#include "QtPrinters.h"
#include "queries/logic/QueryBuilder.h"

namespace {

// A statement as it would read with its values written in: each "?" of the
// text replaced by the next value in single quotes. Only for reading tests.
QString spliced(const KeyedStatement& statement)
{
    QString result;
    int next = 0;
    for (const QChar c : statement.text) {
        if (c == QLatin1Char('?') && next < statement.values.size())
            result += QLatin1Char('\'') + statement.values[next++].toString() + QLatin1Char('\'');
        else
            result += c;
    }
    return next == statement.values.size() ? result : result + " (values left over)";
}

const QString kLendBase = QStringLiteral(
    "select lentInfo.读者编号,readerInfo.读者姓名,lentInfo.书籍编号,"
    " bookInfo.书籍名称,bookType.书籍类别,bookInfo.出版社,bookInfo.书籍页码,lentInfo.借书日期,"
    " lentInfo.还书日期,lentInfo.超出天数,lentInfo.罚款金额 from readerInfo,bookInfo,lentInfo,bookType "
    " where readerInfo.读者编号=lentInfo.读者编号 and bookInfo.书籍编号=lentInfo.书籍编号 "
    " and bookType.类别代码=bookInfo.类别代码 ");

const QDate kDay(2026, 3, 20);

struct BookCase {
    const char* name;
    BookCriteria criteria;
    bool fuzzy;
    QString statement;  // spliced
};

TEST(BuildBookQuery, ConditionsInOrderWithTheirValuesBound)
{
    const BookCase cases[] = {
        {"nothing", {}, false, "select * from bookInfo"},
        {"nothing fuzzy", {}, true, "select * from bookInfo"},
        {"only the date", {.registered = kDay}, false, "select * from bookInfo where 登记日期='2026-03-20'"},
        {"only the date, fuzzy: the same day", {.registered = kDay}, true,
         "select * from bookInfo where 登记日期='2026-03-20'"},
        {"number exact", {.bookId = "0012"}, false, "select * from bookInfo where 书籍编号='0012'"},
        {"number fuzzy", {.bookId = "0012"}, true,
         "select * from bookInfo where 书籍编号 like '%0012%' escape '\\'"},
        {"category", {.categoryCode = "B"}, false, "select * from bookInfo where 类别代码='B'"},
        {"title and category fuzzy", {.bookName = "红楼梦", .categoryCode = "A"}, true,
         "select * from bookInfo where 书籍名称 like '%红楼梦%' escape '\\' and 类别代码 in (with recursive"
         " codes(code) as (select min(类别代码) from bookInfo union all select (select min(类别代码) from bookInfo"
         " where 类别代码 > code) from codes where code is not null) select code from codes where code like '%A%'"
         " escape '\\')"},
        {"all five in order",
         {.bookId = "B1", .bookName = "史记", .categoryCode = "B", .publisher = "中华书局", .registered = kDay},
         false,
         "select * from bookInfo where 书籍编号='B1' and 书籍名称='史记' and 类别代码='B' and 出版社='中华书局'"
         " and 登记日期='2026-03-20'"},
        {"blanks are kept", {.bookName = " 围城 "}, false, "select * from bookInfo where 书籍名称=' 围城 '"},
        {"quote exact", {.publisher = "O'Reilly"}, false, "select * from bookInfo where 出版社='O'Reilly'"},
        {"wildcards typed are escaped", {.bookName = "50%_off\\"}, true,
         "select * from bookInfo where 书籍名称 like '%50\\%\\_off\\\\%' escape '\\'"},
    };
    for (const BookCase& c : cases) {
        SCOPED_TRACE(c.name);
        const KeyedStatement statement = BuildBookQuery(c.criteria, c.fuzzy);
        EXPECT_EQ(spliced(statement), c.statement);
        // Every value bound: the only quotes in the text are the escape character's.
        EXPECT_EQ(statement.text.count('?'), statement.values.size());
        EXPECT_EQ(statement.text.count('\''), 2 * statement.text.count("escape '\\'"));
    }
}

struct LendCase {
    const char* name;
    LendCriteria criteria;
    bool fuzzy;
    QString conditions;  // spliced, after the base text
    // Loans found from the readers: the tables in that order, the rest as in the base text.
    bool fromReaders = false;
};

TEST(BuildLendQuery, BaseTextThenConditionsInOrder)
{
    const LendCase cases[] = {
        {"nothing", {}, false, ""},
        {"nothing fuzzy", {}, true, ""},
        {"reader number", {.readerId = "001"}, false, " and lentInfo.读者编号='001'"},
        {"reader name fuzzy", {.readerName = "张"}, true, " and readerInfo.读者姓名 like '%张%' escape '\\'", true},
        {"book number before reader name", {.bookId = "B004", .readerName = "李四"}, false,
         " and lentInfo.书籍编号='B004' and readerInfo.读者姓名='李四'", true},
        {"all four in order", {.bookId = "B4", .bookName = "边城", .readerId = "002", .readerName = "李四"}, true,
         " and lentInfo.书籍编号 like '%B4%' escape '\\' and bookInfo.书籍名称 like '%边城%' escape '\\'"
         " and lentInfo.读者编号 like '%002%' escape '\\' and readerInfo.读者姓名 like '%李四%' escape '\\'", true},
        {"typed quote", {.readerName = "O'Hara"}, false, " and readerInfo.读者姓名='O'Hara'", true},
        {"reader number fuzzy", {.readerId = "00"}, true,
         " and lentInfo.读者编号 like '%00%' escape '\\' and readerInfo.读者编号 like '%00%' escape '\\'", true},
    };
    for (const LendCase& c : cases) {
        SCOPED_TRACE(c.name);
        QString base = kLendBase;
        if (c.fromReaders)
            base.replace("from readerInfo,bookInfo,lentInfo,bookType ",
                         "from readerInfo cross join lentInfo cross join bookInfo cross join bookType ");
        EXPECT_EQ(spliced(BuildLendQuery(c.criteria, c.fuzzy)), base + c.conditions);
    }
}

}  // namespace
