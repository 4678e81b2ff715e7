#pragma once
// An analog clock that shows a time of day and lets the user set it: a
// click inside the dial sets the hour, outside it the minute, on the AM/PM
// label the half of the day; keys step the time, and the hands move there in
// animated steps. As a live clock it shows the system time plus an offset,
// with a second hand. The dial, marks, numbers and label are painted once
// into a cache; time changes repaint only the hands over a copy of it.

#include <memory>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Graphics.h"
#include "richtext/LumStyles.h"

class TTimer;
namespace LumGDIP {
class TGPGraphics;
struct TGPRectF;
enum StringAlignment : int;
}

enum TWatchStyle { wsClassic, wsTower, wsFluorescent, wsEmerald, wsBlueStar, wsFuchsia, wsBlack, wsBlackWhite,
    wsGray, wsSuperNova, wsSports, wsSmooth, wsCustom };
QT_ENUM(TWatchStyle, wsClassic, wsTower, wsFluorescent, wsEmerald, wsBlueStar, wsFuchsia, wsBlack, wsBlackWhite,
    wsGray, wsSuperNova, wsSports, wsSmooth, wsCustom)
enum TAMPMFrame { apRect, apRoundRect };
QT_ENUM(TAMPMFrame, apRect, apRoundRect)
enum TWatchShape { wsCircle, wsRect, wsRoundRect };
QT_ENUM(TWatchShape, wsCircle, wsRect, wsRoundRect)
enum TPointerStyle { psLine, psShortLine, psPointer, psLineArrow };
QT_ENUM(TPointerStyle, psLine, psShortLine, psPointer, psLineArrow)
enum TWatchGradient { wgRadial, wgVertical, wgDiagonalForward, wgDiagonalBackward };
QT_ENUM(TWatchGradient, wgRadial, wgVertical, wgDiagonalForward, wgDiagonalBackward)
enum TTickMarks { tmAll, tmHours, tmQuartHours, tmNone };
QT_ENUM(TTickMarks, tmAll, tmHours, tmQuartHours, tmNone)
enum THourMarkStyle { hmsLine, hmsQuartDblLine };
QT_ENUM(THourMarkStyle, hmsLine, hmsQuartDblLine)

class TWatchSettings : public TPersistent {
    QT_CLASS(TWatchSettings, TPersistent)
public:
    TWatchSettings() = default;
    void Assign(TPersistent* Source) override;

    // Live clock: the system time plus TimeOffset minutes, no mouse editing.
    bool GetAuto() const { return FAuto; }
    void SetAuto(bool Value);
    // The second hand, in live mode only.
    bool GetSecond() const { return FSeconds; }
    void SetSecond(bool Value);
    int GetTimeOffset() const { return FTimeOffset; }
    void SetTimeOffset(int Value);

    TNotifyEvent FOnChange;

private:
    void Changed();

    bool FAuto { false };
    bool FSeconds { true };
    int FTimeOffset { 0 };
};

class TWatchAppearance : public TPersistent {
    QT_CLASS(TWatchAppearance, TPersistent)
public:
    TWatchAppearance();
    ~TWatchAppearance() override;
    // Copies every setting silently; the centre's outer ring, the tick
    // marks and the hour mark style go through their setters.
    void Assign(TPersistent* Source) override;
    // The default look; the fonts keep their style and colour, the picture stays.
    void ResetAppearance();

    TNotifyEvent FOnChange;

#define QT_WATCH_PROP(Type, Name, Field)                                                                        \
    Type Get##Name() const { return Field; }                                                                   \
    void Set##Name(Type Value)                                                                                 \
    {                                                                                                          \
        if (Field == Value)                                                                                    \
            return;                                                                                            \
        Field = Value;                                                                                         \
        Changed();                                                                                             \
    }
    QT_WATCH_PROP(int, Size, FSize)
    QT_WATCH_PROP(TColor, HourPointer, FHourPointer)
    QT_WATCH_PROP(TColor, BackgroundColor, FBackgroundColor)
    QT_WATCH_PROP(TColor, MinutePointerShadow, FMinutePointerShadow)
    QT_WATCH_PROP(TColor, BackgroundColorTo, FBackgroundColorTo)
    QT_WATCH_PROP(TColor, HourPointerShadow, FHourPointerShadow)
    QT_WATCH_PROP(TColor, SecondPointer, FSecondPointer)
    QT_WATCH_PROP(TColor, BorderColor, FBorderColor)
    QT_WATCH_PROP(TColor, MinutePointer, FMinutePointer)
    QT_WATCH_PROP(TAMPMFrame, AMPMFrame, FAMPMFrame)
    QT_WATCH_PROP(TWatchShape, Shape, FWatchShape)
    QT_WATCH_PROP(TPointerStyle, PointerStyle, FPointerStyle)
    QT_WATCH_PROP(Byte, HourPointerSize, FHourPointerSize)
    QT_WATCH_PROP(Byte, SecondPointerSize, FSecondPointerSize)
    QT_WATCH_PROP(Byte, MinutePointerSize, FMinutePointerSize)
    QT_WATCH_PROP(TColor, HourColor, FHourColor)
    QT_WATCH_PROP(TColor, MinuteColor, FMinuteColor)
    QT_WATCH_PROP(Byte, CenterPointSize, FCenterPointSize)
    QT_WATCH_PROP(TColor, CenterPointColor, FCenterPointColor)
    QT_WATCH_PROP(TColor, CenterPointBorderColor, FCenterPointBorderColor)
    QT_WATCH_PROP(TWatchGradient, BackgroundGradient, FBackgroundGradient)
    QT_WATCH_PROP(Byte, HourMarkLength, FHourMarkLength)
    QT_WATCH_PROP(Byte, HourMarkWidth, FHourMarkWidth)
    QT_WATCH_PROP(Byte, MinuteMarkLength, FMinuteMarkLength)
    QT_WATCH_PROP(Byte, MinuteMarkWidth, FMinuteMarkWidth)
    QT_WATCH_PROP(int, BorderWidth, FBorderWidth)
    QT_WATCH_PROP(TColor, AMPMColor, FAMPMColor)
    QT_WATCH_PROP(TColor, AMPMBorderColor, FAMPMBorderColor)
    QT_WATCH_PROP(TColor, CenterPointOuterBorderColor, FCenterPointOuterBorderColor)
    QT_WATCH_PROP(TTickMarks, TickMarks, FTickMarks)
    QT_WATCH_PROP(THourMarkStyle, HourMarkStyle, FHourMarkStyle)
#undef QT_WATCH_PROP

