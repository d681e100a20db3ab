#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace orvex {

// Board scale, taken from the whole screen: 40 cell widths span its width, 30 cell heights its
// height. The width stays a real and the height becomes a whole number of pixels, as the board
// always had them.
struct ScreenMetrics {
    float ScreenWidthPx = 0;
    std::int16_t ScreenHeightPx = 0;
    float CellWidth = 0;
    float CellHeight = 0;
};

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Nearest integer, ties to even (2.5 -> 2, 3.5 -> 4).
int RoundHalfEven(float value);

ScreenMetrics ComputeScreenMetrics(const ScreenSize& screen);

// The pixels of cell (x, y). Position and size are rounded independently, so neighbours may overlap
// by one pixel or leave a one-pixel seam.
PixelRect CellRect(const ScreenMetrics& metrics, std::int16_t x, std::int16_t y);

Rgb TileColour(TileKind tile);

// Draws one tile kind at one cell and brings it to the screen before returning.
void DrawTile(const ScreenMetrics& metrics, Platform& platform, std::int16_t x, std::int16_t y,
              TileKind tile);

}  // namespace orvex
