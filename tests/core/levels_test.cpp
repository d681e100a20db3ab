#include "core/levels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <string>
#include <vector>

#include "core/game_start.h"
#include "fake_platform.h"

namespace orvex::testkit {
namespace {

// A level of level_maps.txt: the worms' first directions, then the board's rows: 'X' an obstacle,
// '%' an obstacle under the border, '1' and '2' the worms' starts, '?' level 9's scatter area.
std::vector<std::string> MapOf(int level) {
    std::ifstream in(std::string(ORVEX_TEST_DATA_DIR) + "/level_maps.txt");
    std::vector<std::string> map;
    for (std::string line; std::getline(in, line) && map.size() <= kRows;) {
        if (line.starts_with("Level " + std::to_string(level) + ":")) {
            map.push_back(line.substr(line.find(':') + 2));
        } else if (!map.empty() && line.size() == 4 + kColumns && std::isdigit(line[2]) != 0) {
            map.push_back(line.substr(4));
        }
    }
    return map;
}

// The board after a game start, written as its map; '!' marks a wall of the list not shown as one.
std::vector<std::string> BoardAsMap(const GameState& state, const FakePlatform& platform) {
    constexpr std::array kNames{"none", "left", "right", "up", "down"};
    std::vector<std::string> map{std::string("worm 1 heads ") +
                                 kNames.at(static_cast<int>(state.Dir1)) + ", worm 2 " +
                                 kNames.at(static_cast<int>(state.Dir2))};
    for (std::string row : platform.picture) {
        std::ranges::replace(row, '?', '.');
        map.push_back(row);
    }
    const auto at = [&map](Cell cell) -> char& { return map.at(cell.y + 1).at(cell.x); };
    for (int slot = 1; slot <= state.Walls.count(); ++slot) {
        char& shown = at(state.Walls[slot]);
        shown = shown == '#' ? '%' : shown == 'X' ? 'X' : '!';
    }
    at(state.Worm1[1]) = '1';
    at(state.Worm2[1]) = '2';
    return map;
}

class Level : public ::testing::TestWithParam<int> {};

// The border is drawn last, over the obstacles some levels put on it. Level 9's walls may lie
// anywhere in its scatter area.
TEST_P(Level, StartsAsItsMapShows) {
    GameState state;
    ApplySettings(state, {.level = static_cast<std::int16_t>(GetParam()), .foodCount = 0});
    FakePlatform platform;
    Form_Load(state, platform);
    const std::vector<std::string> board = BoardAsMap(state, platform);
    std::vector<std::string> map = MapOf(GetParam());
    for (std::size_t y = 1; y < map.size() && y < board.size(); ++y) {
        for (std::size_t x = 0; x < map[y].size(); ++x) {
            map[y][x] = map[y][x] == '?' && (board[y][x] == '.' || board[y][x] == 'X') ? board[y][x]
                                                                                       : map[y][x];
        }
    }
    EXPECT_EQ(board, map);
}

INSTANTIATE_TEST_SUITE_P(Table, Level, ::testing::Range(1, 11));

std::vector<Cell> WallsOfLevel9(FakePlatform& platform) {
    GameState state;
    LoadLevel(state, platform, 9);
    return {state.Walls.slots.begin() + 1, state.Walls.slots.begin() + 1 + state.Walls.count()};
}

// Level 9 draws its count of walls (10..59), then x and y of each, keeping duplicates. It reseeds
// from the clock at every build: the same time of day gives the same walls, another time others.
TEST(Level9, ScattersFreshWallsEveryGame) {
    constexpr double kAlmostOne = 0.9999999;
    FakePlatform platform;
    platform.scripted = {kAlmostOne, 0.0, 0.0, kAlmostOne, kAlmostOne, 0.5, 0.5, 0.5, 0.5};
    std::vector<Cell> walls = WallsOfLevel9(platform);
    ASSERT_EQ(walls.size(), 59U);
    EXPECT_EQ(std::vector(walls.begin(), walls.begin() + 4),
              (std::vector<Cell>{{3, 3}, {35, 22}, {19, 13}, {19, 13}}));
    walls = WallsOfLevel9(platform);
    EXPECT_EQ(WallsOfLevel9(platform), walls);
    platform.clock += 0.25F;
    EXPECT_NE(WallsOfLevel9(platform), walls);
}

// The level is loaded and every worm in play counted before the food goes down, so food refuses
// their start cells, and the other food points; a one-player game leaves worm 2 out. The clock
// runs at the set speed.
TEST(GameStart, PlacesFoodOffTheWormsInPlay) {
    for (const std::int16_t players : {1, 2}) {
        FakePlatform platform;
        for (const int x : {20, 10, 10, 11, 11, 12}) {
            platform.scriptCell(x, x == 20 ? 13 : 5);
        }
        GameState state;
        ApplySettings(state, {.speed = 7, .level = 1, .foodCount = 2, .players = players});
        Form_Load(state, platform);
        const auto first = static_cast<std::int16_t>(players == 1 ? 10 : 11);
        EXPECT_EQ(state.Foods[1], (Cell{first, 5}));
        EXPECT_EQ(state.Foods[2], (Cell{static_cast<std::int16_t>(first + 1), 5}));
        EXPECT_EQ(platform.interval, 7);
        EXPECT_EQ(state.Score1 + state.Score2, 0);
    }
}

}  // namespace
}  // namespace orvex::testkit
