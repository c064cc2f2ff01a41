// How quickly the program starts talking, and what Peedy's animation costs.
//
// Latency: from a PeedySays or VoiceSays call (the real Speech, ParrotCharacter
// and PlainVoice) to the moment the first of the text's sound is written to
// the audio sink, median over many calls. Each call follows a stop, as
// PeedySays follows StopPeedy in the program: the sink is opened afresh
// every time, the most work a text can cost. Where there is no audio device
// nothing is ever handed to a sink; the time to the sound ready on the
// user-interface thread is measured instead (it is measured in both cases).
// A few calls with the voice's sink left open (the previous text played to
// its end, as the program's voice is never stopped) follow.
//
// Animation: Peedy shown and playing his animations one after another for a
// few seconds; frames painted a second and the process's processor time as a
// share of one core (getrusage). The same with him idle, and speaking.
//
// bench/bench_speech.sh runs it with a private sound server and without.
// It speaks with the natural voice where installed; --espeak takes espeak-ng.

#include "platform/parrotcharacter.h"
#include "platform/parrotwindow.h"
#include "platform/plainvoice.h"
#include "platform/speechengine.h"
#include "settings/settingkeys.h"
#include "settings/settings.h"
#include "speech/speech.h"

#include <QApplication>
#include <QAudioDevice>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMediaDevices>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <optional>
#include <vector>

using namespace plovista;

namespace {

const QString FactText = QStringLiteral("8times5");
const QString GreetingText = QStringLiteral("Hello. I am ~so happy to work with you.,?");
const QString DrawingPath = QStringLiteral(PLOVISTA_SOURCE_DATA "/Peedy.svg");
// Only a broken build or device gets near these.
constexpr int RequestLimitMs = 10000;

QtMessageHandler s_defaultHandler = nullptr;

// The offscreen platform cannot shape windows and says so on every frame;
// printing that would be most of the cost measured.
void quietOffscreenLimits(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("does not support setting window masks")) ||
        message.contains(QLatin1String("does not support raise()")))
        return;
    s_defaultHandler(type, context, message);
}

// Runs the event loop until `done` says so (checked after every signal that
// calls `poke`) or the limit passes; true when done.
class Waiter
{
public:
    bool run(const std::function<bool()> &done, int limitMs)
    {
        if (done())
            return true;
        m_done = done;
        QTimer limit;
        limit.setSingleShot(true);
        limit.setTimerType(Qt::PreciseTimer);
        QObject::connect(&limit, &QTimer::timeout, &m_loop, &QEventLoop::quit);
        limit.start(limitMs);
        m_loop.exec();
        m_done = nullptr;
        return done();
    }
    void poke()
    {
        if (m_done && m_done())
            m_loop.quit();
    }

private:
    QEventLoop m_loop;
    std::function<bool()> m_done;
};

struct Stats
{
    double median = 0, p90 = 0, min = 0, max = 0;
    int count = 0;
};

Stats statsOf(std::vector<double> values)
{
    Stats stats;
    if (values.empty())
        return stats;
    std::sort(values.begin(), values.end());
    stats.count = int(values.size());
    stats.median = values[values.size() / 2];
    stats.p90 = values[values.size() * 9 / 10];
    stats.min = values.front();
    stats.max = values.back();
    return stats;
}

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
        double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// One speaker's way from a call to its sound.
struct Speaker
{
    QString name;
    const SpeechPlayer *player;
    std::function<void()> stop;
    std::function<void(const QString &)> say;
};

class Bench
{
public:
    explicit Bench(SpeechEngine::Synthesizer synthesizer)
        : m_engine(synthesizer)
        , m_speech(m_settings, m_peedy, m_voice)
    {
        m_settings.setForThisRun(keys::PeedyEnabled, true);
        m_settings.setForThisRun(keys::VoiceEnabled, true);
        QObject::connect(&m_engine, &SpeechEngine::ready, &m_engine, [this] { m_waiter.poke(); });
        QObject::connect(&m_engine, &SpeechEngine::failed, &m_engine, [this] { m_waiter.poke(); });
        QObject::connect(&m_peedy, &ParrotCharacter::requestFinished, &m_engine, [this] { m_waiter.poke(); });
        for (const SpeechPlayer *player :
             std::initializer_list<const SpeechPlayer *> {&m_voice.player(), &m_peedy.speaker()}) {
            QObject::connect(player, &SpeechPlayer::started, &m_engine, [this] {
                if (!m_handed)
                    m_handed = m_clock.nsecsElapsed();
                m_waiter.poke();
            });
            QObject::connect(player, &SpeechPlayer::finished, &m_engine, [this] {
                m_ended = true;
                m_waiter.poke();
            });
        }
    }

