#include "core/game_start.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/tick.h"
#include "fake_platform.h"
#include "whole_game.h"

namespace orvex {
namespace {

using testkit::FakePlatform;
using XY = std::pair<int, int>;

// A uniform draw that food placement turns into column x (1..38) or row y (1..25).
double ColumnDraw(int x) {
    return (x - 0.5) / 38;
}
double RowDraw(int y) {
    return (y - 0.5) / 25;
}

GameState Started(const GameSettings& settings, FakePlatform& platform, GameState state = {}) {
    ApplySettings(state, settings);
    Form_Load(state, platform);
    return state;
}

TEST(FormLoad, EffectsComeInOrderWithTheBorderLast) {
    FakePlatform platform;
    const GameState state =
        Started({.speed = 7, .level = 5, .foodCount = 3, .players = 2}, platform);

    std::vector<std::string> expected{"refresh window", "timer 7"};
    const auto drawn = [&expected](int x, int y, TileKind tile) {
        expected.push_back("tile " + std::to_string(x) + " " + std::to_string(y) + " " +
                           std::to_string(static_cast<int>(tile)));
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

// A one-player game leaves worm 2's score and count alone, though the level sets its start. The
// level is loaded first, so food refuses the start cell of every worm in play, and only those.
TEST(FormLoad, OnlyATwoPlayerGameSetsUpWormTwo) {
    const struct {
        std::int16_t players, score2, count2;
        XY food;
    } games[] = {{1, 3, 0, {10, 5}}, {2, 0, 1, {11, 5}}};
    for (const auto& game : games) {
        GameState before;
        before.Score1 = 3;
        before.Score2 = 3;
        FakePlatform platform;
        // Worm 1's start, then worm 2's start, then the cell next to it.
        platform.scriptDraws(
            {ColumnDraw(20), RowDraw(13), ColumnDraw(10), RowDraw(5), ColumnDraw(11), RowDraw(5)});
        const GameState state = Started({.level = 1, .players = game.players}, platform, before);
        SCOPED_TRACE(game.players);
        EXPECT_EQ(state.Score1, 0);
        EXPECT_EQ(state.Worm1.count(), 1);
        EXPECT_EQ(state.Score2, game.score2);
        EXPECT_EQ(state.Worm2.count(), game.count2);
        EXPECT_EQ(state.Worm2[1], (Cell{10, 5}));
        EXPECT_EQ(XY(state.Foods[1].x, state.Foods[1].y), game.food);
    }
}

// Player 1 holds the up key from the first tick; the one food point starts at (20, 5) on level 1
// (in worm 1's way) and in the far corner (1, 25) otherwise, and comes back there when eaten.
TEST(WholeGame, EndsAtTheFirstCollisionWithTheReport) {
    const struct {
        GameSettings settings;
        int ticks;  // the tick whose move collides
        Cell lastHead;
        std::string report;
    } games[] = {
        {{.level = 1}, 13, {20, 0}, "Player 1 got 1 point!!"},
        {{.speed = 30, .level = 2, .players = 2},
         3,
         {20, 13},
         "Player 1 got 0 points!! and Player 2 got 0 points!!"},
        {{.level = 7}, 16, {20, 0}, "Player 1 got 0 points!!"},  // through the bar's gap
    };
    for (const auto& game : games) {
        SCOPED_TRACE(game.report);
        GameState state;
        FakePlatform platform;
        const bool foodInTheWay = game.settings.level == 1;
        platform.scriptDraws({ColumnDraw(foodInTheWay ? 20 : 1), RowDraw(foodInTheWay ? 5 : 25),
                              ColumnDraw(1), RowDraw(25)});
        ApplySettings(state, game.settings);

        EXPECT_EQ(testkit::PlayWholeGame(state, platform, 100,
                                         [](int, FakePlatform& keys) { keys.press(VK_UP); }),
                  game.ticks);
        EXPECT_EQ(state.Worm1[1], game.lastHead);
        EXPECT_EQ(platform.boxes, std::vector<std::string>{game.report});
        ASSERT_GE(platform.log.size(), 3U);
        EXPECT_EQ(std::vector(platform.log.end() - 3, platform.log.end()),
                  (std::vector<std::string>{"timer 0", "box " + game.report, "end"}));
    }
}

}  // namespace
}  // namespace orvex
