// Benchmarks of the main window on a display: one tile with its refresh, a whole game start, one
// play of the eating sound, and how closely the game clock keeps its rate while two worms play.
// The tile, game-start and sound cases run under Google Benchmark; "--tick-rate=MS" plays instead
// and prints one line of JSON.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "bench_boards.h"
#include "bench_cli.h"
#include "core/board.h"
#include "core/game_start.h"
#include "core/tick.h"
#include "qt/eat_sound.h"
#include "qt/main_window.h"
#include "qt/qt_platform.h"

namespace orvex::bench {

namespace {

// Shows the window over the whole screen and waits until the display has it.
void ShowAndWait(QWidget& window) {
    ShowMaximized(window, QGuiApplication::primaryScreen());
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 5000 &&
           (window.windowHandle() == nullptr || !window.windowHandle()->isExposed())) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    // Let the window manager finish maximizing before anything is timed.
    const qint64 exposed = waited.elapsed();
    while (waited.elapsed() < exposed + 200) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

// Every cell of the board in turn, cycling through the tile kinds, so that the picture soon holds a
// full board, as it does late in a game.
void BM_DrawTile(benchmark::State& run) {
    GameState state;
    ApplySettings(state, {.players = 2});
    Form1 window(state);
    ShowAndWait(window);
    Platform& platform = window.platform();
    state.metrics = ComputeScreenMetrics(platform.screenSize());
    int draw = 0;
    for (auto _ : run) {
        const auto x = static_cast<std::int16_t>(draw % kColumns);
        const auto y = static_cast<std::int16_t>(draw / kColumns % kRows);
        DrawTile(state.metrics, platform, x, y, static_cast<TileKind>(draw % 6));
        ++draw;
    }
}

// Form_Load of the fullest game on a fresh, maximized main window each time.
void BM_GameStart(benchmark::State& run) {
    for (auto _ : run) {
        GameState state;
        ApplySettings(state, {.level = kBusiestLevel, .foodCount = kMostFood, .players = 2});
        Form1 window(state);
        ShowAndWait(window);
        const auto start = std::chrono::steady_clock::now();
        Form_Load(state, window.platform());
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        run.SetIterationTime(took.count());
        window.Timer1().setInterval(0);
    }
}

// The call behind PlaySoundA, with the player connected to the sound server, at the pace of quick
// bites. Each play cuts off the one before. The "heard" counter says whether the server was
// reached: without it the call does nothing and its time means nothing.
void BM_PlaySound(benchmark::State& run) {
    EatSound sound(ORVEX_EAT_WAV);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (sound.status() == EatSound::Status::kConnecting &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    for (auto _ : run) {
        const auto start = std::chrono::steady_clock::now();
        sound.play();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        run.SetIterationTime(took.count());
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    run.counters["heard"] = sound.status() == EatSound::Status::kReady ? 1 : 0;
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

// The Qt platform with two changes: it holds down the key that turns each worm clockwise, and it
// counts the ticks (each tick polls player 1's left key first). A box or the end of the program
// would mean the worms collided: both are only recorded, so the run can report it.
class TurningPlatform : public Platform {
public:
    explicit TurningPlatform(GameState& state) : state_(state) {}
    void attach(Form1& window) { inner_ = std::make_unique<QtPlatform>(window); }

    std::int16_t GetAsyncKeyState(int virtualKey) override {
        if (virtualKey == VK_LEFT) {
            ++ticks;
        }
        const bool down =
            virtualKey == ClockwiseTurnKey(state_, 1) || virtualKey == ClockwiseTurnKey(state_, 2);
        return down ? kKeyIsDown : std::int16_t{0};
    }
    void PlaySoundA(const std::string& path) override { inner_->PlaySoundA(path); }
    void BitBlt(const PixelRect& target, TileKind tile) override { inner_->BitBlt(target, tile); }
    void refresh(const PixelRect& changed) override { inner_->refresh(changed); }
    void refreshWindow() override { inner_->refreshWindow(); }
    ScreenSize screenSize() override { return inner_->screenSize(); }
    std::string programFolder() override { return inner_->programFolder(); }
    float timeOfDay() override { return inner_->timeOfDay(); }
    void seedRandom(float seed) override { inner_->seedRandom(seed); }
    double nextRandom() override { return inner_->nextRandom(); }
    void setTimerInterval(int milliseconds) override { inner_->setTimerInterval(milliseconds); }
    void messageBox(const std::string& /*text*/) override { collided = true; }
    void endProgram() override { collided = true; }

    std::int64_t ticks = 0;
    bool collided = false;

private:
    GameState& state_;
    std::unique_ptr<QtPlatform> inner_;
};

// Plays a two-player game with circling worms for `seconds` at `interval` ms per tick, and prints
// the ticks run against the ticks due. Fails when the worms collided.
int RunTickRate(int interval, double seconds) {
    GameState state;
    ApplySettings(
        state,
        {.speed = static_cast<std::int16_t>(interval), .foodCount = kMostFood, .players = 2});
    TurningPlatform platform(state);
    Form1 window(state, platform);
    platform.attach(window);
    ShowAndWait(window);
    Form_Load(state, platform);
    CircleWorms(state, platform);

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
    std::printf(
        "{\"interval_ms\": %d, \"seconds\": %.6f, \"ticks_run\": %lld, \"ticks_due\": %lld, "
        "\"collided\": %s}\n",
        interval, static_cast<double>(playedNanos) * 1e-9, static_cast<long long>(platform.ticks),
        static_cast<long long>(due), platform.collided ? "true" : "false");
    return platform.collided ? 1 : 0;
}

// The value of "--name=value" among the arguments, or an empty string.
std::string FlagValue(int argc, char** argv, const char* name) {
    const std::string prefix = std::string("--") + name + "=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], prefix.c_str(), prefix.size()) == 0) {
            return argv[i] + prefix.size();
        }
    }
    return {};
}

}  // namespace

}  // namespace orvex::bench

int main(int argc, char** argv) {
    using namespace orvex::bench;
    QApplication application(argc, argv);
    const std::string interval = FlagValue(argc, argv, "tick-rate");
    if (interval.empty()) {
        return RunBenchmarks(argc, argv);
    }
    const std::string seconds = FlagValue(argc, argv, "seconds");
    try {
        const int milliseconds = std::stoi(interval);
        const double playSeconds = seconds.empty() ? 3.0 : std::stod(seconds);
        if (milliseconds >= 1 && playSeconds > 0) {
            return RunTickRate(milliseconds, playSeconds);
        }
    } catch (const std::exception&) {
        // Not numbers: the usage line below says what is wanted.
    }
    std::fprintf(stderr,
                 "usage: orvex_window_bench --tick-rate=MS [--seconds=S], MS >= 1, S > 0\n");
    return 2;
}
