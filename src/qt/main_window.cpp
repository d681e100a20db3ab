#include "qt/main_window.h"

#include <QCloseEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <climits>
#include <vector>

#include "core/board.h"
#include "core/game_end.h"
#include "core/game_start.h"
#include "core/tick.h"

namespace orvex {

namespace {
// What shows where no tile was drawn.
QColor FloorColour() {
    const Rgb floor = TileColour(TileFloor);
    return {floor.red, floor.green, floor.blue};
}
}  // namespace

Form1::Form1(GameState& state, const PlatformMaker& makePlatform)
    : state_(state),
      timer1_([this] { Timer1_Timer(); }),
      ownPlatform_(makePlatform(*this)),
      platform_(ownPlatform_.get()) {
    setUp();
}

Form1::Form1(GameState& state, Platform& platform)
    : state_(state), timer1_([this] { Timer1_Timer(); }), platform_(&platform) {
    setUp();
}

void Form1::setUp() {
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
    picture_[Place{rect.top(), rect.left(), rect.height(), rect.width()}] = Fill{colour, ++fills_};
    tallest_ = std::max(tallest_, rect.height());
}

void Form1::paintEvent(QPaintEvent* event) {
    const QRect area = event->rect();
    // Only rectangles starting less than the tallest height above the area can reach into it.
    const auto first = picture_.lower_bound(Place{area.top() - tallest_ + 1, INT_MIN, 0, 0});
    const auto last = picture_.upper_bound(Place{area.bottom(), INT_MAX, 0, 0});
    std::vector<std::pair<QRect, const Fill*>> shown;
    for (auto place = first; place != last; ++place) {
        const auto& [top, left, height, width] = place->first;
        const QRect rect(left, top, width, height);
        if (rect.intersects(area)) {
            shown.emplace_back(rect, &place->second);
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
    Form_Unload(state_, *platform_);
    event->accept();
}

void Form1::Timer1_Timer() {
    orvex::Timer1_Timer(state_, *platform_);
}

Form1* OpenMainWindow(GameState& state, QScreen* screen) {
    auto* window = new Form1(state);
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
