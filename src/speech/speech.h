#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace plovista {

class Character;
class Settings;
class Voice;

// Peedy's screen y on his perch for a perch style: "XP" 157, "Standard" 150,
// anything else 0.
int perchTopFor(const QString &perchStyle);

// The one way the program speaks: Peedy or the plain voice, under the
// teacher's switches. Windows call these and never the services directly.
class Speech
{
public:
    // Each switch is read from the settings as it is when the speech is asked for.
    Speech(const Settings &settings, Character &character, Voice &voice);

    // Peedy's drawing is loaded from `filePath` the first time he is asked to
    // perch, show himself, play or speak: a student who never sees him never
    // pays for it.
    void setCharacterFile(const QString &id, const QString &filePath);

    void StopPeedy();
    void PerchPeedy();
    void ShowPeedy();
    void HidePeedy();
    void PeedySays(const QStringList &animations, const QString &text);
    // Before a window speaks or asks: Peedy, when he is enabled, is cut short
    // and put back on his perch.
    void QuietPeedy();
    // As an answer comes: the same, but Peedy ends his words at the next
    // boundary between words (or finishes a text nearly done), never mid-word.
    void QuietPeedyAtWord();
    // An animation with no words (some feedback gestures come after the words
    // or stand alone).
    void PeedyPlays(const QString &animation);
    void VoiceSays(const QString &text);
    // Runs done once Peedy and the voice, those enabled, have said all they
    // were asked so far; at once when neither is enabled. Speech cut short
    // (StopPeedy, a stopped voice) drops done unrun.
    void whenSaid(std::function<void()> done);
    // Peedy and the voice drop what they still have waiting, and finish only
    // what they are saying: called as a new fact goes up, so what is heard
    // never falls more than one sentence behind what is seen.
    void DropWaitingSpeech();

    // The voice text defaults to the text Peedy says. Each returns whether
    // Peedy or the voice spoke.
    bool SayFeedback(const QStringList &animations, const QString &text, const QString &voiceText = {});
    bool SayComment(const QStringList &animations, const QString &text, const QString &voiceText = {});
    bool SayReward(const QStringList &animations, const QString &text, const QString &voiceText = {});

    // Peedy's screen x on his perch; y is perchTop(), from his perch style.
    static constexpr int PerchLeft = 40;
    int perchTop() const;

private:
    bool say(bool peedy, bool voice, const QStringList &animations, const QString &text, const QString &voiceText);
    Character &peedy();

    const Settings &m_settings;
    Character &m_character;
    Voice &m_voice;
    QString m_characterId;
    QString m_characterFile; // until it is loaded
};

} // namespace plovista
