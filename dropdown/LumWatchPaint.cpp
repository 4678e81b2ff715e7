// The analog clock's painting: the dial cache (background, border, marks,
// numbers, AM/PM label), the hands over a copy of it, and the label slide.

#include <cmath>
#include <cstring>

#include "dropdown/LumWatch.h"
#include "graphics/LumSVGBitmap.h"
#include "platform/gdiplus/Stream.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/Streams.h"
#include "platform/win/Clipboard.h"
#include "richtext/LumGDIP.h"

using namespace LumGDIP;

namespace {

constexpr double Rad = M_PI / 180.0;
constexpr int RoundRectRadius = 8;

int R(double x) { return int(RoundHalfEven(x)); }

// Gives the device context to plain GDI for one scope: what GDI+ drew is
// in the pixels first, and GDI+ draws on over what GDI drew afterwards.
struct TGdiHandOver {
    TGPGraphics* G;
    HDC DC;
    explicit TGdiHandOver(TGPGraphics* g) : G(g), DC(g->GetHDC()) { }
    ~TGdiHandOver()
    {
        if (DC)
            G->ReleaseHDC(DC);
    }
};

// A rounded rectangle with corner arcs of the given radius.
void AddRoundRect(TGPGraphicsPath& Path, float X, float Y, float W, float H, float Radius)
{
    const float D = 2 * Radius;
    Path.AddArc(X, Y, D, D, 180, 90);
    Path.AddArc(X + W - D, Y, D, D, 270, 90);
    Path.AddArc(X + W - D, Y + H - D, D, D, 0, 90);
    Path.AddArc(X, Y + H - D, D, D, 90, 90);
    Path.CloseFigure();
}

void DrawLinePath(TGPGraphics* G, const TGPPen& Pen, TGPPointF A, TGPPointF B)
{
    TGPGraphicsPath Path;
    Path.AddLine(A, B);
    G->DrawPath(&Pen, &Path);
}

// Resets a flag when the scope ends.
struct TFlagGuard {
    bool& Flag;
    bool Old;
    TFlagGuard(bool& f, bool v) : Flag(f), Old(f) { Flag = v; }
    ~TFlagGuard() { Flag = Old; }
};

} // namespace

void DrawGDIPText(TGPGraphics* Graphics, const String& Text, const TRect& Rect, TFont* Font,
    StringAlignment Alignment, TRect& Box)
{
    Box = TRect();
    if (!Graphics || !Font)
        return;
    // MakeFont falls back to Arial when the family or its style is missing.
    std::unique_ptr<TGPFont> GFont(Graphics->MakeFont(Font));
    TGPStringFormat Format;
    Format.SetAlignment(Alignment);
    Format.SetLineAlignment(StringAlignmentNear);
    Format.SetHotkeyPrefix(HotkeyPrefixShow);
    Format.SetTrimming(StringTrimmingNone);
    Graphics->SetTextRenderingHint(TextRenderingHintAntiAlias);
    const TGPRectF Layout = MakeGPRectF(float(Rect.Left), float(Rect.Top), float(Rect.Width()), float(Rect.Height()));
    TGPRectF Bounds;
    Graphics->MeasureString(Text, int(Text.size()), GFont.get(), Layout, &Format, Bounds);
    Box = TRect(R(Bounds.X), R(Bounds.Y), R(Bounds.X + Bounds.Width), R(Bounds.Y + Bounds.Height));
    TGPSolidBrush Brush(ToOpaqueARGB(Font->GetColor()));
    Graphics->DrawString(Text, int(Text.size()), GFont.get(), Layout, &Format, &Brush);
}

