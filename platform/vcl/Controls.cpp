#include "platform/vcl/Controls.h"

#include <algorithm>
#include <unordered_map>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Themes.h"
#include "platform/vcl/ControlsInternal.h"
#include "platform/win/Input.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"

namespace controls_detail {

std::unordered_map<HWND, TWinControl*>& ControlsByWindow()
{
    static auto* map = new std::unordered_map<HWND, TWinControl*>;
    return *map;
}

TWinControl* g_creating = nullptr;
TControl* g_captureControl = nullptr;
TControl* g_mouseControl = nullptr;
TDragStateInfo g_drag;

void ReportException()
{
    if (Application)
        Application->HandleException(nullptr);
}

int DragThreshold()
{
    return std::max(GetSystemMetrics(SM_CXDRAG), GetSystemMetrics(SM_CYDRAG));
}

} // namespace controls_detail

// ---- helpers ----

std::function<bool(TPopupMenu*, TControl*, TPoint)> PopupMenuHook;

TShiftState KeysToShiftState(WORD Keys)
{
    TShiftState s;
    if (Keys & MK_SHIFT) s.Include(ssShift);
    if (Keys & MK_CONTROL) s.Include(ssCtrl);
    if (Keys & MK_LBUTTON) s.Include(ssLeft);
    if (Keys & MK_RBUTTON) s.Include(ssRight);
    if (Keys & MK_MBUTTON) s.Include(ssMiddle);
    if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
    return s;
}

TShiftState KeyDataToShiftState(LPARAM KeyData)
{
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
    if (KeyData & KF_ALTDOWN_BIT) s.Include(ssAlt);
    return s;
}

TShiftState GetKeyShiftState()
{
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
    if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
    return s;
}

bool IsAccel(WORD Key, const String& Text)
{
    for (std::size_t i = 0; i + 1 < Text.size(); ++i) {
        if (Text[i] != u'&')
            continue;
        if (Text[i + 1] == u'&') {
            ++i; // "&&" is a literal ampersand
            continue;
        }
        return StrUpper(String(1, Text[i + 1])) == StrUpper(String(1, char16_t(Key)));
    }
    return false;
}

TControl* GetCaptureControl()
{
    if (g_captureControl) {
        const HWND h = g_captureControl->IsWindowed() ? static_cast<TWinControl*>(g_captureControl)->GetParentHandle()
                                                       : (g_captureControl->GetParent() ? g_captureControl->GetParent()->GetParentHandle() : nullptr);
        if (!h || GetCapture() != h)
            g_captureControl = nullptr;
    }
    if (!g_captureControl)
        if (HWND h = GetCapture())
            return TWinControl::FindControl(h);
    return g_captureControl;
}

void SetCaptureControl(TControl* c)
{
    ReleaseCapture();
    g_captureControl = nullptr;
    if (!c)
        return;
    if (c->IsWindowed()) {
        SetCapture(static_cast<TWinControl*>(c)->GetHandle());
        g_captureControl = c;
    } else if (TWinControl* p = c->GetParent()) {
        SetCapture(p->GetHandle());
        g_captureControl = c;
    }
}

TControl* GetMouseControl() { return g_mouseControl; }

TCustomForm* GetParentForm(TControl* Control, bool TopForm)
{
    TCustomForm* found = nullptr;
    for (TControl* c = Control; c; c = c->GetParent()) {
        if (auto* f = dynamic_cast<TCustomForm*>(c)) {
            found = f;
            if (!TopForm)
                return f;
        }
    }
    return found;
}

TControl* FindDragTarget(TPoint Pos, bool AllowDisabled)
{
    HWND h = WindowFromPoint(Pos);
    TWinControl* w = h ? TWinControl::FindControl(h) : nullptr;
    if (!w)
        return nullptr;
    if (TControl* c = w->ControlAtPos(w->ScreenToClient(Pos), AllowDisabled))
        return c;
    return w;
}

HCURSOR CursorHandle(TCursor c)
{
    return Screen ? Screen->GetCursors(c) : LoadCursor(nullptr, IDC_ARROW);
}

// ---- TMargins, TSizeConstraints ----

