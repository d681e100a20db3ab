#pragma once

#include <deque>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "core/null_platform.h"

namespace orvex::testkit {

// A platform for tests: keys and random draws are scripted, what the game shows, plays and says is
// recorded. Its screen is 400 x 300 pixels, so every cell is exactly 10 x 10 pixels and a drawn
// rectangle maps back to its cell. A tile is shown only once it is refreshed, as on a real screen.
class FakePlatform : public NullPlatform {
public:
    // The two draws that food placement turns into column x (1..38) and row y (1..25).
    void scriptCell(int x, int y) {
        scripted.insert(scripted.end(), {(x - 0.5) / 38, (y - 0.5) / 25});
    }

    // The tile shown at a cell; a test may set it to stand for what was shown before.
    char& shownAt(int x, int y) { return picture.at(y).at(x); }

    std::int16_t GetAsyncKeyState(int virtualKey) override {
        return held.contains(virtualKey) ? kKeyIsDown : std::int16_t{0};
    }
    void PlaySoundA(const std::string& path) override { sounds.push_back(path); }
    void BitBlt(const PixelRect& target, TileKind tile) override {
        drawn_.emplace_back(target.left / 10, target.top / 10, std::string_view("1#.FX2").at(tile));
    }
    void refresh(const PixelRect& /*changed*/) override {
        for (const auto& [x, y, tile] : drawn_) {
            picture.at(y).at(x) = tile;
        }
        drawn_.clear();
    }
    ScreenSize screenSize() override { return {400 * 15, 300 * 15, 15, 15}; }
    double nextRandom() override {
        if (scripted.empty()) {
            return NullPlatform::nextRandom();
        }
        const double draw = scripted.front();
        scripted.pop_front();
        return draw;
    }
    void setTimerInterval(int milliseconds) override { interval = milliseconds; }
    void messageBox(const std::string& text) override { boxes.push_back(text); }
    void endProgram() override { ended = true; }

    // Scripted inputs: keys held down, and draws returned before the generator's own.
    std::set<int> held;
    std::deque<double> scripted;

    // Recorded effects.
    std::vector<std::string> sounds;
    int interval = -1;  // the clock's, last set
    std::vector<std::string> boxes;
    bool ended = false;
    // The screen, one string per row, as BuildBoard shows a Position; '?' where nothing is shown.
    std::vector<std::string> picture = std::vector<std::string>(27, std::string(40, '?'));

private:
    std::vector<std::tuple<int, int, char>> drawn_;  // copied, not yet refreshed
};

}  // namespace orvex::testkit
