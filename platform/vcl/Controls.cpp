#include "platform/vcl/Controls.h"

#include <algorithm>
#include <unordered_map>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Themes.h"
#include "platform/win/Input.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"

namespace {

// Registries live until the process ends: controls owned by the
// application are destroyed at exit, after ordinary statics may be gone.
std::unordered_map<HWND, TWinControl*>& ControlsByWindow()
{
    static auto* map = new std::unordered_map<HWND, TWinControl*>;
    return *map;
}

// The control whose window is being created: the first messages of a new
// window arrive before CreateWindowEx returns its handle.
TWinControl* g_creating = nullptr;
TControl* g_captureControl = nullptr;
TControl* g_mouseControl = nullptr;

// The control drag in progress (one at a time).
struct TDragStateInfo {
    TControl* Source { nullptr };
    TPoint Start;
    int Threshold { 0 };
    bool Started { false };
    TControl* Target { nullptr };
    bool Accepted { false };
    TDragObject* Object { nullptr };
    std::unique_ptr<TDragObject> OwnObject;
};
TDragStateInfo g_drag;

TPoint PointOf(LPARAM l) { return { GET_X_LPARAM(l), GET_Y_LPARAM(l) }; }
LPARAM LParamOf(TPoint p) { return MAKELPARAM(WORD(std::int16_t(p.X)), WORD(std::int16_t(p.Y))); }

bool IsMouseButtonMsg(UINT m)
{
    return m >= WM_LBUTTONDOWN && m <= WM_MBUTTONDBLCLK;
}

void ReportException()
{
    if (Application)
        Application->HandleException(nullptr);
}

int DragThreshold()
{
    return std::max(GetSystemMetrics(SM_CXDRAG), GetSystemMetrics(SM_CYDRAG));
}

} // namespace

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

// ---- TControl ----

QT_PUBLISHED(TControl, QT_PROP(Left), QT_PROP(Top), QT_PROP(Width), QT_PROP(Height), QT_PROP(Align),
    QT_PROP(AlignWithMargins), QT_PROP(Anchors), QT_PROP(AutoSize), QT_PROP(Caption), QT_PROP_T(Color, u"TColor"),
    QT_PROP(Constraints), QT_PROP(Enabled), QT_PROP(Font), QT_PROP(Hint), QT_PROP(Margins), QT_PROP(ParentColor),
    QT_PROP(ParentFont), QT_PROP(ParentShowHint), QT_PROP(ShowHint), QT_PROP(Visible), QT_PROP(BiDiMode),
    QT_PROP(ParentBiDiMode), QT_PROP_T(Cursor, u"TCursor"), QT_PROP(DragMode), QT_PROP_T(DragCursor, u"TCursor"),
    QT_PROP(StyleElements), QT_EVENT(OnClick), QT_EVENT(OnDblClick), QT_EVENT_T(OnMouseDown, u"TMouseEvent"),
    QT_EVENT_T(OnMouseMove, u"TMouseMoveEvent"), QT_EVENT_T(OnMouseUp, u"TMouseEvent"), QT_EVENT(OnMouseEnter),
    QT_EVENT(OnMouseLeave), QT_EVENT_T(OnMouseWheel, u"TMouseWheelEvent"),
    QT_EVENT_T(OnMouseWheelDown, u"TMouseWheelUpDownEvent"), QT_EVENT_T(OnMouseWheelUp, u"TMouseWheelUpDownEvent"),
    QT_EVENT(OnResize), QT_EVENT_T(OnContextPopup, u"TContextPopupEvent"), QT_EVENT_T(OnDragOver, u"TDragOverEvent"),
    QT_EVENT_T(OnDragDrop, u"TDragDropEvent"), QT_EVENT_T(OnStartDrag, u"TStartDragEvent"),
    QT_EVENT_T(OnEndDrag, u"TEndDragEvent"))

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

// ---- drag ----

