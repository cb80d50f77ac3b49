#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

#include "backup/logic/LibraryFile.h"

// What the backup window, the sign-in and shelfmark-db do with a file
// library's copies: snapshots into backup/ in the data folder, a copy saved
// elsewhere, and a restore that replaces the library whole. Each runs its
// copies and checks on connections of its own; the callers run them off the
// windows' thread. Messages are the clerk's, in Chinese.
namespace Backups {

// A copy made or a restore done; `error` says why not.
struct Outcome {
    QString path;  // the copy made (for a restore: the snapshot of what was there)
    LibraryFile::Counts counts;
    QString error;
    bool ok() const { return error.isEmpty(); }
};

// A file chosen for a restore, copied beside the snapshots and checked
// there, with the counts of the library it would replace.
struct Candidate {
    QString chosen;
    QString staging;
    LibraryFile::Counts counts;
    LibraryFile::Counts current;
    QString error;
    bool ok() const { return error.isEmpty(); }
};

// The days without a copy saved elsewhere after which the clerk is reminded.
inline constexpr int kReminderDays = 7;

QString libraryFile(const QString& dataDir);

// For a library on a server, what is said instead of making copies here:
// backups are made on the server, with the pg_dump line that makes one.
// "" for a file library.
QString serverNotice(const QString& dataDir);

// Whether the sign-in on `today` is the day's first (no snapshot yet).
bool snapshotDue(const QString& dataDir, const QDate& today);
// The days since a copy was last saved elsewhere (since the first snapshot
// when never), when they reach kReminderDays; 0 otherwise.
int daysWithoutCopyElsewhere(const QString& dataDir, const QDate& today);

// A snapshot of the library into backup/, taken at `when`: free space checked
// first, the copy checked after; one that fails the check is removed. Then
// the snapshots beyond the days kept are removed.
// A `stop` set meanwhile interrupts the check; the unchecked snapshot is
// removed, so that the day's snapshot is still due.
Outcome takeSnapshot(const QString& dataDir, const QDateTime& when, const std::atomic<bool>* stop = nullptr);
// A checked copy of the library into `folder` (a USB stick), written down as
// saved elsewhere on that day.
Outcome saveElsewhere(const QString& dataDir, const QString& folder, const QDateTime& when);
// The same into the new file `file` (its folder must exist); a file already
// there is left as it is and the copy refused.
Outcome saveAs(const QString& dataDir, const QString& file, const QDateTime& when);

// Copies the file chosen for a restore beside the snapshots (the chosen file
// itself is only read) and checks the copy; a file that is not a library of
// ours or fails its check is refused, and nothing is left behind.
Candidate prepareRestore(const QString& dataDir, const QString& chosen);
// Takes a snapshot of the library as it is, then replaces it whole with the
// candidate's copy, which is then removed. Nothing is replaced when the
// snapshot cannot be taken.
Outcome restore(const QString& dataDir, const Candidate& candidate, const QDateTime& when);
// Removes a candidate's copy when the clerk thinks better of it.
void discard(const Candidate& candidate);

// "图书 3 册, 读者 2 人, 借出未还 1 册"
QString describe(const LibraryFile::Counts& counts);

}  // namespace Backups