    TFont* GetHourFont() const { return FHourFont.get(); }
    void SetHourFont(TFont* Value);
    TFont* GetAMPMFont() const { return FAMPMFont.get(); }
    void SetAMPMFont(TFont* Value);
    TPicture* GetPicture() const { return FPicture.get(); }
    void SetPicture(TPicture* Value);

    // The style colour table writes the label colours without a change notice.
    void SetAMPMColorSilently(TColor Value) { FAMPMColor = Value; }
    void SetAMPMBorderColorSilently(TColor Value) { FAMPMBorderColor = Value; }

private:
    void Changed();

    int FSize { 0 };
    TColor FHourPointer { clBlack };
    TColor FBackgroundColor { clWhite };
    TColor FMinutePointerShadow { clBtnShadow };
    TColor FBackgroundColorTo { clNone };
    TColor FHourPointerShadow { clBtnShadow };
    TColor FSecondPointer { clRed };
    TColor FBorderColor { clBlack };
    TColor FMinutePointer { clBlack };
    std::unique_ptr<TFont> FHourFont;
    std::unique_ptr<TFont> FAMPMFont;
    std::unique_ptr<TPicture> FPicture;
    TAMPMFrame FAMPMFrame { apRect };
    TWatchShape FWatchShape { wsCircle };
    TPointerStyle FPointerStyle { psLine };
    Byte FHourPointerSize { 4 };
    Byte FSecondPointerSize { 1 };
    Byte FMinutePointerSize { 3 };
    TColor FHourColor { clBlack };
    TColor FMinuteColor { clGray };
    Byte FCenterPointSize { 4 };
    TColor FCenterPointColor { clBlack };
    TColor FCenterPointBorderColor { clNone };
    TWatchGradient FBackgroundGradient { wgVertical };
    Byte FHourMarkLength { 0 };
    Byte FHourMarkWidth { 1 };
    Byte FMinuteMarkLength { 0 };
    Byte FMinuteMarkWidth { 1 };
    int FBorderWidth { 4 };
    TColor FAMPMColor { clWhite };
    TColor FAMPMBorderColor { clBlack };
    TColor FCenterPointOuterBorderColor { clNone };
    TTickMarks FTickMarks { tmAll };
    THourMarkStyle FHourMarkStyle { hmsLine };
};

class TLumWatch : public TCustomControl, public ILumStyle {
    QT_CLASS(TLumWatch, TCustomControl)
    QT_INTERFACES(ILumStyle)
public:
    explicit TLumWatch(TComponent* AOwner = nullptr);
    ~TLumWatch() override;

    // Changes the hour (0..23) or the minute (0..59), animated or at once;
    // a minute of 60 or more raises EConvertError "Invalid time".
    void SetHour(int Value);
    void SetMinute(int Value);
    int XYToHour(int X, int Y);
    int XYToMinute(int X, int Y);
    void SetComponentStyle(ROZEVizer AStyle) override;
    // Keys the time picker's drop-down hands on while it is open.
    void HandleKey(WORD Key);

