#include "grid/core/GridOverlays.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/WindowRegions.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/MathUtils.h"
#include "platform/win/Surface.h"
#include "platform/win/Window.h"

namespace {

// The glow's colour and the frame it is drawn from.
constexpr TColor GlowColor = TColor(0xFDD397);
constexpr Byte GlowOpacity = 230;
constexpr int GlowMargin = 4;
constexpr int GlowGrowth = 9;

int RowStride(TBitmap* Bitmap)
{
    if (Bitmap->GetHeight() < 2)
        return Bitmap->GetWidth() * (Bitmap->GetPixelFormat() == pf24bit ? 3 : 4);
    return int(static_cast<Byte*>(Bitmap->ScanLine(1)) - static_cast<Byte*>(Bitmap->ScanLine(0)));
}

} // namespace

QT_PUBLISHED(TGridFocusWindow)
QT_PUBLISHED(TGridAlphaMask)
QT_PUBLISHED(TArrowWindow)

// ---- focus glow window ----

TGridFocusWindow::TGridFocusWindow(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetVisible(false);
    SetBounds(0, 0, 0, 0);
    SetColor(TColor(0x0000FF));
}

void TGridFocusWindow::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_DISABLED;
    Params.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    Params.WndParent = nullptr;
}

void TGridFocusWindow::ShowAround(const TRect& CellOnScreen)
{
    const int cw = CellOnScreen.Width(), ch = CellOnScreen.Height();
    if (cw <= 0 || ch <= 0) {
        HideGlow();
        return;
    }
    const int w = cw + GlowGrowth, h = ch + GlowGrowth;
    TBitmap mask;
    VuzUdo::MakeGlowMask(&mask, w, h, 3, 5, 4);
    TBitmap colour;
    colour.SetPixelFormat(pf24bit);
    colour.SetSize(w, h);
    colour.GetCanvas()->GetBrush()->SetColor(GlowColor);
    colour.GetCanvas()->FillRect(TRect(0, 0, w, h));
    TGridAlphaMask image;
    image.MergeMask(&mask, &colour, GlowColor);
    image.Opacity = GlowOpacity;

    HandleNeeded();
    HWND hwnd = GetHandle();
    SetWindowLong(hwnd, GWL_EXSTYLE, GetWindowLong(hwnd, GWL_EXSTYLE) | LONG(WS_EX_LAYERED));
    const POINT at { CellOnScreen.Left - GlowMargin, CellOnScreen.Top - GlowMargin };
    const SIZE size { w, h };
    // Only the halo takes part: the cell itself stays clickable and visible.
    HRGN outer = CreateRectRgn(0, 0, w, h);
    HRGN cell = CreateRectRgn(GlowMargin, GlowMargin, GlowMargin + cw, GlowMargin + ch);
    CombineRgn(outer, outer, cell, RGN_DIFF);
    DeleteObject(cell);
    SetWindowPos(hwnd, HWND_TOPMOST, at.X, at.Y, w, h, SWP_NOACTIVATE | SWP_NOREDRAW);
    if (!SetWindowRgn(hwnd, outer, false))
        DeleteObject(outer);
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    // The picture goes in last: it is the window's whole content, so no
    // paint of the window's own may come after it.
    VuzEraz::DynUpdateLayeredWindow(hwnd, &at, &size, &image, image.Opacity);
}

void TGridFocusWindow::HideGlow()
{
    if (HandleAllocated())
        ShowWindow(GetHandle(), SW_HIDE);
}

// ---- alpha mask ----

TGridAlphaMask::TGridAlphaMask()
{
    SetPixelFormat(pf32bit);
}

void TGridAlphaMask::Assign(TPersistent* Source)
{
    if (auto* other = dynamic_cast<TGridAlphaMask*>(Source)) {
        Opacity = other->Opacity;
        SetPixelFormat(pf32bit);
        // The caller sizes this mask first; only the common part is copied.
        const int rows = std::min(GetHeight(), other->GetHeight());
        const int bytes = std::min(GetWidth(), other->GetWidth()) * 4;
        for (int y = 0; y < rows; ++y)
            std::memcpy(ScanLine(y), other->ScanLine(y), size_t(bytes));
        Changed();
        return;
    }
    TBitmap::Assign(Source);
    SetPixelFormat(pf32bit);
}

