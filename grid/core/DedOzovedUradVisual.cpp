// The look of one cell: which background, gradient, font, alignment and
// word wrap it is painted, measured and printed with. Many sources compete
// for a cell's look; GetVisualProperties applies them in a fixed order and
// the last writer wins. Also the small dispatchers the painters ask (cell
// colour, alignment, word wrap, borders), each the grid's answer followed by
// its event.

#include "grid/core/DedOzovedUrad.h"

#include <cmath>
#include <cstdlib>

#include "grid/core/GridPainters.h"
#include "grid/core/GridUtils.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Themes.h"

namespace {

// Kinds whose own brush colour the colour hook gives back after the fixed
// look took it away.
bool KeepsBrushInColorHook(TCellType Kind)
{
    switch (Kind) {
    case ctIcon:
    case ctNone:
    case ctImageList:
    case ctCheckBox:
    case ctEmpty:
    case ctImages:
    case ctComment:
    case ctRadioButton: return true;
    default: return false;
    }
}

void ApplyCellFont(const TCellProperties* Props, TFont* AFont, bool WithSizeAndName)
{
    if (Props->GetFontColor() != clNone)
        AFont->SetColor(Props->GetFontColor());
    if (!Props->GetFontStyle().Empty())
        AFont->SetStyle(Props->GetFontStyle());
    if (!WithSizeAndName)
        return;
    if (Props->GetFontSize() != 0)
        AFont->SetHeight(Props->GetFontSize());
    if (!Props->GetFontName().empty())
        AFont->SetName(Props->GetFontName());
}

// The value of a number text, decimal and thousand separators as the locale
// writes them; 0 when it does not read as a number.
double CellNumber(const String& Text)
{
    const std::string Invariant = StringToUtf8(VuzEraz::NumberToInvariantText(Trim(Text)));
    char* End = nullptr;
    const double v = std::strtod(Invariant.c_str(), &End);
    return std::isfinite(v) ? v : 0;
}

} // namespace

// ---- colour mixing ----

TColor TDedOzovedUrad::MixColors(TColor AColor, TColor ABase, int Percent)
{
    if (Percent >= 100)
        return AColor;
    if (Percent <= 0 || AColor == clNone)
        return ABase;
    if (ABase == clNone)
        return AColor;
    const TColor C = ColorToRGB(AColor), B = ColorToRGB(ABase);
    const double p = Percent / 100.0;
    auto Channel = [p](int c, int b) { return BYTE(std::min(255, int(RoundHalfEven(p * c + (1 - p) * b)))); };
    return TColor(RGB(Channel(GetRValue(C), GetRValue(B)), Channel(GetGValue(C), GetGValue(B)),
        Channel(GetBValue(C), GetBValue(B))));
}

TColor TDedOzovedUrad::SelectionMixColor(TColor ASelection, TColor ACell, bool Mixer, int Factor)
{
    return Mixer ? MixColors(ASelection, ACell, Factor) : ASelection;
}

bool TDedOzovedUrad::SelectionShown()
{
    return FShowSelection && GetSelectionColor() != clNone && (!GetAutoHideSelection() || Focused());
}

// ---- small queries ----

bool TDedOzovedUrad::StyledDrawingActive()
{
    return FUseStyleServices && TStyleManager::IsCustomStyleActive() && GetStyleElements().Contains(seClient);
}

bool TDedOzovedUrad::UsesStyledDrawing() { return StyledDrawingActive(); }

bool TDedOzovedUrad::IsCellColSelected(int RCol) const
{
    return RCol >= 0 && RCol < int(FColSelect.size()) && FColSelect[std::size_t(RCol)];
}

bool TDedOzovedUrad::IsCellRowSelected(int RRow) const
{
    return RRow >= 0 && RRow < int(FRowSelect.size()) && FRowSelect[std::size_t(RRow)];
}

bool TDedOzovedUrad::IsRowDisabled(int RRow) const
{
    return RRow >= 0 && RRow < FEnabledRows->GetCount() && FEnabledRows->GetInteger(RRow) == 1;
}

bool TDedOzovedUrad::IsHoverFixedCell(int ACol, int ARow)
{
    const THoverFixedCells Hover = GetHoverFixedCells();
    if (Hover == hfNone)
        return false;
    const bool InFixedCols = ACol < GetFixedCols(), InFixedRows = ARow < GetFixedRows();
    bool IsFixedCell = (InFixedCols && (Hover == hfAll || Hover == hfFixedColumns))
        || (InFixedRows && (Hover == hfAll || Hover == hfFixedRows));
    if (OnIsFixedHoverCell)
        OnIsFixedHoverCell(this, ARow, ACol, IsFixedCell);
    return IsFixedCell;
}

