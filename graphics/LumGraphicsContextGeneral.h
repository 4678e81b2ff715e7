#pragma once
// The plain GDI back end of the drawing API: draws with the canvas's pen,
// brush and font in whole pixels (round half to even), without transforms,
// anti-aliasing or opacity. It also serves printing, where the dotted focus
// pen becomes one a printer driver understands.

#include <functional>

#include "graphics/LumGraphicsContext.h"

class TLumGraphicsContextGeneral : public TLumGraphicsContext {
    QT_CLASS(TLumGraphicsContextGeneral, TLumGraphicsContext)
public:
    TLumGraphicsContextGeneral(TLumGraphics* AGraphics, TCanvas* ACanvas);
    ~TLumGraphicsContextGeneral() override;

    void* GetNativeCanvas() override { return GetCanvas(); }
    void* CreatePath() override { return nullptr; }
    void FreePath(void*) override { }
    TColor GetFillColor() override;
    TRectF CalculateText(const String& AText, const TRectF& ARect, bool AWordWrapping) override;
    TRectF SetTextAngle(const TRectF& ARect, float) override { return ARect; }
    TLumGraphicsMatrix GetMatrix() override { return MatrixIdentity(); }
    void Render() override { }
    void PathOpen(void*) override { }
    void PathMoveTo(void* APath, const TPointF& APoint) override;
    void PathLineTo(void* APath, const TPointF& APoint) override;
    void SetScale(float) override { }
    void PathClose(void* APath) override;
    void ResetClip() override { }
    void ResetTransform() override { }
    void ScaleTransform(float, float) override { }
    void RotateTransform(float) override { }
    void TranslateTransform(float, float) override { }
    void SetTextQuality(TLumGraphicsTextQuality) override { }
    void SetAntiAliasing(bool) override { }
    void SetShowAcceleratorChar(bool AShowAcceleratorChar) override { FShowAcceleratorChar = AShowAcceleratorChar; }
    void SetSize(float, float) override { }
    void ResetTextAngle(float) override { }
    void BeginScene() override { }
    void EndScene() override { }
    void BeginPrinting() override { FPrinting = true; }
    void EndPrinting() override { FPrinting = false; }
    void StartSpecialPen() override;
    void StopSpecialPen() override;
    void RestoreState(TLumGraphicsSaveState* AState) override;
    void SaveState(TLumGraphicsSaveState* AState) override;
    void SetFontSize(int ASize) override;
    void SetFontColor(TColor AColor) override;
    void SetFontName(const String& AName) override;
    void SetFont(TLumGraphicsFont* AFont) override;
    void SetFontStyles(TFontStyles AStyle) override;
    void SetMatrix(const TLumGraphicsMatrix&) override { }
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

private:
    class TBrushClearGuard;
    class TPenClearGuard;

    // Rotated, unwrapped, unclipped text placed for texts turned by 90 degrees.
    void DrawRotatedText(const String& AText, const TRect& ARect, TLumGraphicsTextAlign AHorizontalAlign,
        TLumGraphicsTextAlign AVerticalAlign, float AAngle);
    // The canvas's elliptic arc from the start angle clockwise through the
    // sweep, on the bounding box and points given by ARoundDown.
    void CanvasArc(const TPointF& ACenter, const TPointF& ARadius, float AStartAngle, float ASweepAngle, bool AChord);
    // One rounded corner of DrawRoundRect: integer centre and radius.
    void CornerArc(int ACenterX, int ACenterY, int ARadius, float AStartAngle, float ASweepAngle);
    // Runs ADraw with the brush clear and the special pen in AColor; the
    // pen colour stays AColor afterwards.
    void DrawWithFocusPen(TColor AColor, const std::function<void()>& ADraw);
    // Makes the canvas select its pen and brush into the device context now.
    void SelectCanvasObjects();
    TTextFormat TextFormat(bool AWordWrapping) const;

    bool FPrinting { false };
    bool FShowAcceleratorChar { false };
    HGDIOBJ FOldPenHandle { nullptr };
    HPEN FSpecialPen { nullptr };
    TPenStyle FOldPenStyle { psSolid };
    int FOldPenWidth { 1 };
};
