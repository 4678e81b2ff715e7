#pragma once
// TDateTime: days since 1899-12-30 as a double, the fraction being the time
// of day. For negative values the whole part counts days backwards and the
// fraction still runs forward (-1.25 is 1899-12-29 06:00).

#include "platform/rtl/Types.h"

using TDateTime = double;
using TDate = double;
using TTime = double;

constexpr Integer HoursPerDay = 24;
constexpr Integer MinsPerHour = 60;
constexpr Integer SecsPerMin = 60;
constexpr Integer MSecsPerSec = 1000;
constexpr Integer MinsPerDay = HoursPerDay * MinsPerHour;
constexpr Integer SecsPerDay = MinsPerDay * SecsPerMin;
constexpr Integer MSecsPerDay = SecsPerDay * MSecsPerSec;
// Day number of 1899-12-30 counted from 0001-01-01 as day 1.
constexpr Integer DateDelta = 693594;
// Days from 1899-12-30 to 1970-01-01.
constexpr Integer UnixDateDelta = 25569;
constexpr TDateTime MinDateTime = -693593.0;           // 0001-01-01
constexpr TDateTime MaxDateTime = 2958465.99999999;    // 9999-12-31 23:59:59.999

// The window system's broken-down time (wDayOfWeek: 0 = Sunday).
struct TSystemTime {
    Word wYear { 0 };
    Word wMonth { 0 };
    Word wDayOfWeek { 0 };
    Word wDay { 0 };
    Word wHour { 0 };
    Word wMinute { 0 };
    Word wSecond { 0 };
    Word wMilliseconds { 0 };
};
using SYSTEMTIME = TSystemTime;

bool IsLeapYear(Word year);
// 0 for a month outside 1..12.
Word DaysInAMonth(Word year, Word month);
Word DaysInMonth(TDateTime value);
Word DaysInAYear(Word year);
bool IsValidDate(Word year, Word month, Word day);
bool IsValidTime(Word hour, Word min, Word sec, Word msec);

bool TryEncodeDate(Word year, Word month, Word day, TDateTime& date);
// Raises EConvertError "Invalid argument to date encode".
TDateTime EncodeDate(Word year, Word month, Word day);
bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& time);
// Raises EConvertError "Invalid argument to time encode".
TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec);
bool TryEncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec, Word msec, TDateTime& value);
TDateTime EncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec, Word msec);

// Values outside 0001-01-01..9999-12-31 (and NaN) decode to all zeros.
void DecodeDate(TDateTime value, Word& year, Word& month, Word& day);
// Also gives the day of the week (1 = Sunday); returns whether the year is a leap year.
bool DecodeDateFully(TDateTime value, Word& year, Word& month, Word& day, Word& dow);
// The time is rounded to the nearest millisecond; a value that rounds up to
// midnight belongs to the next day.
void DecodeTime(TDateTime value, Word& hour, Word& min, Word& sec, Word& msec);
void DecodeDateTime(TDateTime value, Word& year, Word& month, Word& day, Word& hour, Word& min, Word& sec, Word& msec);

// 1 = Sunday .. 7 = Saturday.
Word DayOfWeek(TDateTime value);
// ISO numbering: 1 = Monday .. 7 = Sunday.
Word DayOfTheWeek(TDateTime value);
Word DayOfTheYear(TDateTime value);
Word YearOf(TDateTime value);
Word MonthOf(TDateTime value);
Word DayOf(TDateTime value);
Word HourOf(TDateTime value);
Word MinuteOf(TDateTime value);
Word SecondOf(TDateTime value);
Word MilliSecondOf(TDateTime value);
TDateTime DateOf(TDateTime value);
TDateTime TimeOf(TDateTime value);

// Local wall-clock time.
TDateTime Now();
TDateTime Date();
TDateTime Time();

// Month arithmetic keeps the time of day and clamps the day to the target
// month's length (31 January + 1 month = 28 or 29 February).
TDateTime IncMonth(TDateTime value, Integer months = 1);
TDateTime IncYear(TDateTime value, Integer years = 1);
TDateTime IncWeek(TDateTime value, Integer weeks = 1);
TDateTime IncDay(TDateTime value, Integer days = 1);
TDateTime IncHour(TDateTime value, Int64 hours = 1);
TDateTime IncMinute(TDateTime value, Int64 minutes = 1);
TDateTime IncSecond(TDateTime value, Int64 seconds = 1);
TDateTime IncMilliSecond(TDateTime value, Int64 msecs = 1);

// Whole units between two moments, never negative.
Int64 DaysBetween(TDateTime now, TDateTime then);
Int64 HoursBetween(TDateTime now, TDateTime then);
Int64 MinutesBetween(TDateTime now, TDateTime then);
Int64 SecondsBetween(TDateTime now, TDateTime then);
Int64 MilliSecondsBetween(TDateTime now, TDateTime then);

// Seconds since 1970-01-01 00:00 (the value is taken as UTC), 64-bit.
Int64 DateTimeToUnix(TDateTime value);
TDateTime UnixToDateTime(Int64 seconds);

void DateTimeToSystemTime(TDateTime value, TSystemTime& st);
// Raises EConvertError for fields that do not form a valid date and time.
TDateTime SystemTimeToDateTime(const TSystemTime& st);
