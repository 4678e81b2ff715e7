// The grid's typed cell editors and the key rules they share.

#include "grid/core/GridTypedEditors.h"

#include <algorithm>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridGuards.h"
#include "grid/core/GridUtils.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/SysColors.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Clipboard.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

using GridGuards::TValueGuard;

QT_PUBLISHED(TGridSpin, QT_PROP(AlwaysValidate))
QT_PUBLISHED(TGridCombo)
QT_PUBLISHED(TGridCheckBox)
QT_PUBLISHED(TGridButton)
QT_PUBLISHED(TGridEditBtn, QT_PROP(StopEditAfterClick))
QT_PUBLISHED(TGridUnitEditBtn)
QT_PUBLISHED(TGridDatePicker, QT_PROP(Weeknumbers), QT_PROP(ShowToday), QT_PROP(ShowTodayCircle))

namespace {

constexpr Char CharBackspace = 8;
constexpr Char CharTab = 9;
constexpr Char CharEnter = 13;
constexpr Char CharEsc = 27;

bool IsArrow(WORD Key) { return Key == VK_LEFT || Key == VK_UP || Key == VK_RIGHT || Key == VK_DOWN; }
bool CtrlDown() { return GetKeyState(VK_CONTROL) < 0; }
bool Contains(const String& S, Char Ch) { return S.find(Ch) != String::npos; }

void FocusGrid(TDedOzovedUrad* Grid)
{
    if (Grid->GetParent() && Grid->CanFocus())
        Grid->SetFocus();
}

// AlwaysEdit would open an editor as the grid takes the focus back.
struct TAlwaysEditOff {
    TNavigation* Nav;
    bool Old;
    explicit TAlwaysEditOff(TNavigation* N) : Nav(N), Old(N->GetAlwaysEdit()) { Nav->SetAlwaysEdit(false); }
    ~TAlwaysEditOff() { Nav->SetAlwaysEdit(Old); }
    TAlwaysEditOff(const TAlwaysEditOff&) = delete;
    TAlwaysEditOff& operator=(const TAlwaysEditOff&) = delete;
};

// The keys the grid's OnKeyDown / OnKeyUp do not see from an editor.
bool IsEditorKey(WORD Key)
{
    return Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_PRIOR || Key == VK_NEXT
        || Key == VK_UP || Key == VK_DOWN;
}

void FireGridKeyDown(TDedOzovedUrad* Grid, WORD& Key, TShiftState Shift)
{
    if (Grid->OnKeyDown)
        Grid->OnKeyDown(Grid, Key, Shift);
}

void FireGridKeyUp(TDedOzovedUrad* Grid, WORD& Key, TShiftState Shift)
{
    if (Grid->OnKeyUp)
        Grid->OnKeyUp(Grid, Key, Shift);
}

void FireGridKeyPress(TDedOzovedUrad* Grid, TObject* Sender, char16_t& Key)
{
    if (Grid->OnKeyPress)
        Grid->OnKeyPress(Sender, Key);
}

} // namespace

// ---- shared rules ----

namespace GridEditorRules {

TDedOzovedUrad* OwnerGrid(TComponent* AOwner) { return dynamic_cast<TDedOzovedUrad*>(AOwner); }

bool Commit(TDedOzovedUrad* Grid, const String& Text)
{
    Grid->SetCurrentCell(Text);
    const bool Valid = Grid->ValidateCell(Text);
    if (!Valid)
        Grid->SetNoAutoAdvance(true);
    return Valid;
}

void TabOut(TDedOzovedUrad* Grid, TShiftState Shift)
{
    Grid->HideInplaceEdit();
    FocusGrid(Grid);
    Grid->NavigateFromEditor(Shift.Contains(ssShift));
}

void Leave(TDedOzovedUrad* Grid, WORD& Key, TShiftState Shift, bool PostShow)
{
    Grid->DoneInplaceEdit(Key, Shift);
    TNavigation* Nav = Grid->GetNavigation();
    if (Key == VK_RETURN && Nav->GetAdvanceOnEnter() && Nav->GetAdvanceAutoEdit()) {
        if (PostShow) {
            if (Grid->HandleAllocated())
                PostMessage(Grid->GetHandle(), GridUnit().WM_GRIDEDITSHOW, 0, 0);
        } else {
            Grid->ShowInplaceEdit();
        }
    }
    Key = 0;
}

bool WalkOut(TDedOzovedUrad* Grid, const String& Text, bool Forward, bool Validate)
{
    const int Col = Grid->GetCol(), Row = Grid->GetRow();
    const int Beside = Grid->ControlCellBeside(Col, Row, Forward);
    if (Validate || Beside >= 0) {
        if (!Commit(Grid, Text))
            return false;
    }
    Grid->HideInplaceEdit();
    if (Beside >= 0) {
        Grid->SetCol(Beside);
        FocusGrid(Grid);
        return true;
    }
    FocusGrid(Grid);
    Grid->WalkAlongRow(Col, Row, Forward);
    return true;
}

int CompletionIndex(TDedOzovedUrad* Grid, TStrings* Items, const String& Typed)
{
    if (!Items || Typed.empty())
        return -1;
    const bool CaseSensitive = Grid->GetLookupCaseSensitive();
    const String Want = CaseSensitive ? Typed : AnsiUpperCase(Typed);
    for (int i = 0; i < Items->GetCount(); ++i) {
        const String Item = Items->GetStrings(i);
        const String Cmp = CaseSensitive ? Item : AnsiUpperCase(Item);
        if (Cmp.size() >= Want.size() && Cmp.compare(0, Want.size(), Want) == 0)
            return i;
    }
    return -1;
}

bool NumericCharAccepted(const String& Text, int SelStart, const String& /*SelText*/, Char Ch)
{
    if (Ch == CharBackspace || Ch == CharTab || Ch == CharEnter || Ch == CharEsc || (Ch >= u'0' && Ch <= u'9'))
        return true;
    if (Ch == u'-' && !Contains(Text, u'-') && SelStart == 0)
        return true;
    MessageBeep(0);
    return false;
}

bool FloatCharAccepted(const String& Text, int SelStart, const String& SelText, Char Ch)
{
    if (!VuzEraz::IsNumericEditKey(Ch))
        return false;
    if (Ch == VuzEraz::DecimalSeparatorChar()) {
        String Rest = Text;
        Rest.erase(std::size_t(std::min<int>(SelStart, int(Rest.size()))), SelText.size());
        return !Contains(Rest, Ch);
    }
    if (Ch == VuzEraz::ThousandSeparatorChar())
        return false;
    if (Ch == u'-') {
        if ((SelStart == 0 && !Contains(Text, u'-')) || Contains(SelText, u'-'))
            return true;
        MessageBeep(0);
        return false;
    }
    return true;
}

} // namespace GridEditorRules

