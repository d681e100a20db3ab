#include "board/main_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <climits>
#include <vector>

#include "game/game_end.h"
#include "game/game_start.h"
#include "game/tick.h"
#include "platform/qt_platform.h"

namespace orvex {

namespace {
const QColor kBackground(255, 255, 0);
}  // namespace

Form1::Form1(GameState& state)
    : state_(state),
      timer1_([this] { Timer1_Timer(); }),
      ownPlatform_(std::make_unique<QtPlatform>(*this)),
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
    background.setColor(QPalette::Window, kBackground);
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
    painter.fillRect(area, kBackground);
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

Form1* OpenMainWindow(GameState& state) {
    auto* window = new Form1(state);
    Form_Load(state, window->platform());
    // Without a window manager showMaximized alone leaves the window small.
    if (const QScreen* screen = QGuiApplication::primaryScreen(); screen != nullptr) {
        window->setGeometry(screen->availableGeometry());
    }
    window->showMaximized();
    // The ticks count from the moment the board shows, not from when Form_Load set the interval.
    window->Timer1().restart();
    return window;
}

}  // namespace orvex
