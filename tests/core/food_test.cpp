#include "core/food.h"

#include <gtest/gtest.h>

#include <vector>

#include "ascii_board.h"

namespace orvex::testkit {
namespace {

struct PlacementCase {
    const char* name;
    std::vector<Cell> candidates;  // drawn x, then y, one cell after the other
    Cell chosen;                   // kUnsetCell: left off the board
    bool crowded = false;          // the worms fill every play cell but `chosen`
};

// Food 2, at (9, 9), is placed anew in a two-player game.
const PlacementCase kPlacementCases[] = {
    {"XIsDrawnBeforeY", {{1, 25}}, {1, 25}},
    {"WormOneRefused", {{5, 5}, {10, 11}}, {10, 11}},
    {"WormTwoRefused", {{6, 6}, {10, 11}}, {10, 11}},
    {"WallRefused", {{7, 7}, {10, 11}}, {10, 11}},
    {"OtherFoodRefused", {{8, 8}, {10, 11}}, {10, 11}},
    {"OnlyFreeCellInTheLastRow", {{38, 25}}, {38, 25}, true},
    {"FullBoardLeavesTheFoodOff", {}, kUnsetCell, true},
};

// Fills the play area row by row with worm 1 at its longest, then worm 2, leaving `free` out.
void Crowd(GameState& state, Cell free) {
    for (std::int16_t y = 1; y <= 25; ++y) {
        for (std::int16_t x = 1; x <= 38; ++x) {
            WormList& worm = state.Worm1.count() < kMaxWormCount ? state.Worm1 : state.Worm2;
            if (Cell{x, y} != free) {
                worm.setCount(static_cast<std::int16_t>(worm.count() + 1));
                worm[worm.count()] = Cell{x, y};
            }
        }
    }
}

class Placement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(Placement, TakesTheFirstFreeCandidate) {
    const PlacementCase& c = GetParam();
    FakePlatform platform;
    GameState state = BuildBoard(
        {.rows = {"1", ".a", "..X", "...F", "....F"}, .players = 2, .origin = {5, 5}}, platform);
    if (c.crowded) {
        Crowd(state, c.chosen);
    }
    for (const Cell candidate : c.candidates) {
        platform.scriptCell(candidate.x, candidate.y);
    }
    PlaceFood(state, platform, 2);
    EXPECT_EQ(state.Foods[2], c.chosen);
    EXPECT_EQ(platform.shownAt(c.chosen.x, c.chosen.y), c.chosen == kUnsetCell ? '?' : 'F');
}

INSTANTIATE_TEST_SUITE_P(Table, Placement, ::testing::ValuesIn(kPlacementCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orvex::testkit
