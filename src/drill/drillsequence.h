#pragma once

#include "drill/drillspeech.h"
#include "drill/facts.h"

#include <QString>

#include <optional>

namespace plovista {

class Random;

// What the drill button does next; its caption says so.
enum class DrillButton { Start, Check, GetScore };

QString drillButtonCaption(DrillButton button);

// Everything a press reads from outside the drill: the selection, the number
// of facts per drill and whether feedback is spoken. The window gathers it
// afresh for every press.
struct DrillSetup
{
    DrillChoice choice;
    int factsCount = 10;
    bool peedyFeedback = false; // PeedyEnabled and PeedyFeedback
    bool voiceFeedback = false; // VoiceEnabled and VoiceFeedback
};

enum class Verdict { Right, Wrong };

// What one press asks of the drill window, which renders it in this order:
// the counters, the verdict with its feedback and pause, then either the
// fact to present or the end of the drill.
struct PressResult
{
    enum class Outcome {
        Started, // the "Start" press: no answer checked, the first fact shown
        NoAnswer, // empty or "00": clear the box and ask for an answer; no counter moves
        Answered, // an answer was checked
        Score, // the "Get Score" press: scoring takes over
    };
    Outcome outcome = Outcome::Started;

    bool startsTiming = false; // the "Start" press: take the start time now
    int factsLeft = 0; // the countdown label

    std::optional<Verdict> verdict;
    Feedback feedback;
    std::optional<Fact> correction; // after a wrong answer: the fact with its answer

    // The fact to put on the screen and read aloud, empty when none is due.
    std::optional<Fact> fact;
    bool askedAgain = false; // the fact is the one just missed

    // The last fact is answered: "Get Score" on a wider button, the answer box
    // disabled and GetYourScoreText said as a comment.
    bool drillOver = false;
};

// The drill's own state and the state machine of its one button. It does no
// speaking and shows nothing: each press returns what the window must do.
// The members keep the names the rest of the program knows them by, as the
// menus and scoring read and reset them directly.
struct DrillSequence
{
    int FactNumber = 0;
    int FactsShown = 0;
    int RightCount = 0;
    int WrongCount = 0;
    bool RepeatFact = false;
    int FactVariable = 0;
    std::optional<int> DrawnValue;
    UsedValueList UsedValues;
    bool IncompleteDrill = false;
    DrillButton Button = DrillButton::Start;

    // The menus' reset of the counters when Accept is pressed.
    void resetCounters();

    // Ready for "Start": fact 1, nothing shown, the used values forgotten.
    void prepare(int factsCount);

    // One press of the drill button, with the answer box text as it stands.
    PressResult press(const QString &answerText, const DrillSetup &setup, Random &random);

    // Closing the drill window before the last fact marks the drill incomplete,
    // which calls for a record at once; returns whether it did.
    bool closeWindow(int factsCount);

private:
    void checkAnswer(int answer, const DrillSetup &setup, Random &random, PressResult &result);
    void record(int index, std::optional<int> value);
};

} // namespace plovista
