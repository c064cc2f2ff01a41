#include "platform/services.h"

#include "platform/desktopshell.h"
#include "platform/hostsysteminfo.h"
#include "platform/parrotcharacter.h"
#include "platform/plainvoice.h"
#include "platform/qtmessageboxes.h"
#include "platform/qtprinting.h"
#include "platform/qtsound.h"
#include "platform/silentspeech.h"
#include "platform/systemclock.h"
#include "platform/systemrandom.h"
#include "platform/x11display.h"

namespace plovista {

Services realServices(SpeechEngine *engine)
{
    Services services;
    services.boxes = std::make_unique<QtMessageBoxes>();
    if (engine) {
        services.character = std::make_unique<ParrotCharacter>(*engine);
        services.voice = std::make_unique<PlainVoice>(*engine);
    } else {
        services.character = std::make_unique<SilentCharacter>();
        services.voice = std::make_unique<SilentVoice>();
    }
    services.sound = std::make_unique<QtSound>();
    services.printing = std::make_unique<QtPrinting>();
    services.display = std::make_unique<X11Display>();
    services.systemInfo = std::make_unique<HostSystemInfo>();
    services.clock = std::make_unique<SystemClock>();
    services.random = std::make_unique<SystemRandom>();
    services.shell = std::make_unique<DesktopShell>();
    return services;
}

} // namespace plovista
