#pragma once

#include <QDate>
#include <QStringList>

class Dice;

// A believable small library in Chinese, written into the freshly created
// tables of the shared connection in one transaction: about ten categories
// with their loan periods, about 300 books from about 40 publishers, about 50
// readers numbered 001 upward, outstanding loans (some overdue) and returned
// loans with their fines. Loans are dated relative to `today`.
namespace DemoLibrary {

void fill(const QDate& today = QDate::currentDate());

// How long a reader keeps a book of that loan period: mostly within it,
// some a little late, a few very late.
int keepDays(Dice& dice, int loanDays);

// The publishers of the demo, well-known Chinese houses.
QStringList knownPublishers();

}  // namespace DemoLibrary
