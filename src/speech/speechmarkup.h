#pragma once

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

} // namespace plovista