void TControl::BeginDrag(bool Immediate, int Threshold)
{
    if (g_drag.Source)
        return;
    g_drag = {};
    g_drag.Source = this;
    g_drag.Threshold = Threshold < 0 ? DragThreshold() : Threshold;
    POINT p;
    GetCursorPos(p);
    g_drag.Start = { p.X, p.Y };
    SetCaptureControl(this);
    if (Immediate) {
        g_drag.Started = true;
        TDragObject* obj = nullptr;
        DoStartDrag(obj);
        if (!obj) {
            g_drag.OwnObject = std::make_unique<TDragObject>();
            obj = g_drag.OwnObject.get();
        }
        obj->Control = this;
        g_drag.Object = obj;
    }
}

bool TControl::Dragging() const { return g_drag.Source == this; }

void TControl::DoStartDrag(TDragObject*& DragObject)
{
    if (OnStartDrag)
        OnStartDrag(this, DragObject);
}

void TControl::DoEndDrag(TObject* Target, int X, int Y)
{
    if (OnEndDrag)
        OnEndDrag(this, Target, X, Y);
}

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    Accept = false;
    if (OnDragOver) {
        Accept = true;
        OnDragOver(this, Source, X, Y, State, Accept);
    }
}

void TControl::DragDrop(TObject* Source, int X, int Y)
{
    if (OnDragDrop)
        OnDragDrop(this, Source, X, Y);
}

// Moves a started drag to `screen`: tells the target under it and picks the cursor.
class TControlDragger {
public:
    static void Move(TPoint screen)
    {
        TDragStateInfo& d = g_drag;
        if (!d.Started) {
            if (std::abs(screen.X - d.Start.X) < d.Threshold && std::abs(screen.Y - d.Start.Y) < d.Threshold)
                return;
            d.Started = true;
            TDragObject* obj = nullptr;
            d.Source->DoStartDrag(obj);
            if (!obj) {
                d.OwnObject = std::make_unique<TDragObject>();
                obj = d.OwnObject.get();
            }
            obj->Control = d.Source;
            d.Object = obj;
        }
        d.Object->DragPos = screen;
        TControl* target = FindDragTarget(screen, false);
        TObject* source = d.Object->Control;
        if (target != d.Target && d.Target) {
            bool ignored = false;
            const TPoint p = d.Target->ScreenToClient(screen);
            d.Target->DragOver(source, p.X, p.Y, dsDragLeave, ignored);
        }
        const TDragState state = target != d.Target ? dsDragEnter : dsDragMove;
        d.Target = target;
        d.Accepted = false;
        if (target) {
            const TPoint p = target->ScreenToClient(screen);
            target->DragOver(source, p.X, p.Y, state, d.Accepted);
        }
        SetCursor(CursorHandle(d.Accepted ? d.Source->GetDragCursor() : crNoDrop));
    }

    static void Done(bool drop, TPoint screen)
    {
        TDragStateInfo d = std::move(g_drag);
        g_drag = {};
        SetCaptureControl(nullptr);
        if (!d.Source || !d.Started)
            return;
        TControl* target = d.Accepted && drop ? d.Target : nullptr;
        TObject* source = d.Object->Control;
        if (d.Target && !target) {
            bool ignored = false;
            const TPoint p = d.Target->ScreenToClient(screen);
            d.Target->DragOver(source, p.X, p.Y, dsDragLeave, ignored);
        }
        TPoint p;
        if (target) {
            d.Object->Dropped = true;
            p = target->ScreenToClient(screen);
            target->DragDrop(source, p.X, p.Y);
        }
        d.Source->DoEndDrag(target, p.X, p.Y);
        SetCursor(CursorHandle(crDefault));
    }
};

