#pragma once
// The drawing API: one object paints one scene on one canvas. It holds the
// current fill, stroke and font, decides whether a shape is filled and
// outlined at all, adds texture fills, marked-up text, pictures, small control
// glyphs, hit tests and colour conversions, and hands every drawing request to
// its back end (the GDI+ context when native, else the plain GDI context).

#include <memory>

#include "foundation/LumPersistence.h"
#include "graphics/LumGraphicsContext.h"
#include "graphics/LumGraphicsPath.h"
#include "graphics/LumGraphicsPictureSource.h"
#include "graphics/LumGraphicsTypes.h"
#include "platform/rtl/String.h"
#include "platform/rtl/Types.h"
#include "platform/vcl/Graphics.h"

class TCustomImageList;
class TLumBitmap;
class TLumScaledBitmaps;

// One call of the graphics mini-HTML renderer: what the drawing API hands it
// and what it reads back. Neutral values stand for the host features the
// drawing API does not use (focused and hovered anchors, hover colours).
struct TLumGraphicsHTMLCall {
    String Text;
    TRectF Rect;
    // Measuring lays the text out for its full height without painting.
    bool Measure { false };
    bool TestAnchor { false };
    TPoint HitPoint;
    bool WordWrap { false };
    float ScaleX { 1.0f };
    float ScaleY { 1.0f };

    // Results.
    float Width { 0 };
    float Height { 0 };
    int LineCount { 0 };
    // True when the point lies on a link or an embedded control.
    bool Hit { false };
    String Anchor;
    String ControlID;
    String ControlValue;
    String ControlType;
};

class TLumGraphics : public TObject, public TLumJSONMethods<TLumGraphics> {
    QT_CLASS(TLumGraphics, TObject)
public:
    // Draws on ACanvas (not owned) through the GDI+ context when ANative,
    // else through the plain GDI context.
    TLumGraphics(TCanvas* ACanvas, bool ANative);
    ~TLumGraphics() override;

    static std::unique_ptr<TLumGraphics> CreateNative(TCanvas* ACanvas);
    // Draws on an owned bitmap of this size (AHighDPI has no effect). The
    // highlight colours stay 0 here.
    static std::unique_ptr<TLumGraphics> CreateBitmapCanvas(int AWidth, int AHeight, bool ANative, bool AHighDPI);
    static std::unique_ptr<TLumGraphics> CreateNativeBitmapCanvas(int AWidth, int AHeight);

    TLumGraphicsFill* GetFill() const { return FFill.get(); }
    TLumGraphicsStroke* GetStroke() const { return FStroke.get(); }
    TLumGraphicsFont* GetFont() const { return FFont.get(); }
    TCanvas* GetCanvas() const { return FActiveCanvas; }
    TLumGraphicsContext* GetContext() const { return FNative ? FContextNative.get() : FContextGeneral.get(); }
    TBitmap* GetBitmap() const { return FBitmap.get(); }
    bool GetNative() const { return FNative; }
    bool GetOptimizedHTMLDrawing() const { return FOptimizedHTMLDrawing; }
    void SetOptimizedHTMLDrawing(bool Value) { FOptimizedHTMLDrawing = Value; }
    TColor GetHighlightColor() const { return FHighlightColor; }
    void SetHighlightColor(TColor Value) { FHighlightColor = Value; }
    TColor GetHighlightTextColor() const { return FHighlightTextColor; }
    void SetHighlightTextColor(TColor Value) { FHighlightTextColor = Value; }
    TFontStyles GetHighlightFontStyle() const { return FHighlightFontStyles; }
    void SetHighlightFontStyle(TFontStyles Value) { FHighlightFontStyles = Value; }
    TCustomImageList* GetImageList() const { return FImageList; }
    void SetImageList(TCustomImageList* Value) { FImageList = Value; }
    TLumGraphicsPictureSource* GetPictureContainer() const { return FPictureContainer; }
    void SetPictureContainer(TLumGraphicsPictureSource* Value) { FPictureContainer = Value; }
    TColor GetURLColor() const { return FURLColor; }
    void SetURLColor(TColor Value) { FURLColor = Value; }
    bool GetURLUnderline() const { return FURLUnderline; }
    void SetURLUnderline(bool Value) { FURLUnderline = Value; }
    String GetJSON() { return ToJSON(); }
    void SetJSON(const String& Value) { FromJSON(Value); }

