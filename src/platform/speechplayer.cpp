#include "platform/speechplayer.h"

#include "speech/speechaudio.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QMediaDevices>

#include <algorithm>
#include <utility>

namespace plovista {

namespace {

// Slack on top of a sound's length before the watchdog ends it.
constexpr int WatchdogSlackMs = 1500;
// What the sink holds ahead of the speaker: short, so stopping loses little
// and the played position stays close to what is heard.
constexpr qint64 DeviceBufferUs = 150'000;
constexpr int FeedIntervalMs = 10;

} // namespace

SpeechPlayer::SpeechPlayer(SpeechEngine &engine, const SpeechVoice &voice, QObject *parent)
    : QObject(parent)
    , m_engine(engine)
    , m_voice(voice)
    , m_channel(engine.openChannel())
{
    m_watchdog.setSingleShot(true);
    connect(&m_watchdog, &QTimer::timeout, this, &SpeechPlayer::finishPlaying);
    m_feedTimer.setInterval(FeedIntervalMs);
    connect(&m_feedTimer, &QTimer::timeout, this, &SpeechPlayer::feed);
    connect(&m_engine, &SpeechEngine::synthesized, this, &SpeechPlayer::onSynthesized);
    connect(&m_engine, &SpeechEngine::failed, this, &SpeechPlayer::onFailed);
}

SpeechPlayer::~SpeechPlayer()
{
    m_engine.cancel(m_channel);
    if (m_sink) {
        m_sink->disconnect(this);
        m_sink->stop();
        delete m_sink;
    }
}

quint64 SpeechPlayer::say(const QString &markedText)
{
    const quint64 ticket = m_engine.synthesize(m_channel, m_voice, markedText);
    m_queue.push_back({ticket, std::nullopt, false});
    return ticket;
}

void SpeechPlayer::stop()
{
    m_engine.cancel(m_channel);
    m_queue.clear();
    m_playing = false;
    m_feedTimer.stop();
    m_watchdog.stop();
    releaseSink();
}

void SpeechPlayer::dropWaiting()
{
    // The engine holds only texts that have not begun: the one playing was
    // delivered before it started. The sink stays open for what comes next.
    m_engine.cancel(m_channel);
    if (m_playing && !m_queue.empty())
        m_queue.erase(m_queue.begin() + 1, m_queue.end());
    else
        m_queue.clear();
}

void SpeechPlayer::endAtWord()
{
    dropWaiting();
    if (!m_playing || m_queue.empty() || !m_queue.front().speech)
        return;
    SynthesizedSpeech &speech = *m_queue.front().speech;
    QList<int> boundaries;
    for (const SpeechMark &mark : std::as_const(speech.marks)) {
        if (mark.kind == SpeechMark::Kind::Word || mark.phoneme.startsWith('_'))
            boundaries.append(mark.audioMs);
    }
    const qint64 heardMs = playedMs().value_or(0);
    const qint64 writtenMs = streamUs(m_textWritten) / 1000;
    const qint64 endMs = speechaudio::cutPointMs(boundaries, speech.durationMs(), heardMs, writtenMs);
    speechaudio::endWithFade(speech.pcm, speech.sampleRate, endMs);
    m_watchdog.start(int(std::max<qint64>(0, endMs - heardMs)) + WatchdogSlackMs);
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
    return std::max<qint64>(0, (m_sink->processedUSecs() - streamUs(m_textStartBytes)) / 1000);
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
    if (speech.pcm.isEmpty() || !openSink(speech.sampleRate))
        return false;
    m_playing = true;
    m_textStartBytes = m_streamBytes;
    m_textWritten = 0;
    feed();
    m_feedTimer.start();
    m_watchdog.start(int(speech.durationMs()) + WatchdogSlackMs);
    return true;
}

bool SpeechPlayer::openSink(int sampleRate)
{
    if (m_sink && m_format.sampleRate() == sampleRate)
        return true;
    releaseSink();
    // Looked up for every new sink: a device may have come or gone.
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return false;
    m_format.setSampleRate(sampleRate);
    m_format.setChannelCount(1);
    m_format.setSampleFormat(QAudioFormat::Int16);
    m_sink = new QAudioSink(device, m_format, this);
    m_sink->setBufferSize(qsizetype(m_format.bytesForDuration(DeviceBufferUs)));
    connect(m_sink, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
        if (state == QAudio::StoppedState && m_sink->error() != QAudio::NoError) {
            // The device went away: end this text (later: this may be inside
            // a write of startPlaying()); the next text opens afresh.
            releaseSink();
            QMetaObject::invokeMethod(this, &SpeechPlayer::finishPlaying, Qt::QueuedConnection);
        } else if (state == QAudio::IdleState) {
            // The device ran dry: if the whole text was written, it is heard.
            feed();
        }
    });
    m_sinkInput = m_sink->start();
    // Without a device start() fails at once, and no state change follows.
    if (!m_sinkInput || m_sink->error() != QAudio::NoError || m_sink->state() == QAudio::StoppedState) {
        releaseSink();
        return false;
    }
    m_streamBytes = 0;
    return true;
}

void SpeechPlayer::feed()
{
    if (!m_playing || !m_sink || m_queue.empty() || !m_queue.front().speech)
        return;
    const QByteArray &pcm = m_queue.front().speech->pcm;
    const qint64 left = pcm.size() - m_textWritten;
    if (left > 0) {
        qint64 chunk = std::min<qint64>(left, m_sink->bytesFree());
        chunk -= chunk % qint64(sizeof(qint16));
        if (chunk > 0) {
            const qint64 written = m_sinkInput->write(pcm.constData() + m_textWritten, chunk);
            if (written > 0) {
                m_textWritten += written;
                m_streamBytes += written;
            }
        }
        return;
    }
    if (m_sink->processedUSecs() >= streamUs(m_textStartBytes + pcm.size()) || m_sink->state() == QAudio::IdleState)
        finishPlaying();
}

qint64 SpeechPlayer::streamUs(qint64 bytes) const
{
    // (QAudioFormat's own conversion takes 32-bit counts: a sink kept open
    // all day would pass that.)
    return bytes * 1'000'000 / (qint64(m_format.sampleRate()) * qint64(sizeof(qint16)));
}

void SpeechPlayer::finishPlaying()
{
    if (!m_playing)
        return;
    m_playing = false;
    m_feedTimer.stop();
    m_watchdog.stop();
    if (m_queue.empty())
        return;
    const quint64 ticket = m_queue.front().ticket;
    m_queue.pop_front();
    Q_EMIT finished(ticket);
    pump();
}

void SpeechPlayer::releaseSink()
{
    if (!m_sink)
        return;
    m_sink->disconnect(this);
    m_sink->stop();
    // Perhaps inside the sink's own signal: delete it once that has returned.
    m_sink->deleteLater();
    m_sink = nullptr;
    m_sinkInput = nullptr;
    m_streamBytes = 0;
}

} // namespace plovista
