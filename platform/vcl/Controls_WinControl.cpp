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

// ---- TWinControl ----

QT_PUBLISHED(TWinControl, QT_PROP(TabStop), QT_PROP_T(TabOrder, u"TTabOrder"), QT_PROP(DoubleBuffered),
    QT_PROP(ParentDoubleBuffered), QT_PROP_T(BorderWidth, u"TBorderWidth"), QT_PROP(Ctl3D), QT_PROP(ParentCtl3D),
    QT_PROP(Padding), QT_PROP(BevelEdges), QT_PROP(BevelKind), QT_EVENT_T(OnKeyDown, u"TKeyEvent"), QT_EVENT_T(OnKeyPress, u"TKeyPressEvent"),
    QT_EVENT_T(OnKeyUp, u"TKeyEvent"), QT_EVENT(OnEnter), QT_EVENT(OnExit))

TWinControl::TWinControl(TComponent* AOwner)
    : TControl(AOwner), m_padding(std::make_unique<TPadding>(this)), m_brush(std::make_unique<TBrush>())
{
    m_padding->OnChange = [this](TObject*) { Realign(); };
    m_brush->SetColor(m_color);
}

TWinControl::~TWinControl()
{
    Destroying();
    // Leave the parent while this is still a windowed control, so the
    // parent forgets it as one (tab order, focus).
    if (m_parent)
        m_parent->RemoveControl(this);
    // Children this control does not own still refer to it as parent.
    while (!m_controls.empty())
        m_controls.back()->SetParent(nullptr);
    if (m_handle)
        DestroyHandle();
}

TWinControl* TWinControl::FindControl(HWND h)
{
    auto& map = ControlsByWindow();
    auto it = map.find(h);
    return it == map.end() ? nullptr : it->second;
}

LRESULT ControlWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto& map = ControlsByWindow();
    TWinControl* c = TWinControl::FindControl(hwnd);
    if (!c && g_creating) {
        c = g_creating;
        c->m_handle = hwnd;
        map[hwnd] = c;
    }
    if (!c)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    TMessage m { msg, wParam, lParam, 0 };
    try {
        c->WindowProc(m);
    } catch (...) {
        ReportException();
    }
    if (msg == WM_NCDESTROY) {
        map.erase(hwnd);
        if (TWinControl* still = TWinControl::FindControl(hwnd); !still && c->m_handle == hwnd)
            c->m_handle = nullptr;
    }
    return m.Result;
}

HWND TWinControl::GetHandle()
{
    HandleNeeded();
    return m_handle;
}

void TWinControl::HandleNeeded()
{
    if (m_handle)
        return;
    if (m_parent)
        m_parent->HandleNeeded();
    if (!m_handle)
        CreateHandle();
}

