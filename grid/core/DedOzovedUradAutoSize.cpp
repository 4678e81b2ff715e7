// Sizing columns and rows to their content, fitting the columns into the
// grid's width, stretching columns to fill it, and what follows a change of
// column widths or row heights (the scaling of all lines after a mouse
// sizing, the end-of-sizing events).

#include <algorithm>
#include <cstdlib>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridUtils.h"
#include "grid/core/HTMLHintWindow.h"
#include "platform/gdi/DrawText.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/win/System.h"

namespace {

// Sets a flag for one scope and puts the old value back.
struct TFlagValue {
    bool& Flag;
    bool Old;
    TFlagValue(bool& F, bool Value) : Flag(F), Old(F) { Flag = Value; }
    ~TFlagValue() { Flag = Old; }
};

struct TUpdateBlock {
    TDedOzovedUrad& Grid;
    explicit TUpdateBlock(TDedOzovedUrad& G) : Grid(G) { Grid.BeginUpdate(); }
    ~TUpdateBlock() { Grid.EndUpdate(); }
};

// Cell objects that sit beside their text rather than above or below it.
bool BesideText(TCellType Kind)
{
    switch (Kind) {
    case ctCheckBox:
    case ctDataCheckBox:
    case ctButton:
    case ctBitButton:
    case ctVirtCheckBox:
    case ctRadioButton: return true;
    default: return false;
    }
}

} // namespace

int TDedOzovedUrad::LimitValue(int Value, int Min, int Max) { return VuzEraz::LimitValue(Value, Min, Max); }

void TDedOzovedUrad::InitOrigColSizes()
{
    FOrigColSizes->Clear();
    for (int c = 0; c < GetColCount(); ++c)
        FOrigColSizes->Add(GetColWidths(c));
    // The width the recorded columns fill, as the size handler measures it.
    FOldSize = FBorderStyle == bsSingle ? GetWidth() : GetWidth() + 2;
    if (FColumnSize->GetSynchNormalCellsOnly())
        FOldSize -= FixedColumnsWidth();
    if (GetOptions().Contains(goVertLine))
        FOldSize += 1 - GetColCount();
}

// ---- columns ----

void TDedOzovedUrad::AutoSizeColumns(bool DoFixedCols, int Padding)
{
    const int First = DoFixedCols ? 0 : GetFixedCols();
    const int Last = DoFixedCols ? GetColCount() - 1 : GetColCount() - FFixedRightCols - 1;
    for (int c = First; c <= Last; ++c)
        AutoSizeCol(c, Padding);
}

void TDedOzovedUrad::AutoGrowColumns(bool DoFixedCols, int Padding)
{
    TFlagValue GrowOnly(FSizeGrowOnly, true);
    AutoSizeColumns(DoFixedCols, Padding);
}

void TDedOzovedUrad::AutoSizeCol(int ACol, int Padding)
{
    if (ACol < 0 || ACol >= GetColCount())
        return;
    if (ACol == 0 && HasNodes()) {
        int Base = 4;
        switch (FCellNode->GetNodeType()) {
        case cn3D: Base = 6; break;
        case cnGlyph: Base = FCellNode->GetExpandGlyph()->Empty() ? 0 : FCellNode->GetExpandGlyph()->GetWidth() / 2; break;
        case cnLeaf: Base = 8; break;
        default: break;
        }
        int Widest = 0;
        for (int r = 0; r < GetRowCount(); ++r)
            Widest = std::max(Widest, Base + FDataViews->GetNodeLevel(r) * FCellNode->GetNodeIndent());
        SetColWidths(0, Widest);
    }
    FitColumnToContent(ACol, FSizeGrowOnly, Padding);
}

void TDedOzovedUrad::AutoGrowCol(int ACol, int Padding)
{
    TFlagValue GrowOnly(FSizeGrowOnly, true);
    AutoSizeCol(ACol, Padding);
}

