// What the string grid asks about one cell: whether it is fixed, may be
// edited, which editor kind it has and which buttons it shows unedited,
// whether it masks its text; the look a cell's new properties start from;
// rich text between a cell and a rich edit.

#include <algorithm>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/LumRichEdit.h"
#include "platform/rtl/MathUtils.h"

namespace {

// Sets a flag for one scope and puts the old value back.
struct TFlagValue {
    bool& Flag;
    bool Old;
    TFlagValue(bool& F, bool Value) : Flag(F), Old(F) { Flag = Value; }
    ~TFlagValue() { Flag = Old; }
};

bool IsComboKind(TEditorType Kind)
{
    switch (Kind) {
    case edComboEdit:
    case edComboList:
    case edDetailDropDown:
    case edGridDropDown:
    case edRirEvozDropDown:
        return true;
    default:
        return false;
    }
}

bool IsSpinKind(TEditorType Kind)
{
    return Kind == edSpinEdit || Kind == edFloatSpinEdit || Kind == edTimeSpinEdit || Kind == edDateSpinEdit;
}

} // namespace

// ---- fixed cells ----

bool TDedOzovedUrad::IsFixed(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0)
        return false;
    // A merged area is as fixed as its base cell.
    const TPoint Base = BaseCell(RealColIndex(TDisplayCol(ACol)).Value, ARow);
    const int Col = DisplColIndex(TRealCol(Base.X)).Value;
    const int Row = Base.Y;
    if (Row >= GetRowCount() - FFixedFooters)
        return true;
    if (Col >= GetColCount() - FFixedRightCols && Col <= GetColCount() - 1)
        return true;
    bool Fixed = false;
    DoIsFixedCell(Col, Row, Fixed);
    return Fixed;
}

void TDedOzovedUrad::DoIsFixedCell(int ACol, int ARow, bool& IsFixed)
{
    // A grid held at its fixed lines alone (FixedRowAlways, FixedColAlways)
    // has nothing but fixed cells.
    IsFixed = IsFixed || ACol < GetFixedCols() || ARow < GetFixedRows()
        || (FFixedRowAlways && GetRowCount() <= FFixedRowsMin) || (FFixedColAlways && GetColCount() <= FFixedColsMin);
    if (!IsFixed && OnIsFixedCell)
        OnIsFixedCell(this, ARow, ACol, IsFixed);
}

// ---- editing ----

void TDedOzovedUrad::CanEditCell(int ACol, int ARow, bool& Allow)
{
    const TPoint Base = BaseCell(ACol, ARow);
    const bool InRange = Base.X < GetAllColCount();
    if (const TCellProperties* p = PropertiesAt(Base.X, Base.Y); p && Allow) {
        Allow = !p->GetReadOnly();
        if (!GetOptions().Contains(goEditing) && !FEditDisable && !FMouseActions->GetRangeSelectAndEdit())
            Allow = false;
        if (InRange)
            DoCanEditCell(Base.X, Base.Y, Allow);
    } else if (InRange) {
        DoCanEditCell(Base.X, Base.Y, Allow);
    } else {
        Allow = true;
    }
}

void TDedOzovedUrad::DoCanEditCell(int ACol, int ARow, bool& CanEdit)
{
    if (OnCanEditCell)
        OnCanEditCell(this, ARow, ACol, CanEdit);
}

void TDedOzovedUrad::DoGetEditorType(int ACol, int ARow, TEditorType& AEditor)
{
    if (OnGetEditorType)
        OnGetEditorType(this, ACol, ARow, AEditor);
}

void TDedOzovedUrad::DoGetEditorTypeForSpin(int ACol, int ARow, TEditorType& AEditor)
{
    if (OnGetEditorType)
        OnGetEditorType(this, ACol, ARow, AEditor);
}

bool TDedOzovedUrad::HasCellComboBox(int ACol, int ARow, TEditorType AEditor)
{
    if (OnHasComboBox) {
        bool Has = false;
        OnHasComboBox(this, ACol, ARow, Has);
        return Has;
    }
    if (!FControlLook->GetDropDownAlwaysVisible())
        return false;
    TEditorType Kind = AEditor;
    if (Kind == edNone) {
        Kind = FDefaultEditor;
        DoGetEditorType(ACol, ARow, Kind);
    }
    return IsComboKind(Kind) || (Kind == edCustom && EditLinkDropDown());
}

