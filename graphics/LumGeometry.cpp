#include "graphics/LumGeometry.h"

#include <algorithm>
#include <cmath>

#include <unicode/uchar.h>

#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Graphics.h"

TRectF OffsetRectF(const TRectF& R, float DX, float DY)
{
    return { R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY };
}

TRectF InflateRectF(const TRectF& R, float DX, float DY)
{
    return { R.Left - DX, R.Top - DY, R.Right + DX, R.Bottom + DY };
}

bool RectFContains(const TRectF& R, const TPointF& P)
{
    return R.Left <= P.X && P.X < R.Right && R.Top <= P.Y && P.Y < R.Bottom;
}

bool RectFIntersectsWith(const TRectF& A, const TRectF& B)
{
    return A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom && B.Top < A.Bottom;
}

namespace {
bool NearlyEqual(float a, float b)
{
    const float tolerance = std::max(0.0001f, 0.0001f * std::min(std::fabs(a), std::fabs(b)));
    return std::fabs(a - b) <= tolerance;
}
}

bool RectFIsEmpty(const TRectF& R)
{
    return R.Right < R.Left || R.Bottom < R.Top || NearlyEqual(R.Left, R.Right) || NearlyEqual(R.Top, R.Bottom);
}

TRectF RectFIntersect(const TRectF& A, const TRectF& B)
{
    TRectF r { std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
        std::min(A.Bottom, B.Bottom) };
    if (RectFIsEmpty(r))
        return {};
    return r;
}

TRectF RectFCenterAt(const TRectF& R, const TRectF& Bounds)
{
    TRectF r = OffsetRectF(R, -R.Left, -R.Top);
    r = OffsetRectF(r, float(RoundHalfEven((RectFWidth(Bounds) - RectFWidth(r)) / 2)),
        float(RoundHalfEven((RectFHeight(Bounds) - RectFHeight(r)) / 2)));
    return OffsetRectF(r, Bounds.Left, Bounds.Top);
}

TRectF RectFFit(const TRectF& R, const TRectF& Bounds, float& Ratio)
{
    Ratio = 1;
    // Nothing fits into an empty target.
    if (!(RectFWidth(Bounds) > 0 && RectFHeight(Bounds) > 0))
        return { Bounds.Left, Bounds.Top, Bounds.Left, Bounds.Top };
    const float ratio = std::max(RectFHeight(R) / RectFHeight(Bounds), RectFWidth(R) / RectFWidth(Bounds));
    // An empty source has no scale to fit: an empty rectangle at the centre.
    if (!(ratio > 0) || !std::isfinite(ratio))
        return RectFCenterAt({}, Bounds);
    Ratio = ratio;
    return RectFCenterAt({ 0, 0, RectFWidth(R) / ratio, RectFHeight(R) / ratio }, Bounds);
}

TRectF RectFFit(const TRectF& R, const TRectF& Bounds)
{
    float ratio = 1;
    return RectFFit(R, Bounds, ratio);
}

TRectF SnapRectFToPixel(const TRectF& R, bool APlaceBetweenPixels, float AScale)
{
    const double s = AScale <= 0 ? 1.0 : AScale;
    TRectF r;
    r.Left = float(std::trunc(R.Left * s) / s);
    r.Top = float(std::trunc(R.Top * s) / s);
    r.Right = float(r.Left + RoundHalfEven(RectFWidth(R) * s) / s);
    r.Bottom = float(r.Top + RoundHalfEven(RectFHeight(R) * s) / s);
    if (APlaceBetweenPixels)
        r = OffsetRectF(r, float(1 / (2 * s)), float(1 / (2 * s)));
    return r;
}

float PointFLength(const TPointF& P)
{
    return float(std::sqrt(double(P.X) * P.X + double(P.Y) * P.Y));
}

TRect RectFToRect(const TRectF& R)
{
    return { RoundToInt(R.Left), RoundToInt(R.Top), RoundToInt(R.Right),
        RoundToInt(R.Bottom) };
}

TSize SizeFToSize(float Width, float Height)
{
    return { RoundToInt(Width), RoundToInt(Height) };
}

TRectF RectToRectF(const TRect& R)
{
    return { float(R.Left), float(R.Top), float(R.Right), float(R.Bottom) };
}

TPointF PointToPointF(const TPoint& P)
{
    return { float(P.X), float(P.Y) };
}

TRectF CopyRect(const TRect& R)
{
    return RectToRectF(R);
}

bool PictureIsEmpty(TPicture* APicture)
{
    return !APicture || !APicture->GetGraphic() || APicture->GetGraphic()->Empty();
}

TGraphic* PictureGraphic(TPicture* APicture)
{
    return APicture ? APicture->GetGraphic() : nullptr;
}

bool CharIsNumber(Char C)
{
    const int8_t category = u_charType(UChar32(C));
    return category == U_DECIMAL_DIGIT_NUMBER || category == U_LETTER_NUMBER || category == U_OTHER_NUMBER;
}
