#include "dropdown/LumDropDownRoutines.h"

#include <algorithm>

#include "grid/core/GridUtils.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"
#include "richtext/MiniHTML.h"

namespace LumDropDown {

namespace {

BYTE ClampChannel(Int64 v) { return BYTE(std::clamp<Int64>(v, 0, 255)); }

} // namespace

Char ThousandSeparatorChar() { return VuzEraz::ThousandSeparatorChar(); }
Char DecimalSeparatorChar() { return VuzEraz::DecimalSeparatorChar(); }

int FontTextHeight(int PixelsPerInch, int Size)
{
    TBitmap Bitmap;
    Bitmap.SetSize(1, 1);
    TFont* Font = Bitmap.GetCanvas()->GetFont();
    Font->SetPixelsPerInch(PixelsPerInch);
    Font->SetSize(Size);
    return Bitmap.GetCanvas()->TextHeight(u"0");
}

double DPIScaleOfControl(TControl* Control)
{
    int PPI = Screen->GetPixelsPerInch();
    if (TCustomForm* Form = Control ? GetParentForm(Control) : nullptr; Form && Form->GetScaled())
        if (TMonitor* Monitor = Form->GetMonitor())
            PPI = Monitor->GetPixelsPerInch();
    if (PPI == 96)
        return 1.0;
    const int Base = FontTextHeight(96, 9);
    return Base > 0 ? double(FontTextHeight(PPI, 9)) / Base : 1.0;
}

// The platform answers as the newest system the controls know.
std::optional<TWindowsVersion> GetWindowsVersion() { return TWindowsVersion { 10, 0 }; }

bool IsWindows10()
{
    auto V = GetWindowsVersion();
    return V && V->Major == 10;
}

bool IsWindowsMajor6()
{
    auto V = GetWindowsVersion();
    return V && V->Major == 6;
}

TColor BlendColor(TColor Color1, TColor Color2, int Percent)
{
    if (Percent >= 100)
        return Color1;
    if (Percent <= 0)
        return Color2;
    const TColor C1 = ColorToRGB(Color1), C2 = ColorToRGB(Color2);
    const double F = Percent / 100.0;
    auto Mix = [F](int a, int b) { return ClampChannel(RoundHalfEven(F * a + (1 - F) * b)); };
    return TColor(RGB(Mix(GetRValue(C1), GetRValue(C2)), Mix(GetGValue(C1), GetGValue(C2)),
        Mix(GetBValue(C1), GetBValue(C2))));
}

TColor AdjustColor(TColor Color, int DeltaRed, int DeltaGreen, int DeltaBlue)
{
    const TColor C = ColorToRGB(Color);
    auto Adjust = [](int c, int d) -> BYTE {
        if (c == 0)
            return ClampChannel(std::max(d, 0));
        return ClampChannel(RoundHalfEven(c * double(std::min(100 + d, 100)) / 100));
    };
    return TColor(RGB(Adjust(GetRValue(C), DeltaRed), Adjust(GetGValue(C), DeltaGreen), Adjust(GetBValue(C), DeltaBlue)));
}

void DrawBackground(TCanvas* Canvas, const TRect& R, TColor Color, TColor ColorTo, TGradientDirection Direction,
    TColor BorderColor, int BorderWidth)
{
    if (!Canvas)
        return;
    if (ColorTo != clNone) {
        DrawGradient(Canvas, Color, ColorTo, Direction == gdHorizontal, R, 80);
    } else if (Color != clNone) {
        Canvas->GetBrush()->SetColor(Color);
        Canvas->FillRect(R);
    }
    if (BorderColor != clNone && BorderWidth > 0) {
        Canvas->GetBrush()->SetStyle(bsClear);
        Canvas->GetPen()->SetColor(BorderColor);
        Canvas->GetPen()->SetWidth(BorderWidth);
        Canvas->Rectangle(R);
    }
}

void DrawImageAndText(TCanvas* Canvas, const TRect& R, const String& Text, int ImageIndex, TCustomImageList* Images)
{
    if (!Canvas)
        return;
    TRect TextR = R;
    const bool Image = ImageIndex >= 0 && Images;
    if (Image) {
        Images->Draw(Canvas, R.Left + 4, R.Top + (R.Height() - Images->GetHeight()) / 2, ImageIndex, true);
        TextR.Left = R.Left + Images->GetWidth() + 8;
    }
    if (Text.empty())
        return;
    TTextFormat Format { tfSingleLine, tfVerticalCenter, tfEndEllipsis };
    if (!Image)
        Format.Include(tfCenter);
    String Caption = Text;
    Canvas->TextRect(TextR, Caption, Format);
}

void DrawTransparentBitmap(TCanvas* Canvas, TBitmap* Bitmap, TColor BackColor, const TRect& R)
{
    if (!Canvas || !Bitmap)
        return;
    TBitmap Temp;
    Temp.SetSize(Bitmap->GetWidth(), Bitmap->GetHeight());
    Temp.GetCanvas()->GetBrush()->SetColor(BackColor);
    Temp.GetCanvas()->FillRect(TRect(0, 0, Temp.GetWidth(), Temp.GetHeight()));
    const TRect Source(0, 0, R.Width(), R.Height());
    Temp.GetCanvas()->BrushCopy(Source, Bitmap, Source, Bitmap->GetCanvas()->GetPixel(0, 0));
    Canvas->CopyRect(R, Temp.GetCanvas(), Source);
}

TSize TextExtent(TCanvas* Canvas, const String& Text)
{
    if (Text.empty())
        return TSize();
    TRect R(0, 0, 1000, 500);
    String Measured = Text;
    Canvas->TextRect(R, Measured, { tfSingleLine, tfCalcRect });
    return TSize(R.Width(), R.Height());
}

void TruncateText(TCanvas* Canvas, const String& Text, int MaxWidth, String& Result, bool Ellipsis)
{
    Result = Text;
    if (Canvas->TextWidth(Text) <= MaxWidth)
        return;
    for (size_t Cut = 1; Cut < Text.size(); ++Cut) {
        String Candidate = Text.substr(0, Text.size() - Cut);
        if (Ellipsis)
            Candidate += u"...";
        if (Canvas->TextWidth(Candidate) < MaxWidth) {
            Result = Candidate;
            return;
        }
    }
}

void DrawHTMLCaption(TCanvas* Canvas, const String& Text, const TRect& R, TSize& Size, float Scale, HWND Window,
    bool Paint, TCustomImageList* Images)
{
    Size = TSize();
    if (Text.empty())
        return;
    String HitAnchor, Stripped, FocusHref, Title, ControlID, ControlValue, ControlType;
    int XSize = 0, YSize = 0, AnchorCount = 0, HitIndex = 0;
    TRect HitRect, ControlRect;
    VovHTMLE::DrawHTMLText(Canvas, Text, R, Images, 0, 0, -1, -1, 1, false, !Paint, false, false, true, false, false, false,
        u"", 1.0, clBlue, clNone, clNone, TColor(0x808080), HitAnchor, Stripped, FocusHref, Title, XSize, YSize,
        AnchorCount, HitIndex, HitRect, ControlRect, ControlID, ControlValue, ControlType, nullptr, nullptr, Window,
        Scale, 0);
    Size = TSize(XSize, YSize);
}

namespace {
struct TWinCtrl : TWinControl {
    using TWinControl::PaintControls;
};
} // namespace

void PaintCtrls(TWinControl* Control, HDC DC, TControl* First)
{
    // The member pointer names TWinControl's own operation, so it is called
    // on the control as it is, without pretending it is another class.
    constexpr auto Paint = &TWinCtrl::PaintControls;
    if (Control)
        (Control->*Paint)(DC, First);
}

bool IsRangeSeparator(Char Ch) { return Ch == u',' || Ch == u'-' || Ch == u';'; }

String RemoveThousandSeparators(const String& S)
{
    String Result = S;
    std::erase(Result, ThousandSeparatorChar());
    return Result;
}

int HexDigitValue(Char Ch) { return std::max(0, ::HexDigitValue(Ch)); }

int HexToInt(const String& S)
{
    std::uint32_t Value = 0;
    for (Char Ch : S)
        Value = Value * 16u + std::uint32_t(HexDigitValue(Ch));
    return static_cast<std::int32_t>(Value);
}

String CaseFold(const String& Text, bool KeepCase) { return KeepCase ? Text : AnsiUpperCase(Text); }

} // namespace LumDropDown