    // ---- scene, printing, pens, transform (forwarded to the context) ----
    void BeginScene();
    void EndScene();
    void BeginPrinting();
    void EndPrinting();
    void StartSpecialPen();
    void StopSpecialPen();
    TLumGraphicsMatrix GetMatrix();
    void SetMatrix(const TLumGraphicsMatrix& AMatrix);

    // Copies fill, stroke and font of ASource (nothing for null).
    void Assign(TLumGraphics* ASource);

    // ---- state: the context first, then the own object ----
    void SetFill(TLumGraphicsFill* AFill);
    void SetFillKind(TLumGraphicsFillKind AKind);
    void SetFillColor(TColor AColor);
    void SetStroke(TLumGraphicsStroke* AStroke);
    void SetStrokeKind(TLumGraphicsStrokeKind AKind);
    void SetStrokeColor(TColor AColor);
    void SetStrokeWidth(float AWidth);
    void SetFont(TLumGraphicsFont* AFont);
    void SetFontColor(TColor AColor);
    void SetFontName(const String& AName);
    void SetFontSize(int ASize);
    void SetFontStyles(TFontStyles AStyle);

    // The caller owns the result until it hands it to RestoreState, which
    // consumes it. ACanvasOnly leaves fill, stroke and font out.
    std::unique_ptr<TLumGraphicsSaveState> SaveState(bool ACanvasOnly = false);
    void RestoreState(std::unique_ptr<TLumGraphicsSaveState> AState, bool ACanvasOnly = false);

    // ---- shapes: the fill first (when visible), then the outline ----
    void DrawLine(const TPointF& AFromPoint, const TPointF& AToPoint,
        TLumGraphicsModifyPointMode AModifyPointModeFrom = gcpmNone,
        TLumGraphicsModifyPointMode AModifyPointModeTo = gcpmNone);
    void DrawLine(const TPoint& AFromPoint, const TPoint& AToPoint,
        TLumGraphicsModifyPointMode AModifyPointModeFrom = gcpmNone,
        TLumGraphicsModifyPointMode AModifyPointModeTo = gcpmNone);
    void DrawPolygon(const TLumGraphicsPathPolygon& APolygon);
    void DrawPolyline(const TLumGraphicsPathPolygon& APolyline);
    void DrawPath(const TLumGraphicsPath* APath, TLumGraphicsPathDrawMode APathMode = pdmPath);
    // Degrees, clockwise from the positive x axis; ARadius holds both radii.
    void DrawArc(const TPointF& ACenter, const TPointF& ARadius, float AStartAngle, float ASweepAngle);
    void DrawArc(const TPoint& ACenter, const TPoint& ARadius, int AStartAngle, int ASweepAngle);

