#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// A desk_worker process seen from the test: lines in, lines out.
class WorkerProcess {
public:
    WorkerProcess(const QString& program, const QStringList& arguments);
    ~WorkerProcess();

    // Waits for the next line the worker writes; "" when it ends or stays
    // silent for the given time.
    QString nextLine(int timeoutMs = 20000);
    void send(const QString& line);
    // SIGKILL, and waits until the process is gone. False when it had ended
    // by itself before.
    bool kill();
    // Every line written so far, read or not (after kill()).
    QStringList allLines();
    QString errors();

private:
    QProcess m_process;
    QByteArray m_pending;
};

// A count a long run sets by hand in an environment variable, else the default.
inline int countFromEnvironment(const char* variable, int fallback)
{
    const int asked = qEnvironmentVariableIntValue(variable);
    return asked > 0 ? asked : fallback;
}
