// The base grid's painting frame: every cell in view passes through
// PaintCellCore once per paint pass. It resolves merged areas (painted once,
// as one rectangle), keeps scrolled cells off the fixed lines, fills the
// background with the resolved look, the hover and active rows or the
// rounded selection, draws the grid lines and hands the inner rectangle to
// DrawGridCell.

#include "grid/core/BaseGrid.h"

#include <algorithm>
#include <optional>

#include "grid/core/GridPainters.h"
#include "platform/gdi/Gdi.h"

namespace {

// The colours of a rounded selection look, in the painter's argument order.
struct TRoundedSelectionColors {
    TColor Fill, FillTo, Corner, Border, LowerInner, UpperInner, LowerFrom, LowerTo;
};

const TRoundedSelectionColors& RoundedSelectionColors(TGridSelectionStyle Style, bool Focused)
{
    static const TRoundedSelectionColors Vista { TColor(0xFDF8F1), TColor(0xFCEFD5), TColor(0xFCEDCB),
        TColor(0xFDDE99), TColor(0xFDF5E7), TColor(0xFDFBF6), clNone, clNone };
    static const TRoundedSelectionColors Win7 { TColor(0xFCEBDC), TColor(0xFCDBC1), TColor(0xE0C5AE),
        TColor(0xCEA27D), TColor(0xFDEADB), TColor(0xFDF4EB), clNone, clNone };
    static const TRoundedSelectionColors Office2007 { TColor(0xD7FFFD), TColor(0x58D4FC), TColor(0xC3D9DF),
        TColor(0x8DD7D3), TColor(0xCAF8FF), TColor(0xF4FEFF), TColor(0x58D4FC), TColor(0xB3F1FC) };
    static const TRoundedSelectionColors Unfocused { TColor(0xF8F8F8), TColor(0xE5E5E5), TColor(0xEFEFEF),
        TColor(0xD9D9D9), TColor(0xF0F0F0), TColor(0xFBFAFA), clNone, clNone };
    if (!Focused)
        return Unfocused;
    switch (Style) {
    case ssWin7: return Win7;
    case ssOffice2007: return Office2007;
    default: return Vista;
    }
}

} // namespace

void TBaseGrid::Paint()
{
    TObjStringGrid::Paint();
    ++FPaintID;
}

void TBaseGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState)
{
    // A merged area whose base cell is in view may already have been painted
    // in this pass from one of its covered cells (or the other way round).
    const int RCol = RealColIndex(TDisplayCol(ACol)).Value;
    if (IsMergedCell(RCol, ARow) && IsBaseCell(RCol, ARow)) {
        TCellProperties* Props = PropertiesAt(RCol, ARow);
        if (Props->GetPaintID() == FPaintID)
            return;
        Props->SetPaintID(FPaintID);
    }
    PaintCellCore(GetCanvas(), ACol, ARow, ARect, AState, true);
}

void TBaseGrid::PaintCell(TCanvas* ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState)
{
    PaintCellCore(ACanvas, ACol, ARow, ARect, AState, true);
}

void TBaseGrid::PaintCellExt(TCanvas* ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState)
{
    PaintCellCore(ACanvas, ACol, ARow, ARect, AState, false);
}

int TBaseGrid::FixedColsWidth()
{
    int W = 0;
    for (int c = 0; c < GetFixedCols(); ++c)
        W += GetColWidths(c);
    return W;
}

int TBaseGrid::FixedRowsHeight()
{
    int H = 0;
    for (int r = 0; r < GetFixedRows(); ++r)
        H += GetRowHeights(r);
    return H;
}

void TBaseGrid::GetVisualProperties(int ACol, int ARow, TGridDrawState& AState, bool, bool, bool, TBrush* ABrush,
    TColor& AColorTo, TColor& AMirrorColor, TColor& AMirrorColorTo, TFont* AFont, TAlignment& HA, TVAlignment& VA,
    bool&, TCellGradientDirection& GD)
{
    const bool Fixed = AState.Contains(gdFixed) || ACol < GetFixedCols() || ARow < GetFixedRows();
    AFont->Assign(GetFont());
    ABrush->SetColor(Fixed ? GetFixedColor() : GetColor());
    AColorTo = AMirrorColor = AMirrorColorTo = clNone;
    HA = DefaultCellAlignment();
    VA = vtaTop;
    GD = GradientVertical;
}

