// Whole games from arbitrary bytes. The first ten bytes choose the settings (folded into the ranges
// the settings window allows), the clock and an autopilot; every later byte holds the eight
// steering keys of one tick, and the key bytes repeat until the game ends or the tick limit is
// reached. With the autopilot on, a player who holds none of their keys follows a tour of the whole
// board, so that worms eat, grow to full length and crowd the board. Any broken rule invariant
// aborts, so the fuzzer reports it like a crash.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/board.h"
#include "core/game_end.h"
#include "core/game_start.h"
#include "core/null_platform.h"
#include "core/tick.h"

namespace {

using namespace orvex;

constexpr int kMaxTicks = 5000;
constexpr std::size_t kSettingBytes = 10;
// Bit k of a key byte holds key kKeyBits[k].
constexpr std::array<int, 8> kKeyBits{VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_A, VK_D, VK_W, VK_S};

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

void Require(bool holds) {
    if (!holds) {
        std::abort();
    }
}

// The null platform with the fuzzed keys, a check that every tile lands on the screen, and a count
// of the boxes and ends.
class FuzzPlatform final : public NullPlatform {
public:
    std::uint8_t keys = 0;
    int boxes = 0;
    bool ended = false;

    std::int16_t GetAsyncKeyState(int virtualKey) override {
        for (std::size_t bit = 0; bit < kKeyBits.size(); ++bit) {
            if (kKeyBits[bit] == virtualKey) {
                return (keys >> bit & 1U) != 0 ? std::int16_t{-32767} : std::int16_t{0};
            }
        }
        std::abort();  // the game polls only the steering keys
    }
    void BitBlt(const PixelRect& target, TileKind tile) override {
        const ScreenSize screen = screenSize();
        Require(target.left >= 0 &&
                target.left + target.width <= screen.widthTwips / screen.twipsPerPixelX &&
                target.top >= 0 &&
                target.top + target.height <= screen.heightTwips / screen.twipsPerPixelY &&
                tile >= TileWorm1 && tile <= TileWorm2);
    }
    void messageBox(const std::string& /*text*/) override { ++boxes; }
    void endProgram() override { ended = true; }
};

// The key bits (low nibble player 1, high nibble player 2) for one tick.
std::uint8_t Keys(std::uint8_t scripted, bool autopilot, const GameState& state) {
    if (!autopilot) {
        return scripted;
    }
    const auto tour = [](Cell head, unsigned shift) {
        const auto bit = static_cast<unsigned>(TourDirection(head)) - 1U;  // Left, Right, Up, Down
        return static_cast<std::uint8_t>(1U << (bit + shift));
    };
    std::uint8_t keys = scripted;
    if ((scripted & 0x0FU) == 0) {
        keys |= tour(state.Worm1[1], 0);
    }
    if ((scripted & 0xF0U) == 0) {
        keys |= tour(state.Worm2[1], 4);
    }
    return keys;
}

void CheckWorm(const WormList& worm) {
    Require(worm.count() >= 1 && worm.count() <= kMaxWormCount && InPlayArea(worm[1]));
}

void CheckState(const GameState& state) {
    CheckWorm(state.Worm1);
    if (state.twoPlayers()) {
        CheckWorm(state.Worm2);
    }
    for (int i = 1; i <= state.Foods.count(); ++i) {
        Require(InPlayArea(state.Foods[i]) || state.Foods[i] == kUnsetCell);
    }
}

std::uint32_t Bytes(const std::uint8_t* data, std::size_t first, std::size_t count) {
    std::uint32_t value = 0;
    for (std::size_t k = 0; k < count; ++k) {
        value = value << 8U | data[first + k];
    }
    return value;
}

void PlayGame(const std::uint8_t* data, std::size_t size) {
    GameState state;
    ApplySettings(state, GameSettings{
                             .speed = static_cast<std::int16_t>(Bytes(data, 4, 2) % 1000 + 1),
                             .level = static_cast<std::int16_t>(data[0] % 10 + 1),
                             .foodCount = static_cast<std::int16_t>(data[1] % 100 + 1),
                             .growthRate = static_cast<std::int16_t>(data[2] % 10 + 1),
                             .players = static_cast<std::int16_t>(data[3] % 2 + 1),
                         });
    const bool autopilot = (data[3] & 2U) != 0;
    FuzzPlatform platform;
    platform.clock = static_cast<float>(Bytes(data, 6, 4) % 8640000) / 100.0F;

    Form_Load(state, platform);
    CheckState(state);
    const std::size_t keyBytes = size - kSettingBytes;
    for (int tick = 0; tick < kMaxTicks && !platform.ended; ++tick) {
        const std::uint8_t scripted =
            keyBytes == 0 ? 0 : data[kSettingBytes + static_cast<std::size_t>(tick) % keyBytes];
        platform.keys = Keys(scripted, autopilot, state);
        platform.clock += static_cast<float>(state.SpeedSetting) / 1000.0F;
        Timer1_Timer(state, platform);
        if (!platform.ended) {
            CheckState(state);
        }
    }
    // A game still running is closed by its window instead.
    Form_Unload(state, platform);
    Timer1_Timer(state, platform);
    Require(platform.ended && platform.boxes == 1 && state.GameEnded);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size >= kSettingBytes) {
        PlayGame(data, size);
    }
    return 0;
}