void DrawGDIPPicture(TGPGraphics* Graphics, TGraphic* Graphic, const TRect& Rect)
{
    if (!Graphics || !Graphic || Graphic->Empty())
        return;
    if (auto* Svg = dynamic_cast<TLumSVGBitmap*>(Graphic); Svg && Svg->HasSVG()) {
        TGdiHandOver HandOver(Graphics);
        if (!HandOver.DC)
            return;
        TCanvas Canvas;
        Canvas.SetHandle(HandOver.DC);
        Svg->Draw(&Canvas, Rect);
        Canvas.SetHandle(nullptr);
        return;
    }
    TMemoryStream Bytes;
    Graphic->SaveToStream(Bytes);
    const std::size_t Size = std::size_t(Bytes.GetSize());
    HGLOBAL Memory = GlobalAlloc(GMEM_MOVEABLE, Size);
    if (!Memory)
        throw Exception(u"Could not allocate memory for image");
    if (void* P = GlobalLock(Memory)) {
        std::memcpy(P, Bytes.GetMemory(), Size);
        GlobalUnlock(Memory);
    }
    IStream* Stream = nullptr;
    if (CreateStreamOnHGlobal(Memory, TRUE, &Stream) < 0 || !Stream) {
        GlobalFree(Memory);
        return;
    }
    TGPImage Image(Stream, false);
    if (Image.nativeImage) {
        if (Image.GetFormat() == ifPNG) {
            Graphics->DrawImage(&Image, Rect.Left, Rect.Top);
        } else {
            // The top-left pixel's colour is the transparent one. The key is
            // applied to a 32-bit ARGB copy: on pictures without alpha the
            // library leaves keyed pixels white instead of clear.
            const int W = int(Image.GetWidth()), H = int(Image.GetHeight());
            TGPBitmap Argb(W, H, PixelFormat32bppARGB);
            {
                TGPGraphics Copy(&Argb);
                Copy.DrawImage(&Image, MakeGPRectF(0, 0, float(W), float(H)), 0, 0, float(W), float(H), UnitPixel);
            }
            ARGB Key = 0;
            Argb.GetPixel(0, 0, Key);
            TGPImageAttributes Attributes;
            Attributes.SetColorKey(Key, Key, ColorAdjustTypeDefault);
            Graphics->DrawImage(&Argb,
                MakeGPRectF(float(Rect.Left), float(Rect.Top), float(Rect.Width()), float(Rect.Height())), 0, 0,
                float(W), float(H), UnitPixel, &Attributes);
        }
    }
    Stream->Release();
}

// ---- TLumWatch painting ----

void TLumWatch::Paint()
{
    TCustomControl::Paint();
    DrawWatch();
}

void TLumWatch::DrawWatch()
{
    if (!HandleAllocated())
        return;
    TCanvas* Canvas = GetCanvas();
    const TRect C = GetClientRect();
    if (C.Width() <= 0 || C.Height() <= 0)
        return;
    // Whatever the control's background shows stays around a round dial.
    FBKGCache->SetSize(C.Width(), C.Height());
    TCanvas* Cache = FBKGCache->GetCanvas();
    Cache->CopyRect(C, Canvas, C);
    {
        TGPGraphics G(Cache->GetHandle());
        G.SetSmoothingMode(4);
        DrawBackground(&G, C);
        // Too small a clock has no dial: only the background shows.
        if (GetWatchRect().Width() > 0) {
            DrawTickMarks(&G);
            DrawNumbers(&G, Cache);
            DrawAMPM(&G, Cache);
        }
    }
    Canvas->CopyRect(C, Cache, C);
    TGPGraphics G(Canvas->GetHandle());
    G.SetSmoothingMode(4);
    DrawPointers(&G, Canvas);
}

void TLumWatch::UpdatePointers()
{
    if (!HandleAllocated())
        return;
    const TRect C = GetClientRect();
    if (C.Width() <= 0 || C.Height() <= 0)
        return;
    // No dial painted at this size yet: a full paint comes first.
    if (FBKGCache->GetWidth() != C.Width() || FBKGCache->GetHeight() != C.Height()) {
        Invalidate();
        return;
    }
    TBitmap Frame(C.Width(), C.Height());
    Frame.GetCanvas()->CopyRect(C, FBKGCache->GetCanvas(), C);
    {
        TGPGraphics G(Frame.GetCanvas()->GetHandle());
        G.SetSmoothingMode(4);
        DrawPointers(&G, Frame.GetCanvas());
    }
    GetCanvas()->CopyRect(C, Frame.GetCanvas(), C);
}

