#include "graphics/LumGraphicsContextWin.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <new>
#include <vector>

#include "foundation/VuzErazs.h"
#include "graphics/LumGDIPlusClassesImages.h"
#include "platform/gdiplus/Stream.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"

using namespace LumGDIPlusClasses;

namespace {

TGPPointF GP(const TPointF& P) { return { P.X, P.Y }; }

std::vector<TGPPointF> GPPoints(const TLumGraphicsPathPolygon& APolygon)
{
    std::vector<TGPPointF> points;
    points.reserve(APolygon.size());
    for (const TPointF& p : APolygon)
        points.push_back(GP(p));
    return points;
}

StringAlignment GPAlignment(TLumGraphicsTextAlign AAlign)
{
    switch (AAlign) {
    case gtaCenter: return StringAlignmentCenter;
    case gtaTrailing: return StringAlignmentFar;
    case gtaLeading: break;
    }
    return StringAlignmentNear;
}

struct TGradientStops {
    std::vector<ARGB> Colors;
    std::vector<float> Positions;
    void Add(ARGB AColor, float APosition)
    {
        Colors.push_back(AColor);
        Positions.push_back(APosition);
    }
};

// The stops of a gradient fill, in the order of the fill.
TGradientStops GradientStops(const TLumGraphicsFill& AFill)
{
    TGradientStops stops;
    const float opacity = AFill.GetOpacity();
    if (AFill.GetGradientMode() == gfgmDefault) {
        stops.Add(TLumGraphicsContextWin::MakeGPColor(AFill.GetColor(), opacity), 0);
        if (AFill.GetColorMirror() == gcNull || AFill.GetColorMirrorTo() == gcNull) {
            stops.Add(TLumGraphicsContextWin::MakeGPColor(AFill.GetColorTo(), opacity), 1);
        } else {
            stops.Add(TLumGraphicsContextWin::MakeGPColor(AFill.GetColorTo(), opacity), 0.5f);
            stops.Add(TLumGraphicsContextWin::MakeGPColor(AFill.GetColorMirror(), opacity), 0.5f);
            stops.Add(TLumGraphicsContextWin::MakeGPColor(AFill.GetColorMirrorTo(), opacity), 1);
        }
        return stops;
    }
    const TLumGraphicsFillGradientItems* items = AFill.GetGradientItems();
    const int count = items ? items->GetCount() : 0;
    if (count == 0)
        return stops;
    bool atStart = false, atEnd = false;
    for (int i = 0; i < count; ++i) {
        atStart = atStart || items->GetItems(i)->GetPosition() == 0.0f;
        atEnd = atEnd || items->GetItems(i)->GetPosition() == 1.0f;
    }
    const auto colorOf = [](const TLumGraphicsFillGradientItem* AItem) {
        return TLumGraphicsContextWin::MakeGPColor(AItem->GetColor(), AItem->GetOpacity());
    };
    if (!atStart)
        stops.Add(colorOf(items->GetItems(0)), 0);
    for (int i = 0; i < count; ++i)
        stops.Add(colorOf(items->GetItems(i)), items->GetItems(i)->GetPosition());
    if (!atEnd)
        stops.Add(colorOf(items->GetItems(count - 1)), 1);
    return stops;
}

} // namespace

// Switches anti-aliasing off for one call and puts the surface's mode back
// afterwards; each guard keeps the mode it found, so guards may nest.
class TLumGraphicsContextWin::TSmoothingGuard {
public:
    TSmoothingGuard(TGPGraphics* AGraphics, bool AActive, int AMode) : FGraphics(AActive ? AGraphics : nullptr)
    {
        if (!FGraphics)
            return;
        FSaved = FGraphics->GetSmoothingMode();
        FGraphics->SetSmoothingMode(AMode);
    }
    ~TSmoothingGuard()
    {
        if (FGraphics)
            FGraphics->SetSmoothingMode(FSaved);
    }
    TSmoothingGuard(const TSmoothingGuard&) = delete;
    TSmoothingGuard& operator=(const TSmoothingGuard&) = delete;

private:
    TGPGraphics* FGraphics { nullptr };
    int FSaved { SmoothingModeDefault };
};

