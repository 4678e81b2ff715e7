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

QT_PUBLISHED(TComboBoxEdit)
QT_PUBLISHED(TComboBoxList)
QT_PUBLISHED(TCustomComboBox, QT_PROP(Style), QT_PROP(ItemIndex), QT_PROP(DropDownCount), QT_PROP(ItemHeight),
    QT_PROP(DroppedWidth), QT_PROP(AutoComplete), QT_PROP(Sorted), QT_PROP(MaxLength), QT_EVENT(OnChange),
    QT_EVENT(OnSelect), QT_EVENT(OnDropDown), QT_EVENT(OnCloseUp), QT_EVENT_T(OnDrawItem, u"TDrawItemEvent"))
QT_PUBLISHED(TComboBox)

// ---- combo box: edit ----

TComboBoxEdit::TComboBoxEdit(TCustomComboBox* Combo) : TCustomEdit(Combo), m_combo(Combo)
{
    SetBorderStyle(bsNone);
    m_tabStop = false;
}

void TComboBoxEdit::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN:
        if (m_combo->ComboKey(WORD(Message.WParam), KeyDataToShiftState(Message.LParam)))
            return;
        break;
    case WM_CHAR: {
        // Enter and Esc closed the list already.
        if ((Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE) && m_combo->m_droppedDown)
            return;
        // Only a typed character completes the text, not a deletion.
        m_combo->m_typing = Message.WParam >= u' ';
        struct Reset { bool& f; ~Reset() { f = false; } } reset { m_combo->m_typing };
        TCustomEdit::Dispatch(Message);
        return;
    }
    case CM_WANTSPECIALKEY:
        if (m_combo->m_droppedDown && (Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE)) {
            Message.Result = 1;
            return;
        }
        break;
    case WM_SETFOCUS:
        TCustomEdit::Dispatch(Message);
        m_combo->Notify(CBN_SETFOCUS);
        return;
    case WM_KILLFOCUS: {
        TCustomEdit::Dispatch(Message);
        HWND to = reinterpret_cast<HWND>(Message.WParam);
        if (to != m_combo->GetHandle()) {
            if (m_combo->m_droppedDown)
                m_combo->CloseList(false);
            m_combo->Notify(CBN_KILLFOCUS);
        }
        return;
    }
    case WM_MOUSEWHEEL:
        m_combo->Perform(Message.Msg, Message.WParam, Message.LParam);
        return;
    default:
        break;
    }
    TCustomEdit::Dispatch(Message);
}

// ---- combo box: list ----

TComboBoxList::TComboBoxList(TCustomComboBox* Combo) : TCustomControl(nullptr), m_combo(Combo)
{
    m_visible = false;
    m_parentColor = false;
    m_parentFont = false;
    m_color = clWindow;
    GetBrush()->SetColor(clWindow);
    m_controlStyle.Exclude(csCaptureMouse);
}

void TComboBoxList::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    if (m_combo->GetStyle() != csSimple) {
        Params.Style = WS_POPUP | WS_BORDER;
        Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
        Params.WndParent = nullptr;
    } else
        Params.ExStyle |= WS_EX_CLIENTEDGE;
}

int TComboBoxList::VisibleRows() const
{
    TComboBoxList* self = const_cast<TComboBoxList*>(this);
    return std::max(1, self->GetClientHeight() / std::max(1, m_combo->GetItemHeight()));
}

void TComboBoxList::SetTopIndex(int v)
{
    const int maxTop = std::max(0, m_combo->GetItems()->GetCount() - VisibleRows());
    v = std::clamp(v, 0, maxTop);
    if (v != m_top) {
        m_top = v;
        Invalidate();
    }
}

void TComboBoxList::MakeVisible(int Index)
{
    if (Index < 0)
        return;
    if (Index < m_top)
        SetTopIndex(Index);
    else if (Index >= m_top + VisibleRows())
        SetTopIndex(Index - VisibleRows() + 1);
}

void TComboBoxList::SetHotIndex(int v)
{
    if (v != m_hot) {
        m_hot = v;
        Invalidate();
    }
    MakeVisible(v);
}