void TControl::EndDrag(bool Drop)
{
    if (g_drag.Source != this)
        return;
    POINT p;
    GetCursorPos(p);
    TControlDragger::Done(Drop, { p.X, p.Y });
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

// ---- TWinControl ----

QT_PUBLISHED(TWinControl, QT_PROP(TabStop), QT_PROP_T(TabOrder, u"TTabOrder"), QT_PROP(DoubleBuffered),
    QT_PROP(ParentDoubleBuffered), QT_PROP_T(BorderWidth, u"TBorderWidth"), QT_PROP(Ctl3D), QT_PROP(ParentCtl3D),
    QT_PROP(Padding), QT_EVENT_T(OnKeyDown, u"TKeyEvent"), QT_EVENT_T(OnKeyPress, u"TKeyPressEvent"),
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

// ---- TWinControl: messages ----

bool TWinControl::IsControlMouseMsg(TMessage& Message)
{
    const UINT m = Message.Msg;
    if (m != WM_MOUSEMOVE && !IsMouseButtonMsg(m))
        return false;
    const TPoint p = PointOf(Message.LParam);
    TControl* target = nullptr;
    if (m_handle && GetCapture() == m_handle) {
        if (g_captureControl && g_captureControl->m_parent == this && !g_captureControl->IsWindowed())
            target = g_captureControl;
    } else {
        target = ControlAtPos(p, false);
    }
    if (!target)
        return false;
    TMessage forwarded = Message;
    forwarded.LParam = LParamOf({ p.X - target->m_left, p.Y - target->m_top });
    target->WindowProc(forwarded);
    Message.Result = forwarded.Result;
    return true;
}

void TWinControl::TrackMouseControl(TPoint client)
{
    TControl* now = ControlAtPos(client, false);
    if (!now)
        now = this;
    if (now == g_mouseControl)
        return;
    TControl* old = g_mouseControl;
    g_mouseControl = now;
    if (old)
        old->Perform(CM_MOUSELEAVE);
    now->Perform(CM_MOUSEENTER);
    if (m_handle) {
        TRACKMOUSEEVENT tme;
        tme.dwFlags = TME_LEAVE;
        tme.hwndTrack = m_handle;
        TrackMouseEvent(tme);
    }
    if (Application)
        Application->MouseControlChanged(now);
}

void TWinControl::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_MOUSEMOVE:
        TrackMouseControl(PointOf(Message.LParam));
        if (Application)
            Application->HintMouseMessage(this, Message);
        [[fallthrough]];
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK:
        if (Message.Msg != WM_MOUSEMOVE && Application)
            Application->CancelHint();
        if (g_drag.Source != this && IsControlMouseMsg(Message))
            return;
        break;
    case WM_CAPTURECHANGED:
        if (g_captureControl && (g_captureControl == this || g_captureControl->m_parent == this)
            && reinterpret_cast<HWND>(Message.LParam) != m_handle)
            g_captureControl = nullptr;
        break;
    case WM_KEYDOWN: case WM_SYSKEYDOWN:
        if (Application)
            Application->CancelHint();
        break;
    default:
        break;
    }
    TControl::WndProc(Message);
}

