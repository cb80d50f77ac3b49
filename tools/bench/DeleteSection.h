#pragma once

#include <QString>

class SideBySide;

// Delete-all on a library of books only, ours against the engine alone. Each
// side deletes from its own copy of a library kept under DIR/delete-all
// (made once, at the given number of books), so the large library is never
// touched and the next run finds the copy's source again.
namespace DeleteSection {

// Closes the shared connection: run it after every section that uses it.
void run(SideBySide& bench, const QString& dir, qint64 books);

}  // namespace DeleteSection
