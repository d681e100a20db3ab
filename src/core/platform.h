#pragma once

#include <cstdint>
#include <string>

namespace orvex {

// The six tile kinds; the value is the index of the tile picture.
enum TileKind : std::int16_t {
    TileWorm1 = 0,
    TileBorder = 1,
    TileFloor = 2,
    TileFood = 3,
    TileObstacle = 4,
    TileWorm2 = 5,
};

// Virtual-key codes of the steering keys, as GetAsyncKeyState takes them. A letter's code is its
// capital's character code.
enum VirtualKey : int {
    VK_LEFT = 37,
    VK_UP = 38,
    VK_RIGHT = 39,
    VK_DOWN = 40,
    VK_A = 65,
    VK_D = 68,
    VK_S = 83,
    VK_W = 87,
};

// What GetAsyncKeyState returns for a key that is down: only the top bit, so the value is negative.
inline constexpr std::int16_t kKeyIsDown = static_cast<std::int16_t>(0x8000);

// A rectangle of the main window's picture, in screen pixels.
struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The screen as the desktop reports it: size in twips and twips per pixel (always positive).
struct ScreenSize {
    float widthTwips = 0;
    float heightTwips = 0;
    float twipsPerPixelX = 15;
    float twipsPerPixelY = 15;
};

// Everything the game needs from the outside world. The rules call only this interface, so a test
// can script keys and random draws and record tiles, sounds, boxes and the end of the program.
class Platform {
public:
    Platform() = default;
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;
    virtual ~Platform() = default;

    // kKeyIsDown while the key with this virtual-key code is down at the moment of the call, else
    // 0.
    virtual std::int16_t GetAsyncKeyState(int virtualKey) = 0;
    // Starts playing a wave file in the background, cutting off the sound still playing. A missing
    // or unreadable file is silent.
    virtual void PlaySoundA(const std::string& path) = 0;
    // Copies the tile picture of this kind into the main window's persistent picture at `target`.
    virtual void BitBlt(const PixelRect& target, TileKind tile) = 0;
    // Brings the persistent picture to the screen; returns when `changed` is visible.
    virtual void refresh(const PixelRect& changed) = 0;
    // Brings the whole persistent picture to the screen.
    virtual void refreshWindow() = 0;
    virtual ScreenSize screenSize() = 0;
    // The executable's folder, with no trailing separator.
    virtual std::string programFolder() = 0;
    // Seconds since midnight, fraction included.
    virtual float timeOfDay() = 0;
    // The one random generator of the program: re-seed it, then draw uniform r with 0 <= r < 1.
    virtual void seedRandom(float seed) = 0;
    virtual double nextRandom() = 0;
    // The game clock: one tick every `milliseconds`; 0 stops it.
    virtual void setTimerInterval(int milliseconds) = 0;
    // A plain modal box titled "ORVEX" with one OK button; returns when dismissed.
    virtual void messageBox(const std::string& text) = 0;
    // Ends the program at once with exit status 0. A test platform only records it, so callers
    // return straight after calling it.
    virtual void endProgram() = 0;
};

}  // namespace orvex
