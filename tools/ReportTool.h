#pragma once

// shelfmark-db's commands over an existing library: upgrade, the overdue
// list with its reminder letters, and a year's loan statistics. They open the library through LibraryRun.
#include <QString>

namespace ReportTool {

// Whether the arguments name one of these commands.
bool handles(int argc, char** argv);
// Runs it; the process's exit status.
int run(int argc, char** argv);

}  // namespace ReportTool
