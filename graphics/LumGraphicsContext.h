#pragma once
// The back end of the drawing API: turns one drawing request of TLumGraphics
// into calls of a graphics system, in floating-point coordinates. The drawing
// API decides what is drawn (visibility of fills and outlines, textures,
// markup, picture placement); a context only executes.
//
// Two contexts exist: TLumGraphicsContextWin draws through the run-time bound
// GDI+ wrappers, TLumGraphicsContextGeneral with plain GDI on the canvas.
// The AStroke/AFill arguments are the drawing object's; a context draws with
// its own state, which the drawing API keeps equal to them through the
// Set... operations. The modify modes are accepted and change no geometry.

#include <memory>

#include "foundation/LumPersistence.h"
#include "graphics/LumGraphicsPath.h"
#include "graphics/LumGraphicsTypes.h"
#include "platform/rtl/String.h"
#include "platform/rtl/Types.h"
#include "platform/vcl/Graphics.h"

class TLumGraphics;

class TLumGraphicsContext : public TObject, public TLumJSONMethods<TLumGraphicsContext> {
    QT_CLASS(TLumGraphicsContext, TObject)
public:
    // The drawing object is not owned; ACanvas is the canvas it draws on
    // (its Canvas), passed here so a context never reaches back into it.
    TLumGraphicsContext(TLumGraphics* AGraphics, TCanvas* ACanvas);
    ~TLumGraphicsContext() override = default;

    TLumGraphics* GetGraphics() const { return FGraphics; }
    TCanvas* GetCanvas() const { return FCanvas; }
    String GetJSON() { return ToJSON(); }
    void SetJSON(const String& Value) { FromJSON(Value); }

    // Turns a library path into a native path through CreatePath, PathOpen,
    // PathMoveTo, PathLineTo and PathClose; curves become line segments about
    // Flatness long (at least 0.05). Returns what CreatePath returned (the
    // caller frees it with FreePath); the plain GDI context returns null and
    // records the path in the device context instead.
    void* ConvertToPath(const TLumGraphicsPath* APath, float Flatness);

