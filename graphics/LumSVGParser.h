#pragma once
// The SVG document: parses SVG text into a tree of elements (shapes, paths,
// images, text, groups, gradients with stops, clip paths, class rules) and
// decides the picture's view rectangle. Unknown elements and attributes are
// skipped. Drawing lives in LumSVGRenderer.cpp.

#include <memory>

#include "graphics/LumBitmap.h"
#include "graphics/LumGraphics.h"
#include "graphics/LumGraphicsPath.h"
#include "graphics/LumSVGBitmap.h"
#include "graphics/LumSVGPathData.h"
#include "platform/automation/XMLDOM.h"

enum TLumGraphicsSVGElementType { etContainer, etSwitch, etDefs, etUse, etRect, etLine, etPolyline, etPolygon, etCircle,
    etEllipse, etPath, etImage, etText, etTextSpan, etTextSpanChild, etTextPath, etClipPath, etLinearGradient,
    etRadialGradient, etStyle, etStop, etPattern, etUnknown };

enum TLumGraphicsSVGElementPreserveAspectRatio { parNone, parOther };

class TLumGraphicsSVGElement;
using TLumGraphicsSVGElementList = TObjectList<TLumGraphicsSVGElement>;
// Elements held elsewhere, listed for reference resolution.
using TLumGraphicsSVGElementClassList = std::vector<TLumGraphicsSVGElement*>;

class TLumGraphicsSVGElement : public TObject {
    QT_CLASS(TLumGraphicsSVGElement, TObject)
public:
    // The text of a presentation value that was never declared.
    static inline const String DefaultValue = u"default";

    TLumGraphicsSVGElement() = default;
    ~TLumGraphicsSVGElement() override;

    TLumBitmap* GetBitmap();
    // All sub-paths one after the other; built once, on first access.
    TLumGraphicsPath* GetCombinedPath();
    TLumGraphicsSVGElementPathList* GetPaths();
    TLumGraphicsPath* GetActivePath() const;
    TLumGraphicsSVGElementList* GetElements();

    bool HasFillColor() const { return IsColorDeclared(FFillColorValue); }
    bool HasStrokeColor() const { return IsColorDeclared(FStrokeColorValue); }
    bool HasStopColor() const { return IsColorDeclared(FStopColorValue); }
    bool HasStrokeWidth() const { return FStrokeWidthValue != DefaultValue; }
    bool HasOpacity() const { return FOpacityValue != DefaultValue; }
    bool HasOffset() const { return FOffsetValue != DefaultValue; }
    bool HasStopOpacity() const { return FStopOpacityValue != DefaultValue; }
    bool HasFontSize() const { return FFontSizeValue != DefaultValue; }
    bool HasPreserveAspectRatio() const { return FPreserveAspectRatioValue != DefaultValue; }
    bool HasElements() const { return FElements != nullptr; }
    bool HasPaths() const { return FPaths != nullptr; }
    bool HasBitmap() const { return FBitmap != nullptr; }
    bool HasActivePath() const { return GetActivePath() != nullptr; }

    TLumGraphicsSVGElementType GetType() const { return FType; }
    float GetX() const { return FXV; }
    float GetY() const { return FYV; }
    float GetWidth() const { return FWidth; }
    float GetHeight() const { return FHeight; }
    float GetRx() const { return FRx; }
    float GetRy() const { return FRy; }
    const TLumGraphicsMatrix& GetMatrix() const { return FMatrix; }
    const TLumGraphicsMatrix& GetGradientMatrix() const { return FGradientMatrix; }
    TColor GetFillColor() const { return FFillColor; }
    TColor GetStrokeColor() const { return FStrokeColor; }
    const String& GetFillColorValue() const { return FFillColorValue; }
    const String& GetStrokeColorValue() const { return FStrokeColorValue; }
    TLumGraphicsSVGElement* GetParent() const { return FParent; }
    float GetStrokeWidth() const { return FStrokeWidth; }
    const String& GetStrokeWidthValue() const { return FStrokeWidthValue; }
    const String& GetOpacityValue() const { return FOpacityValue; }
    const String& GetOffsetValue() const { return FOffsetValue; }
    float GetOffset() const { return FOffset; }
    const String& GetStopColorValue() const { return FStopColorValue; }
    TColor GetStopColor() const { return FStopColor; }
    const String& GetStopOpacityValue() const { return FStopOpacityValue; }
    float GetStopOpacity() const { return FStopOpacity; }
    float GetOpacity() const { return FOpacity; }
    const String& GetID() const { return FID; }
    const String& GetClassRefID() const { return FClassRefID; }
    TLumGraphicsSVGElement* GetClassRef() const { return FClassRef; }
    const String& GetHRefID() const { return FHRefID; }
    const String& GetURLRefID() const { return FURLRefID; }
    TLumGraphicsSVGElement* GetHRefRef() const { return FHRefRef; }
    TLumGraphicsSVGElement* GetPatternRef() const { return FPatternRef; }
    const String& GetClipPathRefID() const { return FClipPathRefID; }
    TLumGraphicsSVGElement* GetClipPathRef() const { return FClipPathRef; }
    const String& GetFontFamily() const { return FFontFamily; }
    const String& GetFontSizeValue() const { return FFontSizeValue; }
    float GetFontSize() const { return FFontSize; }
    TFontStyles GetFontStyle() const { return FFontStyle; }
    const String& GetText() const { return FText; }
    const String& GetDisplayValue() const { return FDisplayValue; }
    const String& GetPreserveAspectRatioValue() const { return FPreserveAspectRatioValue; }
    TLumGraphicsSVGElementPreserveAspectRatio GetPreserveAspectRatio() const { return FPreserveAspectRatio; }
    float GetCX() const { return FCX; }
    float GetCY() const { return FCY; }
    bool GetHasCX() const { return FHasCX; }
    bool GetHasCY() const { return FHasCY; }

private:
    friend class TLumGraphicsSVGImport;
    friend class TLumSVGStyleParser;
    static bool IsColorDeclared(const String& AValue)
    {
        return AValue != u"none" && AValue != u"transparent" && AValue != DefaultValue;
    }