void TWinControl::CreateHandle()
{
    if (m_handle)
        return;
    CreateWnd();
    if (!m_handle)
        return;
    for (TControl* c : std::vector<TControl*>(m_controls))
        if (c->IsWindowed())
            static_cast<TWinControl*>(c)->CreateHandle();
    // Windows stack in the order the children were inserted.
    for (TControl* c : m_controls)
        if (c->IsWindowed() && static_cast<TWinControl*>(c)->m_handle)
            SetWindowPos(static_cast<TWinControl*>(c)->m_handle, HWND_TOP, 0, 0, 0, 0,
                SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Realign();
}

void TWinControl::CreateParams(TCreateParams& Params)
{
    Params = {};
    Params.Caption = m_text;
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (m_visible)
        Params.Style |= WS_VISIBLE;
    if (!m_enabled)
        Params.Style |= WS_DISABLED;
    if (m_tabStop)
        Params.Style |= WS_TABSTOP;
    Params.X = m_left;
    Params.Y = m_top;
    Params.Width = m_width;
    Params.Height = m_height;
    Params.WndParent = m_parent ? m_parent->m_handle : m_parentWindow;
    Params.WinClassName = ClassName();
}

void TWinControl::CreateWnd()
{
    TCreateParams params;
    CreateParams(params);
    if ((params.Style & WS_CHILD) && !params.WndParent)
        throw EInvalidOperation(u"Control '" + GetName() + u"' has no parent window");
    WNDCLASSEX existing;
    if (!GetClassInfoEx(params.WinClassName, existing)) {
        WNDCLASSEX wc;
        wc.style = params.WindowClassStyle;
        wc.lpfnWndProc = &ControlWindowProc;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = params.WinClassName;
        RegisterClassEx(wc);
    }
    CreateWindowHandle(params);
    if (!m_handle)
        throw EOSError(u"Error creating window");
    if (m_text != params.Caption)
        SetWindowText(m_handle, m_text);
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params)
{
    TWinControl* prev = g_creating;
    g_creating = this;
    struct Restore { TWinControl* p; ~Restore() { g_creating = p; } } restore { prev };
    HWND h = CreateWindowEx(Params.ExStyle, Params.WinClassName, Params.Caption, Params.Style, Params.X, Params.Y,
        Params.Width, Params.Height, Params.WndParent, nullptr, nullptr, Params.Param);
    if (h && !m_handle) {
        m_handle = h;
        ControlsByWindow()[h] = this;
    }
}

void TWinControl::DestroyHandle()
{
    if (!m_handle)
        return;
    for (TControl* c : m_controls)
        if (c->IsWindowed())
            static_cast<TWinControl*>(c)->DestroyHandle();
    DestroyWnd();
}

void TWinControl::DestroyWnd()
{
    // Keep the text: the next window starts from it.
    if (m_handle)
        m_text = ::GetWindowText(m_handle);
    DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle()
{
    m_controlState.Include(csDestroyingHandle);
    HWND h = m_handle;
    if (h) {
        DestroyWindow(h);
        ControlsByWindow().erase(h);
    }
    m_handle = nullptr;
    m_controlState.Exclude(csDestroyingHandle);
}

void TWinControl::RecreateWnd()
{
    if (!m_handle)
        return;
    const bool hadFocus = Focused();
    m_controlState.Include(csRecreating);
    DestroyHandle();
    HandleNeeded();
    m_controlState.Exclude(csRecreating);
    if (hadFocus && m_handle)
        ::SetFocus(m_handle);
}

void TWinControl::InsertControl(TControl* c)
{
    c->m_parent = this;
    m_controls.push_back(c);
    if (c->IsWindowed()) {
        auto* w = static_cast<TWinControl*>(c);
        m_tabList.push_back(w);
        if (m_handle) {
            if (w->m_handle)
                ::SetParent(w->m_handle, m_handle);
            else
                w->CreateHandle();
        }
    }
    c->Perform(CM_PARENTCOLORCHANGED);
    c->Perform(CM_PARENTFONTCHANGED);
    c->Perform(CM_PARENTSHOWHINTCHANGED);
    c->Perform(CM_PARENTBIDIMODECHANGED);
    c->UpdateAnchorRules();
    if (c->IsWindowed() && !m_handle && static_cast<TWinControl*>(c)->m_handle)
        static_cast<TWinControl*>(c)->DestroyHandle();
    c->Invalidate();
    Realign();
}

void TWinControl::RemoveControl(TControl* c)
{
    if (c->m_parent != this)
        return;
    c->Invalidate();
    if (c->IsWindowed()) {
        auto* w = static_cast<TWinControl*>(c);
        if (TCustomForm* f = GetParentForm(this))
            f->ControlRemoved(w);
        m_tabList.erase(std::remove(m_tabList.begin(), m_tabList.end(), w), m_tabList.end());
        if (w->m_handle && !GetComponentState().Contains(csDestroying))
            w->DestroyHandle();
    } else if (TCustomForm* f = GetParentForm(this)) {
        f->ControlRemoved(c);
    }
    if (g_captureControl == c)
        SetCaptureControl(nullptr);
    m_controls.erase(std::remove(m_controls.begin(), m_controls.end(), c), m_controls.end());
    c->m_parent = nullptr;
    Realign();
}

void TWinControl::SetTabStop(bool v)
{
    if (v == m_tabStop)
        return;
    m_tabStop = v;
    if (m_handle) {
        LONG s = GetWindowLong(m_handle, GWL_STYLE);
        SetWindowLong(m_handle, GWL_STYLE, v ? (s | LONG(WS_TABSTOP)) : (s & ~LONG(WS_TABSTOP)));
    }
    Perform(CM_TABSTOPCHANGED);
}

int TWinControl::GetTabOrder() const
{
    if (!m_parent)
        return -1;
    const auto& l = m_parent->m_tabList;
    auto it = std::find(l.begin(), l.end(), this);
    return it == l.end() ? -1 : int(it - l.begin());
}

void TWinControl::SetTabOrder(int v)
{
    if (!m_parent)
        return;
    auto& l = m_parent->m_tabList;
    l.erase(std::remove(l.begin(), l.end(), this), l.end());
    v = std::clamp(v, 0, int(l.size()));
    l.insert(l.begin() + v, this);
}

bool TWinControl::CanFocus() const
{
    const TCustomForm* form = GetParentForm(const_cast<TWinControl*>(this));
    for (const TControl* c = this; c && c != form; c = c->m_parent)
        if (!c->m_visible || !c->m_enabled)
            return false;
    if (form && !form->GetEnabled())
        return false;
    return true;
}

void TWinControl::SetFocus()
{
    if (TCustomForm* form = GetParentForm(this))
        form->FocusControl(this);
    else if (m_parentWindow || !m_parent)
        ::SetFocus(GetHandle());
}

bool TWinControl::Focused() const
{
    return m_handle && GetFocus() == m_handle;
}

bool TWinControl::ContainsControl(const TControl* c) const
{
    for (; c; c = c->m_parent)
        if (c == this)
            return true;
    return false;
}

TControl* TWinControl::ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls, bool AllLevels)
{
    for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it) {
        TControl* c = *it;
        if (c->IsWindowed() && !AllowWinControls)
            continue;
        if (!c->m_visible || (!c->m_enabled && !AllowDisabled))
            continue;
        if (!c->GetBoundsRect().Contains(Pos))
            continue;
        const TPoint local { Pos.X - c->m_left, Pos.Y - c->m_top };
        if (c->Perform(CM_HITTEST, 0, LParamOf(local)) == 0)
            continue;
        if (AllLevels && c->IsWindowed())
            if (TControl* inner = static_cast<TWinControl*>(c)->ControlAtPos(local, AllowDisabled, true, true))
                return inner;
        return c;
    }
    return nullptr;
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const
{
    for (TWinControl* c : m_tabList) {
        List.push_back(c);
        c->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent)
{
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty())
        return nullptr;
    const int n = int(list.size());
    int start = -1;
    if (CurControl) {
        auto it = std::find(list.begin(), list.end(), CurControl);
        if (it != list.end())
            start = int(it - list.begin());
    }
    if (start < 0)
        start = GoForward ? n - 1 : 0;
    int i = start;
    for (int step = 0; step < n; ++step) {
        i = GoForward ? (i + 1) % n : (i - 1 + n) % n;
        TWinControl* c = list[std::size_t(i)];
        if (c == CurControl)
            break;
        if ((!CheckTabStop || c->m_tabStop) && (!CheckParent || c->m_parent == this) && c->CanFocus())
            return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop)
{
    if (TWinControl* c = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop))
        c->SetFocus();
}

void TWinControl::Broadcast(TMessage& Message)
{
    for (TControl* c : std::vector<TControl*>(m_controls)) {
        c->WindowProc(Message);
        if (Message.Result != 0)
            return;
    }
}

void TWinControl::NotifyControls(UINT Msg)
{
    TMessage m { Msg, 0, 0, 0 };
    for (TControl* c : std::vector<TControl*>(m_controls)) {
        m.Result = 0;
        c->WindowProc(m);
    }
}

void TWinControl::SetDoubleBuffered(bool v)
{
    if (v == m_doubleBuffered && !m_parentDoubleBuffered)
        return;
    m_doubleBuffered = v;
    m_parentDoubleBuffered = false;
    Perform(CM_DOUBLEBUFFEREDCHANGED);
}

void TWinControl::SetParentDoubleBuffered(bool v)
{
    if (v == m_parentDoubleBuffered)
        return;
    m_parentDoubleBuffered = v;
    if (v && m_parent)
        m_doubleBuffered = m_parent->m_doubleBuffered;
}

void TWinControl::SetBorderWidth(int v)
{
    v = std::max(0, v);
    if (v == m_borderWidth)
        return;
    m_borderWidth = v;
    Realign();
    Invalidate();
}

void TWinControl::SetCtl3D(bool v)
{
    if (v == m_ctl3D && !m_parentCtl3D)
        return;
    m_ctl3D = v;
    m_parentCtl3D = false;
    Perform(CM_CTL3DCHANGED);
}

TRect TWinControl::GetClientRect()
{
    if (m_handle) {
        RECT r;
        ::GetClientRect(m_handle, r);
        return r;
    }
    return { 0, 0, m_width, m_height };
}

TPoint TWinControl::GetClientOrigin() const
{
    if (m_handle) {
        POINT p { 0, 0 };
        ::ClientToScreen(m_handle, p);
        return p;
    }
    return TControl::GetClientOrigin();
}

void TWinControl::AdjustClientRect(TRect& Rect)
{
    Rect.Left += m_padding->GetLeft() + m_borderWidth;
    Rect.Top += m_padding->GetTop() + m_borderWidth;
    Rect.Right -= m_padding->GetRight() + m_borderWidth;
    Rect.Bottom -= m_padding->GetBottom() + m_borderWidth;
}

void TWinControl::AlignControls(TControl* AControl, TRect& Rect)
{
    AdjustClientRect(Rect);
    static constexpr TAlign order[] = { alTop, alBottom, alLeft, alRight, alClient, alCustom };
    for (TAlign a : order) {
        std::vector<TControl*> list;
        for (TControl* c : m_controls)
            if (c->m_align == a && c->m_visible)
                list.push_back(c);
        auto key = [a](const TControl* c) {
            switch (a) {
            case alTop: return c->m_top;
            case alBottom: return -(c->m_top + c->m_height);
            case alLeft: return c->m_left;
            case alRight: return -(c->m_left + c->m_width);
            default: return 0;
            }
        };
        // The control being moved wins ties, so dropping it onto a
        // neighbour's place puts it first.
        std::stable_sort(list.begin(), list.end(), [&](const TControl* x, const TControl* y) {
            const int kx = key(x), ky = key(y);
            if (kx != ky) return kx < ky;
            return x == AControl && y != AControl;
        });
        for (TControl* c : list) {
            const bool withMargins = c->m_alignWithMargins;
            const int ml = withMargins ? c->m_margins->GetLeft() : 0;
            const int mt = withMargins ? c->m_margins->GetTop() : 0;
            const int mr = withMargins ? c->m_margins->GetRight() : 0;
            const int mb = withMargins ? c->m_margins->GetBottom() : 0;
            int l = c->m_left, t = c->m_top, w = c->m_width, h = c->m_height;
            const int rw = std::max(0, Rect.Width() - ml - mr);
            const int rh = std::max(0, Rect.Height() - mt - mb);
            switch (a) {
            case alTop: l = Rect.Left + ml; t = Rect.Top + mt; w = rw; break;
            case alBottom: l = Rect.Left + ml; t = Rect.Bottom - mb - h; w = rw; break;
            case alLeft: l = Rect.Left + ml; t = Rect.Top + mt; h = rh; break;
            case alRight: l = Rect.Right - mr - w; t = Rect.Top + mt; h = rh; break;
            case alClient: l = Rect.Left + ml; t = Rect.Top + mt; w = rw; h = rh; break;
            case alCustom: CustomAlignPosition(c, l, t, w, h, Rect); break;
            default: break;
            }
            c->SetBoundsByAlign(l, t, w, h);
            // Constraints may have refused the size: take what the control got.
            switch (a) {
            case alTop: Rect.Top = std::min(Rect.Bottom, Rect.Top + c->m_height + mt + mb); break;
            case alBottom:
                if (c->m_top != Rect.Bottom - mb - c->m_height)
                    c->SetBoundsByAlign(c->m_left, Rect.Bottom - mb - c->m_height, c->m_width, c->m_height);
                Rect.Bottom = std::max(Rect.Top, Rect.Bottom - c->m_height - mt - mb);
                break;
            case alLeft: Rect.Left = std::min(Rect.Right, Rect.Left + c->m_width + ml + mr); break;
            case alRight:
                if (c->m_left != Rect.Right - mr - c->m_width)
                    c->SetBoundsByAlign(Rect.Right - mr - c->m_width, c->m_top, c->m_width, c->m_height);
                Rect.Right = std::max(Rect.Left, Rect.Right - c->m_width - ml - mr);
                break;
            default: break;
            }
        }
    }
}

void TWinControl::EnableAlign()
{
    if (m_alignLevel > 0 && --m_alignLevel == 0)
        Realign();
}

void TWinControl::Realign()
{
    if (m_alignLevel > 0 || m_realigning || GetComponentState().Contains(csDestroying)
        || GetComponentState().Contains(csLoading))
        return;
    m_realigning = true;
    struct Reset { bool& f; ~Reset() { f = false; } } reset { m_realigning };
    AlignChildren();
}

void TWinControl::AlignChildren()
{
    TRect r = GetClientRect();
    const TSize now { r.Width(), r.Height() };
    const TSize before = m_lastClientSize;
    m_lastClientSize = now;
    if ((before.cx || before.cy) && (before.cx != now.cx || before.cy != now.cy))
        for (TControl* c : std::vector<TControl*>(m_controls))
            c->AnchorToParent(before, now);
    AlignControls(nullptr, r);
    if (m_autoSize) {
        int w = m_width, h = m_height;
        if (CanAutoSize(w, h) && (w != m_width || h != m_height))
            SetBounds(m_left, m_top, w, h);
    }
}

bool TWinControl::CanAutoSize(int& NewWidth, int& NewHeight)
{
    if (m_controls.empty())
        return false;
    int right = 0, bottom = 0;
    for (TControl* c : m_controls) {
        if (!c->m_visible)
            continue;
        const int mr = c->m_alignWithMargins ? c->m_margins->GetRight() : 0;
        const int mb = c->m_alignWithMargins ? c->m_margins->GetBottom() : 0;
        right = std::max(right, c->m_left + c->m_width + mr);
        bottom = std::max(bottom, c->m_top + c->m_height + mb);
    }
    const TRect client = GetClientRect();
    NewWidth = right + m_padding->GetRight() + m_borderWidth + (m_width - client.Width());
    NewHeight = bottom + m_padding->GetBottom() + m_borderWidth + (m_height - client.Height());
    return true;
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    ConstrainSize(AWidth, AHeight);
    if (!CanResize(AWidth, AHeight)) {
        AWidth = m_width;
        AHeight = m_height;
    }
    if (ALeft == m_left && ATop == m_top && AWidth == m_width && AHeight == m_height)
        return;
    const bool sized = AWidth != m_width || AHeight != m_height;
    if (m_handle && !m_updatingBounds) {
        SetWindowPos(m_handle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        // The window may be placed where it asked (a top-level window can
        // be refused a size); the fields follow the window.
        UpdateBoundsFromWindow();
    } else {
        m_left = ALeft;
        m_top = ATop;
        m_width = AWidth;
        m_height = AHeight;
        if (sized) {
            Realign();
            Resize();
        }
    }
    if (!m_controlState.Contains(csAligning))
        UpdateAnchorRules();
    RequestAlign();
}

void TWinControl::UpdateBoundsFromWindow()
{
    if (!m_handle || m_updatingBounds)
        return;
    RECT r;
    GetWindowRect(m_handle, r);
    TRect rect = r;
    if (HWND parent = ::GetParent(m_handle); parent && (GetWindowLong(m_handle, GWL_STYLE) & WS_CHILD))
        MapWindowPoints(nullptr, parent, rect);
    m_left = rect.Left;
    m_top = rect.Top;
    m_width = rect.Width();
    m_height = rect.Height();
}

void TWinControl::Invalidate()
{
    if (m_handle)
        InvalidateRect(m_handle, nullptr, !m_controlStyle.Contains(csOpaque));
}

void TWinControl::Update()
{
    if (m_handle)
        UpdateWindow(m_handle);
}

void TWinControl::Repaint()
{
    if (m_handle)
        RedrawWindow(m_handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TWinControl::ChangeScale(int M, int D, bool isDpiChange)
{
    if (M == D || D == 0)
        return;
    DisableAlign();
    try {
        for (TControl* c : std::vector<TControl*>(m_controls))
            c->ChangeScale(M, D, isDpiChange);
        TPadding& p = *m_padding;
        p.SetBounds(MulDiv(p.GetLeft(), M, D), MulDiv(p.GetTop(), M, D), MulDiv(p.GetRight(), M, D), MulDiv(p.GetBottom(), M, D));
        TControl::ChangeScale(M, D, isDpiChange);
    } catch (...) {
        EnableAlign();
        throw;
    }
    EnableAlign();
}
