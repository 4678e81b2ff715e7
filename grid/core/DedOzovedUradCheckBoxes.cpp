// Check boxes in cells: adding and removing them, reading and writing their
// state, the toggle of the mouse and keyboard with the group logic of
// grouped grids, and the hit test of the glyph.

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/RirEvozUndoRedo.h"
#include "platform/rtl/MathUtils.h"

namespace {

bool IsCheckKind(TCellType Kind)
{
    switch (Kind) {
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
    case ctTriStateCheckBox: return true;
    default: return false;
    }
}

bool IsDataKind(TCellType Kind) { return Kind == ctDataCheckBox || Kind == ctVirtCheckBox; }

// The kinds that keep a Boolean state in the object while a narrow-down
// condition is in force.
bool IsNarrowDownKind(TCellType Kind) { return Kind == ctCheckBox || IsDataKind(Kind); }

TCellVAlign CheckVAlignOf(TVAlignment VA)
{
    switch (VA) {
    case vtaCenter: return vaCenter;
    case vtaBottom: return vaBottom;
    default: return vaTop;
    }
}

} // namespace

// ---- adding and removing ----

void TDedOzovedUrad::AddCheckBox(int ACol, int ARow, bool State, bool Data)
{
    if (ACol < 0 || ARow < 0 || ACol >= GetColCount() + NumHiddenColumns() || ARow >= GetRowCount() + NumHiddenRows())
        throw Exception(u"Invalid cell");
    CreateCellGraphic(ACol, ARow)->SetCheckBox(State, Data, true, haBeforeText, CheckVAlignOf(GetVAlignment()));
    if (Data) {
        const String Text = GetCellEx(ACol, ARow);
        if (Text != GetCheckTrue() && Text != GetCheckFalse())
            SetCellEx(ACol, ARow, State ? GetCheckTrue() : GetCheckFalse());
    }
}

void TDedOzovedUrad::AddCheckBox(int ACol, int ARow, TCheckBoxState State)
{
    if (ACol < 0 || ARow < 0 || ACol >= GetColCount() + NumHiddenColumns() || ARow >= GetRowCount() + NumHiddenRows())
        throw Exception(u"Invalid cell");
    CreateCellGraphic(ACol, ARow)->SetCheckBox(State, true, haBeforeText, CheckVAlignOf(GetVAlignment()));
}

namespace {

// The first row of a check-box column: the last fixed row too when it
// holds the check-all box.
int FirstCheckRow(int FixedRows, bool CheckAllCheck) { return CheckAllCheck ? std::max(0, FixedRows - 1) : FixedRows; }

} // namespace

void TDedOzovedUrad::AddCheckBoxColumn(int ACol, bool DefaultState, bool DataCheckBox)
{
    if (ACol == 0 && FMouseActions->GetHotmailRowSelect())
        return;
    const bool AutoCheckGroup = FGrouping->GetAutoCheckGroup();
    const int Last = GetRowCount() - GetFixedFooters() - 1;
    for (int r = FirstCheckRow(GetFixedRows(), FMouseActions->GetCheckAllCheck()); r <= Last; ++r) {
        if (IsSummary(r))
            continue;
        if (IsNode(r)) {
            if (AutoCheckGroup)
                AddCheckBox(ACol, r, DefaultState ? cbChecked : cbUnchecked);
            else if (FGroupColumn < 0)
                AddCheckBox(ACol, r, DefaultState, DataCheckBox);
        } else {
            AddCheckBox(ACol, r, DefaultState, DataCheckBox);
        }
    }
    if (AutoCheckGroup)
        Invalidate();
}

void TDedOzovedUrad::AddTriStateCheckBoxColumn(int ACol, TCheckBoxState State)
{
    for (int r = FirstCheckRow(GetFixedRows(), FMouseActions->GetCheckAllCheck()); r < GetRowCount(); ++r)
        AddCheckBox(ACol, r, State);
}

void TDedOzovedUrad::RemoveCheckBox(int ACol, int ARow)
{
    TCellGraphic* G = GetCellGraphic(ACol, ARow);
    if (!G)
        return;
    const TCellType Kind = G->GetCellType();
    if (Kind != ctCheckBox && Kind != ctDataCheckBox && Kind != ctTriStateCheckBox)
        return;
    G->RemoveCellBalloon();
    FreeCellGraphic(ACol, ARow);
}