void TWinControl::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_PAINT: WMPaint(Message); return;
    case WM_ERASEBKGND: WMEraseBkgnd(Message); return;
    case WM_SETFOCUS: WMSetFocus(Message); return;
    case WM_KILLFOCUS: WMKillFocus(Message); return;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(Message); return;
    case WM_SIZE: WMSize(Message); return;
    case WM_KEYDOWN: case WM_SYSKEYDOWN: case WM_KEYUP: case WM_SYSKEYUP: WMKey(Message); return;
    case WM_CHAR: WMChar(Message); return;
    case WM_COMMAND: WMCommand(Message); return;
    case WM_NOTIFY: WMNotify(Message); return;
    case WM_HSCROLL: case WM_VSCROLL: WMScroll(Message); return;
    case WM_SETCURSOR: WMSetCursor(Message); return;
    case WM_MOUSELEAVE: WMMouseLeave(Message); return;
    case WM_GETDLGCODE: WMGetDlgCode(Message); return;
    case CN_KEYDOWN: case CN_SYSKEYDOWN: CNKeyDown(Message); return;
    case CN_CHAR: CNChar(Message); return;
    case CN_SYSCHAR:
        if (Message.WParam != VK_SPACE)
            if (TCustomForm* f = GetParentForm(this))
                Message.Result = f->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam);
        return;
    case CM_ENTER: CMEnter(Message); return;
    case CM_EXIT: CMExit(Message); return;
    case CM_FOCUSCHANGED: CMFocusChanged(Message); return;
    case CM_DIALOGKEY: CMDialogKey(Message); return;
    case CM_DIALOGCHAR: CMDialogChar(Message); return;
    case CM_CHILDKEY:
        if (m_parent)
            Message.Result = m_parent->Perform(CM_CHILDKEY, Message.WParam, Message.LParam);
        return;
    case CM_VISIBLECHANGED:
        // Children and pop-ups alike show without taking the activation.
        if (m_handle)
            ShowWindow(m_handle, m_visible ? SW_SHOWNA : SW_HIDE);
        if (!m_visible)
            if (TCustomForm* f = GetParentForm(this))
                f->ControlHidden(this);
        UpdateShowing();
        return;
    case CM_ENABLEDCHANGED:
        if (m_handle)
            EnableWindow(m_handle, m_enabled);
        if (!m_enabled)
            if (TCustomForm* f = GetParentForm(this))
                f->ControlHidden(this);
        Invalidate();
        return;
    case CM_COLORCHANGED:
        m_brush->SetColor(m_color);
        NotifyControls(CM_PARENTCOLORCHANGED);
        Invalidate();
        return;
    case CM_FONTCHANGED:
        NotifyControls(CM_PARENTFONTCHANGED);
        Invalidate();
        return;
    case CM_SHOWHINTCHANGED: NotifyControls(CM_PARENTSHOWHINTCHANGED); return;
    case CM_BIDIMODECHANGED: NotifyControls(CM_PARENTBIDIMODECHANGED); return;
    case CM_CTL3DCHANGED: NotifyControls(CM_PARENTCTL3DCHANGED); return;
    case CM_PARENTCTL3DCHANGED:
        if (m_parentCtl3D && m_parent) {
            m_ctl3D = m_parent->m_ctl3D;
            Perform(CM_CTL3DCHANGED);
        }
        return;
    case CM_DOUBLEBUFFEREDCHANGED: NotifyControls(CM_PARENTDOUBLEBUFFEREDCHANGED); return;
    case CM_PARENTDOUBLEBUFFEREDCHANGED:
        if (m_parentDoubleBuffered && m_parent)
            m_doubleBuffered = m_parent->m_doubleBuffered;
        return;
    case CM_STYLECHANGED:
        NotifyControls(CM_STYLECHANGED);
        Invalidate();
        return;
    default:
        TControl::Dispatch(Message);
    }
}

void TWinControl::DefaultHandler(TMessage& Message)
{
    if (!m_handle) {
        TControl::DefaultHandler(Message);
        return;
    }
    if (Message.Msg == WM_SETTEXT)
        m_text = Message.LParam ? String(reinterpret_cast<const char16_t*>(Message.LParam)) : String();
    // Reflected notifications nobody answered, and the framework's own
    // messages, mean nothing to the window system.
    if (Message.Msg >= CM_BASE && Message.Msg < CN_BASE + 0x400)
        return;
    Message.Result = DefWindowProc(m_handle, Message.Msg, Message.WParam, Message.LParam);
}

void TWinControl::WMPaint(TMessage& Message)
{
    PaintHandler(Message);
}

void TWinControl::PaintHandler(TMessage& Message)
{
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    PAINTSTRUCT ps;
    const bool own = dc == nullptr;
    if (own) {
        dc = BeginPaint(m_handle, ps);
        if (!dc)
            return;
    }
    try {
        const TRect client = GetClientRect();
        if (own && m_doubleBuffered && client.Width() > 0 && client.Height() > 0) {
            HDC mem = CreateCompatibleDC(dc);
            HBITMAP bmp = CreateCompatibleBitmap(dc, client.Width(), client.Height());
            HGDIOBJ old = SelectObject(mem, bmp);
            Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem), reinterpret_cast<LPARAM>(mem));
            PaintWindow(mem);
            PaintControls(mem, nullptr);
            BitBlt(dc, 0, 0, client.Width(), client.Height(), mem, 0, 0, SRCCOPY);
            SelectObject(mem, old);
            DeleteObject(bmp);
            DeleteDC(mem);
        } else {
            PaintWindow(dc);
            PaintControls(dc, nullptr);
        }
    } catch (...) {
        // Painting never raises into the window system.
        ReportException();
    }
    if (own)
        EndPaint(m_handle, ps);
    Message.Result = 0;
}

void TWinControl::PaintWindow(HDC) { }

