#pragma once

#include <QString>

class SideBySide;

// The day's snapshot of the library at DIR: the copy (SQLite's online backup
// in one step) while a desk writes on another connection, with the desk's
// longest write meanwhile, and the snapshot's check timed on its own. The
// snapshot goes to DIR/bench-backup and is removed afterwards.
namespace BackupSection {

// Uses no shared connection.
void run(SideBySide& bench, const QString& dir);

}  // namespace BackupSection
