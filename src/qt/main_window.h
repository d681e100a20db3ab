#pragma once

#include <QColor>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <compare>
#include <cstdint>
#include <map>

#include "core/platform.h"
#include "core/state.h"
#include "qt/board_view.h"
#include "qt/game_clock.h"

class QScreen;

namespace orvex {

// The main window: the board is drawn straight onto it, cell by cell, and its clock Timer1 drives
// the game.
//
// The persistent picture is kept as the filled rectangles, each with the colour and the order of
// its last fill (neighbouring cells may overlap by a pixel, so the order counts); everything else
// shows the floor colour. A board's worth of rectangles takes far less memory than a full-screen
// image would. The picture shows at screen scale when it fits the window, else scaled down just
// enough to show whole.
class Form1 : public QWidget, public BoardView {
    Q_OBJECT

public:
    // Plays `state`'s game on `platform`; the window shows what the platform fills into it.
    Form1(GameState& state, Platform& platform);
    ~Form1() override;

    void fillCell(const QRect& rect, const QColor& colour) override;
    void repaintPicture(const QRect& rect) override;
    QWidget& widget() override { return *this; }
    GameClock& Timer1() override { return timer1_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Sorted by rows first, so that a repaint finds the few rectangles near its area quickly.
    struct RowFirstRect {
        int top = 0;
        int left = 0;
        int height = 0;
        int width = 0;
        auto operator<=>(const RowFirstRect&) const = default;
    };
    struct LastFill {
        QColor colour;
        std::uint64_t order = 0;
    };
    using Picture = std::map<RowFirstRect, LastFill>;

    // 1 while the picture fits the window, else the largest scale at which it does.
    qreal pictureScale() const;
    // Where a rectangle of the picture shows on the window at `scale`.
    static QRect shownAt(const QRect& rect, qreal scale);
    void playTick();

    GameState& state_;
    Platform& platform_;
    Picture picture_;
    std::uint64_t fillsSoFar_ = 0;
    int tallestFillHeight_ = 0;
    // From the window's top left to the far corner of everything filled.
    QSize pictureSize_;
    GameClock timer1_;
};

// A main window together with the platform it plays on, of type `PlatformType` (built from the
// window as its board view): each refers to the other, and neither uses the other while they
// are made.
template <typename PlatformType>
class WindowWithPlatform : public Form1 {
public:
    explicit WindowWithPlatform(GameState& state) : Form1(state, platform_), platform_(*this) {}

    PlatformType& platform() { return platform_; }

private:
    PlatformType platform_;
};

// Opens the main window for a game of `state`, which holds the settings, on `screen` (where the
// player set up the game; null for Qt's choice), playing on the Qt platform: builds the board for
// that screen (Form_Load) while the window is still hidden, then shows it maximized there,
// modeless and without an owner. The clock's first tick comes after that. The window lives for
// the rest of the run.
Form1* OpenMainWindow(GameState& state, QScreen* screen);

// Shows `window` maximized over `screen`'s available area: without a window manager,
// showMaximized alone leaves a window small.
void ShowMaximized(QWidget& window, const QScreen* screen);

}  // namespace orvex
