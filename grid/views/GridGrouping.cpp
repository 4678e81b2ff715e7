// Grouping: the rows that share a value in one column become a group under
// a header row (a node over the group), optionally closed by a summary row;
// the column leaves the grid while it is grouped and comes back with
// UnGroup. Sub-groups add a second level inside the groups, and the group
// calculations fill the header or summary rows.
//
// Group and UnGroup place every row once: the new layout is worked out from
// the runs of equal values, the header and summary rows are added at the
// end in one step and the rows are then put in their places by one
// permutation (grouping 100,000 rows costs about what sorting them costs).

#include "grid/core/GridGuards.h"
#include "grid/views/GridDataViewsImpl.h"
#include "platform/win/Window.h"

using GridGuards::TValueGuard;

namespace {

// Lets paint and timer messages through while a long grouping runs; input
// and posted messages wait until it is done, so nothing acts on a grid
// half grouped.
void PumpPaintAndTimers()
{
    MSG Msg;
    while (PeekMessage(Msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
        DispatchMessage(Msg);
    while (PeekMessage(Msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE))
        DispatchMessage(Msg);
}

// How many rows pass between two rounds of the message pump.
constexpr int kPumpEvery = 256;

// The first text of a run: no cell holds it, so the first row opens a group.
const String kNoValue = String(1, char16_t(0xFF)) + char16_t(0xFE);

} // namespace

// ---- row looks ----

bool TGridDataViews::FloatingFooterOnLastRow()
{
    const TFloatingFooter* Footer = G.GetFloatingFooter();
    return Footer->GetVisible() && Footer->GetFooterStyle() == fsFixedLastRow;
}

void TGridDataViews::AddSummaryMark(int ARow)
{
    TCellGraphic* Mark = G.CreateCellGraphic(0, ARow);
    Mark->SetCellType(ctSummary);
}

void TGridDataViews::ColourGroupRow(int ARow, bool Header, int FromCol)
{
    TGrouping& S = *G.GetGrouping();
    const bool Merged = Header ? S.GetMergeHeader() : S.GetMergeSummary();
    const TColor Color = Header ? S.GetHeaderColor() : S.GetSummaryColor();
    const TColor ColorTo = Header ? S.GetHeaderColorTo() : S.GetSummaryColorTo();
    const TColor TextColor = Header ? S.GetHeaderTextColor() : S.GetSummaryTextColor();
    if (Merged) {
        if (FromCol < G.GetColCount()) {
            G.MergeCells(FromCol, ARow, G.GetColCount() - FromCol, 1);
            TCellProperties* Props = G.GetCellProperties(FromCol, ARow);
            Props->SetBrushColor(Color);
            Props->SetBrushColorTo(ColorTo);
            Props->SetFontColor(TextColor);
        }
        return;
    }
    // Colours left at none need no cell properties.
    if (Color != clNone)
        G.SetRowColor(ARow, Color);
    if (ColorTo != clNone)
        G.SetRowColorTo(ARow, ColorTo);
    if (TextColor != clNone)
        G.SetRowFontColor(ARow, TextColor);
}

void TGridDataViews::ResetGroupRowColours(int ARow, bool Header)
{
    TGrouping& S = *G.GetGrouping();
    if ((Header && S.GetMergeHeader()) || (!Header && S.GetMergeSummary())) {
        G.SplitRowCells(ARow);
        return;
    }
    if ((Header ? S.GetHeaderColor() : S.GetSummaryColor()) != clNone)
        G.SetRowColor(ARow, clNone);
    if ((Header ? S.GetHeaderColorTo() : S.GetSummaryColorTo()) != clNone)
        G.SetRowColorTo(ARow, clNone);
    if ((Header ? S.GetHeaderTextColor() : S.GetSummaryTextColor()) != clNone)
        G.SetRowFontColor(ARow, clNone);
}

void TGridDataViews::MergeGroupRow(int ARow, int FromCol, bool Header) { ColourGroupRow(ARow, Header, FromCol); }

// ---- Group ----

void TGridDataViews::Group(int Colindex)
{
    if (Colindex < G.GetFixedCols() || Colindex >= G.GetColCount())
        return;
    if (NodeColumn() != 0)
        throw ERirEvozError(u"Grouping needs the node column 0");
    if (G.GetGroupColumn() != -1)
        UnGroup();
    const int First = G.GetFixedRows();
    const int End = std::min(G.GetRowCount() - G.GetFixedFooters(), G.DataRowEnd());
    if (End <= First)
        return;

    TColumnSize& Sizes = *G.GetColumnSize();
    if (Colindex < Sizes.GetStretchColumn())
        Sizes.SetStretchColumn(Sizes.GetStretchColumn() - 1);
    const bool FooterLast = FloatingFooterOnLastRow();
    TGrouping& Settings = *G.GetGrouping();
    const bool Summary = Settings.GetSummary();

    struct TEnd {
        TGridDataViews& V;
        ~TEnd()
        {
            V.FGroupingBusy = false;
            V.G.EndUpdate();
            if (V.G.GetSearchFooter()->GetVisible())
                V.G.LayoutSearchPanel();
        }
    };
    G.BeginUpdate();
    FGroupingBusy = true;
    TEnd Done { *this };
    G.FGroupColumn = Colindex;

    FGroupColWidth = G.GetColWidths(G.RealToDisplayCol(TRealCol(Colindex)).Value);
    FGroupHeader = G.GetFixedRows() > 0 ? G.GetGridCell(Colindex, 0) : String();
    FGroupFooter = G.GetFixedFooters() > 0 ? G.GetGridCell(Colindex, G.GetRowCount() - 1) : String();

    if (G.GetSortSettings()->GetAutoSortForGrouping()) {
        G.GetSortSettings()->SetColumn(Colindex);
        QSort();
    }

    // The runs of equal raw texts: each becomes a group.
    std::vector<int> RunStart;
    String Previous = kNoValue;
    for (int b = First; b < End; ++b) {
        if ((b - First) % kPumpEvery == 0)
            PumpPaintAndTimers();
        const String& Text = G.GetGridCell(Colindex, b);
        if (Text != Previous) {
            RunStart.push_back(b);
            Previous = Text;
        }
    }
    const int Groups = int(RunStart.size());
    RunStart.push_back(End);

    // One header per group and, with Summary, one summary row below each.
    const int Added = Groups * (Summary ? 2 : 1);
    const int ValueCol = Colindex == 1 ? 2 : 1;
    G.InsertRows(End, Added, true);
    std::vector<int> Order;
    Order.reserve(std::size_t(End - First + Added));
    std::vector<int> Headers, Summaries;
    Headers.reserve(std::size_t(Groups));
    int Empty = End;
    for (int g = 0; g < Groups; ++g) {
        Headers.push_back(First + int(Order.size()));
        Order.push_back(Empty++);
        for (int r = RunStart[std::size_t(g)]; r < RunStart[std::size_t(g) + 1]; ++r)
            Order.push_back(r);
        if (Summary) {
            Summaries.push_back(First + int(Order.size()));
            Order.push_back(Empty++);
        }
    }
    {
        // Whole rows move, whatever the sort's single-column switch says.
        TSortSettings& Sort = *G.GetSortSettings();
        const bool Single = Sort.GetSingleColumn();
        Sort.SetSingleColumn(false);
        struct TRestore {
            TSortSettings& S;
            bool Single;
            ~TRestore() { S.SetSingleColumn(Single); }
        } Restore { Sort, Single };
        ApplyOrder(First, Order);
    }
    G.FreeHiddenRowLookup();

    for (int g = 0; g < Groups; ++g) {
        const int H = Headers[std::size_t(g)];
        const int Rows = RunStart[std::size_t(g) + 1] - RunStart[std::size_t(g)];
        G.SetGridCell(ValueCol, H, G.GetGridCell(Colindex, H + 1));
        AddNode(Real(H), Rows + 1);
        if (!Settings.GetMergeHeader())
            ColourGroupRow(H, true, 1);
        if (Summary) {
            const int S = Summaries[std::size_t(g)];
            AddSummaryMark(S);
            if (!Settings.GetMergeSummary())
                ColourGroupRow(S, false, 1);
        }
    }

    G.RemoveCols(Colindex, 1);

    if (Settings.GetMergeHeader() || Settings.GetMergeSummary()) {
        const int Last = FooterLast ? G.GetRowCount() - 2 : G.GetRowCount() - 1;
        for (int c = First; c < G.GetRowCount(); ++c) {
            if (IsNode(c)) {
                if (Settings.GetMergeHeader())
                    MergeGroupRow(c, 1, true);
            } else if (Settings.GetMergeSummary() && IsSummary(c)
                && ((c + 1 < G.GetRowCount() && IsNode(c + 1)) || c == Last)) {
                // Only a summary row is merged: a data row merged over
                // the columns would hide its own cells.
                MergeGroupRow(c, 1, false);
            }
        }
    }

    if (G.GetCellNode()->GetExpandOne())
        for (int r = First; r < G.GetRowCount(); ++r)
            if (IsNode(r)) {
                ExpandNode(Real(r));
                break;
            }

    if (G.GetCol() >= G.GetColCount() || G.GetRow() >= G.GetRowCount())
        G.FocusCell(G.GetFixedCols(), First);
    if (First < G.GetRowCount())
        G.SetRow(First);
}

// ---- UnGroup ----

void TGridDataViews::UnGroup()
{
    const int Column = G.GetGroupColumn();
    if (Column <= 0)
        return;
    TCellNode& Nodes = *G.GetCellNode();
    const bool ExpandOne = Nodes.GetExpandOne();
    Nodes.SetExpandOne(false);
    struct TEnd {
        TGridDataViews& V;
        TCellNode& Nodes;
        bool ExpandOne;
        ~TEnd()
        {
            V.FGroupingBusy = false;
            V.G.FGroupColumn = -1;
            Nodes.SetExpandOne(ExpandOne);
            V.G.EndUpdate();
            V.G.Invalidate();
        }
    };
    ExpandAll();
    G.BeginUpdate();
    TEnd Done { *this, Nodes, ExpandOne };

    G.InsertCols(Column, 1);
    G.SetColWidths(G.RealToDisplayCol(TRealCol(Column)).Value, FGroupColWidth);
    TColumnSize& Sizes = *G.GetColumnSize();
    if (Column < Sizes.GetStretchColumn())
        Sizes.SetStretchColumn(Sizes.GetStretchColumn() + 1);
    if (G.GetFixedRows() > 0)
        G.SetGridCell(Column, 0, FGroupHeader);
    if (G.GetFixedFooters() > 0)
        G.SetGridCell(Column, G.GetRowCount() - 1, FGroupFooter);
    FGroupingBusy = true;

    const int ValueCol = Column == 1 ? 2 : 1;
    const int End = G.GetRowCount() - G.GetFixedFooters();
    String Value;
    TIntList Gone;
    for (int r = G.GetFixedRows(); r < End; ++r) {
        if (!IsNode(r)) {
            if (IsSummary(r)) {
                // A summary row below a group (or one left without its
                // header) goes with the headers.
                ResetGroupRowColours(r, false);
                Gone.Add(r);
                continue;
            }
            G.SetGridCell(Column, r, Value);
            continue;
        }
        const int Span = GetNodeSpan(r);
        Value = G.GetGridCell(ValueCol, r);
        SetLevels(r, Span, -1);
        RemoveNodeObject(r);
        G.FreeCellPropertiesRange(0, r, 0, r);
        ResetGroupRowColours(r, true);
        Gone.Add(r);
    }
    if (Gone.Count() > 0) {
        // The rows go cleared, so their texts and looks leave with them.
        for (int r : Gone.Values())
            for (int c = 0; c < G.GetAllColCount(); ++c)
                G.SetGridCell(c, r, String());
        G.RemoveRowList(&Gone);
    }
}

// ---- sub-groups ----

void TGridDataViews::SubGroup(int Colindex)
{
    if (Colindex < G.GetFixedCols() || Colindex >= G.GetColCount())
        return;
    const int First = G.GetFixedRows();
    // With fewer than two normal rows there is nothing to tell apart.
    if (G.GetRowCount() - G.GetFixedFooters() - First < 2)
        return;
    GridGuards::TBulkUpdate Update(G);
    G.FGroupColumn = Colindex;
    FGroupColWidth = G.GetColWidths(G.RealToDisplayCol(TRealCol(Colindex)).Value);
    FGroupHeader = G.GetCellEx(Colindex, 0);
    FGroupFooter = G.GetCellEx(Colindex, G.GetRowCount() - 1);
    TGrouping& Settings = *G.GetGrouping();
    const int HeaderCol = Colindex + 1;

    auto MakeSubHeader = [&](int H, int Span) {
        AddNode(Real(H), Span);
        if (TCellGraphic* Node = dynamic_cast<TCellGraphic*>(G.GetGraphicObjectEx(NodeColumn(), H)))
            Node->SetCellVar(Variant(std::int32_t(Colindex)));
    };
    auto Plain = [&](int r) { return !IsNode(r) && !IsSummary(r); };

    String Previous = kNoValue;
    int H = -1;
    int b = First + 1;
    while (b < G.GetRowCount() - G.GetFixedFooters()) {
        const String Text = G.GetCellEx(Colindex, b);
        if (!(Text == Previous && Plain(b))) {
            if (H >= 0 && Plain(H))
                MakeSubHeader(H, b - H);
            if (Plain(b)) {
                InsertChildRow(Real(b), 0);
                G.SetGridCell(HeaderCol, b, Text);
                ColourGroupRow(b, true, HeaderCol);
            }
            H = b;
            ++b;
        }
        if (b < G.GetRowCount() && Plain(b - 1)) {
            Previous = G.GetCellEx(Colindex, b);
            G.SetGridCell(Colindex, b, String());
            ++b;
        } else {
            Previous = kNoValue;
        }
    }
    if (!(H >= 0 && IsSummary(H))) {
        if (H >= 0 && Plain(H)) {
            MakeSubHeader(H, b - H);
            ColourGroupRow(H, true, HeaderCol);
        }
        if (b < G.GetRowCount() && Plain(b - 1)) {
            G.SetGridCell(Colindex, b, String());
            ++b;
        }
        if (Settings.GetSummary()) {
            G.InsertRows(b, 1, true);
            AddSummaryMark(b);
            ColourGroupRow(b, false, HeaderCol);
        }
    }
    if (First < G.GetRowCount())
        G.SetRow(First);
}

void TGridDataViews::SubUnGroup(int Colindex)
{
    ExpandAll();
    TValueGuard Busy(FGroupingBusy, true);
    String Value;
    for (int r = G.GetFixedRows(); r <= G.GetRowCount() - G.GetFixedFooters() - 1;) {
        if (!IsNode(r)) {
            G.SetGridCell(Colindex, r, Value);
            ++r;
            continue;
        }
        auto* Node = dynamic_cast<TCellGraphic*>(G.GetGraphicObjectEx(NodeColumn(), r));
        const Variant Var = Node ? Node->GetCellVar() : Variant();
        if (Var.IsEmpty() || Var.AsInteger() != Colindex) {
            ++r;
            continue;
        }
        Value = G.GetCellEx(Colindex + 1, r);
        RemoveNode(Real(r));
        ResetGroupRowColours(r, true);
        RemoveChildRow(Real(r));
    }
}

// ---- calculations ----

void TGridDataViews::GroupCalc(int Colindex, int Method)
{
    const bool Summary = G.GetGrouping()->GetSummary();
    int r = G.GetFixedRows();
    while (r < G.GetRowCount()) {
        if (!IsNode(r) || GetNodeState(r)) {
            ++r;
            continue;
        }
        const int n = GetNodeSpan(r);
        if (n < 1) {
            ++r;
            continue;
        }
        const int Target = Summary ? r + n : r;
        const int From = r + 1, To = r + n - 1;
        if (Target < G.GetRowCount()) {
            switch (Method) {
            case 1: G.SetFloats(Colindex, Target, G.ColumnSum(Colindex, From, To)); break;
            case 2: G.SetFloats(Colindex, Target, G.ColumnAvg(Colindex, From, To)); break;
            case 3: G.SetFloats(Colindex, Target, G.ColumnMin(Colindex, From, To)); break;
            case 4: G.SetFloats(Colindex, Target, G.ColumnMax(Colindex, From, To)); break;
            case 5: G.SetInts(Colindex, Target, n - 1); break;
            case 6: G.SetFloats(Colindex, Target, G.GroupCalcValue(Colindex, From, To)); break;
            case 7: G.SetFloats(Colindex, Target, G.ColumnDistinct(Colindex, From, To)); break;
            case 8: G.SetFloats(Colindex, Target, G.ColumnStdDev(Colindex, From, To)); break;
            default: break;
            }
        }
        r += n;
    }
}

void TGridDataViews::MergeGroupRows()
{
    TGrouping& S = *G.GetGrouping();
    for (int r = G.GetFixedRows(); r < G.GetRowCount(); ++r)
        if ((IsNode(r) && S.GetMergeHeader()) || (IsSummary(r) && S.GetMergeSummary()))
            G.MergeCells(G.GetFixedCols(), r, G.GetColCount() - G.GetFixedCols(), 1);
}

void TGridDataViews::SplitGroupRows()
{
    TGrouping& S = *G.GetGrouping();
    for (int r = G.GetFixedRows(); r < G.GetRowCount(); ++r)
        if ((IsNode(r) && S.GetMergeHeader()) || (IsSummary(r) && S.GetMergeSummary()))
            G.SplitRowCells(r);
}
