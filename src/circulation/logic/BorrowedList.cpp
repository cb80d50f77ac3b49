#include "circulation/logic/BorrowedList.h"

#include <QSqlError>

#include "circulation/logic/DeskRules.h"
#include "core/logic/Conversions.h"
#include "core/logic/Database.h"
#include "core/logic/Sql.h"
#include "core/logic/StoreError.h"

namespace BorrowedList {

namespace {

const QString kAction = QStringLiteral("读取已借图书");

// The outstanding loans of the reader bound as :reader.
const QString kFromWhere = QStringLiteral(
    " from readerInfo,bookInfo,lentInfo,bookType "
    " where readerInfo.读者编号=lentInfo.读者编号 and bookInfo.书籍编号=lentInfo.书籍编号 and "
    " lentInfo.读者编号=:reader and bookType.类别代码=bookInfo.类别代码 and lentInfo.还书日期 is null");

const QString kListStatement =
    QStringLiteral(
        "select lentInfo.读者编号 as 读者编号,readerInfo.读者姓名 as 读者姓名,lentInfo.书籍编号 as 书籍编号,"
        " bookInfo.书籍名称 as 书籍名称,bookType.书籍类别 as 书籍类别,bookInfo.出版社 as 出版社,"
        "bookInfo.书籍页码 as 书籍页码,lentInfo.借书日期 as 借书日期,"
        " lentInfo.还书日期 as 还书日期,lentInfo.超出天数 as 超出天数,lentInfo.罚款金额 as 罚款金额,"
        "lentInfo.rowid as 借阅行号")
    + kFromWhere + QStringLiteral(" order by lentInfo.rowid");

const QString kCountStatement = QStringLiteral("select count(*)") + kFromWhere;

}  // namespace

QSqlQuery query(const QString& readerNumber)
{
    QSqlQuery query(Database::connection());
    if (!query.prepare(kListStatement))
        throw StoreError(kAction, query.lastError());
    query.bindValue(QStringLiteral(":reader"), readerNumber);
    if (!query.exec())
        throw StoreError(kAction, query.lastError());
    return query;
}

Summary summary(const QString& readerNumber)
{
    Summary result;
    result.count = Sql::withKept(kCountStatement, {{QStringLiteral("reader"), readerNumber}}, kAction,
                                 [](QSqlQuery& count) { return count.next() ? count.value(0).toInt() : 0; });
    const DeskRules rules = DeskRules::read(kAction);
    if (!rules.quota.isNull())
        result.remaining = Conversions::toInteger16(rules.quota.toDouble() - result.count);
    return result;
}

}  // namespace BorrowedList
