#include "grid/core/CellPainters.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

#include "grid/core/GridPainters.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtils.h"

namespace VuzEraz {

namespace {

// Rounds half to even; NaN gives 0 and values beyond int saturate.
int GuardedRound(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= double(INT_MAX))
        return INT_MAX;
    if (v <= double(INT_MIN))
        return INT_MIN;
    return int(RoundHalfEven(v));
}

// Whether the format's value conversion takes an integer: its first "d"
// (or else its first "u") follows "%", "*", "." or a digit.
bool FormatWantsInteger(const String& Format)
{
    size_t at = Format.find(u'd');
    if (at == String::npos)
        at = Format.find(u'u');
    if (at == String::npos || at == 0)
        return false;
    const char16_t before = Format[at - 1];
    return before == u'%' || before == u'*' || before == u'.' || (before >= u'0' && before <= u'9');
}

void FrameIn(TCanvas* Canvas, const TRect& R, TColor Color)
{
    Canvas->GetBrush()->SetStyle(bsSolid);
    Canvas->GetBrush()->SetColor(Color);
    Canvas->FrameRect(R);
}

} // namespace

void ProgressBarText(double Value, double Min, double Max, double Divisor, const String& Format, String& Text,
    int& Percent)
{
    if (Format.empty()) {
        Percent = GuardedRound(Value);
        Text = IntToStr(Percent) + u"%";
    } else {
        if (Divisor == 0)
            Divisor = 1;
        try {
            if (FormatWantsInteger(Format))
                Text = ::Format(Format, { TVarRec(GuardedRound(GuardedRound(Value) / Divisor)) });
            else
                Text = ::Format(Format, { TVarRec(Value / Divisor) });
        } catch (const std::exception&) {
            // An application's format that does not fit the value: the plain value.
            Text = FloatToStr(Value);
        }
        // An empty or inverted range has nothing to fill.
        Percent = Max > Min ? GuardedRound((Value - Min) * 100.0 / (Max - Min)) : 0;
    }
    Percent = std::clamp(Percent, 0, 100);
}

void DrawProgressBarCell(TCanvas* Canvas, TRect Rect, TColor Color, TColor FontColor, TColor ColorTo,
    TColor FontColorTo, double Value, int MarginX, int MarginY, double Min, double Max, double Divisor,
    const String& Format, TColor BorderColor, bool Print)
{
    const TColor previousBrush = Canvas->GetBrush()->GetColor();
    Canvas->GetBrush()->SetStyle(bsSolid);
    Canvas->GetBrush()->SetColor(Color);
    Canvas->GetPen()->SetColor(Color);
    Canvas->GetFont()->SetColor(FontColor);

    String text;
    int percent = 0;
    ProgressBarText(Value, Min, Max, Divisor, Format, text, percent);

    Rect.Inflate(-MarginX, -MarginY);
    const int split = Rect.Left + GuardedRound(double(percent) * (Rect.Right - Rect.Left) / 100.0);
    const int tw = Canvas->TextWidth(text), th = Canvas->TextHeight(text);
    const int x = Rect.Left + (Rect.Width() - tw) / 2;
    const int y = Print ? Rect.Top + (Rect.Height() + th) / 2 : Rect.Top + (Rect.Height() - th) / 2;

    // The text changes colour where the bar ends.
    if (split > Rect.Left) {
        Canvas->GetBrush()->SetColor(Color);
        Canvas->GetFont()->SetColor(FontColor);
        Canvas->TextRect(TRect(Rect.Left, Rect.Top, split, Rect.Bottom), x, y, text);
    }
    if (split < Rect.Right) {
        if (ColorTo == clNone) {
            Canvas->GetBrush()->SetStyle(bsClear);
        } else {
            Canvas->GetBrush()->SetStyle(bsSolid);
            Canvas->GetBrush()->SetColor(ColorTo);
        }
        Canvas->GetFont()->SetColor(FontColorTo);
        Canvas->TextRect(TRect(split, Rect.Top, Rect.Right, Rect.Bottom), x, y, text);
    }

    TRect frame = Rect;
    frame.Inflate(1, 1);
    if (BorderColor != clNone)
        FrameIn(Canvas, frame, BorderColor);
    frame.Inflate(1, 1);
    if (previousBrush != clNone)
        FrameIn(Canvas, frame, previousBrush);
}