QT_PUBLISHED(TMargins, QT_PROP(Left), QT_PROP(Top), QT_PROP(Right), QT_PROP(Bottom))
QT_PUBLISHED(TPadding)
QT_PUBLISHED(TSizeConstraints, QT_PROP_T(MaxHeight, u"TConstraintSize"), QT_PROP_T(MaxWidth, u"TConstraintSize"),
    QT_PROP_T(MinHeight, u"TConstraintSize"), QT_PROP_T(MinWidth, u"TConstraintSize"))
QT_PUBLISHED(TTouchManager, QT_PROP(InteractiveGestures), QT_PROP(InteractiveGestureOptions),
    QT_PROP(ParentTabletOptions))

TMargins::TMargins(TControl* Control, int Default)
    : m_control(Control), m_left(Default), m_top(Default), m_right(Default), m_bottom(Default)
{
}

void TMargins::SetBounds(int ALeft, int ATop, int ARight, int ABottom)
{
    if (ALeft == m_left && ATop == m_top && ARight == m_right && ABottom == m_bottom)
        return;
    m_left = ALeft;
    m_top = ATop;
    m_right = ARight;
    m_bottom = ABottom;
    if (OnChange)
        OnChange(this);
}

void TMargins::Assign(TPersistent* Source)
{
    if (auto* m = dynamic_cast<TMargins*>(Source)) {
        SetBounds(m->m_left, m->m_top, m->m_right, m->m_bottom);
        return;
    }
    TPersistent::Assign(Source);
}

void TSizeConstraints::SetMinWidth(int v)
{
    v = std::max(0, v);
    if (v == m_minWidth) return;
    m_minWidth = v;
    if (m_maxWidth > 0 && m_maxWidth < v) m_maxWidth = v;
    Changed();
}

void TSizeConstraints::SetMinHeight(int v)
{
    v = std::max(0, v);
    if (v == m_minHeight) return;
    m_minHeight = v;
    if (m_maxHeight > 0 && m_maxHeight < v) m_maxHeight = v;
    Changed();
}

void TSizeConstraints::SetMaxWidth(int v)
{
    v = std::max(0, v);
    if (v == m_maxWidth) return;
    m_maxWidth = v;
    if (v > 0 && m_minWidth > v) m_minWidth = v;
    Changed();
}

void TSizeConstraints::SetMaxHeight(int v)
{
    v = std::max(0, v);
    if (v == m_maxHeight) return;
    m_maxHeight = v;
    if (v > 0 && m_minHeight > v) m_minHeight = v;
    Changed();
}

