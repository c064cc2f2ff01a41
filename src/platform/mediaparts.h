#pragma once

#include "platform/character.h"
#include "platform/printing.h"
#include "platform/sound.h"
#include "platform/voice.h"

#include <memory>

namespace plovista {

// The speech engine with its two speakers, the sound effects and printing.
// They bring Qt Multimedia, Qt Print Support and the synthesisers with them,
// none of which the start screen needs, so the program loads them as a module
// once that screen is painted (MediaLoader).
class MediaParts
{
public:
    virtual ~MediaParts() = default;
    // The speakers share the one engine, which outlives them.
    virtual std::unique_ptr<Character> makeCharacter() = 0;
    virtual std::unique_ptr<Voice> makeVoice() = 0;
    virtual std::unique_ptr<Sound> makeSound() = 0;
    virtual std::unique_ptr<Printing> makePrinting() = 0;
    // Starts the synthesiser on the engine's own thread.
    virtual void beginSpeech() = 0;
};

// The module's one entry point, looked up by this name: it returns new parts
// the caller owns.
using MakeMediaParts = MediaParts *();
inline constexpr char MediaPartsEntry[] = "plovista_make_media_parts";

} // namespace plovista
