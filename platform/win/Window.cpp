#include "platform/win/Window.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/rtl/Clock.h"
#include "platform/rtl/MainThread.h"
#include "platform/win/Input.h"
#include "platform/win/System.h"
#include "platform/win/WindowManager.h"

using namespace winimpl;

namespace winimpl {

TState& State()
{
    static TState s;
    if (!s.desktop) {
        s.desktop = std::make_unique<TWnd>();
        s.desktop->handle = reinterpret_cast<HWND>(std::uintptr_t(0x10));
        s.desktop->style = WS_VISIBLE;
        s.desktop->created = true;
    }
    return s;
}

TWnd* Desktop()
{
    return State().desktop.get();
}

bool TWnd::IsTop() const
{
    return parent == Desktop();
}

TWnd* Find(HWND hwnd)
{
    auto& s = State();
    if (hwnd == s.desktop->handle)
        return s.desktop.get();
    auto it = s.windows.find(hwnd);
    return it == s.windows.end() ? nullptr : it->second.get();
}

TPostQueue& PostQueue()
{
    static TPostQueue q;
    return q;
}

void WakeQueue()
{
    auto& q = PostQueue();
    {
        std::lock_guard g(q.lock);
        q.wake = true;
    }
    q.arrived.notify_all();
    GetWindowBackend().Wake();
}

void PostFront(const MSG& msg)
{
    auto& q = PostQueue();
    std::lock_guard g(q.lock);
    q.messages.push_front(msg);
}

TWnd* TopOf(TWnd* w)
{
    while (w && w->parent && !w->IsTop())
        w = w->parent;
    return w && w != Desktop() ? w : nullptr;
}

TPoint WindowOriginInTop(const TWnd* w)
{
    TPoint p;
    while (w && !w->IsTop() && w != Desktop()) {
        p = p + w->rect.TopLeft();
        w = w->parent;
        p = p + TPoint(w->nc.Left, w->nc.Top);
    }
    return p;
}

TPoint ClientOriginOnScreen(const TWnd* w)
{
    TPoint p(w->nc.Left, w->nc.Top);
    while (w && w != Desktop()) {
        p = p + w->rect.TopLeft();
        w = w->parent;
        if (w && w != Desktop())
            p = p + TPoint(w->nc.Left, w->nc.Top);
    }
    return p;
}

bool EffectivelyVisible(const TWnd* w)
{
    for (; w && w != Desktop(); w = w->parent)
        if (!(w->style & WS_VISIBLE))
            return false;
    return w != nullptr;
}

bool EffectivelyEnabled(const TWnd* w)
{
    for (; w && w != Desktop(); w = w->parent) {
        if (w->style & WS_DISABLED)
            return false;
        if (w->IsTop())
            break;
    }
    return w != nullptr;
}

namespace {

TRegion WindowShapeInTop(const TWnd* w)
{
    const TPoint o = WindowOriginInTop(w);
    TRegion r(TRect(o.X, o.Y, o.X + w->rect.Width(), o.Y + w->rect.Height()));
    if (w->region) {
        TRegion shape = *w->region;
        shape.Offset(o.X, o.Y);
        r = r.Intersect(shape);
    }
    return r;
}

TRegion ClientAreaInTop(const TWnd* w)
{
    const TPoint o = WindowOriginInTop(w);
    const TRect c = w->ClientRect();
    return TRegion(TRect(o.X + w->nc.Left, o.Y + w->nc.Top, o.X + w->nc.Left + c.Width(), o.Y + w->nc.Top + c.Height()));
}

} // namespace

TRegion VisibleRegion(const TWnd* w, bool client)
{
    if (!EffectivelyVisible(w) || !w->redraw)
        return {};
    TRegion r = WindowShapeInTop(w);
    if (client)
        r = r.Intersect(ClientAreaInTop(w));
    if (client && (w->style & WS_CLIPCHILDREN))
        for (const TWnd* c : w->children)
            if (c->style & WS_VISIBLE)
                r = r.Subtract(WindowShapeInTop(c));
    for (const TWnd* x = w; !x->IsTop(); x = x->parent) {
        const TWnd* p = x->parent;
        if (x->style & WS_CLIPSIBLINGS)
            for (const TWnd* sib : p->children) {
                if (sib == x)
                    break;
                if (sib->style & WS_VISIBLE)
                    r = r.Subtract(WindowShapeInTop(sib));
            }
        r = r.Intersect(ClientAreaInTop(p)).Intersect(WindowShapeInTop(p));
    }
    return r;
}

void EnsureBuffer(TWnd* top)
{
    const int w = std::max(1, top->rect.Width());
    const int h = std::max(1, top->rect.Height());
    if (top->bufWidth == w && top->bufHeight == h && !top->pixels.empty())
        return;
    top->pixels.assign(std::size_t(w) * std::size_t(h) * 4, 0);
    top->bufWidth = w;
    top->bufHeight = h;
}

void InvalidateTree(TWnd* w, const TRegion& clientRgn, bool erase, bool children, bool allChildren)
{
    if (!w || w == Desktop() || !w->redraw)
        return;
    const TRegion area = clientRgn.Intersect(TRegion(w->ClientRect()));
    if (!area.IsEmpty()) {
        w->update = w->update.Union(area);
        if (erase)
            w->erasePending = true;
    }
    if (!children)
        return;
    for (TWnd* c : w->children) {
        if (!(c->style & WS_VISIBLE))
            continue;
        TRegion inChild = clientRgn;
        inChild.Offset(-c->rect.Left - c->nc.Left, -c->rect.Top - c->nc.Top);
        const TRegion whole(TRect(-c->nc.Left, -c->nc.Top, c->rect.Width() - c->nc.Left, c->rect.Height() - c->nc.Top));
        const TRegion hit = inChild.Intersect(whole);
        if (hit.IsEmpty())
            continue;
        if (!hit.Subtract(TRegion(c->ClientRect())).IsEmpty())
            c->framePending = true;
        InvalidateTree(c, hit, erase, allChildren || !(c->style & WS_CLIPCHILDREN), allChildren);
    }
}

void InvalidateWholeWindow(TWnd* w)
{
    if (!w)
        return;
    w->framePending = true;
    InvalidateTree(w, TRegion(w->ClientRect()), true, true, true);
}

} // namespace winimpl