void TSizeConstraints::Assign(TPersistent* Source)
{
    if (auto* c = dynamic_cast<TSizeConstraints*>(Source)) {
        m_minWidth = c->m_minWidth;
        m_minHeight = c->m_minHeight;
        m_maxWidth = c->m_maxWidth;
        m_maxHeight = c->m_maxHeight;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TSizeConstraints::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TTouchManager::Assign(TPersistent* Source)
{
    if (auto* t = dynamic_cast<TTouchManager*>(Source)) {
        m_gestures = t->m_gestures;
        m_options = t->m_options;
        m_parentTabletOptions = t->m_parentTabletOptions;
        return;
    }
    TPersistent::Assign(Source);
}

// ---- TControl ----

QT_PUBLISHED(TControl, QT_PROP(Left), QT_PROP(Top), QT_PROP(Width), QT_PROP(Height), QT_PROP(Align),
    QT_PROP(AlignWithMargins), QT_PROP(Anchors), QT_PROP(AutoSize), QT_PROP(Caption), QT_PROP_T(Color, u"TColor"),
    QT_PROP(Constraints), QT_PROP(Enabled), QT_PROP(Font), QT_PROP(Hint), QT_PROP(Margins), QT_PROP(ParentColor),
    QT_PROP(ParentFont), QT_PROP(ParentShowHint), QT_PROP(ShowHint), QT_PROP(Visible), QT_PROP(BiDiMode),
    QT_PROP(ParentBiDiMode), QT_PROP_T(Cursor, u"TCursor"), QT_PROP(DragMode), QT_PROP_T(DragCursor, u"TCursor"),
    QT_PROP(StyleElements), QT_PROP(DragKind), QT_PROP(Touch), QT_EVENT(OnClick), QT_EVENT(OnDblClick), QT_EVENT_T(OnMouseDown, u"TMouseEvent"),
    QT_EVENT_T(OnMouseMove, u"TMouseMoveEvent"), QT_EVENT_T(OnMouseUp, u"TMouseEvent"), QT_EVENT(OnMouseEnter),
    QT_EVENT(OnMouseLeave), QT_EVENT_T(OnMouseWheel, u"TMouseWheelEvent"),
    QT_EVENT_T(OnMouseWheelDown, u"TMouseWheelUpDownEvent"), QT_EVENT_T(OnMouseWheelUp, u"TMouseWheelUpDownEvent"),
    QT_EVENT(OnResize), QT_EVENT_T(OnContextPopup, u"TContextPopupEvent"), QT_EVENT_T(OnDragOver, u"TDragOverEvent"),
    QT_EVENT_T(OnDragDrop, u"TDragDropEvent"), QT_EVENT_T(OnStartDrag, u"TStartDragEvent"),
    QT_EVENT_T(OnEndDrag, u"TEndDragEvent"), QT_EVENT_T(OnMouseActivate, u"TMouseActivateEvent"),
    QT_EVENT_T(OnGesture, u"TGestureEvent"), QT_EVENT_T(OnStartDock, u"TStartDockEvent"),
    QT_EVENT_T(OnEndDock, u"TEndDragEvent"))

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner)
    , m_margins(std::make_unique<TMargins>(this))
    , m_constraints(std::make_unique<TSizeConstraints>(this))
    , m_font(std::make_unique<TFont>())
{
    WindowProc = [this](TMessage& m) { WndProc(m); };
    m_margins->OnChange = [this](TObject*) {
        if (m_alignWithMargins && m_align != alNone)
            RequestAlign();
    };
    m_constraints->OnChange = [this](TObject*) { SetBounds(m_left, m_top, m_width, m_height); };
    m_font->OnChange = [this](TObject* s) { FontChanged(s); };
}

TControl::~TControl()
{
    if (g_captureControl == this)
        g_captureControl = nullptr;
    if (g_mouseControl == this)
        g_mouseControl = nullptr;
    if (g_drag.Source == this || g_drag.Target == this)
        g_drag = {};
    if (Application)
        Application->ControlDestroyed(this);
    if (m_parent)
        m_parent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* AParent)
{
    if (AParent == m_parent)
        return;
    if (AParent == this)
        throw EInvalidOperation(u"A control cannot have itself as its parent");
    if (m_parent)
        m_parent->RemoveControl(this);
    if (AParent)
        AParent->InsertControl(this);
}

HWND TControl::GetParentHandle() const
{
    return m_parent ? m_parent->GetParentHandle() : nullptr;
}

void TControl::ConstrainSize(int& w, int& h) const
{
    const TSizeConstraints& c = *m_constraints;
    if (c.GetMaxWidth() > 0) w = std::min(w, c.GetMaxWidth());
    if (c.GetMaxHeight() > 0) h = std::min(h, c.GetMaxHeight());
    w = std::max(w, c.GetMinWidth());
    h = std::max(h, c.GetMinHeight());
    w = std::max(w, 0);
    h = std::max(h, 0);
}

bool TControl::CanResize(int&, int&) { return true; }
bool TControl::CanAutoSize(int&, int&) { return false; }

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    ConstrainSize(AWidth, AHeight);
    if (!CanResize(AWidth, AHeight)) {
        AWidth = m_width;
        AHeight = m_height;
    }
    const bool sized = AWidth != m_width || AHeight != m_height;
    if (ALeft == m_left && ATop == m_top && !sized)
        return;
    if (m_parent && m_parent->HandleAllocated())
        Invalidate();
    m_left = ALeft;
    m_top = ATop;
    m_width = AWidth;
    m_height = AHeight;
    if (m_parent && m_parent->HandleAllocated())
        Invalidate();
    if (!(m_controlState.Contains(csAligning)))
        UpdateAnchorRules();
    RequestAlign();
    if (sized)
        Resize();
}

void TControl::SetBoundsByAlign(int ALeft, int ATop, int AWidth, int AHeight)
{
    const bool was = m_controlState.Contains(csAligning);
    m_controlState.Include(csAligning);
    try {
        SetBounds(ALeft, ATop, AWidth, AHeight);
    } catch (...) {
        if (!was) m_controlState.Exclude(csAligning);
        throw;
    }
    if (!was)
        m_controlState.Exclude(csAligning);
}

TRect TControl::GetClientRect() { return { 0, 0, m_width, m_height }; }