namespace {

struct TLevelColors {
    TColor Color, ColorTo;
};

TLevelColors LevelColors(const TMultiLevelProgressAppearance& A, int Level)
{
    switch (Level) {
    case 0: return { A.Level0Color, A.Level0ColorTo };
    case 1: return { A.Level1Color, A.Level1ColorTo };
    case 2: return { A.Level2Color, A.Level2ColorTo };
    default: return { A.Level3Color, A.Level3ColorTo };
    }
}

int LevelOf(const TMultiLevelProgressAppearance& A, int Percent)
{
    if (Percent < A.Level1Perc)
        return 0;
    if (Percent < A.Level2Perc)
        return 1;
    if (Percent == 100)
        return 3;
    return 2;
}

// A piece of the bar `Length` long starting `From` along it, `Inset` in
// from both sides across it.
TRect Segment(const TRect& R, bool Vertical, int From, int Length, int Inset)
{
    if (Vertical)
        return TRect(R.Left + Inset, R.Bottom - From - Length, R.Right - Inset, R.Bottom - From);
    return TRect(R.Left + From, R.Top + Inset, R.Left + From + Length, R.Bottom - Inset);
}

void FillSegment(TCanvas* Canvas, const TRect& S, TLevelColors C, const TMultiLevelProgressAppearance& A)
{
    if (S.Width() <= 0 || S.Height() <= 0)
        return;
    if (!A.ShowGradient) {
        FillRectColor(Canvas, S, C.Color);
        return;
    }
    // Darker towards the middle of the bar's thickness, lighter at the sides.
    if (A.Vertical) {
        const int mid = S.Left + S.Width() / 2;
        FillGradientRect(Canvas, C.ColorTo, C.Color, A.Steps, TRect(S.Left, S.Top, mid, S.Bottom), true);
        FillGradientRect(Canvas, C.Color, C.ColorTo, A.Steps, TRect(mid, S.Top, S.Right, S.Bottom), true);
    } else {
        const int mid = S.Top + S.Height() / 2;
        FillGradientRect(Canvas, C.ColorTo, C.Color, A.Steps, TRect(S.Left, S.Top, S.Right, mid), false);
        FillGradientRect(Canvas, C.Color, C.ColorTo, A.Steps, TRect(S.Left, mid, S.Right, S.Bottom), false);
    }
}

} // namespace

void DrawMultiLevelProgress(TCanvas* Canvas, TRect Rect, int Percent, const TMultiLevelProgressAppearance& A)
{
    Percent = std::clamp(Percent, 0, 100);
    const TColor pen = A.ShowBorder ? A.BorderColor : A.BackgroundColor;
    Canvas->GetBrush()->SetStyle(bsSolid);
    Canvas->GetBrush()->SetColor(A.BackgroundColor);
    Canvas->GetPen()->SetColor(pen);
    Canvas->GetPen()->SetWidth(1);
    Canvas->Rectangle(Rect);
    const int q = (A.Vertical ? Rect.Height() : Rect.Width()) - 2;

    if (A.Stacked) {
        int at = 1;
        const int first = GuardedRound(std::min(Percent, A.Level1Perc) / 100.0 * q);
        FillSegment(Canvas, Segment(Rect, A.Vertical, at, first, 1), LevelColors(A, 0), A);
        at += std::max(first, 0);
        if (Percent >= A.Level1Perc) {
            const int second = GuardedRound((std::min(Percent, A.Level2Perc) - A.Level1Perc) / 100.0 * q);
            FillSegment(Canvas, Segment(Rect, A.Vertical, at, second, 1), LevelColors(A, 1), A);
            at += std::max(second, 0);
        }
        if (Percent >= A.Level2Perc) {
            const int last = Percent == 100 ? q + 1 - at : GuardedRound((Percent - A.Level2Perc) / 100.0 * q);
            FillSegment(Canvas, Segment(Rect, A.Vertical, at, last, 1), LevelColors(A, 3), A);
        }
    } else if (A.CompletionSmooth) {
        const int length = GuardedRound(Percent / 100.0 * q);
        FillSegment(Canvas, Segment(Rect, A.Vertical, 1, length, 1), LevelColors(A, LevelOf(A, Percent)), A);
    } else {
        const TLevelColors colours = LevelColors(A, LevelOf(A, Percent));
        const int u = GuardedRound(double(Percent) * q / 100.0);
        if (u < 10) {
            if (u > 1)
                FillSegment(Canvas, Segment(Rect, A.Vertical, 2, u - 1, 2), colours, A);
        } else {
            int at = 2;
            for (int i = 0; i < u / 9; ++i, at += 9)
                FillSegment(Canvas, Segment(Rect, A.Vertical, at, 7, 2), colours, A);
            if (u % 9 > 2)
                FillSegment(Canvas, Segment(Rect, A.Vertical, at, u % 9 - 1, 2), colours, A);
        }
    }

    if (A.ShowPercentage) {
        if (A.Font)
            Canvas->GetFont()->Assign(A.Font);
        Canvas->GetFont()->SetColor(A.FontColor);
        Canvas->GetBrush()->SetStyle(bsClear);
        const String text = IntToStr(Percent) + u"%";
        const int cx = Rect.Left + Rect.Width() / 2, cy = Rect.Top + Rect.Height() / 2;
        if (A.Vertical) {
            Canvas->GetFont()->SetOrientation(900);
            const int tw = Canvas->TextWidth(text), th = Canvas->TextHeight(text);
            Canvas->TextOut(cx - th / 2, cy + tw / 2, text);
            Canvas->GetFont()->SetOrientation(0);
        } else {
            const int tw = Canvas->TextWidth(text), th = Canvas->TextHeight(text);
            Canvas->TextOut(cx - tw / 2, cy - th / 2, text);
        }
    }
    Canvas->GetBrush()->SetStyle(bsClear);
    Canvas->GetPen()->SetColor(pen);
    Canvas->Rectangle(Rect);
    Canvas->GetBrush()->SetStyle(bsSolid);
}

