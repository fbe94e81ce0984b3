// Page indicator row: start positions by page count and hits at the indicators' edges.
#include "common/layout/PageIndicator.h"

#include <gtest/gtest.h>

namespace common {
namespace {

TEST(PageIndicator, RowStartsFollowTheTableForTwoToSixteenPages) {
    const int expected[] = {156, 144, 138, 126, 122, 108, 106, 90, 90, 72, 74, 54, 58, 36, 42};
    for (int count = 2; count <= 16; ++count) {
        EXPECT_EQ(IndicatorRowStart(count), expected[count - 2]) << count << " pages";
    }
}

TEST(PageIndicator, NoRowForOnePageOrOutOfRangeCounts) {
    for (int count : {-1, 0, 1, 17, 1000}) {
        EXPECT_FALSE(IndicatorRowStart(count).has_value()) << count;
        EXPECT_TRUE(IndicatorPositions(count, 486).empty()) << count;
    }
}

TEST(PageIndicator, PositionsStepEighteenPixelsOnOneRow) {
    std::vector<Point> positions = IndicatorPositions(5, 486);
    ASSERT_EQ(positions.size(), 5u);
    for (int page = 0; page < 5; ++page) {
        EXPECT_EQ(positions[page], (Point{126 + 18 * page, 486}));
    }
}

struct HitCase {
    int x;
    int y;
    std::optional<int> page;
};

class PageIndicatorHits : public testing::TestWithParam<HitCase> {};

// Three pages: indicators at x 144, 162, 180 on row 486, each 11 x 11 with right and bottom edges included.
TEST_P(PageIndicatorHits, IncludeAllFourEdgesAndNothingBeyond) {
    std::vector<Point> positions = IndicatorPositions(3, 486);
    EXPECT_EQ(HitIndicator(positions, 11, 11, GetParam().x, GetParam().y), GetParam().page);
}

INSTANTIATE_TEST_SUITE_P(Edges, PageIndicatorHits,
                         testing::Values(HitCase{144, 486, 0},             // top-left corner
                                         HitCase{155, 497, 0},             // bottom-right corner, edge included
                                         HitCase{143, 490, std::nullopt},  // left of the first
                                         HitCase{156, 490, std::nullopt},  // the gap between two
                                         HitCase{161, 490, std::nullopt}, HitCase{162, 490, 1}, HitCase{191, 491, 2},
                                         HitCase{192, 491, std::nullopt},
                                         HitCase{150, 485, std::nullopt},    // above the row
                                         HitCase{150, 498, std::nullopt}));  // below it

}  // namespace
}  // namespace common