    bool setUp()
    {
        // As in the program: the synthesiser starts once, before the first text.
        m_engine.begin();
        if (!m_waiter.run([this] { return m_engine.synthesizer().has_value(); }, RequestLimitMs)) {
            std::fprintf(stderr, "the speech engine did not start\n");
            return false;
        }
        std::printf("synthesiser: %s\n",
                    *m_engine.synthesizer() == SpeechEngine::Synthesizer::Natural ? "natural voice" : "espeak-ng");
        if (!m_peedy.load(QStringLiteral("Peedy"), DrawingPath)) {
            std::fprintf(stderr, "cannot load %s\n", qPrintable(DrawingPath));
            return false;
        }
        m_peedy.moveTo(Speech::PerchLeft, 150);
        m_peedy.show();
        return m_waiter.run([this] { return !m_peedy.isBusy(); }, RequestLimitMs);
    }

    // From the call to the sound ready and to the sound handed to the sink,
    // in milliseconds; `afterStop` stops the speaker first, as the program
    // stops Peedy before he speaks.
    void latency(const Speaker &speaker, const QString &text, int runs, int warmUp, bool afterStop)
    {
        std::vector<double> ready, handed;
        int dropped = 0;
        for (int i = 0; i < warmUp + runs; ++i) {
            if (afterStop)
                speaker.stop();
            else if (!m_waiter.run([&] { return !speaker.player->isBusy(); }, RequestLimitMs))
                std::fprintf(stderr, "%s: the previous text did not end\n", qPrintable(speaker.name));
            m_ready.reset();
            m_handed.reset();
            m_ended = false;
            const qint64 start = m_clock.nsecsElapsed();
            speaker.say(text);
            // Handed to the sink, or dropped for want of one.
            const bool done = m_waiter.run([this] { return m_handed || (m_ready && m_ended); }, RequestLimitMs);
            if (!done) {
                std::fprintf(stderr, "%s: no sound within %d ms\n", qPrintable(speaker.name), RequestLimitMs);
                continue;
            }
            if (i < warmUp)
                continue;
            if (m_ready)
                ready.push_back(double(*m_ready - start) / 1e6);
            if (m_handed)
                handed.push_back(double(*m_handed - start) / 1e6);
            else
                ++dropped;
        }
        const QString label = speaker.name + (text == FactText ? QLatin1String(" fact") : QLatin1String(" greeting")) +
            (afterStop ? QLatin1String(" after stop") : QLatin1String(", sink open"));
        report(label + QStringLiteral(": ready"), statsOf(ready));
        if (!handed.empty())
            report(label + QStringLiteral(": handed to sink"), statsOf(handed));
        if (dropped)
            std::printf("    (%d of %d texts dropped: no audio device)\n", dropped, runs);
        speaker.stop();
    }

    // Frames painted a second and processor time, for `seconds` of whatever
    // `keepBusy` keeps him doing.
    void animation(const QString &label, double seconds, const std::function<void()> &keepBusy)
    {
        m_peedy.stopAll();
        int frames = 0;
        FrameCounter counter(frames);
        m_peedy.window()->installEventFilter(&counter);
        const QMetaObject::Connection connection =
            QObject::connect(&m_peedy, &ParrotCharacter::requestFinished, &m_engine, [&] {
                if (!m_peedy.isBusy())
                    keepBusy();
            });
        keepBusy();
        const double cpuStart = cpuSeconds();
        const qint64 wallStart = m_clock.nsecsElapsed();
        QEventLoop loop;
        QTimer::singleShot(int(seconds * 1000), Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
        const double wall = double(m_clock.nsecsElapsed() - wallStart) / 1e9;
        const double cpu = cpuSeconds() - cpuStart;
        QObject::disconnect(connection);
        m_peedy.window()->removeEventFilter(&counter);
        m_peedy.stopAll();
        std::printf("%-52s %6.1f frames/s  %5.1f %% of one core  (%.1f s)\n", qPrintable(label), frames / wall,
                    100.0 * cpu / wall, wall);
    }

    Speaker voice()
    {
        return {QStringLiteral("VoiceSays"), &m_voice.player(), [this] { m_voice.stop(); },
                [this](const QString &text) { m_speech.VoiceSays(text); }};
    }
    Speaker peedy()
    {
        return {QStringLiteral("PeedySays"), &m_peedy.speaker(), [this] { m_speech.StopPeedy(); },
                [this](const QString &text) { m_speech.PeedySays({}, text); }};
    }
    ParrotCharacter &character() { return m_peedy; }

private:
    class FrameCounter : public QObject
    {
    public:
        explicit FrameCounter(int &frames)
            : m_frames(frames)
        { }
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                ++m_frames;
            return QObject::eventFilter(watched, event);
        }

    private:
        int &m_frames;
    };

