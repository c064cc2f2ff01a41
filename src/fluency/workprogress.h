#pragma once

#include <QtGlobal>

#include <atomic>

namespace plovista {

// How far a long piece of work on another thread has got, in bytes read, and
// whether it was asked to stop. The work tells it of every piece it has done
// and stops when told to; the window reads it as it likes.
class WorkProgress
{
public:
    virtual ~WorkProgress() = default;

    // A new stretch of work of this many bytes begins (0: not known yet).
    void restart(qint64 total)
    {
        m_total = total;
        m_done = 0;
    }
    // The work turned out longer by this many bytes (shorter, when negative:
    // a part it need not read again).
    void addTotal(qint64 bytes) { m_total += bytes; }
    // The work has done this many more bytes; false when it should stop.
    virtual bool advance(qint64 bytes)
    {
        m_done += bytes;
        return !cancelled();
    }
    qint64 done() const { return m_done; }
    qint64 total() const { return m_total; }

    void cancel() { m_cancelled = true; }
    bool cancelled() const { return m_cancelled; }

private:
    std::atomic<qint64> m_done {0};
    std::atomic<qint64> m_total {0};
    std::atomic<bool> m_cancelled {false};
};

} // namespace plovista
