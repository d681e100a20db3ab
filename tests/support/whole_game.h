#pragma once

#include <cstdint>
#include <functional>

#include "core/game_start.h"
#include "core/state.h"
#include "fake_platform.h"

namespace orvex::testkit {

// Called before each tick with the tick's number (from 1), e.g. to press or release keys.
using BeforeTick = std::function<void(int tick, FakePlatform& platform)>;

// Plays one game as the window would: Form_Load, then clock ticks until the program ends or
// `tickLimit` ticks have run. Returns the number of ticks run.
int PlayWholeGame(GameState& state, FakePlatform& platform, int tickLimit,
                  const BeforeTick& beforeTick = {});

}  // namespace orvex::testkit
