#pragma once
// Fixed-width names, the window system's handle and parameter types, and the
// point/size/rectangle value types with their helper routines.

#include <algorithm>
#include <cstdint>

using Integer = std::int32_t;
using Cardinal = std::uint32_t;
using ShortInt = std::int8_t;
using SmallInt = std::int16_t;
using Int64 = std::int64_t;
using UInt64 = std::uint64_t;
using Byte = std::uint8_t;
using Word = std::uint16_t;
using LongWord = std::uint32_t;
using NativeInt = std::intptr_t;
using NativeUInt = std::uintptr_t;
using Single = float;
using Double = double;
using Extended = double;

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using HRESULT = std::int32_t;
using ATOM = std::uint16_t;
using COLORREF = std::uint32_t;
// Colour of the control framework: red in the lowest byte, system colours
// 0xFF0000nn, special values clNone 0x1FFFFFFF and clDefault 0x20000000.
using TColor = std::int32_t;

// Result codes of component interfaces.
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = HRESULT(0x80004001u);
inline constexpr HRESULT E_NOINTERFACE = HRESULT(0x80004002u);
inline constexpr HRESULT E_POINTER = HRESULT(0x80004003u);
inline constexpr HRESULT E_ABORT = HRESULT(0x80004004u);
inline constexpr HRESULT E_FAIL = HRESULT(0x80004005u);
inline constexpr HRESULT E_UNEXPECTED = HRESULT(0x8000FFFFu);
inline constexpr HRESULT E_ACCESSDENIED = HRESULT(0x80070005u);
inline constexpr HRESULT E_OUTOFMEMORY = HRESULT(0x8007000Eu);
inline constexpr HRESULT E_INVALIDARG = HRESULT(0x80070057u);
inline constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
inline constexpr bool FAILED(HRESULT hr) { return hr < 0; }

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define QT_DECLARE_HANDLE(name) struct name##__; using name = name##__*
using HANDLE = void*;
using HGDIOBJ = void*;
QT_DECLARE_HANDLE(HWND);
QT_DECLARE_HANDLE(HDC);
QT_DECLARE_HANDLE(HPEN);
QT_DECLARE_HANDLE(HBRUSH);
QT_DECLARE_HANDLE(HFONT);
QT_DECLARE_HANDLE(HBITMAP);
QT_DECLARE_HANDLE(HRGN);
QT_DECLARE_HANDLE(HPALETTE);
QT_DECLARE_HANDLE(HICON);
QT_DECLARE_HANDLE(HMENU);
QT_DECLARE_HANDLE(HINSTANCE);
QT_DECLARE_HANDLE(HKEY);
QT_DECLARE_HANDLE(HMONITOR);
QT_DECLARE_HANDLE(HRSRC);
QT_DECLARE_HANDLE(HTHEME);
using HCURSOR = HICON;
using HMODULE = HINSTANCE;
using HGLOBAL = HANDLE;
using HLOCAL = HANDLE;
#undef QT_DECLARE_HANDLE

inline constexpr WORD LOWORD(std::uintptr_t v) { return WORD(v & 0xFFFF); }
inline constexpr WORD HIWORD(std::uintptr_t v) { return WORD((v >> 16) & 0xFFFF); }
inline constexpr BYTE LOBYTE(std::uintptr_t v) { return BYTE(v & 0xFF); }
inline constexpr BYTE HIBYTE(std::uintptr_t v) { return BYTE((v >> 8) & 0xFF); }
inline constexpr DWORD MAKELONG(WORD lo, WORD hi) { return DWORD(lo) | (DWORD(hi) << 16); }
inline constexpr WPARAM MAKEWPARAM(WORD lo, WORD hi) { return WPARAM(MAKELONG(lo, hi)); }
inline constexpr LPARAM MAKELPARAM(WORD lo, WORD hi) { return LPARAM(MAKELONG(lo, hi)); }
inline constexpr LRESULT MAKELRESULT(WORD lo, WORD hi) { return LRESULT(MAKELONG(lo, hi)); }
// Signed coordinates packed into a message parameter.
inline constexpr int GET_X_LPARAM(LPARAM lp) { return int(std::int16_t(LOWORD(std::uintptr_t(lp)))); }
inline constexpr int GET_Y_LPARAM(LPARAM lp) { return int(std::int16_t(HIWORD(std::uintptr_t(lp)))); }
inline constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) { return COLORREF(r) | (COLORREF(g) << 8) | (COLORREF(b) << 16); }
inline constexpr BYTE GetRValue(COLORREF c) { return BYTE(c & 0xFF); }
inline constexpr BYTE GetGValue(COLORREF c) { return BYTE((c >> 8) & 0xFF); }
inline constexpr BYTE GetBValue(COLORREF c) { return BYTE((c >> 16) & 0xFF); }

