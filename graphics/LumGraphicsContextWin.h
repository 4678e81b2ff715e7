#pragma once
// The GDI+ back end of the drawing API: draws on a GDI+ surface made on the
// canvas's device context by SetSize and released by the first Render (so
// one context serves one scene). Fill, stroke and font are the context's own
// copies; pen and font are rebuilt when they change, the brush before every
// fill over the bounds of the shape being filled.

#include <functional>
#include <memory>

#include "graphics/LumGDIPlusClassesBrushes.h"
#include "graphics/LumGDIPlusClassesFonts.h"
#include "graphics/LumGDIPlusClassesGraphics.h"
#include "graphics/LumGDIPlusClassesPaths.h"
#include "graphics/LumGraphicsContext.h"

class TLumGraphicsContextWin : public TLumGraphicsContext {
    QT_CLASS(TLumGraphicsContextWin, TLumGraphicsContext)
public:
    TLumGraphicsContextWin(TLumGraphics* AGraphics, TCanvas* ACanvas);
    ~TLumGraphicsContextWin() override;

    void* GetNativeCanvas() override;
    void* CreatePath() override;
    void FreePath(void* APath) override;
    TColor GetFillColor() override;
    TRectF CalculateText(const String& AText, const TRectF& ARect, bool AWordWrapping) override;
    TRectF SetTextAngle(const TRectF& ARect, float AAngle) override;
    TLumGraphicsMatrix GetMatrix() override;
    void Render() override;
    void PathOpen(void* APath) override;
    void PathMoveTo(void* APath, const TPointF& APoint) override;
    void PathLineTo(void* APath, const TPointF& APoint) override;
    void SetScale(float AScale) override;
    void PathClose(void* APath) override;
    void ResetClip() override;
    void ResetTransform() override;
    void ScaleTransform(float AX, float AY) override;
    void RotateTransform(float AAngle) override;
    void TranslateTransform(float AX, float AY) override;
    void SetTextQuality(TLumGraphicsTextQuality ATextQuality) override;
    void SetAntiAliasing(bool AAntiAliasing) override;
    void SetShowAcceleratorChar(bool AShowAcceleratorChar) override;
    void SetSize(float AWidth, float AHeight) override;
    void ResetTextAngle(float AAngle) override;
    void BeginScene() override { }
    void EndScene() override;
    void BeginPrinting() override { }
    void EndPrinting() override { }
    void StartSpecialPen() override { }
    void StopSpecialPen() override { }
    void RestoreState(TLumGraphicsSaveState* AState) override;
    void SaveState(TLumGraphicsSaveState* AState) override;
    void SetFontSize(int ASize) override;
    void SetFontColor(TColor AColor) override;
    void SetFontName(const String& AName) override;
    void SetFont(TLumGraphicsFont* AFont) override;
    void SetFontStyles(TFontStyles AStyle) override;
    void SetMatrix(const TLumGraphicsMatrix& AMatrix) override;
    void SetFill(TLumGraphicsFill* AFill) override;
    void SetFillKind(TLumGraphicsFillKind AKind) override;
    void SetFillColor(TColor AColor) override;
    void SetStroke(TLumGraphicsStroke* AStroke) override;
    void SetStrokeKind(TLumGraphicsStrokeKind AKind) override;
    void SetStrokeColor(TColor AColor) override;
    void SetStrokeWidth(float AWidth) override;
    void DrawLine(TLumGraphicsStroke* AStroke, const TPointF& AFromPoint, const TPointF& AToPoint,
        TLumGraphicsModifyPointMode AModifyPointModeFrom, TLumGraphicsModifyPointMode AModifyPointModeTo) override;
    void DrawPolygon(TLumGraphicsStroke* AStroke, const TLumGraphicsPathPolygon& APolygon) override;
    void FillPolygon(TLumGraphicsFill* AFill, const TLumGraphicsPathPolygon& APolygon) override;
    void DrawPolyline(TLumGraphicsStroke* AStroke, const TLumGraphicsPathPolygon& APolyline) override;
    void FillPolyline(TLumGraphicsFill* AFill, const TLumGraphicsPathPolygon& APolyline) override;
    void FillArc(TLumGraphicsFill* AFill, const TPointF& ACenter, const TPointF& ARadius, float AStartAngle,
        float ASweepAngle) override;
    void DrawArc(TLumGraphicsStroke* AStroke, const TPointF& ACenter, const TPointF& ARadius, float AStartAngle,
        float ASweepAngle) override;
    void FillRect(TLumGraphicsFill* AFill, const TRectF& ARect, TLumGraphicsModifyRectMode AModifyRectMode) override;
    void DrawRect(TLumGraphicsStroke* AStroke, const TRectF& ARect, TLumGraphicsSides ASides,
        TLumGraphicsModifyRectMode AModifyRectMode) override;
    void FillRoundRect(TLumGraphicsFill* AFill, const TRectF& ARect, float ARounding, TLumGraphicsCorners ACorners,
        TLumGraphicsModifyRectMode AModifyRectMode) override;
    void DrawRoundRect(TLumGraphicsStroke* AStroke, const TRectF& ARect, float ARounding,
        TLumGraphicsCorners ACorners, TLumGraphicsModifyRectMode AModifyRectMode) override;
    void FillEllipse(TLumGraphicsFill* AFill, const TRectF& ARect,
        TLumGraphicsModifyRectMode AModifyRectMode) override;
    void DrawEllipse(TLumGraphicsStroke* AStroke, const TRectF& ARect,
        TLumGraphicsModifyRectMode AModifyRectMode) override;
    void DrawBitmap(TGraphic* ABitmap, const TRectF& ASrcRect, const TRectF& ADstRect, float AOpacity) override;
    void ClipRect(const TRectF& ARect) override;
    void ClipPath(const TLumGraphicsPath* APath) override;
    void DrawFocusPath(TLumGraphicsStroke* AStroke, const TLumGraphicsPath* APath, TColor AColor) override;
    void DrawFocusRectangle(TLumGraphicsStroke* AStroke, const TRectF& ARect, TColor AColor,
        TLumGraphicsModifyRectMode AModifyRectMode) override;
    void DrawText(const String& AText, const TRectF& ARect, bool AWordWrapping, TLumGraphicsTextAlign AHorizontalAlign,
        TLumGraphicsTextAlign AVerticalAlign, TLumGraphicsTextTrimming ATrimming, float AAngle) override;
    void DrawPath(TLumGraphicsStroke* AStroke, const TLumGraphicsPath* APath,
        TLumGraphicsPathDrawMode APathMode) override;
    void FillPath(TLumGraphicsFill* AFill, const TLumGraphicsPath* APath, TLumGraphicsPathDrawMode APathMode) override;

