#include <algorithm>
#include <cmath>
#include <numbers>

#include "graphics/LumSVGParser.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr double Pi = std::numbers::pi;
// Curves become segments that stray at most about this far from them, in
// device pixels.
constexpr float DeviceFlatness = 0.25f;
// How far outside the visible area an outline can still show, in outline
// widths: half a width plus a mitred corner at the usual limit of 10.
constexpr float OutlineReach = 10.5f;

int Red(TColor C) { return int(C & 0xFF); }
int Green(TColor C) { return int((C >> 8) & 0xFF); }
int Blue(TColor C) { return int((C >> 16) & 0xFF); }

bool PassesTransform(TLumGraphicsSVGElementType AType)
{
    return AType == etContainer || AType == etText || AType == etTextSpan || AType == etTextPath;
}

// The first of the element and its ancestors that declares the property, or
// the top-most ancestor when none does.
template <class Declares>
TLumGraphicsSVGElement* DecidingElement(TLumGraphicsSVGElement* AElement, Declares ADeclares)
{
    TLumGraphicsSVGElement* e = AElement;
    while (!ADeclares(*e) && e->GetParent())
        e = e->GetParent();
    return e;
}

// Restores the drawing object's state however the element's drawing ends.
class TStateGuard {
public:
    explicit TStateGuard(TLumGraphics& AGraphics) : FGraphics(AGraphics), FState(AGraphics.SaveState(false)) { }
    ~TStateGuard() { FGraphics.RestoreState(std::move(FState), false); }

private:
    TLumGraphics& FGraphics;
    std::unique_ptr<TLumGraphicsSaveState> FState;
};

class TMatrixGuard {
public:
    TMatrixGuard(TLumGraphics& AGraphics, const TLumGraphicsMatrix& AMatrix)
        : FGraphics(AGraphics), FSaved(AGraphics.GetMatrix())
    {
        AGraphics.SetMatrix(AMatrix);
    }
    ~TMatrixGuard() { FGraphics.SetMatrix(FSaved); }

private:
    TLumGraphics& FGraphics;
    TLumGraphicsMatrix FSaved;
};

} // namespace

TColor GrayScaleColor(TColor AColor)
{
    const int g = int(std::nearbyint(0.3 * Red(AColor) + 0.6 * Green(AColor) + 0.1 * Blue(AColor)));
    return TColor(g | (g << 8) | (g << 16));
}

TColor MultiplyColors(TColor A, TColor B)
{
    return TColor((Red(A) * Red(B) / 255) | ((Green(A) * Green(B) / 255) << 8) | ((Blue(A) * Blue(B) / 255) << 16));
}

float LineAngle(const TPointF& AFrom, const TPointF& ATo)
{
    double a = std::atan2(double(ATo.Y) - AFrom.Y, double(ATo.X) - AFrom.X) * 180 / Pi;
    if (a < 0)
        a += 360;
    return a >= 360 ? 0.0f : float(a);
}

TLumGraphicsMatrix GetElementMatrix(const TLumGraphicsSVGElement& AElement)
{
    TLumGraphicsMatrix m = MatrixIdentity();
    if (!MatrixIsEmpty(AElement.GetMatrix()))
        m = m * AElement.GetMatrix();
    for (const TLumGraphicsSVGElement* a = AElement.GetParent(); a && PassesTransform(a->GetType()); a = a->GetParent())
        if (!MatrixIsEmpty(a->GetMatrix()))
            m = m * a->GetMatrix();
    return m;
}

