#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace plovista {

struct SpeechJob;

// A speaker's voice, as each synthesiser is told it before every text (both
// keep their settings from one text to the next, so each text sets all).
struct SpeechVoice
{
    // espeak-ng
    QByteArray name = "en";
    int rate = 175; // words a minute
    int pitch = 50; // 0 to 100
    int range = 50; // 0 to 100
    // The natural voice: its own pace times `speed`, its pitch moved by
    // `halfTones`, and its frequency warping (the all-pass constant of its
    // mel-cepstrum) set to `warping`, 0 keeping the voice's own. A larger
    // warping moves the formants up, as from a smaller throat.
    double speed = 1.0;
    double halfTones = 0;
    double warping = 0;
};

// A word or phoneme of a synthesised text and where its sound starts.
struct SpeechMark
{
    enum class Kind { Word, Phoneme };
    Kind kind = Kind::Word;
    int audioMs = 0;
    QByteArray phoneme; // the engine's mnemonic ("aI", "_:"); empty for words
};

struct SynthesizedSpeech
{
    int channel = 0;
    quint64 serial = 0;
    int sampleRate = 0;
    QByteArray pcm; // signed 16-bit mono samples
    QList<SpeechMark> marks;

    qint64 durationMs() const;
};

// Text to sound, in memory, for every speaker of the program, with the
// natural voice (Festival and an HMM voice) where it is installed and
// espeak-ng where it is not, chosen once when the engine starts. Both keep
// global state that two threads must not touch at once, so one worker
// thread makes every call (and process-wide locks guard the rare case of two
// engines). Nothing here waits on the caller's thread: start-up is on the
// worker, requests queue, and results come back as signals on the thread
// that owns the engine.
class SpeechEngine : public QObject
{
    Q_OBJECT
public:
    enum class Synthesizer { Natural, Espeak };

    // `wanted` Natural takes the natural voice when it loads, espeak-ng
    // otherwise; Espeak takes espeak-ng alone.
    explicit SpeechEngine(Synthesizer wanted = Synthesizer::Natural, QObject *parent = nullptr);
    ~SpeechEngine() override;

    // Starts the synthesiser on the worker thread, if the first request has
    // not already: the program calls it once its first screen is up.
    void begin();
    // The synthesiser chosen, once the worker has started it.
    std::optional<Synthesizer> synthesizer() const;
    // Whether this build can speak with the natural voice at all.
    static bool hasNaturalVoice();

    // A speaker's own channel: cancelling it never touches another speaker.
    int openChannel();

    // The text keeps the program's speech marks; each synthesiser reads them
    // its own way. The natural voice makes a text a sentence at a time, so a
    // cancel waits for one sentence at most. Returns the request's serial;
    // exactly one of synthesized() or failed() follows unless the channel is
    // cancelled first.
    quint64 synthesize(int channel, const SpeechVoice &voice, const QString &markedText);

    // Drops every request of the channel made so far: queued ones are removed,
    // the running one is cut short, finished ones not yet delivered are never
    // delivered.
    void cancel(int channel);

Q_SIGNALS:
    // The worker has chosen and started its synthesiser.
    void ready(plovista::SpeechEngine::Synthesizer synthesizer);
    void synthesized(const plovista::SynthesizedSpeech &speech);
    // The engine could not start (no voice data) or the text could not be made.
    void failed(int channel, quint64 serial);

private:
    void run();
    Synthesizer startSynthesizer();
    bool synthesizeJob(SpeechJob &job);
    void deliver(const std::shared_ptr<SpeechJob> &job, bool ok);

    const Synthesizer m_wanted;
    std::atomic<int> m_chosen {-1}; // a Synthesizer once chosen
    std::thread m_worker;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::shared_ptr<SpeechJob>> m_jobs;
    std::shared_ptr<SpeechJob> m_running;
    bool m_begun = false;
    bool m_quit = false;

    // UI thread only.
    int m_nextChannel = 1;
    quint64 m_nextSerial = 1;
    std::map<int, quint64> m_cancelledUpTo;
};

} // namespace plovista
