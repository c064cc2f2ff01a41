#include "platform/speechplayer.h"

#include "speech/speechmarkup.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

namespace plovista {

namespace {

// Slack on top of a sound's length before the watchdog ends it.
constexpr int WatchdogSlackMs = 1500;

} // namespace

SpeechPlayer::SpeechPlayer(SpeechEngine &engine, const SpeechVoice &voice, QObject *parent)
    : QObject(parent)
    , m_engine(engine)
    , m_voice(voice)
    , m_channel(engine.openChannel())
{
    m_watchdog.setSingleShot(true);
    connect(&m_watchdog, &QTimer::timeout, this, &SpeechPlayer::finishPlaying);
    connect(&m_engine, &SpeechEngine::synthesized, this, &SpeechPlayer::onSynthesized);
    connect(&m_engine, &SpeechEngine::failed, this, &SpeechPlayer::onFailed);
}

SpeechPlayer::~SpeechPlayer()
{
    m_engine.cancel(m_channel);
    silenceSink();
}

quint64 SpeechPlayer::say(const QString &markedText)
{
    const quint64 ticket = m_engine.synthesize(m_channel, m_voice, speechMarkupToSsml(markedText));
    m_queue.push_back({ticket, std::nullopt, false});
    return ticket;
}

void SpeechPlayer::stop()
{
    m_engine.cancel(m_channel);
    m_queue.clear();
    silenceSink();
}

const SynthesizedSpeech *SpeechPlayer::playing() const
{
    if (!m_playing || m_queue.empty() || !m_queue.front().speech)
        return nullptr;
    return &*m_queue.front().speech;
}

std::optional<qint64> SpeechPlayer::playedMs() const
{
    if (!m_playing || !m_sink)
        return std::nullopt;
    return m_sink->processedUSecs() / 1000;
}

void SpeechPlayer::onSynthesized(const SynthesizedSpeech &speech)
{
    if (speech.channel != m_channel)
        return;
    for (Entry &entry : m_queue) {
        if (entry.ticket == speech.serial) {
            entry.speech = speech;
            break;
        }
    }
    pump();
}

void SpeechPlayer::onFailed(int channel, quint64 serial)
{
    if (channel != m_channel)
        return;
    for (Entry &entry : m_queue) {
        if (entry.ticket == serial) {
            entry.failed = true;
            break;
        }
    }
    pump();
}

void SpeechPlayer::pump()
{
    // finished() may lead a listener to say() or stop() again; so nothing is
    // held across an emit and the queue is read afresh each round.
    while (!m_playing && !m_queue.empty()) {
        Entry &front = m_queue.front();
        if (!front.failed && !front.speech)
            return; // still being synthesised
        if (!front.failed && startPlaying(*front.speech)) {
            m_playing = true;
            Q_EMIT started(front.ticket);
            return;
        }
        const quint64 ticket = front.ticket;
        m_queue.pop_front();
        Q_EMIT finished(ticket);
    }
}

bool SpeechPlayer::startPlaying(const SynthesizedSpeech &speech)
{
    if (speech.pcm.isEmpty())
        return false;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return false;

    if (!m_sink || m_sinkRate != speech.sampleRate) {
        delete m_sink;
        QAudioFormat format;
        format.setSampleRate(speech.sampleRate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        m_sink = new QAudioSink(device, format, this);
        m_sinkRate = speech.sampleRate;
        connect(m_sink, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
            if (!m_playing)
                return;
            // Idle: the whole buffer has been read; Stopped with an error:
            // the device went away. Either way this text is over.
            if (state == QAudio::IdleState || (state == QAudio::StoppedState && m_sink->error() != QAudio::NoError))
                finishPlaying();
        });
    }

    m_buffer.close();
    m_buffer.setData(speech.pcm);
    m_buffer.open(QIODevice::ReadOnly);
    m_sink->start(&m_buffer);
    // Without a device start() fails at once and no state change follows.
    if (m_sink->error() != QAudio::NoError || m_sink->state() == QAudio::StoppedState) {
        m_sink->stop();
        m_buffer.close();
        return false;
    }
    m_watchdog.start(int(speech.durationMs()) + WatchdogSlackMs);
    return true;
}

void SpeechPlayer::finishPlaying()
{
    if (!m_playing)
        return;
    silenceSink();
    if (m_queue.empty())
        return;
    const quint64 ticket = m_queue.front().ticket;
    m_queue.pop_front();
    Q_EMIT finished(ticket);
    pump();
}

void SpeechPlayer::silenceSink()
{
    m_playing = false;
    m_watchdog.stop();
    if (m_sink)
        m_sink->stop();
    m_buffer.close();
}

} // namespace plovista
