#pragma once
// Value objects of the drawing API: fill, stroke, font, gradient stops, a
// saved drawing state, the graphics enumerations, colour routines and the
// table of named colours. Every effective change of a fill, stroke, font or
// stop raises one OnChanged; BeginUpdate/EndUpdate batch them.

#include <memory>

#include "foundation/LumPersistence.h"
#include "graphics/LumOwnedCollection.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Types.h"
#include "platform/vcl/Graphics.h"

class TLumBitmap;

// The fills' and strokes' "no colour".
inline constexpr TColor gcNull = -1;

enum TLumGraphicsFillKind { gfkNone, gfkSolid, gfkGradient, gfkTexture };
QT_ENUM(TLumGraphicsFillKind, gfkNone, gfkSolid, gfkGradient, gfkTexture)
enum TLumGraphicsStrokeKind { gskNone, gskSolid, gskDash, gskDot, gskDashDot, gskDashDotDot };
QT_ENUM(TLumGraphicsStrokeKind, gskNone, gskSolid, gskDash, gskDot, gskDashDot, gskDashDotDot)
enum TLumGraphicsTextureMode { gtmOriginal, gtmFit, gtmStretch, gtmCenter, gtmTile };
QT_ENUM(TLumGraphicsTextureMode, gtmOriginal, gtmFit, gtmStretch, gtmCenter, gtmTile)
enum TLumGraphicsFillGradientMode { gfgmDefault, gfgmCollection };
QT_ENUM(TLumGraphicsFillGradientMode, gfgmDefault, gfgmCollection)
enum TLumGraphicsFillGradientType { gfgtLinear, gfgtRadial };
QT_ENUM(TLumGraphicsFillGradientType, gfgtLinear, gfgtRadial)
enum TLumGraphicsFillOrientation { gfoHorizontal, gfoVertical, gfoCustom };
QT_ENUM(TLumGraphicsFillOrientation, gfoHorizontal, gfoVertical, gfoCustom)
enum TLumGraphicsTextAlign { gtaCenter, gtaLeading, gtaTrailing };
QT_ENUM(TLumGraphicsTextAlign, gtaCenter, gtaLeading, gtaTrailing)
enum TLumGraphicsTextTrimming { gttNone, gttCharacter, gttWord };
QT_ENUM(TLumGraphicsTextTrimming, gttNone, gttCharacter, gttWord)
enum TLumGraphicsSide { gsLeft, gsTop, gsRight, gsBottom };
QT_ENUM(TLumGraphicsSide, gsLeft, gsTop, gsRight, gsBottom)
using TLumGraphicsSides = Set<TLumGraphicsSide>;
enum TLumGraphicsTextQuality { gtqDefault, gtqAntiAliasing, gtqClearType };
QT_ENUM(TLumGraphicsTextQuality, gtqDefault, gtqAntiAliasing, gtqClearType)
enum TLumGraphicsModifyRectMode {
    gcrmNone, gcrmExpandAll, gcrmShrinkAll, gcrmShiftRightAndExpandHeight, gcrmShiftDownAndExpandWidth,
    gcrmShiftRightAndShrinkHeight, gcrmShiftRightDown, gcrmShiftRightUp, gcrmShiftLeftUp, gcrmShiftLeftDown,
    gcrmShiftUpAndExpandWidth, gcrmShiftLeftAndExpandHeight
};
QT_ENUM(TLumGraphicsModifyRectMode, gcrmNone, gcrmExpandAll, gcrmShrinkAll, gcrmShiftRightAndExpandHeight,
    gcrmShiftDownAndExpandWidth, gcrmShiftRightAndShrinkHeight, gcrmShiftRightDown, gcrmShiftRightUp,
    gcrmShiftLeftUp, gcrmShiftLeftDown, gcrmShiftUpAndExpandWidth, gcrmShiftLeftAndExpandHeight)
