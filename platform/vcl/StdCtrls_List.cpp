#include "platform/vcl/StdCtrls_List.h"

#include <algorithm>

#include "platform/gdi/DrawText.h"
#include "platform/gdi/Frames.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/ControlPaint.h"
#include "platform/vcl/StdCtrls_ListInternal.h"
#include "platform/vcl/Themes.h"
#include "platform/win/Input.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"

QT_PUBLISHED(TListItems)
QT_PUBLISHED(TCustomListBox, QT_PROP(ItemIndex), QT_PROP(MultiSelect), QT_PROP(ExtendedSelect), QT_PROP(TopIndex),
    QT_PROP(ItemHeight), QT_PROP(Style), QT_PROP(Sorted), QT_PROP_T(BorderStyle, u"TBorderStyle"),
    QT_EVENT_T(OnDrawItem, u"TDrawItemEvent"))
QT_PUBLISHED(TListBox)

namespace listctrls_detail {

bool StartsWithNoCase(const String& s, const String& prefix)
{
    return s.size() >= prefix.size() && StrLower(s.substr(0, prefix.size())) == StrLower(prefix);
}

// The first line at or after `From` (wrapping) that starts with `Prefix`.
int FindPrefix(const TStrings& items, const String& prefix, int from)
{
    const int n = items.GetCount();
    for (int k = 0; k < n; ++k) {
        const int i = ((from < 0 ? 0 : from) + k) % n;
        if (StartsWithNoCase(items.GetStrings(i), prefix))
            return i;
    }
    return -1;
}

// Type-ahead: a repeated single character steps through the lines that
// start with it; otherwise the collected characters are a prefix.
int TypeAheadIndex(const TStrings& items, String& typed, UInt64& typedAt, char16_t ch, int current)
{
    const UInt64 now = GetTickCount64();
    if (now - typedAt > TypeAheadMs)
        typed.clear();
    typedAt = now;
    typed += ch;
    const bool repeat = typed.size() > 1 && std::all_of(typed.begin(), typed.end(), [&](char16_t c) { return c == typed[0]; });
    if (repeat || typed.size() == 1)
        return FindPrefix(items, typed.substr(0, 1), current + 1);
    return FindPrefix(items, typed, std::max(0, current));
}

void PaintListLine(TCanvas* canvas, const TControl* control, const String& text, TRect r, TOwnerDrawState state)
{
    const bool selected = state.Contains(odSelected);
    const TColor back = ControlColorToRGB(control, selected ? clHighlight : control->GetColor());
    TColor fore = ControlColorToRGB(control, selected ? clHighlightText : control->GetFont()->GetColor(), seFont);
    if (state.Contains(odDisabled))
        fore = ControlColorToRGB(control, clGrayText, seFont);
    HDC dc = canvas->GetHandle();
    FillSolid(dc, r, back);
    TRect tr { r.Left + 2, r.Top, r.Right - 2, r.Bottom };
    DrawTextIn(dc, control->GetFont(), text, tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS, fore);
    if (state.Contains(odFocused) && !state.Contains(odNoFocusRect)) {
        RECT fr = r;
        SetTextColor(dc, COLORREF(ColorToRGB(clBlack)));
        SetBkColor(dc, COLORREF(ColorToRGB(clWhite)));
        DrawFocusRect(dc, &fr);
    }
}

TPoint PointOf(LPARAM l)
{
    return { GET_X_LPARAM(l), GET_Y_LPARAM(l) };
}

int FontLineHeight(TFont* font)
{
    TMeasureDC dc;
    TFontSelection sel(dc, font);
    TEXTMETRIC tm {};
    GetTextMetrics(dc, &tm);
    return std::max(1, int(tm.tmHeight));
}

} // namespace listctrls_detail

// ---- TListItems ----

void TListItems::CheckIndex(int index, bool insert) const
{
    if (index < 0 || index > GetCount() || (!insert && index == GetCount()))
        Error(u"List index out of bounds (%d)", index);
}

int TListItems::AddObject(const String& s, TObject* obj)
{
    int at = GetCount();
    if (m_owner && m_owner->ItemsSorted()) {
        auto it = std::upper_bound(m_items.begin(), m_items.end(), s,
            [this](const String& v, const Item& e) { return CompareStrings(v, e.Text) < 0; });
        at = int(it - m_items.begin());
    }
    InsertItem(at, s, obj);
    return at;
}

void TListItems::Insert(int index, const String& s)
{
    CheckIndex(index, true);
    InsertItem(index, s, nullptr);
}