// ---- Classes ----------------------------------------------------------------

namespace {

String ClassKey(const String& name)
{
    String k = name;
    for (auto& ch : k)
        if (ch >= u'a' && ch <= u'z')
            ch = char16_t(ch - 32);
    return k;
}

std::shared_ptr<TWndClass> FindClass(const String& name)
{
    auto& s = State();
    auto it = s.classes.find(ClassKey(name));
    return it == s.classes.end() ? nullptr : it->second;
}

} // namespace

void winimpl::OwnFrameStyles(DWORD& style, DWORD& exStyle, bool top)
{
    // Captioned top-level windows get their frame from the desktop.
    if (top && (style & WS_CAPTION) == WS_CAPTION) {
        style &= ~(WS_CAPTION | WS_THICKFRAME);
        exStyle &= ~WS_EX_DLGMODALFRAME;
    }
}

// Interior widths the frame styles take, in the order left, top, right, bottom.
// The default WM_NCPAINT draws exactly these widths (see DrawWindowFrame).
TRect winimpl::DefaultClientInsets(DWORD style, DWORD exStyle, bool top)
{
    OwnFrameStyles(style, exStyle, top);
    int edge = 0;
    if (style & WS_THICKFRAME)
        edge += Metric(SM_CXFRAME);
    else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
        edge += Metric(SM_CXFIXEDFRAME);
    else if (style & WS_BORDER)
        edge += Metric(SM_CXBORDER);
    if (exStyle & WS_EX_CLIENTEDGE)
        edge += Metric(SM_CXEDGE);
    else if (exStyle & WS_EX_STATICEDGE)
        edge += Metric(SM_CXBORDER);
    TRect r(edge, edge, edge, edge);
    if (style & WS_VSCROLL)
        r.Right += Metric(SM_CXVSCROLL);
    if (style & WS_HSCROLL)
        r.Bottom += Metric(SM_CYHSCROLL);
    return r;
}

namespace {

void RecalcClient(TWnd* w)
{
    RECT r = w->rect;
    SendMessage(w->handle, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&r));
    if (!(w = Find(w->handle)))
        return;
    w->nc = { std::max(0, r.Left - w->rect.Left), std::max(0, r.Top - w->rect.Top),
        std::max(0, w->rect.Right - r.Right), std::max(0, w->rect.Bottom - r.Bottom) };
}

std::vector<TWnd*>& SiblingList(TWnd* w)
{
    return w->parent->children;
}

// Puts a window at its place in its parent's z-order: topmost top-level
// windows stay ahead of the others.
void PlaceInZOrder(TWnd* w, HWND after)
{
    auto& list = SiblingList(w);
    list.erase(std::remove(list.begin(), list.end(), w), list.end());
    const bool topmost = w->IsTop() && (w->exStyle & WS_EX_TOPMOST);
    auto firstNonTopmost = [&] {
        return std::find_if(list.begin(), list.end(), [](TWnd* x) { return !(x->IsTop() && (x->exStyle & WS_EX_TOPMOST)); });
    };
    std::vector<TWnd*>::iterator pos;
    if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST)
        pos = topmost ? list.begin() : firstNonTopmost();
    else if (after == HWND_BOTTOM)
        pos = topmost ? firstNonTopmost() : list.end();
    else {
        auto it = std::find(list.begin(), list.end(), Find(after));
        pos = it == list.end() ? (topmost ? list.begin() : firstNonTopmost()) : it + 1;
        if (!topmost && pos < firstNonTopmost())
            pos = firstNonTopmost();
        if (topmost && pos > firstNonTopmost())
            pos = firstNonTopmost();
    }
    list.insert(pos, w);
}

void RemovePostedFor(HWND hwnd)
{
    auto& q = PostQueue();
    std::lock_guard g(q.lock);
    std::erase_if(q.messages, [&](const MSG& m) { return m.hwnd == hwnd; });
}

void InvalidateParentArea(TWnd* w, const TRect& rectInParent)
{
    TWnd* p = w->parent;
    if (!p || p == Desktop())
        return;
    // Whatever lay under the window shows now: the parent and every
    // sibling there repaint, whatever their clip styles.
    InvalidateTree(p, TRegion(rectInParent), true, true, true);
}

} // namespace

ATOM RegisterClassEx(const WNDCLASSEX& wc)
{
    auto& s = State();
    if (wc.lpszClassName.empty() || FindClass(wc.lpszClassName))
        return 0;
    auto c = std::make_shared<TWndClass>();
    c->info = wc;
    c->atom = s.nextAtom++;
    s.classes[ClassKey(wc.lpszClassName)] = c;
    return c->atom;
}

bool UnregisterClass(const String& className)
{
    auto& s = State();
    auto key = ClassKey(className);
    if (!s.classes.count(key))
        return false;
    for (auto& [h, w] : s.windows)
        if (w->cls == s.classes[key])
            return false; // still in use
    s.classes.erase(key);
    return true;
}

bool GetClassInfoEx(const String& className, WNDCLASSEX& out)
{
    auto c = FindClass(className);
    if (!c)
        return false;
    out = c->info;
    return true;
}

