// Row nodes: a node row heads a span of rows below it in the node column;
// contracting takes the span's rows out of view (into the hidden-row store
// under ftHide, to height 0 under ftSuppress) and expanding brings them
// back. A row's node level is kept in the cell properties of its
// node-column cell; the node itself is that cell's object (a TCellGraphic
// of kind ctNode), so it travels with the row through every move, hiding
// and sort.

#include "grid/core/GridGuards.h"
#include "grid/views/GridDataViewsImpl.h"
#include "platform/win/System.h"

using GridGuards::TValueGuard;

// ---- the node of a row ----

TCellNodeData* TGridDataViews::NodeOf(int ARow)
{
    if (ARow < 0 || ARow >= G.GetRowCount())
        return nullptr;
    // The object the cell holds itself: column 0 may show the grid's row
    // check box in its place.
    auto* Object = dynamic_cast<TCellGraphic*>(G.GetGraphicObjectEx(NodeColumn(), ARow));
    return Object && Object->GetCellType() == ctNode ? &Object->CellNode() : nullptr;
}

int TGridDataViews::NodeColumn() { return G.GetCellNode()->GetNodeColumn(); }

int TGridDataViews::LevelOf(int ARow)
{
    const int c = NodeColumn();
    return ARow >= 0 && G.HasCellProperties(c, ARow) ? G.GetCellProperties(c, ARow)->GetNodeLevel() : 0;
}

void TGridDataViews::SetLevel(int Row, int Level)
{
    if (Row >= 0 && Row < G.GetRowCount())
        G.GetCellProperties(NodeColumn(), Row)->SetNodeLevel(Level);
}

void TGridDataViews::SetLevels(int From, int Count, int Delta)
{
    for (int r = From; r < From + Count && r < G.GetRowCount(); ++r)
        SetLevel(r, std::max(0, LevelOf(r) + Delta));
}

int TGridDataViews::Real(int ARow) { return G.RealRowIndex(TDisplayRow(ARow)).Value; }
int TGridDataViews::Displ(int ARow) { return G.DisplRowIndex(TRealRow(ARow)).Value; }

// The first node row below ARow; RowCount when there is none.
int TGridDataViews::NextNodeRow(int ARow)
{
    for (int r = ARow + 1; r < G.GetRowCount(); ++r)
        if (IsNode(r))
            return r;
    return G.GetRowCount();
}

void TGridDataViews::SetMergeCollapse(int ARow, bool Value)
{
    for (int c = 0; c < G.GetAllColCount(); ++c)
        if (G.HasCellProperties(c, ARow))
            G.GetCellProperties(c, ARow)->SetMergeCollaps(Value);
}

bool TGridDataViews::IsNode(int ARow) { return NodeOf(ARow) != nullptr; }

bool TGridDataViews::IsSummary(int ARow) { return ARow >= 0 && G.GetCellType(0, ARow) == ctSummary; }

bool TGridDataViews::GetNodeState(int ARow)
{
    const TCellNodeData* Node = NodeOf(ARow);
    return Node && Node->Contracted;
}

int TGridDataViews::GetNodeLevel(int ARow) { return IsNode(ARow) ? LevelOf(ARow) : -1; }

int TGridDataViews::GetNodeSpan(int ARow)
{
    const TCellNodeData* Node = NodeOf(ARow);
    return Node ? Node->Span : -1;
}

int TGridDataViews::GetSubNodeCount(int ARow)
{
    const TCellNodeData* Node = NodeOf(ARow);
    return Node ? Node->SubNodes : 0;
}

int TGridDataViews::GetNodeSpanType(int ARow)
{
    if (IsNode(ARow))
        return 0;
    const int Last = G.GetRowCount() - G.GetFixedFooters() - 1;
    if (ARow < Last && G.HasCellProperties(NodeColumn(), ARow + 1) && LevelOf(ARow + 1) >= LevelOf(ARow))
        return 2;
    return 1;
}

int TGridDataViews::GetParentRow(int ARow)
{
    if (FNumNodes == 0)
        return -1;
    int Bound = 65535, Fallback = -1;
    if (IsNode(ARow)) {
        Bound = LevelOf(ARow);
        Fallback = ARow;
    }
    // S counts the rows of contracted nodes that are out of view.
    int S = 0;
    for (int p = ARow; p >= G.GetFixedRows(); --p) {
        const TCellNodeData* Node = NodeOf(p);
        if (!Node || LevelOf(p) >= Bound)
            continue;
        if (Node->Contracted)
            S += Node->Span - 1;
        if (ARow < p + Node->Span - S)
            return p;
    }
    return Fallback;
}

