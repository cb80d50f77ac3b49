#pragma once

#include <QString>

class SideBySide;
struct sqlite3;

// The overdue window's list (every outstanding loan read, the overdue ones
// kept, sorted and totalled) against the same statement stepped through the
// engine alone; and the reminder letters written as PDF by shelfmark-db.
namespace ReportsSection {

void run(SideBySide& bench, sqlite3* raw, int runs, const QString& dbTool, const QString& dir);

}  // namespace ReportsSection
