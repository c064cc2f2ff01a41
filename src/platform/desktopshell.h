#pragma once

#include "platform/shell.h"

namespace plovista {

class DesktopShell final : public Shell
{
public:
    bool open(const QString &url) override;
};

} // namespace plovista