void TDedOzovedUrad::RemoveCheckBoxColumn(int ACol)
{
    for (int r = FirstCheckRow(GetFixedRows(), FMouseActions->GetCheckAllCheck()); r < GetRowCount(); ++r)
        if (HasCheckBox(ACol, r))
            RemoveCheckBox(ACol, r);
}

// ---- reading ----

bool TDedOzovedUrad::IsDataCheckBoxColumn(int ACol)
{
    const int First = GetFixedRows();
    return First + 1 < GetRowCount() && HasDataCheckBox(ACol, First) && HasDataCheckBox(ACol, First + 1);
}

bool TDedOzovedUrad::GetCheckBoxState(int ACol, int ARow, TCheckBoxState& State)
{
    TCellGraphic* G = nullptr;
    String Text;
    bool RowSelected = false;
    if (NumHiddenRows() == 0) {
        G = GetCellGraphic(ACol, ARow);
        if (G && IsDataKind(G->GetCellType()))
            Text = GetCellEx(ACol, ARow);
        RowSelected = RowCheckSelected(ARow);
    } else if (HiddenRowItem(ARow)) {
        G = ObjectByRealRow(ACol, ARow);
        Text = CellByRealRow(ACol, ARow);
        RowSelected = FMouseActions->GetRowSelectPersistent() && GetRowSelect(ARow);
    } else {
        G = ObjectByRealRow(ACol, ARow);
        Text = CellByRealRow(ACol, ARow);
        RowSelected = G && G->GetCellBoolean();
    }
    if (!G)
        return false;
    switch (G->GetCellType()) {
    case ctCheckBox: State = BoolToCheckBoxState(G->GetCellBoolean()); return true;
    case ctDataCheckBox:
    case ctVirtCheckBox: State = BoolToCheckBoxState(Text == GetCheckTrueText(ACol, ARow)); return true;
    case ctTriStateCheckBox: State = G->GetCellCheckBoxState(); return true;
    case ctRowCheckBox:
        if (ACol != 0)
            return false;
        State = BoolToCheckBoxState(RowSelected);
        return true;
    default: return false;
    }
}

bool TDedOzovedUrad::GetCheckBoxState(int ACol, int ARow, bool& State)
{
    auto FromCell = [&](TCellGraphic* G, int ShownRow, bool RowFromObject) {
        if (!G)
            return false;
        switch (G->GetCellType()) {
        case ctCheckBox: State = G->GetCellBoolean(); return true;
        case ctDataCheckBox:
        case ctVirtCheckBox: State = GetCellEx(ACol, ShownRow) == GetCheckTrueText(ACol, ShownRow); return true;
        case ctRowCheckBox:
            if (ACol != 0)
                return false;
            State = RowFromObject ? G->GetCellBoolean() : RowCheckSelected(ShownRow);
            return true;
        default: return false;
        }
    };
    // 1. No hidden rows: display and real rows are one.
    if (NumHiddenRows() == 0)
        return FromCell(GetCellGraphic(ACol, ARow), ARow, false);
    // 2. The row check box column: the row's selection.
    if (FMouseActions->GetHotmailRowSelect() && ACol == 0) {
        const bool Persistent = FMouseActions->GetRowSelectPersistent();
        State = Persistent ? GetRowSelect(ARow)
                           : !HiddenRowItem(ARow) && RowCheckSelected(RealToDisplayRow(TRealRow(ARow)).Value);
        return true;
    }
    // 3. Narrowed down: the state kept in the object, not reported.
    if (FNarrowDownActive) {
        if (TCellGraphic* G = ObjectByRealRow(ACol, ARow); G && IsNarrowDownKind(G->GetCellType()))
            State = G->GetCellBoolean();
        return false;
    }
    // 4. A hidden row: object and text from the hidden-row store.
    if (HiddenRowItem(ARow)) {
        TCellGraphic* G = ObjectByRealRow(ACol, ARow);
        if (!G)
            return false;
        switch (G->GetCellType()) {
        case ctCheckBox: State = G->GetCellBoolean(); return true;
        case ctDataCheckBox:
        case ctVirtCheckBox:
        case ctTriStateCheckBox: State = CellByRealRow(ACol, ARow) == GetCheckTrueText(ACol, ARow); return true;
        case ctRowCheckBox:
            if (ACol != 0)
                return false;
            State = FMouseActions->GetRowSelectPersistent() && GetRowSelect(ARow);
            return true;
        default: return false;
        }
    }
    // 5. A row in view.
    const int Shown = RealToDisplayRow(TRealRow(ARow)).Value;
    return FromCell(GetCellGraphic(ACol, Shown), Shown, true);
}

