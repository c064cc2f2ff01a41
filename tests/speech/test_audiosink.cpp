// Speech through a real audio device. The test starts its own sound server
// with a null sink, records what reaches that sink and compares it with the
// sound the engine made. Where no server can be started (not installed, not
// allowed) the test is skipped, saying why.
//
// The server and the recorder are children of this process that die with it,
// so not even a crash or a timeout leaves them behind.

#include "platform/plainvoice.h"
#include "platform/speechengine.h"

#include <QApplication>
#include <QAudioDevice>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <optional>

#include <sys/prctl.h>

using namespace plovista;

namespace {

constexpr int CaptureRate = 22050;
constexpr int FrameMs = 10;
// A 10 ms frame counts as sound above this RMS: well under a whispered
// consonant, well over the resampler's rounding.
constexpr double SoundRms = 200;
// The sink has been seen to hold back the first sound of a stream for up to
// a second; that shows as silence inside the capture.
constexpr qint64 SinkStallMs = 1200;
// Bounds on waits that only a broken build or server would reach.
constexpr int ServerStartMs = 10000;
constexpr int ProcessExitMs = 3000;
constexpr int SpeechStartMs = 15000;
// What the device still holds after the player reports the end, and more.
constexpr int TailMs = 700;

const QString SinkName = QStringLiteral("capture");

// Where the sound of a recording lies, in whole frames.
struct Sound
{
    qint64 firstMs = 0; // start of the first sounding frame
    qint64 lastMs = 0; // end of the last one
    qint64 soundingMs = 0; // frames that sound, added up
    double peak = 0; // loudest frame's RMS

    qint64 spanMs() const { return lastMs - firstMs; }
};

std::optional<Sound> soundIn(const QByteArray &pcm, int sampleRate)
{
    const auto *samples = reinterpret_cast<const qint16 *>(pcm.constData());
    const qsizetype count = pcm.size() / qsizetype(sizeof(qint16));
    const qsizetype frame = sampleRate * FrameMs / 1000;
    std::optional<Sound> sound;
    for (qsizetype start = 0; start + frame <= count; start += frame) {
        double energy = 0;
        for (qsizetype i = start; i < start + frame; ++i)
            energy += double(samples[i]) * samples[i];
        const double rms = std::sqrt(energy / double(frame));
        if (rms < SoundRms)
            continue;
        const qint64 ms = start / frame * FrameMs;
        if (!sound)
            sound = Sound {ms, ms, 0, 0};
        sound->lastMs = ms + FrameMs;
        sound->soundingMs += FrameMs;
        sound->peak = std::max(sound->peak, rms);
    }
    return sound;
}

QString describe(const std::optional<Sound> &sound)
{
    if (!sound)
        return QStringLiteral("silence");
    return QStringLiteral("sound from %1 ms to %2 ms, %3 ms sounding, peak RMS %4")
        .arg(sound->firstMs)
        .arg(sound->lastMs)
        .arg(sound->soundingMs)
        .arg(qRound(sound->peak));
}

// Starts a helper program that gets SIGKILL when this process ends.
void startChild(QProcess &process, const QString &program, const QStringList &arguments)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process.start(program, arguments);
}

void endChild(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(ProcessExitMs)) {
        process.kill();
        process.waitForFinished(ProcessExitMs);
    }
}

// A private sound server whose only output is the null sink "capture".
class SoundServer
{
public:
    explicit SoundServer(const QString &folder)
        : m_folder(folder)
    { }
    ~SoundServer() { endChild(m_server); }

