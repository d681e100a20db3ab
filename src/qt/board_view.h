#pragma once

class QColor;
class QRect;
class QWidget;

namespace orvex {

class GameClock;

// What the Qt platform draws into: a window that keeps a persistent picture, and its game clock.
class BoardView {
public:
    virtual ~BoardView() = default;

    // Fills a rectangle of the persistent picture; it shows at the next repaint.
    virtual void fillCell(const QRect& rect, const QColor& colour) = 0;
    // Brings a rectangle of the picture to the screen before returning.
    virtual void repaintPicture(const QRect& rect) = 0;
    // The window the picture is shown in; boxes open over it.
    virtual QWidget& widget() = 0;
    virtual GameClock& Timer1() = 0;
};

}  // namespace orvex
