// The views of the string grid's cell store (by real row, raw, wide, by
// display column, by original column, by unsorted row), the user objects
// and widths by real index, and the per-cell attributes as indexed
// properties with their row and rectangle setters.

#include "grid/core/ControlList.h"
#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridUtils.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/MathUtils.h"

namespace {

// Pixels per inch the cell font heights are measured in: the grid canvas'
// once the window exists, the screen's standard density before.
int FontPixelsPerInch(TDedOzovedUrad& Grid)
{
    if (Grid.HandleAllocated())
        if (const int Dpi = GetDeviceCaps(Grid.GetCanvas()->GetHandle(), LOGPIXELSY); Dpi > 0)
            return Dpi;
    return 96;
}

} // namespace

// ---- text by real row ----

// Hidden rows keep their cells in the store's item; reading beyond the
// saved texts answers empty, writing pads them, and only stored columns
// (0 .. AllColCount - 1) are reached either way.
TStrings* TDedOzovedUrad::HiddenRowCells(TGridItem* Item, int c)
{
    TStrings* Cells = Item->GetItems();
    while (Cells->GetCount() <= c)
        Cells->Add(String());
    return Cells;
}

String TDedOzovedUrad::GetCellsEx(int c, int r)
{
    if (c < 0 || r < 0)
        return String();
    if (TGridItem* Item = HiddenRowItem(r)) {
        TStrings* Cells = Item->GetItems();
        if (c >= GetAllColCount() || c >= Cells->GetCount())
            return String();
        String Value = Cells->GetStrings(c);
        FormatDisplayText(c, r, Value);
        return Value;
    }
    return GetCellEx(c, RealToDisplayRow(TRealRow(r)).Value);
}

void TDedOzovedUrad::SetCellsEx(int c, int r, const String& Value)
{
    if (TGridItem* Item = HiddenRowItem(r)) {
        if (c >= 0 && c < GetAllColCount())
            HiddenRowCells(Item, c)->SetStrings(c, Value);
        return;
    }
    const int Row = RealToDisplayRow(TRealRow(r)).Value;
    SetCellEx(c, Row, Value);
    // SetCellEx repaints column c as shown; with hidden columns before it
    // the cell is shown further left.
    const int Shown = RealToDisplayCol(TRealCol(c)).Value;
    if (Shown != c)
        RepaintCell(Shown, Row);
}

String TDedOzovedUrad::GetGridCellsEx(int c, int r)
{
    if (c < 0 || r < 0)
        return String();
    if (TGridItem* Item = HiddenRowItem(r)) {
        TStrings* Cells = Item->GetItems();
        return c < GetAllColCount() && c < Cells->GetCount() ? Cells->GetStrings(c) : String();
    }
    return GetGridCell(c, RealToDisplayRow(TRealRow(r)).Value);
}

void TDedOzovedUrad::SetGridCellsEx(int c, int r, const String& Value)
{
    if (TGridItem* Item = HiddenRowItem(r)) {
        if (c >= 0 && c < GetAllColCount())
            HiddenRowCells(Item, c)->SetStrings(c, Value);
        return;
    }
    SetGridCell(c, RealToDisplayRow(TRealRow(r)).Value, Value);
}

String TDedOzovedUrad::GetWideCellsEx(int c, int r) { return VuzEraz::DecodeWideCellText(GetCellsEx(c, r)); }
String TDedOzovedUrad::GetWideCells(int c, int r) { return VuzEraz::DecodeWideCellText(GetCellEx(c, r)); }

// ---- original columns and unsorted rows ----

int TDedOzovedUrad::ColumnPosition(int ACol) const
{
    if (FColumnOrder->Count() == 0)
        return ACol;
    int Position = ACol;
    const int Last = std::min(GetAllColCount(), FColumnOrder->Count());
    for (int i = 0; i < Last; ++i)
        if (FColumnOrder->GetInteger(i) == ACol) {
            Position = i;
            break;
        }
    // The group column is taken out of view.
    if (FGroupColumn != -1 && ACol >= FGroupColumn)
        --Position;
    return Position;
}

