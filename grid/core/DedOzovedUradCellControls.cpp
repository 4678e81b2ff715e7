// Radio buttons, radio groups, push buttons, expand buttons and balloons in
// cells: adding and removing them, their state, the selection logic of
// radio buttons and groups, and the rectangles the mouse code hits.

#include <algorithm>

#include "grid/core/DedOzovedUrad.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/StringList.h"

namespace {

TCellVAlign RadioVAlignOf(TVAlignment VA)
{
    switch (VA) {
    case vtaCenter: return vaCenter;
    case vtaBottom: return vaBottom;
    default: return vaTop;
    }
}

int ScaledRound(double v) { return int(RoundHalfEven(v)); }

} // namespace

TCellGraphic* TDedOzovedUrad::DisplayCellGraphic(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0)
        return nullptr;
    return GetCellGraphic(RealColIndex(TDisplayCol(ACol)).Value, ARow);
}

// ---- radio buttons ----

void TDedOzovedUrad::AddRadioButton(int ACol, int ARow, bool State) { AddRadioButtonGroup(ACol, ARow, rgCol, State); }

void TDedOzovedUrad::AddRadioButtonGroup(int ACol, int ARow, TRadioButtonGroup Group, bool State)
{
    if (ACol < 0 || ARow < 0 || ACol >= GetColCount() + NumHiddenColumns() || ARow >= GetRowCount() + NumHiddenRows())
        throw Exception(u"Invalid cell");
    CreateCellGraphic(ACol, ARow)->SetRadioButton(State, true, haBeforeText, RadioVAlignOf(GetVAlignment()), Group);
}

void TDedOzovedUrad::AddRadioButtonColumn(int ACol)
{
    for (int r = GetFixedRows(); r < GetRowCount(); ++r)
        AddRadioButton(ACol, r, false);
}

void TDedOzovedUrad::AddRadioButtonGroupColumn(int ACol)
{
    for (int r = GetFixedRows(); r < GetRowCount(); ++r)
        AddRadioButtonGroup(ACol, r, rgRow, false);
}

void TDedOzovedUrad::RemoveRadioButton(int ACol, int ARow) { RemoveCellGraphic(ACol, ARow, ctRadioButton); }

void TDedOzovedUrad::RemoveRadioButtonColumn(int ACol)
{
    for (int r = GetFixedRows(); r < GetRowCount(); ++r)
        if (HasRadioButton(ACol, r))
            RemoveRadioButton(ACol, r);
}

bool TDedOzovedUrad::HasRadioButtonGroup(int ACol, int ARow, TRadioButtonGroup Group)
{
    if (!HasRadioButton(ACol, ARow))
        return false;
    const TPoint B = BaseCell(ACol, ARow);
    const TCellGraphic* G = GetCellGraphic(B.X, B.Y);
    return G && G->GetCellRadioGroup() == Group;
}

bool TDedOzovedUrad::IsRadioButtonChecked(int ACol, int ARow)
{
    if (!HasRadioButton(ACol, ARow))
        return false;
    const TPoint B = BaseCell(ACol, ARow);
    const TCellGraphic* G = GetCellGraphic(B.X, B.Y);
    return G && G->GetCellBoolean();
}

bool TDedOzovedUrad::SetRadioButtonState(int ACol, int ARow, bool State)
{
    if (!HasRadioButton(ACol, ARow))
        return false;
    const TPoint B = BaseCell(ACol, ARow);
    TCellGraphic* G = GetCellGraphic(B.X, B.Y);
    if (G->GetCellBoolean() != State) {
        G->SetCellBoolean(State);
        RepaintCell(DisplColIndex(TRealCol(ACol)).Value, ARow);
    }
    return true;
}

void TDedOzovedUrad::SetRadioButtonRowIndex(int ARow, int Index)
{
    for (int c = GetFixedCols(); c < GetColCount(); ++c)
        SetRadioButtonState(c, ARow, c == Index);
}

void TDedOzovedUrad::SetRadioButtonColumnIndex(int ACol, int Index)
{
    for (int r = GetFixedRows(); r < GetRowCount(); ++r)
        SetRadioButtonState(ACol, r, r == Index);
}

int TDedOzovedUrad::GetRadioButtonColumnIndex(int ACol)
{
    for (int r = GetFixedRows(); r < GetRowCount(); ++r)
        if (IsRadioButtonChecked(ACol, r))
            return r;
    return -1;
}

