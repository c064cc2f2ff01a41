#include "platform/parrotcharacter.h"

#include "platform/beakopening.h"
#include "platform/parrotwindow.h"

#include <QLineF>

#include <algorithm>
#include <cmath>
#include <utility>

namespace plovista {

namespace {

// Pauses between idle blinks, taken in turn: uneven, so he looks alive
// rather than clockwork.
constexpr int IdleBlinkGapsMs[] = {3400, 5200, 2600, 4300, 6100, 3000};

// How far the beak turns at full opening, in degrees (the lower part drops,
// the upper one lifts a little).
constexpr double LowerBeakOpenDegrees = -28;
constexpr double UpperBeakOpenDegrees = 4;

} // namespace

QString ParrotCharacter::Request::describe() const
{
    switch (kind) {
    case Kind::Show:
        return QStringLiteral("show");
    case Kind::Hide:
        return QStringLiteral("hide");
    case Kind::Move:
        return QStringLiteral("move %1,%2").arg(target.x()).arg(target.y());
    case Kind::Play:
        return QStringLiteral("play ") + text;
    case Kind::Speak:
        return QStringLiteral("speak ") + text;
    }
    return {};
}

ParrotCharacter::ParrotCharacter(SpeechEngine &engine, QObject *parent)
    : QObject(parent)
    , m_speaker(engine, parrotVoice())
{
    m_clock.start();
    m_frameTimer.setInterval(FrameIntervalMs);
    connect(&m_frameTimer, &QTimer::timeout, this, &ParrotCharacter::tick);
    m_idleTimer.setSingleShot(true);
    connect(&m_idleTimer, &QTimer::timeout, this, [this] {
        if (isBusy() || !m_window || !m_window->isVisible())
            return;
        m_idleClip = m_rig.clip(QStringLiteral("Blink"));
        m_idleStartMs = m_clock.elapsed();
        ensureTicking();
    });
    connect(&m_speaker, &SpeechPlayer::started, this, &ParrotCharacter::ensureTicking);
    connect(&m_speaker, &SpeechPlayer::finished, this, &ParrotCharacter::onSpeechFinished);
}

ParrotCharacter::~ParrotCharacter()
{
    m_speaker.stop();
}

SpeechVoice ParrotCharacter::parrotVoice()
{
    // The natural voice's own pitch and pace, moved: a brighter, quicker bird.
    // Three half-tones up and the formants raised by the warping, rather
    // than the five half-tones alone, which smeared his words.
    return SpeechVoice {"en-us+f5", 200, 85, 90, 1.15, 3, 0.48};
}

bool ParrotCharacter::load(const QString &id, const QString &filePath)
{
    stopAll();
    m_id = id;
    if (!m_rig.load(filePath)) {
        if (m_window)
            m_window->hide();
        return false;
    }
    if (!m_window)
        m_window = std::make_unique<ParrotWindow>();
    m_window->setObjectName(id);
    m_window->setWindowTitle(id);
    m_window->move(m_position);
    renderFrame();
    return true;
}

void ParrotCharacter::show()
{
    enqueue({Kind::Show, {}, {}});
}

void ParrotCharacter::hide()
{
    enqueue({Kind::Hide, {}, {}});
}

void ParrotCharacter::moveTo(int x, int y)
{
    enqueue({Kind::Move, {}, QPoint(x, y)});
}

void ParrotCharacter::play(const QString &animation)
{
    enqueue({Kind::Play, animation, {}});
}

void ParrotCharacter::speak(const QString &text)
{
    enqueue({Kind::Speak, text, {}});
}

void ParrotCharacter::stopAll()
{
    ++m_generation;
    m_queue.clear();
    m_speaker.stop();
    if (m_current) {
        // A hide that was cut still hides; a glide stops where it is.
        if (m_current->kind == Kind::Hide && m_window)
            m_window->hide();
        m_current.reset();
    }
    m_clip = nullptr;
    m_speechTicket.reset();
    m_whenQuiet.clear();
    m_idleClip = nullptr;
    m_frameTimer.stop();
    renderFrame();
    scheduleIdleBlink();
}

void ParrotCharacter::stopAtWordEnd()
{
    // Only words already reaching the speakers are worth ending well.
    if (!m_current || m_current->kind != Kind::Speak || !m_speaker.playing()) {
        stopAll();
        return;
    }
    m_queue.clear();
    m_speaker.endAtWord();
}

void ParrotCharacter::dropWaitingSpeech()
{
    std::erase_if(m_queue,
                  [](const Request &request) { return request.kind == Kind::Speak || request.kind == Kind::Play; });
    scheduleIdleBlink();
}

void ParrotCharacter::enqueue(Request request)
{
    if (!isLoaded())
        return;
    m_queue.push_back(std::move(request));
    m_idleTimer.stop();
    scheduleAdvance();
}

void ParrotCharacter::scheduleAdvance()
{
    if (m_advanceScheduled)
        return;
    m_advanceScheduled = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_advanceScheduled = false;
            advance();
        },
        Qt::QueuedConnection);
}

void ParrotCharacter::advance()
{
    if (m_current)
        return;
    if (m_queue.empty()) {
        scheduleIdleBlink();
        return;
    }
    m_current = std::move(m_queue.front());
    m_queue.pop_front();
    m_idleClip = nullptr;
    m_idleTimer.stop();
    m_currentStartMs = m_clock.elapsed();
    begin();
}

