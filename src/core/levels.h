#pragma once

#include <cstdint>

#include "core/platform.h"
#include "core/state.h"

namespace orvex {

// Builds level 1..10: fills Walls with its obstacles from slot 1 on, sets both worms' start cells
// (slot 1) and directions, and draws every obstacle. Any other number builds nothing and draws what
// Walls holds.
void LoadLevel(GameState& state, Platform& platform, std::int16_t level);

}  // namespace orvex
