#pragma once

namespace plovista {

// Uniform draws in [0, 1).
class Random
{
public:
    virtual ~Random() = default;
    virtual double next() = 0;
    // Mixes the clock into the running state: two reseeds within one clock
    // tick still give different sequences.
    virtual void reseed() = 0;
};

} // namespace plovista
