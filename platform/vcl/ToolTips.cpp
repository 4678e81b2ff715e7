#include "platform/vcl/ToolTips.h"

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "platform/gdi/DrawText.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/SysColors.h"
#include "platform/gdi/WindowRegions.h"
#include "platform/vcl/ControlPaint.h"
#include "platform/win/Input.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"

QT_PUBLISHED(TBalloonHint, QT_PROP(Title), QT_PROP(Description), QT_PROP(Style), QT_PROP(HideAfter), QT_PROP(Delay))

namespace {

constexpr UINT_PTR ShowTimer = 1;
constexpr UINT_PTR PopTimer = 2;
constexpr UINT_PTR LeaveTimer = 3;
constexpr UINT LeaveCheckMs = 100;
constexpr int Margin = 4;
constexpr int IconSize = 16;
constexpr int StemHeight = 12;
constexpr int StemWidth = 14;
constexpr int Corner = 10;

struct TTool {
    UINT Flags { 0 };
    HWND Window { nullptr };
    UINT_PTR Id { 0 };
    TRect Rect;
    bool Callback { false };
    String Text;
    LPARAM Param { 0 };

    HWND MouseWindow() const { return (Flags & TTF_IDISHWND) ? reinterpret_cast<HWND>(Id) : Window; }
};

struct TTip {
    HWND Handle { nullptr };
    std::vector<TTool> Tools;
    bool Active { true };
    String Title;
    int Icon { 0 };
    int MaxWidth { -1 };
    COLORREF Back { GetSysColor(COLOR_INFOBK) };
    COLORREF Fore { GetSysColor(COLOR_INFOTEXT) };
    UINT Initial { 0 };
    UINT Reshow { 0 };
    UINT AutoPop { 0 };
    bool AutoPopSet { false };
    int Current { -1 };  // the tool under the pointer
    int Shown { -1 };    // the tool whose tip is up
    bool Tracking { false };
    TPoint TrackPos;
    String ShownText;
    TPoint Stem;         // window coordinates of the stem's tip (balloons)
    bool StemBelow { false };
    std::unique_ptr<TFont> Font;
    std::unique_ptr<TFont> TitleFont;

    bool Balloon() const { return GetWindowLong(Handle, GWL_STYLE) & TTS_BALLOON; }
    UINT InitialDelay() const { return Initial ? Initial : GetDoubleClickTime(); }
    UINT AutoPopDelay() const { return AutoPopSet ? AutoPop : GetDoubleClickTime() * 10; }
};

std::map<HWND, std::unique_ptr<TTip>>& Tips()
{
    static auto* tips = new std::map<HWND, std::unique_ptr<TTip>>();
    return *tips;
}

TTip* TipOf(HWND h)
{
    auto it = Tips().find(h);
    return it == Tips().end() ? nullptr : it->second.get();
}

// Windows whose mouse messages the tooltips see: the original procedure and
// the tooltips listening.
struct TSubclass {
    WNDPROC Original { nullptr };
    std::vector<HWND> Listeners;
};

std::map<HWND, TSubclass>& Subclasses()
{
    static auto* map = new std::map<HWND, TSubclass>();
    return *map;
}

void RelayMouse(HWND tip, HWND from, UINT msg, LPARAM lParam);

LRESULT SubclassProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto it = Subclasses().find(h);
    if (it == Subclasses().end())
        return DefWindowProc(h, msg, wParam, lParam);
    WNDPROC original = it->second.Original;
    if ((msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) || msg == WM_MOUSELEAVE) {
        const std::vector<HWND> listeners = it->second.Listeners;
        for (HWND tip : listeners)
            if (IsWindow(tip))
                RelayMouse(tip, h, msg, lParam);
    }
    if (msg == WM_NCDESTROY) {
        if (GetWindowLongPtr(h, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&SubclassProc))
            SetWindowLongPtr(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        Subclasses().erase(h);
    }
    return CallWindowProc(original, h, msg, wParam, lParam);
}

void Subclass(HWND window, HWND tip)
{
    if (!IsWindow(window))
        return;
    auto it = Subclasses().find(window);
    if (it == Subclasses().end()) {
        TSubclass s;
        s.Original = reinterpret_cast<WNDPROC>(GetWindowLongPtr(window, GWLP_WNDPROC));
        it = Subclasses().emplace(window, s).first;
        SetWindowLongPtr(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc));
    }
    auto& l = it->second.Listeners;
    if (std::find(l.begin(), l.end(), tip) == l.end())
        l.push_back(tip);
}