void ElementShapePath(TLumGraphicsSVGElement& E, TLumGraphicsPath& path)
{
    switch (E.GetType()) {
    case etRect:
        path.AddRectangle(TRectF(E.GetX(), E.GetY(), E.GetX() + E.GetWidth(), E.GetY() + E.GetHeight()), E.GetRx(),
            E.GetRy());
        break;
    case etLine:
        path.MoveTo(TPointF(E.GetX(), E.GetY()));
        path.LineTo(TPointF(E.GetWidth(), E.GetHeight()));
        break;
    case etCircle:
    case etEllipse:
        path.AddEllipse(TRectF(E.GetX() - E.GetRx(), E.GetY() - E.GetRy(), E.GetX() + E.GetRx(), E.GetY() + E.GetRy()));
        break;
    default:
        if (E.HasPaths() && E.GetPaths()->GetCount() > 0)
            path.AddPath(E.GetCombinedPath());
        break;
    }
}

bool TLumGraphicsSVGImport::SetViewMatrix(const TRectF& ARect, bool AWholeUnits, float& ASX, float& ASY)
{
    const TRectF& v = FViewRect;
    if (!HasElements() || !(v.Width() > 0) || !(v.Height() > 0))
        return false;
    ASX = ARect.Width() / v.Width();
    ASY = ARect.Height() / v.Height();
    if (ASX == 0 || ASY == 0 || !std::isfinite(ASX) || !std::isfinite(ASY))
        return false;
    const float tx = AWholeUnits ? std::floor(ARect.Left / ASX) : ARect.Left / ASX;
    const float ty = AWholeUnits ? std::floor(ARect.Top / ASY) : ARect.Top / ASY;
    FMatrix = MatrixCreateTranslation(-v.Width() / 2, -v.Height() / 2)
        * MatrixCreateRotation(float(FRotationAngle * Pi / 180))
        * MatrixCreateTranslation(v.Width() / 2, v.Height() / 2) * MatrixCreateTranslation(-v.Left, -v.Top)
        * MatrixCreateTranslation(tx, ty) * MatrixCreateScaling(ASX, ASY);
    return true;
}

void TLumGraphicsSVGImport::StartDrawing()
{
    FPointsLeft = MaxFlattenedPoints;
    FPointCapReached = false;
}

// Flattens an element's path (in the drawing object's coordinates) finely
// enough for the device and only where it can be seen, counting its points
// against the drawing's cap.
bool TLumGraphicsSVGImport::FlattenForDevice(TLumGraphicsPath& APath, TLumGraphics& AGraphics)
{
    if (FPointCapReached)
        return false;
    const TLumGraphicsMatrix device = AGraphics.GetContext()->GetMatrix();
    float scale = std::max(std::hypot(device.m11, device.m12), std::hypot(device.m21, device.m22));
    if (!(scale > 0) || !std::isfinite(scale))
        scale = 1;
    // The canvas's clip box, back in the drawing object's coordinates.
    TRectF visible(-1e30f, -1e30f, 1e30f, 1e30f);
    RECT clip {};
    if (TCanvas* canvas = AGraphics.GetCanvas(); canvas && canvas->GetHandle()
        && GetClipBox(canvas->GetHandle(), &clip) != ERROR) {
        const TLumGraphicsMatrix back = device.Inverse();
        const TPointF corners[4] = { TPointF(float(clip.Left), float(clip.Top)) * back,
            TPointF(float(clip.Right), float(clip.Top)) * back, TPointF(float(clip.Left), float(clip.Bottom)) * back,
            TPointF(float(clip.Right), float(clip.Bottom)) * back };
        visible = TRectF(corners[0].X, corners[0].Y, corners[0].X, corners[0].Y);
        for (const TPointF& c : corners) {
            visible.Left = std::min(visible.Left, c.X);
            visible.Top = std::min(visible.Top, c.Y);
            visible.Right = std::max(visible.Right, c.X);
            visible.Bottom = std::max(visible.Bottom, c.Y);
        }
        const float margin = (2 + OutlineReach * AGraphics.GetStroke()->GetWidth()) / scale;
        visible = TRectF(visible.Left - margin, visible.Top - margin, visible.Right + margin, visible.Bottom + margin);
    }
    if (!APath.FlattenVisible(DeviceFlatness / scale, visible, FPointsLeft)) {
        FPointCapReached = true;
        FPointsLeft = 0;
        return false;
    }
    FPointsLeft -= APath.GetCount();
    return true;
}

