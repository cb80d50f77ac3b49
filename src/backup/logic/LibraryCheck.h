#pragma once

#include <QList>
#include <QString>

// Checks the open library (the shared connection, either engine) for what a
// damaged store or a mistaken hand in it leaves behind. Each kind of fault
// has its own bit, which `shelfmark-db check` gives as its exit status.
namespace LibraryCheck {

enum Fault {
    Integrity = 4,        // the file's own checks fail, or a table cannot be read
    SearchIndex = 8,      // a book's words are not found for its row
    FlagWithoutLoan = 16, // a book marked lent has not exactly one open loan
    LoanWithoutFlag = 32, // an open loan's book is not marked lent (or is not there)
};

struct Finding {
    Fault fault;
    QString text;  // one line for the clerk, in Chinese
};

// Runs every check. `file` is the library file when the library is one (its
// pages are checked on a connection of their own), empty on a server.
// Throws StoreError when the library cannot be read at all.
QList<Finding> run(const QString& file);

// The findings' bits together: 0 when the library passed.
int status(const QList<Finding>& findings);

}  // namespace LibraryCheck
