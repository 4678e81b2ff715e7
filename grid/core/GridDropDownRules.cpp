#include "grid/core/GridDropDownRules.h"

#include "grid/core/DedOzovedUrad.h"
#include "platform/win/Window.h"

namespace {

bool IsArrowKey(WORD Key) { return Key == VK_LEFT || Key == VK_UP || Key == VK_RIGHT || Key == VK_DOWN; }

// The grid's validation flag for the time the cell is written: the write
// must not open another editor.
struct TValidatingGuard {
    TDedOzovedUrad* Grid;
    bool Old;
    explicit TValidatingGuard(TDedOzovedUrad* G) : Grid(G), Old(G->GetValidating()) { Grid->SetValidating(true); }
    ~TValidatingGuard() { Grid->SetValidating(Old); }
};

void FocusGrid(TDedOzovedUrad* Grid)
{
    if (Grid->GetParent() && Grid->CanFocus())
        Grid->SetFocus();
}

} // namespace

void TGridDropDownRules::Change()
{
    FControl.BaseChange();
    if (FGrid && FGrid->OnEditChange && !FGrid->GetNoEditChange())
        FGrid->OnEditChange(FGrid, FGrid->GetCol(), FGrid->GetRow(), FControl.EditorText());
}

LRESULT TGridDropDownRules::WantSpecialKey(WORD Key)
{
    LRESULT Result = FControl.BaseWantSpecialKey(Key);
    if (!FGrid)
        return Result;
    if (Key == VK_TAB && FGrid->WantsEditorTab())
        Result = 1;
    if (FOptions.ClaimEnterEsc && (Key == VK_RETURN || Key == VK_ESCAPE))
        Result = 1;
    return Result;
}

void TGridDropDownRules::Exit()
{
    if (FGrid)
        FGrid->HideInplaceEdit();
    FControl.BaseExit();
}

void TGridDropDownRules::KeyPress(Char& Key, TObject* Sender)
{
    if (FGrid && FGrid->OnKeyPress)
        FGrid->OnKeyPress(Sender, Key);
    if (Key == VK_ESCAPE || Key == VK_RETURN || Key == VK_TAB)
        Key = 0;
    FControl.BaseKeyPress(Key);
}

bool TGridDropDownRules::Handles(WORD Key, TShiftState Shift)
{
    if (Key == VK_DOWN && Shift.Contains(ssAlt))
        return false;
    if (FOptions.ColorKeys) {
        if (FControl.DroppedDown())
            return Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE;
        switch (Key) {
        case VK_TAB: case VK_RETURN: case VK_ESCAPE: case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME:
        case VK_UP: case VK_DOWN:
            return true;
        default:
            return false;
        }
    }
    switch (Key) {
    case VK_TAB: case VK_RETURN: case VK_ESCAPE: case VK_PRIOR: case VK_NEXT: case VK_END: case VK_UP: case VK_DOWN:
        return true;
    default:
        return false;
    }
}

void TGridDropDownRules::Restore(const String& Value)
{
    if (FOptions.FormattedRestore)
        FControl.WriteText(Value);
    else
        FControl.WriteRawText(Value);
}

bool TGridDropDownRules::Commit(const String& Text)
{
    {
        TValidatingGuard Validating(FGrid);
        FGrid->SetCurrentCell(Text);
    }
    return FGrid->ValidateCell(Text);
}

void TGridDropDownRules::KeyDown(WORD& Key, TShiftState Shift)
{
    FForced = false;
    if (!FGrid) {
        FControl.BaseKeyDown(Key, Shift);
        return;
    }
    // The control drop-down's content keeps the navigation keys while it
    // is open, when it wants them.
    if (FOptions.ArrowsToContent && FWantArrows && FControl.DroppedDown()
        && (Key == VK_PRIOR || Key == VK_NEXT || Key == VK_END || Key == VK_HOME || IsArrowKey(Key))) {
        Key = 0;
        FControl.BaseKeyDown(Key, Shift);
        return;
    }
    const bool Handled = Handles(Key, Shift);
    FWorkMode = Key != VK_BACK && Key != VK_DELETE;
    if (!Handled) {
        FControl.BaseKeyDown(Key, Shift);
        return;
    }

    if (Key == VK_ESCAPE) {
        if (FOptions.CancelDropDownOnEsc && FControl.DroppedDown())
            FControl.CloseDropDown(true);
        FControl.CancelValue();
        Restore(FGrid->GetCurrentCell());
        FGrid->HideInplaceEdit();
        FocusGrid(FGrid);
        Key = 0;
        return;
    }

    const bool Commits = Key == VK_RETURN || (!FOptions.ColorKeys && (Key == VK_UP || Key == VK_DOWN));
    if (Commits) {
        if (Key == VK_RETURN)
            FControl.BeforeEnterCommit();
        if (!Commit(FControl.CommitText())) {
            Restore(FGrid->GetNewCellText());
            FControl.SelectAllText();
            FControl.Repaint();
            Key = 0;
            return;
        }
        // The colour picker's value is its colour, not its text: the edit
        // keeps showing it.
        if (!FOptions.ColorKeys)
            Restore(FGrid->GetCurrentCell());
    }

    if (Key == VK_TAB && FGrid->WantsEditorTab()) {
        if (!Commit(FControl.CommitText())) {
            Restore(FGrid->GetNewCellText());
            FControl.CaretToEnd();
            FControl.Repaint();
            Key = 0;
            return;
        }
        if (FGrid->GetOptions().Contains(goTabs)) {
            FGrid->HideInplaceEdit();
            FocusGrid(FGrid);
            FGrid->NavigateFromEditor(Shift.Contains(ssShift));
            Key = 0;
            return;
        }
        if (FGrid->HandleAllocated())
            PostMessage(FGrid->GetHandle(), WM_KEYDOWN, VK_TAB, 0);
    }

    if (FControl.DroppedDown()) {
        FGrid->HideInplaceEdit();
        if (Key == VK_LEFT || Key == VK_RIGHT) {
            WORD Move = Key;
            FGrid->KeyDown(Move, Shift);
        }
        if (Key == VK_PRIOR || Key == VK_NEXT || IsArrowKey(Key))
            Key = 0;
    } else if (Key == VK_END) {
        FControl.BaseKeyDown(Key, Shift);
        return;
    }

    FGrid->DoneInplaceEdit(Key, Shift);
    TNavigation* Nav = FGrid->GetNavigation();
    if (Nav->GetAdvanceOnEnter() && Nav->GetAdvanceAutoEdit())
        FGrid->ShowInplaceEdit();
    Key = 0;
    FControl.BaseKeyDown(Key, Shift);
}