using namespace GridEditorRules;

// ---- TGridSpin ----

TGridSpin::TGridSpin(TComponent* AOwner) : TVovSpinEdit(AOwner), FGrid(OwnerGrid(AOwner))
{
    SetMaxValue(100);
    SetMinValue(0);
    SetIncrement(1);
}

void TGridSpin::UpClick(TObject* Sender)
{
    TVovSpinEdit::UpClick(Sender);
    DoSpinClick(true);
}

void TGridSpin::DownClick(TObject* Sender)
{
    TVovSpinEdit::DownClick(Sender);
    DoSpinClick(false);
}

void TGridSpin::DoSpinClick(bool UpDown)
{
    if (!FGrid)
        return;
    const int Col = FGrid->GetCol(), Row = FGrid->GetRow();
    switch (GetSpinType()) {
    case sptNormal:
        if (FGrid->OnSpinClick)
            FGrid->OnSpinClick(FGrid, Col, Row, GetValue(), UpDown);
        break;
    case sptFloat:
        if (FGrid->OnFloatSpinClick)
            FGrid->OnFloatSpinClick(FGrid, Col, Row, GetFloatValue(), UpDown);
        break;
    case sptDate:
        if (FGrid->OnDateSpinClick)
            FGrid->OnDateSpinClick(FGrid, Col, Row, GetDateValue(), UpDown);
        break;
    case sptTime:
        if (FGrid->OnTimeSpinClick)
            FGrid->OnTimeSpinClick(FGrid, Col, Row, GetTimeValue(), UpDown);
        break;
    }
}

void TGridSpin::ClampValue()
{
    if (GetSpinType() == sptNormal && (GetMinValue() != GetMaxValue() || FAlwaysValidate)) {
        const Integer V = GetValue();
        const Integer C = std::min(std::max(V, GetMinValue()), GetMaxValue());
        if (C != V || GetText() != IntToStr(C))
            SetValue(C);
    } else if (GetSpinType() == sptFloat && (GetMinFloatValue() != GetMaxFloatValue() || FAlwaysValidate)) {
        const double V = GetFloatValue();
        const double C = std::min(std::max(V, GetMinFloatValue()), GetMaxFloatValue());
        if (C != V)
            SetFloatValue(C);
    }
}

void TGridSpin::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_WANTSPECIALKEY:
        TVovSpinEdit::Dispatch(Message);
        if (Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE
            || (Message.WParam == VK_TAB && FGrid && FGrid->GetOptions().Contains(goTabs)))
            Message.Result = 1;
        return;
    case WM_KEYDOWN:
        // The page and arrow keys are this editor's: past the base spin's
        // own stepping, straight to the key-down handling.
        if (Message.WParam == VK_PRIOR || Message.WParam == VK_NEXT || Message.WParam == VK_UP
            || Message.WParam == VK_DOWN) {
            TCustomMaskEdit::Dispatch(Message);
            return;
        }
        break;
    case WM_CHAR:
        if (Message.WParam == CharTab || Message.WParam == CharEnter) {
            Message.Result = 0;
            return;
        }
        break;
    default:
        break;
    }
    TVovSpinEdit::Dispatch(Message);
}

void TGridSpin::KeyPress(char16_t& Key)
{
    if (FGrid)
        FireGridKeyPress(FGrid, FGrid, Key);
    if (Key == CharEsc)
        Key = 0;
    if (Key == CharEnter)
        return;
    TVovSpinEdit::KeyPress(Key);
}

// Equal limits are no limits: the page keys then step freely, and Home and
// End leave the value alone.
void TGridSpin::PageStep(WORD Key)
{
    if (GetSpinType() == sptNormal) {
        const Integer Min = GetMinValue(), Max = GetMaxValue();
        const bool Bounded = Min != Max;
        const Integer V = GetValue();
        switch (Key) {
        case VK_PRIOR:
            if (!Bounded || V + GetIncrement() <= Max)
                SetValue(V + GetIncrement());
            break;
        case VK_NEXT:
            if (!Bounded || V - GetIncrement() >= Min)
                SetValue(V - GetIncrement());
            break;
        case VK_END:
            if (Bounded)
                SetValue(Min);
            break;
        case VK_HOME:
            if (Bounded)
                SetValue(Max);
            break;
        default:
            break;
        }
    } else if (GetSpinType() == sptFloat) {
        const double Min = GetMinFloatValue(), Max = GetMaxFloatValue();
        const bool Bounded = Min != Max;
        const double V = GetFloatValue();
        switch (Key) {
        case VK_PRIOR:
            if (!Bounded || V + GetIncrementFloat() <= Max)
                SetFloatValue(V + GetIncrementFloat());
            break;
        case VK_NEXT:
            if (!Bounded || V - GetIncrementFloat() >= Min)
                SetFloatValue(V - GetIncrementFloat());
            break;
        case VK_END:
            if (Bounded)
                SetFloatValue(Min);
            break;
        case VK_HOME:
            if (Bounded)
                SetFloatValue(Max);
            break;
        default:
            break;
        }
    }
}

void TGridSpin::KeyDown(WORD& Key, TShiftState Shift)
{
    if (!FGrid) {
        TVovSpinEdit::KeyDown(Key, Shift);
        return;
    }
    if (Key == VK_PRIOR || Key == VK_NEXT || Key == VK_HOME || Key == VK_END) {
        PageStep(Key);
        if (FGrid->OnSpinClick)
            FGrid->OnSpinClick(FGrid, FGrid->GetCol(), FGrid->GetRow(), GetValue(), Key == VK_PRIOR || Key == VK_HOME);
        if (Key == VK_PRIOR || Key == VK_NEXT) {
            Key = 0;
            return;
        }
    }
    if (Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_UP || Key == VK_DOWN) {
        if (Key == VK_ESCAPE) {
            SetText(FGrid->GetCellCache());
            if (GetSpinType() == sptNormal)
                SetValue(GetValue());
            else if (GetSpinType() == sptFloat)
                SetFloatValue(GetFloatValue());
        } else {
            ClampValue();
            if (!Commit(FGrid, GetText())) {
                SetText(FGrid->GetCurrentCell());
                SetSelStart(GetTextLen());
                Invalidate();
                Key = 0;
                return;
            }
            SetText(FGrid->GetCurrentCell());
        }
        if (Key == VK_TAB && FGrid->GetOptions().Contains(goTabs)) {
            TabOut(FGrid, Shift);
            Key = 0;
            return;
        }
        Leave(FGrid, Key, Shift);
        return;
    }
    TVovSpinEdit::KeyDown(Key, Shift);
}

