#pragma once

#include "platform/speechengine.h"

namespace plovista {

// How far Peedy's beak is open (0 shut, 1 wide) `ms` into a text's sound,
// from the phoneme marks the engine gave with it: wide on open vowels,
// narrower on close ones, nearly shut on consonants and shut on pauses and
// on p, b and m. Each change is eased over a few milliseconds so the beak
// does not snap.
double beakOpening(const QList<SpeechMark> &marks, qint64 ms);

} // namespace plovista