void ParrotCharacter::begin()
{
    const quint64 generation = m_generation;
    Q_EMIT requestStarted(m_current->describe());
    if (generation != m_generation || !m_current)
        return;

    const bool visible = m_window->isVisible();
    const Request &request = *m_current;
    switch (request.kind) {
    case Kind::Show:
        if (visible) {
            finishCurrent();
            return;
        }
        m_clip = m_rig.clip(QStringLiteral("Show"));
        m_window->move(m_position);
        renderFrame();
        m_window->show();
        break;
    case Kind::Hide:
        if (!visible) {
            finishCurrent();
            return;
        }
        m_clip = m_rig.clip(QStringLiteral("Hide"));
        break;
    case Kind::Move:
        if (!visible || m_position == request.target) {
            m_position = request.target;
            m_window->move(m_position);
            finishCurrent();
            return;
        }
        m_glideFrom = m_position;
        m_glideMs =
            std::max<qint64>(1, std::llround(QLineF(m_glideFrom, request.target).length() * 1000.0 / GlideSpeed));
        m_clip = m_rig.clip(QStringLiteral("Glide"));
        break;
    case Kind::Play:
        m_clip = m_rig.clip(request.text);
        // An unknown animation, or one nobody would see, is over at once.
        if (!m_clip || !visible) {
            finishCurrent();
            return;
        }
        break;
    case Kind::Speak:
        m_speechTicket = m_speaker.say(request.text);
        return; // ends with the speech
    }
    if (!m_clip && request.kind != Kind::Move) {
        if (request.kind == Kind::Hide)
            m_window->hide();
        finishCurrent();
        return;
    }
    ensureTicking();
}

void ParrotCharacter::finishCurrent()
{
    if (!m_current)
        return;
    const QString done = m_current->describe();
    m_current.reset();
    m_clip = nullptr;
    m_speechTicket.reset();
    renderFrame();
    scheduleAdvance();
    Q_EMIT requestFinished(done);
    if (!isBusy()) {
        // A waiter may ask for more; it then waits for that in a list of its own.
        for (const auto &waiter : std::exchange(m_whenQuiet, {}))
            waiter();
    }
}

void ParrotCharacter::whenQuiet(std::function<void()> done)
{
    if (isBusy())
        m_whenQuiet.push_back(std::move(done));
    else
        done();
}

void ParrotCharacter::onSpeechFinished(quint64 ticket)
{
    if (m_current && m_current->kind == Kind::Speak && m_speechTicket == ticket)
        finishCurrent();
}

void ParrotCharacter::tick()
{
    const qint64 now = m_clock.elapsed();
    if (m_current) {
        const qint64 elapsed = now - m_currentStartMs;
        switch (m_current->kind) {
        case Kind::Show:
        case Kind::Play:
            if (!m_clip || elapsed >= m_clip->durationMs)
                finishCurrent();
            break;
        case Kind::Hide:
            if (!m_clip || elapsed >= m_clip->durationMs) {
                m_window->hide();
                finishCurrent();
            }
            break;
        case Kind::Move: {
            // A steady glide: equal distances in equal times.
            const double fraction = std::min(1.0, double(elapsed) / double(m_glideMs));
            const QPoint target = m_current->target;
            m_position = QPoint(int(std::lround(m_glideFrom.x() + (target.x() - m_glideFrom.x()) * fraction)),
                                int(std::lround(m_glideFrom.y() + (target.y() - m_glideFrom.y()) * fraction)));
            m_window->move(m_position);
            if (fraction >= 1)
                finishCurrent();
            break;
        }
        case Kind::Speak:
            break;
        }
    }
    if (m_idleClip && now - m_idleStartMs >= m_idleClip->durationMs) {
        m_idleClip = nullptr;
        scheduleIdleBlink();
    }
    renderFrame();

    const bool speaking = m_current && m_current->kind == Kind::Speak && m_speaker.playing();
    const bool moving = m_current && m_current->kind != Kind::Speak;
    if (!speaking && !moving && !m_idleClip)
        m_frameTimer.stop();
}

void ParrotCharacter::renderFrame()
{
    if (!m_window || !m_rig.isLoaded())
        return;
    const bool showing = m_current && m_current->kind == Kind::Show;
    if (!m_window->isVisible() && !showing)
        return;

    const qint64 now = m_clock.elapsed();
    ParrotRig::Pose pose =
        m_clip ? m_rig.pose(m_clip, int(now - m_currentStartMs)) : m_rig.pose(m_idleClip, int(now - m_idleStartMs));

    if (m_current && m_current->kind == Kind::Speak) {
        const SynthesizedSpeech *speech = m_speaker.playing();
        const std::optional<qint64> played = m_speaker.playedMs();
        if (speech && played) {
            const double opening = beakOpening(speech->marks, *played);
            if (const int lower = m_rig.partIndex(QStringLiteral("lowerbeak")); lower >= 0)
                pose[std::size_t(lower)].rotation += opening * LowerBeakOpenDegrees;
            if (const int upper = m_rig.partIndex(QStringLiteral("upperbeak")); upper >= 0)
                pose[std::size_t(upper)].rotation += opening * UpperBeakOpenDegrees;
        }
    }
    m_window->setFrame(m_rig.render(pose));
}

void ParrotCharacter::ensureTicking()
{
    if (!m_frameTimer.isActive())
        m_frameTimer.start();
}

void ParrotCharacter::scheduleIdleBlink()
{
    if (!m_window || !m_window->isVisible() || isBusy() || m_idleTimer.isActive() || m_idleClip)
        return;
    m_idleTimer.start(IdleBlinkGapsMs[std::size_t(m_idleRound++) % std::size(IdleBlinkGapsMs)]);
}

} // namespace plovista
