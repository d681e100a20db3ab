#pragma once

#include <cstdint>

#include "fake_platform.h"

namespace orvex::bench {

// The fake platform with its recording switched off where the rules call it at every tick: no key
// is down and drawing does nothing, so a benchmark times the rules alone. It still counts the
// random draws, which tell how hard a food placement had to look.
class QuietPlatform : public testing::FakePlatform {
public:
    std::int16_t GetAsyncKeyState(int /*virtualKey*/) override { return 0; }
    void BitBlt(const PixelRect& /*target*/, TileKind /*tile*/) override {}
    void refresh(const PixelRect& /*changed*/) override {}
    double nextRandom() override {
        ++draws;
        return FakePlatform::nextRandom();
    }

    std::int64_t draws = 0;
};

}  // namespace orvex::bench
