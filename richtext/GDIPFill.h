#pragma once
// The persistent description of how a rectangle is filled through GDI+:
// solid, gradient, hatch or texture, optionally split into a top half and a
// mirrored bottom half, with per-colour opacity, rounded corners, a shadow, a
// border, a glow, a focus outline and two pictures. Saved to ini sections and
// carried through the clipboard format "GDI+ Fill".

#include <memory>

#include "platform/rtl/Classes.h"
#include "platform/rtl/IniFiles.h"
#include "richtext/GDIPPicture.h"
#include "richtext/LumGDIP.h"

namespace LumGDIP {
QT_ENUM(TLumGradientType, gtSolid, gtRadial, gtVertical, gtHorizontal, gtForwardDiagonal, gtBackwardDiagonal,
    gtAngle, gtHatch, gtPath, gtTexture, gtNone)
}
using LumGDIP::TLumGradientType;

enum TFillPictureMode { pmInsideFill, pmOutsideFill };
QT_ENUM(TFillPictureMode, pmInsideFill, pmOutsideFill)
enum TFillPicturePosition {
    ppTopLeft, ppTopCenter, ppTopRight, ppBottomLeft, ppBottomCenter, ppBottomRight, ppTiled, ppStretched,
    ppCenterLeft, ppCenterCenter, ppCenterRight, ppCustom
};
QT_ENUM(TFillPicturePosition, ppTopLeft, ppTopCenter, ppTopRight, ppBottomLeft, ppBottomCenter, ppBottomRight,
    ppTiled, ppStretched, ppCenterLeft, ppCenterCenter, ppCenterRight, ppCustom)
enum TPictureMode { pmStretch, pmNormal };
QT_ENUM(TPictureMode, pmStretch, pmNormal)
enum TFillPictureSize { psOriginal, psCustom };
QT_ENUM(TFillPictureSize, psOriginal, psCustom)
enum TFillRoundingType { rtNone, rtTop, rtBottom, rtBoth, rtLeft, rtRight };
QT_ENUM(TFillRoundingType, rtNone, rtTop, rtBottom, rtBoth, rtLeft, rtRight)
enum TShadowType { stRightBottom, stBottom, stSurround };
QT_ENUM(TShadowType, stRightBottom, stBottom, stSurround)
enum TGlowMode { gmNone, gmGradient, gmRadial, gmRadialGradient };
QT_ENUM(TGlowMode, gmNone, gmGradient, gmRadial, gmRadialGradient)

// The 53 hatch patterns are numbered 0..52; HatchStyleTotal follows them.
inline constexpr LumGDIP::HatchStyle HatchStyleHorizontal = 0;
inline constexpr LumGDIP::HatchStyle HatchStyleTotal = 53;

// A closed path of straight edges whose chosen corners are quarter circles of
// the radius. A radius of 0 or less gives square corners; a radius above half
// the smaller side is capped there. The caller frees the path.
LumGDIP::TGPGraphicsPath* CreateRoundRectangle(
    const LumGDIP::TGPRectF& R, float Radius, TFillRoundingType RoundingType);

// Decodes hexadecimal text, two digits (either case) per byte; raises
// EConvertError "No Hex-Number" on any other character or an odd length.
TBytes HexToBytes(StringView Text);
String BytesToHex(const TBytes& Bytes);

// The clipboard format id of "GDI+ Fill".
UINT GDIPFillClipboardFormat();

#define QT_FILL_PROP(Type, Name, Default)                                                                          \
public:                                                                                                          \
    Type Get##Name() const { return F##Name; }                                                                   \
    void Set##Name(Type value)                                                                                   \
    {                                                                                                            \
        if (F##Name != value) {                                                                                  \
            F##Name = value;                                                                                     \
            Changed();                                                                                           \
        }                                                                                                        \
    }                                                                                                            \
                                                                                                                 \
private:                                                                                                         \
    Type F##Name { Default };

class TGDIPFill : public TPersistent {
    QT_CLASS(TGDIPFill, TPersistent)
public:
    TGDIPFill();
    ~TGDIPFill() override;
    // Copies every published property from another fill (pictures by value),
    // then raises OnChange; any other source is ignored.
    void Assign(TPersistent* Source) override;
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate()
    {
        if (FUpdateCount > 0)
            --FUpdateCount;
    }

    // Draws into R and returns what remains after the shadow. An opacity
    // argument of 255 uses the matching property.
    LumGDIP::TGPRectF Fill(LumGDIP::TGPGraphics* Graphics, const LumGDIP::TGPRectF& R, Byte ABorderOpacity = 255,
        Byte AOpacity = 255, Byte AOpacityTo = 255, Byte AOpacityMirror = 255, Byte AOpacityMirrorTo = 255);
    void DrawGradientBackGround(LumGDIP::TGPGraphics* Graphics, const LumGDIP::TGPRectF& R, bool Mirror, Byte oc,
        Byte octo, Byte ocmr, Byte ocmrto);
    void DrawGlow(LumGDIP::TGPGraphics* Graphics, const LumGDIP::TGPRectF& R);

    void SaveToFile(const String& FileName, const String& Section);
    void SaveToFile(TCustomIniFile& Ini, const String& Section);
    void LoadFromFile(const String& FileName, const String& Section);
    void LoadFromFile(TCustomIniFile& Ini, const String& Section);
    void SaveToClipBoard();
    void LoadFromClipBoard();