void TGridSpin::DoExit()
{
    ClampValue();
    if (FGrid)
        FGrid->HideInplaceEdit();
    TVovSpinEdit::DoExit();
}

void TGridSpin::Change()
{
    TVovSpinEdit::Change();
    if (FGrid && !FGrid->GetNoEditChange() && FGrid->OnEditChange)
        FGrid->OnEditChange(FGrid, FGrid->GetCol(), FGrid->GetRow(), GetText());
}

// ---- TGridCombo ----

TGridCombo::TGridCombo(TComponent* AOwner) : TVovComboBox(AOwner), FGrid(OwnerGrid(AOwner))
{
    SetButtonWidth(16);
    // The grid completes the text itself, by its Lookup settings.
    SetAutoComplete(false);
}

void TGridCombo::HookEdit()
{
    TCustomEdit* Edit = GetEditControl();
    if (!Edit || Edit == FHookedEdit)
        return;
    FHookedEdit = Edit;
    TWndMethod Old = Edit->WindowProc;
    Edit->WindowProc = [this, Old](TMessage& Message) {
        if (Message.Msg == WM_SETFOCUS) {
            Old(Message);
            FocusGained();
            return;
        }
        if (!EditMessage(Message))
            Old(Message);
    };
}

// The keys of the edit field as the combo's own: true when done with.
bool TGridCombo::EditMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_WANTSPECIALKEY:
        if (Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE
            || (Message.WParam == VK_TAB && FGrid && FGrid->WantsEditorTab())) {
            Message.Result = 1;
            return true;
        }
        return false;
    case WM_KEYDOWN: {
        WORD Key = WORD(Message.WParam);
        KeyDown(Key, KeyDataToShiftState(Message.LParam));
        Message.WParam = Key;
        return Key == 0;
    }
    case WM_KEYUP: {
        WORD Key = WORD(Message.WParam);
        KeyUp(Key, KeyDataToShiftState(Message.LParam));
        Message.WParam = Key;
        return Key == 0;
    }
    case WM_CHAR: {
        char16_t Ch = char16_t(Message.WParam);
        KeyPress(Ch);
        Message.WParam = Ch;
        return Ch == 0;
    }
    default:
        return false;
    }
}

bool TGridCombo::IsListLike() { return GetStyle() == csDropDownList || GetDroppedDown(); }

void TGridCombo::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_WANTSPECIALKEY:
        TVovComboBox::Dispatch(Message);
        if (Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE
            || (Message.WParam == VK_TAB && FGrid && FGrid->WantsEditorTab()))
            Message.Result = 1;
        return;
    case WM_MOUSEWHEEL:
        // The wheel steps through the items here; the list itself never
        // sees it.
        if (FGrid) {
            WheelStep(short(HIWORD(Message.WParam)) < 0);
            Message.Result = 0;
            return;
        }
        break;
    case WM_SETFOCUS:
        TVovComboBox::Dispatch(Message);
        if (!GetEditControl())
            FocusGained();
        return;
    default:
        break;
    }
    TVovComboBox::Dispatch(Message);
}

// Down past the last item stays there and reports nothing: there is no item
// to report.
void TGridCombo::WheelStep(bool Down)
{
    const int Count = GetItems()->GetCount();
    const int Index = GetItemIndex();
    int Next = Down ? Index + 1 : std::max(0, Index - 1);
    if (Next >= Count || Count == 0 || Next == Index)
        return;
    SetItemIndex(Next);
    const String Text = GetItems()->GetStrings(Next);
    const int RCol = FGrid->GetRealCol();
    if (FGrid->OnEditChange)
        FGrid->OnEditChange(FGrid, RCol, FGrid->GetRow(), Text);
    if (FGrid->OnComboChange)
        FGrid->OnComboChange(FGrid, RCol, FGrid->GetRow(), Next, Text);
    if (FGrid->OnComboObjectChange)
        FGrid->OnComboObjectChange(FGrid, RCol, FGrid->GetRow(), Next, Text, GetItems()->GetObjects(Next));
}

void TGridCombo::FireComboChange()
{
    const int Index = GetItemIndex();
    const int RCol = FGrid->GetRealCol();
    const String Text = GetText();
    if (FGrid->OnComboChange)
        FGrid->OnComboChange(FGrid, RCol, FGrid->GetRow(), Index, Text);
    if (FGrid->OnComboObjectChange)
        FGrid->OnComboObjectChange(FGrid, RCol, FGrid->GetRow(), Index, Text,
            Index >= 0 && Index < GetItems()->GetCount() ? GetItems()->GetObjects(Index) : nullptr);
}

void TGridCombo::Change()
{
    TVovComboBox::Change();
    if (FGrid && !FGrid->GetNoEditChange() && FGrid->OnEditChange)
        FGrid->OnEditChange(FGrid, FGrid->GetCol(), FGrid->GetRow(), GetText());
}

void TGridCombo::KeyPress(char16_t& Key)
{
    if (!FGrid) {
        TVovComboBox::KeyPress(Key);
        return;
    }
    FireGridKeyPress(FGrid, this, Key);
    if (Key == CharEsc)
        Key = 0;
    if (Key == CharEnter && OnReturnKey)
        OnReturnKey(this);
    if (Key == CharEnter || Key == CharTab)
        Key = 0;
    const int Before = GetItemIndex();
    TVovComboBox::KeyPress(Key);
    if (GetItemIndex() != Before)
        FireComboChange();
}

