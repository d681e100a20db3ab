#include "ascii_board.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

#include "core/board.h"

namespace orvex::testkit {

namespace {

constexpr std::string_view kTileChars = "1#.FX2";

bool OnBorder(int x, int y) {
    return x == 0 || y == 0 || x == kColumns - 1 || y == kRows - 1;
}

// Worm cells come in any reading order; their character says their slot.
void PutWormCell(WormList& worm, int slot, Cell cell) {
    worm[slot] = cell;
    worm.setCount(std::max<std::int16_t>(worm.count(), static_cast<std::int16_t>(slot)));
}

void ReadCell(GameState& state, char c, Cell cell) {
    if (c == 'X') {
        state.Walls.setCount(static_cast<std::int16_t>(state.Walls.count() + 1));
        state.Walls[state.Walls.count()] = cell;
    } else if (c == 'F') {
        state.Foods.setCount(static_cast<std::int16_t>(state.Foods.count() + 1));
        state.Foods[state.Foods.count()] = cell;
    } else if (c >= '1' && c <= '9') {
        PutWormCell(state.Worm1, c - '0', cell);
    } else if (c >= 'a' && c <= 'z') {
        PutWormCell(state.Worm2, c - 'a' + 1, cell);
    } else if (c != '#' && c != '.' && c != ' ') {
        throw std::invalid_argument(std::string("unknown board character ") + c);
    }
}

void Paint(const GameState& state, FakePlatform& platform) {
    for (std::int16_t y = 0; y < kRows; ++y) {
        for (std::int16_t x = 0; x < kColumns; ++x) {
            DrawTile(state.Metrics, platform, x, y, OnBorder(x, y) ? TileBorder : TileFloor);
        }
    }
    const auto paintList = [&](const auto& list, TileKind tile) {
        for (int slot = 1; slot <= list.count(); ++slot) {
            DrawTile(state.Metrics, platform, list[slot].x, list[slot].y, tile);
        }
    };
    paintList(state.Walls, TileObstacle);
    paintList(state.Foods, TileFood);
    paintList(state.Worm1, TileWorm1);
    paintList(state.Worm2, TileWorm2);
}

void ClearRecords(FakePlatform& platform) {
    platform.tiles.clear();
    platform.refreshed.clear();
    platform.log.clear();
}

}  // namespace

GameState BuildBoard(const Position& position, FakePlatform& platform) {
    GameState state;
    state.Metrics = ComputeScreenMetrics(platform.screenSize());
    state.Players = position.players;
    state.Dir1 = position.dir1;
    state.Dir2 = position.dir2;
    state.GrowthRate = position.growth;
    for (std::size_t y = 0; y < position.rows.size(); ++y) {
        for (std::size_t x = 0; x < position.rows[y].size(); ++x) {
            ReadCell(state, position.rows[y][x],
                     Cell{static_cast<std::int16_t>(x), static_cast<std::int16_t>(y)});
        }
    }
    state.FoodCount = state.Foods.count();
    Paint(state, platform);
    ClearRecords(platform);
    return state;
}

std::string PictureAscii(const FakePlatform& platform, int columns, int rows) {
    std::string text;
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < columns; ++x) {
            const auto tile = platform.shownAt(x, y);
            text += tile ? kTileChars[static_cast<std::size_t>(*tile)] : '?';
        }
        text += '\n';
    }
    return text;
}

}  // namespace orvex::testkit
