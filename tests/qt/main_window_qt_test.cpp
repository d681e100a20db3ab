#include <gtest/gtest.h>

#include <QTransform>
#include <algorithm>

#include "core/board.h"
#include "fake_platform.h"
#include "qt/main_window.h"
#include "qt/qt_platform.h"

namespace orvex {
namespace {

// At screen scale where the board fits a larger window; scaled down just enough to show whole where
// the window is a few pixels smaller. Each corner cell then shows its last tile over its place at
// that scale (less the pixel at its edges that rounding may give to a neighbour).
TEST(Form1, ShowsTheWholeBoardScaledDownOnlyWhereItDoesNotFit) {
    for (const QSize smaller : {QSize(-5, -3), QSize(5, 3)}) {
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
            DrawTile(state.Metrics, window.platform(), corner.x, corner.y, TileFood);
            DrawTile(state.Metrics, window.platform(), corner.x, corner.y, TileBorder);
        }

        const QImage shown = window.grab().toImage();
        EXPECT_EQ(shown.pixelColor(shown.rect().bottomRight()), QColor(255, 255, 0))
            << "the floor beyond the board";
        const qreal scale = std::min({qreal{1}, qreal(window.width()) / board.width(),
                                      qreal(window.height()) / board.height()});
        const int edge = scale < 1 ? 1 : 0;
        for (const Cell& corner : corners) {
            const PixelRect cell = CellRect(state.Metrics, corner.x, corner.y);
            const QRect place = QTransform::fromScale(scale, scale)
                                    .mapRect(QRectF(cell.left, cell.top, cell.width, cell.height))
                                    .toRect()
                                    .adjusted(edge, edge, -edge, -edge);
            QImage border(place.size(), shown.format());
            border.fill(QColor(128, 0, 0));
            EXPECT_EQ(shown.copy(place), border) << corner.x << "," << corner.y << " in a window "
                                                 << smaller.width() << " px narrower";
        }
    }
}

// Closing during a game shows the bare score; once the score report is up, it alone ends the
// program.
TEST(Form1, ClosingShowsTheBareScoreButIsRefusedUnderTheReport) {
    for (const bool ended : {false, true}) {
        GameState state;
        state.Score1 = 7;
        state.GameEnded = ended;
        testkit::FakePlatform platform;
        Form1 window{state, platform};
        window.show();
        EXPECT_EQ(window.close(), !ended);
        EXPECT_EQ(platform.boxes,
                  ended ? std::vector<std::string>{} : std::vector<std::string>{"7"});
    }
}

}  // namespace
}  // namespace orvex
