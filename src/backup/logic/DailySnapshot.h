#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>

class Clock;
class Prompter;
class QThread;

// The day's snapshot at the clerk's first sign-in of the day, taken and
// checked on a thread of its own while the desk goes on working (the copy
// reads one moment of the library; in WAL mode the desk's writes never wait
// for it). A snapshot that fails is removed and the clerk told; a clerk who
// has saved no copy elsewhere for a week is reminded first. Nothing on a
// library on a server: the server keeps its own backups.
class DailySnapshot : public QObject {
    Q_OBJECT
public:
    DailySnapshot(const QString& dataDir, const Clock& clock, Prompter& prompter, QObject* parent = nullptr);
    // Stops a snapshot still being checked (it is removed: the next sign-in
    // of the day takes it again) and waits for its thread.
    ~DailySnapshot() override;

    void atSignIn();
    bool running() const;
    // Returns when no snapshot is being taken.
    void wait();

signals:
    // A snapshot was taken (ok) or failed (the clerk has been told).
    void finished(bool ok);

private:
    QString m_dataDir;
    const Clock& m_clock;
    Prompter& m_prompter;
    std::unique_ptr<QThread> m_thread;
    std::shared_ptr<std::atomic<bool>> m_stop = std::make_shared<std::atomic<bool>>(false);
};
