#include "platform/vcl/Controls.h"

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Themes.h"
#include "platform/vcl/ControlsInternal.h"
#include "platform/win/Input.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"

// ---- TScrollingWinControl ----

QT_PUBLISHED(TControlScrollBar, QT_PROP(Position), QT_PROP(Range), QT_PROP(Visible), QT_PROP(Increment))

bool TControlScrollBar::IsScrollBarVisible() const
{
    if (!m_visible || !m_control)
        return false;
    const int page = m_horizontal ? m_control->GetClientWidth() : m_control->GetClientHeight();
    return m_range > page;
}

void TControlScrollBar::SetPosition(int v)
{
    if (!m_control)
        return;
    const int page = m_horizontal ? m_control->GetClientWidth() : m_control->GetClientHeight();
    v = std::clamp(v, 0, std::max(0, m_range - page));
    if (v == m_position)
        return;
    const int delta = m_position - v;
    m_position = v;
    if (m_horizontal)
        m_control->ScrollBy(delta, 0);
    else
        m_control->ScrollBy(0, delta);
    m_control->UpdateScrollBars();
}

void TControlScrollBar::SetRange(int v)
{
    m_range = std::max(0, v);
    if (m_control)
        m_control->UpdateScrollBars();
}

void TControlScrollBar::SetVisible(bool v)
{
    m_visible = v;
    if (m_control)
        m_control->UpdateScrollBars();
}

QT_PUBLISHED(TScrollingWinControl, QT_PROP(AutoScroll), QT_PROP_RO(HorzScrollBar), QT_PROP_RO(VertScrollBar))

TScrollingWinControl::TScrollingWinControl(TComponent* AOwner)
    : TWinControl(AOwner)
    , m_horz(std::make_unique<TControlScrollBar>(this, true))
    , m_vert(std::make_unique<TControlScrollBar>(this, false))
{
    m_controlStyle.Include(csAcceptsControls);
}

TScrollingWinControl::~TScrollingWinControl() = default;

void TScrollingWinControl::SetAutoScroll(bool v)
{
    if (v == m_autoScroll)
        return;
    m_autoScroll = v;
    UpdateScrollBars();
}

void TScrollingWinControl::AdjustClientRect(TRect& Rect)
{
    Rect.Left -= m_horz->ScrollPos();
    Rect.Top -= m_vert->ScrollPos();
    Rect.Right -= m_horz->ScrollPos();
    Rect.Bottom -= m_vert->ScrollPos();
    TWinControl::AdjustClientRect(Rect);
}

void TScrollingWinControl::AlignControls(TControl* AControl, TRect& Rect)
{
    TWinControl::AlignControls(AControl, Rect);
    UpdateScrollBars();
}

void TScrollingWinControl::UpdateScrollBars()
{
    if (m_updatingScroll)
        return;
    m_updatingScroll = true;
    struct Reset { bool& f; ~Reset() { f = false; } } reset { m_updatingScroll };
    if (m_autoScroll) {
        int right = 0, bottom = 0;
        for (TControl* c : m_controls) {
            if (!c->GetVisible())
                continue;
            if (c->GetAlign() == alNone || c->GetAlign() == alLeft || c->GetAlign() == alCustom)
                right = std::max(right, c->GetLeft() + c->GetWidth() + m_horz->ScrollPos());
            if (c->GetAlign() == alNone || c->GetAlign() == alTop || c->GetAlign() == alCustom)
                bottom = std::max(bottom, c->GetTop() + c->GetHeight() + m_vert->ScrollPos());
        }
        m_horz->m_range = right;
        m_vert->m_range = bottom;
    }
    // A position beyond the new range scrolls back.
    for (TControlScrollBar* bar : { m_horz.get(), m_vert.get() }) {
        const int page = bar->m_horizontal ? GetClientWidth() : GetClientHeight();
        const int maxPos = bar->IsScrollBarVisible() ? std::max(0, bar->m_range - page) : 0;
        if (bar->m_position > maxPos) {
            const int delta = bar->m_position - maxPos;
            bar->m_position = maxPos;
            if (bar->m_horizontal)
                ScrollBy(delta, 0);
            else
                ScrollBy(0, delta);
        }
    }
    if (m_handle) {
        LONG s = GetWindowLong(m_handle, GWL_STYLE);
        LONG want = s & ~LONG(WS_HSCROLL | WS_VSCROLL);
        if (m_horz->IsScrollBarVisible()) want |= LONG(WS_HSCROLL);
        if (m_vert->IsScrollBarVisible()) want |= LONG(WS_VSCROLL);
        if (want != s) {
            SetWindowLong(m_handle, GWL_STYLE, want);
            SetWindowPos(m_handle, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        }
    }
}

void TScrollingWinControl::ScrollBy(int DeltaX, int DeltaY)
{
    if (DeltaX == 0 && DeltaY == 0)
        return;
    DisableAlign();
    for (TControl* c : std::vector<TControl*>(m_controls))
        c->SetBoundsByAlign(c->GetLeft() + DeltaX, c->GetTop() + DeltaY, c->GetWidth(), c->GetHeight());
    --m_alignLevel; // no realign: the children moved on purpose
    for (TControl* c : m_controls)
        c->UpdateAnchorRules();
    Invalidate();
}

void TScrollingWinControl::ScrollInView(TControl* AControl)
{
    if (!AControl || !ContainsControl(AControl))
        return;
    TRect r = AControl->GetBoundsRect();
    if (AControl->GetParent() != this) {
        const TPoint tl = AControl->ClientToParent({ 0, 0 }, this);
        r = { tl.X, tl.Y, tl.X + AControl->GetWidth(), tl.Y + AControl->GetHeight() };
    }
    const TRect client = GetClientRect();
    if (r.Left < 0)
        m_horz->SetPosition(m_horz->m_position + r.Left);
    else if (r.Right > client.Right)
        m_horz->SetPosition(m_horz->m_position + std::min(r.Right - client.Right, r.Left));
    if (r.Top < 0)
        m_vert->SetPosition(m_vert->m_position + r.Top);
    else if (r.Bottom > client.Bottom)
        m_vert->SetPosition(m_vert->m_position + std::min(r.Bottom - client.Bottom, r.Top));
}

void TScrollingWinControl::WMScrollBar(TMessage& Message, bool Horizontal)
{
    TControlScrollBar& bar = Horizontal ? *m_horz : *m_vert;
    const int page = Horizontal ? GetClientWidth() : GetClientHeight();
    int pos = bar.m_position;
    switch (LOWORD(Message.WParam)) {
    case 0: pos -= bar.m_increment; break; // SB_LINEUP
    case 1: pos += bar.m_increment; break; // SB_LINEDOWN
    case 2: pos -= page; break;            // SB_PAGEUP
    case 3: pos += page; break;            // SB_PAGEDOWN
    case 4: case 5: pos = HIWORD(Message.WParam); break; // SB_THUMBPOSITION, SB_THUMBTRACK
    case 6: pos = 0; break;                // SB_TOP
    case 7: pos = bar.m_range; break;      // SB_BOTTOM
    default: break;
    }
    bar.SetPosition(pos);
    Message.Result = 0;
}

void TScrollingWinControl::Dispatch(TMessage& Message)
{
    if ((Message.Msg == WM_HSCROLL || Message.Msg == WM_VSCROLL) && Message.LParam == 0) {
        WMScrollBar(Message, Message.Msg == WM_HSCROLL);
        return;
    }
    TWinControl::Dispatch(Message);
}
