#pragma once
// The string grid's data views: sorting (GridSort.cpp), filtering
// (GridFiltering.cpp) and row nodes (GridNodes.cpp). One object per grid,
// made by the factory that grid/views registers; the entries of the other
// features keep their neutral answers until those features arrive.

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "grid/views/io/GridOleDrop.h"

class TGridDataViews : public TNeutralGridDataViews {
public:
    explicit TGridDataViews(TDedOzovedUrad& Grid) : G(Grid) { }

    // The views object of a grid; nullptr when another factory made it.
    static TGridDataViews* Of(TDedOzovedUrad& Grid) { return dynamic_cast<TGridDataViews*>(&Grid.DataViews()); }

    static void SetMaxRowCount(TDedOzovedUrad& Grid, int Value) { Grid.FMaxRowCount = Value; }

    // ---- sorting ----
    void QSort() override;
    void QSortIndexed() override;
    void QSortGroup() override { GroupSort(false); }
    void QSortGroupIndexed() override { GroupSort(true); }
    void QUnSort() override;
    void InitSortXRef() override;
    void QuickSort(int Col, int Left, int Right);
    void QuickSortIndexed(int Left, int Right);
    bool SortLine(int Col, int ARow1, int ARow2);
    TColumnType ColumnType(int Col);
    int CompareCells(int ACol, int ARow1, int ARow2, TSortDirection Direction);

    // What TextInfo tells of a text.
    enum : unsigned { ikKnown = 1, ikNumber = 2, ikHasDateSep = 4, ikHasTimeSep = 8, ikDateLike = 16, ikTimeLike = 32 };
    static unsigned TextInfo(StringView Text);

    // ---- cell streams and clipboard (grid/views/io/GridCellStream.cpp, GridClipboard.cpp) ----
    void SaveToStream(TStream& Stream) override;
    void LoadFromStream(TStream& Stream) override;
    void SaveRectToBinStream(const TRect& Rect, TStream& Stream, bool SaveHidden) override;
    void CopySelectionToClipboard() override;
    void CutSelectionToClipboard() override;
    void PasteSelectionFromClipboard() override;
    // The node count after cells with nodes came in from a cell stream.
    void CountNodes();

    // ---- print layout (grid/views/print/GridPrintLayout.cpp) ----
    // The last print job's printed width and left edge of a display column
    // (0.1 mm); 0 before any job.
    int GetPrintColWidth(int ACol) override;
    int GetPrintColOffset(int ACol) override;

    // ---- column widths ----
    void SaveColSizes() override { G.WriteColSizes(); }
    void LoadColSizes() override { G.ReadColSizes(); }

    // ---- filtering ----
    void SetFilterActive(bool Value) override;
    void RemoveAllFilters() override;
    void NarrowDown(const String& ACondition, int AColumn) override { NarrowDown(ACondition, TNarrowDownOptions(), AColumn); }
    void NarrowDown(const String& ACondition, TNarrowDownOptions AOptions, int AColumn);
    bool RowMatchesFilter(int ARow) override;
    bool FilterRow(int ARow);
    void ApplyFilter();
    bool RemoveLastFilter();
    void SaveFilter(const String& FileName);
    void LoadFilter(const String& FileName);
    bool FNarrowDownFromStart { false };

    // ---- OLE drop target and drag source (grid/views/io/GridOleDrop.cpp) ----
    bool RegisterDropTarget() override;
    void RevokeDropTarget() override;
    void SetDropTargetAccepts(bool Text, bool Files, bool URLs) override;
    TComPtr<TDOUDropSource> NewDropSource() override;
    TGridDropTarget* GetDropTarget() const { return FDropTarget.get(); }