int TComboBoxList::ItemAtPos(TPoint Pos) const
{
    TComboBoxList* self = const_cast<TComboBoxList*>(this);
    if (!PtInRect(self->GetClientRect(), Pos))
        return -1;
    const int i = m_top + Pos.Y / std::max(1, m_combo->GetItemHeight());
    return i < m_combo->GetItems()->GetCount() ? i : -1;
}

void TComboBoxList::Paint()
{
    TCanvas* canvas = GetCanvas();
    canvas->GetFont()->Assign(m_combo->GetFont());
    HDC dc = canvas->GetHandle();
    const TRect client = GetClientRect();
    FillSolid(dc, client, ControlColorToRGB(m_combo, m_combo->GetColor()));
    const int h = m_combo->GetItemHeight();
    const int count = m_combo->GetItems()->GetCount();
    for (int i = m_top; i < count; ++i) {
        const TRect r { client.Left, (i - m_top) * h, client.Right, (i - m_top + 1) * h };
        if (r.Top >= client.Bottom)
            break;
        TOwnerDrawState state;
        if (i == m_hot)
            state.Include(odSelected);
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
        m_combo->DrawListItem(canvas, i, r, state);
        RestoreDC(dc, saved);
    }
}

void TComboBoxList::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_MOUSEACTIVATE:
        Message.Result = MA_NOACTIVATE;
        return;
    case WM_LBUTTONDOWN:
        // Only the simple style's list gets presses itself; a pop-up list
        // is driven by the combo, which holds the capture.
        if (m_combo->GetStyle() == csSimple) {
            const int i = ItemAtPos(PointOf(Message.LParam));
            if (i >= 0)
                m_combo->SelectByUser(i);
            return;
        }
        break;
    case WM_MOUSEWHEEL:
        SetTopIndex(m_top - GET_WHEEL_DELTA_WPARAM(Message.WParam) / 120 * 3);
        return;
    default:
        break;
    }
    TCustomControl::Dispatch(Message);
}

// ---- combo box ----

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TCustomControl(AOwner), m_items(std::make_unique<TListItems>(this))
{
    m_tabStop = true;
    m_parentColor = false;
    m_color = clWindow;
    GetBrush()->SetColor(clWindow);
    m_controlStyle.Exclude(csCaptureMouse);
    m_controlStyle.Include(csFixedHeight);
    m_itemHeight = FontLineHeight(GetFont()) + 2;
    m_editHeight = m_itemHeight + 2;
    m_list = std::make_unique<TComboBoxList>(this);
    RebuildEdit();
    SetBounds(0, 0, 145, m_editHeight + 6);
}

TCustomComboBox::~TCustomComboBox()
{
    if (m_droppedDown && GetCapture() == m_handle)
        ReleaseCapture();
    // The children go first, while the combo can still hear from them.
    if (m_edit) {
        m_edit->OnChange = nullptr;
        delete m_edit;
        m_edit = nullptr;
    }
    m_list.reset();
}

void TCustomComboBox::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomComboBox::CreateWnd()
{
    TCustomControl::CreateWnd();
    LayoutChildren();
}

void TCustomComboBox::RebuildEdit()
{
    if (IsEditable() && !m_edit) {
        m_edit = new TComboBoxEdit(this);
        m_edit->SetParentColor(true);
        m_edit->SetMaxLength(m_maxLength);
        m_edit->SetText(m_listText);
        m_edit->OnChange = [this](TObject*) { EditChanged(); };
        m_edit->SetParent(this);
    } else if (!IsEditable() && m_edit) {
        m_listText = m_edit->GetText();
        delete m_edit;
        m_edit = nullptr;
    }
    if (m_style == csSimple) {
        m_list->SetParent(this);
        m_list->SetVisible(true);
    } else if (m_list->GetParent()) {
        m_list->SetVisible(false);
        m_list->SetParent(nullptr);
    }
    LayoutChildren();
}

void TCustomComboBox::SetStyle(TComboBoxStyle v)
{
    if (v == m_style)
        return;
    if (m_droppedDown)
        CloseList(false);
    const String text = GetText();
    m_style = v;
    if (m_list->HandleAllocated())
        m_list->RecreateWnd();
    m_listText = text;
    RebuildEdit();
    if (m_style == csSimple)
        SetBounds(m_left, m_top, m_width, m_editHeight + 6 + m_itemHeight * m_dropDownCount);
    else
        SetBounds(m_left, m_top, m_width, m_height);
    Invalidate();
}

void TCustomComboBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    // The drop-down styles are exactly one edit line high.
    if (m_style != csSimple)
        AHeight = m_editHeight + 6;
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    LayoutChildren();
}

TRect TCustomComboBox::ButtonRect() const
{
    if (m_style == csSimple)
        return {};
    TRect c = const_cast<TCustomComboBox*>(this)->GetClientRect();
    return { c.Right - GetSystemMetrics(SM_CXVSCROLL), c.Top, c.Right, std::min(c.Bottom, c.Top + m_editHeight + 2) };
}

void TCustomComboBox::LayoutChildren()
{
    if (!m_list)
        return;
    const TRect c = GetClientRect();
    const TRect button = ButtonRect();
    if (m_edit)
        m_edit->SetBounds(c.Left + 2, c.Top + 1, std::max(0, (m_style == csSimple ? c.Right : button.Left) - c.Left - 3), m_editHeight);
    if (m_style == csSimple)
        m_list->SetBounds(0, m_editHeight + 2, c.Width(), std::max(0, c.Height() - m_editHeight - 2));
}

void TCustomComboBox::SetItemIndex(int v)
{
    if (v < -1 || v >= m_items->GetCount())
        v = -1;
    m_itemIndex = v;
    const String text = v >= 0 ? m_items->GetStrings(v) : String();
    m_settingText = true;
    struct Reset { bool& f; ~Reset() { f = false; } } reset { m_settingText };
    if (m_edit) {
        m_edit->SetText(text);
        m_edit->SelectAll();
    } else
        m_listText = text;
    m_list->SetHotIndex(v);
    Invalidate();
}

String TCustomComboBox::GetText()
{
    return m_edit ? m_edit->GetText() : m_listText;
}

void TCustomComboBox::SetText(const String& v)
{
    if (m_edit) {
        m_settingText = true;
        struct Reset { bool& f; ~Reset() { f = false; } } reset { m_settingText };
        m_edit->SetText(v);
        m_itemIndex = m_items->IndexOf(v);
        m_list->SetHotIndex(m_itemIndex);
        return;
    }
    // The list styles show only lines of the list.
    const int i = m_items->IndexOf(v);
    if (i >= 0)
        SetItemIndex(i);
}

void TCustomComboBox::SetItemHeight(int v)
{
    if (v <= 0 || v == m_itemHeight)
        return;
    m_itemHeight = v;
    m_list->Invalidate();
}

void TCustomComboBox::SetSorted(bool v)
{
    if (v == m_sorted)
        return;
    m_sorted = v;
    if (v) {
        const String current = m_itemIndex >= 0 ? m_items->GetStrings(m_itemIndex) : String();
        m_items->Sort();
        if (m_itemIndex >= 0)
            m_itemIndex = m_items->IndexOf(current);
    }
}

void TCustomComboBox::SetMaxLength(int v)
{
    m_maxLength = std::max(0, v);
    if (m_edit)
        m_edit->SetMaxLength(m_maxLength);
}

int TCustomComboBox::GetSelStart() { return m_edit ? m_edit->GetSelStart() : 0; }
void TCustomComboBox::SetSelStart(int v) { if (m_edit) m_edit->SetSelStart(v); }
int TCustomComboBox::GetSelLength() { return m_edit ? m_edit->GetSelLength() : 0; }
void TCustomComboBox::SetSelLength(int v) { if (m_edit) m_edit->SetSelLength(v); }
void TCustomComboBox::SelectAll() { if (m_edit) m_edit->SelectAll(); }

void TCustomComboBox::Clear()
{
    m_items->Clear();
    SetText(String());
}

void TCustomComboBox::SetFocus()
{
    if (m_edit && m_edit->CanFocus())
        m_edit->SetFocus();
    else
        TCustomControl::SetFocus();
}

void TCustomComboBox::ItemInserted(int Index)
{
    if (m_itemIndex >= Index)
        ++m_itemIndex;
    m_list->Invalidate();
}

void TCustomComboBox::ItemDeleted(int Index)
{
    if (m_itemIndex == Index)
        m_itemIndex = -1;
    else if (m_itemIndex > Index)
        --m_itemIndex;
    m_list->m_hot = m_itemIndex;
    m_list->SetTopIndex(m_list->GetTopIndex());
    m_list->Invalidate();
}

