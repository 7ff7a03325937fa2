// The mouse-rest rule on its own, with the two sets of thresholds the surface and the bar use:
// the surface counts a move above 5 pixels and a rest of 5000 ms, the bar a move of 5 pixels and
// a rest above 5000 ms.
#include <gtest/gtest.h>

#include "videoplayer/ui/RestDetector.h"

namespace {

RestDetector surfaceRule() { return RestDetector(6, 5000); }
RestDetector barRule() { return RestDetector(5, 5001); }

TEST(RestDetector, MovesCountFromWhereTheLastCountedMoveEnded)
{
    RestDetector rest = surfaceRule();
    rest.restart(1000, {100, 100});
    EXPECT_FALSE(rest.observe(2000, {105, 95}));  // 5 pixels on both axes: still at rest
    EXPECT_EQ(rest.lastMoveTick(), 1000u);
    EXPECT_TRUE(rest.observe(3000, {106, 100}));  // a slow drift adds up to 6
    EXPECT_EQ(rest.lastMoveTick(), 3000u);
    EXPECT_EQ(rest.lastPosition().x, 106);
    EXPECT_FALSE(rest.observe(4000, {101, 100})); // measured from 106 now, not from 100
    EXPECT_TRUE(rest.observe(4100, {106, 94}));   // one axis is enough

    RestDetector bar = barRule();
    bar.restart(1000, {100, 100});
    EXPECT_FALSE(bar.isMove({104, 96}));
    EXPECT_TRUE(bar.isMove({100, 105}));
    EXPECT_TRUE(bar.isMove({95, 100}));
}

TEST(RestDetector, RestBoundariesDifferAsTheUsersNeedAndSpanTheTickWrap)
{
    RestDetector surface = surfaceRule(), bar = barRule();
    surface.restart(1000, {0, 0});
    bar.restart(1000, {0, 0});
    EXPECT_FALSE(surface.hasRested(5999));
    EXPECT_TRUE(surface.hasRested(6000));
    EXPECT_FALSE(bar.hasRested(6000));
    EXPECT_TRUE(bar.hasRested(6001));

    surface.restart(0xFFFFF000u, {0, 0});
    EXPECT_FALSE(surface.hasRested(0x00000387u)); // 4999 ms later, across the wrap
    EXPECT_TRUE(surface.hasRested(0x00000388u));
}

} // namespace
