// The grid's side of an edit link: edCustom's steps of showing and storing
// an editor, the link assignment, and the text editor's mask.

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/EditLink.h"
#include "grid/core/GridGuards.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Window.h"

using GridGuards::TValueGuard;

void TDedOzovedUrad::SetEditLink(TEditLink* Value)
{
    if (Value == FEditLink)
        return;
    // A link this grid no longer holds keeps its notification: it may have
    // shown itself here.
    FEditLink = Value;
    if (FEditLink)
        FEditLink->FreeNotification(this);
}

String TDedOzovedUrad::GetEditMask(int ACol, int ARow)
{
    String Value = FEditMask;
    if (OnGetEditMask)
        OnGetEditMask(this, ACol, ARow, Value);
    return Value;
}

bool TDedOzovedUrad::EditLinkDropDown() { return FEditLink && FEditLink->GetDropDown(); }

void TDedOzovedUrad::ShowEditLink(const TRect& R, TColor EditorColor)
{
    TEditLink* Link = FEditLink;
    EditMode = true;
    Link->Attach(this, TPoint(GetRealCol(), GetRow()));

    if (Link->GetEditStyle() == esPopup) {
        if (Link->GetAutoPopupWidth())
            Link->SetPopupWidth(R.Right - R.Left);
        // A coordinate left at -1 comes from the cell's place on the screen.
        const TPoint CellOnScreen = ClientToScreen(TPoint(R.Left, R.Top));
        const TPoint At(Link->GetPopupLeft() == -1 ? CellOnScreen.X : Link->GetPopupLeft(),
            Link->GetPopupTop() == -1 ? CellOnScreen.Y : Link->GetPopupTop());
        const double Scale = GetDPIScale();
        const int W = int(RoundHalfEven(Link->GetPopupWidth() * Scale));
        const int H = int(RoundHalfEven(Link->GetPopupHeight() * Scale));
        TForm* Form = Link->PopupFormAt(At, W, H, Scale);
        Link->CreateEditor(Form);
        Link->SetRect(TRect(0, 0, W, H));
    } else {
        Link->CreateEditor(this);
        Link->SetRect(R);
    }
    Link->SetVisible(true);
    Link->SetCellProps(EditorColor, GetCanvas()->GetFont());
    Link->SetProperties();
    DoGetEditorProp(GetRealCol(), GetRow(), Link);
    {
        TValueGuard Tags(FEditWithTags, FEditWithTags || Link->GetWantHTML());
        Link->SetEditorValue(GetEditText(GetCol(), GetRow()));
    }
    Link->SetFocus(true);
    FEditActive = true;
    TWinControl* Control = Link->GetEditControl();
    if (FStartEditChar != 0 && Control && Control->HandleAllocated())
        PostMessage(Control->GetHandle(), WM_CHAR, WPARAM(FStartEditChar), 0);
    EditCtrl = Control;
}

void TDedOzovedUrad::StoreEditLinkValue(int RCol, int ARow)
{
    TEditLink* Link = FEditLink;
    // The cell's drop-down button is drawn again for the kind it has now.
    if (FControlLook->GetDropDownAlwaysVisible())
        RepaintCell(GetCol(), ARow);
    WriteEditorText(RCol, ARow, Link->GetEditorValue());
    if (Link->GetEditStyle() != esPopup)
        Link->SetVisible(false);
    Link->RestoreWinProc();
    EditMode = false;
}
