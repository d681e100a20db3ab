#include "core/game_end.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_platform.h"

namespace orvex::testkit {
namespace {

struct ReportCase {
    std::int16_t players;
    std::int16_t score1;
    std::int16_t score2;
    std::string report;
};

class Report : public ::testing::TestWithParam<ReportCase> {};

// The clock stops before the box, so no tick runs while it is open; the program ends once it is
// dismissed. Closing the window during a game shows player 1's bare score instead.
TEST_P(Report, ShowsTheScoresThenEnds) {
    const ReportCase& c = GetParam();
    for (const bool closed : {false, true}) {
        FakePlatform platform;
        GameState state;
        state.Players = c.players;
        state.Score1 = c.score1;
        state.Score2 = c.score2;
        (closed ? Form_Unload : GameOver)(state, platform);
        const std::string box = closed ? std::to_string(c.score1) : c.report;
        EXPECT_EQ(platform.log, (std::vector<std::string>{"timer 0", "box " + box, "end"}));
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, Report, ::testing::Values(
    ReportCase{1, 0, 5, "Player 1 got 0 points!!"},
    ReportCase{1, 1, 0, "Player 1 got 1 point!!"},
    ReportCase{1, 17, 0, "Player 1 got 17 points!!"},
    ReportCase{2, 3, 1, "Player 1 got 3 points!! and Player 2 got 1 point!!"},
    ReportCase{2, 1, 2, "Player 1 got 1 point!! and Player 2 got 2 points!!"}));
// clang-format on

}  // namespace
}  // namespace orvex::testkit