void TGridCombo::FocusGained()
{
    if (!FGrid)
        return;
    TCustomEdit* Edit = GetEditControl();
    if (!Edit)
        return;
    if (!FGrid->GetNavigation()->GetEditSelectAll())
        Edit->SetSelStart(Edit->GetTextLen());
    if (FGrid->LButFlg) {
        // The click that opened the editor puts the caret under the mouse.
        FGrid->LButFlg = false;
        TPoint P;
        GetCursorPos(P);
        P = Edit->ScreenToClient(P);
        const LRESULT Pos = Edit->Perform(EM_CHARFROMPOS, 0, MAKELPARAM(WORD(P.X), WORD(P.Y)));
        Edit->SetSelStart(int(LOWORD(Pos)));
    }
}

void TGridCombo::SizeDropDownWidth()
{
    if (!FGrid)
        return;
    int W = GetWidth();
    TCanvas* Canvas = FGrid->GetCanvas();
    const bool Scrolls = GetItems()->GetCount() > GetDropDownCount();
    for (int i = 0; i < GetItems()->GetCount(); ++i) {
        const int TW = Canvas->TextWidth(GetItems()->GetStrings(i));
        if (Scrolls) {
            if (TW > W - 25)
                W = TW + 25;
        } else if (TW > W - 5) {
            W = TW + 8;
        }
    }
    Perform(CB_SETDROPPEDWIDTH, WPARAM(W), 0);
}

void TGridCombo::DoChange()
{
    if (!FGrid || !WorkMode || !FGrid->GetLookup())
        return;
    TCustomEdit* Edit = GetEditControl();
    if (!Edit)
        return;
    const String Text = GetText();
    const int Caret = std::min(Edit->GetSelStart(), int(Text.size()));
    if (Caret == 0 || Edit->GetSelLength() != 0)
        return;
    const String Typed = Text.substr(0, std::size_t(Caret));
    // The typed characters stay as typed, the rest of the item follows
    // whole, selected.
    auto Complete = [&](const String& Item) {
        const String Completed = Typed + Item.substr(Typed.size());
        if (Completed != GetText())
            SetText(Completed);
        Edit->SetSel(int(Typed.size()), int(Completed.size()));
    };
    const int Index = CompletionIndex(FGrid, GetItems(), Typed);
    if (Index >= 0) {
        SetItemIndex(Index);
        Complete(GetItems()->GetStrings(Index));
        ItemIdx = Index;
        ItemChange = true;
        return;
    }
    TStringList* Lookup = FGrid->GetLookupItems();
    const int LookupIndex = CompletionIndex(FGrid, Lookup, Typed);
    if (LookupIndex >= 0)
        Complete(Lookup->GetStrings(LookupIndex));
}

void TGridCombo::KeyDown(WORD& Key, TShiftState Shift)
{
    if (!FGrid) {
        TVovComboBox::KeyDown(Key, Shift);
        return;
    }
    if (!IsEditorKey(Key) && !IsArrow(Key))
        FireGridKeyDown(FGrid, Key, Shift);
    if (Key == 0)
        return;
    Forced = false;
    const bool ListLike = IsListLike();
    const bool ListStyle = GetStyle() == csDropDownList;
    bool Handled;
    if (ListLike)
        Handled = Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_LEFT || Key == VK_RIGHT;
    else
        Handled = Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_PRIOR || Key == VK_NEXT
            || Key == VK_END || Key == VK_UP || Key == VK_DOWN;
    if (Key == VK_DOWN && Shift.Contains(ssAlt))
        Handled = false;
    WorkMode = Key != VK_BACK && Key != VK_DELETE;

    if ((Key == VK_UP || Key == VK_DOWN) && !GetDroppedDown() && !Shift.Contains(ssAlt)
        && !FGrid->GetNavigation()->GetComboGetUpDown()) {
        // The arrow moves the focus cell, once: the edit is over.
        FGrid->HideInplaceEdit();
        {
            TAlwaysEditOff Off(FGrid->GetNavigation());
            FocusGrid(FGrid);
        }
        WORD K = Key;
        FGrid->KeyDown(K, Shift);
        Key = 0;
        return;
    }
    if (!Handled) {
        TVovComboBox::KeyDown(Key, Shift);
        return;
    }
    FGrid->FNewCellText = GetText();
    if (Key == VK_ESCAPE) {
        SetText(FGrid->GetCellCache());
        SelectItem(FGrid->GetCellCache());
        FGrid->HideInplaceEdit();
        FocusGrid(FGrid);
        Key = 0;
        return;
    }
    if (Key == VK_RETURN || Key == VK_UP || Key == VK_DOWN) {
        if (!Commit(FGrid, GetText())) {
            if (!ListStyle)
                SelectAll();
            Key = 0;
            return;
        }
        if (ListStyle)
            SelectItem(FGrid->GetCurrentCell());
        else
            SetText(FGrid->GetCurrentCell());
    }
    if (Key == VK_TAB && FGrid->WantsEditorTab()) {
        if (GetDroppedDown())
            SetDroppedDown(false);
        if (!Commit(FGrid, GetText())) {
            if (TCustomEdit* Edit = GetEditControl())
                Edit->SetSelStart(Edit->GetTextLen());
            Key = 0;
            return;
        }
        if (FGrid->GetCurrentCell() != GetText()) {
            if (ListStyle)
                SelectItem(FGrid->GetCurrentCell());
            else
                SetText(FGrid->GetCurrentCell());
        }
        if (FGrid->GetOptions().Contains(goTabs)) {
            if (!(ListStyle && GetItemIndex() < 0)) {
                const bool WriteBack = ListLike;
                FGrid->HideInplaceEdit();
                if (WriteBack)
                    FGrid->SetCurrentCell(FGrid->FNewCellText);
                FocusGrid(FGrid);
            }
            FGrid->NavigateFromEditor(Shift.Contains(ssShift));
            Key = 0;
            return;
        }
        if (FGrid->HandleAllocated())
            PostMessage(FGrid->GetHandle(), WM_KEYDOWN, VK_TAB, 0);
    }
    if (ListLike) {
        {
            TMouseActions* Mouse = FGrid->GetMouseActions();
            const bool DirectClose = Mouse->GetDirectComboClose();
            Mouse->SetDirectComboClose(false);
            struct TRestore {
                TMouseActions* M;
                bool V;
                ~TRestore() { M->SetDirectComboClose(V); }
            } Restore { Mouse, DirectClose };
            FGrid->HideInplaceEdit();
            FGrid->SetCurrentCell(FGrid->FNewCellText);
        }
        if (Key == VK_LEFT || Key == VK_RIGHT) {
            FocusGrid(FGrid);
            if (FGrid->GetNavigation()->GetSkipReadOnly()) {
                FGrid->MoveToNextCell(FGrid->GetCol(), FGrid->GetRow(), true, true, !Shift.Contains(ssShift), false, true);
            } else {
                WORD K = Key;
                FGrid->KeyDown(K, Shift);
            }
            Key = 0;
            return;
        }
        if (Key == VK_PRIOR || Key == VK_NEXT || IsArrow(Key)) {
            Key = 0;
            return;
        }
    } else if (Key == VK_END) {
        TVovComboBox::KeyDown(Key, Shift);
        return;
    }
    FAdvance = true;
    Leave(FGrid, Key, Shift, true);
}

