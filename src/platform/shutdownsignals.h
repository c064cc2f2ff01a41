#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace plovista {

// Runs a clean-up on the user-interface thread when the process is asked to
// end by SIGINT, SIGTERM or SIGHUP (X keeps a switched display mode after the
// program dies, so the mode must be put back first).
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