void TDedOzovedUrad::UncheckRadioRun(int ACol, int ARow, TRadioButtonGroup Group)
{
    // Each walk stops at the first cell without a radio button: such a cell
    // splits the line into independent runs.
    auto Uncheck = [this](int c, int r) {
        TCellGraphic* G = GetCellGraphic(c, r);
        if (!G || G->GetCellType() != ctRadioButton)
            return false;
        if (G->GetCellBoolean()) {
            G->SetCellBoolean(false);
            RepaintCell(DisplColIndex(TRealCol(c)).Value, r);
        }
        return true;
    };
    if (Group == rgCol) {
        for (int r = ARow + 1; r < GetRowCount() && Uncheck(ACol, r); ++r) { }
        for (int r = ARow - 1; r >= 0 && Uncheck(ACol, r); --r) { }
    } else if (Group == rgRow) {
        const int Last = GetColCount() + NumHiddenColumns() - 1;
        for (int c = ACol + 1; c <= Last && Uncheck(c, ARow); ++c) { }
        for (int c = ACol - 1; c >= 0 && Uncheck(c, ARow); --c) { }
    }
}

bool TDedOzovedUrad::DoToggleRadioButton(int ACol, int ARow, bool ByUser)
{
    TCellGraphic* G = GetCellGraphic(ACol, ARow);
    if (!G || G->GetCellType() != ctRadioButton)
        return false;
    if (ByUser && !FControlLook->GetRadioAlwaysActive()) {
        bool Allow = true;
        CanEditCell(ACol, ARow, Allow);
        if (!Allow)
            return false;
    }
    if (!G->GetCellBoolean()) {
        G->SetCellBoolean(true);
        RepaintCell(DisplColIndex(TRealCol(ACol)).Value, ARow);
        UncheckRadioRun(ACol, ARow, G->GetCellRadioGroup());
    }
    SetGridModified(true);
    return true;
}

// ---- radio groups ----

void TDedOzovedUrad::AddRadio(int ACol, int ARow, int DirRadio, int IdxRadio, TStrings* sl)
{
    CreateCellGraphic(ACol, ARow)->SetRadio(sl, false, DirRadio != 0, IdxRadio);
}

TStrings* TDedOzovedUrad::CreateRadio(int ACol, int ARow, int DirRadio, int IdxRadio)
{
    auto* Items = new TStringList;
    CreateCellGraphic(ACol, ARow)->SetRadio(Items, true, DirRadio != 0, IdxRadio);
    return Items;
}

void TDedOzovedUrad::RemoveRadio(int ACol, int ARow) { RemoveCellGraphic(ACol, ARow, ctRadio); }

bool TDedOzovedUrad::GetRadioIdx(int ACol, int ARow, int& IdxRadio)
{
    const TCellGraphic* G = GetCellGraphic(ACol, ARow);
    if (!G || G->GetCellType() != ctRadio)
        return false;
    IdxRadio = G->GetCellIndex();
    return true;
}

bool TDedOzovedUrad::SetRadioIdx(int ACol, int ARow, int IdxRadio)
{
    TCellGraphic* G = GetCellGraphic(ACol, ARow);
    if (!G || G->GetCellType() != ctRadio)
        return false;
    G->SetCellIndex(IdxRadio);
    if (IdxRadio == -1)
        SetCellEx(ACol, ARow, String());
    RepaintCell(DisplColIndex(TRealCol(ACol)).Value, ARow);
    return true;
}

TStrings* TDedOzovedUrad::GetRadioStrings(int ACol, int ARow)
{
    if (!IsRadio(ACol, ARow))
        return nullptr;
    const TPoint B = BaseCell(ACol, ARow);
    const TCellGraphic* G = GetCellGraphic(B.X, B.Y);
    return G ? G->GetCellRadioItems() : nullptr;
}