enum TLumGraphicsModifyPointMode { gcpmNone, gcpmLeftUp, gcpmRightDown, gcpmLeftDown, gcpmRightUp };
QT_ENUM(TLumGraphicsModifyPointMode, gcpmNone, gcpmLeftUp, gcpmRightDown, gcpmLeftDown, gcpmRightUp)
enum TLumGraphicsExpanderState { gesCollapsed, gesExpanded };
QT_ENUM(TLumGraphicsExpanderState, gesCollapsed, gesExpanded)
enum TLumGraphicsCompactState { gcsCollapsed, gcsExpanded };
QT_ENUM(TLumGraphicsCompactState, gcsCollapsed, gcsExpanded)
enum TLumGraphicsCorner { gcTopLeft, gcTopRight, gcBottomLeft, gcBottomRight };
QT_ENUM(TLumGraphicsCorner, gcTopLeft, gcTopRight, gcBottomLeft, gcBottomRight)
using TLumGraphicsCorners = Set<TLumGraphicsCorner>;

class TLumCustomGraphicsFill;
class TLumGraphicsFillGradientItems;

// ---- gradient stops ----

class TLumGraphicsFillGradientItem : public TCollectionItem, public TLumJSONMethods<TLumGraphicsFillGradientItem> {
    QT_CLASS(TLumGraphicsFillGradientItem, TCollectionItem)
public:
    explicit TLumGraphicsFillGradientItem(TCollection* Collection = nullptr);
    void Assign(TPersistent* Source) override;

    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    float GetPosition() const { return FPosition; }
    void SetPosition(float Value);
    float GetOpacity() const { return FOpacity; }
    void SetOpacity(float Value);
    bool IsOpacityStored() const { return FOpacity != 1.0f; }
    bool IsPositionStored() const { return FPosition != 0.0f; }

private:
    void NotifyOwnerFill();

    TColor FColor { 0xFFFFFF };
    float FPosition { 0 };
    float FOpacity { 1 };
};

class TLumGraphicsFillGradientItems : public TLumOwnedCollection<TLumGraphicsFillGradientItem> {
    QT_CLASS(TLumGraphicsFillGradientItems, TLumOwnedCollection<TLumGraphicsFillGradientItem>)
public:
    explicit TLumGraphicsFillGradientItems(TLumCustomGraphicsFill* AOwner);
    TLumGraphicsFillGradientItem* Add();
    TLumGraphicsFillGradientItem* Insert(int Index);
    TLumGraphicsFillGradientItem* GetItems(int Index) const { return GetItem(Index); }
    void SetItems(int Index, TLumGraphicsFillGradientItem* Value) { GetItem(Index)->Assign(Value); }
    TLumCustomGraphicsFill* GetOwnerFill() const { return FOwner; }

private:
    TLumCustomGraphicsFill* FOwner { nullptr };
};

// ---- fill ----

class TLumCustomGraphicsFill : public TPersistent {
    QT_CLASS(TLumCustomGraphicsFill, TPersistent)
public:
    explicit TLumCustomGraphicsFill(TLumGraphicsFillKind AKind = gfkSolid, TColor AColor = 0xFFFFFF,
        TColor AColorTo = 0xC0C0C0, TColor AColorMirror = gcNull, TColor AColorMirrorTo = gcNull);
    ~TLumCustomGraphicsFill() override;
    void Assign(TPersistent* Source) override;

    virtual void BeginUpdate() { ++FUpdateCount; }
    virtual void EndUpdate();
    virtual void ClearGradientItems();
    virtual TLumGraphicsFillGradientItem* AddGradientItem(TColor AColor, float APosition, float AOpacity);
    // Raises OnChanged unless an update is open.
    void Changed();

