#pragma once

#include "platform/mediaparts.h"

#include <QLibrary>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace plovista {

class DeferredPart;

// Hands out stand-ins for the speakers, the sound effects and printing at
// once, and the real parts behind them when load() is called: the program
// calls it once its first window is painted. What the speakers and the sound
// are asked before then waits in order and is played as soon as the parts
// are there; printing, which needs its answer, loads them on the spot. Where
// the parts cannot load, speech and sound stay silent and printing says why.
// The loader outlives every stand-in it made.
class MediaLoader
{
public:
    using Maker = std::function<std::unique_ptr<MediaParts>()>;
    // The parts of the module beside the program's executable.
    MediaLoader();
    // The parts `make` returns; an empty result stands for parts that could
    // not load.
    explicit MediaLoader(Maker make);
    ~MediaLoader();
    MediaLoader(const MediaLoader &) = delete;
    MediaLoader &operator=(const MediaLoader &) = delete;

    std::unique_ptr<Character> character();
    std::unique_ptr<Voice> voice();
    std::unique_ptr<Sound> sound();
    std::unique_ptr<Printing> printing();

    // Loads the parts (once) and starts the speech engine.
    void load();
    // Loads the parts right after the first paint of any window.
    void loadAfterFirstPaint();
    bool loaded() const { return m_loaded; }
    // Why the parts could not load; empty when they did or have not yet.
    QString failure() const { return m_failure; }

private:
    friend class DeferredPart;
    std::unique_ptr<MediaParts> loadModule();
    void forget(DeferredPart *part);

    Maker m_make;
    QLibrary m_module;
    std::unique_ptr<MediaParts> m_parts;
    std::vector<DeferredPart *> m_waiting;
    bool m_loaded = false;
    QString m_failure;
    std::unique_ptr<QObject> m_watcher;
};

} // namespace plovista