TLumGraphicsContextWin::TLumGraphicsContextWin(TLumGraphics* AGraphics, TCanvas* ACanvas)
    : TLumGraphicsContext(AGraphics, ACanvas)
{
    FScale = TVuzErazs::GetDPIScale(nullptr, -1);
    FFont = std::make_unique<TLumGraphicsFont>();
    FFont->OnChanged = [this](TObject* Sender) { FontChanged(Sender); };
    FStroke = std::make_unique<TLumGraphicsStroke>(gskSolid, 0xC0C0C0);
    FStroke->OnChanged = [this](TObject* Sender) { StrokeChanged(Sender); };
    FFill = std::make_unique<TLumGraphicsFill>(gfkSolid, 0xFFFFFF, 0x808080, gcNull, gcNull);
    FFill->OnChanged = [this](TObject* Sender) { FillChanged(Sender); };
}

TLumGraphicsContextWin::~TLumGraphicsContextWin()
{
    Render();
    FFont->OnChanged = nullptr;
    FStroke->OnChanged = nullptr;
    FFill->OnChanged = nullptr;
    FTextMatrix.reset();
    FGPPen.reset();
    FGPBrush.reset();
    FGPFont.reset();
    ReleaseSurface();
}

ARGB TLumGraphicsContextWin::MakeGPColor(TColor AColor, float AOpacity)
{
    const TColor rgb = ColorToRGB(AColor);
    const double alpha = std::clamp(double(AOpacity), 0.0, 1.0) * 255;
    return MakeColor(Byte(RoundHalfEven(alpha)), Byte(rgb & 0xFF), Byte((rgb >> 8) & 0xFF), Byte((rgb >> 16) & 0xFF));
}

// ---- surface ----

void* TLumGraphicsContextWin::GetNativeCanvas() { return FGPGraphics.get(); }

void TLumGraphicsContextWin::SetSize(float AWidth, float AHeight)
{
    FContextSize = { AWidth, AHeight };
    ReleaseSurface();
    TCanvas* canvas = GetCanvas();
    if (!canvas)
        return;
    FGPGraphics = std::make_unique<TGPGraphics>(canvas->GetHandle());
    FSaveGP = FGPGraphics->Save();
}

void TLumGraphicsContextWin::ReleaseSurface()
{
    if (!FGPGraphics)
        return;
    FGPGraphics->Restore(FSaveGP);
    FGPGraphics.reset();
}

void TLumGraphicsContextWin::Render()
{
    if (!FNeedsRendering)
        return;
    FNeedsRendering = false;
    ReleaseSurface();
}

void TLumGraphicsContextWin::EndScene()
{
    if (FGPGraphics)
        Render();
}

void TLumGraphicsContextWin::RestartBaseState()
{
    FGPGraphics->Restore(FSaveGP);
    FSaveGP = FGPGraphics->Save();
}

void TLumGraphicsContextWin::SetScale(float AScale) { FScale = AScale; }

void TLumGraphicsContextWin::SetShowAcceleratorChar(bool AShowAcceleratorChar)
{
    if (FGPGraphics)
        FShowAcceleratorChar = AShowAcceleratorChar;
}

void TLumGraphicsContextWin::SetTextQuality(TLumGraphicsTextQuality ATextQuality)
{
    if (!FGPGraphics)
        return;
    FGPGraphics->Restore(FSaveGP);
    switch (ATextQuality) {
    case gtqDefault: FGPGraphics->SetTextRenderingHint(TextRenderingHintSystemDefault); break;
    case gtqAntiAliasing: FGPGraphics->SetTextRenderingHint(TextRenderingHintAntiAlias); break;
    case gtqClearType: FGPGraphics->SetTextRenderingHint(TextRenderingHintClearTypeGridFit); break;
    }
    FSaveGP = FGPGraphics->Save();
}

void TLumGraphicsContextWin::SetAntiAliasing(bool AAntiAliasing)
{
    if (!FGPGraphics)
        return;
    FGPGraphics->Restore(FSaveGP);
    FGPGraphics->SetSmoothingMode(AAntiAliasing ? SmoothingModeAntiAlias : SmoothingModeDefault);
    FSaveGP = FGPGraphics->Save();
}

void TLumGraphicsContextWin::RestoreState(TLumGraphicsSaveState* AState)
{
    if (FGPGraphics && AState)
        FGPGraphics->Restore(UINT(AState->GetCustomSaveDC()));
}

void TLumGraphicsContextWin::SaveState(TLumGraphicsSaveState* AState)
{
    if (FGPGraphics && AState)
        AState->SetCustomSaveDC(FGPGraphics->Save());
}

// ---- transforms and clipping ----