    TLumGraphicsFillKind GetKind() const { return FKind; }
    void SetKind(TLumGraphicsFillKind Value);
    TLumGraphicsFillOrientation GetOrientation() const { return FOrientation; }
    void SetOrientation(TLumGraphicsFillOrientation Value);
    TLumGraphicsFillOrientation GetGradientOrientation() const { return FOrientation; }
    void SetGradientOrientation(TLumGraphicsFillOrientation Value) { SetOrientation(Value); }
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value) { SetColorField(FColor, Value); }
    TColor GetColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value) { SetColorField(FColorTo, Value); }
    TColor GetColorMirror() const { return FColorMirror; }
    void SetColorMirror(TColor Value) { SetColorField(FColorMirror, Value); }
    TColor GetColorMirrorTo() const { return FColorMirrorTo; }
    void SetColorMirrorTo(TColor Value) { SetColorField(FColorMirrorTo, Value); }
    float GetOpacity() const { return FOpacity; }
    void SetOpacity(float Value);
    TLumBitmap* GetTexture() const { return FTexture.get(); }
    void SetTexture(TLumBitmap* Value);
    TLumGraphicsTextureMode GetTextureMode() const { return FTextureMode; }
    void SetTextureMode(TLumGraphicsTextureMode Value);
    TLumGraphicsFillGradientMode GetGradientMode() const { return FGradientMode; }
    void SetGradientMode(TLumGraphicsFillGradientMode Value);
    TLumGraphicsFillGradientItems* GetGradientItems() const { return FGradientItems.get(); }
    void SetGradientItems(TLumGraphicsFillGradientItems* Value);
    TLumGraphicsFillGradientType GetGradientType() const { return FGradientType; }
    void SetGradientType(TLumGraphicsFillGradientType Value);
    float GetGradientAngle() const { return FGradientAngle; }
    void SetGradientAngle(float Value);
    TPointF GetGradientCenterPoint() const { return FGradientCenterPoint; }
    void SetGradientCenterPoint(TPointF Value);
    TColor GetGradientCenterColor() const { return FGradientCenterColor; }
    void SetGradientCenterColor(TColor Value);

    // Whether a property differs from its default and so is streamed.
    bool IsKindStored() const { return FKind != FDefaultKind; }
    bool IsOrientationStored() const { return FOrientation != gfoVertical; }
    bool IsColorStored() const { return FColor != FDefaultColor; }
    bool IsColorToStored() const { return FColorTo != FDefaultColorTo; }
    bool IsColorMirrorStored() const { return FColorMirror != FDefaultColorMirror; }
    bool IsColorMirrorToStored() const { return FColorMirrorTo != FDefaultColorMirrorTo; }
    bool IsTextureModeStored() const { return FTextureMode != gtmStretch; }
    bool IsOpacityStored() const { return FOpacity != 1.0f; }
    bool IsGradientAngleStored() const { return FGradientAngle != 0.0f; }

    TNotifyEvent OnChanged;

private:
    void SetColorField(TColor& AField, TColor Value);

    int FUpdateCount { 0 };
    TLumGraphicsFillOrientation FOrientation { gfoVertical };
    TLumGraphicsFillKind FKind { gfkSolid };
    TLumGraphicsFillKind FDefaultKind { gfkSolid };
    TColor FColor { 0xFFFFFF };
    TColor FDefaultColor { 0xFFFFFF };
    TColor FColorTo { gcNull };
    TColor FColorMirror { gcNull };
    TColor FColorMirrorTo { gcNull };
    TColor FDefaultColorTo { gcNull };
    TColor FDefaultColorMirror { gcNull };
    TColor FDefaultColorMirrorTo { gcNull };
    float FOpacity { 1 };
    std::unique_ptr<TLumBitmap> FTexture;
    TLumGraphicsTextureMode FTextureMode { gtmStretch };
    TLumGraphicsFillGradientMode FGradientMode { gfgmDefault };
    std::unique_ptr<TLumGraphicsFillGradientItems> FGradientItems;
    TLumGraphicsFillGradientType FGradientType { gfgtLinear };
    float FGradientAngle { 0 };
    TPointF FGradientCenterPoint {};
    TColor FGradientCenterColor { gcNull };
};

class TLumGraphicsFill : public TLumCustomGraphicsFill, public TLumJSONMethods<TLumGraphicsFill> {
    QT_CLASS(TLumGraphicsFill, TLumCustomGraphicsFill)
public:
    using TLumCustomGraphicsFill::TLumCustomGraphicsFill;
};

// ---- stroke ----

class TLumCustomGraphicsStroke : public TPersistent {
    QT_CLASS(TLumCustomGraphicsStroke, TPersistent)
public:
    explicit TLumCustomGraphicsStroke(TLumGraphicsStrokeKind AKind = gskSolid, TColor AColor = 0xC0C0C0);
    void Assign(TPersistent* Source) override;

    virtual void BeginUpdate() { ++FUpdateCount; }
    virtual void EndUpdate();
    void Changed();

    TLumGraphicsStrokeKind GetKind() const { return FKind; }
    void SetKind(TLumGraphicsStrokeKind Value);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    float GetWidth() const { return FWidth; }
    void SetWidth(float Value);
    float GetOpacity() const { return FOpacity; }
    void SetOpacity(float Value);