void TBaseGrid::PaintCellCore(TCanvas* ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState, bool Content)
{
    // The row under the floating footer paints blank.
    if (FHideLastRow && ARow == GetRowCount() - 1) {
        ACanvas->GetBrush()->SetColor(GetColor());
        ACanvas->GetPen()->SetColor(GetColor());
        ACanvas->Rectangle(ARect);
        return;
    }
    if (ARow >= 0 && ARow < GetRowCount() && GetRowHeights(ARow) == 0)
        return;

    // A covered cell paints its whole area through the base cell, once per
    // pass. A base in another stored column is reached through its display
    // column.
    int BCol = 0, BRow = 0;
    if (!ResolveBaseCell(RealColIndex(TDisplayCol(ACol)).Value, ARow, BCol, BRow)) {
        TCellProperties* Base = PropertiesAt(BCol, BRow);
        if (Base && Base->GetPaintID() != FPaintID) {
            Base->SetPaintID(FPaintID);
            PaintCellCore(ACanvas, DisplColIndex(TRealCol(BCol)).Value, BRow, ARect, AState, Content);
        }
        return;
    }

    if (Content) {
        if (IsFixed(ACol, ARow)) {
            AState.Exclude(gdSelected);
            AState.Include(gdFixed);
        }
        // The merged area's rectangle; a plain cell keeps the one it came
        // with (it may be painted on another canvas than the screen).
        if (IsMergedCell(RealColIndex(TDisplayCol(ACol)).Value, ARow))
            ARect = CellRect(ACol, ARow);
    }

    // Cells scrolled under the fixed lines must not paint over them.
    const int FixedCols = GetFixedCols(), FixedRows = GetFixedRows();
    const int fw = ACol < FixedCols ? 0 : FixedColsWidth();
    const int fh = ARow >= FixedRows ? FixedRowsHeight() : 0;
    std::optional<VuzEraz::TCanvasClip> Clip;
    if ((ACol >= FixedCols && FixedCols > 0 && ARect.Left < fw) || (ARow >= FixedRows && FixedRows > 0 && ARect.Top < fh))
        Clip.emplace(ACanvas, TRect(fw, fh, GetWidth(), GetHeight()));

    TPen* Pen = ACanvas->GetPen();
    TBrush* Brush = ACanvas->GetBrush();
    Pen->SetWidth(1);
    ACanvas->SetFont(GetFont());
    TColor ColorTo = clNone, MirrorColor = clNone, MirrorColorTo = clNone;
    TAlignment HA = taLeftJustify;
    TVAlignment VA = vtaTop;
    bool WW = FWordWrap;
    TCellGradientDirection GD = GradientVertical;
    GetVisualProperties(ACol, ARow, AState, false, true, true, Brush, ColorTo, MirrorColor, MirrorColorTo,
        ACanvas->GetFont(), HA, VA, WW, GD);
    Pen->SetColor(Brush->GetColor());

    // Hover row: normal cells always take it; the other kinds only when
    // HoverRowCells names them.
    bool Excluded = (AState.Contains(gdSelected) && !FHoverRowCells.Contains(hcSelected))
        || (AState.Contains(gdFixed) && !FHoverRowCells.Contains(hcFixed));
    if (!Excluded && HasNodes())
        Excluded = (IsNode(ARow) && !FHoverRowCells.Contains(hcGroupHeader))
            || (IsSummary(ARow) && !FHoverRowCells.Contains(hcGroupSummary));
    if (FHoverRow && ARow == FHoverRowIdx && !Excluded) {
        Brush->SetColor(FHoverRowColor);
        ColorTo = FHoverRowColorTo;
        MirrorColor = MirrorColorTo = clNone;
        GD = GradientVertical;
    }

    // Active row: every normal cell of the current row but the focus cell
    // shown as selected.
    const TGridOptions Options = GetOptions();
    const bool ActiveRowCell = FActiveRowShow && GetRow() == ARow && !IsFixed(ACol, ARow) && ACol >= FixedCols
        && (GetCol() != ACol || !FShowSel || Options.Contains(goRowSelect));
    if (ActiveRowCell || (!Content && AState.Contains(gdSelected))) {
        Brush->SetColor(FActiveRowColor);
        ColorTo = FActiveRowColorTo;
        MirrorColor = FActiveRowMirrorColor;
        MirrorColorTo = FActiveRowMirrorColorTo;
    }
    Pen->SetColor(Brush->GetColor());

    const bool RightToLeft = UseRightToLeftAlignment();
    if (AState.Contains(gdSelected) && FSelectionStyle != ssDefault && FShowSel) {
        const TGridRect Sel = GetSelection();
        const int SelLeft = std::min(Sel.Left, Sel.Right), SelRight = std::max(Sel.Left, Sel.Right);
        int EndKind = VuzEraz::seBoth;
        if (SelRight > SelLeft) {
            if (ACol == SelLeft)
                EndKind = VuzEraz::seLeft;
            else if (ACol == SelRight)
                EndKind = VuzEraz::seRight;
            else if (ACol > SelLeft && ACol < SelRight)
                EndKind = VuzEraz::seNone;
        }
        TRect R = ARect;
        if (!Options.Contains(goHorzLine))
            ++R.Bottom;
        if (!Options.Contains(goVertLine))
            ++R.Right;
        if (RightToLeft) {
            ++R.Right;
            ++R.Bottom;
        }
        const bool Focused = this->Focused() || Options.Contains(goDrawFocusSelected);
        const TRoundedSelectionColors& S = RoundedSelectionColors(FSelectionStyle, Focused);
        VuzEraz::DrawRoundedSelection(ACanvas, S.Fill, S.FillTo, S.LowerFrom, S.LowerTo, S.UpperInner, S.LowerInner,
            S.Border, S.Corner, GetColor(), R, EndKind);
    } else if (!(UsesStyledDrawing() && (AState.Contains(gdFixed) || AState.Contains(gdSelected)))) {
        if (MirrorColorTo == clNone)
            VuzEraz::FillGradientRect(ACanvas, Brush->GetColor(), ColorTo, 64, ARect, GD == GradientHorizontal);
        else
            VuzEraz::PaintGradientBackground(ACanvas, ARect, Brush->GetColor(), ColorTo, MirrorColor, MirrorColorTo,
                true, clNone, false, true);
    }

    // Grid lines along the bottom and the right of the cell; a width of 0
    // leaves the pen in the fill colour.
    const bool FixedCell = AState.Contains(gdFixed);
    int LineWidth = 0;
    if (FixedCell) {
        LineWidth = FGridFixedLineWidth;
        if (LineWidth > 0)
            Pen->SetColor(FGridFixedLineColor);
    } else {
        LineWidth = FGridLineWidth;
        if (LineWidth > 0)
            Pen->SetColor(FGridLineColor);
    }
    Pen->SetWidth(LineWidth);
    const int h = (LineWidth + 1) / 2;
    if (Options.Contains(FixedCell ? goFixedHorzLine : goHorzLine)) {
        ACanvas->MoveTo(ARect.Left - h, ARect.Bottom - h);
        ACanvas->LineTo(ARect.Right - h, ARect.Bottom - h);
    }
    if (Options.Contains(FixedCell ? goFixedVertLine : goVertLine)) {
        const int x = ARect.Right - h + (RightToLeft ? 1 : 0);
        ACanvas->MoveTo(x, ARect.Bottom - h);
        ACanvas->LineTo(x, ARect.Top - h);
    }
    Pen->SetWidth(1);

    TRect Inner = ARect;
    if (FixedCell) {
        Inner.Right -= 1;
        Inner.Bottom -= 2;
    } else {
        Inner.Left += 1;
        Inner.Top += 1;
        Inner.Right -= FGridLineWidth;
        Inner.Bottom -= FGridLineWidth;
    }
    if (Content)
        DrawGridCell(ACanvas, ACol, ARow, Inner, AState);

    Clip.reset();
    Brush->SetStyle(bsSolid);
    Pen->SetStyle(psSolid);
}

void TBaseGrid::DrawGridCell(TCanvas* ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState)
{
    ACanvas->GetBrush()->SetStyle(bsClear);
    String Text = GetCells(ACol, ARow);
    ACanvas->TextRect(ARect, Text, { tfSingleLine, tfCenter, tfVerticalCenter, tfNoPrefix });
    ACanvas->GetBrush()->SetStyle(bsSolid);
}
