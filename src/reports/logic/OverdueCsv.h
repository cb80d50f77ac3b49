#pragma once

#include <QList>
#include <QString>

#include "export/logic/ExportColumn.h"
#include "reports/logic/OverdueList.h"

// The overdue list as a CSV file: UTF-8 with a byte-order mark (so Chinese
// spreadsheets open it as UTF-8), headed by the grid's column names, cells
// quoted where they hold a comma, a quote or a line break. Written beside the
// target and then moved over it, so a failed write leaves no half file.
namespace OverdueCsv {

// False, with *error, when the file cannot be written.
bool write(const QString& path, const QList<OverdueLoan>& loans, QString* error);

// How a spreadsheet keeps each column of the list, by its heading: the
// dates as dates; days over, the fine and the reminders as numbers.
CellKind kindOf(const QString& heading);

}  // namespace OverdueCsv
