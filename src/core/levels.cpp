#include "core/levels.h"

#include <array>
#include <cmath>

#include "core/board.h"

namespace orvex {

namespace {

struct Start {
    Cell worm1;
    Direction dir1;
    Cell worm2;
    Direction dir2;
};

// Appends obstacle cells to Walls in order, from slot 1 on.
class WallBuilder {
public:
    explicit WallBuilder(WallList& walls) : walls_(walls) {}
    ~WallBuilder() { walls_.setCount(count_); }
    WallBuilder(const WallBuilder&) = delete;
    WallBuilder& operator=(const WallBuilder&) = delete;

    void append(int x, int y) {
        ++count_;
        walls_[count_] = Cell{static_cast<std::int16_t>(x), static_cast<std::int16_t>(y)};
    }

private:
    WallList& walls_;
    std::int16_t count_ = 0;
};

constexpr Direction kRight = Direction::Right;

// Level 2: one bar across row 13.
void BuildBar(WallBuilder& walls) {
    for (int i = 1; i <= 19; ++i) {
        walls.append(i + 10, 13);
    }
}

// Levels 3 and 4: two upright bars on columns 11 and 28, appended in pairs row by row.
void BuildUprights(WallBuilder& walls, int firstRow, int lastRow) {
    for (int i = firstRow; i <= lastRow; ++i) {
        walls.append(11, i);
        walls.append(28, i);
    }
}

// Level 4: the uprights shortened, then bars on rows 7 and 18 in pairs column by column.
void BuildBox(WallBuilder& walls) {
    BuildUprights(walls, 9, 16);
    for (int i = 13; i <= 26; ++i) {
        walls.append(i, 7);
        walls.append(i, 18);
    }
}

// Level 5: a cross with a gap in its middle; its right arm ends on the border at (39, 13).
void BuildCross(WallBuilder& walls) {
    for (int i = 1; i <= 8; ++i) {
        walls.append(19, i);
        walls.append(19, i + 17);
    }
    for (int i = 1; i <= 10; ++i) {
        walls.append(i, 13);
        walls.append(i + 29, 13);
    }
}

// Level 6: a stepped diagonal from (1, 1) to (38, 25).
void BuildDiagonal(WallBuilder& walls) {
    for (int i = 1; i <= 25; ++i) {
        walls.append(38 * i / 25, i);
    }
}

// Level 7: row 13 with a gap at columns 19..21; the counter jumps from 19 to 22.
void BuildGappedBar(WallBuilder& walls) {
    for (int i = 1; i <= 38; ++i) {
        if (i == 19) {
            i = 22;
        }
        walls.append(i, 13);
    }
}

// Level 8: seven bars over columns 6..33, every third row from row 4.
void BuildStripes(WallBuilder& walls) {
    for (int j = 4; j <= 22; j += 3) {
        for (int i = 6; i <= 33; ++i) {
            walls.append(i, j);
        }
    }
}

// Level 9: 10..59 cells in columns 3..35 and rows 3..22, duplicates kept. Reseeded from the clock,
// so every game differs; n is drawn first, then x and y of each cell.
void BuildScatter(WallBuilder& walls, Platform& platform) {
    platform.seedRandom(platform.timeOfDay());
    const auto wholePart = [&platform](int scale) {
        return static_cast<int>(std::floor(platform.nextRandom() * scale));
    };
    const int n = wholePart(50) + 10;
    for (int k = 1; k <= n; ++k) {
        const int x = wholePart(33) + 3;
        const int y = wholePart(20) + 3;
        walls.append(x, y);
    }
}

// Level 10: a lattice of odd columns 3..39 by even rows 2..26, column by column.
void BuildLattice(WallBuilder& walls) {
    for (int i = 3; i <= 39; i += 2) {
        for (int j = 2; j <= 26; j += 2) {
            walls.append(i, j);
        }
    }
}

// Both worms' start cells and directions, levels 1..10.
constexpr std::array<Start, 10> kStarts{{
    {{20, 13}, kRight, {10, 5}, kRight},
    {{20, 16}, kRight, {20, 10}, kRight},
    {{20, 16}, Direction::Down, {21, 10}, Direction::Down},
    {{20, 3}, kRight, {20, 23}, kRight},
    {{1, 1}, kRight, {38, 25}, Direction::Left},
    {{20, 3}, kRight, {20, 23}, kRight},
    {{20, 16}, kRight, {21, 10}, kRight},
    {{20, 17}, kRight, {21, 11}, kRight},
    {{1, 1}, kRight, {2, 2}, kRight},
    {{20, 13}, kRight, {20, 15}, kRight},
}};

void BuildWalls(GameState& state, Platform& platform, std::int16_t level) {
    WallBuilder walls(state.Walls);
    switch (level) {
        case 2:
            BuildBar(walls);
            break;
        case 3:
            BuildUprights(walls, 7, 18);
            break;
        case 4:
            BuildBox(walls);
            break;
        case 5:
            BuildCross(walls);
            break;
        case 6:
            BuildDiagonal(walls);
            break;
        case 7:
            BuildGappedBar(walls);
            break;
        case 8:
            BuildStripes(walls);
            break;
        case 9:
            BuildScatter(walls, platform);
            break;
        case 10:
            BuildLattice(walls);
            break;
        default:
            break;
    }
}

void DrawWalls(const GameState& state, Platform& platform) {
    for (int i = 1; i <= state.Walls.count(); ++i) {
        DrawTile(state.metrics, platform, state.Walls[i].x, state.Walls[i].y, TileObstacle);
    }
}

}  // namespace

void LoadLevel(GameState& state, Platform& platform, std::int16_t level) {
    if (level >= 1 && level <= 10) {
        BuildWalls(state, platform, level);
        const Start& start = kStarts[static_cast<std::size_t>(level - 1)];
        state.Worm1[1] = start.worm1;
        state.Dir1 = start.dir1;
        state.Worm2[1] = start.worm2;
        state.Dir2 = start.dir2;
    }
    DrawWalls(state, platform);
}

}  // namespace orvex