TLumGraphicsMatrix TLumGraphicsContextWin::GetMatrix()
{
    TLumGraphicsMatrix m = MatrixIdentity();
    if (!FGPGraphics)
        return m;
    TGPMatrix transform;
    TMatrixArray e {};
    if (FGPGraphics->GetTransform(&transform) != Ok || transform.GetElements(e) != Ok)
        return m;
    m.m11 = e[0];
    m.m12 = e[1];
    m.m21 = e[2];
    m.m22 = e[3];
    m.m31 = e[4];
    m.m32 = e[5];
    return m;
}

void TLumGraphicsContextWin::SetMatrix(const TLumGraphicsMatrix& AMatrix)
{
    if (!FGPGraphics)
        return;
    TGPMatrix m(AMatrix.m11, AMatrix.m12, AMatrix.m21, AMatrix.m22, AMatrix.m31, AMatrix.m32);
    FGPGraphics->SetTransform(&m);
}

void TLumGraphicsContextWin::ResetTransform()
{
    if (FGPGraphics)
        RestartBaseState();
}

void TLumGraphicsContextWin::ScaleTransform(float AX, float AY)
{
    if (FGPGraphics)
        FGPGraphics->ScaleTransform(AX, AY, MatrixOrderPrepend);
}

void TLumGraphicsContextWin::RotateTransform(float AAngle)
{
    if (FGPGraphics)
        FGPGraphics->RotateTransform(AAngle, MatrixOrderPrepend);
}

void TLumGraphicsContextWin::TranslateTransform(float AX, float AY)
{
    if (FGPGraphics)
        FGPGraphics->TranslateTransform(AX, AY, MatrixOrderPrepend);
}

void TLumGraphicsContextWin::ResetClip()
{
    if (FGPGraphics)
        FGPGraphics->ResetClip();
}

void TLumGraphicsContextWin::ClipRect(const TRectF& ARect)
{
    if (FGPGraphics)
        FGPGraphics->SetClip(TGPRectF { ARect.Left, ARect.Top, ARect.Width(), ARect.Height() }, CombineModeReplace);
}

void TLumGraphicsContextWin::ClipPath(const TLumGraphicsPath* APath)
{
    if (!FGPGraphics)
        return;
    std::unique_ptr<TGPGraphicsPath> path(static_cast<TGPGraphicsPath*>(ConvertToPath(APath, PathFlatness)));
    FGPGraphics->SetClip(path.get(), CombineModeReplace);
}

// ---- native paths ----

void* TLumGraphicsContextWin::CreatePath() { return new TGPGraphicsPath(FillModeAlternate); }

void TLumGraphicsContextWin::FreePath(void* APath) { delete static_cast<TGPGraphicsPath*>(APath); }

void TLumGraphicsContextWin::PathOpen(void* APath)
{
    if (APath)
        static_cast<TGPGraphicsPath*>(APath)->StartFigure();
}

void TLumGraphicsContextWin::PathMoveTo(void*, const TPointF& APoint) { FMovePoint = APoint; }

void TLumGraphicsContextWin::PathLineTo(void* APath, const TPointF& APoint)
{
    if (APath)
        static_cast<TGPGraphicsPath*>(APath)->AddLine(GP(FMovePoint), GP(APoint));
    FMovePoint = APoint;
}

void TLumGraphicsContextWin::PathClose(void* APath)
{
    if (APath)
        static_cast<TGPGraphicsPath*>(APath)->CloseFigure();
}

// ---- state ----

TColor TLumGraphicsContextWin::GetFillColor() { return FFill->GetColor(); }

void TLumGraphicsContextWin::SetFontSize(int ASize)
{
    if (FGPGraphics)
        FFont->SetSize(ASize);
}

void TLumGraphicsContextWin::SetFontColor(TColor AColor)
{
    if (FGPGraphics)
        FFont->SetColor(AColor);
}

void TLumGraphicsContextWin::SetFontName(const String& AName)
{
    if (FGPGraphics)
        FFont->SetName(AName);
}

void TLumGraphicsContextWin::SetFont(TLumGraphicsFont* AFont)
{
    if (FGPGraphics && AFont)
        FFont->Assign(AFont);
}

void TLumGraphicsContextWin::SetFontStyles(TFontStyles AStyle)
{
    if (FGPGraphics)
        FFont->SetStyle(AStyle);
}

void TLumGraphicsContextWin::SetFill(TLumGraphicsFill* AFill)
{
    if (FGPGraphics && AFill)
        FFill->Assign(AFill);
}

