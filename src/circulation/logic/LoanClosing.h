#pragma once

#include <QString>
#include <QtGlobal>

// Closing a loan at the return: the return date, overdue days and fine go
// into exactly the loan row shown, and its book is marked available again,
// in one transaction. The values stored are the texts the desk showed, read
// back as a date, a whole number and a decimal number.
namespace LoanClosing {

enum class Outcome {
    Closed,
    NotOutstanding,  // the row is gone or was closed meanwhile; nothing written
    BadFigures,      // a text is not a date or number; nothing written
};

// Throws StoreError when the store refuses; nothing is left half written.
Outcome close(qint64 loanId, const QString& returnDateText, const QString& overdueText,
              const QString& fineText);

}  // namespace LoanClosing
