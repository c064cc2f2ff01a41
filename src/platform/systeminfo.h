#pragma once

#include <QString>
#include <optional>

namespace plovista {

// The operating system's version record, as the start-up classification reads it.
struct OsVersion
{
    bool nt = false;
    int major = 0;
    int minor = 0;
    int build = 0;
};

class SystemInfo
{
public:
    virtual ~SystemInfo() = default;
    virtual std::optional<OsVersion> version() = 0;
    // The folder that holds the program's own data files (character, logo),
    // without a trailing separator.
    virtual QString systemFolder() = 0;
    // The name this computer goes by on the network, which keeps the files
    // of different computers apart in a folder they share.
    virtual QString computerName() = 0;
};

} // namespace plovista