void TGridAlphaMask::MergeMask(TBitmap* Mask, TBitmap* Bitmap, TColor)
{
    if (!Mask || !Bitmap || Bitmap->GetPixelFormat() != pf24bit || Mask->GetPixelFormat() != pf24bit)
        return;
    const int w = Bitmap->GetWidth(), h = Bitmap->GetHeight();
    if (Mask->GetWidth() != w || Mask->GetHeight() != h)
        return;
    SetPixelFormat(pf32bit);
    SetAlphaFormat(afIgnored);
    SetSize(w, h);
    for (int y = 0; y < h; ++y) {
        const Byte* m = static_cast<const Byte*>(Mask->ScanLine(y));
        const Byte* b = static_cast<const Byte*>(Bitmap->ScanLine(y));
        Byte* d = static_cast<Byte*>(ScanLine(y));
        for (int x = 0; x < w; ++x) {
            const int alpha = m[x * 3 + 2];
            for (int k = 0; k < 3; ++k)
                d[x * 4 + k] = Byte(RoundHalfEven(alpha / 255.0 * b[x * 3 + k]));
            d[x * 4 + 3] = Byte(alpha);
        }
    }
    Changed();
}

// ---- move arrows ----

TArrowWindow::TArrowWindow(TComponent* AOwner) : TPanel(AOwner)
{
    SetVisible(false);
    SetColor(TColor(0x00FF00));
    SetBevelOuter(bvNone);
    SetCaption(u"");
}

void TArrowWindow::Init(TWinControl* AOwner, TArrowDirection Direction)
{
    FDir = Direction;
    SetVisible(false);
    SetParent(AOwner);
    SetBounds(0, 0, 10, 10);
}

void TArrowWindow::ArrowPoints(TArrowDirection Direction, POINT (&Points)[7])
{
    static constexpr POINT shapes[4][7] = {
        { { 5, 0 }, { 10, 5 }, { 7, 5 }, { 7, 9 }, { 3, 9 }, { 3, 5 }, { 0, 5 } },
        { { 3, 0 }, { 7, 0 }, { 7, 4 }, { 9, 4 }, { 5, 8 }, { 1, 4 }, { 3, 4 } },
        // The left arrow stands left of its target and points right at it.
        { { 0, 3 }, { 0, 7 }, { 4, 7 }, { 4, 10 }, { 8, 5 }, { 4, 0 }, { 4, 3 } },
        { { 0, 5 }, { 4, 10 }, { 4, 7 }, { 8, 7 }, { 8, 3 }, { 4, 3 }, { 4, 0 } },
    };
    std::copy(std::begin(shapes[Direction]), std::end(shapes[Direction]), Points);
}

void TArrowWindow::CreateParams(TCreateParams& Params)
{
    TPanel::CreateParams(Params);
    Params.Style = WS_POPUP;
    Params.ExStyle = 0;
}

void TArrowWindow::CreateWnd()
{
    TPanel::CreateWnd();
    POINT points[7];
    ArrowPoints(FDir, points);
    HRGN rgn = CreatePolygonRgn(points, 7, WINDING);
    if (!SetWindowRgn(GetHandle(), rgn, true))
        DeleteObject(rgn);
}

void TArrowWindow::Paint()
{
    TCanvas* c = GetCanvas();
    c->GetPen()->SetColor(GetColor());
    c->GetBrush()->SetColor(GetColor());
    c->Rectangle(GetClientRect());
}

// ---- glow picture ----