void TLumGraphicsSVGImport::Draw(TCanvas* ACanvas, const TRectF& ARect, bool ANative)
{
    StartDrawing();
    float sx = 0, sy = 0;
    if (!ACanvas || !SetViewMatrix(ARect, true, sx, sy))
        return;
    TLumGraphics graphics(ACanvas, ANative);
    if (ANative)
        DrawNativeScene(graphics, ARect, sx, sy);
    else
        DrawElements(FElementList, graphics, sx, sy);
}

void TLumGraphicsSVGImport::DrawNativeScene(TLumGraphics& AGraphics, const TRectF& ARect, float ASX, float ASY)
{
    AGraphics.GetContext()->SetSize(ARect.Width(), ARect.Height());
    AGraphics.GetContext()->SetAntiAliasing(true);
    AGraphics.BeginScene();
    // The scene is ended (and so rendered) even when drawing fails half-way.
    struct TSceneEnd {
        TLumGraphics& G;
        ~TSceneEnd()
        {
            G.EndScene();
            G.GetContext()->Render();
        }
    } sceneEnd { AGraphics };
    DrawElements(FElementList, AGraphics, ASX, ASY);
}

void TLumGraphicsSVGImport::Draw(TLumGraphics* AGraphics, const TRectF& ARect, bool ANative, bool ARecreateGraphics)
{
    StartDrawing();
    float sx = 0, sy = 0;
    if (!AGraphics || !SetViewMatrix(ARect, false, sx, sy))
        return;
    if (!ARecreateGraphics) {
        DrawElements(FElementList, *AGraphics, sx, sy);
        return;
    }
    if (!ANative) {
        TLumGraphics graphics(AGraphics->GetCanvas(), false);
        DrawElements(FElementList, graphics, sx, sy);
        return;
    }
    FMatrix = FMatrix * AGraphics->GetContext()->GetMatrix();
    TLumGraphics graphics(AGraphics->GetCanvas(), true);
    DrawNativeScene(graphics, ARect, sx, sy);
}

std::unique_ptr<TLumBitmap> TLumGraphicsSVGImport::GenerateBitmap(float AWidth, float AHeight)
{
    if (!HasElements())
        return nullptr;
    auto result = std::make_unique<TLumBitmap>();
    TRectF r = FViewRect;
    auto isMarker = [](float v) { return v == EmptyMarkerLow || v == EmptyMarkerHigh; };
    if (!(r.Width() > 0) || !(r.Height() > 0) || isMarker(r.Left) || isMarker(r.Top) || isMarker(r.Right)
        || isMarker(r.Bottom))
        return result;
    if (AWidth > -1 && AHeight > -1)
        r = TRectF(0, 0, AWidth, AHeight);
    // Bounded so a hostile view box cannot ask for an enormous bitmap.
    constexpr double MaxSide = 16384;
    const double w = std::nearbyint(double(r.Right));
    const double h = std::nearbyint(double(r.Bottom));
    if (!(w >= 1) || !(h >= 1) || w > MaxSide || h > MaxSide)
        return result;
    auto graphics = TLumGraphics::CreateBitmapCanvas(int(w), int(h), false, true);
    graphics->BeginScene();
    struct TSceneEnd {
        TLumGraphics& G;
        ~TSceneEnd() { G.EndScene(); }
    } sceneEnd { *graphics };
    Draw(graphics.get(), r, false, true);
    result->SetGraphic(graphics->GetBitmap());
    return result;
}

void TLumGraphicsSVGImport::DrawElements(TLumGraphicsSVGElementList& AList, TLumGraphics& AGraphics, float ASX,
    float ASY)
{
    for (TLumGraphicsSVGElement* e : AList)
        DrawElement(*e, AGraphics, ASX, ASY);
}