void TControl::SetClientWidth(int v)
{
    SetWidth(m_width - GetClientWidth() + v);
}

void TControl::SetClientHeight(int v)
{
    SetHeight(m_height - GetClientHeight() + v);
}

TPoint TControl::GetClientOrigin() const
{
    if (!m_parent)
        return { m_left, m_top };
    const TPoint o = m_parent->GetClientOrigin();
    return { o.X + m_left, o.Y + m_top };
}

TPoint TControl::ClientToScreen(TPoint p) const
{
    const TPoint o = GetClientOrigin();
    return { p.X + o.X, p.Y + o.Y };
}

TPoint TControl::ScreenToClient(TPoint p) const
{
    const TPoint o = GetClientOrigin();
    return { p.X - o.X, p.Y - o.Y };
}

TPoint TControl::ClientToParent(TPoint p, TWinControl* AParent) const
{
    const TControl* c = this;
    if (!AParent)
        AParent = m_parent;
    while (c && c != AParent) {
        p.X += c->m_left;
        p.Y += c->m_top;
        c = c->m_parent;
    }
    if (c != AParent)
        throw EInvalidOperation(u"Control is not a child of the given parent");
    return p;
}

TPoint TControl::ParentToClient(TPoint p, TWinControl* AParent) const
{
    const TPoint zero = ClientToParent({ 0, 0 }, AParent);
    return { p.X - zero.X, p.Y - zero.Y };
}

void TControl::SetAlign(TAlign v)
{
    if (v == m_align)
        return;
    const TAlign old = m_align;
    m_align = v;
    m_anchors = (v == alNone || v == alCustom) ? TAnchors { akLeft, akTop }
              : v == alTop ? TAnchors { akLeft, akTop, akRight }
              : v == alBottom ? TAnchors { akLeft, akRight, akBottom }
              : v == alLeft ? TAnchors { akLeft, akTop, akBottom }
              : v == alRight ? TAnchors { akRight, akTop, akBottom }
                             : TAnchors { akLeft, akTop, akRight, akBottom };
    if (old == alNone || v == alNone)
        UpdateAnchorRules();
    RequestAlign();
}

void TControl::SetAlignWithMargins(bool v)
{
    if (v == m_alignWithMargins)
        return;
    m_alignWithMargins = v;
    RequestAlign();
}

void TControl::SetAnchors(TAnchors v)
{
    if (v == m_anchors)
        return;
    m_anchors = v;
    UpdateAnchorRules();
}

void TControl::SetAutoSize(bool v)
{
    if (v == m_autoSize)
        return;
    m_autoSize = v;
    if (v)
        AdjustSize();
}

void TControl::AdjustSize()
{
    if (!m_autoSize)
        return;
    int w = m_width, h = m_height;
    if (CanAutoSize(w, h))
        SetBounds(m_left, m_top, w, h);
}

void TControl::RequestAlign()
{
    if (m_parent)
        m_parent->Realign();
}

void TControl::UpdateAnchorRules()
{
    if (!m_parent) {
        m_anchorRulesValid = false;
        return;
    }
    const TRect pc = m_parent->m_lastClientSize.cx || m_parent->m_lastClientSize.cy
        ? TRect(0, 0, m_parent->m_lastClientSize.cx, m_parent->m_lastClientSize.cy)
        : m_parent->GetClientRect();
    m_anchorRules = { m_left, m_top, pc.Width() - (m_left + m_width), pc.Height() - (m_top + m_height) };
    m_anchorRulesValid = true;
}

void TControl::AnchorToParent(TSize oldClient, TSize newClient)
{
    if (!m_anchorRulesValid || m_align != alNone)
        return;
    if (m_anchors == TAnchors { akLeft, akTop })
        return;
    int l = m_left, t = m_top, w = m_width, h = m_height;
    const TRect& r = m_anchorRules;
    const int baseW = r.Left + w + r.Right;
    const int baseH = r.Top + h + r.Bottom;
    (void)oldClient;
    if (m_anchors.Contains(akRight)) {
        if (m_anchors.Contains(akLeft))
            w = newClient.cx - r.Left - r.Right;
        else
            l = newClient.cx - r.Right - w;
    } else if (!m_anchors.Contains(akLeft) && baseW > 0) {
        // Neither edge: keep the centre at the same proportion.
        l = MulDiv(r.Left + w / 2, newClient.cx, baseW) - w / 2;
    }
    if (m_anchors.Contains(akBottom)) {
        if (m_anchors.Contains(akTop))
            h = newClient.cy - r.Top - r.Bottom;
        else
            t = newClient.cy - r.Bottom - h;
    } else if (!m_anchors.Contains(akTop) && baseH > 0) {
        t = MulDiv(r.Top + h / 2, newClient.cy, baseH) - h / 2;
    }
    SetBoundsByAlign(l, t, std::max(0, w), std::max(0, h));
}

