#pragma once

#include <array>
#include <cstdint>

namespace orvex {

inline constexpr int kColumns = 40;  // x runs 0..39
inline constexpr int kRows = 27;     // y runs 0..26
inline constexpr int kWormCapacity = 500;
inline constexpr int kWallCapacity = 500;
inline constexpr int kFoodCapacity = 100;
// A move writes slot count + 1, so a worm may hold at most one cell less than its capacity.
inline constexpr std::int16_t kMaxWormCount = kWormCapacity - 1;

// One board coordinate: column, then row.
struct Cell {
    std::int16_t x = 0;
    std::int16_t y = 0;
    friend bool operator==(const Cell&, const Cell&) = default;
};

// What a never-written slot holds, and where a food point that found no free cell is parked: a
// border cell, so parked food is never eaten.
inline constexpr Cell kUnsetCell{0, 0};

// Slots 0..Capacity. Slot 0 is the header: its x holds the count; slots 1..count are in use. Slots
// above the count keep whatever was last written there.
template <int Capacity>
struct CellList {
    std::array<Cell, Capacity + 1> slots{};

    std::int16_t count() const { return slots[0].x; }
    void setCount(std::int16_t count) { slots[0].x = count; }
    Cell& operator[](int slot) { return slots.at(static_cast<std::size_t>(slot)); }
    const Cell& operator[](int slot) const { return slots.at(static_cast<std::size_t>(slot)); }
};

using WormList = CellList<kWormCapacity>;
using WallList = CellList<kWallCapacity>;
using FoodList = CellList<kFoodCapacity>;

// Board scale, taken from the whole screen: 40 cell widths span its width, 30 cell heights its
// height. The width stays a real and the height a whole number of pixels: every tile's place is
// rounded from these, so another rounding would shift tiles by a pixel.
struct ScreenMetrics {
    float ScreenWidthPx = 0;
    std::int16_t ScreenHeightPx = 0;
    float CellWidth = 0;
    float CellHeight = 0;
};

// A worm's direction word; None stands for the empty word, which moves nothing.
enum class Direction : std::uint8_t { None, Left, Right, Up, Down };

// The whole game: settings, play state, the four lists and the screen metrics. One game per run, so
// everything starts zeroed and is set by the settings window, game start and the level loader.
struct GameState {
    // Settings, written once by the start button.
    std::int16_t SpeedSetting = 0;
    std::int16_t LevelSetting = 0;
    std::int16_t FoodCount = 0;
    std::int16_t GrowthRate = 0;
    std::int16_t Players = 0;

    // Play state.
    Direction Dir1 = Direction::None;
    Direction Dir2 = Direction::None;
    std::int16_t Score1 = 0;
    std::int16_t Score2 = 0;

    WormList Worm1;
    WormList Worm2;
    WallList Walls;
    FoodList Foods;

    // Beyond the game's own variables, named the same way: the board scale the rules draw with, and
    // whether the score report is due, so that nothing (a late tick, a close) acts on a finished
    // game.
    ScreenMetrics Metrics;
    bool GameEnded = false;

    bool twoPlayers() const { return Players == 2; }
};

}  // namespace orvex