    TDateTime GetTime() const { return FTime; }
    // Repaints the hands; OnChange does not fire.
    void SetTime(TDateTime Value);
    TWatchAppearance* GetAppearance() const { return FAppearance.get(); }
    void SetAppearance(TWatchAppearance* Value) { FAppearance->Assign(Value); }
    TWatchSettings* GetSettings() const { return FSettings.get(); }
    void SetSettings(TWatchSettings* Value) { FSettings->Assign(Value); }
    bool GetAnimation() const { return FAnimation; }
    void SetAnimation(bool Value) { FAnimation = Value; }
    int GetAnimationFactor() const { return FAnimationFactor; }
    void SetAnimationFactor(int Value) { FAnimationFactor = Value; }
    bool GetShowAMPM() const { return FShowAMPM; }
    void SetShowAMPM(bool Value);
    bool GetShowNumbers() const { return FShowNumbers; }
    void SetShowNumbers(bool Value);
    TWatchStyle GetStyle() const { return FStyle; }
    void SetStyle(TWatchStyle Value);
    bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    int GetResolution() const { return FResolution; }
    // Up to 30; larger values are ignored.
    void SetResolution(int Value);
    virtual int GetVersionNr() const { return 0x01030202; }
    String GetVersion() const;
    void SetVersion(const String&) { }
    bool IsAM() const { return FAM; }
    bool IsAnimating() const;

    TNotifyEvent OnChange;

    // ---- geometry, shared with the painting ----
    // The time shown: the stored one, or the live system time plus the offset.
    TDateTime GetDisplayTime();
    TRect GetWatchRect();
    TPoint GetCenterPoint();
    double GetRadius();
    // (-1, -1, -1, -1) without the label.
    TRect GetAMPMRect();

    // ---- painting ----
    void DrawWatch();
    void UpdatePointers();
    void DrawBackground(LumGDIP::TGPGraphics* Graphics, const TRect& ClientRect);
    void DrawTickMarks(LumGDIP::TGPGraphics* Graphics);
    void DrawNumbers(LumGDIP::TGPGraphics* Graphics, TCanvas* Canvas);
    void DrawAMPM(LumGDIP::TGPGraphics* Graphics, TCanvas* Canvas);
    void DrawPointers(LumGDIP::TGPGraphics* Graphics, TCanvas* Canvas);
    // The painted dial without hands.
    TBitmap* GetBackgroundCache() const { return FBKGCache.get(); }

    void KeyDown(WORD& Key, TShiftState Shift) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Dispatch(TMessage& Message) override;

protected:
    void Paint() override;
    // The wall-clock time of day the live clock shows.
    virtual TDateTime SystemTime() { return ::Time(); }
    void SetAM(bool Value);
    void InternalSetTime(TDateTime Value);

private:
    void AppearanceChanged(TObject* Sender);
    void SettingsChanged(TObject* Sender);
    void WatchTimerTick(TObject* Sender);
    void AnimationTimerTick(TObject* Sender);
    void StepHour(int Hour, int Step);
    void StepMinute(int Minute, int Step, bool Forward);
    bool Animating() const;
    // Whether OnChange may fire for a change now: not for an animation step
    // short of the target.
    bool ChangeMayFire(int Value, int Target) const;
    void ApplyTimeChange(TDateTime Value, TDateTime Before);
    void SlideAMPM(bool ToAM);
    void DrawAMPMFrame(TCanvas* Canvas, const TRect& Box, bool Fill);

    std::unique_ptr<TWatchAppearance> FAppearance;
    std::unique_ptr<TWatchSettings> FSettings;
    TDateTime FTime { 0 };
    std::unique_ptr<TBitmap> FBKGCache;
    std::unique_ptr<TTimer> FWatchTimer;
    bool FAnimation { true };
    int FAnimationFactor { 10 };
    std::unique_ptr<TTimer> FAnimationTimer;
    Byte FCurrentHourTo { 0 };
    Byte FCurrentMinuteTo { 0 };
    Byte FMinuteFrom { 0 };
    bool FHourAnimating { false };
    bool FInternalCall { false };
    bool FAM { true };
    bool FShowAMPM { true };
    bool FShowNumbers { true };
    bool FInternalSet { false };
    TWatchStyle FStyle { wsClassic };
    bool FReadOnly { false };
    int FResolution { 1 };
    // Set while an animation step applies its value.
    bool FAnimationStep { false };
    // Set while the hands are drawn: a label change then waits for the next full paint.
    bool FDrawingPointers { false };
};

// The style colour table of the clock (the time picker's look follows it
// too): recolours Appearance for AStyle and answers whether the table has
// the style. The centre's outer ring and the font colours are not touched.
bool ApplyWatchStyleColors(TWatchAppearance* Appearance, ROZEVizer AStyle);

// Draws Text with GDI+ into a layout box in a platform font (Arial when the
// font's family is missing), aligned horizontally as asked and at the top;
// Box receives the text's bounding box.
void DrawGDIPText(LumGDIP::TGPGraphics* Graphics, const String& Text, const TRect& Rect, TFont* Font,
    LumGDIP::StringAlignment Alignment, TRect& Box);
// Draws a picture with GDI+ into a rectangle: SVG through its own renderer,
// PNG at its natural size, anything else stretched with its top-left
// pixel's colour transparent.
void DrawGDIPPicture(LumGDIP::TGPGraphics* Graphics, TGraphic* Graphic, const TRect& Rect);
