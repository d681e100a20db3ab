#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/state.h"
#include "fake_platform.h"

namespace orvex::testkit {

// A small position written as text, one string per board row from row 0, each from column 0.
// '#' (border), '.' and ' ' (floor) are for the reader only; 'X' is an obstacle, 'F' a food point
// (numbered in reading order), '1'..'9' worm 1 from its head, 'a'..'z' worm 2 from its head.
struct Position {
    std::vector<std::string> rows{};
    std::int16_t players = 1;
    Direction dir1 = Direction::None;
    Direction dir2 = Direction::None;
    std::int16_t growth = 1;
};

// The game state of a position, with the platform's screen metrics. The position is painted into
// the platform's picture too (border, floor, then its cells) and the platform's records are
// cleared, so a test sees only what the rules draw afterwards.
GameState BuildBoard(const Position& position, FakePlatform& platform);

// Replaces a list's cells (slot 1 first) and sets its count to match.
template <int Capacity>
void SetCells(CellList<Capacity>& list, std::initializer_list<Cell> cells) {
    std::int16_t slot = 0;
    for (const Cell& cell : cells) {
        list[++slot] = cell;
    }
    list.setCount(slot);
}

// The top-left corner of the picture as text, one line per row: '1' and '2' the worms, '#' border,
// '.' floor, 'F' food, 'X' obstacle, '?' nothing drawn yet.
std::string PictureAscii(const FakePlatform& platform, int columns, int rows);

}  // namespace orvex::testkit