    // Operations in slot order.
    // The native drawing surface: the GDI+ graphics of the GDI+ context (null
    // when none), the canvas of the plain context.
    virtual void* GetNativeCanvas() = 0;
    // A new empty native path for ConvertToPath (null when the context
    // records paths elsewhere).
    virtual void* CreatePath() = 0;
    // Frees what CreatePath returned.
    virtual void FreePath(void* APath) = 0;
    virtual TColor GetFillColor() = 0;
    // Rectangle of the plain text laid out from the top-left of ARect.
    virtual TRectF CalculateText(const String& AText, const TRectF& ARect, bool AWordWrapping) = 0;
    // Prepares rotated text and returns the rectangle to draw it in.
    virtual TRectF SetTextAngle(const TRectF& ARect, float AAngle) = 0;
    virtual TLumGraphicsMatrix GetMatrix() = 0;
    // Finishes the scene.
    virtual void Render() = 0;
    virtual void PathOpen(void* APath) = 0;
    virtual void PathMoveTo(void* APath, const TPointF& APoint) = 0;
    virtual void PathLineTo(void* APath, const TPointF& APoint) = 0;
    virtual void SetScale(float AScale) = 0;
    virtual void PathClose(void* APath) = 0;
    virtual void ResetClip() = 0;
    virtual void ResetTransform() = 0;
    virtual void ScaleTransform(float AX, float AY) = 0;
    // Degrees.
    virtual void RotateTransform(float AAngle) = 0;
    virtual void TranslateTransform(float AX, float AY) = 0;
    virtual void SetTextQuality(TLumGraphicsTextQuality ATextQuality) = 0;
    virtual void SetAntiAliasing(bool AAntiAliasing) = 0;
    virtual void SetShowAcceleratorChar(bool AShowAcceleratorChar) = 0;
    // (Re)binds the context to the canvas with this size.
    virtual void SetSize(float AWidth, float AHeight) = 0;
    // Undoes SetTextAngle.
    virtual void ResetTextAngle(float AAngle) = 0;
    virtual void BeginScene() = 0;
    virtual void EndScene() = 0;
    virtual void BeginPrinting() = 0;
    virtual void EndPrinting() = 0;
    // Between the two, outlines are dotted focus lines; callers pair them.
    virtual void StartSpecialPen() = 0;
    virtual void StopSpecialPen() = 0;
    virtual void RestoreState(TLumGraphicsSaveState* AState) = 0;
    virtual void SaveState(TLumGraphicsSaveState* AState) = 0;
    virtual void SetFontSize(int ASize) = 0;
    virtual void SetFontColor(TColor AColor) = 0;
    virtual void SetFontName(const String& AName) = 0;
    virtual void SetFont(TLumGraphicsFont* AFont) = 0;
    virtual void SetFontStyles(TFontStyles AStyle) = 0;
    virtual void SetMatrix(const TLumGraphicsMatrix& AMatrix) = 0;
    virtual void SetFill(TLumGraphicsFill* AFill) = 0;
    virtual void SetFillKind(TLumGraphicsFillKind AKind) = 0;
    virtual void SetFillColor(TColor AColor) = 0;
    virtual void SetStroke(TLumGraphicsStroke* AStroke) = 0;
    virtual void SetStrokeKind(TLumGraphicsStrokeKind AKind) = 0;
    virtual void SetStrokeColor(TColor AColor) = 0;
    virtual void SetStrokeWidth(float AWidth) = 0;
    virtual void DrawLine(TLumGraphicsStroke* AStroke, const TPointF& AFromPoint, const TPointF& AToPoint,
        TLumGraphicsModifyPointMode AModifyPointModeFrom,
        TLumGraphicsModifyPointMode AModifyPointModeTo) = 0;
    virtual void DrawPolygon(TLumGraphicsStroke* AStroke, const TLumGraphicsPathPolygon& APolygon) = 0;
    virtual void FillPolygon(TLumGraphicsFill* AFill, const TLumGraphicsPathPolygon& APolygon) = 0;
    virtual void DrawPolyline(TLumGraphicsStroke* AStroke, const TLumGraphicsPathPolygon& APolyline) = 0;
    // Fills the polyline as a closed polygon.
    virtual void FillPolyline(TLumGraphicsFill* AFill, const TLumGraphicsPathPolygon& APolyline) = 0;
    // Angles in degrees, clockwise on screen; the open arc is closed by its chord.
    virtual void FillArc(TLumGraphicsFill* AFill, const TPointF& ACenter, const TPointF& ARadius, float AStartAngle,
        float ASweepAngle) = 0;
    virtual void DrawArc(TLumGraphicsStroke* AStroke, const TPointF& ACenter, const TPointF& ARadius,
        float AStartAngle, float ASweepAngle) = 0;
    virtual void FillRect(TLumGraphicsFill* AFill, const TRectF& ARect,
        TLumGraphicsModifyRectMode AModifyRectMode) = 0;
    virtual void DrawRect(TLumGraphicsStroke* AStroke, const TRectF& ARect, TLumGraphicsSides ASides,
        TLumGraphicsModifyRectMode AModifyRectMode) = 0;
    virtual void FillRoundRect(TLumGraphicsFill* AFill, const TRectF& ARect, float ARounding,
        TLumGraphicsCorners ACorners, TLumGraphicsModifyRectMode AModifyRectMode) = 0;
    virtual void DrawRoundRect(TLumGraphicsStroke* AStroke, const TRectF& ARect, float ARounding,
        TLumGraphicsCorners ACorners, TLumGraphicsModifyRectMode AModifyRectMode) = 0;
    virtual void FillEllipse(TLumGraphicsFill* AFill, const TRectF& ARect,
        TLumGraphicsModifyRectMode AModifyRectMode) = 0;
    virtual void DrawEllipse(TLumGraphicsStroke* AStroke, const TRectF& ARect,
        TLumGraphicsModifyRectMode AModifyRectMode) = 0;
    // The whole picture into ADstRect.
    virtual void DrawBitmap(TGraphic* ABitmap, const TRectF& ASrcRect, const TRectF& ADstRect, float AOpacity) = 0;
    virtual void ClipRect(const TRectF& ARect) = 0;
    virtual void ClipPath(const TLumGraphicsPath* APath) = 0;
    // Dotted one-pixel outlines in AColor, whatever the stroke.
    virtual void DrawFocusPath(TLumGraphicsStroke* AStroke, const TLumGraphicsPath* APath, TColor AColor) = 0;
    virtual void DrawFocusRectangle(TLumGraphicsStroke* AStroke, const TRectF& ARect, TColor AColor,
        TLumGraphicsModifyRectMode AModifyRectMode) = 0;
    // Plain text in the font colour.
    virtual void DrawText(const String& AText, const TRectF& ARect, bool AWordWrapping,
        TLumGraphicsTextAlign AHorizontalAlign, TLumGraphicsTextAlign AVerticalAlign,
        TLumGraphicsTextTrimming ATrimming, float AAngle) = 0;
    virtual void DrawPath(TLumGraphicsStroke* AStroke, const TLumGraphicsPath* APath,
        TLumGraphicsPathDrawMode APathMode) = 0;
    virtual void FillPath(TLumGraphicsFill* AFill, const TLumGraphicsPath* APath,
        TLumGraphicsPathDrawMode APathMode) = 0;

protected:
    // Flatness with which paths become native paths or polygons.
    static constexpr float PathFlatness = 0.25f;
    // The path flattened into one polygon, then outlined or filled as a
    // polygon (pdmPolygon) or a polyline (otherwise).
    void DrawFlattenedPath(TLumGraphicsStroke* AStroke, const TLumGraphicsPath& APath, TLumGraphicsPathDrawMode AMode);
    void FillFlattenedPath(TLumGraphicsFill* AFill, const TLumGraphicsPath& APath, TLumGraphicsPathDrawMode AMode);

private:
    TLumGraphics* FGraphics { nullptr };
    TCanvas* FCanvas { nullptr };
};

// The outline of a rectangle with the chosen corners rounded by ARounding,
// as one closed figure starting at the bottom-left; appended to APath.
void AddRoundRectPath(TLumGraphicsPath& APath, const TRectF& ARect, float ARounding, TLumGraphicsCorners ACorners);

// How the drawing API makes a context without naming its class.
using TLumGraphicsContextClass = std::unique_ptr<TLumGraphicsContext> (*)(TLumGraphics* AGraphics,
    TCanvas* ACanvas);

template <class TContext>
std::unique_ptr<TLumGraphicsContext> CreateContext(TLumGraphics* AGraphics, TCanvas* ACanvas)
{
    return std::make_unique<TContext>(AGraphics, ACanvas);
}

// The GDI+ context (TLumGraphicsContextWin).
TLumGraphicsContextClass NativeContextClass();
// The plain GDI context (TLumGraphicsContextGeneral).
TLumGraphicsContextClass GeneralContextClass();
