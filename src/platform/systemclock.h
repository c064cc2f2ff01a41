#pragma once

#include "platform/clock.h"

namespace plovista {

class SystemClock final : public Clock
{
public:
    QDateTime now() override;
    std::chrono::microseconds monotonic() override;
};

} // namespace plovista