struct TPoint {
    int X { 0 };
    int Y { 0 };
    constexpr TPoint() = default;
    constexpr TPoint(int x, int y) : X(x), Y(y) { }
    friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
    constexpr TPoint operator+(const TPoint& o) const { return { X + o.X, Y + o.Y }; }
    constexpr TPoint operator-(const TPoint& o) const { return { X - o.X, Y - o.Y }; }
};

struct TSize {
    int cx { 0 };
    int cy { 0 };
    constexpr TSize() = default;
    constexpr TSize(int w, int h) : cx(w), cy(h) { }
    constexpr int Width() const { return cx; }
    constexpr int Height() const { return cy; }
    friend constexpr bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
    int Left { 0 };
    int Top { 0 };
    int Right { 0 };
    int Bottom { 0 };
    constexpr TRect() = default;
    constexpr TRect(int l, int t, int r, int b) : Left(l), Top(t), Right(r), Bottom(b) { }
    constexpr TRect(const TPoint& tl, const TPoint& br) : Left(tl.X), Top(tl.Y), Right(br.X), Bottom(br.Y) { }
    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr TPoint TopLeft() const { return { Left, Top }; }
    constexpr TPoint BottomRight() const { return { Right, Bottom }; }
    constexpr TPoint CenterPoint() const { return { (Left + Right) / 2, (Top + Bottom) / 2 }; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    // Right and bottom edges are outside, as everywhere in the window system.
    constexpr bool Contains(const TPoint& p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
    constexpr void Offset(int dx, int dy) { Left += dx; Right += dx; Top += dy; Bottom += dy; }
    constexpr void Inflate(int dx, int dy) { Left -= dx; Right += dx; Top -= dy; Bottom += dy; }
    constexpr void SetWidth(int w) { Right = Left + w; }
    constexpr void SetHeight(int h) { Bottom = Top + h; }
    friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

using POINT = TPoint;
using SIZE = TSize;
using RECT = TRect;

struct TPointF {
    float X { 0 };
    float Y { 0 };
    constexpr TPointF() = default;
    constexpr TPointF(float x, float y) : X(x), Y(y) { }
    friend constexpr bool operator==(const TPointF&, const TPointF&) = default;
};

struct TSizeF {
    float cx { 0 };
    float cy { 0 };
    constexpr TSizeF() = default;
    constexpr TSizeF(float w, float h) : cx(w), cy(h) { }
    friend constexpr bool operator==(const TSizeF&, const TSizeF&) = default;
};

struct TRectF {
    float Left { 0 };
    float Top { 0 };
    float Right { 0 };
    float Bottom { 0 };
    constexpr TRectF() = default;
    constexpr TRectF(float l, float t, float r, float b) : Left(l), Top(t), Right(r), Bottom(b) { }
    constexpr float Width() const { return Right - Left; }
    constexpr float Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    friend constexpr bool operator==(const TRectF&, const TRectF&) = default;
};

inline constexpr TPoint Point(int x, int y) { return { x, y }; }
inline constexpr TRect Rect(int l, int t, int r, int b) { return { l, t, r, b }; }
inline constexpr TRect Bounds(int l, int t, int w, int h) { return { l, t, l + w, t + h }; }
inline constexpr TPointF PointF(float x, float y) { return { x, y }; }
inline constexpr TRectF RectF(float l, float t, float r, float b) { return { l, t, r, b }; }

inline constexpr bool PtInRect(const TRect& r, const TPoint& p) { return r.Contains(p); }
inline constexpr bool IsRectEmpty(const TRect& r) { return r.IsEmpty(); }
inline constexpr bool EqualRect(const TRect& a, const TRect& b) { return a == b; }
inline constexpr TPoint CenterPoint(const TRect& r) { return r.CenterPoint(); }
inline constexpr bool OffsetRect(TRect& r, int dx, int dy) { r.Offset(dx, dy); return true; }
inline constexpr bool InflateRect(TRect& r, int dx, int dy) { r.Inflate(dx, dy); return true; }
inline constexpr bool SetRect(TRect& r, int l, int t, int rr, int b) { r = { l, t, rr, b }; return true; }
inline constexpr bool SetRectEmpty(TRect& r) { r = {}; return true; }
// Intersection; an empty result is all zeros and answers false.
inline constexpr bool IntersectRect(TRect& out, const TRect& a, const TRect& b)
{
    TRect r { std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom) };
    if (r.IsEmpty()) {
        out = {};
        return false;
    }
    out = r;
    return true;
}
// Union; empty inputs are ignored; answers whether the result is non-empty.
inline constexpr bool UnionRect(TRect& out, const TRect& a, const TRect& b)
{
    if (a.IsEmpty()) { out = b.IsEmpty() ? TRect {} : b; return !b.IsEmpty(); }
    if (b.IsEmpty()) { out = a; return true; }
    out = { std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom) };
    return true;
}