void DrawPieIndicator(TCanvas* Canvas, TRect Rect, TColor FillColor, int Percent, bool /*Print*/)
{
    constexpr TColor outline = TColor(0x808080);
    Percent = std::clamp(Percent, 0, 100);
    Canvas->GetPen()->SetStyle(psSolid);
    Canvas->GetPen()->SetColor(outline);
    Canvas->GetPen()->SetWidth(1);
    Canvas->Ellipse(Rect);
    const int w = Rect.Right - Rect.Left, h = Rect.Bottom - Rect.Top;
    const int cx = Rect.Left + w / 2, cy = Rect.Top + h / 2;
    const double a = Percent / 100.0 * 2 * std::numbers::pi;
    const int ex = cx + GuardedRound((w + 1) / 2.0 * std::sin(a));
    const int ey = cy - GuardedRound((h + 1) / 2.0 * std::cos(a));
    if (Percent != 0) {
        // The sector from 12 o'clock clockwise to the value, filled as a
        // shape (a flood fill misses small wedges and cannot print).
        const TColor brush = Canvas->GetBrush()->GetColor();
        const TBrushStyle style = Canvas->GetBrush()->GetStyle();
        Canvas->GetBrush()->SetStyle(bsSolid);
        Canvas->GetBrush()->SetColor(FillColor);
        if (Percent == 100)
            Canvas->Ellipse(Rect);
        else
            Canvas->Pie(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom, ex, ey, cx, Rect.Top);
        Canvas->GetBrush()->SetColor(brush);
        Canvas->GetBrush()->SetStyle(style);
    }
    Canvas->MoveTo(cx, Rect.Top);
    Canvas->LineTo(cx, cy);
    Canvas->LineTo(ex, ey);
}

void DrawCenteredValueBar(TCanvas* Canvas, TRect Rect, int Value, int Max, bool ShowValue, TColor NegativeColor,
    TColor PositiveColor)
{
    Rect.Inflate(-2, -2);
    const int half = Rect.Width() / 2;
    if (Max > 0) {
        Value = std::clamp(Value, -Max, Max);
        const int e = GuardedRound(double(half) * Value / Max);
        const TColor c = Value < 0 ? NegativeColor : PositiveColor;
        Canvas->GetPen()->SetColor(c);
        Canvas->GetBrush()->SetStyle(bsSolid);
        Canvas->GetBrush()->SetColor(c);
        if (e != 0) {
            if (Value < 0)
                Canvas->Rectangle(Rect.Left + half + e, Rect.Top, Rect.Left + half, Rect.Bottom);
            else
                Canvas->Rectangle(Rect.Left + half, Rect.Top, Rect.Left + half + e, Rect.Bottom);
        }
    }
    if (ShowValue) {
        const String text = IntToStr(Value);
        Canvas->GetBrush()->SetStyle(bsClear);
        Canvas->TextOut(Rect.Left + (Rect.Width() - Canvas->TextWidth(text)) / 2, Rect.Top, text);
        Canvas->GetBrush()->SetStyle(bsSolid);
    }
}