// The window keeps our procedure (another may have subclassed it after us);
// with no listener left it just passes messages on.
void Unsubclass(HWND window, HWND tip)
{
    auto it = Subclasses().find(window);
    if (it == Subclasses().end())
        return;
    auto& l = it->second.Listeners;
    l.erase(std::remove(l.begin(), l.end(), tip), l.end());
}

LRESULT Notify(TTip& tip, const TTool& tool, UINT code, NMHDR* header)
{
    header->hwndFrom = tip.Handle;
    header->idFrom = tool.Id;
    header->code = code;
    if (!IsWindow(tool.Window))
        return 0;
    return SendMessage(tool.Window, WM_NOTIFY, WPARAM(tool.Id), reinterpret_cast<LPARAM>(header));
}

String ToolText(TTip& tip, int index)
{
    TTool& tool = tip.Tools[std::size_t(index)];
    if (!tool.Callback)
        return tool.Text;
    NMTTDISPINFO info;
    info.lpszText = info.szText;
    info.lParam = tool.Param;
    info.uFlags = tool.Flags;
    Notify(tip, tool, TTN_GETDISPINFO, &info.hdr);
    String text;
    if (info.lpszText && info.lpszText != LPSTR_TEXTCALLBACK)
        text = info.lpszText;
    // The tool may have been deleted by the handler.
    if (index < int(tip.Tools.size()) && (info.uFlags & TTF_DI_SETITEM)) {
        tip.Tools[std::size_t(index)].Text = text;
        tip.Tools[std::size_t(index)].Callback = false;
    }
    return text;
}

UINT TextFlags(const TTip& tip)
{
    UINT flags = DT_LEFT | DT_EXPANDTABS;
    if (GetWindowLong(tip.Handle, GWL_STYLE) & TTS_NOPREFIX)
        flags |= DT_NOPREFIX;
    if (tip.MaxWidth > 0)
        flags |= DT_WORDBREAK;
    return flags;
}

TSize MeasureText(TFont* font, const String& text, UINT flags, int maxWidth)
{
    if (text.empty())
        return {};
    TMeasureDC dc;
    TRect r { 0, 0, maxWidth > 0 ? maxWidth : 0x3FFFFFFF, 0 };
    DrawTextIn(dc, font, text, r, flags | DT_CALCRECT, 0);
    return { r.Width(), r.Height() };
}

// The body rectangle (window coordinates, stem excluded) and its content size.
struct TLayout {
    TSize Body;
    TSize Title;
    TSize Text;
};

TLayout Measure(TTip& tip, const String& text)
{
    TLayout l;
    const int wrap = tip.MaxWidth > 0 ? tip.MaxWidth : 0;
    l.Text = MeasureText(tip.Font.get(), text, TextFlags(tip), wrap);
    if (!tip.Title.empty() || tip.Icon)
        l.Title = MeasureText(tip.TitleFont.get(), tip.Title, DT_SINGLELINE | DT_NOPREFIX, 0);
    int titleWidth = l.Title.cx + (tip.Icon ? IconSize + Margin : 0);
    int titleHeight = std::max(l.Title.cy, tip.Icon ? IconSize : 0);
    const int pad = tip.Balloon() ? 2 * Margin : Margin;
    l.Body.cx = std::max(titleWidth, l.Text.cx) + 2 * pad;
    l.Body.cy = titleHeight + (titleHeight ? Margin : 0) + l.Text.cy + 2 * pad;
    return l;
}

