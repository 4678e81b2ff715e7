#include "graphics/LumGraphicsContextGeneral.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/MathUtils.h"

namespace {

int Pixel(double v) { return RoundToInt(v); }

int FloorPixel(double v) { return int(std::clamp<Int64>(Floor(v), INT_MIN, INT_MAX)); }

TRect PixelRect(const TRectF& R) { return { Pixel(R.Left), Pixel(R.Top), Pixel(R.Right), Pixel(R.Bottom) }; }

std::vector<TPoint> PixelPoints(const TLumGraphicsPathPolygon& APolygon)
{
    std::vector<TPoint> points;
    points.reserve(APolygon.size());
    for (const TPointF& p : APolygon)
        points.push_back({ Pixel(p.X), Pixel(p.Y) });
    return points;
}

// The corner bits of DrawGradientRect.
int CornerBits(TLumGraphicsCorners ACorners)
{
    return (ACorners.Contains(gcTopLeft) ? 1 : 0) | (ACorners.Contains(gcTopRight) ? 2 : 0)
        | (ACorners.Contains(gcBottomLeft) ? 4 : 0) | (ACorners.Contains(gcBottomRight) ? 8 : 0);
}

TPenStyle PenStyleOf(TLumGraphicsStrokeKind AKind)
{
    switch (AKind) {
    case gskNone: return psClear;
    case gskDash: return psDash;
    case gskDot: return psDot;
    case gskDashDot: return psDashDot;
    case gskDashDotDot: return psDashDotDot;
    case gskSolid: break;
    }
    return psSolid;
}

} // namespace

// An outline paints no interior: the brush is clear for the call, then its
// style and colour come back.
class TLumGraphicsContextGeneral::TBrushClearGuard {
public:
    explicit TBrushClearGuard(TCanvas* ACanvas)
        : FBrush(ACanvas->GetBrush()), FStyle(FBrush->GetStyle()), FColor(FBrush->GetColor())
    {
        FBrush->SetStyle(bsClear);
    }
    ~TBrushClearGuard()
    {
        FBrush->SetColor(FColor);
        FBrush->SetStyle(FStyle);
    }
    TBrushClearGuard(const TBrushClearGuard&) = delete;
    TBrushClearGuard& operator=(const TBrushClearGuard&) = delete;

private:
    TBrush* FBrush;
    TBrushStyle FStyle;
    TColor FColor;
};

// A fill draws no outline: the pen is clear for the call.
class TLumGraphicsContextGeneral::TPenClearGuard {
public:
    explicit TPenClearGuard(TCanvas* ACanvas) : FPen(ACanvas->GetPen()), FStyle(FPen->GetStyle())
    {
        FPen->SetStyle(psClear);
    }
    ~TPenClearGuard() { FPen->SetStyle(FStyle); }
    TPenClearGuard(const TPenClearGuard&) = delete;
    TPenClearGuard& operator=(const TPenClearGuard&) = delete;

private:
    TPen* FPen;
    TPenStyle FStyle;
};

TLumGraphicsContextGeneral::TLumGraphicsContextGeneral(TLumGraphics* AGraphics, TCanvas* ACanvas)
    : TLumGraphicsContext(AGraphics, ACanvas)
{
}

TLumGraphicsContextGeneral::~TLumGraphicsContextGeneral()
{
    // A special pen left selected must not outlive the context.
    if (FSpecialPen)
        StopSpecialPen();
}

// ---- state ----

TColor TLumGraphicsContextGeneral::GetFillColor() { return GetCanvas() ? GetCanvas()->GetBrush()->GetColor() : gcNull; }

void TLumGraphicsContextGeneral::SetFill(TLumGraphicsFill* AFill)
{
    if (!GetCanvas() || !AFill)
        return;
    GetCanvas()->GetBrush()->SetColor(AFill->GetColor());
    SetFillKind(AFill->GetKind());
}

void TLumGraphicsContextGeneral::SetFillKind(TLumGraphicsFillKind AKind)
{
    if (!GetCanvas())
        return;
    switch (AKind) {
    case gfkNone: GetCanvas()->GetBrush()->SetStyle(bsClear); break;
    case gfkSolid:
    case gfkGradient: GetCanvas()->GetBrush()->SetStyle(bsSolid); break;
    case gfkTexture: break;
    }
}

