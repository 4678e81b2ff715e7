#include <gtest/gtest.h>

#include "platform/rtl/Region.h"

TEST(Region, CombineOperations)
{
    const TRegion a(Rect(0, 0, 10, 10));
    const TRegion b(Rect(5, 5, 15, 15));
    struct Case {
        const char* name;
        TRegion::Op op;
        int area;
        TRect bounds;
    };
    const Case cases[] = {
        { "and", TRegion::Op::And, 25, Rect(5, 5, 10, 10) },
        { "or", TRegion::Op::Or, 175, Rect(0, 0, 15, 15) },
        { "xor", TRegion::Op::Xor, 150, Rect(0, 0, 15, 15) },
        { "diff", TRegion::Op::Diff, 75, Rect(0, 0, 10, 10) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TRegion r = a.Combine(b, c.op);
        int area = 0;
        for (const auto& rc : r.Rects())
            area += rc.Width() * rc.Height();
        EXPECT_EQ(area, c.area);
        EXPECT_EQ(r.Bounds(), c.bounds);
    }
}

TEST(Region, NormalisedSoEqualAreasCompareEqual)
{
    TRegion split = TRegion(Rect(0, 0, 5, 10)).Union(TRegion(Rect(5, 0, 10, 10)));
    EXPECT_EQ(split, TRegion(Rect(0, 0, 10, 10)));
    TRegion stacked = TRegion::FromRects({ Rect(0, 0, 10, 4), Rect(0, 4, 10, 10), Rect(2, 2, 3, 3) });
    EXPECT_EQ(stacked, TRegion(Rect(0, 0, 10, 10)));
    EXPECT_TRUE(TRegion(Rect(0, 0, 10, 10)).Subtract(TRegion(Rect(-1, -1, 11, 11))).IsEmpty());
}

TEST(Region, HitTestingExcludesRightAndBottomEdges)
{
    TRegion r = TRegion(Rect(0, 0, 10, 10)).Subtract(TRegion(Rect(3, 3, 6, 6)));
    EXPECT_TRUE(r.Contains(0, 0));
    EXPECT_TRUE(r.Contains(9, 9));
    EXPECT_FALSE(r.Contains(10, 5));
    EXPECT_FALSE(r.Contains(4, 4));
    EXPECT_TRUE(r.Contains(6, 4));
    EXPECT_TRUE(r.Intersects(Rect(9, 9, 20, 20)));
    EXPECT_FALSE(r.Intersects(Rect(3, 3, 6, 6)));
    r.Offset(100, 0);
    EXPECT_TRUE(r.Contains(100, 0));
}
