// Benchmarks of the rules on a platform that draws nothing. Each case first checks that its board
// is what it claims to be, so that a broken set-up fails loudly instead of timing something else.
// Google Benchmark times this thread's CPU, so a run that loses the processor for a while on a
// shared machine still measures only its own work; items are single ticks or placements.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "busiest_game.h"
#include "core/board.h"
#include "core/food.h"
#include "core/null_platform.h"
#include "core/tick.h"

namespace orvex::bench {

namespace {

GameState BusiestGameStart(Platform& platform) {
    GameState state;
    ApplySettings(state, kBusiestGame);
    Form_Load(state, platform);
    return state;
}

// The dearest tick that does not end the game: the busiest game start with both worms just grown to
// count 499, so that every collision test scans its whole list (the slots behind the heads were
// never written and hold the board corner, which no head reaches). The food points on the worms'
// start rows move elsewhere, which leaves each head a clear runway to the right border.
GameState WorstTickBoard() {
    NullPlatform platform;
    GameState state = BusiestGameStart(platform);
    const auto onARunway = [&state](Cell cell) {
        return cell.y == state.Worm1[1].y || cell.y == state.Worm2[1].y;
    };
    for (std::int16_t i = 1; i <= state.Foods.count(); ++i) {
        while (onARunway(state.Foods[i])) {
            platform.clock += 1;  // a new seed, so other draws
            PlaceFood(state, platform, i);
        }
    }
    state.Worm1.setCount(kMaxWormCount);
    state.Worm2.setCount(kMaxWormCount);
    return state;
}

int RunwayTicks(const GameState& board) {
    return kLastPlayColumn - board.Worm1[1].x;
}

// Runs the worms along their runways, from a fresh copy of the board.
GameState RunRunways(const GameState& board, Platform& platform) {
    GameState state = board;
    const int ticks = RunwayTicks(board);
    for (int tick = 0; tick < ticks; ++tick) {
        Timer1_Timer(state, platform);
    }
    return state;
}

void BM_TickWorst(benchmark::State& run) {
    const GameState board = WorstTickBoard();
    NullPlatform platform;
    const GameState ran = RunRunways(board, platform);
    if (RunwayTicks(board) < 4 || ran.GameEnded || ran.Score1 != 0 || ran.Score2 != 0) {
        run.SkipWithError("the worst tick board does not play as it claims");
        return;
    }
    for (auto _ : run) {
        GameState state = RunRunways(board, platform);
        benchmark::DoNotOptimize(state);
    }
    run.SetItemsProcessed(run.iterations() * RunwayTicks(board));
}

// Play-area cells that no list holds, row by row (the busiest game has two players).
std::vector<Cell> FreePlayCells(const GameState& state) {
    OccupiedCells taken;
    taken.mark(state.Worm1);
    taken.mark(state.Worm2);
    taken.mark(state.Foods);
    taken.mark(state.Walls);
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

// The busiest game start with the worms grown over every free play-area cell but the last, so that
// placing a food point finds exactly one free cell. Re-placing a food point frees its old cell, so
// the board keeps that shape.
GameState OneFreeCellBoard() {
    NullPlatform platform;
    GameState state = BusiestGameStart(platform);
    std::vector<Cell> free = FreePlayCells(state);
    free.pop_back();
    for (const Cell cell : free) {
        WormList& worm = state.Worm1.count() < kMaxWormCount ? state.Worm1 : state.Worm2;
        worm.setCount(static_cast<std::int16_t>(worm.count() + 1));
        worm[worm.count()] = cell;
    }
    return state;
}

// Each iteration's placements re-seed at their own times of day, so that every iteration sees the
// same draws.
constexpr int kPlacements = 64;

float SeedClock(int placement) {
    return 36000.0F + 0.125F * static_cast<float>(placement);
}

// At every seed clock the board has exactly one free cell, and the placement finds it.
bool FindsTheOneFreeCell() {
    GameState state = OneFreeCellBoard();
    NullPlatform platform;
    for (int k = 0; k < kPlacements; ++k) {
        const std::vector<Cell> free = FreePlayCells(state);
        platform.clock = SeedClock(k);
        PlaceFood(state, platform, 1);
        if (free.size() != 1 || state.Foods[1] != free.front()) {
            return false;
        }
    }
    return true;
}

// Each iteration re-places food point 1 once per seed clock, from a fresh copy of the board.
void BM_PlaceFoodOneFree(benchmark::State& run) {
    if (!FindsTheOneFreeCell()) {
        run.SkipWithError("the placement board does not have the one free cell it claims");
        return;
    }
    const GameState board = OneFreeCellBoard();
    NullPlatform platform;
    for (auto _ : run) {
        GameState state = board;
        for (int k = 0; k < kPlacements; ++k) {
            platform.clock = SeedClock(k);
            PlaceFood(state, platform, 1);
        }
        benchmark::DoNotOptimize(state);
    }
    run.SetItemsProcessed(run.iterations() * kPlacements);
}

}  // namespace

BENCHMARK(BM_TickWorst)->Name("tick_worst")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlaceFoodOneFree)->Name("place_food_one_free")->Unit(benchmark::kMillisecond);

}  // namespace orvex::bench

BENCHMARK_MAIN();