void TGridDataViews::SetNodeSpan(int ARow, int Span)
{
    TCellNodeData* Node = NodeOf(ARow);
    if (!Node)
        return;
    Node->Span = Span;
    const int Level = LevelOf(ARow);
    for (int r = ARow; r < ARow + Span && r < G.GetRowCount(); ++r)
        SetLevel(r, Level);
    G.RepaintCol(NodeColumn());
}

void TGridDataViews::UpdateNodeSpan(int ARow, int Delta)
{
    if (TCellNodeData* Node = NodeOf(ARow))
        Node->Span += Delta;
}

void TGridDataViews::UpdateSubNodeCount(int ARow, int Delta)
{
    if (TCellNodeData* Node = NodeOf(ARow))
        Node->SubNodes += Delta;
}

// ---- adding and removing ----

void TGridDataViews::AddNode(int ARow, int Span)
{
    if (Span < 1)
        return;
    const int r = Displ(ARow);
    if (r < 0 || r >= G.GetRowCount())
        return;
    // A span reaching past the last row covers the rows there are.
    Span = std::min(Span, G.GetRowCount() - r);
    TCellGraphic* Node = G.CreateCellGraphic(NodeColumn(), r);
    Node->SetNode({ ARow, false, Span, 0 });
    // Grouping keeps the grouped column here.
    Node->SetCellVar(Variant(std::int32_t(-1)));
    Node->SetCellHAlign(haBeforeText);
    Node->SetCellVAlign(vaCenter);
    SetLevels(r, Span, 1);
    if (FNumNodes == 0)
        G.RepaintCol(NodeColumn());
    ++FNumNodes;
    if (G.GetCol() == 0 && G.GetColCount() > 1)
        G.SetCol(1);
}

void TGridDataViews::RemoveNodeObject(int ARow)
{
    if (!IsNode(ARow))
        return;
    G.FreeCellGraphic(NodeColumn(), ARow);
    if (FNumNodes > 0)
        --FNumNodes;
}

void TGridDataViews::RemoveNode(int ARow)
{
    ExpandNodeEx(ARow, false);
    const int r = Displ(ARow);
    const int Span = GetNodeSpan(r);
    if (Span < 0)
        return;
    SetLevels(r, Span, -1);
    RemoveNodeObject(r);
    G.Invalidate();
}

void TGridDataViews::RemoveAllNodes()
{
    for (int r = 0; r < G.GetRowCount(); ++r) {
        if (!IsNode(r))
            continue;
        ExpandNodeEx(Real(r), false);
        SetLevels(r, GetNodeSpan(r), -1);
        RemoveNodeObject(r);
    }
    G.Invalidate();
}

// ---- expanding and contracting ----

void TGridDataViews::ExpandNodeEx(int ARow, bool ApplyExpandOne)
{
    if (ApplyExpandOne && G.GetCellNode()->GetExpandOne())
        for (int r = G.GetFixedRows(); r < G.GetRowCount(); ++r)
            if (IsNode(r) && !GetNodeState(r) && Real(r) != ARow)
                ContractNode(Real(r));
    const int r = Displ(ARow);
    TCellNodeData* Node = NodeOf(r);
    if (!Node || !Node->Contracted)
        return;
    Node->Contracted = false;
    SetMergeCollapse(r, false);
    const int e = Node->Span > 0 ? r + 1 : NextNodeRow(r);

    const int OldTop = G.GetTopRow(), OldRow = G.GetRow();
    TMouseActions& Mouse = *G.GetMouseActions();
    const bool Disjunct = Mouse.GetDisjunctRowSelect();
    Mouse.SetDisjunctRowSelectDirect(false);
    const bool RowSelect = G.GetOptions().Contains(goRowSelect);
    if (RowSelect)
        G.SetOptions(G.GetOptions() - TGridOptions { goRowSelect });
    const bool Update = G.GetNumCellControls() == 0;
    if (Update)
        G.BeginUpdate();
    struct TRestore {
        TDedOzovedUrad& G;
        TMouseActions& Mouse;
        bool Disjunct, RowSelect, Update;
        int OldTop, OldRow;
        ~TRestore()
        {
            if (RowSelect) {
                G.SetOptions(G.GetOptions() + TGridOptions { goRowSelect });
                if (OldRow >= G.GetFixedRows() && OldRow < G.GetRowCount())
                    G.SetRow(OldRow);
                G.SetTopRow(OldTop);
            }
            if (Update)
                G.EndUpdate();
            Mouse.SetDisjunctRowSelectDirect(Disjunct);
        }
    } Restore { G, Mouse, Disjunct, RowSelect, Update, OldTop, OldRow };

    if (G.GetFilterType() == ftSuppress) {
        G.UnSuppressRows(r + 1, r + Node->Span - 1);
        for (int k = r + 1; k < r + Node->Span && k < G.GetRowCount(); ++k)
            if (TCellNodeData* Inner = NodeOf(k))
                Inner->Contracted = false;
    } else {
        G.UnHideRows(ARow + 1, Real(e) - 1);
    }
    G.CalcFooter(-1);
}

