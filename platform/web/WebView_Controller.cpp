#include "platform/web/WebView.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <unistd.h>

#include "platform/rtl/MainThread.h"
#include "platform/web/DevToolsConnection.h"
#include "platform/web/WebViewInternal.h"
#include "platform/web/WebViewWindow.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

namespace webview {

// ---------------------------------------------------------------- CoreWebView2Controller

CoreWebView2Controller::CoreWebView2Controller() = default;

CoreWebView2Controller::~CoreWebView2Controller() { Close(); }

void CoreWebView2Controller::SetIsVisible(bool visible)
{
    m_visible = visible;
    if (m_window)
        m_window->SetVisible(visible && m_parent);
    ShowOnScreen();
}

void CoreWebView2Controller::SetBounds(const TRect& bounds)
{
    m_bounds = bounds;
    if (m_window)
        m_window->SetBounds(bounds);
    if (!m_webView)
        return;
    auto& impl = *m_webView->m_impl;
    const bool resized = impl.Width != bounds.Width() || impl.Height != bounds.Height();
    impl.Width = bounds.Width();
    impl.Height = bounds.Height();
    if (!impl.IsAttached() || !resized)
        return;
    impl.ApplyViewport();
    // The page may not paint again on its own: show it at the new size now.
    impl.RequestFreshFrame();
}

void CoreWebView2Controller::SetParentWindow(HWND parent)
{
    m_parent = parent && IsWindow(parent) ? parent : nullptr;
    if (!m_window && m_parent && m_webView)
        CreateWindowIn(m_parent);
    else if (m_window && m_parent)
        m_window->SetParent(m_parent);
    if (m_window)
        m_window->SetVisible(m_visible && m_parent);
    ShowOnScreen();
}

HWND CoreWebView2Controller::GetWindow() const { return m_window ? m_window->Handle() : nullptr; }

void CoreWebView2Controller::CreateWindowIn(HWND parent)
{
    WebViewWindow::Callbacks callbacks;
    std::weak_ptr<CoreWebView2> weak = m_webView;
    callbacks.SendInput = [weak](const std::string& method, Json params) {
        if (auto view = weak.lock(); view && view->m_impl->IsAttached())
            view->m_impl->Send(method, std::move(params));
    };
    // The window lives inside this controller, so `this` outlives it.
    callbacks.AcceleratorKey = [this](UINT msg, WORD vk) {
        bool system = msg == WM_SYSKEYDOWN || msg == WM_SYSKEYUP;
        bool modifierKey = vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU;
        bool functionKey = vk >= VK_F1 && vk < VK_F1 + 24;
        bool accelerator = !modifierKey && (system || functionKey || vk == VK_ESCAPE || GetKeyState(VK_CONTROL) < 0);
        if (!accelerator)
            return false;
        AcceleratorKeyPressedEventArgs args;
        args.Kind = msg == WM_KEYDOWN ? KeyEventKind::KeyDown
            : msg == WM_KEYUP         ? KeyEventKind::KeyUp
            : msg == WM_SYSKEYDOWN    ? KeyEventKind::SystemKeyDown
                                      : KeyEventKind::SystemKeyUp;
        args.VirtualKey = vk;
        AcceleratorKeyPressed.Raise(*this, args);
        return args.Handled;
    };
    callbacks.FocusChanged = [this](bool focused) {
        if (focused)
            GotFocus.Raise(*this);
        else
            LostFocus.Raise(*this);
    };
    // Frames are asked for only while the window shows: a window that
    // becomes visible with a hidden ancestor learns it from its first paint.
    callbacks.Painted = [weak] {
        if (auto view = weak.lock())
            view->m_impl->UpdateScreencast();
    };
    m_window = std::make_unique<WebViewWindow>(parent, m_bounds, m_visible, std::move(callbacks));
    m_webView->m_impl->Window = m_window.get();
}

void CoreWebView2Controller::ShowOnScreen()
{
    if (!m_webView)
        return;
    auto& impl = *m_webView->m_impl;
    impl.WantScreencast = m_window && m_parent && m_visible;
    impl.UpdateScreencast();
}

void CoreWebView2Controller::Close()
{
    if (m_webView) {
        m_webView->m_impl->Window = nullptr;
        m_webView->m_impl->Close();
    }
    m_window.reset();
}

} // namespace webview
