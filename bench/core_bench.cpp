// Benchmarks of the rules on a platform that draws nothing. Each case first checks that its board
// is what it claims to be, so that a broken set-up fails loudly instead of timing something else.
// Google Benchmark times this thread's CPU, so a run that loses the processor for a while on a
// shared machine still measures only its own work; items are single ticks or placements.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <vector>

#include "bench_boards.h"
#include "core/food.h"
#include "core/tick.h"
#include "plain_food.h"
#include "quiet_platform.h"

namespace orvex::bench {

namespace {

// Times of day at which the placements of one run re-seed: the same for every placement procedure,
// so each sees the same draws.
constexpr std::array<float, 64> kSeedClocks = [] {
    std::array<float, 64> clocks{};
    for (std::size_t k = 0; k < clocks.size(); ++k) {
        clocks[k] = 36000.0F + 0.125F * static_cast<float>(k);
    }
    return clocks;
}();

using Placement = void (*)(GameState&, Platform&, std::int16_t);

// The worms keep count 499 on their runways: no collision, nothing eaten.
bool RunwaysAreClear(const TickBoard& board) {
    QuietPlatform platform;
    GameState state = board.state;
    for (int tick = 0; tick < board.clearTicks; ++tick) {
        Timer1_Timer(state, platform);
    }
    return board.clearTicks >= 4 && !platform.ended && platform.sounds == 0 &&
           state.Worm1.count() == kMaxWormCount && state.Worm2.count() == kMaxWormCount;
}

// Each iteration runs the worms along their clear runways, from a fresh copy of the board.
void BM_TickWorst(benchmark::State& run) {
    const TickBoard board = WorstTickBoard();
    if (!RunwaysAreClear(board)) {
        run.SkipWithError("the worst tick board does not play as it claims");
        return;
    }
    QuietPlatform platform;
    for (auto _ : run) {
        GameState state = board.state;
        for (int tick = 0; tick < board.clearTicks; ++tick) {
            Timer1_Timer(state, platform);
        }
        benchmark::DoNotOptimize(state);
    }
    run.SetItemsProcessed(run.iterations() * board.clearTicks);
}

// At every seed clock the board has exactly one free cell, and the placement finds it.
bool FindsTheOneFreeCell(Placement place) {
    GameState state = OneFreeCellBoard();
    QuietPlatform platform;
    for (const float clock : kSeedClocks) {
        const std::vector<Cell> free = FreePlayCells(state);
        platform.clock = clock;
        place(state, platform, 1);
        if (free.size() != 1 || state.Foods[1] != free.front()) {
            return false;
        }
    }
    return true;
}

// Each iteration re-places food point 1 once per seed clock, from a fresh copy of the board.
template <Placement place>
void BM_PlaceFoodOneFree(benchmark::State& run) {
    if (!FindsTheOneFreeCell(place)) {
        run.SkipWithError("the placement board does not have the one free cell it claims");
        return;
    }
    const GameState board = OneFreeCellBoard();
    QuietPlatform platform;
    for (auto _ : run) {
        GameState state = board;
        for (const float clock : kSeedClocks) {
            platform.clock = clock;
            place(state, platform, 1);
        }
        benchmark::DoNotOptimize(state);
    }
    const auto placements = run.iterations() * static_cast<std::int64_t>(kSeedClocks.size());
    run.SetItemsProcessed(placements);
    // Two draws (x and y) per candidate.
    run.counters["candidates_each"] =
        static_cast<double>(platform.draws) / 2.0 / static_cast<double>(placements);
}

}  // namespace

BENCHMARK(BM_TickWorst)->Name("tick_worst")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlaceFoodOneFree<PlaceFood>)
    ->Name("place_food_one_free")
    ->Unit(benchmark::kMillisecond);
// The same boards and draws with a scan of every list per candidate: the baseline of the speed-up.
BENCHMARK(BM_PlaceFoodOneFree<PlainPlaceFood>)
    ->Name("plain_place_food_one_free")
    ->Unit(benchmark::kMillisecond);

}  // namespace orvex::bench

BENCHMARK_MAIN();
