#include "core/levels.h"

#include "core/board.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "ascii_board.h"
#include "core/game_start.h"
#include "fake_platform.h"

namespace orvex {
namespace {

using testkit::FakePlatform;
using testkit::TileDraw;
using XY = std::pair<int, int>;             // prints readably in failure messages
using LevelMap = std::vector<std::string>;  // one string per row, indexed [y][x]

std::map<int, LevelMap> ReadLevelMaps() {
    std::ifstream in(std::string(ORVEX_TEST_DATA_DIR) + "/level_maps.txt");
    std::map<int, LevelMap> maps;
    int level = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("Level ")) {
            level = std::stoi(line.substr(6));
        } else if (line.size() == 4 + kColumns && std::isdigit(line[2]) != 0) {  // a board row
            maps[level].push_back(line.substr(4));
        }
    }
    return maps;
}

const LevelMap& MapOf(int level) {
    static const std::map<int, LevelMap> maps = ReadLevelMaps();
    EXPECT_EQ(maps.at(level).size(), static_cast<std::size_t>(kRows)) << "level " << level;
    return maps.at(level);
}

// The cells of a level's map marked with any of `marks`, row by row.
std::vector<XY> MarkedCells(int level, const std::string& marks) {
    const LevelMap& map = MapOf(level);
    std::vector<XY> cells;
    for (int y = 0; y < kRows; ++y) {
        for (int x = 0; x < kColumns; ++x) {
            if (marks.find(map.at(y).at(x)) != std::string::npos) {
                cells.emplace_back(x, y);
            }
        }
    }
    return cells;
}

XY ToXY(Cell cell) {
    return {cell.x, cell.y};
}

std::vector<XY> WallCells(const GameState& state) {
    std::vector<XY> cells(static_cast<std::size_t>(state.Walls.count()));
    std::ranges::transform(std::span(state.Walls.slots).subspan(1, cells.size()), cells.begin(),
                           ToXY);
    return cells;
}

std::vector<TileDraw> ObstacleDraws(const std::vector<XY>& cells) {
    std::vector<TileDraw> draws(cells.size());
    std::ranges::transform(cells, draws.begin(), [](XY c) {
        return TileDraw{c.first, c.second, TileObstacle};
    });
    return draws;
}

GameState Loaded(std::int16_t level, FakePlatform& platform) {
    GameState state;
    state.metrics = ComputeScreenMetrics(platform.screenSize());
    LoadLevel(state, platform, level);
    return state;
}

void ExpectStarts(const GameState& state, int level, Direction dir1, Direction dir2) {
    EXPECT_EQ(ToXY(state.Worm1[1]), MarkedCells(level, "1").at(0));
    EXPECT_EQ(ToXY(state.Worm2[1]), MarkedCells(level, "2").at(0));
    EXPECT_EQ(state.Dir1, dir1);
    EXPECT_EQ(state.Dir2, dir2);
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

    std::vector<XY> walls = WallCells(state);
    EXPECT_EQ(platform.tiles.size(), walls.size() + std::size_t{2} * (kColumns + kRows));
    std::ranges::sort(walls, {}, [](XY c) { return std::pair(c.second, c.first); });
    EXPECT_EQ(walls, MarkedCells(level.level, "X%"));
    ExpectStarts(state, level.level, level.dir1, level.dir2);
    std::string expected;  // as the picture shows it: '?' where nothing was drawn
    for (const std::string& row : MapOf(level.level)) {
        for (const char cell : row) {
            expected += cell == 'X' || cell == '#' ? cell : cell == '%' ? '#' : '?';
        }
        expected += '\n';
    }
    EXPECT_EQ(testkit::PictureAscii(platform, kColumns, kRows), expected);
}

constexpr Direction kRight = Direction::Right;
constexpr Direction kDown = Direction::Down;

INSTANTIATE_TEST_SUITE_P(
    Levels, FixedLevelTest,
    ::testing::Values(FixedLevel{1, kRight, kRight}, FixedLevel{2, kRight, kRight},
                      FixedLevel{3, kDown, kDown}, FixedLevel{4, kRight, kRight},
                      FixedLevel{5, kRight, Direction::Left}, FixedLevel{6, kRight, kRight},
                      FixedLevel{7, kRight, kRight}, FixedLevel{8, kRight, kRight},
                      FixedLevel{10, kRight, kRight}),
    [](const auto& info) { return "Level" + std::to_string(info.param.level); });

// Level 9 draws n, then x and y of each cell in turn.
constexpr double kAlmostOne = 0.9999999;

TEST(RandomLevel, TakesItsDrawsInOrderAndKeepsDuplicates) {
    const std::tuple<double, double, XY> cells[] = {
        {0.0, 0.0, {3, 3}},           {kAlmostOne, kAlmostOne, {35, 22}},
        {0.5, 0.5, {19, 13}},         {0.5, 0.5, {19, 13}},
        {3.5 / 33, 0.5 / 20, {6, 3}}, {0.5 / 33, 4.5 / 20, {3, 7}},
        {0.1, 0.9, {6, 21}},          {0.9, 0.1, {32, 5}},
        {0.25, 0.75, {11, 18}},       {0.75, 0.25, {27, 8}}};
    FakePlatform platform;
    platform.scriptDraws({0.0});  // n = 10
    std::vector<XY> expected;
    for (const auto& [x, y, cell] : cells) {
        platform.scriptDraws({x, y});
        expected.push_back(cell);
    }
    const GameState state = Loaded(9, platform);

    EXPECT_EQ(WallCells(state), expected);
    EXPECT_EQ(platform.tiles, ObstacleDraws(expected));  // the repeated cell is drawn twice
    ExpectStarts(state, 9, kRight, kRight);
}

TEST(RandomLevel, CountSpansTenToFiftyNine) {
    for (const auto& [draw, count] : {std::pair{0.0, 10}, {0.5, 35}, {kAlmostOne, 59}}) {
        FakePlatform platform;
        platform.scriptDraws({draw});
        EXPECT_EQ(Loaded(9, platform).Walls.count(), count) << "draw " << draw;
    }
}

// Reseeded from the clock at each build, whatever was drawn before. The map marks the area with
// '?': the start cells and rows stay free.
TEST(RandomLevel, FollowsTheClockAndStaysInItsArea) {
    std::set<std::vector<XY>> layouts;
    constexpr int kRuns = 20;
    for (int run = 0; run < kRuns; ++run) {
        FakePlatform platform;
        platform.clock = 43200.0F + 0.25F * static_cast<float>(run);
        const std::vector<XY> walls = WallCells(Loaded(9, platform));
        SCOPED_TRACE(platform.clock);
        EXPECT_EQ(WallCells(Loaded(9, platform)), walls);
        EXPECT_EQ(platform.seeds, std::vector(2, platform.clock));
        EXPECT_TRUE(walls.size() >= 10 && walls.size() <= 59) << walls.size();
        for (const auto& [x, y] : walls) {
            EXPECT_EQ(MapOf(9).at(y).at(x), '?') << x << "," << y;
        }
        layouts.insert(walls);
    }
    EXPECT_EQ(layouts.size(), static_cast<std::size_t>(kRuns));
}

}  // namespace
}  // namespace orvex
