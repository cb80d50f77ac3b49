#pragma once

class SideBySide;
struct sqlite3;

// Importing a spreadsheet of books into the large library: the file read,
// every row checked and the good ones written in one transaction with their
// publishers, as the import window does it, beside the same checks and
// writes through the engine alone (the search words, too, written after the
// rows). The rows added are removed afterwards.
namespace ImportSection {

inline constexpr int kRows = 10000;
// Also timed once, alone, when the library holds at least as many books.
inline constexpr int kLargeRows = 100000;

void run(SideBySide& bench, sqlite3* raw, int runs);

}  // namespace ImportSection