void TCustomComboBox::ItemsCleared()
{
    m_itemIndex = -1;
    m_list->m_hot = -1;
    m_list->m_top = 0;
    m_list->Invalidate();
}

void TCustomComboBox::ItemsChanged()
{
    m_list->Invalidate();
    Invalidate();
}

void TCustomComboBox::Notify(WORD Code)
{
    if (!m_handle)
        return;
    HWND parent = ::GetParent(m_handle);
    if (parent && !GetComponentState().Contains(csDestroying))
        SendMessage(parent, WM_COMMAND, MAKEWPARAM(WORD(GetDlgCtrlID(m_handle)), Code), reinterpret_cast<LPARAM>(m_handle));
    // A parent outside the framework reflects nothing: run the events here.
    if (!parent || !TWinControl::FindControl(parent)) {
        TMessage m { CN_COMMAND, MAKEWPARAM(0, Code), reinterpret_cast<LPARAM>(m_handle), 0 };
        CNCommand(m);
    }
}

void TCustomComboBox::CNCommand(TMessage& Message)
{
    switch (HIWORD(Message.WParam)) {
    case CBN_SELCHANGE:
        Change();
        Select();
        break;
    case CBN_EDITCHANGE:
        Change();
        break;
    case CBN_DROPDOWN:
        DropDown();
        break;
    case CBN_CLOSEUP:
        CloseUp();
        break;
    default:
        break;
    }
}

void TCustomComboBox::Change() { if (OnChange) OnChange(this); }
void TCustomComboBox::Select() { if (OnSelect) OnSelect(this); }
void TCustomComboBox::DropDown() { if (OnDropDown) OnDropDown(this); }
void TCustomComboBox::CloseUp() { if (OnCloseUp) OnCloseUp(this); }

void TCustomComboBox::EditChanged()
{
    if (m_settingText)
        return;
    String text = m_edit->GetText();
    m_itemIndex = m_items->IndexOf(text);
    if (m_autoComplete && m_typing && !text.empty() && m_edit->GetSelStart() == int(text.size())) {
        const int i = FindPrefix(*m_items, text, 0);
        if (i >= 0) {
            // Complete with the rest of the line, selected so the next
            // character replaces it.
            const String line = m_items->GetStrings(i);
            const int typed = int(text.size());
            m_settingText = true;
            struct Reset { bool& f; ~Reset() { f = false; } } reset { m_settingText };
            m_edit->SetText(line);
            m_edit->SetSel(typed, int(line.size()));
            m_itemIndex = i;
            text = line;
        }
    }
    if (m_droppedDown) {
        const int i = text.empty() ? -1 : FindPrefix(*m_items, text, 0);
        m_list->SetHotIndex(i);
    }
    Notify(CBN_EDITUPDATE);
    Notify(CBN_EDITCHANGE);
}

void TCustomComboBox::SelectByUser(int Index)
{
    if (Index < 0 || Index >= m_items->GetCount())
        return;
    if (Index == m_itemIndex && GetText() == m_items->GetStrings(Index))
        return;
    SetItemIndex(Index);
    Notify(CBN_SELCHANGE);
}

void TCustomComboBox::SetDroppedDown(bool v)
{
    if (v == m_droppedDown || !HasPopupList())
        return;
    if (v)
        OpenList();
    else
        CloseList(true);
}

