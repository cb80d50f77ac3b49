#pragma once

class SideBySide;
struct sqlite3;

// The first screen of every fuzzy book search and every loan-search
// criterion, ours (statement built, run and the grid's first rows read)
// against the same statement and values through the engine alone.
namespace QuerySection {

void run(SideBySide& bench, sqlite3* raw, int runs);

}  // namespace QuerySection
