#pragma once

#include "platform/character.h"
#include "platform/parrotrig.h"
#include "platform/speechplayer.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QTimer>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace plovista {

class ParrotWindow;
class SpeechEngine;

// What the desktop lets Peedy do, found once for the session
// (ParrotDesktop::ofThisSession) and given to him, so nothing deeper asks the
// platform itself.
struct ParrotDesktop
{
    // False where the window system places top-levels itself (a Wayland
    // session): Peedy is then drawn inside the window he perches on.
    bool placesTopLevels = true;
    // Whether a compositor blends translucent top-levels now; asked at each
    // show, as one may start or stop while the program runs. None: never.
    std::function<bool()> compositing;
    // The window he perches on when he cannot have his own; null keeps the
    // one he is in.
    std::function<QWidget *()> perchWindow;

    static ParrotDesktop ofThisSession();
};

// Peedy: our animated parrot in his own window (or inside the window he
// perches on, where he cannot have one), speaking with his own voice. Every request returns at once and waits its turn
// behind the earlier ones; stopAll() empties the queue and cuts what is running. Between requests he blinks now and
// then.
class ParrotCharacter final : public QObject, public Character
{
    Q_OBJECT
public:
    explicit ParrotCharacter(SpeechEngine &engine, ParrotDesktop desktop = {}, QObject *parent = nullptr);
    ~ParrotCharacter() override;

    // filePath is the drawing (Peedy.svg); its animations file lies beside it.
    bool load(const QString &id, const QString &filePath) override;
    void show() override;
    void hide() override;
    void moveTo(int x, int y) override;
    void play(const QString &animation) override;
    void speak(const QString &text) override;
    void stopAll() override;
    void stopAtWordEnd() override;
    void whenQuiet(std::function<void()> done) override;
    void dropWaitingSpeech() override;

    bool isLoaded() const { return m_rig.isLoaded(); }
    // A request running or waiting.
    bool isBusy() const { return m_current.has_value() || !m_queue.empty(); }
    // The character's window; null until a character is loaded.
    ParrotWindow *window() const;
    const ParrotRig &rig() const { return m_rig; }
    // Lets tests and benchmarks follow his speech.
    const SpeechPlayer &speaker() const { return m_speaker; }

    // Peedy's voice: higher and quicker than the plain one.
    static SpeechVoice parrotVoice();
    // Gliding speed for moveTo, in pixels a second.
    static constexpr int GlideSpeed = 500;
    static constexpr int FrameIntervalMs = 40;

Q_SIGNALS:
    // Each request as it starts and as it ends by itself, described as
    // "show", "hide", "move X,Y", "play NAME" (NAME as the caller gave it)
    // or "speak TEXT". A request cut by stopAll() does not report its end.
    void requestStarted(const QString &request);
    void requestFinished(const QString &request);

private:
    enum class Kind { Show, Hide, Move, Play, Speak };
    struct Request
    {
        Kind kind;
        QString text; // animation name or text to speak
        QPoint target;
        QString describe() const;
    };

    void enqueue(Request request);
    void scheduleAdvance();
    void advance();
    void begin();
    void finishCurrent();
    void tick();
    void renderFrame();
    void ensureTicking();
    void scheduleIdleBlink();
    void onSpeechFinished(quint64 ticket);
    bool eventFilter(QObject *watched, QEvent *event) override;
    ParrotWindow &ensureWindow();
    void showWindow();
    void hideWindow();
    void placeWindow();
    void keepClear();
    void perch();
    void chooseSurface();

    ParrotRig m_rig;
    ParrotDesktop m_desktop;
    // Owned here; inside a window, that window's end takes it too, and it is
    // made again.
    QPointer<ParrotWindow> m_window;
    // Shown as far as his requests go: inside a window that is hidden, he is
    // not seen however shown he is.
    bool m_shown = false;
    SpeechPlayer m_speaker;
    QString m_id;
    // What is drawn of him at rest, in his window: inside another window
    // this much is kept clear of its controls.
    QRect m_body;
    QPoint m_position {0, 0};

    std::deque<Request> m_queue;
    std::optional<Request> m_current;
    bool m_advanceScheduled = false;
    // Bumped by stopAll(), so code that emitted a signal can tell whether a
    // listener cut the request meanwhile.
    quint64 m_generation = 0;

    QElapsedTimer m_clock;
    qint64 m_currentStartMs = 0;
    const ParrotClip *m_clip = nullptr; // the running request's animation
    QPoint m_glideFrom;
    qint64 m_glideMs = 0;
    std::optional<quint64> m_speechTicket;
    std::vector<std::function<void()>> m_whenQuiet;

    const ParrotClip *m_idleClip = nullptr;
    qint64 m_idleStartMs = 0;
    int m_idleRound = 0;
    QTimer m_idleTimer;
    QTimer m_frameTimer;
    // Inside a window: its controls come and go (an answer box between
    // facts, a message after a score), with nothing to tell him so.
    QTimer m_clearTimer;
};

} // namespace plovista