void TLumWatch::DrawBackground(TGPGraphics* Graphics, const TRect& ClientRect)
{
    const TWatchAppearance& A = *FAppearance;
    const TColor c1 = A.GetBackgroundColor();
    const TColor c2 = A.GetBackgroundColorTo() == clNone ? c1 : A.GetBackgroundColorTo();
    const TPoint Ct = GetCenterPoint();
    const float cx = float(Ct.X), cy = float(Ct.Y), r = float(GetRadius());
    const float L = float(ClientRect.Left), T = float(ClientRect.Top);
    const float w = float(ClientRect.Width()), h = float(ClientRect.Height());
    const TWatchShape Shape = A.GetShape();

    // A clock too small for a dial has no circle to fill or frame.
    const bool NoCircle = Shape == wsCircle && r <= 0;
    TGraphic* Picture = A.GetPicture()->GetGraphic();
    if (Picture && !Picture->Empty()) {
        DrawGDIPPicture(Graphics, Picture, ClientRect);
    } else if (c1 != clNone && !NoCircle) {
        if (A.GetBackgroundGradient() == wgRadial) {
            TGPGraphicsPath Path;
            if (Shape == wsCircle)
                Path.AddEllipse(cx - r, cy - r, 2 * r, 2 * r);
            else if (Shape == wsRect)
                Path.AddRectangle(MakeGPRectF(L, T, w, h));
            else
                AddRoundRect(Path, L, T, w, h, RoundRectRadius);
            TGPPathGradientBrush Brush(&Path);
            Brush.SetCenterColor(ToOpaqueARGB(c1));
            Brush.SetCenterPoint(MakeGPPoint(Ct.X, Ct.Y));
            ARGB Surround = ToOpaqueARGB(c2);
            int Count = 1;
            Brush.SetSurroundColors(&Surround, Count);
            if (Shape == wsCircle)
                Graphics->FillEllipse(&Brush, cx - r, cy - r, 2 * r, 2 * r);
            else
                Graphics->FillPath(&Brush, &Path);
        } else {
            const LinearGradientMode Mode = A.GetBackgroundGradient() == wgVertical ? LinearGradientModeVertical
                : A.GetBackgroundGradient() == wgDiagonalForward ? LinearGradientModeForwardDiagonal
                                                                  : LinearGradientModeBackwardDiagonal;
            TGPLinearGradientBrush Brush(MakeGPRectF(L, T, w, h), ToOpaqueARGB(c1), ToOpaqueARGB(c2), Mode);
            if (Shape == wsCircle) {
                Graphics->FillEllipse(&Brush, cx - r, cy - r, 2 * r, 2 * r);
            } else if (Shape == wsRect) {
                Graphics->FillRectangle(&Brush, L, T, w, h);
            } else {
                TGPGraphicsPath Path;
                AddRoundRect(Path, L, T, w, h, RoundRectRadius);
                Graphics->FillPath(&Brush, &Path);
            }
        }
    }
    if (A.GetBorderWidth() <= 0 || A.GetBorderColor() == clNone || NoCircle)
        return;
    TGPPen Pen(ToOpaqueARGB(A.GetBorderColor()), float(A.GetBorderWidth()));
    if (Shape == wsCircle) {
        Graphics->DrawEllipse(&Pen, cx - r, cy - r, 2 * r, 2 * r);
    } else if (Shape == wsRect) {
        Graphics->DrawRectangle(&Pen, L, T, w - 1, h - 1);
    } else {
        TGPGraphicsPath Path;
        AddRoundRect(Path, L, T, w - 1, h - 1, RoundRectRadius);
        Graphics->DrawPath(&Pen, &Path);
    }
}

