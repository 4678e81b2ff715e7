#include "platform/rtl/DateUtils.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/MathUtils.h"

namespace {

constexpr Word MonthDays[2][12] = {
    { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 },
    { 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 },
};

// Day number of 9999-12-31 counted like DateDelta.
constexpr Int64 LastDayNumber = 3652059;

// Far beyond the calendar's range, small enough that sums cannot overflow.
constexpr Int64 MaxSpanMs = Int64(1) << 58;

Int64 ScaledMs(Int64 count, Int64 unitMs)
{
    const Int64 limit = MaxSpanMs / unitMs;
    return EnsureRange(count, -limit, limit) * unitMs;
}

Int64 FloorDiv(Int64 a, Int64 b)
{
    Int64 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

// Milliseconds since 1899-12-30 00:00 on a straight line: the whole part of a
// TDateTime counts days, the fraction always runs forward from that day.
Int64 ToLinearMs(TDateTime value)
{
    if (std::isnan(value))
        return 0;
    value = std::fmax(std::fmin(value, MaxDateTime + 2), MinDateTime - 2);
    const double day = std::trunc(value);
    const Int64 ms = RoundHalfEven(std::fabs(value - day) * MSecsPerDay);
    return Int64(day) * MSecsPerDay + ms;
}

TDateTime ComposeDateTime(Int64 day, double time)
{
    return day < 0 ? double(day) - time : double(day) + time;
}

TDateTime FromLinearMs(Int64 ms)
{
    const Int64 day = FloorDiv(ms, MSecsPerDay);
    const Int64 rest = ms - day * MSecsPerDay;
    return ComposeDateTime(day, double(rest) / MSecsPerDay);
}

struct Broken {
    bool valid { false };
    Word year { 0 }, month { 0 }, day { 0 };
    Word hour { 0 }, min { 0 }, sec { 0 }, msec { 0 };
    Word dow { 0 };
};

Broken Decompose(TDateTime value)
{
    Broken b;
    if (std::isnan(value))
        return b;
    const Int64 linear = ToLinearMs(value);
    const Int64 dayOffset = FloorDiv(linear, MSecsPerDay);
    Int64 msOfDay = linear - dayOffset * MSecsPerDay;
    Int64 t = dayOffset + DateDelta;
    if (t <= 0 || t > LastDayNumber)
        return b;
    b.valid = true;
    b.dow = Word((t % 7) + 1);
    b.hour = Word(msOfDay / 3600000);
    msOfDay %= 3600000;
    b.min = Word(msOfDay / 60000);
    msOfDay %= 60000;
    b.sec = Word(msOfDay / 1000);
    b.msec = Word(msOfDay % 1000);

    constexpr Int64 D1 = 365, D4 = D1 * 4 + 1, D100 = D4 * 25 - 1, D400 = D100 * 4 + 1;
    --t;
    Int64 y = 1;
    y += (t / D400) * 400;
    t %= D400;
    Int64 i = t / D100;
    Int64 d = t % D100;
    if (i == 4) {
        --i;
        d += D100;
    }
    y += i * 100;
    y += (d / D4) * 4;
    d %= D4;
    i = d / D1;
    d %= D1;
    if (i == 4) {
        --i;
        d += D1;
    }
    y += i;
    b.year = Word(y);
    const auto& days = MonthDays[IsLeapYear(b.year) ? 1 : 0];
    Word m = 0;
    while (d >= days[m]) {
        d -= days[m];
        ++m;
    }
    b.month = Word(m + 1);
    b.day = Word(d + 1);
    return b;
}

TDateTime LocalNow()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count();
    const std::time_t secs = std::time_t(FloorDiv(ms, 1000));
    std::tm local {};
    localtime_r(&secs, &local);
    TDateTime date = 0, time = 0;
    TryEncodeDate(Word(local.tm_year + 1900), Word(local.tm_mon + 1), Word(local.tm_mday), date);
    // A leap second (tm_sec 60) is shown as the last moment of its minute.
    TryEncodeTime(Word(local.tm_hour), Word(local.tm_min), Word(std::min(local.tm_sec, 59)), Word(ms - FloorDiv(ms, 1000) * 1000), time);
    return date + time;
}

} // namespace

bool IsLeapYear(Word year)
{
    return (year % 4 == 0) && ((year % 100 != 0) || (year % 400 == 0));
}

