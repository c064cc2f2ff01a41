#pragma once

#include "platform/speechengine.h"

#include <QAudioFormat>
#include <QObject>
#include <QTimer>

#include <deque>
#include <optional>

class QAudioSink;

namespace plovista {

// One speaker's voice: texts are synthesised ahead and played one after
// another through the speaker's own audio sink, so two speakers can overlap.
// Lives on the user-interface thread.
//
// The sink stays open from one text to the next and is fed in push mode: Qt's
// PulseAudio sink, once stopped, stalls the next stream for seconds, so it is
// only stopped (and replaced) when speech is cut.
class SpeechPlayer : public QObject
{
    Q_OBJECT
public:
    SpeechPlayer(SpeechEngine &engine, const SpeechVoice &voice, QObject *parent = nullptr);
    ~SpeechPlayer() override;

    // Queues a text with the program's speech marks behind the texts not yet
    // played; returns at once with the text's ticket.
    quint64 say(const QString &markedText);
    // Silence at once: the text playing is cut and every queued one dropped,
    // without finished() for any of them.
    void stop();
    // The text whose sound has reached the audio device plays to its end;
    // every other one, synthesised or not, is dropped without finished().
    void dropWaiting();
    // As dropWaiting(), and the text being heard ends at its next word
    // boundary that the device does not yet hold, fading out, unless it has
    // little left; finished() follows as for a text played out.
    void endAtWord();

    bool isBusy() const { return !m_queue.empty(); }
    // The text now heard, and how far into its sound the device has got.
    const SynthesizedSpeech *playing() const;
    std::optional<qint64> playedMs() const;

Q_SIGNALS:
    // The text's sound has been handed to the audio device.
    void started(quint64 ticket);
    // The text played to its end, or was dropped: no engine, no audio device.
    void finished(quint64 ticket);

private:
    struct Entry
    {
        quint64 ticket = 0;
        std::optional<SynthesizedSpeech> speech;
        bool failed = false;
    };

    void onSynthesized(const SynthesizedSpeech &speech);
    void onFailed(int channel, quint64 serial);
    void pump();
    bool startPlaying(const SynthesizedSpeech &speech);
    bool openSink(int sampleRate);
    void feed();
    qint64 streamUs(qint64 bytes) const;
    void finishPlaying();
    void releaseSink();

    SpeechEngine &m_engine;
    SpeechVoice m_voice;
    int m_channel = 0;
    std::deque<Entry> m_queue; // the front one is playing when m_playing
    bool m_playing = false;
    QAudioSink *m_sink = nullptr;
    QIODevice *m_sinkInput = nullptr;
    QAudioFormat m_format;
    qint64 m_streamBytes = 0; // written to the sink since it opened
    qint64 m_textStartBytes = 0; // where the playing text begins in that stream
    qint64 m_textWritten = 0;
    QTimer m_feedTimer;
    // Audio back-ends may never report the end of a sound; this ends it anyway.
    QTimer m_watchdog;
};

} // namespace plovista
