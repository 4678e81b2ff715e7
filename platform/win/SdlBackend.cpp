#include "platform/win/SdlBackend.h"

#include <cstdlib>
#include <cstring>
#include <map>

#include "platform/win/DragDrop.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

// X11 last: its macros (None, Bool, Status) must not reach our headers.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

WORD VkFromScancode(SDL_Scancode sc)
{
    if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z)
        return WORD('A' + (sc - SDL_SCANCODE_A));
    if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9)
        return WORD('1' + (sc - SDL_SCANCODE_1));
    if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12)
        return WORD(VK_F1 + (sc - SDL_SCANCODE_F1));
    if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9)
        return WORD(VK_NUMPAD0 + 1 + (sc - SDL_SCANCODE_KP_1));
    switch (sc) {
    case SDL_SCANCODE_0: return '0';
    case SDL_SCANCODE_RETURN: return VK_RETURN;
    case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
    case SDL_SCANCODE_BACKSPACE: return VK_BACK;
    case SDL_SCANCODE_TAB: return VK_TAB;
    case SDL_SCANCODE_SPACE: return VK_SPACE;
    case SDL_SCANCODE_MINUS: return VK_OEM_MINUS;
    case SDL_SCANCODE_EQUALS: return VK_OEM_PLUS;
    case SDL_SCANCODE_LEFTBRACKET: return VK_OEM_4;
    case SDL_SCANCODE_RIGHTBRACKET: return VK_OEM_6;
    case SDL_SCANCODE_BACKSLASH: return VK_OEM_5;
    case SDL_SCANCODE_SEMICOLON: return VK_OEM_1;
    case SDL_SCANCODE_APOSTROPHE: return VK_OEM_7;
    case SDL_SCANCODE_GRAVE: return VK_OEM_3;
    case SDL_SCANCODE_COMMA: return VK_OEM_COMMA;
    case SDL_SCANCODE_PERIOD: return VK_OEM_PERIOD;
    case SDL_SCANCODE_SLASH: return VK_OEM_2;
    case SDL_SCANCODE_NONUSBACKSLASH: return VK_OEM_102;
    case SDL_SCANCODE_CAPSLOCK: return VK_CAPITAL;
    case SDL_SCANCODE_PRINTSCREEN: return VK_SNAPSHOT;
    case SDL_SCANCODE_SCROLLLOCK: return VK_SCROLL;
    case SDL_SCANCODE_PAUSE: return VK_PAUSE;
    case SDL_SCANCODE_INSERT: return VK_INSERT;
    case SDL_SCANCODE_HOME: return VK_HOME;
    case SDL_SCANCODE_PAGEUP: return VK_PRIOR;
    case SDL_SCANCODE_DELETE: return VK_DELETE;
    case SDL_SCANCODE_END: return VK_END;
    case SDL_SCANCODE_PAGEDOWN: return VK_NEXT;
    case SDL_SCANCODE_RIGHT: return VK_RIGHT;
    case SDL_SCANCODE_LEFT: return VK_LEFT;
    case SDL_SCANCODE_DOWN: return VK_DOWN;
    case SDL_SCANCODE_UP: return VK_UP;
    case SDL_SCANCODE_NUMLOCKCLEAR: return VK_NUMLOCK;
    case SDL_SCANCODE_KP_DIVIDE: return VK_DIVIDE;
    case SDL_SCANCODE_KP_MULTIPLY: return VK_MULTIPLY;
    case SDL_SCANCODE_KP_MINUS: return VK_SUBTRACT;
    case SDL_SCANCODE_KP_PLUS: return VK_ADD;
    case SDL_SCANCODE_KP_ENTER: return VK_RETURN;
    case SDL_SCANCODE_KP_0: return VK_NUMPAD0;
    case SDL_SCANCODE_KP_PERIOD: return VK_DECIMAL;
    case SDL_SCANCODE_APPLICATION: return VK_APPS;
    case SDL_SCANCODE_LCTRL: return VK_LCONTROL;
    case SDL_SCANCODE_RCTRL: return VK_RCONTROL;
    case SDL_SCANCODE_LSHIFT: return VK_LSHIFT;
    case SDL_SCANCODE_RSHIFT: return VK_RSHIFT;
    case SDL_SCANCODE_LALT: return VK_LMENU;
    case SDL_SCANCODE_RALT: return VK_RMENU;
    case SDL_SCANCODE_LGUI: return VK_LWIN;
    case SDL_SCANCODE_RGUI: return VK_RWIN;
    default: return 0;
    }
}