void TLumWatch::DrawTickMarks(TGPGraphics* Graphics)
{
    const TWatchAppearance& A = *FAppearance;
    if (A.GetTickMarks() == tmNone)
        return;
    const TPoint Ct = GetCenterPoint();
    const double r = GetRadius();
    const double Ro = r - A.GetBorderWidth() / 2;
    const double Rh = A.GetHourMarkLength() == 0 ? Ro * 0.9 : Ro - A.GetHourMarkLength();
    const double Rm = A.GetMinuteMarkLength() == 0 ? Ro * 0.95 : Ro - A.GetMinuteMarkLength();
    auto P = [&](double Degrees, double d, double dx = 0, double dy = 0) {
        return MakeGPPointF(float(Ct.X + std::sin(Degrees * Rad) * d + dx), float(Ct.Y - std::cos(Degrees * Rad) * d + dy));
    };
    if (A.GetHourColor() != clNone) {
        TGPPen Hour(ToOpaqueARGB(A.GetHourColor()), float(A.GetHourMarkWidth()));
        for (int Quarter : { 90, 180, 270, 0 }) {
            if (A.GetHourMarkStyle() == hmsQuartDblLine) {
                // Two lines 4 pixels apart, across the direction of the mark.
                const bool Horizontal = Quarter == 90 || Quarter == 270;
                for (int Side : { -2, 2 }) {
                    const double dx = Horizontal ? 0 : Side, dy = Horizontal ? Side : 0;
                    DrawLinePath(Graphics, Hour, P(Quarter, Rh, dx, dy), P(Quarter, Ro, dx, dy));
                }
            } else {
                DrawLinePath(Graphics, Hour, P(Quarter, Rh), P(Quarter, Ro));
            }
        }
        if (A.GetTickMarks() == tmAll || A.GetTickMarks() == tmHours)
            for (int a = 30; a < 360; a += 30)
                if (a % 90 != 0)
                    DrawLinePath(Graphics, Hour, P(a, Rh), P(a, Ro));
    }
    if (A.GetTickMarks() == tmAll && A.GetMinuteColor() != clNone) {
        TGPPen Minute(ToOpaqueARGB(A.GetMinuteColor()), float(A.GetMinuteMarkWidth()));
        for (int a = 6; a < 360; a += 6)
            if (a % 30 != 0)
                DrawLinePath(Graphics, Minute, P(a, Rm), P(a, Ro));
    }
}

void TLumWatch::DrawNumbers(TGPGraphics* Graphics, TCanvas* Canvas)
{
    if (!Canvas || !FShowNumbers)
        return;
    const TWatchAppearance& A = *FAppearance;
    const TGdiHandOver HandOver(Graphics);
    const TPoint Ct = GetCenterPoint();
    const double R0 = GetRadius() - A.GetBorderWidth() / 2;
    const int b = A.GetHourMarkLength() != 0 ? A.GetHourMarkLength() : R(R0 - R0 * 0.9) + 2;
    const double D = R0 - 2 * b - 2;
    const int e = b / 2;
    Canvas->GetFont()->Assign(A.GetHourFont());
    Canvas->GetBrush()->SetStyle(bsClear);
    for (int i = 1; i <= 12; ++i) {
        if (A.GetTickMarks() == tmQuartHours && i % 3 != 0)
            continue;
        const String Text = IntToStr(i);
        const TSize Ext = Canvas->TextExtent(Text);
        const int tw = Ext.cx, th = Ext.cy;
        // The two-digit numbers left of 12 are pulled in so they stay inside.
        const int p = i == 10 ? R(th * 0.2) : i == 11 ? R(th * 0.15) : 0;
        const int x = R(std::sin(30 * i * Rad) * (D - p + e));
        const int y = R(std::cos(30 * i * Rad) * (D - p + e));
        const TRect Box(Ct.X + x + 1 - e, Ct.Y - y + 1 - e, Ct.X + x + 1 + e, Ct.Y - y + 1 + e);
        Canvas->TextOut(Box.Right - Box.Width() / 2 - tw / 2 - 1, Box.Bottom - Box.Height() / 2 - th / 2 - 1, Text);
    }
    Canvas->GetBrush()->SetStyle(bsSolid);
}

void TLumWatch::DrawAMPMFrame(TCanvas* Canvas, const TRect& Box, bool Fill)
{
    const TWatchAppearance& A = *FAppearance;
    if (Fill && A.GetAMPMColor() != clNone) {
        Canvas->GetBrush()->SetStyle(bsSolid);
        Canvas->GetBrush()->SetColor(A.GetAMPMColor());
    } else {
        Canvas->GetBrush()->SetStyle(bsClear);
    }
    if (A.GetAMPMBorderColor() != clNone) {
        Canvas->GetPen()->SetStyle(psSolid);
        Canvas->GetPen()->SetColor(A.GetAMPMBorderColor());
    } else {
        Canvas->GetPen()->SetStyle(psClear);
    }
    if (A.GetAMPMFrame() == apRect)
        Canvas->Rectangle(Box);
    else
        Canvas->RoundRect(Box, 5, 5);
    Canvas->GetPen()->SetStyle(psSolid);
    Canvas->GetBrush()->SetStyle(bsSolid);
}