// The balloon outline: a rounded body with a triangular stem.
HRGN BalloonRegion(const TTip& tip, TSize size)
{
    const int top = tip.StemBelow ? 0 : StemHeight;
    const int bottom = tip.StemBelow ? size.cy - StemHeight : size.cy;
    HRGN body = CreateRoundRectRgn(0, top, size.cx + 1, bottom + 1, Corner, Corner);
    const int x = std::clamp(tip.Stem.X, Corner, std::max(Corner, size.cx - Corner - StemWidth));
    POINT stem[3];
    if (tip.StemBelow)
        stem[0] = { x, bottom - 1 }, stem[1] = { x + StemWidth, bottom - 1 }, stem[2] = { tip.Stem.X, size.cy };
    else
        stem[0] = { x, top + 1 }, stem[1] = { x + StemWidth, top + 1 }, stem[2] = { tip.Stem.X, 0 };
    HRGN triangle = CreatePolygonRgn(stem, 3, 1);
    CombineRgn(body, body, triangle, RGN_OR);
    DeleteObject(triangle);
    return body;
}

void DrawIcon(HDC dc, int icon, TPoint at)
{
    static constexpr COLORREF colours[] = { 0, RGB(0x1E, 0x64, 0xC8), RGB(0xE8, 0xB0, 0x00), RGB(0xC8, 0x1E, 0x1E) };
    static constexpr const char16_t* glyphs[] = { u"", u"i", u"!", u"x" };
    HBRUSH brush = CreateSolidBrush(colours[icon]);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    Ellipse(dc, at.X, at.Y, at.X + IconSize, at.Y + IconSize);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
    TFont font;
    font.SetStyle({ fsBold });
    TRect r { at.X, at.Y, at.X + IconSize, at.Y + IconSize };
    DrawTextIn(dc, &font, glyphs[icon], r, DT_SINGLELINE | DT_CENTER | DT_VCENTER, RGB(255, 255, 255));
}

void Paint(TTip& tip)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(tip.Handle, ps);
    if (!dc)
        return;
    RECT client;
    GetClientRect(tip.Handle, client);
    const TSize size { client.Width(), client.Height() };
    HBRUSH back = CreateSolidBrush(tip.Back);
    HBRUSH frame = CreateSolidBrush(GetSysColor(COLOR_WINDOWFRAME));
    int top = 0;
    if (tip.Balloon()) {
        HRGN rgn = BalloonRegion(tip, size);
        FillRgn(dc, rgn, back);
        FrameRgn(dc, rgn, frame, 1, 1);
        DeleteObject(rgn);
        top = tip.StemBelow ? 0 : StemHeight;
    } else {
        RECT r = client;
        FillRect(dc, &r, back);
        FrameRect(dc, &r, frame);
    }
    DeleteObject(back);
    DeleteObject(frame);
    const TLayout l = Measure(tip, tip.ShownText);
    const int pad = tip.Balloon() ? 2 * Margin : Margin;
    int y = top + pad;
    int x = pad;
    if (l.Title.cy || tip.Icon) {
        int tx = x;
        if (tip.Icon) {
            DrawIcon(dc, tip.Icon, { x, y });
            tx += IconSize + Margin;
        }
        TRect tr { tx, y, size.cx - pad, y + std::max(l.Title.cy, tip.Icon ? IconSize : 0) };
        DrawTextIn(dc, tip.TitleFont.get(), tip.Title, tr, DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER, tip.Fore);
        y = tr.Bottom + Margin;
    }
    TRect text { x, y, x + l.Text.cx, y + l.Text.cy };
    DrawTextIn(dc, tip.Font.get(), tip.ShownText, text, TextFlags(tip), tip.Fore);
    EndPaint(tip.Handle, ps);
}

