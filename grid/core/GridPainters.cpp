#include "grid/core/GridPainters.h"

#include <algorithm>
#include <cmath>

#include "platform/gdi/Frames.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/MathUtils.h"

namespace VuzEraz {

namespace {

int ClampChannel(Int64 v) { return int(std::clamp<Int64>(v, 0, 255)); }

void SetPenAndBrush(TCanvas* Canvas, TColor Color)
{
    Canvas->GetPen()->SetColor(Color);
    Canvas->GetBrush()->SetColor(Color);
}


// Draws a visual style part; false when no style is active for the class.
bool DrawThemed(TCanvas* Canvas, HWND Window, LPCWSTR ClassName, int Part, int State, const TRect& R)
{
    HTHEME Theme = OpenThemeData(Window, ClassName);
    if (!Theme)
        return false;
    RECT r = R;
    DrawThemeBackground(Theme, Canvas->GetHandle(), Part, State, &r, nullptr);
    CloseThemeData(Theme);
    return true;
}

void DrawFrame(TCanvas* Canvas, const TRect& R, UINT Type, UINT State)
{
    RECT r = R;
    DrawFrameControl(Canvas->GetHandle(), &r, Type, State);
}

const TColorTone& ToneForState(const TColorTones& Tones, int State)
{
    switch (State) {
    case bsHot: return Tones.Hover;
    case bsDown: return Tones.Selected;
    case bsDisabled: return Tones.Disabled;
    default: return Tones.Background;
    }
}

} // namespace

void FillGradientRect(TCanvas* Canvas, TColor FromColor, TColor ToColor, int Steps, TRect R, bool Horizontal)
{
    if (R.Top == R.Bottom)
        return;
    if (R.Bottom < R.Top)
        std::swap(R.Top, R.Bottom);
    if (FromColor == clNone || ToColor == clNone) {
        const TColor Solid = ColorToRGB(FromColor == clNone && ToColor != clNone ? ToColor : FromColor);
        SetPenAndBrush(Canvas, Solid);
        Canvas->Rectangle(R);
        return;
    }
    const TColor From = ColorToRGB(FromColor);
    const TColor To = ColorToRGB(ToColor);
    const int Span = (Horizontal ? R.Right - R.Left : R.Bottom - R.Top) - 1;
    Steps = std::max(1, std::min(Steps, Span));
    const double G = double(Span) / Steps;
    const int Limit = Horizontal ? R.Right : R.Bottom;
    for (int i = 0; i <= Steps; ++i) {
        auto Channel = [&](int Shift) {
            const int f = (From >> Shift) & 0xFF, t = (To >> Shift) & 0xFF;
            return ClampChannel(f + RoundHalfEven(double(i) * (t - f) / Steps));
        };
        SetPenAndBrush(Canvas, TColor(RGB(BYTE(Channel(0)), BYTE(Channel(8)), BYTE(Channel(16)))));
        const int Start = int(std::trunc(i * G)) + (Horizontal ? R.Left : R.Top);
        const int End = std::min(Limit, Start + int(std::trunc(G + 1)));
        if (Horizontal)
            Canvas->Rectangle(Start, R.Top, End, R.Bottom);
        else
            Canvas->Rectangle(R.Left, Start, R.Right, End);
    }
}

void PaintGradientBackground(TCanvas* Canvas, const TRect& R, TColor Color, TColor ColorTo, TColor MirrorColor,
    TColor MirrorColorTo, bool Vertical, TColor BorderColor, bool SideLinesOnly, bool Fill)
{
    if (Fill && Color != clNone) {
        if (MirrorColor == clNone && ColorTo == clNone) {
            SetPenAndBrush(Canvas, Color);
            Canvas->GetBrush()->SetStyle(bsSolid);
            Canvas->GetPen()->SetStyle(psSolid);
            Canvas->GetPen()->SetWidth(1);
            Canvas->Rectangle(R.Left, R.Top, R.Right, R.Bottom + 1);
        } else if (MirrorColor == clNone) {
            FillGradientRect(Canvas, Color, ColorTo, 128, R, !Vertical);
        } else {
            TRect First = R, Second = R;
            if (Vertical) {
                First.Bottom = Second.Top = R.Top + (R.Bottom - R.Top) / 2;
            } else {
                First.Right = Second.Left = R.Left + (R.Right - R.Left) / 2;
            }
            FillGradientRect(Canvas, Color, ColorTo, 128, First, !Vertical);
            FillGradientRect(Canvas, MirrorColor, MirrorColorTo, 128, Second, !Vertical);
        }
    }
    if (BorderColor == clNone)
        return;
    Canvas->GetPen()->SetColor(BorderColor);
    if (SideLinesOnly) {
        Canvas->MoveTo(R.Left, R.Top);
        Canvas->LineTo(R.Left, R.Bottom);
        Canvas->MoveTo(R.Right - 1, R.Top);
        Canvas->LineTo(R.Right - 1, R.Bottom);
    } else {
        Canvas->GetBrush()->SetColor(BorderColor);
        Canvas->FrameRect(R);
    }
}

TColor BlendColorStep(TColor FromColor, TColor ToColor, int RangeStart, int RangeEnd, int Position)
{
    if (ToColor == clNone || RangeEnd == RangeStart)
        return FromColor;
    const TColor From = ColorToRGB(FromColor);
    const TColor To = ColorToRGB(ToColor);
    const double Range = double(RangeEnd) - RangeStart;
    auto Channel = [&](int Shift) {
        const int f = (From >> Shift) & 0xFF, t = (To >> Shift) & 0xFF;
        return BYTE(ClampChannel(f + RoundHalfEven(double(t - f) * Position / Range)));
    };
    return TColor(RGB(Channel(0), Channel(8), Channel(16)));
}

void DrawRoundedSelection(TCanvas* Canvas, TColor Color, TColor ColorTo, TColor MirrorColor, TColor MirrorColorTo,
    TColor InnerTopColor, TColor InnerBottomColor, TColor BorderColor, TColor CornerColor, TColor BackgroundColor,
    const TRect& R, int EndKind)
{
    const int L = R.Left, T = R.Top, Rt = R.Right - 1, B = R.Bottom - 2;
    const int M = T + (B - T) / 2;
    const bool LeftEnd = EndKind == seBoth || EndKind == seLeft;
    const bool RightEnd = EndKind == seBoth || EndKind == seRight;
    auto Line = [Canvas](int x1, int y1, int x2, int y2) {
        Canvas->MoveTo(x1, y1);
        Canvas->LineTo(x2, y2);
    };

    Canvas->GetPen()->SetColor(InnerTopColor);
    Line(L, T + 1, Rt, T + 1);
    if (LeftEnd)
        Line(L + 1, T + 1, L + 1, M);
    if (RightEnd)
        Line(Rt - 2, T + 1, Rt - 2, M);

    Canvas->GetPen()->SetColor(InnerBottomColor);
    Line(L, B - 1, Rt, B - 1);
    if (LeftEnd)
        Line(L + 1, M, L + 1, B - 1);
    if (RightEnd)
        Line(Rt - 2, M, Rt - 2, B - 1);

    const int LeftInset = (EndKind == seRight || EndKind == seNone) ? 0 : 2;
    const int RightInset = (EndKind == seLeft || EndKind == seNone) ? 0 : 2;

    Canvas->GetPen()->SetColor(BorderColor);
    Line(L + LeftInset, T, Rt - RightInset, T);
    Line(L + LeftInset, B, Rt - RightInset, B);
    if (RightEnd)
        Line(Rt - 1, T + 2, Rt - 1, B - 1);
    if (LeftEnd)
        Line(L, T + 2, L, B - 1);

    auto Corners = [&](int Inner, int Outer) {
        for (auto [x, y] : { std::pair { Inner, T }, { Inner, T + 1 }, { Outer, T + 1 }, { Inner, B }, { Inner, B - 1 },
                 { Outer, B - 1 } })
            Canvas->SetPixel(x, y, CornerColor);
        Canvas->SetPixel(Outer, T, BackgroundColor);
        Canvas->SetPixel(Outer, B, BackgroundColor);
    };
    if (LeftEnd)
        Corners(L + 1, L);
    if (RightEnd)
        Corners(Rt - 2, Rt - 1);

    const TRect FillR(L + LeftInset, T + 2, Rt - RightInset, B - 1);
    if (ColorTo == clNone) {
        FillRectColor(Canvas, FillR, Color);
    } else if (MirrorColor == clNone) {
        FillGradientRect(Canvas, Color, ColorTo, 16, FillR, false);
    } else {
        TRect Upper = FillR, Lower = FillR;
        Upper.Bottom = Lower.Top = FillR.Top + (FillR.Bottom - FillR.Top) / 2;
        FillGradientRect(Canvas, Color, ColorTo, 16, Upper, false);
        FillGradientRect(Canvas, MirrorColor, MirrorColorTo, 16, Lower, false);
    }
}

void DrawDropButton(TCanvas* Canvas, HWND Window, const TRect& R, int Kind, int State, const TColorTones& Tones,
    double Scale)
{
    TRect Button(R.Right - int(RoundHalfEven(16 * Scale)) - 2, R.Top + 1, R.Right - 2, R.Bottom - 1);
    if (Kind == bkThemed && DrawThemed(Canvas, Window, u"combobox", 1, State == bsDisabled ? 4 : 1, Button))
        return;
    if (Kind != bkCustom) {
        UINT Flags = DFCS_SCROLLCOMBOBOX;
        if (State == bsDisabled)
            Flags |= DFCS_INACTIVE;
        if (Kind == bkFlat)
            Flags |= DFCS_FLAT;
        DrawFrame(Canvas, Button, DFC_SCROLL, Flags);
        return;
    }
    Button.Left += 3;
    const TColorTone& Tone = ToneForState(Tones, State);
    SetPenAndBrush(Canvas, Tone.BrushColor);
    Canvas->Rectangle(Button);
    Canvas->GetPen()->SetColor(Tones.Background.BorderColor);
    Canvas->MoveTo(Button.Left + 1, Button.Top);
    Canvas->LineTo(Button.Left + 1, Button.Bottom);
    SetPenAndBrush(Canvas, Tones.Background.TextColor);
    Canvas->Polygon({ { Button.Left + 5, Button.Top + 8 }, { Button.Left + 11, Button.Top + 8 },
        { Button.Left + 8, Button.Top + 11 } });
}

void DrawPushButton(TCanvas* Canvas, HWND Window, const TRect& R, int Kind, int State, const TColorTones& Tones,
    bool ProcessAccel, const String& Caption)
{
    static const int ThemeStates[] = { 1, 2, 3, 4 };
    const bool Themed
        = Kind == bkThemed && DrawThemed(Canvas, Window, u"button", 1, ThemeStates[std::clamp(State, 0, 3)], R);
    if (!Themed && Kind != bkCustom) {
        UINT Flags = DFCS_BUTTONPUSH;
        if (State == bsHot)
            Flags |= DFCS_HOT;
        else if (State == bsDown)
            Flags |= DFCS_PUSHED;
        else if (State == bsDisabled)
            Flags |= DFCS_INACTIVE;
        if (Kind == bkFlat)
            Flags |= DFCS_FLAT;
        DrawFrame(Canvas, R, DFC_BUTTON, Flags);
    } else if (Kind == bkCustom) {
        const TColorTone& Tone = ToneForState(Tones, State);
        Canvas->GetBrush()->SetColor(Tone.BrushColor);
        Canvas->GetPen()->SetColor(Tone.BorderColor);
        Canvas->Rectangle(R);
    }
    if (Caption.empty())
        return;
    Canvas->GetBrush()->SetStyle(bsClear);
    TRect Text(R.Left, R.Top + 4, R.Right, R.Bottom - 3);
    TTextFormat Format { tfCenter, tfSingleLine, tfVerticalCenter };
    if (!ProcessAccel)
        Format.Include(tfNoPrefix);
    String Shown = Caption;
    Canvas->TextRect(Text, Shown, Format);
}

void DrawSpinButtons(TCanvas* Canvas, HWND Window, const TRect& R, int Kind, int State, const TColorTones& Tones,
    double Scale)
{
    const TRect Area(R.Right - int(RoundHalfEven(15 * Scale)) - 1, R.Top - 1, R.Right - 1, R.Bottom - 1);
    const int M = Area.Top + (Area.Bottom - Area.Top) / 2;
    const TRect Up(Area.Left, Area.Top, Area.Right, M);
    const TRect Down(Area.Left, Kind == bkThemed ? M : M + 1, Area.Right, Area.Bottom);
    if (Kind == bkThemed) {
        const int ThemeState = State == bsDisabled ? 4 : 1;
        if (DrawThemed(Canvas, Window, u"spin", 1, ThemeState, Up)) {
            DrawThemed(Canvas, Window, u"spin", 2, ThemeState, Down);
            return;
        }
    }
    if (Kind != bkCustom) {
        UINT Flags = 0;
        if (State == bsDisabled)
            Flags |= DFCS_INACTIVE;
        if (Kind == bkFlat)
            Flags |= DFCS_FLAT;
        DrawFrame(Canvas, Up, DFC_SCROLL, DFCS_SCROLLUP | Flags);
        DrawFrame(Canvas, Down, DFC_SCROLL, DFCS_SCROLLDOWN | Flags);
        return;
    }
    SetPenAndBrush(Canvas, ToneForState(Tones, State).BrushColor);
    Canvas->Rectangle(Up);
    Canvas->Rectangle(Down);
    // The arrows are black whatever the tones say, so they show on any tone.
    SetPenAndBrush(Canvas, clBlack);
    const int L = Area.Left, T = Area.Top;
    Canvas->Polygon({ { L + 5, T + 5 }, { L + 9, T + 5 }, { L + 7, T + 3 } });
    Canvas->Polygon({ { L + 5, M + 2 }, { L + 9, M + 2 }, { L + 7, M + 4 } });
}

void FillRectColor(TCanvas* Canvas, const TRect& R, TColor Color)
{
    Canvas->GetBrush()->SetColor(Color);
    Canvas->FillRect(R);
}

void DrawDropTriangle(TCanvas* Canvas, int X, int Y, TColor Color)
{
    SetPenAndBrush(Canvas, Color);
    Canvas->Polygon({ { X - 3, Y }, { X + 3, Y }, { X, Y + 3 } });
}

TColor HalveColor(TColor Color)
{
    const TColor C = ColorToRGB(Color);
    return TColor(RGB(BYTE(GetRValue(C) >> 1), BYTE(GetGValue(C) >> 1), BYTE(GetBValue(C) >> 1)));
}

TCanvasClip::TCanvasClip(TCanvas* Canvas, const TRect& R) : FCanvas(Canvas)
{
    const HDC DC = Canvas->GetHandle();
    FSaved = SaveDC(DC);
    IntersectClipRect(DC, R.Left, R.Top, R.Right, R.Bottom);
}

TCanvasClip::~TCanvasClip()
{
    RestoreDC(FCanvas->GetHandle(), FSaved);
    FCanvas->Refresh();
}

TColor LightenColorPercent(TColor Color, int Percent)
{
    const TColor C = ColorToRGB(Color);
    auto Channel = [Percent](int c) { return BYTE(ClampChannel(RoundHalfEven(c + c * double(Percent) / 100))); };
    return TColor(RGB(Channel(GetRValue(C)), Channel(GetGValue(C)), Channel(GetBValue(C))));
}

} // namespace VuzEraz
