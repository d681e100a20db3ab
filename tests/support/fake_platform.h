#pragma once

#include <array>
#include <deque>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/null_platform.h"

namespace orvex::testkit {

// One tile drawn, as a board cell.
struct TileDraw {
    int x = 0;
    int y = 0;
    TileKind tile = TileFloor;
    friend bool operator==(const TileDraw&, const TileDraw&) = default;
};

// A platform for tests: keys and random draws are scripted, everything the game does is recorded.
// Its screen is 400 x 300 pixels, so every cell is exactly 10 x 10 pixels and a drawn rectangle
// maps back to its cell.
class FakePlatform : public NullPlatform {
public:
    static constexpr int kCellPixels = 10;

    // Keys held down from now on, until released.
    void press(int key) { held.insert(key); }
    void release(int key) { held.erase(key); }

    // Draws returned before the generator's own (after the next seed, the generator is reseeded).
    void scriptDraws(std::initializer_list<double> draws) {
        scripted.insert(scripted.end(), draws);
    }
    // The two draws that food placement turns into column x (1..38) and row y (1..25).
    void scriptCell(int x, int y) { scriptDraws({(x - 0.5) / 38, (y - 0.5) / 25}); }

    // The tile shown at a cell of the picture, if any was drawn there.
    std::optional<TileKind> shownAt(int x, int y) const {
        if (x < 0 || x >= 40 || y < 0 || y >= 27 || picture_[y][x] == 0) {
            return std::nullopt;
        }
        return static_cast<TileKind>(picture_[y][x] - 1);
    }

    std::int16_t GetAsyncKeyState(int virtualKey) override {
        polledKeys.push_back(virtualKey);
        // The top bit says "down now"; the low bit (pressed since the last poll) is set too, so
        // that a reader looking at the wrong bit would be caught.
        return held.contains(virtualKey) ? static_cast<std::int16_t>(0x8001) : std::int16_t{1};
    }
    void PlaySoundA(const std::string& path) override {
        sounds.push_back(path);
        log.push_back("sound " + path);
    }
    void BitBlt(const PixelRect& target, TileKind tile) override {
        const int x = target.left / kCellPixels;
        const int y = target.top / kCellPixels;
        tiles.push_back({x, y, tile});
        log.push_back("tile " + std::to_string(x) + " " + std::to_string(y) + " " +
                      std::to_string(tile));
        if (x >= 0 && x < 40 && y >= 0 && y < 27) {
            picture_[y][x] = tile + 1;
        }
    }
    void refresh(const PixelRect& changed) override {
        refreshed.push_back(changed);
        log.emplace_back("refresh");
    }
    void refreshWindow() override { log.emplace_back("refresh window"); }
    ScreenSize screenSize() override { return screen; }
    void seedRandom(float seed) override {
        seeds.push_back(seed);
        NullPlatform::seedRandom(seed);
    }
    double nextRandom() override {
        ++draws;
        if (scripted.empty()) {
            return NullPlatform::nextRandom();
        }
        const double draw = scripted.front();
        scripted.pop_front();
        return draw;
    }
    void setTimerInterval(int milliseconds) override {
        log.push_back("timer " + std::to_string(milliseconds));
    }
    void messageBox(const std::string& text) override {
        boxes.push_back(text);
        log.push_back("box " + text);
    }
    void endProgram() override {
        ended = true;
        log.emplace_back("end");
    }

    // Scripted inputs.
    std::set<int> held;
    std::deque<double> scripted;
    ScreenSize screen{400 * 15, 300 * 15, 15, 15};

    // Recorded effects.
    std::vector<int> polledKeys;
    std::vector<TileDraw> tiles;
    std::vector<PixelRect> refreshed;  // every refresh(rect), in order
    std::vector<std::string> sounds;
    std::vector<float> seeds;
    int draws = 0;  // random numbers taken, scripted or not
    std::vector<std::string> boxes;
    bool ended = false;
    // Every effect in order, e.g. "tile 3 4 3", "refresh", "sound /x/eat.wav", "timer 0", "box 7",
    // "end".
    std::vector<std::string> log;

private:
    std::array<std::array<int, 40>, 27> picture_{};  // tile + 1, 0 = nothing drawn
};

}  // namespace orvex::testkit
