#pragma once

#include <QColor>
#include <QRect>
#include <QWidget>
#include <compare>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "core/platform.h"
#include "core/state.h"
#include "qt/game_clock.h"
#include "qt/qt_platform.h"

class QScreen;

namespace orvex {

// The main window: the board is drawn straight onto it, cell by cell, and its clock Timer1 drives
// the game.
//
// The persistent picture is kept as the filled rectangles, each with the colour and the order of
// its last fill (neighbouring cells may overlap by a pixel, so the order counts); everything else
// shows the floor colour. A board's worth of rectangles takes far less memory than a full-screen
// image would.
class Form1 : public QWidget, public BoardView {
    Q_OBJECT
    static std::unique_ptr<Platform> MakeQtPlatform(BoardView& view) {
        return std::make_unique<QtPlatform>(view);
    }

public:
    // Makes the platform that draws into a window; the game's own is the Qt platform.
    using PlatformMaker = std::function<std::unique_ptr<Platform>(BoardView&)>;

    // Plays on the platform `makePlatform` makes for this window.
    explicit Form1(GameState& state, const PlatformMaker& makePlatform = MakeQtPlatform);
    // Plays on the given platform; the window then only shows what is filled into it.
    Form1(GameState& state, Platform& platform);
    ~Form1() override;

    void fillCell(const QRect& rect, const QColor& colour) override;
    QWidget& widget() override { return *this; }
    GameClock& clock() override { return timer1_; }

    GameClock& Timer1() { return timer1_; }
    Platform& platform() { return *platform_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Sorted by rows first, so that a repaint finds the few rectangles near its area quickly.
    struct Place {
        int top = 0;
        int left = 0;
        int height = 0;
        int width = 0;
        auto operator<=>(const Place&) const = default;
    };
    struct Fill {
        QColor colour;
        std::uint64_t order = 0;
    };
    using Picture = std::map<Place, Fill>;

    void setUp();
    void Timer1_Timer();

    GameState& state_;
    Picture picture_;
    std::uint64_t fills_ = 0;
    int tallest_ = 0;
    GameClock timer1_;
    std::unique_ptr<Platform> ownPlatform_;
    Platform* platform_;
};

// Opens the main window for a game of `state`, which holds the settings, on `screen` (where the
// player set up the game; null for Qt's choice): builds the board for that screen (Form_Load)
// while the window is still hidden, then shows it maximized there, modeless and without an owner.
// The clock's first tick comes after that. The window lives for the rest of the run.
Form1* OpenMainWindow(GameState& state, QScreen* screen);

// Shows `window` maximized over `screen`'s available area: without a window manager,
// showMaximized alone leaves a window small.
void ShowMaximized(QWidget& window, const QScreen* screen);

}  // namespace orvex
