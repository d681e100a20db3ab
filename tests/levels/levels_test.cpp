#include "levels/levels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "fake_platform.h"
#include "game/game_start.h"

namespace orvex {
namespace {

using testing::FakePlatform;
using testing::TileDraw;
using XY = std::pair<int, int>;  // prints readably in failure messages

// The level maps, one string per row, indexed [y][x].
using LevelMap = std::vector<std::string>;

std::map<int, LevelMap> ReadLevelMaps() {
    std::ifstream in(std::string(ORVEX_TEST_DATA_DIR) + "/levels/level_maps.txt");
    std::map<int, LevelMap> maps;
    int level = 0;
    std::string line;
    while (std::getline(in, line)) {
        if (line.starts_with("Level ")) {
            level = std::stoi(line.substr(6));
            continue;
        }
        // A board row is its number and 40 cells; the column headers never parse as one.
        std::istringstream fields(line);
        int row = -1;
        std::string cells;
        if (fields >> row >> cells && cells.size() == kColumns &&
            row == static_cast<int>(maps[level].size())) {
            maps[level].push_back(cells);
        }
    }
    return maps;
}

const LevelMap& MapOf(int level) {
    static const std::map<int, LevelMap> maps = ReadLevelMaps();
    return maps.at(level);
}

std::vector<XY> MarkedCells(const LevelMap& map, const std::string& marks) {
    std::vector<XY> cells;
    for (int y = 0; y < static_cast<int>(map.size()); ++y) {
        for (int x = 0; x < kColumns; ++x) {
            if (marks.find(map[y][x]) != std::string::npos) {
                cells.emplace_back(x, y);
            }
        }
    }
    return cells;
}

XY StartOf(const LevelMap& map, char worm) {
    return MarkedCells(map, std::string(1, worm)).at(0);
}

XY ToXY(Cell cell) {
    return {cell.x, cell.y};
}

std::vector<XY> WallCells(const GameState& state) {
    std::vector<XY> cells;
    for (int slot = 1; slot <= state.Walls.count(); ++slot) {
        cells.push_back(ToXY(state.Walls[slot]));
    }
    return cells;
}

std::vector<TileDraw> ObstacleDraws(const std::vector<XY>& cells) {
    std::vector<TileDraw> draws;
    draws.reserve(cells.size());
    for (const auto& [x, y] : cells) {
        draws.push_back({x, y, TileObstacle});
    }
    return draws;
}

TEST(LevelMaps, FixtureHoldsTenFullBoards) {
    for (int level = 1; level <= 10; ++level) {
        SCOPED_TRACE(level);
        EXPECT_EQ(MapOf(level).size(), static_cast<std::size_t>(kRows));
    }
}

class LevelTest : public ::testing::Test {
protected:
    void Load(std::int16_t level) {
        state.metrics = ComputeScreenMetrics(platform.screenSize());
        LoadLevel(state, platform, level);
    }