void Hide(TTip& tip, bool notify = true)
{
    KillTimer(tip.Handle, ShowTimer);
    KillTimer(tip.Handle, PopTimer);
    if (tip.Shown < 0 && !IsWindowVisible(tip.Handle))
        return;
    const int shown = tip.Shown;
    tip.Shown = -1;
    ShowWindow(tip.Handle, SW_HIDE);
    if (notify && shown >= 0 && shown < int(tip.Tools.size())) {
        NMHDR header;
        Notify(tip, tip.Tools[std::size_t(shown)], TTN_POP, &header);
    }
}

// Places and shows the tip of tool `index` pointing at `spot` (screen).
void Show(TTip& tip, int index, TPoint spot)
{
    if (index < 0 || index >= int(tip.Tools.size()))
        return;
    String text = ToolText(tip, index);
    if (index >= int(tip.Tools.size()) || text.empty()) {
        Hide(tip);
        return;
    }
    tip.ShownText = text;
    const TLayout l = Measure(tip, text);
    const RECT screen { 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) };
    TSize size = l.Body;
    TPoint pos;
    const TTool& tool = tip.Tools[std::size_t(index)];
    if (tip.Balloon()) {
        size.cy += StemHeight;
        // The stem points at the spot; the body hangs below it unless that
        // leaves the screen.
        tip.StemBelow = spot.Y + size.cy > screen.Bottom;
        pos.X = std::clamp(spot.X - Corner - StemWidth / 2, 0, std::max(0, int(screen.Right) - size.cx));
        pos.Y = tip.StemBelow ? spot.Y - size.cy : spot.Y;
        tip.Stem = { spot.X - pos.X, tip.StemBelow ? size.cy : 0 };
    } else {
        pos = (tool.Flags & TTF_TRACK) && (tool.Flags & TTF_ABSOLUTE) ? spot : TPoint { spot.X, spot.Y + 20 };
        if (tool.Flags & TTF_CENTERTIP)
            pos.X -= size.cx / 2;
        pos.X = std::clamp(pos.X, 0, std::max(0, int(screen.Right) - size.cx));
        if (pos.Y + size.cy > screen.Bottom)
            pos.Y = spot.Y - size.cy - 2;
    }
    tip.Shown = index;
    SetWindowPos(tip.Handle, HWND_TOPMOST, pos.X, pos.Y, size.cx, size.cy, SWP_NOACTIVATE);
    if (tip.Balloon())
        SetWindowRgn(tip.Handle, BalloonRegion(tip, size), FALSE);
    else
        SetWindowRgn(tip.Handle, nullptr, FALSE);
    NMHDR header;
    Notify(tip, tool, TTN_SHOW, &header);
    if (tip.Shown != index)
        return; // the handler popped it
    SetWindowPos(tip.Handle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(tip.Handle, nullptr, true);
    KillTimer(tip.Handle, PopTimer);
    if (!tip.Tracking || tip.AutoPopSet)
        if (tip.AutoPopDelay() > 0)
            SetTimer(tip.Handle, PopTimer, tip.AutoPopDelay(), nullptr);
}

// The tool under a point of window `from` (client coordinates), -1 for none.
int ToolAt(const TTip& tip, HWND from, TPoint client)
{
    for (int i = 0; i < int(tip.Tools.size()); ++i) {
        const TTool& t = tip.Tools[std::size_t(i)];
        if (t.Flags & TTF_TRACK)
            continue;
        if (t.Flags & TTF_IDISHWND) {
            if (reinterpret_cast<HWND>(t.Id) == from)
                return i;
        } else if (t.Window == from && t.Rect.Contains(client)) {
            return i;
        }
    }
    return -1;
}

