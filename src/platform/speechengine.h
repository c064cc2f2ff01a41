#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace plovista {

struct SpeechJob;

// What espeak-ng is told before every text: the engine keeps voice, rate,
// pitch and range from one text to the next, so each text sets all of them.
struct SpeechVoice
{
    QByteArray name = "en";
    int rate = 175; // words a minute
    int pitch = 50; // 0 to 100
    int range = 50; // 0 to 100
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

// Text to sound, in memory, for every speaker of the program. espeak-ng keeps
// global state and crashes when two threads synthesise at once, so one worker
// thread makes every call to it (and a process-wide lock guards the rare case
// of two engines). Nothing here waits on the caller's thread: start-up is on
// the worker, requests queue, and results come back as signals on the thread
// that owns the engine.
class SpeechEngine : public QObject
{
    Q_OBJECT
public:
    explicit SpeechEngine(QObject *parent = nullptr);
    ~SpeechEngine() override;

    // A speaker's own channel: cancelling it never touches another speaker.
    int openChannel();

    // The text is SSML (see speechMarkupToSsml). Returns the request's serial;
    // exactly one of synthesized() or failed() follows unless the channel is
    // cancelled first.
    quint64 synthesize(int channel, const SpeechVoice &voice, const QString &ssml);

    // Drops every request of the channel made so far: queued ones are removed,
    // the running one is cut short, finished ones not yet delivered are never
    // delivered.
    void cancel(int channel);

Q_SIGNALS:
    void synthesized(const plovista::SynthesizedSpeech &speech);
    // The engine could not start (no voice data) or the text could not be made.
    void failed(int channel, quint64 serial);

private:
    void run();
    void deliver(const std::shared_ptr<SpeechJob> &job, bool ok);

    std::thread m_worker;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::shared_ptr<SpeechJob>> m_jobs;
    std::shared_ptr<SpeechJob> m_running;
    bool m_quit = false;

    // UI thread only.
    int m_nextChannel = 1;
    quint64 m_nextSerial = 1;
    std::map<int, quint64> m_cancelledUpTo;
};

} // namespace plovista