    std::unique_ptr<TLumBitmap> FBitmap;
    std::unique_ptr<TLumGraphicsPath> FCombinedPath;
    std::unique_ptr<TLumGraphicsSVGElementPathList> FPaths;
    std::unique_ptr<TLumGraphicsSVGElementList> FElements;
    TLumGraphicsSVGElementType FType { etContainer };
    float FWidth { 0 }, FXV { 0 }, FYV { 0 }, FHeight { 0 }, FRx { 0 }, FRy { 0 };
    TLumGraphicsMatrix FMatrix {};
    TColor FFillColor { 0 };
    TColor FStrokeColor { 0 };
    String FFillColorValue { DefaultValue };
    String FStrokeColorValue { DefaultValue };
    TLumGraphicsSVGElement* FParent { nullptr };
    float FStrokeWidth { 1 };
    String FStrokeWidthValue { DefaultValue };
    String FOpacityValue { DefaultValue };
    String FOffsetValue { DefaultValue };
    float FOffset { 0 };
    String FStopColorValue { DefaultValue };
    TColor FStopColor { 0 };
    String FStopOpacityValue { DefaultValue };
    float FStopOpacity { 1 };
    float FOpacity { 1 };
    String FID, FClassRefID;
    TLumGraphicsSVGElement* FClassRef { nullptr };
    String FHRefID, FURLRefID;
    TLumGraphicsSVGElement* FHRefRef { nullptr };
    TLumGraphicsSVGElement* FPatternRef { nullptr };
    String FClipPathRefID;
    TLumGraphicsSVGElement* FClipPathRef { nullptr };
    String FFontFamily;
    String FFontSizeValue;
    float FFontSize { 0 };
    TFontStyles FFontStyle {};
    String FText;
    String FDisplayValue;
    String FPreserveAspectRatioValue { DefaultValue };
    TLumGraphicsSVGElementPreserveAspectRatio FPreserveAspectRatio { parOther };
    float FFR { 0 }, FCX { 0 }, FCY { 0 }, FFX { 0 }, FFY { 0 };
    bool FHasCX { false }, FHasCY { false };
    TLumGraphicsMatrix FGradientMatrix {};
};

// Colour and length syntaxes of SVG presentation values.
// "rgb(r, g, b)" or "rgba(r, g, b, a)": -1 when any part is unreadable; AAlpha
// gets the alpha part (255 for rgb, -1 when unreadable).
TColor ParseRGBColor(const String& AValue, int& AAlpha);
// The number of a length in this system's units ("in" is 25.4, "mm" 10, ...);
// AUnit gets the unit text.
float ParseSVGLength(const String& AValue, String* AUnit = nullptr);

class TLumGraphicsSVGImport : public TLumSVGImport {
    QT_CLASS(TLumGraphicsSVGImport, TLumSVGImport)
public:
    // Deeper element trees are refused while parsing.
    static constexpr int MaxElementDepth = 200;
    // One drawing of the document flattens at most this many path points;
    // past it the rest of the document is not drawn.
    static constexpr Int64 MaxFlattenedPoints = 4'000'000;

    TLumGraphicsSVGImport();
    ~TLumGraphicsSVGImport() override;

