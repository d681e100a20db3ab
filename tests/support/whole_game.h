#pragma once

#include <cstdint>
#include <functional>

#include "fake_platform.h"
#include "game/state.h"

namespace orvex::testing {

// The five values the settings window hands over.
struct GameSettings {
    std::int16_t speed = 100;
    std::int16_t level = 1;
    std::int16_t foodCount = 1;
    std::int16_t growthRate = 1;
    std::int16_t players = 1;
};

void ApplySettings(GameState& state, const GameSettings& settings);

// Called before each tick with the tick's number (from 1), e.g. to press or release keys.
using BeforeTick = std::function<void(int tick, FakePlatform& platform)>;

// Plays one game as the window would: Form_Load, then clock ticks until the program ends or
// `tickLimit` ticks have run. Returns the number of ticks run.
int PlayWholeGame(GameState& state, FakePlatform& platform, int tickLimit,
                  const BeforeTick& beforeTick = {});

}  // namespace orvex::testing