bool TDedOzovedUrad::StepRadioSelection(int ACol, int ARow, bool ByUser)
{
    TCellGraphic* G = GetCellGraphic(ACol, ARow);
    if (!G || G->GetCellType() != ctRadio)
        return false;
    if (ByUser && !FControlLook->GetRadioAlwaysActive()) {
        bool Allow = true;
        CanEditCell(ACol, ARow, Allow);
        if (!Allow)
            return false;
    }
    TStrings* Items = G->GetCellRadioItems();
    const int Count = Items ? Items->GetCount() : 0;
    // A group without items has nothing to move to.
    if (Count == 0)
        return false;
    const int Index = G->GetCellIndex();
    int Next = Index >= 0 ? Index + 1 : Items->IndexOf(GetCellEx(ACol, ARow)) + 1;
    if (Next >= Count)
        Next = 0;
    // A group that followed its text keeps its own index from now on.
    if (Index >= -1)
        G->SetCellIndex(Next);
    G->SetCellVar(Variant(Next));
    SetCellEx(ACol, ARow, Items->GetStrings(Next));
    RepaintCell(DisplColIndex(TRealCol(ACol)).Value, ARow);
    return false;
}

// ---- buttons ----

void TDedOzovedUrad::AddButton(int ACol, int ARow, int bw, int bh, const String& Caption, TCellHAlign hal,
    TCellVAlign val)
{
    CreateCellGraphic(ACol, ARow)->SetButton(bw, bh, Caption, hal, val);
}

void TDedOzovedUrad::AddBitButton(int ACol, int ARow, int bw, int bh, const String& Caption, TBitmap* Glyph,
    TCellHAlign hal, TCellVAlign val)
{
    CreateCellGraphic(ACol, ARow)->SetBitButton(bw, bh, Caption, Glyph, hal, val);
}

TBitmap* TDedOzovedUrad::CreateBitButton(int ACol, int ARow, int bw, int bh, const String& Caption, TCellHAlign hal,
    TCellVAlign val)
{
    auto* Glyph = new TBitmap;
    TCellGraphic* G = CreateCellGraphic(ACol, ARow);
    G->SetBitButton(bw, bh, Caption, Glyph, hal, val);
    G->SetCellCreated(true);
    return Glyph;
}

void TDedOzovedUrad::SetButtonText(int ACol, int ARow, const String& Caption)
{
    if (TCellGraphic* G = DisplayCellGraphic(ACol, ARow)) {
        G->SetCellText(Caption);
        RepaintCell(ACol, ARow);
    }
}

String TDedOzovedUrad::GetButtonText(int ACol, int ARow)
{
    const TCellGraphic* G = DisplayCellGraphic(ACol, ARow);
    return G ? G->GetCellText() : String();
}

void TDedOzovedUrad::PushButton(int ACol, int ARow, bool push)
{
    TCellGraphic* G = DisplayCellGraphic(ACol, ARow);
    if (!G || G->GetCellType() == ctNode)
        return;
    G->SetCellBoolean(push);
    RepaintCell(ACol, ARow);
}

void TDedOzovedUrad::RemoveButton(int ACol, int ARow)
{
    if (!RemoveCellGraphic(ACol, ARow, ctButton))
        RemoveCellGraphic(ACol, ARow, ctBitButton);
}

void TDedOzovedUrad::RemoveBitButton(int ACol, int ARow) { RemoveCellGraphic(ACol, ARow, ctBitButton); }

void TDedOzovedUrad::RemoveAllButtons()
{
    for (int c = 0; c < GetColCount(); ++c)
        for (int r = 0; r < GetRowCount(); ++r)
            if (HasButton(c, r))
                RemoveButton(c, r);
}

TRect TDedOzovedUrad::CellButtonRect(int ACol, int ARow)
{
    const TCellGraphic* G = DisplayCellGraphic(ACol, ARow);
    if (!G)
        return TRect();
    const TRect Cell = CellRect(ACol, ARow);
    const unsigned Offset = unsigned(ScaledRound(G->GetCellValue()));
    const unsigned Size = unsigned(G->GetCellIndex());
    TRect R;
    R.Left = Cell.Left + int(Offset & 0xFFFFu);
    R.Top = Cell.Top + int((Offset >> 16) & 0xFFFFu);
    R.Right = R.Left + ScaledRound((Size & 0xFFFFu) * GetDPIScale());
    R.Bottom = R.Top + ScaledRound(((Size >> 16) & 0xFFFFu) * GetDPIScale());
    if (G->GetCellVAlign() == vaFull) {
        R.Top = Cell.Top;
        R.Bottom = Cell.Bottom;
    }
    if (G->GetCellHAlign() == haFull) {
        R.Left = Cell.Left;
        R.Right = Cell.Right;
    }
    return R;
}

