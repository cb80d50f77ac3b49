#include "core/logic/OffThreadWork.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <exception>
#include <memory>

#include "core/logic/Database.h"
#include "core/logic/StoreError.h"

namespace {
// Work running, counted on the windows' thread only.
int s_running = 0;
}  // namespace

OffThreadWork::OffThreadWork(QObject* parent) : QObject(parent) {}

bool OffThreadWork::anyRunning()
{
    return s_running > 0;
}

void OffThreadWork::run(const QString& action, const Work& work, Input input)
{
    std::exception_ptr failure;
    const Report report = [this](int done) {
        QMetaObject::invokeMethod(this, [this, done] { emit progressed(done); }, Qt::QueuedConnection);
    };
    std::unique_ptr<QThread> thread(QThread::create([&] {
        QString error;
        if (!Database::openOnThisThread(&error)) {
            failure = std::make_exception_ptr(StoreError(action, error));
            return;
        }
        try {
            work(report);
        } catch (...) {
            failure = std::current_exception();
        }
        Database::closeOnThisThread();
    }));
    QEventLoop loop;
    // Queued: the thread may end before the loop starts, and the loop still ends.
    connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    ++s_running;
    thread->start();
    loop.exec(input == Input::Held ? QEventLoop::ExcludeUserInputEvents : QEventLoop::AllEvents);
    thread->wait();
    --s_running;
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    if (failure)
        std::rethrow_exception(failure);
}
