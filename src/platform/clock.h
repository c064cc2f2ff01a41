#pragma once

#include <QDateTime>

namespace plovista {

class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() = 0;
};

} // namespace plovista