void TLumGraphicsSVGImport::DrawElement(TLumGraphicsSVGElement& E, TLumGraphics& AGraphics, float ASX, float ASY)
{
    if (FPointCapReached)
        return;
    TStateGuard state(AGraphics);
    const TLumGraphicsMatrix m = GetElementMatrix(E) * FMatrix;
    TLumGraphicsSVGElement& o = E.GetClassRef() ? *E.GetClassRef() : E;
    if (o.GetDisplayValue() == u"none")
        return;
    ApplyPresentation(E, o, AGraphics, m, ASX);

    if (TLumGraphicsSVGElement* clip = E.GetClipPathRef()) {
        TLumGraphicsPath clipPath;
        ElementShapePath(*clip, clipPath);
        clipPath.ApplyMatrix(m);
        if (!FlattenForDevice(clipPath, AGraphics))
            return;
        AGraphics.GetContext()->ClipPath(&clipPath);
    }

    switch (E.GetType()) {
    case etContainer:
        if (E.HasElements())
            DrawElements(*E.GetElements(), AGraphics, ASX, ASY);
        break;
    case etRect:
    case etLine:
    case etCircle:
    case etEllipse:
    case etPolyline:
    case etPolygon:
    case etPath: {
        TLumGraphicsPath path;
        ElementShapePath(E, path);
        if (path.GetCount() == 0)
            break;
        path.ApplyMatrix(m);
        if (FlattenForDevice(path, AGraphics))
            AGraphics.DrawPath(&path, pdmPath);
        break;
    }
    case etImage:
        if (E.HasBitmap()) {
            TMatrixGuard matrix(AGraphics, m);
            const bool stretch = E.GetPreserveAspectRatio() == parNone;
            AGraphics.DrawBitmap(TRectF(E.GetX(), E.GetY(), E.GetX() + E.GetWidth(), E.GetY() + E.GetHeight()),
                E.GetBitmap(), !stretch, stretch, true, false);
        }
        break;
    case etText:
    case etTextSpan:
    case etTextSpanChild:
    case etTextPath:
        if (E.GetType() == etText) {
            AGraphics.SetFontName(E.GetFontFamily().empty() ? String(u"Arial") : E.GetFontFamily());
            const float size = E.GetFontSize() != 0 && E.HasFontSize() ? E.GetFontSize() : 12;
            AGraphics.SetFontSize(int(std::nearbyint(std::clamp(size, 1.0f, 4096.0f))));
            AGraphics.SetFontStyles(E.GetFontStyle());
            AGraphics.SetFontColor(E.GetFillColor());
        }
        if (!E.GetText().empty()) {
            TMatrixGuard matrix(AGraphics, m * FTextMatrix);
            const float h = AGraphics.CalculateTextHeight(E.GetText());
            const TLumGraphicsSVGElement* at = E.GetType() == etTextSpanChild && E.GetParent()
                    && E.GetParent()->GetType() == etTextSpan
                ? E.GetParent()
                : &E;
            AGraphics.DrawText(TPointF(at->GetX(), at->GetY() - h), E.GetText(), 0, true, false, -1, -1);
        }
        if (E.HasElements())
            DrawElements(*E.GetElements(), AGraphics, ASX, ASY);
        break;
    default: break;
    }
}

TColor TLumGraphicsSVGImport::OverriddenColor(TColor AColor, TColor ACustomColor) const
{
    if (FGrayScale)
        return GrayScaleColor(AColor);
    if (FTintColor != -1)
        return MultiplyColors(AColor, FTintColor);
    if (ACustomColor != -1)
        return ACustomColor;
    return AColor;
}

TColor TLumGraphicsSVGImport::UndeclaredFillColor() const
{
    if (FGrayScale)
        return 0x808080;
    if (FTintColor != -1)
        return FTintColor;
    if (FCustomFillColor != -1)
        return FCustomFillColor;
    return 0;
}

