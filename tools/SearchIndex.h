#pragma once

struct sqlite3;

// The words of every book in bookSearch (see SearchText), written in one
// statement over bookInfo: what shelfmark-db does after filling a large
// library, and again when asked to make the index anew (after a VACUUM, which
// may renumber the books' rows, or for a library made before the index).
namespace SearchIndex {

// Empties bookSearch and writes every book's words, inside the caller's
// transaction. Throws std::runtime_error with the engine's text.
void rewrite(sqlite3* db);

}  // namespace SearchIndex
