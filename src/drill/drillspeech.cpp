#include "drill/drillspeech.h"

#include "platform/random.h"
#include "speech/speech.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace plovista {

namespace {

const QString LookLeft = QStringLiteral("LookLeft");

// Whole part of (random x sides + 1), kept in 1..sides should the generator
// stray outside [0, 1).
int drawRow(Random &random, int sides)
{
    const int row = static_cast<int>(std::floor(random.next() * sides + 1));
    return std::clamp(row, 1, sides);
}

QString operationWord(const Fact &fact)
{
    switch (fact.sign) {
    case FactSign::Plus:
        return QStringLiteral("plus");
    case FactSign::Minus:
        return QStringLiteral("minus");
    case FactSign::Times:
        return QStringLiteral("times");
    case FactSign::DividedBy:
        return QStringLiteral("divided by");
    }
    return {};
}

QString number(int value)
{
    return QString::number(value);
}

std::vector<PeedyStep> peedyRightSteps(int row)
{
    const auto say = [](const char *text) { return PeedyStep {PeedyStep::Kind::Say, QString::fromLatin1(text)}; };
    const PeedyStep look {PeedyStep::Kind::Play, LookLeft};
    switch (row) {
    case 1:
        return {say("Good!"), look};
    case 2:
    case 7:
        return {say("Yes!")};
    case 3:
    case 9:
        return {say("Right!")};
    case 5:
        return {say("Correct!")};
    case 6:
        return {say("Correct!"), look};
    case 8:
        return {say("Good!")};
    case 10:
        return {look};
    default:
        return {};
    }
}

QStringList voiceRightLines(int row)
{
    static const std::array<const char *, 10> lines = {"Good!",    "Yes!", "Right!", nullptr,  "Correct!",
                                                       "Correct!", "Yes!", "Good!",  "Right!", "Right!"};
    const char *line = lines[static_cast<std::size_t>(row - 1)];
    if (!line)
        return {};
    return {QString::fromLatin1(line)};
}

QString wrongPhrase(int row)
{
    static const std::array<const char *, 7> phrases = {"Sorry", "No", "Wrong", "Sorry", "Wrong", "No", "Sorry"};
    return QString::fromLatin1(phrases[static_cast<std::size_t>(row - 1)]);
}

} // namespace

FactReading factReading(const Fact &fact)
{
    const QString left = number(fact.left);
    const QString right = number(fact.right);
    if (fact.operation == Operation::FactsOfTen) {
        if (fact.factsOfTenFormat == 1)
            return {left + QStringLiteral("minus what,is") + right, ReadingChannel::Feedback};
        return {left + QStringLiteral("Plus what,is") + right, ReadingChannel::PeedyAndVoice};
    }
    return {left + operationWord(fact) + right, ReadingChannel::PeedyAndVoice};
}

QString correctionReading(const Fact &fact)
{
    const QString is = QStringLiteral(",is");
    // In "10 - ? = 3" and "3 + ? = 10" the answer is the middle number and the
    // shown right number comes after "is".
    if (fact.operation == Operation::FactsOfTen)
        return number(fact.left) + operationWord(fact) + number(fact.answer) + is + number(fact.right);
    return number(fact.left) + operationWord(fact) + number(fact.right) + is + number(fact.answer);
}

QString factAnnouncement(const Fact &fact)
{
    const QString left = number(fact.left);
    const QString right = number(fact.right);
    if (fact.operation == Operation::FactsOfTen)
        return QStringLiteral("%1 %2 what is %3").arg(left, operationWord(fact), right);
    return QStringLiteral("%1 %2 %3").arg(left, operationWord(fact), right);
}

QString wrongAnnouncement(const Fact &fact)
{
    // As the correction is said: in "10 - ? = 3" and "3 + ? = 10" the answer
    // is the middle number.
    const bool factsOfTen = fact.operation == Operation::FactsOfTen;
    const int middle = factsOfTen ? fact.answer : fact.right;
    const int last = factsOfTen ? fact.right : fact.answer;
    return QStringLiteral("Wrong. %1 %2 %3 is %4.")
        .arg(number(fact.left), operationWord(fact), number(middle), number(last));
}

Feedback rightFeedback(Random &random, bool peedyOn, bool voiceOn)
{
    Feedback feedback;
    if (peedyOn)
        feedback.peedy = peedyRightSteps(drawRow(random, 10));
    if (voiceOn)
        feedback.voice = voiceRightLines(drawRow(random, 10));
    return feedback;
}

Feedback wrongFeedback(Random &random, bool peedyOn, bool voiceOn, const Fact &fact)
{
    const QString correction = correctionReading(fact);
    Feedback feedback;
    if (peedyOn) {
        feedback.peedy = {{PeedyStep::Kind::Say, wrongPhrase(drawRow(random, 7))}, {PeedyStep::Kind::Say, correction}};
    }
    if (voiceOn)
        feedback.voice = {wrongPhrase(drawRow(random, 7)), correction};
    return feedback;
}

void speakFeedback(Speech &speech, const Feedback &feedback)
{
    for (const PeedyStep &step : feedback.peedy) {
        if (step.kind == PeedyStep::Kind::Say)
            speech.PeedySays({}, step.value);
        else
            speech.PeedyPlays(step.value);
    }
    for (const QString &line : feedback.voice)
        speech.VoiceSays(line);
}

bool readFactAloud(Speech &speech, bool peedyOn, bool voiceOn, const Fact &fact)
{
    const FactReading reading = factReading(fact);
    if (reading.channel == ReadingChannel::Feedback)
        return speech.SayFeedback({}, reading.text);
    if (peedyOn)
        speech.PeedySays({}, reading.text);
    if (voiceOn)
        speech.VoiceSays(reading.text);
    return peedyOn || voiceOn;
}

} // namespace plovista