int TDedOzovedUrad::OriginalColumn(int c) const
{
    const int Position = ColumnPosition(c);
    return Position == -1 ? c : Position;
}

int TDedOzovedUrad::UnSortedCellRow(int r) const
{
    const int Count = FSortRowXRef->Count();
    if (Count == 0 || Count < r)
        return r;
    for (int i = 0; i < Count; ++i)
        if (FSortRowXRef->GetInteger(i) == r)
            return i;
    return Count;
}

int TDedOzovedUrad::SortedRowIndex(int ARow) const
{
    return ARow >= 0 && ARow < FSortRowXRef->Count() ? FSortRowXRef->GetInteger(ARow) : ARow;
}

int TDedOzovedUrad::UnSortedRowIndex(int ARow) const
{
    const int Count = FSortRowXRef->Count();
    if (Count == 0)
        return ARow;
    for (int i = 0; i < Count; ++i)
        if (FSortRowXRef->GetInteger(i) == ARow)
            return i;
    return Count;
}

// ---- objects and widths by real index ----

TObject* TDedOzovedUrad::GetObjectsEx(int c, int r)
{
    if (TGridItem* Item = HiddenRowItem(r)) {
        TStrings* Cells = Item->GetItems();
        if (c < 0 || c >= GetAllColCount() || c >= Cells->GetCount())
            return nullptr;
        TObject* Saved = Cells->GetObjects(c);
        if (auto* Props = dynamic_cast<TCellProperties*>(Saved))
            return Props->GetCellObject();
        return Saved; // a plain object kept there as it is
    }
    return GetObjectEx(c, RealToDisplayRow(TRealRow(r)).Value);
}

void TDedOzovedUrad::SetObjectsEx(int c, int r, TObject* Value)
{
    if (TGridItem* Item = HiddenRowItem(r)) {
        if (c < 0 || c >= GetAllColCount())
            return;
        TStrings* Cells = HiddenRowCells(Item, c);
        if (auto* Props = dynamic_cast<TCellProperties*>(Cells->GetObjects(c))) {
            Props->SetCellObject(Value);
            return;
        }
        TCellProperties* Props = NewCellProperties(c, r);
        Props->SetCellObject(Value);
        Cells->SetObjects(c, Props);
        return;
    }
    SetObjectEx(c, RealToDisplayRow(TRealRow(r)).Value, Value);
}

int TDedOzovedUrad::GetAllColWidths(int c) const
{
    if (IsHiddenColumn(c) && c < int(FAllColWidths.size()))
        return FAllColWidths[std::size_t(c)];
    const int Shown = RealToDisplayCol(TRealCol(c)).Value;
    return Shown >= 0 && Shown < GetColCount() ? GetColWidths(Shown) : GetDefaultColWidth();
}

void TDedOzovedUrad::SetAllColWidths(int c, int Value)
{
    if (c >= 0 && c < int(FAllColWidths.size()))
        FAllColWidths[std::size_t(c)] = Value;
    if (IsHiddenColumn(c))
        return;
    const int Shown = RealToDisplayCol(TRealCol(c)).Value;
    if (Shown >= 0 && Shown < GetColCount())
        SetColWidths(Shown, Value);
}

// ---- per-cell attributes ----

void TDedOzovedUrad::RepaintAttributeCell(int c, int r)
{
    if (FUpdateCount == 0)
        RepaintCell(DisplColIndex(TRealCol(c)).Value, r);
}

TColor TDedOzovedUrad::GetColors(int c, int r) const
{
    const TCellProperties* p = PropertiesAt(c, r);
    return p ? p->GetBrushColor() : clNone;
}

void TDedOzovedUrad::SetColors(int c, int r, TColor Value)
{
    GetCellProperties(c, r)->SetBrushColor(Value);
    RepaintAttributeCell(c, r);
}

TColor TDedOzovedUrad::GetColorsTo(int c, int r) const
{
    const TCellProperties* p = PropertiesAt(c, r);
    return p ? p->GetBrushColorTo() : clNone;
}

