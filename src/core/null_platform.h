#pragma once

#include <cstdint>
#include <string>

#include "core/platform.h"
#include "core/random.h"

namespace orvex {

// A platform with no outside world: it draws nothing, holds no key, plays nothing and ignores the
// clock, the boxes and the end of the program. The benchmarks run the rules on it as it is;
// a test platform derives from it and overrides only what it scripts or records.
class NullPlatform : public Platform {
public:
    std::int16_t GetAsyncKeyState(int /*virtualKey*/) override { return 0; }
    void PlaySoundA(const std::string& /*path*/) override {}
    void BitBlt(const PixelRect& /*target*/, TileKind /*tile*/) override {}
    void refresh(const PixelRect& /*changed*/) override {}
    void refreshWindow() override {}
    ScreenSize screenSize() override { return ScreenSize{1920 * 15, 1080 * 15, 15, 15}; }
    std::string programFolder() override { return "/opt/orvex"; }
    float timeOfDay() override { return clock; }
    void seedRandom(float seed) override { random_.seed(seed); }
    double nextRandom() override { return random_.next(); }
    void setTimerInterval(int /*milliseconds*/) override {}
    void messageBox(const std::string& /*text*/) override {}
    void endProgram() override {}

    // What timeOfDay reports, so that a caller can choose the seed of the next food placement.
    float clock = 0;

private:
    Random random_;
};

}  // namespace orvex
