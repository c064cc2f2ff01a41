#pragma once

#include "fluency/workprogress.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

class QObject;

namespace plovista {

// Runs one piece of work at a time on a thread of its own, so the window that
// asked for it goes on painting and taking keys. The work returns what is to
// be done with its result, which then runs on the receiver's thread, unless
// the work was cancelled first. Owned by the receiver.
class BackgroundWork
{
public:
    using Delivery = std::function<void()>;
    using Work = std::function<Delivery(WorkProgress &)>;

    explicit BackgroundWork(QObject &receiver);
    // Cancels the work and waits a few seconds at most for it to end.
    ~BackgroundWork();
    BackgroundWork(const BackgroundWork &) = delete;
    BackgroundWork &operator=(const BackgroundWork &) = delete;

    // Cancels the work running, then starts this.
    void start(Work work);
    // Tells the work to stop; nothing it returns is delivered. Waits at most
    // `wait` for it to end (a read from a share that hangs cannot be cut
    // short); work that has not ended by then ends by itself.
    void cancel(std::chrono::milliseconds wait = std::chrono::milliseconds(0));
    // Started, and neither delivered nor cancelled.
    bool busy() const { return m_current.has_value(); }
    // How far the work running has got.
    const WorkProgress &progress() const;

private:
    struct Job;
    struct Running
    {
        std::shared_ptr<Job> job;
        std::thread thread;
    };
    void delivered(const std::shared_ptr<Job> &job);
    // Joins the cancelled work that has ended, waiting until `deadline`.
    void reap(std::chrono::steady_clock::time_point deadline);

    QObject &m_receiver;
    std::optional<Running> m_current;
    std::vector<Running> m_stopping;
    WorkProgress m_idle;
};

} // namespace plovista
