#include "platform/vcl/Menus.h"

#include <algorithm>

#include "platform/gdi/DrawText.h"
#include "platform/gdi/Frames.h"
#include "platform/vcl/ControlPaint.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/Themes.h"
#include "platform/win/Backend.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Input.h"

namespace {

struct TKeyName {
    WORD Key;
    const char16_t* Name;
};

// Names of the keys that are not a printable character.
constexpr TKeyName KeyNames[] = {
    { VK_BACK, u"BkSp" }, { VK_TAB, u"Tab" }, { VK_ESCAPE, u"Esc" }, { VK_RETURN, u"Enter" },
    { VK_SPACE, u"Space" }, { VK_PRIOR, u"PgUp" }, { VK_NEXT, u"PgDn" }, { VK_END, u"End" },
    { VK_HOME, u"Home" }, { VK_LEFT, u"Left" }, { VK_UP, u"Up" }, { VK_RIGHT, u"Right" },
    { VK_DOWN, u"Down" }, { VK_INSERT, u"Ins" }, { VK_DELETE, u"Del" },
};

String KeyName(WORD key)
{
    for (const TKeyName& k : KeyNames)
        if (k.Key == key)
            return k.Name;
    if (key >= VK_F1 && key <= VK_F1 + 23)
        return u"F" + IntToStr(key - VK_F1 + 1);
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return String(1, char16_t(key));
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9)
        return u"Num " + String(1, char16_t(u'0' + key - VK_NUMPAD0));
    const UINT ch = MapVirtualKey(key, MAPVK_VK_TO_CHAR) & 0xFFFF;
    if (ch > 32)
        return String(1, char16_t(ch));
    return {};
}

bool StartsWithText(const String& text, std::size_t at, const String& word)
{
    if (text.size() - at < word.size())
        return false;
    return StrLower(text.substr(at, word.size())) == StrLower(word);
}

} // namespace

TShortCut ShortCut(WORD Key, TShiftState Shift)
{
    if (Key & 0xFF00)
        return scNone;
    TShortCut s = Key;
    if (Shift.Contains(ssShift)) s |= scShift;
    if (Shift.Contains(ssCtrl)) s |= scCtrl;
    if (Shift.Contains(ssAlt)) s |= scAlt;
    return s;
}

void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift)
{
    Key = ShortCut & 0x00FF;
    Shift.Clear();
    if (ShortCut & scShift) Shift.Include(ssShift);
    if (ShortCut & scCtrl) Shift.Include(ssCtrl);
    if (ShortCut & scAlt) Shift.Include(ssAlt);
}

String ShortCutToText(TShortCut ShortCut)
{
    const String name = KeyName(ShortCut & 0xFF);
    if (name.empty())
        return {};
    String text;
    if (ShortCut & scShift) text += u"Shift+";
    if (ShortCut & scCtrl) text += u"Ctrl+";
    if (ShortCut & scAlt) text += u"Alt+";
    return text + name;
}

TShortCut TextToShortCut(const String& Text)
{
    TShortCut mods = 0;
    std::size_t at = 0;
    auto skipBlanks = [&] {
        while (at < Text.size() && Text[at] == u' ')
            ++at;
    };
    for (;;) {
        skipBlanks();
        const struct {
            const char16_t* Word;
            TShortCut Bit;
        } modifiers[] = { { u"Shift", scShift }, { u"Ctrl", scCtrl }, { u"Alt", scAlt } };
        bool found = false;
        for (const auto& m : modifiers) {
            const String word = m.Word;
            if (!StartsWithText(Text, at, word))
                continue;
            std::size_t after = at + word.size();
            while (after < Text.size() && Text[after] == u' ')
                ++after;
            if (after < Text.size() && Text[after] == u'+') {
                mods |= m.Bit;
                at = after + 1;
                found = true;
                break;
            }
        }
        if (!found)
            break;
    }
    String rest = Text.substr(at);
    while (!rest.empty() && rest.back() == u' ')
        rest.pop_back();
    if (rest.empty())
        return scNone;
    for (WORD key = 0x08; key <= 0xFF; ++key) {
        const String name = KeyName(key);
        if (!name.empty() && StrLower(name) == StrLower(rest))
            return TShortCut(key | mods);
    }
    return scNone;
}

TShortCut ShortCutFromMessage(const TWMKey& Message)
{
    return ShortCut(Message.CharCode, KeyDataToShiftState(Message.KeyData));
}

// ---- menu items ----

QT_PUBLISHED(TMenuItem, QT_PROP(Caption), QT_PROP(Checked), QT_PROP(RadioItem), QT_PROP(GroupIndex),
    QT_PROP(Enabled), QT_PROP(Visible), QT_PROP(Default), QT_PROP_T(ShortCut, u"TShortCut"), QT_PROP(ImageIndex),
    QT_PROP(Hint), QT_PROP(AutoHotkeys), QT_EVENT(OnClick))
