#pragma once

#include <QDateTime>

#include <chrono>

namespace plovista {

class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() = 0;
    // Time since an arbitrary start that only ever moves forward, whatever
    // happens to the time of day (a changed clock, daylight saving), for
    // measuring how long something took.
    virtual std::chrono::microseconds monotonic() = 0;
};

} // namespace plovista
