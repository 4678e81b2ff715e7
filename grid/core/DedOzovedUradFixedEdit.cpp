// Editing that does not go through the cell editor: header cells and the
// filter edit row edited in place with the transparent edit or combo, the
// form controls of mini-HTML cell text (toggled, or edited with a real
// control over them), and clicks on anchors.

#include <algorithm>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridGuards.h"
#include "grid/core/GridTransEdit.h"
#include "grid/core/GridUtils.h"
#include "foundation/VuzErazs.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtils.h"
#include "richtext/MiniHTML.h"

namespace {

// Only these open outside the grid: cell text comes from scraped pages
// and imported files, and a click must not start a local program.
bool IsOpenableLink(const String& Anchor)
{
    const String Upper = AnsiUpperCase(Anchor);
    return Upper.rfind(u"HTTP://", 0) == 0 || Upper.rfind(u"HTTPS://", 0) == 0 || Upper.rfind(u"MAILTO:", 0) == 0;
}

} // namespace

std::function<void(const String&)> TDedOzovedUrad::AnchorShellOpen = [](const String& Link) {
    TVuzErazs::OpenURL(Link);
};

void TDedOzovedUrad::CreateFixedCellEditors()
{
    EditTrans = new TGridTransEdit(this);
    EditTrans->SetVisible(false);
    EditTrans->SetParent(this);
    EditTrans->SetFilterEdit(false);
    EditTrans->SetBorderStyle(bsNone);
    ComboTrans = new TGridTransCombo(this);
    ComboTrans->SetVisible(false);
    ComboTrans->SetParent(this);
    FEditControl = new TControlEdit(this);
    FEditControl->SetVisible(false);
    FComboControl = new TControlCombo(this);
    FComboControl->SetVisible(false);
}

void TDedOzovedUrad::FreeFixedCellEditors()
{
    FCtrlEditing = false;
    for (TWinControl* Control : { static_cast<TWinControl*>(EditTrans), static_cast<TWinControl*>(ComboTrans),
             static_cast<TWinControl*>(FEditControl), static_cast<TWinControl*>(FComboControl) })
        if (Control) {
            Control->OnExit = nullptr;
            Control->SetVisible(false);
        }
    delete EditTrans;
    EditTrans = nullptr;
    delete ComboTrans;
    ComboTrans = nullptr;
    delete FEditControl;
    FEditControl = nullptr;
    delete FComboControl;
    FComboControl = nullptr;
}

// ---- fixed cells ----

void TDedOzovedUrad::StartFixedCellEdit(int ACol, int ARow, bool AsFilter)
{
    if (!EditTrans || !ComboTrans)
        return;
    StopFixedCellEdit();
    // The check-all column of the Hotmail look is never edited.
    if (FMouseActions->GetHotmailRowSelect() && ACol == 0)
        return;
    bool CanEdit = true;
    if (OnCanEditCell)
        OnCanEditCell(this, ARow, ACol, CanEdit);
    if (!CanEdit)
        return;
    FFixedColEdit = ACol;
    FFixedRowEdit = ARow;
    TGridFixedCellEditor Editor
        = ACol == 0 ? FMouseActions->GetFixedColsEditor() : FMouseActions->GetFixedRowsEditor();
    ComboTrans->GetItems()->Assign(FMouseActions->GetFixedComboValues());
    DoFixedEdit(ACol, ARow, Editor, ComboTrans->GetItems());

    TRect R = CellRect(ACol, ARow);
    R = TRect(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1);
    R.Top += 2;
    const int RCol = DisplayToRealCol(TDisplayCol(ACol)).Value;
    if (AsFilter) {
        // The condition-type button of the filter edit row stays uncovered.
        if (UseRightToLeftAlignment())
            R.Right -= 19;
        else
            R.Left += 19;
        Editor = fceEdit;
        EditTrans->SetColor(FFilterEdit->GetColor());
    } else
        EditTrans->SetColor(clWindow); // not the filter row's colour of an earlier edit
    const String Text = GetCellEx(RCol, ARow);
    if (Editor == fceComboEdit || Editor == fceComboList) {
        ComboTrans->SetStyle(Editor == fceComboEdit ? csDropDown : csDropDownList);
        ComboTrans->SetBounds(R.Left - 1, R.Top - 1, R.Right - R.Left + 1, R.Bottom - R.Top);
        ComboTrans->SetDropDownCount(FControlLook->GetDropDownCount());
        ComboTrans->OnChange = [this](TObject* Sender) { FixedEditChange(Sender); };
        ComboTrans->OnSelect = [this](TObject* Sender) { FixedComboSelect(Sender); };
        if (Editor == fceComboList)
            ComboTrans->SetItemIndex(ComboTrans->GetItems()->IndexOf(Text));
        else
            ComboTrans->SetText(Text);
        if (FNavigation->GetAutoComboDropSize())
            ComboTrans->SizeDropDownWidth();
        ComboTrans->SetCol(RCol);
        ComboTrans->SetRow(ARow);
        ComboTrans->HookEditChild();
        ComboTrans->SetVisible(true);
        if (ComboTrans->CanFocus())
            ComboTrans->SetFocus();
        return;
    }
    EditTrans->SetBounds(R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top);
    EditTrans->OnChange = [this](TObject* Sender) { FixedEditChange(Sender); };
    EditTrans->SetText(Text);
    EditTrans->SetCol(RCol);
    EditTrans->SetRow(ARow);
    EditTrans->SetVisible(true);
    EditTrans->SetFilterEdit(AsFilter);
    if (EditTrans->CanFocus())
        EditTrans->SetFocus();
}