// ---- expand buttons ----

void TDedOzovedUrad::AddExpand(int ACol, int ARow, int ExpandedHeight)
{
    TCellGraphic* G = CreateCellGraphic(ACol, ARow);
    G->SetCellType(ctExpand);
    G->SetCellAngle(ExpandedHeight);
    G->SetCellVar(Variant(false));
    G->SetCellIndex(ARow >= 0 && ARow < GetRowCount() ? GetRowHeights(ARow) : GetDefaultRowHeight());
}

void TDedOzovedUrad::RemoveExpand(int ACol, int ARow) { RemoveCellGraphic(ACol, ARow, ctExpand); }

namespace {

bool VariantTrue(const Variant& V)
{
    if (V.IsEmpty() || V.IsNull())
        return false;
    try {
        return V.AsBoolean();
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

bool TDedOzovedUrad::ToggleExpand(int ACol, int ARow)
{
    const TPoint B = BaseCell(ACol, ARow);
    TCellGraphic* G = GetCellGraphic(B.X, B.Y);
    if (!G)
        return false;
    const bool Now = !VariantTrue(G->GetCellVar());
    G->SetCellVar(Variant(Now));
    return Now;
}

bool TDedOzovedUrad::GetExpandState(int ACol, int ARow)
{
    const TPoint B = BaseCell(ACol, ARow);
    const TCellGraphic* G = GetCellGraphic(B.X, B.Y);
    return G && VariantTrue(G->GetCellVar());
}

int TDedOzovedUrad::GetExpandHeight(int ACol, int ARow, bool Expanded)
{
    const TPoint B = BaseCell(ACol, ARow);
    const TCellGraphic* G = GetCellGraphic(B.X, B.Y);
    if (!G)
        return GetDefaultRowHeight();
    return Expanded ? G->GetCellAngle() : G->GetCellIndex();
}

int TDedOzovedUrad::ExpandedRowHeight(int ACol, int ARow, bool Expanded)
{
    return HasExpand(ACol, ARow) ? GetExpandHeight(ACol, ARow, Expanded) : -1;
}

TRect TDedOzovedUrad::ExpandButtonRect(int ACol, int ARow)
{
    if (!HasExpand(RealColIndex(TDisplayCol(ACol)).Value, ARow))
        return TRect();
    const TRect Cell = CellRect(ACol, ARow);
    return TRect(Cell.Right - 13, Cell.Top + 2, Cell.Right - 2, Cell.Top + 13);
}

// ---- balloons ----

void TDedOzovedUrad::AddBalloon(int ACol, int ARow, const String& Title, const String& Text, TBalloonIcon Icon)
{
    TCellGraphic* G = GetCellGraphic(ACol, ARow);
    if (!G) {
        G = CreateCellGraphic(ACol, ARow);
        G->SetCellType(ctBalloon);
        G->SetCellBalloon(Title, Text, int(Icon));
        return;
    }
    switch (G->GetCellType()) {
    case ctBalloon:
    case ctIcon:
    case ctCheckBox:
    case ctDataCheckBox:
    case ctRadioButton: G->SetCellBalloon(Title, Text, int(Icon)); break;
    default: break;
    }
}

void TDedOzovedUrad::RemoveBalloon(int ACol, int ARow)
{
    TCellGraphic* G = GetCellGraphic(ACol, ARow);
    if (!G)
        return;
    if (G->HasBalloonMark())
        G->RemoveCellBalloon();
    else
        RemoveCellGraphic(ACol, ARow, ctBalloon);
}

bool TDedOzovedUrad::IsBalloon(int ACol, int ARow, String& ATitle, String& AText, int& AIcon)
{
    const TCellGraphic* G = GetCellGraphic(ACol, ARow);
    if (!G)
        return false;
    switch (G->GetCellType()) {
    case ctBalloon:
    case ctIcon:
    case ctCheckBox:
    case ctDataCheckBox:
    case ctRadioButton: break;
    default: return false;
    }
    const TCellBalloonData* B = G->GetCellBalloon();
    if (!B)
        return false;
    ATitle = B->Title;
    AText = B->Text;
    AIcon = B->Icon;
    return true;
}
