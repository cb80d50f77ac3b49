#pragma once

#include <optional>

#include "export/logic/ExportTarget.h"

class Prompter;
class QWidget;

// The save dialog of every export: a file name and, in its file types, the
// format and the CSV encoding (Excel 工作簿; CSV in UTF-8; CSV in GB18030).
// A name ending in .xlsx or .csv says the format itself; one without either
// gets the chosen type's. Replacing an existing file is asked through the
// Prompter. The folder last chosen is offered next time.
namespace ExportFileDialog {

// The target chosen, or nullopt when the clerk cancels. `name` is the file
// name offered (without its suffix), `sheetName` is carried into the target.
std::optional<ExportTarget> choose(QWidget* parent, Prompter& prompter, const QString& name,
                                   const QString& sheetName);

// The names of the three file types, as the dialog lists them.
QString xlsxFilter();
QString csvUtf8Filter();
QString csvGb18030Filter();

}  // namespace ExportFileDialog