    GameState state;
    FakePlatform platform;
};

struct FixedLevel {
    std::int16_t level;
    int count;
    int onBorder;  // stored cells on column 39 or row 26
    Direction dir1;
    Direction dir2;
    std::vector<std::pair<int, XY>> slots;  // the append order, at telling slots
};

constexpr Direction kRight = Direction::Right;
constexpr Direction kDown = Direction::Down;

// clang-format off
const FixedLevel kFixedLevels[] = {
    {1, 0, 0, kRight, kRight, {}},
    {2, 19, 0, kRight, kRight, {{1, {11, 13}}, {19, {29, 13}}}},
    {3, 24, 0, kDown, kDown, {{1, {11, 7}}, {2, {28, 7}}, {3, {11, 8}}, {24, {28, 18}}}},
    {4, 44, 0, kRight, kRight,
     {{1, {11, 9}}, {2, {28, 9}}, {16, {28, 16}}, {17, {13, 7}}, {18, {13, 18}}, {44, {26, 18}}}},
    {5, 36, 1, kRight, Direction::Left,
     {{1, {19, 1}}, {2, {19, 18}}, {16, {19, 25}}, {17, {1, 13}}, {18, {30, 13}}, {36, {39, 13}}}},
    {6, 25, 0, kRight, kRight,
     {{1, {1, 1}}, {2, {3, 2}}, {13, {19, 13}}, {24, {36, 24}}, {25, {38, 25}}}},
    {7, 35, 0, kRight, kRight,
     {{1, {1, 13}}, {18, {18, 13}}, {19, {22, 13}}, {20, {23, 13}}, {35, {38, 13}}}},
    {8, 196, 0, kRight, kRight, {{1, {6, 4}}, {28, {33, 4}}, {29, {6, 7}}, {196, {33, 22}}}},
    {10, 247, 31, kRight, kRight,
     {{1, {3, 2}}, {2, {3, 4}}, {13, {3, 26}}, {14, {5, 2}}, {235, {39, 2}}, {247, {39, 26}}}},
};
// clang-format on

class FixedLevelTest : public LevelTest, public ::testing::WithParamInterface<FixedLevel> {};

TEST_P(FixedLevelTest, WallsHoldTheMapsObstaclesInAppendOrder) {
    const FixedLevel& level = GetParam();
    state.Walls[0].y = 7;
    state.Walls[kWormCapacity] = Cell{5, 5};
    Load(level.level);

    const std::vector<XY> walls = WallCells(state);
    ASSERT_EQ(state.Walls.count(), level.count);
    for (const auto& [slot, cell] : level.slots) {
        EXPECT_EQ(walls.at(slot - 1), cell) << "slot " << slot;
    }
    std::vector<XY> sorted = walls;
    std::ranges::sort(sorted, [](XY a, XY b) {
        return std::pair(a.second, a.first) < std::pair(b.second, b.first);
    });
    EXPECT_EQ(sorted, MarkedCells(MapOf(level.level), "X%"));
    EXPECT_EQ(std::ranges::count_if(walls, [](XY c) { return c.first == 39 || c.second == 26; }),
              level.onBorder);
    // Only the header's count and the slots in use are written.
    EXPECT_EQ(state.Walls[0].y, 7);
    EXPECT_EQ(state.Walls[kWormCapacity], (Cell{5, 5}));
}

TEST_P(FixedLevelTest, SetsBothStartsWhateverThePlayerCount) {
    const FixedLevel& level = GetParam();
    state.Players = 1;
    Load(level.level);

    EXPECT_EQ(ToXY(state.Worm1[1]), StartOf(MapOf(level.level), '1'));
    EXPECT_EQ(ToXY(state.Worm2[1]), StartOf(MapOf(level.level), '2'));
    EXPECT_EQ(state.Dir1, level.dir1);
    EXPECT_EQ(state.Dir2, level.dir2);
    EXPECT_EQ(state.Worm1.count(), 0);
    EXPECT_EQ(state.Worm2.count(), 0);
}

TEST_P(FixedLevelTest, DrawsOneObstaclePerSlotInSlotOrder) {
    const FixedLevel& level = GetParam();
    Load(level.level);

    EXPECT_EQ(platform.tiles, ObstacleDraws(WallCells(state)));
    EXPECT_EQ(platform.refreshed.size(), platform.tiles.size());
    const LevelMap& map = MapOf(level.level);
    for (int y = 0; y < kRows; ++y) {
        for (int x = 0; x < kColumns; ++x) {
            const bool obstacle = map[y][x] == 'X' || map[y][x] == '%';
            EXPECT_EQ(platform.shownAt(x, y), obstacle ? std::optional(TileObstacle) : std::nullopt)
                << "at " << x << "," << y;
        }
    }
}

TEST_P(FixedLevelTest, BorderCoversTheObstaclesOnIt) {
    const FixedLevel& level = GetParam();
    state.LevelSetting = level.level;
    state.Players = 2;
    Form_Load(state, platform);  // no food: the board shows only the level and the border

    const LevelMap& map = MapOf(level.level);
    for (int y = 0; y < kRows; ++y) {
        for (int x = 0; x < kColumns; ++x) {
            std::optional<TileKind> expected;
            if (map[y][x] == 'X') {
                expected = TileObstacle;
            } else if (map[y][x] == '#' || map[y][x] == '%') {
                expected = TileBorder;
            }
            EXPECT_EQ(platform.shownAt(x, y), expected) << "at " << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, FixedLevelTest, ::testing::ValuesIn(kFixedLevels),
                         [](const auto& info) {
                             return "Level" + std::to_string(info.param.level);
                         });

// Any other number builds nothing, leaves what was there and draws the cells already counted.
class UnknownLevelTest : public LevelTest, public ::testing::WithParamInterface<std::int16_t> {};

TEST_P(UnknownLevelTest, KeepsTheStateAndDrawsWhatIsCounted) {
    state.Walls.setCount(2);
    state.Walls[1] = Cell{5, 6};
    state.Walls[2] = Cell{7, 8};
    state.Worm1[1] = Cell{3, 3};
    state.Dir1 = Direction::Up;
    const GameState before = state;
    Load(GetParam());

    EXPECT_EQ(WallCells(state), WallCells(before));
    EXPECT_EQ(state.Worm1[1], before.Worm1[1]);
    EXPECT_EQ(state.Worm2[1], before.Worm2[1]);
    EXPECT_EQ(state.Dir1, Direction::Up);
    EXPECT_EQ(state.Dir2, Direction::None);
    EXPECT_EQ(platform.tiles, ObstacleDraws({{5, 6}, {7, 8}}));
}

INSTANTIATE_TEST_SUITE_P(Levels, UnknownLevelTest, ::testing::Values(0, 11, -1, 32767, -32768));

// Level 9 draws n, then x and y of each cell in turn.
constexpr double kAlmostOne = 0.9999999;

TEST_F(LevelTest, RandomLevelTakesItsDrawsInOrder) {
    platform.scriptDraws({0.0,                     // n = 10
                          0.0,        0.0,         // (3, 3)
                          kAlmostOne, kAlmostOne,  // (35, 22)
                          0.5,        0.5,         // (19, 13)
                          0.5,        0.5,         // (19, 13) again
                          3.5 / 33,   0.5 / 20,    // (6, 3)
                          0.5 / 33,   4.5 / 20,    // (3, 7)
                          0.1,        0.9,         // (6, 21)
                          0.9,        0.1,         // (32, 5)
                          0.25,       0.75,        // (11, 18)
                          0.75,       0.25});      // (27, 8)
    Load(9);

    const std::vector<XY> expected{{3, 3}, {35, 22}, {19, 13}, {19, 13}, {6, 3},
                                   {3, 7}, {6, 21},  {32, 5},  {11, 18}, {27, 8}};
    EXPECT_EQ(WallCells(state), expected);
    EXPECT_EQ(platform.tiles, ObstacleDraws(expected));  // the repeated cell is drawn twice
    EXPECT_EQ(ToXY(state.Worm1[1]), StartOf(MapOf(9), '1'));
    EXPECT_EQ(ToXY(state.Worm2[1]), StartOf(MapOf(9), '2'));
    EXPECT_EQ(state.Dir1, kRight);
    EXPECT_EQ(state.Dir2, kRight);
}

TEST(RandomLevel, CountSpansTenToFiftyNine) {
    const std::pair<double, int> kCountDraws[] = {{0.0, 10}, {0.5, 35}, {kAlmostOne, 59}};
    for (const auto& [draw, count] : kCountDraws) {
        GameState fresh;
        FakePlatform scripted;
        scripted.scriptDraws({draw});
        LoadLevel(fresh, scripted, 9);
        EXPECT_EQ(fresh.Walls.count(), count) << "draw " << draw;
    }
}

TEST_F(LevelTest, RandomLevelReseedsFromTheClockOnce) {
    platform.clock = 1234.5F;
    platform.seedRandom(99);
    platform.nextRandom();
    Load(9);

    EXPECT_EQ(platform.seeds, (std::vector<float>{99, 1234.5F}));
    GameState again;
    FakePlatform unused;
    unused.clock = 1234.5F;
    LoadLevel(again, unused, 9);
    EXPECT_EQ(WallCells(state), WallCells(again));
}

TEST(RandomLevel, DiffersWithTheClockAndKeepsTheStartRowsFree) {
    std::set<std::vector<XY>> layouts;
    constexpr int kRuns = 100;
    for (int run = 0; run < kRuns; ++run) {
        GameState state;
        FakePlatform platform;
        platform.clock = 43200.0F + 0.25F * static_cast<float>(run);
        LoadLevel(state, platform, 9);
        const std::vector<XY> walls = WallCells(state);
        SCOPED_TRACE(platform.clock);
        EXPECT_GE(walls.size(), 10U);
        EXPECT_LE(walls.size(), 59U);
        for (const auto& [x, y] : walls) {
            EXPECT_TRUE(x >= 3 && x <= 35 && y >= 3 && y <= 22) << x << "," << y;
        }
        layouts.insert(walls);
    }
    EXPECT_EQ(layouts.size(), static_cast<std::size_t>(kRuns));
}

}  // namespace
}  // namespace orvex
