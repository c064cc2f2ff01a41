#pragma once

#include "drill/facts.h"
#include "fluency/answerlog.h"

#include <QObject>

#include <chrono>
#include <functional>
#include <optional>

namespace plovista {

class Clock;

// What every answer of a drill is logged with besides its fact.
struct AnswerContext
{
    QString student;
    QString format;
    QString range;
    QString version;
    QString computer;
};

// Times each answer of the drill window and hands it on for the log: from the
// first paint of the fact on the screen to the press that answers it, and
// from the end of the fact's reading aloud, on the monotonic clock, in whole
// milliseconds. A fact asked again after a wrong answer is timed afresh and
// logged as a repeat.
class AnswerRecorder final : public QObject
{
    Q_OBJECT
public:
    using Sink = std::function<void(AnswerEntry)>;
    AnswerRecorder(Clock &clock, Sink sink, QObject *parent = nullptr);

    // Paints of this object are the fact reaching the screen.
    void watchPaintsOf(QObject *object);

    // The "Start" press: a new drill id, answers counted from 1.
    void drillStarted(const AnswerContext &context);
    // A fact was put on the screen; its times start at its next paint.
    void factShown(const Fact &fact, bool askedAgain);
    // Call what this returns when the reading of the fact just shown ends;
    // a call after another fact came is ignored.
    std::function<void()> readingEnded();
    // The drill button was pressed: the answer's times end here.
    void pressed();
    // The press answered the fact on the screen.
    void answered(int given, bool correct);
    // The times of the answer to the fact on the screen as answered() logs
    // them, for a window that writes its own line (Daily Practice): up to the
    // press, or up to now before one.
    struct Times
    {
        std::optional<int> ms;
        std::optional<int> msAfterReading;
    };
    Times times() const;
    // What this drill's answers are logged under; empty before its first one.
    QString drillId() const { return m_drillId; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using Instant = std::chrono::microseconds;

    Clock &m_clock;
    Sink m_sink;
    AnswerContext m_context;
    QString m_drillId;
    int m_sequence = 0;

    std::optional<Fact> m_fact;
    bool m_askedAgain = false;
    quint64 m_factSerial = 0;
    bool m_awaitingPaint = false;
    std::optional<Instant> m_paintedAt;
    std::optional<Instant> m_readingEndedAt;
    std::optional<Instant> m_pressedAt;
};

} // namespace plovista
