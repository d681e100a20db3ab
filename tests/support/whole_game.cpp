#include "whole_game.h"

#include "core/game_start.h"
#include "core/tick.h"

namespace orvex::testkit {

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

}  // namespace orvex::testkit