void TLumGraphicsContextGeneral::SetFillColor(TColor AColor)
{
    if (GetCanvas())
        GetCanvas()->GetBrush()->SetColor(AColor);
}

void TLumGraphicsContextGeneral::SetStroke(TLumGraphicsStroke* AStroke)
{
    if (!GetCanvas() || !AStroke)
        return;
    TPen* pen = GetCanvas()->GetPen();
    pen->SetColor(AStroke->GetColor());
    pen->SetWidth(Pixel(AStroke->GetWidth()));
    pen->SetStyle(PenStyleOf(AStroke->GetKind()));
}

void TLumGraphicsContextGeneral::SetStrokeKind(TLumGraphicsStrokeKind AKind)
{
    if (GetCanvas())
        GetCanvas()->GetPen()->SetStyle(PenStyleOf(AKind));
}

void TLumGraphicsContextGeneral::SetStrokeColor(TColor AColor)
{
    if (GetCanvas())
        GetCanvas()->GetPen()->SetColor(AColor);
}

void TLumGraphicsContextGeneral::SetStrokeWidth(float AWidth)
{
    if (GetCanvas())
        GetCanvas()->GetPen()->SetWidth(Pixel(AWidth));
}

void TLumGraphicsContextGeneral::SetFont(TLumGraphicsFont* AFont)
{
    if (GetCanvas() && AFont)
        GetCanvas()->GetFont()->Assign(AFont);
}

void TLumGraphicsContextGeneral::SetFontSize(int ASize)
{
    if (GetCanvas())
        GetCanvas()->GetFont()->SetSize(ASize);
}

void TLumGraphicsContextGeneral::SetFontColor(TColor AColor)
{
    if (GetCanvas())
        GetCanvas()->GetFont()->SetColor(AColor);
}

void TLumGraphicsContextGeneral::SetFontName(const String& AName)
{
    if (GetCanvas())
        GetCanvas()->GetFont()->SetName(AName);
}

void TLumGraphicsContextGeneral::SetFontStyles(TFontStyles AStyle)
{
    if (GetCanvas())
        GetCanvas()->GetFont()->SetStyle(AStyle);
}

void TLumGraphicsContextGeneral::SaveState(TLumGraphicsSaveState* AState)
{
    if (!GetCanvas() || !AState)
        return;
    GetCanvas()->Refresh();
    AState->SetSaveDC(::SaveDC(GetCanvas()->GetHandle()));
}

void TLumGraphicsContextGeneral::RestoreState(TLumGraphicsSaveState* AState)
{
    if (!GetCanvas() || !AState)
        return;
    // A state that recorded nothing restores nothing (0 is no saved level).
    if (AState->GetSaveDC() != 0)
        ::RestoreDC(GetCanvas()->GetHandle(), AState->GetSaveDC());
    AState->SetSaveDC(0);
    GetCanvas()->Refresh();
}

void TLumGraphicsContextGeneral::SelectCanvasObjects()
{
    // A line to the current position draws nothing but selects pen and brush.
    const TPoint p = GetCanvas()->GetPenPos();
    GetCanvas()->LineTo(p.X, p.Y);
}

void TLumGraphicsContextGeneral::StartSpecialPen()
{
    TCanvas* canvas = GetCanvas();
    if (!canvas)
        return;
    TPen* pen = canvas->GetPen();
    if (FPrinting) {
        FOldPenStyle = pen->GetStyle();
        FOldPenWidth = pen->GetWidth();
        pen->SetStyle(psDot);
        pen->SetWidth(1);
        return;
    }
    if (FSpecialPen)
        return; // already started; a second pen would lose the first's handle
    SelectCanvasObjects();
    LOGBRUSH brush {};
    brush.lbStyle = BS_SOLID;
    brush.lbColor = COLORREF(ColorToRGB(pen->GetColor())) & 0xFFFFFF;
    FSpecialPen = ::ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &brush, 0, nullptr);
    if (FSpecialPen)
        FOldPenHandle = ::SelectObject(canvas->GetHandle(), FSpecialPen);
}

void TLumGraphicsContextGeneral::StopSpecialPen()
{
    TCanvas* canvas = GetCanvas();
    if (!canvas)
        return;
    if (FPrinting) {
        canvas->GetPen()->SetStyle(FOldPenStyle);
        canvas->GetPen()->SetWidth(FOldPenWidth);
        return;
    }
    if (!FSpecialPen)
        return;
    ::SelectObject(canvas->GetHandle(), FOldPenHandle);
    ::DeleteObject(FSpecialPen);
    FSpecialPen = nullptr;
    FOldPenHandle = nullptr;
}

