#pragma once

#include "fluency/answerlog.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace plovista {

// Appends answers to the log on a thread of its own, so the drill window
// never waits for a disk, or a network share, to answer. An answer that
// cannot be written (a full disk, a file locked by another program, a share
// gone away) waits and is tried again with the next one and every few
// seconds, while the program runs; a file that fails holds up only its own
// answers. A share that hangs holds up only this thread: the writer's end
// waits for it a few seconds at most, and then leaves it behind.
class AnswerLogWriter
{
public:
    explicit AnswerLogWriter(QString logFolder,
                             std::chrono::milliseconds retryInterval = std::chrono::milliseconds(5000),
                             std::chrono::milliseconds endWait = std::chrono::milliseconds(5000));
    // Finishes, if that was not done, and goes.
    ~AnswerLogWriter();
    AnswerLogWriter(const AnswerLogWriter &) = delete;
    AnswerLogWriter &operator=(const AnswerLogWriter &) = delete;

    QString folder() const;

    // Returns at once; the line goes to "<student>@<computer>.csv".
    void append(AnswerEntry entry);
    // Tries every answer waiting now, those that failed before too, and waits
    // until each is written or has failed again, or the time is up; returns
    // whether it got that far.
    bool flush(std::chrono::milliseconds limit = std::chrono::milliseconds::max());

    // What is not written yet, file by file, in the order the answers came.
    struct Backlog
    {
        struct File
        {
            QString path;
            QString student;
            int answers = 0;
            QStringList drillIds;
            // Why the file could not be written; empty while it has not
            // failed (its answers are on their way, or were not tried yet).
            QString reason;
        };
        std::vector<File> files;

        int waiting() const;
        // Whether answers of that drill wait on a file that could not be
        // written.
        bool holdsUp(const QString &drillId) const;
    };
    Backlog backlog() const;

    // The program is ending: one last try of everything waiting, for the end
    // wait at most. What is still left is returned, and written to the
    // standard error, as no window may be left to tell it. A second call
    // returns what is left at once. An ending that must be quick waits less.
    Backlog finish();
    Backlog finish(std::chrono::milliseconds limit);

private:
    struct Shared;
    static void run(const std::shared_ptr<Shared> &shared);

    // Shared with the thread, which may outlive the writer on a hung share.
    std::shared_ptr<Shared> m_shared;
    std::chrono::milliseconds m_endWait;
    bool m_finished = false;
    bool m_endReached = false; // the last try got through everything in time
    std::thread m_thread;
};

// One line a file of the backlog, saying how many answers of whom could not
// be written to which file, and why.
QStringList describeBacklog(const AnswerLogWriter::Backlog &backlog);

} // namespace plovista