Word DaysInAMonth(Word year, Word month)
{
    if (month < 1 || month > 12)
        return 0;
    return MonthDays[IsLeapYear(year) ? 1 : 0][month - 1];
}

Word DaysInMonth(TDateTime value)
{
    const Broken b = Decompose(value);
    return b.valid ? DaysInAMonth(b.year, b.month) : 0;
}

Word DaysInAYear(Word year) { return IsLeapYear(year) ? 366 : 365; }

bool IsValidDate(Word year, Word month, Word day)
{
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInAMonth(year, month);
}

bool IsValidTime(Word hour, Word min, Word sec, Word msec)
{
    return hour < HoursPerDay && min < MinsPerHour && sec < SecsPerMin && msec < MSecsPerSec;
}

bool TryEncodeDate(Word year, Word month, Word day, TDateTime& date)
{
    if (!IsValidDate(year, month, day))
        return false;
    const auto& days = MonthDays[IsLeapYear(year) ? 1 : 0];
    Int64 dayNumber = day;
    for (int m = 0; m < month - 1; ++m)
        dayNumber += days[m];
    const Int64 i = Int64(year) - 1;
    dayNumber += i * 365 + i / 4 - i / 100 + i / 400;
    date = double(dayNumber - DateDelta);
    return true;
}

TDateTime EncodeDate(Word year, Word month, Word day)
{
    TDateTime result = 0;
    if (!TryEncodeDate(year, month, day, result))
        throw EConvertError(u"Invalid argument to date encode");
    return result;
}

bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& time)
{
    if (!IsValidTime(hour, min, sec, msec))
        return false;
    const Int64 ms = ((Int64(hour) * MinsPerHour + min) * SecsPerMin + sec) * MSecsPerSec + msec;
    time = double(ms) / MSecsPerDay;
    return true;
}

TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec)
{
    TDateTime result = 0;
    if (!TryEncodeTime(hour, min, sec, msec, result))
        throw EConvertError(u"Invalid argument to time encode");
    return result;
}

bool TryEncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec, Word msec, TDateTime& value)
{
    TDateTime date = 0, time = 0;
    if (!TryEncodeDate(year, month, day, date) || !TryEncodeTime(hour, min, sec, msec, time))
        return false;
    value = ComposeDateTime(Int64(date), time);
    return true;
}

TDateTime EncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec, Word msec)
{
    const TDateTime date = EncodeDate(year, month, day);
    const TDateTime time = EncodeTime(hour, min, sec, msec);
    return ComposeDateTime(Int64(date), time);
}

void DecodeDate(TDateTime value, Word& year, Word& month, Word& day)
{
    const Broken b = Decompose(value);
    year = b.year;
    month = b.month;
    day = b.day;
}

bool DecodeDateFully(TDateTime value, Word& year, Word& month, Word& day, Word& dow)
{
    const Broken b = Decompose(value);
    year = b.year;
    month = b.month;
    day = b.day;
    dow = b.dow;
    return b.valid && IsLeapYear(b.year);
}

void DecodeTime(TDateTime value, Word& hour, Word& min, Word& sec, Word& msec)
{
    const Broken b = Decompose(value);
    hour = b.hour;
    min = b.min;
    sec = b.sec;
    msec = b.msec;
}

void DecodeDateTime(TDateTime value, Word& year, Word& month, Word& day, Word& hour, Word& min, Word& sec, Word& msec)
{
    const Broken b = Decompose(value);
    year = b.year;
    month = b.month;
    day = b.day;
    hour = b.hour;
    min = b.min;
    sec = b.sec;
    msec = b.msec;
}

Word DayOfWeek(TDateTime value) { return Decompose(value).dow; }

Word DayOfTheWeek(TDateTime value)
{
    const Word dow = DayOfWeek(value);
    if (dow == 0)
        return 0;
    return dow == 1 ? 7 : Word(dow - 1);
}

Word DayOfTheYear(TDateTime value)
{
    const Broken b = Decompose(value);
    if (!b.valid)
        return 0;
    Word result = b.day;
    for (int m = 1; m < b.month; ++m)
        result = Word(result + DaysInAMonth(b.year, Word(m)));
    return result;
}

