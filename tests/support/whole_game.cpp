#include "whole_game.h"

#include "game/game_start.h"
#include "game/tick.h"

namespace orvex::testing {

void ApplySettings(GameState& state, const GameSettings& settings) {
    state.SpeedSetting = settings.speed;
    state.LevelSetting = settings.level;
    state.FoodCount = settings.foodCount;
    state.Players = settings.players;
    state.GrowthRate = settings.growthRate;
}

int PlayWholeGame(GameState& state, FakePlatform& platform, int tickLimit,
                  const BeforeTick& beforeTick) {
    Form_Load(state, platform);
    int ticks = 0;
    while (!platform.ended && ticks < tickLimit) {
        ++ticks;
        if (beforeTick) {
            beforeTick(ticks, platform);
        }
        Timer1_Timer(state, platform);
    }
    return ticks;
}

}  // namespace orvex::testing