    // Client side: the address of the server and no fall-back to starting
    // a server of the user's own. Set before anything of Qt Multimedia runs.
    static void directClientsTo(const QString &folder)
    {
        QFile config(folder + QStringLiteral("/client.conf"));
        if (config.open(QIODevice::WriteOnly))
            config.write("autospawn = no\n");
        qputenv("PULSE_CLIENTCONFIG", QFile::encodeName(config.fileName()));
        qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(folder + QStringLiteral("/native")));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
    }

    // Why the server is not there, or nothing once it answers.
    std::optional<QString> start()
    {
        const QString server = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        if (server.isEmpty())
            return QStringLiteral("pulseaudio is not installed (Debian package pulseaudio)");
        for (const char *tool : {"parec", "pactl"}) {
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                return QStringLiteral("%1 is not installed (Debian package pulseaudio-utils)").arg(QLatin1String(tool));
        }

        // Everything the server keeps lies in the test's folder; it talks to
        // no desktop session, and runs as root too (where it only warns).
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), m_folder);
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_folder);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_folder + QStringLiteral("/config"));
        environment.insert(QStringLiteral("XDG_STATE_HOME"), m_folder + QStringLiteral("/state"));
        environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("PULSE_SERVER"));
        m_server.setProcessEnvironment(environment);
        m_server.setStandardOutputFile(QProcess::nullDevice());
        m_server.setStandardErrorFile(m_folder + QStringLiteral("/server.log"));
        startChild(m_server, server,
                   {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                    QStringLiteral("--use-pid-file=no"), QStringLiteral("--realtime=no"),
                    QStringLiteral("--high-priority=no"), QStringLiteral("--log-target=stderr"),
                    QStringLiteral("--load=module-null-sink sink_name=") + SinkName,
                    QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=") + m_folder +
                        QStringLiteral("/native")});
        if (!m_server.waitForStarted(ServerStartMs))
            return QStringLiteral("pulseaudio could not be run: ") + m_server.errorString();

        // Up once a client is answered.
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < ServerStartMs) {
            if (m_server.state() == QProcess::NotRunning)
                return QStringLiteral("pulseaudio ended at start-up:\n") + log();
            QProcess probe;
            probe.start(QStringLiteral("pactl"), {QStringLiteral("info")});
            if (probe.waitForFinished(ProcessExitMs) && probe.exitCode() == 0 &&
                probe.readAllStandardOutput().contains("Default Sink: " + SinkName.toLatin1()))
                return std::nullopt;
            endChild(probe);
            QTest::qWait(100);
        }
        return QStringLiteral("pulseaudio did not answer within %1 ms:\n").arg(ServerStartMs) + log();
    }

    void stop() { endChild(m_server); }

    QString log() const
    {
        QFile file(m_folder + QStringLiteral("/server.log"));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLocal8Bit(file.readAll().right(2000));
    }

private:
    QString m_folder;
    QProcess m_server;
};

// Records the sink's monitor into a file, raw, at the engine's own format.
class Recorder
{
public:
    explicit Recorder(const QString &path)
        : m_path(path)
    { }
    ~Recorder() { endChild(m_process); }

    // False when the recording never got going.
    bool start()
    {
        QFile::remove(m_path);
        m_process.setStandardOutputFile(m_path);
        m_process.setStandardErrorFile(QProcess::nullDevice());
        startChild(m_process, QStringLiteral("parec"),
                   {QStringLiteral("-d"), SinkName + QStringLiteral(".monitor"), QStringLiteral("--raw"),
                    QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                    QStringLiteral("--rate=%1").arg(CaptureRate), QStringLiteral("--latency-msec=20")});
        // The monitor delivers silence while nothing plays: once some has
        // come, whatever is played next is caught.
        return m_process.waitForStarted(ProcessExitMs) &&
            QTest::qWaitFor([this] { return QFileInfo(m_path).size() > CaptureRate / 10; }, ServerStartMs);
    }

    QByteArray stop()
    {
        endChild(m_process);
        QFile file(m_path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QString m_path;
    QProcess m_process;
};

} // namespace

class TestAudioSink : public QObject
{
    Q_OBJECT
public:
    explicit TestAudioSink(const QString &folder)
        : m_folder(folder)
        , m_server(folder)
    { }

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void theSinkHearsWhatTheEngineMade_data();
    void theSinkHearsWhatTheEngineMade();
    void stopSilencesTheDevice();
    void onlyTheTextBegunIsHeardAfterADrop();
    void anAnswerEndsTheTextAtABoundaryBetweenWords();

private:
    struct Played
    {
        std::optional<SynthesizedSpeech> speech; // as handed to the device
        QByteArray capture;
        bool finished = false;
    };
    // Speaks with the plain voice while recording; with `stopAfterMs` the
    // voice is stopped that long after its sound was handed to the device.
    Played play(const QString &text, std::optional<int> stopAfterMs = std::nullopt);

