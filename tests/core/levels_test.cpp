#include "core/levels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "ascii_board.h"
#include "core/board.h"
#include "core/game_start.h"
#include "fake_platform.h"

namespace orvex::testkit {
namespace {

// The maps of level_maps.txt as text: the worms' first directions, then the board: 'X' an obstacle,
// '%' an obstacle under the border, '1' and '2' the worms' starts, '?' level 9's scatter area.
const std::string& MapOf(int level) {
    static const std::map<int, std::string> maps = [] {
        std::ifstream in(std::string(ORVEX_TEST_DATA_DIR) + "/level_maps.txt");
        std::map<int, std::string> read;
        int current = 0;
        for (std::string line; std::getline(in, line);) {
            if (line.starts_with("Level ")) {
                current = std::stoi(line.substr(6));
                read[current] = line.substr(line.find(':') + 2) + '\n';
            } else if (line.size() == 4 + kColumns && std::isdigit(line[2]) != 0) {
                read[current] += line.substr(4) + '\n';
            }
        }
        return read;
    }();
    return maps.at(level);
}

// The board after a game start, written as its map: the picture, with '%' where a wall of the list
// lies under the border and '!' where one is not shown as a wall.
std::string BoardAsMap(const GameState& state, const FakePlatform& platform) {
    const char* names[] = {"none", "left", "right", "up", "down"};
    const auto name = [&names](Direction d) { return std::string(names[static_cast<int>(d)]); };
    std::string text = platform.picture(kColumns, kRows);
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
    return "worm 1 heads " + name(state.Dir1) + ", worm 2 " + name(state.Dir2) + '\n' + text;
}

class Level : public ::testing::TestWithParam<int> {};

// The border is drawn last, over the obstacles some levels put on it. Level 9's walls may lie
// anywhere in its scatter area.
TEST_P(Level, StartsAsItsMapShows) {
    GameState state;
    ApplySettings(state, {.level = static_cast<std::int16_t>(GetParam()), .foodCount = 0});
    FakePlatform platform;
    Form_Load(state, platform);
    const std::string board = BoardAsMap(state, platform);
    std::string map = MapOf(GetParam());
    for (std::size_t i = 0; i < map.size(); ++i) {
        map[i] = map[i] == '?' && (board[i] == '.' || board[i] == 'X') ? board[i] : map[i];
    }
    EXPECT_EQ(board, map);
}

INSTANTIATE_TEST_SUITE_P(Table, Level, ::testing::Range(1, 11));

std::vector<Cell> WallsOfLevel9(FakePlatform& platform) {
    GameState state;
    LoadLevel(state, platform, 9);
    return {state.Walls.slots.begin() + 1, state.Walls.slots.begin() + 1 + state.Walls.count()};
}

// Level 9 draws its count n (10..59), then x and y of each wall; duplicates are kept.
TEST(Level9, ScattersItsDrawnCountOfWalls) {
    constexpr double kAlmostOne = 0.9999999;
    FakePlatform platform;
    platform.scripted = {kAlmostOne, 0.0, 0.0, kAlmostOne, kAlmostOne, 0.5, 0.5, 0.5, 0.5};
    const std::vector<Cell> walls = WallsOfLevel9(platform);
    ASSERT_EQ(walls.size(), 59U);
    EXPECT_EQ(std::vector(walls.begin(), walls.begin() + 4),
              (std::vector<Cell>{{3, 3}, {35, 22}, {19, 13}, {19, 13}}));
}

// Reseeded from the clock at every build: the same time of day gives the same walls, another time
// other walls.
TEST(Level9, FollowsTheClock) {
    FakePlatform platform;
    platform.clock = 43200.5F;
    const std::vector<Cell> first = WallsOfLevel9(platform);
    EXPECT_EQ(WallsOfLevel9(platform), first);
    platform.clock += 0.25F;
    EXPECT_NE(WallsOfLevel9(platform), first);
}

// The level is loaded and every worm in play counted before the food goes down, so food refuses
// their start cells, and the other food points; a one-player game leaves worm 2 out.
TEST(GameStart, FoodAvoidsTheWormsInPlay) {
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
        EXPECT_EQ(platform.log, std::vector<std::string>{"timer 7"});
    }
}

}  // namespace
}  // namespace orvex::testkit
