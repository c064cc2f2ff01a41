#pragma once

#include <QList>
#include <QString>

namespace plovista {

// The program's texts carry speech marks: "~" right before a word or syllable
// to stress it, and runs of commas and periods for longer pauses. Every
// engine call goes through here, so callers keep writing the marks as they are.
//
// Returns SSML as espeak-ng reads it (no root element needed):
// - "~word" becomes <emphasis>word</emphasis>; a "~" before nothing is dropped,
//   never read out as "tilde".
// - A run of punctuation keeps its first mark, followed by a space, so a mark
//   glued to the next word still pauses and "!," is not read as a name; each
//   further mark of the run adds PausePerExtraMarkMs of silence. A run that
//   ends the text adds none: a pause before nothing only delays the end.
// - A comma or period between two digits belongs to the number.
// - XML's special characters are escaped.
QString speechMarkupToSsml(const QString &text);

// The silence each further mark of a punctuation run adds, in milliseconds.
inline constexpr int PausePerExtraMarkMs = 250;

// One stretch of a text as an engine that reads a sentence at a time is
// given it: its words, the ones to stress, and the silence that follows.
struct SpokenSentence
{
    // Words separated by single blanks, the closing mark kept on the last.
    QString text;
    // Indexes of the blank-separated words of `text` to stress.
    QList<int> stressed;
    int pauseAfterMs = 0;

    friend bool operator==(const SpokenSentence &, const SpokenSentence &) = default;
};

// The same marks, for such an engine:
// - A text is cut after every run of marks, a lone comma too (a reading of
//   a whole sentence may run over a comma without a pause); the run's first
//   mark closes the piece. Each further mark of a run is PausePerExtraMarkMs
//   of silence after it, except at the end of the text.
// - "~word" stresses the word; "No~chezz" is read as "No" and a stressed
//   "chezz". A "~" before nothing is dropped.
// - Digits and letters glued together are parted ("8times5" is three words),
//   so numbers are read as numbers; a comma or period between digits stays.
// - Sentences with no words are dropped; their pause goes to the one before.
QList<SpokenSentence> speechMarkupToSentences(const QString &text);

} // namespace plovista