ULONG_PTR GetClassLongPtr(HWND hwnd, int index)
{
    TWnd* w = Find(hwnd);
    if (!w || !w->cls)
        return 0;
    switch (index) {
    case GCL_STYLE: return w->cls->info.style;
    case GCLP_HCURSOR: return reinterpret_cast<ULONG_PTR>(w->cls->info.hCursor);
    case GCLP_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(w->cls->info.hbrBackground);
    default: return 0;
    }
}

ULONG_PTR SetClassLongPtr(HWND hwnd, int index, LONG_PTR value)
{
    TWnd* w = Find(hwnd);
    if (!w || !w->cls)
        return 0;
    const ULONG_PTR old = GetClassLongPtr(hwnd, index);
    switch (index) {
    case GCL_STYLE: w->cls->info.style = UINT(value); break;
    case GCLP_HCURSOR: w->cls->info.hCursor = reinterpret_cast<HCURSOR>(value); break;
    case GCLP_HBRBACKGROUND: w->cls->info.hbrBackground = reinterpret_cast<HBRUSH>(value); break;
    default: return 0;
    }
    if (TWnd* top = TopOf(w); top && index == GCL_STYLE)
        GetWindowBackend().TopLevelChanged(top->handle);
    return old;
}

// ---- Creation and destruction ----------------------------------------------

HWND CreateWindowEx(DWORD exStyle, const String& className, const String& windowName, DWORD style,
    int x, int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param)
{
    auto& s = State();
    auto cls = FindClass(className);
    if (!cls)
        return nullptr;
    TWnd* parentWnd = nullptr;
    TWnd* owner = nullptr;
    if (style & WS_CHILD) {
        parentWnd = Find(parent);
        if (!parentWnd)
            return nullptr;
    } else {
        parentWnd = Desktop();
        owner = parent ? Find(parent) : nullptr;
        if (owner)
            owner = TopOf(owner); // owners are always top-level windows
    }
    if (x == CW_USEDEFAULT) x = 0, y = (y == CW_USEDEFAULT ? 0 : y);
    if (width == CW_USEDEFAULT) width = 0, height = (height == CW_USEDEFAULT ? 0 : height);
    if (y == CW_USEDEFAULT) y = 0;
    if (height == CW_USEDEFAULT) height = 0;

    auto owned = std::make_unique<TWnd>();
    TWnd* w = owned.get();
    w->handle = reinterpret_cast<HWND>(s.nextHandle);
    s.nextHandle += 0x10;
    w->cls = cls;
    w->text = windowName;
    w->style = style & ~WS_VISIBLE;
    w->exStyle = exStyle;
    w->proc = cls->info.lpfnWndProc ? cls->info.lpfnWndProc : &DefWindowProc;
    w->id = (style & WS_CHILD) ? LONG_PTR(reinterpret_cast<std::intptr_t>(menu)) : 0;
    w->instance = instance;
    w->parent = parentWnd;
    w->owner = owner;
    w->rect = Bounds(x, y, std::max(0, width), std::max(0, height));
    const HWND h = w->handle;
    s.windows[h] = std::move(owned);
    PlaceInZOrder(w, HWND_TOP);
    if (!(style & WS_CHILD))
        w->style |= WS_CLIPSIBLINGS;

    CREATESTRUCT cs;
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hMenu = menu;
    cs.hwndParent = parent;
    cs.x = x;
    cs.y = y;
    cs.cx = width;
    cs.cy = height;
    cs.style = LONG(style);
    cs.lpszName = w->text.c_str();
    cs.lpszClass = cls->info.lpszClassName.c_str();
    cs.dwExStyle = exStyle;
    auto fail = [&] {
        if (Find(h))
            DestroyWindow(h);
        return nullptr;
    };
    if (!SendMessage(h, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)))
        return fail();
    if (!(w = Find(h)))
        return nullptr;
    RecalcClient(w);
    if (SendMessage(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1)
        return fail();
    if (!(w = Find(h)))
        return nullptr;
    w->created = true;
    const TRect c = w->ClientRect();
    SendMessage(h, WM_SIZE, 0, MAKELPARAM(WORD(c.Width()), WORD(c.Height())));
    SendMessage(h, WM_MOVE, 0, MAKELPARAM(WORD(w->rect.Left + w->nc.Left), WORD(w->rect.Top + w->nc.Top)));
    if (!(w = Find(h)))
        return nullptr;
    if ((style & WS_CHILD) && !(exStyle & WS_EX_NOPARENTNOTIFY) && w->parent)
        SendMessage(w->parent->handle, WM_PARENTNOTIFY, MAKEWPARAM(WORD(WM_CREATE), WORD(w->id)), reinterpret_cast<LPARAM>(h));
    if (Find(h) && (style & WS_VISIBLE))
        ShowWindow(h, SW_SHOW);
    return Find(h) ? h : nullptr;
}

bool IsWindow(HWND hwnd)
{
    TWnd* w = Find(hwnd);
    return w && w != Desktop();
}

namespace {

void SendDestroyTree(HWND h)
{
    SendMessage(h, WM_DESTROY, 0, 0);
    TWnd* w = Find(h);
    if (!w)
        return;
    std::vector<HWND> kids;
    for (TWnd* c : w->children)
        kids.push_back(c->handle);
    for (HWND c : kids)
        if (TWnd* cw = Find(c); cw && !cw->destroying) {
            cw->destroying = true;
            SendDestroyTree(c);
        }
}

void FreeTree(HWND h)
{
    TWnd* w = Find(h);
    if (!w)
        return;
    std::vector<HWND> kids;
    for (TWnd* c : w->children)
        kids.push_back(c->handle);
    for (HWND c : kids)
        FreeTree(c);
    SendMessage(h, WM_NCDESTROY, 0, 0);
    if (!(w = Find(h)))
        return;
    auto& s = State();
    std::erase_if(s.timers, [&](const TTimer& t) { return t.hwnd == h; });
    RemovePostedFor(h);
    auto& list = SiblingList(w);
    list.erase(std::remove(list.begin(), list.end(), w), list.end());
    if (w->IsTop())
        GetWindowBackend().TopLevelDestroyed(h);
    for (auto& [hh, other] : s.windows)
        if (other->owner == w)
            other->owner = nullptr;
    s.windows.erase(h);
    ForgetDropTarget(h);
}

} // namespace