    static void report(const QString &label, const Stats &stats)
    {
        std::printf("%-52s median %7.2f ms  p90 %7.2f  min %7.2f  max %7.2f  (%d calls)\n", qPrintable(label),
                    stats.median, stats.p90, stats.min, stats.max, stats.count);
    }

    QElapsedTimer m_clock = [] {
        QElapsedTimer clock;
        clock.start();
        return clock;
    }();
    Waiter m_waiter;
    std::optional<qint64> m_ready;
    std::optional<qint64> m_handed;
    bool m_ended = false;
    SpeechEngine m_engine;
    // Connected before the players' own slots: the sound is ready on this
    // thread when the engine's signal arrives, before a player acts on it.
    QMetaObject::Connection m_readyWatch = QObject::connect(&m_engine, &SpeechEngine::synthesized, &m_engine, [this] {
        if (!m_ready)
            m_ready = m_clock.nsecsElapsed();
        m_waiter.poke();
    });
    PlainVoice m_voice {m_engine};
    ParrotCharacter m_peedy {m_engine};
    Settings m_settings {QString()};
    Speech m_speech;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    s_defaultHandler = qInstallMessageHandler(quietOffscreenLimits);
    const QStringList arguments = app.arguments();
    auto option = [&](const QString &name, int fallback) {
        const qsizetype at = arguments.indexOf(name);
        return at >= 0 && at + 1 < arguments.size() ? arguments.at(at + 1).toInt() : fallback;
    };
    const int runs = option(QStringLiteral("--runs"), 100);
    const int openRuns = option(QStringLiteral("--open-runs"), 10);
    const int seconds = option(QStringLiteral("--seconds"), 5);

    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    std::printf("platform %s, audio output: %s\n", qPrintable(QGuiApplication::platformName()),
                device.isNull() ? "none" : qPrintable(device.description()));

    Bench bench(arguments.contains(QStringLiteral("--espeak")) ? SpeechEngine::Synthesizer::Espeak
                                                               : SpeechEngine::Synthesizer::Natural);
    if (!bench.setUp())
        return 1;
    for (const Speaker &speaker : {bench.peedy(), bench.voice()}) {
        for (const QString &text : {FactText, GreetingText})
            bench.latency(speaker, text, runs, 5, true);
    }
    if (!device.isNull() && openRuns > 0) {
        for (const QString &text : {FactText, GreetingText})
            bench.latency(bench.voice(), text, openRuns, 1, false);
    }

    const QStringList clips = {QStringLiteral("Greet"),        QStringLiteral("LookDownLeftBlink"),
                               QStringLiteral("GestureLeft"),  QStringLiteral("LookLeft"),
                               QStringLiteral("Congratulate"), QStringLiteral("Explain")};
    int next = 0;
    ParrotCharacter &peedy = bench.character();
    bench.animation(QStringLiteral("Peedy playing his six animations in turn"), seconds,
                    [&] { peedy.play(clips.at(next++ % clips.size())); });
    bench.animation(QStringLiteral("Peedy idle (blinking now and then)"), seconds, [] {});
    if (!device.isNull())
        bench.animation(QStringLiteral("Peedy speaking the greeting (beak moving)"), seconds,
                        [&] { peedy.speak(GreetingText); });
    return 0;
}
