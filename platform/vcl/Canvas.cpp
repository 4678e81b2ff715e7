#include "platform/gdi/DrawText.h"
#include "platform/gdi/Frames.h"
#include "platform/vcl/Graphics.h"

UINT TextFormatToFlags(TTextFormat format)
{
    static constexpr struct {
        TTextFormats Format;
        UINT Flag;
    } map[] = {
        { tfBottom, DT_BOTTOM }, { tfCalcRect, DT_CALCRECT }, { tfCenter, DT_CENTER },
        { tfEditControl, DT_EDITCONTROL }, { tfEndEllipsis, DT_END_ELLIPSIS }, { tfPathEllipsis, DT_PATH_ELLIPSIS },
        { tfExpandTabs, DT_EXPANDTABS }, { tfExternalLeading, DT_EXTERNALLEADING }, { tfLeft, DT_LEFT },
        { tfModifyString, DT_MODIFYSTRING }, { tfNoClip, DT_NOCLIP }, { tfNoPrefix, DT_NOPREFIX },
        { tfRight, DT_RIGHT }, { tfRtlReading, DT_RTLREADING }, { tfSingleLine, DT_SINGLELINE }, { tfTop, DT_TOP },
        { tfVerticalCenter, DT_VCENTER }, { tfWordBreak, DT_WORDBREAK }, { tfHidePrefix, DT_HIDEPREFIX },
        { tfNoFullWidthCharBreak, DT_NOFULLWIDTHCHARBREAK }, { tfPrefixOnly, DT_PREFIXONLY },
        { tfTabStop, DT_TABSTOP }, { tfWordEllipsis, DT_WORD_ELLIPSIS },
    };
    UINT flags = 0;
    for (const auto& m : map)
        if (format.Contains(m.Format))
            flags |= m.Flag;
    return flags;
}

QT_PUBLISHED(TCanvas)

TCanvas::TCanvas()
    : FFont(std::make_unique<TFont>())
    , FPen(std::make_unique<TPen>())
    , FBrush(std::make_unique<TBrush>())
{
    FFont->FCanvasNotify = [this] { FFontValid = false; };
    FPen->FCanvasNotify = [this] { FPenValid = false; };
    FBrush->FCanvasNotify = [this] { FBrushValid = false; };
}

TCanvas::~TCanvas()
{
    DeselectHandles();
}

HDC TCanvas::GetHandle()
{
    if (!FHandle)
        CreateHandle();
    if (!FHandle)
        throw EInvalidOperation(u"Canvas does not allow drawing");
    return FHandle;
}

void TCanvas::SetHandle(HDC value)
{
    if (value == FHandle)
        return;
    DeselectHandles();
    FHandle = value;
}

void TCanvas::DeselectHandles()
{
    if (FHandle) {
        if (FOldFont)
            SelectObject(FHandle, FOldFont);
        if (FOldPen)
            SelectObject(FHandle, FOldPen);
        if (FOldBrush)
            SelectObject(FHandle, FOldBrush);
    }
    FOldFont = FOldPen = FOldBrush = nullptr;
    FFontValid = FPenValid = FBrushValid = false;
}

void TCanvas::Refresh()
{
    DeselectHandles();
}

void TCanvas::RequiredState(bool font, bool pen, bool brush)
{
    HDC h = GetHandle();
    if (font && !FFontValid) {
        HGDIOBJ old = SelectObject(h, FFont->GetHandle());
        if (!FOldFont)
            FOldFont = old;
        SetTextColor(h, COLORREF(ColorToRGB(FFont->GetColor())) & 0xFFFFFF);
        FFontValid = true;
    }
    if (pen && !FPenValid) {
        HGDIOBJ old = SelectObject(h, FPen->GetHandle());
        if (!FOldPen)
            FOldPen = old;
        SetROP2(h, PenModeToRop2(FPen->GetMode()));
        FPenValid = true;
    }
    if (brush && !FBrushValid) {
        HGDIOBJ old = SelectObject(h, FBrush->GetHandle());
        if (!FOldBrush)
            FOldBrush = old;
        // Hatches draw their lines only; text gets a background only from a solid brush.
        const COLORREF color = COLORREF(ColorToRGB(FBrush->GetColor())) & 0xFFFFFF;
        if (FBrush->GetStyle() == bsSolid) {
            SetBkColor(h, color);
            SetBkMode(h, OPAQUE);
        } else {
            SetBkColor(h, ~color & 0xFFFFFF);
            SetBkMode(h, TRANSPARENT);
        }
        FBrushValid = true;
    }
}

