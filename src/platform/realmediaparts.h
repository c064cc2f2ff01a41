#pragma once

#include "platform/mediaparts.h"
#include "platform/speechengine.h"

namespace plovista {

class RealMediaParts final : public MediaParts
{
public:
    RealMediaParts();
    ~RealMediaParts() override;
    std::unique_ptr<Character> makeCharacter() override;
    std::unique_ptr<Voice> makeVoice() override;
    std::unique_ptr<Sound> makeSound() override;
    std::unique_ptr<Printing> makePrinting() override;
    void beginSpeech() override;

private:
    SpeechEngine m_engine;
};

} // namespace plovista
