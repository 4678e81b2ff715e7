#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/rtl/DateUtils.h"
#include "platform/rtl/Exceptions.h"

namespace {

struct Ymd {
    Word y, m, d;
};

struct Hms {
    Word h, n, s, z;
};

} // namespace

TEST(DateUtils, EncodeDecodeAtTheBoundaries)
{
    struct Case {
        Ymd date;
        double serial;
        Word dow; // 1 = Sunday
    };
    const Case cases[] = {
        { { 1899, 12, 30 }, 0, 7 },
        { { 1899, 12, 31 }, 1, 1 },
        { { 1899, 12, 29 }, -1, 6 },
        { { 1900, 1, 1 }, 2, 2 },
        { { 1900, 3, 1 }, 61, 5 },         // 1900 is not a leap year
        { { 1970, 1, 1 }, 25569, 5 },
        { { 2000, 2, 29 }, 36585, 3 },
        { { 2000, 3, 1 }, 36586, 4 },
        { { 2024, 2, 29 }, 45351, 5 },
        { { 1, 1, 1 }, -693593, 2 },
        { { 9999, 12, 31 }, 2958465, 6 },
        { { 1600, 12, 31 }, -109206, 1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.date.y << "-" << c.date.m << "-" << c.date.d);
        EXPECT_EQ(EncodeDate(c.date.y, c.date.m, c.date.d), c.serial);
        Word y = 0, m = 0, d = 0, dow = 0;
        DecodeDateFully(c.serial, y, m, d, dow);
        EXPECT_EQ(y, c.date.y);
        EXPECT_EQ(m, c.date.m);
        EXPECT_EQ(d, c.date.d);
        EXPECT_EQ(dow, c.dow);
        EXPECT_EQ(DayOfWeek(c.serial < 0 ? c.serial - 0.75 : c.serial + 0.75), c.dow);
    }
}

TEST(DateUtils, EveryDayRoundTrips)
{
    // A walk over four centuries catches errors in the 4/100/400 corrections.
    for (double serial = EncodeDate(1599, 12, 1); serial < EncodeDate(2001, 1, 31); serial += 1) {
        Word y = 0, m = 0, d = 0;
        DecodeDate(serial, y, m, d);
        TDateTime back = -1e9;
        ASSERT_TRUE(TryEncodeDate(y, m, d, back)) << serial;
        ASSERT_EQ(back, serial);
    }
}

TEST(DateUtils, InvalidEncodeRaisesAndTryFails)
{
    const Ymd badDates[] = { { 0, 1, 1 }, { 10000, 1, 1 }, { 2023, 2, 29 }, { 1900, 2, 29 }, { 2024, 13, 1 }, { 2024, 0, 1 }, { 2024, 4, 31 }, { 2024, 1, 0 } };
    for (const auto& b : badDates) {
        SCOPED_TRACE(testing::Message() << b.y << "-" << b.m << "-" << b.d);
        TDateTime out = 42;
        EXPECT_FALSE(TryEncodeDate(b.y, b.m, b.d, out));
        EXPECT_EQ(out, 42);
        try {
            EncodeDate(b.y, b.m, b.d);
            ADD_FAILURE() << "no exception";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message, u"Invalid argument to date encode");
        }
    }
    const Hms badTimes[] = { { 24, 0, 0, 0 }, { 0, 60, 0, 0 }, { 0, 0, 60, 0 }, { 0, 0, 0, 1000 } };
    for (const auto& b : badTimes) {
        SCOPED_TRACE(testing::Message() << b.h << ":" << b.n << ":" << b.s << "." << b.z);
        TDateTime out = 0;
        EXPECT_FALSE(TryEncodeTime(b.h, b.n, b.s, b.z, out));
        try {
            EncodeTime(b.h, b.n, b.s, b.z);
            ADD_FAILURE() << "no exception";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message, u"Invalid argument to time encode");
        }
    }
}

