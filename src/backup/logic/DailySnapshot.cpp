#include "backup/logic/DailySnapshot.h"

#include <QThread>

#include "backup/logic/Backups.h"
#include "core/logic/Clock.h"
#include "core/logic/Prompter.h"

DailySnapshot::DailySnapshot(const QString& dataDir, const Clock& clock, Prompter& prompter, QObject* parent)
    : QObject(parent), m_dataDir(dataDir), m_clock(clock), m_prompter(prompter)
{
}

DailySnapshot::~DailySnapshot()
{
    m_stop->store(true);
    wait();
}

bool DailySnapshot::running() const
{
    return m_thread && m_thread->isRunning();
}

void DailySnapshot::wait()
{
    if (m_thread)
        m_thread->wait();
}

void DailySnapshot::atSignIn()
{
    if (running() || !Backups::serverNotice(m_dataDir).isEmpty())
        return;
    const QDate today = m_clock.today();
    if (const int days = Backups::daysWithoutCopyElsewhere(m_dataDir, today))
        m_prompter.notice(QStringLiteral("已经 %1 天没有把备份另存到别处了。\n备份和图书馆在同一块磁盘上, "
                                         "磁盘坏了就一起丢失: 请在 数据与报表 → 数据备份与恢复 中用"
                                         "“另存到…”把备份存到U盘或其他电脑。")
                              .arg(days));
    if (!Backups::snapshotDue(m_dataDir, today))
        return;
    const QDateTime when(today, QTime::currentTime());
    auto outcome = std::make_shared<Backups::Outcome>();
    m_thread.reset(QThread::create([dataDir = m_dataDir, when, outcome, stop = m_stop] {
        *outcome = Backups::takeSnapshot(dataDir, when, stop.get());
    }));
    connect(m_thread.get(), &QThread::finished, this, [this, outcome] {
        if (!outcome->ok())
            m_prompter.notice(QStringLiteral("今天的自动备份没有成功。\n") + outcome->error);
        emit finished(outcome->ok());
    });
    m_thread->start();
}
