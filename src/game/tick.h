#pragma once

#include "game/state.h"
#include "platform/platform.h"

namespace orvex {

// Virtual-key codes of the steering keys.
enum VirtualKey : int {
    VK_LEFT = 37,
    VK_UP = 38,
    VK_RIGHT = 39,
    VK_DOWN = 40,
    VK_A = 65,
    VK_D = 68,
    VK_S = 83,
    VK_W = 87,
};

// True while the key is down at the moment of the call. The key code comes as a real, as the key
// table holds it, and is rounded to the nearest integer.
bool KeyDown(Platform& platform, double key);

// Plays "eat.wav" from the program's folder in the background.
void PlayEatSound(Platform& platform);

// One clock tick: steer, erase the tails, move, test the collisions (ending the game at the first),
// let the worms eat, draw the heads and repair the top-left border corner.
void Timer1_Timer(GameState& state, Platform& platform);

}  // namespace orvex
