#pragma once

#include <QDate>

class SideBySide;
struct sqlite3;

// The desk's look-ups and writes, ours against the engine alone. The writes
// lend and take back books and renew loans to their own date, then remove
// the loans they added, so the library is left as it was.
namespace DeskSection {

void run(SideBySide& bench, sqlite3* raw, int runs, int writeRuns, const QDate& today);

}  // namespace DeskSection