void TLumWatch::DrawAMPM(TGPGraphics* Graphics, TCanvas* Canvas)
{
    if (!Canvas || !FShowAMPM)
        return;
    const TWatchAppearance& A = *FAppearance;
    const TRect Box = GetAMPMRect();
    if (A.GetAMPMColor() != clNone || A.GetAMPMBorderColor() != clNone) {
        const TGdiHandOver HandOver(Graphics);
        DrawAMPMFrame(Canvas, Box, true);
    }
    TRect Bounds;
    DrawGDIPText(Graphics, FAM ? u"AM" : u"PM", Box, A.GetAMPMFont(), StringAlignmentCenter, Bounds);
}

void TLumWatch::DrawPointers(TGPGraphics* Graphics, TCanvas*)
{
    const TWatchAppearance& A = *FAppearance;
    if (GetRadius() <= 0)
        return;
    const TFlagGuard Drawing(FDrawingPointers, true);
    Word H = 0, M = 0, S = 0, Ms = 0;
    DecodeTime(GetDisplayTime(), H, M, S, Ms);
    if (FSettings->GetAuto()) {
        const TFlagGuard Internal(FInternalSet, true);
        SetAM(H < 12);
    }
    H %= 12;
    const double ah = 30.0 * H + (M / 12.0) * 6.0, am = 6.0 * M, as = 6.0 * S;
    const TPoint Ct = GetCenterPoint();
    const double r = GetRadius();
    auto P = [&](double Degrees, double d, double dx = 0, double dy = 0) {
        return MakeGPPointF(float(Ct.X + std::sin(Degrees * Rad) * d + dx), float(Ct.Y - std::cos(Degrees * Rad) * d + dy));
    };
    const TColor HourShadow = A.GetHourPointerShadow(), MinuteShadow = A.GetMinutePointerShadow();

    if (A.GetPointerStyle() == psPointer) {
        auto Hand = [&](double a, double Tip, TColor Color, TColor Shadow) {
            if (Shadow != clNone) {
                const TGPPointF Pts[4] = { P(a, -0.1 * r, 1, 3), P(a - 90, 0.05 * r, 1, 3), P(a, Tip * r, 1, 3),
                    P(a + 90, 0.05 * r, 1, 3) };
                TGPSolidBrush Brush(MakeARGBFromColor(80, Shadow));
                Graphics->FillPolygon(&Brush, Pts, 4);
            }
            if (Color != clNone) {
                const TGPPointF Pts[4] = { P(a, -0.1 * r), P(a - 90, 0.05 * r), P(a, Tip * r), P(a + 90, 0.05 * r) };
                TGPSolidBrush Brush(ToOpaqueARGB(Color));
                Graphics->FillPolygon(&Brush, Pts, 4);
            }
        };
        Hand(ah, 0.5, A.GetHourPointer(), HourShadow);
        Hand(am, 0.7, A.GetMinutePointer(), MinuteShadow);
    } else {
        const double q = A.GetPointerStyle() == psShortLine ? 0 : 0.1;
        const bool Arrow = A.GetPointerStyle() == psLineArrow;
        const float HourWidth = float(A.GetHourPointerSize()), MinuteWidth = float(A.GetMinutePointerSize());
        if (HourShadow != clNone) {
            TGPPen Pen(MakeARGBFromColor(80, HourShadow), HourWidth);
            DrawLinePath(Graphics, Pen, P(ah, -q * r, -1, 3), P(ah, 0.46 * r, -1, 3));
        }
        if (A.GetHourPointer() != clNone) {
            TGPPen Pen(ToOpaqueARGB(A.GetHourPointer()), HourWidth);
            DrawLinePath(Graphics, Pen, P(ah, -q * r), P(ah, 0.5 * r));
            if (Arrow) {
                DrawLinePath(Graphics, Pen, P(ah + 10, 0.4 * r), P(ah, 0.5 * r));
                DrawLinePath(Graphics, Pen, P(ah, 0.5 * r), P(ah - 10, 0.4 * r));
            }
        }
        if (MinuteShadow != clNone) {
            TGPPen Pen(MakeARGBFromColor(80, MinuteShadow), MinuteWidth);
            DrawLinePath(Graphics, Pen, P(am, -q * r, 0, 3), P(am, 0.65 * r, 0, 3));
        }
        if (A.GetMinutePointer() != clNone) {
            TGPPen Pen(ToOpaqueARGB(A.GetMinutePointer()), MinuteWidth);
            if (Arrow) {
                DrawLinePath(Graphics, Pen, P(am + 7, 0.6 * r), P(am, 0.7 * r));
                DrawLinePath(Graphics, Pen, P(am, 0.7 * r), P(am - 7, 0.6 * r));
            }
            DrawLinePath(Graphics, Pen, P(am, -q * r), P(am, 0.7 * r));
        }
    }

    if (FSettings->GetAuto() && FSettings->GetSecond() && A.GetSecondPointer() != clNone) {
        TGPPen Pen(ToOpaqueARGB(A.GetSecondPointer()), float(A.GetSecondPointerSize()));
        DrawLinePath(Graphics, Pen, P(as, -0.2 * r), P(as, 0.9 * r));
    }

    const int s = A.GetCenterPointSize();
    if (s <= 0)
        return;
    const float cx = float(Ct.X), cy = float(Ct.Y), fs = float(s);
    if (A.GetCenterPointColor() != clNone) {
        TGPSolidBrush Brush(ToOpaqueARGB(A.GetCenterPointColor()));
        Graphics->FillEllipse(&Brush, cx - fs / 2, cy - fs / 2, fs, fs);
    }
    int u = 0;
    if (A.GetCenterPointOuterBorderColor() != clNone) {
        u = R(s * 0.2);
        TGPPen Pen(ToOpaqueARGB(A.GetCenterPointOuterBorderColor()), float(u));
        Graphics->DrawEllipse(&Pen, cx - fs / 2, cy - fs / 2, fs, fs);
    }
    if (A.GetCenterPointBorderColor() != clNone) {
        const float d = float(s - u);
        TGPPen Pen(ToOpaqueARGB(A.GetCenterPointBorderColor()), float(R(s * 0.1)));
        Graphics->DrawEllipse(&Pen, cx - d / 2, cy - d / 2, d, d);
    }
}

