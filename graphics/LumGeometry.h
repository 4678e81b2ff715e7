#pragma once
// Rectangle and point arithmetic of the drawing API and the SVG engine, and
// small picture queries.

#include "platform/rtl/String.h"
#include "platform/rtl/Types.h"

class TPicture;
class TGraphic;

TRectF OffsetRectF(const TRectF& R, float DX, float DY);
TRectF InflateRectF(const TRectF& R, float DX, float DY);
bool RectFContains(const TRectF& R, const TPointF& P);
// Overlap of positive area; touching edges do not count.
bool RectFIntersectsWith(const TRectF& A, const TRectF& B);
inline float RectFWidth(const TRectF& R) { return R.Right - R.Left; }
inline float RectFHeight(const TRectF& R) { return R.Bottom - R.Top; }
// Inverted, or with sides equal within a relative tolerance.
bool RectFIsEmpty(const TRectF& R);
// All zero when the overlap is empty.
TRectF RectFIntersect(const TRectF& A, const TRectF& B);
TRectF RectFCenterAt(const TRectF& R, const TRectF& Bounds);
// R scaled to fit Bounds keeping its aspect, centred in Bounds. An empty
// Bounds gives an empty rectangle at its origin and ratio 1.
TRectF RectFFit(const TRectF& R, const TRectF& Bounds, float& Ratio);
TRectF RectFFit(const TRectF& R, const TRectF& Bounds);
TRectF SnapRectFToPixel(const TRectF& R, bool APlaceBetweenPixels, float AScale);
float PointFLength(const TPointF& P);
TRect RectFToRect(const TRectF& R);
TSize SizeFToSize(float Width, float Height);
TRectF RectToRectF(const TRect& R);
TPointF PointToPointF(const TPoint& P);
TRectF CopyRect(const TRect& R);
bool PictureIsEmpty(TPicture* APicture);
TGraphic* PictureGraphic(TPicture* APicture);
bool CharIsNumber(Char C);
