#include "fluency/answerlogwriter.h"

#include "settings/textfile.h"

#include <QDir>
#include <QHash>
#include <QSet>
#include <QtGlobal>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

namespace plovista {

namespace {

using SteadyClock = std::chrono::steady_clock;

struct Waiting
{
    AnswerEntry entry;
    QString path;
};

QString answersOf(int count, const QString &student)
{
    return count == 1 ? QStringLiteral("1 answer of %1 has").arg(student)
                      : QStringLiteral("%1 answers of %2 have").arg(count).arg(student);
}

} // namespace

struct AnswerLogWriter::Shared
{
    QString folder;
    std::chrono::milliseconds retryInterval;
    mutable std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    std::deque<Waiting> queue;
    // The last failure of each file that has not been written since.
    QHash<QString, QString> errors;
    // A pass tries everything waiting once; flush and append ask for one,
    // and the retry interval starts one when something waits.
    quint64 passesAsked = 0;
    quint64 passesDone = 0;
    bool inPass = false;
    std::optional<QString> writingPath;
    SteadyClock::time_point writingSince;
    bool stopping = false;

    // Tries each answer in its turn; once a file fails, the rest of its
    // answers wait for the next pass, and other files' answers go on.
    void pass(std::unique_lock<std::mutex> &lock)
    {
        QSet<QString> failed;
        std::size_t i = 0;
        while (i < queue.size() && !stopping) {
            const QString path = queue[i].path;
            if (failed.contains(path)) {
                ++i;
                continue;
            }
            const AnswerEntry entry = queue[i].entry;
            writingPath = path;
            writingSince = SteadyClock::now();
            lock.unlock();
            // The folder may have gone, or never been there: made afresh each
            // time it is missing, as appending creates the file.
            QDir().mkpath(folder);
            const WriteResult result =
                appendTextFile(path, answerLogLine(entry), TextEncoding::Utf8, answerLogHeader());
            lock.lock();
            writingPath.reset();
            // Only this thread takes answers out, so the one at i is still
            // the one just tried.
            if (result.ok) {
                errors.remove(path);
                queue.erase(queue.begin() + static_cast<std::ptrdiff_t>(i));
            } else {
                errors.insert(path, result.reason); // the file is named beside it
                failed.insert(path);
                ++i;
            }
        }
    }
};

int AnswerLogWriter::Backlog::waiting() const
{
    int count = 0;
    for (const File &file : files)
        count += file.answers;
    return count;
}

bool AnswerLogWriter::Backlog::holdsUp(const QString &drillId) const
{
    return std::any_of(files.cbegin(), files.cend(),
                       [&](const File &file) { return !file.reason.isEmpty() && file.drillIds.contains(drillId); });
}

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
    finish();
    std::unique_lock lock(m_shared->mutex);
    m_shared->stopping = true;
    m_shared->wake.notify_all();
    // The thread ends with the write under way; one that hung at the end is
    // not waited for again.
    const auto wait = m_endReached ? m_endWait : std::chrono::milliseconds(0);
    const bool ended = m_shared->idle.wait_for(lock, wait, [this] { return !m_shared->inPass; });
    lock.unlock();
    if (ended)
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
    QString path = QDir(m_shared->folder).filePath(answerLogFileName(entry.student, entry.computer));
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->queue.push_back({std::move(entry), std::move(path)});
        ++m_shared->passesAsked;
    }
    m_shared->wake.notify_one();
}

bool AnswerLogWriter::flush(std::chrono::milliseconds limit)
{
    std::unique_lock lock(m_shared->mutex);
    const quint64 asked = ++m_shared->passesAsked;
    m_shared->wake.notify_one();
    const auto done = [&] { return m_shared->passesDone >= asked; };
    if (limit == std::chrono::milliseconds::max()) {
        m_shared->idle.wait(lock, done);
        return true;
    }
    return m_shared->idle.wait_for(lock, limit, done);
}

AnswerLogWriter::Backlog AnswerLogWriter::backlog() const
{
    const Shared &s = *m_shared;
    std::lock_guard lock(s.mutex);
    Backlog backlog;
    QHash<QString, std::size_t> at;
    for (const Waiting &w : s.queue) {
        auto found = at.constFind(w.path);
        if (found == at.cend()) {
            Backlog::File file;
            file.path = w.path;
            file.student = w.entry.student;
            file.reason = s.errors.value(w.path);
            found = at.insert(w.path, backlog.files.size());
            backlog.files.push_back(file);
        }
        Backlog::File &file = backlog.files[*found];
        ++file.answers;
        if (!file.drillIds.contains(w.entry.drillId))
            file.drillIds << w.entry.drillId;
    }
    // A write that hangs has not failed, but it has not answered either.
    if (s.writingPath && at.contains(*s.writingPath)) {
        Backlog::File &file = backlog.files[at.value(*s.writingPath)];
        const auto seconds =
            std::chrono::duration_cast<std::chrono::seconds>(SteadyClock::now() - s.writingSince).count();
        if (file.reason.isEmpty() && seconds >= 1)
            file.reason = seconds == 1 ? QStringLiteral("the file has not answered for 1 second")
                                       : QStringLiteral("the file has not answered for %1 seconds").arg(seconds);
    }
    return backlog;
}

AnswerLogWriter::Backlog AnswerLogWriter::finish()
{
    return finish(m_endWait);
}

AnswerLogWriter::Backlog AnswerLogWriter::finish(std::chrono::milliseconds limit)
{
    if (m_finished)
        return backlog();
    m_finished = true;
    m_endReached = flush(std::min(limit, m_endWait));
    const Backlog left = backlog();
    for (const QString &line : describeBacklog(left))
        qWarning("Answer log at the end: %s", qUtf8Printable(line));
    return left;
}

void AnswerLogWriter::run(const std::shared_ptr<Shared> &shared)
{
    Shared &s = *shared;
    std::unique_lock lock(s.mutex);
    for (;;) {
        const auto due = [&] { return s.stopping || s.passesAsked != s.passesDone; };
        if (s.queue.empty())
            s.wake.wait(lock, due);
        else if (!s.wake.wait_for(lock, s.retryInterval, due))
            ++s.passesAsked; // what failed is tried again
        if (s.stopping)
            return;
        const quint64 asked = s.passesAsked;
        s.inPass = true;
        s.pass(lock);
        s.inPass = false;
        s.passesDone = asked;
        s.idle.notify_all();
    }
}

QStringList describeBacklog(const AnswerLogWriter::Backlog &backlog)
{
    QStringList lines;
    for (const AnswerLogWriter::Backlog::File &file : backlog.files) {
        const QString whose = answersOf(file.answers, file.student);
        const QString path = QDir::toNativeSeparators(file.path);
        lines << (file.reason.isEmpty()
                      ? QStringLiteral("%1 not been written to \"%2\" yet.").arg(whose, path)
                      : QStringLiteral("%1 not been written to \"%2\": %3.").arg(whose, path, file.reason));
    }
    return lines;
}

} // namespace plovista