    // ---- nodes (display rows unless real) ----
    int GetNodeCount() override { return FNumNodes; }
    bool IsNode(int ARow) override;
    bool IsSummary(int ARow) override;
    bool GetNodeState(int ARow) override;
    int GetNodeLevel(int ARow) override;
    int GetNodeSpan(int ARow) override;
    int GetNodeSpanType(int ARow) override;
    int GetSubNodeCount(int ARow) override;
    int GetParentRow(int ARow) override;
    bool IsNodeClickHit(int ARow, int X) override;
    // Real rows.
    void ExpandNode(int ARow) override { ExpandNodeEx(ARow, true); }
    void ContractNode(int ARow) override;
    void ToggleNode(int ARow) override;
    void ExpandAll() override;
    void ContractAll() override;
    void RemoveAllNodes() override;
    void InsertNormalRow(int ARow) override;
    void InsertChildRow(int ARow, int InsertAt) override;
    void RemoveNormalRow(int ARow) override;
    void RemoveChildRow(int ARow) override;
    void AddNode(int ARow, int Span);
    void RemoveNode(int ARow);
    void SetNodeState(int ARow, bool Value);
    void SetNodeSpan(int ARow, int Span);
    void UpdateNodeSpan(int ARow, int Delta);
    void UpdateSubNodeCount(int ARow, int Delta);
    // Puts every stored row back at its place.
    void RestoreAllHiddenRows();
    // For an export of the hidden rows: every row in view for the time,
    // and the view as it was afterwards.
    struct TExportState {
        int FilterLevel { 0 };
        std::vector<std::vector<int>> Passes; // the rows of each filter level, oldest first
        std::vector<int> Contracted;          // real rows of the nodes to close again
    };
    void OpenForExport(TExportState& State);
    void CloseAfterExport(const TExportState& State);

    // ---- the type-ahead search (GridFind.cpp), the search bar's actions
    // (GridSearchActions.cpp), the filter lists' values (GridFilterValues.cpp) ----
    int Search(const String& s) override;
    void SearchPanelEditChange() override;
    void SearchPanelFindNext() override;
    void SearchPanelFindPrevious() override;
    bool CollectFilterValues(int ACol, bool StopAtFirst, bool IncludeHidden) override;
    void ApplySelectedFilterValue(TObject* Sender, int ItemIndex) override;
    void ApplyCheckedFilterValues(TObject* Sender, int ItemIndex) override;
    // -1, 0 or 1: numbers by value, anything else by logical text order.
    static int CompareFilterValues(const String& A, const String& B);
    // ---- grouping (GridGrouping.cpp) ----
    void Group(int Colindex) override;
    void UnGroup() override;
    void SubGroup(int Colindex) override;
    void SubUnGroup(int Colindex) override;
    void GroupCalc(int Colindex, int Method) override;
    void MergeGroupRows() override;
    void SplitGroupRows() override;
    // A ctSummary object in the row's column-0 cell.
    void AddSummaryMark(int ARow);
    bool GetGroupingBusy() const { return FGroupingBusy; }

private:
    // The search bar: the parameters of a search started by typing (Step
    // 0), stepping back (-1) or forward (1); one step of find-next or
    // find-previous; the edit's colours.
    TFindParams SearchBarParams(int Step);
    void SearchBarStep(bool Backward, bool Wrapped);
    void SetSearchEditColors(TColor Color, TColor TextColor);
    void ShowSearchResult();
    TPoint SearchBarFocusCell();

    // Nodes.
    // The bookkeeping of the row's node (its node-column cell's ctNode
    // object); nullptr for a row that is no node.
    TCellNodeData* NodeOf(int ARow);
    int NodeColumn();
    int LevelOf(int ARow);
    void SetLevel(int Row, int Level);
    void SetLevels(int From, int Count, int Delta);
    int Real(int ARow);
    int Displ(int ARow);
    int NextNodeRow(int ARow);
    void SetMergeCollapse(int ARow, bool Value);
    void ExpandNodeEx(int ARow, bool ApplyExpandOne);
    void RemoveNodeObject(int ARow);
    int FNumNodes { 0 };

