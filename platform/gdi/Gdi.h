#pragma once
// The drawing calls every control paints with: device contexts, pens,
// brushes, fonts, regions, bitmaps, text and blits, drawn over cairo and pango
// with the window system's pixel rules (right and bottom edges excluded, lines
// exclude their end point, no anti-aliasing except for text).

#include <cstdint>

#include "platform/rtl/Region.h"
#include "platform/rtl/String.h"
#include "platform/rtl/Types.h"

using LPCWSTR = const char16_t*;
using LPWSTR = char16_t*;

// Stock objects.
enum : int {
    WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3, BLACK_BRUSH = 4, NULL_BRUSH = 5,
    HOLLOW_BRUSH = NULL_BRUSH, WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8, OEM_FIXED_FONT = 10,
    ANSI_FIXED_FONT = 11, ANSI_VAR_FONT = 12, SYSTEM_FONT = 13, DEVICE_DEFAULT_FONT = 14,
    DEFAULT_PALETTE = 15, SYSTEM_FIXED_FONT = 16, DEFAULT_GUI_FONT = 17, DC_BRUSH = 18, DC_PEN = 19
};

// Object types (GetObjectType).
enum : DWORD { OBJ_PEN = 1, OBJ_BRUSH = 2, OBJ_DC = 3, OBJ_PAL = 5, OBJ_FONT = 6, OBJ_BITMAP = 7, OBJ_REGION = 8,
    OBJ_MEMDC = 10, OBJ_EXTPEN = 11 };

// Pens.
enum : DWORD {
    PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5, PS_INSIDEFRAME = 6,
    PS_USERSTYLE = 7, PS_ALTERNATE = 8, PS_STYLE_MASK = 0x0F,
    PS_ENDCAP_ROUND = 0x000, PS_ENDCAP_SQUARE = 0x100, PS_ENDCAP_FLAT = 0x200, PS_ENDCAP_MASK = 0xF00,
    PS_JOIN_ROUND = 0x0000, PS_JOIN_BEVEL = 0x1000, PS_JOIN_MITER = 0x2000, PS_JOIN_MASK = 0xF000,
    PS_COSMETIC = 0x00000, PS_GEOMETRIC = 0x10000, PS_TYPE_MASK = 0xF0000
};

// Brushes.
enum : UINT { BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = 1, BS_HATCHED = 2, BS_PATTERN = 3, BS_DIBPATTERN = 5 };
enum : int { HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3, HS_CROSS = 4, HS_DIAGCROSS = 5 };

// Background modes, raster operations, fill and stretch modes.
enum : int { TRANSPARENT = 1, OPAQUE = 2 };
enum : int {
    R2_BLACK = 1, R2_NOTMERGEPEN = 2, R2_MASKNOTPEN = 3, R2_NOTCOPYPEN = 4, R2_MASKPENNOT = 5, R2_NOT = 6,
    R2_XORPEN = 7, R2_NOTMASKPEN = 8, R2_MASKPEN = 9, R2_NOTXORPEN = 10, R2_NOP = 11, R2_MERGENOTPEN = 12,
    R2_COPYPEN = 13, R2_MERGEPENNOT = 14, R2_MERGEPEN = 15, R2_WHITE = 16
};
enum : DWORD {
    SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6, SRCINVERT = 0x00660046,
    SRCERASE = 0x00440328, NOTSRCCOPY = 0x00330008, NOTSRCERASE = 0x001100A6, MERGECOPY = 0x00C000CA,
    MERGEPAINT = 0x00BB0226, PATCOPY = 0x00F00021, PATPAINT = 0x00FB0A09, PATINVERT = 0x005A0049,
    DSTINVERT = 0x00550009, BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062
};
enum : int { ALTERNATE = 1, WINDING = 2 };
enum : int { BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4 };

// Text alignment.
enum : UINT {
    TA_NOUPDATECP = 0, TA_UPDATECP = 1, TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6, TA_TOP = 0, TA_BOTTOM = 8,
    TA_BASELINE = 24, TA_RTLREADING = 256
};
enum : UINT { ETO_OPAQUE = 0x2, ETO_CLIPPED = 0x4 };