void TGridCombo::KeyUp(WORD& Key, TShiftState Shift)
{
    if (!FGrid) {
        TVovComboBox::KeyUp(Key, Shift);
        return;
    }
    if (!IsEditorKey(Key))
        FireGridKeyUp(FGrid, Key, Shift);
    TCustomEdit* Edit = GetEditControl();
    if (Edit && FGrid->GetNavigation()->GetCursorWalkEditor() && !Shift.Contains(ssShift)
        && Edit->GetSelLength() == 0) {
        const bool AtStart = Key == VK_LEFT && Edit->GetSelStart() == 0;
        const bool AtEnd = Key == VK_RIGHT && Edit->GetSelStart() == Edit->GetTextLen();
        if (AtStart || AtEnd) {
            Key = 0;
            WalkOut(FGrid, GetText(), AtEnd, true);
            return;
        }
    }
    FGrid->SetNoAutoAdvance(false);
    if (Key != VK_RETURN)
        TVovComboBox::KeyUp(Key, Shift);
    DoChange();
}

void TGridCombo::DoExit()
{
    if (FGrid && FGrid->GetLookupHistory()) {
        const String Text = GetText();
        if (!Text.empty() && GetItems()->IndexOf(Text) < 0) {
            GetItems()->Add(Text);
            if (FGrid->GetComboItems()->IndexOf(Text) < 0)
                FGrid->GetComboItems()->Add(Text);
        }
    }
    if (FGrid)
        FGrid->HideInplaceEdit();
    TVovComboBox::DoExit();
}

// ---- TGridCheckBox ----

TGridCheckBox::TGridCheckBox(TComponent* AOwner) : TCheckBox(AOwner), FGrid(OwnerGrid(AOwner)) { }

void TGridCheckBox::Dispatch(TMessage& Message)
{
    // Enter and the arrows end the edit here rather than move the form's focus.
    if (Message.Msg == CM_WANTSPECIALKEY && FGrid
        && (Message.WParam == VK_RETURN || IsArrow(WORD(Message.WParam)))) {
        Message.Result = 1;
        return;
    }
    TCheckBox::Dispatch(Message);
}

void TGridCheckBox::KeyDown(WORD& Key, TShiftState Shift)
{
    if (!FGrid) {
        TCheckBox::KeyDown(Key, Shift);
        return;
    }
    if (Key == VK_SPACE) {
        SetChecked(!GetChecked());
        Key = 0;
        return;
    }
    if (Key == VK_RETURN || Key == VK_PRIOR || Key == VK_NEXT || Key == VK_END || IsArrow(Key)) {
        const WORD K = Key;
        Key = 0;
        FGrid->HideInplaceEdit();
        FocusGrid(FGrid);
        if (K == VK_RETURN) {
            FGrid->MoveToNextCell(FGrid->GetCol(), FGrid->GetRow(), false, true, !Shift.Contains(ssShift), false, true);
        } else if (K == VK_UP || K == VK_DOWN) {
            WORD G = K;
            FGrid->KeyDown(G, Shift);
        }
        return;
    }
    TCheckBox::KeyDown(Key, Shift);
}

void TGridCheckBox::DoExit()
{
    if (FGrid)
        FGrid->HideInplaceEdit();
    TCheckBox::DoExit();
}

// ---- TGridButton ----

TGridButton::TGridButton(TComponent* AOwner) : TButton(AOwner), FGrid(OwnerGrid(AOwner)) { }

void TGridButton::Dispatch(TMessage& Message)
{
    if (Message.Msg == CM_WANTSPECIALKEY && FGrid
        && (Message.WParam == VK_ESCAPE || IsArrow(WORD(Message.WParam)))) {
        Message.Result = 1;
        return;
    }
    TButton::Dispatch(Message);
}

void TGridButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button != mbLeft || !FGrid) {
        TButton::MouseUp(Button, Shift, X, Y);
        return;
    }
    SetCaption(FGrid->EllipsClick(GetCaption()));
    FGrid->SetCurrentCell(GetCaption());
    TButton::MouseUp(Button, Shift, X, Y);
    FGrid->ClickCurrentCellButton();
}

void TGridButton::KeyUp(WORD& Key, TShiftState Shift)
{
    if (Key == VK_SPACE && FGrid) {
        SetCaption(FGrid->EllipsClick(GetCaption()));
        FGrid->SetCurrentCell(GetCaption());
        Invalidate();
        Key = 0;
        return;
    }
    TButton::KeyUp(Key, Shift);
}

void TGridButton::PutAway()
{
    SetVisible(false);
    SetEnabled(false);
    FGrid->EditMode = false;
    FocusGrid(FGrid);
}

void TGridButton::KeyDown(WORD& Key, TShiftState Shift)
{
    if (!FGrid) {
        TButton::KeyDown(Key, Shift);
        return;
    }
    if (IsArrow(Key)) {
        const WORD K = Key;
        Key = 0;
        PutAway();
        if (FGrid->HandleAllocated()) {
            SendMessage(FGrid->GetHandle(), WM_KEYDOWN, K, 0);
            SendMessage(FGrid->GetHandle(), WM_KEYUP, K, 0);
        }
        return;
    }
    if (Key == VK_ESCAPE) {
        Key = 0;
        PutAway();
        FGrid->RestoreCellFromCache();
        if (FGrid->HandleAllocated())
            SendMessage(FGrid->GetHandle(), WM_KEYDOWN, VK_ESCAPE, 0);
        return;
    }
    TButton::KeyDown(Key, Shift);
}

void TGridButton::DoExit()
{
    if (FGrid)
        FGrid->HideInplaceEdit();
    TButton::DoExit();
}

// ---- TGridEditBtn ----

