#include "platform/beakopening.h"

#include <algorithm>

namespace plovista {

namespace {

constexpr double EaseMs = 40;

double openingFor(const QByteArray &phoneme)
{
    if (phoneme.isEmpty() || phoneme.startsWith('_'))
        return 0;
    switch (phoneme.at(0)) {
    case 'p':
    case 'b':
    case 'm':
        return 0.05;
    case 'a':
    case 'A':
    case '0': // the vowel of "not"
    case 'O':
    case 'V':
        return 1;
    case 'e':
    case 'E':
    case '3':
    case '@':
    case 'o':
        return 0.7;
    case 'i':
    case 'I':
    case 'u':
    case 'U':
        return 0.45;
    default:
        return 0.25;
    }
}

} // namespace

double beakOpening(const QList<SpeechMark> &marks, qint64 ms)
{
    double previous = 0;
    double current = 0;
    qint64 since = 0;
    bool found = false;
    for (const SpeechMark &mark : marks) {
        if (mark.kind != SpeechMark::Kind::Phoneme)
            continue;
        if (mark.audioMs > ms)
            break;
        previous = current;
        current = openingFor(mark.phoneme);
        since = mark.audioMs;
        found = true;
    }
    if (!found)
        return 0;
    const double progress = std::min(1.0, double(ms - since) / EaseMs);
    return previous + (current - previous) * progress;
}

} // namespace plovista