// Map modes.
enum : int { MM_TEXT = 1, MM_LOMETRIC = 2, MM_HIMETRIC = 3, MM_LOENGLISH = 4, MM_HIENGLISH = 5, MM_TWIPS = 6,
    MM_ISOTROPIC = 7, MM_ANISOTROPIC = 8 };

// Device capabilities.
enum : int {
    TECHNOLOGY = 2, HORZSIZE = 4, VERTSIZE = 6, HORZRES = 8, VERTRES = 10, BITSPIXEL = 12, PLANES = 14,
    NUMCOLORS = 24, LOGPIXELSX = 88, LOGPIXELSY = 90, PHYSICALWIDTH = 110, PHYSICALHEIGHT = 111,
    PHYSICALOFFSETX = 112, PHYSICALOFFSETY = 113
};
enum : int { DT_PLOTTER = 0, DT_RASDISPLAY = 1, DT_RASPRINTER = 2 };

// Regions.
enum : int { ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3 };
enum : int { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };

// Fonts.
enum : LONG { FW_DONTCARE = 0, FW_THIN = 100, FW_LIGHT = 300, FW_NORMAL = 400, FW_MEDIUM = 500,
    FW_SEMIBOLD = 600, FW_BOLD = 700, FW_HEAVY = 900 };
enum : BYTE { DEFAULT_CHARSET = 1, ANSI_CHARSET = 0, SYMBOL_CHARSET = 2, OUT_DEFAULT_PRECIS = 0,
    CLIP_DEFAULT_PRECIS = 0, DEFAULT_QUALITY = 0, NONANTIALIASED_QUALITY = 3, ANTIALIASED_QUALITY = 4,
    CLEARTYPE_QUALITY = 5, DEFAULT_PITCH = 0, FIXED_PITCH = 1, VARIABLE_PITCH = 2, FF_DONTCARE = 0,
    FF_ROMAN = 0x10, FF_SWISS = 0x20, FF_MODERN = 0x30 };
constexpr int LF_FACESIZE = 32;

// Bitmaps.
enum : DWORD { BI_RGB = 0, BI_BITFIELDS = 3 };
enum : UINT { DIB_RGB_COLORS = 0 };

// Blending and gradients.
enum : BYTE { AC_SRC_OVER = 0, AC_SRC_ALPHA = 1 };
enum : ULONG { GRADIENT_FILL_RECT_H = 0, GRADIENT_FILL_RECT_V = 1 };
enum : UINT { DI_MASK = 1, DI_IMAGE = 2, DI_NORMAL = 3 };
enum : UINT { FLOODFILLBORDER = 0, FLOODFILLSURFACE = 1 };
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

struct LOGPEN {
    UINT lopnStyle { PS_SOLID };
    POINT lopnWidth;
    COLORREF lopnColor { 0 };
};

struct LOGBRUSH {
    UINT lbStyle { BS_SOLID };
    COLORREF lbColor { 0 };
    std::uintptr_t lbHatch { 0 };
};

struct EXTLOGPEN {
    DWORD elpPenStyle { 0 };
    DWORD elpWidth { 0 };
    UINT elpBrushStyle { 0 };
    COLORREF elpColor { 0 };
    std::uintptr_t elpHatch { 0 };
    DWORD elpNumEntries { 0 };
};

struct LOGFONTW {
    LONG lfHeight { 0 };
    LONG lfWidth { 0 };
    LONG lfEscapement { 0 };
    LONG lfOrientation { 0 };
    LONG lfWeight { FW_NORMAL };
    BYTE lfItalic { 0 };
    BYTE lfUnderline { 0 };
    BYTE lfStrikeOut { 0 };
    BYTE lfCharSet { DEFAULT_CHARSET };
    BYTE lfOutPrecision { 0 };
    BYTE lfClipPrecision { 0 };
    BYTE lfQuality { 0 };
    BYTE lfPitchAndFamily { 0 };
    char16_t lfFaceName[LF_FACESIZE] {};
};
using LOGFONT = LOGFONTW;

struct LOGFONTA {
    LONG lfHeight { 0 };
    LONG lfWidth { 0 };
    LONG lfEscapement { 0 };
    LONG lfOrientation { 0 };
    LONG lfWeight { FW_NORMAL };
    BYTE lfItalic { 0 };
    BYTE lfUnderline { 0 };
    BYTE lfStrikeOut { 0 };
    BYTE lfCharSet { DEFAULT_CHARSET };
    BYTE lfOutPrecision { 0 };
    BYTE lfClipPrecision { 0 };
    BYTE lfQuality { 0 };
    BYTE lfPitchAndFamily { 0 };
    char lfFaceName[LF_FACESIZE] {};
};

