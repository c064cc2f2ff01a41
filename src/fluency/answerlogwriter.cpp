#include "fluency/answerlogwriter.h"

#include "settings/textfile.h"

#include <QDir>

namespace plovista {

AnswerLogWriter::AnswerLogWriter(QString logFolder, std::chrono::milliseconds retryInterval)
    : m_folder(std::move(logFolder))
    , m_retryInterval(retryInterval)
    , m_thread([this] { run(); })
{ }

AnswerLogWriter::~AnswerLogWriter()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void AnswerLogWriter::append(AnswerEntry entry)
{
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(entry));
        m_failedSinceAppend = false;
    }
    m_wake.notify_one();
}

void AnswerLogWriter::flush()
{
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return !m_writing && (m_queue.empty() || m_failedSinceAppend); });
}

AnswerLogWriter::Backlog AnswerLogWriter::backlog() const
{
    std::lock_guard lock(m_mutex);
    return {static_cast<int>(m_queue.size()), m_error};
}

bool AnswerLogWriter::writeFront(std::unique_lock<std::mutex> &lock)
{
    const AnswerEntry entry = m_queue.front();
    m_writing = true;
    lock.unlock();
    // The folder may have gone, or never been there: made afresh each time
    // it is missing, as appending creates the file.
    QDir().mkpath(m_folder);
    const QString path = QDir(m_folder).filePath(answerLogFileName(entry.student, entry.computer));
    const WriteResult result = appendTextFile(path, answerLogLine(entry), TextEncoding::Utf8, answerLogHeader());
    lock.lock();
    m_writing = false;
    if (!result.ok) {
        m_error = result.error;
        return false;
    }
    m_error.clear();
    m_queue.pop_front();
    return true;
}

void AnswerLogWriter::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || (!m_queue.empty() && !m_failedSinceAppend); });
        if (m_stopping) {
            // Last chance for what is waiting; each answer is tried once.
            const std::size_t tries = m_queue.size();
            for (std::size_t i = 0; i < tries && !m_queue.empty(); ++i) {
                if (!writeFront(lock))
                    m_queue.pop_front();
            }
            m_idle.notify_all();
            return;
        }
        while (!m_queue.empty() && !m_stopping) {
            if (!writeFront(lock)) {
                m_failedSinceAppend = true;
                m_idle.notify_all();
                // Wait for the next answer or the retry interval, whichever
                // comes first, then try the one at the head again.
                m_wake.wait_for(lock, m_retryInterval, [this] { return m_stopping || !m_failedSinceAppend; });
                m_failedSinceAppend = false;
            }
        }
        m_idle.notify_all();
    }
}

} // namespace plovista
