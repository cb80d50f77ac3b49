#include "reports/logic/LoanSlip.h"

#include "circulation/logic/BorrowedList.h"
#include "core/logic/Sql.h"

namespace {
const QString kAction = QStringLiteral("读取借书凭条");
}  // namespace

LoanSlip LoanSlip::read(const QString& readerNumber, const QString& bookNumber, const QDate& lendDate)
{
    LoanSlip slip{readerNumber, {}, bookNumber, {}, lendDate, std::nullopt, std::nullopt};
    QSqlQuery reader = Sql::run(QStringLiteral("SELECT 读者姓名 FROM readerInfo WHERE ")
                                    + Sql::sameText(QStringLiteral("读者编号"), QStringLiteral(":reader")),
                                {{QStringLiteral("reader"), readerNumber}}, kAction);
    if (reader.next())
        slip.readerName = reader.value(0).toString();
    QSqlQuery book = Sql::run(QStringLiteral("SELECT bookInfo.书籍名称, bookType.借出天数 FROM bookInfo"
                                             " LEFT JOIN bookType ON ")
                                  + Sql::sameText(QStringLiteral("bookType.类别代码"), QStringLiteral("bookInfo.类别代码"))
                                  + QStringLiteral(" WHERE ")
                                  + Sql::sameText(QStringLiteral("bookInfo.书籍编号"), QStringLiteral(":book")),
                              {{QStringLiteral("book"), bookNumber}}, kAction);
    if (book.next()) {
        slip.title = book.value(0).toString();
        if (!book.value(1).isNull())
            slip.dueDate = lendDate.addDays(book.value(1).toLongLong());
    }
    // As the desk's 还允许借出册数 reads after the loan.
    const BorrowedList::Summary summary = BorrowedList::summary(readerNumber);
    if (summary.remaining)
        slip.booksAllowed = *summary.remaining;
    return slip;
}
