#include "platform/vcl/ControlPaint.h"

#include "platform/gdi/DrawText.h"

void FillSolid(HDC dc, const TRect& r, TColor rgb)
{
    HBRUSH b = CreateSolidBrush(COLORREF(rgb));
    FillRect(dc, &r, b);
    DeleteObject(b);
}

void FrameSolid(HDC dc, const TRect& r, TColor rgb)
{
    HBRUSH b = CreateSolidBrush(COLORREF(rgb));
    FrameRect(dc, &r, b);
    DeleteObject(b);
}

void FillDither(HDC dc, const TRect& r, TColor rgb1, TColor rgb2)
{
    auto bgra = [](TColor c) {
        return std::uint32_t(0xFF000000u | (GetRValue(COLORREF(c)) << 16) | (GetGValue(COLORREF(c)) << 8)
            | GetBValue(COLORREF(c)));
    };
    const std::uint32_t bits[4] = { bgra(rgb1), bgra(rgb2), bgra(rgb2), bgra(rgb1) };
    HBITMAP pattern = CreateBitmap(2, 2, 1, 32, bits);
    HBRUSH b = CreatePatternBrush(pattern);
    // The pattern follows the rectangle, so the checker does not shift with it.
    POINT old {};
    SetBrushOrgEx(dc, r.Left, r.Top, &old);
    FillRect(dc, &r, b);
    SetBrushOrgEx(dc, old.X, old.Y, nullptr);
    DeleteObject(b);
    DeleteObject(pattern);
}

int DrawTextIn(HDC dc, TFont* font, const String& text, TRect& r, UINT flags, TColor rgb)
{
    TFontSelection selection(dc, font);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, COLORREF(rgb));
    String copy = text;
    const int h = DrawText(dc, copy, &r, flags);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    return h;
}

void Frame3D(HDC dc, TRect& r, TColor topLeft, TColor bottomRight, int width)
{
    for (int i = 0; i < width && !r.IsEmpty(); ++i) {
        FillSolid(dc, { r.Left, r.Top, r.Right, r.Top + 1 }, topLeft);
        FillSolid(dc, { r.Left, r.Top, r.Left + 1, r.Bottom }, topLeft);
        FillSolid(dc, { r.Right - 1, r.Top, r.Right, r.Bottom }, bottomRight);
        FillSolid(dc, { r.Left, r.Bottom - 1, r.Right, r.Bottom }, bottomRight);
        r.Inflate(-1, -1);
    }
}