void TControl::SetVisible(bool v)
{
    if (v == m_visible)
        return;
    VisibleChanging();
    if (!v)
        Invalidate();
    m_visible = v;
    Perform(CM_VISIBLECHANGED, v ? 1 : 0, 0);
    RequestAlign();
}

void TControl::Show()
{
    if (m_parent)
        m_parent->Show();
    SetVisible(true);
}

void TControl::SetEnabled(bool v)
{
    if (v == m_enabled)
        return;
    m_enabled = v;
    Perform(CM_ENABLEDCHANGED);
}

bool TControl::IsEnabledInChain() const
{
    for (const TControl* c = this; c; c = c->m_parent)
        if (!c->m_enabled)
            return false;
    return true;
}

bool TControl::IsShowing() const
{
    for (const TControl* c = this; c; c = c->m_parent)
        if (!c->m_visible)
            return false;
    return true;
}

void TControl::SetColor(TColor v)
{
    if (v == m_color && !m_parentColor)
        return;
    m_color = v;
    m_parentColor = false;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool v)
{
    if (v == m_parentColor)
        return;
    m_parentColor = v;
    if (v)
        ParentColorChanged();
}

void TControl::ParentColorChanged()
{
    if (m_parentColor && m_parent) {
        m_color = m_parent->GetColor();
        m_parentColor = true;
        Perform(CM_COLORCHANGED);
    }
}

void TControl::FontChanged(TObject*)
{
    if (m_updatingFont)
        return;
    m_parentFont = false;
    Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool v)
{
    if (v == m_parentFont)
        return;
    m_parentFont = v;
    if (v)
        ParentFontChanged();
}

void TControl::ParentFontChanged()
{
    if (!m_parentFont || !m_parent)
        return;
    {
        m_updatingFont = true;
        struct Reset { bool& f; ~Reset() { f = false; } } reset { m_updatingFont };
        m_font->Assign(m_parent->GetFont());
    }
    Perform(CM_FONTCHANGED);
}

String TControl::GetText()
{
    const LRESULT len = Perform(WM_GETTEXTLENGTH);
    if (len <= 0)
        return {};
    String buf(std::size_t(len) + 1, u'\0');
    const LRESULT got = Perform(WM_GETTEXT, WPARAM(buf.size()), reinterpret_cast<LPARAM>(buf.data()));
    buf.resize(std::size_t(std::clamp<LRESULT>(got, 0, len)));
    return buf;
}

void TControl::SetText(const String& v)
{
    if (GetText() == v)
        return;
    Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(v.c_str()));
    Perform(CM_TEXTCHANGED);
}

void TControl::SetShowHint(bool v)
{
    if (v == m_showHint && !m_parentShowHint)
        return;
    m_showHint = v;
    m_parentShowHint = false;
    Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool v)
{
    if (v == m_parentShowHint)
        return;
    m_parentShowHint = v;
    if (v && m_parent) {
        m_showHint = m_parent->GetShowHint();
        Perform(CM_SHOWHINTCHANGED);
    }
}

void TControl::SetCursor(TCursor v)
{
    if (v == m_cursor)
        return;
    m_cursor = v;
    Perform(CM_CURSORCHANGED);
}

void TControl::SetBiDiMode(TBiDiMode v)
{
    if (v == m_biDiMode && !m_parentBiDiMode)
        return;
    m_biDiMode = v;
    m_parentBiDiMode = false;
    Perform(CM_BIDIMODECHANGED);
}

void TControl::SetParentBiDiMode(bool v)
{
    if (v == m_parentBiDiMode)
        return;
    m_parentBiDiMode = v;
    if (v && m_parent) {
        m_biDiMode = m_parent->GetBiDiMode();
        Perform(CM_BIDIMODECHANGED);
    }
}

