#include "speech/speechsettings.h"

#include "settings/settingkeys.h"

#include <QRegularExpression>

namespace plovista {

SpeechChannel chosenChannel(const SpeechBoxes &boxes)
{
    if (boxes.peedy)
        return SpeechChannel::Peedy;
    return boxes.voice ? SpeechChannel::Voice : SpeechChannel::Silent;
}

std::vector<SettingWrite> speechChoiceWrites(const SpeechBoxes &boxes)
{
    switch (chosenChannel(boxes)) {
    case SpeechChannel::Peedy:
        return {{keys::PeedyEnabled, true},
                {keys::VoiceEnabled, false},
                {keys::PeedyTeacher, boxes.teacher},
                {keys::PeedyFeedback, boxes.peedyFeedback},
                {keys::PeedyComments, boxes.peedyComments},
                {keys::PeedyRewards, boxes.peedyRewards}};
    case SpeechChannel::Voice:
        return {{keys::VoiceEnabled, true},
                {keys::PeedyEnabled, false},
                {keys::VoiceFeedback, boxes.voiceFeedback},
                {keys::VoiceComments, boxes.voiceComments},
                {keys::VoiceRewards, boxes.voiceRewards}};
    case SpeechChannel::Silent:
        break;
    }
    return {{keys::VoiceEnabled, false}, {keys::PeedyEnabled, false}};
}

QString oneLine(const QString &text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QString line = text;
    return line.replace(lineBreak, QStringLiteral(" "));
}

std::vector<SettingWrite> greetingWrites(const GreetingBoxes &boxes)
{
    return {
        {keys::GreetingMode, boxes.integrate ? QStringLiteral("IntegrateYes") : QStringLiteral("IntegrateNo")},
        {keys::CustomName, boxes.allowUserName ? QStringLiteral("AllowUserName") : boxes.name},
        {keys::CustomGreeting, oneLine(boxes.greeting)},
        {keys::GreetingOff, boxes.noGreeting},
    };
}

GreetingCheck checkGreeting(const GreetingBoxes &boxes)
{
    if (!boxes.integrate)
        return GreetingCheck::Fine;
    if (boxes.greeting.isEmpty())
        return GreetingCheck::Empty;
    return boxes.greeting.size() < 10 ? GreetingCheck::Short : GreetingCheck::Fine;
}

QString emptyGreetingMessage()
{
    return QStringLiteral("To integrate a custom greeting, you must enter a greeting in the custom greeting box.  If "
                          "you don't want to integrate your own greeting, uncheck the  Integrate Custom Greeting  "
                          "box. ");
}

QString shortGreetingQuestion(const QString &greeting)
{
    return QStringLiteral("Your custom greeting '") + greeting +
        QStringLiteral("' is very brief.  Are you sure this is correct?");
}

SavedNotice savedNotice(const QStringList &failures, const QString &recordedText, const QString &recordedTitle)
{
    if (failures.isEmpty())
        return {recordedText, recordedTitle, false};
    return {QStringLiteral("These settings could not be saved:\n\n%1\n\nThe program goes on with the new values for "
                           "now; they will be lost when the program ends.")
                .arg(failures.join(QLatin1Char('\n'))),
            QStringLiteral("Changes Not Recorded"), true};
}

} // namespace plovista
