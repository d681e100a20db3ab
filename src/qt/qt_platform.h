#pragma once

#include <string>

#include "core/platform.h"
#include "core/random.h"
#include "qt/board_view.h"
#include "qt/key_table.h"
#include "sound/eat_sound.h"

namespace orvex {

// The platform of the real program: keys from the key table, tiles into the board view's picture,
// the view's clock, the eating sound through the sound server, QMessageBox for the boxes.
class QtPlatform : public Platform {
public:
    explicit QtPlatform(BoardView& view);
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

private:
    BoardView& view_;
    KeyTable keys_;
    Random random_;
    // Made ready with the game, so that the first bite sounds as promptly as the others.
    EatSound sound_;
};

}  // namespace orvex