void RelayMouse(HWND h, HWND from, UINT msg, LPARAM lParam)
{
    TTip* tip = TipOf(h);
    if (!tip || tip->Tracking)
        return;
    if (msg == WM_MOUSELEAVE) {
        tip->Current = -1;
        Hide(*tip);
        return;
    }
    if (msg != WM_MOUSEMOVE) {
        // A press hides the tip until the pointer moves to another tool.
        Hide(*tip);
        return;
    }
    if (!tip->Active)
        return;
    const TPoint client { short(LOWORD(lParam)), short(HIWORD(lParam)) };
    const int index = ToolAt(*tip, from, client);
    if (index == tip->Current)
        return;
    const bool wasShown = tip->Shown >= 0;
    tip->Current = index;
    Hide(*tip);
    if (index < 0) {
        KillTimer(h, LeaveTimer);
        return;
    }
    const UINT delay = wasShown ? (tip->Reshow ? tip->Reshow : tip->InitialDelay() / 5) : tip->InitialDelay();
    SetTimer(h, ShowTimer, std::max(1u, delay), nullptr);
    SetTimer(h, LeaveTimer, LeaveCheckMs, nullptr);
}

// Whether the pointer still rests on the current tool.
bool PointerOnCurrentTool(const TTip& tip)
{
    if (tip.Current < 0 || tip.Current >= int(tip.Tools.size()))
        return false;
    POINT p;
    GetCursorPos(p);
    HWND under = WindowFromPoint(p);
    const TTool& t = tip.Tools[std::size_t(tip.Current)];
    if (under != t.MouseWindow())
        return false;
    if (t.Flags & TTF_IDISHWND)
        return true;
    ScreenToClient(under, p);
    return t.Rect.Contains(p);
}

void Timer(TTip& tip, UINT_PTR id)
{
    switch (id) {
    case ShowTimer: {
        KillTimer(tip.Handle, ShowTimer);
        POINT p;
        GetCursorPos(p);
        if (tip.Active && PointerOnCurrentTool(tip))
            Show(tip, tip.Current, p);
        break;
    }
    case PopTimer:
        Hide(tip);
        break;
    case LeaveTimer:
        if (!PointerOnCurrentTool(tip)) {
            KillTimer(tip.Handle, LeaveTimer);
            tip.Current = -1;
            Hide(tip);
        }
        break;
    }
}

int FindTool(const TTip& tip, const TOOLINFO* ti)
{
    if (!ti)
        return -1;
    for (int i = 0; i < int(tip.Tools.size()); ++i)
        if (tip.Tools[std::size_t(i)].Window == ti->hwnd && tip.Tools[std::size_t(i)].Id == ti->uId)
            return i;
    return -1;
}

TTool ToolFromInfo(const TOOLINFO& ti)
{
    TTool t;
    t.Flags = ti.uFlags;
    t.Window = ti.hwnd;
    t.Id = ti.uId;
    t.Rect = ti.rect;
    t.Param = ti.lParam;
    t.Callback = ti.lpszText == LPSTR_TEXTCALLBACK;
    // Resource ids (values below 0x10000) name no text of ours.
    if (!t.Callback && reinterpret_cast<UINT_PTR>(ti.lpszText) > 0xFFFF)
        t.Text = ti.lpszText;
    return t;
}

LRESULT CreateTip(HWND h, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto tip = std::make_unique<TTip>();
    tip->Handle = h;
    tip->Font = std::make_unique<TFont>();
    tip->TitleFont = std::make_unique<TFont>();
    tip->TitleFont->SetStyle({ fsBold });
    Tips()[h] = std::move(tip);
    // A tooltip is always a pop-up that never takes the focus.
    SetWindowLong(h, GWL_STYLE, (GetWindowLong(h, GWL_STYLE) & ~WS_CHILD) | WS_POPUP);
    SetWindowLong(h, GWL_EXSTYLE, GetWindowLong(h, GWL_EXSTYLE) | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST);
    return DefWindowProc(h, msg, wParam, lParam);
}