    // Without sides all four are outlined; the fill always covers the whole rectangle.
    void DrawRectangle(const TRectF& ARect, TLumGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
    void DrawRectangle(const TRectF& ARect, TLumGraphicsSides ASides,
        TLumGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
    void DrawRectangle(double ALeft, double ATop, double ARight, double ABottom,
        TLumGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
    void DrawRectangle(double ALeft, double ATop, double ARight, double ABottom, TLumGraphicsSides ASides,
        TLumGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
    void DrawRectangle(int ALeft, int ATop, int ARight, int ABottom,
        TLumGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
    void DrawRectangle(int ALeft, int ATop, int ARight, int ABottom, TLumGraphicsSides ASides,
        TLumGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
    void DrawRectangle(const TRect& ARect, TLumGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
    void DrawRectangle(const TRect& ARect, TLumGraphicsSides ASides,
        TLumGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);

    // The integer forms always round with gcrmShrinkAll, whatever the mode given.
    void DrawRoundRectangle(const TRectF& ARect, int ARounding = 8, TLumGraphicsCorners ACorners = AllCorners(),
        TLumGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
    void DrawRoundRectangle(double ALeft, double ATop, double ARight, double ABottom, int ARounding = 8,
        TLumGraphicsCorners ACorners = AllCorners(), TLumGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
    void DrawRoundRectangle(int ALeft, int ATop, int ARight, int ABottom, int ARounding = 8,
        TLumGraphicsCorners ACorners = AllCorners(), TLumGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
    void DrawRoundRectangle(const TRect& ARect, int ARounding = 8, TLumGraphicsCorners ACorners = AllCorners(),
        TLumGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);

    void DrawEllipse(const TRectF& ARect, TLumGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
    void DrawEllipse(double ALeft, double ATop, double ARight, double ABottom,
        TLumGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
    void DrawEllipse(int ALeft, int ATop, int ARight, int ABottom,
        TLumGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
    void DrawEllipse(const TRect& ARect, TLumGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);

    // A dotted one-pixel outline in AColor, whatever the stroke.
    void DrawFocusRectangle(const TRectF& ARect, TColor AColor = gcNull,
        TLumGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
    void DrawFocusRectangle(double ALeft, double ATop, double ARight, double ABottom, TColor AColor = gcNull,
        TLumGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
    void DrawFocusRectangle(int ALeft, int ATop, int ARight, int ABottom, TColor AColor = gcNull,
        TLumGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
    void DrawFocusRectangle(const TRect& ARect, TColor AColor = gcNull,
        TLumGraphicsModifyRectMode AModifyRectMode = gcrmShrinkAll);
    void DrawFocusPath(const TLumGraphicsPath* APath, TColor AColor = gcNull);

    void ClipRect(const TRectF& ARect);
    void ClipRect(const TRect& ARect);

    // ---- text ----
    // The rectangle the text occupies laid out from the top-left of ARect.
    TRectF CalculateText(const String& AText, const TRectF& ARect, bool AWordWrapping = false,
        bool ASupportHTML = true);
    TSizeF CalculateTextSize(const String& AText, const TRectF& ARect, bool AWordWrapping = false,
        bool ASupportHTML = true);
    float CalculateTextWidth(const String& AText, const TRectF& ARect, bool AWordWrapping = false,
        bool ASupportHTML = true);
    float CalculateTextHeight(const String& AText, const TRectF& ARect, bool AWordWrapping = false,
        bool ASupportHTML = true);
    // In (0, 0, 10000, 10000), no word wrapping, markup supported.
    TRectF CalculateText(const String& AText);
    TSizeF CalculateTextSize(const String& AText);
    float CalculateTextWidth(const String& AText);
    float CalculateTextHeight(const String& AText);
    // Integer forms: each result rounded half to even.
    TRect CalculateText(const String& AText, const TRect& ARect, bool AWordWrapping = false,
        bool ASupportHTML = true);
    TSize CalculateTextSize(const String& AText, const TRect& ARect, bool AWordWrapping = false,
        bool ASupportHTML = true);
    int CalculateTextWidth(const String& AText, const TRect& ARect, bool AWordWrapping = false,
        bool ASupportHTML = true);
    int CalculateTextHeight(const String& AText, const TRect& ARect, bool AWordWrapping = false,
        bool ASupportHTML = true);
    TRect CalculateTextInt(const String& AText);
    TSize CalculateTextSizeInt(const String& AText);
    int CalculateTextWidthInt(const String& AText);
    int CalculateTextHeightInt(const String& AText);

    // The drawing entry. Returns the anchor of the link under (AX, AY) when
    // ATestAnchor is set and a link is hit; the control outputs receive the
    // identifier, value and type of an embedded control under the point.
    String DrawText(const TRectF& ARect, const String& AText, String& AControlID, String& AControlValue,
        String& AControlType, bool AWordWrapping = false, TLumGraphicsTextAlign AHorizontalAlign = gtaLeading,
        TLumGraphicsTextAlign AVerticalAlign = gtaCenter, TLumGraphicsTextTrimming ATrimming = gttNone,
        float AAngle = 0, float AMinWidth = -1, float AMinHeight = -1, bool ASupportHTML = true,
        bool ATestAnchor = false, float AX = -1, float AY = -1);
    String DrawText(double ALeft, double ATop, double ARight, double ABottom, const String& AText,
        String& AControlID, String& AControlValue, String& AControlType, bool AWordWrapping = false,
        TLumGraphicsTextAlign AHorizontalAlign = gtaLeading, TLumGraphicsTextAlign AVerticalAlign = gtaCenter,
        TLumGraphicsTextTrimming ATrimming = gttNone, float AAngle = 0, float AMinWidth = -1,
        float AMinHeight = -1, bool ASupportHTML = true, bool ATestAnchor = false, float AX = -1, float AY = -1);
    String DrawText(const TRect& ARect, const String& AText, String& AControlID, String& AControlValue,
        String& AControlType, bool AWordWrapping = false, TLumGraphicsTextAlign AHorizontalAlign = gtaLeading,
        TLumGraphicsTextAlign AVerticalAlign = gtaCenter, TLumGraphicsTextTrimming ATrimming = gttNone,
        float AAngle = 0, float AMinWidth = -1, float AMinHeight = -1, bool ASupportHTML = true,
        bool ATestAnchor = false, float AX = -1, float AY = -1);
    String DrawText(int ALeft, int ATop, int ARight, int ABottom, const String& AText, String& AControlID,
        String& AControlValue, String& AControlType, bool AWordWrapping = false,
        TLumGraphicsTextAlign AHorizontalAlign = gtaLeading, TLumGraphicsTextAlign AVerticalAlign = gtaCenter,
        TLumGraphicsTextTrimming ATrimming = gttNone, float AAngle = 0, float AMinWidth = -1,
        float AMinHeight = -1, bool ASupportHTML = true, bool ATestAnchor = false, float AX = -1, float AY = -1);
    // Without control outputs.
    String DrawText(const TRectF& ARect, const String& AText, bool AWordWrapping = false,
        TLumGraphicsTextAlign AHorizontalAlign = gtaLeading, TLumGraphicsTextAlign AVerticalAlign = gtaCenter,
        TLumGraphicsTextTrimming ATrimming = gttNone, float AAngle = 0, float AMinWidth = -1,
        float AMinHeight = -1, bool ASupportHTML = true, bool ATestAnchor = false, float AX = -1, float AY = -1);
    String DrawText(double ALeft, double ATop, double ARight, double ABottom, const String& AText,
        bool AWordWrapping = false, TLumGraphicsTextAlign AHorizontalAlign = gtaLeading,
        TLumGraphicsTextAlign AVerticalAlign = gtaCenter, TLumGraphicsTextTrimming ATrimming = gttNone,
        float AAngle = 0, float AMinWidth = -1, float AMinHeight = -1, bool ASupportHTML = true,
        bool ATestAnchor = false, float AX = -1, float AY = -1);
    String DrawText(const TRect& ARect, const String& AText, bool AWordWrapping = false,
        TLumGraphicsTextAlign AHorizontalAlign = gtaLeading, TLumGraphicsTextAlign AVerticalAlign = gtaCenter,
        TLumGraphicsTextTrimming ATrimming = gttNone, float AAngle = 0, float AMinWidth = -1,
        float AMinHeight = -1, bool ASupportHTML = true, bool ATestAnchor = false, float AX = -1, float AY = -1);
    String DrawText(int ALeft, int ATop, int ARight, int ABottom, const String& AText, bool AWordWrapping = false,
        TLumGraphicsTextAlign AHorizontalAlign = gtaLeading, TLumGraphicsTextAlign AVerticalAlign = gtaCenter,
        TLumGraphicsTextTrimming ATrimming = gttNone, float AAngle = 0, float AMinWidth = -1,
        float AMinHeight = -1, bool ASupportHTML = true, bool ATestAnchor = false, float AX = -1, float AY = -1);
    // At a point: in (P.X, P.Y, P.X + 10000, P.Y + 10000), leading both ways.
    String DrawText(const TPointF& APoint, const String& AText, float AAngle = 0, bool ASupportHTML = true,
        bool ATestAnchor = false, float AX = -1, float AY = -1);

    // A markup text with every occurrence of AHilight in its visible
    // characters wrapped in ATag (case-insensitive unless ADoCase).
    static String ApplyHilight(const String& AText, const String& AHilight, const String& ATag, bool ADoCase);

    // ---- hit tests and colours ----
    // Left <= X < Right and Top <= Y < Bottom.
    static bool PointInRect(const TPointF& APoint, const TRectF& ARect);
    static bool PointInRect(const TPoint& APoint, const TRect& ARect);
    static bool PointInCircle(const TPointF& APoint, const TPointF& ACenter, float ARadius);
    static bool PointInPath(const TPointF& APoint, const TLumGraphicsPath* APath);
    static bool PointInPath(const TPoint& APoint, const TLumGraphicsPath* APath);
    // Even-odd rule.
    static bool PointInPolygon(const TPointF& APoint, const TLumGraphicsPathPolygon& APolygon);
    static bool PointInPolygon(const TPoint& APoint, const TLumGraphicsPathPolygon& APolygon);
    static Byte GetColorRed(TColor AColor);
    static Byte GetColorGreen(TColor AColor);
    static Byte GetColorBlue(TColor AColor);
    // "#RRGGBB" of the resolved colour.
    static String ColorToHTML(TColor AColor);
    // "#RGB" or "#RRGGBB"; empty gives -1; a non-hexadecimal digit raises EConvertError.
    static TColor HTMLToColor(const String& AHTML);
    // A colour name ("clRed", "Red", "gcRed"); unknown names give 0.
    static TColor TextToColor(const String& AText);

    // Built-in default colours (defined with the defaults).
    static void SetDefaultGraphicColors();
    static void SetDefaultGraphicColorsFromStyle();

    static TLumGraphicsCorners AllCorners() { return { gcTopLeft, gcTopRight, gcBottomLeft, gcBottomRight }; }
    static TLumGraphicsSides AllSides() { return { gsLeft, gsTop, gsRight, gsBottom }; }

    // pictures and glyphs
    // Defined with the picture and glyph operations (LumGraphicsPictures.cpp,
    // LumGraphicsGlyphs.cpp). Flags in order: aspect ratio, stretch, centre, cropping.
    void DrawBitmap(double ALeft, double ATop, double ARight, double ABottom, TPicture* ABitmap,
        bool AAspectRatio = true, bool AStretch = false, bool ACenter = true, bool ACropping = false);
    void DrawBitmap(const TRectF& ARect, TPicture* ABitmap, bool AAspectRatio = true, bool AStretch = false,
        bool ACenter = true, bool ACropping = false);
    void DrawBitmap(int ALeft, int ATop, int ARight, int ABottom, TPicture* ABitmap, bool AAspectRatio = true,
        bool AStretch = false, bool ACenter = true, bool ACropping = false);
    void DrawBitmap(const TRect& ARect, TPicture* ABitmap, bool AAspectRatio = true, bool AStretch = false,
        bool ACenter = true, bool ACropping = false);
    void DrawBitmap(float ALeft, float ATop, TPicture* ABitmap);
    void DrawBitmap(int ALeft, int ATop, TPicture* ABitmap);
    void DrawBitmapPart(double ASourceLeft, double ASourceTop, double ASourceRight, double ASourceBottom,
        double ADestinationLeft, double ADestinationTop, double ADestinationRight, double ADestinationBottom,
        TPicture* ABitmap, bool AAspectRatio = true, bool AStretch = false, bool ACenter = true,
        bool ACropping = false);
    void DrawBitmapPart(const TRectF& ASourceRect, const TRectF& ADestinationRect, TPicture* ABitmap,
        bool AAspectRatio = true, bool AStretch = false, bool ACenter = true, bool ACropping = false);
    void DrawBitmapPart(int ASourceLeft, int ASourceTop, int ASourceRight, int ASourceBottom,
        int ADestinationLeft, int ADestinationTop, int ADestinationRight, int ADestinationBottom,
        TPicture* ABitmap, bool AAspectRatio = true, bool AStretch = false, bool ACenter = true,
        bool ACropping = false);
    void DrawBitmapPart(const TRect& ASourceRect, const TRect& ADestinationRect, TPicture* ABitmap,
        bool AAspectRatio = true, bool AStretch = false, bool ACenter = true, bool ACropping = false);
    std::unique_ptr<TLumBitmap> DrawBitmapPartSync(double ASourceLeft, double ASourceTop, double ASourceRight,
        double ASourceBottom, double ADestinationLeft, double ADestinationTop, double ADestinationRight,
        double ADestinationBottom, TPicture* ABitmap, bool AAspectRatio = true, bool AStretch = false,
        bool ACenter = true, bool ACropping = false);
    TRectF GetBitmapDrawRectangle(double ALeft, double ATop, double ARight, double ABottom, TPicture* ABitmap,
        bool AAspectRatio = true, bool AStretch = false, bool ACenter = true, bool ACropping = false);
    TRectF GetBitmapDrawRectangle(const TRectF& ARect, TPicture* ABitmap, bool AAspectRatio = true,
        bool AStretch = false, bool ACenter = true, bool ACropping = false);
    TRect GetBitmapDrawRectangle(int ALeft, int ATop, int ARight, int ABottom, TPicture* ABitmap,
        bool AAspectRatio = true, bool AStretch = false, bool ACenter = true, bool ACropping = false);
    TRect GetBitmapDrawRectangle(const TRect& ARect, TPicture* ABitmap, bool AAspectRatio = true,
        bool AStretch = false, bool ACenter = true, bool ACropping = false);
    static void GetAspectSize(float& AWidth, float& AHeight, float AOriginalWidth, float AOriginalHeight,
        float ANewWidth, float ANewHeight, bool AAspectRatio, bool AStretch, bool ACropping);
    void DrawBitmapWithName(const TRectF& ARect, const String& ABitmapName, bool AApplyScale = true,
        float AScale = 0, bool AAspectRatio = true, bool AStretch = false, bool ACenter = true,
        bool ACropping = false);
    void DrawBitmapWithName(double ALeft, double ATop, double ARight, double ABottom, const String& ABitmapName,
        bool AApplyScale = true, float AScale = 0, bool AAspectRatio = true, bool AStretch = false,
        bool ACenter = true, bool ACropping = false);
    void DrawBitmapWithName(int ALeft, int ATop, int ARight, int ABottom, const String& ABitmapName,
        bool AApplyScale = true, float AScale = 0, bool AAspectRatio = true, bool AStretch = false,
        bool ACenter = true, bool ACropping = false);
    void DrawBitmapWithName(const TRect& ARect, const String& ABitmapName, bool AApplyScale = true,
        float AScale = 0, bool AAspectRatio = true, bool AStretch = false, bool ACenter = true,
        bool ACropping = false);
    static TPicture* GetBitmapFromPictureContainer(TLumGraphicsPictureSource* APictureContainer,
        const String& AName, bool AApplyScale = true, float AScale = 0);
    void DrawScaledBitmap(const TRectF& ARect, TLumScaledBitmaps* ABitmaps, float AScale = 0,
        bool AAspectRatio = true, bool AStretch = false, bool ACenter = true, bool ACropping = false);
    void DrawScaledBitmap(double ALeft, double ATop, double ARight, double ABottom, TLumScaledBitmaps* ABitmaps,
        float AScale = 0, bool AAspectRatio = true, bool AStretch = false, bool ACenter = true,
        bool ACropping = false);
    void DrawScaledBitmap(const TRect& ARect, TLumScaledBitmaps* ABitmaps, float AScale = 0,
        bool AAspectRatio = true, bool AStretch = false, bool ACenter = true, bool ACropping = false);
    void DrawScaledBitmap(int ALeft, int ATop, int ARight, int ABottom, TLumScaledBitmaps* ABitmaps,
        float AScale = 0, bool AAspectRatio = true, bool AStretch = false, bool ACenter = true,
        bool ACropping = false);
    static TPicture* GetScaledBitmap(TLumScaledBitmaps* ABitmaps, float AScale,
        TLumGraphicsPictureSource* APictureContainer);

    void DrawButton(const TRectF& ARect, bool ADown = false, bool AFocused = false, bool AEnabled = true,
        bool AAdaptToStyle = true, float AScaleFactor = 1.0f);
    void DrawButton(const TRect& ARect, bool ADown = false, bool AFocused = false, bool AEnabled = true,
        bool AAdaptToStyle = true, float AScaleFactor = 1.0f);
    void DrawCloseButton(const TRectF& ARect, bool ADown = false, bool AFocused = false, bool AEnabled = true,
        bool AAdaptToStyle = true, float AScaleFactor = 1.0f);
    void DrawCloseButton(const TRect& ARect, bool ADown = false, bool AFocused = false, bool AEnabled = true,
        bool AAdaptToStyle = true, float AScaleFactor = 1.0f);
    void DrawExpanderButton(const TRectF& ARect, TLumGraphicsExpanderState AState = gesCollapsed,
        bool ADown = false, bool AFocused = false, bool AEnabled = true, bool AAdaptToStyle = true,
        float AScaleFactor = 1.0f);
    void DrawExpanderButton(const TRect& ARect, TLumGraphicsExpanderState AState = gesCollapsed,
        bool ADown = false, bool AFocused = false, bool AEnabled = true, bool AAdaptToStyle = true,
        float AScaleFactor = 1.0f);
    void DrawCompactButton(const TRectF& ARect, TLumGraphicsCompactState AState = gcsCollapsed,
        bool ADown = false, bool AFocused = false, bool AEnabled = true, bool AAdaptToStyle = true,
        float AScaleFactor = 1.0f);
    void DrawCompactButton(const TRect& ARect, TLumGraphicsCompactState AState = gcsCollapsed,
        bool ADown = false, bool AFocused = false, bool AEnabled = true, bool AAdaptToStyle = true,
        float AScaleFactor = 1.0f);
    void DrawDropDownButton(const TRectF& ARect, bool ADown = false, bool AFocused = false, bool AEnabled = true,
        bool ACenter = false, bool AAdaptToStyle = true, float AScaleFactor = 1.0f);
    void DrawDropDownButton(const TRect& ARect, bool ADown = false, bool AFocused = false, bool AEnabled = true,
        bool ACenter = false, bool AAdaptToStyle = true, float AScaleFactor = 1.0f);
    void DrawCheckBox(const TRectF& ARect, bool AChecked = false, bool AFocused = false, bool AEnabled = true,
        float AScaleFactor = 1.0f);
    void DrawCheckBox(const TRect& ARect, bool AChecked = false, bool AFocused = false, bool AEnabled = true,
        float AScaleFactor = 1.0f);
    void DrawRadioButton(const TRectF& ARect, bool AChecked = false, bool AFocused = false, bool AEnabled = true,
        float AScaleFactor = 1.0f);
    void DrawRadioButton(const TRect& ARect, bool AChecked = false, bool AFocused = false, bool AEnabled = true,
        float AScaleFactor = 1.0f);
    void DrawProgressBar(const TRectF& ARect, float AValue, const String& AFormat = u"%.0f%%",
        float AMax = 100, TColor AColor = 0xB48246, TColor ATextColor = 0, bool AShowText = true,
        bool AEnabled = true, float AScaleFactor = 1.0f);
    void DrawProgressBar(const TRect& ARect, float AValue, const String& AFormat = u"%.0f%%",
        float AMax = 100, TColor AColor = 0xB48246, TColor ATextColor = 0, bool AShowText = true,
        bool AEnabled = true, float AScaleFactor = 1.0f);
    static void DrawSample(TCanvas* ACanvas, const TRectF& ARect);

protected:
    // The measuring and drawing cores of the text operations.
    virtual TRectF InternalCalculateText(const String& AText, const TRectF& ARect, bool AWordWrapping,
        bool ASupportHTML);
    virtual String InternalDrawText(const TRectF& ARect, const String& AText, String& AControlID,
        String& AControlValue, String& AControlType, bool AWordWrapping, TLumGraphicsTextAlign AHorizontalAlign,
        TLumGraphicsTextAlign AVerticalAlign, TLumGraphicsTextTrimming ATrimming, float AAngle, float AMinWidth,
        float AMinHeight, bool ASupportHTML, bool ATestAnchor, float AX, float AY);

private:
    struct BitmapCanvasTag { };
    TLumGraphics(BitmapCanvasTag, int AWidth, int AHeight, bool ANative);

    void CreateContext(TLumGraphicsContextClass AClass, float AWidth, float AHeight);
    void CreateStateObjects();
    void InitializeState();
    void FillChanged(TObject* Sender);
    void StrokeChanged(TObject* Sender);
    void FontChanged(TObject* Sender);
    bool IsFillVisible() const;
    bool IsStrokeVisible() const;
    void DrawTexture(const TRectF& ARect);
    // A new mini-HTML call carrying this object's markup settings.
    TLumGraphicsHTMLCall MakeHTMLCall(const String& AText, const TRectF& ARect, bool AWordWrapping) const;

    TCanvas* FActiveCanvas { nullptr };
    int FBlockUpdate { 0 };
    bool FNative { false };
    std::unique_ptr<TLumGraphicsContext> FContextNative;
    std::unique_ptr<TLumGraphicsContext> FContextGeneral;
    std::unique_ptr<TBitmap> FBitmap;
    std::unique_ptr<TLumGraphicsFill> FFill;
    std::unique_ptr<TLumGraphicsStroke> FStroke;
    std::unique_ptr<TLumGraphicsFont> FFont;
    TColor FHighlightColor { 0 };
    bool FOptimizedHTMLDrawing { false };
    TColor FHighlightTextColor { 0 };
    TFontStyles FHighlightFontStyles {};
    bool FURLUnderline { true };
    TColor FURLColor { 0xFF0000 };
    TLumGraphicsPictureSource* FPictureContainer { nullptr };
    TCustomImageList* FImageList { nullptr };
};

// The graphics mini-HTML renderer (defined with it, LumGraphicsHTML.cpp):
// lays ACall.Text out in ACall.Rect drawing through AGraphics, measuring only
// when ACall.Measure; fills the results and returns ACall.Hit.
bool RenderGraphicsHTML(TLumGraphics& AGraphics, TLumGraphicsHTMLCall& ACall);
// The renderer's highlighting routine behind TLumGraphics::ApplyHilight.
String GraphicsHTMLHilight(const String& AText, const String& AHilight, const String& ATag, bool ADoCase);
