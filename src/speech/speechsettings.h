#pragma once

#include "settings/settings.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace plovista {

// The boxes of the speech settings as the teacher leaves them.
struct SpeechBoxes
{
    bool peedy = false; // Peedy's "Enabled"
    bool voice = false; // the voice's "Enabled"
    bool teacher = false;
    bool peedyFeedback = false;
    bool peedyComments = false;
    bool peedyRewards = false;
    bool voiceFeedback = false;
    bool voiceComments = false;
    bool voiceRewards = false;
};

enum class SpeechChannel { Peedy, Voice, Silent };

// Peedy's box wins when both are checked.
SpeechChannel chosenChannel(const SpeechBoxes &boxes);

// What saving the speech settings writes, in order: the two channel switches,
// then the chosen channel's own switches only, so the other channel's keep
// what the teacher last chose for them. Written through Settings, the choice
// takes effect at once.
std::vector<SettingWrite> speechChoiceWrites(const SpeechBoxes &boxes);

// The boxes of the greeting settings.
struct GreetingBoxes
{
    QString greeting;
    QString name;
    bool noGreeting = false;
    bool integrate = false;
    bool allowUserName = false;
};

// What saving the greeting settings writes, in order: the greeting mode, the
// custom name, the greeting and the no-greeting switch. The greeting goes
// into its file as one line.
std::vector<SettingWrite> greetingWrites(const GreetingBoxes &boxes);

// A greeting mixed into the standard ones must be there and should not be
// too short; one that replaces them is taken as it is.
enum class GreetingCheck { Fine, Empty, Short };
GreetingCheck checkGreeting(const GreetingBoxes &boxes);
QString emptyGreetingMessage();
QString shortGreetingQuestion(const QString &greeting);

// Line breaks become one blank each, so the words of two lines stay apart
// when the file is read back.
QString oneLine(const QString &text);

// The message after saving: the window's own acknowledgement when every file
// was written, otherwise the files that were not.
struct SavedNotice
{
    QString text;
    QString title;
    bool failed = false;
};
SavedNotice savedNotice(const QStringList &failures, const QString &recordedText, const QString &recordedTitle);

} // namespace plovista