QT_PUBLISHED(TMenu, QT_PROP(Images), QT_PROP(AutoHotkeys))
QT_PUBLISHED(TMainMenu)
QT_PUBLISHED(TPopupMenu, QT_PROP(Alignment), QT_PROP(AutoPopup), QT_EVENT(OnPopup), QT_EVENT(OnClose))
QT_PUBLISHED(TMenuBar)

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) { }

TMenuItem::~TMenuItem()
{
    if (m_parentItem)
        m_parentItem->Remove(this);
    Clear();
}

void TMenuItem::Changed()
{
    if (TMenu* m = GetMenu())
        m->MenuChanged();
}

TMenu* TMenuItem::GetMenu() const
{
    const TMenuItem* i = this;
    while (i->m_parentItem)
        i = i->m_parentItem;
    return i->m_menu;
}

void TMenuItem::SetCaption(const String& v)
{
    m_caption = v;
    Changed();
}

void TMenuItem::SetChecked(bool v)
{
    m_checked = v;
    if (v && m_radioItem && m_parentItem)
        for (TMenuItem* sibling : m_parentItem->m_items)
            if (sibling != this && sibling->m_radioItem && sibling->m_groupIndex == m_groupIndex)
                sibling->m_checked = false;
    Changed();
}

void TMenuItem::SetEnabled(bool v) { m_enabled = v; Changed(); }
void TMenuItem::SetVisible(bool v) { m_visible = v; Changed(); }

void TMenuItem::SetDefault(bool v)
{
    if (v && m_parentItem)
        for (TMenuItem* sibling : m_parentItem->m_items)
            sibling->m_default = false;
    m_default = v;
    Changed();
}

TCustomImageList* TMenuItem::ImagesOfParent() const
{
    for (const TMenuItem* p = m_parentItem; p; p = p->m_parentItem)
        if (p->m_subMenuImages)
            return p->m_subMenuImages;
    return nullptr;
}

TCustomImageList* TMenuItem::GetImages() const
{
    if (TCustomImageList* l = ImagesOfParent())
        return l;
    TMenu* m = GetMenu();
    return m ? m->GetImages() : nullptr;
}

TMenuItem* TMenuItem::GetItems(int Index) const
{
    if (Index < 0 || Index >= GetCount())
        throw EMenuError(u"Menu index out of range");
    return m_items[std::size_t(Index)];
}

int TMenuItem::GetMenuIndex() const
{
    return m_parentItem ? m_parentItem->IndexOf(this) : -1;
}

void TMenuItem::Add(TMenuItem* Item)
{
    Insert(GetCount(), Item);
}

void TMenuItem::Insert(int Index, TMenuItem* Item)
{
    if (!Item)
        return;
    if (Item->m_parentItem)
        throw EMenuError(u"Menu inserted twice");
    if (Index < 0 || Index > GetCount())
        throw EMenuError(u"Menu index out of range");
    for (const TMenuItem* p = this; p; p = p->m_parentItem)
        if (p == Item)
            throw EMenuError(u"Menu inserted into itself");
    m_items.insert(m_items.begin() + Index, Item);
    Item->m_parentItem = this;
    Changed();
}

void TMenuItem::Delete(int Index)
{
    TMenuItem* item = GetItems(Index);
    Remove(item);
    delete item;
}

void TMenuItem::Remove(TMenuItem* Item)
{
    auto it = std::find(m_items.begin(), m_items.end(), Item);
    if (it == m_items.end())
        return;
    m_items.erase(it);
    Item->m_parentItem = nullptr;
    Changed();
}

void TMenuItem::Clear()
{
    while (!m_items.empty())
        Delete(GetCount() - 1);
}

int TMenuItem::IndexOf(const TMenuItem* Item) const
{
    auto it = std::find(m_items.begin(), m_items.end(), Item);
    return it == m_items.end() ? -1 : int(it - m_items.begin());
}

namespace {

String StripHotkey(const String& s)
{
    String out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == u'&' && i + 1 < s.size())
            ++i;
        out += s[i];
    }
    return out;
}

// The accelerator character of a caption, 0 when it has none.
char16_t HotkeyOf(const String& s)
{
    for (std::size_t i = 0; i + 1 < s.size(); ++i) {
        if (s[i] == u'&') {
            if (s[i + 1] != u'&')
                return char16_t(StrUpper(String(1, s[i + 1]))[0]);
            ++i;
        }
    }
    return 0;
}

bool AutoHotkeysOn(const TMenuItem* item)
{
    for (const TMenuItem* p = item; p; p = p->GetParent()) {
        if (p->GetAutoHotkeys() == maAutomatic)
            return true;
        if (p->GetAutoHotkeys() == maManual)
            return false;
    }
    TMenu* m = item->GetMenu();
    return m && m->GetAutoHotkeys() == maAutomatic;
}

} // namespace

TMenuItem* TMenuItem::Find(const String& ACaption) const
{
    const String wanted = StrLower(StripHotkey(ACaption));
    for (TMenuItem* i : m_items)
        if (StrLower(StripHotkey(i->m_caption)) == wanted)
            return i;
    return nullptr;
}

