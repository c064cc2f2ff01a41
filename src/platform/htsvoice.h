#pragma once

#include "platform/speechengine.h"
#include "speech/speechmarkup.h"

#include <mutex>

namespace plovista {

// The natural voice: Festival reads the sentence (words, phrasing, the
// context of every sound) and hts_engine makes its sound from the HMM voice
// "cmu_us_slt_arctic_hts", driven here directly so that each text can set
// the voice's own speed and pitch.
//
// Festival is one instance per process with its state in globals, and its
// collector scans the calling thread's stack: every call below must hold
// htsVoiceMutex(), and none may be made from two threads at once.
namespace htsvoice {

std::mutex &mutex();

// Starts Festival with a small heap and loads the voice, once per process;
// false when Festival's files or the voice are not installed or do not load
// (later calls give the same answer at once).
bool start();

// The sentence's sound, 16-bit mono, with a mark where each word and each
// sound of it starts ("_" for silence). False when it could not be made.
bool synthesize(const SpokenSentence &sentence, const SpeechVoice &voice, int &sampleRate, QByteArray &pcm,
                QList<SpeechMark> &marks);

} // namespace htsvoice

} // namespace plovista
