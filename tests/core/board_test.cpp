#include "core/board.h"

#include <gtest/gtest.h>

#include "fake_platform.h"

namespace orvex {
namespace {

ScreenMetrics MetricsFor(float widthPx, float heightPx) {
    return ComputeScreenMetrics(ScreenSize{widthPx * 15, heightPx * 15, 15, 15});
}

TEST(ScreenMetrics, FollowTheScreenSize) {
    const ScreenMetrics small = MetricsFor(1024, 768);
    EXPECT_FLOAT_EQ(small.ScreenWidthPx, 1024.0F);
    EXPECT_EQ(small.ScreenHeightPx, 768);
    EXPECT_FLOAT_EQ(small.CellWidth, 25.6F);
    EXPECT_FLOAT_EQ(small.CellHeight, 25.6F);

    const ScreenMetrics full = MetricsFor(1920, 1080);
    EXPECT_FLOAT_EQ(full.CellWidth, 48.0F);
    EXPECT_FLOAT_EQ(full.CellHeight, 36.0F);
}

TEST(ScreenMetrics, HeightRoundsToEvenAndWidthStaysReal) {
    // 1000.5 pixels high rounds down to the even 1000; 1001.5 rounds up to 1002.
    EXPECT_EQ(ComputeScreenMetrics({15000, 1000.5F * 15, 15, 15}).ScreenHeightPx, 1000);
    EXPECT_EQ(ComputeScreenMetrics({15000, 1001.5F * 15, 15, 15}).ScreenHeightPx, 1002);
    EXPECT_FLOAT_EQ(ComputeScreenMetrics({15015, 9000, 15, 15}).ScreenWidthPx, 1001.0F);
}

TEST(CellRect, RoundsPositionAndSizeIndependently) {
    const ScreenMetrics metrics = MetricsFor(1024, 768);
    EXPECT_EQ(CellRect(metrics, 1, 1), (PixelRect{26, 26, 26, 26}));
    EXPECT_EQ(CellRect(metrics, 2, 1).left, 51);  // overlaps its neighbour by one pixel
    EXPECT_EQ(CellRect(MetricsFor(1920, 1080), 39, 26), (PixelRect{1872, 936, 48, 36}));
    // 100 pixels wide: cells 2.5 wide; cell 1 starts at 2.5 -> 2, cell 3 at 7.5 -> 8, size 2.5
    // -> 2.
    const ScreenMetrics ties = MetricsFor(100, 300);
    EXPECT_EQ(CellRect(ties, 1, 0).left, 2);
    EXPECT_EQ(CellRect(ties, 3, 0).left, 8);
    EXPECT_EQ(CellRect(ties, 3, 0).width, 2);
}

TEST(DrawTile, CopiesTheTileThenRefreshesItsRectangle) {
    testkit::FakePlatform platform;
    const ScreenMetrics metrics = MetricsFor(1024, 768);
    DrawTile(metrics, platform, 1, 1, TileFood);
    ASSERT_EQ(platform.log.size(), 2U);
    EXPECT_EQ(platform.log[1], "refresh");
    ASSERT_EQ(platform.refreshed.size(), 1U);
    EXPECT_EQ(platform.refreshed[0], (PixelRect{26, 26, 26, 26}));
}

}  // namespace
}  // namespace orvex