String TMenuItem::DisplayCaption() const
{
    if (IsLine() || HotkeyOf(m_caption) || !m_parentItem || !AutoHotkeysOn(this))
        return m_caption;
    // Give the item the first letter no sibling uses yet.
    std::u16string used;
    for (TMenuItem* s : m_parentItem->m_items)
        if (s != this)
            if (char16_t h = HotkeyOf(s->m_caption))
                used += h;
    for (const TMenuItem* s : m_parentItem->m_items) {
        if (s == this)
            break;
        if (!HotkeyOf(s->m_caption) && !s->IsLine()) {
            // Earlier siblings without a mark take their letters first.
            const String shown = s->DisplayCaption();
            if (char16_t h = HotkeyOf(shown))
                used += h;
        }
    }
    for (std::size_t i = 0; i < m_caption.size(); ++i) {
        const char16_t up = char16_t(StrUpper(String(1, m_caption[i]))[0]);
        const bool letter = (up >= u'A' && up <= u'Z') || (up >= u'0' && up <= u'9');
        if (letter && used.find(up) == String::npos)
            return m_caption.substr(0, i) + u"&" + m_caption.substr(i);
    }
    return m_caption;
}

void TMenuItem::Click()
{
    if (!m_enabled)
        return;
    if (OnClick)
        OnClick(this);
}

// ---- TMenu ----

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), m_items(std::make_unique<TMenuItem>(nullptr))
{
    m_items->m_menu = this;
}

TMenu::~TMenu()
{
    m_items.reset();
}

void TMenu::SetImages(TCustomImageList* v)
{
    if (m_images)
        m_images->RemoveFreeNotification(this);
    m_images = v;
    if (v)
        v->FreeNotification(this);
    MenuChanged();
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == m_images)
        m_images = nullptr;
}

TMenuItem* TMenu::FindItemByShortCut(TShortCut ShortCut) const
{
    if (ShortCut == scNone)
        return nullptr;
    std::vector<TMenuItem*> stack { m_items.get() };
    while (!stack.empty()) {
        TMenuItem* i = stack.back();
        stack.pop_back();
        if (i != m_items.get() && i->GetShortCut() == ShortCut)
            return i;
        for (int k = i->GetCount() - 1; k >= 0; --k)
            stack.push_back(i->GetItems(k));
    }
    return nullptr;
}

bool TMenu::IsShortCut(TWMKey& Message)
{
    TMenuItem* item = FindItemByShortCut(ShortCutFromMessage(Message));
    if (!item)
        return false;
    // Every item on the way must be usable.
    for (TMenuItem* p = item; p && p != m_items.get(); p = p->GetParent())
        if (!p->GetEnabled() || !p->GetVisible())
            return false;
    item->Click();
    return true;
}

// ---- menu windows and the menu loop ----

