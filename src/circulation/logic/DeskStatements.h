#pragma once

#include <QString>

// The statements of the desk, in one place: the desk's operations run them
// through the shared connection, and the benchmark runs the very same texts
// through SQLite's own interface to see what our layer adds. Values are named
// placeholders (:reader, :book, :date, :loan, :returned, :overdue, :fine).
namespace DeskStatements {

// Book by number with its category name (:book).
QString bookLookup();
// Reader's name by number (:reader).
QString readerName();
// A reader's outstanding loans, in the columns of BorrowedList::Column (:reader).
QString borrowedList();
// How many loans borrowedList() lists (:reader).
QString borrowedCount();
// The lending rules row.
QString rules();
// Lending: the loan row (:reader, :book, :date), then the book's lent flag (:book).
QString lendInsert();
QString lendMark();
// A book's outstanding loan with its category's loan period (:book).
QString loanLookup();
// Closing a loan: the book of that loan back on the shelf (:loan), then the
// loan's return date, overdue days and fine (:returned, :overdue, :fine, :loan).
QString closeBook();
QString closeLoan();
// Renewal: the outstanding loan's new lend date (:date, :loan).
QString renew();

}  // namespace DeskStatements