bool TDedOzovedUrad::IsChecked(int ACol, int ARow)
{
    bool State = false;
    GetCheckBoxState(ACol, ARow, State);
    return State;
}

// ---- writing ----

bool TDedOzovedUrad::SetCheckBoxState(int ACol, int ARow, bool State)
{
    TCellGraphic* G = ObjectByRealRow(ACol, ARow);
    if (!G)
        return false;
    const TCellType Kind = G->GetCellType();
    const bool Hidden = HiddenRowItem(ARow) != nullptr;
    const int Shown = Hidden ? -1 : RealToDisplayRow(TRealRow(ARow)).Value;
    auto Repaint = [&] {
        if (!Hidden)
            RepaintCell(DisplColIndex(TRealCol(ACol)).Value, Shown);
    };
    if (FNarrowDownActive) {
        if (!IsNarrowDownKind(Kind))
            return false;
        G->SetCellBoolean(State);
        Repaint();
        return true;
    }
    switch (Kind) {
    case ctCheckBox:
        G->SetCellBoolean(State);
        Repaint();
        return true;
    case ctTriStateCheckBox:
        G->SetCellCheckBoxState(BoolToCheckBoxState(State));
        Repaint();
        return true;
    case ctDataCheckBox:
    case ctVirtCheckBox:
        SetCellsEx(ACol, ARow, State ? GetCheckTrueText(ACol, ARow) : GetCheckFalseText(ACol, ARow));
        return true;
    case ctRowCheckBox:
        if (ACol != 0 || Hidden)
            return false;
        SetRowSelect(FMouseActions->GetRowSelectPersistent() ? ARow : Shown, State);
        return true;
    default: return false;
    }
}

bool TDedOzovedUrad::SetCheckBoxState(int ACol, int ARow, TCheckBoxState State)
{
    TCellGraphic* G = ObjectByRealRow(ACol, ARow);
    if (!G)
        return false;
    const bool Hidden = HiddenRowItem(ARow) != nullptr;
    auto Repaint = [&] {
        if (!Hidden)
            RepaintCell(DisplColIndex(TRealCol(ACol)).Value, RealToDisplayRow(TRealRow(ARow)).Value);
    };
    if (FNarrowDownActive) {
        if (!IsNarrowDownKind(G->GetCellType()))
            return false;
        G->SetCellBoolean(State == cbChecked);
        Repaint();
        return true;
    }
    if (G->GetCellType() != ctTriStateCheckBox)
        return false;
    G->SetCellCheckBoxState(State);
    Repaint();
    return true;
}

void TDedOzovedUrad::SetCheckBoxFromText(int ACol, int ARow, const String& Value)
{
    SetCheckBoxState(ACol, ARow, Value == GetCheckTrue());
}

bool TDedOzovedUrad::ApplyCheckBoxValue(int ACol, int ARow, bool Value)
{
    if (FNarrowDownActive) {
        TCellGraphic* G = GetCellGraphic(ACol, ARow);
        if (!G || !IsNarrowDownKind(G->GetCellType()))
            return false;
        G->SetCellBoolean(Value);
        RepaintCell(DisplColIndex(TRealCol(ACol)).Value, ARow);
        return true;
    }
    const int Real = RealRowIndex(TDisplayRow(ARow)).Value;
    TCellGraphic* G = NumHiddenRows() > 0 ? ObjectByRealRow(ACol, Real) : GetCellGraphic(ACol, ARow);
    if (!G)
        return false;
    switch (G->GetCellType()) {
    case ctCheckBox:
        if (G->GetCellBoolean() != Value) {
            G->SetCellBoolean(Value);
            CheckBoxChanged(ACol, ARow, Value);
            RepaintCell(DisplColIndex(TRealCol(ACol)).Value, ARow);
        }
        return true;
    case ctTriStateCheckBox: G->SetCellCheckBoxState(BoolToCheckBoxState(Value)); return false;
    case ctDataCheckBox:
    case ctVirtCheckBox: {
        const String TrueText = GetCheckTrueText(ACol, ARow);
        const bool Was = GetCellEx(ACol, ARow) == TrueText;
        SetCellEx(ACol, ARow, Value ? TrueText : GetCheckFalseText(ACol, ARow));
        if (Was != Value)
            CheckBoxChanged(ACol, ARow, Value);
        return true;
    }
    case ctRowCheckBox:
        if (ACol != 0)
            return false;
        if (RowCheckSelected(ARow) != Value) {
            SetRowSelect(FMouseActions->GetRowSelectPersistent() ? Real : ARow, Value);
            CheckBoxChanged(ACol, ARow, Value);
        }
        return true;
    default: return false;
    }
}

