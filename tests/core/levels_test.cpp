#include "core/levels.h"

#include "core/board.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ascii_board.h"
#include "core/game_start.h"
#include "fake_platform.h"

namespace orvex::testkit {
namespace {

using LevelMap = std::vector<std::string>;  // one string per row, indexed [y][x]

// The maps of level_maps.txt: 'X' an obstacle, '%' an obstacle under the border, '1' and '2' the
// worms' starts, '?' level 9's scatter area.
const LevelMap& MapOf(int level) {
    static const std::map<int, LevelMap> maps = [] {
        std::ifstream in(std::string(ORVEX_TEST_DATA_DIR) + "/level_maps.txt");
        std::map<int, LevelMap> read;
        int current = 0;
        for (std::string line; std::getline(in, line);) {
            if (line.starts_with("Level ")) {
                current = std::stoi(line.substr(6));
            } else if (line.size() == 4 + kColumns && std::isdigit(line[2]) != 0) {
                read[current].push_back(line.substr(4));
            }
        }
        return read;
    }();
    EXPECT_EQ(maps.at(level).size(), static_cast<std::size_t>(kRows)) << "level " << level;
    return maps.at(level);
}

// The board after a level's build, written as its map: the picture's border and obstacles, with
// '%' where a wall of the list lies under the border, '1' and '2' at the start cells and '.' where
// nothing was drawn. A wall of the list that is not drawn as one shows as '!'.
std::string BoardAsMap(const GameState& state, const FakePlatform& platform) {
    std::string text = PictureAscii(platform, kColumns, kRows);
    const auto at = [&text](Cell cell) -> char& {
        return text.at(cell.y * (kColumns + 1) + cell.x);
    };
    for (int slot = 1; slot <= state.Walls.count(); ++slot) {
        char& shown = at(state.Walls[slot]);
        shown = shown == '#' ? '%' : shown == 'X' ? 'X' : '!';
    }
    std::ranges::replace(text, '?', '.');
    at(state.Worm1[1]) = '1';
    at(state.Worm2[1]) = '2';
    return text;
}

struct FixedLevel {
    std::int16_t level;
    Direction dir1;
    Direction dir2;
};

class FixedLevelTest : public ::testing::TestWithParam<FixedLevel> {};

// Built without food, the board shows only the level and then the border, drawn over it. Both
// starts are set whatever the player count.
TEST_P(FixedLevelTest, BuildsItsMapAndStarts) {
    const FixedLevel& level = GetParam();
    GameState state;
    state.LevelSetting = level.level;
    state.Players = 1;
    FakePlatform platform;
    Form_Load(state, platform);

    std::string map;
    for (const std::string& row : MapOf(level.level)) {
        map += row + '\n';
    }
    const auto walls = std::ranges::count_if(map, [](char c) { return c == 'X' || c == '%'; });
    EXPECT_EQ(BoardAsMap(state, platform), map);
    EXPECT_EQ(state.Walls.count(), walls);
    EXPECT_EQ(platform.tiles.size(), walls + std::size_t{2} * (kColumns + kRows));
    EXPECT_EQ(state.Dir1, level.dir1);
    EXPECT_EQ(state.Dir2, level.dir2);
}

constexpr Direction kRight = Direction::Right;
constexpr Direction kDown = Direction::Down;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Levels, FixedLevelTest, ::testing::Values(
    FixedLevel{1, kRight, kRight}, FixedLevel{2, kRight, kRight}, FixedLevel{3, kDown, kDown},
    FixedLevel{4, kRight, kRight}, FixedLevel{5, kRight, Direction::Left}, FixedLevel{6, kRight, kRight},
    FixedLevel{7, kRight, kRight}, FixedLevel{8, kRight, kRight}, FixedLevel{10, kRight, kRight}),
    [](const auto& info) { return "Level" + std::to_string(info.param.level); });
// clang-format on

GameState Loaded(std::int16_t level, FakePlatform& platform) {
    GameState state;
    state.Metrics = ComputeScreenMetrics(platform.screenSize());
    LoadLevel(state, platform, level);
    return state;
}

std::vector<Cell> WallCells(const GameState& state) {
    return {state.Walls.slots.begin() + 1, state.Walls.slots.begin() + 1 + state.Walls.count()};
}

// Level 9 draws n, then x and y of each cell in turn.
constexpr double kAlmostOne = 0.9999999;

TEST(RandomLevel, TakesItsDrawsInOrderAndKeepsDuplicates) {
    // clang-format off
    const std::vector<std::pair<std::pair<double, double>, Cell>> cells = {
        {{0.0, 0.0}, {3, 3}}, {{kAlmostOne, kAlmostOne}, {35, 22}}, {{0.5, 0.5}, {19, 13}},
        {{0.5, 0.5}, {19, 13}}, {{3.5 / 33, 0.5 / 20}, {6, 3}}, {{0.5 / 33, 4.5 / 20}, {3, 7}},
        {{0.1, 0.9}, {6, 21}}, {{0.9, 0.1}, {32, 5}}, {{0.25, 0.75}, {11, 18}}, {{0.75, 0.25}, {27, 8}}};
    // clang-format on
    FakePlatform platform;
    platform.scriptDraws({0.0});  // n = 10
    std::vector<Cell> expected;
    std::vector<TileDraw> drawn;  // the repeated cell is drawn twice
    for (const auto& [draws, cell] : cells) {
        platform.scriptDraws({draws.first, draws.second});
        expected.push_back(cell);
        drawn.push_back({cell.x, cell.y, TileObstacle});
    }
    const GameState state = Loaded(9, platform);
    EXPECT_EQ(WallCells(state), expected);
    EXPECT_EQ(platform.tiles, drawn);
    EXPECT_EQ(state.Worm1[1], (Cell{1, 1}));
    EXPECT_EQ(state.Worm2[1], (Cell{2, 2}));
    EXPECT_EQ(state.Dir1, kRight);
    EXPECT_EQ(state.Dir2, kRight);
}

TEST(RandomLevel, CountSpansTenToFiftyNine) {
    for (const auto& [draw, count] : {std::pair{0.0, 10}, {0.5, 35}, {kAlmostOne, 59}}) {
        FakePlatform platform;
        platform.scriptDraws({draw});
        EXPECT_EQ(Loaded(9, platform).Walls.count(), count) << "draw " << draw;
    }
}

// Reseeded from the clock at each build, whatever was drawn before; the walls stay in the map's
// '?' area, off the start cells and rows.
TEST(RandomLevel, FollowsTheClockAndStaysInItsArea) {
    std::set<std::vector<std::pair<int, int>>> layouts;
    constexpr int kRuns = 20;
    for (int run = 0; run < kRuns; ++run) {
        FakePlatform platform;
        platform.clock = 43200.0F + 0.25F * static_cast<float>(run);
        SCOPED_TRACE(platform.clock);
        const GameState state = Loaded(9, platform);
        EXPECT_EQ(WallCells(Loaded(9, platform)), WallCells(state));
        EXPECT_EQ(platform.seeds, std::vector(2, platform.clock));
        EXPECT_TRUE(state.Walls.count() >= 10 && state.Walls.count() <= 59) << state.Walls.count();
        std::vector<std::pair<int, int>> layout;
        for (const Cell wall : WallCells(state)) {
            EXPECT_EQ(MapOf(9).at(wall.y).at(wall.x), '?') << wall.x << "," << wall.y;
            layout.emplace_back(wall.x, wall.y);
        }
        layouts.insert(layout);
    }
    EXPECT_EQ(layouts.size(), static_cast<std::size_t>(kRuns));
}

}  // namespace
}  // namespace orvex::testkit
