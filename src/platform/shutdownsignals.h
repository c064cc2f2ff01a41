#pragma once

#include <QObject>

#include <chrono>
#include <functional>
#include <thread>

class QSocketNotifier;

namespace plovista {

// Runs a clean-up on the user-interface thread when the process is asked to
// end by SIGINT, SIGTERM or SIGHUP (X keeps a switched display mode after the
// program dies, so the mode must be put back first). The clean-up must end the
// process. Should the thread be held up so that it never runs, a second signal
// runs the last resort on a thread of the watcher's own, which needs nothing
// of the interface thread, and then ends the process as the signal would have
// without a handler; so does a third signal at once. A signal ignored when
// the watcher is made (SIGHUP under nohup) stays ignored.
class ShutdownSignals final : public QObject
{
    Q_OBJECT
public:
    // The time the last resort is given before the process ends without it.
    static constexpr std::chrono::milliseconds LastResortWait {2000};

    explicit ShutdownSignals(std::function<void()> onSignal, std::function<void()> lastResort = {},
                             QObject *parent = nullptr);
    ~ShutdownSignals() override;

private:
    std::function<void()> m_onSignal;
    std::function<void()> m_lastResort;
    QSocketNotifier *m_notifier = nullptr;
    std::thread m_lastResortThread;
};

} // namespace plovista
