#pragma once

#include "platform/character.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/messageboxes.h"
#include "platform/printing.h"
#include "platform/random.h"
#include "platform/shell.h"
#include "platform/sound.h"
#include "platform/systeminfo.h"
#include "platform/voice.h"

#include <memory>

namespace plovista {

class MediaLoader;

// The services the program runs on: real ones in the program, doubles in tests.
struct Services
{
    std::unique_ptr<MessageBoxes> boxes;
    std::unique_ptr<Character> character;
    std::unique_ptr<Voice> voice;
    std::unique_ptr<Sound> sound;
    std::unique_ptr<Printing> printing;
    std::unique_ptr<Display> display;
    std::unique_ptr<SystemInfo> systemInfo;
    std::unique_ptr<Clock> clock;
    std::unique_ptr<Random> random;
    std::unique_ptr<Shell> shell;
};

// The real services of this desktop; speech, sound and printing come from
// `media` (which must outlive them) once it has loaded them.
Services realServices(MediaLoader &media);

} // namespace plovista
