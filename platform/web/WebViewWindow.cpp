#include "platform/web/WebViewWindow.h"

#include <cairo.h>
#include <cstring>

#include "platform/rtl/Base64.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

namespace webview {

namespace {

const char16_t* const ClassName = u"QuarrytideWebView";

LRESULT WebViewWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<WebViewWindow*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
    if (self)
        return self->HandleMessage(msg, wParam, lParam);
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

void EnsureClass()
{
    WNDCLASSEX existing;
    if (GetClassInfoEx(ClassName, existing))
        return;
    WNDCLASSEX wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = WebViewWndProc;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = ClassName;
    RegisterClassEx(wc);
}

struct PngReader {
    const TBytes* Bytes;
    std::size_t Offset { 0 };
    static cairo_status_t Read(void* closure, unsigned char* data, unsigned int length)
    {
        auto* r = static_cast<PngReader*>(closure);
        if (r->Offset + length > r->Bytes->size())
            return CAIRO_STATUS_READ_ERROR;
        std::memcpy(data, r->Bytes->data() + r->Offset, length);
        r->Offset += length;
        return CAIRO_STATUS_SUCCESS;
    }
};

// DOM key names of the keys whose action the page takes from the key itself.
const char* KeyName(WORD vk)
{
    switch (vk) {
    case VK_BACK: return "Backspace";
    case VK_TAB: return "Tab";
    case VK_RETURN: return "Enter";
    case VK_ESCAPE: return "Escape";
    case VK_PRIOR: return "PageUp";
    case VK_NEXT: return "PageDown";
    case VK_END: return "End";
    case VK_HOME: return "Home";
    case VK_LEFT: return "ArrowLeft";
    case VK_UP: return "ArrowUp";
    case VK_RIGHT: return "ArrowRight";
    case VK_DOWN: return "ArrowDown";
    case VK_DELETE: return "Delete";
    case VK_INSERT: return "Insert";
    case VK_SHIFT: return "Shift";
    case VK_CONTROL: return "Control";
    case VK_MENU: return "Alt";
    default: return nullptr;
    }
}

} // namespace

struct WebViewWindow::Frame {
    cairo_surface_t* Surface { nullptr };
    ~Frame()
    {
        if (Surface)
            cairo_surface_destroy(Surface);
    }
};

WebViewWindow::WebViewWindow(HWND parent, const TRect& bounds, bool visible, Callbacks callbacks)
    : m_callbacks(std::move(callbacks))
{
    EnsureClass();
    m_hwnd = CreateWindowEx(0, ClassName, u"", WS_CHILD | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0), bounds.Left,
        bounds.Top, bounds.Width(), bounds.Height(), parent, nullptr, nullptr, nullptr);
    if (m_hwnd)
        SetWindowLongPtr(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

WebViewWindow::~WebViewWindow()
{
    if (m_hwnd && IsWindow(m_hwnd)) {
        SetWindowLongPtr(m_hwnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hwnd);
    }
}

void WebViewWindow::SetParent(HWND parent)
{
    if (m_hwnd)
        ::SetParent(m_hwnd, parent);
}

void WebViewWindow::SetBounds(const TRect& bounds)
{
    if (m_hwnd)
        MoveWindow(m_hwnd, bounds.Left, bounds.Top, bounds.Width(), bounds.Height(), true);
}

void WebViewWindow::SetVisible(bool visible)
{
    if (m_hwnd)
        ShowWindow(m_hwnd, visible ? SW_SHOW : SW_HIDE);
}

bool WebViewWindow::HasFrame() const { return m_frame != nullptr; }

void WebViewWindow::ShowFrame(const std::string& base64Png)
{
    const TBytes bytes = Base64DecodeTolerant(base64Png);
    PngReader reader { &bytes };
    cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(&PngReader::Read, &reader);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return;
    }
    m_frame = std::make_unique<Frame>();
    m_frame->Surface = surface;
    if (m_hwnd)
        InvalidateRect(m_hwnd, nullptr, false);
}

LRESULT WebViewWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT:
        Paint();
        if (m_callbacks.Painted)
            m_callbacks.Painted();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        ForwardMouse(msg, wParam, lParam);
        return 0;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
        ForwardWheel(wParam, lParam, msg == WM_MOUSEHWHEEL);
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        ForwardKey(msg, wParam, lParam);
        return 0;
    case WM_CHAR:
        ForwardChar(wParam);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (m_callbacks.FocusChanged)
            m_callbacks.FocusChanged(msg == WM_SETFOCUS);
        return 0;
    case WM_DESTROY:
        m_hwnd = nullptr;
        break;
    }
    return DefWindowProc(m_hwnd, msg, wParam, lParam);
}