void TGridDataViews::ContractNode(int ARow)
{
    G.HideInplaceEdit();
    TValueGuard Force(G.FForceSel, true);
    const int r = Displ(ARow);
    TCellNodeData* Node = NodeOf(r);
    if (!Node || Node->Contracted)
        return;
    Node->Contracted = true;
    SetMergeCollapse(r, true);
    int e = Node->Span > 0 ? std::min(r + Node->Span, G.GetRowCount()) : NextNodeRow(r);
    if (G.GetFilterType() == ftSuppress) {
        G.SuppressRows(r + 1, e - 1);
    } else {
        // A contracted node inside shows as expanded from now on: expanding
        // this node later shows all of its rows.
        int b = r + 1;
        while (b < e) {
            TCellNodeData* Inner = NodeOf(b);
            if (Inner && Inner->Contracted) {
                Inner->Contracted = false;
                const int InnerSpan = Inner->Span;
                G.HideRows(Real(r + 1), Real(b));
                e -= (b - (r + 1)) + InnerSpan;
                b = r + 1;
                continue;
            }
            ++b;
        }
        if (b - 1 >= r + 1)
            G.HideRows(Real(r + 1), Real(b - 1));
    }
    G.CalcFooter(-1);
}

void TGridDataViews::ToggleNode(int ARow)
{
    const int r = Displ(ARow);
    if (!IsNode(r))
        return;
    if (GetNodeState(r))
        ExpandNode(ARow);
    else
        ContractNode(ARow);
}

void TGridDataViews::SetNodeState(int ARow, bool Value)
{
    if (!IsNode(ARow) || GetNodeState(ARow) == Value)
        return;
    if (Value)
        ContractNode(Real(ARow));
    else
        ExpandNode(Real(ARow));
}

void TGridDataViews::RestoreAllHiddenRows()
{
    if (G.NumHiddenRows() == 0)
        return;
    std::vector<int> Hidden;
    for (int c = 0; c < G.GetAllColCount(); ++c)
        if (G.IsHiddenColumn(c))
            Hidden.push_back(c);
    if (!Hidden.empty())
        G.UnHideColumnsAll();
    G.UnHideRowsAll();
    for (auto It = Hidden.rbegin(); It != Hidden.rend(); ++It)
        G.HideColumn(*It);
}

void TGridDataViews::ExpandAll()
{
    if (G.GetFilterType() == ftSuppress) {
        for (int r = G.GetFixedRows(); r < G.GetRowCount(); ++r)
            if (IsNode(r))
                ExpandNodeEx(Real(r), false);
        return;
    }
    RestoreAllHiddenRows();
    GridGuards::TBulkUpdate Update(G);
    for (int r = G.GetFixedRows(); r < G.GetRowCount(); ++r)
        if (TCellNodeData* Node = NodeOf(r))
            Node->Contracted = false;
    if (G.GetSearchFooter()->GetVisible())
        G.LayoutSearchPanel();
    if (G.GetFloatingFooter()->GetVisible())
        G.CalcFooter(-1);
}

void TGridDataViews::ContractAll()
{
    if (G.GetFilterType() == ftSuppress) {
        for (int r = G.GetFixedRows(); r < G.GetRowCount(); ++r)
            if (IsNode(r))
                ContractNode(Real(r));
        return;
    }
    bool AnyExpanded = false;
    for (int r = G.GetFixedRows(); r < G.GetRowCount() && !AnyExpanded; ++r)
        AnyExpanded = IsNode(r) && !GetNodeState(r);
    if (!AnyExpanded)
        return;
    {
        GridGuards::TBulkUpdate Update(G);
        ExpandAll();
        // Bottom up, so inner nodes close before the nodes around them.
        for (int r = G.GetRowCount() - 1; r >= G.GetFixedRows(); --r)
            if (r < G.GetRowCount() && IsNode(r))
                ContractNode(Real(r));
    }
    G.CellControlsUpdate(false);
    if (G.GetSearchFooter()->GetVisible())
        G.LayoutSearchPanel();
    G.CalcFooter(-1);
}

// ---- rows inside and outside nodes ----

