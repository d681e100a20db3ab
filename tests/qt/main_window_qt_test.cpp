#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QTransform>
#include <algorithm>
#include <memory>
#include <optional>

#include "core/board.h"
#include "fake_platform.h"
#include "qt/main_window.h"
#include "qt/qt_platform.h"

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
    WindowWithPlatform<QtPlatform> window{state};
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

// At screen scale where the board fits the window; scaled down just enough to show whole where the
// window is a few pixels smaller. Each corner cell then covers its place at that scale (less the
// pixel at its edges that rounding may give to a neighbour).
TEST(Form1, ShowsTheWholeBoardScaledDownOnlyWhereItDoesNotFit) {
    for (const QSize smaller : {QSize(0, 0), QSize(5, 3)}) {
        GameState state;
        WindowWithPlatform<QtPlatform> window{state};
        state.Metrics = ComputeScreenMetrics(window.platform().screenSize());
        const PixelRect farCorner = CellRect(state.Metrics, kColumns - 1, kRows - 1);
        const QSize board(farCorner.left + farCorner.width, farCorner.top + farCorner.height);
        window.resize(board - smaller);
        window.show();
        const Cell corners[] = {
            {0, 0}, {kColumns - 1, 0}, {0, kRows - 1}, {kColumns - 1, kRows - 1}};
        for (const Cell& corner : corners) {
            DrawTile(state.Metrics, window.platform(), corner.x, corner.y, TileBorder);
        }

        const QImage shown = window.grab().toImage();
        const qreal scale = std::min(qreal(window.width()) / board.width(),
                                     qreal(window.height()) / board.height());
        const int edge = scale < 1 ? 1 : 0;
        for (const Cell& corner : corners) {
            const PixelRect cell = CellRect(state.Metrics, corner.x, corner.y);
            const QRect place = QTransform::fromScale(scale, scale)
                                    .mapRect(QRectF(cell.left, cell.top, cell.width, cell.height))
                                    .toRect()
                                    .adjusted(edge, edge, -edge, -edge);
            int border = 0;
            for (int y = place.top(); y <= place.bottom(); ++y) {
                for (int x = place.left(); x <= place.right(); ++x) {
                    border += shown.pixelColor(x, y) == QColor(128, 0, 0) ? 1 : 0;
                }
            }
            EXPECT_EQ(border, place.width() * place.height())
                << corner.x << "," << corner.y << " in a window " << smaller.width()
                << " px narrower";
        }
    }
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
