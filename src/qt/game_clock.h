#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>

namespace orvex {

// The game clock: one tick every interval, each run to completion on the user-interface thread.
// A QTimer alone falls short at small intervals (about 900 wake-ups a second at 1 ms), so the clock
// counts the ticks due since it started on a monotonic clock and runs every due tick at each
// wake-up. It never runs ahead of time, never runs a tick inside another, and after a stall it
// replays only a short backlog rather than bursting through it.
class GameClock : public QObject {
    Q_OBJECT
public:
    explicit GameClock(std::function<void()> tick, QObject* parent = nullptr);

    // Ticks every `milliseconds` from now on; 0 (or less) stops the clock.
    void setInterval(int milliseconds);
    bool isRunning() const { return interval_ > 0; }
    // Starts counting the ticks afresh from now, keeping the interval: the board may have taken a
    // while to build, and those ticks were never due to the player.
    void restart();

private:
    void wakeUp();
    void scheduleNextWakeUp();
    std::int64_t ticksDue() const;

    std::function<void()> tick_;
    QTimer wakeUp_;
    QElapsedTimer sinceStart_;
    int interval_ = 0;
    std::int64_t ticksRun_ = 0;
    // Counts restarts, so that a tick which changed the clock ends the catch-up it ran in.
    std::uint64_t schedule_ = 0;
    bool ticking_ = false;
};

}  // namespace orvex
