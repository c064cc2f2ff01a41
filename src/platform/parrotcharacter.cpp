#include "platform/parrotcharacter.h"

#include "platform/beakopening.h"
#include "platform/parrotspot.h"
#include "platform/parrotwindow.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineF>
#include <QStyle>
#include <QWidget>
#include <QWindow>

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

// The part of a frame with anything drawn, in the window's pixels.
QRect drawnPart(const QImage &frame)
{
    int left = frame.width(), top = frame.height(), right = -1, bottom = -1;
    for (int y = 0; y < frame.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(frame.constScanLine(y));
        for (int x = 0; x < frame.width(); ++x) {
            if (qAlpha(line[x]) == 0)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = y;
        }
    }
    if (right < 0)
        return QRect(QPoint(0, 0), frame.deviceIndependentSize().toSize());
    const qreal scale = frame.devicePixelRatio();
    return QRectF(QPointF(left, top) / scale, QPointF(right + 1, bottom + 1) / scale).toAlignedRect();
}

// What a child reads or uses in `host`, in its coordinates: the widgets
// shown with nothing shown inside them. One that fills half the window or
// more is its backdrop, not a control to keep clear of.
QList<QRect> controlsOf(const QWidget &host, const QWidget &parrot)
{
    QList<QRect> controls;
    const int backdrop = host.width() * host.height() / 2;
    const QList<QWidget *> widgets = host.findChildren<QWidget *>();
    for (const QWidget *widget : widgets) {
        if (widget == &parrot || parrot.isAncestorOf(widget) || !widget->isVisibleTo(&host) || widget->isWindow())
            continue;
        const QList<QWidget *> inside = widget->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        if (std::any_of(inside.begin(), inside.end(), [&](const QWidget *child) { return child->isVisibleTo(&host); }))
            continue;
        QRect box(widget->mapTo(&host, QPoint(0, 0)), widget->size());
        // A label's words, not the width its layout gave it.
        if (const auto *label = qobject_cast<const QLabel *>(widget); label && !label->wordWrap()) {
            const QRect inside = label->contentsRect();
            const QRect words = QStyle::alignedRect(label->layoutDirection(), label->alignment(),
                                                    label->sizeHint().boundedTo(inside.size()), inside);
            box = QRect(widget->mapTo(&host, words.topLeft()), words.size());
        }
        if (box.width() * box.height() < backdrop)
            controls.append(box);
    }
    return controls;
}

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

ParrotCharacter::ParrotCharacter(SpeechEngine &engine, ParrotDesktop desktop, QObject *parent)
    : QObject(parent)
    , m_desktop(std::move(desktop))
    , m_speaker(engine, parrotVoice())
{
    m_clock.start();
    m_frameTimer.setInterval(FrameIntervalMs);
    connect(&m_frameTimer, &QTimer::timeout, this, &ParrotCharacter::tick);
    m_clearTimer.setInterval(250);
    connect(&m_clearTimer, &QTimer::timeout, this, &ParrotCharacter::keepClear);
    m_idleTimer.setSingleShot(true);
    connect(&m_idleTimer, &QTimer::timeout, this, [this] {
        if (isBusy() || !m_window || !m_shown)
            return;
        m_idleClip = m_rig.clip(QStringLiteral("Blink"));
        m_idleStartMs = m_clock.elapsed();
        ensureTicking();
    });
    connect(&m_speaker, &SpeechPlayer::started, this, &ParrotCharacter::ensureTicking);
    connect(&m_speaker, &SpeechPlayer::finished, this, &ParrotCharacter::onSpeechFinished);
    if (!m_desktop.placesTopLevels && qGuiApp) {
        // He goes along to whichever of the program's windows comes to the front.
        connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this] {
            if (m_shown)
                perch();
        });
    }
}

ParrotCharacter::~ParrotCharacter()
{
    m_speaker.stop();
    delete m_window.data();
}