struct TEXTMETRICW {
    LONG tmHeight { 0 };
    LONG tmAscent { 0 };
    LONG tmDescent { 0 };
    LONG tmInternalLeading { 0 };
    LONG tmExternalLeading { 0 };
    LONG tmAveCharWidth { 0 };
    LONG tmMaxCharWidth { 0 };
    LONG tmWeight { 0 };
    LONG tmOverhang { 0 };
    LONG tmDigitizedAspectX { 96 };
    LONG tmDigitizedAspectY { 96 };
    char16_t tmFirstChar { 0x20 };
    char16_t tmLastChar { 0xFFFC };
    char16_t tmDefaultChar { 0x1F };
    char16_t tmBreakChar { 0x20 };
    BYTE tmItalic { 0 };
    BYTE tmUnderlined { 0 };
    BYTE tmCrossedOut { 0 };
    BYTE tmPitchAndFamily { 0 };
    BYTE tmCharSet { DEFAULT_CHARSET };
};
using TEXTMETRIC = TEXTMETRICW;

struct BITMAP {
    LONG bmType { 0 };
    LONG bmWidth { 0 };
    LONG bmHeight { 0 };
    LONG bmWidthBytes { 0 };
    WORD bmPlanes { 1 };
    WORD bmBitsPixel { 0 };
    void* bmBits { nullptr };
};

struct BITMAPINFOHEADER {
    DWORD biSize { 40 };
    LONG biWidth { 0 };
    LONG biHeight { 0 };
    WORD biPlanes { 1 };
    WORD biBitCount { 0 };
    DWORD biCompression { BI_RGB };
    DWORD biSizeImage { 0 };
    LONG biXPelsPerMeter { 0 };
    LONG biYPelsPerMeter { 0 };
    DWORD biClrUsed { 0 };
    DWORD biClrImportant { 0 };
};

struct RGBQUAD {
    BYTE rgbBlue { 0 };
    BYTE rgbGreen { 0 };
    BYTE rgbRed { 0 };
    BYTE rgbReserved { 0 };
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

struct DIBSECTION {
    BITMAP dsBm;
    BITMAPINFOHEADER dsBmih;
    DWORD dsBitfields[3] {};
    HANDLE dshSection { nullptr };
    DWORD dsOffset { 0 };
};

struct TRIVERTEX {
    LONG x { 0 };
    LONG y { 0 };
    USHORT Red { 0 };
    USHORT Green { 0 };
    USHORT Blue { 0 };
    USHORT Alpha { 0 };
};

struct GRADIENT_RECT {
    ULONG UpperLeft { 0 };
    ULONG LowerRight { 0 };
};

struct BLENDFUNCTION {
    BYTE BlendOp { AC_SRC_OVER };
    BYTE BlendFlags { 0 };
    BYTE SourceConstantAlpha { 255 };
    BYTE AlphaFormat { 0 };
};

struct ICONINFO {
    BOOL fIcon { TRUE };
    DWORD xHotspot { 0 };
    DWORD yHotspot { 0 };
    HBITMAP hbmMask { nullptr };
    HBITMAP hbmColor { nullptr };
};

// Device contexts.
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
int SaveDC(HDC dc);
BOOL RestoreDC(HDC dc, int saved);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj);
HGDIOBJ GetCurrentObject(HDC dc, UINT type);
BOOL DeleteObject(HGDIOBJ obj);
int GetObject(HGDIOBJ obj, int size, void* out);
int GetObjectW(HGDIOBJ obj, int size, void* out);
DWORD GetObjectType(HGDIOBJ obj);
HGDIOBJ GetStockObject(int which);
int GetDeviceCaps(HDC dc, int index);
BOOL GdiFlush();
// The device context wrapping a window's pixels; installed as the window
// system's factory on first use of the drawing layer.
void InstallDeviceContextFactory();
HDC CreateDCForTarget(const struct TPaintTarget& target);

