#pragma once

#include <QString>

class SideBySide;
struct sqlite3;

// The overdue window's list (every outstanding loan read, the overdue ones
// kept, sorted and totalled) against the same statement stepped through the
// engine alone; the window's first rows and whole list, read as it reads
// them; and the reminder letters written as PDF by shelfmark-db.
namespace ReportsSection {

void run(SideBySide& bench, sqlite3* raw, int runs, const QString& dbTool, const QString& dir);
// The window's figures on the library of the server open.
void runOnServer(SideBySide& bench, int runs);

}  // namespace ReportsSection