    QString m_folder;
    SoundServer m_server;
    std::optional<SpeechEngine> m_engine;
};

void TestAudioSink::initTestCase()
{
    if (const std::optional<QString> missing = m_server.start())
        QSKIP(qPrintable(QStringLiteral("No sound server for this test: ") + *missing));
    // The server is ours and up: from here on a device that is not found is a fault.
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    QVERIFY2(!device.isNull(), "the sound server is up, yet no audio output is seen");
    QCOMPARE(device.id(), SinkName.toLatin1());
    m_engine.emplace();
}

void TestAudioSink::cleanupTestCase()
{
    m_engine.reset();
    m_server.stop();
}

TestAudioSink::Played TestAudioSink::play(const QString &text, std::optional<int> stopAfterMs)
{
    Played played;
    Recorder recorder(m_folder + QStringLiteral("/capture.raw"));
    if (!recorder.start())
        return played;

    PlainVoice voice(*m_engine);
    QObject::connect(&voice.player(), &SpeechPlayer::started, &voice.player(), [&] {
        if (const SynthesizedSpeech *speech = voice.player().playing())
            played.speech = *speech;
    });
    QObject::connect(&voice.player(), &SpeechPlayer::finished, &voice.player(), [&] { played.finished = true; });
    voice.speak(text);
    if (QTest::qWaitFor([&] { return played.speech || played.finished; }, SpeechStartMs) && played.speech) {
        if (stopAfterMs) {
            QTest::qWait(*stopAfterMs);
            voice.stop();
        } else {
            // The player ends a text by itself at the latest its length and
            // a second and a half after it started.
            (void)QTest::qWaitFor([&] { return played.finished; }, int(played.speech->durationMs()) + SpeechStartMs);
        }
    }
    QTest::qWait(TailMs);
    played.capture = recorder.stop();
    return played;
}

void TestAudioSink::theSinkHearsWhatTheEngineMade_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("greeting") << "Hello. I am ~so happy to work with you.,?";
    QTest::newRow("fact") << "8times5,is40";
}

void TestAudioSink::theSinkHearsWhatTheEngineMade()
{
    QFETCH(QString, text);
    const Played played = play(text);
    QVERIFY2(!played.capture.isEmpty(), "the sink's monitor could not be recorded");
    QVERIFY2(played.speech, "the sound was never handed to the device");
    QVERIFY(played.finished);

    const std::optional<Sound> made = soundIn(played.speech->pcm, played.speech->sampleRate);
    const std::optional<Sound> heard = soundIn(played.capture, CaptureRate);
    const QString report = QStringLiteral("made %1 ms: %2; heard: %3")
                               .arg(played.speech->durationMs())
                               .arg(describe(made), describe(heard));
    qInfo("%s", qPrintable(report));
    QVERIFY2(made && heard, qPrintable(report));
    // Every bit of the sound was heard, once: a stall of the sink adds silence, not sound.
    QVERIFY2(heard->soundingMs >= made->soundingMs * 85 / 100 && heard->soundingMs <= made->soundingMs * 115 / 100,
             qPrintable(report));
    QVERIFY2(heard->spanMs() >= made->spanMs() - 100 && heard->spanMs() <= made->spanMs() + SinkStallMs,
             qPrintable(report));
    // At the level it was made: nothing turned down on the way.
    QVERIFY2(heard->peak >= made->peak * 0.7 && heard->peak <= made->peak * 1.3, qPrintable(report));
}

void TestAudioSink::stopSilencesTheDevice()
{
    // Long enough that being cut cannot be mistaken for having ended.
    const QString greetings = QStringLiteral("Hello. I am ~so happy to work with you.,? ").repeated(3);
    const int stopAfterMs = 1000;
    const Played played = play(greetings, stopAfterMs);
    QVERIFY2(played.speech, "the sound was never handed to the device");
    QVERIFY(!played.finished); // cut, not played to its end
    const std::optional<Sound> made = soundIn(played.speech->pcm, played.speech->sampleRate);
    const std::optional<Sound> heard = soundIn(played.capture, CaptureRate);
    const QString report = QStringLiteral("made: %1; heard after a stop at %2 ms: %3")
                               .arg(describe(made))
                               .arg(stopAfterMs)
                               .arg(describe(heard));
    qInfo("%s", qPrintable(report));
    QVERIFY2(made, qPrintable(report));
    // No more is heard than the device could have played by the stop, and
    // what it still held. (A stall of the sink may leave less, even nothing.)
    const qint64 mostMs = stopAfterMs + 300;
    QVERIFY2(!heard || heard->soundingMs <= mostMs, qPrintable(report));
    QVERIFY2(made->soundingMs > mostMs + 500, qPrintable(report)); // else the check above proves nothing
}

