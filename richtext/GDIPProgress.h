#pragma once
// Appearances drawn with fills: TGDIPProgress paints a progress bar
// (background, progress part, soft shadows, glossy overlays, a value text)
// and TGDIPStatus a rounded badge with a caption.

#include <functional>
#include <memory>

#include "platform/vcl/Graphics.h"
#include "richtext/GDIPFill.h"

enum TGDIPProgressValueType { vtPercentage, vtAbsolute };
QT_ENUM(TGDIPProgressValueType, vtPercentage, vtAbsolute)
enum TGDIPProgressValuePosition { vpProgressCenter, vpProgressRight, vpCenter, vpLeft, vpRight, vpCustom };
QT_ENUM(TGDIPProgressValuePosition, vpProgressCenter, vpProgressRight, vpCenter, vpLeft, vpRight, vpCustom)
enum TGDIPProgressDirection { pbdHorizontal, pbdVertical };
QT_ENUM(TGDIPProgressDirection, pbdHorizontal, pbdVertical)

// Fills a band with a two-colour linear gradient along it; empty bands draw
// nothing.
void FillGradientBand(LumGDIP::TGPGraphics* g, const LumGDIP::TGPRectF& band, ARGB from, ARGB to,
    LumGDIP::LinearGradientMode mode);

using TGDIPProgressDrawValueEvent = std::function<void(TObject* Sender, const String& ValueFormat, String& ValueText)>;

class TGDIPProgress : public TPersistent {
    QT_CLASS(TGDIPProgress, TPersistent)
public:
    TGDIPProgress();
    ~TGDIPProgress() override;
    // Copies the appearance from another progress appearance; other sources
    // are ignored.
    void Assign(TPersistent* Source) override;

    void Draw(LumGDIP::TGPGraphics* g, const TRect& r, double min, double max, double position,
        TGDIPProgressDirection Direction, double ADPIScale = 1.0);
    // The area inside the background border as (x, y, width, height).
    LumGDIP::TGPRectF GetInsideRectF(const TRect& r) const;
    LumGDIP::TGPRectF CalculateProgressRectangle(
        const TRect& r, double min, double max, double pos, TGDIPProgressDirection Direction) const;
    // The text the value would show (the format applied, OnDrawValue asked).
    String GetValueText(double min, double max, double position);
    // Where the value text goes for a measured size (w, h), and whether the
    // progress font is the one to use there.
    LumGDIP::TGPPointF CalculateValuePosition(const TRect& r, const LumGDIP::TGPRectF& P, float w, float h,
        TGDIPProgressDirection Direction, bool& UseProgressFont) const;

    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool value) { SetField(FTransparent, value); }
    bool GetShadows() const { return FShadows; }
    void SetShadows(bool value) { SetField(FShadows, value); }
    bool GetOverlays() const { return FOverlays; }
    void SetOverlays(bool value) { SetField(FOverlays, value); }
    TGDIPFill* GetBackGroundFill() const { return FBackGroundFill.get(); }
    void SetBackGroundFill(TGDIPFill* value) { FBackGroundFill->Assign(value); }
    TGDIPFill* GetProgressFill() const { return FProgressFill.get(); }
    void SetProgressFill(TGDIPFill* value) { FProgressFill->Assign(value); }
    TFont* GetFont() const { return FFont.get(); }
    void SetFont(TFont* value) { FFont->Assign(value); }
    TFont* GetProgressFont() const { return FProgressFont.get(); }
    void SetProgressFont(TFont* value) { FProgressFont->Assign(value); }
    const String& GetValueFormat() const { return FValueFormat; }
    void SetValueFormat(const String& value) { SetField(FValueFormat, value); }
    TGDIPProgressValueType GetValueType() const { return FValueType; }
    void SetValueType(TGDIPProgressValueType value) { SetField(FValueType, value); }
    TGDIPProgressValuePosition GetValuePosition() const { return FValuePosition; }
    void SetValuePosition(TGDIPProgressValuePosition value) { SetField(FValuePosition, value); }
    int GetValuePositionLeft() const { return FValuePositionLeft; }
    void SetValuePositionLeft(int value) { SetField(FValuePositionLeft, value); }
    int GetValuePositionTop() const { return FValuePositionTop; }
    void SetValuePositionTop(int value) { SetField(FValuePositionTop, value); }
    bool GetValueVisible() const { return FValueVisible; }
    void SetValueVisible(bool value) { SetField(FValueVisible, value); }

    TNotifyEvent OnChange;
    TGDIPProgressDrawValueEvent OnDrawValue;

private:
    template<class T>
    void SetField(T& field, const T& value)
    {
        if (field != value) {
            field = value;
            Changed();
        }
    }
    void Changed();
    void DrawShadows(LumGDIP::TGPGraphics* g, const LumGDIP::TGPRectF& R, TGDIPProgressDirection Direction);
    void DrawOverlays(LumGDIP::TGPGraphics* g, const LumGDIP::TGPRectF& R, TGDIPProgressDirection Direction);
    void DrawValue(LumGDIP::TGPGraphics* g, const TRect& r, double min, double max, double position,
        TGDIPProgressDirection Direction, double ADPIScale);

    bool FTransparent { false };
    bool FShadows { true };
    bool FOverlays { true };
    std::unique_ptr<TGDIPFill> FBackGroundFill;
    std::unique_ptr<TGDIPFill> FProgressFill;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TFont> FProgressFont;
    String FValueFormat { u"%.0f%%" };
    TGDIPProgressValueType FValueType { vtAbsolute };
    TGDIPProgressValuePosition FValuePosition { vpCenter };
    int FValuePositionLeft { 0 };
    int FValuePositionTop { 0 };
    bool FValueVisible { false };
};

class TGDIPStatus : public TPersistent {
    QT_CLASS(TGDIPStatus, TPersistent)
public:
    TGDIPStatus();
    ~TGDIPStatus() override;
    // Copies fill, font, Glow and Spacing from another status appearance,
    // then raises OnChange.
    void Assign(TPersistent* Source) override;

    void Draw(LumGDIP::TGPGraphics* g, int x, int y, int Width, int Height, bool AutoSize, const String& Caption,
        double ADPIScale = 1.0);
    // Computes the badge size for the caption; an empty caption keeps the
    // previous size.
    void CalculateSize(LumGDIP::TGPGraphics* g, const String& Caption, double ADPIScale = 1.0);
    int GetWidth() const { return FWidth; }
    int GetHeight() const { return FHeight; }

    TGDIPFill* GetFill() const { return FFill.get(); }
    void SetFill(TGDIPFill* value) { FFill->Assign(value); }
    TFont* GetFont() const { return FFont.get(); }
    void SetFont(TFont* value) { FFont->Assign(value); }
    int GetSpacing() const { return FSpacing; }
    void SetSpacing(int value);
    bool GetGlow() const { return FGlow; }
    void SetGlow(bool value);
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value) { FAutoSize = value; }

    TNotifyEvent OnChange;

private:
    void Changed();
    LumGDIP::TGPRectF MeasureCaption(LumGDIP::TGPGraphics* g, const String& Caption, double ADPIScale);

    std::unique_ptr<TGDIPFill> FFill;
    std::unique_ptr<TFont> FFont;
    int FSpacing { 0 };
    bool FGlow { true };
    bool FAutoSize { true };
    int FWidth { 0 };
    int FHeight { 0 };
};
