#include "circulation/logic/DeskStatements.h"

#include "core/logic/Sql.h"

namespace DeskStatements {

namespace {

// Two texts the same, as the open library's engine compares them.
QString same(const char* left, const char* right)
{
    return Sql::sameText(QString::fromUtf8(left), QString::fromUtf8(right));
}

// The outstanding loans of the reader bound as :reader.
QString borrowedFromWhere()
{
    return QStringLiteral(" from readerInfo,bookInfo,lentInfo,bookType  where ") + same("readerInfo.读者编号", "lentInfo.读者编号")
           + QStringLiteral(" and ") + same("bookInfo.书籍编号", "lentInfo.书籍编号") + QStringLiteral(" and  ")
           + same("lentInfo.读者编号", ":reader") + QStringLiteral(" and ") + same("bookType.类别代码", "bookInfo.类别代码")
           + QStringLiteral(" and lentInfo.还书日期 is null");
}

}  // namespace

QString bookLookup()
{
    return QStringLiteral(
               "SELECT bookInfo.书籍名称, bookInfo.书籍价格, bookInfo.出版社, bookInfo.书籍页码,"
               " bookInfo.是否借出, bookType.书籍类别 FROM bookInfo, bookType WHERE ")
           + same("bookInfo.书籍编号", ":book") + QStringLiteral(" AND ") + same("bookInfo.类别代码", "bookType.类别代码")
           + QStringLiteral(" LIMIT 1");
}

QString readerName()
{
    return QStringLiteral("SELECT 读者姓名 FROM readerInfo WHERE ") + same("读者编号", ":reader")
           + QStringLiteral(" LIMIT 1");
}

QString borrowedList()
{
    return QStringLiteral(
               "select lentInfo.读者编号 as 读者编号,readerInfo.读者姓名 as 读者姓名,lentInfo.书籍编号 as 书籍编号,"
               " bookInfo.书籍名称 as 书籍名称,bookType.书籍类别 as 书籍类别,bookInfo.书籍页码 as 书籍页码,"
               "bookInfo.出版社 as 出版社,lentInfo.借书日期 as 借书日期,"
               " lentInfo.还书日期 as 还书日期,lentInfo.超出天数 as 超出天数,lentInfo.罚款金额 as 罚款金额,"
               "lentInfo.rowid as 借阅行号")
           + borrowedFromWhere() + QStringLiteral(" order by lentInfo.rowid");
}

QString borrowedCount()
{
    return QStringLiteral("select count(*)") + borrowedFromWhere();
}

QString rules()
{
    return QStringLiteral("SELECT 借出册数, 罚款 FROM basicSet ORDER BY rowid LIMIT 1");
}

QString lendInsert()
{
    return QStringLiteral("INSERT INTO lentInfo (读者编号, 书籍编号, 借书日期) VALUES (:reader, :book, :date)");
}

QString lendMark()
{
    return QStringLiteral("UPDATE bookInfo SET 是否借出 = 1 WHERE ") + same("书籍编号", ":book");
}

QString loanLookup()
{
    return QStringLiteral(
               "select bookInfo.书籍价格, bookInfo.书籍名称,bookInfo.书籍页码,lentInfo.借书日期,"
               "bookType.书籍类别,bookType.借出天数,lentInfo.rowid"
               " from readerInfo,bookInfo,lentInfo,bookType where ")
           + same("readerInfo.读者编号", "lentInfo.读者编号") + QStringLiteral(" and ")
           + same("bookInfo.书籍编号", "lentInfo.书籍编号") + QStringLiteral(" and ") + same("bookInfo.书籍编号", ":book")
           + QStringLiteral(" and ") + same("bookInfo.类别代码", "bookType.类别代码")
           + QStringLiteral(" and lentInfo.还书日期 is null order by lentInfo.rowid limit 1");
}

QString closeBook()
{
    // The book of that very loan, whatever the book box says by now.
    return QStringLiteral("UPDATE bookInfo SET 是否借出 = 0 WHERE ")
           + same("书籍编号", "(SELECT 书籍编号 FROM lentInfo WHERE rowid = :loan AND 还书日期 IS NULL)");
}

QString closeLoan()
{
    return QStringLiteral(
        "UPDATE lentInfo SET 还书日期 = :returned, 超出天数 = :overdue, 罚款金额 = :fine"
        " WHERE rowid = :loan AND 还书日期 IS NULL");
}

QString renew()
{
    return QStringLiteral("UPDATE lentInfo SET 借书日期 = :date WHERE rowid = :loan AND 还书日期 IS NULL");
}

}  // namespace DeskStatements