void TDedOzovedUrad::FitColumnWidth(int ACol, bool GrowOnly) { FitColumnToContent(ACol, GrowOnly, 0); }

// The padding counts in the test whether a column grows, so growing only
// never widens a column that already has room for its content and padding.
void TDedOzovedUrad::FitColumnToContent(int ACol, bool GrowOnly, int Padding)
{
    if (ACol < 0 || ACol >= GetColCount())
        return;
    const int RCol = DisplayToRealCol(TDisplayCol(ACol)).Value;
    const int RowCount = GetRowCount();
    int From = 0, To = RowCount - 1;
    switch (FColumnSize->GetRows()) {
    case arNormal:
        From = GetFixedRows();
        To = RowCount - FFixedFooters - 1;
        break;
    case arFixed: To = GetFixedRows() - 1; break;
    case arVisible:
        From = GetTopRow();
        To = std::min(GetTopRow() + GetVisibleRowCount(), RowCount - 1);
        break;
    default: break;
    }

    const bool WordWrap = GetWordWrap();
    const bool DropDowns = FControlLook->GetDropDownAlwaysVisible();
    const int DropDownWidth = int(RoundHalfEven(FControlLook->GetDropDownButtonWidth() * FDPIScale));
    const bool Nodes = ACol == 0 && HasNodes();
    const bool FilterButtons = GetFilterDropDownAuto() && From <= FFilterDropDownRow && FFilterDropDownRow <= To
        && CollectFilterValues(RCol, true, false);
    int Max = 0;
    for (int r = std::max(0, From); r <= To; ++r) {
        if (IsXMergedCell(RCol, r))
            continue;
        TSize Text;
        MeasureCellText(ACol, RCol, r, true, WordWrap, false, Text);
        int W = GetCellGraphicSize(RCol, r).cx + Text.cx;
        if (Nodes && IsNode(r))
            W += 16;
        if (DropDowns && HasCellComboBox(RCol, r, edNone))
            W += DropDownWidth;
        if (FilterButtons && r == FFilterDropDownRow)
            W += 16;
        bool Indicator = false;
        if (IsSortHeaderCell(ACol, r, Indicator) && Indicator)
            W += 10;
        int GW = 0, GH = 0;
        bool TextBeside = true;
        TCellHAlign HAlign = haLeft;
        TCellVAlign VAlign = vaTop;
        if (GetCellGraphicMetrics(RCol, r, GW, GH, TextBeside, HAlign, VAlign) && HAlign == haFull)
            W = GW - (2 * GetGridLineWidth() + FXYOffset.X + 2);
        Max = std::max(Max, W);
    }

    int Width = Max + XYOffsetWidth() + 2 * GetGridLineWidth() + 2;
    if (GrowOnly && GetColWidths(ACol) >= Width + Padding)
        return;
    UpdateAutoColumnSize(ACol, Width);
    Width = LimitValue(Width, FMinColWidth, FMaxColWidth);
    if (Padding != 0)
        Width = LimitValue(Width + Padding, FMinColWidth, FMaxColWidth);
    SetColWidths(ACol, Width);
}

// ---- rows ----

void TDedOzovedUrad::AutoSizeRows(bool DoFixedRows, int Padding)
{
    if (GetRowCount() == 0)
        return;
    const int Start = DoFixedRows ? 0 : GetFixedRows();
    ExportNotification(esExportStart, Start);
    for (int r = Start; r < GetRowCount(); ++r) {
        ExportNotification(esExportNextRow, r);
        if (IsSuppressedRow(r))
            continue;
        if (GetWordWrap()) {
            AutoSizeRow(r, 0);
            if (Padding != 0)
                SetRowHeights(r, LimitValue(GetRowHeights(r) + Padding, FMinRowHeight, FMaxRowHeight));
        } else {
            FitRowHeightToLines(r, RowLineCount(r), Padding);
        }
    }
    ApplyScrollBarAlways(true);
    ExportNotification(esExportDone, -1);
}

