#pragma once

#include <QList>
#include <QString>

// One column of a table written out to a spreadsheet: its heading and what
// its cells hold. Every cell reaches a writer as the text a window shows; the
// kind only says how a spreadsheet file keeps it:
//  - Text: as text, whatever it looks like (book numbers, prices and page
//    counts are texts in the store and stay texts);
//  - Number: as a number when the text reads wholly as one (counts, days
//    over, fines), else as text;
//  - Date: as a date when the text is a date in the short form yyyy/M/d (or
//    yyyy-M-d), else as text.
// CSV files hold texts only and ignore the kind.
enum class CellKind { Text, Number, Date };

struct ExportColumn {
    QString heading;
    CellKind kind = CellKind::Text;
};

using ExportColumns = QList<ExportColumn>;