void TLumGraphicsContextWin::SetFillKind(TLumGraphicsFillKind AKind)
{
    if (FGPGraphics)
        FFill->SetKind(AKind);
}

void TLumGraphicsContextWin::SetFillColor(TColor AColor)
{
    if (FGPGraphics)
        FFill->SetColor(AColor);
}

void TLumGraphicsContextWin::SetStroke(TLumGraphicsStroke* AStroke)
{
    if (FGPGraphics && AStroke)
        FStroke->Assign(AStroke);
}

void TLumGraphicsContextWin::SetStrokeKind(TLumGraphicsStrokeKind AKind)
{
    if (FGPGraphics)
        FStroke->SetKind(AKind);
}

void TLumGraphicsContextWin::SetStrokeColor(TColor AColor)
{
    if (FGPGraphics)
        FStroke->SetColor(AColor);
}

void TLumGraphicsContextWin::SetStrokeWidth(float AWidth)
{
    if (FGPGraphics)
        FStroke->SetWidth(AWidth);
}

void TLumGraphicsContextWin::FillChanged(TObject*)
{
    TGPGraphicsPath path(FillModeAlternate);
    path.AddRectangle(TGPRectF { 0, 0, FContextSize.cx, FContextSize.cy });
    UpdateBrush(&path);
}

void TLumGraphicsContextWin::StrokeChanged(TObject*) { CreateGPPen(); }

void TLumGraphicsContextWin::FontChanged(TObject*) { CreateGPFont(); }

void TLumGraphicsContextWin::CreateGPPen()
{
    FGPPen = std::make_unique<TGPPen>(MakeGPColor(FStroke->GetColor(), FStroke->GetOpacity()), FStroke->GetWidth());
    switch (FStroke->GetKind()) {
    case gskSolid: FGPPen->SetDashStyle(DashStyleSolid); break;
    case gskDash: FGPPen->SetDashStyle(DashStyleDash); break;
    case gskDot: FGPPen->SetDashStyle(DashStyleDot); break;
    case gskDashDot: FGPPen->SetDashStyle(DashStyleDashDot); break;
    case gskDashDotDot: FGPPen->SetDashStyle(DashStyleDashDotDot); break;
    case gskNone: break;
    }
    FGPPen->SetLineCap(LineCapFlat, LineCapFlat, DashCapFlat);
    FGPPen->SetLineJoin(LineJoinMiterClipped);
    FGPPen->SetMiterLimit(4.0f);
}

void TLumGraphicsContextWin::CreateGPFont()
{
    String name = FFont->GetName();
    if (name.empty() || UpperCase(name) == u"DEFAULT")
        name = u"Arial";
    const int size = FFont->GetSize();
    int style = FontStyleRegular;
    const TFontStyles styles = FFont->GetStyle();
    if (styles.Contains(fsBold))
        style |= FontStyleBold;
    if (styles.Contains(fsItalic))
        style |= FontStyleItalic;
    if (styles.Contains(fsUnderline))
        style |= FontStyleUnderline;
    if (styles.Contains(fsStrikeOut))
        style |= FontStyleStrikeout;
    FGPFont = std::make_unique<TGPFont>(name, float(size == 0 ? 8 : size), style, UnitPoint, nullptr);
}

std::unique_ptr<TGPSolidBrush> TLumGraphicsContextWin::CreateGPFontBrush() const
{
    return std::make_unique<TGPSolidBrush>(MakeGPColor(FFont->GetColor(), 1.0f));
}

std::unique_ptr<TGPStringFormat> TLumGraphicsContextWin::CreateGPStringFormat(TLumGraphicsTextAlign AHorizontalAlign,
    TLumGraphicsTextAlign AVerticalAlign, bool AWordWrapping, bool AShowAccelerator,
    TLumGraphicsTextTrimming ATrimming) const
{
    auto format = std::make_unique<TGPStringFormat>(0, 0);
    format->SetAlignment(GPAlignment(AHorizontalAlign));
    format->SetLineAlignment(GPAlignment(AVerticalAlign));
    format->SetFormatFlags(AWordWrapping ? StringFormatFlagsNoClip
                                         : (StringFormatFlagsNoClip | StringFormatFlagsNoWrap));
    switch (ATrimming) {
    case gttCharacter: format->SetTrimming(StringTrimmingCharacter); break;
    case gttWord: format->SetTrimming(StringTrimmingWord); break;
    case gttNone: break;
    }
    format->SetHotkeyPrefix(AShowAccelerator ? HotkeyPrefixShow : HotkeyPrefixNone);
    return format;
}

