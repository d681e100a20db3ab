#pragma once

#include "core/state.h"

namespace orvex::testing {

// The direction of a tour through all 950 play-area cells: down the odd columns and up the even
// ones (rows 2..25), then back along row 1 to the start. A worm of up to 499 cells can follow it
// for ever, so long games reach full boards and long worms without a collision.
constexpr Direction TourDirection(Cell cell) {
    if (cell.y == 1) {
        return cell.x > 1 ? Direction::Left : Direction::Down;
    }
    if (cell.x % 2 == 1) {
        return cell.y < 25 ? Direction::Down : Direction::Right;
    }
    if (cell.y > 2) {
        return Direction::Up;
    }
    return cell.x < 38 ? Direction::Right : Direction::Up;
}

}  // namespace orvex::testing
