#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <QThread>

#include "qt/game_clock.h"

namespace orvex {
namespace {

// The test's timer starts first, so it never shows less time than the clock has counted.
TEST(GameClock, NeverTicksAhead) {
    for (const int interval : {1, 10}) {
        QElapsedTimer elapsed;
        elapsed.start();
        int ticks = 0;
        GameClock clock([&] { EXPECT_LE(++ticks, elapsed.elapsed() / interval) << interval; });
        clock.setInterval(interval);
        QTest::qWait(60);
    }
}

// Each tick rearms the clock and waits in an event loop, as under a modal box; the third stops it.
TEST(GameClock, NoTickStartsInsideAnotherAndTheStoppingTickIsTheLast) {
    int ticks = 0;
    bool inTick = false;
    GameClock clock([&] {
        EXPECT_FALSE(inTick) << "a tick started inside another";
        inTick = true;
        if (++ticks <= 3) {
            clock.setInterval(ticks < 3 ? 1 : 0);
        }
        QTest::qWait(20);
        inTick = false;
    });
    clock.setInterval(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }));
    QTest::qWait(30);
    EXPECT_EQ(ticks, 3);
}

// Keys are learnt between wake-ups, so a long burst of ticks would be moves nobody can steer. The
// thread stalls before the first wake-up; a call posted from its first tick runs once that wake-up
// is back in the event loop, and so counts the wake-up's ticks.
TEST(GameClock, AStallIsCaughtUpOnlyBriefly) {
    constexpr int kInterval = 10;
    int ticks = 0;
    int ticksOfTheWakeUp = 0;
    QObject receiver;
    GameClock clock([&] {
        if (++ticks == 1) {
            QMetaObject::invokeMethod(
                &receiver, [&] { ticksOfTheWakeUp = ticks; }, Qt::QueuedConnection);
        }
    });
    clock.setInterval(kInterval);
    QThread::msleep(300);
    QTest::qWait(50);
    EXPECT_GE(ticksOfTheWakeUp, 1);
    EXPECT_LE(ticksOfTheWakeUp, 50 / kInterval);
}

}  // namespace
}  // namespace orvex
