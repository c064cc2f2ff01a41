#include "fluency/answerlogwriter.h"

#include "settings/textfile.h"

#include <QDir>

#include <condition_variable>
#include <deque>
#include <mutex>

namespace plovista {

struct AnswerLogWriter::Shared
{
    QString folder;
    std::chrono::milliseconds retryInterval;
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    std::deque<AnswerEntry> queue;
    QString error;
    bool writing = false;
    bool stopping = false;
    bool failedSinceAppend = false;
    bool finished = false;

    bool settled() const { return !writing && (queue.empty() || failedSinceAppend); }

    // Writes the answer at the head of the queue, without the lock.
    bool writeFront(std::unique_lock<std::mutex> &lock)
    {
        const AnswerEntry entry = queue.front();
        writing = true;
        lock.unlock();
        // The folder may have gone, or never been there: made afresh each
        // time it is missing, as appending creates the file.
        QDir().mkpath(folder);
        const QString path = QDir(folder).filePath(answerLogFileName(entry.student, entry.computer));
        const WriteResult result = appendTextFile(path, answerLogLine(entry), TextEncoding::Utf8, answerLogHeader());
        lock.lock();
        writing = false;
        if (!result.ok) {
            error = result.error;
            return false;
        }
        error.clear();
        queue.pop_front();
        return true;
    }
};

AnswerLogWriter::AnswerLogWriter(QString logFolder, std::chrono::milliseconds retryInterval,
                                 std::chrono::milliseconds endWait)
    : m_shared(std::make_shared<Shared>())
    , m_endWait(endWait)
{
    m_shared->folder = std::move(logFolder);
    m_shared->retryInterval = retryInterval;
    m_thread = std::thread(run, m_shared);
}

AnswerLogWriter::~AnswerLogWriter()
{
    std::unique_lock lock(m_shared->mutex);
    m_shared->stopping = true;
    m_shared->wake.notify_all();
    const bool finished = m_shared->idle.wait_for(lock, m_endWait, [this] { return m_shared->finished; });
    lock.unlock();
    if (finished)
        m_thread.join();
    else
        m_thread.detach(); // it holds its own share of the state
}

QString AnswerLogWriter::folder() const
{
    return m_shared->folder;
}

void AnswerLogWriter::append(AnswerEntry entry)
{
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->queue.push_back(std::move(entry));
        m_shared->failedSinceAppend = false;
    }
    m_shared->wake.notify_one();
}

bool AnswerLogWriter::flush(std::chrono::milliseconds limit)
{
    std::unique_lock lock(m_shared->mutex);
    const auto settled = [this] { return m_shared->settled(); };
    if (limit == std::chrono::milliseconds::max()) {
        m_shared->idle.wait(lock, settled);
        return true;
    }
    return m_shared->idle.wait_for(lock, limit, settled);
}

AnswerLogWriter::Backlog AnswerLogWriter::backlog() const
{
    std::lock_guard lock(m_shared->mutex);
    return {static_cast<int>(m_shared->queue.size()), m_shared->error};
}

void AnswerLogWriter::run(const std::shared_ptr<Shared> &shared)
{
    Shared &s = *shared;
    std::unique_lock lock(s.mutex);
    for (;;) {
        s.wake.wait(lock, [&] { return s.stopping || (!s.queue.empty() && !s.failedSinceAppend); });
        if (s.stopping) {
            // Last chance for what is waiting; each answer is tried once.
            for (std::size_t tries = s.queue.size(); tries > 0 && !s.queue.empty(); --tries) {
                if (!s.writeFront(lock))
                    s.queue.pop_front();
            }
            s.finished = true;
            s.idle.notify_all();
            return;
        }
        while (!s.queue.empty() && !s.stopping) {
            if (!s.writeFront(lock)) {
                s.failedSinceAppend = true;
                s.idle.notify_all();
                // Until the next answer or the retry interval, whichever
                // comes first; then the one at the head is tried again.
                s.wake.wait_for(lock, s.retryInterval, [&] { return s.stopping || !s.failedSinceAppend; });
                s.failedSinceAppend = false;
            }
        }
        s.idle.notify_all();
    }
}

} // namespace plovista
