#include "core/game_start.h"

#include "core/board.h"
#include "core/food.h"
#include "core/levels.h"

namespace orvex {

namespace {

// Top and bottom rows column by column, then the left and right columns row by row; drawn last, so
// it covers the obstacle cells that some levels put on the border.
void DrawBorder(const GameState& state, Platform& platform) {
    for (std::int16_t i = 0; i < kColumns; ++i) {
        DrawTile(state.Metrics, platform, i, 0, TileBorder);
        DrawTile(state.Metrics, platform, i, kRows - 1, TileBorder);
    }
    for (std::int16_t j = 0; j < kRows; ++j) {
        DrawTile(state.Metrics, platform, 0, j, TileBorder);
        DrawTile(state.Metrics, platform, kColumns - 1, j, TileBorder);
    }
}

}  // namespace

void ApplySettings(GameState& state, const GameSettings& settings) {
    state.SpeedSetting = settings.speed;
    state.LevelSetting = settings.level;
    state.FoodCount = settings.foodCount;
    state.Players = settings.players;
    state.GrowthRate = settings.growthRate;
}

void Form_Load(GameState& state, Platform& platform) {
    platform.refreshWindow();
    platform.setTimerInterval(state.SpeedSetting);
    state.Score1 = 0;
    if (state.twoPlayers()) {
        state.Score2 = 0;
    }
    state.Metrics = ComputeScreenMetrics(platform.screenSize());
    state.Worm1.setCount(1);
    if (state.twoPlayers()) {
        state.Worm2.setCount(1);
    }
    LoadLevel(state, platform, state.LevelSetting);
    state.Foods.setCount(state.FoodCount);
    for (std::int16_t i = 1; i <= state.FoodCount; ++i) {
        PlaceFood(state, platform, i);
    }
    DrawBorder(state, platform);
    platform.refreshWindow();
}

}  // namespace orvex
