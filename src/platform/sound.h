#pragma once

#include <QString>

namespace plovista {

// Short sound effects. play() returns at once; a missing file plays nothing.
class Sound
{
public:
    virtual ~Sound() = default;
    virtual void play(const QString &wavPath) = 0;
};

} // namespace plovista