void DrawCellShape(TCanvas* Canvas, int Left, int Top, int Width, int Height, int Shape, TColor BrushColor,
    TColor PenColor)
{
    if (Shape < csRectangle || Shape > csHalfStar)
        return;
    if (Shape == csCircle || Shape == csSquare || Shape == csRoundSquare)
        Width = Height = std::min(Width, Height);
    const int r = Left + Width, b = Top + Height;
    const int cx = Left + Width / 2, cy = Top + Height / 2;
    Canvas->GetPen()->SetColor(PenColor);
    Canvas->GetBrush()->SetStyle(bsSolid);
    Canvas->GetBrush()->SetColor(BrushColor);
    auto star = [&](std::initializer_list<int> ks) {
        std::vector<TPoint> pts;
        for (int k : ks) {
            const double rx = k % 2 == 0 ? Width / 2 : (Width / 2) / 3.0;
            const double ry = k % 2 == 0 ? Height / 2 : (Height / 2) / 3.0;
            const double a = k * std::numbers::pi / 5;
            pts.emplace_back(cx + GuardedRound(std::sin(a) * rx), cy - GuardedRound(std::cos(a) * ry));
        }
        Canvas->Polygon(pts);
    };
    const int be = Width - Width % 2, ue = Height - Height % 2;
    switch (Shape) {
    case csRectangle: case csSquare: Canvas->Rectangle(Left + 1, Top + 1, r - 1, b - 1); break;
    case csCircle: case csEllips: Canvas->Ellipse(Left, Top, r, b); break;
    case csTriangleLeft: Canvas->Polygon({ { r, Top }, { r, b }, { Left, cy } }); break;
    case csTriangleRight: Canvas->Polygon({ { Left, Top }, { Left, b }, { r, cy } }); break;
    case csTriangleUp: Canvas->Polygon({ { Left, b }, { r, b }, { cx, Top } }); break;
    case csTriangleDown: Canvas->Polygon({ { Left, Top }, { r, Top }, { cx, b } }); break;
    case csDiamond:
        Canvas->Polygon({ { Left, cy }, { cx, Top }, { Left + 2 * (Width / 2), cy }, { cx, Top + 2 * (Height / 2) } });
        break;
    case csLineVert: Canvas->Rectangle(cx, Top, cx + 1, b); break;
    case csLineHorz: Canvas->Rectangle(Left, cy, r, cy + 1); break;
    case csRoundRect: case csRoundSquare: Canvas->RoundRect(Left, Top, r, b, 10, 10); break;
    case csStar: star({ 0, 1, 2, 3, 4, 5, 6, 7, 8, 9 }); break;
    case csHalfStar: star({ 0, 5, 6, 7, 8, 9 }); break;
    case csArrowUp: case csArrowDown: {
        const int c = Left + be / 2, d = Left + (be / 4) * 3, e = Left + be / 4;
        const int tip = Shape == csArrowUp ? Top : b, tail = Shape == csArrowUp ? b : Top;
        Canvas->Polygon({ { Left, cy }, { c, tip }, { Left + be, cy }, { d, cy }, { d, tail }, { e, tail }, { e, cy } });
        break;
    }
    case csArrowLeft: case csArrowRight: {
        const int v = Top + ue / 2, w4 = Top + ue / 4, w3 = Top + (ue / 4) * 3;
        const int tip = Shape == csArrowLeft ? Left : r, tail = Shape == csArrowLeft ? r : Left;
        Canvas->Polygon({ { tip, v }, { cx, Top }, { cx, w4 }, { tail, w4 }, { tail, w3 }, { cx, w3 }, { cx, Top + ue } });
        break;
    }
    default: break;
    }
}

