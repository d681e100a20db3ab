#pragma once

#include <cstdint>
#include <vector>

#include "core/platform.h"
#include "core/state.h"

namespace orvex::bench {

// The fullest game start the settings allow: level 10 (247 obstacles), 100 food points, two
// players.
inline constexpr std::int16_t kBusiestLevel = 10;
inline constexpr std::int16_t kMostFood = 100;

// Form_Load on the fake platform with the fullest settings.
GameState BusiestGameStart(Platform& platform);

// Play-area cells that no list holds (Worm2 counts only in two-player games), row by row.
std::vector<Cell> FreePlayCells(const GameState& state);

// The dearest tick that does not end the game: the busiest game start with both worms just grown to
// count 499, so every collision test scans its whole list. Both heads have `clearTicks` moves to
// the right ahead of them before they reach a food point or an obstacle.
struct TickBoard {
    GameState state;
    int clearTicks = 0;
};
TickBoard WorstTickBoard();

// The busiest game start with the worms grown over every play-area cell but one, so that placing a
// food point finds exactly one free cell. Re-placing a food point frees its old cell, so the board
// keeps that shape.
GameState OneFreeCellBoard();

// Gives each worm in play count 4 around a 2 x 2 block at its start cell, heading clockwise, and
// moves any food point off the blocks. Turned clockwise at every tick, the worms circle for ever.
void CircleWorms(GameState& state, Platform& platform);

// The key that turns `player`'s worm (1 or 2) clockwise from its current direction.
int ClockwiseTurnKey(const GameState& state, int player);

}  // namespace orvex::bench
