#include "platform/vcl/HintWindow.h"

#include "platform/gdi/DrawText.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"

THintWindowClass HintWindowClass = [](TComponent* AOwner) { return new THintWindow(AOwner); };

QT_PUBLISHED(THintWindow)

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner)
{
    m_visible = false;
    m_parentColor = false;
    m_parentFont = false;
    m_color = clInfoBk;
    GetBrush()->SetColor(m_color);
    GetFont()->SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    Params.WndParent = nullptr;
}

bool THintWindow::IsWindowVisibleNow() const
{
    return IsWindowVisible(m_handle);
}

TRect THintWindow::CalcHintRect(int MaxWidth, const String& AHint, void*)
{
    HDC dc = CreateCompatibleDC(nullptr);
    RECT r { 0, 0, std::max(1, MaxWidth), 0 };
    if (dc) {
        HGDIOBJ old = SelectObject(dc, GetFont()->GetHandle());
        DrawText(dc, AHint.c_str(), int(AHint.size()), &r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    // Room for the border and the text margin on each side.
    const int extra = 2 * (TextMargin + GetSystemMetrics(SM_CXBORDER));
    return { 0, 0, r.Width() + extra + 4, r.Height() + extra };
}

void THintWindow::ActivateHint(TRect Rect, const String& AHint)
{
    ActivateHintData(Rect, AHint, nullptr);
}

void THintWindow::ActivateHintData(TRect Rect, const String& AHint, void*)
{
    SetCaption(AHint);
    // Keep the window on the screen.
    const TRect screen { 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) };
    if (Rect.Right > screen.Right)
        Rect = { screen.Right - Rect.Width(), Rect.Top, screen.Right, Rect.Bottom };
    if (Rect.Bottom > screen.Bottom)
        Rect = { Rect.Left, Rect.Top - Rect.Height() - 24, Rect.Right, Rect.Top - 24 };
    if (Rect.Left < 0)
        Rect = { 0, Rect.Top, Rect.Width(), Rect.Bottom };
    if (Rect.Top < 0)
        Rect = { Rect.Left, 0, Rect.Right, Rect.Height() };
    HandleNeeded();
    SetWindowPos(m_handle, HWND_TOPMOST, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(),
        SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateBoundsFromWindow();
    m_visible = true;
    Invalidate();
}

void THintWindow::ReleaseHandle()
{
    m_visible = false;
    if (m_handle)
        DestroyHandle();
}

void THintWindow::Paint()
{
    TCanvas* c = GetCanvas();
    TRect r = GetClientRect();
    c->GetBrush()->SetColor(m_color);
    c->FillRect(r);
    c->GetFont()->Assign(GetFont());
    r = { r.Left + TextMargin, r.Top + TextMargin, r.Right - TextMargin, r.Bottom - TextMargin };
    String text = GetCaption();
    c->GetBrush()->SetStyle(bsClear);
    c->TextRect(r, text, { tfLeft, tfWordBreak, tfNoPrefix });
}
