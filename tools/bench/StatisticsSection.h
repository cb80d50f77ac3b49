#pragma once

class SideBySide;
struct sqlite3;

// The statistics of the year with the most loans, as the 借阅统计 window
// reads them (off the windows' thread, then made into its tables), against
// the same statements stepped through the engine alone.
namespace StatisticsSection {

void run(SideBySide& bench, sqlite3* raw, int runs);

}  // namespace StatisticsSection
