#include "qt/main_window.h"

#include <QCloseEvent>
#include <QPainter>
#include <QScreen>
#include <QtMath>
#include <algorithm>
#include <climits>
#include <vector>

#include "core/board.h"
#include "core/game_end.h"
#include "core/game_start.h"
#include "core/tick.h"
#include "qt/qt_platform.h"

namespace orvex {

namespace {
// What shows where no tile was drawn.
QColor FloorColour() {
    const Rgb floor = TileColour(TileFloor);
    return {floor.red, floor.green, floor.blue};
}
}  // namespace

Form1::Form1(GameState& state, Platform& platform)
    : state_(state), platform_(platform), timer1_([this] { playTick(); }) {
    setWindowTitle(QStringLiteral("Zindle ORVEX"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    QPalette background = palette();
    background.setColor(QPalette::Window, FloorColour());
    setPalette(background);
}

Form1::~Form1() = default;

void Form1::fillCell(const QRect& rect, const QColor& colour) {
    if (rect.isEmpty()) {
        return;
    }
    // Only the last fill of a rectangle shows.
    picture_[RowFirstRect{rect.top(), rect.left(), rect.height(), rect.width()}] =
        LastFill{colour, ++fillsSoFar_};
    tallestFillHeight_ = std::max(tallestFillHeight_, rect.height());
    pictureSize_ = pictureSize_.expandedTo(QSize(rect.right() + 1, rect.bottom() + 1));
}

void Form1::repaintPicture(const QRect& rect) {
    repaint(shownAt(rect, pictureScale()));
}

qreal Form1::pictureScale() const {
    if (pictureSize_.isEmpty()) {
        return 1;
    }
    return std::min(
        {qreal{1}, qreal(width()) / pictureSize_.width(), qreal(height()) / pictureSize_.height()});
}

QRect Form1::shownAt(const QRect& rect, qreal scale) {
    // Each edge is scaled on its own, so rectangles that meet in the picture still meet on the
    // screen: scaling their corners and sizes apart would leave seams between cells.
    const auto edge = [scale](int at) { return qRound(at * scale); };
    return {QPoint(edge(rect.left()), edge(rect.top())),
            QPoint(edge(rect.right() + 1) - 1, edge(rect.bottom() + 1) - 1)};
}

void Form1::paintEvent(QPaintEvent* event) {
    const QRect area = event->rect();
    const qreal scale = pictureScale();
    // Only rectangles starting less than the tallest height above the area can reach into it; a
    // pixel either side covers the rounding of the scaled edges.
    const int areaTop = qFloor(area.top() / scale) - 1;
    const int areaBottom = qCeil((area.bottom() + 1) / scale) + 1;
    const auto first =
        picture_.lower_bound(RowFirstRect{areaTop - tallestFillHeight_ + 1, INT_MIN, 0, 0});
    const auto last = picture_.upper_bound(RowFirstRect{areaBottom, INT_MAX, 0, 0});
    std::vector<std::pair<QRect, const LastFill*>> shown;
    for (auto filled = first; filled != last; ++filled) {
        const auto& [top, left, height, width] = filled->first;
        const QRect rect = shownAt(QRect(left, top, width, height), scale);
        if (rect.intersects(area)) {
            shown.emplace_back(rect, &filled->second);
        }
    }
    std::sort(shown.begin(), shown.end(),
              [](const auto& a, const auto& b) { return a.second->order < b.second->order; });

    QPainter painter(this);
    painter.fillRect(area, FloorColour());
    for (const auto& [rect, fill] : shown) {
        painter.fillRect(rect, fill->colour);
    }
}

void Form1::closeEvent(QCloseEvent* event) {
    // Once the score report is up, it alone ends the program.
    if (state_.GameEnded) {
        event->ignore();
        return;
    }
    Form_Unload(state_, platform_);
    event->accept();
}

void Form1::playTick() {
    Timer1_Timer(state_, platform_);
}

Form1* OpenMainWindow(GameState& state, QScreen* screen) {
    auto* window = new WindowWithPlatform<QtPlatform>(state);
    // Form_Load sizes the board for the window's screen, so the window must be on it before.
    if (screen != nullptr) {
        window->setScreen(screen);
    }
    Form_Load(state, window->platform());
    ShowMaximized(*window, window->screen());
    // The ticks count from the moment the board shows, not from when Form_Load set the interval.
    window->Timer1().restart();
    return window;
}

void ShowMaximized(QWidget& window, const QScreen* screen) {
    if (screen != nullptr) {
        window.setGeometry(screen->availableGeometry());
    }
    window.showMaximized();
}

}  // namespace orvex
