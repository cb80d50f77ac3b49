#pragma once

#include <QDate>
#include <QString>
#include <QtGlobal>

// The return desk's look-up: a book's outstanding loan with the days it has
// been out, the days beyond its category's loan period and the fine, each as
// the text the desk shows (the next step reads the text back, as the fine
// computation always has).
struct LoanOnDesk {
    enum class Status {
        Found,
        NotFound,       // no outstanding loan of that book
        CannotCompute,  // found, but a date or a number is missing or too large
    };
    Status status = Status::NotFound;
    QString problem;  // what could not be computed (CannotCompute only)

    qint64 loanId = 0;     // the lentInfo row the return will close
    QString title;         // 书籍名称
    QString price;         // 书籍价格
    QString category;      // 书籍类别
    QString pages;         // 书籍页码
    QString lendDate;      // 借书日期, yyyy/M/d
    QString loanDays;      // 借出天数
    QString returnDate;    // today, yyyy/M/d
    QString daysOut;       // today minus the lend date
    QString overdueDays;   // days beyond the loan period, or "0"
    QString fine;          // 罚款 times the overdue days
};

namespace LoanLookup {

// Looks up the outstanding loan of the book and works out the figures as of
// today. Throws StoreError.
LoanOnDesk find(const QString& bookNumber, const QDate& today);

}  // namespace LoanLookup