void TLumGraphicsSVGImport::ApplyPresentation(TLumGraphicsSVGElement& E, TLumGraphicsSVGElement& O,
    TLumGraphics& AGraphics, const TLumGraphicsMatrix& AMatrix, float ASX)
{
    TLumGraphicsSVGElement* fillBy =
        DecidingElement(&O, [](const TLumGraphicsSVGElement& e) { return e.GetFillColorValue() != e.DefaultValue; });
    TLumGraphicsSVGElement* strokeBy = DecidingElement(
        &O, [](const TLumGraphicsSVGElement& e) { return e.GetStrokeColorValue() != e.DefaultValue; });
    TLumGraphicsSVGElement* widthBy = DecidingElement(&O, [](const TLumGraphicsSVGElement& e) { return e.HasStrokeWidth(); });
    TLumGraphicsSVGElement* opacityBy = DecidingElement(&O, [](const TLumGraphicsSVGElement& e) { return e.HasOpacity(); });

    float opacity = 1;
    if (FCustomOpacity != -1)
        opacity = FCustomOpacity;
    else if (opacityBy->HasOpacity())
        opacity = opacityBy->GetOpacity();
    opacity = std::clamp(opacity, 0.0f, 1.0f);

    TLumGraphicsFill* fill = AGraphics.GetFill();
    fill->BeginUpdate();
    fill->SetOpacity(opacity);
    if (TLumGraphicsSVGElement* g0 = E.GetPatternRef()) {
        TLumGraphicsSVGElement* g = g0->GetHRefRef() ? g0->GetHRefRef() : g0;
        fill->SetKind(gfkGradient);
        fill->SetGradientMode(gfgmCollection);
        fill->ClearGradientItems();
        if (g->GetType() == etLinearGradient) {
            fill->SetGradientType(gfgtLinear);
            fill->SetOrientation(gfoCustom);
            fill->SetGradientAngle(LineAngle(TPointF(g->GetX(), g->GetY()), TPointF(g->GetWidth(), g->GetHeight())));
        } else if (g->GetType() == etRadialGradient) {
            fill->SetGradientType(gfgtRadial);
            TLumGraphicsPath shape;
            ElementShapePath(E, shape);
            shape.ApplyMatrix(AMatrix);
            const TRectF b = shape.GetCount() > 0 ? shape.GetBounds() : TRectF();
            const float cx = g->GetHasCX() ? g->GetCX() : 50;
            const float cy = g->GetHasCY() ? g->GetCY() : 50;
            fill->SetGradientCenterPoint(TPointF(b.Left + b.Width() * cx / 100, b.Top + b.Height() * cy / 100));
        }
        if (g->HasElements())
            for (TLumGraphicsSVGElement* stop : *g->GetElements())
                if (stop->GetType() == etStop)
                    fill->AddGradientItem(stop->GetStopColor(), stop->GetOffset(), stop->GetStopOpacity());
    } else if (fillBy->HasFillColor() && fillBy->GetFillColor() >= 0) {
        fill->SetKind(gfkSolid);
        fill->SetColor(OverriddenColor(fillBy->GetFillColor(), FCustomFillColor));
    } else if (fillBy->GetFillColorValue() != fillBy->DefaultValue) {
        // "none", "transparent", or a colour that could not be read.
        fill->SetKind(gfkNone);
    } else {
        fill->SetKind(gfkSolid);
        fill->SetColor(UndeclaredFillColor());
    }
    fill->EndUpdate();

    TLumGraphicsStroke* stroke = AGraphics.GetStroke();
    stroke->BeginUpdate();
    stroke->SetOpacity(opacity);
    if (strokeBy->HasStrokeColor() && strokeBy->GetStrokeColor() >= 0) {
        stroke->SetKind(gskSolid);
        stroke->SetColor(OverriddenColor(strokeBy->GetStrokeColor(), FCustomStrokeColor));
    } else
        stroke->SetKind(gskNone);
    stroke->SetWidth(widthBy->HasStrokeWidth() ? std::max(0.0f, widthBy->GetStrokeWidth() * ASX) : 1.0f);
    stroke->EndUpdate();
}
