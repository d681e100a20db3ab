#include "core/game_end.h"

namespace orvex {

namespace {

// " 1 point!!" for exactly one, " 7 points!!" for any other score. Appended piece by piece:
// GCC 12 at -O3 reports a false -Wrestrict for `" " + std::to_string(...)`.
std::string ScoreText(std::int16_t score) {
    std::string text = " ";
    text += std::to_string(score);
    text += score == 1 ? " point!!" : " points!!";
    return text;
}

// Stops the clock first: no tick may run while a box is open or after the game is over.
void EndGameWithBox(GameState& state, Platform& platform, const std::string& text) {
    state.GameEnded = true;
    platform.setTimerInterval(0);
    platform.messageBox(text);
    platform.endProgram();
}

}  // namespace

std::string ScoreReport(const GameState& state) {
    std::string report = "Player 1 got" + ScoreText(state.Score1);
    if (state.twoPlayers()) {
        report += " and Player 2 got" + ScoreText(state.Score2);
    }
    return report;
}

void GameOver(GameState& state, Platform& platform) {
    if (state.GameEnded) {
        return;
    }
    EndGameWithBox(state, platform, ScoreReport(state));
}

void Form_Unload(GameState& state, Platform& platform) {
    if (state.GameEnded) {
        return;
    }
    EndGameWithBox(state, platform, std::to_string(state.Score1));
}

}  // namespace orvex
