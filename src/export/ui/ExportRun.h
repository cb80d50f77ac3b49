#pragma once

#include <QtGlobal>
#include <functional>
#include <memory>

#include "export/logic/ExportTarget.h"

class Prompter;
class QWidget;
class RowSource;

// One export run off the windows' thread (over that thread's own connection
// to the library), behind a modal progress dialog "导出" with the rows
// written so far and a 取消 button; the windows repaint meanwhile and nothing
// else can be started. Cancelled, it leaves no file behind and says nothing
// more; a failure is told through the Prompter (the file left as it was);
// success is told with the number of rows and the file.
namespace ExportRun {

// Makes the rows, on the export's thread (a statement runs there).
using MakeRows = std::function<std::unique_ptr<RowSource>()>;

// True when the file was written. `total`, when known, gives the progress
// bar its end; otherwise it only moves.
bool run(QWidget* parent, Prompter& prompter, const ExportTarget& target, const MakeRows& rows, qint64 total = -1);

}  // namespace ExportRun
