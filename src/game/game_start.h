#pragma once

#include "game/state.h"
#include "platform/platform.h"

namespace orvex {

// Builds the board from the settings: clock interval, scores, screen metrics, worm counts, level,
// food and border. The clock's first tick comes only after this returns.
void Form_Load(GameState& state, Platform& platform);

}  // namespace orvex
