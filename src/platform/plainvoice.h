#pragma once

#include "platform/speechplayer.h"
#include "platform/voice.h"

#include <vector>

namespace plovista {

class SpeechEngine;

// The plain voice: texts queue behind each other and are heard through the
// voice's own audio sink, independently of Peedy.
class PlainVoice final : public Voice
{
public:
    explicit PlainVoice(SpeechEngine &engine);

    void speak(const QString &text) override;
    void stop() override;
    void whenQuiet(std::function<void()> done) override;
    void dropWaiting() override;

    // The voice's settings for every text; a plain adult voice.
    static SpeechVoice plainVoice();

    // Lets tests and benchmarks follow the texts.
    SpeechPlayer &player() { return m_player; }

private:
    SpeechPlayer m_player;
    std::vector<std::function<void()>> m_whenQuiet;
};

} // namespace plovista
