#pragma once

#include <string>

#include "core/platform.h"
#include "core/random.h"
#include "qt/game_clock.h"
#include "qt/key_table.h"
#include "sound/eat_sound.h"

class QColor;
class QRect;
class QWidget;

namespace orvex {

// What the platform draws into: a window that keeps a persistent picture, and its game clock.
class BoardView {
public:
    virtual ~BoardView() = default;

    // Fills a rectangle of the persistent picture; it shows at the next repaint.
    virtual void fillCell(const QRect& rect, const QColor& colour) = 0;
    // The window the picture is shown in; boxes open over it.
    virtual QWidget& widget() = 0;
    virtual GameClock& clock() = 0;
};

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