std::unique_ptr<TGPBrush> TLumGraphicsContextWin::CreateGPBrush(const TLumGraphicsFill* AFill,
    const TGPGraphicsPath* APath) const
{
    switch (AFill->GetKind()) {
    case gfkSolid: return std::make_unique<TGPSolidBrush>(MakeGPColor(AFill->GetColor(), AFill->GetOpacity()));
    case gfkNone: return std::make_unique<TGPSolidBrush>(MakeColor(0, 0, 0, 0));
    case gfkTexture: return nullptr; // the drawing API paints textures itself
    case gfkGradient: break;
    }
    TGPRectF bounds;
    APath->GetBounds(bounds);
    bounds = { bounds.X - 1, bounds.Y - 1, bounds.Width + 2, bounds.Height + 2 };
    const float opacity = AFill->GetOpacity();
    const ARGB from = MakeGPColor(AFill->GetColor(), opacity), to = MakeGPColor(AFill->GetColorTo(), opacity);
    const TGradientStops stops = GradientStops(*AFill);
    const int count = int(stops.Colors.size());
    if (AFill->GetGradientType() == gfgtRadial) {
        auto brush = std::make_unique<TGPPathGradientBrush>(APath);
        if (AFill->GetGradientCenterColor() != gcNull)
            brush->SetCenterColor(MakeGPColor(AFill->GetGradientCenterColor(), opacity));
        brush->SetCenterPoint(GP(AFill->GetGradientCenterPoint()));
        if (count > 0) {
            // A path gradient runs from the outline inwards: the stops reversed.
            std::vector<ARGB> colors(size_t(count), 0);
            std::vector<float> positions(size_t(count), 0);
            for (int i = 0; i < count; ++i) {
                colors[size_t(i)] = stops.Colors[size_t(count - 1 - i)];
                positions[size_t(i)] = 1 - stops.Positions[size_t(count - 1 - i)];
            }
            brush->SetInterpolationColors(colors.data(), positions.data(), count);
        }
        return brush;
    }
    std::unique_ptr<TGPLinearGradientBrush> brush;
    switch (AFill->GetOrientation()) {
    case gfoHorizontal:
        brush = std::make_unique<TGPLinearGradientBrush>(bounds, from, to, LinearGradientModeHorizontal);
        break;
    case gfoVertical:
        brush = std::make_unique<TGPLinearGradientBrush>(bounds, from, to, LinearGradientModeVertical);
        break;
    case gfoCustom:
        brush = std::make_unique<TGPLinearGradientBrush>(bounds, from, to, AFill->GetGradientAngle(), false);
        break;
    }
    if (count > 0)
        brush->SetInterpolationColors(stops.Colors.data(), stops.Positions.data(), count);
    return brush;
}

void TLumGraphicsContextWin::UpdateBrush(const TGPGraphicsPath* APath)
{
    FGPBrush.reset();
    FGPBrush = CreateGPBrush(FFill.get(), APath);
}

void TLumGraphicsContextWin::FillNativePath(const TGPGraphicsPath* APath)
{
    UpdateBrush(APath);
    if (FGPBrush)
        FGPGraphics->FillPath(FGPBrush.get(), APath);
}

bool TLumGraphicsContextWin::PenIsDashed() const { return FGPPen && FGPPen->GetDashStyle() != DashStyleSolid; }

// ---- outlines ----

void TLumGraphicsContextWin::DrawLine(TLumGraphicsStroke*, const TPointF& AFromPoint, const TPointF& AToPoint,
    TLumGraphicsModifyPointMode, TLumGraphicsModifyPointMode)
{
    if (!FGPGraphics)
        return;
    TSmoothingGuard guard(FGPGraphics.get(), PenIsDashed(), SmoothingModeDefault);
    FGPGraphics->DrawLine(FGPPen.get(), GP(AFromPoint), GP(AToPoint));
}

void TLumGraphicsContextWin::DrawPolygon(TLumGraphicsStroke*, const TLumGraphicsPathPolygon& APolygon)
{
    if (!FGPGraphics || APolygon.empty())
        return;
    const std::vector<TGPPointF> points = GPPoints(APolygon);
    TSmoothingGuard guard(FGPGraphics.get(), PenIsDashed(), SmoothingModeDefault);
    FGPGraphics->DrawPolygon(FGPPen.get(), points.data(), int(points.size()));
}