void DestroyTip(TTip& tip, HWND h)
{
    for (const TTool& t : tip.Tools)
        if (t.Flags & TTF_SUBCLASS)
            Unsubclass(t.MouseWindow(), h);
    Tips().erase(h);
}

void SetTipFont(TTip& tip, HFONT font)
{
    if (!font)
        return;
    tip.Font->SetHandle(font);
    tip.TitleFont->Assign(tip.Font.get());
    tip.TitleFont->SetStyle({ fsBold });
}

LRESULT AddTool(TTip& tip, HWND h, const TOOLINFO* ti)
{
    if (!ti || ti->cbSize < 44)
        return FALSE;
    if (int existing = FindTool(tip, ti); existing >= 0)
        tip.Tools[std::size_t(existing)] = ToolFromInfo(*ti);
    else
        tip.Tools.push_back(ToolFromInfo(*ti));
    if (ti->uFlags & TTF_SUBCLASS)
        Subclass(tip.Tools.back().MouseWindow(), h);
    return TRUE;
}

void DeleteTool(TTip& tip, HWND h, const TOOLINFO* ti)
{
    const int i = FindTool(tip, ti);
    if (i < 0)
        return;
    if (tip.Shown == i || tip.Current == i) {
        Hide(tip, false);
        tip.Current = -1;
    }
    const TTool removed = tip.Tools[std::size_t(i)];
    tip.Tools.erase(tip.Tools.begin() + i);
    if (tip.Current > i)
        --tip.Current;
    if (removed.Flags & TTF_SUBCLASS) {
        const bool stillUsed = std::any_of(tip.Tools.begin(), tip.Tools.end(), [&](const TTool& t) {
            return (t.Flags & TTF_SUBCLASS) && t.MouseWindow() == removed.MouseWindow();
        });
        if (!stillUsed)
            Unsubclass(removed.MouseWindow(), h);
    }
}

void NewToolRect(TTip& tip, const TOOLINFO* ti)
{
    if (int i = FindTool(tip, ti); i >= 0)
        tip.Tools[std::size_t(i)].Rect = ti->rect;
}

void UpdateTipText(TTip& tip, HWND h, const TOOLINFO* ti)
{
    const int i = FindTool(tip, ti);
    if (i < 0)
        return;
    TTool& t = tip.Tools[std::size_t(i)];
    const TTool fresh = ToolFromInfo(*ti);
    t.Callback = fresh.Callback;
    t.Text = fresh.Text;
    if (tip.Shown == i) {
        tip.ShownText = ToolText(tip, i);
        InvalidateRect(h, nullptr, true);
    }
}

LRESULT GetToolInfo(const TTip& tip, TOOLINFO* ti)
{
    const int i = FindTool(tip, ti);
    if (i < 0)
        return FALSE;
    const TTool& t = tip.Tools[std::size_t(i)];
    ti->uFlags = t.Flags;
    ti->rect = t.Rect;
    ti->lParam = t.Param;
    return TRUE;
}

void SetDelayTime(TTip& tip, WPARAM which, int value)
{
    switch (which) {
    case TTDT_AUTOMATIC:
        tip.Initial = value < 0 ? 0 : UINT(value);
        tip.Reshow = tip.Initial / 5;
        tip.AutoPop = tip.Initial * 10;
        tip.AutoPopSet = value >= 0;
        break;
    case TTDT_INITIAL: tip.Initial = value < 0 ? 0 : UINT(value); break;
    case TTDT_RESHOW: tip.Reshow = value < 0 ? 0 : UINT(value); break;
    case TTDT_AUTOPOP:
        tip.AutoPop = value < 0 ? 0 : UINT(value);
        tip.AutoPopSet = value >= 0;
        break;
    }
}

LRESULT GetDelayTime(const TTip& tip, WPARAM which)
{
    switch (which) {
    case TTDT_INITIAL: return tip.InitialDelay();
    case TTDT_RESHOW: return tip.Reshow ? tip.Reshow : tip.InitialDelay() / 5;
    case TTDT_AUTOPOP: return tip.AutoPopDelay();
    }
    return 0;
}