void TListItems::InsertItem(int index, const String& s, TObject* obj)
{
    m_items.insert(m_items.begin() + index, Item { s, obj });
    if (m_owner)
        m_owner->ItemInserted(index);
}

void TListItems::Delete(int index)
{
    CheckIndex(index);
    m_items.erase(m_items.begin() + index);
    if (m_owner)
        m_owner->ItemDeleted(index);
}

void TListItems::Clear()
{
    if (m_items.empty())
        return;
    m_items.clear();
    if (m_owner)
        m_owner->ItemsCleared();
}

void TListItems::Exchange(int index1, int index2)
{
    CheckIndex(index1);
    CheckIndex(index2);
    std::swap(m_items[std::size_t(index1)], m_items[std::size_t(index2)]);
    if (m_owner)
        m_owner->ItemsChanged();
}

void TListItems::Sort()
{
    std::stable_sort(m_items.begin(), m_items.end(), [this](const Item& a, const Item& b) { return CompareStrings(a.Text, b.Text) < 0; });
    if (m_owner)
        m_owner->ItemsChanged();
}

String TListItems::Get(int index) const
{
    CheckIndex(index);
    return m_items[std::size_t(index)].Text;
}

void TListItems::Put(int index, const String& s)
{
    CheckIndex(index);
    m_items[std::size_t(index)].Text = s;
    if (m_owner)
        m_owner->ItemsChanged();
}

TObject* TListItems::GetObject(int index) const
{
    CheckIndex(index);
    return m_items[std::size_t(index)].Object;
}

void TListItems::PutObject(int index, TObject* obj)
{
    CheckIndex(index);
    m_items[std::size_t(index)].Object = obj;
}

// ---- TCustomListBox ----

TCustomListBox::TCustomListBox(TComponent* AOwner) : TCustomControl(AOwner), m_items(std::make_unique<TListItems>(this))
{
    SetBounds(0, 0, 121, 97);
    m_tabStop = true;
    m_parentColor = false;
    m_color = clWindow;
    GetBrush()->SetColor(clWindow);
    m_itemHeight = FontLineHeight(GetFont()) + 2;
    // OnClick reports a change of the selection, not every press.
    m_controlStyle.Exclude(csClickEvents);
}

TCustomListBox::~TCustomListBox() = default;

void TCustomListBox::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    if (m_borderStyle == bsSingle)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::SetBorderStyle(TBorderStyle v)
{
    if (v == m_borderStyle)
        return;
    m_borderStyle = v;
    if (HandleAllocated())
        RecreateWnd();
}

void TCustomListBox::SetItemIndex(int v)
{
    if (v < -1 || v >= GetCount())
        v = -1;
    if (m_multiSelect) {
        std::fill(m_selected.begin(), m_selected.end(), false);
        if (v >= 0)
            m_selected[std::size_t(v)] = true;
    }
    m_itemIndex = v;
    m_anchor = v;
    if (v >= 0)
        MakeVisible(v);
    Invalidate();
}

void TCustomListBox::SetMultiSelect(bool v)
{
    if (v == m_multiSelect)
        return;
    m_multiSelect = v;
    m_selected.assign(std::size_t(GetCount()), false);
    if (v && m_itemIndex >= 0)
        m_selected[std::size_t(m_itemIndex)] = true;
    Invalidate();
}

bool TCustomListBox::GetSelected(int Index) const
{
    if (Index < 0 || Index >= GetCount())
        throw EListError(u"List index out of bounds (" + IntToStr(Index) + u")");
    return m_multiSelect ? bool(m_selected[std::size_t(Index)]) : Index == m_itemIndex;
}

void TCustomListBox::SetSelected(int Index, bool v)
{
    if (Index < 0 || Index >= GetCount())
        throw EListError(u"List index out of bounds (" + IntToStr(Index) + u")");
    if (m_multiSelect)
        m_selected[std::size_t(Index)] = v;
    else if (v)
        m_itemIndex = Index;
    else if (Index == m_itemIndex)
        m_itemIndex = -1;
    Invalidate();
}

int TCustomListBox::GetSelCount() const
{
    if (!m_multiSelect)
        return -1;
    return int(std::count(m_selected.begin(), m_selected.end(), true));
}

void TCustomListBox::ClearSelection()
{
    if (m_multiSelect)
        std::fill(m_selected.begin(), m_selected.end(), false);
    else
        m_itemIndex = -1;
    Invalidate();
}

void TCustomListBox::SelectAll()
{
    if (!m_multiSelect)
        return;
    std::fill(m_selected.begin(), m_selected.end(), true);
    Invalidate();
}

