#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace plovista {

// Runs a clean-up on the user-interface thread when the process is asked to
// end by SIGINT, SIGTERM or SIGHUP (X keeps a switched display mode after the
// program dies, so the mode must be put back first). The clean-up must end the
// process. Should the thread be held up so that it never runs, a second signal
// ends the process at once, as the signal would have without a handler. A
// signal ignored when the watcher is made (SIGHUP under nohup) stays ignored.
class ShutdownSignals final : public QObject
{
    Q_OBJECT
public:
    explicit ShutdownSignals(std::function<void()> onSignal, QObject *parent = nullptr);
    ~ShutdownSignals() override;

private:
    std::function<void()> m_onSignal;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace plovista