SDL_SystemCursor SystemCursorFor(UINT_PTR id)
{
    switch (id) {
    case IDC_IBEAM: return SDL_SYSTEM_CURSOR_IBEAM;
    case IDC_WAIT: return SDL_SYSTEM_CURSOR_WAIT;
    case IDC_APPSTARTING: return SDL_SYSTEM_CURSOR_WAITARROW;
    case IDC_CROSS: return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case IDC_SIZENWSE: return SDL_SYSTEM_CURSOR_SIZENWSE;
    case IDC_SIZENESW: return SDL_SYSTEM_CURSOR_SIZENESW;
    case IDC_SIZEWE: return SDL_SYSTEM_CURSOR_SIZEWE;
    case IDC_SIZENS: return SDL_SYSTEM_CURSOR_SIZENS;
    case IDC_SIZEALL: return SDL_SYSTEM_CURSOR_SIZEALL;
    case IDC_NO: return SDL_SYSTEM_CURSOR_NO;
    case IDC_HAND: return SDL_SYSTEM_CURSOR_HAND;
    default: return SDL_SYSTEM_CURSOR_ARROW;
    }
}

class TSdlBackend;
TSdlBackend* g_sdl = nullptr;

class TSdlBackend : public IWindowBackend {
public:
    TSdlBackend() { g_sdl = this; m_wakeEvent = SDL_RegisterEvents(1); }
    ~TSdlBackend() override
    {
        for (auto& [h, win] : m_windows)
            SDL_DestroyWindow(win);
        for (auto& [h, c] : m_cursors)
            SDL_FreeCursor(c);
        g_sdl = nullptr;
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        // The last user of SDL also lets its helper connections go.
        if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0)
            SDL_Quit();
    }

    const char* GetName() const override { return "sdl"; }

    TRect GetScreenRect() const override
    {
        SDL_Rect r {};
        if (SDL_GetDisplayBounds(0, &r) != 0)
            return { 0, 0, 1024, 768 };
        return Bounds(r.x, r.y, r.w, r.h);
    }

    TRect GetWorkArea() const override
    {
        SDL_Rect r {};
        if (SDL_GetDisplayUsableBounds(0, &r) != 0)
            return GetScreenRect();
        return Bounds(r.x, r.y, r.w, r.h);
    }

    void TopLevelChanged(HWND h) override
    {
        if (!IsWindow(h))
            return;
        const DWORD style = DWORD(GetWindowLongPtr(h, GWL_STYLE));
        const DWORD ex = DWORD(GetWindowLongPtr(h, GWL_EXSTYLE));
        RECT r;
        GetWindowRect(h, r);
        SDL_Window* win = Native(h);
        const bool visible = (style & WS_VISIBLE) != 0;
        if (!win) {
            if (!visible)
                return;
            Uint32 flags = SDL_WINDOW_HIDDEN;
            if ((style & WS_CAPTION) != WS_CAPTION)
                flags |= SDL_WINDOW_BORDERLESS;
            if (style & WS_THICKFRAME)
                flags |= SDL_WINDOW_RESIZABLE;
            if (style & WS_MAXIMIZE)
                flags |= SDL_WINDOW_MAXIMIZED;
            if (ex & WS_EX_TOPMOST)
                flags |= SDL_WINDOW_ALWAYS_ON_TOP;
            // Windows that must not take the desktop focus become pop-up
            // menus or tool tips to the window manager.
            if (ex & WS_EX_NOACTIVATE)
                flags |= SDL_WINDOW_TOOLTIP | SDL_WINDOW_SKIP_TASKBAR;
            else if ((style & WS_POPUP) && (style & WS_CAPTION) != WS_CAPTION)
                flags |= SDL_WINDOW_POPUP_MENU | SDL_WINDOW_SKIP_TASKBAR;
            else if (ex & WS_EX_TOOLWINDOW)
                flags |= SDL_WINDOW_UTILITY;
            win = SDL_CreateWindow(StringToUtf8(GetWindowText(h)).c_str(), r.Left, r.Top, std::max(1, r.Width()), std::max(1, r.Height()), flags);
            if (!win)
                return;
            m_windows[h] = win;
            m_byId[SDL_GetWindowID(win)] = h;
        }
        SDL_SetWindowTitle(win, StringToUtf8(GetWindowText(h)).c_str());
        ApplySizeLimits(h, win, (style & WS_THICKFRAME) != 0);
        // A maximised window's place and size are the desktop's to decide.
        const bool maximized = (style & WS_MAXIMIZE) != 0;
        if (!maximized) {
            if (SDL_GetWindowFlags(win) & SDL_WINDOW_MAXIMIZED)
                SDL_RestoreWindow(win);
            int x, y, w, hh;
            SDL_GetWindowPosition(win, &x, &y);
            SDL_GetWindowSize(win, &w, &hh);
            if (x != r.Left || y != r.Top)
                SDL_SetWindowPosition(win, r.Left, r.Top);
            if (w != r.Width() || hh != r.Height())
                SDL_SetWindowSize(win, std::max(1, r.Width()), std::max(1, r.Height()));
        }
        SDL_SetWindowAlwaysOnTop(win, (ex & WS_EX_TOPMOST) ? SDL_TRUE : SDL_FALSE);
        BYTE alpha = 255;
        DWORD lflags = 0;
        if ((ex & WS_EX_LAYERED) && GetLayeredWindowAttributes(h, nullptr, &alpha, &lflags) && (lflags & LWA_ALPHA))
            SDL_SetWindowOpacity(win, alpha / 255.0f);
        const bool shown = (SDL_GetWindowFlags(win) & SDL_WINDOW_SHOWN) != 0;
        if (visible && !shown) {
            SDL_ShowWindow(win);
            Repaint(h);
        } else if (!visible && shown)
            SDL_HideWindow(win);
        if (visible && maximized && !(SDL_GetWindowFlags(win) & SDL_WINDOW_MAXIMIZED))
            SDL_MaximizeWindow(win);
        if (visible && GetActiveWindow() == h && !(ex & WS_EX_NOACTIVATE))
            SDL_RaiseWindow(win);
    }

    void TopLevelDestroyed(HWND h) override
    {
        if (SDL_Window* win = Native(h)) {
            m_byId.erase(SDL_GetWindowID(win));
            SDL_DestroyWindow(win);
            m_windows.erase(h);
        }
    }

    void Present(HWND h, const TPixelBuffer& px, const TRegion& dirty) override
    {
        SDL_Window* win = Native(h);
        if (!win || !px.Data)
            return;
        SDL_Surface* surf = SDL_GetWindowSurface(win);
        if (!surf)
            return;
        const int w = std::min(px.Width, surf->w);
        const int hh = std::min(px.Height, surf->h);
        std::vector<SDL_Rect> rects;
        if (SDL_MUSTLOCK(surf))
            SDL_LockSurface(surf);
        for (const TRect& d : dirty.Rects()) {
            TRect r;
            if (!IntersectRect(r, d, TRect(0, 0, w, hh)))
                continue;
            // Surfaces laid out like our buffer take whole rows.
            const bool sameLayout = surf->format->format == SDL_PIXELFORMAT_RGB888 || surf->format->format == SDL_PIXELFORMAT_ARGB8888;
            for (int y = r.Top; y < r.Bottom; ++y) {
                const auto* src = reinterpret_cast<const std::uint32_t*>(px.Data + std::size_t(y) * px.Stride) + r.Left;
                auto* dst = reinterpret_cast<std::uint8_t*>(surf->pixels) + std::size_t(y) * surf->pitch + r.Left * surf->format->BytesPerPixel;
                if (sameLayout) {
                    std::memcpy(dst, src, std::size_t(r.Width()) * 4);
                    continue;
                }
                for (int x = 0; x < r.Width(); ++x) {
                    const std::uint32_t v = src[x];
                    const Uint32 mapped = SDL_MapRGB(surf->format, Uint8(v >> 16), Uint8(v >> 8), Uint8(v));
                    std::memcpy(dst + x * surf->format->BytesPerPixel, &mapped, surf->format->BytesPerPixel);
                }
            }
            rects.push_back({ r.Left, r.Top, r.Width(), r.Height() });
        }
        if (SDL_MUSTLOCK(surf))
            SDL_UnlockSurface(surf);
        if (!rects.empty())
            SDL_UpdateWindowSurfaceRects(win, rects.data(), int(rects.size()));
    }

    void CursorChanged(HCURSOR c) override
    {
        if (!c)
            return;
        auto& slot = m_cursors[c];
        if (!slot) {
            const TCursorPixels p = GetCursorPixels(c);
            if (p.Argb) {
                SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(p.Argb), p.Width, p.Height, 32, p.Width * 4, SDL_PIXELFORMAT_ARGB8888);
                if (s) {
                    slot = SDL_CreateColorCursor(s, p.HotX, p.HotY);
                    SDL_FreeSurface(s);
                }
            } else
                slot = SDL_CreateSystemCursor(SystemCursorFor(GetCursorId(c)));
        }
        if (slot)
            SDL_SetCursor(slot);
    }

    void PointerWarped(TPoint p) override { SDL_WarpMouseGlobal(p.X, p.Y); }

    void PollEvents() override
    {
        SDL_Event e;
        while (SDL_PollEvent(&e))
            Handle(e);
    }

    bool WaitEvents(DWORD timeoutMs) override
    {
        SDL_Event e;
        const int ms = timeoutMs == 0xFFFFFFFFu ? -1 : int(std::min<DWORD>(timeoutMs, 0x7FFFFFFF));
        if (ms < 0 ? SDL_WaitEvent(&e) : SDL_WaitEventTimeout(&e, ms))
            Handle(e);
        return true;
    }

    void Wake() override
    {
        SDL_Event e {};
        e.type = m_wakeEvent;
        SDL_PushEvent(&e);
    }

    bool SetDesktopClipboardText(const String& text) override
    {
        return SDL_SetClipboardText(StringToUtf8(text).c_str()) == 0;
    }

    std::optional<String> GetDesktopClipboardText() override
    {
        if (!SDL_HasClipboardText())
            return std::nullopt;
        char* t = SDL_GetClipboardText();
        if (!t)
            return std::nullopt;
        String s = Utf8ToString(t);
        SDL_free(t);
        return s;
    }

    SDL_Window* Native(HWND h) const
    {
        auto it = m_windows.find(h);
        return it == m_windows.end() ? nullptr : it->second;
    }

