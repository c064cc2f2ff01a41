#pragma once

#include <chrono>

namespace plovista {

// How the program comes to end, which decides what its last steps may do.
enum class Ending {
    // Someone said Yes to quitting in a window: a record that cannot be
    // written is told in a box, after the usual wait for the records file.
    Confirmed,
    // A termination signal (a logout, a shutdown, a kill), or the event loop
    // ended from outside: nobody may be there to answer a box, and whoever
    // sent the signal will not wait long, so no box opens and every wait is
    // short.
    Forced,
};

// The longest a forced ending waits on any one thing (the records file, the
// answers still on their way to the log), so the whole ending takes a second
// or two at most.
inline constexpr std::chrono::milliseconds ForcedEndingWait {1000};

} // namespace plovista
