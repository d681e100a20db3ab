#pragma once

#include <string>

#include "core/platform.h"
#include "core/state.h"

namespace orvex {

// The score report, e.g. "Player 1 got 3 points!! and Player 2 got 1 point!!".
std::string ScoreReport(const GameState& state);

// Stops the clock, shows the score report and ends the program.
void GameOver(GameState& state, Platform& platform);

// The main window is closing during a game: stop the clock, show player 1's bare score and end the
// program. Does nothing once the game has ended, so a close during the score report adds no box.
void Form_Unload(GameState& state, Platform& platform);

}  // namespace orvex