ParrotWindow *ParrotCharacter::window() const
{
    return m_window.data();
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
    // Drawn for the sharpest screen, so his outline stays smooth at any scale.
    if (!m_rig.load(filePath, qGuiApp ? qGuiApp->devicePixelRatio() : 1.0)) {
        hideWindow();
        return false;
    }
    m_body = drawnPart(m_rig.render(m_rig.restPose()));
    ParrotWindow &window = ensureWindow();
    window.setObjectName(id);
    window.setWindowTitle(id);
    placeWindow();
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
        if (m_current->kind == Kind::Hide)
            hideWindow();
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

    perch();
    const bool visible = m_shown;
    const Request &request = *m_current;
    switch (request.kind) {
    case Kind::Show:
        if (visible) {
            finishCurrent();
            return;
        }
        m_clip = m_rig.clip(QStringLiteral("Show"));
        chooseSurface();
        m_shown = true;
        // Placed at his first frame's size: inside a window, where he may
        // stand depends on it.
        renderFrame();
        placeWindow();
        showWindow();
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
            placeWindow();
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
            hideWindow();
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
                hideWindow();
                finishCurrent();
            }
            break;
        case Kind::Move: {
            // A steady glide: equal distances in equal times.
            const double fraction = std::min(1.0, double(elapsed) / double(m_glideMs));
            const QPoint target = m_current->target;
            m_position = QPoint(int(std::lround(m_glideFrom.x() + (target.x() - m_glideFrom.x()) * fraction)),
                                int(std::lround(m_glideFrom.y() + (target.y() - m_glideFrom.y()) * fraction)));
            placeWindow();
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
    if (!m_window || !m_rig.isLoaded() || !m_shown)
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
    if (!m_window || !m_shown || isBusy() || m_idleTimer.isActive() || m_idleClip)
        return;
    m_idleTimer.start(IdleBlinkGapsMs[std::size_t(m_idleRound++) % std::size(IdleBlinkGapsMs)]);
}

ParrotWindow &ParrotCharacter::ensureWindow()
{
    if (!m_window) {
        const bool inWindow = !m_desktop.placesTopLevels;
        m_window = new ParrotWindow(inWindow ? ParrotSurface::InWindow : ParrotSurface::Shaped);
        m_window->setObjectName(m_id);
        m_window->setWindowTitle(m_id);
    }
    return *m_window;
}

void ParrotCharacter::chooseSurface()
{
    ParrotWindow &window = ensureWindow();
    if (window.surface() == ParrotSurface::InWindow)
        return;
    const bool blended = m_desktop.compositing && m_desktop.compositing();
    window.hide();
    window.setSurface(blended ? ParrotSurface::Translucent : ParrotSurface::Shaped);
}

void ParrotCharacter::perch()
{
    if (m_desktop.placesTopLevels || !m_desktop.perchWindow)
        return;
    QWidget *host = m_desktop.perchWindow();
    ParrotWindow &window = ensureWindow();
    if (!host || host == window.parentWidget() || host == &window)
        return;
    if (QWidget *old = window.parentWidget())
        old->removeEventFilter(this);
    window.setParent(host); // hides it
    host->installEventFilter(this);
    placeWindow();
    if (m_shown)
        showWindow();
}

bool ParrotCharacter::eventFilter(QObject *watched, QEvent *event)
{
    // The window he is in goes: he leaves it, to be seen again in the next
    // window he perches on, rather than going with it.
    if (event->type() == QEvent::Hide && m_window && watched == m_window->parentWidget()) {
        watched->removeEventFilter(this);
        m_window->hide();
        m_window->setParent(nullptr);
    } else if (event->type() == QEvent::Resize && m_window && watched == m_window->parentWidget()) {
        placeWindow();
    }
    return QObject::eventFilter(watched, event);
}

void ParrotCharacter::placeWindow()
{
    ParrotWindow &window = ensureWindow();
    if (window.surface() != ParrotSurface::InWindow) {
        window.move(m_position);
        return;
    }
    // Where he would stand on the screen, taken into the window as it has
    // it: the same place in the window as on a desktop that placed him.
    // The window system puts windows where it likes, so that place may be
    // on the window's controls, where on a desktop that placed him another
    // window would be; he steps aside to the nearest place clear of them.
    // Only what is drawn of him counts: his frame's clear margin may lie
    // over a control or past the window's edge. His gestures may reach a
    // little beyond his body at rest; they are brief.
    QWidget *host = window.parentWidget();
    if (!host)
        return;
    const QPoint spot = clearestSpot(host->rect(), m_body.size(), host->mapFromGlobal(m_position) + m_body.topLeft(),
                                     controlsOf(*host, window));
    window.move(spot - m_body.topLeft());
}

void ParrotCharacter::showWindow()
{
    ParrotWindow &window = ensureWindow();
    // Inside a window he shows only once he is in one (alone he would be a
    // window of his own), over every control it has.
    if (window.surface() == ParrotSurface::InWindow && !window.parentWidget())
        return;
    window.show();
    window.raise();
    if (window.surface() == ParrotSurface::InWindow)
        m_clearTimer.start();
}

void ParrotCharacter::keepClear()
{
    QWidget *host = m_window && m_window->isVisible() ? m_window->parentWidget() : nullptr;
    if (!host) {
        m_clearTimer.stop();
        return;
    }
    // Where he stands is kept while nothing has come up under him: he does
    // not hop back and forth as controls show and hide.
    const QPoint here = m_window->pos() + m_body.topLeft();
    if (clearestSpot(host->rect(), m_body.size(), here, controlsOf(*host, *m_window)) != here)
        placeWindow();
}

void ParrotCharacter::hideWindow()
{
    m_shown = false;
    if (m_window)
        m_window->hide();
}

} // namespace plovista