// ---- paths ----

void TLumGraphicsContextGeneral::PathMoveTo(void*, const TPointF& APoint)
{
    if (GetCanvas())
        GetCanvas()->MoveTo(Pixel(APoint.X), Pixel(APoint.Y));
}

void TLumGraphicsContextGeneral::PathLineTo(void*, const TPointF& APoint)
{
    if (GetCanvas())
        GetCanvas()->LineTo(Pixel(APoint.X), Pixel(APoint.Y));
}

void TLumGraphicsContextGeneral::PathClose(void*)
{
    if (GetCanvas())
        ::CloseFigure(GetCanvas()->GetHandle());
}

// ---- outlines ----

void TLumGraphicsContextGeneral::DrawLine(TLumGraphicsStroke*, const TPointF& AFromPoint, const TPointF& AToPoint,
    TLumGraphicsModifyPointMode, TLumGraphicsModifyPointMode)
{
    TCanvas* canvas = GetCanvas();
    if (!canvas)
        return;
    TBrushClearGuard brush(canvas);
    canvas->MoveTo(Pixel(AFromPoint.X), Pixel(AFromPoint.Y));
    canvas->LineTo(Pixel(AToPoint.X), Pixel(AToPoint.Y));
}

void TLumGraphicsContextGeneral::DrawRect(TLumGraphicsStroke* AStroke, const TRectF& ARect, TLumGraphicsSides ASides,
    TLumGraphicsModifyRectMode)
{
    if (!GetCanvas())
        return;
    const TRect r = PixelRect(ARect);
    const auto line = [&](int x1, int y1, int x2, int y2) {
        DrawLine(AStroke, TPointF(float(x1), float(y1)), TPointF(float(x2), float(y2)), gcpmNone, gcpmNone);
    };
    if (ASides.Contains(gsTop))
        line(r.Left, r.Top, r.Right - 1, r.Top);
    if (ASides.Contains(gsLeft))
        line(r.Left, r.Top, r.Left, r.Bottom - 1);
    if (ASides.Contains(gsBottom))
        line(r.Left, r.Bottom - 1, r.Right - 1, r.Bottom - 1);
    // One pixel further, so the bottom-right corner pixel is drawn.
    if (ASides.Contains(gsRight))
        line(r.Right - 1, r.Top, r.Right - 1, r.Bottom);
}

void TLumGraphicsContextGeneral::DrawPolygon(TLumGraphicsStroke*, const TLumGraphicsPathPolygon& APolygon)
{
    if (!GetCanvas() || APolygon.empty())
        return;
    TBrushClearGuard brush(GetCanvas());
    GetCanvas()->Polygon(PixelPoints(APolygon));
}

void TLumGraphicsContextGeneral::DrawPolyline(TLumGraphicsStroke*, const TLumGraphicsPathPolygon& APolyline)
{
    if (!GetCanvas() || APolyline.empty())
        return;
    TBrushClearGuard brush(GetCanvas());
    GetCanvas()->Polyline(PixelPoints(APolyline));
}

void TLumGraphicsContextGeneral::DrawEllipse(TLumGraphicsStroke*, const TRectF& ARect, TLumGraphicsModifyRectMode)
{
    if (!GetCanvas())
        return;
    TBrushClearGuard brush(GetCanvas());
    GetCanvas()->Ellipse(PixelRect(ARect));
}

void TLumGraphicsContextGeneral::CanvasArc(const TPointF& ACenter, const TPointF& ARadius, float AStartAngle,
    float ASweepAngle, bool AChord)
{
    const double cx = ACenter.X, cy = ACenter.Y, rx = ARadius.X, ry = ARadius.Y;
    const double degree = std::numbers::pi / 180;
    const double a1 = -(double(AStartAngle) + ASweepAngle) * degree, a2 = -double(AStartAngle) * degree;
    const int l = FloorPixel(cx - rx), t = FloorPixel(cy - ry), r = FloorPixel(cx + rx), b = FloorPixel(cy + ry);
    const int x1 = FloorPixel(cx + rx * std::cos(a1)), y1 = FloorPixel(cy - ry * std::sin(a1));
    const int x2 = FloorPixel(cx + rx * std::cos(a2)), y2 = FloorPixel(cy - ry * std::sin(a2));
    if (AChord)
        GetCanvas()->Chord(l, t, r, b, x1, y1, x2, y2);
    else
        GetCanvas()->Arc(l, t, r, b, x1, y1, x2, y2);
}

