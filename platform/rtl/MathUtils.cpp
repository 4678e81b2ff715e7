#include "platform/rtl/MathUtils.h"

#include <algorithm>

namespace {

constexpr double DoubleResolution = 1e-15 * 1000;
constexpr float SingleResolution = 1e-7f * 1000;

} // namespace

Int64 Trunc(double v) { return SaturatingCast<Int64>(std::trunc(v)); }

Int64 RoundHalfEven(double v) { return SaturatingCast<Int64>(std::nearbyint(v)); }

Integer TruncToInt(double v) { return SaturatingCast<Integer>(std::trunc(v)); }

Integer RoundToInt(double v) { return SaturatingCast<Integer>(std::nearbyint(v)); }

Int64 Ceil(double v) { return SaturatingCast<Int64>(std::ceil(v)); }

Int64 Floor(double v) { return SaturatingCast<Int64>(std::floor(v)); }

double Frac(double v)
{
    if (!std::isfinite(v))
        return std::isnan(v) ? v : 0.0;
    return v - std::trunc(v);
}

double Int(double v) { return std::trunc(v); }

Integer MulDiv(Integer a, Integer b, Integer c)
{
    if (c == 0)
        return -1;
    const Int64 num = Int64(a) * Int64(b);
    const Int64 den = c;
    // Work with magnitudes so that the half-way case rounds away from zero.
    const bool negative = (num < 0) != (den < 0);
    const std::uint64_t n = num < 0 ? std::uint64_t(0) - std::uint64_t(num) : std::uint64_t(num);
    const std::uint64_t d = den < 0 ? std::uint64_t(0) - std::uint64_t(den) : std::uint64_t(den);
    std::uint64_t q = n / d;
    if ((n % d) * 2 >= d)
        ++q;
    const std::uint64_t limit = negative ? std::uint64_t(1) << 31 : (std::uint64_t(1) << 31) - 1;
    if (q > limit)
        return -1;
    return negative ? Integer(-Int64(q)) : Integer(q);
}

bool SameValue(double a, double b, double epsilon)
{
    if (epsilon == 0)
        epsilon = std::max(std::min(std::fabs(a), std::fabs(b)) * DoubleResolution, DoubleResolution);
    if (a > b)
        return a - b <= epsilon;
    return b - a <= epsilon;
}

bool SameValue(float a, float b, float epsilon)
{
    if (epsilon == 0)
        epsilon = std::max(std::min(std::fabs(a), std::fabs(b)) * SingleResolution, SingleResolution);
    if (a > b)
        return a - b <= epsilon;
    return b - a <= epsilon;
}

bool IsZero(double a, double epsilon)
{
    if (epsilon == 0)
        epsilon = DoubleResolution;
    return std::fabs(a) <= epsilon;
}

bool IsZero(float a, float epsilon)
{
    if (epsilon == 0)
        epsilon = SingleResolution;
    return std::fabs(a) <= epsilon;
}
