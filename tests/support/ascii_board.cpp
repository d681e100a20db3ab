#include "ascii_board.h"

#include <algorithm>
#include <stdexcept>

#include "core/board.h"

namespace orvex::testkit {

namespace {

// Counts the list up to `slot` if it is shorter: worm cells come in any reading order, their
// character says their slot.
template <int Capacity>
void Put(CellList<Capacity>& list, int slot, Cell cell) {
    list[slot] = cell;
    list.setCount(std::max<std::int16_t>(list.count(), static_cast<std::int16_t>(slot)));
}

// Reads one character into the lists and returns the tile shown for it.
char ReadCell(GameState& state, char c, Cell cell) {
    if (c == 'X') {
        Put(state.Walls, state.Walls.count() + 1, cell);
    } else if (c == 'F') {
        Put(state.Foods, state.Foods.count() + 1, cell);
    } else if (c >= '1' && c <= '9') {
        Put(state.Worm1, c - '0', cell);
        return '1';
    } else if (c >= 'a' && c <= 'z') {
        Put(state.Worm2, c - 'a' + 1, cell);
        return '2';
    } else if (c != '#' && c != '.') {
        throw std::invalid_argument(std::string("unknown board character ") + c);
    }
    return c;
}

}  // namespace

GameState BuildBoard(const Position& position, FakePlatform& platform) {
    GameState state;
    state.Metrics = ComputeScreenMetrics(platform.screenSize());
    state.Players = position.players;
    state.Dir1 = position.dir1;
    state.Dir2 = position.dir2;
    state.GrowthRate = position.growth;
    for (std::size_t y = 0; y < position.rows.size(); ++y) {
        for (std::size_t x = 0; x < position.rows[y].size(); ++x) {
            const Cell cell{static_cast<std::int16_t>(position.origin.x + x),
                            static_cast<std::int16_t>(position.origin.y + y)};
            platform.shownAt(cell.x, cell.y) = ReadCell(state, position.rows[y][x], cell);
        }
    }
    state.Worm1.setCount(std::max(state.Worm1.count(), position.length1));
    state.FoodCount = state.Foods.count();
    return state;
}

}  // namespace orvex::testkit