TGridEditBtn::TGridEditBtn(TComponent* AOwner) : TVovEditBtn(AOwner), FGrid(OwnerGrid(AOwner))
{
    OnClickBtn = [this](TObject* Sender) { ButtonClick(Sender); };
}

void TGridEditBtn::ButtonClick(TObject*)
{
    if (!FGrid)
        return;
    SetText(FGrid->EllipsClick(GetText()));
    SelectAll();
    Invalidate();
    if (FStopEditAfterClick) {
        FGrid->HideInplaceEdit();
        FocusGrid(FGrid);
    }
}

void TGridEditBtn::DoLookup()
{
    if (!FGrid || !WorkMode || GetSelLength() != 0 || !FGrid->GetLookup())
        return;
    TStringList* Items = FGrid->GetLookupItems();
    if (!Items || Items->GetCount() == 0)
        return;
    const String Text = GetText();
    const int Caret = std::min(GetSelStart(), int(Text.size()));
    const String Typed = Text.substr(0, std::size_t(Caret));
    const int Index = CompletionIndex(FGrid, Items, Typed);
    if (Index < 0)
        return;
    // The whole of the item, however long.
    const String Completed = Typed + Items->GetStrings(Index).substr(Typed.size());
    if (Completed != Text)
        SetText(Completed);
    Perform(EM_SETSEL, WPARAM(Typed.size()), LPARAM(Completed.size()));
}

void TGridEditBtn::DoEnter()
{
    TVovEditBtn::DoEnter();
    if (!FGrid)
        return;
    if (!FGrid->GetNavigation()->GetEditSelectAll())
        SetSelStart(GetTextLen());
    if (FGrid->GetFocusHelper()->GetEnabled())
        FGrid->ShowFocusWindow(FGrid->CellRect(FGrid->GetCol(), FGrid->GetRow()));
}

void TGridEditBtn::DoExit()
{
    if (FGrid) {
        if (FGrid->GetFocusHelper()->GetEnabled())
            FGrid->HideFocusWindow();
        FGrid->HideInplaceEdit();
    }
    TVovEditBtn::DoExit();
}

void TGridEditBtn::DblClick()
{
    TVovEditBtn::DblClick();
    if (FGrid && FGrid->OnDblClickCell)
        FGrid->OnDblClickCell(FGrid, FGrid->GetRow(), FGrid->GetCol());
}

void TGridEditBtn::Change()
{
    TVovEditBtn::Change();
    if (FGrid && !FGrid->GetNoEditChange() && FGrid->OnEditChange)
        FGrid->OnEditChange(FGrid, FGrid->GetCol(), FGrid->GetRow(), GetText());
}

void TGridEditBtn::Dispatch(TMessage& Message)
{
    if (FGrid) {
        switch (Message.Msg) {
        case CM_WANTSPECIALKEY:
            TVovEditBtn::Dispatch(Message);
            if (Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE
                || (Message.WParam == VK_TAB && FGrid->WantsEditorTab()))
                Message.Result = 1;
            return;
        case WM_CHAR:
            if (CharFilter(Message))
                return;
            break;
        case WM_PASTE:
            Paste();
            return;
        default:
            break;
        }
    }
    TVovEditBtn::Dispatch(Message);
}

// True when the character was dropped.
bool TGridEditBtn::CharFilter(TMessage& Message)
{
    const Char Ch = Char(Message.WParam);
    if (Ch == CharEnter || Ch == CharTab) {
        Message.Result = 0;
        return true;
    }
    // A character typed with Ctrl held passes once, whatever the kind's
    // rule says (Ctrl+H deletes one character).
    if (CtrlDown())
        return false;
    switch (FGrid->EditControl) {
    case edNumericEditBtn:
        return !NumericCharAccepted(GetText(), GetSelStart(), GetSelText(), Ch);
    case edFloatEditBtn:
        return !FloatCharAccepted(GetText(), GetSelStart(), GetSelText(), Ch);
    default:
        return false;
    }
}

void TGridEditBtn::Paste()
{
    String V;
    if (!OpenClipboard(GetHandle()))
        return;
    {
        struct TClose {
            ~TClose() { CloseClipboard(); }
        } Close;
        HANDLE H = GetClipboardData(CF_UNICODETEXT);
        if (!H)
            return;
        const auto* P = static_cast<const char16_t*>(GlobalLock(H));
        if (!P)
            return;
        const std::size_t N = GlobalSize(H) / sizeof(char16_t);
        V.assign(P, std::find(P, P + N, u'\0'));
        GlobalUnlock(H);
    }
    bool Allow = true;
    if (FGrid->OnClipboardPaste)
        FGrid->OnClipboardPaste(this, Allow);
    if (Allow && FGrid->OnClipboardBeforePasteCell)
        FGrid->OnClipboardBeforePasteCell(this, FGrid->GetCol(), FGrid->GetRow(), V, Allow);
    if (!Allow)
        return;
    if (V.size() >= 2 && V.compare(V.size() - 2, 2, u"\r\n") == 0)
        V.erase(V.size() - 2);
    const String Text = GetText();
    const int SelStart = std::min(GetSelStart(), int(Text.size()));
    const int SelLength = std::min(GetSelLength(), int(Text.size()) - SelStart);
    String NewText = Text;
    NewText.replace(std::size_t(SelStart), std::size_t(SelLength), V);
    SetText(NewText);
    FGrid->StoreCurrentCellText(GetText());
    SetSel(SelLength > 0 ? SelStart : SelStart + int(V.size()), SelStart + int(V.size()));
}

void TGridEditBtn::KeyPress(char16_t& Key)
{
    if (FGrid)
        FireGridKeyPress(FGrid, FGrid, Key);
    if (Key == CharTab)
        return;
    TVovEditBtn::KeyPress(Key);
}

void TGridEditBtn::KeyUp(WORD& Key, TShiftState Shift)
{
    if (!FGrid) {
        TVovEditBtn::KeyUp(Key, Shift);
        return;
    }
    FireGridKeyUp(FGrid, Key, Shift);
    if (FGrid->GetNavigation()->GetCursorWalkEditor() && !Shift.Contains(ssShift) && GetSelLength() == 0) {
        const bool AtEnd = Key == VK_RIGHT && GetSelStart() == GetTextLen();
        const bool AtStart = Key == VK_LEFT && GetSelStart() == 0 && FSelKeyDown == 0;
        if (AtEnd || AtStart) {
            Key = 0;
            WalkOut(FGrid, GetText(), AtEnd, AtEnd);
            return;
        }
    }
    if (Key != VK_RETURN)
        TVovEditBtn::KeyUp(Key, Shift);
    DoLookup();
}