void TDedOzovedUrad::SetColorsTo(int c, int r, TColor Value)
{
    GetCellProperties(c, r)->SetBrushColorTo(Value);
    RepaintCell(DisplColIndex(TRealCol(c)).Value, r);
}

TCellGradientDirection TDedOzovedUrad::GetGradients(int c, int r) const
{
    const TCellProperties* p = PropertiesAt(c, r);
    return p ? p->GetGradientDirection() : GradientVertical;
}

void TDedOzovedUrad::SetGradients(int c, int r, TCellGradientDirection Value)
{
    GetCellProperties(c, r)->SetGradientDirection(Value);
    RepaintCell(DisplColIndex(TRealCol(c)).Value, r);
}

TColor TDedOzovedUrad::GetFontColors(int c, int r) const
{
    const TCellProperties* p = PropertiesAt(c, r);
    return p ? p->GetFontColor() : clNone;
}

void TDedOzovedUrad::SetFontColors(int c, int r, TColor Value)
{
    GetCellProperties(c, r)->SetFontColor(Value);
    RepaintAttributeCell(c, r);
}

TFontStyles TDedOzovedUrad::GetFontStyles(int c, int r) const
{
    const TCellProperties* p = PropertiesAt(c, r);
    return p ? p->GetFontStyle() : TFontStyles {};
}

void TDedOzovedUrad::SetFontStyles(int c, int r, TFontStyles Value)
{
    GetCellProperties(c, r)->SetFontStyle(Value);
    RepaintAttributeCell(c, r);
}

int TDedOzovedUrad::GetFontSizes(int c, int r)
{
    const TCellProperties* p = PropertiesAt(c, r);
    const int Height = p ? p->GetFontSize() : GetFont()->GetHeight();
    return MulDiv(-Height, 72, FontPixelsPerInch(*this));
}

void TDedOzovedUrad::SetFontSizes(int c, int r, int Value)
{
    const int Dpi = HandleAllocated() ? FontPixelsPerInch(*this) : 96;
    GetCellProperties(c, r)->SetFontSize(-MulDiv(Value, Dpi, 72));
    RepaintAttributeCell(c, r);
}

String TDedOzovedUrad::GetFontNames(int c, int r) const
{
    const TCellProperties* p = PropertiesAt(c, r);
    return p ? p->GetFontName() : GetFont()->GetName();
}

void TDedOzovedUrad::SetFontNames(int c, int r, const String& Value)
{
    GetCellProperties(c, r)->SetFontName(Value);
    RepaintAttributeCell(c, r);
}

TFont* TDedOzovedUrad::GetFonts(int c, int r)
{
    const TCellProperties* p = PropertiesAt(c, r);
    if (!p)
        return GetFont();
    FScratchFont->SetName(p->GetFontName());
    FScratchFont->SetHeight(p->GetFontSize());
    FScratchFont->SetStyle(p->GetFontStyle());
    FScratchFont->SetColor(p->GetFontColor());
    return FScratchFont.get();
}

void TDedOzovedUrad::SetFonts(int c, int r, TFont* Value)
{
    if (!Value)
        return;
    TCellProperties* p = GetCellProperties(c, r);
    p->SetFontName(Value->GetName());
    p->SetFontSize(Value->GetHeight());
    p->SetFontStyle(Value->GetStyle());
    p->SetFontColor(Value->GetColor());
    RepaintAttributeCell(c, r);
}

TAlignment TDedOzovedUrad::GetAlignments(int c, int r) const
{
    const TCellProperties* p = PropertiesAt(c, r);
    return p ? p->GetAlignment() : taLeftJustify;
}

void TDedOzovedUrad::SetAlignments(int c, int r, TAlignment Value)
{
    GetCellProperties(c, r)->SetAlignment(Value);
    RepaintAttributeCell(c, r);
}

bool TDedOzovedUrad::GetWordWraps(int c, int r) { return GetCellProperties(c, r)->GetWordWrap(); }

void TDedOzovedUrad::SetWordWraps(int c, int r, bool Value)
{
    GetCellProperties(c, r)->SetWordWrap(Value);
    RepaintAttributeCell(c, r);
}

