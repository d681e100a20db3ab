#include "core/tick.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "ascii_board.h"
#include "core/game_end.h"

namespace orvex::testkit {
namespace {

constexpr Direction L = Direction::Left;
constexpr Direction R = Direction::Right;
constexpr Direction U = Direction::Up;
constexpr Direction D = Direction::Down;
constexpr Direction N = Direction::None;

struct SteerCase {
    Position position;  // the players and the worms' directions
    std::set<int> held;
    Direction want1;
    Direction want2;
};

// Each player's first held key, in the order left, right, up, down, that does not turn the worm
// back on itself. A letter's key code is its capital's character code.
// clang-format off
const SteerCase kSteerCases[] = {
    {{.dir1 = L}, {VK_RIGHT}, L, N},
    {{.dir1 = U}, {VK_DOWN}, U, N},
    {{.dir1 = R}, {VK_RIGHT, VK_UP}, R, N},
    {{.dir1 = U}, {VK_UP, VK_LEFT}, L, N},
    {{.dir1 = L}, {VK_RIGHT, VK_UP, VK_DOWN}, U, N},
    {{.dir1 = R, .dir2 = R}, {'W', VK_DOWN}, D, R},  // player 2's keys do nothing for one player
    {{.players = 2, .dir1 = R, .dir2 = L}, {'D'}, R, L},
    {{.players = 2, .dir1 = R, .dir2 = U}, {'S', 'A', 'D'}, R, L},
    {{.players = 2, .dir1 = L, .dir2 = U}, {VK_DOWN, 'D', 'W'}, D, R},
    {{.players = 2, .dir1 = R, .dir2 = L}, {'W', 'S'}, R, U},
    {{.players = 2, .dir1 = R, .dir2 = R}, {'S'}, R, D},
};
// clang-format on

class Steering : public ::testing::TestWithParam<SteerCase> {};

TEST_P(Steering, FirstHeldKeyThatDoesNotReverseWins) {
    const SteerCase& c = GetParam();
    FakePlatform platform;
    Position position = c.position;
    position.rows = {"", "", "", "....1", "", "....a"};
    GameState state = BuildBoard(position, platform);
    platform.held = c.held;
    Timer1_Timer(state, platform);
    EXPECT_EQ(state.Dir1, c.want1);
    EXPECT_EQ(state.Dir2, c.want2);
}

INSTANTIATE_TEST_SUITE_P(Table, Steering, ::testing::ValuesIn(kSteerCases));

struct Scenario {
    const char* name;
    Position position;
    int ticks;
    int endsAt;                          // 0: the game goes on
    std::string keys1{};                 // the arrow player 1 holds at each tick: L, R, U, D or '.'
    std::vector<std::string> picture{};  // the top-left corner at the end, if given
    std::string box{};  // if given, the one box: the report, or the bare score on closing after
};

// clang-format off
const Scenario kScenarios[] = {
    {"MovesAsOneTile", {.rows = {"######", "#1...."}, .dir1 = R}, 3, 0, "", {"######", "#...1."}, "0"},
    {"CircleEntersItsLeavingTail", {.rows = {"#####", "#....", "#.14.", "#.23.", "#...."}}, 8, 0, "RDLURDLU",
     {"#####", "#....", "#.11.", "#.11.", "#...."}},
    {"SelfHit", {.rows = {"#####", "#543", "#.12"}, .dir1 = U}, 1, 1},
    {"Wall", {.rows = {"####", "#.1X"}, .dir1 = R}, 1, 1, "", {}, "Player 1 got 0 points!!"},
    {"LeftBorder", {.rows = {"1"}, .dir1 = L, .origin = {2, 5}}, 2, 2},
    {"RightBorder", {.rows = {"1"}, .dir1 = R, .origin = {37, 5}}, 2, 2},
    {"TopBorder", {.rows = {"1"}, .dir1 = U, .origin = {5, 2}}, 2, 2},
    {"BottomBorder", {.rows = {"1"}, .dir1 = D, .origin = {5, 24}}, 2, 2},
    {"WormTwoBorder", {.rows = {"1.a"}, .players = 2, .dir2 = R, .origin = {35, 5}}, 2, 2},
    {"HeadOn", {.rows = {"######", "#.1.a."}, .players = 2, .dir1 = R, .dir2 = L}, 1, 1},
    {"WormOneHitsWormTwo", {.rows = {"####", "#.1.", "#cba"}, .players = 2, .dir1 = D, .dir2 = R}, 1, 1},
    {"WormTwoHitsWormOne", {.rows = {"#####", "#.123", "#..a."}, .players = 2, .dir1 = L, .dir2 = U}, 1, 1},
    {"WormTwoHitsWall", {.rows = {"####", "#..1", "#.aX"}, .players = 2, .dir2 = R}, 1, 1},
    // The collision ends the tick: the tails are gone, no head is drawn and nothing is eaten.
    {"EndsBeforeEating", {.rows = {"#####", "#.1X", "#.aF"}, .players = 2, .dir1 = R, .dir2 = R}, 2, 1, "",
     {"####", "#..X", "#..F"}, "Player 1 got 0 points!! and Player 2 got 0 points!!"},
    {"BothEatInOneTick", {.rows = {"######", "#1F..X", "#aF..X"}, .players = 2, .dir1 = R, .dir2 = R, .growth = 2},
     6, 4, "", {"######", "#..11X", "#..22X"}, "Player 1 got 1 point!! and Player 2 got 1 point!!"},
    // The grown slots hold (0, 0): erasing them paints the corner, which every tick draws back.
    {"GrowsOneTilePerTick", {.rows = {"#########", "#.1F....."}, .dir1 = R, .growth = 3}, 5, 0, "",
     {"#########", "#...1111."}, "1"},
    // The cell left when eating stays in the worm for GrowthRate ticks.
    {"UTurnIntoTheCellLeftWhileGrowing", {.rows = {"#####", "#.1F"}, .growth = 5}, 4, 4, "RDLU", {}, "Player 1 got 1 point!!"},
    {"UTurnAfterTheCellLeftIsFree", {.rows = {"#####", "#.1F"}, .growth = 3}, 4, 0, "RDLU"},
    {"GrowthStopsAt499", {.rows = {"#####", "#1FFX"}, .dir1 = R, .growth = 10, .length1 = 495}, 4, 3, "", {}, "Player 1 got 2 points!!"},
};
// clang-format on

class Scenarios : public ::testing::TestWithParam<Scenario> {};

// Every tick runs, so any after the end must change nothing; then the window is closed.
TEST_P(Scenarios, EndAsExpected) {
    const Scenario& c = GetParam();
    FakePlatform platform;
    GameState state = BuildBoard(c.position, platform);
    platform.scriptCell(30, 20);  // eaten food comes back far away
    platform.scriptCell(31, 20);
    const std::map<char, int> arrows{{'L', VK_LEFT}, {'R', VK_RIGHT}, {'U', VK_UP}, {'D', VK_DOWN}};
    int endedAt = 0;
    for (int tick = 1; tick <= c.ticks; ++tick) {
        const char key = tick <= static_cast<int>(c.keys1.size()) ? c.keys1[tick - 1] : '.';
        platform.held = key == '.' ? std::set<int>{} : std::set<int>{arrows.at(key)};
        Timer1_Timer(state, platform);
        endedAt = endedAt == 0 && platform.ended ? tick : endedAt;
    }
    Form_Unload(state, platform);
    EXPECT_EQ(endedAt, c.endsAt);
    for (std::size_t y = 0; y < c.picture.size(); ++y) {
        EXPECT_EQ(platform.picture.at(y).substr(0, c.picture[y].size()), c.picture[y]) << y;
    }
    if (!c.box.empty()) {
        EXPECT_EQ(platform.boxes, std::vector{c.box});
    }
    EXPECT_EQ(platform.boxes.size(), 1U);
    // Every bite is heard, and every food point is on show.
    EXPECT_EQ(platform.sounds,
              std::vector<std::string>(state.Score1 + state.Score2, "/opt/orvex/eat.wav"));
    for (int i = 1; i <= state.Foods.count(); ++i) {
        EXPECT_EQ(platform.shownAt(state.Foods[i].x, state.Foods[i].y), 'F') << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Scenarios, ::testing::ValuesIn(kScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orvex::testkit
