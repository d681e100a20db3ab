#include "game/game_start.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "fake_platform.h"
#include "game/tick.h"
#include "whole_game.h"

namespace orvex {
namespace {

using testing::FakePlatform;
using testing::GameSettings;
using XY = std::pair<int, int>;

std::string TileEntry(int x, int y, TileKind tile) {
    return "tile " + std::to_string(x) + " " + std::to_string(y) + " " +
           std::to_string(static_cast<int>(tile));
}

// A uniform draw that food placement turns into column x (1..38) or row y (1..25).
double ColumnDraw(int x) {
    return (x - 0.5) / 38;
}
double RowDraw(int y) {
    return (y - 0.5) / 25;
}

class FormLoadTest : public ::testing::Test {
protected:
    void Start(const GameSettings& settings) {
        testing::ApplySettings(state, settings);
        Form_Load(state, platform);
    }

    GameState state;
    FakePlatform platform;
};

TEST_F(FormLoadTest, EffectsComeInOrderWithTheBorderLast) {
    Start({.speed = 7, .level = 5, .foodCount = 3, .players = 2});

    std::vector<std::string> expected{"refresh window", "timer 7"};
    const auto drawn = [&expected](int x, int y, TileKind tile) {
        expected.push_back(TileEntry(x, y, tile));
        expected.emplace_back("refresh");
    };
    for (int slot = 1; slot <= state.Walls.count(); ++slot) {
        drawn(state.Walls[slot].x, state.Walls[slot].y, TileObstacle);
    }
    for (int slot = 1; slot <= 3; ++slot) {
        drawn(state.Foods[slot].x, state.Foods[slot].y, TileFood);
    }
    for (int i = 0; i <= 39; ++i) {
        drawn(i, 0, TileBorder);
        drawn(i, 26, TileBorder);
    }
    for (int j = 0; j <= 26; ++j) {
        drawn(0, j, TileBorder);
        drawn(39, j, TileBorder);
    }
    expected.emplace_back("refresh window");
    EXPECT_EQ(platform.log, expected);
}

TEST_F(FormLoadTest, ClockAsksForTheChosenInterval) {
    for (const std::int16_t speed : {1, 1000}) {
        GameState fresh;
        FakePlatform clocked;
        fresh.SpeedSetting = speed;
        Form_Load(fresh, clocked);
        EXPECT_EQ(clocked.timerIntervals, std::vector<int>{speed});
    }
}

TEST_F(FormLoadTest, MetricsComeFromTheScreen) {
    // 1280 x 768.5 pixels at 12 twips per pixel: the height rounds to the even 768.
    platform.screen = ScreenSize{15360, 9222, 12, 12};
    Start({.level = 1});

    EXPECT_FLOAT_EQ(state.metrics.ScreenWidthPx, 1280.0F);
    EXPECT_EQ(state.metrics.ScreenHeightPx, 768);
    EXPECT_FLOAT_EQ(state.metrics.CellWidth, 32.0F);
    EXPECT_FLOAT_EQ(state.metrics.CellHeight, 25.6F);
    // The last border tile, (39, 26), lands where those metrics put it.
    EXPECT_EQ(platform.refreshed.back(), (PixelRect{1248, 666, 32, 26}));
}

struct PlayerCase {
    std::int16_t players;
    std::int16_t score2;
    std::int16_t worm2Count;
};

class PlayerCountTest : public FormLoadTest, public ::testing::WithParamInterface<PlayerCase> {};

TEST_P(PlayerCountTest, OnlyATwoPlayerGameSetsUpWormTwo) {
    state.Score1 = 3;
    state.Score2 = 3;
    Start({.level = 2, .players = GetParam().players});

    EXPECT_EQ(state.Score1, 0);
    EXPECT_EQ(state.Worm1.count(), 1);
    EXPECT_EQ(state.Score2, GetParam().score2);
    EXPECT_EQ(state.Worm2.count(), GetParam().worm2Count);
    EXPECT_EQ(state.Worm2[1], (Cell{20, 10}));  // the level sets it all the same
}

INSTANTIATE_TEST_SUITE_P(GameStart, PlayerCountTest,
                         ::testing::Values(PlayerCase{1, 3, 0}, PlayerCase{2, 0, 1}));

struct FoodCase {
    std::int16_t level;
    std::int16_t players;
    std::int16_t foodCount;
};

class FoodAtStartTest : public FormLoadTest, public ::testing::WithParamInterface<FoodCase> {};

TEST_P(FoodAtStartTest, FillsEverySlotWithADistinctFreePlayCell) {
    const FoodCase& food = GetParam();
    Start({.level = food.level, .foodCount = food.foodCount, .players = food.players});

    std::set<XY> taken{{state.Worm1[1].x, state.Worm1[1].y}};
    if (food.players == 2) {
        taken.emplace(state.Worm2[1].x, state.Worm2[1].y);
    }
    for (int slot = 1; slot <= state.Walls.count(); ++slot) {
        taken.emplace(state.Walls[slot].x, state.Walls[slot].y);
    }
    ASSERT_EQ(state.Foods.count(), food.foodCount);
    std::set<XY> placed;
    for (int slot = 1; slot <= food.foodCount; ++slot) {
        const Cell cell = state.Foods[slot];
        SCOPED_TRACE(slot);
        EXPECT_TRUE(cell.x >= 1 && cell.x <= 38 && cell.y >= 1 && cell.y <= 25);
        EXPECT_FALSE(taken.contains({cell.x, cell.y}));
        EXPECT_TRUE(placed.emplace(cell.x, cell.y).second) << "placed twice";
        EXPECT_EQ(platform.shownAt(cell.x, cell.y), TileFood);
    }
    if (food.foodCount < kFoodCapacity) {
        EXPECT_EQ(state.Foods[food.foodCount + 1], (Cell{0, 0}));
    }
}

INSTANTIATE_TEST_SUITE_P(GameStart, FoodAtStartTest,
                         ::testing::Values(FoodCase{1, 1, 1}, FoodCase{5, 2, 1},
                                           FoodCase{10, 2, 100}, FoodCase{8, 1, 100},
                                           FoodCase{9, 2, 100}));

// The level is loaded first, so food refuses the start cell of every worm in play.
TEST_F(FormLoadTest, FoodRefusesOnlyTheStartCellsOfWormsInPlay) {
    for (const auto& [players, cell] : {std::pair{1, XY{10, 5}}, std::pair{2, XY{11, 5}}}) {
        GameState fresh;
        FakePlatform scripted;
        // Worm 1's start, then worm 2's start, then the cell next to it.
        scripted.scriptDraws(
            {ColumnDraw(20), RowDraw(13), ColumnDraw(10), RowDraw(5), ColumnDraw(11), RowDraw(5)});
        testing::ApplySettings(fresh, {.level = 1, .players = static_cast<std::int16_t>(players)});
        Form_Load(fresh, scripted);
        EXPECT_EQ(XY(fresh.Foods[1].x, fresh.Foods[1].y), cell) << players << " players";
    }
}

struct WholeGameCase {
    std::string name;
    GameSettings settings;
    int ticks;  // the tick whose move collides
    Cell lastHead;
    std::string report;
};

class WholeGameTest : public ::testing::TestWithParam<WholeGameCase> {};

// Player 1 holds the up key from the first tick; the one food point starts at (20, 5) on level 1
// (in worm 1's way) and in the far corner (1, 25) otherwise, and comes back there when eaten.
TEST_P(WholeGameTest, EndsAtTheFirstCollisionWithTheReport) {
    const WholeGameCase& game = GetParam();
    GameState state;
    FakePlatform platform;
    const bool foodInTheWay = game.settings.level == 1;
    platform.scriptDraws({ColumnDraw(foodInTheWay ? 20 : 1), RowDraw(foodInTheWay ? 5 : 25),
                          ColumnDraw(1), RowDraw(25)});
    testing::ApplySettings(state, game.settings);

    const int ticks = testing::PlayWholeGame(state, platform, 100,
                                             [](int, FakePlatform& keys) { keys.press(VK_UP); });

    ASSERT_TRUE(platform.ended);
    EXPECT_EQ(ticks, game.ticks);
    EXPECT_EQ(state.Worm1[1], game.lastHead);
    EXPECT_EQ(platform.boxes, std::vector<std::string>{game.report});
    EXPECT_EQ(platform.timerIntervals, (std::vector<int>{game.settings.speed, 0}));
    ASSERT_GE(platform.log.size(), 3U);
    EXPECT_EQ(std::vector(platform.log.end() - 3, platform.log.end()),
              (std::vector<std::string>{"timer 0", "box " + game.report, "end"}));
    // The colliding head is never drawn.
    EXPECT_EQ(std::ranges::count(platform.tiles,
                                 testing::TileDraw{game.lastHead.x, game.lastHead.y, TileWorm1}),
              0);
}

INSTANTIATE_TEST_SUITE_P(
    GameStart, WholeGameTest,
    ::testing::Values(
        WholeGameCase{
            "EatsOnTheWayIntoTheBorder", {.level = 1}, 13, {20, 0}, "Player 1 got 1 point!!"},
        WholeGameCase{"RunsIntoTheBar",
                      {.speed = 30, .level = 2, .players = 2},
                      3,
                      {20, 13},
                      "Player 1 got 0 points!! and Player 2 got 0 points!!"},
        WholeGameCase{"SlipsThroughTheGap", {.level = 7}, 16, {20, 0}, "Player 1 got 0 points!!"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace orvex
