#pragma once

#include <cstdint>

#include "core/platform.h"
#include "core/state.h"

namespace orvex::bench {

// Food placement as plain rejection sampling: every candidate is tested by scanning Worm1, Worm2
// (two players only), Foods and Walls slot by slot. The reference that PlaceFood must match draw
// for draw, and the baseline of its benchmark. Like PlaceFood it leaves food point i off the board
// (slot (0, 0), nothing drawn, no draw taken) when no play-area cell is free.
void PlainPlaceFood(GameState& state, Platform& platform, std::int16_t i);

}  // namespace orvex::bench
