#include "speech/speech.h"

#include "platform/character.h"
#include "platform/voice.h"
#include "settings/settingkeys.h"
#include "settings/settings.h"

#include <memory>
#include <utility>

namespace plovista {

int perchTopFor(const QString &perchStyle)
{
    if (perchStyle == QLatin1String("XP"))
        return 157;
    if (perchStyle == QLatin1String("Standard"))
        return 150;
    return 0;
}

Speech::Speech(const Settings &settings, Character &character, Voice &voice)
    : m_settings(settings)
    , m_character(character)
    , m_voice(voice)
{ }

void Speech::setCharacterFile(const QString &id, const QString &filePath)
{
    m_characterId = id;
    m_characterFile = filePath;
}

Character &Speech::peedy()
{
    if (!m_characterFile.isEmpty())
        m_character.load(m_characterId, std::exchange(m_characterFile, QString()));
    return m_character;
}

void Speech::StopPeedy()
{
    m_character.stopAll();
}

int Speech::perchTop() const
{
    return perchTopFor(m_settings.value(keys::PerchStyle));
}

void Speech::PerchPeedy()
{
    peedy().moveTo(PerchLeft, perchTop());
}

void Speech::ShowPeedy()
{
    peedy().show();
}

void Speech::HidePeedy()
{
    m_character.hide();
}

void Speech::PeedySays(const QStringList &animations, const QString &text)
{
    Character &character = peedy();
    for (const QString &animation : animations)
        character.play(animation);
    character.speak(text);
}

void Speech::QuietPeedy()
{
    if (!m_settings.value(keys::PeedyEnabled))
        return;
    StopPeedy();
    PerchPeedy();
}

void Speech::QuietPeedyAtWord()
{
    if (!m_settings.value(keys::PeedyEnabled))
        return;
    m_character.stopAtWordEnd();
    PerchPeedy();
}

void Speech::PeedyPlays(const QString &animation)
{
    peedy().play(animation);
}

void Speech::VoiceSays(const QString &text)
{
    m_voice.speak(text);
}

void Speech::whenSaid(std::function<void()> done)
{
    const bool peedy = m_settings.value(keys::PeedyEnabled);
    const bool voice = m_settings.value(keys::VoiceEnabled);
    if (!peedy && !voice) {
        done();
        return;
    }
    // Each speaker reports on its own; the last one to fall quiet runs done.
    auto left = std::make_shared<int>(int(peedy) + int(voice));
    auto one = [left, done = std::move(done)] {
        if (--*left == 0)
            done();
    };
    if (peedy)
        m_character.whenQuiet(one);
    if (voice)
        m_voice.whenQuiet(one);
}

void Speech::DropWaitingSpeech()
{
    m_character.dropWaitingSpeech();
    m_voice.dropWaiting();
}

bool Speech::say(bool peedy, bool voice, const QStringList &animations, const QString &text, const QString &voiceText)
{
    const bool peedySpeaks = m_settings.value(keys::PeedyEnabled) && peedy;
    const bool voiceSpeaks = m_settings.value(keys::VoiceEnabled) && voice;
    if (peedySpeaks)
        PeedySays(animations, text);
    if (voiceSpeaks)
        VoiceSays(voiceText.isNull() ? text : voiceText);
    return peedySpeaks || voiceSpeaks;
}

bool Speech::SayFeedback(const QStringList &animations, const QString &text, const QString &voiceText)
{
    return say(m_settings.value(keys::PeedyFeedback), m_settings.value(keys::VoiceFeedback), animations, text,
               voiceText);
}

bool Speech::SayComment(const QStringList &animations, const QString &text, const QString &voiceText)
{
    return say(m_settings.value(keys::PeedyComments), m_settings.value(keys::VoiceComments), animations, text,
               voiceText);
}

bool Speech::SayReward(const QStringList &animations, const QString &text, const QString &voiceText)
{
    return say(m_settings.value(keys::PeedyRewards), m_settings.value(keys::VoiceRewards), animations, text, voiceText);
}

} // namespace plovista
