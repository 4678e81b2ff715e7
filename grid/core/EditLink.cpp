// The base of the edit links: placing the link's control, its keys and the
// write-back of its value. The grid's side (showing and storing) is in
// DedOzovedUradEditLink.cpp.

#include "grid/core/EditLink.h"

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridGuards.h"
#include "grid/core/LumInplaceEdit.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Window.h"

using GridGuards::TValueGuard;

namespace {

// The dialog-code flags the grid's editor-window procedure adds under
// goTabs: arrows, Tab and characters.
constexpr LRESULT kWantGridKeys = 0x83;

// The focus cell holds a check box, a radio or a button (stored column).
bool FocusOnControlCell(TDedOzovedUrad* Grid)
{
    return Grid->IsControlCell(Grid->DisplayToRealCol(TDisplayCol(Grid->GetCol())).Value, Grid->GetRow());
}

bool IsArrow(WORD Key) { return Key == VK_LEFT || Key == VK_UP || Key == VK_RIGHT || Key == VK_DOWN; }

} // namespace

QT_PUBLISHED(TEditLink, QT_PROP(WantKeyLeftRight), QT_PROP(WantKeyUpDown), QT_PROP(WantKeyHomeEnd),
    QT_PROP(WantKeyPriorNext), QT_PROP(WantKeyReturn), QT_PROP(WantKeyEscape), QT_PROP(EditStyle), QT_PROP(PopupWidth),
    QT_PROP(PopupHeight), QT_PROP(Tag), QT_PROP(AutoPopupWidth), QT_PROP(PopupLeft), QT_PROP(PopupTop),
    QT_PROP(DropDown))

TEditLink::TEditLink(TComponent* AOwner) : TComponent(AOwner) { }

TEditLink::~TEditLink()
{
    // The form goes before the link does: its deactivation must not reach
    // a link half destroyed.
    if (FPopupForm) {
        FPopupForm->OnDeactivate = nullptr;
        delete FPopupForm;
        FPopupForm = nullptr;
    }
    // Every grid that showed or holds the link hears of its end through
    // the free notification.
}

void TEditLink::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FOwner) {
        // The stand-in window procedure refers to the grid: the control
        // gets its own back before the grid goes.
        if (FSubClassed && FSubClassedControl)
            FSubClassedControl->WindowProc = FSavedWinProc;
        FSubClassed = false;
        FSubClassedControl = nullptr;
        FSavedWinProc = nullptr;
        FOwner = nullptr;
    }
    if (AComponent == FPopupForm)
        FPopupForm = nullptr;
    if (AComponent == FSubClassedControl) {
        FSubClassedControl = nullptr;
        FSubClassed = false;
    }
}

void TEditLink::Attach(TDedOzovedUrad* AGrid, TPoint ACell)
{
    // The notification stays with a grid the link moves away from: that
    // grid may still hold the link.
    FOwner = AGrid;
    if (FOwner)
        FOwner->FreeNotification(this);
    FEditCell = ACell;
}

// ---- placing the control ----

void TEditLink::SetRect(TRect R)
{
    TWinControl* Control = GetEditControl();
    if (!Control || !FOwner)
        return;
    const int Line = FOwner->GetGridLineWidth();
    Control->SetBounds(R.Left, R.Top, R.Right - R.Left - Line, R.Bottom - R.Top - Line);
}

void TEditLink::SetVisible(bool Value)
{
    if (TWinControl* Control = GetEditControl())
        Control->SetVisible(Value);
}

void TEditLink::SetFocus(bool Value)
{
    TWinControl* Control = GetEditControl();
    if (Value && Control) {
        Control->SetVisible(true);
        Control->SetEnabled(true);
        if (FEditStyle == esInplace && !FSubClassed && FOwner) {
            // The grid's editor-window procedure stands in for the control's
            // own while the edit runs.
            FSavedWinProc = Control->WindowProc;
            FSubClassedControl = Control;
            Control->FreeNotification(this);
            TDedOzovedUrad* Grid = FOwner;
            TWndMethod Saved = FSavedWinProc;
            Control->WindowProc = [Grid, Saved](TMessage& Message) {
                if (Saved)
                    Saved(Message);
                if (Message.Msg == WM_GETDLGCODE && Grid->GetOptions().Contains(goTabs))
                    Message.Result |= kWantGridKeys;
            };
            FSubClassed = true;
        }
    }
    if (Value) {
        if (Control && Control->CanFocus())
            Control->SetFocus();
    } else if (FOwner && FOwner->CanFocus()) {
        FOwner->SetFocus();
    }
}

