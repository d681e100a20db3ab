#pragma once

#include "core/game_start.h"

namespace orvex::bench {

// The fullest game start the settings allow: level 10 (247 obstacles), 100 food points, two
// players.
inline constexpr GameSettings kBusiestGame{.level = 10, .foodCount = 100, .players = 2};

}  // namespace orvex::bench
