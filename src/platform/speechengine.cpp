#include "platform/speechengine.h"

#include "speech/namelexicon.h"
#include "speech/speechaudio.h"
#include "speech/speechmarkup.h"
#ifdef PLOVISTA_HAVE_FESTIVAL
#include "platform/htsvoice.h"
#endif

#include <QMetaObject>

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <atomic>
#include <cstring>

namespace plovista {

struct SpeechJob
{
    int channel = 0;
    quint64 serial = 0;
    SpeechVoice voice;
    QString text; // with the program's speech marks
    std::atomic<bool> cancelled {false};
    int sampleRate = 0;
    QByteArray pcm;
    QList<SpeechMark> marks;
};

namespace {

// The pause between the pieces of a text the natural voice reads one at a
// time (after a comma, say), once the voice's own silence around each is
// trimmed: a short breath, the pause a reader makes at a comma.
constexpr int PieceGapMs = 120;

// Takes the synthesiser's silence off both ends of a sound, and moves its
// marks with it.
void trimSound(QByteArray &pcm, int sampleRate, QList<SpeechMark> &marks)
{
    const qsizetype removed = speechaudio::trimSilence(pcm, sampleRate);
    if (sampleRate <= 0)
        return;
    const int removedMs = int(removed * 1000 / sampleRate);
    const int lastMs = int(pcm.size() / qsizetype(sizeof(qint16)) * 1000 / sampleRate);
    for (SpeechMark &mark : marks)
        mark.audioMs = std::clamp(mark.audioMs - removedMs, 0, lastMs);
}

// espeak-ng is one instance per process, whatever the number of engines.
std::mutex &espeakMutex()
{
    static std::mutex mutex;
    return mutex;
}

// Guarded by espeakMutex().
int s_engines = 0;
int s_sampleRate = 0; // 0: not started yet; -1: could not start

// Synchronous output calls back on the synthesising thread.
thread_local SpeechJob *t_job = nullptr;

int synthCallback(short *wav, int numSamples, espeak_EVENT *events)
{
    SpeechJob *job = t_job;
    if (!job || job->cancelled.load(std::memory_order_relaxed))
        return 1; // tells espeak-ng to abandon the text
    if (wav && numSamples > 0)
        job->pcm.append(reinterpret_cast<const char *>(wav), qsizetype(numSamples) * qsizetype(sizeof(short)));
    for (espeak_EVENT *event = events; event && event->type != espeakEVENT_LIST_TERMINATED; ++event) {
        if (event->type == espeakEVENT_WORD && event->length > 0) {
            // (espeak-ng also sends empty word events at clause ends: not words.)
            job->marks.append({SpeechMark::Kind::Word, event->audio_position, {}});
        } else if (event->type == espeakEVENT_PHONEME) {
            const char *name = event->id.string;
            job->marks.append({SpeechMark::Kind::Phoneme, event->audio_position,
                               QByteArray(name, qsizetype(strnlen(name, sizeof event->id.string)))});
        }
    }
    return 0;
}

// Call with espeakMutex() held.
int startEspeak()
{
    if (s_sampleRate == 0) {
        const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr,
                                           espeakINITIALIZE_PHONEME_EVENTS | espeakINITIALIZE_DONT_EXIT);
        s_sampleRate = rate > 0 ? rate : -1;
        if (s_sampleRate > 0)
            espeak_SetSynthCallback(synthCallback);
    }
    return s_sampleRate;
}

bool synthesizeWithEspeak(SpeechJob &job)
{
    const QByteArray ssml = speechMarkupToSsml(job.text).toUtf8();
    std::lock_guard lock(espeakMutex());
    const int rate = startEspeak();
    if (rate <= 0)
        return false;
    job.sampleRate = rate;
    if (espeak_SetVoiceByName(job.voice.name.constData()) != EE_OK && espeak_SetVoiceByName("en") != EE_OK)
        return false;
    espeak_SetParameter(espeakRATE, job.voice.rate, 0);
    espeak_SetParameter(espeakPITCH, job.voice.pitch, 0);
    espeak_SetParameter(espeakRANGE, job.voice.range, 0);
    t_job = &job;
    const espeak_ERROR result = espeak_Synth(ssml.constData(), size_t(ssml.size()) + 1, 0, POS_CHARACTER, 0,
                                             espeakCHARS_UTF8 | espeakSSML | espeakENDPAUSE, nullptr, nullptr);
    t_job = nullptr;
    if (result != EE_OK)
        return false;
    trimSound(job.pcm, job.sampleRate, job.marks);
    return true;
}

#ifdef PLOVISTA_HAVE_FESTIVAL
// A sentence at a time, each trimmed and followed by its pause; a cancel is
// seen between sentences.
bool synthesizeWithHtsVoice(SpeechJob &job)
{
    const QList<SpokenSentence> sentences = speechMarkupToSentences(job.text);
    for (qsizetype i = 0; i < sentences.size(); ++i) {
        const SpokenSentence &sentence = sentences.at(i);
        if (job.cancelled)
            return false;
        int sampleRate = 0;
        QByteArray pcm;
        QList<SpeechMark> marks;
        {
            std::lock_guard lock(htsvoice::mutex());
            if (!htsvoice::synthesize(sentence, job.voice, sampleRate, pcm, marks))
                return false;
        }
        trimSound(pcm, sampleRate, marks);
        const int offsetMs = int(qint64(job.pcm.size() / qsizetype(sizeof(qint16))) * 1000 / sampleRate);
        for (SpeechMark &mark : marks) {
            mark.audioMs += offsetMs;
            job.marks.append(std::move(mark));
        }
        job.sampleRate = sampleRate;
        job.pcm += pcm;
        const int pauseMs = sentence.pauseAfterMs + (i + 1 < sentences.size() ? PieceGapMs : 0);
        job.pcm.append(qsizetype(sampleRate) * pauseMs / 1000 * qsizetype(sizeof(qint16)), '\0');
    }
    return !job.pcm.isEmpty();
}
#endif

} // namespace

