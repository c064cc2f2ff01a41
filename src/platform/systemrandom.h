#pragma once

#include "platform/random.h"

#include <cstdint>
#include <functional>

namespace plovista {

// A 64-bit mixing generator. reseed() folds the clock into the running
// state rather than replacing it, so two reseeds within one clock tick still
// lead to different sequences.
class SystemRandom final : public Random
{
public:
    // The clock source is replaceable so the reseed property can be tested.
    explicit SystemRandom(std::function<std::uint64_t()> ticks = {});

    double next() override;
    void reseed() override;

private:
    std::uint64_t step();

    std::function<std::uint64_t()> m_ticks;
    std::uint64_t m_state;
};

} // namespace plovista
