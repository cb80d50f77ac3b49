#pragma once

// shelfmark-db's commands over an existing library: upgrade, the overdue
// list with its reminder letters, and a year's loan statistics. They open the library as the program does
// (a server library when DIR/dat/library.ini names one, or --server given).
#include <QString>

namespace ReportTool {

// Opens the library of the program directory DIR as the program does, or the
// server named by libpq's words when given. False, with *error, when it cannot.
bool openLibrary(const QString& dir, const QString& serverWords, QString* error);

// Whether the arguments name one of these commands.
bool handles(int argc, char** argv);
// Runs it; the process's exit status.
int run(int argc, char** argv);

}  // namespace ReportTool