void WebViewWindow::Paint()
{
    TRegion update = GetUpdateRegion(m_hwnd);
    PAINTSTRUCT ps;
    BeginPaint(m_hwnd, ps);
    TPaintTarget target = GetPaintTarget(m_hwnd, true);
    if (target.Buffer.Data && !update.IsEmpty()) {
        update.Offset(target.Origin.X, target.Origin.Y);
        TRegion clip = target.Clip.Intersect(update);
        cairo_surface_t* buffer = cairo_image_surface_create_for_data(target.Buffer.Data, CAIRO_FORMAT_ARGB32,
            target.Buffer.Width, target.Buffer.Height, target.Buffer.Stride);
        cairo_t* cr = cairo_create(buffer);
        for (const TRect& r : clip.Rects())
            cairo_rectangle(cr, r.Left, r.Top, r.Width(), r.Height());
        cairo_clip(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        // White until the first frame (and beyond a smaller one).
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
        if (m_frame) {
            // Until a frame of the window's new size arrives, the last one
            // is stretched over the window rather than leaving it blank.
            const int frameWidth = cairo_image_surface_get_width(m_frame->Surface);
            const int frameHeight = cairo_image_surface_get_height(m_frame->Surface);
            RECT client;
            GetClientRect(m_hwnd, client);
            cairo_translate(cr, target.Origin.X, target.Origin.Y);
            if (frameWidth > 0 && frameHeight > 0 && client.Width() > 0 && client.Height() > 0
                && (frameWidth != client.Width() || frameHeight != client.Height()))
                cairo_scale(cr, double(client.Width()) / frameWidth, double(client.Height()) / frameHeight);
            cairo_set_source_surface(cr, m_frame->Surface, 0, 0);
            cairo_paint(cr);
        }
        cairo_destroy(cr);
        cairo_surface_flush(buffer);
        cairo_surface_destroy(buffer);
    }
    EndPaint(m_hwnd, ps);
}

int WebViewWindow::Modifiers() const
{
    int m = 0;
    if (GetKeyState(VK_MENU) < 0)
        m |= 1;
    if (GetKeyState(VK_CONTROL) < 0)
        m |= 2;
    if (GetKeyState(VK_SHIFT) < 0)
        m |= 8;
    return m;
}

void WebViewWindow::ForwardMouse(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!m_callbacks.SendInput)
        return;
    std::string type = "mouseMoved";
    std::string button = "none";
    int clicks = 0;
    switch (msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: type = "mousePressed"; button = "left"; break;
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: type = "mousePressed"; button = "right"; break;
    case WM_MBUTTONDOWN: type = "mousePressed"; button = "middle"; break;
    case WM_LBUTTONUP: type = "mouseReleased"; button = "left"; break;
    case WM_RBUTTONUP: type = "mouseReleased"; button = "right"; break;
    case WM_MBUTTONUP: type = "mouseReleased"; button = "middle"; break;
    default: break;
    }
    if (type != "mouseMoved")
        clicks = (msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK) ? 2 : 1;
    if (type == "mousePressed") {
        SetFocus(m_hwnd);
        if (m_buttonsDown++ == 0)
            SetCapture(m_hwnd);
    } else if (type == "mouseReleased" && m_buttonsDown > 0 && --m_buttonsDown == 0) {
        ReleaseCapture();
    }
    int buttons = ((wParam & MK_LBUTTON) ? 1 : 0) | ((wParam & MK_RBUTTON) ? 2 : 0) | ((wParam & MK_MBUTTON) ? 4 : 0);
    if (type == "mouseMoved" && buttons)
        button = (buttons & 1) ? "left" : (buttons & 2) ? "right" : "middle";
    Json params = { { "type", type }, { "x", GET_X_LPARAM(lParam) }, { "y", GET_Y_LPARAM(lParam) },
        { "button", button }, { "buttons", buttons }, { "clickCount", clicks }, { "modifiers", Modifiers() } };
    m_callbacks.SendInput("Input.dispatchMouseEvent", std::move(params));
}

void WebViewWindow::ForwardWheel(WPARAM wParam, LPARAM lParam, bool horizontal)
{
    if (!m_callbacks.SendInput)
        return;
    POINT p { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) };
    ScreenToClient(m_hwnd, p);
    // One notch (120) scrolls about 100 pixels; a wheel turned away from the
    // user scrolls up.
    double delta = -GET_WHEEL_DELTA_WPARAM(wParam) * 100.0 / 120.0;
    Json params = { { "type", "mouseWheel" }, { "x", p.X }, { "y", p.Y }, { "deltaX", horizontal ? -delta : 0.0 },
        { "deltaY", horizontal ? 0.0 : delta }, { "modifiers", Modifiers() } };
    m_callbacks.SendInput("Input.dispatchMouseEvent", std::move(params));
}

void WebViewWindow::ForwardKey(UINT msg, WPARAM wParam, LPARAM)
{
    WORD vk = WORD(wParam);
    if (m_callbacks.AcceleratorKey && m_callbacks.AcceleratorKey(msg, vk))
        return;
    if (!m_callbacks.SendInput)
        return;
    bool down = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
    Json params = { { "type", down ? "rawKeyDown" : "keyUp" }, { "windowsVirtualKeyCode", vk },
        { "nativeVirtualKeyCode", vk }, { "modifiers", Modifiers() } };
    if (const char* key = KeyName(vk))
        params["key"] = key;
    m_callbacks.SendInput("Input.dispatchKeyEvent", std::move(params));
}

void WebViewWindow::ForwardChar(WPARAM wParam)
{
    char16_t c = char16_t(wParam);
    if (IsHighSurrogate(c)) {
        m_highSurrogate = c;
        return;
    }
    String text;
    if (IsLowSurrogate(c)) {
        if (!m_highSurrogate)
            return;
        text = { m_highSurrogate, c };
    } else if (c == u'\r' || c >= 0x20) {
        // Other control characters come with their key already.
        text = { c };
    }
    m_highSurrogate = 0;
    if (text.empty() || !m_callbacks.SendInput)
        return;
    std::string utf8 = StringToUtf8(text);
    m_callbacks.SendInput("Input.dispatchKeyEvent",
        Json { { "type", "char" }, { "text", utf8 }, { "unmodifiedText", utf8 }, { "modifiers", Modifiers() } });
}

} // namespace webview
