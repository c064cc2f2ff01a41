#pragma once

#include "drill/facts.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace plovista {

class Random;
class Speech;

// Comments the drill window speaks with SayComment.
inline constexpr char PleaseTypeAnswerText[] = "Please type your answer.";
inline constexpr char GetYourScoreText[] = "Get your score.";

// How the reading of a fact reaches the student. The operations read it with
// PeedySays and VoiceSays under PeedyEnabled and VoiceEnabled alone; the
// "10 minus what" facts go through SayFeedback and so stay silent when
// feedback is switched off.
enum class ReadingChannel { PeedyAndVoice, Feedback };

struct FactReading
{
    QString text;
    ReadingChannel channel = ReadingChannel::PeedyAndVoice;

    friend bool operator==(const FactReading &, const FactReading &) = default;
};

// The fact as read aloud each time it is shown: "8plus5", "40divided by5",
// "10minus what,is3", "3Plus what,is10".
FactReading factReading(const Fact &fact);

// The corrected fact as said after a wrong answer: "8times5,is40",
// "10minus7,is3", "3plus7,is10".
QString correctionReading(const Fact &fact);

// What the drill window tells a screen reader, in plain words: the fact on
// screen, also when it is asked again ("8 times 5", "40 divided by 5",
// "10 minus what is 3", "3 plus what is 10"), and the correction of a wrong
// answer ("Wrong. 8 times 5 is 40.", "Wrong. 10 minus 7 is 3.").
inline constexpr char RightAnnouncementText[] = "Right.";
QString factAnnouncement(const Fact &fact);
QString wrongAnnouncement(const Fact &fact);

// One thing Peedy does: say a text or play an animation. Some feedback plays
// its animation after the words, which PeedySays cannot express on its own.
struct PeedyStep
{
    enum class Kind { Say, Play };
    Kind kind = Kind::Say;
    QString value;

    friend bool operator==(const PeedyStep &, const PeedyStep &) = default;
};

// Feedback after an answer. Peedy and the voice draw their phrases apart, so
// they may say different things; either may have nothing to do. The steps are
// carried out in order, Peedy's first: each Say with PeedySays and no
// animation, each Play as that animation alone, each voice line with VoiceSays.
struct Feedback
{
    std::vector<PeedyStep> peedy;
    QStringList voice;

    friend bool operator==(const Feedback &, const Feedback &) = default;
};

// peedyOn stands for PeedyEnabled and PeedyFeedback, voiceOn for VoiceEnabled
// and VoiceFeedback. A channel that is off makes no draw, so the generator
// sees the same sequence of requests as the switches allow.
Feedback rightFeedback(Random &random, bool peedyOn, bool voiceOn);
Feedback wrongFeedback(Random &random, bool peedyOn, bool voiceOn, const Fact &fact);

// Carries the feedback out as the struct says: Peedy's steps, then the voice's
// lines.
void speakFeedback(Speech &speech, const Feedback &feedback);

// Reads the fact aloud through its channel, peedyOn and voiceOn standing for
// PeedyEnabled and VoiceEnabled. Returns whether anything reads it, so a
// caller waiting for the reading's end (Speech::whenSaid) knows one comes.
bool readFactAloud(Speech &speech, bool peedyOn, bool voiceOn, const Fact &fact);

} // namespace plovista