    bool HasElements() override { return ElementCount() > 0; }
    // Draws into an existing drawing object, or, with ARecreateGraphics, into a
    // new one on its canvas.
    void Draw(TLumGraphics* AGraphics, const TRectF& ARect, bool ANative, bool ARecreateGraphics);
    int ElementCount() override { return FElementList.GetCount(); }
    std::unique_ptr<TLumBitmap> GenerateBitmap(float AWidth, float AHeight) override;
    void Clear() override;
    void Draw(TCanvas* ACanvas, const TRectF& ARect, bool ANative) override;
    // Raises EXMLDocumentError for malformed XML.
    void LoadFromText(const String& AText) override;
    void LoadFromFile(const String& AFile) override;
    void LoadFromStream(TStream& AStream) override;
    // The document as the XML model serialises it, not the loaded bytes.
    void SaveToStream(TStream& AStream) override;
    void SaveToFile(const String& AFile) override;

    const TLumGraphicsSVGElementList& GetElementList() const { return FElementList; }
    // Of the last drawing: the path points it flattened, and whether it
    // stopped at MaxFlattenedPoints.
    Int64 GetFlattenedPoints() const { return MaxFlattenedPoints - FPointsLeft; }
    bool GetPointCapReached() const { return FPointCapReached; }
    const TLumGraphicsSVGElementList& GetDefsList() const { return FDefsList; }

    // The view rectangle's edges before anything set them.
    static constexpr float EmptyMarkerLow = 2147483648.0f;
    static constexpr float EmptyMarkerHigh = -2147483648.0f;

private:
    friend class TLumSVGRenderer;
    void ParseElements(const TXMLNode& ANode, TLumGraphicsSVGElement* AParent, TLumGraphicsSVGElementList& AList,
        bool AMeasure, int ADepth);
    void ParseElement(const TXMLNode& ANode, TLumGraphicsSVGElementType AType, TLumGraphicsSVGElement* AParent,
        TLumGraphicsSVGElementList& AList, bool AMeasure, int ADepth);
    void ParseStyleSheet(const String& AText);
    void LoadImage(TLumGraphicsSVGElement& AElement, const TXMLNode& ANode);
    void ExtendViewRect(const TLumGraphicsSVGElement& AElement, const TRectF& ARect);
    void ExtendViewRectByPath(const TLumGraphicsSVGElement& AElement, const TLumGraphicsPath& APath);
    void ResolveClassReferences(const TLumGraphicsSVGElementClassList& AList);
    void ResolveClassReference(TLumGraphicsSVGElement& AElement);
    void ResolveGradientReferences(TLumGraphicsSVGElementList& AList);
    void ResolveHRefReferences();

    // Drawing (LumSVGRenderer.cpp).
    void DrawNativeScene(TLumGraphics& AGraphics, const TRectF& ARect, float ASX, float ASY);
    bool SetViewMatrix(const TRectF& ARect, bool AWholeUnits, float& ASX, float& ASY);
    void DrawElements(TLumGraphicsSVGElementList& AList, TLumGraphics& AGraphics, float ASX, float ASY);
    void DrawElement(TLumGraphicsSVGElement& AElement, TLumGraphics& AGraphics, float ASX, float ASY);
    void StartDrawing();
    bool FlattenForDevice(TLumGraphicsPath& APath, TLumGraphics& AGraphics);
    void ApplyPresentation(TLumGraphicsSVGElement& AElement, TLumGraphicsSVGElement& AStyle,
        TLumGraphics& AGraphics, const TLumGraphicsMatrix& AMatrix, float ASX);
    TColor OverriddenColor(TColor AColor, TColor ACustomColor) const;
    TColor UndeclaredFillColor() const;

    TXMLDocument FXML;
    TLumGraphicsSVGElementClassList FElementClassList;
    TLumGraphicsSVGElementClassList FElementPatternList;
    TLumGraphicsSVGElementClassList FElementClipPathList;
    TLumGraphicsSVGElementList FElementList;
    TLumGraphicsSVGElementList FDefsList;
    TLumGraphicsMatrix FMatrix { TLumGraphicsMatrix::Identity() };
    TLumGraphicsMatrix FTextMatrix { TLumGraphicsMatrix::Identity() };
    TRectF FMeasured {};
    Int64 FPointsLeft { MaxFlattenedPoints };
    bool FPointCapReached { false };
};

// round(0.3 R + 0.6 G + 0.1 B) in all three channels.
TColor GrayScaleColor(TColor AColor);
// Per channel a x b / 255, truncated.
TColor MultiplyColors(TColor A, TColor B);
// The direction from AFrom to ATo in degrees, y downwards, in [0, 360).
float LineAngle(const TPointF& AFrom, const TPointF& ATo);
// The element's own transform followed by those its ancestors pass on.
TLumGraphicsMatrix GetElementMatrix(const TLumGraphicsSVGElement& AElement);
// The element's shape as a path (rectangles, lines, circles, ellipses, or the
// combined sub-paths of other types), appended to APath.
void ElementShapePath(TLumGraphicsSVGElement& AElement, TLumGraphicsPath& APath);

// Installs the document above as the one SVG pictures use.
void RegisterLumGraphicsSVGImport();
