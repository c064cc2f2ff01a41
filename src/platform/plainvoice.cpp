#include "platform/espeakvoice.h"

namespace plovista {

EspeakVoice::EspeakVoice(SpeechEngine &engine)
    : m_player(engine, plainVoice())
{ }

void EspeakVoice::speak(const QString &text)
{
    m_player.say(text);
}

void EspeakVoice::stop()
{
    m_player.stop();
}

void EspeakVoice::dropWaiting()
{
    m_player.dropWaiting();
}

SpeechVoice EspeakVoice::plainVoice()
{
    return SpeechVoice {"en-us", 165, 45, 50};
}

} // namespace plovista