void TDedOzovedUrad::StopFixedCellEdit()
{
    if (!EditTrans || !ComboTrans)
        return;
    bool Go = true;
    if (EditTrans->GetVisible())
        Go = EditTrans->StopEdit();
    if (Go && ComboTrans->GetVisible())
        ComboTrans->StopEdit();
}

void TDedOzovedUrad::FixedEditChange(TObject* Sender)
{
    if (!OnEditChange)
        return;
    String Text;
    if (Sender == ComboTrans)
        Text = ComboTrans->GetText();
    else if (Sender == EditTrans)
        Text = EditTrans->GetText();
    else
        return;
    OnEditChange(this, FFixedColEdit, FFixedRowEdit, Text);
}

void TDedOzovedUrad::FixedComboSelect(TObject* /*Sender*/)
{
    if (!OnComboChange)
        return;
    const int Index = ComboTrans->GetItemIndex();
    const String Selection
        = Index >= 0 && Index < ComboTrans->GetItems()->GetCount() ? ComboTrans->GetItems()->GetStrings(Index) : String();
    OnComboChange(this, FFixedColEdit, FFixedRowEdit, Index, Selection);
}

// ---- anchors and form controls ----

void TDedOzovedUrad::AnchorControlClick(int ACol, int ARow, const String& Anchor, const String& CtrlID,
    const String& CtrlType, const String& CtrlValue, const TRect& CtrlRect)
{
    FAnchorClick = true;
    FCtrlDownId = CtrlID;
    bool AutoHandle = true;
    const int RCol = DisplayToRealCol(TDisplayCol(ACol)).Value;

    if (!CtrlID.empty()) {
        bool Editable = (GetOptions().Contains(goEditing) || FEditDisable) && !GetReadOnly(RCol, ARow);
        DoCanEditCell(ACol, ARow, Editable);
        if (Editable) {
            if (FCtrlEditing)
                StopFormControlEdit();
            String Text = GetCellEx(RCol, ARow);
            if (CtrlType == u"BUTTON") {
                FCtrlXY = TPoint(RCol, ARow);
                FCtrlDown = true;
                RepaintCell(ACol, ARow);
            } else if (CtrlType == u"CHECK") {
                VovHTMLE::SetHTMLControlValue(Text, CtrlID, AnsiUpperCase(CtrlValue) == u"TRUE" ? u"FALSE" : u"TRUE");
                SetCellEx(RCol, ARow, Text);
            } else if (CtrlType == u"RADIO") {
                Text = VovHTMLE::ResetHTMLRadioControls(Text);
                VovHTMLE::SetHTMLControlValue(Text, CtrlID, u"TRUE");
                SetCellEx(RCol, ARow, Text);
            }
            if (OnControlClick)
                OnControlClick(this, ARow, ACol, CtrlID, CtrlType, CtrlValue);
            StartFormControlEdit(Text, CtrlType, ARow, RCol, ACol, CtrlRect, CtrlValue, CtrlID);
        }
        return;
    }

    if (OnAnchorClick)
        OnAnchorClick(this, ARow, ACol, Anchor, AutoHandle);
    if (!AutoHandle)
        return;
    if (AnsiUpperCase(Anchor).rfind(u"CELL://", 0) == 0) {
        TPoint Cell;
        if (!VuzEraz::ParseRCReference(StringView(Anchor).substr(7), Cell))
            return;
        if (Cell.Y < 0 || Cell.Y >= TotalRowCount() || Cell.X < 0 || Cell.X >= GetColCount())
            return;
        SetRow(RealToDisplayRow(TRealRow(Cell.Y)).Value);
        SetCol(Cell.X);
        ScrollInView(Cell.X, Cell.Y, spMiddle);
        return;
    }
    if (IsOpenableLink(Anchor) && AnchorShellOpen)
        AnchorShellOpen(Anchor);
}

