#include "bench_boards.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "core/food.h"
#include "core/game_start.h"
#include "core/tick.h"
#include "quiet_platform.h"

namespace orvex::bench {

namespace {

// A stretch of free cells along one row, entered from its left end.
struct Runway {
    Cell start;
    int length = 0;
};

// The longest free stretch of each row, longest first.
std::vector<Runway> RunwaysByLength(const OccupiedCells& taken) {
    std::vector<Runway> runways;
    for (int y = kFirstPlayRow; y <= kLastPlayRow; ++y) {
        Runway best;
        int runStart = kFirstPlayColumn;
        for (int x = kFirstPlayColumn; x <= kLastPlayColumn + 1; ++x) {
            if (x <= kLastPlayColumn &&
                !taken.holds(Cell{static_cast<std::int16_t>(x), static_cast<std::int16_t>(y)})) {
                continue;
            }
            if (x - runStart > best.length) {
                best = {Cell{static_cast<std::int16_t>(runStart), static_cast<std::int16_t>(y)},
                        x - runStart};
            }
            runStart = x + 1;
        }
        runways.push_back(best);
    }
    std::stable_sort(runways.begin(), runways.end(),
                     [](const Runway& a, const Runway& b) { return a.length > b.length; });
    return runways;
}

// A worm that has just grown from count 1 to the cap: the slots behind its head were never written
// and still hold the board corner, which no head can reach.
void GrownWormAt(WormList& worm, Cell head) {
    worm.setCount(kMaxWormCount);
    worm[1] = head;
    for (int slot = 2; slot <= kMaxWormCount + 1; ++slot) {
        worm[slot] = kUnsetCell;
    }
}

// Gives a worm `count` cells: its head, then cells from `cells` starting at `next`, which moves on.
void GrowWormOver(WormList& worm, const std::vector<Cell>& cells, std::size_t& next, int count) {
    for (int slot = 2; slot <= count; ++slot) {
        worm[slot] = cells.at(next++);
    }
    worm.setCount(static_cast<std::int16_t>(count));
}

// Head at `head`, having come from the left, with the rest of the block behind it: the next
// clockwise move (down) enters the cell its tail leaves.
void WormAroundBlock(WormList& worm, Direction& direction, Cell head) {
    const auto x = head.x;
    const auto y = head.y;
    worm.setCount(4);
    worm[1] = head;
    worm[2] = Cell{static_cast<std::int16_t>(x - 1), y};
    worm[3] = Cell{static_cast<std::int16_t>(x - 1), static_cast<std::int16_t>(y + 1)};
    worm[4] = Cell{x, static_cast<std::int16_t>(y + 1)};
    direction = Direction::Right;
}

bool InBlock(Cell cell, Cell head) {
    return (cell.x == head.x || cell.x == head.x - 1) && (cell.y == head.y || cell.y == head.y + 1);
}

Direction ClockwiseAfter(Direction direction) {
    switch (direction) {
        case Direction::Right:
            return Direction::Down;
        case Direction::Down:
            return Direction::Left;
        case Direction::Left:
            return Direction::Up;
        default:
            return Direction::Right;
    }
}

}  // namespace

GameState BusiestGameStart(Platform& platform) {
    GameState state;
    ApplySettings(state,
                  {.speed = 1, .level = kBusiestLevel, .foodCount = kMostFood, .players = 2});
    Form_Load(state, platform);
    return state;
}

std::vector<Cell> FreePlayCells(const GameState& state) {
    const OccupiedCells taken = CellsTakenForFood(state);
    std::vector<Cell> free;
    for (std::int16_t y = kFirstPlayRow; y <= kLastPlayRow; ++y) {
        for (std::int16_t x = kFirstPlayColumn; x <= kLastPlayColumn; ++x) {
            if (!taken.holds(Cell{x, y})) {
                free.push_back(Cell{x, y});
            }
        }
    }
    return free;
}

TickBoard WorstTickBoard() {
    QuietPlatform platform;
    TickBoard board{BusiestGameStart(platform), 0};
    GameState& state = board.state;
    // The start cells are free again once the worms are placed elsewhere.
    state.Worm1.setCount(0);
    state.Worm2.setCount(0);
    const std::vector<Runway> runways = RunwaysByLength(CellsTakenForFood(state));
    GrownWormAt(state.Worm1, runways.at(0).start);
    GrownWormAt(state.Worm2, runways.at(1).start);
    state.Dir1 = Direction::Right;
    state.Dir2 = Direction::Right;
    board.clearTicks = runways.at(1).length - 1;
    return board;
}

GameState OneFreeCellBoard() {
    QuietPlatform platform;
    GameState state = BusiestGameStart(platform);
    const std::vector<Cell> free = FreePlayCells(state);
    // Each worm keeps its head; all free cells but the last go to their bodies.
    const int worm2Count = static_cast<int>(free.size()) - (kMaxWormCount - 1);
    if (worm2Count < 1) {
        throw std::logic_error("the busiest board leaves too few free cells to fill");
    }
    std::size_t next = 0;
    GrowWormOver(state.Worm1, free, next, kMaxWormCount);
    GrowWormOver(state.Worm2, free, next, worm2Count);
    return state;
}

void CircleWorms(GameState& state, Platform& platform) {
    const Cell head1 = state.Worm1[1];
    const Cell head2 = state.Worm2[1];
    WormAroundBlock(state.Worm1, state.Dir1, head1);
    if (state.twoPlayers()) {
        WormAroundBlock(state.Worm2, state.Dir2, head2);
    }
    for (std::int16_t i = 1; i <= state.Foods.count(); ++i) {
        const Cell food = state.Foods[i];
        if (InBlock(food, head1) || (state.twoPlayers() && InBlock(food, head2))) {
            PlaceFood(state, platform, i);
        }
    }
}

int ClockwiseTurnKey(const GameState& state, int player) {
    const Direction next = ClockwiseAfter(player == 1 ? state.Dir1 : state.Dir2);
    switch (next) {
        case Direction::Down:
            return player == 1 ? VK_DOWN : VK_S;
        case Direction::Left:
            return player == 1 ? VK_LEFT : VK_A;
        case Direction::Up:
            return player == 1 ? VK_UP : VK_W;
        default:
            return player == 1 ? VK_RIGHT : VK_D;
    }
}

}  // namespace orvex::bench
