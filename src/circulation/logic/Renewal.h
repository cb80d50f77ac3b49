#pragma once

#include <QDate>
#include <QtGlobal>

// Renewing a loan: the loan's lend date becomes the new date, so its loan
// period runs again from there. Only the one loan row given is changed.
namespace Renewal {

enum class Outcome {
    Renewed,
    NotOutstanding,  // the row is gone or the book has come back meanwhile
};

// Sets 借书日期 of the outstanding loan with this lentInfo row id. Throws
// StoreError when the store refuses.
Outcome renew(qint64 loanId, const QDate& newLendDate);

}  // namespace Renewal