void TDedOzovedUrad::AutoSizeRow(int ARow, int Padding)
{
    if (ARow < 0 || ARow >= GetRowCount())
        return;
    FitRowHeight(ARow, FSizeGrowOnly, Padding);
    if (Padding != 0)
        SetRowHeights(ARow, LimitValue(GetRowHeights(ARow) + Padding, FMinRowHeight, FMaxRowHeight));
}

void TDedOzovedUrad::FitRowHeight(int ARow, bool GrowOnly, int Margin)
{
    if (ARow < 0 || ARow >= GetRowCount())
        return;
    const bool WordWrap = GetWordWrap();
    int Max = 0;
    for (int c = 0; c < GetColCount(); ++c) {
        const int RCol = DisplayToRealCol(TDisplayCol(c)).Value;
        if (IsYMergedCell(RCol, ARow) || IsIgnoredColumn(RCol))
            continue;
        TSize Text;
        MeasureCellText(c, RCol, ARow, false, WordWrap, false, Text);
        int TextH = Text.cy;
        int GraphH = GetCellGraphicSizeMargin(RCol, ARow, Margin).cy;
        int GW = 0, GH = 0;
        bool TextBeside = true;
        TCellHAlign HAlign = haLeft;
        TCellVAlign VAlign = vaTop;
        const bool HasObject = GetCellGraphicMetrics(RCol, ARow, GW, GH, TextBeside, HAlign, VAlign) != nullptr;
        const TCellType Kind = HasObject ? GetCellType(RCol, ARow) : ctEmpty;
        if (HasObject) {
            if (VAlign == vaFull)
                GraphH = TextH != 0 ? 0 : GetDefaultRowHeight();
            if ((Kind == ctDataCheckBox || Kind == ctVirtCheckBox) && GraphH > 0)
                TextH = 0;
        }
        int H = TextH + GraphH;
        if (IsMergedNonBaseCell(RCol, ARow))
            H = 0;
        else if (HasObject && BesideText(Kind) && TextH != 0)
            H = std::max(TextH, GraphH);
        Max = std::max(Max, H);
    }

    int Height = XYOffsetHeight() + Max + 2 * GetGridLineWidth();
    if (FXYOffsetTopLeftOnly)
        Height += 2;
    const bool Typing = GetVisibleRowCount() == GetRowCount() && GetEditorMode() && FSizeWhileTyping->GetHeight();
    if (!GrowOnly || GetRowHeights(ARow) < Height)
        SetRowHeights(ARow, LimitValue(Height, FMinRowHeight, FMaxRowHeight));
    if (Typing && GetVisibleRowCount() != GetRowCount()) {
        // The rows no longer all fit: the editor comes back where it was,
        // with the caret at the end of its text.
        ShowInplaceEdit();
        if (TInplaceEdit* Editor = GetInplaceEditor())
            Editor->SetSelStart(Editor->GetTextLen());
    }
}

void TDedOzovedUrad::FitRowHeightToLines(int ARow, int Lines, int Extra)
{
    if (ARow < 0 || ARow >= GetRowCount())
        return;
    TCanvas* Canvas = MeasureCanvas();
    FMeasureFont->Assign(GetFont());
    TGridDrawState State;
    GetCellColor(DisplayToRealCol(TDisplayCol(GetFixedCols())).Value, ARow, State, FMeasureBrush.get(),
        FMeasureFont.get());
    SelectMeasureFont(Canvas);
    RECT R(0, 0, 4096, 20);
    const int H = DrawText(Canvas->GetHandle(), u"gh", -1, &R, DT_CALCRECT | DT_SINGLELINE);
    SetRowHeights(ARow, LimitValue(Extra + Lines * (H + 2), FMinRowHeight, FMaxRowHeight) + FXYOffset.Y);
}

// ---- cells ----