bool DestroyWindow(HWND hwnd)
{
    TWnd* w = Find(hwnd);
    if (!w || w == Desktop() || w->destroying)
        return false;
    auto& s = State();
    // Owned pop-ups go first.
    std::vector<HWND> ownedWindows;
    for (auto& [h, other] : s.windows)
        if (other->owner == w)
            ownedWindows.push_back(h);
    for (HWND o : ownedWindows)
        DestroyWindow(o);
    if (!(w = Find(hwnd)))
        return true;
    w->destroying = true;
    const bool wasVisible = EffectivelyVisible(w);
    const TRect old = w->rect;
    if (w->style & WS_VISIBLE)
        ShowWindow(hwnd, SW_HIDE);
    if (!(w = Find(hwnd)))
        return true;
    if ((w->style & WS_CHILD) && !(w->exStyle & WS_EX_NOPARENTNOTIFY) && w->parent)
        SendMessage(w->parent->handle, WM_PARENTNOTIFY, MAKEWPARAM(WORD(WM_DESTROY), WORD(w->id)), reinterpret_cast<LPARAM>(hwnd));
    // Everything below goes too: focus, capture and activation leave first.
    std::vector<HWND> tree;
    std::vector<TWnd*> stack { w };
    while (!stack.empty()) {
        TWnd* x = stack.back();
        stack.pop_back();
        tree.push_back(x->handle);
        for (TWnd* c : x->children)
            stack.push_back(c);
    }
    for (HWND h : tree)
        ForgetWindow(h);
    SendDestroyTree(hwnd);
    TWnd* parent = Find(hwnd) ? Find(hwnd)->parent : nullptr;
    FreeTree(hwnd);
    if (wasVisible && parent && parent != Desktop() && Find(parent->handle))
        InvalidateTree(parent, TRegion(old), true, true, true);
    return true;
}

// ---- Window procedures and longs -------------------------------------------

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return proc ? proc(hwnd, msg, wParam, lParam) : 0;
}

LONG_PTR GetWindowLongPtr(HWND hwnd, int index)
{
    TWnd* w = Find(hwnd);
    if (!w || w == Desktop())
        return 0;
    switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>(w->IsTop() ? (w->owner ? w->owner->handle : nullptr) : w->parent->handle);
    case GWLP_ID: return w->id;
    case GWL_STYLE: return LONG_PTR(LONG(w->style));
    case GWL_EXSTYLE: return LONG_PTR(LONG(w->exStyle));
    case GWLP_USERDATA: return w->userData;
    default: return 0;
    }
}

LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value)
{
    TWnd* w = Find(hwnd);
    if (!w || w == Desktop())
        return 0;
    const LONG_PTR old = GetWindowLongPtr(hwnd, index);
    switch (index) {
    case GWLP_WNDPROC: w->proc = reinterpret_cast<WNDPROC>(value); break;
    case GWLP_HINSTANCE: w->instance = reinterpret_cast<HINSTANCE>(value); break;
    case GWLP_HWNDPARENT:
        if (w->IsTop()) {
            TWnd* o = Find(reinterpret_cast<HWND>(value));
            w->owner = o && o != Desktop() ? TopOf(o) : nullptr;
        }
        break;
    case GWLP_ID: w->id = value; break;
    case GWLP_USERDATA: w->userData = value; break;
    case GWL_STYLE:
    case GWL_EXSTYLE: {
        struct { DWORD oldStyle, newStyle; } ss { DWORD(old), DWORD(value) };
        SendMessage(hwnd, WM_STYLECHANGING, WPARAM(index), reinterpret_cast<LPARAM>(&ss));
        if (!(w = Find(hwnd)))
            return old;
        DWORD v = ss.newStyle;
        if (index == GWL_STYLE) {
            // Visibility and enabling change through their own calls.
            v = (v & ~(WS_VISIBLE)) | (w->style & WS_VISIBLE);
            if (w->IsTop())
                v |= WS_CLIPSIBLINGS;
            w->style = v;
        } else {
            const bool topmostChanged = ((w->exStyle ^ v) & WS_EX_TOPMOST) != 0;
            w->exStyle = v;
            if (topmostChanged && w->IsTop())
                PlaceInZOrder(w, (v & WS_EX_TOPMOST) ? HWND_TOPMOST : HWND_NOTOPMOST);
        }
        SendMessage(hwnd, WM_STYLECHANGED, WPARAM(index), reinterpret_cast<LPARAM>(&ss));
        if ((w = Find(hwnd)) && w->IsTop())
            GetWindowBackend().TopLevelChanged(hwnd);
        break;
    }
    default: return 0;
    }
    return old;
}

String GetWindowText(HWND hwnd)
{
    TWnd* w = Find(hwnd);
    if (!w)
        return {};
    const LRESULT len = SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0);
    if (len <= 0)
        return {};
    String buf(std::size_t(len) + 1, u'\0');
    const LRESULT got = SendMessage(hwnd, WM_GETTEXT, WPARAM(buf.size()), reinterpret_cast<LPARAM>(buf.data()));
    buf.resize(std::size_t(std::clamp<LRESULT>(got, 0, len)));
    return buf;
}

bool SetWindowText(HWND hwnd, const String& text)
{
    if (!Find(hwnd))
        return false;
    return SendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) != 0;
}

