#pragma once

#include <QString>

#include <functional>

namespace plovista {

// The animated parrot. Every request returns at once; requests play in order
// behind earlier ones, and stopAll() cancels the queue and whatever is running.
class Character
{
public:
    virtual ~Character() = default;

    // Loads the character under `id` from its data file; false when the file
    // is missing or damaged (the character then ignores every request).
    virtual bool load(const QString &id, const QString &filePath) = 0;
    virtual void show() = 0;
    virtual void hide() = 0;
    // Glides the character's top-left corner to the screen point (pixels).
    virtual void moveTo(int x, int y) = 0;
    // Animation names are matched without regard to letter case.
    virtual void play(const QString &animation) = 0;
    // The text keeps the program's speech marks ("~", runs of commas).
    virtual void speak(const QString &text) = 0;
    virtual void stopAll() = 0;
    // As stopAll(), but words already being heard end at the next boundary
    // between words (a text nearly done is let finish), and done of
    // whenQuiet then runs as they end.
    virtual void stopAtWordEnd() = 0;
    // Runs done once every request asked so far has been played or spoken,
    // at once when none is waiting. stopAll() before then drops done unrun.
    virtual void whenQuiet(std::function<void()> done) = 0;
    // Drops the words and gestures still waiting; the request running goes on
    // to its end, and waiting shows, hides and moves keep their turn.
    virtual void dropWaitingSpeech() = 0;
};

} // namespace plovista