TEST(DateUtils, TimeOfDayAndNegativeDates)
{
    struct Case {
        double serial;
        Ymd date;
        Hms time;
    };
    const Case cases[] = {
        { 0.25, { 1899, 12, 30 }, { 6, 0, 0, 0 } },
        { -0.25, { 1899, 12, 30 }, { 6, 0, 0, 0 } },   // the fraction runs forward
        { -1.25, { 1899, 12, 29 }, { 6, 0, 0, 0 } },
        { 36526.5 + 1.0 / 86400000 * 1234, { 2000, 1, 1 }, { 12, 0, 1, 234 } },
        { 36526 + 86399999.0 / 86400000, { 2000, 1, 1 }, { 23, 59, 59, 999 } },
        // rounds up to midnight: belongs to the next day, never hour 24
        { 36526 + 0.9999999999, { 2000, 1, 2 }, { 0, 0, 0, 0 } },
        { -1.9999999999, { 1899, 12, 30 }, { 0, 0, 0, 0 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::setprecision(17) << c.serial);
        Word y, m, d, h, n, s, z;
        DecodeDateTime(c.serial, y, m, d, h, n, s, z);
        EXPECT_EQ((Ymd { y, m, d }).y, c.date.y);
        EXPECT_EQ(m, c.date.m);
        EXPECT_EQ(d, c.date.d);
        EXPECT_EQ(h, c.time.h);
        EXPECT_EQ(n, c.time.n);
        EXPECT_EQ(s, c.time.s);
        EXPECT_EQ(z, c.time.z);
    }
    EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);
    EXPECT_DOUBLE_EQ(EncodeDateTime(1900, 1, 1, 18, 0, 0, 0), 2.75);
    EXPECT_DOUBLE_EQ(EncodeTime(12, 0, 0, 0), 0.5);
}

TEST(DateUtils, OutOfRangeDecodesToZeros)
{
    const double values[] = { std::numeric_limits<double>::quiet_NaN(), -693594.0, 2958466.0, 1e300, -1e300,
        std::numeric_limits<double>::infinity() };
    for (double v : values) {
        SCOPED_TRACE(v);
        Word y = 1, m = 1, d = 1;
        DecodeDate(v, y, m, d);
        EXPECT_EQ(y, 0);
        EXPECT_EQ(m, 0);
        EXPECT_EQ(d, 0);
        EXPECT_EQ(DayOfWeek(v), 0);
    }
}

TEST(DateUtils, CalendarQueries)
{
    struct Case {
        Word year, month, days;
        bool leap;
    };
    const Case cases[] = {
        { 1900, 2, 28, false }, { 2000, 2, 29, true }, { 2024, 2, 29, true }, { 2023, 2, 28, false },
        { 2023, 4, 30, false }, { 2023, 12, 31, false }, { 2023, 13, 0, false }, { 2023, 0, 0, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.year << "-" << c.month);
        EXPECT_EQ(DaysInAMonth(c.year, c.month), c.days);
        EXPECT_EQ(IsLeapYear(c.year), c.leap);
    }
    EXPECT_EQ(DaysInMonth(EncodeDate(2024, 2, 10)), 29);
    EXPECT_EQ(DayOfTheYear(EncodeDate(2024, 12, 31)), 366);
    EXPECT_EQ(DayOfTheWeek(EncodeDate(2024, 6, 9)), 7);   // a Sunday
    EXPECT_EQ(DayOfTheWeek(EncodeDate(2024, 6, 10)), 1);
    const TDateTime t = EncodeDateTime(2024, 6, 9, 13, 14, 15, 16);
    EXPECT_EQ(YearOf(t), 2024);
    EXPECT_EQ(MonthOf(t), 6);
    EXPECT_EQ(DayOf(t), 9);
    EXPECT_EQ(HourOf(t), 13);
    EXPECT_EQ(MinuteOf(t), 14);
    EXPECT_EQ(SecondOf(t), 15);
    EXPECT_EQ(MilliSecondOf(t), 16);
    EXPECT_EQ(DateOf(t), EncodeDate(2024, 6, 9));
    EXPECT_NEAR(TimeOf(t), EncodeTime(13, 14, 15, 16), 1e-10);
}