HDC TCanvas::ReadyHandle(bool font, bool pen, bool brush)
{
    RequiredState(font, pen, brush);
    return FHandle;
}

void TCanvas::Changing()
{
    if (OnChanging)
        OnChanging(this);
}

void TCanvas::Changed()
{
    if (OnChange)
        OnChange(this);
}

TPoint TCanvas::GetPenPos()
{
    POINT p;
    GetCurrentPositionEx(GetHandle(), &p);
    return p;
}

TRect TCanvas::GetClipRect()
{
    RECT r;
    GetClipBox(GetHandle(), &r);
    return r;
}

void TCanvas::MoveTo(int x, int y)
{
    MoveToEx(GetHandle(), x, y, nullptr);
}

void TCanvas::LineTo(int x, int y)
{
    Changing();
    ::LineTo(ReadyHandle(false, true, true), x, y);
    Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    Changing();
    ::Rectangle(ReadyHandle(false, true, true), x1, y1, x2, y2);
    Changed();
}

void TCanvas::FillRect(const TRect& r)
{
    Changing();
    HDC h = ReadyHandle(false, false, true);
    ::FillRect(h, &r, FBrush->GetHandle());
    Changed();
}

void TCanvas::FrameRect(const TRect& r)
{
    Changing();
    HDC h = ReadyHandle(false, false, true);
    ::FrameRect(h, &r, FBrush->GetHandle());
    Changed();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3)
{
    Changing();
    ::RoundRect(ReadyHandle(false, true, true), x1, y1, x2, y2, x3, y3);
    Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    Changing();
    ::Ellipse(ReadyHandle(false, true, true), x1, y1, x2, y2);
    Changed();
}

void TCanvas::Polygon(const std::vector<TPoint>& points)
{
    if (points.empty())
        return;
    Changing();
    ::Polygon(ReadyHandle(false, true, true), points.data(), int(points.size()));
    Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& points)
{
    if (points.empty())
        return;
    Changing();
    ::Polyline(ReadyHandle(false, true, true), points.data(), int(points.size()));
    Changed();
}

void TCanvas::PolyBezier(const std::vector<TPoint>& points)
{
    if (points.empty())
        return;
    Changing();
    ::PolyBezier(ReadyHandle(false, true, true), points.data(), DWORD(points.size()));
    Changed();
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    Changing();
    ::Arc(ReadyHandle(false, true, true), x1, y1, x2, y2, x3, y3, x4, y4);
    Changed();
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    Changing();
    ::Pie(ReadyHandle(false, true, true), x1, y1, x2, y2, x3, y3, x4, y4);
    Changed();
}

void TCanvas::Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    Changing();
    ::Chord(ReadyHandle(false, true, true), x1, y1, x2, y2, x3, y3, x4, y4);
    Changed();
}

void TCanvas::FloodFill(int x, int y, TColor color, TFillStyle fillStyle)
{
    Changing();
    ExtFloodFill(ReadyHandle(false, false, true), x, y, COLORREF(ColorToRGB(color)) & 0xFFFFFF,
        fillStyle == fsSurface ? FLOODFILLSURFACE : FLOODFILLBORDER);
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& r)
{
    Changing();
    ::DrawFocusRect(ReadyHandle(false, false, true), &r);
    Changed();
}

void TCanvas::TextOut(int x, int y, const String& text)
{
    Changing();
    HDC h = ReadyHandle(true, false, true);
    ExtTextOutW(h, x, y, UINT(FTextFlags), nullptr, text.c_str(), UINT(text.size()), nullptr);
    MoveTo(x + TextWidth(text), y);
    Changed();
}

void TCanvas::TextRect(const TRect& r, int x, int y, const String& text)
{
    Changing();
    HDC h = ReadyHandle(true, false, true);
    UINT options = ETO_CLIPPED | UINT(FTextFlags);
    if (FBrush->GetStyle() != bsClear)
        options |= ETO_OPAQUE;
    ExtTextOutW(h, x, y, options, &r, text.c_str(), UINT(text.size()), nullptr);
    Changed();
}

