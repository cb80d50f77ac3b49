#pragma once

#include <QDate>
#include <QString>

// Lending one book to one reader: appends the loan and marks the book lent,
// in one transaction, after checking the reader, the reader's quota at this
// moment and the book. A refusal writes nothing.
namespace Lending {

enum class Outcome {
    Lent,
    NoReaderNumber,  // "请先输入读者编号!"
    UnknownReader,   // "没有该读者信息!"
    QuotaReached,    // "您的书已经借满,不能再借!"
    NoBookNumber,    // "请先输入书籍编号"
    UnknownBook,     // "没有该书信息!"
    AlreadyLent,     // "该书已经借出,请选择其它图书!"
};

// The message the desk shows for an outcome.
QString message(Outcome outcome);

// Lends the book to the reader on lendDate (numbers as typed). Throws
// StoreError when the store refuses; nothing is left half written.
Outcome lend(const QString& readerNumber, const QString& bookNumber, const QDate& lendDate);

}  // namespace Lending
