#include "core/board.h"

#include <array>
#include <cmath>

namespace orvex {

namespace {
// The screen's height holds the board's rows and a band below them.
constexpr int kCellHeightsDown = 30;

constexpr std::array<Rgb, 6> kTileColours{{
    {0, 0, 0},      // TileWorm1: black
    {128, 0, 0},    // TileBorder: maroon
    {255, 255, 0},  // TileFloor: yellow, the window's own background
    {0, 255, 0},    // TileFood: green
    {255, 0, 255},  // TileObstacle: magenta
    {0, 0, 255},    // TileWorm2: blue
}};
}  // namespace

int RoundHalfEven(float value) {
    // The default floating-point environment rounds to nearest, ties to even.
    return static_cast<int>(std::nearbyint(value));
}

ScreenMetrics ComputeScreenMetrics(const ScreenSize& screen) {
    ScreenMetrics metrics;
    metrics.ScreenWidthPx = screen.widthTwips / screen.twipsPerPixelX;
    metrics.ScreenHeightPx =
        static_cast<std::int16_t>(RoundHalfEven(screen.heightTwips / screen.twipsPerPixelY));
    metrics.CellWidth = metrics.ScreenWidthPx / kColumns;
    metrics.CellHeight = static_cast<float>(metrics.ScreenHeightPx) / kCellHeightsDown;
    return metrics;
}

PixelRect CellRect(const ScreenMetrics& metrics, std::int16_t x, std::int16_t y) {
    return PixelRect{
        .left = RoundHalfEven(static_cast<float>(x) * metrics.CellWidth),
        .top = RoundHalfEven(static_cast<float>(y) * metrics.CellHeight),
        .width = RoundHalfEven(metrics.CellWidth),
        .height = RoundHalfEven(metrics.CellHeight),
    };
}

Rgb TileColour(TileKind tile) {
    return kTileColours.at(static_cast<std::size_t>(tile));
}

void DrawTile(const ScreenMetrics& metrics, Platform& platform, std::int16_t x, std::int16_t y,
              TileKind tile) {
    const PixelRect target = CellRect(metrics, x, y);
    platform.BitBlt(target, tile);
    platform.refresh(target);
}

}  // namespace orvex