bool TDedOzovedUrad::HasCellEditBtn(int ACol, int ARow, TEditorType AEditor)
{
    if (OnHasEditBtn) {
        bool Has = false;
        OnHasEditBtn(this, ACol, ARow, Has);
        return Has;
    }
    if (!FControlLook->GetDropDownAlwaysVisible())
        return false;
    TEditorType Kind = AEditor;
    if (Kind == edNone) {
        Kind = FDefaultEditor;
        DoGetEditorType(ACol, ARow, Kind);
    }
    return Kind == edEditBtn;
}

bool TDedOzovedUrad::HasCellSpinEdit(int ACol, int ARow, TEditorType AEditor)
{
    if (ACol < GetFixedCols() || ARow < GetFixedRows())
        return false;
    if (OnHasSpinEdit) {
        bool Has = false;
        OnHasSpinEdit(this, ACol, ARow, Has);
        return Has;
    }
    if (!FControlLook->GetSpinButtonsAlwaysVisible())
        return false;
    TEditorType Kind = AEditor;
    if (Kind == edNone) {
        Kind = FDefaultEditor;
        DoGetEditorTypeForSpin(ACol, ARow, Kind);
    }
    return IsSpinKind(Kind);
}

bool TDedOzovedUrad::HasCellFilterEdit(int ACol, int ARow)
{
    bool Has = FFilterEdit->GetEnabled() && ARow == FFilterEdit->GetRow();
    if (Has && FFilterEdit->GetColumns() == fdNormal)
        Has = ACol >= GetFixedCols() && ACol < GetAllColCount() - FFixedRightCols;
    if (Has && OnHasFilterEdit)
        OnHasFilterEdit(this, ACol, Has);
    return Has;
}

void TDedOzovedUrad::DoIsPasswordCell(int ACol, int ARow, bool& IsPassword)
{
    if (OnIsPasswordCell)
        OnIsPasswordCell(this, ARow, ACol, IsPassword);
}

// ---- the look new properties start from ----

void TDedOzovedUrad::GetCellDefaults(int ACol, int ARow, TFont* AFont, TBrush* ABrush, TColor& AColorTo,
    TColor& AMirrorColor, TColor& AMirrorColorTo, TAlignment& HA, TVAlignment& VA, bool& WW,
    TCellGradientDirection& GD)
{
    // What the look resolution leaves alone keeps the base grid's answer.
    TBaseGrid::GetCellDefaults(ACol, ARow, AFont, ABrush, AColorTo, AMirrorColor, AMirrorColorTo, HA, VA, WW, GD);
    TGridDrawState State;
    {
        // A disabled row's grey is no colour of the cell's own.
        TFlagValue NoDisabledFont(FUseDisabledFont, false);
        GetVisualProperties(ACol, ARow, State, false, false, false, ABrush, AColorTo, AMirrorColor, AMirrorColorTo,
            AFont, HA, VA, WW, GD);
    }
    // Colours that come from where the cell stands, not from the cell: they
    // must not stick to it.
    const int Shown = DisplColIndex(TRealCol(ACol)).Value;
    const TGridRect Sel = GetSelection();
    const bool Selected = State.Contains(gdSelected)
        || (Shown >= std::min(Sel.Left, Sel.Right) && Shown <= std::max(Sel.Left, Sel.Right)
            && ARow >= std::min(Sel.Top, Sel.Bottom) && ARow <= std::max(Sel.Top, Sel.Bottom));
    const TBackGroundDisplay Display = FBackGround->GetDisplay();
    if (IsFixed(Shown, ARow) || FBands->GetActive() || Display == bdGradientHorz || Display == bdGradientVert
        || Selected) {
        ABrush->SetColor(clNone);
        AColorTo = clNone;
    }
    AFont->SetHeight(int(RoundHalfEven(AFont->GetHeight() * FDPIScale)));
}

// ---- rich text ----

TLumRichEdit* TDedOzovedUrad::GetRichEdit()
{
    if (!FRichEdit) {
        FRichEdit = new TLumRichEdit(this);
        FRichEdit->SetVisible(false);
        FRichEdit->SetParent(this);
    }
    return FRichEdit;
}

void TDedOzovedUrad::CellToRich(int Col, int Row, TCustomRichEdit* Richeditor)
{
    if (!Richeditor)
        return;
    const String Text = GetCellEx(Col, Row);
    if (Text.empty())
        Richeditor->SetDocument(TRichDocument {});
    else
        Richeditor->SetRtf(StringToAnsi(Text));
}

String TDedOzovedUrad::RichToString(TCustomRichEdit* Richeditor)
{
    if (!Richeditor || TBaseGrid::IsDestroying())
        return String();
    String Rich = AnsiToString(Richeditor->GetRtf());
    std::erase(Rich, Char(0));
    return Rich;
}
