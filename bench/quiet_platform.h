#pragma once

#include <cstdint>
#include <string>

#include "core/platform.h"
#include "core/random.h"

namespace orvex::bench {

// A platform that draws nothing and holds no key, so a benchmark times the rules alone. It counts
// the random draws, which tell how hard a food placement had to look, and notes the sounds and the
// end of the program, which tell that a board did not play as it claims.
class QuietPlatform : public Platform {
public:
    std::int16_t GetAsyncKeyState(int /*virtualKey*/) override { return 0; }
    void PlaySoundA(const std::string& /*path*/) override { ++sounds; }
    void BitBlt(const PixelRect& /*target*/, TileKind /*tile*/) override {}
    void refresh(const PixelRect& /*changed*/) override {}
    void refreshWindow() override {}
    // Cells of exactly 10 x 10 pixels.
    ScreenSize screenSize() override { return ScreenSize{400 * 15, 300 * 15, 15, 15}; }
    std::string programFolder() override { return "."; }
    float timeOfDay() override { return clock; }
    void seedRandom(float seed) override { random_.seed(seed); }
    double nextRandom() override {
        ++draws;
        return random_.next();
    }
    void setTimerInterval(int /*milliseconds*/) override {}
    void messageBox(const std::string& /*text*/) override {}
    void endProgram() override { ended = true; }

    float clock = 43200.25F;
    std::int64_t draws = 0;
    int sounds = 0;
    bool ended = false;

private:
    Random random_;
};

}  // namespace orvex::bench
