#include "drill/scoring.h"

#include "platform/random.h"
#include "settings/numbertext.h"
#include "settings/settingkeys.h"
#include "settings/settings.h"
#include "speech/greeting.h"
#include "speech/speech.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace plovista {

namespace {

constexpr int SecondsPerDay = 24 * 60 * 60;

const QString AccuracyMessage = QStringLiteral("You need to increase your accuracy.");
const QString SpeedMessage = QStringLiteral("You need to increase your speed.");
const QString BothMessage = QStringLiteral("You need to increase your speed and accuracy.");

bool isChoosableFactsCount(int count)
{
    return count >= 10 && count <= 50 && count % 10 == 0;
}

// Praise phrases of rows 1 to 5; the "~" marks are Peedy's speech hints.
const std::array<QString, 5> PeedyPraise = {
    QStringLiteral("I am ~proud of you."),       QStringLiteral("Way to ~go."),
    QStringLiteral("Keep up the good work!"),    QStringLiteral("well~done!"),
    QStringLiteral("You are doing very ~well."),
};
const std::array<QString, 5> VoicePraise = {
    QStringLiteral("I am proud of you!"),
    QStringLiteral("Keep up the good work!"),
    QStringLiteral("You are doing very well!"),
    QStringLiteral("Keep it up!"),
    QStringLiteral("Way to go!"),
};

// A fresh draw of a praise row, 1 to 5, after reseeding from the clock.
int drawPraiseRow(Random &random)
{
    random.reseed();
    const int row = static_cast<int>(std::floor(random.next() * 5.0 + 1.0));
    return std::clamp(row, 1, 5);
}

SpeechCall comment(const QString &text)
{
    return {SpeechCall::Op::SayComment, {}, text, {}};
}

} // namespace

SpeechSwitches speechSwitches(const Settings &settings)
{
    const bool peedy = settings.value(keys::PeedyEnabled);
    const bool voice = settings.value(keys::VoiceEnabled);
    return {
        peedy && settings.value(keys::PeedyComments),
        voice && settings.value(keys::VoiceComments),
        peedy && settings.value(keys::PeedyRewards),
        voice && settings.value(keys::VoiceRewards),
    };
}

int secondsSinceMidnight(const QTime &time)
{
    return time.hour() * 3600 + time.minute() * 60 + time.second();
}

int elapsedSeconds(int startSeconds, int endSeconds)
{
    const int elapsed = endSeconds - startSeconds;
    return elapsed < 0 ? elapsed + SecondsPerDay : elapsed;
}

float accuracyPercent(int factsAnswered, int wrongCount)
{
    if (factsAnswered <= 0)
        return 0.0f;
    return static_cast<float>(static_cast<double>(factsAnswered - wrongCount) / factsAnswered * 100.0);
}

DrillScore calculateScore(const DrillResult &drill)
{
    const int elapsed = elapsedSeconds(drill.startSeconds, drill.endSeconds);
    DrillScore score;
    score.Accuracy = accuracyPercent(drill.factsAnswered, drill.wrongCount);
    score.Speed =
        isChoosableFactsCount(drill.factsCount) ? static_cast<double>(elapsed) / drill.factsCount : drill.previousSpeed;
    score.MinutesSpent = elapsed / 60.0;
    return score;
}

DrillScore scoreSoFar(const DrillResult &drill)
{
    if (drill.factsAnswered <= 0)
        return {};
    const int elapsed = elapsedSeconds(drill.startSeconds, drill.endSeconds);
    return {accuracyPercent(drill.factsAnswered, drill.wrongCount), static_cast<double>(elapsed) / drill.factsAnswered,
            elapsed / 60.0};
}

GoalCheck checkGoals(const DrillScore &score, const Goals &goals)
{
    return checkGoals(score.Accuracy, score.Speed, goals);
}

