#pragma once

#include "fluency/answerlog.h"

#include <QString>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace plovista {

// Appends answers to the log on a thread of its own, so the drill window
// never waits for a disk, or a network share, to answer. An answer that
// cannot be written (a full disk, a share gone away) waits at the head of
// the queue and is tried again with the next one and every few seconds;
// what is still waiting when the program ends is tried once more.
class AnswerLogWriter
{
public:
    explicit AnswerLogWriter(QString logFolder,
                             std::chrono::milliseconds retryInterval = std::chrono::milliseconds(5000));
    ~AnswerLogWriter();
    AnswerLogWriter(const AnswerLogWriter &) = delete;
    AnswerLogWriter &operator=(const AnswerLogWriter &) = delete;

    QString folder() const { return m_folder; }

    // Returns at once; the line goes to "<student>@<computer>.csv".
    void append(AnswerEntry entry);
    // Waits until every answer appended so far is written, or has failed.
    void flush();

    struct Backlog
    {
        int waiting = 0; // answers not written yet
        QString error; // why the last attempt failed; empty when it did not
    };
    Backlog backlog() const;

private:
    void run();
    bool writeFront(std::unique_lock<std::mutex> &lock);

    const QString m_folder;
    const std::chrono::milliseconds m_retryInterval;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<AnswerEntry> m_queue;
    QString m_error;
    bool m_writing = false;
    bool m_stopping = false;
    bool m_failedSinceAppend = false;
    std::thread m_thread;
};

} // namespace plovista
