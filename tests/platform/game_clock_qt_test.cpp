#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <thread>

#include "platform/game_clock.h"

namespace orvex {
namespace {

void RunEventLoopFor(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

TEST(GameClock, IntervalZeroNeverTicks) {
    int ticks = 0;
    GameClock clock([&] { ++ticks; });
    clock.setInterval(0);
    RunEventLoopFor(30);
    clock.setInterval(5);
    clock.setInterval(0);
    RunEventLoopFor(30);
    EXPECT_EQ(ticks, 0);
}

TEST(GameClock, RunsTheTicksDueButNeverAhead) {
    for (const int interval : {1, 3, 10}) {
        int ticks = 0;
        GameClock clock([&] { ++ticks; });
        QElapsedTimer elapsed;
        clock.setInterval(interval);
        elapsed.start();
        RunEventLoopFor(100);
        const auto due = elapsed.elapsed() / interval;
        EXPECT_GT(ticks, 0) << interval;
        EXPECT_LE(ticks, due) << interval;
    }
}

TEST(GameClock, ATickThatStopsTheClockIsTheLast) {
    int ticks = 0;
    GameClock clock([&] {
        if (++ticks == 3) {
            clock.setInterval(0);
        }
    });
    clock.setInterval(1);
    RunEventLoopFor(60);
    EXPECT_EQ(ticks, 3);
}

TEST(GameClock, NoTickStartsWhileAnotherWaitsInAnEventLoop) {
    int depth = 0;
    int deepest = 0;
    int ticks = 0;
    GameClock clock([&] {
        ++ticks;
        deepest = std::max(deepest, ++depth);
        // As a modal box would: the events go on while the tick waits.
        RunEventLoopFor(20);
        --depth;
    });
    clock.setInterval(1);
    RunEventLoopFor(100);
    EXPECT_GT(ticks, 1);
    EXPECT_EQ(deepest, 1);
}

TEST(GameClock, AStallOfOverASecondIsSkippedNotCaughtUp) {
    int ticks = 0;
    GameClock clock([&] {
        if (++ticks == 1) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1200));
        }
    });
    clock.setInterval(1);
    RunEventLoopFor(1250);
    // Catching up would run about 1200 ticks at once after the stall.
    EXPECT_LT(ticks, 600);
    EXPECT_GT(ticks, 1);
}

}  // namespace
}  // namespace orvex
