#include "core/levels.h"

#include <array>
#include <cmath>

#include "core/board.h"

namespace orvex {

namespace {

// Stores (x, y) in the slot after the last and counts it.
void AddWall(WallList& walls, int x, int y) {
    const auto slot = static_cast<std::int16_t>(walls.count() + 1);
    walls[slot] = Cell{static_cast<std::int16_t>(x), static_cast<std::int16_t>(y)};
    walls.setCount(slot);
}

// Level 2: one bar across row 13.
void BuildBar(WallList& walls) {
    for (int i = 1; i <= 19; ++i) {
        AddWall(walls, i + 10, 13);
    }
}

// Levels 3 and 4: two upright bars on columns 11 and 28, added in pairs row by row.
void BuildUprights(WallList& walls, int firstRow, int lastRow) {
    for (int i = firstRow; i <= lastRow; ++i) {
        AddWall(walls, 11, i);
        AddWall(walls, 28, i);
    }
}

// Level 4: the uprights shortened, then bars on rows 7 and 18 in pairs column by column.
void BuildBox(WallList& walls) {
    BuildUprights(walls, 9, 16);
    for (int i = 13; i <= 26; ++i) {
        AddWall(walls, i, 7);
        AddWall(walls, i, 18);
    }
}

// Level 5: a cross with a gap in its middle; its right arm ends on the border at (39, 13).
void BuildCross(WallList& walls) {
    for (int i = 1; i <= 8; ++i) {
        AddWall(walls, 19, i);
        AddWall(walls, 19, i + 17);
    }
    for (int i = 1; i <= 10; ++i) {
        AddWall(walls, i, 13);
        AddWall(walls, i + 29, 13);
    }
}

// Level 6: a stepped diagonal from (1, 1) to (38, 25).
void BuildDiagonal(WallList& walls) {
    for (int i = 1; i <= 25; ++i) {
        AddWall(walls, 38 * i / 25, i);
    }
}

// Level 7: row 13 with a gap at columns 19..21; the counter jumps from 19 to 22.
void BuildGappedBar(WallList& walls) {
    for (int i = 1; i <= 38; ++i) {
        if (i == 19) {
            i = 22;
        }
        AddWall(walls, i, 13);
    }
}

// Level 8: seven bars over columns 6..33, every third row from row 4.
void BuildStripes(WallList& walls) {
    for (int j = 4; j <= 22; j += 3) {
        for (int i = 6; i <= 33; ++i) {
            AddWall(walls, i, j);
        }
    }
}

// Level 9: 10..59 cells in columns 3..35 and rows 3..22, duplicates kept. Reseeded from the clock,
// so every game differs; n is drawn first, then x and y of each cell.
void BuildScatter(WallList& walls, Platform& platform) {
    platform.seedRandom(platform.timeOfDay());
    const auto wholePart = [&platform](int scale) {
        return static_cast<int>(std::floor(platform.nextRandom() * scale));
    };
    const int n = wholePart(50) + 10;
    for (int k = 1; k <= n; ++k) {
        const int x = wholePart(33) + 3;
        const int y = wholePart(20) + 3;
        AddWall(walls, x, y);
    }
}

// Level 10: a lattice of odd columns 3..39 by even rows 2..26, column by column.
void BuildLattice(WallList& walls) {
    for (int i = 3; i <= 39; i += 2) {
        for (int j = 2; j <= 26; j += 2) {
            AddWall(walls, i, j);
        }
    }
}

// Where both worms start on a level, and which way each heads first.
struct WormStarts {
    Cell worm1;
    Direction dir1;
    Cell worm2;
    Direction dir2;
};

// One row per level, 1..10.
constexpr std::array<WormStarts, 10> kWormStarts{{
    {{20, 13}, Direction::Right, {10, 5}, Direction::Right},
    {{20, 16}, Direction::Right, {20, 10}, Direction::Right},
    {{20, 16}, Direction::Down, {21, 10}, Direction::Down},
    {{20, 3}, Direction::Right, {20, 23}, Direction::Right},
    {{1, 1}, Direction::Right, {38, 25}, Direction::Left},
    {{20, 3}, Direction::Right, {20, 23}, Direction::Right},
    {{20, 16}, Direction::Right, {21, 10}, Direction::Right},
    {{20, 17}, Direction::Right, {21, 11}, Direction::Right},
    {{1, 1}, Direction::Right, {2, 2}, Direction::Right},
    {{20, 13}, Direction::Right, {20, 15}, Direction::Right},
}};

// Empties Walls, then adds the level's obstacles from slot 1 on; level 1 has none.
void BuildWalls(WallList& walls, Platform& platform, std::int16_t level) {
    walls.setCount(0);
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
        DrawTile(state.Metrics, platform, state.Walls[i].x, state.Walls[i].y, TileObstacle);
    }
}

}  // namespace

void LoadLevel(GameState& state, Platform& platform, std::int16_t level) {
    if (level >= 1 && level <= 10) {
        BuildWalls(state.Walls, platform, level);
        const WormStarts& start = kWormStarts[static_cast<std::size_t>(level - 1)];
        state.Worm1[1] = start.worm1;
        state.Dir1 = start.dir1;
        state.Worm2[1] = start.worm2;
        state.Dir2 = start.dir2;
    }
    DrawWalls(state, platform);
}

}  // namespace orvex