void TWinControl::PaintControls(HDC DC, TControl* First)
{
    auto it = m_controls.begin();
    if (First)
        it = std::find(m_controls.begin(), m_controls.end(), First);
    for (; it != m_controls.end(); ++it) {
        TControl* c = *it;
        if (c->IsWindowed() || !c->m_visible)
            continue;
        const RECT r = c->GetBoundsRect();
        if (!RectVisible(DC, &r))
            continue;
        const int saved = SaveDC(DC);
        OffsetViewportOrgEx(DC, c->m_left, c->m_top, nullptr);
        IntersectClipRect(DC, 0, 0, c->m_width, c->m_height);
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
        RestoreDC(DC, saved);
    }
}

void TWinControl::PaintTo(HDC DC, int X, int Y)
{
    HandleNeeded();
    const int saved = SaveDC(DC);
    OffsetViewportOrgEx(DC, X, Y, nullptr);
    IntersectClipRect(DC, 0, 0, m_width, m_height);
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(DC));
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    for (TControl* c : m_controls)
        if (c->IsWindowed() && c->m_visible)
            static_cast<TWinControl*>(c)->PaintTo(DC, c->m_left, c->m_top);
    RestoreDC(DC, saved);
}

void TWinControl::WMEraseBkgnd(TMessage& Message)
{
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (!dc)
        return;
    const RECT r = GetClientRect();
    // Under a visual style the background takes the style's colours too,
    // unless the control opted its client area out of the style.
    const bool styled = StyleServices()->GetEnabled() && GetStyleElements().Contains(seClient);
    HBRUSH b = CreateSolidBrush(COLORREF(styled ? StyleColorToRGB(m_color) : ColorToRGB(m_color)));
    FillRect(dc, &r, b);
    DeleteObject(b);
    Message.Result = 1;
}

void TWinControl::WMSetFocus(TMessage& Message)
{
    if (TCustomForm* f = GetParentForm(this))
        f->SetFocusedControl(this);
    DefaultHandler(Message);
}

void TWinControl::WMKillFocus(TMessage& Message)
{
    DefaultHandler(Message);
}

void TWinControl::CMFocusChanged(TMessage& Message)
{
    Broadcast(Message);
    Message.Result = 0;
}

void TWinControl::WMWindowPosChanged(TMessage& Message)
{
    FreeDeviceContexts();
    if (!m_updatingBounds) {
        const int oldW = m_width, oldH = m_height;
        UpdateBoundsFromWindow();
        m_updatingBounds = true;
        struct Reset { bool& f; ~Reset() { f = false; } } reset { m_updatingBounds };
        if (oldW != m_width || oldH != m_height)
            RequestAlign();
    }
    DefaultHandler(Message);
}

void TWinControl::WMSize(TMessage& Message)
{
    Realign();
    Resize();
    DefaultHandler(Message);
}

void TWinControl::CNKeyDown(TMessage& Message)
{
    Message.Result = 1;
    if (TCustomForm* f = GetParentForm(this)) {
        TWMKey key { Message.Msg - CN_BASE, WORD(Message.WParam), Message.LParam, 0 };
        if (f->IsShortCut(key))
            return;
    }
    if (Perform(CM_CHILDKEY, Message.WParam, reinterpret_cast<LPARAM>(this)) != 0)
        return;
    LRESULT mask = 0;
    switch (Message.WParam) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN: case VK_ESCAPE: case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    default: break;
    }
    if (mask != 0 && Perform(CM_WANTSPECIALKEY, Message.WParam, Message.LParam) == 0
        && (Perform(WM_GETDLGCODE) & mask) == 0) {
        if (TCustomForm* f = GetParentForm(this))
            if (f->Perform(CM_DIALOGKEY, Message.WParam, Message.LParam) != 0)
                return;
    }
    Message.Result = 0;
}

void TWinControl::CNChar(TMessage& Message)
{
    Message.Result = 1;
    if ((Perform(WM_GETDLGCODE) & DLGC_WANTCHARS) == 0)
        if (TCustomForm* f = GetParentForm(this))
            if (f->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0)
                return;
    Message.Result = 0;
}

