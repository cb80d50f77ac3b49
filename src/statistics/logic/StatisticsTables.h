#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "statistics/logic/YearStatistics.h"

// A year's figures as the tables the window shows, the command line prints
// and both write out: every cell the text shown.
struct StatisticsTable {
    QString name;      // a file name's stem, Latin letters ("months")
    QString title;     // the caption shown above it ("每月借阅")
    QStringList headings;
    QList<QStringList> rows;
};

namespace StatisticsTables {

// The six tables, in the window's order: months, titles, readers,
// categories, departments, returns.
QList<StatisticsTable> all(const YearStatistics& stats);

// The names shown for what is not known.
QString unknownCategory();
QString unknownDepartment();
// A month's label ("1月").
QString monthLabel(int month);
// A part of a whole as a percentage with one decimal ("35.2%"); "—" of nothing.
QString share(qint64 part, qint64 whole);

// The tables as plain text, each under its title, columns lined up for a
// fixed-width terminal (a Chinese character two columns wide).
QString asText(const QList<StatisticsTable>& tables);

}  // namespace StatisticsTables