void TCanvas::TextRect(TRect& r, String& text, TTextFormat format)
{
    Changing();
    HDC h = ReadyHandle(true, false, true);
    UINT flags = TextFormatToFlags(format);
    if (flags & DT_CALCRECT)
        flags &= ~UINT(DT_MODIFYSTRING);
    if (flags & DT_MODIFYSTRING) {
        DrawText(h, text, &r, flags);
    } else {
        DrawText(h, text.c_str(), int(text.size()), &r, flags);
    }
    Changed();
}

TSize TCanvas::TextExtent(const String& text)
{
    SIZE s;
    GetTextExtentPoint32W(ReadyHandle(true, false, false), text.c_str(), int(text.size()), &s);
    return s;
}

int TCanvas::TextWidth(const String& text)
{
    return TextExtent(text).cx;
}

int TCanvas::TextHeight(const String& text)
{
    return TextExtent(text).cy;
}

void TCanvas::DrawGraphic(const TRect& r, TGraphic* graphic, Byte opacity)
{
    if (!graphic || graphic->Empty())
        return;
    Changing();
    RequiredState(false, false, true);
    if (opacity == 255)
        graphic->Draw(this, r);
    else
        graphic->DrawTransparent(this, r, opacity);
    Changed();
}

void TCanvas::Draw(int x, int y, TGraphic* graphic)
{
    if (graphic)
        DrawGraphic(Bounds(x, y, graphic->GetWidth(), graphic->GetHeight()), graphic, 255);
}

void TCanvas::Draw(int x, int y, TGraphic* graphic, Byte opacity)
{
    if (graphic)
        DrawGraphic(Bounds(x, y, graphic->GetWidth(), graphic->GetHeight()), graphic, opacity);
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* graphic)
{
    DrawGraphic(r, graphic, 255);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source)
{
    if (!canvas)
        return;
    Changing();
    HDC h = ReadyHandle(false, false, true);
    HDC src = canvas->ReadyHandle(false, false, true);
    StretchBlt(h, dest.Left, dest.Top, dest.Width(), dest.Height(), src, source.Left, source.Top, source.Width(),
        source.Height(), DWORD(FCopyMode));
    Changed();
}

void TCanvas::BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& source, TColor color)
{
    if (!bitmap || bitmap->Empty() || dest.IsEmpty() || source.IsEmpty())
        return;
    const int w = dest.Width(), h = dest.Height();
    // The bitmap scaled to the destination, and the brush over the same area.
    TBitmap scaled(w, h);
    scaled.GetCanvas()->CopyRect(Rect(0, 0, w, h), bitmap->GetCanvas(), source);
    TBitmap fill(w, h);
    fill.GetCanvas()->SetBrush(FBrush.get());
    fill.GetCanvas()->FillRect(Rect(0, 0, w, h));
    const std::uint32_t key = std::uint32_t(ColorToRGB(color)) & 0xFFFFFF;
    for (int y = 0; y < h; ++y) {
        auto* s = static_cast<std::uint32_t*>(scaled.ScanLine(y));
        const auto* f = static_cast<const std::uint32_t*>(fill.ScanLine(y));
        for (int x = 0; x < w; ++x) {
            const std::uint32_t px = s[x] & 0xFFFFFF;
            const std::uint32_t asColor = ((px & 0xFF) << 16) | (px & 0xFF00) | (px >> 16);
            if (asColor == key)
                s[x] = f[x];
        }
    }
    Changing();
    HDC hdc = ReadyHandle(false, false, true);
    BitBlt(hdc, dest.Left, dest.Top, w, h, scaled.GetCanvas()->GetHandle(), 0, 0, SRCCOPY);
    Changed();
}

TColor TCanvas::GetPixel(int x, int y)
{
    return TColor(::GetPixel(GetHandle(), x, y));
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    Changing();
    ::SetPixel(GetHandle(), x, y, COLORREF(ColorToRGB(color)) & 0xFFFFFF);
    Changed();
}

void TCanvas::Lock()
{
    FLock.lock();
    ++FLockCount;
}

void TCanvas::Unlock()
{
    --FLockCount;
    FLock.unlock();
}

bool TCanvas::TryLock()
{
    if (!FLock.try_lock())
        return false;
    ++FLockCount;
    return true;
}
