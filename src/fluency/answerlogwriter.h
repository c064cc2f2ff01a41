#pragma once

#include "fluency/answerlog.h"

#include <QString>

#include <chrono>
#include <memory>
#include <thread>

namespace plovista {

// Appends answers to the log on a thread of its own, so the drill window
// never waits for a disk, or a network share, to answer. An answer that
// cannot be written (a full disk, a share gone away) waits at the head of
// the queue and is tried again with the next one and every few seconds;
// what is still waiting when the writer goes is tried once more. A share
// that hangs holds up only this thread: the writer's end waits for it a few
// seconds at most, and then leaves it behind.
class AnswerLogWriter
{
public:
    explicit AnswerLogWriter(QString logFolder,
                             std::chrono::milliseconds retryInterval = std::chrono::milliseconds(5000),
                             std::chrono::milliseconds endWait = std::chrono::milliseconds(5000));
    ~AnswerLogWriter();
    AnswerLogWriter(const AnswerLogWriter &) = delete;
    AnswerLogWriter &operator=(const AnswerLogWriter &) = delete;

    QString folder() const;

    // Returns at once; the line goes to "<student>@<computer>.csv".
    void append(AnswerEntry entry);
    // Waits until every answer appended so far is written or has failed, or
    // the time is up; returns whether it got that far.
    bool flush(std::chrono::milliseconds limit = std::chrono::milliseconds::max());

    struct Backlog
    {
        int waiting = 0; // answers not written yet
        QString error; // why the last attempt failed; empty when it did not
    };
    Backlog backlog() const;

private:
    struct Shared;
    static void run(const std::shared_ptr<Shared> &shared);

    // Shared with the thread, which may outlive the writer on a hung share.
    std::shared_ptr<Shared> m_shared;
    std::chrono::milliseconds m_endWait;
    std::thread m_thread;
};

} // namespace plovista