    bool IsKindStored() const { return FKind != FDefaultKind; }
    bool IsColorStored() const { return FColor != FDefaultColor; }
    bool IsWidthStored() const { return FWidth != 1.0f; }
    bool IsOpacityStored() const { return FOpacity != 1.0f; }

    TNotifyEvent OnChanged;

private:
    int FUpdateCount { 0 };
    TLumGraphicsStrokeKind FKind { gskSolid };
    TColor FColor { 0xC0C0C0 };
    float FWidth { 1 };
    float FOpacity { 1 };
    TLumGraphicsStrokeKind FDefaultKind { gskSolid };
    TColor FDefaultColor { 0xC0C0C0 };
};

class TLumGraphicsStroke : public TLumCustomGraphicsStroke, public TLumJSONMethods<TLumGraphicsStroke> {
    QT_CLASS(TLumGraphicsStroke, TLumCustomGraphicsStroke)
public:
    using TLumCustomGraphicsStroke::TLumCustomGraphicsStroke;
};

// ---- font ----

class TLumGraphicsFont : public TFont, public TLumJSONMethods<TLumGraphicsFont> {
    QT_CLASS(TLumGraphicsFont, TFont)
public:
    TLumGraphicsFont();
    void Assign(TPersistent* Source) override;
    virtual void AssignSource(TPersistent* Source) { Assign(Source); }
    virtual void BeginUpdate() { ++FUpdateCount; }
    virtual void EndUpdate();

    TNotifyEvent OnChanged;

protected:
    void Changed() override;

private:
    void NotifyChanged();

    int FUpdateCount { 0 };
};

// ---- saved drawing state ----

class TLumGraphicsSaveState : public TPersistent {
    QT_CLASS(TLumGraphicsSaveState, TPersistent)
public:
    TLumGraphicsSaveState();
    ~TLumGraphicsSaveState() override;

    TLumGraphicsStroke* GetStroke() const { return FStroke.get(); }
    void SetStroke(TLumGraphicsStroke* Value) { FStroke->Assign(Value); }
    TLumGraphicsFill* GetFill() const { return FFill.get(); }
    void SetFill(TLumGraphicsFill* Value) { FFill->Assign(Value); }
    TLumGraphicsFont* GetFont() const { return FFont.get(); }
    void SetFont(TLumGraphicsFont* Value) { FFont->AssignSource(Value); }
    NativeUInt GetCustomSaveDC() const { return FCustomSaveDC; }
    void SetCustomSaveDC(NativeUInt Value) { FCustomSaveDC = Value; }
    int GetSaveDC() const { return FSaveDC; }
    void SetSaveDC(int Value) { FSaveDC = Value; }

private:
    int FSaveDC { 0 };
    std::unique_ptr<TLumGraphicsFont> FFont;
    std::unique_ptr<TLumGraphicsStroke> FStroke;
    std::unique_ptr<TLumGraphicsFill> FFill;
    NativeUInt FCustomSaveDC { 0 };
};

// ---- named colours ----

class TLumGraphicsColorObject : public TObject, public TLumJSONMethods<TLumGraphicsColorObject> {
    QT_CLASS(TLumGraphicsColorObject, TObject)
public:
    explicit TLumGraphicsColorObject(TColor AColor = 0) : FColor(AColor) { }
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    String GetJSON() { return ToJSON(); }
    void SetJSON(const String& Value) { FromJSON(Value); }

private:
    TColor FColor { 0 };
};

// The 160 named colours: lower-case names, each with an owned colour object.
// Unsorted; lookups take the first entry of a name.
TStringList* GetNamedColorList();
// The colour of a CSS colour name of that table (lower case, exact); false
// for any other text.
bool FindNamedColor(StringView lowerName, TColor& color);

// ---- colour routines ----

TColor MixColors(TColor C1, TColor C2, Byte Percent);
TColor LightenColor(TColor AColor, Byte Percent);
constexpr TColor MakeRGBColor(Byte R, Byte G, Byte B) { return TColor(R | (G << 8) | (B << 16)); }
// A gradient in 1-pixel bands with optional rounded corners (bit 1 top-left,
// 2 top-right, 4 bottom-left, 8 bottom-right), drawn with the plain canvas.
void DrawGradientRect(TCanvas* ACanvas, TColor FromColor, TColor ToColor, bool AHorizontal, int ACorners,
    float ARadius, const TRect& R);
