#pragma once
// Numeric helpers: rounding and truncation that never hit undefined behaviour,
// the window system's MulDiv, clamping and tolerant float comparison.

#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>

#include "platform/rtl/Types.h"

// Float to integer of type T, truncating toward zero. NaN gives 0; values
// beyond T's range give T's minimum or maximum instead of undefined behaviour.
template <typename T>
T SaturatingCast(double v)
{
    static_assert(std::is_integral_v<T>);
    if (std::isnan(v))
        return 0;
    // The limits as doubles: the maximum of a 64-bit type rounds up to 2^63,
    // so compare with >= against the first value that is out of range.
    constexpr double lo = static_cast<double>(std::numeric_limits<T>::min());
    constexpr double hiExclusive = static_cast<double>(std::numeric_limits<T>::max() / 2 + 1) * 2.0;
    if (v <= lo)
        return std::numeric_limits<T>::min();
    if (v >= hiExclusive)
        return std::numeric_limits<T>::max();
    return static_cast<T>(v);
}

// Truncation toward zero, saturating (see SaturatingCast).
Int64 Trunc(double v);
// Round half to even (the floating-point unit's default mode), saturating.
Int64 RoundHalfEven(double v);
// The runtime's Round is banker's rounding too.
inline Int64 Round(double v) { return RoundHalfEven(v); }
// Integer forms for pixel and count arithmetic.
Integer TruncToInt(double v);
Integer RoundToInt(double v);
// Smallest integer >= v and largest integer <= v, saturating.
Int64 Ceil(double v);
Int64 Floor(double v);
// Fractional part with the sign of v (Frac(-1.25) = -0.25).
double Frac(double v);
// Integer part as a float (Int(-1.75) = -1.0).
double Int(double v);

// a * b / c with a 64-bit intermediate, rounded half away from zero.
// Returns -1 when c is 0 or the result does not fit in 32 bits.
Integer MulDiv(Integer a, Integer b, Integer c);

template <typename T>
constexpr T Min(T a, T b) { return b < a ? b : a; }
template <typename T>
constexpr T Max(T a, T b) { return a < b ? b : a; }
// v clamped to [lo, hi].
template <typename T>
constexpr T EnsureRange(T v, T lo, T hi)
{
    if (v < lo)
        return lo;
    if (v > hi)
        return hi;
    return v;
}
template <typename T>
constexpr bool InRange(T v, T lo, T hi) { return v >= lo && v <= hi; }
template <typename T>
constexpr int Sign(T v) { return v > T(0) ? 1 : (v < T(0) ? -1 : 0); }

// Tolerant comparison: with epsilon 0 the tolerance scales with the smaller
// magnitude (1e-12 relative, at least 1e-12; 1e-4 for single precision).
bool SameValue(double a, double b, double epsilon = 0);
bool SameValue(float a, float b, float epsilon = 0);
// |a| within epsilon of zero (1e-12 by default; 1e-4 for single precision).
bool IsZero(double a, double epsilon = 0);
bool IsZero(float a, float epsilon = 0);
