#pragma once

#include <QString>

namespace plovista {

// Opens a web address or a mailto: link with the desktop's own program.
class Shell
{
public:
    virtual ~Shell() = default;
    virtual bool open(const QString &url) = 0;
};

} // namespace plovista