private:
    HWND FromId(Uint32 id) const
    {
        auto it = m_byId.find(id);
        return it == m_byId.end() ? nullptr : it->second;
    }

    TPoint ToScreen(Uint32 windowId, int x, int y) const
    {
        RECT r {};
        if (HWND h = FromId(windowId))
            GetWindowRect(h, r);
        return { r.Left + x, r.Top + y };
    }

    // The window manager may resize a window with a sizing frame, within the
    // track sizes the window gives; without the frame its size is fixed.
    static void ApplySizeLimits(HWND h, SDL_Window* win, bool sizeable)
    {
        SDL_SetWindowResizable(win, sizeable ? SDL_TRUE : SDL_FALSE);
        if (!sizeable)
            return;
        MINMAXINFO info {};
        info.ptMinTrackSize = { 1, 1 };
        info.ptMaxTrackSize = { 0, 0 };
        SendMessage(h, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        SDL_SetWindowMinimumSize(win, std::max(1, int(info.ptMinTrackSize.X)), std::max(1, int(info.ptMinTrackSize.Y)));
        // A limit in one direction only leaves the other free.
        constexpr int Unlimited = 16384;
        if (info.ptMaxTrackSize.X > 0 || info.ptMaxTrackSize.Y > 0)
            SDL_SetWindowMaximumSize(win, info.ptMaxTrackSize.X > 0 ? int(info.ptMaxTrackSize.X) : Unlimited,
                info.ptMaxTrackSize.Y > 0 ? int(info.ptMaxTrackSize.Y) : Unlimited);
    }

    void Repaint(HWND h)
    {
        const TPixelBuffer px = GetWindowBuffer(h);
        if (px.Data)
            Present(h, px, TRegion(TRect(0, 0, px.Width, px.Height)));
    }

    // Drops from other programs; SDL gives no point, so the drop lands
    // where the pointer is when it completes.
    void HandleDrop(const SDL_DropEvent& d)
    {
        const HWND h = FromId(d.windowID);
        const String item = d.file ? Utf8ToString(d.file) : String();
        if (d.file)
            SDL_free(d.file);
        if (!h)
            return;
        if (d.type == SDL_DROPBEGIN)
            InjectDropBegin(h);
        else if (d.type == SDL_DROPFILE)
            InjectDropFile(h, item);
        else if (d.type == SDL_DROPTEXT)
            InjectDropText(h, item);
        else {
            int x = 0, y = 0;
            SDL_GetGlobalMouseState(&x, &y);
            InjectDropComplete(h, { x, y });
        }
    }

    void Handle(const SDL_Event& e)
    {
        switch (e.type) {
        case SDL_MOUSEMOTION:
            InjectMouseMove(ToScreen(e.motion.windowID, e.motion.x, e.motion.y));
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const int b = e.button.button == SDL_BUTTON_LEFT ? 0 : e.button.button == SDL_BUTTON_RIGHT ? 1 : e.button.button == SDL_BUTTON_MIDDLE ? 2 : -1;
            if (b >= 0)
                InjectMouseButton(b, e.type == SDL_MOUSEBUTTONDOWN, ToScreen(e.button.windowID, e.button.x, e.button.y));
            break;
        }
        case SDL_MOUSEWHEEL: {
            POINT p;
            GetCursorPos(p);
            const int flip = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1 : 1;
            if (e.wheel.y)
                InjectMouseWheel(e.wheel.y * WHEEL_DELTA * flip, p);
            if (e.wheel.x)
                InjectMouseWheel(e.wheel.x * WHEEL_DELTA * flip, p, true);
            break;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (WORD vk = VkFromScancode(e.key.keysym.scancode))
                InjectKey(vk, e.type == SDL_KEYDOWN, e.key.repeat != 0);
            break;
        case SDL_TEXTINPUT: {
            // Keys of the keyboard map already make their characters.
            const String text = Utf8ToString(e.text.text);
            for (std::size_t i = 0; i < text.size(); ++i) {
                char32_t ch = text[i];
                if (ch >= 0xD800 && ch <= 0xDBFF && i + 1 < text.size())
                    ch = 0x10000 + ((ch - 0xD800) << 10) + (char32_t(text[++i]) - 0xDC00);
                if (ch > 0xFFFF || VkKeyScanFor(char16_t(ch)).vk == 0)
                    InjectChar(ch);
            }
            break;
        }
        case SDL_DROPBEGIN:
        case SDL_DROPFILE:
        case SDL_DROPTEXT:
        case SDL_DROPCOMPLETE:
            HandleDrop(e.drop);
            break;
        case SDL_WINDOWEVENT: {
            const HWND h = FromId(e.window.windowID);
            if (!h)
                break;
            switch (e.window.event) {
            case SDL_WINDOWEVENT_CLOSE: InjectCloseRequest(h); break;
            case SDL_WINDOWEVENT_MOVED: {
                RECT r;
                GetWindowRect(h, r);
                InjectTopLevelMoved(h, Bounds(e.window.data1, e.window.data2, r.Width(), r.Height()));
                break;
            }
            case SDL_WINDOWEVENT_SIZE_CHANGED: {
                RECT r;
                GetWindowRect(h, r);
                InjectTopLevelMoved(h, Bounds(r.Left, r.Top, e.window.data1, e.window.data2));
                break;
            }
            case SDL_WINDOWEVENT_MAXIMIZED: InjectTopLevelMaximized(h, true); break;
            case SDL_WINDOWEVENT_RESTORED: InjectTopLevelMaximized(h, false); break;
            case SDL_WINDOWEVENT_EXPOSED: Repaint(h); break;
            case SDL_WINDOWEVENT_FOCUS_GAINED: InjectTopLevelFocused(h); break;
            default: break;
            }
            break;
        }
        default:
            break;
        }
    }

    std::map<HWND, SDL_Window*> m_windows;
    std::map<Uint32, HWND> m_byId;
    std::map<HCURSOR, SDL_Cursor*> m_cursors;
    Uint32 m_wakeEvent { 0 };
};

} // namespace

