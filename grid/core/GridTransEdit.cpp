// The grid's small edit controls. The two transparent editors validate
// their text through the grid's events and write it into the cell; the
// form-control editors hand Return and Tab to the grid.

#include "grid/core/GridTransEdit.h"

#include <algorithm>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridGuards.h"
#include "platform/win/Input.h"
#include "platform/win/WinUser.h"

QT_PUBLISHED(TGridTransEdit, QT_PROP(Row), QT_PROP(Col))
QT_PUBLISHED(TGridTransCombo, QT_PROP(Row), QT_PROP(Col))
QT_PUBLISHED(TControlEdit)
QT_PUBLISHED(TControlCombo)

namespace {

// Set while an editor ends its edit: the focus loss that hiding it causes
// must not end it a second time.
thread_local const void* StoppingEditor = nullptr;

struct TStopping {
    const void* Old;
    explicit TStopping(const void* Editor) : Old(StoppingEditor) { StoppingEditor = Editor; }
    ~TStopping() { StoppingEditor = Old; }
};

void ShowRefusalBalloon(TWinControl* Target, TDedOzovedUrad* Grid)
{
    if (!Target)
        return;
    const String& Title = Grid->GetInvalidEntryTitle();
    const String& Text = Grid->GetInvalidEntryText();
    EDITBALLOONTIP Tip;
    Tip.pszTitle = Title.c_str();
    Tip.pszText = Text.c_str();
    Tip.ttiIcon = int(Grid->GetInvalidEntryIcon());
    Target->Perform(EM_SHOWBALLOONTIP, 0, reinterpret_cast<LPARAM>(&Tip));
}

// The grid's focus goes to the edited cell when it is one that can take it.
void FocusEditedCell(TDedOzovedUrad* Grid, int ACol, int ARow)
{
    if (ACol >= Grid->GetFixedCols() && ACol < Grid->GetColCount() && ARow >= Grid->GetFixedRows()
        && ARow < Grid->GetRowCount()) {
        Grid->SetCol(ACol);
        Grid->SetRow(Grid->RealToDisplayRow(TRealRow(ARow)).Value);
    }
}

} // namespace

// ---- TGridTransEdit ----

TGridTransEdit::TGridTransEdit(TComponent* AOwner) : TCustomEdit(AOwner), FGrid(dynamic_cast<TDedOzovedUrad*>(AOwner))
{
    SetVisible(false);
}

bool TGridTransEdit::StopEdit()
{
    if (StoppingEditor == this)
        return true;
    TStopping Stopping(this);
    if (!FGrid || !GetVisible()) {
        SetVisible(false);
        return true;
    }
    String Value = GetText();
    bool Valid = true;
    if (FGrid->OnCellValidate)
        FGrid->OnCellValidate(FGrid, FCol, FRow, Value, Valid);
    if (!Valid) {
        if (!FGrid->GetInvalidEntryText().empty() || !FGrid->GetInvalidEntryTitle().empty())
            ShowRefusalBalloon(this, FGrid);
        FocusEditedCell(FGrid, FCol, FRow);
        if (CanFocus())
            SetFocus();
        return false;
    }
    if (FGrid->OnEditingDone)
        FGrid->OnEditingDone(FGrid);
    FGrid->SetCellEx(FCol, FRow, Value);
    if (FFilterEdit) {
        SetVisible(false);
        FGrid->ApplyFilterEdit(FCol, ftNone);
    } else if (FGrid->OnEditCellDone)
        FGrid->OnEditCellDone(this, FCol, FRow);
    SetVisible(false);
    return true;
}

void TGridTransEdit::DoExit()
{
    TCustomEdit::DoExit();
    StopEdit();
}

void TGridTransEdit::KeyPress(char16_t& Key)
{
    if (Key == u'\r') {
        Key = 0;
        StopEdit();
    }
    TCustomEdit::KeyPress(Key);
}

// ---- TGridTransCombo ----

TGridTransCombo::TGridTransCombo(TComponent* AOwner)
    : TCustomComboBox(AOwner), FGrid(dynamic_cast<TDedOzovedUrad*>(AOwner))
{
    SetVisible(false);
}

int TGridTransCombo::GetDropWidth()
{
    return int(Perform(CB_GETDROPPEDWIDTH));
}

void TGridTransCombo::SetDropWidth(int Value)
{
    Perform(CB_SETDROPPEDWIDTH, WPARAM(std::max(0, Value)));
}