void SetTitle(TTip& tip, HWND h, WPARAM icon, const char16_t* title)
{
    // Icons outside the standard ones show none.
    tip.Icon = icon <= TTI_ERROR ? int(icon) : 0;
    tip.Title = title ? String(title) : String();
    InvalidateRect(h, nullptr, true);
}

void PopUp(TTip& tip)
{
    POINT p;
    GetCursorPos(p);
    if (tip.Current >= 0)
        Show(tip, tip.Current, p);
}

void UpdateShownText(TTip& tip, HWND h)
{
    if (tip.Shown < 0)
        return;
    tip.ShownText = ToolText(tip, tip.Shown);
    InvalidateRect(h, nullptr, true);
}

void TrackPosition(TTip& tip, LPARAM position)
{
    tip.TrackPos = { short(LOWORD(position)), short(HIWORD(position)) };
    if (tip.Tracking && tip.Shown >= 0)
        Show(tip, tip.Shown, tip.TrackPos);
}

void TrackActivate(TTip& tip, bool on, const TOOLINFO* ti)
{
    const int i = FindTool(tip, ti);
    if (on && i >= 0) {
        tip.Tracking = true;
        Show(tip, i, tip.TrackPos);
    } else {
        Hide(tip);
        tip.Tracking = false;
    }
}

LRESULT ToolTipProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE)
        return CreateTip(h, msg, wParam, lParam);
    TTip* tip = TipOf(h);
    if (!tip)
        return DefWindowProc(h, msg, wParam, lParam);
    auto* info = reinterpret_cast<TOOLINFO*>(lParam);
    switch (msg) {
    case WM_NCDESTROY:
        DestroyTip(*tip, h);
        return DefWindowProc(h, msg, wParam, lParam);
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(*tip); return 0;
    case WM_TIMER: Timer(*tip, wParam); return 0;
    case WM_SETFONT: SetTipFont(*tip, reinterpret_cast<HFONT>(wParam)); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(tip->Font->GetHandle());
    case TTM_ADDTOOL: return AddTool(*tip, h, info);
    case TTM_DELTOOL: DeleteTool(*tip, h, info); return 0;
    case TTM_NEWTOOLRECT: NewToolRect(*tip, info); return 0;
    case TTM_UPDATETIPTEXT: UpdateTipText(*tip, h, info); return 0;
    case TTM_GETTOOLINFO: return GetToolInfo(*tip, info);
    case TTM_GETTOOLCOUNT: return LRESULT(tip->Tools.size());
    case TTM_ACTIVATE:
        tip->Active = wParam != 0;
        if (!tip->Active)
            Hide(*tip);
        return 0;
    case TTM_SETDELAYTIME: SetDelayTime(*tip, wParam, short(LOWORD(lParam))); return 0;
    case TTM_GETDELAYTIME: return GetDelayTime(*tip, wParam);
    case TTM_SETMAXTIPWIDTH: return std::exchange(tip->MaxWidth, int(lParam));
    case TTM_GETMAXTIPWIDTH: return tip->MaxWidth;
    case TTM_SETTIPBKCOLOR:
        tip->Back = COLORREF(wParam);
        InvalidateRect(h, nullptr, true);
        return 0;
    case TTM_SETTIPTEXTCOLOR:
        tip->Fore = COLORREF(wParam);
        InvalidateRect(h, nullptr, true);
        return 0;
    case TTM_GETTIPBKCOLOR: return tip->Back;
    case TTM_GETTIPTEXTCOLOR: return tip->Fore;
    case TTM_SETTITLE: SetTitle(*tip, h, wParam, reinterpret_cast<const char16_t*>(lParam)); return TRUE;
    case TTM_POP: Hide(*tip); return 0;
    case TTM_POPUP: PopUp(*tip); return 0;
    case TTM_UPDATE: UpdateShownText(*tip, h); return 0;
    case TTM_RELAYEVENT:
        if (auto* m = reinterpret_cast<const MSG*>(lParam); m)
            RelayMouse(h, m->hwnd, m->message, m->lParam);
        return 0;
    case TTM_TRACKPOSITION: TrackPosition(*tip, lParam); return 0;
    case TTM_TRACKACTIVATE: TrackActivate(*tip, wParam != 0, info); return 0;
    }
    return DefWindowProc(h, msg, wParam, lParam);
}

} // namespace

