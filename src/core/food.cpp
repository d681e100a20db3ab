#include "core/food.h"

#include <cmath>

#include "core/board.h"

namespace orvex {

namespace {

bool AnyPlayCellFree(const OccupiedCells& taken) {
    for (std::int16_t y = kFirstPlayRow; y <= kLastPlayRow; ++y) {
        for (std::int16_t x = kFirstPlayColumn; x <= kLastPlayColumn; ++x) {
            if (!taken.holds(Cell{x, y})) {
                return true;
            }
        }
    }
    return false;
}

// floor(r * n) + 1 for a draw 0 <= r < 1: a whole number 1..n.
std::int16_t RandomCoordinate(Platform& platform, int n) {
    return static_cast<std::int16_t>(std::floor(platform.nextRandom() * n) + 1);
}

// The cells a food point may not take: Worm1, Worm2 (two-player games only), Foods and Walls.
OccupiedCells CellsTakenForFood(const GameState& state) {
    OccupiedCells taken;
    taken.mark(state.Worm1);
    if (state.twoPlayers()) {
        taken.mark(state.Worm2);
    }
    taken.mark(state.Foods);
    taken.mark(state.Walls);
    return taken;
}

}  // namespace

void PlaceFood(GameState& state, Platform& platform, std::int16_t i) {
    platform.seedRandom(platform.timeOfDay());
    // The generator is re-seeded from the clock on every call, so placements within one clock
    // reading replay the same draws and can meet taken cells many times over: a grid built once
    // makes each candidate one lookup.
    const OccupiedCells taken = CellsTakenForFood(state);
    Cell& slot = state.Foods[i];
    if (!AnyPlayCellFree(taken)) {
        // Rejection sampling would never end on a full board; the food point leaves the board
        // instead.
        slot = kUnsetCell;
        return;
    }
    for (;;) {
        // x is drawn before y.
        const std::int16_t x = RandomCoordinate(platform, kLastPlayColumn);
        const std::int16_t y = RandomCoordinate(platform, kLastPlayRow);
        const Cell candidate{x, y};
        if (!taken.holds(candidate)) {
            slot = candidate;
            DrawTile(state.Metrics, platform, candidate.x, candidate.y, TileFood);
            return;
        }
    }
}

}  // namespace orvex