Word YearOf(TDateTime value) { return Decompose(value).year; }
Word MonthOf(TDateTime value) { return Decompose(value).month; }
Word DayOf(TDateTime value) { return Decompose(value).day; }
Word HourOf(TDateTime value) { return Decompose(value).hour; }
Word MinuteOf(TDateTime value) { return Decompose(value).min; }
Word SecondOf(TDateTime value) { return Decompose(value).sec; }
Word MilliSecondOf(TDateTime value) { return Decompose(value).msec; }

TDateTime DateOf(TDateTime value)
{
    return double(FloorDiv(ToLinearMs(value), MSecsPerDay));
}

TDateTime TimeOf(TDateTime value)
{
    const Int64 linear = ToLinearMs(value);
    return double(linear - FloorDiv(linear, MSecsPerDay) * MSecsPerDay) / MSecsPerDay;
}

TDateTime Now() { return LocalNow(); }
TDateTime Date() { return DateOf(LocalNow()); }
TDateTime Time() { return TimeOf(LocalNow()); }

TDateTime IncMonth(TDateTime value, Integer months)
{
    const Broken b = Decompose(value);
    if (!b.valid)
        return value;
    const Int64 total = Int64(b.year) * 12 + (b.month - 1) + months;
    const Int64 year = FloorDiv(total, 12);
    const Word month = Word(total - year * 12 + 1);
    if (year < 1 || year > 9999)
        throw EConvertError(u"Invalid argument to date encode");
    const Word day = std::min(b.day, DaysInAMonth(Word(year), month));
    const TDateTime date = EncodeDate(Word(year), month, day);
    return ComposeDateTime(Int64(date), TimeOf(value));
}

TDateTime IncYear(TDateTime value, Integer years) { return IncMonth(value, Integer(EnsureRange<Int64>(Int64(years) * 12, -200000, 200000))); }
TDateTime IncWeek(TDateTime value, Integer weeks) { return IncMilliSecond(value, ScaledMs(weeks, 7 * Int64(MSecsPerDay))); }
TDateTime IncDay(TDateTime value, Integer days) { return IncMilliSecond(value, ScaledMs(days, MSecsPerDay)); }
TDateTime IncHour(TDateTime value, Int64 hours) { return IncMilliSecond(value, ScaledMs(hours, 3600000)); }
TDateTime IncMinute(TDateTime value, Int64 minutes) { return IncMilliSecond(value, ScaledMs(minutes, 60000)); }
TDateTime IncSecond(TDateTime value, Int64 seconds) { return IncMilliSecond(value, ScaledMs(seconds, 1000)); }

TDateTime IncMilliSecond(TDateTime value, Int64 msecs)
{
    if (std::isnan(value))
        return value;
    return FromLinearMs(ToLinearMs(value) + EnsureRange<Int64>(msecs, -MaxSpanMs, MaxSpanMs));
}

Int64 MilliSecondsBetween(TDateTime now, TDateTime then)
{
    const Int64 a = ToLinearMs(now), b = ToLinearMs(then);
    return a > b ? a - b : b - a;
}

Int64 SecondsBetween(TDateTime now, TDateTime then) { return MilliSecondsBetween(now, then) / 1000; }
Int64 MinutesBetween(TDateTime now, TDateTime then) { return MilliSecondsBetween(now, then) / 60000; }
Int64 HoursBetween(TDateTime now, TDateTime then) { return MilliSecondsBetween(now, then) / 3600000; }
Int64 DaysBetween(TDateTime now, TDateTime then) { return MilliSecondsBetween(now, then) / MSecsPerDay; }

Int64 DateTimeToUnix(TDateTime value)
{
    return FloorDiv(ToLinearMs(value) - Int64(UnixDateDelta) * MSecsPerDay, 1000);
}

TDateTime UnixToDateTime(Int64 seconds)
{
    const Int64 day = FloorDiv(seconds, SecsPerDay);
    const Int64 rest = seconds - day * SecsPerDay;
    return ComposeDateTime(day + UnixDateDelta, double(rest) / SecsPerDay);
}

void DateTimeToSystemTime(TDateTime value, TSystemTime& st)
{
    const Broken b = Decompose(value);
    st.wYear = b.year;
    st.wMonth = b.month;
    st.wDay = b.day;
    st.wDayOfWeek = b.valid ? Word(b.dow - 1) : 0;
    st.wHour = b.hour;
    st.wMinute = b.min;
    st.wSecond = b.sec;
    st.wMilliseconds = b.msec;
}

TDateTime SystemTimeToDateTime(const TSystemTime& st)
{
    return EncodeDateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}
