#include "drill/drillsequence.h"

#include "drill/answerbox.h"

#include <algorithm>

namespace plovista {

QString drillButtonCaption(DrillButton button)
{
    switch (button) {
    case DrillButton::Start:
        return QStringLiteral("Start");
    case DrillButton::Check:
        return QStringLiteral("Check");
    case DrillButton::GetScore:
        return QStringLiteral("Get Score");
    }
    return {};
}

void DrillSequence::resetCounters()
{
    WrongCount = 0;
    FactNumber = 0;
    RightCount = 0;
    FactsShown = 0;
    FactVariable = 0;
    RepeatFact = false;
}

void DrillSequence::prepare(int factsCount)
{
    Button = DrillButton::Start;
    RepeatFact = false;
    FactsShown = 0;
    FactNumber = 1;
    UsedValues[0].reset();
    clearBlock(UsedValues, factsCount);
}

PressResult DrillSequence::press(const QString &answerText, const DrillSetup &setup, Random &random)
{
    PressResult result;
    DrawnValue.reset();
    IncompleteDrill = false;
    result.startsTiming = Button == DrillButton::Start;
    // After the last fact FactNumber runs one past the count; the countdown
    // stops at 0 rather than showing -1 on the "Get Score" press.
    result.factsLeft = std::max(0, setup.factsCount - FactNumber);
    if (isBlockEnd(FactNumber))
        clearBlock(UsedValues, setup.factsCount);

    if (Button == DrillButton::GetScore) {
        result.outcome = PressResult::Outcome::Score;
        return result;
    }
    Button = DrillButton::Check;

    if (FactsShown == 0) {
        result.outcome = PressResult::Outcome::Started;
    } else {
        const std::optional<int> answer = answerValue(answerText);
        if (!answer) {
            result.outcome = PressResult::Outcome::NoAnswer;
            return result;
        }
        result.outcome = PressResult::Outcome::Answered;
        checkAnswer(*answer, setup, random, result);
    }

    ++FactsShown;
    if (FactNumber == setup.factsCount + 1) {
        Button = DrillButton::GetScore;
        result.drillOver = true;
        return result;
    }

    if (RepeatFact) {
        // The missed value leaves the used list, so it may come back later in
        // the block for more practice. The wrong answer has already moved
        // FactNumber on, so the missed fact sits one entry back.
        record(FactNumber - 1, std::nullopt);
    } else {
        FactVariable = drawFactValue(random, setup.choice, UsedValues, setup.factsCount);
        DrawnValue = FactVariable;
    }
    result.fact = makeFact(setup.choice, FactVariable);
    result.askedAgain = RepeatFact;
    record(FactNumber, DrawnValue);
    return result;
}

void DrillSequence::checkAnswer(int answer, const DrillSetup &setup, Random &random, PressResult &result)
{
    const Fact shown = makeFact(setup.choice, FactVariable);
    if (answer == shown.answer) {
        result.verdict = Verdict::Right;
        result.feedback = rightFeedback(random, setup.peedyFeedback, setup.voiceFeedback);
        if (!RepeatFact) {
            ++RightCount;
            ++FactNumber;
        }
        RepeatFact = false;
        return;
    }
    result.verdict = Verdict::Wrong;
    result.correction = shown;
    result.feedback = wrongFeedback(random, setup.peedyFeedback, setup.voiceFeedback, shown);
    // A fact missed again while it is being asked again still counts once.
    if (!RepeatFact) {
        ++WrongCount;
        ++FactNumber;
    }
    RepeatFact = true;
}

void DrillSequence::record(int index, std::optional<int> value)
{
    if (index >= 0 && index < static_cast<int>(UsedValues.size()))
        UsedValues[static_cast<std::size_t>(index)] = value;
}

bool DrillSequence::closeWindow(int factsCount)
{
    if (FactNumber >= factsCount)
        return false;
    IncompleteDrill = true;
    return true;
}

} // namespace plovista
