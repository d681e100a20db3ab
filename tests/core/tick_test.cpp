#include "core/tick.h"

#include "core/board.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "ascii_board.h"
#include "fake_platform.h"

namespace orvex::testkit {
namespace {

constexpr Direction L = Direction::Left;
constexpr Direction R = Direction::Right;
constexpr Direction U = Direction::Up;
constexpr Direction D = Direction::Down;
constexpr Direction None = Direction::None;

// Food eaten in a test reappears far from the action.
void ScriptFarFood(FakePlatform& platform) {
    for (int x = 30; x <= 33; ++x) {
        platform.scriptCell(x, 20);
    }
}

// --- Steering ---

struct SteerStep {
    std::set<int> held;
    std::set<int> tapped;  // pressed and released again before the tick
    Direction dir1;
    Direction dir2;
};

struct SteerCase {
    const char* name;
    std::int16_t players;
    Direction dir1;
    Direction dir2;
    std::vector<SteerStep> steps;
};

// clang-format off
const std::vector<SteerCase> kSteerCases = {
    {"ReversalRefused", 1, L, None, {{{VK_RIGHT}, {}, L, None}}},
    {"RightAndUpWhileRightStaysRight", 1, R, None, {{{VK_RIGHT, VK_UP}, {}, R, None}}},
    {"UpAndLeftWhileUpTurnsLeft", 1, U, None, {{{VK_UP, VK_LEFT}, {}, L, None}}},
    {"RightAndUpWhileLeftTurnsUp", 1, L, None, {{{VK_RIGHT, VK_UP}, {}, U, None}}},
    {"DownWhileUpRefused", 1, U, None, {{{VK_DOWN}, {}, U, None}}},
    {"OneChangePerTick", 1, R, None, {{{VK_LEFT, VK_UP}, {}, U, None}, {{VK_LEFT, VK_UP}, {}, L, None}}},
    {"TapBetweenTicksLost", 1, R, None, {{{}, {VK_UP}, R, None}}},
    {"PlayerTwoKeysIgnoredWithOnePlayer", 1, R, R, {{{VK_W, VK_DOWN}, {}, D, R}}},
    {"PlayerTwoSteersWithTwoPlayers", 2, R, L, {{{VK_DOWN, VK_D, VK_W}, {}, D, U}}},
    {"PlayerTwoReversalRefused", 2, R, L, {{{VK_D}, {}, R, L}}},
    {"PlayerTwoPriority", 2, R, U, {{{VK_S, VK_A, VK_D}, {}, R, L}}},
};
// clang-format on

class Steering : public ::testing::TestWithParam<SteerCase> {};

TEST_P(Steering, FirstUnrefusedHeldKeyWins) {
    const SteerCase& c = GetParam();
    FakePlatform platform;
    GameState state = BuildBoard({.players = c.players, .dir1 = c.dir1, .dir2 = c.dir2}, platform);
    SetCells(state.Worm1, {{20, 13}});
    SetCells(state.Worm2, {{10, 5}});
    for (const SteerStep& step : c.steps) {
        for (int key : step.tapped) {
            platform.press(key);
            platform.release(key);
        }
        platform.held = step.held;
        Timer1_Timer(state, platform);
        EXPECT_EQ(state.Dir1, step.dir1);
        EXPECT_EQ(state.Dir2, step.dir2);
    }
    EXPECT_FALSE(platform.ended);
}

INSTANTIATE_TEST_SUITE_P(Table, Steering, ::testing::ValuesIn(kSteerCases),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Moves and collisions ---

Direction FromLetter(char letter) {
    const std::string letters = "LRUD";
    return static_cast<Direction>(letters.find(letter) + 1);
}

struct MoveCase {
    const char* name;
    Position position;
    int ticks;
    int endsAtTick;                      // 0: the game goes on
    std::string turns1{};                // worm 1's direction before each tick ('.' keeps it)
    std::vector<std::string> picture{};  // expected top-left corner at the end, if given
};

// clang-format off
const std::vector<MoveCase> kMoveCases = {
    {"CountOneStandingStillHasNoSelfTest", {.rows = {"###", "#1."}}, 5, 0},
    {"CountOneMovesAsOneTile", {.rows = {"######", "#1...."}, .dir1 = R}, 3, 0, "", {"######", "#...1."}},
    {"CountTwoStandingStillHitsItself", {.rows = {"###", "#12"}}, 1, 1},
    {"CircleOfFourEntersItsLeavingTail", {.rows = {"#####", "#....", "#.14.", "#.23.", "#...."}}, 40, 0,
     "RDLURDLURDLURDLURDLURDLURDLURDLURDLURDLU", {"#####", "#....", "#.11.", "#.11.", "#...."}},
    {"SelfHit", {.rows = {"#####", "#543", "#.12"}, .dir1 = U}, 1, 1},
    {"Wall", {.rows = {"####", "#.1X"}, .dir1 = R}, 1, 1},
    {"EntersTheCellTheOtherTailLeaves", {.rows = {"#######", "#1cb...", "#..a..."}, .players = 2, .dir1 = R, .dir2 = D}, 3, 0},
    {"HeadOn", {.rows = {"######", "#.1.a."}, .players = 2, .dir1 = R, .dir2 = L}, 1, 1},
    {"SwapCaughtByWormTwoSlotTwo", {.rows = {"######", "#.1ab"}, .players = 2, .dir1 = R, .dir2 = L}, 1, 1},
    {"SwapCaughtByWormOneSlotTwo", {.rows = {"######", "#21a."}, .players = 2, .dir1 = R, .dir2 = L}, 1, 1},
    {"SwapOfTwoSingleCellsUnnoticed", {.rows = {"######", "#.1a."}, .players = 2, .dir1 = R, .dir2 = L}, 2, 0, "", {"######", "#2..1."}},
    {"WormTwoHitsItself", {.rows = {"#####", "#edc", "#.ab", "#...", "#...1"}, .players = 2, .dir2 = U}, 1, 1},
    {"WormTwoHitsWormOne", {.rows = {"#####", "#.123", "#..a."}, .players = 2, .dir1 = L, .dir2 = U}, 1, 1},
    {"WormTwoHitsWall", {.rows = {"####", "#..1", "#.aX"}, .players = 2, .dir2 = R}, 1, 1},
    {"WormTwoIgnoredWithOnePlayer", {.rows = {"####", "#.1a"}, .dir1 = R}, 1, 0},
    // Worm 1 eats on its first move; the cell it left stays in its list for GrowthRate - 1 ticks.
    {"LeftCellAfterEatingHitsOtherHeadNextTick", {.rows = {"#####", "#.1F", "#...", "#.a."}, .players = 2, .dir1 = R, .dir2 = U, .growth = 3}, 2, 2},
    {"LeftCellAfterEatingHitsOtherHeadSecondTick", {.rows = {"#####", "#.1F", "#...", "#...", "#.a."}, .players = 2, .dir1 = R, .dir2 = U, .growth = 3}, 3, 3},
    {"LeftCellAfterEatingFreeOnThirdTick", {.rows = {"#####", "#.1F", "#...", "#...", "#...", "#.a."}, .players = 2, .dir1 = R, .dir2 = U, .growth = 3}, 4, 0},
    {"UTurnIntoLeftCellAfterEatingWithGrowthFive", {.rows = {"#####", "#.1F"}, .growth = 5}, 4, 4, "RDLU"},
    {"UTurnIntoLeftCellAfterEatingWithGrowthThree", {.rows = {"#####", "#.1F"}, .growth = 3}, 4, 0, "RDLU"},
};
// clang-format on

class Moves : public ::testing::TestWithParam<MoveCase> {};

TEST_P(Moves, GameEndsExactlyAtTheFirstCollision) {
    const MoveCase& c = GetParam();
    FakePlatform platform;
    GameState state = BuildBoard(c.position, platform);
    ScriptFarFood(platform);
    int endedAt = 0;
    for (int tick = 1; tick <= c.ticks && endedAt == 0; ++tick) {
        if (tick <= static_cast<int>(c.turns1.size()) && c.turns1[tick - 1] != '.') {
            state.Dir1 = FromLetter(c.turns1[tick - 1]);
        }
        Timer1_Timer(state, platform);
        endedAt = platform.ended ? tick : 0;
    }
    const int rows = static_cast<int>(std::max<std::size_t>(c.picture.size(), 6));
    const std::string shown = PictureAscii(platform, 8, rows);
    EXPECT_EQ(endedAt, c.endsAtTick) << shown;
    if (!c.picture.empty()) {
        std::string expected;
        for (const std::string& row : c.picture) {
            expected += row + '\n';
        }
        EXPECT_EQ(PictureAscii(platform, static_cast<int>(c.picture[0].size()),
                               static_cast<int>(c.picture.size())),
                  expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Moves, ::testing::ValuesIn(kMoveCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct BorderCase {
    bool secondWorm;
    Cell start;
    Direction dir;
};

class Border : public ::testing::TestWithParam<BorderCase> {};

// Two cells from the border: the first move stays in the play area, the second leaves it.
TEST_P(Border, HeadOnTheBorderEndsTheGame) {
    const BorderCase& c = GetParam();
    FakePlatform platform;
    GameState state = BuildBoard({.players = 2}, platform);
    SetCells(state.Worm1, {c.secondWorm ? Cell{20, 13} : c.start});
    SetCells(state.Worm2, {c.secondWorm ? c.start : Cell{20, 13}});
    (c.secondWorm ? state.Dir2 : state.Dir1) = c.dir;
    Timer1_Timer(state, platform);
    EXPECT_FALSE(platform.ended);
    Timer1_Timer(state, platform);
    EXPECT_TRUE(platform.ended);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, Border, ::testing::Values(
    BorderCase{false, {2, 5}, L}, BorderCase{false, {37, 5}, R}, BorderCase{false, {5, 2}, U}, BorderCase{false, {5, 24}, D},
    BorderCase{true, {2, 5}, L}, BorderCase{true, {37, 5}, R}, BorderCase{true, {5, 2}, U}, BorderCase{true, {5, 24}, D}));
// clang-format on

// Worm 1 runs into a wall while worm 2 reaches food: the tails are erased, then the box; no head is
// drawn and nothing is eaten.
TEST(Collision, EndsBeforeEatingAndDrawingHeads) {
    FakePlatform platform;
    GameState state = BuildBoard(
        {.rows = {"#####", "#.1X", "#.aF"}, .players = 2, .dir1 = R, .dir2 = R}, platform);
    Timer1_Timer(state, platform);
    const std::vector<std::string> expected = {
        "tile 2 1 2", "refresh", "tile 2 2 2",
        "refresh",    "timer 0", "box Player 1 got 0 points!! and Player 2 got 0 points!!",
        "end"};
    EXPECT_EQ(platform.log, expected);
    EXPECT_EQ(state.Worm1[1], (Cell{3, 1}));
    EXPECT_EQ(state.Worm2[1], (Cell{3, 2}));
    EXPECT_EQ(state.Worm2.count(), 1);
    EXPECT_EQ(PictureAscii(platform, 4, 3), "####\n#..X\n#..F\n");
}

// --- Eating ---

TEST(Eating, BothWormsEatInOneTick) {
    FakePlatform platform;
    GameState state = BuildBoard(
        {.rows = {"#####", "#1F", "#aF"}, .players = 2, .dir1 = R, .dir2 = R, .growth = 2},
        platform);
    Timer1_Timer(state, platform);
    EXPECT_EQ(platform.sounds,
              (std::vector<std::string>{"/opt/orvex/eat.wav", "/opt/orvex/eat.wav"}));
    EXPECT_EQ(state.Score1, 1);
    EXPECT_EQ(state.Score2, 1);
    EXPECT_EQ(state.Worm1.count(), 3);
    EXPECT_EQ(state.Worm2.count(), 3);
    EXPECT_FALSE(platform.ended);
}

// The eater grows before its food point is placed again, so the cell its tail just left is
// refused.
TEST(Eating, NewFoodAvoidsTheCellsGrowthAdds) {
    FakePlatform platform;
    GameState state = BuildBoard({.rows = {"####", "#.1F"}, .dir1 = R, .growth = 2}, platform);
    platform.scriptCell(2, 1);
    platform.scriptCell(10, 5);
    Timer1_Timer(state, platform);
    EXPECT_EQ(state.Foods[1], (Cell{10, 5}));
}

bool ErasesCorner(const FakePlatform& platform) {
    const TileDraw floorAtCorner{0, 0, TileFloor};
    return std::ranges::find(platform.tiles, floorAtCorner) != platform.tiles.end();
}

// Growth 3 at count 1: the body grows one tile per tick while the tail erase lands on the corner,
// which the same tick repairs.
TEST(Eating, GrowthFromCountOneShowsOneTileMorePerTick) {
    FakePlatform platform;
    GameState state = BuildBoard({.rows = {"#########", "#.1F"}, .dir1 = R, .growth = 3}, platform);
    ScriptFarFood(platform);
    const std::vector<std::string> rows = {"#..1.....", "#..11....", "#..111...", "#..1111..",
                                           "#...1111."};
    const std::vector<bool> cornerErased = {false, true, true, false, false};
    for (std::size_t tick = 0; tick < rows.size(); ++tick) {
        platform.tiles.clear();
        Timer1_Timer(state, platform);
        EXPECT_EQ(PictureAscii(platform, 9, 2), "#########\n" + rows[tick] + "\n") << tick + 1;
        EXPECT_EQ(ErasesCorner(platform), cornerErased[tick]) << tick + 1;
        EXPECT_EQ(platform.tiles.back(), (TileDraw{0, 0, TileBorder}));
        if (tick == 0) {
            EXPECT_EQ(state.Worm1.count(), 4);
            EXPECT_EQ(state.Worm1[2], (Cell{2, 1}));
            EXPECT_EQ(state.Worm1[3], (Cell{0, 0}));
            EXPECT_EQ(state.Worm1[4], (Cell{0, 0}));
        }
    }
}

TEST(Eating, GrowthStopsAt499) {
    FakePlatform platform;
    GameState state = BuildBoard({.rows = {"######", "#1FF"}, .dir1 = R, .growth = 10}, platform);
    state.Worm1.setCount(495);  // the body slots hold (0, 0), which no head can reach
    for (int tick = 0; tick < 10; ++tick) {
        Timer1_Timer(state, platform);
    }
    EXPECT_FALSE(platform.ended);
    EXPECT_GE(state.Score1, 2);
    EXPECT_EQ(state.Worm1.count(), 499);
}

// --- Whole ticks ---

struct TickCase {
    const char* name;
    Position position;
    std::vector<TileDraw> tiles;
};

// clang-format off
const std::vector<TickCase> kTickCases = {
    {"OnePlayer", {.rows = {"####", "#.1."}, .dir1 = R}, {{2, 1, TileFloor}, {3, 1, TileWorm1}, {0, 0, TileBorder}}},
    {"TwoPlayers", {.rows = {"####", "#.1.", "#.a."}, .players = 2, .dir1 = R, .dir2 = U},
     {{2, 1, TileFloor}, {2, 2, TileFloor}, {3, 1, TileWorm1}, {2, 1, TileWorm2}, {0, 0, TileBorder}}},
    {"OnePlayerEats", {.rows = {"####", "#.1F"}, .dir1 = R},
     {{2, 1, TileFloor}, {10, 5, TileFood}, {3, 1, TileWorm1}, {0, 0, TileBorder}}},
    {"BothEat", {.rows = {"####", "#.1F", "#.aF"}, .players = 2, .dir1 = R, .dir2 = R},
     {{2, 1, TileFloor}, {2, 2, TileFloor}, {10, 5, TileFood}, {20, 7, TileFood}, {3, 1, TileWorm1}, {3, 2, TileWorm2}, {0, 0, TileBorder}}},
};
// clang-format on

class WholeTick : public ::testing::TestWithParam<TickCase> {};

TEST_P(WholeTick, DrawsExactlyTheseTiles) {
    FakePlatform platform;
    GameState state = BuildBoard(GetParam().position, platform);
    platform.scriptCell(10, 5);
    platform.scriptCell(20, 7);
    Timer1_Timer(state, platform);
    EXPECT_EQ(platform.tiles, GetParam().tiles);
}

INSTANTIATE_TEST_SUITE_P(Table, WholeTick, ::testing::ValuesIn(kTickCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orvex::testkit