bool TDedOzovedUrad::GetReadOnly(int c, int r) const
{
    const TCellProperties* p = PropertiesAt(c, r);
    return p && p->GetReadOnly();
}

void TDedOzovedUrad::SetReadOnly(int c, int r, bool Value)
{
    GetCellProperties(c, r)->SetReadOnly(Value);
    RepaintAttributeCell(c, r);
}

// ---- cell controls ----

TControl* TDedOzovedUrad::GetCellControls(int c, int r) const
{
    const TCellProperties* p = PropertiesAt(c, r);
    return p ? p->GetControl() : nullptr;
}

// The control list keys a cell by real row, on the way in and out.
void TDedOzovedUrad::SetCellControls(int c, int r, TControl* Value)
{
    const int Row = RealRowIndex(TDisplayRow(r)).Value;
    if (!Value) {
        TCellProperties* p = PropertiesAt(c, r);
        if (!p)
            return;
        if (p->GetControl()) {
            if (const int i = FControlList->ControlIndex(c, Row); i >= 0)
                FControlList->RemoveControl(i);
            FNumCellControls = std::max(0, FNumCellControls - 1);
        }
        p->SetControl(nullptr);
        RepaintAttributeCell(c, r);
        return;
    }
    TCellProperties* p = GetCellProperties(c, r);
    for (int i = FControlList->ControlIndex(c, Row); i >= 0; i = FControlList->ControlIndex(c, Row))
        FControlList->RemoveControl(i);
    if (!p->GetControl())
        ++FNumCellControls;
    if (p->GetControl() != Value)
        HookCellControl(Value);
    FControlList->AddControl(c, Row, Value);
    p->SetControl(Value);
    Value->SetParent(this);
    const TRect Cell = CellRect(DisplColIndex(TRealCol(c)).Value, r);
    Value->SetBounds(Cell.Left, Cell.Top, std::max(0, Cell.Width() - 1), std::max(0, Cell.Height() - 1));
}

// ---- whole rows ----

// True when the properties of (c, r) hold nothing a cell without them
// would not show: no object, control, merge or calculation, and every
// attribute as a new properties object gets it (a colour may also be
// unset).
bool TDedOzovedUrad::HoldsOnlyDefaults(int c, int r, const TCellProperties& p)
{
    if (p.GetGraphicObject() || p.GetCellObject() || p.GetControl() || p.GetCalcObject() || p.GetCalcType() != acNONE
        || p.GetMergeCollaps() || IsMergedCell(c, r))
        return false;
    // What new properties of the cell get, made the way GetCellProperties
    // makes them: with a blank properties object in the slot meanwhile.
    TObject* Slot = GetStoredObject(c, r);
    TCellProperties Blank(this, c, r);
    Blank.SetAlignment(DefaultCellAlignment());
    SetStoredObject(c, r, &Blank);
    std::unique_ptr<TCellProperties> Fresh;
    try {
        Fresh.reset(NewCellProperties(c, r));
    } catch (...) {
        SetStoredObject(c, r, Slot);
        throw;
    }
    SetStoredObject(c, r, Slot);
    auto Unset = [](TColor v, TColor Default) { return v == clNone || v == Default; };
    return Unset(p.GetBrushColor(), Fresh->GetBrushColor()) && Unset(p.GetBrushColorTo(), Fresh->GetBrushColorTo())
        && Unset(p.GetFontColor(), Fresh->GetFontColor()) && p.GetBrushStyle() == Fresh->GetBrushStyle()
        && p.GetAlignment() == Fresh->GetAlignment() && p.GetVAlignment() == Fresh->GetVAlignment()
        && p.GetWordWrap() == Fresh->GetWordWrap() && p.GetFontName() == Fresh->GetFontName()
        && p.GetFontSize() == Fresh->GetFontSize() && p.GetFontStyle() == Fresh->GetFontStyle()
        && p.GetGradientDirection() == Fresh->GetGradientDirection() && p.GetBorderWidth() == Fresh->GetBorderWidth()
        && p.GetBorderColor() == Fresh->GetBorderColor() && p.GetEditor() == Fresh->GetEditor()
        && p.GetReadOnly() == Fresh->GetReadOnly() && p.GetNodeLevel() == Fresh->GetNodeLevel();
}