void TLumGraphicsContextWin::DrawPolyline(TLumGraphicsStroke*, const TLumGraphicsPathPolygon& APolyline)
{
    if (!FGPGraphics || APolyline.empty())
        return;
    const std::vector<TGPPointF> points = GPPoints(APolyline);
    TSmoothingGuard guard(FGPGraphics.get(), PenIsDashed(), SmoothingModeDefault);
    FGPGraphics->DrawLines(FGPPen.get(), points.data(), int(points.size()));
}

void TLumGraphicsContextWin::DrawArc(TLumGraphicsStroke*, const TPointF& ACenter, const TPointF& ARadius,
    float AStartAngle, float ASweepAngle)
{
    if (!FGPGraphics)
        return;
    TSmoothingGuard guard(FGPGraphics.get(), PenIsDashed(), SmoothingModeDefault);
    FGPGraphics->DrawArc(FGPPen.get(), ACenter.X - ARadius.X, ACenter.Y - ARadius.Y, 2 * ARadius.X, 2 * ARadius.Y,
        AStartAngle, ASweepAngle);
}

void TLumGraphicsContextWin::DrawRect(TLumGraphicsStroke* AStroke, const TRectF& ARect, TLumGraphicsSides ASides,
    TLumGraphicsModifyRectMode)
{
    if (!FGPGraphics)
        return;
    const float l = ARect.Left, t = ARect.Top, r = ARect.Right - 1, b = ARect.Bottom - 1;
    if (ASides.Contains(gsTop))
        DrawLine(AStroke, { l, t }, { r, t }, gcpmNone, gcpmNone);
    if (ASides.Contains(gsLeft))
        DrawLine(AStroke, { l, t }, { l, b }, gcpmNone, gcpmNone);
    if (ASides.Contains(gsBottom))
        DrawLine(AStroke, { l, b }, { r, b }, gcpmNone, gcpmNone);
    if (ASides.Contains(gsRight))
        DrawLine(AStroke, { r, t }, { r, b }, gcpmNone, gcpmNone);
}

void TLumGraphicsContextWin::DrawRoundRect(TLumGraphicsStroke* AStroke, const TRectF& ARect, float ARounding,
    TLumGraphicsCorners ACorners, TLumGraphicsModifyRectMode)
{
    if (!FGPGraphics)
        return;
    TLumGraphicsPath path;
    AddRoundRectPath(path, { ARect.Left, ARect.Top, ARect.Right - 1, ARect.Bottom - 1 }, ARounding, ACorners);
    DrawPath(AStroke, &path, pdmPolygon);
}

void TLumGraphicsContextWin::DrawEllipse(TLumGraphicsStroke*, const TRectF& ARect, TLumGraphicsModifyRectMode)
{
    if (!FGPGraphics)
        return;
    TSmoothingGuard guard(FGPGraphics.get(), PenIsDashed(), SmoothingModeDefault);
    FGPGraphics->DrawEllipse(FGPPen.get(), ARect.Left, ARect.Top, ARect.Width() - 1, ARect.Height() - 1);
}

void TLumGraphicsContextWin::DrawPath(TLumGraphicsStroke* AStroke, const TLumGraphicsPath* APath,
    TLumGraphicsPathDrawMode APathMode)
{
    if (!FGPGraphics || !APath)
        return;
    if (APathMode == pdmPath) {
        std::unique_ptr<TGPGraphicsPath> path(static_cast<TGPGraphicsPath*>(ConvertToPath(APath, PathFlatness)));
        TSmoothingGuard guard(FGPGraphics.get(), PenIsDashed(), SmoothingModeDefault);
        FGPGraphics->DrawPath(FGPPen.get(), path.get());
        return;
    }
    DrawFlattenedPath(AStroke, *APath, APathMode);
}

void TLumGraphicsContextWin::DrawWithFocusPen(TColor AColor, const std::function<void()>& ADraw)
{
    if (!FGPGraphics || !FGPPen)
        return;
    TSmoothingGuard guard(FGPGraphics.get(), true, SmoothingModeNone);
    const DashStyle dash = FGPPen->GetDashStyle();
    const float width = FGPPen->GetWidth();
    ARGB color = 0;
    FGPPen->GetColor(color);
    FGPPen->SetDashStyle(DashStyleDot);
    FGPPen->SetWidth(1);
    FGPPen->SetColor(MakeGPColor(AColor, 1.0f));
    ADraw();
    FGPPen->SetWidth(width);
    FGPPen->SetDashStyle(dash);
    FGPPen->SetColor(color);
}

