// Whole games with random settings and random keys, checked after every tick against rules worked
// out independently from the state before the tick. ORVEX_PROPERTY_GAMES sets the number of games,
// ORVEX_PROPERTY_SEED the first game's seed; a failure names the seed that replays its game alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/game_start.h"
#include "core/tick.h"
#include "fake_platform.h"
#include "tour.h"

namespace orvex::testing {
namespace {

constexpr int kMaxTicks = 20000;

std::uint64_t EnvNumber(const char* name, std::uint64_t fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? std::strtoull(text, nullptr, 10) : fallback;
}

using Keys = std::array<int, 4>;
constexpr Keys kKeys1{VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN};
constexpr Keys kKeys2{VK_A, VK_D, VK_W, VK_S};
constexpr std::array<Direction, 4> kWanted{Direction::Left, Direction::Right, Direction::Up,
                                           Direction::Down};
constexpr std::array<Direction, 4> kReverse{Direction::Right, Direction::Left, Direction::Down,
                                            Direction::Up};

Direction Steered(const std::set<int>& held, const Keys& keys, Direction current) {
    for (std::size_t k = 0; k < keys.size(); ++k) {
        if (held.contains(keys[k]) && current != kReverse[k]) {
            return kWanted[k];
        }
    }
    return current;
}

Cell Moved(Cell head, Direction direction) {
    const int dx = direction == Direction::Right ? 1 : direction == Direction::Left ? -1 : 0;
    const int dy = direction == Direction::Down ? 1 : direction == Direction::Up ? -1 : 0;
    return {static_cast<std::int16_t>(head.x + dx), static_cast<std::int16_t>(head.y + dy)};
}

bool InPlayArea(Cell cell) {
    return cell.x >= 1 && cell.x <= 38 && cell.y >= 1 && cell.y <= 25;
}

// Plain pointer access keeps the checks quick in unoptimised builds.
template <int Capacity>
bool Holds(const CellList<Capacity>& list, int first, int last, Cell cell) {
    const Cell* cells = list.slots.data();
    for (int slot = first; slot <= last; ++slot) {
        if (cells[slot] == cell) {
            return true;
        }
    }
    return false;
}

template <int Capacity>
bool HoldsAny(const CellList<Capacity>& list, Cell cell) {
    return Holds(list, 1, list.count(), cell);
}

// Whether the heads after the move collide, judged from the state before it: a moved worm's slots
// 2..count are its old slots 1..count-1.
bool Collides(const GameState& before, Cell head1, Cell head2) {
    const int n1 = before.Worm1.count();
    const int n2 = before.Worm2.count();
    if (!InPlayArea(head1) || Holds(before.Worm1, 1, n1 - 1, head1) ||
        HoldsAny(before.Walls, head1)) {
        return true;
    }
    if (before.Players != 2) {
        return false;
    }
    return head1 == head2 || Holds(before.Worm2, 1, n2 - 1, head1) || !InPlayArea(head2) ||
           Holds(before.Worm2, 1, n2 - 1, head2) || Holds(before.Worm1, 1, n1 - 1, head2) ||
           HoldsAny(before.Walls, head2);
}

int FoodAt(const GameState& state, Cell cell) {
    for (int i = 1; i <= state.Foods.count(); ++i) {
        if (state.Foods[i] == cell) {
            return i;
        }
    }
    return 0;
}

struct Totals {
    long games = 0;
    long ticks = 0;
    long eaten = 0;
    long foodsOff = 0;
    int longest = 0;
    int longestWorm = 0;
};

class Game {
public:
    explicit Game(std::uint64_t seed) : random_(seed) {
        state_.SpeedSetting = static_cast<std::int16_t>(Pick(1, 1000));
        state_.LevelSetting = static_cast<std::int16_t>(Pick(1, 10));
        state_.FoodCount = static_cast<std::int16_t>(Pick(1, 100));
        state_.GrowthRate = static_cast<std::int16_t>(Pick(1, 10));
        state_.Players = static_cast<std::int16_t>(Pick(1, 2));
        keyChance_ = Pick(5, 60);
        // A few games tour the board until their worms are full grown, so that games run long and
        // worms reach 499; the tour needs a board without obstacles.
        touring_ = Pick(1, 200) == 1;
        if (touring_) {
            state_.LevelSetting = 1;
        }
        platform_.clock = static_cast<float>(Pick(0, 86000)) + 0.5F;
    }