    LumGDIP::TLumGDIPPicture* GetBackGroundPicture() const { return FBackGroundPicture.get(); }
    void SetBackGroundPicture(LumGDIP::TLumGDIPPicture* value) { FBackGroundPicture->Assign(value); }
    LumGDIP::TLumGDIPPicture* GetPicture() const { return FPicture.get(); }
    void SetPicture(LumGDIP::TLumGDIPPicture* value) { FPicture->Assign(value); }

    bool GetFocus() const { return FFocus; }
    void SetFocus(bool value) { FFocus = value; }
    TColor GetFocusColor() const { return FFocusColor; }
    void SetFocusColor(TColor value) { FFocusColor = value; }
    // The area inside the border, set by every Fill.
    const LumGDIP::TGPRectF& GetFocusRect() const { return FFocusRect; }

    TNotifyEvent OnChange;

    QT_FILL_PROP(TColor, Color, 0xC0C0C0)
    QT_FILL_PROP(TColor, ColorTo, 0x808080)
    QT_FILL_PROP(TColor, ColorMirror, clNone)
    QT_FILL_PROP(TColor, ColorMirrorTo, clNone)
    QT_FILL_PROP(TLumGradientType, GradientType, LumGDIP::gtVertical)
    QT_FILL_PROP(TLumGradientType, GradientMirrorType, LumGDIP::gtSolid)
    QT_FILL_PROP(LumGDIP::HatchStyle, HatchStyle, HatchStyleHorizontal)
    QT_FILL_PROP(LumGDIP::HatchStyle, HatchStyleMirror, HatchStyleHorizontal)
    QT_FILL_PROP(bool, BackGroundPictureAspectRatio, false)
    QT_FILL_PROP(TFillPictureMode, BackGroundPictureMode, pmOutsideFill)
    QT_FILL_PROP(TFillPicturePosition, BackGroundPicturePosition, ppTopLeft)
    QT_FILL_PROP(int, BackGroundPictureLeft, 0)
    QT_FILL_PROP(int, BackGroundPictureTop, 0)
    QT_FILL_PROP(TPictureMode, BackGroundPictureAspectMode, pmStretch)
    QT_FILL_PROP(TFillPicturePosition, PicturePosition, ppTopLeft)
    QT_FILL_PROP(int, PictureLeft, 0)
    QT_FILL_PROP(int, PictureTop, 0)
    QT_FILL_PROP(TFillPictureSize, PictureSize, psOriginal)
    QT_FILL_PROP(int, PictureWidth, 50)
    QT_FILL_PROP(int, PictureHeight, 50)
    QT_FILL_PROP(bool, PictureAspectRatio, false)
    QT_FILL_PROP(TPictureMode, PictureAspectMode, pmStretch)
    QT_FILL_PROP(Byte, Opacity, 255)
    QT_FILL_PROP(Byte, OpacityTo, 255)
    QT_FILL_PROP(Byte, OpacityMirror, 255)
    QT_FILL_PROP(Byte, OpacityMirrorTo, 255)
    QT_FILL_PROP(TColor, BorderColor, clNone)
    QT_FILL_PROP(Byte, BorderOpacity, 255)
    QT_FILL_PROP(int, BorderWidth, 1)
    QT_FILL_PROP(int, Rounding, 0)
    QT_FILL_PROP(TFillRoundingType, RoundingType, rtBoth)
    QT_FILL_PROP(TColor, ShadowColor, 0x808080)
    QT_FILL_PROP(int, ShadowOffset, 0)
    QT_FILL_PROP(TShadowType, ShadowType, stRightBottom)
    QT_FILL_PROP(int, Angle, 0)
    QT_FILL_PROP(TGlowMode, Glow, gmNone)
    QT_FILL_PROP(TColor, GlowGradientColor, clWhite)
    QT_FILL_PROP(TColor, GlowRadialColor, clWhite)

private:
    void Changed();
    bool HasMirror() const;
    bool HasBorder() const { return FBorderWidth > 0 && FBorderColor != clNone; }
    void DrawRadialShape(LumGDIP::TGPGraphics* Graphics, const LumGDIP::TGPRectF& A, TColor CentreColor,
        Byte CentreOpacity, TColor SurroundColor, Byte SurroundOpacity, TFillRoundingType RoundingType,
        bool CentreAtTop);
    void DrawShadow(LumGDIP::TGPGraphics* Graphics, LumGDIP::TGPRectF& R);
    void DrawBackGround(LumGDIP::TGPGraphics* Graphics, const LumGDIP::TGPRectF& R, Byte oc, Byte octo, Byte ocmr,
        Byte ocmrto);
    void DrawBackGroundPicture(LumGDIP::TGPGraphics* Graphics, const LumGDIP::TGPRectF& R);
    void DrawForeGroundPicture(LumGDIP::TGPGraphics* Graphics, const LumGDIP::TGPRectF& R);

    std::unique_ptr<LumGDIP::TLumGDIPPicture> FBackGroundPicture;
    std::unique_ptr<LumGDIP::TLumGDIPPicture> FPicture;
    bool FFocus { false };
    TColor FFocusColor { clBlack };
    LumGDIP::TGPRectF FFocusRect;
    int FUpdateCount { 0 };
};

#undef QT_FILL_PROP

// Draws a picture of size (pw, ph) into the rectangle at the position; for
// ppCustom at (CustomX, CustomY). An empty picture draws nothing.
void DrawFillPicture(LumGDIP::TGPGraphics* Graphics, LumGDIP::TLumGDIPPicture* Picture,
    const LumGDIP::TGPRectF& R, float pw, float ph, TFillPicturePosition Position, bool AspectRatio,
    TPictureMode AspectMode, float CustomX, float CustomY);
