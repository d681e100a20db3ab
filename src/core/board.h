#pragma once

#include <array>
#include <cstdint>

#include "core/platform.h"
#include "core/state.h"

namespace orvex {

// The play area is every cell inside the border.
inline constexpr int kFirstPlayColumn = 1;
inline constexpr int kLastPlayColumn = kColumns - 2;
inline constexpr int kFirstPlayRow = 1;
inline constexpr int kLastPlayRow = kRows - 2;

constexpr bool InPlayArea(Cell cell) {
    return cell.x >= kFirstPlayColumn && cell.x <= kLastPlayColumn && cell.y >= kFirstPlayRow &&
           cell.y <= kLastPlayRow;
}

// Which board cells some lists hold: one lookup per cell instead of a scan over every slot.
class OccupiedCells {
public:
    template <int Capacity>
    void mark(const CellList<Capacity>& list) {
        for (int slot = 1; slot <= list.count(); ++slot) {
            const Cell cell = list[slot];
            if (cell.x >= 0 && cell.x < kColumns && cell.y >= 0 && cell.y < kRows) {
                taken_[cell.y][cell.x] = true;
            }
        }
    }
    bool holds(Cell cell) const { return taken_[cell.y][cell.x]; }

private:
    std::array<std::array<bool, kColumns>, kRows> taken_{};
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