    // Sorting.
    int CompareRows(int ACol, int ARow1, int ARow2);
    int CompareRowsIndexed(int AIdx, int ARow1, int ARow2);
    void SortRowRange(int ACol, int Left, int Right);
    void SortRowRangeIndexed(int Left, int Right);
    template<class TCmp>
    void SortRows(int Left, int Right, int Target, bool SwapEqual, TCmp&& Cmp);
    void ApplyOrder(int Left, const std::vector<int>& Order);
    template<class TTie>
    bool SortColumnKeys(int ACol, int Left, int Right, int Target, bool Indexed, bool Descending, TTie&& Tie);
    void UnSortRange(std::vector<int>& Work, int Left, int Right);
    // Sorts with three scratch rows below the grid's rows; Run sorts.
    void AddScratchRows();
    void RemoveScratchRows();
    void FullSort(bool Indexed);
    void GroupSort(bool Indexed);
    // The text a comparison reads; a reference to the stored text when no
    // display hook can change it.
    const String& SortCellText(int ACol, int ARow, String& Scratch);
    bool DisplayTextIsStored(int ACol);
    // The display text (GetCellEx), as a reference to the stored text when
    // no display hook changes it.
    const String& DisplayText(int ACol, int ARow, String& Scratch);
    // A walk down a column at listing scale waits for memory: each row's
    // cells lie in a block of their own and each text in another. Called at
    // row ARow of a walk that ends before End, this fetches the cell's slot
    // some rows ahead and its text a few rows later, once the slot is in.
    void FetchCellAhead(int ACol, int ARow, int End) const;
    StringView KeyText(int ACol, int ARow, String& Scratch);
    unsigned KeyInfo(int ACol, int ARow, StringView Text);
    // The texts of the rows being sorted, by column, read on first use.
    struct TSortKeys {
        int Left { 0 };
        int Count { 0 };
        std::vector<std::vector<StringView>> Text;
        std::vector<std::vector<std::uint8_t>> Info;
        std::deque<String> Owned;
    };
    std::unique_ptr<TSortKeys> FKeys;
    // The keys are read once and kept while nothing can change them: the
    // stored texts (or texts no hook changes) and no handler that might
    // write cells between two comparisons.
    struct TKeysScope {
        TGridDataViews& V;
        TKeysScope(TGridDataViews& Views, int Left, int Count);
        ~TKeysScope() { V.FKeys.reset(); }
    };

    // Filtering.
    String FilterCellText(const TFilterData& F, int ARow, String& Prefix, String& Suffix, String& StartSep);
    void UndoLastPass();
    TFilterData* NewNarrowCondition(const String& S, TNarrowDownOptions AOptions, int AColumn);

    // While a sort runs: whether the display hooks leave the stored text
    // as it is (asked once per sort, not once per comparison).
    struct TDirectTextScope {
        TGridDataViews& V;
        explicit TDirectTextScope(TGridDataViews& Views) : V(Views)
        {
            V.FDirectKnown = false;
            V.FDirect = V.DisplayTextIsStored(0);
            V.FDirectCol1 = V.DisplayTextIsStored(1);
            V.FDirectKnown = true;
        }
        ~TDirectTextScope() { V.FDirectKnown = false; }
    };
    bool FDirectKnown { false };
    bool FDirect { false };
    bool FDirectCol1 { false };

    TDedOzovedUrad& G;
    int FSortDir { 1 };
    int FScratchFooterCount { 0 };
    // Filtering state.
    int FFixedRowsToRestore { 0 };
    String FLastNarrowDown;
    // A condition made over for matching (accents stripped, upper case),
    // kept with the text it was made from: a pass makes it once, not per
    // row.
    struct TMadeCondition {
        String From, Made;
        bool Valid { false };
    };
    TMadeCondition FStrippedCondition, FUpperCondition;
    // The grid's registered drop target.
    TComPtr<TGridDropTarget> FDropTarget;
    // Grouping state: the grouped column's width, header and footer texts.
    bool FGroupingBusy { false };
    int FGroupColWidth { 0 };
    String FGroupHeader;
    String FGroupFooter;
    void ColourGroupRow(int ARow, bool Header, int FromCol);
    void ResetGroupRowColours(int ARow, bool Header);
    void MergeGroupRow(int ARow, int FromCol, bool Header);
    bool FloatingFooterOnLastRow();
};
