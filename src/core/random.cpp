#include "core/random.h"

#include <bit>

namespace orvex {

void Random::seed(float secondsSinceMidnight) {
    state_ = std::bit_cast<std::uint32_t>(secondsSinceMidnight);
}

std::uint64_t Random::nextBits() {
    state_ += 0x9E3779B97F4A7C15ULL;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30U)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27U)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31U);
}

double Random::next() {
    constexpr double kTwoToMinus53 = 1.0 / 9007199254740992.0;
    return static_cast<double>(nextBits() >> 11U) * kTwoToMinus53;
}

}  // namespace orvex