// Objects.
HPEN CreatePen(int style, int width, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN* lp);
HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD styleCount, const DWORD* styles);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateHatchBrush(int hatch, COLORREF color);
HBRUSH CreatePatternBrush(HBITMAP bitmap);
HBRUSH CreateBrushIndirect(const LOGBRUSH* lb);
HFONT CreateFontIndirect(const LOGFONTW* lf);
HFONT CreateFontIndirectW(const LOGFONTW* lf);
HFONT CreateFontIndirectA(const LOGFONTA* lf);
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
    DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
    DWORD pitchAndFamily, LPCWSTR face);
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset);
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage);
int SetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage);
int StretchDIBits(HDC dc, int xDest, int yDest, int wDest, int hDest, int xSrc, int ySrc, int wSrc, int hSrc,
    const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);
COLORREF GetPixel(HDC dc, int x, int y);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
HICON CreateIconIndirect(const ICONINFO* info);
BOOL GetIconInfo(HICON icon, ICONINFO* info);
BOOL DestroyIcon(HICON icon);

// Regions.
HRGN CreateRectRgn(int l, int t, int r, int b);
HRGN CreateRectRgnIndirect(const RECT* r);
HRGN CreateRoundRectRgn(int l, int t, int r, int b, int w, int h);
HRGN CreateEllipticRgn(int l, int t, int r, int b);
HRGN CreateEllipticRgnIndirect(const RECT* r);
HRGN CreatePolygonRgn(const POINT* points, int count, int mode);
HRGN CreatePolyPolygonRgn(const POINT* points, const int* counts, int polygons, int mode);
int CombineRgn(HRGN dest, HRGN a, HRGN b, int mode);
int OffsetRgn(HRGN rgn, int dx, int dy);
BOOL PtInRegion(HRGN rgn, int x, int y);
BOOL RectInRegion(HRGN rgn, const RECT* r);
int GetRgnBox(HRGN rgn, RECT* r);
BOOL EqualRgn(HRGN a, HRGN b);
BOOL SetRectRgn(HRGN rgn, int l, int t, int r, int b);
BOOL FillRgn(HDC dc, HRGN rgn, HBRUSH brush);
BOOL FrameRgn(HDC dc, HRGN rgn, HBRUSH brush, int w, int h);
BOOL InvertRgn(HDC dc, HRGN rgn);
BOOL PaintRgn(HDC dc, HRGN rgn);
// The geometry behind a region handle (an empty region for a bad handle),
// and a new handle holding a copy of a geometry.
TRegion GetRegionData(HRGN rgn);
HRGN CreateRgnFromRegion(const TRegion& region);

// State.
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
int SetROP2(HDC dc, int rop);
int GetROP2(HDC dc);
int SetPolyFillMode(HDC dc, int mode);
int GetPolyFillMode(HDC dc);
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);
UINT SetTextAlign(HDC dc, UINT align);
UINT GetTextAlign(HDC dc);
COLORREF SetDCBrushColor(HDC dc, COLORREF color);
COLORREF SetDCPenColor(HDC dc, COLORREF color);
BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* old);
int SetMapMode(HDC dc, int mode);
int GetMapMode(HDC dc);
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* old);
BOOL GetWindowOrgEx(HDC dc, POINT* p);
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* old);
BOOL GetViewportOrgEx(HDC dc, POINT* p);
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* old);
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, POINT* old);
BOOL SetWindowExtEx(HDC dc, int x, int y, SIZE* old);
BOOL GetWindowExtEx(HDC dc, SIZE* s);
BOOL SetViewportExtEx(HDC dc, int x, int y, SIZE* old);
BOOL GetViewportExtEx(HDC dc, SIZE* s);
BOOL LPtoDP(HDC dc, POINT* points, int count);
BOOL DPtoLP(HDC dc, POINT* points, int count);
BOOL MoveToEx(HDC dc, int x, int y, POINT* old);
BOOL GetCurrentPositionEx(HDC dc, POINT* p);

// Clipping (clip regions are kept in device coordinates).
int SelectClipRgn(HDC dc, HRGN rgn);
int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode);
int IntersectClipRect(HDC dc, int l, int t, int r, int b);
int ExcludeClipRect(HDC dc, int l, int t, int r, int b);
int OffsetClipRgn(HDC dc, int dx, int dy);
int GetClipBox(HDC dc, RECT* r);
int GetClipRgn(HDC dc, HRGN rgn);
BOOL PtVisible(HDC dc, int x, int y);
BOOL RectVisible(HDC dc, const RECT* r);