// ---- dispatchers ----

void TDedOzovedUrad::AssignBaseFont(TFont* AFont, bool Fixed, bool Scale)
{
    if (Fixed && GetUseFixedFont()) {
        AFont->Assign(FFixedFont.get());
        return;
    }
    AFont->Assign(GetFont());
    if (Scale && FDPIScale != 0 && FDPIScale != 1.0)
        AFont->SetHeight(int(RoundHalfEven(AFont->GetHeight() / FDPIScale)));
}

void TDedOzovedUrad::GetCellColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont)
{
    const int FixedCols = GetFixedCols(), FixedRows = GetFixedRows();
    if (GetActiveCellShow()) {
        const bool RowHeader = FixedCols > 0 && DisplColIndex(TRealCol(ACol)).Value == FixedCols - 1 && ARow == GetRow();
        const bool ColHeader = FixedRows > 0 && ARow == FixedRows - 1 && DisplColIndex(TRealCol(ACol)).Value == GetCol();
        if (RowHeader || ColHeader) {
            AFont->Assign(FActiveCellFont.get());
            ABrush->SetColor(GetActiveCellColor());
        }
    }
    if (const TCellProperties* Props = PropertiesAt(ACol, ARow)) {
        if (KeepsBrushInColorHook(GetCellType(ACol, ARow)) && Props->GetBrushColor() != clNone)
            ABrush->SetColor(Props->GetBrushColor());
        ApplyCellFont(Props, AFont, true);
    } else if (FDPIScale != 0 && FDPIScale != 1.0) {
        AFont->SetHeight(int(RoundHalfEven(AFont->GetHeight() * FDPIScale)));
    }
    if (OnGetCellColor)
        OnGetCellColor(this, ARow, ACol, AState, ABrush, AFont);
}

void TDedOzovedUrad::DoGetCellPrintColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont)
{
    if (OnGetCellPrintColor)
        OnGetCellPrintColor(this, ARow, ACol, AState, ABrush, AFont);
}

void TDedOzovedUrad::GetCellAlignment(int ACol, int ARow, TAlignment& HAlign, TVAlignment& VAlign)
{
    if (ACol == 0 && FMouseActions->GetHotmailRowSelect())
        HAlign = taCenter;
    if (OnGetAlignment)
        OnGetAlignment(this, ARow, ACol, HAlign, VAlign);
}

void TDedOzovedUrad::DoGetWordWrap(int ACol, int ARow, bool& WordWrap)
{
    if (OnGetWordWrap)
        OnGetWordWrap(this, ACol, ARow, WordWrap);
}

void TDedOzovedUrad::GetCellBorder(int ACol, int ARow, TPen* APen, TCellBorders& Borders)
{
    if (ACol > 0 && HasNodes()) {
        if (IsNode(ARow) && FGrouping->GetHeaderUnderline()) {
            Borders = TCellBorders { cbBottom };
            APen->SetColor(FGrouping->GetHeaderLineColor());
            APen->SetWidth(FGrouping->GetHeaderLineWidth());
        } else if (IsSummary(ARow) && FGrouping->GetSummaryLine()) {
            Borders = TCellBorders { cbTop };
            APen->SetColor(FGrouping->GetSummaryLineColor());
            APen->SetWidth(FGrouping->GetSummaryLineWidth());
        }
    }
    if (OnGetCellBorder)
        OnGetCellBorder(this, ARow, ACol, APen, Borders);
}

// ---- alignment ----

int TDedOzovedUrad::ResolveCellAlignment(int ACol, int ARow)
{
    TAlignment HA = GetDefaultAlignment();
    TVAlignment VA = GetVAlignment();
    if (GetAutoNumAlign()) {
        String Text = GetCellEx(ACol, ARow);
        if (!Text.empty()) {
            const bool WideFormula = Text.size() > 3 && Text[0] == u'|' && Text[1] == u'\\' && Text[3] == u'=';
            if (Text[0] == u'=' || WideFormula)
                Text = FormulaValue(ACol, ARow, Text);
            const unsigned Kind = VuzEraz::GetValueKind(Trim(Text));
            if (Kind == 0 || Kind == 1 || Kind == 5)
                HA = taRightJustify;
        }
    } else if (const TCellProperties* Props = PropertiesAt(ACol, ARow)) {
        HA = Props->GetAlignment();
    }
    GetCellAlignment(ACol, ARow, HA, VA);
    return int(HA) | (int(VA) << 8);
}

// ---- the look ----

