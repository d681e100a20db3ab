#include "core/game_start.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/tick.h"
#include "fake_platform.h"

namespace orvex::testkit {
namespace {

std::string TileEntry(int x, int y, TileKind tile) {
    return "tile " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(tile);
}

TEST(FormLoad, EffectsComeInOrderWithTheBorderLast) {
    FakePlatform platform;
    GameState state;
    ApplySettings(state, {.speed = 7, .level = 5, .foodCount = 3, .players = 2});
    Form_Load(state, platform);

    std::vector<std::string> expected{"refresh window", "timer 7"};
    const auto drawn = [&expected](int x, int y, TileKind tile) {
        expected.insert(expected.end(), {TileEntry(x, y, tile), "refresh"});
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
    for (const std::int16_t players : {1, 2}) {
        SCOPED_TRACE(players);
        GameState state;
        state.Score1 = 3;
        state.Score2 = 3;
        FakePlatform platform;
        // Worm 1's start, then worm 2's start, then the cell next to it.
        for (const int x : {20, 10, 11}) {
            platform.scriptCell(x, x == 20 ? 13 : 5);
        }
        ApplySettings(state, {.level = 1, .players = players});
        Form_Load(state, platform);
        EXPECT_EQ(state.Score1, 0);
        EXPECT_EQ(state.Worm1.count(), 1);
        EXPECT_EQ(state.Score2, players == 1 ? 3 : 0);
        EXPECT_EQ(state.Worm2.count(), players - 1);
        EXPECT_EQ(state.Worm2[1], (Cell{10, 5}));
        EXPECT_EQ(state.Foods[1], (Cell{static_cast<std::int16_t>(players == 1 ? 10 : 11), 5}));
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
        platform.scriptCell(foodInTheWay ? 20 : 1, foodInTheWay ? 5 : 25);
        platform.scriptCell(1, 25);
        platform.press(VK_UP);
        ApplySettings(state, game.settings);
        Form_Load(state, platform);
        int ticks = 0;
        while (!platform.ended && ticks < 100) {
            ++ticks;
            Timer1_Timer(state, platform);
        }
        EXPECT_EQ(ticks, game.ticks);
        EXPECT_EQ(state.Worm1[1], game.lastHead);
        EXPECT_EQ(platform.boxes, std::vector<std::string>{game.report});
        EXPECT_EQ(std::vector(platform.log.end() - 3, platform.log.end()),
                  (std::vector<std::string>{"timer 0", "box " + game.report, "end"}));
    }
}

}  // namespace
}  // namespace orvex::testkit
