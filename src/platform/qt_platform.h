#pragma once

#include <memory>
#include <string>

#include "platform/eat_sound.h"
#include "platform/key_table.h"
#include "platform/platform.h"
#include "platform/random.h"

namespace orvex {

class Form1;

// The platform of the real program: keys from the key table, tiles into Form1's persistent picture,
// the clock Timer1 on Form1, the sound module for the eating sound, QMessageBox for the boxes.
class QtPlatform : public Platform {
public:
    explicit QtPlatform(Form1& window);
    ~QtPlatform() override;

    std::int16_t GetAsyncKeyState(int virtualKey) override;
    void PlaySoundA(const std::string& path) override;
    void BitBlt(const PixelRect& target, TileKind tile) override;
    void refresh(const PixelRect& changed) override;
    void refreshWindow() override;
    ScreenSize screenSize() override;
    std::string programFolder() override;
    float timeOfDay() override;
    void seedRandom(float seed) override;
    double nextRandom() override;
    void setTimerInterval(int milliseconds) override;
    void messageBox(const std::string& text) override;
    void endProgram() override;

    KeyTable& keys() { return keys_; }

private:
    Form1& window_;
    KeyTable keys_;
    Random random_;
    // Opened with the game; none without the module or an audio output.
    std::unique_ptr<EatSound> sound_;
};

}  // namespace orvex
