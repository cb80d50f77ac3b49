#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "backup/logic/LibraryFile.h"

// The folder backup/ in the program's data folder: the snapshots of the
// library (Shelfmark-YYYY-MM-DD-HHmmsszzz.mdb, by the day and time they were
// taken), the counts each held when it was taken, and the settings kept in
// backup.ini there (how many days are kept, when a copy was last saved
// elsewhere).
class SnapshotFolder {
public:
    struct Snapshot {
        QString path;
        QDateTime taken;
        std::optional<LibraryFile::Counts> counts;  // when they were written down
    };

    static constexpr int kDefaultKeepDays = 30;

    explicit SnapshotFolder(const QString& dataDir);

    QString path() const { return m_path; }
    // Makes the folder when it is missing; false when it cannot.
    bool make() const;

    // The snapshots there, newest first. Files of other names are not ours.
    QList<Snapshot> list() const;
    // Whether a snapshot was taken on `day`.
    bool hasSnapshotOn(const QDate& day) const;
    // A path for a snapshot taken at `when`, not yet used.
    QString pathFor(const QDateTime& when) const;
    // Writes down what a snapshot holds, for the list.
    void rememberCounts(const QString& snapshot, const LibraryFile::Counts& counts) const;

    // Keeps one snapshot a day (the day's last) for the `keepDays` days up to
    // `today`, and every one of today; removes the rest. The paths removed.
    QStringList prune(const QDate& today, int keepDays) const;

    int keepDays() const;
    bool setKeepDays(int days) const;
    // The day a copy was last saved elsewhere (null when never).
    QDate savedElsewhere() const;
    bool setSavedElsewhere(const QDate& day) const;

    // The name a snapshot taken at `when` has, in any folder.
    static QString fileName(const QDateTime& when);

private:
    QString settingsFile() const;

    QString m_path;
};