void TControl::SetStyleElements(TStyleElements v)
{
    if (v == m_styleElements)
        return;
    m_styleElements = v;
    Perform(CM_STYLECHANGED);
}

bool TControl::GetMouseCapture() const { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool v)
{
    if (v == GetMouseCapture())
        return;
    SetCaptureControl(v ? this : nullptr);
}

void TControl::SendCancelMode(TControl* Sender)
{
    if (TCustomForm* f = GetParentForm(this))
        f->SendCancelMode(Sender);
}

void TControl::BringToFront()
{
    if (!m_parent)
        return;
    auto& v = m_parent->m_controls;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    v.push_back(this);
    if (IsWindowed()) {
        if (auto* w = static_cast<TWinControl*>(this); w->HandleAllocated())
            SetWindowPos(w->m_handle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    } else {
        Invalidate();
    }
    RequestAlign();
}

void TControl::SendToBack()
{
    if (!m_parent)
        return;
    auto& v = m_parent->m_controls;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    v.insert(v.begin(), this);
    if (IsWindowed()) {
        if (auto* w = static_cast<TWinControl*>(this); w->HandleAllocated())
            SetWindowPos(w->m_handle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    } else {
        Invalidate();
    }
    RequestAlign();
}

void TControl::Invalidate()
{
    if (m_parent && m_parent->HandleAllocated() && m_visible) {
        const RECT r = GetBoundsRect();
        InvalidateRect(m_parent->m_handle, &r, !m_controlStyle.Contains(csOpaque));
    }
}

void TControl::Update()
{
    if (m_parent)
        m_parent->Update();
}

void TControl::Repaint()
{
    Invalidate();
    Update();
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TMessage m { Msg, WParam, LParam, 0 };
    WindowProc(m);
    return m.Result;
}

bool TControl::IsControlOver(TPoint client) const
{
    return client.X >= 0 && client.Y >= 0 && client.X < m_width && client.Y < m_height;
}

void TControl::WndProc(TMessage& Message)
{
    const UINT m = Message.Msg;
    if (g_drag.Source == this && (m == WM_MOUSEMOVE || m == WM_LBUTTONUP || m == WM_RBUTTONDOWN)) {
        const TPoint screen = ClientToScreen(PointOf(Message.LParam));
        if (m == WM_MOUSEMOVE)
            TControlDragger::Move(screen);
        else
            TControlDragger::Done(m == WM_LBUTTONUP, screen);
        return;
    }
    if (g_drag.Source == this && m == WM_KEYDOWN && Message.WParam == VK_ESCAPE) {
        EndDrag(false);
        return;
    }
    if ((m == WM_LBUTTONDOWN || m == WM_LBUTTONDBLCLK) && m_dragMode == dmAutomatic && !g_drag.Source) {
        BeginDrag(Mouse->GetDragImmediate(), Mouse->GetDragThreshold());
        return;
    }
    Dispatch(Message);
}

void TControl::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK:
    case WM_MOUSEMOVE:
        WMMouse(Message);
        return;
    case WM_MOUSEWHEEL:
        WMMouseWheel(Message);
        return;
    case WM_CONTEXTMENU:
        WMContextMenu(Message);
        return;
    case CM_VISIBLECHANGED: CMVisibleChanged(Message); return;
    case CM_ENABLEDCHANGED: CMEnabledChanged(Message); return;
    case CM_FONTCHANGED: CMFontChanged(Message); return;
    case CM_COLORCHANGED: CMColorChanged(Message); return;
    case CM_PARENTFONTCHANGED: ParentFontChanged(); return;
    case CM_PARENTCOLORCHANGED: ParentColorChanged(); return;
    case CM_PARENTSHOWHINTCHANGED:
        if (m_parentShowHint && m_parent) {
            m_showHint = m_parent->GetShowHint();
            Perform(CM_SHOWHINTCHANGED);
        }
        return;
    case CM_PARENTBIDIMODECHANGED:
        if (m_parentBiDiMode && m_parent) {
            m_biDiMode = m_parent->GetBiDiMode();
            Perform(CM_BIDIMODECHANGED);
        }
        return;
    case CM_MOUSEWHEEL: CMMouseWheel(Message); return;
    case CM_HITTEST: CMHitTest(Message); return;
    case CM_MOUSEENTER: MouseEnter(); return;
    case CM_MOUSELEAVE: MouseLeave(); return;
    case CM_TEXTCHANGED: Invalidate(); return;
    default:
        DefaultHandler(Message);
    }
}