    void Play(Totals& totals) {
        Form_Load(state_, platform_);
        for (int w = 1; w <= state_.Walls.count(); ++w) {
            wall_[Index(state_.Walls[w])] = true;
        }
        ASSERT_EQ(state_.Worm1.count(), 1);
        GameState unfed = state_;
        unfed.Foods = {};
        std::vector<int> all(static_cast<std::size_t>(state_.FoodCount));
        std::iota(all.begin(), all.end(), 1);
        ASSERT_NO_FATAL_FAILURE(CheckFoods(unfed, all));
        int tick = 1;
        for (; tick <= kMaxTicks && !platform_.ended; ++tick) {
            tick_ = tick;
            SCOPED_TRACE("tick " + std::to_string(tick));
            ASSERT_NO_FATAL_FAILURE(PlayTick(totals));
        }
        totals.ticks += tick - 1;
        totals.longest = std::max(totals.longest, tick - 1);
        if (platform_.ended) {
            ASSERT_EQ(platform_.boxes.size(), 1U);
            platform_.log.clear();
            Timer1_Timer(state_, platform_);
            ASSERT_TRUE(platform_.log.empty()) << "a tick acted after the game ended";
        }
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    void PlayTick(Totals& totals) {
        const GameState before = state_;
        const bool two = before.Players == 2;
        platform_.held = ChooseKeys();
        const Direction dir1 = Steered(platform_.held, kKeys1, before.Dir1);
        const Direction dir2 = two ? Steered(platform_.held, kKeys2, before.Dir2) : before.Dir2;
        const Cell head1 = Moved(before.Worm1[1], dir1);
        const Cell head2 = two ? Moved(before.Worm2[1], dir2) : Cell{};
        const bool collides = Collides(before, head1, head2);
        const int eaten1 = collides ? 0 : FoodAt(before, head1);
        const int eaten2 = collides || !two ? 0 : FoodAt(before, head2);
        ClearRecords();
        platform_.clock += 0.05F;

        Timer1_Timer(state_, platform_);

        ASSERT_EQ(platform_.ended, collides)
            << "heads " << head1.x << "," << head1.y << " and " << head2.x << "," << head2.y;
        for (int key : platform_.polledKeys) {
            ASSERT_TRUE(std::ranges::count(kKeys1, key) == 1 ||
                        (two && std::ranges::count(kKeys2, key) == 1));
        }
        if (collides) {
            ASSERT_TRUE(platform_.sounds.empty());
            return;
        }
        ASSERT_EQ(state_.Dir1, dir1);
        ASSERT_EQ(state_.Dir2, dir2);
        ASSERT_EQ(state_.Worm1[1], head1);
        ASSERT_TRUE(InPlayArea(state_.Worm1[1]));
        ASSERT_EQ(state_.Worm1.count(), Grown(before.Worm1.count(), eaten1));
        if (two) {
            ASSERT_EQ(state_.Worm2[1], head2);
            ASSERT_TRUE(InPlayArea(state_.Worm2[1]));
            ASSERT_EQ(state_.Worm2.count(), Grown(before.Worm2.count(), eaten2));
        } else {
            ASSERT_EQ(state_.Worm2.count(), 0);
        }
        score1_ += eaten1 > 0 ? 1 : 0;
        score2_ += eaten2 > 0 ? 1 : 0;
        ASSERT_EQ(state_.Score1, score1_);
        ASSERT_EQ(state_.Score2, score2_);
        ASSERT_EQ(platform_.sounds.size(), static_cast<std::size_t>((eaten1 > 0) + (eaten2 > 0)));
        ASSERT_NO_FATAL_FAILURE(CheckFoods(before, {eaten1, eaten2}));
        const auto placed = [&](int i) { return i > 0 && state_.Foods[i] != Cell{} ? 1U : 0U; };
        ASSERT_EQ(platform_.tiles.size(), (two ? 5U : 3U) + placed(eaten1) + placed(eaten2));
        totals.eaten += (eaten1 > 0 ? 1 : 0) + (eaten2 > 0 ? 1 : 0);
        totals.longestWorm = std::max({totals.longestWorm, static_cast<int>(state_.Worm1.count()),
                                       static_cast<int>(state_.Worm2.count())});
        totals.foodsOff += (eaten1 > 0 && placed(eaten1) == 0 ? 1 : 0) +
                           (eaten2 > 0 && placed(eaten2) == 0 ? 1 : 0);
    }

    int Grown(int count, int eaten) const {
        return eaten > 0 ? std::min(count + state_.GrowthRate, 499) : count;
    }

    static std::size_t Index(Cell cell) {
        return static_cast<std::size_t>(std::clamp<int>(cell.y, 0, kRows - 1) * kColumns +
                                        std::clamp<int>(cell.x, 0, kColumns - 1));
    }

    // Food lies on the play area (or (0, 0) once no cell was free), never two on one cell, never on
    // an obstacle. Food points placed just now avoid the worms as the placement saw them.
    void CheckFoods(const GameState& before, const std::vector<int>& placedNow) {
        const Cell* foods = state_.Foods.slots.data();
        const int count = state_.Foods.count();
        for (int i = 1; i <= count; ++i) {
            if (foods[i] == Cell{}) {
                continue;
            }
            ASSERT_TRUE(InPlayArea(foods[i])) << "food " << i;
            ASSERT_FALSE(wall_[Index(foods[i])]) << "food " << i << " on a wall";
            ASSERT_FALSE(Holds(state_.Foods, i + 1, count, foods[i])) << "food " << i << " doubled";
        }
        for (int i : placedNow) {
            if (i == 0 || foods[i] == Cell{}) {
                continue;
            }
            ASSERT_NE(foods[i], before.Foods[i]) << "food " << i << " came back";
            ASSERT_FALSE(HoldsAny(state_.Worm1, foods[i])) << "food " << i << " on worm 1";
            // Worm 2 may grow after worm 1's food point was placed.
            ASSERT_FALSE(state_.Players == 2 &&
                         Holds(state_.Worm2, 1, before.Worm2.count(), foods[i]))
                << "food " << i << " on worm 2";
        }
    }

    std::set<int> ChooseKeys() {
        std::set<int> held;
        AddKeys(held, kKeys1, state_.Worm1);
        // Player 2's keys are held now and then in one-player games too; they must stay unpolled.
        AddKeys(held, kKeys2, state_.Worm2);
        return held;
    }

    void AddKeys(std::set<int>& held, const Keys& keys, const WormList& worm) {
        if (touring_ && tick_ <= 3000 && worm.count() < kMaxWormCount) {
            const auto k = std::ranges::find(kWanted, TourDirection(worm[1])) - kWanted.begin();
            held.insert(keys[static_cast<std::size_t>(k)]);
        } else if (Pick(1, 100) <= keyChance_) {
            held.insert(keys[static_cast<std::size_t>(Pick(0, 3))]);
            if (Pick(1, 4) == 1) {
                held.insert(keys[static_cast<std::size_t>(Pick(0, 3))]);
            }
        }
    }

    void ClearRecords() {
        platform_.log.clear();
        platform_.tiles.clear();
        platform_.refreshed.clear();
        platform_.polledKeys.clear();
        platform_.sounds.clear();
        platform_.seeds.clear();
    }

    std::mt19937_64 random_;
    FakePlatform platform_;
    GameState state_;
    std::array<bool, std::size_t{kColumns} * kRows> wall_{};
    int keyChance_ = 0;
    bool touring_ = false;
    int tick_ = 0;
    int score1_ = 0;
    int score2_ = 0;
};

TEST(Property, WholeGamesKeepEveryRule) {
    const std::uint64_t games = EnvNumber("ORVEX_PROPERTY_GAMES", 2000);
    const std::uint64_t firstSeed = EnvNumber("ORVEX_PROPERTY_SEED", 20240611);
    Totals totals;
    for (std::uint64_t g = 0; g < games; ++g) {
        const std::uint64_t seed = firstSeed + g;
        SCOPED_TRACE("replay: ORVEX_PROPERTY_SEED=" + std::to_string(seed) +
                     " ORVEX_PROPERTY_GAMES=1");
        Game(seed).Play(totals);
        ++totals.games;
        if (HasFatalFailure()) {
            return;
        }
    }
    std::cout << totals.games << " games, " << totals.ticks << " ticks (longest " << totals.longest
              << "), " << totals.eaten << " food points eaten, longest worm " << totals.longestWorm
              << ", " << totals.foodsOff << " left off a full board\n";
}

}  // namespace
}  // namespace orvex::testing