void TGridDataViews::InsertChildRow(int ARow, int InsertAt)
{
    const int r = Displ(ARow);
    const bool OnNode = IsNode(r);
    const int p = OnNode ? r : GetParentRow(r);
    if (p >= 0) {
        UpdateNodeSpan(p, 1);
        UpdateSubNodeCount(p, 1);
        ExpandNode(Real(p));
        int Cur = p, CurLevel = LevelOf(p);
        while (CurLevel > 1) {
            const int q = GetParentRow(Cur - 1);
            if (q < 0 || q >= Cur)
                break;
            Cur = q;
            if (LevelOf(q) >= CurLevel)
                continue;
            UpdateNodeSpan(q, 1);
            UpdateSubNodeCount(q, 1);
            ExpandNode(Real(q));
            CurLevel = LevelOf(q);
        }
    }
    const bool Heading = OnNode && InsertAt == 0;
    const int At = Heading ? r + 1 : r + InsertAt;
    G.InsertRows(At, 1, true);
    if (Heading) {
        // The node row becomes an empty heading; what it held is the first child.
        const int NodeCol = NodeColumn();
        for (int c = 0; c < G.GetAllColCount(); ++c) {
            G.SetGridCell(c, At, G.GetGridCell(c, r));
            G.SetGridCell(c, r, String());
            if (c != NodeCol && c != 0) {
                G.SetGridObject(c, At, G.GetGridObject(c, r));
                G.SetGridObject(c, r, nullptr);
                if (auto* Props = dynamic_cast<TCellProperties*>(G.GetGridObject(c, At)))
                    Props->SetOwnerRow(At);
            }
        }
        G.Invalidate();
    }
    if (p >= 0)
        SetLevel(At, LevelOf(p));
}

void TGridDataViews::RemoveChildRow(int ARow)
{
    const int r = Displ(ARow);
    int p = GetParentRow(r);
    if (p >= 0 && p != r) {
        const int L = LevelOf(p);
        if (GetNodeSpan(p) > 1) {
            UpdateNodeSpan(p, -1);
            UpdateSubNodeCount(p, -1);
        }
        for (;;) {
            ExpandNode(Real(p));
            if (LevelOf(p) <= 1)
                break;
            const int q = GetParentRow(p - 1);
            if (q < 0 || LevelOf(q) >= L)
                break;
            p = q;
            if (GetNodeSpan(p) > 1) {
                UpdateNodeSpan(p, -1);
                UpdateSubNodeCount(p, -1);
            }
        }
    }
    G.RemoveRows(r, 1);
    G.FreeHiddenRowLookup();
}

void TGridDataViews::InsertNormalRow(int ARow) { G.InsertRows(Displ(ARow), 1, true); }

void TGridDataViews::RemoveNormalRow(int ARow) { G.RemoveRows(ARow, 1); }

bool TGridDataViews::IsNodeClickHit(int ARow, int X)
{
    if (!G.GetMouseActions()->GetPreciseNodeClick())
        return true;
    const TRect Cell = G.CellRect(NodeColumn(), ARow);
    const int d = X - Cell.Left;
    const int L = LevelOf(ARow);
    const int I = G.GetCellNode()->GetNodeIndent();
    int w = 4, m = 4;
    switch (G.GetCellNode()->GetNodeType()) {
    case cnFlat: w = 4; m = 4; break;
    case cn3D: w = 6; m = 0; break;
    case cnGlyph: {
        const TBitmap* Glyph = G.GetCellNode()->GetExpandGlyph();
        const bool Empty = !Glyph || Glyph->GetEmpty();
        w = Empty ? 0 : Glyph->GetWidth() / 2;
        m = Empty ? 0 : 2;
        break;
    }
    case cnLeaf: w = 8; m = 2; break;
    case cnXP: w = 4; m = 4; break;
    }
    if (!G.UseRightToLeftAlignment())
        return m + (L - 1) * I < d && d < w + L * I;
    // Right to left the glyph sits at the right edge of the grid, left of
    // the vertical scroll bar when there is one.
    m = G.GetVisibleRowCount() + G.GetFixedRows() < G.GetRowCount() ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    const int dr = X - Cell.Left + m;
    const int Width = G.GetWidth();
    return Width - 2 - L * I - w <= dr && dr < Width - (L - 1) * I;
}

// ---- the grid's own node operations ----

namespace {

TGridDataViews* ViewsOf(TDedOzovedUrad& G) { return TGridDataViews::Of(G); }

} // namespace

void TDedOzovedUrad::AddNode(int ARow, int Span)
{
    if (auto* V = ViewsOf(*this))
        V->AddNode(ARow, Span);
}

