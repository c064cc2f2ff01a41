#pragma once

#include <QString>

#include <functional>

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
    // Runs done once the voice has nothing left to say: when everything it
    // was asked has been heard (or dropped), at once when it is silent. A
    // stop() before then drops done unrun, since the speech was cut.
    virtual void whenQuiet(std::function<void()> done) = 0;
    // Drops every text not yet begun; the one being heard goes on to its end.
    virtual void dropWaiting() = 0;
};

} // namespace plovista