String GetClassName(HWND hwnd)
{
    TWnd* w = Find(hwnd);
    return w && w->cls ? w->cls->info.lpszClassName : String();
}

// ---- Tree ---------------------------------------------------------------------

HWND GetDesktopWindow()
{
    return Desktop()->handle;
}

HWND GetParent(HWND hwnd)
{
    TWnd* w = Find(hwnd);
    if (!w || w == Desktop())
        return nullptr;
    if (w->style & WS_CHILD)
        return w->parent->handle;
    return (w->style & WS_POPUP) && w->owner ? w->owner->handle : nullptr;
}

HWND SetParent(HWND child, HWND newParent)
{
    TWnd* w = Find(child);
    if (!w || w == Desktop())
        return nullptr;
    TWnd* p = newParent ? Find(newParent) : Desktop();
    if (!p)
        return nullptr;
    for (TWnd* x = p; x; x = x->parent)
        if (x == w)
            return nullptr; // would make a cycle
    TWnd* old = w->parent;
    const bool wasVisible = EffectivelyVisible(w);
    const TRect oldRect = w->rect;
    if (w->IsTop() && p != Desktop())
        GetWindowBackend().TopLevelDestroyed(child);
    auto& list = old->children;
    list.erase(std::remove(list.begin(), list.end(), w), list.end());
    w->parent = p;
    w->owner = nullptr;
    PlaceInZOrder(w, HWND_TOP);
    if (old != Desktop() && wasVisible)
        InvalidateTree(old, TRegion(oldRect), true, true, true);
    if (EffectivelyVisible(w))
        InvalidateWholeWindow(w);
    if (w->IsTop())
        GetWindowBackend().TopLevelChanged(child);
    return old->handle;
}

HWND GetAncestor(HWND hwnd, UINT flags)
{
    TWnd* w = Find(hwnd);
    if (!w || w == Desktop())
        return nullptr;
    switch (flags) {
    case GA_PARENT: return w->parent ? w->parent->handle : nullptr;
    case GA_ROOT: return TopOf(w)->handle;
    case GA_ROOTOWNER: {
        TWnd* t = TopOf(w);
        while (t->owner)
            t = t->owner;
        return t->handle;
    }
    default: return nullptr;
    }
}

HWND GetWindow(HWND hwnd, UINT cmd)
{
    TWnd* w = Find(hwnd);
    if (!w)
        return nullptr;
    if (cmd == GW_CHILD)
        return w->children.empty() ? nullptr : w->children.front()->handle;
    if (cmd == GW_OWNER)
        return w->owner ? w->owner->handle : nullptr;
    if (w == Desktop())
        return nullptr;
    auto& list = SiblingList(w);
    auto it = std::find(list.begin(), list.end(), w);
    switch (cmd) {
    case GW_HWNDFIRST: return list.front()->handle;
    case GW_HWNDLAST: return list.back()->handle;
    case GW_HWNDNEXT: return it + 1 == list.end() ? nullptr : (*(it + 1))->handle;
    case GW_HWNDPREV: return it == list.begin() ? nullptr : (*(it - 1))->handle;
    default: return nullptr;
    }
}

HWND GetTopWindow(HWND parent)
{
    return GetWindow(parent ? parent : GetDesktopWindow(), GW_CHILD);
}

bool IsChild(HWND parent, HWND hwnd)
{
    TWnd* p = Find(parent);
    TWnd* w = Find(hwnd);
    if (!p || !w)
        return false;
    for (TWnd* x = w; x && (x->style & WS_CHILD); x = x->parent)
        if (x->parent == p)
            return true;
    return false;
}

int GetDlgCtrlID(HWND hwnd)
{
    return int(GetWindowLongPtr(hwnd, GWLP_ID));
}

// ---- Geometry -----------------------------------------------------------------

namespace {

struct TMovedListeners {
    std::mutex Lock;
    UINT_PTR NextId { 1 };
    std::vector<std::pair<UINT_PTR, TTopLevelMovedListener>> Items;
};

TMovedListeners& MovedListeners()
{
    static TMovedListeners* listeners = new TMovedListeners; // outlives exit-time destruction
    return *listeners;
}

void NotifyTopLevelMoved(HWND top)
{
    TMovedListeners& l = MovedListeners();
    std::vector<std::pair<UINT_PTR, TTopLevelMovedListener>> items;
    {
        std::lock_guard lock(l.Lock);
        items = l.Items;
    }
    // A listener may unsubscribe (itself or another) while the copy runs.
    for (auto& [id, listener] : items) {
        bool live;
        {
            std::lock_guard lock(l.Lock);
            live = std::any_of(l.Items.begin(), l.Items.end(), [&](const auto& i) { return i.first == id; });
        }
        if (live)
            listener(top);
    }
}

} // namespace

UINT_PTR SubscribeTopLevelMoved(TTopLevelMovedListener listener)
{
    if (!listener)
        return 0;
    TMovedListeners& l = MovedListeners();
    std::lock_guard lock(l.Lock);
    const UINT_PTR id = l.NextId++;
    l.Items.emplace_back(id, std::move(listener));
    return id;
}

void UnsubscribeTopLevelMoved(UINT_PTR id)
{
    TMovedListeners& l = MovedListeners();
    std::lock_guard lock(l.Lock);
    std::erase_if(l.Items, [&](const auto& i) { return i.first == id; });
}

