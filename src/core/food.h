#pragma once

#include <cstdint>

#include "core/platform.h"
#include "core/state.h"

namespace orvex {

// Puts food point i (1..Foods count) on a random free play-area cell, stores it in Foods slot i and
// draws it. Re-seeds the generator from the time of day once, then draws x before y until a
// candidate is free. When no cell is free the food point leaves the board: slot i becomes (0, 0)
// and nothing is drawn.
void PlaceFood(GameState& state, Platform& platform, std::int16_t i);

}  // namespace orvex