void TLumGraphicsContextGeneral::DrawArc(TLumGraphicsStroke*, const TPointF& ACenter, const TPointF& ARadius,
    float AStartAngle, float ASweepAngle)
{
    if (!GetCanvas())
        return;
    TBrushClearGuard brush(GetCanvas());
    CanvasArc(ACenter, ARadius, AStartAngle, ASweepAngle, false);
}

void TLumGraphicsContextGeneral::CornerArc(int ACenterX, int ACenterY, int ARadius, float AStartAngle,
    float ASweepAngle)
{
    const double degree = std::numbers::pi / 180;
    const double a1 = -(double(AStartAngle) + ASweepAngle) * degree, a2 = -double(AStartAngle) * degree;
    GetCanvas()->Arc(ACenterX - ARadius, ACenterY - ARadius, ACenterX + ARadius, ACenterY + ARadius,
        ACenterX + Pixel(ARadius * std::cos(a1)), ACenterY - Pixel(ARadius * std::sin(a1)),
        ACenterX + Pixel(ARadius * std::cos(a2)), ACenterY - Pixel(ARadius * std::sin(a2)));
}

void TLumGraphicsContextGeneral::DrawRoundRect(TLumGraphicsStroke*, const TRectF& ARect, float ARounding,
    TLumGraphicsCorners ACorners, TLumGraphicsModifyRectMode)
{
    TCanvas* canvas = GetCanvas();
    if (!canvas)
        return;
    TBrushClearGuard brush(canvas);
    const TRect rc = PixelRect(ARect);
    const int e = Pixel(ARounding);
    const TLumGraphicsCorners all { gcTopLeft, gcTopRight, gcBottomLeft, gcBottomRight };
    if (ACorners == all) {
        canvas->RoundRect(rc, 2 * e, 2 * e);
        return;
    }
    if (ACorners.Empty()) {
        canvas->Rectangle(rc);
        return;
    }
    const int L = rc.Left, T = rc.Top, R = rc.Right - 1, B = rc.Bottom - 1, r = e - 1;
    if (ACorners.Contains(gcBottomLeft)) {
        canvas->MoveTo(L + r, B);
        CornerArc(L + r, B - r, r, -270, 90);
        canvas->MoveTo(L, B - r);
    } else {
        canvas->MoveTo(L, B);
    }
    if (ACorners.Contains(gcTopLeft)) {
        canvas->LineTo(L, T + r - 2);
        CornerArc(L + r, T + r, r, -180, 90);
        canvas->MoveTo(L + r, T);
    } else {
        canvas->LineTo(L, T);
    }
    if (ACorners.Contains(gcTopRight)) {
        canvas->LineTo(R - r, T);
        CornerArc(R - r, T + r, r, -90, 90);
        canvas->MoveTo(R, T + r);
    } else {
        canvas->LineTo(R, T);
    }
    if (ACorners.Contains(gcBottomRight)) {
        canvas->LineTo(R, B - r + 1);
        CornerArc(R - r, B - r + 1, r, 0, 90);
        canvas->MoveTo(R - r, B);
    } else {
        canvas->LineTo(R, B);
    }
    if (ACorners.Contains(gcBottomLeft))
        canvas->LineTo(L + r - 2, B);
    else
        canvas->LineTo(L, B);
}

void TLumGraphicsContextGeneral::DrawPath(TLumGraphicsStroke* AStroke, const TLumGraphicsPath* APath,
    TLumGraphicsPathDrawMode APathMode)
{
    TCanvas* canvas = GetCanvas();
    if (!canvas || !APath)
        return;
    if (APathMode == pdmPath) {
        TBrushClearGuard brush(canvas);
        SelectCanvasObjects();
        const HDC dc = canvas->GetHandle();
        ::BeginPath(dc);
        ConvertToPath(APath, PathFlatness);
        ::EndPath(dc);
        ::StrokePath(dc);
        ::AbortPath(dc);
        return;
    }
    DrawFlattenedPath(AStroke, *APath, APathMode);
}