    // ARGB of a colour (system colours resolved) with alpha Round(AOpacity * 255).
    static LumGDIPlusClasses::ARGB MakeGPColor(TColor AColor, float AOpacity);

protected:
    // What the context draws with, for derived classes and inspection.
    LumGDIPlusClasses::TGPGraphics* GetGPGraphics() const { return FGPGraphics.get(); }
    LumGDIPlusClasses::TGPBrush* GetGPBrush() const { return FGPBrush.get(); }
    LumGDIPlusClasses::TGPPen* GetGPPen() const { return FGPPen.get(); }
    LumGDIPlusClasses::TGPFont* GetGPFont() const { return FGPFont.get(); }
    TLumGraphicsFill* GetOwnFill() const { return FFill.get(); }

private:
    class TSmoothingGuard;

    std::unique_ptr<LumGDIPlusClasses::TGPSolidBrush> CreateGPFontBrush() const;
    void CreateGPFont();
    void CreateGPPen();
    std::unique_ptr<LumGDIPlusClasses::TGPStringFormat> CreateGPStringFormat(TLumGraphicsTextAlign AHorizontalAlign,
        TLumGraphicsTextAlign AVerticalAlign, bool AWordWrapping, bool AShowAccelerator,
        TLumGraphicsTextTrimming ATrimming) const;
    std::unique_ptr<LumGDIPlusClasses::TGPBrush> CreateGPBrush(const TLumGraphicsFill* AFill,
        const LumGDIPlusClasses::TGPGraphicsPath* APath) const;
    std::unique_ptr<LumGDIPlusClasses::TGPImage> CreateGPImage(TGraphic* ABitmap) const;
    void ReleaseSurface();
    void UpdateBrush(const LumGDIPlusClasses::TGPGraphicsPath* APath);
    // Fills a native path with the own fill's brush made for it.
    void FillNativePath(const LumGDIPlusClasses::TGPGraphicsPath* APath);
    // Puts the surface back to its base state and records the base anew.
    void RestartBaseState();
    bool PenIsDashed() const;
    // Runs ADraw with the pen a dotted hairline in AColor, unsmoothed; the
    // pen and the smoothing mode come back afterwards.
    void DrawWithFocusPen(TColor AColor, const std::function<void()>& ADraw);
    void FillChanged(TObject* Sender);
    void StrokeChanged(TObject* Sender);
    void FontChanged(TObject* Sender);

    bool FShowAcceleratorChar { false };
    std::unique_ptr<LumGDIPlusClasses::TGPMatrix> FTextMatrix;
    std::uint32_t FSaveGP { 0 };
    float FScale { 1 };
    TPointF FMovePoint {};
    bool FNeedsRendering { true };
    std::unique_ptr<TLumGraphicsFont> FFont;
    std::unique_ptr<TLumGraphicsFill> FFill;
    std::unique_ptr<TLumGraphicsStroke> FStroke;
    std::unique_ptr<LumGDIPlusClasses::TGPFont> FGPFont;
    TSizeF FContextSize {};
    std::unique_ptr<LumGDIPlusClasses::TGPBrush> FGPBrush;
    std::unique_ptr<LumGDIPlusClasses::TGPPen> FGPPen;
    std::unique_ptr<LumGDIPlusClasses::TGPGraphics> FGPGraphics;
};
