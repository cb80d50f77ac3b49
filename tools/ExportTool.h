#pragma once

// shelfmark-db export: one of the library's tables, or the books or loans a
// query window would find, to a CSV or XLSX file, written by the same code
// as the windows' 导出….
namespace ExportTool {

// Whether the arguments name this command.
bool handles(int argc, char** argv);
// Runs it; the process's exit status (0 written, 1 failed, 2 usage).
int run(int argc, char** argv);

}  // namespace ExportTool
