// Benchmarks of the rules on a platform that draws nothing. Each case first checks that its board
// is what it claims to be, so that a broken set-up fails loudly instead of timing something else.
#include <benchmark/benchmark.h>

#include <array>
#include <ctime>
#include <iostream>
#include <vector>

#include "bench_boards.h"
#include "bench_cli.h"
#include "core/food.h"
#include "core/tick.h"
#include "plain_food.h"
#include "quiet_platform.h"

namespace orvex::bench {

namespace {

// The machine is shared, so the cases time the CPU this thread used rather than the wall clock: a
// run that loses the processor for a while still measures only its own work.
class CpuStopwatch {
public:
    CpuStopwatch() : start_(Now()) {}
    double seconds() const { return Now() - start_; }

private:
    static double Now() {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
    }
    double start_;
};

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

// Re-places food point 1 once per seed clock, starting each run from the same board.
void PlaceAtEveryClock(Placement place, GameState& state, QuietPlatform& platform) {
    for (const float clock : kSeedClocks) {
        platform.clock = clock;
        place(state, platform, 1);
    }
}

// An iteration times a batch of calls; the figure of interest is one call, reported as the counter
// "ns_each" (the mean over every batch of the run).
class PerCall {
public:
    explicit PerCall(benchmark::State& run) : run_(run) {}
    PerCall(const PerCall&) = delete;
    PerCall& operator=(const PerCall&) = delete;
    ~PerCall() {
        run_.counters["ns_each"] = calls_ > 0 ? seconds_ * 1e9 / static_cast<double>(calls_) : 0.0;
    }

    void batchDone(const CpuStopwatch& stopwatch, std::int64_t calls) {
        const double seconds = stopwatch.seconds();
        run_.SetIterationTime(seconds);
        seconds_ += seconds;
        calls_ += calls;
    }

private:
    benchmark::State& run_;
    double seconds_ = 0;
    std::int64_t calls_ = 0;
};

// Each iteration runs the worms along their clear runways, from a fresh copy of the board.
void BM_TickWorst(benchmark::State& run) {
    const TickBoard board = WorstTickBoard();
    QuietPlatform platform;
    GameState state = board.state;
    PerCall perTick(run);
    for (auto _ : run) {
        state = board.state;
        const CpuStopwatch stopwatch;
        for (int tick = 0; tick < board.clearTicks; ++tick) {
            Timer1_Timer(state, platform);
        }
        benchmark::ClobberMemory();
        perTick.batchDone(stopwatch, board.clearTicks);
    }
}

// Each iteration re-places one food point once per seed clock, from a fresh copy of the board.
template <Placement place>
void BM_PlaceFoodOneFree(benchmark::State& run) {
    const GameState board = OneFreeCellBoard();
    QuietPlatform platform;
    GameState state = board;
    {
        PerCall perPlacement(run);
        for (auto _ : run) {
            state = board;
            const CpuStopwatch stopwatch;
            PlaceAtEveryClock(place, state, platform);
            benchmark::ClobberMemory();
            perPlacement.batchDone(stopwatch, kSeedClocks.size());
        }
    }
    // Two draws (x and y) per candidate.
    run.counters["candidates_each"] =
        static_cast<double>(platform.draws) / 2.0 /
        static_cast<double>(run.iterations() * static_cast<std::int64_t>(kSeedClocks.size()));
}

BENCHMARK(BM_TickWorst)->Name("tick_worst")->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlaceFoodOneFree<PlaceFood>)
    ->Name("place_food_one_free")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
// The same boards and draws with a scan of every list per candidate: the baseline of the speed-up.
BENCHMARK(BM_PlaceFoodOneFree<PlainPlaceFood>)
    ->Name("plain_place_food_one_free")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// --- Checks of the boards
// -------------------------------------------------------------------------

bool Check(bool condition, const char* what) {
    if (!condition) {
        std::cerr << "orvex_core_bench: board check failed: " << what << '\n';
    }
    return condition;
}

bool CheckWorstTickBoard() {
    const TickBoard board = WorstTickBoard();
    QuietPlatform platform;
    GameState state = board.state;
    for (int tick = 0; tick < board.clearTicks; ++tick) {
        Timer1_Timer(state, platform);
    }
    return Check(board.clearTicks >= 4, "the worms have at least four clear moves") &&
           Check(board.state.Walls.count() == 247 && board.state.Foods.count() == kMostFood,
                 "the tick board holds 247 obstacles and 100 food points") &&
           Check(!platform.ended && platform.sounds == 0,
                 "the worms neither collide nor eat on their runways") &&
           Check(state.Worm1.count() == kMaxWormCount && state.Worm2.count() == kMaxWormCount,
                 "both worms keep count 499");
}

// Both placements must meet the one free cell at every seed clock, taking the same draws, or the
// speed-up would compare different work.
bool CheckOneFreeCellBoard() {
    GameState state = OneFreeCellBoard();
    GameState plainState = state;
    QuietPlatform platform;
    QuietPlatform plainPlatform;
    for (const float clock : kSeedClocks) {
        const std::vector<Cell> free = FreePlayCells(state);
        if (!Check(free.size() == 1, "the placement board has exactly one free cell")) {
            return false;
        }
        platform.clock = clock;
        plainPlatform.clock = clock;
        PlaceFood(state, platform, 1);
        PlainPlaceFood(plainState, plainPlatform, 1);
        if (!Check(state.Foods[1] == free.front() && plainState.Foods[1] == free.front(),
                   "both placements put the food on the free cell") ||
            !Check(platform.draws == plainPlatform.draws, "both placements take the same draws")) {
            return false;
        }
    }
    return true;
}

}  // namespace

}  // namespace orvex::bench

int main(int argc, char** argv) {
    using namespace orvex::bench;
    if (!CheckWorstTickBoard() || !CheckOneFreeCellBoard()) {
        return 1;
    }
    return RunBenchmarks(argc, argv);
}
