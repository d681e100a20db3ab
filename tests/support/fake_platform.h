#pragma once

#include <deque>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/null_platform.h"

namespace orvex::testkit {

// A platform for tests: keys and random draws are scripted, what the game shows, plays and says is
// recorded. Its screen is 400 x 300 pixels, so every cell is exactly 10 x 10 pixels and a drawn
// rectangle maps back to its cell. A tile is shown only once it is refreshed, as on a real screen.
class FakePlatform : public NullPlatform {
public:
    static constexpr int kCellPixels = 10;

    // The two draws that food placement turns into column x (1..38) and row y (1..25).
    void scriptCell(int x, int y) {
        scripted.insert(scripted.end(), {(x - 0.5) / 38, (y - 0.5) / 25});
    }

    // The picture's top-left corner as text, one line per row: '1' and '2' the worms, '#' border,
    // '.' floor, 'F' food, 'X' obstacle, '?' nothing shown.
    std::string picture(int columns, int rows) const {
        std::string text;
        for (int y = 0; y < rows; ++y) {
            text += picture_.at(y).substr(0, columns) + '\n';
        }
        return text;
    }
    // The tile shown at a cell; a test may set it to stand for what was shown before.
    char& shownAt(int x, int y) { return picture_.at(y).at(x); }

    std::int16_t GetAsyncKeyState(int virtualKey) override {
        // The low bit (pressed since the last poll) is set for every key, so that a reader looking
        // at it instead of the top bit is caught.
        return held.contains(virtualKey) ? static_cast<std::int16_t>(0x8001) : std::int16_t{1};
    }
    void PlaySoundA(const std::string& path) override { sounds.push_back(path); }
    void BitBlt(const PixelRect& target, TileKind tile) override {
        drawn_.push_back({target.left / kCellPixels, target.top / kCellPixels,
                          std::string_view("1#.FX2").at(tile)});
    }
    void refresh(const PixelRect& /*changed*/) override { show(); }
    void refreshWindow() override { show(); }
    ScreenSize screenSize() override { return {400 * 15, 300 * 15, 15, 15}; }
    double nextRandom() override {
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

    // Scripted inputs: keys held down, and draws returned before the generator's own.
    std::set<int> held;
    std::deque<double> scripted;

    // Recorded effects.
    std::vector<std::string> sounds;
    std::vector<std::string> boxes;
    bool ended = false;
    std::vector<std::string> log;  // the clock, the boxes and the end: "timer 0", "box 7", "end"

private:
    struct Drawn {
        int x;
        int y;
        char tile;
    };

    void show() {
        for (const auto& [x, y, tile] : drawn_) {
            if (x >= 0 && x < 40 && y >= 0 && y < 27) {
                picture_[y][x] = tile;
            }
        }
        drawn_.clear();
    }

    std::vector<Drawn> drawn_;  // copied, not yet refreshed
    std::vector<std::string> picture_ = std::vector<std::string>(27, std::string(40, '?'));
};

}  // namespace orvex::testkit