void TDedOzovedUrad::CheckAll(int ACol)
{
    for (int r = GetFixedRows(); r < GetRowCount(); ++r)
        ApplyCheckBoxValue(ACol, r, true);
    if (NumHiddenColumns() > 0)
        RepaintCol(DisplColIndex(TRealCol(ACol)).Value);
}

void TDedOzovedUrad::UnCheckAll(int ACol)
{
    for (int r = GetFixedRows(); r < GetRowCount(); ++r)
        ApplyCheckBoxValue(ACol, r, false);
}

void TDedOzovedUrad::CheckBoxChanged(int ACol, int ARow, bool State)
{
    if (OnCheckBoxChange)
        OnCheckBoxChange(this, ACol, ARow, State);
}

// ---- the toggle ----

bool TDedOzovedUrad::DoToggleCheckBox(int ACol, int ARow, bool ByUser)
{
    TCellGraphic* G = GetCellGraphic(ACol, ARow);
    if (!G)
        return false;
    const TCellType Kind = G->GetCellType();
    const String TrueText = GetCheckTrueText(ACol, ARow);
    const String FalseText = GetCheckFalseText(ACol, ARow);

    bool Current = G->GetCellBoolean();
    if (IsDataKind(Kind))
        Current = GetCellEx(ACol, ARow) == TrueText;
    else if (Kind == ctRowCheckBox)
        Current = RowCheckSelected(ARow);
    else if (Kind == ctTriStateCheckBox)
        Current = G->GetCellCheckBoxState() == cbChecked;
    if (OnCheckBoxCanToggle) {
        bool Allow = true;
        OnCheckBoxCanToggle(this, ACol, ARow, Current, Allow);
        if (!Allow)
            return false;
    }

    const bool Group = FGrouping->GetAutoCheckGroup() && FGroupColumn >= 0 && ARow >= GetFixedRows();
    const bool NodeRow = Group && IsNode(ARow);

    if (!IsCheckKind(Kind))
        return false;
    if (ByUser && !FControlLook->GetCheckAlwaysActive()) {
        bool Allow = true;
        CanEditCell(ACol, ARow, Allow);
        if (!Allow)
            return false;
    }

    bool S = false;
    switch (Kind) {
    case ctCheckBox:
        S = !G->GetCellBoolean();
        G->SetCellBoolean(S);
        break;
    case ctTriStateCheckBox: {
        const TCheckBoxState Was = G->GetCellCheckBoxState();
        TCheckBoxState Next = cbChecked;
        if (Was == cbChecked)
            Next = cbUnchecked;
        else if (Was == cbUnchecked && !NodeRow && FNavigation->GetToggleTriStateCheck() == tsAllStates)
            Next = cbGrayed;
        G->SetCellCheckBoxState(Next);
        S = Next == cbChecked;
        break;
    }
    case ctRowCheckBox: {
        // The row check box is the row's selection: the cell text is data.
        S = !Current;
        const int Row = FMouseActions->GetRowSelectPersistent() ? RealRowIndex(TDisplayRow(ARow)).Value : ARow;
        SetRowSelect(Row, S);
        break;
    }
    default:
        S = GetCellEx(ACol, ARow) != TrueText;
        SetCellEx(ACol, ARow, S ? TrueText : FalseText);
        break;
    }
    RepaintCell(DisplColIndex(TRealCol(ACol)).Value, ARow);

    if (Group) {
        if (NodeRow)
            ToggleGroupChildren(ACol, ARow, S);
        else
            UpdateGroupParent(ACol, ARow);
    }

    CheckBoxChanged(ACol, ARow, S);
    FGridModified = true;
    if (TRirEvozUndoRedo* Undo = GetUndoRedo())
        Undo->RegisterChange(ACol, RealRowIndex(TDisplayRow(ARow)).Value, S ? FalseText : TrueText,
            S ? TrueText : FalseText);
    return true;
}

