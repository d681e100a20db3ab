#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <optional>

#include "board/board.h"
#include "board/main_window.h"
#include "fake_platform.h"

namespace orvex {
namespace {

QColor ShownAt(Form1& window, const GameState& state, std::int16_t x, std::int16_t y) {
    const PixelRect cell = CellRect(state.metrics, x, y);
    return window.grab().toImage().pixelColor(cell.left + cell.width / 2,
                                              cell.top + cell.height / 2);
}

QColor ColourOf(TileKind tile) {
    const Rgb colour = TileColour(tile);
    return {colour.red, colour.green, colour.blue};
}

class Form1Test : public ::testing::Test {
protected:
    void SetUp() override {
        state.metrics = ComputeScreenMetrics(window.platform().screenSize());
        window.resize(QGuiApplication::primaryScreen()->size());
        window.show();
    }
    void draw(std::int16_t x, std::int16_t y, TileKind tile) {
        DrawTile(state.metrics, window.platform(), x, y, tile);
    }
    GameState state;
    Form1 window{state};
};

TEST_F(Form1Test, EveryTileKindShowsItsColourInItsCell) {
    for (const TileKind tile :
         {TileWorm1, TileBorder, TileFloor, TileFood, TileObstacle, TileWorm2}) {
        const auto x = static_cast<std::int16_t>(3 + tile * 2);
        draw(x, 4, tile);
        EXPECT_EQ(ShownAt(window, state, x, 4), ColourOf(tile)) << tile;
    }
    EXPECT_EQ(ShownAt(window, state, 3, 5), QColor(255, 255, 0)) << "never drawn: background";
}

TEST_F(Form1Test, ThePictureKeepsTheLastTileThroughHidingAndRepaints) {
    draw(7, 2, TileFood);
    draw(7, 2, TileObstacle);
    window.hide();
    window.show();
    window.repaint();
    EXPECT_EQ(ShownAt(window, state, 7, 2), ColourOf(TileObstacle));
}

// Notes whether the board was built when the main window was first shown.
struct ShowWatcher : QObject {
    explicit ShowWatcher(const GameState& watched) : state(watched) {}
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Show && qobject_cast<Form1*>(object) != nullptr) {
            builtWhenShown = state.metrics.CellWidth > 0;
        }
        return false;
    }
    const GameState& state;
    std::optional<bool> builtWhenShown;
};

TEST(OpenMainWindow, BuildsTheBoardThenShowsTheWindowMaximized) {
    GameState state;
    state.LevelSetting = 1;
    ShowWatcher watcher(state);
    qApp->installEventFilter(&watcher);
    Form1* window = OpenMainWindow(state);
    qApp->removeEventFilter(&watcher);

    EXPECT_EQ(watcher.builtWhenShown, true);
    EXPECT_EQ(ShownAt(*window, state, 0, 0), ColourOf(TileBorder));
    EXPECT_FALSE(window->Timer1().isRunning()) << "SpeedSetting 0 gives no ticks";
    EXPECT_EQ(window->windowTitle(), "Zindle ORVEX");
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(255, 255, 0));
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_GE(window->frameGeometry().width(), available.width());
    EXPECT_GE(window->frameGeometry().height(), available.height());
    EXPECT_FALSE(window->isModal());
    delete window;
}

struct Closing : ::testing::Test {
    GameState state;
    testing::FakePlatform platform;
    Form1 window{state, platform};
};

TEST_F(Closing, DuringAGameShowsPlayerOnesScoreOnce) {
    state.Players = 2;
    state.Score1 = 4;
    state.Score2 = 9;
    window.show();
    EXPECT_TRUE(window.close());
    window.show();
    window.close();
    EXPECT_EQ(platform.boxes, std::vector<std::string>{"4"});
    EXPECT_TRUE(platform.ended);
}

TEST_F(Closing, IsRefusedWhileTheScoreReportIsUp) {
    state.GameEnded = true;
    window.show();
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(platform.boxes.empty());
}

}  // namespace
}  // namespace orvex
