#pragma once
// Small painting helpers the simple controls share: solid fills and frames
// in RGB colours, text in a font and colour, a dithered fill, and device
// contexts for measuring text outside painting.

#include "platform/vcl/Graphics.h"

// Selects a font's handle into a context for one scope.
class TFontSelection {
public:
    TFontSelection(HDC dc, TFont* font) : m_dc(dc), m_old(SelectObject(dc, font->GetHandle())) { }
    ~TFontSelection() { SelectObject(m_dc, m_old); }
    TFontSelection(const TFontSelection&) = delete;
    TFontSelection& operator=(const TFontSelection&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// A memory context for measuring text when no window is there to paint on.
class TMeasureDC {
public:
    TMeasureDC() : m_dc(CreateCompatibleDC(nullptr)) { }
    ~TMeasureDC() { DeleteDC(m_dc); }
    TMeasureDC(const TMeasureDC&) = delete;
    TMeasureDC& operator=(const TMeasureDC&) = delete;
    operator HDC() const { return m_dc; }

private:
    HDC m_dc;
};

void FillSolid(HDC dc, const TRect& r, TColor rgb);
void FrameSolid(HDC dc, const TRect& r, TColor rgb);
// Every other pixel in each colour, as classic scroll bar tracks look.
void FillDither(HDC dc, const TRect& r, TColor rgb1, TColor rgb2);
// DrawText in `font` and colour `rgb` on a transparent background; with
// DT_CALCRECT `r` becomes the size the text needs.
int DrawTextIn(HDC dc, TFont* font, const String& text, TRect& r, UINT flags, TColor rgb);
// The 3D frame of bevels and panels: `topLeft` on the top and left edges,
// `bottomRight` on the others, `width` pixels deep; `r` shrinks by it.
void Frame3D(HDC dc, TRect& r, TColor topLeft, TColor bottomRight, int width);