void TGridTransCombo::SizeDropDownWidth()
{
    int W = GetWidth();
    const bool Scrolls = GetItems()->GetCount() > GetDropDownCount();
    TCanvas* Canvas = FGrid ? FGrid->GetCanvas() : nullptr;
    if (Canvas)
        for (int i = 0; i < GetItems()->GetCount(); ++i) {
            const int X = Canvas->TextWidth(GetItems()->GetStrings(i));
            if (Scrolls) {
                if (X > W - 25)
                    W = X + 25;
            } else if (X > W - 5)
                W = X + 8;
        }
    SetDropWidth(W);
}

bool TGridTransCombo::StopEdit()
{
    if (StoppingEditor == this)
        return true;
    TStopping Stopping(this);
    if (!FGrid)
        return true;
    String Value = GetText();
    bool Valid = true;
    if (FGrid->OnCellValidate)
        FGrid->OnCellValidate(FGrid, FCol, FRow, Value, Valid);
    if (!Valid) {
        const bool Balloon = !FGrid->GetInvalidEntryText().empty()
            || (!FGrid->GetInvalidEntryTitle().empty() && GetStyle() != csDropDownList);
        if (Balloon)
            ShowRefusalBalloon(GetEditControl(), FGrid);
        FocusEditedCell(FGrid, FCol, FRow);
        if (CanFocus())
            SetFocus();
        return false;
    }
    if (FGrid->OnEditingDone)
        FGrid->OnEditingDone(FGrid);
    FGrid->SetCellEx(FCol, FRow, Value);
    SetVisible(false);
    return true;
}

void TGridTransCombo::DoExit()
{
    TCustomComboBox::DoExit();
    StopEdit();
}

void TGridTransCombo::KeyPress(char16_t& Key)
{
    if (Key == u'\r')
        Key = 0;
    TCustomComboBox::KeyPress(Key);
}

void TGridTransCombo::HookEditChild()
{
    TCustomEdit* Edit = GetEditControl();
    if (!Edit || Edit == FHookedEdit)
        return;
    FHookedEdit = Edit;
    TWndMethod Inner = Edit->WindowProc;
    Edit->WindowProc = [Inner](TMessage& Message) {
        if (Message.Msg == WM_CHAR && Message.WParam == VK_RETURN) {
            Message.Result = 0;
            return;
        }
        Inner(Message);
    };
}

// ---- form-control editors ----

void FormControlEditorKey(TWinControl* Editor, char16_t& Key)
{
    auto* Grid = dynamic_cast<TDedOzovedUrad*>(Editor->GetParent());
    if (!Grid || (Key != u'\r' && Key != u'\t'))
        return;
    const bool Tab = Key == u'\t';
    Key = 0;
    Grid->FormControlKey(Tab);
}

void TControlEdit::Dispatch(TMessage& Message)
{
    if (Message.Msg == CM_WANTSPECIALKEY) {
        if (Message.WParam == VK_RETURN) {
            Message.Result = 0;
            return;
        }
        if (Message.WParam == VK_TAB) {
            Message.Result = 1;
            return;
        }
    }
    TMaskEdit::Dispatch(Message);
}

void TControlEdit::KeyPress(char16_t& Key)
{
    FormControlEditorKey(this, Key);
    if (Key != 0)
        TMaskEdit::KeyPress(Key);
}

void TControlCombo::Dispatch(TMessage& Message)
{
    if (Message.Msg == CM_WANTSPECIALKEY && Message.WParam == VK_TAB) {
        Message.Result = 1;
        return;
    }
    TVovComboBox::Dispatch(Message);
}

void TControlCombo::KeyPress(char16_t& Key)
{
    FormControlEditorKey(this, Key);
    if (Key != 0)
        TVovComboBox::KeyPress(Key);
}

void TControlCombo::HookEditChild()
{
    TCustomEdit* Edit = GetEditControl();
    if (!Edit || Edit == FHookedEdit)
        return;
    FHookedEdit = Edit;
    TWndMethod Inner = Edit->WindowProc;
    Edit->WindowProc = [this, Inner](TMessage& Message) {
        if (Message.Msg == CM_WANTSPECIALKEY && Message.WParam == VK_TAB) {
            Message.Result = 1;
            return;
        }
        if (Message.Msg == WM_CHAR && (Message.WParam == VK_RETURN || Message.WParam == VK_TAB)) {
            char16_t Key = char16_t(Message.WParam);
            FormControlEditorKey(this, Key);
            if (Key == 0) {
                Message.Result = 0;
                return;
            }
        }
        Inner(Message);
    };
}