std::unique_ptr<IWindowBackend> CreateSdlBackend()
{
    if (!std::getenv("DISPLAY"))
        return nullptr;
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // Windows arrive as finished pixels, which the X server takes directly.
    // SDL's default on X11 goes through an OpenGL texture instead, loading
    // the GL stack (a software rasteriser on a server without a GPU) for each
    // video session; the Mesa driver's process-long allocations are then
    // orphaned when SDL unloads it, which the leak checker rightly reports.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
#if defined(__SANITIZE_ADDRESS__)
    // SDL's desktop-bus helper keeps its connection for the life of the
    // process; that is not a leak of ours.
    __lsan_disable();
#endif
    const bool ok = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (ok)
        SDL_StartTextInput();
#if defined(__SANITIZE_ADDRESS__)
    __lsan_enable();
#endif
    if (!ok)
        return nullptr;
    return std::make_unique<TSdlBackend>();
}

namespace {
int IgnoreXError(Display*, XErrorEvent*)
{
    return 0;
}
}

bool ReadDisplayedPixels(HWND top, std::vector<std::uint32_t>& pixels, int& width, int& height)
{
    if (!g_sdl)
        return false;
    SDL_Window* win = g_sdl->Native(top);
    if (!win)
        return false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(win, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    Display* dpy = info.info.x11.display;
    XSync(dpy, False);
    // A window that is not mapped yet makes XGetImage fail; the default
    // handler would end the program.
    auto previous = XSetErrorHandler(&IgnoreXError);
    XWindowAttributes attrs;
    XImage* img = nullptr;
    if (XGetWindowAttributes(dpy, info.info.x11.window, &attrs) && attrs.map_state == IsViewable)
        img = XGetImage(dpy, info.info.x11.window, 0, 0, unsigned(attrs.width), unsigned(attrs.height), AllPlanes, ZPixmap);
    XSync(dpy, False);
    XSetErrorHandler(previous);
    if (!img)
        return false;
    width = attrs.width;
    height = attrs.height;
    pixels.resize(std::size_t(width) * std::size_t(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned long p = XGetPixel(img, x, y);
            const auto channel = [&](unsigned long mask) {
                if (!mask)
                    return 0u;
                int shift = 0;
                while (!((mask >> shift) & 1))
                    ++shift;
                const unsigned long max = mask >> shift;
                return unsigned(((p & mask) >> shift) * 255 / max);
            };
            pixels[std::size_t(y) * width + x] = 0xFF000000u | (channel(img->red_mask) << 16) | (channel(img->green_mask) << 8) | channel(img->blue_mask);
        }
    XDestroyImage(img);
    return true;
}

const char* InitWindowSystem()
{
    static std::unique_ptr<IWindowBackend> backend;
    const char* want = std::getenv("QT_WINDOW_BACKEND");
    if (!backend && !(want && std::string(want) == "headless"))
        backend = CreateSdlBackend();
    SetWindowBackend(backend.get());
    InstallMessageLoopHooks();
    return GetWindowBackend().GetName();
}