void TControl::DefaultHandler(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SETTEXT:
        m_text = Message.LParam ? String(reinterpret_cast<const char16_t*>(Message.LParam)) : String();
        Message.Result = 1;
        return;
    case WM_GETTEXT: {
        if (Message.WParam == 0 || !Message.LParam) {
            Message.Result = 0;
            return;
        }
        auto* out = reinterpret_cast<char16_t*>(Message.LParam);
        const std::size_t n = std::min<std::size_t>(m_text.size(), Message.WParam - 1);
        std::copy_n(m_text.data(), n, out);
        out[n] = 0;
        Message.Result = LRESULT(n);
        return;
    }
    case WM_GETTEXTLENGTH:
        Message.Result = LRESULT(m_text.size());
        return;
    default:
        return;
    }
}

void TControl::WMMouse(TMessage& Message)
{
    const TPoint p = PointOf(Message.LParam);
    TShiftState shift = KeysToShiftState(WORD(Message.WParam));
    auto button = [&]() {
        switch (Message.Msg) {
        case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: return mbRight;
        case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: return mbMiddle;
        default: return mbLeft;
        }
    }();
    switch (Message.Msg) {
    case WM_MOUSEMOVE:
        if (!m_controlStyle.Contains(csNoStdEvents))
            MouseMove(shift, p.X, p.Y);
        break;
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
        SendCancelMode(this);
        if (Message.Msg == WM_LBUTTONDOWN) {
            if (m_controlStyle.Contains(csCaptureMouse))
                SetMouseCapture(true);
            if (m_controlStyle.Contains(csClickEvents))
                m_controlState.Include(csClicked);
            m_controlState.Include(csLButtonDown);
        }
        if (!m_controlStyle.Contains(csNoStdEvents))
            MouseDown(button, shift, p.X, p.Y);
        break;
    case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
        SendCancelMode(this);
        shift.Include(ssDouble);
        if (Message.Msg == WM_LBUTTONDBLCLK) {
            if (m_controlStyle.Contains(csCaptureMouse))
                SetMouseCapture(true);
            if (m_controlStyle.Contains(csClickEvents))
                DblClick();
        }
        if (!m_controlStyle.Contains(csNoStdEvents))
            MouseDown(button, shift, p.X, p.Y);
        break;
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
        if (Message.Msg == WM_LBUTTONUP) {
            m_controlState.Exclude(csLButtonDown);
            if (m_controlStyle.Contains(csCaptureMouse))
                SetMouseCapture(false);
            if (m_controlState.Contains(csClicked)) {
                m_controlState.Exclude(csClicked);
                if (IsControlOver(p))
                    Click();
            }
        }
        if (!m_controlStyle.Contains(csNoStdEvents))
            MouseUp(button, shift, p.X, p.Y);
        // The window system leaves the context menu request to us.
        if (Message.Msg == WM_RBUTTONUP) {
            const TPoint screen = ClientToScreen(p);
            HWND h = IsWindowed() ? static_cast<TWinControl*>(this)->m_handle : nullptr;
            Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(h), LParamOf(screen));
        }
        break;
    }
    if (Message.Msg != WM_MOUSEMOVE || !IsWindowed())
        return;
    DefaultHandler(Message);
}

void TControl::WMMouseWheel(TMessage& Message)
{
    Message.Result = Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam);
}

void TControl::CMMouseWheel(TMessage& Message)
{
    const TShiftState shift = KeysToShiftState(GET_KEYSTATE_WPARAM(Message.WParam));
    const int delta = GET_WHEEL_DELTA_WPARAM(Message.WParam);
    Message.Result = DoMouseWheel(shift, delta, PointOf(Message.LParam)) ? 1 : 0;
    if (!Message.Result && m_parent)
        Message.Result = m_parent->Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam);
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    bool handled = false;
    if (OnMouseWheel)
        OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
    if (!handled) {
        if (WheelDelta < 0)
            handled = DoMouseWheelDown(Shift, MousePos);
        else if (WheelDelta > 0)
            handled = DoMouseWheelUp(Shift, MousePos);
    }
    return handled;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos)
{
    bool handled = false;
    if (OnMouseWheelDown)
        OnMouseWheelDown(this, Shift, MousePos, handled);
    return handled;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos)
{
    bool handled = false;
    if (OnMouseWheelUp)
        OnMouseWheelUp(this, Shift, MousePos, handled);
    return handled;
}

