#include "core/food.h"

#include <gtest/gtest.h>

#include <vector>

#include "ascii_board.h"
#include "fake_platform.h"

namespace orvex::testkit {
namespace {

struct PlacementCase {
    const char* name;
    std::int16_t players;
    std::vector<Cell> candidates;  // drawn x, then y, one cell after the other
    Cell chosen;
};

// Worm 1 at (5, 5), worm 2 at (6, 6), a wall at (7, 7), food 1 at (8, 8); food 2, at (9, 9), is
// placed anew.
// clang-format off
const std::vector<PlacementCase> kPlacementCases = {
    {"FreeCellTaken", 1, {{10, 11}}, {10, 11}},
    {"XIsDrawnBeforeY", 1, {{1, 25}}, {1, 25}},
    {"YIsDrawnAfterX", 1, {{38, 1}}, {38, 1}},
    {"WormOneRefused", 1, {{5, 5}, {10, 11}}, {10, 11}},
    {"WormTwoRefusedWithTwoPlayers", 2, {{6, 6}, {10, 11}}, {10, 11}},
    {"WormTwoFreeWithOnePlayer", 1, {{6, 6}}, {6, 6}},
    {"WallRefused", 1, {{7, 7}, {10, 11}}, {10, 11}},
    {"OtherFoodRefused", 1, {{8, 8}, {10, 11}}, {10, 11}},
    {"OwnOldCellRefused", 1, {{9, 9}, {3, 2}}, {3, 2}},
};
// clang-format on

class Placement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(Placement, TakesTheFirstFreeCandidateAfterOneSeed) {
    const PlacementCase& c = GetParam();
    FakePlatform platform;
    GameState state = BuildBoard({.players = c.players}, platform);
    SetCells(state.Worm1, {{5, 5}});
    SetCells(state.Worm2, {{6, 6}});
    SetCells(state.Walls, {{7, 7}});
    SetCells(state.Foods, {{8, 8}, {9, 9}});
    for (const Cell candidate : c.candidates) {
        platform.scriptCell(candidate.x, candidate.y);
    }
    PlaceFood(state, platform, 2);
    EXPECT_EQ(state.Foods[2], c.chosen);
    EXPECT_EQ(state.Foods[1], (Cell{8, 8}));
    EXPECT_EQ(platform.draws, 2 * static_cast<int>(c.candidates.size()));
    EXPECT_EQ(platform.seeds, std::vector<float>{platform.clock});
    EXPECT_EQ(platform.tiles, (std::vector<TileDraw>{{c.chosen.x, c.chosen.y, TileFood}}));
}

INSTANTIATE_TEST_SUITE_P(Table, Placement, ::testing::ValuesIn(kPlacementCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Every play-area cell but `free` taken by the two worms: worm 1 at its longest, worm 2 the rest.
GameState CrowdedBoard(FakePlatform& platform, Cell free) {
    GameState state = BuildBoard({.players = 2}, platform);
    WormList* worm = &state.Worm1;
    for (std::int16_t y = 1; y <= 25; ++y) {
        for (std::int16_t x = 1; x <= 38; ++x) {
            if (worm->count() == kMaxWormCount) {
                worm = &state.Worm2;
            }
            if (Cell{x, y} != free) {
                worm->setCount(static_cast<std::int16_t>(worm->count() + 1));
                (*worm)[worm->count()] = Cell{x, y};
            }
        }
    }
    SetCells(state.Foods, {kUnsetCell});
    return state;
}

TEST(Placement, OneFreeCellIsFoundAndAFullBoardLeavesTheFoodOff) {
    FakePlatform platform;
    GameState state = CrowdedBoard(platform, {3, 21});
    PlaceFood(state, platform, 1);
    EXPECT_EQ(state.Foods[1], (Cell{3, 21}));
    EXPECT_EQ(platform.tiles, (std::vector<TileDraw>{{3, 21, TileFood}}));

    FakePlatform full;
    state = CrowdedBoard(full, kUnsetCell);
    state.Foods[1] = Cell{20, 10};
    PlaceFood(state, full, 1);
    EXPECT_EQ(state.Foods[1], kUnsetCell);
    EXPECT_TRUE(full.tiles.empty());
    EXPECT_EQ(full.draws, 0);
}

}  // namespace
}  // namespace orvex::testkit
