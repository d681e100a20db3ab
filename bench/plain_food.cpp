#include "plain_food.h"

#include <cmath>

#include "core/board.h"

namespace orvex::bench {

namespace {

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
    return Holds(state.Worm1, cell) || (state.Players == 2 && Holds(state.Worm2, cell)) ||
           Holds(state.Foods, cell) || Holds(state.Walls, cell);
}

// Each taken cell needs a slot of its own, so fewer slots than play-area cells leave one free and
// the whole-board scan is needed only on crowded boards.
bool AnyCellFree(const GameState& state) {
    const int slots =
        std::max(0, static_cast<int>(state.Worm1.count())) +
        (state.Players == 2 ? std::max(0, static_cast<int>(state.Worm2.count())) : 0) +
        std::max(0, static_cast<int>(state.Foods.count())) +
        std::max(0, static_cast<int>(state.Walls.count()));
    if (slots < 38 * 25) {
        return true;
    }
    for (std::int16_t y = 1; y <= 25; ++y) {
        for (std::int16_t x = 1; x <= 38; ++x) {
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
    if (!AnyCellFree(state)) {
        state.Foods[i] = Cell{};
        return;
    }
    for (;;) {
        const auto x = static_cast<std::int16_t>(std::floor(platform.nextRandom() * 38) + 1);
        const auto y = static_cast<std::int16_t>(std::floor(platform.nextRandom() * 25) + 1);
        if (!Taken(state, Cell{x, y})) {
            state.Foods[i].x = x;
            state.Foods[i].y = y;
            DrawTile(state.metrics, platform, x, y, TileFood);
            return;
        }
    }
}

}  // namespace orvex::bench