void TEditLink::RestoreWinProc()
{
    if (FEditStyle != esInplace || !FOwner)
        return;
    TWinControl* Control = GetEditControl();
    if (!Control)
        return;
    if (FSubClassed && FSubClassedControl == Control)
        Control->WindowProc = FSavedWinProc;
    FSubClassed = false;
    FSubClassedControl = nullptr;
    FSavedWinProc = nullptr;
    if (Control->HandleAllocated())
        ShowWindow(Control->GetHandle(), SW_HIDE);
}

TWinControl* TEditLink::GetParent()
{
    if (FEditStyle == esPopup)
        return FPopupForm;
    return FOwner;
}

// ---- the cell's value ----

String TEditLink::GetCellValue()
{
    if (!FOwner)
        return String();
    const int RCol = FOwner->DisplayToRealCol(TDisplayCol(FOwner->GetCol())).Value;
    return FOwner->GetCellEx(RCol, FOwner->GetRow());
}

void TEditLink::SetCellValue(const String& S)
{
    if (!FOwner)
        return;
    FOwner->WriteEditorText(FOwner->DisplayToRealCol(TDisplayCol(FOwner->GetCol())).Value, FOwner->GetRow(), S);
}

void TEditLink::HideEditor()
{
    SetCellValue(GetEditorValue());
    if (FOwner)
        FOwner->HideInplaceEdit();
    RestoreWinProc();
    if (FEditStyle == esPopup && FOwner && FOwner->CanFocus())
        FOwner->SetFocus();
}

void TEditLink::FocusGrid()
{
    TValueGuard Forced(FForcedExit, true);
    if (FOwner && FOwner->CanFocus())
        FOwner->SetFocus();
}

// ---- the pop-up form ----

TForm* TEditLink::PopupFormAt(TPoint P, int W, int H, double Scale)
{
    if (!FPopupForm) {
        // The link owns its form: nothing else of the application is
        // looked up or freed for it.
        FPopupForm = new TForm(this);
        FPopupForm->FreeNotification(this);
        FPopupForm->SetPosition(poDesigned);
        FPopupForm->OnDeactivate = [this](TObject* Sender) { FormExit(Sender); };
    }
    FPopupForm->SetBorderStyle(bsNone);
    FPopupForm->SetFormStyle(fsStayOnTop);
    FPopupForm->SetBounds(P.X, P.Y, 0, 0);
    FPopupForm->Show();
    FPopupForm->SetBounds(P.X, P.Y, W, H);
    if (Scale != 1.0)
        FPopupForm->ScaleForPPI(int(RoundHalfEven(Scale * 96)));
    return FPopupForm;
}

void TEditLink::FreePopupForm()
{
    if (!FPopupForm)
        return;
    FPopupForm->SetVisible(false);
}

void TEditLink::EditExit(TObject* /*Sender*/)
{
    if (FEditStyle == esPopup && FPopupForm) {
        if (FOwner)
            FOwner->HideInplaceEdit();
        HideEditor();
        if (FOwner && FOwner->CanFocus())
            FOwner->SetFocus();
        DestroyEditor();
        FreePopupForm();
        return;
    }
    HideEditor();
}

void TEditLink::FormExit(TObject* Sender)
{
    const String Value = GetEditorValue();
    if (FOwner)
        if (TLumInplaceEdit* Normal = FOwner->GetNormalEdit())
            Normal->SetText(Value);
    if (FForcedExit) {
        SetCellValue(Value);
        return;
    }
    EditExit(Sender);
    if (FOwner)
        FOwner->InvokedFocusChange = true;
}

// ---- keys ----

