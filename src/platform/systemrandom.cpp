#include "platform/systemrandom.h"

#include <chrono>

namespace plovista {

namespace {
std::uint64_t clockTicks()
{
    return static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
}
} // namespace

SystemRandom::SystemRandom(std::function<std::uint64_t()> ticks)
    : m_ticks(ticks ? std::move(ticks) : clockTicks)
    , m_state(m_ticks())
{ }

std::uint64_t SystemRandom::step()
{
    // splitmix64: every state is visited once, and the output is well mixed.
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

double SystemRandom::next()
{
    // 53 random bits give every double in [0, 1) on an even grid.
    return static_cast<double>(step() >> 11) * 0x1.0p-53;
}

void SystemRandom::reseed()
{
    m_state = step() ^ m_ticks();
}

} // namespace plovista
