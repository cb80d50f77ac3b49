#include "backup/logic/SnapshotFolder.h"

#include <QDir>
#include <algorithm>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>

namespace {

const QString kFolder = QStringLiteral("backup");
const QString kSettings = QStringLiteral("backup.ini");
const QString kStampFormat = QStringLiteral("yyyy-MM-dd-HHmmsszzz");
const QRegularExpression kName(QStringLiteral("^Shelfmark-(\\d{4}-\\d{2}-\\d{2}-\\d{9})\\.mdb$"));

QString countsKey(const QString& snapshot)
{
    return QStringLiteral("counts/") + QFileInfo(snapshot).completeBaseName();
}

}  // namespace

SnapshotFolder::SnapshotFolder(const QString& dataDir) : m_path(QDir(dataDir).filePath(kFolder)) {}

bool SnapshotFolder::make() const
{
    return QDir().mkpath(m_path);
}

QString SnapshotFolder::fileName(const QDateTime& when)
{
    return QStringLiteral("Shelfmark-%1.mdb").arg(when.toString(kStampFormat));
}

QString SnapshotFolder::settingsFile() const
{
    return QDir(m_path).filePath(kSettings);
}

QList<SnapshotFolder::Snapshot> SnapshotFolder::list() const
{
    const QSettings settings(settingsFile(), QSettings::IniFormat);
    QList<Snapshot> snapshots;
    const QStringList names = QDir(m_path).entryList({QStringLiteral("Shelfmark-*.mdb")}, QDir::Files, QDir::Name | QDir::Reversed);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = kName.match(name);
        const QDateTime taken = QDateTime::fromString(match.captured(1), kStampFormat);
        if (!match.hasMatch() || !taken.isValid())
            continue;
        Snapshot snapshot{QDir(m_path).filePath(name), taken, std::nullopt};
        const QStringList counts = settings.value(countsKey(name)).toStringList();
        if (counts.size() == 3)
            snapshot.counts = LibraryFile::Counts{counts[0].toLongLong(), counts[1].toLongLong(), counts[2].toLongLong()};
        snapshots << snapshot;
    }
    return snapshots;
}

bool SnapshotFolder::hasSnapshotOn(const QDate& day) const
{
    const QList<Snapshot> snapshots = list();
    return std::any_of(snapshots.begin(), snapshots.end(), [&](const Snapshot& s) { return s.taken.date() == day; });
}

QString SnapshotFolder::pathFor(const QDateTime& when) const
{
    QDateTime stamp = when;
    while (QFile::exists(QDir(m_path).filePath(fileName(stamp))))
        stamp = stamp.addMSecs(1);
    return QDir(m_path).filePath(fileName(stamp));
}

void SnapshotFolder::rememberCounts(const QString& snapshot, const LibraryFile::Counts& counts) const
{
    QSettings settings(settingsFile(), QSettings::IniFormat);
    settings.setValue(countsKey(snapshot), QStringList{QString::number(counts.books), QString::number(counts.readers),
                                                       QString::number(counts.loansOut)});
}

QStringList SnapshotFolder::prune(const QDate& today, int keepDays) const
{
    const QDate oldestKept = today.addDays(1 - keepDays);
    QSet<QDate> daysKept;
    QStringList removed;
    QSettings settings(settingsFile(), QSettings::IniFormat);
    for (const Snapshot& snapshot : list()) {  // newest first: a day's first seen is its last taken
        const QDate day = snapshot.taken.date();
        const bool keep = day == today || (day >= oldestKept && day <= today && !daysKept.contains(day));
        daysKept.insert(day);
        if (keep || !QFile::remove(snapshot.path))
            continue;
        settings.remove(countsKey(snapshot.path));
        removed << snapshot.path;
    }
    return removed;
}

int SnapshotFolder::keepDays() const
{
    const QSettings settings(settingsFile(), QSettings::IniFormat);
    const int days = settings.value(QStringLiteral("backup/keepDays"), kDefaultKeepDays).toInt();
    return days > 0 ? days : kDefaultKeepDays;
}

bool SnapshotFolder::setKeepDays(int days) const
{
    QSettings settings(settingsFile(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("backup/keepDays"), days);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QDate SnapshotFolder::savedElsewhere() const
{
    const QSettings settings(settingsFile(), QSettings::IniFormat);
    return QDate::fromString(settings.value(QStringLiteral("backup/savedElsewhere")).toString(), Qt::ISODate);
}

bool SnapshotFolder::setSavedElsewhere(const QDate& day) const
{
    QSettings settings(settingsFile(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("backup/savedElsewhere"), day.toString(Qt::ISODate));
    settings.sync();
    return settings.status() == QSettings::NoError;
}
