#include "circulation/logic/Lending.h"

#include "circulation/logic/BookLookup.h"
#include "circulation/logic/BorrowedList.h"
#include "circulation/logic/DeskStatements.h"
#include "circulation/logic/ReaderLookup.h"
#include "core/logic/Sql.h"
#include "core/logic/Transaction.h"

namespace Lending {

namespace {

const QString kAction = QStringLiteral("借出图书");

// What stands in the way of this loan, read inside the lending transaction.
std::optional<Outcome> refusal(const QString& readerNumber, const QString& bookNumber)
{
    if (!ReaderLookup::findName(readerNumber))
        return Outcome::UnknownReader;
    const BorrowedList::Summary held = BorrowedList::summary(readerNumber);
    if (held.remaining && *held.remaining <= 0)
        return Outcome::QuotaReached;
    if (bookNumber.isEmpty())
        return Outcome::NoBookNumber;
    const std::optional<BookOnDesk> book = BookLookup::find(bookNumber);
    if (!book)
        return Outcome::UnknownBook;
    if (book->lent)
        return Outcome::AlreadyLent;
    return std::nullopt;
}

}  // namespace

QString message(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Lent: return QStringLiteral("借出完毕!");
    case Outcome::NoReaderNumber: return QStringLiteral("请先输入读者编号!");
    case Outcome::UnknownReader: return QStringLiteral("没有该读者信息!");
    case Outcome::QuotaReached: return QStringLiteral("您的书已经借满,不能再借!");
    case Outcome::NoBookNumber: return QStringLiteral("请先输入书籍编号");
    case Outcome::UnknownBook: return QStringLiteral("没有该书信息!");
    case Outcome::AlreadyLent: return QStringLiteral("该书已经借出,请选择其它图书!");
    }
    return QString();
}

Outcome lend(const QString& readerNumber, const QString& bookNumber, const QDate& lendDate)
{
    if (readerNumber.isEmpty())
        return Outcome::NoReaderNumber;
    Transaction transaction(kAction);
    if (const std::optional<Outcome> refused = refusal(readerNumber, bookNumber))
        return *refused;
    Sql::changeKept(DeskStatements::lendInsert(),
             {{QStringLiteral("reader"), readerNumber},
              {QStringLiteral("book"), bookNumber},
              {QStringLiteral("date"), Sql::dateValue(lendDate)}},
             kAction);
    Sql::changeKept(DeskStatements::lendMark(),
             {{QStringLiteral("book"), bookNumber}}, kAction);
    transaction.commit();
    return Outcome::Lent;
}

}  // namespace Lending
