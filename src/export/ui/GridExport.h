#pragma once

#include <QList>
#include <QStringList>
#include <functional>
#include <optional>

#include "core/logic/KeyedStatement.h"
#include "export/logic/ExportColumn.h"

class Prompter;
class QTableView;
class QWidget;

// The right-click item "导出…" of a grid (also by the menu key or Shift+F10):
// the clerk chooses a file (ExportFileDialog) and the grid's rows are written
// there (ExportRun) with the headings the grid shows, in the order it shows
// its columns (hidden ones left out), each cell as the grid shows it. The item
// is greyed while the grid has no rows. `name` is the file name offered and
// the sheet's name (the window's title).
namespace GridExport {

// The whole result of the grid's statement, every row it finds and not only
// those the grid has read so far: the statement is run again on the
// export's thread. `statement` gives the grid's current statement (nullopt
// while there is none). For grids over a KeyedResultModel, whose headings
// are the store's column names.
using Statement = std::function<std::optional<KeyedStatement>()>;
void addWholeResult(QTableView* grid, Prompter& prompter, const QString& name, const Statement& statement);

// The rows the grid's model holds (all of them, read to its end first): for
// lists read whole (the desk's borrowed list, the categories, the overdue
// list). `kind` says how a spreadsheet keeps each column, by its heading;
// without it, as the store keeps the column of that name.
using Kinds = std::function<CellKind(const QString& heading)>;
void addShownRows(QTableView* grid, Prompter& prompter, const QString& name, const Kinds& kind = {});

// A table at hand (a statistics table): the file chosen, the rows written,
// the outcome told. False when cancelled or failed.
bool exportTable(QWidget* parent, Prompter& prompter, const QString& name, const ExportColumns& columns,
                 const QList<QStringList>& rows);

}  // namespace GridExport