void TCustomListBox::SetTopIndex(int v)
{
    const int maxTop = std::max(0, GetCount() - VisibleRows());
    v = std::clamp(v, 0, maxTop);
    if (v == m_topIndex)
        return;
    m_topIndex = v;
    Invalidate();
}

void TCustomListBox::SetItemHeight(int v)
{
    if (v <= 0 || v == m_itemHeight)
        return;
    m_itemHeight = v;
    Invalidate();
}

void TCustomListBox::SetStyle(TListBoxStyle v)
{
    m_style = v;
    Invalidate();
}

void TCustomListBox::SetSorted(bool v)
{
    if (v == m_sorted)
        return;
    m_sorted = v;
    if (v) {
        const String current = m_itemIndex >= 0 ? m_items->GetStrings(m_itemIndex) : String();
        m_items->Sort();
        if (m_itemIndex >= 0)
            m_itemIndex = m_items->IndexOf(current);
        m_selected.assign(std::size_t(GetCount()), false);
    }
}

int TCustomListBox::VisibleRows() const
{
    TCustomListBox* self = const_cast<TCustomListBox*>(this);
    return std::max(1, self->GetClientHeight() / std::max(1, m_itemHeight));
}

bool TCustomListBox::ScrollBarShown() const
{
    return GetCount() > VisibleRows();
}

int TCustomListBox::ScrollBarWidth() const
{
    return ScrollBarShown() ? GetSystemMetrics(SM_CXVSCROLL) : 0;
}

TRect TCustomListBox::LinesRect() const
{
    TRect r = const_cast<TCustomListBox*>(this)->GetClientRect();
    r.Right -= ScrollBarWidth();
    return r;
}

TRect TCustomListBox::ItemRect(int Index) const
{
    const TRect lines = LinesRect();
    const int top = (Index - m_topIndex) * m_itemHeight;
    return { lines.Left, top, lines.Right, top + m_itemHeight };
}

int TCustomListBox::ItemAtPos(TPoint Pos, bool Existing) const
{
    const TRect lines = LinesRect();
    if (Pos.X < lines.Left || Pos.X >= lines.Right || Pos.Y < 0)
        return -1;
    const int i = m_topIndex + Pos.Y / std::max(1, m_itemHeight);
    if (i < GetCount())
        return i;
    return Existing ? -1 : GetCount();
}

void TCustomListBox::MakeVisible(int Index)
{
    if (Index < m_topIndex)
        SetTopIndex(Index);
    else if (Index >= m_topIndex + VisibleRows())
        SetTopIndex(Index - VisibleRows() + 1);
}

void TCustomListBox::ItemInserted(int Index)
{
    if (m_multiSelect)
        m_selected.insert(m_selected.begin() + Index, false);
    if (m_itemIndex >= Index)
        ++m_itemIndex;
    Invalidate();
}

void TCustomListBox::ItemDeleted(int Index)
{
    if (m_multiSelect && Index < int(m_selected.size()))
        m_selected.erase(m_selected.begin() + Index);
    if (m_itemIndex == Index)
        m_itemIndex = -1;
    else if (m_itemIndex > Index)
        --m_itemIndex;
    SetTopIndex(m_topIndex);
    Invalidate();
}

void TCustomListBox::ItemsCleared()
{
    m_selected.clear();
    m_itemIndex = -1;
    m_anchor = -1;
    m_topIndex = 0;
    Invalidate();
}

void TCustomListBox::SelectionChanged()
{
    Invalidate();
    Click();
}

void TCustomListBox::MoveFocusTo(int Index, TShiftState Shift)
{
    if (GetCount() == 0)
        return;
    Index = std::clamp(Index, 0, GetCount() - 1);
    if (m_multiSelect) {
        if (m_extendedSelect && Shift.Contains(ssShift) && m_anchor >= 0) {
            std::fill(m_selected.begin(), m_selected.end(), false);
            for (int i = std::min(m_anchor, Index); i <= std::max(m_anchor, Index); ++i)
                m_selected[std::size_t(i)] = true;
        } else if (m_extendedSelect && Shift.Contains(ssCtrl)) {
            m_selected[std::size_t(Index)] = !m_selected[std::size_t(Index)];
            m_anchor = Index;
        } else {
            std::fill(m_selected.begin(), m_selected.end(), false);
            m_selected[std::size_t(Index)] = true;
            m_anchor = Index;
        }
    } else {
        if (Index == m_itemIndex) {
            MakeVisible(Index);
            return;
        }
        m_anchor = Index;
    }
    m_itemIndex = Index;
    MakeVisible(Index);
    SelectionChanged();
}

