#include "platform/espeakvoice.h"

#include <utility>

namespace plovista {

EspeakVoice::EspeakVoice(SpeechEngine &engine)
    : m_player(engine, plainVoice())
{
    QObject::connect(&m_player, &SpeechPlayer::finished, &m_player, [this](quint64) {
        if (m_player.isBusy())
            return;
        // A waiter may speak again; it then waits for that in a list of its own.
        for (const auto &done : std::exchange(m_whenQuiet, {}))
            done();
    });
}

void EspeakVoice::speak(const QString &text)
{
    m_player.say(text);
}

void EspeakVoice::stop()
{
    m_player.stop();
    m_whenQuiet.clear();
}

void EspeakVoice::whenQuiet(std::function<void()> done)
{
    if (m_player.isBusy())
        m_whenQuiet.push_back(std::move(done));
    else
        done();
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