namespace {

constexpr int ItemHeight = 20;
constexpr int SeparatorHeight = 9;
constexpr int CheckColumn = 22;
constexpr int ArrowColumn = 16;

bool Selectable(const TMenuItem* i) { return i->GetVisible() && !i->IsLine(); }

class TMenuWindow : public TCustomControl {
public:
    TMenuWindow(TMenuItem* Parent) : TCustomControl(nullptr), m_item(Parent)
    {
        m_visible = false;
        m_parentColor = false;
        m_parentFont = false;
        m_color = clMenu;
        m_controlStyle.Exclude(csCaptureMouse);
    }
    TMenuItem* Item() const { return m_item; }
    int Hot() const { return m_hot; }
    void SetHot(int v)
    {
        if (v != m_hot) {
            m_hot = v;
            Invalidate();
        }
    }
    // Rows of the visible children (index into the item's children).
    struct TRow {
        int Index;
        TRect Rect;
    };
    std::vector<TRow> Rows() const
    {
        std::vector<TRow> rows;
        int y = 3;
        const int w = m_width - 6;
        for (int i = 0; i < m_item->GetCount(); ++i) {
            TMenuItem* c = m_item->GetItems(i);
            if (!c->GetVisible())
                continue;
            const int h = c->IsLine() ? SeparatorHeight : ItemHeight;
            rows.push_back({ i, { 3, y, 3 + w, y + h } });
            y += h;
        }
        return rows;
    }
    int ItemAt(TPoint client) const
    {
        for (const TRow& r : Rows())
            if (PtInRect(r.Rect, client))
                return r.Index;
        return -1;
    }
    TSize NeededSize()
    {
        TMeasureDC dc;
        TFontSelection sel(dc, GetFont());
        int text = 0, keys = 0, h = 6;
        for (int i = 0; i < m_item->GetCount(); ++i) {
            TMenuItem* c = m_item->GetItems(i);
            if (!c->GetVisible())
                continue;
            h += c->IsLine() ? SeparatorHeight : ItemHeight;
            const String caption = StripHotkey(c->DisplayCaption());
            SIZE s {};
            GetTextExtentPoint32(dc, caption.c_str(), int(caption.size()), &s);
            text = std::max(text, int(s.cx));
            const String key = ShortCutToText(c->GetShortCut());
            if (!key.empty()) {
                GetTextExtentPoint32(dc, key.c_str(), int(key.size()), &s);
                keys = std::max(keys, int(s.cx) + 16);
            }
        }
        return { 6 + CheckColumn + text + keys + ArrowColumn + 8, h };
    }
    TRect RowRect(int Index) const
    {
        for (const TRow& r : Rows())
            if (r.Index == Index)
                return r.Rect;
        return {};
    }

protected:
    void CreateParams(TCreateParams& Params) override
    {
        TCustomControl::CreateParams(Params);
        Params.Style = WS_POPUP;
        Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
        Params.WndParent = nullptr;
    }
    void Dispatch(TMessage& Message) override
    {
        if (Message.Msg == WM_MOUSEACTIVATE) {
            Message.Result = MA_NOACTIVATE;
            return;
        }
        TCustomControl::Dispatch(Message);
    }
    void Paint() override;

private:
    TMenuItem* m_item;
    int m_hot { -1 };
};

void DrawGlyphCheck(HDC dc, const TRect& r, bool radio, TColor color)
{
    HBRUSH brush = CreateSolidBrush(COLORREF(color));
    HPEN pen = CreatePen(PS_SOLID, 1, COLORREF(color));
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    const int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
    if (radio) {
        Ellipse(dc, cx - 3, cy - 3, cx + 3, cy + 3);
    } else {
        for (int k = 0; k < 3; ++k) {
            MoveToEx(dc, cx - 3, cy - 1 + k, nullptr);
            LineTo(dc, cx - 1, cy + 1 + k);
            LineTo(dc, cx + 4, cy - 4 + k);
        }
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

void DrawSubmenuArrow(HDC dc, const TRect& r, TColor color)
{
    HPEN pen = CreatePen(PS_SOLID, 1, COLORREF(color));
    HGDIOBJ old = SelectObject(dc, pen);
    const int x = r.Left + 5, cy = (r.Top + r.Bottom) / 2;
    for (int k = 0; k < 4; ++k) {
        MoveToEx(dc, x + k, cy - 3 + k, nullptr);
        LineTo(dc, x + k, cy + 4 - k);
    }
    SelectObject(dc, old);
    DeleteObject(pen);
}

TColor MenuColor(TColor c) { return StyleColorToRGB(c); }

void TMenuWindow::Paint()
{
    TCanvas* canvas = GetCanvas();
    HDC dc = canvas->GetHandle();
    TRect client = GetClientRect();
    FillSolid(dc, client, MenuColor(clMenu));
    RECT edge = client;
    DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT);
    TCustomImageList* images = m_item->GetCount() ? m_item->GetItems(0)->GetImages() : nullptr;
    for (const TRow& row : Rows()) {
        TMenuItem* c = m_item->GetItems(row.Index);
        const TRect r = row.Rect;
        if (c->IsLine()) {
            RECT line { r.Left + 1, r.Top + SeparatorHeight / 2 - 1, r.Right - 1, r.Top + SeparatorHeight / 2 + 1 };
            DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
            continue;
        }
        const bool hot = row.Index == m_hot;
        const bool enabled = c->GetEnabled();
        FillSolid(dc, r, MenuColor(hot ? clHighlight : clMenu));
        const TColor text = MenuColor(!enabled ? clGrayText : hot ? clHighlightText : clMenuText);
        const TRect check { r.Left, r.Top, r.Left + CheckColumn, r.Bottom };
        if (images && c->GetImageIndex() >= 0 && c->GetImageIndex() < images->GetCount()) {
            canvas->Lock();
            images->Draw(canvas, check.Left + (CheckColumn - images->GetWidth()) / 2, check.Top + (r.Height() - images->GetHeight()) / 2, c->GetImageIndex(), enabled);
            canvas->Unlock();
            if (c->GetChecked())
                FrameSolid(dc, { check.Left + 1, check.Top + 1, check.Right - 1, check.Bottom - 1 }, text);
        } else if (c->GetChecked())
            DrawGlyphCheck(dc, check, c->GetRadioItem(), text);
        TFont bold;
        bold.Assign(GetFont());
        if (c->GetDefault())
            bold.SetStyle(bold.GetStyle() + fsBold);
        TRect tr { check.Right, r.Top, r.Right - ArrowColumn, r.Bottom };
        DrawTextIn(dc, &bold, c->DisplayCaption(), tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE, text);
        const String key = ShortCutToText(c->GetShortCut());
        if (!key.empty() && c->GetCount() == 0) {
            TRect kr { check.Right, r.Top, r.Right - ArrowColumn, r.Bottom };
            DrawTextIn(dc, &bold, key, kr, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, text);
        }
        if (c->GetCount() > 0)
            DrawSubmenuArrow(dc, { r.Right - ArrowColumn, r.Top, r.Right, r.Bottom }, text);
    }
}

// One run of the menu loop: the open pop-ups (innermost last) and, for a
// main menu, its bar.
class TMenuLoop {
public:
    TMenuLoop(TMenuBar* bar) : m_bar(bar) { }
    ~TMenuLoop()
    {
        while (!m_windows.empty())
            CloseTop();
        if (m_bar) {
            m_bar->SetPushed(false);
            m_bar->SetHotIndex(-1);
        }
    }

    // The pop-up of `item` at a screen point, flipped to stay on the screen.
    void Open(TMenuItem* item, TPoint at, int flipLeftX = -1, int flipUpY = -1)
    {
        auto w = std::make_unique<TMenuWindow>(item);
        const TSize s = w->NeededSize();
        const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
        if (at.X + s.cx > sw)
            at.X = flipLeftX >= 0 ? flipLeftX - s.cx : sw - s.cx;
        if (at.Y + s.cy > sh)
            at.Y = flipUpY >= 0 ? flipUpY - s.cy : sh - s.cy;
        at.X = std::max(0, at.X);
        at.Y = std::max(0, at.Y);
        w->HandleNeeded();
        SetWindowPos(w->GetHandle(), HWND_TOPMOST, at.X, at.Y, s.cx, s.cy, SWP_NOACTIVATE | SWP_SHOWWINDOW);
        w->SetBounds(at.X, at.Y, s.cx, s.cy);
        w->Invalidate();
        m_windows.push_back(std::move(w));
        if (m_windows.size() == 1)
            SetCapture(m_windows.front()->GetHandle());
    }
    void CloseTop()
    {
        if (m_windows.empty())
            return;
        if (m_windows.size() == 1 && GetCapture() == m_windows.front()->GetHandle())
            ReleaseCapture();
        m_windows.pop_back();
    }
    TMenuWindow* Top() const { return m_windows.empty() ? nullptr : m_windows.back().get(); }
    int Depth() const { return int(m_windows.size()); }
    TMenuWindow* WindowAt(int depth) const
    {
        return depth >= 0 && depth < Depth() ? m_windows[std::size_t(depth)].get() : nullptr;
    }

    // Opens the bar's item `index` below it.
    void OpenBarItem(int index)
    {
        while (!m_windows.empty())
            CloseTop();
        m_bar->SetHotIndex(index);
        TMenuItem* item = m_bar->GetMenu()->GetItems()->GetItems(index);
        if (item->GetCount() > 0)
            item->Click(); // the item may fill its submenu now
        if (item->GetCount() == 0) {
            m_bar->SetPushed(false);
            return;
        }
        m_bar->SetPushed(true);
        const TRect r = m_bar->ItemRect(index);
        Open(item, { r.Left, r.Bottom }, r.Right, r.Top);
        SelectNext(Top(), -1, 1);
    }
    void OpenSub(TMenuWindow* w, int index)
    {
        TMenuItem* item = w->Item()->GetItems(index);
        item->Click(); // the item may fill its submenu now
        const TRect r = w->RowRect(index);
        const TPoint at = w->ClientToScreen({ r.Right + 3, r.Top - 3 });
        Open(item, at, w->ClientToScreen({ 0, 0 }).X + 3, at.Y + r.Height() + 6);
    }
    static void SelectNext(TMenuWindow* w, int from, int step)
    {
        const int n = w->Item()->GetCount();
        if (from < 0 && step < 0)
            from = n; // nothing selected: up starts at the bottom
        for (int k = 1; k <= n; ++k) {
            const int i = ((from + step * k) % n + n) % n;
            if (Selectable(w->Item()->GetItems(i))) {
                w->SetHot(i);
                return;
            }
        }
    }
    int BarNeighbour(int from, int step) const
    {
        TMenuItem* root = m_bar->GetMenu()->GetItems();
        const int n = root->GetCount();
        for (int k = 1; k <= n; ++k) {
            const int i = ((from + step * k) % n + n) % n;
            if (root->GetItems(i)->GetVisible())
                return i;
        }
        return from;
    }
    // An item was taken: the loop ends and it runs afterwards.
    void Choose(TMenuItem* item)
    {
        if (!item->GetEnabled())
            return;
        m_chosen = item;
        m_done = true;
    }
    void Activate(TMenuWindow* w, int index)
    {
        if (index < 0)
            return;
        TMenuItem* item = w->Item()->GetItems(index);
        if (!item->GetEnabled())
            return;
        if (item->GetCount() > 0) {
            while (Top() != w)
                CloseTop();
            OpenSub(w, index);
            SelectNext(Top(), -1, 1);
        } else
            Choose(item);
    }

    void Key(WORD vk)
    {
        TMenuWindow* w = Top();
        switch (vk) {
        case VK_ESCAPE:
            if (w) {
                CloseTop();
                if (!Top() && m_bar)
                    m_bar->SetPushed(false);
                else if (!Top())
                    m_done = true;
            } else
                m_done = true;
            return;
        case VK_MENU: case VK_F10:
            m_done = true;
            return;
        case VK_UP: case VK_DOWN:
            if (w)
                SelectNext(w, w->Hot(), vk == VK_DOWN ? 1 : -1);
            else if (m_bar && vk == VK_DOWN)
                OpenBarItem(std::max(0, m_bar->GetHotIndex()));
            return;
        case VK_RIGHT:
            if (w && w->Hot() >= 0 && w->Item()->GetItems(w->Hot())->GetCount() > 0 && w->Item()->GetItems(w->Hot())->GetEnabled()) {
                Activate(w, w->Hot());
                return;
            }
            [[fallthrough]];
        case VK_LEFT:
            if (vk == VK_LEFT && Depth() > 1) {
                CloseTop();
                return;
            }
            if (m_bar) {
                const int next = BarNeighbour(m_bar->GetHotIndex(), vk == VK_RIGHT ? 1 : -1);
                if (w)
                    OpenBarItem(next);
                else
                    m_bar->SetHotIndex(next);
            }
            return;
        case VK_RETURN: case VK_SPACE:
            if (w)
                Activate(w, w->Hot());
            else if (m_bar && m_bar->GetHotIndex() >= 0)
                OpenBarItem(m_bar->GetHotIndex());
            return;
        default:
            break;
        }
    }

    void Char(char16_t ch)
    {
        const char16_t up = char16_t(StrUpper(String(1, ch))[0]);
        TMenuItem* parent = Top() ? Top()->Item() : (m_bar ? m_bar->GetMenu()->GetItems() : nullptr);
        if (!parent)
            return;
        for (int i = 0; i < parent->GetCount(); ++i) {
            TMenuItem* c = parent->GetItems(i);
            if (Selectable(c) && HotkeyOf(c->DisplayCaption()) == up) {
                if (Top()) {
                    Top()->SetHot(i);
                    Activate(Top(), i);
                } else
                    OpenBarItem(i);
                return;
            }
        }
        MessageBeep(0);
    }

    void Mouse(const MSG& msg)
    {
        POINT pt { GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam) };
        if (msg.hwnd)
            ClientToScreen(msg.hwnd, pt);
        const TPoint screen = pt;
        // The innermost window under the pointer.
        for (int d = Depth() - 1; d >= 0; --d) {
            TMenuWindow* w = m_windows[std::size_t(d)].get();
            const TPoint c = w->ScreenToClient(screen);
            if (!PtInRect(w->GetClientRect(), c))
                continue;
            const int i = w->ItemAt(c);
            if (msg.message == WM_MOUSEMOVE) {
                if (i >= 0 && Selectable(w->Item()->GetItems(i)) && i != w->Hot()) {
                    while (Top() != w)
                        CloseTop();
                    w->SetHot(i);
                    TMenuItem* item = w->Item()->GetItems(i);
                    if (item->GetCount() > 0 && item->GetEnabled())
                        OpenSub(w, i);
                }
            } else if (msg.message == WM_LBUTTONUP || msg.message == WM_RBUTTONUP) {
                if (i >= 0 && Selectable(w->Item()->GetItems(i)) && w->Item()->GetItems(i)->GetCount() == 0)
                    Activate(w, i);
            }
            return;
        }
        if (m_bar) {
            const TPoint c = m_bar->ScreenToClient(screen);
            if (PtInRect(m_bar->GetClientRect(), c)) {
                const int i = m_bar->ItemAtPos(c);
                if (msg.message == WM_LBUTTONDOWN && i >= 0) {
                    if (i == m_bar->GetHotIndex() && Top())
                        m_done = true;
                    else
                        OpenBarItem(i);
                } else if (msg.message == WM_MOUSEMOVE && i >= 0 && i != m_bar->GetHotIndex() && Top())
                    OpenBarItem(i);
                return;
            }
        }
        // A press anywhere else dismisses the menu.
        if (msg.message == WM_LBUTTONDOWN || msg.message == WM_RBUTTONDOWN || msg.message == WM_MBUTTONDOWN)
            m_done = true;
    }

    TMenuItem* Run()
    {
        Application->CancelHint();
        while (!m_done) {
            MSG msg;
            if (!PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) {
                if (Application->GetTerminated())
                    break;
                WaitMessage();
                continue;
            }
            if (msg.message == WM_QUIT) {
                PostQuitMessage(int(msg.wParam));
                break;
            }
            switch (msg.message) {
            case WM_KEYDOWN: case WM_SYSKEYDOWN:
                TranslateMessage(msg);
                Key(WORD(msg.wParam));
                break;
            case WM_CHAR: case WM_SYSCHAR:
                if (msg.wParam > u' ')
                    Char(char16_t(msg.wParam));
                break;
            case WM_KEYUP: case WM_SYSKEYUP:
                break;
            case WM_MOUSEMOVE: case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_RBUTTONDOWN: case WM_RBUTTONUP:
            case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK:
                Mouse(msg);
                break;
            case WM_MOUSEWHEEL:
                break;
            default:
                DispatchMessage(msg);
                break;
            }
            FreeDeviceContexts();
            if (!m_bar && m_windows.empty())
                m_done = true;
        }
        return m_chosen;
    }

private:
    TMenuBar* m_bar { nullptr };
    std::vector<std::unique_ptr<TMenuWindow>> m_windows;
    TMenuItem* m_chosen { nullptr };
    bool m_done { false };
};

TMenuLoop* g_loop = nullptr;

TMenuItem* RunLoop(TMenuLoop& loop)
{
    TMenuLoop* outer = g_loop;
    g_loop = &loop;
    struct Reset { TMenuLoop* o; ~Reset() { g_loop = o; } } reset { outer };
    return loop.Run();
}

// Shows a control's popup menu on a context-menu request.
const bool PopupHookInstalled = [] {
    PopupMenuHook = [](TPopupMenu* menu, TControl* control, TPoint at) {
        if (!menu->GetAutoPopup())
            return false;
        menu->SetPopupComponent(control);
        menu->Popup(at.X, at.Y);
        return true;
    };
    return true;
}();

} // namespace