namespace VuzUdo {

void MakeGlowMask(TBitmap* Bitmap, int Width, int Height, int Radius, int Roundness, int PenWidth)
{
    Bitmap->SetPixelFormat(pf24bit);
    Bitmap->SetSize(Width, Height);
    TCanvas* c = Bitmap->GetCanvas();
    c->GetBrush()->SetStyle(bsSolid);
    c->GetBrush()->SetColor(clBlack);
    c->FillRect(TRect(0, 0, Width, Height));
    if (PenWidth >= 1) {
        c->GetPen()->SetStyle(psSolid);
        c->GetPen()->SetWidth(PenWidth);
        c->GetPen()->SetColor(clWhite);
        c->GetBrush()->SetColor(clBlack);
    } else {
        c->GetPen()->SetStyle(psSolid);
        c->GetPen()->SetWidth(1);
        c->GetPen()->SetColor(clWhite);
        c->GetBrush()->SetColor(clWhite);
    }
    const int inset = std::max(PenWidth, 0) / 2 + 2;
    c->RoundRect(inset, inset, Width - inset, Height - inset, Roundness, Roundness);
    c->GetPen()->SetWidth(1);
    if (Radius > 0)
        GaussianBlur(Bitmap, Radius);
}

TGaussianKernel MakeGaussianKernel(int Radius)
{
    TGaussianKernel k;
    if (Radius <= 0)
        return k;
    float sum = 0;
    for (int j = -10; j <= 10; ++j) {
        const float t = float(j) / float(Radius);
        k.Weights[j + 10] = std::exp(-t * t / 2.0f);
        sum += k.Weights[j + 10];
    }
    for (float& w : k.Weights)
        w /= sum;
    // The reach: the tail beyond it weighs less than half a grey level.
    int j = 10;
    float tail = 0;
    while (tail < 1.0f / 510.0f && j > 1) {
        tail += 2 * k.Weights[j + 10];
        --j;
    }
    k.Size = j;
    float inner = 0;
    for (int i = -k.Size; i <= k.Size; ++i)
        inner += k.Weights[i + 10];
    for (int i = -k.Size; i <= k.Size; ++i)
        k.Weights[i + 10] /= inner;
    return k;
}

namespace {

Byte ChannelByte(float v)
{
    // The weights sum to a hair under or over one in single precision; a
    // uniform line must come back unchanged.
    v += 1.0f / 1024.0f;
    if (v < 0)
        return 0;
    if (v >= 255)
        return 255;
    return Byte(int(v));
}

// Blurs `n` pixels of 3 bytes each, `step` bytes apart.
void BlurLine(Byte* line, int n, int step, const TGaussianKernel& k, std::vector<Byte>& buffer)
{
    buffer.resize(size_t(n) * 3);
    for (int x = 0; x < n; ++x) {
        float sums[3] = { 0, 0, 0 };
        for (int d = -k.Size; d <= k.Size; ++d) {
            const int at = std::clamp(x - d, 0, n - 1);
            const Byte* p = line + ptrdiff_t(at) * step;
            const float w = k.Weights[d + 10];
            sums[0] += w * p[0];
            sums[1] += w * p[1];
            sums[2] += w * p[2];
        }
        for (int c = 0; c < 3; ++c)
            buffer[size_t(x) * 3 + c] = ChannelByte(sums[c]);
    }
    for (int x = 0; x < n; ++x)
        std::memcpy(line + ptrdiff_t(x) * step, &buffer[size_t(x) * 3], 3);
}

} // namespace

void GaussianBlur(TBitmap* Bitmap, int Radius)
{
    if (!Bitmap || Bitmap->GetPixelFormat() != pf24bit)
        throw Exception(u"Blur only works for 24-bit bitmaps");
    // A radius of 0 or less would divide by zero: nothing to blur.
    if (Radius <= 0)
        return;
    const int w = Bitmap->GetWidth(), h = Bitmap->GetHeight();
    if (w <= 0 || h <= 0)
        return;
    const TGaussianKernel k = MakeGaussianKernel(Radius);
    std::vector<Byte> buffer;
    Byte* top = static_cast<Byte*>(Bitmap->ScanLine(0));
    const int stride = RowStride(Bitmap);
    auto row = [&](int y) { return top + ptrdiff_t(y) * stride; };
    for (int y = 0; y < h; ++y) {
        if (y > 20 && y < h - 20)
            std::memcpy(row(y), row(15), size_t(w) * 3);
        else
            BlurLine(row(y), w, 3, k, buffer);
    }
    for (int x = 0; x < w; ++x) {
        if (x > 20 && x < w - 20) {
            for (int y = 0; y < h; ++y)
                std::memcpy(row(y) + x * 3, row(y) + 15 * 3, 3);
        } else {
            BlurLine(top + x * 3, h, stride, k, buffer);
        }
    }
    Bitmap->GetCanvas()->Refresh();
}

} // namespace VuzUdo

namespace VuzEraz {

bool DynUpdateLayeredWindow(HWND Window, const POINT* Position, const SIZE* Size, TBitmap* Image, BYTE Alpha)
{
    if (!Image || Image->GetPixelFormat() != pf32bit || Image->GetEmpty())
        return false;
    TPixelBuffer pixels { static_cast<std::uint8_t*>(Image->ScanLine(0)), Image->GetWidth(), Image->GetHeight(),
        RowStride(Image) };
    return UpdateLayeredWindowPixels(Window, Position, Size, pixels, Alpha);
}

bool DynSetLayeredWindowAttributes(HWND Window, COLORREF Key, BYTE Alpha, DWORD Flags)
{
    return SetLayeredWindowAttributes(Window, Key, Alpha, Flags);
}

} // namespace VuzEraz
