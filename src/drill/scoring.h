#pragma once

#include "drill/goals.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTime>
#include <optional>
#include <vector>

namespace plovista {

class Random;
class Settings;
class Speech;

// The counters and clock readings of one drill, as the drill window holds them.
struct DrillResult
{
    int factsAnswered = 0; // facts counted at the first try (FactNumber - 1)
    int wrongCount = 0; // facts missed at the first try, even if answered later
    int factsCount = 0; // the number-of-facts setting
    int startSeconds = 0; // seconds since midnight of the "Start" press
    int endSeconds = 0; // seconds since midnight of the "Get Score" press (or of now)
    double previousSpeed = 0.0; // the speed left by the last scored drill
};

struct DrillScore
{
    float Accuracy = 0.0f; // percent right at the first try
    double Speed = 0.0; // average seconds per fact
    double MinutesSpent = 0.0;
};

// Which of the speaking switches are on, each already joined with the
// channel's own switch (Peedy's or the voice's "Enabled").
struct SpeechSwitches
{
    bool peedyComments = false;
    bool voiceComments = false;
    bool peedyRewards = false;
    bool voiceRewards = false;
};
SpeechSwitches speechSwitches(const Settings &settings);

int secondsSinceMidnight(const QTime &time);

// Whole seconds from start to end. A drill that runs past midnight ends on
// the next day, so it never gets a negative time.
int elapsedSeconds(int startSeconds, int endSeconds);

// Percent of the facts answered right at the first try, worked out in double
// precision and held in single precision; 0 when no fact was answered.
float accuracyPercent(int factsAnswered, int wrongCount);

// The score of a finished drill. The speed is only worked out for the fact
// counts the teacher can choose (10 to 50 by tens); for any other count the
// previous speed stays.
DrillScore calculateScore(const DrillResult &drill);

// The score of the facts answered so far in a drill left unfinished, for its
// record: the speed is per answered fact, and 0 and 0 when none was answered.
DrillScore scoreSoFar(const DrillResult &drill);

GoalCheck checkGoals(const DrillScore &score, const Goals &goals);

struct Rgb
{
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const Rgb &, const Rgb &) = default;
};
inline constexpr Rgb ShortAccuracyColour {0, 255, 255}; // cyan
inline constexpr Rgb ShortSpeedColour {0, 192, 192}; // teal

// The message under the results; width and left in twips.
struct NeedToMessage
{
    QString text;
    Rgb background;
    int width = 0;
    int left = 0;
    friend bool operator==(const NeedToMessage &, const NeedToMessage &) = default;
};

// What the score screen shows. An empty colour is the system's button-face
// colour; an empty message is an empty label on the button-face colour (so a
// colour left from an earlier drill never shows behind no message).
struct ScoreScreen
{
    QString percent; // Percent
    QString seconds; // Seconds
    QString accuracyGoal; // AgoalLabel
    QString speedGoal; // SgoalLabel
    std::optional<Rgb> accuracyGoalBackground;
    std::optional<Rgb> speedGoalBackground;
    std::optional<NeedToMessage> needTo;
};
ScoreScreen scoreScreen(const DrillScore &score, const Goals &goals, const QLocale &locale = QLocale::system());

// One call of the speaking operations. The switched operations check the
// switches again when they run; PeedySays is used only where Peedy alone must
// speak.
struct SpeechCall
{
    enum class Op { PerchPeedy, PeedySays, SayComment, SayReward };
    Op op = Op::SayComment;
    QStringList animations;
    QString text;
    QString voiceText; // null: the voice says `text`
    friend bool operator==(const SpeechCall &, const SpeechCall &) = default;
};

// Comments on missed goals. Peedy's combined message stands for both
// channels: the voice then says nothing about the goals.
std::vector<SpeechCall> goalComments(const GoalCheck &check, const SpeechSwitches &switches);

// Perfect-score words and praise. Each channel that praises reseeds the
// generator and draws its own phrase, Peedy first.
std::vector<SpeechCall> rewards(const GoalCheck &check, const SpeechSwitches &switches, const QString &spokenName,
                                Random &random);

void perform(Speech &speech, const std::vector<SpeechCall> &calls);

struct ScoreInput
{
    DrillResult drill;
    Goals goals;
    SpeechSwitches switches;
    QString spokenName;
};

// Everything the "Get Score" press decides, in the order the window uses it:
// fill the screen, say the comments, hide the drill, say the rewards.
struct ScoreOutcome
{
    DrillScore score;
    GoalCheck check;
    ScoreScreen screen;
    std::vector<SpeechCall> comments;
    std::vector<SpeechCall> rewards;
};
ScoreOutcome getScore(const ScoreInput &input, Random &random, const QLocale &locale = QLocale::system());

} // namespace plovista