void TCustomComboBox::OpenList()
{
    if (m_droppedDown || !HasPopupList())
        return;
    Notify(CBN_DROPDOWN);
    m_indexAtDrop = m_itemIndex;
    const int count = m_items->GetCount();
    const int rows = std::clamp(count, 1, m_dropDownCount);
    const int height = rows * m_itemHeight + 2;
    const int width = GetDroppedWidth();
    TPoint at = ClientToScreen({ 0, 0 });
    at.X -= 2;
    at.Y += m_height - 2;
    // Open upwards when the screen has no room below.
    const int screenH = GetSystemMetrics(SM_CYSCREEN);
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    if (at.Y + height > screenH)
        at.Y = ClientToScreen({ 0, 0 }).Y - 2 - height;
    at.X = std::clamp(at.X, 0, std::max(0, screenW - width));
    at.Y = std::max(0, at.Y);
    m_list->HandleNeeded();
    m_list->m_hot = m_itemIndex;
    m_list->m_top = 0;
    SetWindowPos(m_list->GetHandle(), HWND_TOPMOST, at.X, at.Y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    m_list->UpdateBoundsFromWindow();
    m_list->m_visible = true;
    m_list->MakeVisible(m_itemIndex);
    m_list->Invalidate();
    m_droppedDown = true;
    SetCapture(GetHandle());
    Invalidate();
}

void TCustomComboBox::CloseList(bool Accept)
{
    if (!m_droppedDown)
        return;
    m_droppedDown = false;
    m_buttonPressed = false;
    if (GetCapture() == m_handle)
        ReleaseCapture();
    if (m_list->HandleAllocated())
        ShowWindow(m_list->GetHandle(), SW_HIDE);
    m_list->m_visible = false;
    if (Accept) {
        Notify(CBN_SELENDOK);
        SelectByUser(m_list->GetHotIndex());
    } else {
        Notify(CBN_SELENDCANCEL);
        if (m_itemIndex != m_indexAtDrop && m_indexAtDrop >= 0) {
            SetItemIndex(m_indexAtDrop);
            Notify(CBN_SELCHANGE);
        }
    }
    Notify(CBN_CLOSEUP);
    if (m_edit && m_edit->HandleAllocated() && GetFocus() == m_edit->GetHandle())
        m_edit->SelectAll();
    Invalidate();
}

bool TCustomComboBox::ComboKey(WORD Key, TShiftState Shift)
{
    const int count = m_items->GetCount();
    if ((Key == VK_DOWN || Key == VK_UP) && Shift.Contains(ssAlt)) {
        SetDroppedDown(!m_droppedDown);
        return true;
    }
    if (Key == VK_F4 && Shift.Empty()) {
        SetDroppedDown(!m_droppedDown);
        return true;
    }
    if (m_droppedDown) {
        const int hot = m_list->GetHotIndex();
        const int page = std::max(1, m_list->VisibleRows() - 1);
        int next = hot;
        switch (Key) {
        case VK_RETURN: CloseList(true); return true;
        case VK_ESCAPE: CloseList(false); return true;
        case VK_UP: next = hot < 0 ? 0 : hot - 1; break;
        case VK_DOWN: next = hot + 1; break;
        case VK_PRIOR: next = hot - page; break;
        case VK_NEXT: next = hot < 0 ? page : hot + page; break;
        case VK_HOME: if (m_edit) return false; next = 0; break;
        case VK_END: if (m_edit) return false; next = count - 1; break;
        case VK_TAB: CloseList(true); return false;
        default: return false;
        }
        if (count > 0) {
            next = std::clamp(next, 0, count - 1);
            // Moving through the open list changes the selection as it goes.
            m_list->SetHotIndex(next);
            SelectByUser(next);
        }
        return true;
    }
    int next = m_itemIndex;
    switch (Key) {
    case VK_UP: case VK_LEFT:
        if (m_edit && Key == VK_LEFT) return false;
        next = m_itemIndex < 0 ? 0 : m_itemIndex - 1;
        break;
    case VK_DOWN: case VK_RIGHT:
        if (m_edit && Key == VK_RIGHT) return false;
        next = m_itemIndex + 1;
        break;
    case VK_PRIOR: next = m_itemIndex - (m_dropDownCount - 1); break;
    case VK_NEXT: next = m_itemIndex + (m_dropDownCount - 1); break;
    case VK_HOME: if (m_edit) return false; next = 0; break;
    case VK_END: if (m_edit) return false; next = count - 1; break;
    default: return false;
    }
    if (count > 0)
        SelectByUser(std::clamp(next, 0, count - 1));
    return true;
}

void TCustomComboBox::TypeAhead(char16_t Ch)
{
    if (m_items->GetCount() == 0)
        return;
    const int current = m_droppedDown ? m_list->GetHotIndex() : m_itemIndex;
    const int i = TypeAheadIndex(*m_items, m_typed, m_typedAt, Ch, current);
    if (i < 0)
        return;
    if (m_droppedDown)
        m_list->SetHotIndex(i);
    SelectByUser(i);
}

void TCustomComboBox::KeyPress(char16_t& Key)
{
    TCustomControl::KeyPress(Key);
    if (Key >= u' ' && !m_edit) {
        TypeAhead(Key);
        Key = 0;
    }
}

void TCustomComboBox::HandleMouse(TMessage& Message)
{
    const TPoint client = PointOf(Message.LParam);
    const TPoint screen = ClientToScreen(client);
    const bool inCombo = PtInRect(GetClientRect(), client);
    if (m_droppedDown) {
        const TPoint inList = m_list->ScreenToClient(screen);
        const int i = m_list->ItemAtPos(inList);
        switch (Message.Msg) {
        case WM_MOUSEMOVE:
            if (i >= 0)
                m_list->SetHotIndex(i);
            break;
        case WM_LBUTTONUP:
            if (i >= 0) {
                m_list->SetHotIndex(i);
                CloseList(true);
            } else if (!m_openedByPress && inCombo && !m_edit)
                CloseList(false);
            m_openedByPress = false;
            m_buttonPressed = false;
            Invalidate();
            break;
        case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
            if (i < 0 && !(m_edit && inCombo && !PtInRect(ButtonRect(), client)))
                CloseList(false);
            break;
        default:
            break;
        }
        return;
    }
    if (Message.Msg == WM_LBUTTONDOWN && inCombo && (PtInRect(ButtonRect(), client) || !m_edit)) {
        if (CanFocus())
            SetFocus();
        m_buttonPressed = true;
        m_openedByPress = true;
        OpenList();
    }
}

LRESULT TCustomComboBox::HandleComboMessage(TMessage& Message)
{
    const int count = m_items->GetCount();
    const int index = int(Message.WParam);
    const bool inRange = index >= 0 && index < count;
    switch (Message.Msg) {
    case CB_GETCOUNT: return count;
    case CB_GETCURSEL: return m_itemIndex;
    case CB_SETCURSEL:
        SetItemIndex(inRange ? index : -1);
        return inRange ? index : CB_ERR;
    case CB_GETLBTEXTLEN: return inRange ? LRESULT(m_items->GetStrings(index).size()) : CB_ERR;
    case CB_GETLBTEXT: {
        if (!inRange)
            return CB_ERR;
        const String s = m_items->GetStrings(index);
        if (auto* buffer = reinterpret_cast<char16_t*>(Message.LParam)) {
            std::copy(s.begin(), s.end(), buffer);
            buffer[s.size()] = 0;
        }
        return LRESULT(s.size());
    }
    case CB_ADDSTRING:
        return m_items->Add(Message.LParam ? String(reinterpret_cast<const char16_t*>(Message.LParam)) : String());
    case CB_INSERTSTRING: {
        const int at = index < 0 || index > count ? count : index;
        m_items->Insert(at, Message.LParam ? String(reinterpret_cast<const char16_t*>(Message.LParam)) : String());
        return at;
    }
    case CB_DELETESTRING:
        if (!inRange)
            return CB_ERR;
        m_items->Delete(index);
        return m_items->GetCount();
    case CB_RESETCONTENT: m_items->Clear(); return 0;
    case CB_FINDSTRING: case CB_FINDSTRINGEXACT: {
        const String s = Message.LParam ? String(reinterpret_cast<const char16_t*>(Message.LParam)) : String();
        const int from = inRange ? index + 1 : 0;
        for (int k = 0; k < count; ++k) {
            const int i = (from + k) % count;
            const String line = m_items->GetStrings(i);
            if (Message.Msg == CB_FINDSTRING ? StartsWithNoCase(line, s) : StrLower(line) == StrLower(s))
                return i;
        }
        return CB_ERR;
    }
    case CB_GETITEMDATA: return inRange ? reinterpret_cast<LRESULT>(m_items->GetObjects(index)) : CB_ERR;
    case CB_SETITEMDATA:
        if (!inRange)
            return CB_ERR;
        m_items->SetObjects(index, reinterpret_cast<TObject*>(Message.LParam));
        return 1;
    case CB_SHOWDROPDOWN: SetDroppedDown(Message.WParam != 0); return 1;
    case CB_GETDROPPEDSTATE: return m_droppedDown ? 1 : 0;
    case CB_GETDROPPEDWIDTH: return GetDroppedWidth();
    case CB_SETDROPPEDWIDTH:
        SetDroppedWidth(index);
        return GetDroppedWidth();
    case CB_GETITEMHEIGHT: return index == -1 ? m_editHeight : m_itemHeight;
    case CB_SETITEMHEIGHT: {
        const int h = int(Message.LParam & 0xFFFF);
        if (h <= 0 || h > 255)
            return CB_ERR;
        if (index == -1) {
            m_editHeight = h;
            SetBounds(m_left, m_top, m_width, m_height);
        } else
            SetItemHeight(h);
        return 0;
    }
    case CB_GETTOPINDEX: return m_list->GetTopIndex();
    case CB_SETTOPINDEX:
        if (!inRange)
            return CB_ERR;
        m_list->SetTopIndex(index);
        return 0;
    case CB_LIMITTEXT: SetMaxLength(index); return 1;
    case CB_GETEDITSEL: {
        if (!m_edit)
            return CB_ERR;
        const int s = m_edit->GetSelStart(), e = s + m_edit->GetSelLength();
        if (auto* p = reinterpret_cast<DWORD*>(Message.WParam)) *p = DWORD(s);
        if (auto* p = reinterpret_cast<DWORD*>(Message.LParam)) *p = DWORD(e);
        return MAKELPARAM(WORD(s), WORD(e));
    }
    case CB_SETEDITSEL: {
        if (!m_edit)
            return CB_ERR;
        // -1 as the start removes the selection; -1 as the end means the
        // end of the text.
        const int start = std::int16_t(LOWORD(Message.LParam));
        const int end = std::int16_t(HIWORD(Message.LParam));
        const int len = m_edit->GetTextLen();
        if (start == -1)
            m_edit->SetSel(m_edit->GetSelStart(), m_edit->GetSelStart());
        else
            m_edit->SetSel(start, end == -1 ? len : end);
        return 1;
    }
    case CB_GETDROPPEDCONTROLRECT: {
        if (auto* r = reinterpret_cast<RECT*>(Message.LParam)) {
            const TPoint at = ClientToScreen({ 0, 0 });
            *r = RECT { at.X, at.Y, at.X + GetDroppedWidth(), at.Y + m_height + m_dropDownCount * m_itemHeight };
        }
        return 1;
    }
    case CB_GETCOMBOBOXINFO: {
        auto* info = reinterpret_cast<COMBOBOXINFO*>(Message.LParam);
        if (!info)
            return 0;
        const TRect c = GetClientRect();
        const TRect button = ButtonRect();
        info->hwndCombo = GetHandle();
        info->hwndItem = m_edit ? m_edit->GetHandle() : nullptr;
        info->hwndList = m_list->GetHandle();
        info->rcItem = m_edit ? RECT(m_edit->GetBoundsRect()) : RECT { c.Left + 2, c.Top + 2, button.Left - 1, c.Top + m_editHeight };
        info->rcButton = button;
        info->stateButton = m_style == csSimple ? STATE_SYSTEM_INVISIBLE : (m_buttonPressed ? STATE_SYSTEM_PRESSED : 0);
        return 1;
    }
    default:
        return CB_ERR;
    }
}

void TCustomComboBox::Dispatch(TMessage& Message)
{
    if (Message.Msg >= CB_GETEDITSEL && Message.Msg <= CB_GETCOMBOBOXINFO) {
        Message.Result = HandleComboMessage(Message);
        return;
    }
    switch (Message.Msg) {
    case CN_COMMAND:
        CNCommand(Message);
        return;
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    case CM_WANTSPECIALKEY:
        if (m_droppedDown && (Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE)) {
            Message.Result = 1;
            return;
        }
        break;
    case WM_KEYDOWN: case WM_SYSKEYDOWN: {
        TWinControl::Dispatch(Message); // OnKeyDown may eat the key
        if (Message.WParam != 0 && !m_edit)
            ComboKey(WORD(Message.WParam), KeyDataToShiftState(Message.LParam));
        return;
    }
    case WM_CHAR:
        if ((Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE) && m_droppedDown)
            return;
        break;
    case WM_SETFOCUS:
        if (m_edit && m_edit->CanFocus()) {
            m_edit->SetFocus();
            return;
        }
        TCustomControl::Dispatch(Message);
        Notify(CBN_SETFOCUS);
        Invalidate();
        return;
    case WM_KILLFOCUS:
        TCustomControl::Dispatch(Message);
        if (!m_edit || reinterpret_cast<HWND>(Message.WParam) != m_edit->GetHandle()) {
            if (m_droppedDown)
                CloseList(false);
            if (!m_edit)
                Notify(CBN_KILLFOCUS);
        }
        Invalidate();
        return;
    case WM_CAPTURECHANGED:
        if (m_droppedDown && reinterpret_cast<HWND>(Message.LParam) != m_handle)
            CloseList(false);
        break;
    case WM_MOUSEWHEEL: {
        const int delta = GET_WHEEL_DELTA_WPARAM(Message.WParam);
        if (m_droppedDown)
            m_list->SetTopIndex(m_list->GetTopIndex() - delta / 120 * 3);
        else if (m_items->GetCount() > 0)
            SelectByUser(std::clamp(m_itemIndex + (delta > 0 ? -1 : 1), 0, m_items->GetCount() - 1));
        Message.Result = 1;
        return;
    }
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_MOUSEMOVE: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (Message.Msg == WM_LBUTTONDBLCLK) // a quick second press is a press like the first
            Message.Msg = WM_LBUTTONDOWN;
        HandleMouse(Message);
        break;
    default:
        break;
    }
    TCustomControl::Dispatch(Message);
}

void TCustomComboBox::DrawListItem(TCanvas* Canvas, int Index, TRect Rect, TOwnerDrawState State)
{
    if ((m_style == csOwnerDrawFixed || m_style == csOwnerDrawVariable) && OnDrawItem) {
        Canvas->GetFont()->Assign(GetFont());
        // The event paints on the canvas of the combo: lend it the list's
        // device context for the call.
        TCanvas* own = GetCanvas();
        HDC saved = own->GetHandle();
        own->SetHandle(Canvas->GetHandle());
        struct Restore { TCanvas* c; HDC h; ~Restore() { c->SetHandle(h); } } restore { own, saved };
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    PaintListLine(Canvas, this, m_items->GetStrings(Index), Rect, State);
}

void TCustomComboBox::Paint()
{
    TCanvas* canvas = GetCanvas();
    canvas->GetFont()->Assign(GetFont());
    HDC dc = canvas->GetHandle();
    const TRect client = GetClientRect();
    FillSolid(dc, client, ControlColorToRGB(this, m_color));
    if (m_style == csSimple)
        return;
    const TRect button = ButtonRect();
    RECT br = button;
    const bool styled = StyledElement(this, seClient);
    if (!styled || !StyleServices()->DrawElement(dc, StyleServices()->GetElementDetails(m_buttonPressed ? tcDropDownButtonPressed : (IsEnabledInChain() ? tcDropDownButtonNormal : tcDropDownButtonDisabled)), button))
        DrawFrameControl(dc, &br, DFC_SCROLL, UINT(DFCS_SCROLLCOMBOBOX) | (m_buttonPressed ? UINT(DFCS_PUSHED | DFCS_FLAT) : 0u) | (IsEnabledInChain() ? 0u : UINT(DFCS_INACTIVE)));
    if (m_edit)
        return;
    // The list styles show the selected line in the field.
    TRect field { client.Left + 1, client.Top + 1, button.Left - 1, client.Top + 1 + m_editHeight };
    TOwnerDrawState state { odComboBoxEdit };
    if (Focused() && !m_droppedDown)
        state.Include(odSelected), state.Include(odFocused);
    if (!IsEnabledInChain())
        state.Include(odDisabled);
    if (m_itemIndex >= 0 && (m_style == csOwnerDrawFixed || m_style == csOwnerDrawVariable) && OnDrawItem) {
        OnDrawItem(this, m_itemIndex, field, state);
        return;
    }
    PaintListLine(canvas, this, m_listText, field, state);
}

bool GetComboBoxInfo(HWND Combo, COMBOBOXINFO* Info)
{
    if (!Info || !IsWindow(Combo) || !dynamic_cast<TCustomComboBox*>(TWinControl::FindControl(Combo)))
        return false;
    return SendMessage(Combo, CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(Info)) != 0;
}

