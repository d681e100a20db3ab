#include "core/food.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "ascii_board.h"
#include "core/game_start.h"
#include "fake_platform.h"

namespace orvex::testkit {
namespace {

class CountingPlatform : public FakePlatform {
public:
    double nextRandom() override {
        ++draws;
        return FakePlatform::nextRandom();
    }
    int draws = 0;
};

double DrawFor(int coordinate, int range) {
    return (coordinate - 0.5) / range;
}

struct PlacementCase {
    const char* name;
    std::int16_t players;
    std::vector<double> draws;  // x, y of each candidate in turn
    Cell chosen;
};

// Worm 1 at (5, 5), worm 2 at (6, 6), a wall at (7, 7), food 1 at (8, 8); food 2, at (9, 9), is
// placed anew.
// clang-format off
const std::vector<PlacementCase> kPlacementCases = {
    {"FreeCellTaken", 1, {DrawFor(10, 38), DrawFor(11, 25)}, {10, 11}},
    {"XIsDrawnBeforeY", 1, {0.0, 0.9999999}, {1, 25}},
    {"YIsDrawnAfterX", 1, {0.9999999, 0.0}, {38, 1}},
    {"WormOneRefused", 1, {DrawFor(5, 38), DrawFor(5, 25), DrawFor(10, 38), DrawFor(11, 25)}, {10, 11}},
    {"WormTwoRefusedWithTwoPlayers", 2, {DrawFor(6, 38), DrawFor(6, 25), DrawFor(10, 38), DrawFor(11, 25)}, {10, 11}},
    {"WormTwoFreeWithOnePlayer", 1, {DrawFor(6, 38), DrawFor(6, 25)}, {6, 6}},
    {"WallRefused", 1, {DrawFor(7, 38), DrawFor(7, 25), DrawFor(10, 38), DrawFor(11, 25)}, {10, 11}},
    {"OtherFoodRefused", 1, {DrawFor(8, 38), DrawFor(8, 25), DrawFor(10, 38), DrawFor(11, 25)}, {10, 11}},
    {"OwnOldCellRefused", 1, {DrawFor(9, 38), DrawFor(9, 25), DrawFor(3, 38), DrawFor(2, 25)}, {3, 2}},
};
// clang-format on

class Placement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(Placement, TakesTheFirstFreeCandidateAfterOneSeed) {
    const PlacementCase& c = GetParam();
    CountingPlatform platform;
    GameState state = BuildBoard({.players = c.players}, platform);
    SetCells(state.Worm1, {{5, 5}});
    SetCells(state.Worm2, {{6, 6}});
    SetCells(state.Walls, {{7, 7}});
    SetCells(state.Foods, {{8, 8}, {9, 9}});
    platform.scripted.assign(c.draws.begin(), c.draws.end());
    PlaceFood(state, platform, 2);
    EXPECT_EQ(state.Foods[2], c.chosen);
    EXPECT_EQ(state.Foods[1], (Cell{8, 8}));
    EXPECT_EQ(platform.draws, static_cast<int>(c.draws.size()));
    EXPECT_EQ(platform.seeds, std::vector<float>{platform.clock});
    EXPECT_EQ(platform.tiles, (std::vector<TileDraw>{{c.chosen.x, c.chosen.y, TileFood}}));
}

INSTANTIATE_TEST_SUITE_P(Table, Placement, ::testing::ValuesIn(kPlacementCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Every play-area cell taken, one at a time, by the worms, the walls and the other food points.
std::vector<Cell> PlayCells() {
    std::vector<Cell> cells;
    for (std::int16_t y = 1; y <= 25; ++y) {
        for (std::int16_t x = 1; x <= 38; ++x) {
            cells.push_back({x, y});
        }
    }
    return cells;
}

// Fills the lists with the given cells in order: worm 1, worm 2, walls, then the food slots other
// than slot 1, up to each list's capacity.
void Fill(GameState& state, const std::vector<Cell>& cells) {
    std::size_t next = 0;
    const auto take = [&](auto& list, int first, int capacity) {
        int slot = first;
        for (; slot <= capacity && next < cells.size(); ++slot) {
            list[slot] = cells[next++];
        }
        list.setCount(static_cast<std::int16_t>(std::max(first - 1, slot - 1)));
    };
    take(state.Worm1, 1, kMaxWormCount);
    take(state.Worm2, 1, kMaxWormCount);
    take(state.Walls, 1, kWallCapacity);
    take(state.Foods, 2, kFoodCapacity);
}

TEST(Placement, FullBoardLeavesTheFoodOff) {
    CountingPlatform platform;
    GameState state = BuildBoard({.players = 2}, platform);
    Fill(state, PlayCells());
    state.Foods[1] = Cell{20, 10};
    PlaceFood(state, platform, 1);
    EXPECT_EQ(state.Foods[1], kUnsetCell);
    EXPECT_TRUE(platform.tiles.empty());
    EXPECT_EQ(platform.draws, 0);
}

TEST(Placement, OneFreeCellIsFound) {
    CountingPlatform platform;
    GameState state = BuildBoard({.players = 2}, platform);
    std::vector<Cell> cells = PlayCells();
    const Cell free = cells[777];
    cells.erase(cells.begin() + 777);
    Fill(state, cells);
    PlaceFood(state, platform, 1);
    EXPECT_EQ(state.Foods[1], free);
}

// Game start with the most food on the busiest level: a hundred different free play cells, shown
// as food, for one player and for two.
TEST(Placement, GameStartSpreadsAHundredFoodPointsOverFreeCells) {
    for (const std::int16_t players : {1, 2}) {
        FakePlatform platform;
        GameState state;
        ApplySettings(state, {.level = 10, .foodCount = 100, .players = players});
        Form_Load(state, platform);
        std::set<std::pair<int, int>> taken{{state.Worm1[1].x, state.Worm1[1].y}};
        if (players == 2) {
            taken.emplace(state.Worm2[1].x, state.Worm2[1].y);
        }
        for (int w = 1; w <= state.Walls.count(); ++w) {
            taken.emplace(state.Walls[w].x, state.Walls[w].y);
        }
        for (int i = 1; i <= 100; ++i) {
            const Cell food = state.Foods[i];
            EXPECT_TRUE(InPlayArea(food)) << i;
            EXPECT_TRUE(taken.emplace(food.x, food.y).second)
                << "players " << players << " food " << i;
            EXPECT_EQ(platform.shownAt(food.x, food.y), TileFood) << i;
        }
    }
}

}  // namespace
}  // namespace orvex::testkit
