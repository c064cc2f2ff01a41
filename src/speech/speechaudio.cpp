#include "speech/speechaudio.h"

#include <algorithm>
#include <cstdlib>

namespace plovista::speechaudio {

namespace {

qint16 *samplesOf(QByteArray &pcm)
{
    return reinterpret_cast<qint16 *>(pcm.data());
}

qsizetype countOf(const QByteArray &pcm)
{
    return pcm.size() / qsizetype(sizeof(qint16));
}

// Scales `count` samples from `first` by a ramp from `from` to `to`.
void ramp(qint16 *first, qsizetype count, double from, double to)
{
    for (qsizetype i = 0; i < count; ++i) {
        const double gain = from + (to - from) * double(i + 1) / double(count + 1);
        first[i] = qint16(double(first[i]) * gain);
    }
}

} // namespace

qsizetype trimSilence(QByteArray &pcm, int sampleRate)
{
    const qsizetype count = countOf(pcm);
    const qint16 *samples = samplesOf(pcm);
    const auto loud = [](qint16 sample) { return std::abs(int(sample)) > NoiseFloor; };
    const qint16 *firstLoud = std::find_if(samples, samples + count, loud);
    if (firstLoud == samples + count || sampleRate <= 0)
        return 0;
    const qint16 *lastLoud =
        std::find_if(std::make_reverse_iterator(samples + count), std::make_reverse_iterator(firstLoud), loud).base() -
        1;
    const qsizetype edge = qsizetype(sampleRate) * EdgeMs / 1000;
    const qsizetype begin = std::max<qsizetype>(0, (firstLoud - samples) - edge);
    const qsizetype end = std::min(count, (lastLoud - samples) + 1 + edge);
    pcm = pcm.mid(begin * qsizetype(sizeof(qint16)), (end - begin) * qsizetype(sizeof(qint16)));
    qint16 *kept = samplesOf(pcm);
    const qsizetype lead = (firstLoud - samples) - begin;
    const qsizetype tail = end - ((lastLoud - samples) + 1);
    ramp(kept, lead, 0.0, 1.0);
    ramp(kept + (end - begin) - tail, tail, 1.0, 0.0);
    return begin;
}

qint64 cutPointMs(const QList<int> &boundariesMs, qint64 durationMs, qint64 heardMs, qint64 writtenMs)
{
    if (durationMs - heardMs < FinishWithinMs)
        return durationMs;
    for (const int boundary : boundariesMs) {
        if (boundary >= writtenMs + FadeMs && boundary < durationMs)
            return boundary;
    }
    return durationMs;
}

void endWithFade(QByteArray &pcm, int sampleRate, qint64 endMs)
{
    const qsizetype end = std::min(countOf(pcm), qsizetype(endMs * sampleRate / 1000));
    if (end >= countOf(pcm))
        return;
    pcm.truncate(end * qsizetype(sizeof(qint16)));
    const qsizetype fade = std::min(end, qsizetype(sampleRate) * FadeMs / 1000);
    ramp(samplesOf(pcm) + end - fade, fade, 1.0, 0.0);
}

} // namespace plovista::speechaudio
