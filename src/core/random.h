#pragma once

#include <cstdint>

namespace orvex {

// SplitMix64: small, fast and fully specified by its integer arithmetic, so one seed gives the same
// draws with every compiler and standard library.
class Random {
public:
    // Seeds from a time of day in seconds since midnight; every distinct float gives its own
    // sequence.
    void seed(float secondsSinceMidnight);
    // A uniform draw r with 0 <= r < 1 (53 random bits).
    double next();

private:
    std::uint64_t nextBits();
    std::uint64_t state_ = 0;
};

}  // namespace orvex