bool SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    TWnd* w = Find(hwnd);
    if (!w || w == Desktop())
        return false;
    WINDOWPOS wp { hwnd, insertAfter, x, y, cx, cy, flags };
    if (flags & SWP_NOMOVE)
        wp.x = w->rect.Left, wp.y = w->rect.Top;
    if (flags & SWP_NOSIZE)
        wp.cx = w->rect.Width(), wp.cy = w->rect.Height();
    if (!(flags & SWP_NOSENDCHANGING)) {
        SendMessage(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
        if (!(w = Find(hwnd)))
            return false;
    }
    flags = wp.flags;
    const TRect oldRect = w->rect;
    const bool wasVisible = EffectivelyVisible(w);
    TRect newRect = Bounds(wp.x, wp.y, std::max(0, wp.cx), std::max(0, wp.cy));
    const bool moved = newRect.TopLeft() != oldRect.TopLeft();
    const bool sized = newRect.Width() != oldRect.Width() || newRect.Height() != oldRect.Height();
    w->rect = newRect;
    if (sized || (flags & SWP_FRAMECHANGED))
        RecalcClient(w);
    if (!(w = Find(hwnd)))
        return false;
    if (insertAfter == HWND_TOPMOST && w->IsTop())
        w->exStyle |= WS_EX_TOPMOST;
    else if (insertAfter == HWND_NOTOPMOST && w->IsTop())
        w->exStyle &= ~WS_EX_TOPMOST;
    const bool zChange = !(flags & SWP_NOZORDER);
    if (zChange)
        PlaceInZOrder(w, insertAfter);
    bool showChange = false;
    if ((flags & SWP_SHOWWINDOW) && !(w->style & WS_VISIBLE)) {
        w->style |= WS_VISIBLE;
        showChange = true;
    } else if ((flags & SWP_HIDEWINDOW) && (w->style & WS_VISIBLE)) {
        w->style &= ~WS_VISIBLE;
        showChange = true;
    }
    const bool nowVisible = EffectivelyVisible(w);
    const bool changed = moved || sized || showChange || zChange || (flags & SWP_FRAMECHANGED);
    if (!(flags & SWP_NOREDRAW) && changed) {
        if (!w->IsTop()) {
            // The parent and siblings repaint what the window uncovered.
            if (wasVisible)
                InvalidateParentArea(w, oldRect);
            if (nowVisible)
                InvalidateWholeWindow(w);
        } else if (nowVisible && (sized || showChange || (flags & SWP_FRAMECHANGED))) {
            // Moving a top-level window moves its pixels along.
            InvalidateWholeWindow(w);
        }
    }
    if (w->IsTop() && sized && nowVisible)
        InvalidateWholeWindow(w); // the back buffer is reallocated
    if (!nowVisible) {
        // Hidden windows have nothing to paint.
        std::vector<TWnd*> stack { w };
        while (!stack.empty()) {
            TWnd* x = stack.back();
            stack.pop_back();
            x->update.Clear();
            x->erasePending = x->framePending = false;
            for (TWnd* c : x->children)
                stack.push_back(c);
        }
    }
    if (showChange && !(w->style & WS_VISIBLE))
        ForgetWindow(hwnd);
    if (showChange && (w->style & WS_VISIBLE) && w->IsTop() && !(flags & SWP_NOACTIVATE) && !(w->exStyle & WS_EX_NOACTIVATE))
        Activate(hwnd, WA_ACTIVE);
    if (!(w = Find(hwnd)))
        return true;
    WINDOWPOS done { hwnd, insertAfter, w->rect.Left, w->rect.Top, w->rect.Width(), w->rect.Height(), flags };
    if (!moved)
        done.flags |= SWP_NOMOVE;
    if (!sized)
        done.flags |= SWP_NOSIZE;
    SendMessage(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&done));
    if ((w = Find(hwnd)) && w->IsTop() && (moved || sized || showChange || zChange))
        GetWindowBackend().TopLevelChanged(hwnd);
    if ((w = Find(hwnd)) && w->IsTop() && (moved || sized))
        NotifyTopLevelMoved(hwnd);
    return true;
}