void TDedOzovedUrad::ToggleGroupChildren(int ACol, int ARow, bool State)
{
    const int Span = FDataViews->GetNodeSpan(ARow);
    const bool Contracted = FDataViews->GetNodeState(ARow);
    const int Real = RealRowIndex(TDisplayRow(ARow)).Value;
    for (int i = 1; i < Span; ++i) {
        // A contracted node keeps its children in the hidden-row store.
        const int Child = Contracted ? Real + i : RealRowIndex(TDisplayRow(ARow + i)).Value;
        SetCheckBoxState(ACol, Child, State);
    }
}

void TDedOzovedUrad::UpdateGroupParent(int ACol, int ARow)
{
    const int Parent = FDataViews->GetParentRow(ARow);
    if (Parent < 0)
        return;
    const int Span = FDataViews->GetNodeSpan(Parent);
    const int RealParent = RealRowIndex(TDisplayRow(Parent)).Value;
    bool First = false, AllSame = true;
    for (int i = 1; i < Span; ++i) {
        bool State = false;
        GetCheckBoxState(ACol, RealParent + i, State);
        if (i == 1)
            First = State;
        else if (State != First)
            AllSame = false;
    }
    SetCheckBoxState(ACol, RealParent, AllSame ? BoolToCheckBoxState(First) : cbGrayed);
}

// ---- hit test ----

bool TDedOzovedUrad::IsInCheckBox(int ACol, int ARow, int XPos, int YPos)
{
    const TCellGraphic* G = GetCellGraphic(ACol, ARow);
    if (!G || !(IsCheckKind(G->GetCellType()) || G->GetCellType() == ctRadioButton))
        return false;
    if (!FMouseActions->GetPreciseCheckBoxCheck())
        return true;

    const double Scale = GetDPIScale();
    const int d = int(RoundHalfEven(2 * Scale));
    const int CheckSize = FControlLook->GetCheckSize();
    const int s = int(RoundHalfEven(CheckSize * Scale));
    const int Shown = DisplColIndex(TRealCol(ACol)).Value;
    const TRect Cell = CellRect(Shown, ARow);

    TVAlignment VA = G->GetCellVAlign() == vaBottom ? vtaBottom : G->GetCellVAlign() == vaCenter ? vtaCenter : vtaTop;
    // The event may move the box vertically; horizontally it follows the
    // cell's resolved text alignment.
    const TAlignment HA = TAlignment(ResolveCellAlignment(ACol, ARow) & 0xFF);
    if (OnGetAlignment) {
        TAlignment EventHA = HA;
        OnGetAlignment(this, ARow, ACol, EventHA, VA);
    }

    TRect Box;
    switch (VA) {
    case vtaCenter: Box.Top = Cell.Top + (Cell.Height() - CheckSize) / 2; break;
    case vtaBottom: Box.Top = Cell.Bottom - d - CheckSize; break;
    default: Box.Top = Cell.Top + d; break;
    }
    Box.Bottom = Box.Top + s;

    const String Text = GetCellEx(ACol, ARow);
    int TextWidth = 0;
    if (!Text.empty()) {
        TCanvas* Canvas = MeasureCanvas();
        Canvas->GetFont()->Assign(GetFonts(ACol, ARow));
        TextWidth = Canvas->TextWidth(Text);
    }
    switch (HA) {
    case taRightJustify: Box.Left = Cell.Right - d - s - TextWidth; break;
    case taCenter: Box.Left = Cell.Left + (Cell.Width() - TextWidth - s) / 2; break;
    default: Box.Left = Cell.Left + d; break;
    }
    Box.Right = Box.Left + s;
    return XPos >= Box.Left && XPos < Box.Right && YPos >= Box.Top && YPos < Box.Bottom;
}
