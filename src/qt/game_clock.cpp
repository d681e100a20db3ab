#include "qt/game_clock.h"

#include <algorithm>
#include <utility>

namespace orvex {

namespace {
constexpr std::int64_t kNanosPerMilli = 1'000'000;
// Keys are learnt between wake-ups, so a longer backlog would be moves nobody can steer: the rest
// is dropped, and the game slows for a moment rather than jumping.
constexpr std::int64_t kLongestCatchUpNanos = 50 * kNanosPerMilli;
}  // namespace

GameClock::GameClock(std::function<void()> tick, QObject* parent)
    : QObject(parent), tick_(std::move(tick)) {
    wakeUp_.setSingleShot(true);
    wakeUp_.setTimerType(Qt::PreciseTimer);
    connect(&wakeUp_, &QTimer::timeout, this, &GameClock::wakeUp);
}

void GameClock::setInterval(int milliseconds) {
    interval_ = std::max(milliseconds, 0);
    restart();
}

void GameClock::restart() {
    wakeUp_.stop();
    ++schedule_;
    ticksRun_ = 0;
    if (!isRunning()) {
        return;
    }
    sinceStart_.start();
    scheduleNextWakeUp();
}

std::int64_t GameClock::ticksDue() const {
    return sinceStart_.nsecsElapsed() / (interval_ * kNanosPerMilli);
}

void GameClock::wakeUp() {
    // A tick that waits in a modal box runs a nested event loop; no tick may start inside it.
    if (ticking_ || !isRunning()) {
        return;
    }
    const std::uint64_t schedule = schedule_;
    const std::int64_t due = ticksDue();
    const std::int64_t mostTicksAtOnce =
        std::max<std::int64_t>(1, kLongestCatchUpNanos / (interval_ * kNanosPerMilli));
    ticksRun_ = std::max(ticksRun_, due - mostTicksAtOnce);
    // Only the ticks due at this wake-up: if ticks are slower than the interval, the event loop
    // still gets its turn between wake-ups.
    ticking_ = true;
    while (ticksRun_ < due && schedule_ == schedule) {
        ++ticksRun_;
        tick_();
    }
    ticking_ = false;
    // Also after a restart inside a tick: a wake-up refused above has used up the timer.
    if (isRunning()) {
        scheduleNextWakeUp();
    }
}

void GameClock::scheduleNextWakeUp() {
    const std::int64_t nextDueNanos = (ticksRun_ + 1) * interval_ * kNanosPerMilli;
    const std::int64_t waitNanos = nextDueNanos - sinceStart_.nsecsElapsed();
    // Round up, so the wake-up never comes before the tick is due; at least 1 ms, since a 0 ms
    // QTimer fires without pause.
    const auto waitMillis = std::max<std::int64_t>(
        1, (std::max<std::int64_t>(waitNanos, 0) + kNanosPerMilli - 1) / kNanosPerMilli);
    wakeUp_.start(static_cast<int>(waitMillis));
}

}  // namespace orvex
