#pragma once

#include <QList>
#include <QString>
#include <array>

// The loans of one calendar year, as the 借阅统计 window and `shelfmark-db
// stats` show them. A loan counts in the month of its lend date as stored: a
// renewal rewrites that date, so a renewed loan counts in its renewal month.
struct YearStatistics {
    // One line of a ranking or a breakdown.
    struct Tally {
        QString key;    // title, reader number, category code or department; "" when not known
        QString name;   // reader name or category name, where there is one
        qint64 loans = 0;
    };

    int year = 0;
    std::array<qint64, 12> months{};  // loans lent (or last renewed) in January ... December
    QList<Tally> titles;       // the most-lent titles, copies of one title together
    QList<Tally> readers;      // the most active readers, by the loan's reader number
    QList<Tally> categories;   // every category lent from; books or categories gone under key ""
    QList<Tally> departments;  // every department; readers gone or without one under key ""
    qint64 returned = 0;       // loans returned in the year, whenever lent
    qint64 returnedLate = 0;   // of those, the ones kept beyond their loan days
    double fines = 0;          // the fines charged at those returns

    qint64 loans() const;
};

namespace YearStatisticsReader {

// How many titles and readers the rankings hold.
inline constexpr int kRanked = 20;

// Reads the year's figures from the open library. Rankings are ordered by
// loans, most first, ties by title or reader number; breakdowns by loans,
// the unknown one last. The books' figures are read on a second connection
// of their own, beside the rest. Throws StoreError.
YearStatistics read(int year);

// The statements read() runs, for measuring them beside the engine alone;
// each takes the bound values :from and :to (the year's first day and the
// next year's, as the store keeps dates).
QStringList statements();

}  // namespace YearStatisticsReader
