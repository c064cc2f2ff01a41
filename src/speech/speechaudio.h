#pragma once

#include <QByteArray>
#include <QList>

namespace plovista {

// A synthesised text's sound: signed 16-bit mono samples.
namespace speechaudio {

// Below this a sample is the synthesiser's breath noise, not speech (about
// -54 dBFS): the natural voice fills its pauses with noise up to a third of it.
constexpr int NoiseFloor = 64;
// What is kept of the quiet on either side of the sound, faded so the cut
// never clicks.
constexpr int EdgeMs = 5;
// How long a text cut short takes to fall silent.
constexpr int FadeMs = 10;
// A reading with less than this left is let finish rather than cut.
constexpr int FinishWithinMs = 300;

// Trims the quiet the synthesiser puts before and after the sound, keeping
// EdgeMs of it each side, faded in and out; nothing above NoiseFloor is
// touched. Returns how many samples were taken off the front (marks move
// back by as much); an all-quiet sound is left as it is.
qsizetype trimSilence(QByteArray &pcm, int sampleRate);

// Where a text cut short should end, in ms from its start: at the first word
// boundary (a word's start, or a pause's) far enough past `writtenMs`, what
// the audio device already holds, to fade out before it; at its end when
// less than FinishWithinMs is left after `heardMs` or no boundary is left.
qint64 cutPointMs(const QList<int> &boundariesMs, qint64 durationMs, qint64 heardMs, qint64 writtenMs);

// Ends the sound at `endMs`, fading out over the FadeMs before it.
void endWithFade(QByteArray &pcm, int sampleRate, qint64 endMs);

} // namespace speechaudio

} // namespace plovista