ScoreScreen scoreScreen(const DrillScore &score, const Goals &goals, const QLocale &locale)
{
    ScoreScreen screen;
    screen.percent = cutText(localeNumberText(score.Accuracy, locale, Precision::Single), 4);
    screen.seconds = cutText(localeNumberText(score.Speed, locale), 4);
    screen.accuracyGoal = goals.accuracy + QLatin1Char('%');
    screen.speedGoal = goals.speed;

    const GoalCheck check = checkGoals(score, goals);
    // Tested in this order, each overwriting what the one before set.
    if (check.accuracyShort) {
        screen.needTo = NeedToMessage {AccuracyMessage, ShortAccuracyColour, 4700, 1000};
        screen.accuracyGoalBackground = ShortAccuracyColour;
    }
    if (check.speedShort) {
        screen.needTo = NeedToMessage {SpeedMessage, ShortSpeedColour, 4200, 1200};
        screen.speedGoalBackground = ShortSpeedColour;
    }
    if (check.accuracyShort && check.speedShort) {
        screen.needTo = NeedToMessage {BothMessage, ShortSpeedColour, 6000, 700};
        screen.accuracyGoalBackground = ShortSpeedColour;
    }
    return screen;
}

std::vector<SpeechCall> goalComments(const GoalCheck &check, const SpeechSwitches &switches)
{
    std::vector<SpeechCall> calls;
    if (!switches.peedyComments && !switches.voiceComments)
        return calls;
    if (check.accuracyShort && check.speedShort) {
        if (switches.peedyComments)
            calls.push_back({SpeechCall::Op::PeedySays, {}, BothMessage, {}});
        else
            calls.push_back(comment(BothMessage));
        return calls;
    }
    if (check.speedShort)
        calls.push_back(comment(SpeedMessage));
    if (check.accuracyShort)
        calls.push_back(comment(AccuracyMessage));
    return calls;
}

std::vector<SpeechCall> rewards(const GoalCheck &check, const SpeechSwitches &switches, const QString &spokenName,
                                Random &random)
{
    std::vector<SpeechCall> calls;
    if (switches.peedyRewards)
        calls.push_back({SpeechCall::Op::PerchPeedy, {}, {}, {}});
    if (!switches.peedyRewards && !switches.voiceRewards)
        return calls;
    if (check.perfect)
        calls.push_back({SpeechCall::Op::SayReward,
                         {QStringLiteral("Congratulate")},
                         QStringLiteral("~Per fect ~score."),
                         QStringLiteral("Perfect score!")});
    if (check.met()) {
        const std::optional<int> peedyRow =
            switches.peedyRewards ? std::optional<int>(drawPraiseRow(random)) : std::nullopt;
        const std::optional<int> voiceRow =
            switches.voiceRewards ? std::optional<int>(drawPraiseRow(random)) : std::nullopt;
        const QString voiceText = voiceRow ? addressed(VoicePraise[*voiceRow - 1], spokenName) : QString();
        const QString text = peedyRow ? addressed(PeedyPraise[*peedyRow - 1], spokenName) : voiceText;
        calls.push_back({SpeechCall::Op::SayReward, {}, text, voiceText});
    }
    return calls;
}

void perform(Speech &speech, const std::vector<SpeechCall> &calls)
{
    for (const SpeechCall &call : calls) {
        switch (call.op) {
        case SpeechCall::Op::PerchPeedy:
            speech.PerchPeedy();
            break;
        case SpeechCall::Op::PeedySays:
            speech.PeedySays(call.animations, call.text);
            break;
        case SpeechCall::Op::SayComment:
            speech.SayComment(call.animations, call.text, call.voiceText);
            break;
        case SpeechCall::Op::SayReward:
            speech.SayReward(call.animations, call.text, call.voiceText);
            break;
        }
    }
}

ScoreOutcome getScore(const ScoreInput &input, Random &random, const QLocale &locale)
{
    ScoreOutcome outcome;
    outcome.score = calculateScore(input.drill);
    outcome.check = checkGoals(outcome.score, input.goals);
    outcome.screen = scoreScreen(outcome.score, input.goals, locale);
    outcome.comments = goalComments(outcome.check, input.switches);
    outcome.rewards = rewards(outcome.check, input.switches, input.spokenName, random);
    return outcome;
}

} // namespace plovista
