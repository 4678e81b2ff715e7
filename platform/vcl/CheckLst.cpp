#include "platform/vcl/CheckLst.h"

#include "platform/gdi/Frames.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/ControlPaint.h"
#include "platform/vcl/Themes.h"
#include "platform/win/System.h"

QT_PUBLISHED(TCheckListBox, QT_PROP(AllowGrayed), QT_EVENT(OnClickCheck))

TCheckListBox::TCheckListBox(TComponent* AOwner) : TCustomListBox(AOwner) { }

void TCheckListBox::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= GetCount())
        throw EListError(u"List index out of bounds (" + IntToStr(Index) + u")");
}

TCheckBoxState TCheckListBox::GetState(int Index) const
{
    CheckIndex(Index);
    return m_boxes[std::size_t(Index)].State;
}

void TCheckListBox::SetState(int Index, TCheckBoxState v)
{
    CheckIndex(Index);
    if (m_boxes[std::size_t(Index)].State == v)
        return;
    m_boxes[std::size_t(Index)].State = v;
    Invalidate();
}

bool TCheckListBox::GetItemEnabled(int Index) const
{
    CheckIndex(Index);
    return m_boxes[std::size_t(Index)].Enabled;
}

void TCheckListBox::SetItemEnabled(int Index, bool v)
{
    CheckIndex(Index);
    m_boxes[std::size_t(Index)].Enabled = v;
    Invalidate();
}

void TCheckListBox::CheckAll(TCheckBoxState State, bool AllowGrayed, bool AllowDisabled)
{
    for (TBox& b : m_boxes)
        if ((AllowDisabled || b.Enabled) && (AllowGrayed || b.State != cbGrayed))
            b.State = State;
    Invalidate();
}

void TCheckListBox::ItemInserted(int Index)
{
    m_boxes.insert(m_boxes.begin() + Index, TBox {});
    TCustomListBox::ItemInserted(Index);
}

void TCheckListBox::ItemDeleted(int Index)
{
    if (Index < int(m_boxes.size()))
        m_boxes.erase(m_boxes.begin() + Index);
    TCustomListBox::ItemDeleted(Index);
}

void TCheckListBox::ItemsCleared()
{
    m_boxes.clear();
    TCustomListBox::ItemsCleared();
}

int TCheckListBox::BoxWidth() const
{
    return GetSystemMetrics(SM_CXMENUCHECK) + 4;
}

void TCheckListBox::ToggleByUser(int Index)
{
    if (Index < 0 || Index >= GetCount() || !m_boxes[std::size_t(Index)].Enabled || !IsEnabledInChain())
        return;
    TCheckBoxState& s = m_boxes[std::size_t(Index)].State;
    switch (s) {
    case cbUnchecked: s = m_allowGrayed ? cbGrayed : cbChecked; break;
    case cbGrayed: s = cbChecked; break;
    case cbChecked: s = cbUnchecked; break;
    }
    Invalidate();
    ClickCheck();
}

void TCheckListBox::ClickCheck()
{
    if (OnClickCheck)
        OnClickCheck(this);
}

void TCheckListBox::ItemClicked(int Index, int X)
{
    if (X < BoxWidth())
        ToggleByUser(Index);
}

void TCheckListBox::KeyPress(char16_t& Key)
{
    if (Key == u' ') {
        ToggleByUser(m_itemIndex);
        Key = 0;
        return;
    }
    TCustomListBox::KeyPress(Key);
}

void TCheckListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State)
{
    HDC dc = GetCanvas()->GetHandle();
    const TBox& box = m_boxes[std::size_t(Index)];
    const int w = BoxWidth();
    TRect boxArea { Rect.Left, Rect.Top, Rect.Left + w, Rect.Bottom };
    FillSolid(dc, boxArea, ControlColorToRGB(this, m_color));
    const int size = std::min(GetSystemMetrics(SM_CXMENUCHECK), Rect.Height());
    TRect r { Rect.Left + 2, Rect.Top + (Rect.Height() - size) / 2, 0, 0 };
    r.Right = r.Left + size;
    r.Bottom = r.Top + size;
    const bool enabled = box.Enabled && IsEnabledInChain();
    bool drawn = false;
    if (StyledElement(this, seClient)) {
        TThemedButton part = tbCheckBoxUncheckedNormal;
        if (box.State == cbChecked) part = enabled ? tbCheckBoxCheckedNormal : tbCheckBoxCheckedDisabled;
        else if (box.State == cbGrayed) part = enabled ? tbCheckBoxMixedNormal : tbCheckBoxMixedDisabled;
        else if (!enabled) part = tbCheckBoxUncheckedDisabled;
        drawn = StyleServices()->DrawElement(dc, StyleServices()->GetElementDetails(part), r);
    }
    if (!drawn) {
        RECT fr = r;
        UINT flags = box.State == cbGrayed ? DFCS_BUTTON3STATE | DFCS_CHECKED : DFCS_BUTTONCHECK;
        if (box.State == cbChecked)
            flags |= DFCS_CHECKED;
        if (!enabled)
            flags |= DFCS_INACTIVE;
        DrawFrameControl(dc, &fr, DFC_BUTTON, flags);
    }
    if (!box.Enabled)
        State.Include(odDisabled);
    TCustomListBox::DrawItem(Index, { Rect.Left + w, Rect.Top, Rect.Right, Rect.Bottom }, State);
}
