#pragma once

#include "platform/systeminfo.h"

namespace plovista {

// On this desktop the platform is never NT, so the version classification
// finds neither XP nor Vista.
class HostSystemInfo final : public SystemInfo
{
public:
    std::optional<OsVersion> version() override;
    QString systemFolder() override;
    QString computerName() override;
};

} // namespace plovista
