#pragma once

#include "platform/character.h"
#include "platform/voice.h"

namespace plovista {

// Stand-ins used where no speech engine or character can run: every request
// is accepted and nothing is heard or seen.
class SilentCharacter final : public Character
{
public:
    bool load(const QString &, const QString &) override { return true; }
    void show() override { }
    void hide() override { }
    void moveTo(int, int) override { }
    void play(const QString &) override { }
    void speak(const QString &) override { }
    void stopAll() override { }
    void stopAtWordEnd() override { }
    void whenQuiet(std::function<void()> done) override { done(); }
    void dropWaitingSpeech() override { }
};

class SilentVoice final : public Voice
{
public:
    void speak(const QString &) override { }
    void stop() override { }
    void whenQuiet(std::function<void()> done) override { done(); }
    void dropWaiting() override { }
};

} // namespace plovista