void TControl::WMContextMenu(TMessage& Message)
{
    TPoint p = PointOf(Message.LParam);
    // (-1, -1) comes from the keyboard and reaches the handler as it is;
    // a menu then opens at the control's corner.
    const bool fromKeyboard = p.X == -1 && p.Y == -1;
    const TPoint client = fromKeyboard ? p : ScreenToClient(p);
    bool handled = false;
    DoContextPopup(client, handled);
    if (handled) {
        Message.Result = 1;
        return;
    }
    const TPoint at = fromKeyboard ? ClientToScreen({ 0, 0 }) : p;
    if (m_popupMenu && PopupMenuHook && PopupMenuHook(m_popupMenu, this, at)) {
        Message.Result = 1;
        return;
    }
    // Not taken here: the parent may show its own.
    if (!IsWindowed() && m_parent)
        Message.Result = m_parent->Perform(WM_CONTEXTMENU, Message.WParam, Message.LParam);
    else
        DefaultHandler(Message);
}

void TControl::DoContextPopup(TPoint MousePos, bool& Handled)
{
    if (OnContextPopup)
        OnContextPopup(this, MousePos, Handled);
}

void TControl::CMVisibleChanged(TMessage&)
{
    Invalidate();
}

void TControl::CMEnabledChanged(TMessage&)
{
    Invalidate();
}

void TControl::CMFontChanged(TMessage&)
{
    Invalidate();
}

void TControl::CMColorChanged(TMessage&)
{
    Invalidate();
}

TMouseActivate TControl::MouseActivate(TMouseButton Button, TShiftState Shift, int X, int Y, int HitTest)
{
    TMouseActivate result = maDefault;
    if (OnMouseActivate)
        OnMouseActivate(this, Button, Shift, X, Y, HitTest, result);
    return result;
}

void TControl::Click()
{
    if (OnClick)
        OnClick(this);
}

void TControl::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::Resize()
{
    if (OnResize)
        OnResize(this);
}

void TControl::ScaleMarginsAndConstraints(int M, int D)
{
    TMargins& m = *m_margins;
    m.SetBounds(MulDiv(m.GetLeft(), M, D), MulDiv(m.GetTop(), M, D), MulDiv(m.GetRight(), M, D), MulDiv(m.GetBottom(), M, D));
    TSizeConstraints& c = *m_constraints;
    auto scaled = [&](int v) { return v > 0 ? MulDiv(v, M, D) : 0; };
    TSizeConstraints copy;
    copy.SetMaxWidth(scaled(c.GetMaxWidth()));
    copy.SetMaxHeight(scaled(c.GetMaxHeight()));
    copy.SetMinWidth(scaled(c.GetMinWidth()));
    copy.SetMinHeight(scaled(c.GetMinHeight()));
    c.Assign(&copy);
}

void TControl::ChangeScale(int M, int D, bool isDpiChange)
{
    if (M == D || D == 0)
        return;
    ScaleMarginsAndConstraints(M, D);
    // Scale the edges, not the size, so neighbours stay flush.
    const int x = MulDiv(m_left, M, D);
    const int y = MulDiv(m_top, M, D);
    const int w = m_controlStyle.Contains(csFixedWidth) ? m_width : MulDiv(m_left + m_width, M, D) - x;
    const int h = m_controlStyle.Contains(csFixedHeight) ? m_height : MulDiv(m_top + m_height, M, D) - y;
    SetBoundsByAlign(x, y, w, h);
    UpdateAnchorRules();
    if (!m_parentFont) {
        m_updatingFont = true;
        struct Reset { bool& f; ~Reset() { f = false; } } reset { m_updatingFont };
        m_font->SetHeight(MulDiv(m_font->GetHeight(), M, D));
    }
    if (isDpiChange) {
        m_currentPPI = MulDiv(m_currentPPI, M, D);
        if (!m_parentFont)
            Perform(CM_FONTCHANGED);
    }
}

void TControl::ScaleForPPI(int NewPPI)
{
    if (NewPPI <= 0 || NewPPI == m_currentPPI)
        return;
    ChangeScale(NewPPI, m_currentPPI, true);
}

QT_PUBLISHED(TDragObject)