bool TWinControl::DoKeyDown(TMessage& Message)
{
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->GetKeyPreview() && form->DoKeyDown(Message))
        return true;
    WORD key = WORD(Message.WParam);
    if (!m_controlStyle.Contains(csNoStdEvents)) {
        KeyDown(key, KeyDataToShiftState(Message.LParam));
        Message.WParam = key;
        if (key == 0)
            return true;
    }
    return false;
}

bool TWinControl::DoKeyUp(TMessage& Message)
{
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->GetKeyPreview() && form->DoKeyUp(Message))
        return true;
    WORD key = WORD(Message.WParam);
    if (!m_controlStyle.Contains(csNoStdEvents)) {
        KeyUp(key, KeyDataToShiftState(Message.LParam));
        Message.WParam = key;
        if (key == 0)
            return true;
    }
    return false;
}

bool TWinControl::DoKeyPress(TMessage& Message)
{
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->GetKeyPreview() && form->DoKeyPress(Message))
        return true;
    char16_t ch = char16_t(Message.WParam);
    if (!m_controlStyle.Contains(csNoStdEvents)) {
        KeyPress(ch);
        Message.WParam = ch;
        if (ch == 0)
            return true;
    }
    return false;
}

void TWinControl::WMKey(TMessage& Message)
{
    const bool down = Message.Msg == WM_KEYDOWN || Message.Msg == WM_SYSKEYDOWN;
    if (down ? DoKeyDown(Message) : DoKeyUp(Message))
        return;
    // The menu key and Shift+F10 ask for the context menu from the keyboard.
    if (down && (Message.WParam == VK_APPS || (Message.WParam == VK_F10 && GetKeyState(VK_SHIFT) < 0))) {
        Message.Result = Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_handle), MAKELPARAM(0xFFFF, 0xFFFF));
        return;
    }
    DefaultHandler(Message);
}

