#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <memory>
#include <optional>

#include "core/board.h"
#include "fake_platform.h"
#include "qt/main_window.h"

namespace orvex {
namespace {

QColor ShownAt(Form1& window, const GameState& state, std::int16_t x, std::int16_t y) {
    const PixelRect cell = CellRect(state.Metrics, x, y);
    return window.grab().toImage().pixelColor(cell.left + cell.width / 2,
                                              cell.top + cell.height / 2);
}

// Each tile shows in its cell; the picture keeps the last tile of a cell through hiding and
// repaints, and shows the background where nothing was drawn.
TEST(Form1, ShowsEachTileInItsCellAndKeepsThePicture) {
    GameState state;
    Form1 window{state};
    state.Metrics = ComputeScreenMetrics(window.platform().screenSize());
    window.resize(QGuiApplication::primaryScreen()->size());
    window.show();
    // Worm 1, border, floor, food, obstacle, worm 2: in the order of TileKind.
    const QColor colours[] = {QColor(0, 0, 0),   QColor(128, 0, 0),   QColor(255, 255, 0),
                              QColor(0, 255, 0), QColor(255, 0, 255), QColor(0, 0, 255)};
    for (std::int16_t tile = TileWorm1; tile <= TileWorm2; ++tile) {
        DrawTile(state.Metrics, window.platform(), 3 + tile, 4, static_cast<TileKind>(tile));
    }
    DrawTile(state.Metrics, window.platform(), 7, 2, TileFood);
    DrawTile(state.Metrics, window.platform(), 7, 2, TileObstacle);
    window.hide();
    window.show();
    window.repaint();

    for (std::int16_t tile = TileWorm1; tile <= TileWorm2; ++tile) {
        EXPECT_EQ(ShownAt(window, state, 3 + tile, 4), colours[tile]) << tile;
    }
    EXPECT_EQ(ShownAt(window, state, 7, 2), QColor(255, 0, 255)) << "the last tile drawn stays";
    EXPECT_EQ(ShownAt(window, state, 3, 5), QColor(255, 255, 0)) << "never drawn: background";
}

struct ShowWatcher : QObject {
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Show && qobject_cast<Form1*>(object) != nullptr) {
            builtWhenShown = state->Metrics.CellWidth > 0;
        }
        return false;
    }
    const GameState* state = nullptr;
    std::optional<bool> builtWhenShown;
};

// Its title, frame and size on the screen are checked on a real display with the whole program.
TEST(OpenMainWindow, BuildsTheBoardThenShowsTheWindow) {
    GameState state;
    state.LevelSetting = 1;
    ShowWatcher watcher;
    watcher.state = &state;
    qApp->installEventFilter(&watcher);
    const std::unique_ptr<Form1> window(OpenMainWindow(state, QGuiApplication::primaryScreen()));
    qApp->removeEventFilter(&watcher);

    EXPECT_EQ(watcher.builtWhenShown, true);
    EXPECT_EQ(ShownAt(*window, state, 0, 0), QColor(128, 0, 0)) << "the maroon border";
    EXPECT_FALSE(window->Timer1().isRunning()) << "SpeedSetting 0 gives no ticks";
    EXPECT_FALSE(window->isModal());
}

// While the score report is up, closing is refused; during a game it shows player 1's bare score
// once and ends the program.
TEST(Form1, ClosingIsRefusedUnderTheReportAndShowsTheBareScoreDuringAGame) {
    GameState state;
    state.Players = 2;
    state.Score1 = 4;
    state.Score2 = 9;
    state.GameEnded = true;
    testkit::FakePlatform platform;
    Form1 window{state, platform};
    window.show();
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(platform.boxes.empty());

    state.GameEnded = false;
    EXPECT_TRUE(window.close());
    window.show();
    window.close();
    EXPECT_EQ(platform.boxes, std::vector<std::string>{"4"});
    EXPECT_TRUE(platform.ended);
}

}  // namespace
}  // namespace orvex
