#include "fake_platform.h"

namespace orvex::testkit {

std::optional<TileKind> FakePlatform::shownAt(int x, int y) const {
    if (x < 0 || x >= 40 || y < 0 || y >= 27 || picture_[y][x] == 0) {
        return std::nullopt;
    }
    return static_cast<TileKind>(picture_[y][x] - 1);
}

std::int16_t FakePlatform::GetAsyncKeyState(int virtualKey) {
    polledKeys.push_back(virtualKey);
    // The most significant bit says "down now"; the low bit (pressed since the last poll) is set
    // too, so that a reader looking at the wrong bit would be caught.
    return held.contains(virtualKey) ? static_cast<std::int16_t>(0x8001) : std::int16_t{1};
}

void FakePlatform::PlaySoundA(const std::string& path) {
    sounds.push_back(path);
    log.push_back("sound " + path);
}

void FakePlatform::BitBlt(const PixelRect& target, TileKind tile) {
    const int x = target.left / kCellPixels;
    const int y = target.top / kCellPixels;
    tiles.push_back({x, y, tile});
    log.push_back("tile " + std::to_string(x) + " " + std::to_string(y) + " " +
                  std::to_string(static_cast<int>(tile)));
    if (x >= 0 && x < 40 && y >= 0 && y < 27) {
        picture_[y][x] = static_cast<int>(tile) + 1;
    }
}

void FakePlatform::refresh(const PixelRect& changed) {
    refreshed.push_back(changed);
    log.emplace_back("refresh");
}

void FakePlatform::refreshWindow() {
    log.emplace_back("refresh window");
}

void FakePlatform::seedRandom(float seed) {
    seeds.push_back(seed);
    generator_.seed(seed);
}

double FakePlatform::nextRandom() {
    ++draws;
    if (!scripted.empty()) {
        const double draw = scripted.front();
        scripted.pop_front();
        return draw;
    }
    return generator_.next();
}

void FakePlatform::setTimerInterval(int milliseconds) {
    log.push_back("timer " + std::to_string(milliseconds));
}

void FakePlatform::messageBox(const std::string& text) {
    boxes.push_back(text);
    log.push_back("box " + text);
}

void FakePlatform::endProgram() {
    ended = true;
    log.emplace_back("end");
}

}  // namespace orvex::testkit
