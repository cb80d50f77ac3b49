#pragma once

#include <QList>
#include <QStringList>
#include <functional>

#include "export/logic/ExportColumn.h"
#include "export/logic/ExportTarget.h"

class RowSource;

// Writes a whole table out to a file (see TableWriter for the formats), for
// the export menu item of every grid, the statistics window's tables and
// `shelfmark-db export`. Runs on whatever thread calls it; a window runs it
// off its thread (OffThreadWork) and asks it to stop through `cancelled`.
namespace TableExport {

// Told the rows written so far, every few thousand rows and at the end.
using Progress = std::function<void(qint64 rows)>;
// Asked before each row; true stops the export.
using Cancelled = std::function<bool()>;

// Writes every row of the source. Returns false when cancelled() said to
// stop: then nothing was left at target.path (an existing file there stays as
// it was). Throws ExportError, with a message in the clerk's words, when the
// file cannot be written or the store refuses a read (nothing left then either).
bool write(RowSource& source, const ExportTarget& target, const Progress& progress = {},
           const Cancelled& cancelled = {});

// A small table already at hand (a statistics table, a list a window holds).
void write(const ExportTarget& target, const ExportColumns& columns, const QList<QStringList>& rows);

}  // namespace TableExport