void TDedOzovedUrad::StartFormControlEdit(const String& CellText, const String& CtrlType, int ARow, int RealCol,
    int ACol, const TRect& CtrlRect, const String& CtrlValue, const String& CtrlID)
{
    const TRect& R = CtrlRect;
    if (CtrlType == u"EDIT" || CtrlType == u"PASSWORD" || CtrlType == u"MASK") {
        if (!FEditControl)
            return;
        FCtrlXY = TPoint(RealCol, ARow);
        FCtrlID = CtrlID;
        FCtrlType = CtrlType;
        FCtrlEditing = true;
        FEditControl->SetWidth(0);
        FEditControl->SetPasswordChar(CtrlType == u"PASSWORD" ? u'*' : u'\0');
        FEditControl->SetEditMask(CtrlType == u"MASK" ? VovHTMLE::GetHTMLControlProp(CellText, CtrlID) : String());
        FEditControl->OnExit = [this](TObject*) { StopFormControlEdit(); };
        FEditControl->SetText(CtrlValue);
        FEditControl->SetBorderStyle(bsNone);
        FEditControl->SetBounds(R.Left + 1, R.Top + 8, R.Right - R.Left - 4, 14);
        FEditControl->SetMaxLength(VovHTMLE::GetHTMLControlMaxLen(CellText, CtrlID));
        FEditControl->SetParent(this);
        FEditControl->SetVisible(true);
        FEditControl->BringToFront();
        if (FEditControl->CanFocus())
            FEditControl->SetFocus();
        return;
    }
    if (CtrlType == u"COMBO") {
        if (!FComboControl)
            return;
        FCtrlXY = TPoint(RealCol, ARow);
        FCtrlID = CtrlID;
        FCtrlType = CtrlType;
        FCtrlEditing = true;
        FComboControl->SetIsWinXP(FIsWinXP);
        FComboControl->SetWidth(0);
        bool Edit = true;
        int DropCount = 8;
        FComboControl->SetFlat(false);
        FComboControl->SetBounds(R.Left - 1, R.Top + 4, R.Right - R.Left, FComboControl->GetHeight());
        FComboControl->OnSelect = [this](TObject* Sender) { FormControlComboSelect(Sender); };
        FComboControl->SetParent(this);
        FComboControl->GetItems()->Clear();
        if (OnControlComboList)
            OnControlComboList(this, ARow, ACol, CtrlID, CtrlType, CtrlValue, FComboControl->GetItems(), Edit, DropCount);
        FComboControl->SetStyle(Edit ? csDropDown : csDropDownList);
        const int Index = FComboControl->GetItems()->IndexOf(CtrlValue);
        if (Index >= 0)
            FComboControl->SetItemIndex(Index);
        FComboControl->SetText(CtrlValue);
        FComboControl->SetDropDownCount(DropCount);
        FComboControl->OnCloseUp = [this](TObject*) { StopFormControlEdit(); };
        FComboControl->SetHeight(FComboControl->GetItemHeight() * (DropCount + 2));
        FComboControl->SetMaxLength(VovHTMLE::GetHTMLControlMaxLen(CellText, CtrlID));
        FComboControl->HookEditChild();
        FComboControl->SetVisible(true);
        FComboControl->SetDroppedDown(true);
        if (FComboControl->CanFocus())
            FComboControl->SetFocus();
    }
}

