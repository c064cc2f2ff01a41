#include "platform/systemclock.h"

namespace plovista {

QDateTime SystemClock::now()
{
    return QDateTime::currentDateTime();
}

std::chrono::microseconds SystemClock::monotonic()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch());
}

} // namespace plovista
