#include "platform/plainvoice.h"

namespace plovista {

PlainVoice::PlainVoice(SpeechEngine &engine)
    : m_player(engine, plainVoice())
{ }

void PlainVoice::speak(const QString &text)
{
    m_player.say(text);
}

void PlainVoice::stop()
{
    m_player.stop();
}

void PlainVoice::dropWaiting()
{
    m_player.dropWaiting();
}

SpeechVoice PlainVoice::plainVoice()
{
    return SpeechVoice {"en-us", 165, 45, 50, 1.0, 0};
}

} // namespace plovista
