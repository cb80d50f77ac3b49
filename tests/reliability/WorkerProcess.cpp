#include "WorkerProcess.h"

WorkerProcess::WorkerProcess(const QString& program, const QStringList& arguments)
{
    m_process.start(program, arguments);
    m_process.waitForStarted();
}

WorkerProcess::~WorkerProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(5000))
            kill();
    }
}

QString WorkerProcess::nextLine(int timeoutMs)
{
    for (;;) {
        const qsizetype end = m_pending.indexOf('\n');
        if (end >= 0) {
            const QString line = QString::fromUtf8(m_pending.left(end));
            m_pending.remove(0, end + 1);
            return line;
        }
        if (m_process.bytesAvailable() == 0 && !m_process.waitForReadyRead(timeoutMs))
            return QString();
        m_pending += m_process.readAllStandardOutput();
    }
}

void WorkerProcess::send(const QString& line)
{
    m_process.write((line + QLatin1Char('\n')).toUtf8());
    m_process.waitForBytesWritten();
}

bool WorkerProcess::kill()
{
    const bool wasRunning = m_process.state() == QProcess::Running;
    m_process.kill();
    m_process.waitForFinished(10000);
    return wasRunning;
}

QStringList WorkerProcess::allLines()
{
    m_pending += m_process.readAllStandardOutput();
    QStringList lines;
    for (QString line = nextLine(0); !line.isNull(); line = nextLine(0))
        lines << line;
    return lines;
}

QString WorkerProcess::errors()
{
    return QString::fromUtf8(m_process.readAllStandardError());
}
