#include "platform/plainvoice.h"

#include <utility>

namespace plovista {

PlainVoice::PlainVoice(SpeechEngine &engine)
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

void PlainVoice::speak(const QString &text)
{
    m_player.say(text);
}

void PlainVoice::stop()
{
    m_player.stop();
    m_whenQuiet.clear();
}

void PlainVoice::whenQuiet(std::function<void()> done)
{
    if (m_player.isBusy())
        m_whenQuiet.push_back(std::move(done));
    else
        done();
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
