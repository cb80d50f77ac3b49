#pragma once

#include <QObject>
#include <QString>
#include <functional>

// Runs a piece of store work on a thread of its own, over that thread's own
// connection to the open library, while the calling thread's event loop goes
// on: windows repaint and timers fire, but the clerk's clicks and keys wait
// until the work has ended, so nothing else is started meanwhile.
class OffThreadWork : public QObject {
    Q_OBJECT

public:
    // Tells the calling thread how far the work has come.
    using Report = std::function<void(int done)>;
    using Work = std::function<void(const Report& report)>;

    // Whether the clerk's clicks and keys wait until the work has ended
    // (Held), or reach the windows meanwhile (Passed: for a caller that shows
    // a modal window whose one control stops the work, a progress dialog's
    // cancel button).
    enum class Input { Held, Passed };

    explicit OffThreadWork(QObject* parent = nullptr);

    // Returns when the work has ended. What the work threw is thrown again
    // here; a connection that cannot be opened is a StoreError naming
    // `action`. Every report has been delivered by the time it returns.
    void run(const QString& action, const Work& work, Input input = Input::Held);

    // Whether some work is running: the main window stays open until it ends,
    // for its close would close the store under the window waiting for it.
    static bool anyRunning();

signals:
    // Each report, delivered on the thread that called run().
    void progressed(int done);
};
