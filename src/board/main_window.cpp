#include "board/main_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <algorithm>

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
    // Only the last fill of a rectangle shows; moving it to the end keeps the drawing order.
    const auto same = std::find_if(picture_.begin(), picture_.end(),
                                   [&rect](const Fill& fill) { return fill.rect == rect; });
    if (same != picture_.end()) {
        picture_.erase(same);
    }
    picture_.push_back(Fill{rect, colour});
}

void Form1::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area = event->rect();
    painter.fillRect(area, kBackground);
    for (const Fill& fill : picture_) {
        if (fill.rect.intersects(area)) {
            painter.fillRect(fill.rect, fill.colour);
        }
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