HWND OpenMenuWindow(int Depth)
{
    TMenuWindow* w = g_loop ? g_loop->WindowAt(Depth) : nullptr;
    return w ? w->GetHandle() : nullptr;
}

TRect OpenMenuItemRect(int Depth, int Index)
{
    TMenuWindow* w = g_loop ? g_loop->WindowAt(Depth) : nullptr;
    if (!w)
        return {};
    const TRect r = w->RowRect(Index);
    if (r.IsEmpty())
        return {};
    const TPoint tl = w->ClientToScreen(r.TopLeft());
    return { tl.X, tl.Y, tl.X + r.Width(), tl.Y + r.Height() };
}

// ---- TPopupMenu ----

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner)
{
    (void)PopupHookInstalled;
}

void TPopupMenu::Popup(int X, int Y)
{
    m_popupPoint = { X, Y };
    if (OnPopup)
        OnPopup(this);
    if (GetItems()->GetCount() == 0)
        return;
    TMenuItem* chosen = nullptr;
    {
        TMenuLoop loop(nullptr);
        TMenuWindow probe(GetItems());
        int x = X;
        if (m_alignment != paLeft) {
            const int w = probe.NeededSize().cx;
            x -= m_alignment == paRight ? w : w / 2;
        }
        loop.Open(GetItems(), { x, Y }, X, Y);
        chosen = RunLoop(loop);
    }
    if (OnClose)
        OnClose(this);
    if (chosen)
        chosen->Click();
}

