#pragma once

#include <QDate>
#include <QString>
#include <optional>

// What a loan slip says: the reader, the book, the lend date, the due date and
// how many more books the reader may take, read from the store right after
// the loan.
struct LoanSlip {
    QString readerNumber;
    QString readerName;
    QString bookNumber;
    QString title;
    QDate lendDate;
    std::optional<QDate> dueDate;      // none when the book's category is unknown
    std::optional<int> booksAllowed;  // none when the rules hold no quota

    // Throws StoreError.
    static LoanSlip read(const QString& readerNumber, const QString& bookNumber, const QDate& lendDate);
};
