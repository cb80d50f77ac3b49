#pragma once

#include <QDate>
#include <QList>
#include <QStringList>

// The reminders sent for overdue loans: a table of our own
// (overdueReminders, made by shelfmark-db create and upgrade), one row per
// loan reminded, with the day. A loan's count
// is its reminders recorded after its lend date, so a renewal (which rewrites that
// date) starts the count afresh.
namespace ReminderLog {

// Whether the open library has the table.
bool present();
// What the clerk is told when the table is missing.
QString missingTableMessage();

// Records one reminder on `day` for each loan, in one transaction. Throws StoreError.
void record(const QList<qint64>& loanIds, const QDate& day);

}  // namespace ReminderLog