void TLumGraphicsContextWin::DrawFocusRectangle(TLumGraphicsStroke* AStroke, const TRectF& ARect, TColor AColor,
    TLumGraphicsModifyRectMode AModifyRectMode)
{
    DrawWithFocusPen(AColor, [&] {
        DrawRect(AStroke, ARect, TLumGraphicsSides { gsLeft, gsTop, gsRight, gsBottom }, AModifyRectMode);
    });
}

void TLumGraphicsContextWin::DrawFocusPath(TLumGraphicsStroke* AStroke, const TLumGraphicsPath* APath, TColor AColor)
{
    DrawWithFocusPen(AColor, [&] { DrawPath(AStroke, APath, pdmPolygon); });
}

// ---- fills ----

void TLumGraphicsContextWin::FillPolygon(TLumGraphicsFill*, const TLumGraphicsPathPolygon& APolygon)
{
    if (!FGPGraphics || APolygon.empty())
        return;
    const std::vector<TGPPointF> points = GPPoints(APolygon);
    TGPGraphicsPath path(FillModeAlternate);
    path.AddPolygon(points.data(), int(points.size()));
    FillNativePath(&path);
}

void TLumGraphicsContextWin::FillPolyline(TLumGraphicsFill* AFill, const TLumGraphicsPathPolygon& APolyline)
{
    FillPolygon(AFill, APolyline);
}

void TLumGraphicsContextWin::FillArc(TLumGraphicsFill*, const TPointF& ACenter, const TPointF& ARadius,
    float AStartAngle, float ASweepAngle)
{
    if (!FGPGraphics)
        return;
    TGPGraphicsPath path(FillModeAlternate);
    path.AddArc(ACenter.X - ARadius.X, ACenter.Y - ARadius.Y, 2 * ARadius.X, 2 * ARadius.Y, AStartAngle, ASweepAngle);
    FillNativePath(&path);
}

void TLumGraphicsContextWin::FillRect(TLumGraphicsFill*, const TRectF& ARect, TLumGraphicsModifyRectMode)
{
    if (!FGPGraphics)
        return;
    TGPGraphicsPath path(FillModeAlternate);
    path.AddRectangle(TGPRectF { ARect.Left, ARect.Top, ARect.Width(), ARect.Height() });
    FillNativePath(&path);
}

void TLumGraphicsContextWin::FillRoundRect(TLumGraphicsFill* AFill, const TRectF& ARect, float ARounding,
    TLumGraphicsCorners ACorners, TLumGraphicsModifyRectMode)
{
    if (!FGPGraphics)
        return;
    TLumGraphicsPath path;
    AddRoundRectPath(path, ARect, ARounding, ACorners);
    FillPath(AFill, &path, pdmPolygon);
}

void TLumGraphicsContextWin::FillEllipse(TLumGraphicsFill*, const TRectF& ARect, TLumGraphicsModifyRectMode)
{
    if (!FGPGraphics)
        return;
    TGPGraphicsPath path(FillModeAlternate);
    path.AddEllipse(ARect.Left, ARect.Top, ARect.Width(), ARect.Height());
    FillNativePath(&path);
}

void TLumGraphicsContextWin::FillPath(TLumGraphicsFill* AFill, const TLumGraphicsPath* APath,
    TLumGraphicsPathDrawMode APathMode)
{
    if (!FGPGraphics || !APath)
        return;
    if (APathMode == pdmPath) {
        std::unique_ptr<TGPGraphicsPath> path(static_cast<TGPGraphicsPath*>(ConvertToPath(APath, PathFlatness)));
        FillNativePath(path.get());
        return;
    }
    FillFlattenedPath(AFill, *APath, APathMode);
}

// ---- text ----

TRectF TLumGraphicsContextWin::CalculateText(const String& AText, const TRectF& ARect, bool AWordWrapping)
{
    if (!FGPGraphics)
        return {};
    if (!FGPFont)
        CreateGPFont();
    const auto format = CreateGPStringFormat(gtaLeading, gtaLeading, AWordWrapping, FShowAcceleratorChar, gttNone);
    TGPRectF box;
    FGPGraphics->MeasureString(AText, int(AText.size()), FGPFont.get(),
        TGPRectF { ARect.Left, ARect.Top, ARect.Width(), ARect.Height() }, format.get(), box);
    return { box.X, box.Y, box.X + box.Width, box.Y + box.Height };
}