void TGridEditBtn::KeyDown(WORD& Key, TShiftState Shift)
{
    if (!FGrid) {
        TVovEditBtn::KeyDown(Key, Shift);
        return;
    }
    if (!IsEditorKey(Key))
        FireGridKeyDown(FGrid, Key, Shift);
    WorkMode = Key != VK_BACK && Key != VK_DELETE;
    FSelKeyDown = GetSelStart();
    if (Shift.Contains(ssCtrl) || !IsEditorKey(Key)) {
        TVovEditBtn::KeyDown(Key, Shift);
        return;
    }
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
    if (Key == 0)
        return;
    if (Key == VK_TAB || Key == VK_RETURN || Key == VK_UP || Key == VK_DOWN) {
        const bool Valid = Commit(FGrid, GetText());
        SetText(FGrid->GetNewCellText());
        if (!Valid) {
            SelectAll();
            Invalidate();
            Key = 0;
            return;
        }
    }
    if (Key == VK_TAB && FGrid->WantsEditorTab()) {
        if (FGrid->GetOptions().Contains(goTabs)) {
            TabOut(FGrid, Shift);
            Key = 0;
            return;
        }
        if (FGrid->HandleAllocated())
            PostMessage(FGrid->GetHandle(), WM_KEYDOWN, VK_TAB, 0);
    }
    if (Key == VK_ESCAPE)
        SetText(FGrid->GetCellCache());
    Leave(FGrid, Key, Shift);
}

// ---- TGridUnitEditBtn ----

TGridUnitEditBtn::TGridUnitEditBtn(TComponent* AOwner) : TVovUnitEditBtn(AOwner), FGrid(OwnerGrid(AOwner))
{
    OnClickBtn = [this](TObject* Sender) { ButtonClick(Sender); };
    OnUnitChanged = [this](TObject*, const String& NewUnit) {
        if (FGrid)
            FGrid->UnitChanged(this, NewUnit);
    };
}

void TGridUnitEditBtn::ButtonClick(TObject*)
{
    if (!FGrid)
        return;
    SetText(FGrid->EllipsClick(GetText()));
    SelectAll();
    Invalidate();
}

void TGridUnitEditBtn::DoExit()
{
    if (FGrid)
        FGrid->HideInplaceEdit();
    TVovUnitEditBtn::DoExit();
}

void TGridUnitEditBtn::Dispatch(TMessage& Message)
{
    if (FGrid) {
        if (Message.Msg == CM_WANTSPECIALKEY) {
            TVovUnitEditBtn::Dispatch(Message);
            if (Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE
                || (Message.WParam == VK_TAB && FGrid->GetOptions().Contains(goTabs)))
                Message.Result = 1;
            return;
        }
        if (Message.Msg == WM_CHAR && CharFilter(Message))
            return;
    }
    TVovUnitEditBtn::Dispatch(Message);
}

bool TGridUnitEditBtn::CharFilter(TMessage& Message)
{
    const Char Ch = Char(Message.WParam);
    if (Ch == CharEnter) {
        Message.Result = 0;
        return true;
    }
    if (CtrlDown())
        return false;
    switch (FGrid->EditControl) {
    case edNumericUnitEditBtn:
        return !NumericCharAccepted(GetText(), GetSelStart(), GetSelText(), Ch);
    case edFloatUnitEditBtn:
        return !FloatCharAccepted(GetText(), GetSelStart(), GetSelText(), Ch);
    default:
        return false;
    }
}

void TGridUnitEditBtn::KeyDown(WORD& Key, TShiftState Shift)
{
    const bool Handled = Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_PRIOR
        || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN;
    if (!FGrid || !Handled) {
        TVovUnitEditBtn::KeyDown(Key, Shift);
        return;
    }
    if (Key == VK_TAB || Key == VK_RETURN || Key == VK_UP || Key == VK_DOWN) {
        if (!Commit(FGrid, GetTextAndUnit())) {
            SetText(FGrid->GetCurrentCell());
            Key = 0;
            return;
        }
        SetTextAndUnit(FGrid->GetCurrentCell());
    }
    if (Key == VK_RETURN && FGrid->GetNavigation()->GetAdvanceOnEnter()) {
        Key = 0;
        FGrid->HideInplaceEdit();
        FocusGrid(FGrid);
        FGrid->MoveToNextCell(FGrid->GetCol(), FGrid->GetRow(), false, true, !Shift.Contains(ssShift), false, true);
        return;
    }
    if (Key == VK_TAB && FGrid->GetOptions().Contains(goTabs)) {
        TabOut(FGrid, Shift);
        Key = 0;
        return;
    }
    if (Key == VK_ESCAPE) {
        SetUnitID(String());
        SetText(FGrid->GetCurrentCell());
    }
    FGrid->DoneInplaceEdit(Key, Shift);
    Key = 0;
}

// ---- TGridDatePicker ----

TGridDatePicker::TGridDatePicker(TComponent* AOwner) : TVovDateTimePicker(AOwner), FGrid(OwnerGrid(AOwner)) { }

void TGridDatePicker::SaveParts()
{
    DecodeDate(GetDateTime(), Fy, Fm, Fd);
    DecodeTime(GetDateTime(), Fth, Ftm, Fts, Ftms);
}

void TGridDatePicker::ShiftFieldFocus()
{
    Word y = 0, m = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
    DecodeDate(GetDateTime(), y, m, d);
    DecodeTime(GetDateTime(), h, mi, s, ms);
    if (GetKind() == dtkTime) {
        if (h == Fth && mi == Ftm && s == Fts)
            return;
    } else if (!GetFormat().empty()) {
        const Char Last = GetFormat().back();
        if (((Last == u'd' || Last == u'D') && d != Fd) || ((Last == u'm' || Last == u'M') && m != Fm)
            || ((Last == u'y' || Last == u'Y') && y != Fy))
            return;
        if (d == Fd && m == Fm && y == Fy)
            return;
    } else if (d == Fd && m == Fm) {
        return;
    }
    if (HandleAllocated())
        PostMessage(GetHandle(), WM_KEYDOWN, VK_RIGHT, 0);
}