qint64 SynthesizedSpeech::durationMs() const
{
    if (sampleRate <= 0)
        return 0;
    return qint64(pcm.size() / qsizetype(sizeof(short))) * 1000 / sampleRate;
}

SpeechEngine::SpeechEngine(Synthesizer wanted, QObject *parent)
    : QObject(parent)
    , m_wanted(wanted)
{
    {
        std::lock_guard lock(espeakMutex());
        ++s_engines;
    }
    m_worker = std::thread([this] { run(); });
}

SpeechEngine::~SpeechEngine()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
        m_jobs.clear();
        if (m_running)
            m_running->cancelled = true;
    }
    m_wake.notify_all();
    m_worker.join();

    std::lock_guard lock(espeakMutex());
    if (--s_engines == 0 && s_sampleRate > 0) {
        espeak_Terminate();
        s_sampleRate = 0;
    }
}

void SpeechEngine::begin()
{
    {
        std::lock_guard lock(m_mutex);
        m_begun = true;
    }
    m_wake.notify_one();
}

std::optional<SpeechEngine::Synthesizer> SpeechEngine::synthesizer() const
{
    const int chosen = m_chosen.load();
    if (chosen < 0)
        return std::nullopt;
    return Synthesizer(chosen);
}

bool SpeechEngine::hasNaturalVoice()
{
#ifdef PLOVISTA_HAVE_FESTIVAL
    return true;
#else
    return false;
#endif
}

int SpeechEngine::openChannel()
{
    return m_nextChannel++;
}

quint64 SpeechEngine::synthesize(int channel, const SpeechVoice &voice, const QString &markedText)
{
    auto job = std::make_shared<SpeechJob>();
    job->channel = channel;
    job->serial = m_nextSerial++;
    job->voice = voice;
    // A student's name is said as the lexicon spells it, wherever it comes.
    job->text = respellNames(markedText);
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(job);
    }
    m_wake.notify_one();
    return job->serial;
}

void SpeechEngine::cancel(int channel)
{
    m_cancelledUpTo[channel] = m_nextSerial - 1;
    std::lock_guard lock(m_mutex);
    std::erase_if(m_jobs, [channel](const std::shared_ptr<SpeechJob> &job) { return job->channel == channel; });
    if (m_running && m_running->channel == channel)
        m_running->cancelled = true;
}

SpeechEngine::Synthesizer SpeechEngine::startSynthesizer()
{
#ifdef PLOVISTA_HAVE_FESTIVAL
    if (m_wanted == Synthesizer::Natural) {
        std::lock_guard lock(htsvoice::mutex());
        if (htsvoice::start())
            return Synthesizer::Natural;
    }
#endif
    std::lock_guard lock(espeakMutex());
    startEspeak();
    return Synthesizer::Espeak;
}

bool SpeechEngine::synthesizeJob(SpeechJob &job)
{
#ifdef PLOVISTA_HAVE_FESTIVAL
    if (m_chosen.load() == int(Synthesizer::Natural))
        return synthesizeWithHtsVoice(job);
#endif
    return synthesizeWithEspeak(job);
}

void SpeechEngine::run()
{
    {
        // Nothing starts before it is asked for: the natural voice takes a
        // tenth of a second of a processor and tens of megabytes, which the
        // program's first screen should not wait for.
        std::unique_lock lock(m_mutex);
        m_wake.wait(lock, [this] { return m_quit || m_begun || !m_jobs.empty(); });
        if (m_quit)
            return;
    }
    const Synthesizer chosen = startSynthesizer();
    m_chosen = int(chosen);
    QMetaObject::invokeMethod(
        this, [this, chosen] { Q_EMIT ready(chosen); }, Qt::QueuedConnection);
    for (;;) {
        std::shared_ptr<SpeechJob> job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_quit || !m_jobs.empty(); });
            if (m_quit)
                return;
            job = m_jobs.front();
            m_jobs.pop_front();
            m_running = job;
        }
        const bool ok = synthesizeJob(*job);
        {
            std::lock_guard lock(m_mutex);
            m_running.reset();
            if (m_quit)
                return;
        }
        if (!job->cancelled)
            QMetaObject::invokeMethod(
                this, [this, job, ok] { deliver(job, ok); }, Qt::QueuedConnection);
    }
}

void SpeechEngine::deliver(const std::shared_ptr<SpeechJob> &job, bool ok)
{
    const auto cancelled = m_cancelledUpTo.find(job->channel);
    if (job->cancelled || (cancelled != m_cancelledUpTo.end() && job->serial <= cancelled->second))
        return;
    if (!ok) {
        Q_EMIT failed(job->channel, job->serial);
        return;
    }
    SynthesizedSpeech speech;
    speech.channel = job->channel;
    speech.serial = job->serial;
    speech.sampleRate = job->sampleRate;
    speech.pcm = std::move(job->pcm);
    speech.marks = std::move(job->marks);
    Q_EMIT synthesized(speech);
}

} // namespace plovista
