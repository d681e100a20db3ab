#include "core/tick.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "ascii_board.h"
#include "core/game_end.h"
#include "fake_platform.h"

namespace orvex::testkit {
namespace {

constexpr Direction L = Direction::Left;
constexpr Direction R = Direction::Right;
constexpr Direction U = Direction::Up;
constexpr Direction D = Direction::Down;
constexpr Direction N = Direction::None;

struct SteerCase {
    std::int16_t players;
    Direction dir1;
    Direction dir2;
    std::set<int> held;
    Direction want1;
    Direction want2;
};

// Each player's first held key, in the order left, right, up, down, that does not turn the worm
// back on itself.
// clang-format off
const SteerCase kSteerCases[] = {
    {1, L, N, {VK_RIGHT}, L, N},
    {1, U, N, {VK_DOWN}, U, N},
    {1, R, N, {VK_RIGHT, VK_UP}, R, N},
    {1, U, N, {VK_UP, VK_LEFT}, L, N},
    {1, L, N, {VK_RIGHT, VK_UP, VK_DOWN}, U, N},
    {1, R, R, {VK_W, VK_DOWN}, D, R},  // player 2's keys do nothing in a one-player game
    {2, R, L, {VK_D}, R, L},
    {2, R, U, {VK_S, VK_A, VK_D}, R, L},
    {2, L, U, {VK_DOWN, VK_D, VK_W}, D, R},
    {2, R, L, {VK_W, VK_S}, R, U},
    {2, R, R, {VK_S}, R, D},
};
// clang-format on

class Steering : public ::testing::TestWithParam<SteerCase> {};

TEST_P(Steering, FirstHeldKeyThatDoesNotReverseWins) {
    const SteerCase& c = GetParam();
    FakePlatform platform;
    GameState state = BuildBoard({.rows = {"1", "", "a"},
                                  .players = c.players,
                                  .dir1 = c.dir1,
                                  .dir2 = c.dir2,
                                  .origin = {20, 10}},
                                 platform);
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
    {"Wall", {.rows = {"####", "#.1X"}, .dir1 = R}, 1, 1},
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
    {"UTurnIntoTheCellLeftWhileGrowing", {.rows = {"#####", "#.1F"}, .growth = 5}, 4, 4, "RDLU"},
    {"UTurnAfterTheCellLeftIsFree", {.rows = {"#####", "#.1F"}, .growth = 3}, 4, 0, "RDLU"},
    {"GrowthStopsAt499", {.rows = {"#####", "#1FF"}, .dir1 = R, .growth = 10, .length1 = 495}, 3, 0},
};
// clang-format on

class Scenarios : public ::testing::TestWithParam<Scenario> {};

// Every tick runs, so any after the end must change nothing; then the window is closed.
TEST_P(Scenarios, EndAsExpected) {
    const Scenario& c = GetParam();
    FakePlatform platform;
    GameState state = BuildBoard(c.position, platform);
    for (int x = 30; x <= 33; ++x) {
        platform.scriptCell(x, 20);  // eaten food comes back far away
    }
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
    std::string picture;
    for (const std::string& row : c.picture) {
        picture += row + '\n';
    }
    if (!c.picture.empty()) {
        EXPECT_EQ(platform.picture(static_cast<int>(c.picture[0].size()),
                                   static_cast<int>(c.picture.size())),
                  picture);
    }
    EXPECT_EQ(platform.boxes.size(), 1U);
    if (!c.box.empty()) {
        EXPECT_EQ(platform.boxes, std::vector{c.box});
    }
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
