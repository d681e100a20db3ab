#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <thread>

#include "qt/game_clock.h"

namespace orvex {
namespace {

TEST(GameClock, IntervalZeroNeverTicks) {
    int ticks = 0;
    GameClock clock([&] { ++ticks; });
    clock.setInterval(5);
    clock.setInterval(0);
    QTest::qWait(30);
    EXPECT_EQ(ticks, 0);
}

// The test's timer starts first, so it never shows less time than the clock has counted.
TEST(GameClock, RunsTheTicksDueButNeverAhead) {
    for (const int interval : {1, 3, 10}) {
        QElapsedTimer elapsed;
        elapsed.start();
        int ticks = 0;
        GameClock clock([&] { EXPECT_LE(++ticks, elapsed.elapsed() / interval) << interval; });
        clock.setInterval(interval);
        QTest::qWait(100);
        EXPECT_GT(ticks, 0) << interval;
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
    QTest::qWait(60);
    EXPECT_EQ(ticks, 3);
}

TEST(GameClock, NoTickStartsWhileAnotherWaitsInAnEventLoop) {
    int ticks = 0;
    bool inTick = false;
    GameClock clock([&] {
        ++ticks;
        EXPECT_FALSE(inTick) << "a tick started inside another";
        inTick = true;
        // Setting the interval rearms the clock; then, as in a modal box, events go on.
        clock.setInterval(1);
        QTest::qWait(20);
        inTick = false;
    });
    clock.setInterval(1);
    QTest::qWait(100);
    EXPECT_GT(ticks, 1);
}

TEST(GameClock, AStallOfOverASecondIsSkippedNotCaughtUp) {
    int ticks = 0;
    GameClock clock([&] {
        if (++ticks == 1) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1200));
        }
    });
    clock.setInterval(1);
    QTest::qWait(1250);
    EXPECT_GT(ticks, 1);
    EXPECT_LT(ticks, 600) << "catching up would run about 1200 ticks at once";
}

}  // namespace
}  // namespace orvex
