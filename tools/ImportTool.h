#pragma once

// shelfmark-db import: books or readers from a CSV file into an existing
// library, checked and written as the import window does it.
namespace ImportTool {

// Whether the arguments name this command.
bool handles(int argc, char** argv);
// Runs it; the process's exit status (0 done, 1 refused or failed, 2 usage).
int run(int argc, char** argv);

}  // namespace ImportTool