void RegisterToolTipClass()
{
    WNDCLASSEX existing;
    if (GetClassInfoEx(TOOLTIPS_CLASS, existing))
        return;
    WNDCLASSEX wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &ToolTipProc;
    wc.lpszClassName = TOOLTIPS_CLASS;
    RegisterClassEx(wc);
}

HWND CreateToolTipWindow(HWND Owner, DWORD Style)
{
    RegisterToolTipClass();
    return CreateWindowEx(0, TOOLTIPS_CLASS, String(), Style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
        CW_USEDEFAULT, Owner, nullptr, nullptr, nullptr);
}

// ---- TBalloonHint ----

TBalloonHint::TBalloonHint(TComponent* AOwner) : TComponent(AOwner) { }

TBalloonHint::~TBalloonHint()
{
    if (m_handle && IsWindow(m_handle))
        DestroyWindow(m_handle);
}

void TBalloonHint::SetStyle(TBalloonHintStyle v)
{
    if (v == m_style)
        return;
    m_style = v;
    if (m_handle) {
        HideHint();
        DestroyWindow(m_handle);
        m_handle = nullptr;
    }
}

void TBalloonHint::EnsureWindow()
{
    if (m_handle && IsWindow(m_handle))
        return;
    m_handle = CreateToolTipWindow(nullptr, TTS_ALWAYSTIP | TTS_NOPREFIX | (m_style == bhsBalloon ? TTS_BALLOON : 0));
    TOOLINFO ti;
    ti.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    ti.uId = 1;
    ti.lpszText = const_cast<char16_t*>(u"");
    SendMessage(m_handle, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessage(m_handle, TTM_SETMAXTIPWIDTH, 0, 300);
}

void TBalloonHint::ShowHint(TPoint Point)
{
    EnsureWindow();
    // The description carries the text; a title alone still shows.
    m_shownText = m_description.empty() ? String(u" ") : m_description;
    TOOLINFO ti;
    ti.uId = 1;
    ti.lpszText = m_shownText.data();
    SendMessage(m_handle, TTM_UPDATETIPTEXT, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessage(m_handle, TTM_SETTITLE, TTI_NONE, reinterpret_cast<LPARAM>(m_title.c_str()));
    SendMessage(m_handle, TTM_SETDELAYTIME, TTDT_AUTOPOP, m_hideAfter > 0 ? std::min(m_hideAfter, 0x7FFF) : 0);
    SendMessage(m_handle, TTM_TRACKPOSITION, 0, MAKELPARAM(WORD(Point.X), WORD(Point.Y)));
    SendMessage(m_handle, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
}

void TBalloonHint::ShowHint(TControl* Control)
{
    if (!Control)
        return;
    ShowHint(Control->ClientToScreen({ Control->GetWidth() / 2, Control->GetHeight() }));
}

void TBalloonHint::ShowHint(TRect Rect)
{
    ShowHint(TPoint { Rect.Left + Rect.Width() / 2, Rect.Bottom });
}

void TBalloonHint::HideHint()
{
    if (!m_handle || !IsWindow(m_handle))
        return;
    TOOLINFO ti;
    ti.uId = 1;
    SendMessage(m_handle, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&ti));
}

bool TBalloonHint::GetShowing() const
{
    return m_handle && IsWindow(m_handle) && IsWindowVisible(m_handle);
}