void TDedOzovedUrad::ResetRowColour(int r, void (TCellProperties::*Reset)(TColor))
{
    for (int c = GetFixedCols(); c < GetAllColCount(); ++c) {
        TCellProperties* p = PropertiesAt(c, r);
        if (!p)
            continue;
        (p->*Reset)(clNone);
        if (HoldsOnlyDefaults(c, r, *p))
            FreeCellProperties(c, r);
    }
}

void TDedOzovedUrad::SetRowColor(int r, TColor Value)
{
    if (Value == clNone)
        ResetRowColour(r, &TCellProperties::SetBrushColor);
    else
        for (int c = GetFixedCols(); c < GetAllColCount(); ++c)
            GetCellProperties(c, r)->SetBrushColor(Value);
    RepaintRow(r);
}

void TDedOzovedUrad::SetRowColorTo(int r, TColor Value)
{
    if (Value == clNone)
        ResetRowColour(r, &TCellProperties::SetBrushColorTo);
    else
        for (int c = GetFixedCols(); c < GetAllColCount(); ++c)
            GetCellProperties(c, r)->SetBrushColorTo(Value);
    RepaintRow(r);
}

void TDedOzovedUrad::SetRowFontColor(int r, TColor Value)
{
    if (Value == clNone)
        ResetRowColour(r, &TCellProperties::SetFontColor);
    else
        for (int c = GetFixedCols(); c < GetAllColCount(); ++c)
            GetCellProperties(c, r)->SetFontColor(Value);
    RepaintRow(r);
}

// ---- rectangles ----

template<class Apply>
void TDedOzovedUrad::ForEachCell(const TGridRect& GridRect, Apply Fn)
{
    for (int c = GridRect.Left; c <= GridRect.Right; ++c)
        for (int r = GridRect.Top; r <= GridRect.Bottom; ++r)
            Fn(c, r);
}

void TDedOzovedUrad::SetCellColor(const TGridRect& GridRect, TColor AColor)
{
    ForEachCell(GridRect, [&](int c, int r) { SetColors(c, r, AColor); });
}

void TDedOzovedUrad::SetCellTextColor(const TGridRect& GridRect, TColor AColor)
{
    ForEachCell(GridRect, [&](int c, int r) { SetFontColors(c, r, AColor); });
}

void TDedOzovedUrad::SetCellFontName(const TGridRect& GridRect, const String& AName)
{
    ForEachCell(GridRect, [&](int c, int r) { SetFontNames(c, r, AName); });
}

void TDedOzovedUrad::SetCellFontSize(const TGridRect& GridRect, int ASize)
{
    ForEachCell(GridRect, [&](int c, int r) { SetFontSizes(c, r, ASize); });
}

void TDedOzovedUrad::SetAlignment(const TGridRect& GridRect, TAlignment AAlignment)
{
    ForEachCell(GridRect, [&](int c, int r) { SetAlignments(c, r, AAlignment); });
}

void TDedOzovedUrad::SetFontStyle(const TGridRect& GridRect, TFontStyle AStyle, bool DoSet)
{
    ForEachCell(GridRect, [&](int c, int r) {
        const TFontStyles Styles = GetFontStyles(c, r);
        SetFontStyles(c, r, DoSet ? Styles + AStyle : Styles - AStyle);
    });
}

bool TDedOzovedUrad::IsAlignment(const TGridRect& GridRect, TAlignment AAlignment) const
{
    for (int c = GridRect.Left; c <= GridRect.Right; ++c)
        for (int r = GridRect.Top; r <= GridRect.Bottom; ++r)
            if (GetAlignments(c, r) != AAlignment)
                return false;
    return true;
}

bool TDedOzovedUrad::IsFontStyle(const TGridRect& GridRect, TFontStyle AStyle) const
{
    for (int c = GridRect.Left; c <= GridRect.Right; ++c)
        for (int r = GridRect.Top; r <= GridRect.Bottom; ++r)
            if (!GetFontStyles(c, r).Contains(AStyle))
                return false;
    return true;
}
