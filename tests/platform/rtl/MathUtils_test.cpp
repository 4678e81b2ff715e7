#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/rtl/MathUtils.h"

namespace {
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr Int64 I64Max = std::numeric_limits<Int64>::max();
constexpr Int64 I64Min = std::numeric_limits<Int64>::min();
constexpr Integer I32Max = std::numeric_limits<Integer>::max();
constexpr Integer I32Min = std::numeric_limits<Integer>::min();
}

TEST(MathUtils, RoundingAndTruncationAreGuarded)
{
    struct Case {
        double v;
        Int64 round, trunc, ceil, floor;
        Integer roundInt;
    };
    const Case cases[] = {
        { 0.5, 0, 0, 1, 0, 0 },
        { 1.5, 2, 1, 2, 1, 2 },
        { 2.5, 2, 2, 3, 2, 2 },
        { -0.5, 0, 0, 0, -1, 0 },
        { -1.5, -2, -1, -1, -2, -2 },
        { -2.5, -2, -2, -2, -3, -2 },
        { 2.4999999, 2, 2, 3, 2, 2 },
        { 1e300, I64Max, I64Max, I64Max, I64Max, I32Max },
        { -1e300, I64Min, I64Min, I64Min, I64Min, I32Min },
        { Inf, I64Max, I64Max, I64Max, I64Max, I32Max },
        { -Inf, I64Min, I64Min, I64Min, I64Min, I32Min },
        { NaN, 0, 0, 0, 0, 0 },
        { 9223372036854775807.0, I64Max, I64Max, I64Max, I64Max, I32Max },
        { 2147483647.6, 2147483648LL, 2147483647, 2147483648LL, 2147483647, I32Max },
        { -2147483648.6, -2147483649LL, -2147483648LL, -2147483648LL, -2147483649LL, I32Min },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.v);
        EXPECT_EQ(RoundHalfEven(c.v), c.round);
        EXPECT_EQ(Round(c.v), c.round);
        EXPECT_EQ(Trunc(c.v), c.trunc);
        EXPECT_EQ(Ceil(c.v), c.ceil);
        EXPECT_EQ(Floor(c.v), c.floor);
        EXPECT_EQ(RoundToInt(c.v), c.roundInt);
    }
    EXPECT_EQ(TruncToInt(-3e9), I32Min);
    EXPECT_EQ(TruncToInt(-7.9), -7);
    EXPECT_EQ(SaturatingCast<Byte>(300.0), 255);
    EXPECT_EQ(SaturatingCast<Byte>(-3.0), 0);
    EXPECT_EQ(SaturatingCast<UInt64>(1e30), std::numeric_limits<UInt64>::max());
}

TEST(MathUtils, FracAndIntKeepTheSign)
{
    EXPECT_DOUBLE_EQ(Frac(-1.25), -0.25);
    EXPECT_DOUBLE_EQ(Frac(3.75), 0.75);
    EXPECT_DOUBLE_EQ(Int(-1.75), -1.0);
    EXPECT_EQ(Frac(Inf), 0.0);
    EXPECT_TRUE(std::isnan(Frac(NaN)));
}

TEST(MathUtils, MulDivRoundsHalfAwayFromZero)
{
    struct Case {
        Integer a, b, c, expected;
    };
    const Case cases[] = {
        { 10, 3, 4, 8 },          // 7.5
        { 10, 1, 4, 3 },          // 2.5
        { -10, 1, 4, -3 },        // -2.5
        { 10, -1, 4, -3 },
        { -10, -1, -4, -3 },      // -2.5
        { 7, 1, 3, 2 },           // 2.33
        { -7, 2, 3, -5 },         // -4.67
        { 96, 120, 96, 120 },
        { 2000000000, 2, 2, 2000000000 },   // intermediate beyond 32 bits
        { 2000000000, 3, 2, -1 },           // result beyond 32 bits
        { I32Min, 1, 1, I32Min },
        { I32Min, -1, 1, -1 },              // 2^31 does not fit
        { 5, 5, 0, -1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << "*" << c.b << "/" << c.c);
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected);
    }
}

TEST(MathUtils, ClampingAndComparison)
{
    EXPECT_EQ(EnsureRange(5, 0, 3), 3);
    EXPECT_EQ(EnsureRange(-5, 0, 3), 0);
    EXPECT_EQ(EnsureRange(2, 0, 3), 2);
    EXPECT_EQ(Min(2.5, -1.0), -1.0);
    EXPECT_EQ(Max(2, 7), 7);
    EXPECT_TRUE(InRange(3, 3, 4));
    EXPECT_EQ(Sign(-0.1), -1);

    EXPECT_TRUE(SameValue(0.1 + 0.2, 0.3));
    EXPECT_TRUE(SameValue(1e20, 1e20 + 1e7));    // relative tolerance
    EXPECT_FALSE(SameValue(1.0, 1.000001));
    EXPECT_TRUE(SameValue(1.0, 1.1, 0.2));
    EXPECT_FALSE(SameValue(NaN, NaN));
    EXPECT_TRUE(SameValue(1.0f, 1.00001f));
    EXPECT_FALSE(SameValue(1.0f, 1.001f));
    EXPECT_TRUE(IsZero(1e-13));
    EXPECT_FALSE(IsZero(1e-11));
    EXPECT_TRUE(IsZero(0.05, 0.1));
    EXPECT_TRUE(IsZero(1e-5f));
    EXPECT_FALSE(IsZero(1e-3f));
}
