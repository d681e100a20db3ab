#pragma once

#include <cstdint>

#include "core/platform.h"
#include "core/state.h"

namespace orvex::bench {

// PlaceFood as plain rejection sampling, the baseline of its benchmark: the same draws, but every
// candidate, and every cell of the free-cell test, scans Worm1, Worm2 (two players only), Foods and
// Walls slot by slot.
void PlainPlaceFood(GameState& state, Platform& platform, std::int16_t i);

}  // namespace orvex::bench
