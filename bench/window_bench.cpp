// Benchmarks of the main window on a display: one tile with its refresh, a whole game start and one
// play of the eating sound, under Google Benchmark. "--tick-rate=MS [--seconds=S]" instead plays a
// two-player game of circling worms on the clock at MS per tick and prints one line of JSON: the
// ticks run against the ticks due.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <array>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "busiest_game.h"
#include "core/board.h"
#include "core/food.h"
#include "qt/main_window.h"
#include "qt/qt_platform.h"
#include "sound/eat_sound.h"

namespace orvex::bench {

namespace {

// Shows the window over the whole screen, then lets the window manager finish maximizing it before
// anything is timed: busily, since QTest::qWait's naps left the tile figure some percent higher.
void ShowAndWait(QWidget& window) {
    ShowMaximized(window, QGuiApplication::primaryScreen());
    if (!QTest::qWaitForWindowExposed(&window)) {
        qFatal("the display did not show the window");
    }
    QElapsedTimer settling;
    settling.start();
    while (settling.elapsed() < 200) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

// For the cases that time only part of an iteration.
template <typename Work>
double SecondsOf(const Work& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Every cell of the board in turn, cycling through the tile kinds, so that the picture soon holds a
// full board, as it does late in a game.
void BM_DrawTile(benchmark::State& run) {
    GameState state;
    ApplySettings(state, {.players = 2});
    WindowWithPlatform<QtPlatform> window(state);
    ShowAndWait(window);
    Platform& platform = window.platform();
    state.Metrics = ComputeScreenMetrics(platform.screenSize());
    int draw = 0;
    for (auto _ : run) {
        const auto x = static_cast<std::int16_t>(draw % kColumns);
        const auto y = static_cast<std::int16_t>(draw / kColumns % kRows);
        DrawTile(state.Metrics, platform, x, y, static_cast<TileKind>(draw % 6));
        ++draw;
    }
}

// Form_Load of the fullest game on a fresh, maximized main window each time.
void BM_GameStart(benchmark::State& run) {
    for (auto _ : run) {
        GameState state;
        ApplySettings(state, kBusiestGame);
        WindowWithPlatform<QtPlatform> window(state);
        ShowAndWait(window);
        run.SetIterationTime(SecondsOf([&] { Form_Load(state, window.platform()); }));
        window.Timer1().setInterval(0);
    }
}

// The call behind PlaySoundA, with the player connected to the sound server, at the pace of quick
// bites. Each play cuts off the one before. Without the server the call does nothing, and its time
// means nothing.
void BM_PlaySound(benchmark::State& run) {
    EatSound sound(ORVEX_EAT_WAV);
    const auto settled = [&sound] { return sound.status() != EatSound::Status::kConnecting; };
    if (!QTest::qWaitFor(settled) || sound.status() != EatSound::Status::kReady) {
        run.SkipWithError("the player did not reach the sound server");
        return;
    }
    for (auto _ : run) {
        run.SetIterationTime(SecondsOf([&sound] { sound.play(); }));
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

BENCHMARK(BM_DrawTile)->Name("draw_tile")->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GameStart)
    ->Name("game_start")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlaySound)
    ->Name("play_sound_call")
    ->UseManualTime()
    ->Iterations(200)
    ->Unit(benchmark::kMicrosecond);

// The keys that turn player 1's and player 2's worm clockwise at tick n, by n modulo 4: from the
// right, the worms head down, left, up and right again.
constexpr std::array<std::array<int, 2>, 4> kClockwiseKeys{
    {{VK_RIGHT, VK_D}, {VK_DOWN, VK_S}, {VK_LEFT, VK_A}, {VK_UP, VK_W}}};

// The Qt platform holding down the keys that turn both worms clockwise, and counting the ticks
// (each tick polls player 1's left key first). A collision's box and end of the program are left
// out: the game state tells of them.
class TurningPlatform : public QtPlatform {
public:
    using QtPlatform::QtPlatform;
    std::int16_t GetAsyncKeyState(int virtualKey) override {
        ticks += virtualKey == VK_LEFT ? 1 : 0;
        const auto& keys = kClockwiseKeys.at(static_cast<std::size_t>(ticks % 4));
        return virtualKey == keys[0] || virtualKey == keys[1] ? kKeyIsDown : std::int16_t{0};
    }
    void messageBox(const std::string& /*text*/) override {}
    void endProgram() override {}

    std::int64_t ticks = 0;
};

// Gives each worm count 4 over the 2 x 2 block whose top right is its start cell, where level 1 has
// it heading right, and moves the food points off the blocks. Turned clockwise at every tick, the
// worms circle for ever, and nobody eats.
void CircleWorms(GameState& state, Platform& platform) {
    OccupiedCells blocks;
    for (WormList* worm : {&state.Worm1, &state.Worm2}) {
        const Cell start = (*worm)[1];
        const auto left = static_cast<std::int16_t>(start.x - 1);
        const auto below = static_cast<std::int16_t>(start.y + 1);
        worm->setCount(4);
        (*worm)[2] = Cell{left, start.y};
        (*worm)[3] = Cell{left, below};
        (*worm)[4] = Cell{start.x, below};
        blocks.mark(*worm);
    }
    for (std::int16_t i = 1; i <= state.Foods.count(); ++i) {
        if (blocks.holds(state.Foods[i])) {
            PlaceFood(state, platform, i);
        }
    }
}

// Plays a two-player game with circling worms for `seconds` at `interval` ms per tick.
int RunTickRate(int interval, double seconds) {
    GameState state;
    ApplySettings(state, {.speed = static_cast<std::int16_t>(interval),
                          .foodCount = kBusiestGame.foodCount,
                          .players = 2});
    WindowWithPlatform<TurningPlatform> window(state);
    ShowAndWait(window);
    Form_Load(state, window.platform());
    CircleWorms(state, window.platform());

    QElapsedTimer played;
    played.start();
    window.Timer1().restart();
    // A loop of its own: quitting the application would close the window, which is a move of the
    // game (the close shows player 1's score).
    QEventLoop playing;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &playing, &QEventLoop::quit);
    playing.exec();
    const std::int64_t playedNanos = played.nsecsElapsed();
    window.Timer1().setInterval(0);

    const std::int64_t due = playedNanos / (static_cast<std::int64_t>(interval) * 1'000'000);
    std::printf("{\"ticks_run\": %lld, \"ticks_due\": %lld, \"collided\": %s}\n",
                static_cast<long long>(window.platform().ticks), static_cast<long long>(due),
                state.GameEnded ? "true" : "false");
    return state.GameEnded ? 1 : 0;
}

}  // namespace

}  // namespace orvex::bench

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QCommandLineParser options;
    const QCommandLineOption tickRate("tick-rate", "Play on the clock at MS per tick.", "MS");
    const QCommandLineOption seconds("seconds", "How long to play.", "S", "3");
    options.addOptions({tickRate, seconds});
    // Google Benchmark's own flags pass through.
    options.parse(QCoreApplication::arguments());
    if (!options.isSet(tickRate)) {
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        return 0;
    }
    const int interval = options.value(tickRate).toInt();
    const double playSeconds = options.value(seconds).toDouble();
    if (interval < 1 || playSeconds <= 0) {
        std::fprintf(stderr,
                     "usage: orvex_window_bench --tick-rate=MS [--seconds=S], MS >= 1, S > 0\n");
        return 2;
    }
    return orvex::bench::RunTickRate(interval, playSeconds);
}
