#include "fluency/backgroundwork.h"

#include <QMetaObject>
#include <QObject>

#include <condition_variable>
#include <mutex>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace plovista {

struct BackgroundWork::Job
{
    WorkProgress progress;
    std::mutex mutex;
    std::condition_variable ended;
    bool hasEnded = false;
    // Where the result goes; cleared under the mutex when it is no longer
    // wanted, so a receiver being destroyed is never posted to.
    QObject *receiver = nullptr;
};

BackgroundWork::BackgroundWork(QObject &receiver)
    : m_receiver(receiver)
{ }

BackgroundWork::~BackgroundWork()
{
    cancel(std::chrono::seconds(5));
    for (Running &stopping : m_stopping)
        stopping.thread.detach(); // it holds its own share of the job
}

void BackgroundWork::start(Work work)
{
    cancel();
    auto job = std::make_shared<Job>();
    job->receiver = &m_receiver;
    std::thread thread([this, job, work = std::move(work)] {
#ifdef Q_OS_LINUX
        // Behind the window's own thread whenever the two want the same
        // core, so the window answers at once however long the work.
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)), 10);
#endif
        Delivery delivery = work(job->progress);
        std::lock_guard lock(job->mutex);
        if (job->receiver && !job->progress.cancelled()) {
            QMetaObject::invokeMethod(
                job->receiver,
                [this, job, delivery = std::move(delivery)] {
                    // Cancelled after it was posted: `this` may be gone.
                    if (job->progress.cancelled())
                        return;
                    delivered(job);
                    delivery();
                },
                Qt::QueuedConnection);
        }
        job->hasEnded = true;
        job->ended.notify_all();
    });
    m_current = Running {std::move(job), std::move(thread)};
}

void BackgroundWork::delivered(const std::shared_ptr<Job> &job)
{
    if (!m_current || m_current->job != job)
        return;
    m_current->thread.join(); // it ends right after posting
    m_current.reset();
}

void BackgroundWork::cancel(std::chrono::milliseconds wait)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    if (m_current) {
        Job &job = *m_current->job;
        job.progress.cancel();
        {
            std::lock_guard lock(job.mutex);
            job.receiver = nullptr;
        }
        m_stopping.push_back(std::move(*m_current));
        m_current.reset();
    }
    reap(deadline);
}

void BackgroundWork::reap(std::chrono::steady_clock::time_point deadline)
{
    for (auto it = m_stopping.begin(); it != m_stopping.end();) {
        Job &job = *it->job;
        bool ended = false;
        {
            std::unique_lock lock(job.mutex);
            ended = job.ended.wait_until(lock, deadline, [&] { return job.hasEnded; });
        }
        if (ended) {
            it->thread.join();
            it = m_stopping.erase(it);
        } else {
            ++it;
        }
    }
}

const WorkProgress &BackgroundWork::progress() const
{
    return m_current ? m_current->job->progress : m_idle;
}

} // namespace plovista