// As a new fact goes up the voice drops what waits: the text whose sound has
// reached the device is heard to its end, and nothing after it.
void TestAudioSink::onlyTheTextBegunIsHeardAfterADrop()
{
    Recorder recorder(m_folder + QStringLiteral("/capture.raw"));
    QVERIFY2(recorder.start(), "the sink's monitor could not be recorded");
    PlainVoice voice(*m_engine);
    std::optional<SynthesizedSpeech> begun;
    int starts = 0;
    int ends = 0;
    QObject::connect(&voice.player(), &SpeechPlayer::started, &voice.player(), [&] {
        ++starts;
        if (const SynthesizedSpeech *speech = voice.player().playing())
            begun = *speech;
    });
    QObject::connect(&voice.player(), &SpeechPlayer::finished, &voice.player(), [&] { ++ends; });

    voice.speak(QStringLiteral("8times5"));
    voice.speak(QStringLiteral("Wrong"));
    voice.speak(QStringLiteral("Hello. I am ~so happy to work with you.,?"));
    QVERIFY2(QTest::qWaitFor([&] { return starts > 0 || ends > 0; }, SpeechStartMs) && begun,
             "the first text never reached the device");
    voice.dropWaiting();
    QVERIFY(voice.player().isBusy());
    QVERIFY(QTest::qWaitFor([&] { return ends > 0; }, int(begun->durationMs()) + SpeechStartMs));
    // Nothing is left to start after it.
    QVERIFY(!voice.player().isBusy());
    QTest::qWait(TailMs);
    const QByteArray capture = recorder.stop();
    QCOMPARE(starts, 1);
    QCOMPARE(ends, 1);

    const std::optional<Sound> made = soundIn(begun->pcm, begun->sampleRate);
    const std::optional<Sound> heard = soundIn(capture, CaptureRate);
    const QString report = QStringLiteral("made: %1; heard: %2").arg(describe(made), describe(heard));
    qInfo("%s", qPrintable(report));
    QVERIFY2(made && heard, qPrintable(report));
    QVERIFY2(heard->soundingMs >= made->soundingMs * 85 / 100 && heard->soundingMs <= made->soundingMs * 115 / 100,
             qPrintable(report));
}

// An answer while a text is heard: it ends where one of the engine's words
// or pauses begins, past what was heard, and its end is reported as for a
// text played out.
void TestAudioSink::anAnswerEndsTheTextAtABoundaryBetweenWords()
{
    Recorder recorder(m_folder + QStringLiteral("/capture.raw"));
    QVERIFY2(recorder.start(), "the sink's monitor could not be recorded");
    PlainVoice voice(*m_engine);
    SpeechPlayer &player = voice.player();
    std::optional<SynthesizedSpeech> begun;
    bool finished = false;
    QObject::connect(&player, &SpeechPlayer::started, &player, [&] { begun = *player.playing(); });
    QObject::connect(&player, &SpeechPlayer::finished, &player, [&] { finished = true; });
    voice.speak(QStringLiteral("Seven times eight is fifty six. Nine times four is thirty six. Six times six is 36."));
    voice.speak(QStringLiteral("Right!"));
    QVERIFY2(QTest::qWaitFor([&] { return begun.has_value(); }, SpeechStartMs), "the text never reached the device");
    QTest::qWait(900);
    const qint64 heardMs = player.playedMs().value_or(0);
    player.endAtWord();
    const qint64 endMs = player.playing()->durationMs();
    QVERIFY(QTest::qWaitFor([&] { return finished; }, int(begun->durationMs()) + SpeechStartMs));
    QVERIFY(!player.isBusy()); // what waited is dropped
    QTest::qWait(TailMs);
    const QByteArray capture = recorder.stop();

    QList<qint64> boundaries;
    QStringList listed;
    for (const SpeechMark &mark : std::as_const(begun->marks)) {
        if (mark.kind == SpeechMark::Kind::Word || mark.phoneme.startsWith('_')) {
            boundaries.append(mark.audioMs);
            listed << QString::number(mark.audioMs);
        }
    }
    const QString report = QStringLiteral("%1 ms made, %2 heard when cut, ended at %3; boundaries %4")
                               .arg(begun->durationMs())
                               .arg(heardMs)
                               .arg(endMs)
                               .arg(listed.join(u' '));
    qInfo("%s", qPrintable(report));
    QVERIFY2(endMs < begun->durationMs() - 300 && endMs >= heardMs, qPrintable(report));
    QVERIFY2(std::any_of(boundaries.begin(), boundaries.end(), [&](qint64 at) { return std::abs(at - endMs) <= 1; }),
             qPrintable(report));
    // What the sink heard is what was made up to there, and not the text after.
    const std::optional<Sound> made =
        soundIn(begun->pcm.left(qsizetype(endMs * begun->sampleRate / 1000) * 2), begun->sampleRate);
    const std::optional<Sound> heard = soundIn(capture, CaptureRate);
    QVERIFY2(made && heard, qPrintable(report));
    QVERIFY2(heard->soundingMs >= made->soundingMs * 85 / 100 && heard->soundingMs <= made->soundingMs * 115 / 100,
             qPrintable(describe(made) + QStringLiteral(" / ") + describe(heard)));
}

int main(int argc, char **argv)
{
    // The sound server's address must be known before Qt Multimedia first
    // looks for devices, so the folder comes before the application.
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/plovista-audio-XXXXXX"));
    if (!folder.isValid()) {
        qCritical("cannot make a temporary folder");
        return 1;
    }
    SoundServer::directClientsTo(folder.path());
    QApplication app(argc, argv);
    TestAudioSink test(folder.path());
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_audiosink.moc"
