#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "export/logic/ExportColumn.h"
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

// How a spreadsheet keeps a column, by its heading: ranks and counts as
// numbers (a cell such as "50.0%" or "—" stays text), the rest as text.
CellKind kindOf(const QString& heading);
ExportColumns exportColumns(const StatisticsTable& table);
// The file a table is written to in a folder ("months-2025.csv"). Writes
// every table there as CSV (UTF-8 with its mark); throws ExportError naming
// the file that could not be written.
QString csvFileName(const StatisticsTable& table, int year);
void writeCsv(const QString& folder, const QList<StatisticsTable>& tables, int year);

// The tables as plain text, each under its title, columns lined up for a
// fixed-width terminal (a Chinese character two columns wide).
QString asText(const QList<StatisticsTable>& tables);

}  // namespace StatisticsTables
