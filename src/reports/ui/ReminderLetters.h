#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include "reports/logic/OverdueList.h"

class QPagedPaintDevice;

// The reminder letters: one page per reader with overdue books (the reader,
// the department, each book with its due date, days over and fine, or only
// their count for postcards; the total; the date; a line for the library's
// name). Drawn the same for a printer, the print preview and a PDF file, by
// the overdue window and by shelfmark-db overdue.
namespace ReminderLetters {

struct Letter {
    QString readerNumber;
    QString readerName;
    QString department;
    QList<OverdueLoan> loans;
    double total = 0;
};

struct Options {
    bool countOnly = false;  // "不列书名": the number of books instead of their titles
    QDate date;              // the day the letters are dated
};

// One letter per reader of the loans whose due date is known, in list order.
QList<Letter> letters(const QList<OverdueLoan>& loans);

// Draws the letters on the device, a page each. False when the device cannot
// be painted on (nothing is to be recorded as sent then).
bool paint(QPagedPaintDevice* device, const QList<Letter>& letters, const Options& options);

// The letters as a PDF file, A5 pages, the Chinese font embedded. False,
// with *error, when the file cannot be written.
bool writePdf(const QString& path, const QList<Letter>& letters, const Options& options, QString* error);

}  // namespace ReminderLetters