void TDedOzovedUrad::AutoSizeCells(bool DoFixedCells, int PaddingX, int PaddingY)
{
    TUpdateBlock Update(*this);
    const int FirstCol = DoFixedCells ? 0 : GetFixedCols();
    const int FirstRow = DoFixedCells ? 0 : GetFixedRows();
    for (int c = FirstCol; c < GetColCount(); ++c) {
        const int RCol = DisplayToRealCol(TDisplayCol(c)).Value;
        int W = FSizeGrowOnly ? GetColWidths(c) : 0;
        for (int r = FirstRow; r < GetRowCount(); ++r) {
            const int CurH = GetRowHeights(r);
            const TSize Graphic = GetCellGraphicSize(RCol, r);
            const TSize Text = GetCellTextSize(c, r, false, false);
            const int NeedX = Text.cx + Graphic.cx + PaddingX + FXYOffset.X;
            const int NeedY = Text.cy + Graphic.cy + PaddingY + FXYOffset.Y;
            if (!IsXMergedCell(RCol, r) && NeedX > W) {
                const int L = LimitValue(NeedX, FMinColWidth, FMaxColWidth);
                if (L > W) {
                    SetColWidths(c, L);
                    W = L;
                }
            }
            if (!IsYMergedCell(RCol, r) && NeedY > CurH) {
                const int L = LimitValue(NeedY, FMinRowHeight, FMaxRowHeight);
                if (L > CurH)
                    SetRowHeights(r, L);
            }
        }
    }
}

// ---- fitting into the grid ----

void TDedOzovedUrad::AutoFitColumns(bool DoFixedCells)
{
    const int ColCount = GetColCount();
    if (ColCount == 0)
        return; // there is no column to give the width to
    const TScrollStyle Bars = GetScrollBars();
    const int SB = FScrollBarAlways == saVert
            || (Bars != ssNone && GetVisibleRowCount() + GetFixedRows() < GetRowCount())
        ? GetSystemMetrics(SM_CXVSCROLL)
        : 0;
    const int Border = FBorderStyle == bsSingle ? (GetCtl3D() ? 4 : 2) : 0;
    const int Width = GetWidth();

    int First = 0, Last = ColCount - 1, Avail = Width;
    if (!DoFixedCells) {
        First = GetFixedCols();
        Last = ColCount - FFixedRightCols - 1;
        Avail = Width - FixedColumnsWidth();
    }
    const TGridOptions Options = GetOptions();
    int Lines = Options.Contains(goVertLine) ? GetGridLineWidth() * (ColCount - GetFixedCols() - FFixedRightCols) : 0;
    if (DoFixedCells && Options.Contains(goFixedVertLine))
        Lines += GetFixedCols() + FFixedRightCols;

    auto SumOfRange = [&]() {
        int Sum = 0;
        for (int c = First; c <= Last; ++c)
            Sum += GetColWidths(c);
        return Sum;
    };
    if (ColCount < 2) {
        SetColWidths(0, Width - SB - 5);
    } else {
        const int Sum = SumOfRange();
        if (Sum == Avail - SB - Border || Sum == 0)
            return;
        const double Ratio = double(Avail - SB - Border - Lines) / Sum;
        Int64 Total = 0;
        for (int c = First; c <= Last; ++c)
            Total += RoundHalfEven(GetColWidths(c) * Ratio);
        for (int c = First; c <= Last; ++c)
            SetColWidths(c, int(RoundHalfEven(double(GetColWidths(c)) * double(Total) / Sum)));
    }

    int Rest = Avail - (SumOfRange() + SB + Border);
    const int N = Last - First + 1;
    if (N > 0 && N < Rest && Last > First) {
        const int Each = Rest / N;
        for (int c = First; c <= Last; ++c)
            SetColWidths(c, GetColWidths(c) + Each);
        Rest -= N * Each;
    }
    int Widest = -1;
    for (int c = First; c <= Last; ++c)
        if (Widest < 0 || GetColWidths(c) > GetColWidths(Widest))
            Widest = c;
    if (Widest >= 0 && Rest != 0)
        SetColWidths(Widest, GetColWidths(Widest) + Rest);
    InitOrigColSizes();
}

