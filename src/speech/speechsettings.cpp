#include "speech/speechsettings.h"

#include "app/appstate.h"
#include "app/startup.h"
#include "settings/settingsstore.h"

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
    const auto sw = [](const char *name, bool on) {
        return SettingWrite {QString::fromLatin1(name), formatSwitch(on)};
    };
    switch (chosenChannel(boxes)) {
    case SpeechChannel::Peedy:
        return {sw("PShow", true),
                sw("TTS", false),
                sw("PShowT", boxes.teacher),
                sw("PFback", boxes.peedyFeedback),
                sw("PCom", boxes.peedyComments),
                sw("PRew", boxes.peedyRewards)};
    case SpeechChannel::Voice:
        return {sw("TTS", true), sw("PShow", false), sw("VFback", boxes.voiceFeedback), sw("VCom", boxes.voiceComments),
                sw("VRew", boxes.voiceRewards)};
    case SpeechChannel::Silent:
        break;
    }
    return {sw("TTS", false), sw("PShow", false)};
}

void applySpeechChoice(AppState &state, const SpeechBoxes &boxes)
{
    const SpeechChannel channel = chosenChannel(boxes);
    state.PeedyEnabled = channel == SpeechChannel::Peedy;
    state.VoiceEnabled = channel == SpeechChannel::Voice;
    if (channel == SpeechChannel::Peedy) {
        state.PeedyTeacher = boxes.teacher;
        state.PeedyFeedback = boxes.peedyFeedback;
        state.PeedyComments = boxes.peedyComments;
        state.PeedyRewards = boxes.peedyRewards;
    } else if (channel == SpeechChannel::Voice) {
        state.VoiceFeedback = boxes.voiceFeedback;
        state.VoiceComments = boxes.voiceComments;
        state.VoiceRewards = boxes.voiceRewards;
    }
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
        {QStringLiteral("MGreet"), boxes.integrate ? QStringLiteral("IntegrateYes") : QStringLiteral("IntegrateNo")},
        {QStringLiteral("PName"), boxes.allowUserName ? QStringLiteral("AllowUserName") : boxes.name},
        {QStringLiteral("PGreet"), oneLine(boxes.greeting)},
        {QStringLiteral("NoGreet"), formatSwitch(boxes.noGreeting)},
    };
}

void applyGreetingChoice(AppState &state, const GreetingBoxes &boxes)
{
    for (const SettingWrite &write : greetingWrites(boxes)) {
        if (write.name == QLatin1String("MGreet"))
            state.GreetingMode = write.value;
        else if (write.name == QLatin1String("PName"))
            state.SpokenName = spokenNameFrom(write.value, state.FirstName);
        else if (write.name == QLatin1String("PGreet"))
            state.CustomGreeting = write.value;
    }
    state.GreetingOff = boxes.noGreeting;
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

QStringList writeSettings(const SettingsStore &store, const std::vector<SettingWrite> &writes)
{
    QStringList failures;
    for (const SettingWrite &write : writes) {
        const WriteResult result = store.write(write.name, write.value);
        if (!result.ok)
            failures << QStringLiteral("%1: %2").arg(write.name, result.error);
    }
    return failures;
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
