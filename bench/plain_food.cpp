#include "plain_food.h"

#include <cmath>

#include "core/board.h"

namespace orvex::bench {

namespace {

// Field by field, as the baseline has always compared: `==` compiles to other code, and its
// figure would move with it.
template <int Capacity>
bool Holds(const CellList<Capacity>& list, Cell cell) {
    for (int slot = 1; slot <= list.count(); ++slot) {
        if (list[slot].x == cell.x && list[slot].y == cell.y) {
            return true;
        }
    }
    return false;
}

bool Taken(const GameState& state, Cell cell) {
    return Holds(state.Worm1, cell) || (state.twoPlayers() && Holds(state.Worm2, cell)) ||
           Holds(state.Foods, cell) || Holds(state.Walls, cell);
}

bool AnyPlayCellFree(const GameState& state) {
    for (std::int16_t y = kFirstPlayRow; y <= kLastPlayRow; ++y) {
        for (std::int16_t x = kFirstPlayColumn; x <= kLastPlayColumn; ++x) {
            if (!Taken(state, Cell{x, y})) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

void PlainPlaceFood(GameState& state, Platform& platform, std::int16_t i) {
    platform.seedRandom(platform.timeOfDay());
    if (!AnyPlayCellFree(state)) {
        state.Foods[i] = kUnsetCell;
        return;
    }
    for (;;) {
        const auto x = static_cast<std::int16_t>(std::floor(platform.nextRandom() * 38) + 1);
        const auto y = static_cast<std::int16_t>(std::floor(platform.nextRandom() * 25) + 1);
        if (!Taken(state, Cell{x, y})) {
            state.Foods[i] = Cell{x, y};
            DrawTile(state.Metrics, platform, x, y, TileFood);
            return;
        }
    }
}

}  // namespace orvex::bench