void TDedOzovedUrad::RemoveNode(int ARow)
{
    if (auto* V = ViewsOf(*this))
        V->RemoveNode(ARow);
}

void TDedOzovedUrad::ExpandNode(int ARow) { FDataViews->ExpandNode(ARow); }
void TDedOzovedUrad::ContractNode(int ARow) { FDataViews->ContractNode(ARow); }
void TDedOzovedUrad::ToggleNode(int ARow) { FDataViews->ToggleNode(ARow); }
void TDedOzovedUrad::RemoveAllNodes() { FDataViews->RemoveAllNodes(); }
bool TDedOzovedUrad::GetNodeState(int ARow) { return FDataViews->GetNodeState(ARow); }

void TDedOzovedUrad::SetNodeState(int ARow, bool Value)
{
    if (auto* V = ViewsOf(*this))
        V->SetNodeState(ARow, Value);
}

int TDedOzovedUrad::GetNodeLevel(int ARow) { return FDataViews->GetNodeLevel(ARow); }
int TDedOzovedUrad::GetNodeSpan(int ARow) { return FDataViews->GetNodeSpan(ARow); }

void TDedOzovedUrad::SetNodeSpan(int ARow, int Span)
{
    if (auto* V = ViewsOf(*this))
        V->SetNodeSpan(ARow, Span);
}

void TDedOzovedUrad::UpdateNodeSpan(int ARow, int Delta)
{
    if (auto* V = ViewsOf(*this))
        V->UpdateNodeSpan(ARow, Delta);
}

int TDedOzovedUrad::GetSubNodeCount(int ARow) { return FDataViews->GetSubNodeCount(ARow); }

void TDedOzovedUrad::UpdateSubNodeCount(int ARow, int Delta)
{
    if (auto* V = ViewsOf(*this))
        V->UpdateSubNodeCount(ARow, Delta);
}

int TDedOzovedUrad::GetNodeSpanType(int ARow) { return FDataViews->GetNodeSpanType(ARow); }
int TDedOzovedUrad::GetParentRow(int ARow) { return FDataViews->GetParentRow(ARow); }
void TDedOzovedUrad::InsertChildRow(int ARow, int InsertAt) { FDataViews->InsertChildRow(ARow, InsertAt); }
void TDedOzovedUrad::RemoveChildRow(int ARow) { FDataViews->RemoveChildRow(ARow); }
void TDedOzovedUrad::InsertNormalRow(int ARow) { FDataViews->InsertNormalRow(ARow); }
void TDedOzovedUrad::RemoveNormalRow(int ARow) { FDataViews->RemoveNormalRow(ARow); }
bool TDedOzovedUrad::IsNodeClickHit(int ARow, int X) { return FDataViews->IsNodeClickHit(ARow, X); }

// ---- exports that write the hidden rows too ----

// The filter passes are undone level by level, newest first (each level's
// rows come back where that pass found them, so its list is the rows it
// took), then every node opens; afterwards the nodes close again, innermost
// first, and the passes are taken again in their order.
void TGridDataViews::OpenForExport(TExportState& State)
{
    State = TExportState();
    if (G.GetFilterType() == ftHide) {
        State.FilterLevel = G.GetFilterLevel();
        for (int Level = State.FilterLevel - 1; Level >= 0; --Level) {
            std::vector<int> Rows;
            for (int i = 0; i < G.NumHiddenRows(); ++i) {
                auto* Item = static_cast<TGridItem*>(G.GetGridItems()->GetItem(i));
                if (Item->GetFilterItem() && Item->GetLevel() == Level)
                    Rows.push_back(Item->GetIdx());
            }
            std::sort(Rows.begin(), Rows.end());
            G.SetFilterLevel(Level + 1);
            G.UnHideRowList();
            G.SetFilterLevel(Level);
            State.Passes.insert(State.Passes.begin(), std::move(Rows));
        }
    }
    for (int r = 0; r < G.GetRowCount(); ++r)
        if (IsNode(r) && GetNodeState(r))
            State.Contracted.push_back(Real(r));
    ExpandAll();
}

void TGridDataViews::CloseAfterExport(const TExportState& State)
{
    for (auto It = State.Contracted.rbegin(); It != State.Contracted.rend(); ++It)
        ContractNode(*It);
    if (G.GetFilterType() != ftHide)
        return;
    G.SetFilterLevel(State.FilterLevel - int(State.Passes.size()));
    for (const std::vector<int>& Rows : State.Passes) {
        TIntList List;
        List.SetValues(Rows);
        G.HideRowList(&List);
    }
    G.SetFilterLevel(State.FilterLevel);
}
