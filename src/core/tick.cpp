#include "core/tick.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/board.h"
#include "core/food.h"
#include "core/game_end.h"

namespace orvex {

namespace {

// The steering tables hold their keys as reals, so a key is rounded back to its whole code before
// it is asked about.
bool KeyDown(Platform& platform, double key) {
    return platform.GetAsyncKeyState(static_cast<int>(std::lround(key))) < 0;
}

void PlayEatSound(Platform& platform) {
    platform.PlaySoundA(platform.programFolder() + "/eat.wav");
}

// Raises a worm's count by `growth`, stopping at kMaxWormCount so that no later move writes past
// the list.
void GrowWorm(WormList& worm, std::int16_t growth) {
    const int grown = std::min<int>(worm.count() + growth, kMaxWormCount);
    worm.setCount(static_cast<std::int16_t>(grown));
}

// One row of a player's steering table: the key, the direction it asks for, and the direction that
// refuses it (a worm cannot turn back on itself).
struct SteeringRow {
    double key;
    Direction wanted;
    Direction refusedWhile;
};

using SteeringTable = std::array<SteeringRow, 4>;

// Left, right, up, down: the order decides which key wins when several are held.
constexpr SteeringTable kPlayer1Keys{{
    {VK_LEFT, Direction::Left, Direction::Right},
    {VK_RIGHT, Direction::Right, Direction::Left},
    {VK_UP, Direction::Up, Direction::Down},
    {VK_DOWN, Direction::Down, Direction::Up},
}};
constexpr SteeringTable kPlayer2Keys{{
    {VK_A, Direction::Left, Direction::Right},
    {VK_D, Direction::Right, Direction::Left},
    {VK_W, Direction::Up, Direction::Down},
    {VK_S, Direction::Down, Direction::Up},
}};

// The first row whose key is down and which the current direction does not refuse wins. Every row's
// key is polled before its refusal is looked at.
void Steer(Platform& platform, const SteeringTable& table, Direction& direction) {
    for (const SteeringRow& row : table) {
        if (KeyDown(platform, row.key) && direction != row.refusedWhile) {
            direction = row.wanted;
            return;
        }
    }
}

void EraseTail(const GameState& state, Platform& platform, const WormList& worm) {
    const Cell tail = worm[worm.count()];
    DrawTile(state.Metrics, platform, tail.x, tail.y, TileFloor);
}

// Shifts every slot one up (from the tail down, so nothing is overwritten before it is copied) and
// moves the head one cell. Slot count + 1 then holds the cell the tail has just left.
void Move(WormList& worm, Direction direction) {
    for (int slot = worm.count(); slot >= 1; --slot) {
        worm[slot + 1] = worm[slot];
    }
    Cell& head = worm[1];
    if (direction == Direction::Left) {
        --head.x;
    }
    if (direction == Direction::Right) {
        ++head.x;
    }
    if (direction == Direction::Up) {
        --head.y;
    }
    if (direction == Direction::Down) {
        ++head.y;
    }
}

template <int Capacity>
bool HitsList(Cell head, const CellList<Capacity>& list, int firstSlot) {
    const int count = list.count();
    for (int slot = firstSlot; slot <= count; ++slot) {
        if (list[slot] == head) {
            return true;
        }
    }
    return false;
}

// The eight collision tests in their fixed order; true at the first hit.
bool AnyCollision(const GameState& state) {
    const Cell head1 = state.Worm1[1];
    if (!InPlayArea(head1) || HitsList(head1, state.Worm1, 2)) {
        return true;
    }
    if (state.twoPlayers() && HitsList(head1, state.Worm2, 1)) {
        return true;
    }
    if (HitsList(head1, state.Walls, 1)) {
        return true;
    }
    if (!state.twoPlayers()) {
        return false;
    }
    const Cell head2 = state.Worm2[1];
    return !InPlayArea(head2) || HitsList(head2, state.Worm2, 2) ||
           HitsList(head2, state.Worm1, 1) || HitsList(head2, state.Walls, 1);
}

void Eat(GameState& state, Platform& platform, WormList& worm, std::int16_t& score) {
    const int foodCount = state.Foods.count();
    for (int i = 1; i <= foodCount; ++i) {
        if (worm[1] == state.Foods[i]) {
            PlayEatSound(platform);
            ++score;
            GrowWorm(worm, state.GrowthRate);
            PlaceFood(state, platform, static_cast<std::int16_t>(i));
        }
    }
}

void DrawHead(const GameState& state, Platform& platform, const WormList& worm, TileKind tile) {
    DrawTile(state.Metrics, platform, worm[1].x, worm[1].y, tile);
}

// A grown worm's new slots were never written and hold kUnsetCell, which lies on this corner, so
// erasing its tail may paint the corner as floor: draw it back every tick.
void RepairBorderCorner(const GameState& state, Platform& platform) {
    constexpr Cell kBorderCorner{0, 0};
    static_assert(kBorderCorner == kUnsetCell);
    DrawTile(state.Metrics, platform, kBorderCorner.x, kBorderCorner.y, TileBorder);
}

}  // namespace

void Timer1_Timer(GameState& state, Platform& platform) {
    if (state.GameEnded) {
        return;
    }
    const bool two = state.twoPlayers();
    Steer(platform, kPlayer1Keys, state.Dir1);
    if (two) {
        Steer(platform, kPlayer2Keys, state.Dir2);
    }
    EraseTail(state, platform, state.Worm1);
    if (two) {
        EraseTail(state, platform, state.Worm2);
    }
    Move(state.Worm1, state.Dir1);
    if (two) {
        Move(state.Worm2, state.Dir2);
    }
    if (AnyCollision(state)) {
        GameOver(state, platform);
        return;
    }
    Eat(state, platform, state.Worm1, state.Score1);
    if (two) {
        Eat(state, platform, state.Worm2, state.Score2);
    }
    DrawHead(state, platform, state.Worm1, TileWorm1);
    if (two) {
        DrawHead(state, platform, state.Worm2, TileWorm2);
    }
    RepairBorderCorner(state, platform);
}

}  // namespace orvex
