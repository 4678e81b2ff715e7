// The filter row's pop-up lists: how they close and how a choice leaves
// them.

#include "grid/core/GridFilterList.h"

#include "grid/core/DedOzovedUrad.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"
#include "platform/win/WinUser.h"

QT_PUBLISHED(TDropList, QT_EVENT_T(OnSelect, u"TDropSelectEvent"), QT_EVENT(OnClose))
QT_PUBLISHED(TDropCheckList, QT_EVENT_T(OnSelect, u"TDropSelectEvent"), QT_EVENT(OnClose))

namespace {

// Focus or capture went elsewhere. A pointer over the list (or, for the
// plain list, just above it over the filter button that opened it) keeps
// the list open: the click there is the list's or the button's own.
void CancelModeClose(TCustomListBox& List, int TopMargin)
{
    POINT Screen;
    GetCursorPos(Screen);
    const TPoint P = List.ScreenToClient({ Screen.X, Screen.Y });
    const TRect Keep { 0, -TopMargin, List.GetWidth(), List.GetHeight() };
    if (Keep.Contains(P))
        return;
    if (auto* Grid = dynamic_cast<TDedOzovedUrad*>(List.GetOwner())) {
        Grid->DoFilterClose(Grid->GetFilterCol());
        Grid->SetFilterCol(-1);
    }
    List.SetVisible(false);
}

} // namespace

// ---- TDropList ----

TDropList::TDropList(TComponent* AOwner) : TListBox(AOwner) { }

void TDropList::Dispatch(TMessage& Message)
{
    if (Message.Msg == CM_CANCELMODE)
        CancelModeClose(*this, 20);
    TListBox::Dispatch(Message);
}

void TDropList::KeyDown(WORD& Key, TShiftState Shift)
{
    TListBox::KeyDown(Key, Shift);
    if (Key == VK_RETURN) {
        SetVisible(false);
        if (OnSelect)
            OnSelect(this, GetItemIndex());
    } else if (Key == VK_ESCAPE) {
        SetVisible(false);
        if (OnClose)
            OnClose(this);
    }
}

void TDropList::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TListBox::MouseUp(Button, Shift, X, Y);
    SetVisible(false);
    if (OnSelect)
        OnSelect(this, GetItemIndex());
}

// ---- TDropCheckList ----

TDropCheckList::TDropCheckList(TComponent* AOwner) : TCheckListBox(AOwner) { }

void TDropCheckList::Dispatch(TMessage& Message)
{
    if (Message.Msg == CM_CANCELMODE)
        CancelModeClose(*this, 0);
    TCheckListBox::Dispatch(Message);
}

void TDropCheckList::KeyDown(WORD& Key, TShiftState Shift)
{
    TCheckListBox::KeyDown(Key, Shift);
    if (Key == VK_ESCAPE) {
        SetVisible(false);
        if (OnClose)
            OnClose(this);
    }
}

void TDropCheckList::ClickCheck()
{
    TCheckListBox::ClickCheck();
    if (OnSelect)
        OnSelect(this, GetItemIndex());
}
