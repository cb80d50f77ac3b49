#pragma once

#include <QString>

class SideBySide;

// Every book of the library written out as the book list's 导出… writes it
// (the statement read again off the windows' thread, nine columns as the
// grid shows them), to CSV and to XLSX, each in a process of its own so that
// its peak resident memory is the export's alone. Beside them, the same rows
// read through SQLite alone, every cell as text, for what reading costs.
namespace ExportSection {

void run(SideBySide& bench, const QString& benchProgram, const QString& dir, int runs);

// The probe the bench starts (argv[1] "--export-probe"): the exit code, or
// -1 when argv[1] names another.
int probe(int argc, char** argv);

}  // namespace ExportSection