void TDedOzovedUrad::SizeToCols()
{
    int Width = 0;
    for (int c = 0; c < GetColCount(); ++c)
        Width += GetColWidths(c);
    SetClientWidth(Width);
}

void TDedOzovedUrad::SizeToRows()
{
    int Height = 0;
    for (int r = 0; r < GetRowCount(); ++r)
        Height += GetRowHeights(r);
    SetClientHeight(Height);
}

void TDedOzovedUrad::SizeToCells()
{
    const TScrollStyle Bars = GetScrollBars();
    SetScrollBars(ssNone);
    SizeToCols();
    SizeToRows();
    SetScrollBars(Bars);
}

// ---- stretching ----

void TDedOzovedUrad::StretchColumns()
{
    FColumnSize->SetStretchAll(true);
    FColumnSize->SetStretch(true);
    ApplyColumnStretch(-1, -1);
}

void TDedOzovedUrad::StretchRightColumn() { ApplyColumnStretch(GetColCount() - 1, -1); }

bool TDedOzovedUrad::DoColumnSize(int ACol)
{
    bool Allow = true;
    if (OnColumnSize)
        OnColumnSize(this, ACol, Allow);
    return Allow;
}

void TDedOzovedUrad::ApplyColumnStretch(int Index, int Width)
{
    if (IsLoading() || TBaseGrid::IsDestroying() || (Application && Application->GetTerminated()))
        return;
    const int ColCount = GetColCount();
    if (Index < -1 || Index >= ColCount)
        return;
    if (Width == -1)
        Width = GetClientWidth();
    if (Index == -1)
        Index = ColCount - 1;
    if (ColCount == 0 || !FColumnSize->GetStretch() || FIsColChanging)
        return;
    struct TStretching {
        TDedOzovedUrad& Grid;
        explicit TStretching(TDedOzovedUrad& G) : Grid(G)
        {
            Grid.FIsColChanging = true;
            Grid.ColchgFlg = false;
        }
        ~TStretching()
        {
            Grid.ColchgFlg = true;
            Grid.FIsColChanging = false;
        }
    } Stretching(*this);

    const int FixedCols = GetFixedCols();
    const int Normal = ColCount - FixedCols - FFixedRightCols;
    if (ColCount == 1) {
        if (DoColumnSize(0))
            SetColWidths(0, Width);
    } else if (FColumnSize->GetStretchAll() && Normal > 0) {
        const int Room = Width - FixedColumnsWidth();
        const int Each = Room / Normal;
        int Extra = Room % Normal;
        for (int c = FixedCols; c < ColCount - FFixedRightCols; ++c) {
            // A column that may not be sized still takes its share of the
            // remainder, as the others do theirs.
            const int Share = Each + (Extra > 0 ? 1 : 0);
            if (Extra > 0)
                --Extra;
            if (DoColumnSize(c))
                SetColWidths(c, Share);
        }
    } else {
        int Sum = 0;
        for (int c = 0; c < ColCount; ++c)
            if (c != Index)
                Sum += GetColWidths(c);
        if (Sum > GetClientWidth()) {
            if (GetLeftCol() == FixedCols && DoColumnSize(Index))
                SetColWidths(Index, GetDefaultColWidth());
        } else if (DoColumnSize(Index)) {
            SetColWidths(Index, Width - Sum);
        }
    }
    if (FFloatingFooter->GetVisible() && FFooterPanel)
        FFooterPanel->SetAlign(alBottom);
}

// ---- reactions to changed sizes ----