// ---- TMenuBar ----

TMenuBar::TMenuBar(TComponent* AOwner, TMainMenu* Menu) : TCustomControl(AOwner), m_menu(Menu)
{
    m_parentColor = false;
    m_color = clMenuBar;
    m_controlStyle.Exclude(csCaptureMouse);
    SetBounds(0, 0, 100, GetSystemMetrics(SM_CYMENU));
    m_align = alTop;
}

void TMenuBar::LayoutItems()
{
    m_itemRects.clear();
    TMeasureDC dc;
    TFontSelection sel(dc, GetFont());
    int x = 0;
    TMenuItem* root = m_menu->GetItems();
    for (int i = 0; i < root->GetCount(); ++i) {
        TMenuItem* c = root->GetItems(i);
        if (!c->GetVisible()) {
            m_itemRects.push_back({});
            continue;
        }
        const String caption = StripHotkey(c->DisplayCaption());
        SIZE s {};
        GetTextExtentPoint32(dc, caption.c_str(), int(caption.size()), &s);
        const int w = int(s.cx) + 14;
        m_itemRects.push_back({ x, 0, x + w, m_height });
        x += w;
    }
}

TRect TMenuBar::ItemRect(int Index)
{
    LayoutItems();
    if (Index < 0 || Index >= int(m_itemRects.size()) || m_itemRects[std::size_t(Index)].IsEmpty())
        return {};
    const TRect r = m_itemRects[std::size_t(Index)];
    const TPoint tl = ClientToScreen(r.TopLeft());
    return { tl.X, tl.Y, tl.X + r.Width(), tl.Y + r.Height() };
}