void TEditLink::EditKeyDown(TObject* /*Sender*/, WORD& Key, TShiftState Shift)
{
    TDedOzovedUrad* Grid = FOwner;
    if (!Grid)
        return;
    // 1. The keys the grid takes unless the link wants them itself.
    bool GridKey = false;
    switch (Key) {
    case VK_UP:
    case VK_DOWN: GridKey = !FWantKeyUpDown; break;
    case VK_LEFT:
    case VK_RIGHT: GridKey = !FWantKeyLeftRight; break;
    case VK_HOME:
    case VK_END: GridKey = !FWantKeyHomeEnd; break;
    case VK_PRIOR:
    case VK_NEXT: GridKey = !FWantKeyPriorNext; break;
    case VK_RETURN: GridKey = !FWantKeyReturn; break;
    case VK_ESCAPE: GridKey = !FWantKeyEscape; break;
    case VK_TAB: GridKey = !FWantTabs; break;
    default: break;
    }
    if (!GridKey)
        return;

    // 2. Keys that leave the cell commit first.
    if (Key == VK_TAB || Key == VK_RETURN || Key == VK_UP || Key == VK_DOWN) {
        Grid->SetCurrentCell(GetEditorValue());
        if (!Grid->ValidateCell(Grid->GetCurrentCell())) {
            SetEditorValue(Grid->GetCurrentCell());
            Key = 0;
            Grid->Invalidate();
            return;
        }
        SetEditorValue(Grid->GetCurrentCell());
    }

    // 3. Tab at the end of the edit goes on to the next cell's editor.
    if (Key == VK_TAB && Grid->GetNavigation()->GetTabToNextAtEnd()) {
        FocusGrid();
        Grid->StoreEditorValue(Grid->GetCol(), Grid->GetRow());
        const int OldCol = Grid->GetCol(), OldRow = Grid->GetRow();
        Grid->NavigateFromEditor(Shift.Contains(ssShift));
        const bool Moved = Grid->GetCol() != OldCol || Grid->GetRow() != OldRow;
        if (Moved && !FocusOnControlCell(Grid) && Grid->HandleAllocated())
            PostMessage(Grid->GetHandle(), GridUnit().WM_GRIDEDITSHOW, 0, 0);
        Key = 0;
        return;
    }

    // 4. Escape: the text from before the edit.
    String Value = GetEditorValue();
    if (Key == VK_ESCAPE) {
        Value = Grid->GetCellCache();
        SetEditorValue(Value);
    }
    // 5. The value goes to the cell.
    if (Grid->FEditActive) {
        Value = GetEditorValue();
        FocusGrid();
        Grid->StoreEditorValue(Grid->GetCol(), Grid->GetRow());
    }
    // 6.
    if (FEditStyle == esPopup) {
        EditExit(this);
        SetCellValue(Value);
    }
    // 7.
    Grid->EditMode = false;
    Grid->SelectCell(Grid->GetCol(), Grid->GetRow());

    if (Key == VK_RETURN && Grid->FLastValidation) {
        // 8.
        Grid->MoveToNextCell(Grid->GetCol(), Grid->GetRow(), false, false, !Shift.Contains(ssShift), false, false);
        Key = 0;
    } else if (!Grid->FLastValidation) {
        // 9. A refused value: the editor comes back on the cell.
        Grid->FLastValidation = true;
        Grid->ShowEditorControl(Grid->GetCol(), Grid->GetRow());
    } else if (Key == VK_ESCAPE) {
        // 10.
        Key = 0;
    } else {
        if (Key == VK_TAB || IsArrow(Key)) {
            WORD GridKeyCode = Key;
            Grid->KeyDown(GridKeyCode, Shift);
        }
        if (TWinControl* Control = GetEditControl())
            Control->SetEnabled(false);
        FocusGrid();
        if (Grid->GetOptions().Contains(goTabs) && Key == VK_TAB
            && !FocusOnControlCell(Grid) && Grid->HandleAllocated())
            PostMessage(Grid->GetHandle(), WM_KEYDOWN, VK_F2, 0);
    }
}