void TDedOzovedUrad::FormControlComboSelect(TObject* /*Sender*/)
{
    if (!OnControlComboSelect || !FComboControl)
        return;
    const int Index = FComboControl->GetItemIndex();
    const String Item = Index >= 0 && Index < FComboControl->GetItems()->GetCount()
        ? FComboControl->GetItems()->GetStrings(Index)
        : String();
    OnControlComboSelect(this, FCtrlXY.Y, FCtrlXY.X, Index, FCtrlID, Item);
}

void TDedOzovedUrad::StopFormControlEdit()
{
    if (!FCtrlEditing)
        return;
    FCtrlEditing = false;
    String Value;
    String Text = GetCellEx(FCtrlXY.X, FCtrlXY.Y);
    if (FCtrlType == u"COMBO" && FComboControl) {
        Value = FComboControl->GetText();
        VovHTMLE::SetHTMLControlValue(Text, FCtrlID, Value);
        SetCellEx(FCtrlXY.X, FCtrlXY.Y, Text);
        FComboControl->SetVisible(false);
    } else if (FEditControl) {
        Value = FEditControl->GetText();
        VovHTMLE::SetHTMLControlValue(Text, FCtrlID, Value);
        SetCellEx(FCtrlXY.X, FCtrlXY.Y, Text);
        FEditControl->SetVisible(false);
    }
    if (OnControlEditDone)
        OnControlEditDone(this, FCtrlXY.Y, FCtrlXY.X, FCtrlID, FCtrlType, Value);
    FCtrlType = String();
}

void TDedOzovedUrad::FocusNextHTMLControl(int ACol, int ARow, const String& ControlID)
{
    const int RCol = DisplayToRealCol(TDisplayCol(ACol)).Value;
    const String Text = GetCellEx(RCol, ARow);
    const String Next = VovHTMLE::NextHTMLControlID(Text, ControlID);
    if (Next.empty()) {
        if (CanFocus())
            SetFocus();
        return;
    }
    TRect R = CellRect(ACol, ARow);
    const int Inset = 1;
    R = TRect(R.Left + FXYOffset.X + Inset, R.Top + FXYOffset.Y + Inset, R.Right, R.Bottom);
    if (HasCheckBox(RCol, ARow))
        R.Left += int(RoundHalfEven(16 * FDPIScale));
    String HitAnchor, Stripped, FocusHref, Title, ControlID2 = Next, ControlValue, ControlType;
    int XSize = 0, YSize = 0, AnchorCount = 0, HitIndex = -1;
    TRect HitRect, ControlRect;
    VovHTMLE::DrawHTMLText(GetCanvas(), Text, R, FGridImages, -1, -1, -1, -1, 1, true, true, false, false, false,
        false, true, false, String(), 1.0, GetURLColor(), clNone, clNone, clNone, HitAnchor, Stripped, FocusHref,
        Title, XSize, YSize, AnchorCount, HitIndex, HitRect, ControlRect, ControlID2, ControlValue, ControlType,
        FImageCache.get(), FPictureContainer, HandleAllocated() ? GetHandle() : nullptr, float(FDPIScale),
        UseRightToLeftAlignment() ? 1 : 0);
    if (ControlType.empty()) {
        if (CanFocus())
            SetFocus();
        return;
    }
    StartFormControlEdit(Text, ControlType, ARow, RCol, ACol, ControlRect, ControlValue, Next);
}

void TDedOzovedUrad::FormControlKey(bool Tab)
{
    const String ID = FCtrlID;
    const TPoint XY = FCtrlXY;
    StopFormControlEdit();
    if (!Tab) {
        if (CanFocus())
            SetFocus();
        return;
    }
    const int ACol = RealToDisplayCol(TRealCol(XY.X)).Value;
    if (FNavigation->GetAdvanceAuto()) {
        if (CanFocus())
            SetFocus();
        MoveToNextCell(ACol, XY.Y, true, false, true, false, false);
        return;
    }
    FocusNextHTMLControl(ACol, XY.Y, ID);
}