void TDedOzovedUrad::GetFontProperties(int ACol, int RCol, int ARow, TGridDrawState& AState, TFont* AFont,
    TBrush* ABrush, bool)
{
    const bool Fixed = IsFixed(ACol, ARow) || ACol < GetFixedCols() || ARow < GetFixedRows();
    AssignBaseFont(AFont, Fixed, true);
    if (const TCellProperties* Props = PropertiesAt(RCol, ARow))
        ApplyCellFont(Props, AFont, true);
    GetCellColor(RCol, ARow, AState, ABrush, AFont);
}

void TDedOzovedUrad::GetVisualProperties(int ACol, int ARow, TGridDrawState& AState, bool Print, bool Select,
    bool Remap, TBrush* ABrush, TColor& AColorTo, TColor& AMirrorColor, TColor& AMirrorColorTo, TFont* AFont,
    TAlignment& HA, TVAlignment& VA, bool& WW, TCellGradientDirection& GD)
{
    const int FixedCols = GetFixedCols(), FixedRows = GetFixedRows();
    const int ColCount = GetColCount(), RowCount = GetRowCount();
    const bool FixedByPosition = ACol < FixedCols || ARow < FixedRows;
    const bool DisplayFont = !Print || PrintUsesDisplayFont();

    // The base font.
    auto PrintFontOr = [this](bool Fixed) -> TFont* {
        TFont* F = PrintFont(Fixed);
        return F ? F : (Fixed ? FFixedFont.get() : GetFont());
    };
    if (DisplayFont)
        AssignBaseFont(AFont, FixedByPosition, true);
    else
        AFont->Assign(PrintFontOr(FixedByPosition && GetUseFixedFont()));

    // Stored column; the real row for row selection and enabled rows.
    const int RCol = Remap ? RealColIndex(TDisplayCol(ACol)).Value : ACol;
    const bool RowLookupsReal = (FMouseActions->GetDisjunctRowSelect() && FMouseActions->GetRowSelectPersistent())
        || FUseEnabledRows;
    const int SelRow = RowLookupsReal ? RealRowIndex(TDisplayRow(ARow)).Value : ARow;

    TColor Brush = clNone;
    AColorTo = AMirrorColor = AMirrorColorTo = clNone;

    // The cell's own properties.
    bool ExplicitColor = false;
    if (const TCellProperties* Props = PropertiesAt(RCol, ARow)) {
        const TCellType Kind = GetCellType(RCol, ARow);
        if (Kind == ctNone || Kind == ctRotated || Kind == ctEmpty) {
            if (Props->GetBrushColor() != clNone) {
                Brush = Props->GetBrushColor();
                ExplicitColor = true;
            }
        } else {
            Brush = Props->GetBrushColor();
        }
        ApplyCellFont(Props, AFont, PrintUsesDisplayFont());
        WW = Props->GetWordWrap();
        AColorTo = Props->GetBrushColorTo();
        GD = Props->GetGradientDirection();
    }
    if (AState.Contains(gdSelected))
        GD = GradientVertical;

    // Grid colour, banding, fixed regions.
    if (Brush == clNone) {
        Brush = GetColor();
        const bool NormalCell = ACol >= FixedCols && ACol < GetAllColCount() - FFixedRightCols && ARow >= FixedRows
            && ARow < RowCount - FFixedFooters;
        if (FBands->GetActive() && (!Print || FBands->GetPrint()) && NormalCell && FBands->GetTotalLength() > 0) {
            if ((ARow - FixedRows) % FBands->GetTotalLength() < FBands->GetPrimaryLength())
                Brush = FBands->GetPrimaryColor();
            else if (!FStyleBkg)
                Brush = FBands->GetSecondaryColor();
        }
        if (FixedByPosition || ACol >= ColCount - FFixedRightCols || ARow >= RowCount - FFixedFooters)
            Brush = GetFixedColor();
    }

    // Fixed cells.
    const bool Fixed = IsFixed(ACol, ARow) || FixedByPosition;
    if (Fixed && !ExplicitColor) {
        Brush = GetFixedColor();
        if (GetUseFixedFont())
            AFont->Assign(DisplayFont ? FFixedFont.get() : PrintFontOr(true));
        AState.Include(gdFixed);
        if (FLook > glClassic && FLook != glListView) {
            Brush = FLumGradFrom;
            AColorTo = FLumGradTo;
            AMirrorColor = FLumGradMirrorFrom;
            AMirrorColorTo = FLumGradMirrorTo;
        }
    }

    // The filter edit row.
    if (ARow == FFilterEdit->GetRow() && HasCellFilterEdit(ACol, ARow)) {
        Brush = FFilterEdit->GetColor();
        AColorTo = AMirrorColor = AMirrorColorTo = Brush;
    }

    // Number colours.
    if (FAutoColor->HasColors()) {
        const String Text = GetCellEx(RCol, ARow);
        const unsigned Kind = VuzEraz::GetValueKind(Trim(Text));
        if (Kind == 0 || Kind == 1) {
            const TColorSetting* Set
                = CellNumber(Text) < 0 ? FAutoColor->GetNegativeNumber() : FAutoColor->GetPositiveNumber();
            if (Set->GetTextColor() != clNone)
                AFont->SetColor(Set->GetTextColor());
            if (Set->GetBkgColor() != clNone)
                Brush = Set->GetBkgColor();
        }
    }

    // The colour hook and the gradient event.
    ABrush->SetColor(Brush);
    if (Print)
        DoGetCellPrintColor(RCol, ARow, AState, ABrush, AFont);
    else
        GetCellColor(RCol, ARow, AState, ABrush, AFont);
    if (OnGetCellGradient) {
        TColor Color = ABrush->GetColor();
        OnGetCellGradient(this, ARow, RCol, Color, AColorTo, AMirrorColor, AMirrorColorTo, GD);
        ABrush->SetColor(Color);
    }
    const TColor UnselectedBrush = ABrush->GetColor();
    const TColor UnselectedFont = AFont->GetColor();

    // The selection.
    const bool Shown = SelectionShown();
    const bool MouseDown = FMouseDown;
    auto SelectionColors = [&](bool Mix) {
        const TColor Cell = ABrush->GetColor();
        if (!Mix || Cell == GetColor())
            ABrush->SetColor(GetSelectionColor());
        else
            ABrush->SetColor(SelectionMixColor(GetSelectionColor(), Cell, GetSelectionColorMixer(),
                FSelectionColorMixerFactor));
        AColorTo = GetSelectionColorTo();
        AMirrorColor = GetSelectionMirrorColor();
        AMirrorColorTo = GetSelectionMirrorColorTo();
        if (GetSelectionTextColor() != clNone)
            AFont->SetColor(GetSelectionTextColor());
    };
    const bool DisjunctRows = FMouseActions->GetDisjunctRowSelect();
    const bool DisjunctCols = FMouseActions->GetDisjunctColSelect();
    const bool Selectable = Select && !Print && !Fixed && Shown;
    if (Selectable && DisjunctRows) {
        const bool RowSelected = IsCellRowSelected(SelRow);
        if (((MouseDown && ARow == GetRow()) || !RowSelected)
            && (!MouseDown || RowSelected || !AState.Contains(gdSelected))) {
            AState.Exclude(gdSelected);
        } else {
            AState = TGridDrawState { gdSelected };
            SelectionColors(true);
        }
    }
    if (Selectable && DisjunctCols) {
        const bool ColSelected = IsCellColSelected(RCol);
        if ((ColSelected && !(MouseDown && ACol == GetCol()))
            || (MouseDown && !ColSelected && AState.Contains(gdSelected))) {
            AState = TGridDrawState { gdSelected };
            SelectionColors(false);
        }
    }
    // The platform's draw state tells whether the cell lies in the selection
    // (the focus cell only with goDrawFocusSelected or row selection).
    if ((Selectable && AState.Contains(gdSelected) && !DisjunctRows && !DisjunctCols)
        || (AState.Contains(gdSelected) && MouseDown && Shown)) {
        SelectionColors(true);
        AState.Include(gdSelected);
    }
    if (FMouseActions->GetDisjunctCellSelect() && Shown) {
        if (GetSelectedCellSet().Contains(RCol, ARow)) {
            SelectionColors(false);
            AState.Include(gdSelected);
        } else if (ACol == GetCol() && ARow == GetRow()) {
            AState.Exclude(gdSelected);
            ABrush->SetColor(UnselectedBrush);
            AFont->SetColor(UnselectedFont);
        }
    }

    // Disabled rows and a disabled grid.
    if (GetUseDisabledFont() && ((FUseEnabledRows && IsRowDisabled(SelRow)) || !GetEnabled()))
        AFont->SetColor(GetDisabledFontColor());

    // Disjunct rows outside the current row show a darker selection.
    if (DisjunctRows && GetSelectionColorTo() == clNone && GetShowFocusedSelectionColor() && !Print && Shown
        && AState.Contains(gdSelected) && ARow != GetRow())
        ABrush->SetColor(VuzEraz::LightenColorPercent(ABrush->GetColor(), -10));

    DoGetWordWrap(RCol, ARow, WW);
    const int Align = ResolveCellAlignment(RCol, ARow);
    HA = TAlignment(Align & 0xFF);
    VA = TVAlignment(Align >> 8);
}