void TLumWatch::SlideAMPM(bool ToAM)
{
    if (!HandleAllocated() || FDrawingPointers)
        return;
    const TRect C = GetClientRect();
    if (FBKGCache->GetWidth() != C.Width() || FBKGCache->GetHeight() != C.Height() || C.IsEmpty())
        return;
    const TWatchAppearance& A = *FAppearance;
    const TRect Box = GetAMPMRect();
    TRect Inner = Box;
    Inner.Inflate(-1, -1);
    const int wi = Inner.Width(), hi = Inner.Height();
    if (wi <= 0 || hi <= 0)
        return;
    TBitmap Strip(wi, 2 * hi);
    Strip.GetCanvas()->GetBrush()->SetColor(A.GetAMPMColor());
    Strip.GetCanvas()->FillRect(TRect(0, 0, wi, 2 * hi));
    {
        TGPGraphics G(Strip.GetCanvas()->GetHandle());
        G.SetSmoothingMode(4);
        TRect Bounds;
        DrawGDIPText(&G, u"AM", TRect(0, 0, wi, hi), A.GetAMPMFont(), StringAlignmentCenter, Bounds);
        DrawGDIPText(&G, u"PM", TRect(0, hi, wi, 2 * hi), A.GetAMPMFont(), StringAlignmentCenter, Bounds);
    }
    int Offset = ToAM ? hi : 0;
    const int Step = ToAM ? -1 : 1;
    TBitmap Frame(C.Width(), C.Height());
    TCanvas* F = Frame.GetCanvas();
    for (int i = 0; i < hi; ++i) {
        F->CopyRect(C, FBKGCache->GetCanvas(), C);
        F->CopyRect(Inner, Strip.GetCanvas(), TRect(0, Offset, wi, Offset + hi));
        DrawAMPMFrame(F, Box, false);
        {
            TGPGraphics G(F->GetHandle());
            G.SetSmoothingMode(4);
            DrawPointers(&G, F);
        }
        GetCanvas()->CopyRect(C, F, C);
        Offset += Step;
        ::Sleep(10);
    }
}