int TMenuBar::ItemAtPos(TPoint Client)
{
    LayoutItems();
    for (std::size_t i = 0; i < m_itemRects.size(); ++i)
        if (PtInRect(m_itemRects[i], Client))
            return int(i);
    return -1;
}

void TMenuBar::SetHotIndex(int v)
{
    if (v != m_hot) {
        m_hot = v;
        Invalidate();
    }
}

void TMenuBar::SetPushed(bool v)
{
    if (v != m_pushed) {
        m_pushed = v;
        Invalidate();
    }
}

void TMenuBar::Paint()
{
    LayoutItems();
    HDC dc = GetCanvas()->GetHandle();
    FillSolid(dc, GetClientRect(), MenuColor(clMenuBar));
    TMenuItem* root = m_menu->GetItems();
    for (std::size_t i = 0; i < m_itemRects.size(); ++i) {
        const TRect r = m_itemRects[i];
        if (r.IsEmpty())
            continue;
        TMenuItem* c = root->GetItems(int(i));
        const bool hot = int(i) == m_hot;
        if (hot)
            FillSolid(dc, r, MenuColor(clHighlight));
        TRect tr = r;
        DrawTextIn(dc, GetFont(), c->DisplayCaption(), tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
            MenuColor(!c->GetEnabled() ? clGrayText : hot ? clHighlightText : clMenuText));
    }
}

void TMenuBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    const int i = ItemAtPos({ X, Y });
    if (i >= 0)
        TrackMenuBar(m_menu, i, true);
}

TMenuItem* TrackMenuBar(TMainMenu* Menu, int Index, bool Open)
{
    TMenuBar* bar = Menu ? Menu->GetMenuBar() : nullptr;
    if (!bar || g_loop)
        return nullptr;
    TMenuItem* chosen = nullptr;
    {
        TMenuLoop loop(bar);
        if (Open) {
            TMenuItem* item = Menu->GetItems()->GetItems(Index);
            if (item->GetCount() == 0 && item->GetEnabled()) {
                chosen = item;
            } else {
                loop.OpenBarItem(Index);
                chosen = RunLoop(loop);
            }
        } else {
            bar->SetHotIndex(Index);
            chosen = RunLoop(loop);
        }
    }
    if (chosen)
        chosen->Click();
    return chosen;
}

// ---- TMainMenu ----

namespace {
// The main menu waiting for Alt to be released.
TMainMenu* g_altMenu = nullptr;
} // namespace

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner)
{
    if (auto* form = dynamic_cast<TCustomForm*>(AOwner))
        AttachTo(form);
}

TMainMenu::~TMainMenu()
{
    if (m_altTimer)
        KillTimer(nullptr, m_altTimer);
    if (g_altMenu == this)
        g_altMenu = nullptr;
    if (m_form && !m_form->GetComponentState().Contains(csDestroying)) {
        m_form->WindowProc = m_oldFormProc;
        delete m_bar;
    }
}

void TMainMenu::AttachTo(TCustomForm* Form)
{
    if (m_form || !Form)
        return;
    m_form = Form;
    m_bar = new TMenuBar(Form, this);
    m_bar->SetParent(Form);
    m_oldFormProc = Form->WindowProc;
    Form->WindowProc = [this](TMessage& m) { FormMessage(m); };
}

void TMainMenu::MenuChanged()
{
    if (m_bar)
        m_bar->Invalidate();
}

namespace {
void AltTimerProc(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    if (g_altMenu)
        g_altMenu->AltCheck();
}
} // namespace

void TMainMenu::AltCheck()
{
    m_altTimer = 0;
    if (!m_altArmed)
        return;
    if (GetKeyState(VK_MENU) < 0) {
        // Still held: look again shortly.
        g_altMenu = this;
        m_altTimer = SetTimer(nullptr, 0, 20, AltTimerProc);
        return;
    }
    m_altArmed = false;
    if (m_form->GetActive() || GetForegroundWindow() == m_form->GetHandle())
        TrackMenuBar(this, std::max(0, [&] {
            for (int i = 0; i < GetItems()->GetCount(); ++i)
                if (GetItems()->GetItems(i)->GetVisible())
                    return i;
            return 0;
        }()), false);
}

void TMainMenu::FormMessage(TMessage& Message)
{
    if (Message.Msg == CM_CHILDKEY && GetItems()->GetCount() > 0) {
        const WORD key = WORD(Message.WParam);
        const bool alt = GetKeyState(VK_MENU) < 0;
        if (key == VK_MENU) {
            m_altArmed = true;
            g_altMenu = this;
            if (!m_altTimer)
                m_altTimer = SetTimer(nullptr, 0, 20, AltTimerProc);
        } else if (key != VK_SHIFT && key != VK_CONTROL) {
            m_altArmed = false;
            TWMKey km { WM_KEYDOWN, key, alt ? LPARAM(0x20000000) : 0, 0 };
            if (IsShortCut(km)) {
                Message.Result = 1;
                return;
            }
            if (key == VK_F10 && !alt && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0) {
                TrackMenuBar(this, 0, false);
                Message.Result = 1;
                return;
            }
            if (alt && GetKeyState(VK_CONTROL) >= 0) {
                TMenuItem* root = GetItems();
                for (int i = 0; i < root->GetCount(); ++i) {
                    TMenuItem* c = root->GetItems(i);
                    if (c->GetVisible() && c->GetEnabled() && HotkeyOf(c->DisplayCaption()) == char16_t(key)) {
                        TrackMenuBar(this, i, true);
                        Message.Result = 1;
                        return;
                    }
                }
            }
        }
    }
    if (m_oldFormProc)
        m_oldFormProc(Message);
}
