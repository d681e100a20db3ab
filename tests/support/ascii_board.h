#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/state.h"
#include "fake_platform.h"

namespace orvex::testkit {

// A small position written as text, one string per board row, rows[0][0] at `origin`: '#' border,
// '.' floor, 'X' an obstacle, 'F' a food point (numbered in reading order), '1'..'9' worm 1 from
// its head, 'a'..'z' worm 2 from its head.
struct Position {
    std::vector<std::string> rows{};
    std::int16_t players = 1;
    Direction dir1 = Direction::None;
    Direction dir2 = Direction::None;
    std::int16_t growth = 1;
    Cell origin{};
    std::int16_t length1 = 0;  // worm 1's count when longer than its cells; the rest lie at (0, 0)
};

// The game state of a position, with the platform's screen metrics; the platform shows the position
// ('1' and '2' for the worms) before the rules draw anything.
GameState BuildBoard(const Position& position, FakePlatform& platform);

}  // namespace orvex::testkit
