#pragma once

#include <QString>

namespace plovista {

// The plain text-to-speech voice. speak() returns at once; a text that cannot
// be spoken (no engine, no audio device) is dropped silently.
class Voice
{
public:
    virtual ~Voice() = default;
    // The text keeps the program's speech marks ("~", runs of commas).
    virtual void speak(const QString &text) = 0;
    virtual void stop() = 0;
    // Drops every text not yet begun; the one being heard goes on to its end.
    virtual void dropWaiting() = 0;
};

} // namespace plovista