void DrawErrorUnderline(TCustomEdit* Meter, TCanvas* Canvas, const String& Text, TRect Rect, int Offset, int Start,
    int Length)
{
    if (!Meter || Length <= 0 || Start < 0)
        return;
    Meter->SetBounds(Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
    Meter->SetText(Text);
    const int n = int(Text.size());
    auto posOf = [&](int index, int& x, int& y) {
        const LRESULT p = Meter->Perform(EM_POSFROMCHAR, WPARAM(std::clamp(index, 0, n)), 0);
        x = std::int16_t(LOWORD(p));
        y = std::int16_t(HIWORD(p));
    };
    int x1, y1, x2, y2;
    if (Start >= n) {
        posOf(n, x1, y1);
        x1 += 4;
    } else {
        posOf(Start, x1, y1);
    }
    const int last = Start + Length - 1;
    if (last >= n - 1) {
        posOf(n - 1 < 0 ? 0 : n - 1, x2, y2);
        x2 += 4;
        y2 = y1;
    } else {
        posOf(last, x2, y2);
    }
    Canvas->GetPen()->SetStyle(psSolid);
    Canvas->GetPen()->SetColor(TColor(0x0000FF));
    Canvas->GetPen()->SetWidth(2);
    Canvas->MoveTo(Rect.Left + x1, Rect.Top + y1 + Offset + 3);
    int g = 0;
    int x = x1;
    for (; x <= x2; x += 3) {
        Canvas->LineTo(Rect.Left + x + 3, Rect.Top + y2 + Offset + g);
        g = g == 0 ? 3 : 0;
    }
    Canvas->LineTo(Rect.Left + x + 3, Rect.Top + y2 + Offset + g);
    Canvas->GetPen()->SetWidth(1);
}

void DrawAlphaBitmap(TCanvas* Canvas, int X, int Y, TBitmap* Bitmap)
{
    if (!Bitmap || Bitmap->GetEmpty())
        return;
    if (Bitmap->GetPixelFormat() == pf32bit && Bitmap->GetAlphaFormat() == afPremultiplied) {
        BLENDFUNCTION blend;
        blend.BlendOp = AC_SRC_OVER;
        blend.SourceConstantAlpha = 255;
        blend.AlphaFormat = AC_SRC_ALPHA;
        AlphaBlend(Canvas->GetHandle(), X, Y, Bitmap->GetWidth(), Bitmap->GetHeight(), Bitmap->GetCanvas()->GetHandle(),
            0, 0, Bitmap->GetWidth(), Bitmap->GetHeight(), blend);
        Canvas->Refresh();
        return;
    }
    Canvas->Draw(X, Y, Bitmap);
}

void DrawBitmapScaled(TCanvas* Canvas, TBitmap* Bitmap, TColor Color, TRect Rect, double Scale)
{
    if (!Bitmap || Bitmap->GetEmpty())
        return;
    const int w = GuardedRound(Bitmap->GetWidth() * Scale), h = GuardedRound(Bitmap->GetHeight() * Scale);
    if (w <= 0 || h <= 0)
        return;
    TBitmap work(w, h);
    work.GetCanvas()->GetBrush()->SetColor(Color);
    if (Scale != 1) {
        work.GetCanvas()->StretchDraw(TRect(0, 0, w, h), Bitmap);
    } else {
        // The picture's background (its top-left colour) becomes Color.
        const TColor background = TColor(Bitmap->GetCanvas()->GetPixel(0, 0) & 0xFFFFFF);
        work.GetCanvas()->BrushCopy(TRect(0, 0, w, h), Bitmap, TRect(0, 0, w, h), background);
    }
    Canvas->Draw(Rect.Left, Rect.Top, &work);
}

void DrawResourceBitmap(TCanvas* Canvas, TColor Color, TRect Rect, const String& ResName, double Scale)
{
    TBitmap bitmap;
    try {
        bitmap.LoadFromResourceName(nullptr, ResName);
    } catch (const std::exception&) {
        return; // painting never raises: a missing picture draws nothing
    }
    DrawBitmapScaled(Canvas, &bitmap, Color, Rect, Scale);
}

} // namespace VuzEraz

// ---- TFilePicture ----

QT_PUBLISHED(TFilePicture, QT_PROP(Filename), QT_PROP_RO(Width), QT_PROP_RO(Height))

void TFilePicture::SetFilename(const String& v)
{
    FFilename = v;
    if (v.empty() || !FileExists(v))
        return;
    try {
        TPicture picture;
        picture.LoadFromFile(v);
        FWidth = picture.GetWidth();
        FHeight = picture.GetHeight();
    } catch (const std::exception&) {
        // An unreadable file keeps the size known so far.
    }
}

void TFilePicture::DrawPicture(TCanvas* Canvas, const TRect& R)
{
    if (FFilename.empty() || !FileExists(FFilename))
        return;
    try {
        TPicture picture;
        picture.LoadFromFile(FFilename);
        if (picture.GetGraphic())
            Canvas->StretchDraw(R, picture.GetGraphic());
    } catch (const std::exception&) {
        // A picture that fails to load or draw leaves the cell as it is.
    }
}

void TFilePicture::Assign(TPersistent* Source)
{
    if (auto* other = dynamic_cast<TFilePicture*>(Source)) {
        FFilename = other->FFilename;
        FWidth = other->FWidth;
        FHeight = other->FHeight;
        return;
    }
    TPersistent::Assign(Source);
}