TEST(DateUtils, Arithmetic)
{
    const TDateTime noon = EncodeTime(12, 0, 0, 0);
    struct Case {
        const char* name;
        TDateTime result, expected;
    };
    const Case cases[] = {
        { "IncMonth clamps the day", IncMonth(EncodeDate(2024, 1, 31) + noon), EncodeDate(2024, 2, 29) + noon },
        { "IncMonth over a year end", IncMonth(EncodeDate(2023, 11, 30), 3), EncodeDate(2024, 2, 29) },
        { "IncMonth backwards", IncMonth(EncodeDate(2024, 3, 31), -13), EncodeDate(2023, 2, 28) },
        { "IncYear from a leap day", IncYear(EncodeDate(2024, 2, 29)), EncodeDate(2025, 2, 28) },
        { "IncDay", IncDay(EncodeDate(2024, 2, 28), 2), EncodeDate(2024, 3, 1) },
        { "IncWeek", IncWeek(EncodeDate(2024, 12, 30)), EncodeDate(2025, 1, 6) },
        { "IncHour across midnight", IncHour(EncodeDateTime(2024, 1, 1, 23, 0, 0, 0), 2), EncodeDateTime(2024, 1, 2, 1, 0, 0, 0) },
        { "IncMinute backwards", IncMinute(EncodeDate(2024, 1, 1), -1), EncodeDateTime(2023, 12, 31, 23, 59, 0, 0) },
        { "IncSecond", IncSecond(EncodeDate(2024, 1, 1), 90), EncodeDateTime(2024, 1, 1, 0, 1, 30, 0) },
        // crossing 1899-12-30 from the positive side: the time keeps running forward
        { "IncHour into negative dates", IncHour(0.25, -12), EncodeDateTime(1899, 12, 29, 18, 0, 0, 0) },
        { "IncMilliSecond out of negative dates", IncMilliSecond(-1.75, 86400000), 0.75 },
        { "IncMonth from a negative date", IncMonth(-1.25), EncodeDateTime(1900, 1, 29, 6, 0, 0, 0) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(c.result, c.expected, 1e-9);
    }
    EXPECT_THROW(IncMonth(EncodeDate(9999, 12, 1)), EConvertError);
    EXPECT_NO_THROW(IncHour(0, std::numeric_limits<Int64>::max()));

    const TDateTime a = EncodeDateTime(2024, 1, 1, 0, 0, 0, 0);
    const TDateTime b = EncodeDateTime(2024, 1, 3, 23, 59, 59, 500);
    EXPECT_EQ(DaysBetween(a, b), 2);
    EXPECT_EQ(DaysBetween(b, a), 2);
    EXPECT_EQ(HoursBetween(a, b), 71);
    EXPECT_EQ(MinutesBetween(a, b), 71 * 60 + 59);
    EXPECT_EQ(SecondsBetween(a, b), 3 * 86400 - 1);
    EXPECT_EQ(MilliSecondsBetween(a, b), 3 * 86400000LL - 500);
    EXPECT_EQ(DaysBetween(-1.25, 0.5), 1);   // 1899-12-29 06:00 to 1899-12-30 12:00
}

TEST(DateUtils, UnixTimeIn64Bits)
{
    struct Case {
        Int64 unix;
        TDateTime dt;
    };
    const Case cases[] = {
        { 0, 25569.0 },
        { 86400 + 43200, 25570.5 },
        { -86400, 25568.0 },
        { 2147483648LL, EncodeDateTime(2038, 1, 19, 3, 14, 8, 0) },   // past 32 bits
        { 253402300799LL, EncodeDateTime(9999, 12, 31, 23, 59, 59, 0) },
        { -2209161600LL, 0.0 },
        { -2209161600LL - 86400 + 21600, -1.25 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.unix);
        EXPECT_NEAR(UnixToDateTime(c.unix), c.dt, 1e-9);
        EXPECT_EQ(DateTimeToUnix(c.dt), c.unix);
    }
}

TEST(DateUtils, SystemTimeAndClock)
{
    TSystemTime st;
    DateTimeToSystemTime(EncodeDateTime(2024, 6, 9, 13, 14, 15, 16), st);
    EXPECT_EQ(st.wYear, 2024);
    EXPECT_EQ(st.wDayOfWeek, 0);
    EXPECT_EQ(st.wMilliseconds, 16);
    EXPECT_NEAR(SystemTimeToDateTime(st), EncodeDateTime(2024, 6, 9, 13, 14, 15, 16), 1e-10);
    st.wMonth = 2;
    st.wDay = 30;
    EXPECT_THROW(SystemTimeToDateTime(st), EConvertError);

    const TDateTime now = Now();
    EXPECT_GT(now, EncodeDate(2020, 1, 1));
    EXPECT_LE(Date(), now);
    EXPECT_GE(Time(), 0.0);
    EXPECT_LT(Time(), 1.0);
}