void TCustomListBox::KeyDown(WORD& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    const int page = std::max(1, VisibleRows() - 1);
    const int cur = m_itemIndex;
    switch (Key) {
    case VK_UP: MoveFocusTo(cur < 0 ? 0 : cur - 1, Shift); break;
    case VK_DOWN: MoveFocusTo(cur + 1, Shift); break;
    case VK_PRIOR: MoveFocusTo(cur - page, Shift); break;
    case VK_NEXT: MoveFocusTo(cur < 0 ? page : cur + page, Shift); break;
    case VK_HOME: MoveFocusTo(0, Shift); break;
    case VK_END: MoveFocusTo(GetCount() - 1, Shift); break;
    default: return;
    }
    Key = 0;
}

void TCustomListBox::KeyPress(char16_t& Key)
{
    TCustomControl::KeyPress(Key);
    if (Key < u' ' || GetCount() == 0)
        return;
    const int i = TypeAheadIndex(*m_items, m_typed, m_typedAt, Key, m_itemIndex);
    if (i >= 0)
        MoveFocusTo(i, {});
}

void TCustomListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        if (CanFocus() && !Focused())
            SetFocus();
        if (ScrollBarShown() && X >= LinesRect().Right) {
            SetTopIndex(m_topIndex + (Y < GetClientHeight() / 2 ? -VisibleRows() : VisibleRows()));
        } else {
            const int i = ItemAtPos({ X, Y });
            if (i >= 0) {
                MoveFocusTo(i, Shift);
                ItemClicked(i, X);
            }
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomListBox::MouseMove(TShiftState Shift, int X, int Y)
{
    // Dragging with the button down extends a single selection.
    if (Shift.Contains(ssLeft) && !m_multiSelect) {
        const int i = ItemAtPos({ X, std::clamp(Y, 0, GetClientHeight() - 1) });
        if (i >= 0 && i != m_itemIndex)
            MoveFocusTo(i, {});
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

bool TCustomListBox::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos))
        return true;
    SetTopIndex(m_topIndex - WheelDelta / 120 * 3);
    return true;
}

void TCustomListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State)
{
    if (m_style != lbStandard && OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    PaintListLine(GetCanvas(), this, m_items->GetStrings(Index), Rect, State);
}

void TCustomListBox::Paint()
{
    TCanvas* canvas = GetCanvas();
    canvas->GetFont()->Assign(GetFont());
    HDC dc = canvas->GetHandle();
    const TRect client = GetClientRect();
    FillSolid(dc, client, ControlColorToRGB(this, m_color));
    const TRect lines = LinesRect();
    const bool focused = Focused();
    for (int i = m_topIndex; i < GetCount(); ++i) {
        const TRect r = ItemRect(i);
        if (r.Top >= lines.Bottom)
            break;
        TOwnerDrawState state;
        if (GetSelected(i))
            state.Include(odSelected);
        if (focused && i == m_itemIndex)
            state.Include(odFocused);
        if (!IsEnabledInChain())
            state.Include(odDisabled);
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
        DrawItem(i, r, state);
        RestoreDC(dc, saved);
    }
    if (ScrollBarShown()) {
        const int w = ScrollBarWidth();
        TRect bar { lines.Right, client.Top, client.Right, client.Bottom };
        FillDither(dc, bar, ControlColorToRGB(this, clBtnFace), ControlColorToRGB(this, clBtnHighlight));
        RECT up { bar.Left, bar.Top, bar.Right, bar.Top + w };
        RECT down { bar.Left, bar.Bottom - w, bar.Right, bar.Bottom };
        DrawFrameControl(dc, &up, DFC_SCROLL, DFCS_SCROLLUP);
        DrawFrameControl(dc, &down, DFC_SCROLL, DFCS_SCROLLDOWN);
        // The thumb: its share of the track is the visible share of the lines.
        const int track = std::max(0, bar.Height() - 2 * w);
        const int rows = VisibleRows();
        const int thumb = std::max(8, track * rows / std::max(1, GetCount()));
        const int maxTop = std::max(1, GetCount() - rows);
        const int at = bar.Top + w + (track - thumb) * m_topIndex / maxTop;
        RECT t { bar.Left, at, bar.Right, at + thumb };
        DrawFrameControl(dc, &t, DFC_BUTTON, DFCS_BUTTONPUSH);
    }
}

void TCustomListBox::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    case WM_SETFOCUS: case WM_KILLFOCUS:
        Invalidate();
        break;
    case WM_LBUTTONDBLCLK:
        if (ItemAtPos(PointOf(Message.LParam)) >= 0)
            DblClick();
        return;
    default:
        break;
    }
    TCustomControl::Dispatch(Message);
}