void TLumGraphicsContextGeneral::DrawWithFocusPen(TColor AColor, const std::function<void()>& ADraw)
{
    TCanvas* canvas = GetCanvas();
    if (!canvas)
        return;
    TBrushClearGuard brush(canvas);
    canvas->GetPen()->SetColor(AColor);
    StartSpecialPen();
    ADraw();
    StopSpecialPen();
}

void TLumGraphicsContextGeneral::DrawFocusRectangle(TLumGraphicsStroke*, const TRectF& ARect, TColor AColor,
    TLumGraphicsModifyRectMode)
{
    DrawWithFocusPen(AColor, [&] { GetCanvas()->Rectangle(PixelRect(ARect)); });
}

void TLumGraphicsContextGeneral::DrawFocusPath(TLumGraphicsStroke* AStroke, const TLumGraphicsPath* APath,
    TColor AColor)
{
    DrawWithFocusPen(AColor, [&] { DrawPath(AStroke, APath, pdmPolygon); });
}

// ---- fills ----

void TLumGraphicsContextGeneral::FillRect(TLumGraphicsFill* AFill, const TRectF& ARect, TLumGraphicsModifyRectMode)
{
    TCanvas* canvas = GetCanvas();
    if (!canvas || !AFill)
        return;
    const TRect r = PixelRect(ARect);
    if (AFill->GetKind() == gfkGradient) {
        if (AFill->GetColor() == gcNull || AFill->GetColorTo() == gcNull)
            return;
        const TLumGraphicsFillOrientation orientation = AFill->GetOrientation();
        if (AFill->GetColorMirror() == gcNull || AFill->GetColorMirrorTo() == gcNull) {
            DrawGradientRect(canvas, AFill->GetColor(), AFill->GetColorTo(), orientation == gfoHorizontal, 0, 0, r);
            return;
        }
        if (orientation == gfoHorizontal) {
            const int mid = r.Left + (r.Right - r.Left) / 2;
            DrawGradientRect(canvas, AFill->GetColor(), AFill->GetColorTo(), true, 0, 0, { r.Left, r.Top, mid, r.Bottom });
            DrawGradientRect(canvas, AFill->GetColorMirror(), AFill->GetColorMirrorTo(), true, 0, 0,
                { mid, r.Top, r.Right, r.Bottom });
        } else if (orientation == gfoVertical) {
            const int mid = r.Top + (r.Bottom - r.Top) / 2;
            DrawGradientRect(canvas, AFill->GetColor(), AFill->GetColorTo(), false, 0, 0, { r.Left, r.Top, r.Right, mid });
            DrawGradientRect(canvas, AFill->GetColorMirror(), AFill->GetColorMirrorTo(), false, 0, 0,
                { r.Left, mid, r.Right, r.Bottom });
        }
        return;
    }
    if (AFill->GetKind() == gfkSolid && AFill->GetColor() != gcNull) {
        TPenClearGuard pen(canvas);
        canvas->Rectangle(r);
    }
}

void TLumGraphicsContextGeneral::FillRoundRect(TLumGraphicsFill* AFill, const TRectF& ARect, float ARounding,
    TLumGraphicsCorners ACorners, TLumGraphicsModifyRectMode)
{
    TCanvas* canvas = GetCanvas();
    if (!canvas || !AFill)
        return;
    const TRect rc = PixelRect(ARect);
    const int L = rc.Left, T = rc.Top, R = rc.Right, B = rc.Bottom;
    const int corners = CornerBits(ACorners);
    const bool horizontal = AFill->GetOrientation() == gfoHorizontal;
    if (AFill->GetKind() != gfkGradient) {
        if (AFill->GetKind() == gfkSolid && AFill->GetColor() != gcNull)
            DrawGradientRect(canvas, AFill->GetColor(), AFill->GetColor(), horizontal, corners, ARounding, rc);
        return;
    }
    if (AFill->GetColor() == gcNull || AFill->GetColorTo() == gcNull)
        return;
    if (AFill->GetColorMirror() == gcNull || AFill->GetColorMirrorTo() == gcNull) {
        DrawGradientRect(canvas, AFill->GetColor(), AFill->GetColorTo(), horizontal, corners, ARounding,
            { L, T, R - 1, B - 1 });
        return;
    }
    switch (AFill->GetOrientation()) {
    case gfoVertical: {
        const int mid = T + (B - 1 - T) / 2;
        DrawGradientRect(canvas, AFill->GetColor(), AFill->GetColorTo(), false, corners & 3, ARounding,
            { L, T, R - 1, mid });
        DrawGradientRect(canvas, AFill->GetColorMirror(), AFill->GetColorMirrorTo(), false, corners & 12, ARounding,
            { L, mid, R - 1, B - 1 });
        break;
    }
    case gfoHorizontal: {
        // Both halves end at the inner rectangle's bottom, so the left one
        // does not run a pixel below the right one.
        const int mid = L + (R - 1 - L) / 2;
        DrawGradientRect(canvas, AFill->GetColor(), AFill->GetColorTo(), true, corners & 5, ARounding,
            { L, T, mid, B - 1 });
        DrawGradientRect(canvas, AFill->GetColorMirror(), AFill->GetColorMirrorTo(), true, corners & 10, ARounding,
            { mid, T, R - 1, B - 1 });
        break;
    }
    case gfoCustom: break;
    }
}