bool MoveWindow(HWND hwnd, int x, int y, int width, int height, bool repaint)
{
    return SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

namespace {

// A top-level window that is maximised fills the work area, as the desktop's
// window manager makes it; restored, it takes back the rectangle it had.
void SizeForMaximized(TWnd* w)
{
    TRect target;
    if (w->style & WS_MAXIMIZE) {
        w->restoreRect = w->rect;
        RECT work;
        if (!SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0))
            return;
        target = work;
    } else {
        if (!w->restoreRect)
            return;
        target = *w->restoreRect;
        w->restoreRect.reset();
    }
    SetWindowPos(w->handle, nullptr, target.Left, target.Top, target.Width(), target.Height(),
        SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

bool ShowWindow(HWND hwnd, int cmd)
{
    TWnd* w = Find(hwnd);
    if (!w || w == Desktop())
        return false;
    const bool was = (w->style & WS_VISIBLE) != 0;
    const bool show = cmd != SW_HIDE;
    UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER;
    if (show) {
        if (!was)
            SendMessage(hwnd, WM_SHOWWINDOW, TRUE, 0);
        flags |= SWP_SHOWWINDOW;
        if (cmd == SW_SHOWNA || cmd == SW_SHOWNOACTIVATE || cmd == SW_SHOWMINNOACTIVE || (w->style & WS_CHILD))
            flags |= SWP_NOACTIVATE;
        else
            flags &= ~SWP_NOZORDER;
        const bool wasMaximized = (w->style & WS_MAXIMIZE) != 0;
        if (cmd == SW_SHOWMAXIMIZED)
            w->style = (w->style | WS_MAXIMIZE) & ~WS_MINIMIZE;
        else if (cmd == SW_MINIMIZE || cmd == SW_SHOWMINIMIZED || cmd == SW_SHOWMINNOACTIVE)
            w->style = (w->style | WS_MINIMIZE) & ~WS_MAXIMIZE;
        else if (cmd == SW_RESTORE || cmd == SW_SHOWNORMAL)
            w->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
        if (w->IsTop() && wasMaximized != ((w->style & WS_MAXIMIZE) != 0)) {
            SizeForMaximized(w);
            if (!(w = Find(hwnd)))
                return was;
        }
        if (was && (flags & SWP_NOACTIVATE))
            return true;
        if (was) {
            if (w->IsTop() && !(w->exStyle & WS_EX_NOACTIVATE))
                Activate(hwnd, WA_ACTIVE);
            return true;
        }
    } else {
        if (!was)
            return false;
        SendMessage(hwnd, WM_SHOWWINDOW, FALSE, 0);
        flags |= SWP_HIDEWINDOW | SWP_NOACTIVATE;
    }
    if (!Find(hwnd))
        return was;
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, flags);
    return was;
}

bool IsWindowVisible(HWND hwnd)
{
    TWnd* w = Find(hwnd);
    return w && w != Desktop() && EffectivelyVisible(w);
}

bool IsWindowEnabled(HWND hwnd)
{
    TWnd* w = Find(hwnd);
    return w && w != Desktop() && !(w->style & WS_DISABLED);
}

bool EnableWindow(HWND hwnd, bool enable)
{
    TWnd* w = Find(hwnd);
    if (!w || w == Desktop())
        return false;
    const bool wasDisabled = (w->style & WS_DISABLED) != 0;
    if (wasDisabled == !enable)
        return wasDisabled;
    if (!enable) {
        auto& s = State();
        if (s.focus && IsChild(hwnd, s.focus))
            SetFocus(nullptr);
        else if (s.focus == hwnd)
            SetFocus(nullptr);
        if (s.capture == hwnd)
            ReleaseCapture();
    }
    if (!(w = Find(hwnd)))
        return wasDisabled;
    if (enable)
        w->style &= ~WS_DISABLED;
    else
        w->style |= WS_DISABLED;
    SendMessage(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled;
}

bool IsIconic(HWND hwnd)
{
    TWnd* w = Find(hwnd);
    return w && (w->style & WS_MINIMIZE);
}

bool IsZoomed(HWND hwnd)
{
    TWnd* w = Find(hwnd);
    return w && (w->style & WS_MAXIMIZE);
}

bool GetWindowRect(HWND hwnd, RECT& out)
{
    TWnd* w = Find(hwnd);
    if (!w)
        return false;
    if (w == Desktop()) {
        out = GetWindowBackend().GetScreenRect();
        return true;
    }
    TPoint o = ClientOriginOnScreen(w) - TPoint(w->nc.Left, w->nc.Top);
    out = Bounds(o.X, o.Y, w->rect.Width(), w->rect.Height());
    return true;
}

bool GetClientRect(HWND hwnd, RECT& out)
{
    TWnd* w = Find(hwnd);
    if (!w)
        return false;
    if (w == Desktop()) {
        const TRect s = GetWindowBackend().GetScreenRect();
        out = { 0, 0, s.Width(), s.Height() };
        return true;
    }
    out = w->ClientRect();
    return true;
}

bool ClientToScreen(HWND hwnd, POINT& p)
{
    TWnd* w = Find(hwnd);
    if (!w)
        return false;
    if (w != Desktop())
        p = p + ClientOriginOnScreen(w);
    return true;
}

bool ScreenToClient(HWND hwnd, POINT& p)
{
    TWnd* w = Find(hwnd);
    if (!w)
        return false;
    if (w != Desktop())
        p = p - ClientOriginOnScreen(w);
    return true;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count)
{
    TPoint a, b;
    if (from && !Find(from))
        return 0;
    if (to && !Find(to))
        return 0;
    if (from && Find(from) != Desktop())
        a = ClientOriginOnScreen(Find(from));
    if (to && Find(to) != Desktop())
        b = ClientOriginOnScreen(Find(to));
    const TPoint d = a - b;
    for (UINT i = 0; i < count; ++i)
        points[i] = points[i] + d;
    return int(MAKELONG(WORD(std::int16_t(d.X)), WORD(std::int16_t(d.Y))));
}

int MapWindowPoints(HWND from, HWND to, RECT& rect)
{
    POINT pts[2] { rect.TopLeft(), rect.BottomRight() };
    const int r = MapWindowPoints(from, to, pts, 2);
    rect = TRect(pts[0], pts[1]);
    return r;
}

namespace {

bool HitsShape(const TWnd* w, TPoint inParentClient)
{
    if (!w->rect.Contains(inParentClient))
        return false;
    if (w->region && !w->region->Contains(inParentClient - w->rect.TopLeft()))
        return false;
    return true;
}

// The deepest visible window at a screen point: top-level windows in
// z-order, then children; disabled children leave the point to their parent.
TWnd* HitTestTree(TPoint screen, bool sendHitTest)
{
    for (TWnd* top : Desktop()->children) {
        if (!(top->style & WS_VISIBLE) || !HitsShape(top, screen))
            continue;
        if ((top->exStyle & (WS_EX_LAYERED | WS_EX_TRANSPARENT)) == (WS_EX_LAYERED | WS_EX_TRANSPARENT))
            continue;
        if (sendHitTest && SendMessage(top->handle, WM_NCHITTEST, 0, MAKELPARAM(WORD(screen.X), WORD(screen.Y))) == HTTRANSPARENT)
            continue;
        TWnd* w = top;
        for (;;) {
            TPoint local = screen - ClientOriginOnScreen(w);
            if (!w->ClientRect().Contains(local))
                break;
            TWnd* next = nullptr;
            for (TWnd* c : w->children) {
                if (!(c->style & WS_VISIBLE) || (c->style & WS_DISABLED) || !HitsShape(c, local))
                    continue;
                if (sendHitTest && SendMessage(c->handle, WM_NCHITTEST, 0, MAKELPARAM(WORD(screen.X), WORD(screen.Y))) == HTTRANSPARENT)
                    continue;
                next = c;
                break;
            }
            if (!next)
                break;
            w = next;
        }
        return w;
    }
    return nullptr;
}

} // namespace

namespace winimpl {
TWnd* WindowAtPoint(TPoint screen)
{
    return HitTestTree(screen, true);
}
}

HWND WindowFromPoint(POINT screen)
{
    TWnd* w = HitTestTree(screen, true);
    return w ? w->handle : nullptr;
}

HWND ChildWindowFromPointEx(HWND parent, POINT client, UINT flags)
{
    TWnd* p = Find(parent);
    if (!p)
        return nullptr;
    if (p != Desktop() && !p->ClientRect().Contains(client))
        return nullptr;
    for (TWnd* c : p->children) {
        if ((flags & CWP_SKIPINVISIBLE) && !(c->style & WS_VISIBLE))
            continue;
        if ((flags & CWP_SKIPDISABLED) && (c->style & WS_DISABLED))
            continue;
        if ((flags & CWP_SKIPTRANSPARENT) && (c->exStyle & WS_EX_TRANSPARENT))
            continue;
        if (HitsShape(c, client))
            return c->handle;
    }
    return parent;
}

HWND ChildWindowFromPoint(HWND parent, POINT client)
{
    return ChildWindowFromPointEx(parent, client, CWP_ALL);
}

bool SetWindowRegion(HWND hwnd, std::optional<TRegion> region, bool redraw)
{
    TWnd* w = Find(hwnd);
    if (!w || w == Desktop())
        return false;
    const bool visible = EffectivelyVisible(w);
    w->region = std::move(region);
    if (redraw && visible) {
        if (!w->IsTop())
            InvalidateParentArea(w, w->rect);
        InvalidateWholeWindow(w);
    }
    if (w->IsTop())
        GetWindowBackend().TopLevelChanged(hwnd);
    return true;
}

std::optional<TRegion> GetWindowRegion(HWND hwnd)
{
    TWnd* w = Find(hwnd);
    return w ? w->region : std::nullopt;
}

bool SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags)
{
    TWnd* w = Find(hwnd);
    if (!w || !(w->exStyle & WS_EX_LAYERED))
        return false;
    w->colorKey = key;
    w->alpha = alpha;
    w->layeredFlags = flags;
    if (TWnd* top = TopOf(w))
        GetWindowBackend().TopLevelChanged(top->handle);
    return true;
}

bool GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags)
{
    TWnd* w = Find(hwnd);
    if (!w || !(w->exStyle & WS_EX_LAYERED))
        return false;
    if (key) *key = w->colorKey;
    if (alpha) *alpha = w->alpha;
    if (flags) *flags = w->layeredFlags;
    return true;
}

bool UpdateLayeredWindowPixels(HWND hwnd, const POINT* pos, const SIZE* size, const TPixelBuffer& pixels, BYTE alpha)
{
    TWnd* w = Find(hwnd);
    if (!w || !w->IsTop() || !(w->exStyle & WS_EX_LAYERED) || !pixels.Data)
        return false;
    if (pos || size) {
        const TPoint p = pos ? *pos : w->rect.TopLeft();
        const TSize sz = size ? *size : TSize(w->rect.Width(), w->rect.Height());
        SetWindowPos(hwnd, nullptr, p.X, p.Y, sz.cx, sz.cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
        if (!(w = Find(hwnd)))
            return false;
    }
    EnsureBuffer(w);
    const int cw = std::min(w->bufWidth, pixels.Width);
    const int ch = std::min(w->bufHeight, pixels.Height);
    std::fill(w->pixels.begin(), w->pixels.end(), 0);
    for (int y = 0; y < ch; ++y)
        std::memcpy(w->pixels.data() + std::size_t(y) * w->bufWidth * 4, pixels.Data + std::size_t(y) * pixels.Stride, std::size_t(cw) * 4);
    w->perPixelAlpha = true;
    w->alpha = alpha;
    w->layeredFlags = LWA_ALPHA;
    w->update.Clear(); // the caller supplies the whole image; nothing to paint
    w->erasePending = w->framePending = false;
    w->dirty = TRegion(TRect(0, 0, w->bufWidth, w->bufHeight));
    GetWindowBackend().TopLevelChanged(hwnd);
    return true;
}

bool FlashWindow(HWND hwnd, bool)
{
    return IsWindow(hwnd) && GetActiveWindow() == GetAncestor(hwnd, GA_ROOT);
}

// ---- Monitors -------------------------------------------------------------------

namespace {
const HMONITOR kMonitor = reinterpret_cast<HMONITOR>(std::uintptr_t(0x4D01));

HMONITOR MonitorFor(bool inside, DWORD flags)
{
    if (inside || flags != MONITOR_DEFAULTTONULL)
        return kMonitor;
    return nullptr;
}
}

HMONITOR MonitorFromPoint(POINT p, DWORD flags)
{
    return MonitorFor(GetWindowBackend().GetScreenRect().Contains(p), flags);
}

HMONITOR MonitorFromRect(const RECT& r, DWORD flags)
{
    TRect x;
    return MonitorFor(IntersectRect(x, r, GetWindowBackend().GetScreenRect()), flags);
}

HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags)
{
    RECT r;
    if (!GetWindowRect(hwnd, r))
        return MonitorFor(false, flags);
    return MonitorFromRect(r, flags);
}

bool GetMonitorInfo(HMONITOR monitor, MONITORINFO& info)
{
    if (monitor != kMonitor)
        return false;
    info.rcMonitor = GetWindowBackend().GetScreenRect();
    info.rcWork = GetWindowBackend().GetWorkArea();
    info.dwFlags = MONITORINFOF_PRIMARY;
    return true;
}
