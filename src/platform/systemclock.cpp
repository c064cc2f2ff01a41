#include "platform/systemclock.h"

namespace plovista {

QDateTime SystemClock::now()
{
    return QDateTime::currentDateTime();
}

} // namespace plovista