void TGridDatePicker::Dispatch(TMessage& Message)
{
    if (Message.Msg == GridUnit().WM_DTPSHIFTFOCUS) {
        ShiftFieldFocus();
        return;
    }
    if (Message.Msg == WM_NCPAINT) {
        TVovDateTimePicker::Dispatch(Message);
        HideBorder();
        return;
    }
    if (FGrid && Message.Msg == CM_WANTSPECIALKEY) {
        TVovDateTimePicker::Dispatch(Message);
        if (Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE
            || (Message.WParam == VK_TAB && FGrid->WantsEditorTab()))
            Message.Result = 1;
        return;
    }
    TVovDateTimePicker::Dispatch(Message);
}

// Two window-coloured rectangles over the window's outer edge: in a cell
// the picker shows no border.
void TGridDatePicker::HideBorder()
{
    if (!HandleAllocated())
        return;
    HDC DC = GetWindowDC(GetHandle());
    if (!DC)
        return;
    RECT R { 0, 0, GetWidth(), GetHeight() };
    HBRUSH Brush = GetSysColorBrush(COLOR_WINDOW);
    FrameRect(DC, &R, Brush);
    R = RECT { 1, 1, GetWidth() - 1, GetHeight() - 1 };
    FrameRect(DC, &R, Brush);
    ReleaseDC(GetHandle(), DC);
}

void TGridDatePicker::DropDown()
{
    FOldDropped = true;
    TVovDateTimePicker::DropDown();
}

void TGridDatePicker::CloseUp()
{
    FOldDropped = false;
    TVovDateTimePicker::CloseUp();
}

void TGridDatePicker::KeyPress(char16_t& Key)
{
    if (Key >= u'0' && Key <= u'9') {
        SaveParts();
        TVovDateTimePicker::KeyPress(Key);
        // After the picker has taken the digit into its field.
        if (HandleAllocated())
            PostMessage(GetHandle(), GridUnit().WM_DTPSHIFTFOCUS, 0, 0);
    } else {
        TVovDateTimePicker::KeyPress(Key);
    }
    if (FGrid)
        FireGridKeyPress(FGrid, FGrid, Key);
}

void TGridDatePicker::KeyDown(WORD& Key, TShiftState Shift)
{
    const bool Handled = Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_PRIOR
        || Key == VK_NEXT || Key == VK_END;
    if (!FGrid || !Handled) {
        TVovDateTimePicker::KeyDown(Key, Shift);
        return;
    }
    if (Key == VK_ESCAPE) {
        const String Text = FGrid->GetCurrentCell();
        TDateTime V = 0;
        const bool Ok = GetKind() == dtkTime ? TryStrToTime(Text, V) : TryStrToDate(Text, V);
        try {
            SetDateTime(Ok ? V : Now());
        } catch (const Exception&) {
            // Outside the picker's range: it keeps its value.
        }
    }
    if (Key == VK_RETURN) {
        // The field being typed is taken before the value is read.
        if (HandleAllocated()) {
            SendMessage(GetHandle(), WM_KEYDOWN, VK_RIGHT, 0);
            SendMessage(GetHandle(), WM_KEYUP, VK_RIGHT, 0);
        }
        if (!Commit(FGrid, ValueText())) {
            ShowText(FGrid->GetNewCellText());
            Invalidate();
            Key = 0;
            return;
        }
    }
    if (Key == VK_TAB && FGrid->WantsEditorTab()) {
        if (!Commit(FGrid, ValueText())) {
            Key = 0;
            return;
        }
        if (FGrid->GetOptions().Contains(goTabs)) {
            TabOut(FGrid, Shift);
            Key = 0;
            return;
        }
        if (FGrid->HandleAllocated())
            PostMessage(FGrid->GetHandle(), WM_KEYDOWN, VK_TAB, 0);
    }
    if (!FOldDropped)
        Leave(FGrid, Key, Shift);
}

String TGridDatePicker::ValueText()
{
    if (!GetChecked())
        return String();
    return GetKind() == dtkTime ? TimeToStr(GetTime()) : DateToStr(GetDate());
}

// The picker shows a text the validation left when it reads as a value.
void TGridDatePicker::ShowText(const String& Text)
{
    TDateTime V = 0;
    if (GetKind() == dtkTime ? TryStrToTime(Text, V) : TryStrToDate(Text, V)) {
        try {
            SetDateTime(GetKind() == dtkTime ? TDateTime(DateOf(GetDateTime()) + TimeOf(V)) : V);
        } catch (const Exception&) {
        }
    }
}

void TGridDatePicker::DoExit()
{
    if (FGrid)
        FGrid->HideInplaceEdit();
    TVovDateTimePicker::DoExit();
}

// ---- the date-and-time editor's rules ----

namespace GridDateTimeEditing {

String CellText(TDateTime Value)
{
    return DateToStr(Value) + u" " + FormatDateTime(FormatSettings.ShortTimeFormat, Value);
}

void Exit(TDedOzovedUrad* Grid)
{
    if (Grid)
        Grid->HideInplaceEdit();
}

bool KeyDown(TDedOzovedUrad* Grid, IGridDateTimePicker& Picker, WORD& Key, TShiftState Shift)
{
    if (!Grid)
        return false;
    switch (Key) {
    case VK_ESCAPE:
        // The whole value of the edit's start comes back, time of day
        // included.
        Picker.PickerSetDateTime(Grid->GetOriginalDateTime());
        Grid->HideInplaceEdit();
        FocusGrid(Grid);
        Key = 0;
        return true;
    case VK_RETURN:
        Grid->HideInplaceEdit();
        FocusGrid(Grid);
        if (Grid->GetNavigation()->GetAdvanceOnEnter())
            Grid->MoveToNextCell(Grid->GetCol(), Grid->GetRow(), false, true, !Shift.Contains(ssShift), false, true);
        Key = 0;
        return true;
    case VK_TAB: {
        const bool Backward = Shift.Contains(ssShift);
        const bool TimePart = Picker.TimePartFocused();
        const bool LeavesCell = (!Backward && TimePart) || (Backward && !TimePart && Shift == TShiftState { ssShift });
        if (!Grid->WantsEditorTab() || !LeavesCell)
            return false;
        const TDateTime Value = Picker.PickerDateTime();
        Grid->HideInplaceEdit();
        FocusGrid(Grid);
        Grid->SetCurrentCell(CellText(Value));
        Grid->NavigateFromEditor(Backward);
        Key = 0;
        return true;
    }
    default:
        return false;
    }
}

} // namespace GridDateTimeEditing
