#pragma once
// The web view on screen: a child window of the parent that shows the page
// from screencast frames and forwards mouse, wheel, keyboard and text input
// to it as protocol input events. Used inside this layer only.

#include <functional>
#include <memory>
#include <string>

#include "platform/web/DevToolsConnection.h"
#include "platform/win/WinUser.h"

namespace webview {

class WebViewWindow {
public:
    struct Callbacks {
        // Sends an input command to the page.
        std::function<void(const std::string& method, Json params)> SendInput;
        // A key the program may take before the page: answers true when it did.
        std::function<bool(UINT message, WORD virtualKey)> AcceleratorKey;
        std::function<void(bool focused)> FocusChanged;
        // The window is being painted, so it shows on screen.
        std::function<void()> Painted;
    };

    WebViewWindow(HWND parent, const TRect& bounds, bool visible, Callbacks callbacks);
    ~WebViewWindow();
    WebViewWindow(const WebViewWindow&) = delete;
    WebViewWindow& operator=(const WebViewWindow&) = delete;

    HWND Handle() const { return m_hwnd; }
    void SetParent(HWND parent);
    void SetBounds(const TRect& bounds);
    void SetVisible(bool visible);
    // Shows a PNG frame (base64 text as the protocol sends it).
    void ShowFrame(const std::string& base64Png);
    bool HasFrame() const;

    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

private:
    void Paint();
    void ForwardMouse(UINT msg, WPARAM wParam, LPARAM lParam);
    void ForwardWheel(WPARAM wParam, LPARAM lParam, bool horizontal);
    void ForwardKey(UINT msg, WPARAM wParam, LPARAM lParam);
    void ForwardChar(WPARAM wParam);
    int Modifiers() const;

    HWND m_hwnd { nullptr };
    Callbacks m_callbacks;
    struct Frame;
    std::unique_ptr<Frame> m_frame;
    char16_t m_highSurrogate { 0 };
    int m_buttonsDown { 0 };
};

} // namespace webview