void TLumGraphicsContextWin::DrawText(const String& AText, const TRectF& ARect, bool AWordWrapping,
    TLumGraphicsTextAlign AHorizontalAlign, TLumGraphicsTextAlign AVerticalAlign, TLumGraphicsTextTrimming ATrimming,
    float)
{
    if (!FGPGraphics)
        return;
    if (!FGPFont)
        CreateGPFont();
    const auto format =
        CreateGPStringFormat(AHorizontalAlign, AVerticalAlign, AWordWrapping, FShowAcceleratorChar, ATrimming);
    const auto brush = CreateGPFontBrush();
    FGPGraphics->DrawString(AText, FGPFont.get(), TGPRectF { ARect.Left, ARect.Top, ARect.Width(), ARect.Height() },
        format.get(), brush.get());
}

TRectF TLumGraphicsContextWin::SetTextAngle(const TRectF& ARect, float AAngle)
{
    if (!FGPGraphics || AAngle == 0)
        return ARect;
    FTextMatrix = std::make_unique<TGPMatrix>();
    FGPGraphics->GetTransform(FTextMatrix.get());
    const float w = ARect.Width(), h = ARect.Height();
    TGPMatrix m;
    m.Translate(ARect.Left + w / 2, ARect.Top + h / 2, MatrixOrderPrepend);
    m.Rotate(AAngle, MatrixOrderPrepend);
    FGPGraphics->MultiplyTransform(&m, MatrixOrderPrepend);
    if (h <= w)
        return { -w / 2, -h / 2, w / 2, h / 2 };
    return { -h / 2, -w / 2, h / 2, w / 2 };
}

void TLumGraphicsContextWin::ResetTextAngle(float AAngle)
{
    if (!FGPGraphics || AAngle == 0 || !FTextMatrix)
        return;
    FGPGraphics->SetTransform(FTextMatrix.get());
    FTextMatrix.reset();
}

// ---- pictures ----

std::unique_ptr<TGPImage> TLumGraphicsContextWin::CreateGPImage(TGraphic* ABitmap) const
{
    TMemoryStream data;
    ABitmap->SaveToStream(data);
    const Int64 size = data.GetSize();
    if (size <= 0 || size > Int64(UINT32_MAX))
        return nullptr;
    IStream* stream = nullptr;
    try {
        if (CreateStreamOnHGlobal(nullptr, TRUE, &stream) < 0 || !stream)
            throw Exception(u"Could not allocate memory for image");
        ULONG written = 0;
        const HRESULT hr = stream->Write(data.GetMemory(), ULONG(size), &written);
        if (hr < 0 || Int64(written) != size) {
            stream->Release();
            throw Exception(u"Could not allocate memory for image");
        }
    } catch (const std::bad_alloc&) {
        if (stream)
            stream->Release();
        throw Exception(u"Could not allocate memory for image");
    }
    stream->Seek(0, STREAM_SEEK_SET, nullptr);
    auto image = std::make_unique<TGPImage>(stream, false);
    stream->Release();
    if (!image->nativeImage)
        return nullptr;
    if (image->GetType() != ImageTypeBitmap)
        return image;
    // A copy in 32-bit ARGB, so the picture's own pixel format does not matter.
    const int w = int(image->GetWidth()), h = int(image->GetHeight());
    auto copy = std::make_unique<TGPBitmap>(w, h, PixelFormat32bppARGB);
    if (!copy->nativeImage)
        return image;
    {
        TGPGraphics g(copy.get());
        g.DrawImage(image.get(), 0, 0, w, h);
    }
    return copy;
}

void TLumGraphicsContextWin::DrawBitmap(TGraphic* ABitmap, const TRectF&, const TRectF& ADstRect, float)
{
    if (!ABitmap || !FGPGraphics)
        return;
    const std::unique_ptr<TGPImage> image = CreateGPImage(ABitmap);
    if (image)
        FGPGraphics->DrawImage(image.get(), ADstRect.Left, ADstRect.Top, ADstRect.Width(), ADstRect.Height());
}

QT_PUBLISHED(TLumGraphicsContextWin)

TLumGraphicsContextClass NativeContextClass() { return &CreateContext<TLumGraphicsContextWin>; }
