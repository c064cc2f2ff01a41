#include "fluency/answerrecorder.h"

#include "platform/clock.h"

#include <QEvent>
#include <QPointer>
#include <QUuid>

#include <algorithm>

namespace plovista {

namespace {

int wholeMs(std::chrono::microseconds span)
{
    return static_cast<int>((std::max<qint64>(0, span.count()) + 500) / 1000);
}

} // namespace

AnswerRecorder::AnswerRecorder(Clock &clock, Sink sink, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_sink(std::move(sink))
{ }

void AnswerRecorder::watchPaintsOf(QObject *object)
{
    object->installEventFilter(this);
}

void AnswerRecorder::drillStarted(const AnswerContext &context)
{
    m_context = context;
    m_drillId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    m_sequence = 0;
    m_fact.reset();
}

void AnswerRecorder::factShown(const Fact &fact, bool askedAgain)
{
    m_fact = fact;
    m_askedAgain = askedAgain;
    ++m_factSerial;
    m_awaitingPaint = true;
    m_paintedAt.reset();
    m_readingEndedAt.reset();
}

std::function<void()> AnswerRecorder::readingEnded()
{
    return [self = QPointer<AnswerRecorder>(this), serial = m_factSerial] {
        if (self && self->m_factSerial == serial && !self->m_readingEndedAt)
            self->m_readingEndedAt = self->m_clock.monotonic();
    };
}

void AnswerRecorder::pressed()
{
    m_pressedAt = m_clock.monotonic();
}

void AnswerRecorder::answered(int given, bool correct)
{
    if (!m_fact)
        return;
    if (m_drillId.isEmpty())
        m_drillId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    const Times taken = times();
    AnswerEntry e;
    e.sequence = ++m_sequence;
    e.drillId = m_drillId;
    e.id = m_drillId + u'-' + QString::number(e.sequence);
    e.time = m_clock.now();
    e.student = m_context.student;
    e.operation = m_fact->operation;
    e.left = m_fact->left;
    e.right = m_fact->right;
    e.expected = m_fact->answer;
    e.given = given;
    e.firstTry = !m_askedAgain;
    e.correct = correct;
    e.ms = taken.ms;
    e.msAfterReading = taken.msAfterReading;
    e.format = m_context.format;
    e.range = m_context.range;
    e.version = m_context.version;
    e.computer = m_context.computer;
    m_fact.reset();
    m_pressedAt.reset();
    m_sink(std::move(e));
}

AnswerRecorder::Times AnswerRecorder::times() const
{
    Times taken;
    if (!m_paintedAt)
        return taken;
    const Instant at = m_pressedAt.value_or(m_clock.monotonic());
    taken.ms = wholeMs(at - *m_paintedAt);
    // A reading that ended before the paint adds no wait of its own.
    if (m_readingEndedAt)
        taken.msAfterReading = wholeMs(at - std::max(*m_readingEndedAt, *m_paintedAt));
    return taken;
}

bool AnswerRecorder::eventFilter(QObject *watched, QEvent *event)
{
    if (m_awaitingPaint && event->type() == QEvent::Paint) {
        m_paintedAt = m_clock.monotonic();
        m_awaitingPaint = false;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace plovista