void TLumGraphicsContextGeneral::FillEllipse(TLumGraphicsFill*, const TRectF& ARect, TLumGraphicsModifyRectMode)
{
    if (!GetCanvas())
        return;
    TPenClearGuard pen(GetCanvas());
    GetCanvas()->Ellipse(PixelRect(ARect));
}

void TLumGraphicsContextGeneral::FillPolygon(TLumGraphicsFill*, const TLumGraphicsPathPolygon& APolygon)
{
    if (!GetCanvas() || APolygon.empty())
        return;
    TPenClearGuard pen(GetCanvas());
    GetCanvas()->Polygon(PixelPoints(APolygon));
}

// Filled as a closed polygon, as the GDI+ context does.
void TLumGraphicsContextGeneral::FillPolyline(TLumGraphicsFill* AFill, const TLumGraphicsPathPolygon& APolyline)
{
    FillPolygon(AFill, APolyline);
}

// The arc closed by its chord, as the GDI+ context fills it.
void TLumGraphicsContextGeneral::FillArc(TLumGraphicsFill*, const TPointF& ACenter, const TPointF& ARadius,
    float AStartAngle, float ASweepAngle)
{
    if (!GetCanvas())
        return;
    TPenClearGuard pen(GetCanvas());
    CanvasArc(ACenter, ARadius, AStartAngle, ASweepAngle, true);
}

void TLumGraphicsContextGeneral::FillPath(TLumGraphicsFill* AFill, const TLumGraphicsPath* APath,
    TLumGraphicsPathDrawMode APathMode)
{
    TCanvas* canvas = GetCanvas();
    if (!canvas || !APath)
        return;
    if (APathMode == pdmPath) {
        SelectCanvasObjects();
        const HDC dc = canvas->GetHandle();
        ::BeginPath(dc);
        ConvertToPath(APath, PathFlatness);
        ::EndPath(dc);
        ::FillPath(dc);
        ::AbortPath(dc);
        return;
    }
    FillFlattenedPath(AFill, *APath, APathMode);
}

// ---- pictures and clipping ----

void TLumGraphicsContextGeneral::DrawBitmap(TGraphic* ABitmap, const TRectF&, const TRectF& ADstRect, float)
{
    if (!GetCanvas() || !ABitmap)
        return;
    const int l = Pixel(ADstRect.Left), t = Pixel(ADstRect.Top);
    GetCanvas()->StretchDraw({ l, t, l + Pixel(ADstRect.Width()), t + Pixel(ADstRect.Height()) }, ABitmap);
}

void TLumGraphicsContextGeneral::ClipRect(const TRectF& ARect)
{
    if (!GetCanvas())
        return;
    const TRect r = PixelRect(ARect);
    ::IntersectClipRect(GetCanvas()->GetHandle(), r.Left, r.Top, r.Right, r.Bottom);
}

void TLumGraphicsContextGeneral::ClipPath(const TLumGraphicsPath* APath)
{
    if (APath)
        ClipRect(APath->GetBounds());
}

// ---- text ----

TTextFormat TLumGraphicsContextGeneral::TextFormat(bool AWordWrapping) const
{
    TTextFormat format;
    format.Include(AWordWrapping ? tfWordBreak : tfSingleLine);
    if (!FShowAcceleratorChar)
        format.Include(tfNoPrefix);
    return format;
}