// Drawing.
BOOL LineTo(HDC dc, int x, int y);
BOOL Rectangle(HDC dc, int l, int t, int r, int b);
int FillRect(HDC dc, const RECT* r, HBRUSH brush);
int FrameRect(HDC dc, const RECT* r, HBRUSH brush);
BOOL InvertRect(HDC dc, const RECT* r);
BOOL RoundRect(HDC dc, int l, int t, int r, int b, int w, int h);
BOOL Ellipse(HDC dc, int l, int t, int r, int b);
BOOL Polygon(HDC dc, const POINT* points, int count);
BOOL Polyline(HDC dc, const POINT* points, int count);
BOOL PolylineTo(HDC dc, const POINT* points, DWORD count);
BOOL PolyPolygon(HDC dc, const POINT* points, const int* counts, int polygons);
BOOL PolyBezier(HDC dc, const POINT* points, DWORD count);
BOOL PolyBezierTo(HDC dc, const POINT* points, DWORD count);
BOOL Arc(HDC dc, int l, int t, int r, int b, int xs, int ys, int xe, int ye);
BOOL ArcTo(HDC dc, int l, int t, int r, int b, int xs, int ys, int xe, int ye);
BOOL Pie(HDC dc, int l, int t, int r, int b, int xs, int ys, int xe, int ye);
BOOL Chord(HDC dc, int l, int t, int r, int b, int xs, int ys, int xe, int ye);
BOOL FloodFill(HDC dc, int x, int y, COLORREF color);
BOOL ExtFloodFill(HDC dc, int x, int y, COLORREF color, UINT type);
BOOL BeginPath(HDC dc);
BOOL EndPath(HDC dc);
BOOL AbortPath(HDC dc);
BOOL CloseFigure(HDC dc);
BOOL StrokePath(HDC dc);
BOOL FillPath(HDC dc);
BOOL StrokeAndFillPath(HDC dc);
HRGN PathToRegion(HDC dc);
BOOL SelectClipPath(HDC dc, int mode);
BOOL GradientFill(HDC dc, const TRIVERTEX* vertices, ULONG nVertices, const void* mesh, ULONG nMesh, ULONG mode);
BOOL PatBlt(HDC dc, int x, int y, int w, int h, DWORD rop);
BOOL BitBlt(HDC dc, int x, int y, int w, int h, HDC src, int xSrc, int ySrc, DWORD rop);
BOOL StretchBlt(HDC dc, int x, int y, int w, int h, HDC src, int xSrc, int ySrc, int wSrc, int hSrc, DWORD rop);
BOOL TransparentBlt(HDC dc, int x, int y, int w, int h, HDC src, int xSrc, int ySrc, int wSrc, int hSrc,
    UINT transparent);
BOOL AlphaBlend(HDC dc, int x, int y, int w, int h, HDC src, int xSrc, int ySrc, int wSrc, int hSrc,
    BLENDFUNCTION blend);
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int w, int h, UINT step, HBRUSH flicker, UINT flags);
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);

// Text.
BOOL TextOut(HDC dc, int x, int y, LPCWSTR text, int count);
BOOL TextOutW(HDC dc, int x, int y, LPCWSTR text, int count);
BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* r, LPCWSTR text, UINT count, const int* dx);
BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* r, LPCWSTR text, UINT count, const int* dx);
BOOL GetTextExtentPoint32(HDC dc, LPCWSTR text, int count, SIZE* size);
BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, SIZE* size);
BOOL GetTextExtentExPoint(HDC dc, LPCWSTR text, int count, int maxExtent, int* fit, int* dx, SIZE* size);
BOOL GetTextMetrics(HDC dc, TEXTMETRICW* tm);
BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* tm);
BOOL GetCharWidth32(HDC dc, UINT first, UINT last, int* widths);
int GetTextFace(HDC dc, int count, LPWSTR face);

// Fonts: the project's font map; `FontFamilyExists` answers whether a face
// name is installed or mapped to an installed family.
void InitFonts();
bool FontFamilyExists(const String& family);
// The installed family a face name resolves to through the font map; empty
// when neither installed nor mapped.
String ResolveFontFamily(const String& family);
