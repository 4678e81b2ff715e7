#pragma once
// A memory device context over a white bitmap, with pixel probes.

#include <set>
#include <utility>

#include "platform/gdi/Gdi.h"

class TMemDC {
public:
    TMemDC(int w, int h, COLORREF background = RGB(255, 255, 255)) : W(w), H(h)
    {
        DC = CreateCompatibleDC(nullptr);
        Bitmap = CreateCompatibleBitmap(DC, w, h);
        Old = SelectObject(DC, Bitmap);
        HBRUSH b = CreateSolidBrush(background);
        const RECT r { 0, 0, w, h };
        FillRect(DC, &r, b);
        DeleteObject(b);
    }
    ~TMemDC()
    {
        SelectObject(DC, Old);
        DeleteDC(DC);
        DeleteObject(Bitmap);
    }
    TMemDC(const TMemDC&) = delete;
    TMemDC& operator=(const TMemDC&) = delete;

    COLORREF At(int x, int y) const { return GetPixel(DC, x, y); }
    // Points whose colour differs from `background`.
    std::set<std::pair<int, int>> Ink(COLORREF background = RGB(255, 255, 255)) const
    {
        std::set<std::pair<int, int>> s;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (At(x, y) != background)
                    s.insert({ x, y });
        return s;
    }
    // Bounding box of the ink; empty when there is none.
    RECT InkBox(COLORREF background = RGB(255, 255, 255)) const
    {
        RECT r { W, H, 0, 0 };
        bool any = false;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (At(x, y) != background) {
                    any = true;
                    r.Left = std::min(r.Left, x);
                    r.Top = std::min(r.Top, y);
                    r.Right = std::max(r.Right, x + 1);
                    r.Bottom = std::max(r.Bottom, y + 1);
                }
        return any ? r : RECT {};
    }

    HDC DC { nullptr };
    HBITMAP Bitmap { nullptr };
    HGDIOBJ Old { nullptr };
    int W;
    int H;
};