TRectF TLumGraphicsContextGeneral::CalculateText(const String& AText, const TRectF& ARect, bool AWordWrapping)
{
    if (!GetCanvas())
        return {};
    TRect r = PixelRect(ARect);
    String text = AText;
    TTextFormat format = TextFormat(AWordWrapping);
    format.Include(tfCalcRect);
    GetCanvas()->TextRect(r, text, format);
    return { float(r.Left), float(r.Top), float(r.Right), float(r.Bottom) };
}

void TLumGraphicsContextGeneral::DrawText(const String& AText, const TRectF& ARect, bool AWordWrapping,
    TLumGraphicsTextAlign AHorizontalAlign, TLumGraphicsTextAlign AVerticalAlign, TLumGraphicsTextTrimming ATrimming,
    float AAngle)
{
    TCanvas* canvas = GetCanvas();
    if (!canvas)
        return;
    TBrushClearGuard brush(canvas);
    TRect r = PixelRect(ARect);
    if (AAngle != 0) {
        DrawRotatedText(AText, r, AHorizontalAlign, AVerticalAlign, AAngle);
        return;
    }
    TTextFormat format = TextFormat(AWordWrapping);
    switch (AHorizontalAlign) {
    case gtaCenter: format.Include(tfCenter); break;
    case gtaLeading: format.Include(tfLeft); break;
    case gtaTrailing: format.Include(tfRight); break;
    }
    switch (AVerticalAlign) {
    case gtaCenter: format.Include(tfVerticalCenter); break;
    case gtaLeading: format.Include(tfTop); break;
    case gtaTrailing: format.Include(tfBottom); break;
    }
    if (ATrimming == gttCharacter)
        format.Include(tfEndEllipsis);
    else if (ATrimming == gttWord)
        format.Include(tfWordEllipsis);
    if (AWordWrapping) {
        // The platform centres and bottom-aligns single lines only.
        const TRectF measured = CalculateText(AText, ARect, true);
        const int h = Pixel(measured.Height());
        if (AVerticalAlign == gtaCenter) {
            r.Top += std::max(0, (r.Bottom - r.Top - h) / 2);
            r.Bottom = std::max(0, std::min(Pixel(ARect.Bottom), r.Top + h));
        } else if (AVerticalAlign == gtaTrailing) {
            r.Top = r.Bottom - h;
        }
    }
    String text = AText;
    canvas->TextRect(r, text, format);
}

void TLumGraphicsContextGeneral::DrawRotatedText(const String& AText, const TRect& ARect,
    TLumGraphicsTextAlign AHorizontalAlign, TLumGraphicsTextAlign AVerticalAlign, float AAngle)
{
    TCanvas* canvas = GetCanvas();
    TFont* font = canvas->GetFont();
    const int oldOrientation = font->GetOrientation();
    font->SetOrientation(Pixel(-10.0 * AAngle));
    const double tw = canvas->TextWidth(AText), th = canvas->TextHeight(AText);
    const double L = ARect.Left, T = ARect.Top, W = ARect.Right - ARect.Left, H = ARect.Bottom - ARect.Top;
    double x = 0, y = 0;
    if (AAngle <= 0) {
        switch (AHorizontalAlign) {
        case gtaCenter: y = T + (H - tw) / 2 + tw; break;
        case gtaLeading: y = T + H; break;
        case gtaTrailing: y = T + tw; break;
        }
        switch (AVerticalAlign) {
        case gtaCenter: x = L + W / 2 - th / 2; break;
        case gtaLeading: x = L; break;
        case gtaTrailing: x = L + W - th; break;
        }
    } else {
        switch (AHorizontalAlign) {
        case gtaCenter: y = T + (H - tw) / 2; break;
        case gtaLeading: y = T; break;
        case gtaTrailing: y = T + H - tw; break;
        }
        switch (AVerticalAlign) {
        case gtaCenter: x = L + W / 2 + th / 2; break;
        case gtaLeading: x = L + W; break;
        case gtaTrailing: x = L + th; break;
        }
    }
    canvas->TextOut(Pixel(x), Pixel(y), AText);
    font->SetOrientation(oldOrientation);
}

QT_PUBLISHED(TLumGraphicsContextGeneral)

TLumGraphicsContextClass GeneralContextClass() { return &CreateContext<TLumGraphicsContextGeneral>; }