void TDedOzovedUrad::ColWidthsChanged()
{
    if (ColchgFlg && HandleAllocated())
        ApplyColumnStretch(FColumnSize->GetStretchColumn(), -1);
    if (IsDesigning() && FScrollHintWnd)
        FScrollHintWnd->SetVisible(false);
    TBaseGrid::ColWidthsChanged();
    ColSizeFlg = true;

    if (ColSized && FMouseActions->GetAllColumnSize() && Colclickedsize > 0 && Colclicked >= 0
        && Colclicked < GetColCount()) {
        const double Ratio = double(GetColWidths(Colclicked)) / Colclickedsize;
        {
            TFlagValue NotNow(ColSized, false);
            for (int c = GetFixedCols(); c < GetColCount() - FFixedRightCols; ++c)
                if (c != Colclicked)
                    SetColWidths(c, int(RoundHalfEven(GetColWidths(c) * Ratio)));
        }
    }
    if (ColSized) {
        if (OnEndColumnSize)
            OnEndColumnSize(this, Colclicked);
        if (Colclicked >= 0 && Colclicked < GetColCount()) {
            const int Was = GetColWidths(Colclicked);
            int Width = Was;
            UpdateColumnSize(Colclicked, Width);
            if (Width != Was) {
                // The nested notification must not repeat these steps.
                ColSized = false;
                SetColWidths(Colclicked, Width);
            }
        }
        if (ColSized) {
            Colclicked = -1;
            Rowclicked = -1;
        }
    }

    ColSized = false;
    if (CellHasCheckBox(GetCol(), GetRow()))
        SetEditorMode(false);
    UpdateFooter();
    CellControlsUpdate(false);
    if (FColumnSize->GetStretch() && FScrollProportional && FScrollType != ssMetro)
        UpdateVertScrollProportion();
}

void TDedOzovedUrad::RowHeightsChanged()
{
    if (IsDesigning() && FScrollHintWnd)
        FScrollHintWnd->SetVisible(false);
    if (FRHChanging)
        return;
    TBaseGrid::RowHeightsChanged();

    // A sized row of height 0 before gives no ratio to scale by.
    if (RowSized && FMouseActions->GetAllRowSize() && Rowclickedsize > 0 && Rowclicked >= 0
        && Rowclicked < GetRowCount()) {
        TUpdateBlock Update(*this);
        TFlagValue NotNow(RowSized, false);
        const int Sized = GetRowHeights(Rowclicked);
        const int FixedRows = GetFixedRows();
        std::vector<int> FixedHeights;
        for (int r = 0; r < FixedRows && r < GetRowCount(); ++r)
            FixedHeights.push_back(GetRowHeights(r));
        for (int r = FixedRows; r < GetRowCount(); ++r)
            if (r != Rowclicked)
                SetRowHeights(r, int(RoundHalfEven(double(GetRowHeights(r)) * Sized / Rowclickedsize)));
        const int FocusRow = GetRow();
        if (FixedRows < GetRowCount())
            SetDefaultRowHeight(GetRowHeights(FixedRows));
        for (int r = 0; r < int(FixedHeights.size()); ++r)
            SetRowHeights(r, FixedHeights[std::size_t(r)]);
        if (FocusRow < GetRowCount())
            SetRow(FocusRow);
    }
    if (RowSized) {
        if (OnEndRowSize)
            OnEndRowSize(this, Rowclicked);
        Colclicked = -1;
        Rowclicked = -1;
    }
    RowSized = false;
    if (CellHasCheckBox(GetCol(), GetRow()))
        SetEditorMode(false);
    CellControlsUpdate(false);
}

bool TDedOzovedUrad::IsOnSizingBorder(int X, int Y)
{
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    if (ACol < 0 || ARow < 0)
        return false;
    const TRect R = CellRect(ACol, ARow);
    const TGridOptions Options = GetOptions();
    if (ARow <= GetFixedRows() && Options.Contains(goColSizing)
        && (std::abs(X - R.Left) < 4 || std::abs(X - R.Right) < 4))
        return true;
    return ACol <= GetFixedCols() && Options.Contains(goRowSizing)
        && (std::abs(Y - R.Top) < 4 || std::abs(Y - R.Bottom) < 4);
}
