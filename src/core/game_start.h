#pragma once

#include <cstdint>

#include "core/platform.h"
#include "core/state.h"

namespace orvex {

// The five values the settings window's start button hands over.
struct GameSettings {
    std::int16_t speed = 100;
    std::int16_t level = 1;
    std::int16_t foodCount = 1;
    std::int16_t growthRate = 1;
    std::int16_t players = 1;
};

// Writes the five settings into the game state.
void ApplySettings(GameState& state, const GameSettings& settings);

// Builds the board from the settings: clock interval, scores, screen metrics, worm counts, level,
// food and border. The clock's first tick comes only after this returns.
void Form_Load(GameState& state, Platform& platform);

}  // namespace orvex
