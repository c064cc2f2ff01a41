#include "platform/filesizesignal.h"

#include <csignal>

namespace plovista {

void ignoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace plovista
