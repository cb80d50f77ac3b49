#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <functional>

struct sqlite3;

// A library of any size, for measuring the program at the scale of a large
// library: twenty categories, about two thousand publishers, books with
// Chinese titles made from a vocabulary in which some characters are common
// and most are rare (and a few Latin names such as Python or SQL), readers
// with Chinese names, and years of loans of which about 3% are still out,
// some of those overdue. Every book's loans follow one another in time, every
// reader holds at most the quota, and every returned loan carries its overdue
// days and fine as the return desk stores them. A fixed seed makes the same
// library for the same day.
namespace LargeLibrary {

struct Size {
    qint64 books = 1000000;
    qint64 readers = 100000;
    qint64 loans = 5000000;
};

// What stands in the way of making a library of this size, or an empty text.
QString refusal(const Size& size);

// Told each book's number, title and publisher as it is written, in the
// order of the books' rows.
using BookTexts = std::function<void(const QByteArray& number, const QByteArray& title, const QByteArray& publisher)>;

// Writes the library into the freshly made, empty tables of `db` in one
// transaction. Throws std::runtime_error with the engine's text on failure.
void fill(sqlite3* db, const Size& size, const QDate& today = QDate::currentDate(), const BookTexts& eachBook = {});

}  // namespace LargeLibrary
