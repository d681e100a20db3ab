#include "game/food.h"

#include <array>
#include <cmath>

#include "board/board.h"

namespace orvex {

namespace {

// Which board cells the lists hold, built once per call so that a candidate costs one lookup
// instead of a scan over every slot of every list.
class OccupiedCells {
public:
    template <int Capacity>
    void mark(const CellList<Capacity>& list) {
        for (int slot = 1; slot <= list.count(); ++slot) {
            const Cell cell = list[slot];
            if (cell.x >= 0 && cell.x < kColumns && cell.y >= 0 && cell.y < kRows) {
                taken_[cell.y][cell.x] = true;
            }
        }
    }
    bool holds(int x, int y) const { return taken_[y][x]; }

private:
    std::array<std::array<bool, kColumns>, kRows> taken_{};
};

constexpr int kPlayColumns = kColumns - 2;  // x 1..38
constexpr int kPlayRows = kRows - 2;        // y 1..25

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

bool AnyPlayCellFree(const OccupiedCells& taken) {
    for (int y = 1; y <= kPlayRows; ++y) {
        for (int x = 1; x <= kPlayColumns; ++x) {
            if (!taken.holds(x, y)) {
                return true;
            }
        }
    }
    return false;
}

// floor(r * n) + 1 for a draw 0 <= r < 1: a whole number 1..n.
std::int16_t DrawCoordinate(Platform& platform, int n) {
    return static_cast<std::int16_t>(std::floor(platform.nextRandom() * n) + 1);
}

}  // namespace

void PlaceFood(GameState& state, Platform& platform, std::int16_t i) {
    platform.seedRandom(platform.timeOfDay());
    const OccupiedCells taken = CellsTakenForFood(state);
    Cell& slot = state.Foods[i];
    if (!AnyPlayCellFree(taken)) {
        // Rejection sampling would never end on a full board; the food point leaves the board
        // instead.
        slot = Cell{};
        return;
    }
    for (;;) {
        const std::int16_t x = DrawCoordinate(platform, kPlayColumns);
        const std::int16_t y = DrawCoordinate(platform, kPlayRows);
        if (!taken.holds(x, y)) {
            slot.x = x;
            slot.y = y;
            DrawTile(state.metrics, platform, x, y, TileFood);
            return;
        }
    }
}

}  // namespace orvex
