#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <functional>
#include <vector>

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

// The library of one size for one day, planned before any row is written:
// each book's category and which books are out. Its books and readers and
// its loans can then be written at the same time, on two connections.
class Library {
public:
    // Reads the lending rules from db's basicSet.
    Library(sqlite3* db, const Size& size, const QDate& today = QDate::currentDate());

    // Writes the categories, publishers, books and readers into the freshly
    // made, empty tables of `db` in one transaction. Throws std::runtime_error
    // with the engine's text on failure.
    void writeCatalogue(sqlite3* db, const BookTexts& eachBook = {}) const;
    // Writes the loans into db's empty lentInfo in one transaction; db may be
    // another connection, used on another thread while writeCatalogue runs.
    // Throws likewise.
    void writeLoans(sqlite3* db) const;

private:
    Size m_size;
    QDate m_today;
    int m_quota;
    double m_finePerDay;
    std::vector<quint8> m_category;  // by book index
    std::vector<qint64> m_outBooks;  // the books out, in the order of their loans
    std::vector<bool> m_out;         // by book index
};

}  // namespace LargeLibrary