void TWinControl::WMChar(TMessage& Message)
{
    if (DoKeyPress(Message))
        return;
    DefaultHandler(Message);
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift)
{
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyPress(char16_t& Key)
{
    if (OnKeyPress)
        OnKeyPress(this, Key);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift)
{
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

void TWinControl::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit()
{
    if (OnExit)
        OnExit(this);
}

// Child notifications come back to the child as CN_ messages.
void TWinControl::WMCommand(TMessage& Message)
{
    HWND child = reinterpret_cast<HWND>(Message.LParam);
    if (child && child != m_handle)
        if (TWinControl* c = FindControl(child)) {
            Message.Result = c->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
            return;
        }
    DefaultHandler(Message);
}

struct NMHDR_HEAD {
    HWND hwndFrom;
};

void TWinControl::WMNotify(TMessage& Message)
{
    if (Message.LParam) {
        HWND from = reinterpret_cast<const NMHDR_HEAD*>(Message.LParam)->hwndFrom;
        if (from && from != m_handle)
            if (TWinControl* c = FindControl(from)) {
                Message.Result = c->Perform(CN_NOTIFY, Message.WParam, Message.LParam);
                return;
            }
    }
    DefaultHandler(Message);
}

void TWinControl::WMScroll(TMessage& Message)
{
    WMCommand(Message);
}

void TWinControl::WMSetCursor(TMessage& Message)
{
    if (LOWORD(WPARAM(Message.LParam)) == WORD(HTCLIENT) && reinterpret_cast<HWND>(Message.WParam) == m_handle) {
        TCursor cur = Screen ? Screen->GetCursor() : crDefault;
        if (cur == crDefault) {
            POINT p;
            GetCursorPos(p);
            TControl* c = ControlAtPos(ScreenToClient({ p.X, p.Y }), false);
            cur = c ? c->GetCursor() : m_cursor;
            if (cur == crDefault && c)
                cur = m_cursor;
        }
        if (cur != crDefault) {
            ::SetCursor(CursorHandle(cur));
            Message.Result = 1;
            return;
        }
    }
    DefaultHandler(Message);
}

void TWinControl::WMMouseLeave(TMessage& Message)
{
    if (g_mouseControl && (g_mouseControl == this || (!g_mouseControl->IsWindowed() && g_mouseControl->m_parent == this))) {
        TControl* old = g_mouseControl;
        g_mouseControl = nullptr;
        old->Perform(CM_MOUSELEAVE);
        if (Application)
            Application->MouseControlChanged(nullptr);
    }
    DefaultHandler(Message);
}

void TWinControl::UpdateShowing()
{
    const bool showing = m_visible && (m_parent ? m_parent->m_showing : (m_handle && IsWindowVisible(m_handle)));
    if (showing == m_showing)
        return;
    m_showing = showing;
    Perform(CM_SHOWINGCHANGED);
    for (TControl* c : std::vector<TControl*>(m_controls))
        if (c->IsWindowed())
            static_cast<TWinControl*>(c)->UpdateShowing();
}

// ---- TControlCanvas, TCustomControl, TGraphicControl ----

QT_PUBLISHED(TControlCanvas)

namespace {
// Canvases holding a device context of a window: the context points into
// the window's back buffer, so it is given back before the buffer can move.
std::vector<TControlCanvas*>& CanvasesWithContexts()
{
    static auto* list = new std::vector<TControlCanvas*>;
    return *list;
}
} // namespace

void FreeDeviceContexts()
{
    auto list = CanvasesWithContexts();
    for (TControlCanvas* c : list)
        c->FreeHandle();
}

TControlCanvas::~TControlCanvas()
{
    FreeHandle();
}

void TControlCanvas::SetControl(TControl* c)
{
    if (c == m_control)
        return;
    FreeHandle();
    m_control = c;
}

void TControlCanvas::FreeHandle()
{
    if (m_dc) {
        HDC dc = m_dc;
        m_dc = nullptr;
        SetHandle(nullptr);
        ReleaseDC(m_window, dc);
        m_window = nullptr;
        auto& list = CanvasesWithContexts();
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

void TControlCanvas::CreateHandle()
{
    if (!m_control)
        return;
    HWND h = nullptr;
    TPoint offset;
    if (m_control->IsWindowed()) {
        h = static_cast<TWinControl*>(m_control)->GetHandle();
    } else if (TWinControl* p = m_control->GetParent()) {
        h = p->GetHandle();
        offset = { m_control->GetLeft(), m_control->GetTop() };
    }
    if (!h)
        return;
    m_dc = GetDC(h);
    m_window = h;
    if (!m_dc)
        return;
    CanvasesWithContexts().push_back(this);
    if (!m_control->IsWindowed()) {
        SetViewportOrgEx(m_dc, offset.X, offset.Y, nullptr);
        IntersectClipRect(m_dc, 0, 0, m_control->GetWidth(), m_control->GetHeight());
    }
    SetHandle(m_dc);
}

QT_PUBLISHED(TCustomControl)

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), m_canvas(std::make_unique<TControlCanvas>())
{
    m_canvas->SetControl(this);
}

TCustomControl::~TCustomControl()
{
    m_canvas->FreeHandle();
}

void TCustomControl::PaintWindow(HDC DC)
{
    m_canvas->FreeHandle();
    m_canvas->Lock();
    struct Done {
        TControlCanvas& c;
        ~Done()
        {
            c.SetHandle(nullptr);
            c.Unlock();
        }
    } done { *m_canvas };
    m_canvas->SetHandle(DC);
    m_controlState.Include(csCustomPaint);
    try {
        Paint();
    } catch (...) {
        m_controlState.Exclude(csCustomPaint);
        throw;
    }
    m_controlState.Exclude(csCustomPaint);
}

void TCustomControl::DestroyWnd()
{
    m_canvas->FreeHandle();
    TWinControl::DestroyWnd();
}

QT_PUBLISHED(TGraphicControl)

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), m_canvas(std::make_unique<TControlCanvas>())
{
    m_canvas->SetControl(this);
}

TGraphicControl::~TGraphicControl()
{
    m_canvas->FreeHandle();
}

void TGraphicControl::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_PAINT) {
        WMPaint(Message);
        return;
    }
    TControl::Dispatch(Message);
}

void TGraphicControl::WMPaint(TMessage& Message)
{
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (!dc)
        return;
    m_canvas->FreeHandle();
    m_canvas->Lock();
    struct Done {
        TControlCanvas& c;
        ~Done()
        {
            c.SetHandle(nullptr);
            c.Unlock();
        }
    } done { *m_canvas };
    m_canvas->SetHandle(dc);
    Paint();
}

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
