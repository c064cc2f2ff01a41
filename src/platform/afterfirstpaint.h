#pragma once

#include <QObject>

#include <functional>
#include <memory>

namespace plovista {

// Runs `work` once, right after the first paint of any widget has been
// handed to the window system: what the start screen does not need waits
// until it is on the screen. Destroying the returned watcher before then
// cancels it.
std::unique_ptr<QObject> afterFirstPaint(std::function<void()> work);

} // namespace plovista
