#pragma once

#include "core/platform.h"
#include "core/state.h"

namespace orvex {

// One clock tick: steer, erase the tails, move, test the collisions (ending the game at the first),
// let the worms eat, draw the heads and repair the top-left border corner.
void Timer1_Timer(GameState& state, Platform& platform);

}  // namespace orvex
